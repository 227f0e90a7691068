// File names as NTFS compares them: two names are one file when they are
// equal once each character is upcased through the volume's upcase table,
// which for the characters GBK holds is Unicode's simple uppercase mapping
// (upcase_table.h). So "ａ.txt" and "Ａ.txt", "α" and "Α", "я" and "Я",
// "ⅰ" and "Ⅰ" are one file, as "a" and "A" are; "一" and "丁" are not.
// The builder, the installer and verify compare installed names through
// this one key.
#pragma once

#include <string>
#include <string_view>

namespace zsetup {

// The character NTFS takes c for: its simple uppercase form within the Basic
// Multilingual Plane, else c itself.
char32_t UpcaseAsNtfs(char32_t c);

// A GBK name as NTFS compares it: its characters decoded, upcased and written
// as UTF-8, so two keys are equal exactly when the names are one file, and a
// backslash in a key is always a separator. A byte or pair with no character
// in code page 936 stands for itself: 0xFF (never in UTF-8), then each of its
// bytes as two bytes 0x80..0x8F (which never start a UTF-8 character).
std::string NameCaseKey(std::string_view gbk);

}  // namespace zsetup
