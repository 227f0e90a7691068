// The version resource: the numbers a version text gives, the tree read back
// by a walker of its own, and the writer putting it in place of any other.
#include "builder/version_info.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/little_endian.h"
#include "pe/pe_image.h"
#include "pe/resource_tree.h"
#include "pe/resource_writer.h"
#include "tests/pe/test_image.h"
#include "tests/support/case_names.h"
#include "text/encoding.h"

namespace zsetup {
namespace {

using testing::Bytes;

struct VersionCase {
    const char* label;
    const char* text;
    std::optional<FileVersion> numbers;
};

// gtest names a case by its label, also in ctest's list.
void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.label; }

const VersionCase kVersions[] = {
    {"three numbers", "1.2.3", FileVersion{1, 2, 3, 0}},
    {"four numbers", "10.20.30.40", FileVersion{10, 20, 30, 40}},
    {"one number", "7", FileVersion{7, 0, 0, 0}},
    {"a leading v", "v2.5", FileVersion{2, 5, 0, 0}},
    {"text after the numbers", "2.0 正式版", FileVersion{2, 0, 0, 0}},
    {"a suffix after a dash", "1.4.0-beta.2", FileVersion{1, 4, 0, 0}},
    {"a dot and then text", "3.x", FileVersion{3, 0, 0, 0}},
    {"the largest number", "65535.0", FileVersion{65535, 0, 0, 0}},
    {"a number too large", "65536.0", std::nullopt},
    {"five numbers", "1.2.3.4.5", std::nullopt},
    {"no number", "beta", std::nullopt},
    {"empty", "", std::nullopt},
};

class VersionTable : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionTable, GivesTheFileVersionNumbers) {
    std::string gbk;
    ASSERT_TRUE(Utf8ToGbk(GetParam().text, gbk));
    EXPECT_EQ(ParseFileVersion(gbk), GetParam().numbers);
}

INSTANTIATE_TEST_SUITE_P(Texts, VersionTable, ::testing::ValuesIn(kVersions), zsetup::testing::LabelName());

// A VS_VERSIONINFO node as Windows documents it, read without the writer's code.
struct Node {
    std::u16string key;
    std::uint16_t type = 0;
    Bytes value;
    std::vector<Node> children;
};

std::size_t Align4(std::size_t v) { return (v + 3) / 4 * 4; }

Node ReadNode(const Bytes& b, std::size_t at, bool value_in_characters) {
    const std::size_t length = ReadLe16(&b[at]);
    const std::size_t value_length = ReadLe16(&b[at + 2]);
    Node n;
    n.type = ReadLe16(&b[at + 4]);
    std::size_t p = at + 6;
    for (; ReadLe16(&b[p]) != 0; p += 2) n.key.push_back(static_cast<char16_t>(ReadLe16(&b[p])));
    p = Align4(p + 2);
    const std::size_t value_bytes = value_in_characters && n.type == 1 ? value_length * 2 : value_length;
    n.value.assign(b.begin() + static_cast<std::ptrdiff_t>(p),
                   b.begin() + static_cast<std::ptrdiff_t>(p + value_bytes));
    for (p = Align4(p + value_bytes); p < at + length; p = Align4(p + ReadLe16(&b[p])))
        n.children.push_back(ReadNode(b, p, true));
    EXPECT_LE(at + length, b.size());
    return n;
}

std::u16string Text(const Bytes& value) {
    std::u16string s;
    for (std::size_t i = 0; i + 1 < value.size(); i += 2) s.push_back(static_cast<char16_t>(ReadLe16(&value[i])));
    if (!s.empty() && s.back() == 0) s.pop_back();
    return s;
}

const Node* Child(const Node& n, const std::u16string& key) {
    for (const Node& c : n.children)
        if (c.key == key) return &c;
    return nullptr;
}

std::u16string U16(const char* utf8) {
    std::u16string s;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8); *p;) {
        char32_t c = *p < 0x80 ? *p++ : 0;
        if (!c) {
            const int n = *p >= 0xE0 ? 3 : 2;
            c = *p++ & (n == 3 ? 0x0F : 0x1F);
            for (int i = 1; i < n; ++i) c = (c << 6) | (*p++ & 0x3F);
        }
        s.push_back(static_cast<char16_t>(c));
    }
    return s;
}

SetupConfig Record(const char* name, const char* version, const char* author, const char* notice) {
    SetupConfig r = SetupConfig::Zero();
    std::string gbk;
    Utf8ToGbk(name, gbk);
    r.ProductName.assign(gbk);
    Utf8ToGbk(version, gbk);
    r.Version.assign(gbk);
    Utf8ToGbk(author, gbk);
    r.Author.assign(gbk);
    Utf8ToGbk(notice, gbk);
    r.LegalNotice.assign(gbk);
    return r;
}

