// What `zsetup inspect` prints: every field of the record, the three tables
// with their counts, the payload size and both checksums. Texts are shown in
// UTF-8.
#pragma once

#include <ostream>

#include "builder/package_reader.h"

namespace zsetup {

void WriteTextReport(const PackageContents& contents, std::ostream& out);
void WriteJsonReport(const PackageContents& contents, std::ostream& out);

}  // namespace zsetup
