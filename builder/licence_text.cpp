#include "builder/licence_text.h"

#include <cstdio>
#include <map>
#include <utility>

#include "text/encoding.h"
#include "text/utf8.h"

namespace zsetup {
namespace {

constexpr std::size_t kMostProblems = 20;
constexpr std::size_t kMostLinesNamed = 10;

// Characters common in licences that GBK lacks, with what readers of the
// wizard will take for them. The dashes and quotes have GBK forms of their own.
const std::map<char32_t, std::u32string>& StandIns() {
    static const std::map<char32_t, std::u32string> table = {
        {U'\u00A0', U" "},       // no-break space
        {U'\u00A5', U"\uFFE5"},  // yen: the full-width sign GBK has
        {U'\u00A9', U"(C)"},    {U'\u00AB', U"<<"},  {U'\u00AE', U"(R)"}, {U'\u00BB', U">>"},
        {U'\u00BC', U"1/4"},    {U'\u00BD', U"1/2"}, {U'\u00BE', U"3/4"}, {U'\u2011', U"-"},  // non-breaking hyphen
        {U'\u2012', U"-"},                                                                    // figure dash
        {U'\u2022', U"\u00B7"},                                                               // bullet: the middle dot
        {U'\u2122', U"(TM)"},   {U'\u2212', U"-"},                                            // minus sign
    };
    return table;
}

std::string CodePoint(char32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

// The character in quotes and its number; control characters by number only.
std::string Shown(char32_t c) {
    if (c < 0x20 || c == 0x7F) return CodePoint(c);
    return "\"" + EncodeUtf8(std::u32string(1, c)) + "\" (" + CodePoint(c) + ")";
}

struct Place {
    std::size_t line = 1, column = 1;
};

// Where the character after these points stands.
Place After(const std::u32string& points) {
    Place at;
    for (char32_t c : points) {
        if (c == U'\n') {
            ++at.line;
            at.column = 1;
        } else {
            ++at.column;
        }
    }
    return at;
}

std::string At(const Place& p) {
    return "line " + std::to_string(p.line) + ", column " + std::to_string(p.column) + ": ";
}

// The file's code points and how it was read, or a problem where it stops
// being text in any encoding it could be.
std::u32string Decode(std::string_view bytes, LicenceText& out) {
    const auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
        const bool big = starts("\xFE\xFF");
        out.encoding = big ? LicenceEncoding::kUtf16Be : LicenceEncoding::kUtf16Le;
        DecodedText d = DecodeUtf16Prefix(bytes.substr(2), big);
        if (d.malformed_at != std::string_view::npos)
            out.problems.push_back(At(After(d.points)) + "a lone surrogate or a cut-off character, not " +
                                   LicenceEncodingName(out.encoding) + " text");
        return std::move(d.points);
    }
    const bool marked = starts("\xEF\xBB\xBF");
    if (marked) bytes.remove_prefix(3);
    DecodedText d = DecodeUtf8Prefix(bytes);
    if (d.malformed_at == std::string_view::npos) {
        out.encoding = marked ? LicenceEncoding::kUtf8WithMark : LicenceEncoding::kUtf8;
        return std::move(d.points);
    }
    std::string utf8;
    if (!marked && GbkToUtf8(bytes, utf8)) {
        out.encoding = LicenceEncoding::kGbk;
        return *DecodeUtf8(utf8);
    }
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(bytes[d.malformed_at]));
    out.problems.push_back(
        At(After(d.points)) + "byte " + byte + " is not UTF-8" +
        (marked ? " though the file starts with UTF-8's byte-order mark" : ", and the file is not GBK either") +
        "; save the licence as UTF-8");
    return {};
}

}  // namespace

const char* LicenceEncodingName(LicenceEncoding encoding) {
    switch (encoding) {
    case LicenceEncoding::kUtf8: return "UTF-8";
    case LicenceEncoding::kUtf8WithMark: return "UTF-8 (its byte-order mark)";
    case LicenceEncoding::kUtf16Le: return "UTF-16 LE (its byte-order mark)";
    case LicenceEncoding::kUtf16Be: return "UTF-16 BE (its byte-order mark)";
    case LicenceEncoding::kGbk: return "GBK (it is not UTF-8)";
    }
    return "";
}

LicenceText DecodeLicence(std::string_view bytes) {
    LicenceText out;
    const std::u32string points = Decode(bytes, out);
    if (!out.problems.empty()) return out;

    std::map<char32_t, std::vector<std::size_t>> replaced;  // the lines of each
    std::size_t refused = 0;
    Place at;
    const auto refuse = [&](const std::string& why) {
        if (refused++ < kMostProblems) out.problems.push_back(At(at) + why);
    };
    // A line at a time: most convert whole, only a line that does not is taken apart.
    for (std::size_t start = 0; start < points.size();) {
        std::size_t end = points.find(U'\n', start);
        end = end == std::u32string::npos ? points.size() : end + 1;
        const std::u32string_view line(points.data() + start, end - start);
        std::string gbk;
        if (line.find(U'\0') == std::u32string_view::npos && Utf8ToGbk(EncodeUtf8(line), gbk)) {
            out.gbk += gbk;
        } else {
            for (char32_t c : line) {
                const auto stand_in = StandIns().find(c);
                if (c == U'\0') {
                    refuse("U+0000 (NUL) would end the text there; a UTF-16 file needs its byte-order mark");
                } else if (Utf8ToGbk(EncodeUtf8(std::u32string(1, c)), gbk)) {
                    out.gbk += gbk;
                } else if (stand_in != StandIns().end() && Utf8ToGbk(EncodeUtf8(stand_in->second), gbk)) {
                    out.gbk += gbk;
                    auto& lines = replaced[c];
                    if (lines.empty() || lines.back() != at.line) lines.push_back(at.line);
                } else {
                    refuse(Shown(c) + " has no GBK form and no stand-in; write it otherwise or leave it out");
                }
                ++at.column;
            }
        }
        at = {at.line + 1, 1};
        start = end;
    }
    if (refused > kMostProblems)
        out.problems.push_back("... and " + std::to_string(refused - kMostProblems) + " more such characters");
    for (const auto& [c, lines] : replaced) {
        std::string named;
        for (std::size_t i = 0; i < lines.size() && i < kMostLinesNamed; ++i)
            named += (i ? ", " : "") + std::to_string(lines[i]);
        if (lines.size() > kMostLinesNamed) named += " and " + std::to_string(lines.size() - kMostLinesNamed) + " more";
        out.stand_ins.push_back(Shown(c) + " has no GBK form, written as \"" + EncodeUtf8(StandIns().at(c)) +
                                "\" (line" + (lines.size() == 1 ? " " : "s ") + named + ")");
    }
    if (!out.problems.empty()) out.gbk.clear();
    return out;
}

}  // namespace zsetup