TEST(VersionInfo, HoldsTheNumbersAndBothStringTables) {
    const Bytes bytes = VersionInfoResource(Record("演示软件", "2.5.1 正式版", "演示工作室", "版权所有 (C) 2026"));
    ASSERT_EQ(ReadLe16(&bytes[0]), bytes.size());
    const Node root = ReadNode(bytes, 0, false);
    EXPECT_EQ(root.key, u"VS_VERSION_INFO");
    ASSERT_EQ(root.value.size(), 52u);
    EXPECT_EQ(ReadLe32(&root.value[0]), 0xFEEF04BDu);
    EXPECT_EQ(ReadLe32(&root.value[8]), (2u << 16) | 5u);   // file version, most significant
    EXPECT_EQ(ReadLe32(&root.value[12]), 1u << 16);         // and least
    EXPECT_EQ(ReadLe32(&root.value[16]), (2u << 16) | 5u);  // product version
    EXPECT_EQ(ReadLe32(&root.value[36]), 1u);               // an application

    const Node* strings = Child(root, u"StringFileInfo");
    ASSERT_NE(strings, nullptr);
    const struct {
        const char16_t* table;
        const char* description;
    } tables[] = {{u"080404B0", "演示软件安装程序"}, {u"040904B0", "演示软件 Setup"}};
    for (const auto& t : tables) {
        SCOPED_TRACE(t.description);
        const Node* table = Child(*strings, t.table);
        ASSERT_NE(table, nullptr);
        std::map<std::u16string, std::u16string> values;
        for (const Node& s : table->children) values[s.key] = Text(s.value);
        const std::map<std::u16string, std::u16string> expected = {
            {u"CompanyName", U16("演示工作室")}, {u"FileDescription", U16(t.description)},
            {u"FileVersion", u"2.5.1.0"},        {u"LegalCopyright", U16("版权所有 (C) 2026")},
            {u"ProductName", U16("演示软件")},   {u"ProductVersion", U16("2.5.1 正式版")},
        };
        EXPECT_EQ(values, expected);
    }
    const Node* var = Child(root, u"VarFileInfo");
    ASSERT_NE(var, nullptr);
    const Node* translation = Child(*var, u"Translation");
    ASSERT_NE(translation, nullptr);
    ASSERT_EQ(translation->value.size(), 8u);
    EXPECT_EQ(ReadLe16(&translation->value[0]), 0x0804);
    EXPECT_EQ(ReadLe16(&translation->value[2]), 1200);
    EXPECT_EQ(ReadLe16(&translation->value[4]), 0x0409);
    EXPECT_EQ(ReadLe16(&translation->value[6]), 1200);
}

TEST(VersionInfo, LeavesOutEmptyTextsAndGivesZerosForNoNumbers) {
    const Node root = ReadNode(VersionInfoResource(Record("工具", "beta", "", "")), 0, false);
    EXPECT_EQ(ReadLe32(&root.value[8]), 0u);
    EXPECT_EQ(ReadLe32(&root.value[12]), 0u);
    const Node* table = Child(*Child(root, u"StringFileInfo"), u"080404B0");
    ASSERT_NE(table, nullptr);
    std::vector<std::u16string> keys;
    for (const Node& s : table->children) keys.push_back(s.key);
    EXPECT_EQ(keys,
              (std::vector<std::u16string>{u"FileDescription", u"FileVersion", u"ProductName", u"ProductVersion"}));
}

TEST(VersionInfo, TakesThePlaceOfEveryVersionEntryTheStubHas) {
    ResourceTree tree = testing::SampleTree();
    tree.push_back({ResourceKey::Id(kRtVersion),
                    {{ResourceKey::Id(1), {{ResourceKey::Id(0x409), 0, {1, 2, 3}}, {ResourceKey::Id(0), 0, {4}}}},
                     {ResourceKey::Id(2), {{ResourceKey::Id(0x409), 0, {5}}}}}});
    const Bytes image = testing::MakeImage(testing::Layout::kResourcesLast, tree);
    const Bytes version = VersionInfoResource(Record("工具", "1.0", "", ""));
    const Bytes out = WriteRcData(image, {}, {{kRtVersion, kVersionInfoId, kLangChineseSimplified, version}});

    const ResourceTree written = ReadResourceTree(out, ParsePeImage(out));
    const ResourceType* type = nullptr;
    for (const ResourceType& t : written)
        if (t.type == ResourceKey::Id(kRtVersion)) type = &t;
    ASSERT_NE(type, nullptr);
    ASSERT_EQ(type->entries.size(), 1u);
    EXPECT_EQ(type->entries[0].name, ResourceKey::Id(1));
    ASSERT_EQ(type->entries[0].languages.size(), 1u);
    EXPECT_EQ(type->entries[0].languages[0].language, ResourceKey::Id(0x0804));
    EXPECT_EQ(type->entries[0].languages[0].bytes, version);
    // Every other resource as it was.
    EXPECT_EQ(written.size(), testing::SampleTree().size() + 1);
    for (ResourceType t : testing::SampleTree()) {
        std::sort(t.entries.begin(), t.entries.end(),
                  [](const ResourceEntry& a, const ResourceEntry& b) { return ResourceKeyLess(a.name, b.name); });
        const auto same = std::find_if(written.begin(), written.end(), [&](const ResourceType& w) { return w == t; });
        EXPECT_NE(same, written.end());
    }
}

}  // namespace
}  // namespace zsetup
