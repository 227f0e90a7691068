// The terminate handler of the programs we ship. libstdc++'s default one prints the escaping
// exception's demangled type on stderr, which a GUI program does not have,
// and links the whole C++ demangler (about 50 KB) for it. Defining it here
// keeps the library's copy out; the program still ends as abort ends it.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler();
void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
