// Bad input given to the tool (exit code 2): a manifest's problems, a stub that
// is no Windows GUI program, an output that would overwrite an input. what()
// is the message for the user.
#pragma once

#include <stdexcept>

namespace zsetup {

class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace zsetup
