// The program's named RCDATA resources: under Wine this test program carries
// them (resources_fixture.rc), and the stand-in is given the same.
#include <gtest/gtest.h>

#include "platform/memory/memory_resources.h"
#include "tests/support/backends.h"
#ifdef _WIN32
#include "platform/win32/win32_resources.h"
#endif

namespace zsetup {
namespace {

const std::vector<std::uint8_t> kFixture = {'G',  'B',  'K', ' ', 0xD6, 0xD0, 0xCE, 0xC4,
                                            0x00, 0xFF, 'A', ' ', 'e',  'n',  'd'};

std::vector<testing::Backend<Resources>> Backends() {
    std::vector<testing::Backend<Resources>> b = {{"memory", [] {
                                                       auto r = std::make_unique<MemoryResources>();
                                                       r->Add("ZSETUPFIXTURE", kFixture);
                                                       return r;
                                                   }}};
#ifdef _WIN32
    b.push_back({"win32", [] { return std::make_unique<Win32Resources>(); }});
#endif
    return b;
}

class ResourcesContract : public ::testing::TestWithParam<testing::Backend<Resources>> {};

TEST_P(ResourcesContract, GivesTheExactBytesOfANamedRcData) {
    auto resources = GetParam().make();
    EXPECT_EQ(resources->RcData("ZSETUPFIXTURE"), kFixture);
    EXPECT_EQ(resources->RcData("zsetupFixture"), kFixture);
    EXPECT_FALSE(resources->RcData("SETUPINI").has_value());
    // A resource of that name but another type is no RCDATA.
    EXPECT_FALSE(resources->RcData("ZSETUPOTHER").has_value());
}

INSTANTIATE_TEST_SUITE_P(Backends, ResourcesContract, ::testing::ValuesIn(Backends()), testing::BackendName<Resources>);

}  // namespace
}  // namespace zsetup
