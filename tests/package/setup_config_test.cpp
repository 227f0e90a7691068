#include "package/setup_config.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace zsetup {
namespace {

// Records are 207 KB: keep them off the stack.
std::unique_ptr<SetupConfig> NewZero() { return std::make_unique<SetupConfig>(SetupConfig::Zero()); }

std::vector<std::uint8_t> ZeroImage() { return std::vector<std::uint8_t>(SetupConfig::kSize, 0); }

TEST(SetupConfigRecord, EmptyLengthByteReadsEmptyWhateverTheStorageHolds) {
    auto image = ZeroImage();
    std::memset(image.data() + 654 + 1, 'x', 128);  // ProductName storage, length byte 0
    auto c = std::make_unique<SetupConfig>(SetupConfig::FromBytes(image.data(), image.size()));
    EXPECT_EQ(c->ProductName.text(), "");
}

TEST(SetupConfigRecord, FullLengthStringIsFollowedDirectlyByTheNextField) {
    auto image = ZeroImage();
    image[0] = 128;
    std::memset(image.data() + 1, 'a', 128);
    image[129] = 3;  // CompanyKeyName's length byte right after Author's last storage byte
    std::memcpy(image.data() + 130, "abc", 3);
    auto c = std::make_unique<SetupConfig>(SetupConfig::FromBytes(image.data(), image.size()));
    EXPECT_EQ(c->Author.text(), std::string(128, 'a'));
    EXPECT_EQ(c->CompanyKeyName.text(), "abc");
}

TEST(SetupConfigRecord, StaleBytesAfterARowNameHaveNoEffect) {
    auto image = ZeroImage();
    const std::size_t row = 1324;  // Files[0]
    image[row] = 8;
    std::memcpy(image.data() + row + 1, "\\app.exe", 8);
    std::memset(image.data() + row + 9, 0xCC, 131 - 8);  // stale storage up to Offset
    image[37164] = 1;                                    // FileCount
    auto c = std::make_unique<SetupConfig>(SetupConfig::FromBytes(image.data(), image.size()));
    ASSERT_EQ(c->FileRows().size(), 1u);
    EXPECT_EQ(c->FileRows()[0].Name.text(), "\\app.exe");
    EXPECT_EQ(c->FileRows()[0].Offset, 0);
}

TEST(SetupConfigRecord, ShortInputLeavesTheRestZero) {
    auto full = NewZero();
    full->ProductName.assign("Product");
    full->InstallFolder.assign("C:\\Product");
    full->FileCount = 3;
    auto bytes = full->ToBytes();
    // 700 bytes end inside ProductName's storage: its length byte arrived, the folder did not.
    auto c = std::make_unique<SetupConfig>(SetupConfig::FromBytes(bytes.data(), 700));
    EXPECT_EQ(c->ProductName.text(), "Product");
    EXPECT_EQ(c->InstallFolder.text(), "");
    EXPECT_EQ(c->FileCount, 0);
    EXPECT_EQ(c->PackChecksum, 0);

    auto none = std::make_unique<SetupConfig>(SetupConfig::FromBytes(nullptr, 0));
    EXPECT_EQ(none->ToBytes(), ZeroImage());
}

TEST(SetupConfigRecord, LongerInputIsCutAtTheRecordSize) {
    auto image = ZeroImage();
    image.resize(SetupConfig::kSize + 50, 0xEE);
    auto c = std::make_unique<SetupConfig>(SetupConfig::FromBytes(image.data(), image.size()));
    EXPECT_EQ(c->RegistryCount, 0);
}

TEST(SetupConfigRecord, InstallFolderKeepsItsFirst128Bytes) {
    auto c = NewZero();
    std::string path = "C:\\" + std::string(197, 'p');
    c->SetInstallFolder(path);
    EXPECT_EQ(c->InstallFolder.length, 128);
    EXPECT_EQ(c->InstallFolder.text(), path.substr(0, 128));
}

TEST(SetupConfigRecord, RoundTripKeepsEveryByteAtItsOffset) {
    auto c = NewZero();
    c->Author.assign("\xd7\xf7\xd5\xdf");  // GBK bytes pass through unchanged
    c->Version.assign("2.0.1");
    c->InstallDate.assign("20261210");
    c->PackChecksum = -2;
    c->FileCount = 2;
    c->Files[1].Name.assign("\\readme.txt");
    c->Files[1].Offset = 0x01020304;
    c->Files[1].Size = 7;
    c->ShortcutCount = 1;
    c->Shortcuts[0].Kind = 2;
    c->Shortcuts[0].Arguments.assign("/s");
    c->RegistryCount = 256;
    c->RegistryEntries[255].IntValue = -1;

    auto bytes = c->ToBytes();
    ASSERT_EQ(bytes.size(), SetupConfig::kSize);
    EXPECT_EQ(bytes[516], 5);                                       // Version's length byte
    EXPECT_EQ(std::memcmp(bytes.data() + 1171, "20261210", 8), 0);  // InstallDate's text
    EXPECT_EQ(bytes[1320], 0xFE);                                   // PackChecksum, little-endian
    EXPECT_EQ(bytes[1323], 0xFF);
    const std::size_t row1 = 1324 + 140;
    EXPECT_EQ(bytes[row1 + 132], 0x04);  // Files[1].Offset
    EXPECT_EQ(bytes[row1 + 135], 0x01);
    EXPECT_EQ(bytes[37164], 2);        // FileCount
    EXPECT_EQ(bytes[37168 + 136], 2);  // Shortcuts[0].Kind
    EXPECT_EQ(bytes[37168 + 137], 2);  // Shortcuts[0].Arguments' length byte
    EXPECT_EQ(bytes[207156], 0);       // RegistryCount = 256
    EXPECT_EQ(bytes[207157], 1);
    EXPECT_EQ(bytes[105780 + 255 * 396 + 392], 0xFF);

    auto back = std::make_unique<SetupConfig>(SetupConfig::FromBytes(bytes.data(), bytes.size()));
    EXPECT_EQ(back->ToBytes(), bytes);
    EXPECT_EQ(back->Author.text(), "\xd7\xf7\xd5\xdf");
    EXPECT_EQ(back->FileRows()[1].Offset, 0x01020304);
}

TEST(SetupConfigRecord, TablesShowTheirCountedRowsAndNeverReadPastTheRecord) {
    auto c = NewZero();
    c->Files[0].Name.assign("\\a");
    c->Files[1].Name.assign("\\b");
    c->FileCount = 1;
    ASSERT_EQ(c->FileRows().size(), 1u);
    EXPECT_EQ(c->FileRows().begin()->Name.text(), "\\a");

    c->FileCount = -5;
    EXPECT_TRUE(c->FileRows().empty());
    c->ShortcutCount = 100000;
    EXPECT_EQ(c->ShortcutRows().size(), 256u);
    c->RegistryCount = 257;
    EXPECT_EQ(c->RegistryRows().size(), 256u);
}

}  // namespace
}  // namespace zsetup
