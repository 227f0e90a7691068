#include "text/name_case.h"

#include <algorithm>
#include <optional>

#include "text/encoding.h"
#include "text/gbk.h"
#include "text/upcase_table.h"
#include "text/utf8.h"

namespace zsetup {
namespace {

constexpr char kUndecodable = '\xFF';

std::optional<std::u32string> Decode(std::string_view gbk) {
    std::string utf8;
    if (!GbkToUtf8(gbk, utf8)) return std::nullopt;
    return DecodeUtf8(utf8);
}

// c upcased, as UTF-8.
void AppendUpcased(char32_t c, std::string& out) {
    c = UpcaseAsNtfs(c);
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    const int length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    static const unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    out += static_cast<char>(kLead[length] | (c >> (6 * (length - 1))));
    for (int k = length - 2; k >= 0; --k) out += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
}

}  // namespace

char32_t UpcaseAsNtfs(char32_t c) {
    if (c < 0x80) return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
    if (c > 0xFFFF) return c;
    const UpcaseRun* const end = kUpcaseRuns + kUpcaseRunCount;
    const UpcaseRun* run =
        std::upper_bound(kUpcaseRuns, end, c, [](char32_t value, const UpcaseRun& r) { return value < r.first; });
    if (run == kUpcaseRuns) return c;
    --run;
    const char32_t offset = c - run->first;
    if (offset % run->step != 0 || offset / run->step >= run->length) return c;
    return (c + run->delta) & 0xFFFF;
}

std::string NameCaseKey(std::string_view gbk) {
    std::string key;
    key.reserve(gbk.size() * 2);
    if (std::all_of(gbk.begin(), gbk.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        for (char c : gbk) key += static_cast<char>(UpcaseAsNtfs(static_cast<unsigned char>(c)));
        return key;
    }
    if (const auto decoded = Decode(gbk)) {
        for (char32_t c : *decoded) AppendUpcased(c, key);
        return key;
    }
    // One character at a time, so one undecodable pair keeps the rest comparable.
    for (std::size_t i = 0; i < gbk.size();) {
        const std::size_t n = GbkCharLength(gbk, i);
        const std::string_view piece = gbk.substr(i, n);
        if (const auto decoded = Decode(piece)) {
            for (char32_t c : *decoded) AppendUpcased(c, key);
        } else {
            key += kUndecodable;
            for (char byte : piece) {
                const auto b = static_cast<unsigned char>(byte);
                key += static_cast<char>(0x80 | b >> 4);
                key += static_cast<char>(0x80 | (b & 0x0F));
            }
        }
        i += n;
    }
    return key;
}

}  // namespace zsetup
