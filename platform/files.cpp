#include "platform/files.h"

#include <cstdio>

#include "text/gbk.h"

namespace zsetup {
namespace {

constexpr std::string_view kHead = "~zsetup";
constexpr std::string_view kTail = ".tmp";
constexpr std::size_t kDigits = 8;

}  // namespace

std::string TempFileName(std::uint32_t number) {
    char digits[kDigits + 1];
    std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(number));
    return std::string(kHead) + digits + std::string(kTail);
}

bool IsTempFileName(std::string_view name) {
    if (name.size() != kHead.size() + kDigits + kTail.size()) return false;
    if (FoldAsciiCase(name.substr(0, kHead.size())) != kHead ||
        FoldAsciiCase(name.substr(kHead.size() + kDigits)) != kTail)
        return false;
    for (const char c : name.substr(kHead.size(), kDigits))
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

}  // namespace zsetup
