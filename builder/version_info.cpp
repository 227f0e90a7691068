#include "builder/version_info.h"

#include <string>
#include <utility>

#include "base/little_endian.h"
#include "text/utf8.h"
#include "text/encoding.h"

namespace zsetup {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::uint32_t kFixedStructVersion = 0x00010000;
constexpr std::uint32_t kFileFlagsMask = 0x3F;     // VS_FFI_FILEFLAGSMASK
constexpr std::uint32_t kOsNtWindows32 = 0x40004;  // VOS_NT_WINDOWS32
constexpr std::uint32_t kFileTypeApp = 1;          // VFT_APP
constexpr std::uint16_t kBinary = 0, kText = 1;    // a node's wType

void Put16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, static_cast<std::uint16_t>(v));
    Put16(b, static_cast<std::uint16_t>(v >> 16));
}
void Align4(Bytes& b) { b.resize((b.size() + 3) / 4 * 4, 0); }
void PutText(Bytes& b, const std::u16string& s) {
    for (char16_t c : s) Put16(b, c);
    Put16(b, 0);
}

// One node of the tree: its length, the length of its value (in characters
// for a text, in bytes otherwise), its type and key, then the value and the
// children, each starting on a 4-byte boundary.
Bytes Node(const std::u16string& key, std::uint16_t type, const Bytes& value, std::uint16_t value_length,
           const std::vector<Bytes>& children = {}) {
    Bytes b(6, 0);
    PutText(b, key);
    Align4(b);
    b.insert(b.end(), value.begin(), value.end());
    for (const Bytes& child : children) {
        Align4(b);
        b.insert(b.end(), child.begin(), child.end());
    }
    WriteLe16(&b[0], static_cast<std::uint16_t>(b.size()));
    WriteLe16(&b[2], value_length);
    WriteLe16(&b[4], type);
    return b;
}

std::u16string Wide(const std::string& gbk) {
    std::string utf8;
    GbkToUtf8(gbk, utf8);  // the record's texts were made from UTF-8
    return Utf8ToUtf16(utf8).value_or(std::u16string());
}

std::u16string Wide(const char* utf8) { return Utf8ToUtf16(utf8).value_or(std::u16string()); }

Bytes StringNode(const std::u16string& key, const std::u16string& value) {
    Bytes text;
    PutText(text, value);
    return Node(key, kText, text, static_cast<std::uint16_t>(value.size() + 1));
}

std::u16string TableKey(std::uint16_t language) {
    static const char kHex[] = "0123456789ABCDEF";
    std::u16string key;
    for (std::uint32_t v = (std::uint32_t{language} << 16) | kCodePageUtf16, shift = 32; shift > 0;)
        key.push_back(static_cast<char16_t>(kHex[(v >> (shift -= 4)) & 0xF]));
    return key;
}

std::u16string Dotted(const FileVersion& v) {
    std::string s;
    for (std::size_t i = 0; i < v.size(); ++i) s += (i ? "." : "") + std::to_string(v[i]);
    return Wide(s.c_str());
}

}  // namespace

std::optional<FileVersion> ParseFileVersion(std::string_view text) {
    if (!text.empty() && (text[0] == 'v' || text[0] == 'V')) text.remove_prefix(1);
    FileVersion v{};
    std::size_t parts = 0, i = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (parts == v.size()) return std::nullopt;
        std::uint32_t n = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            n = n * 10 + static_cast<std::uint32_t>(text[i] - '0');
            if (n > 0xFFFF) return std::nullopt;
        }
        v[parts++] = static_cast<std::uint16_t>(n);
        if (i + 1 < text.size() && text[i] == '.' && text[i + 1] >= '0' && text[i + 1] <= '9') ++i;
        else break;
    }
    if (parts == 0) return std::nullopt;
    return v;
}

Bytes VersionInfoResource(const SetupConfig& r) {
    const FileVersion version = ParseFileVersion(r.Version.text()).value_or(FileVersion{});
    Bytes fixed;
    for (std::uint32_t field :
         {kFixedSignature, kFixedStructVersion, std::uint32_t{version[0]} << 16 | version[1],
          std::uint32_t{version[2]} << 16 | version[3], std::uint32_t{version[0]} << 16 | version[1],
          std::uint32_t{version[2]} << 16 | version[3], kFileFlagsMask, 0u, kOsNtWindows32, kFileTypeApp, 0u, 0u, 0u})
        Put32(fixed, field);

    const std::u16string name = Wide(r.ProductName.text());
    const struct {
        std::uint16_t language;
        std::u16string description;
    } tables[] = {{kLangChineseSimplified, name + Wide("安装程序")}, {kLangEnglishUs, name + Wide(" Setup")}};
    std::vector<Bytes> string_tables;
    Bytes translations;
    for (const auto& table : tables) {
        const std::pair<const char*, std::u16string> strings[] = {
            {"CompanyName", Wide(r.Author.text())},
            {"FileDescription", table.description},
            {"FileVersion", Dotted(version)},
            {"LegalCopyright", Wide(r.LegalNotice.text())},
            {"ProductName", name},
            {"ProductVersion", Wide(r.Version.text())},
        };
        std::vector<Bytes> nodes;
        for (const auto& [key, value] : strings)
            if (!value.empty()) nodes.push_back(StringNode(Wide(key), value));
        string_tables.push_back(Node(TableKey(table.language), kText, {}, 0, nodes));
        Put16(translations, table.language);
        Put16(translations, kCodePageUtf16);
    }
    const Bytes translation =
        Node(u"Translation", kBinary, translations, static_cast<std::uint16_t>(translations.size()));
    return Node(
        u"VS_VERSION_INFO", kBinary, fixed, static_cast<std::uint16_t>(fixed.size()),
        {Node(u"StringFileInfo", kText, {}, 0, string_tables), Node(u"VarFileInfo", kText, {}, 0, {translation})});
}

}  // namespace zsetup
