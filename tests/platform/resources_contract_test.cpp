// The program's named RCDATA resources: under Wine this test program carries
// them (resources_fixture.rc, with its manifest), and the stand-in is given
// the same.
#include <gtest/gtest.h>

#include "base/byte_source.h"
#include "platform/memory/memory_resources.h"
#include "tests/support/backends.h"
#ifdef _WIN32
#include "platform/win32/win32_resources.h"
#endif

namespace zsetup {
namespace {

// resources_fixture.manifest as it is spelled there.
const char kManifest[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
    "  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
    "    <security>\n"
    "      <requestedPrivileges>\n"
    "        <requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>\n"
    "      </requestedPrivileges>\n"
    "    </security>\n"
    "  </trustInfo>\n"
    "</assembly>\n";

const std::vector<std::uint8_t> kFixture = {'G',  'B',  'K', ' ', 0xD6, 0xD0, 0xCE, 0xC4,
                                            0x00, 0xFF, 'A', ' ', 'e',  'n',  'd'};

std::vector<testing::Backend<Resources>> Backends() {
    std::vector<testing::Backend<Resources>> b = {{"memory", [] {
                                                       auto r = std::make_unique<MemoryResources>();
                                                       r->Add("ZSETUPFIXTURE", kFixture);
                                                       r->manifest = kManifest;
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

// Everything a source gives, asked for `piece` bytes at a time.
std::vector<std::uint8_t> Drain(ByteSource& source, std::size_t piece) {
    std::vector<std::uint8_t> out;
    const std::uint8_t* bytes = nullptr;
    for (std::size_t got; (got = source.Next(&bytes, piece)) != 0;) out.insert(out.end(), bytes, bytes + got);
    return out;
}

// In place or from the program's file, the bytes are the resource's: under
// Wine the file is found from the image's section table.
TEST_P(ResourcesContract, GivesTheSameBytesInPlaceAndFromTheFileInAnyPieces) {
    auto resources = GetParam().make();
    for (const bool from_file : {false, true}) {
        SCOPED_TRACE(from_file ? "from the file" : "in place");
        auto source =
            from_file ? resources->RcDataFromFile("zsetupFixture") : resources->RcDataInPlace("ZSETUPFIXTURE");
        ASSERT_TRUE(source);
        EXPECT_EQ(source->size(), kFixture.size());
        for (std::size_t piece : {std::size_t{1}, std::size_t{4}, std::size_t{1000}}) {
            source->Rewind();
            EXPECT_EQ(Drain(*source, piece), kFixture) << piece;
        }
        // Part read, then rewound: from the first byte again.
        const std::uint8_t* bytes = nullptr;
        source->Rewind();
        ASSERT_EQ(source->Next(&bytes, 3), 3u);
        source->Rewind();
        EXPECT_EQ(Drain(*source, 5), kFixture);
    }
    EXPECT_FALSE(resources->RcDataInPlace("SETUPPACK"));
    EXPECT_FALSE(resources->RcDataFromFile("SETUPPACK"));
    EXPECT_FALSE(resources->RcDataFromFile("ZSETUPOTHER"));
}

// The program's own manifest, byte for byte: what decides its install scope.
TEST_P(ResourcesContract, GivesTheProgramsManifest) { EXPECT_EQ(GetParam().make()->ProgramManifest(), kManifest); }

INSTANTIATE_TEST_SUITE_P(Backends, ResourcesContract, ::testing::ValuesIn(Backends()), testing::BackendName<Resources>);

}  // namespace
}  // namespace zsetup
