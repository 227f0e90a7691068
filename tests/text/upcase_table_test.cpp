// The generated upcase table against an independent reading of the Unicode
// data: glibc's towupper in a UTF-8 locale is the simple uppercase mapping.
// Native only: the Windows C library's towupper is not.
#include <gtest/gtest.h>

#include <clocale>
#include <cwctype>

#include "text/name_case.h"

namespace zsetup {
namespace {

TEST(UpcaseTable, AgreesWithTheCLibraryOnEveryCharacterOfThePlane) {
    const char* const saved = std::setlocale(LC_CTYPE, nullptr);
    const std::string before = saved ? saved : "C";
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    int differences = 0, mapped = 0;
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const auto expected = static_cast<char32_t>(std::towupper(static_cast<std::wint_t>(c)));
        const char32_t upper = UpcaseAsNtfs(c);
        if (upper != c) ++mapped;
        if (upper != (expected > 0xFFFF ? c : expected) && ++differences <= 10)
            ADD_FAILURE() << std::hex << "U+" << static_cast<unsigned>(c) << ": table U+"
                          << static_cast<unsigned>(upper) << ", C library U+" << static_cast<unsigned>(expected);
    }
    std::setlocale(LC_CTYPE, before.c_str());
    EXPECT_EQ(differences, 0);
    EXPECT_GT(mapped, 1000) << "the table maps the plane's lower-case letters";
}

}  // namespace
}  // namespace zsetup
