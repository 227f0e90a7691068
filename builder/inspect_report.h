// What `zsetup inspect` prints: every field of the record, the three tables
// with their counts, the payload size, both checksums, the program's kind
// (x86 or x64) and the signature.
// Texts are shown in UTF-8.
#pragma once

#include <ostream>
#include <string>

#include "builder/package_reader.h"

namespace zsetup {

void WriteTextReport(const PackageContents& contents, std::ostream& out);
void WriteJsonReport(const PackageContents& contents, std::ostream& out);

// A UTF-8 text as a JSON string, quotes included.
std::string JsonText(const std::string& utf8);
// The signature as a JSON value: null, or its kind, entries and bytes.
std::string SignatureJson(const PackageContents& contents);

}  // namespace zsetup
