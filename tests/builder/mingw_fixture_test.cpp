// A program built by each mingw toolchain, 32-bit and 64-bit, filled by the
// writer, then read by tools that share no code with it: binutils' objdump
// and icoutils' wrestool.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <sstream>
#include <string>

#include "pe/pe_image.h"
#include "pe/resource_writer.h"
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

// The fixture as each mingw toolchain builds it, with the objdump of its target.
struct Toolchain {
    const char* label;
    const char* fixture;
    const char* objdump;
    PeMachine machine;
    const char* objdump_magic;  // how objdump -p names the optional header
};

void PrintTo(const Toolchain& t, std::ostream* os) { *os << t.label; }

const Toolchain kToolchains[] = {
    {"i686", ZSETUP_PE_FIXTURE, ZSETUP_OBJDUMP, PeMachine::kI386, "(PE32)"},
    {"x86_64", ZSETUP_PE_FIXTURE_X64, ZSETUP_OBJDUMP_X64, PeMachine::kAmd64, "(PE32+)"},
};

class MingwFixtureTest : public ::testing::TestWithParam<Toolchain> {
protected:
    Bytes Exe() const { return ReadFile(GetParam().fixture); }
    ToolRun Objdump(const std::string& path) const {
        return Capture(std::string(GetParam().objdump) + " -p '" + path + "'");
    }
    std::string Temp(const Bytes& bytes, const std::string& name) const {
        return WriteTemp(bytes, std::string(GetParam().label) + "_" + name);
    }
};

TEST_P(MingwFixtureTest, ReaderFindsWhatWindresWrote) {
    const Bytes exe = Exe();
    EXPECT_EQ(ParsePeImage(exe).machine, GetParam().machine);
    EXPECT_EQ(ProgramMachine(exe), GetParam().machine);
    EXPECT_EQ(FindRcData(exe, "FIXTUREDATA"), ReadFile(ZSETUP_FIXTURE_BIN));
    const std::string protocol = "old protocol text";
    EXPECT_EQ(FindRcData(exe, "PROTOCOL"), Bytes(protocol.begin(), protocol.end()));
}

TEST_P(MingwFixtureTest, ObjdumpAndWrestoolReadTheFilledProgram) {
    const Bytes exe = Exe();
    const std::string original = Temp(exe, "pe_fixture_original.exe");
    const std::size_t manifest = ListedManifestSize(original);
    ASSERT_GT(manifest, 0u);

    const Bytes filled =
        WriteRcData(exe, {{"SETUPINI", Filled(17, 1)}, {"SETUPPACK", Filled(70001, 2)}, {"PROTOCOL", Filled(4096, 3)}});
    const std::string path = Temp(filled, "pe_fixture_filled.exe");
    const ToolRun objdump = Objdump(path);
    ASSERT_EQ(objdump.status, 0) << objdump.output;
    EXPECT_NE(objdump.output.find("Resource Directory"), std::string::npos) << objdump.output;
    EXPECT_NE(objdump.output.find(GetParam().objdump_magic), std::string::npos) << objdump.output;
    const std::map<std::string, std::size_t> expected{{"FIXTUREDATA", ReadFile(ZSETUP_FIXTURE_BIN).size()},
                                                      {"PROTOCOL", 4096},
                                                      {"SETUPINI", 17},
                                                      {"SETUPPACK", 70001}};
    EXPECT_EQ(ListedRcData(path), expected);
    EXPECT_EQ(ListedManifestSize(path), manifest);

    // Replacing with another size, in whichever section the first write left the tree.
    const Bytes refilled = WriteRcData(filled, {{"SETUPPACK", Filled(5, 4)}});
    const std::string repath = Temp(refilled, "pe_fixture_refilled.exe");
    ASSERT_EQ(Objdump(repath).status, 0);
    auto reexpected = expected;
    reexpected["SETUPPACK"] = 5;
    EXPECT_EQ(ListedRcData(repath), reexpected);
    EXPECT_EQ(FindRcData(refilled, "SETUPINI"), Filled(17, 1));
}

TEST_P(MingwFixtureTest, ObjdumpReportsTheChecksumTheWriterStored) {
    const Bytes filled = WriteRcData(Exe(), {{"SETUPINI", Filled(100, 5)}});
    const ToolRun objdump = Objdump(Temp(filled, "pe_fixture_sum.exe"));
    std::istringstream fields(objdump.output.substr(std::min(objdump.output.find("CheckSum"), objdump.output.size())));
    std::string label, value;
    ASSERT_TRUE(fields >> label >> value && label == "CheckSum") << objdump.output;
    const std::size_t at = ParsePeImage(filled).checksum_offset();
    const std::uint32_t stored = filled[at] | (filled[at + 1] << 8) | (filled[at + 2] << 16) |
                                 (static_cast<std::uint32_t>(filled[at + 3]) << 24);
    EXPECT_EQ(std::stoul(value, nullptr, 16), stored);
    EXPECT_NE(stored, 0u);
}

INSTANTIATE_TEST_SUITE_P(Toolchains, MingwFixtureTest, ::testing::ValuesIn(kToolchains),
                         [](const ::testing::TestParamInfo<Toolchain>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace zsetup
