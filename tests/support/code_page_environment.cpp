// Every Wine test program checks first that it got the ANSI code page its run
// asked for: 936 by default, 1252 when the run is the English one. A program
// that converted text through the system's code page would pass the Chinese
// run by luck; the English run only proves something when it is English.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

class CodePageEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        const char* locale = std::getenv("ZSETUP_WINE_LOCALE");
        const std::string asked = locale ? locale : "zh_CN.UTF-8";
        ASSERT_EQ(GetACP(), asked.rfind("en_US", 0) == 0 ? 1252u : 936u) << "locale " << asked;
    }
};

const ::testing::Environment* const kCodePage = ::testing::AddGlobalTestEnvironment(new CodePageEnvironment);

}  // namespace
