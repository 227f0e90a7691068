// The version information Windows shows for setup.exe (Explorer's Details
// tab, the file's properties): a VS_VERSIONINFO resource made from the
// product's texts. It holds a numeric file version and two string tables,
// Simplified Chinese (0804) and English (0409), both in code page 1200: the
// strings of a version resource are UTF-16 whatever the table says, and 1200
// says so, where 936 would claim a GBK that is not there.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "package/setup_config.h"

namespace zsetup {

inline constexpr std::uint32_t kRtVersion = 16;
inline constexpr std::uint32_t kVersionInfoId = 1;
inline constexpr std::uint16_t kLangChineseSimplified = 0x0804;
inline constexpr std::uint16_t kLangEnglishUs = 0x0409;
inline constexpr std::uint16_t kCodePageUtf16 = 1200;

using FileVersion = std::array<std::uint16_t, 4>;

// The numbers a version text starts with: "1.2.3" gives 1.2.3.0, "v2.5 beta"
// 2.5.0.0, "2026.12" 2026.12.0.0. Nothing when it does not start with a
// number (after an optional 'v'), or a number is over 65535, or there are more than four.
std::optional<FileVersion> ParseFileVersion(std::string_view version);

// The resource's bytes. Strings: ProductName, ProductVersion (the version as
// written), FileVersion (the numbers), FileDescription (name and "安装程序" or
// " Setup"), CompanyName (the author) and LegalCopyright (the legal notice),
// an empty text left out. No time stamp: the same record gives the same bytes.
std::vector<std::uint8_t> VersionInfoResource(const SetupConfig& record);

}  // namespace zsetup
