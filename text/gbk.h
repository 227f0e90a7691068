// GBK (code page 936) byte rules: which bytes pair into one character, where
// a path's folder part ends, and ASCII letter case.
// Text is GBK bytes in std::string; positions count bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zsetup {

inline bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
// 0x40..0xFE without 0x7F: the backslash 0x5C is one, '/' and ':' are not.
inline bool IsGbkTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// Bytes of the character at i: 2 for a lead byte followed by a trail byte,
// else 1. A lead byte before anything else stands alone.
std::size_t GbkCharLength(std::string_view text, std::size_t i);

// Whether the bytes at i are a character of code page 936: a lead byte with
// its trail byte, or one byte that is neither a lead byte nor 0xFF. 0x80 is
// one (the euro sign, as Windows' code page 936 has it). The one rule every
// check of GBK text goes by.
bool IsGbkCharacterAt(std::string_view text, std::size_t i);
// Whether all of the text is such characters.
bool IsGbkText(std::string_view text);

// Index of the last byte that is one of the separators and not the second
// byte of a double-byte character; npos when there is none.
std::size_t FindLastSeparator(std::string_view path, std::string_view separators = "\\");
// Likewise the first one at or after from.
std::size_t FindFirstSeparator(std::string_view path, std::size_t from = 0, std::string_view separators = "\\");

// The folder a path lies in: everything before its last backslash, a drive
// root keeping its own ("C:\"); empty without a backslash.
std::string FolderOf(std::string_view path);

// Whether a component of the path (between backslashes, or last) ends in a
// dot or a blank, which Windows drops from a name when it makes the file.
bool HasNameWindowsTrims(std::string_view path);

// Everything up to and including the last backslash or colon; empty
// without one. What the shell takes as a program's working folder.
std::string PathPart(std::string_view path);

// ASCII letters in lower case; both bytes of a double-byte character stay as
// they are. For what compares in ASCII only (device names, options); installed
// names compare as NTFS folds them (name_case.h).
std::string FoldAsciiCase(std::string_view text);

}  // namespace zsetup
