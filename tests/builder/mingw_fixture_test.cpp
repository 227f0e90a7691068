// A program built by the mingw toolchain, filled by the writer, then read by
// tools that share no code with it: binutils' objdump and icoutils' wrestool.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>

#include "builder/pe_image.h"
#include "builder/resource_writer.h"
#include "tests/builder/native_tools.h"

namespace zsetup {
namespace {

using namespace zsetup::testing;

std::map<std::string, std::size_t> ListedRcData(const std::string& path) {
    return testing::ListedRcData(ZSETUP_WRESTOOL, path);
}

std::size_t ListedManifestSize(const std::string& path) {
    const ToolRun run = Capture(std::string(ZSETUP_WRESTOOL) + " -l --type=24 '" + path + "'");
    const std::size_t size = run.output.find("size=");
    EXPECT_NE(size, std::string::npos) << run.output;
    return size == std::string::npos ? 0 : std::stoul(run.output.substr(size + 5));
}

Bytes Filled(std::size_t size, std::uint8_t seed) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(seed + i * 13 + i / 509);
    return b;
}

TEST(MingwFixtureTest, ReaderFindsWhatWindresWrote) {
    const Bytes exe = ReadFile(ZSETUP_PE_FIXTURE);
    EXPECT_EQ(FindRcData(exe, "FIXTUREDATA"), ReadFile(ZSETUP_FIXTURE_BIN));
    const std::string protocol = "old protocol text";
    EXPECT_EQ(FindRcData(exe, "PROTOCOL"), Bytes(protocol.begin(), protocol.end()));
}

TEST(MingwFixtureTest, ObjdumpAndWrestoolReadTheFilledProgram) {
    const Bytes exe = ReadFile(ZSETUP_PE_FIXTURE);
    const std::string original = WriteTemp(exe, "pe_fixture_original.exe");
    const std::size_t manifest = ListedManifestSize(original);
    ASSERT_GT(manifest, 0u);

    const Bytes filled =
        WriteRcData(exe, {{"SETUPINI", Filled(17, 1)}, {"SETUPPACK", Filled(70001, 2)}, {"PROTOCOL", Filled(4096, 3)}});
    const std::string path = WriteTemp(filled, "pe_fixture_filled.exe");
    const ToolRun objdump = Capture(std::string(ZSETUP_OBJDUMP) + " -p '" + path + "'");
    ASSERT_EQ(objdump.status, 0) << objdump.output;
    EXPECT_NE(objdump.output.find("Resource Directory"), std::string::npos) << objdump.output;
    const std::map<std::string, std::size_t> expected{{"FIXTUREDATA", ReadFile(ZSETUP_FIXTURE_BIN).size()},
                                                      {"PROTOCOL", 4096},
                                                      {"SETUPINI", 17},
                                                      {"SETUPPACK", 70001}};
    EXPECT_EQ(ListedRcData(path), expected);
    EXPECT_EQ(ListedManifestSize(path), manifest);

    // Replacing with another size, in whichever section the first write left the tree.
    const Bytes refilled = WriteRcData(filled, {{"SETUPPACK", Filled(5, 4)}});
    const std::string repath = WriteTemp(refilled, "pe_fixture_refilled.exe");
    ASSERT_EQ(Capture(std::string(ZSETUP_OBJDUMP) + " -p '" + repath + "'").status, 0);
    auto reexpected = expected;
    reexpected["SETUPPACK"] = 5;
    EXPECT_EQ(ListedRcData(repath), reexpected);
    EXPECT_EQ(FindRcData(refilled, "SETUPINI"), Filled(17, 1));
}

TEST(MingwFixtureTest, ObjdumpReportsTheChecksumTheWriterStored) {
    const Bytes filled = WriteRcData(ReadFile(ZSETUP_PE_FIXTURE), {{"SETUPINI", Filled(100, 5)}});
    const ToolRun objdump =
        Capture(std::string(ZSETUP_OBJDUMP) + " -p '" + WriteTemp(filled, "pe_fixture_sum.exe") + "'");
    std::istringstream fields(objdump.output.substr(std::min(objdump.output.find("CheckSum"), objdump.output.size())));
    std::string label, value;
    ASSERT_TRUE(fields >> label >> value && label == "CheckSum") << objdump.output;
    const std::size_t at = ParsePeImage(filled).checksum_offset();
    const std::uint32_t stored = filled[at] | (filled[at + 1] << 8) | (filled[at + 2] << 16) |
                                 (static_cast<std::uint32_t>(filled[at + 3]) << 24);
    EXPECT_EQ(std::stoul(value, nullptr, 16), stored);
    EXPECT_NE(stored, 0u);
}

}  // namespace
}  // namespace zsetup
