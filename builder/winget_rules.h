// What the Windows Package Manager's manifest schema (1.6.0) takes of the
// values zsetup gives it, checked before anything is built, so a refused
// value is said in the builder's words rather than by winget's validator.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zsetup {

// The schema's lengths, in characters.
inline constexpr std::size_t kWingetNameFewest = 2, kWingetNameMost = 256;  // Publisher, PackageName
inline constexpr std::size_t kWingetLicenseFewest = 3, kWingetLicenseMost = 512;
inline constexpr std::size_t kWingetDescriptionFewest = 3, kWingetDescriptionMost = 256;
inline constexpr std::size_t kWingetVersionMost = 128;

// Why the text cannot be a PackageIdentifier, "Publisher.Product": two to
// eight parts of 1 to 32 printable ASCII characters between dots, none of
// them a blank or \ / : * ? " < > |, 128 in all. Empty when it can.
std::string WingetIdentifierProblem(std::string_view identifier);

// A name as one part of a formed identifier: its blanks left out, the rest
// ASCII letters, digits, - and _ (1 to 32 of them); nothing otherwise.
std::optional<std::string> IdentifierPart(std::string_view name);

// Why the text cannot be an InstallerUrl: http:// or https://, a host, no
// blank or control character, 2048 characters at most. Empty when it can.
std::string WingetUrlProblem(std::string_view url);

// Why a version cannot be a PackageVersion: none of \ / : * ? " < > | or a
// control character, 1 to 128 characters. Empty when it can.
std::string WingetVersionProblem(std::string_view version);

// Why a UTF-8 text of the schema's lengths is not: "has 1 character, at least 2".
// Empty when it fits.
std::string LengthProblem(std::string_view utf8, std::size_t fewest, std::size_t most);

}  // namespace zsetup
