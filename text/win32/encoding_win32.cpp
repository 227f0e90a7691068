#include "text/encoding.h"
#include "text/win32/wide_text.h"

namespace zsetup {
namespace {

bool Convert(std::string_view in, unsigned from, unsigned to, std::string& out) {
    const auto wide = ToWideExact(in, from);
    if (!wide) return false;
    auto result = FromWideExact(*wide, to);
    if (!result) return false;
    out = std::move(*result);
    return true;
}

}  // namespace

bool Utf8ToGbk(std::string_view utf8, std::string& gbk) { return Convert(utf8, kCodePageUtf8, kCodePageGbk, gbk); }
bool GbkToUtf8(std::string_view gbk, std::string& utf8) { return Convert(gbk, kCodePageGbk, kCodePageUtf8, utf8); }

}  // namespace zsetup
