// The licence file as the installer carries it (PROTOCOL): GBK text. Read
// from UTF-8 (a byte-order mark dropped), UTF-16 with its byte-order mark, or
// GBK (a file without a mark that is not UTF-8). A character without a GBK
// form becomes its stand-in where it has an obvious one ("©" is "(C)") and is
// refused otherwise; so is a NUL, which would end the text early.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zsetup {

enum class LicenceEncoding { kUtf8, kUtf8WithMark, kUtf16Le, kUtf16Be, kGbk };

// "UTF-8", "UTF-16 LE (its byte-order mark)", "GBK (not UTF-8)" ...
const char* LicenceEncodingName(LicenceEncoding encoding);

struct LicenceText {
    std::string gbk;
    LicenceEncoding encoding = LicenceEncoding::kUtf8;
    // One per character replaced: "\"©\" (U+00A9) has no GBK form, written as \"(C)\" (lines 1, 4)".
    std::vector<std::string> stand_ins;
    // Why the text cannot be used, each from "line L, column C: "; empty when it can.
    std::vector<std::string> problems;
};

LicenceText DecodeLicence(std::string_view bytes);

}  // namespace zsetup
