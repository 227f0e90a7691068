// What `zsetup inspect` prints: every field of the record, the three tables
// with their counts, the payload size, both checksums, the program's kind
// (x86 or x64), and whether it and its uninstaller are signed.
// Texts are shown in UTF-8.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "builder/package_reader.h"

namespace zsetup {

void WriteTextReport(const PackageContents& contents, std::ostream& out);
void WriteJsonReport(const PackageContents& contents, std::ostream& out);

// A UTF-8 text as a JSON string, quotes included.
std::string JsonText(const std::string& utf8);
// A signature as a JSON value: null when not signed, or its entries, their
// types and its bytes.
std::string SignatureJson(const std::optional<CertificateTable>& signature);

}  // namespace zsetup
