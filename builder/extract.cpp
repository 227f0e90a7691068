#include "builder/extract.h"

#include <fstream>
#include <stdexcept>
#include <string>

#include "package/config_validation.h"
#include "package/errors.h"
#include "package/extra_files.h"
#include "text/encoding.h"

namespace zsetup {

void ExtractFiles(const PackageContents& c, const std::filesystem::path& folder) {
    const auto problems = ValidateConfig(*c.record, c.extra_files, c.payload.size());
    if (!problems.empty()) throw PackageError("The package is not sound:\n" + DescribeProblems(problems));
    const AllFileRows rows(*c.record, c.extra_files);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const FileEntry& row = rows[i];
        std::string relative = GbkToUtf8(row.Name.text()).substr(1);  // validated: starts with a backslash
        for (char& ch : relative)
            if (ch == '\\') ch = '/';
        const std::filesystem::path target = folder / std::filesystem::u8path(relative);
        std::filesystem::create_directories(target.parent_path());
        // Validation keeps every slice inside the payload.
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(c.payload.data() + row.Offset), row.Size);
        out.close();
        if (!out) throw std::runtime_error("Cannot write \"" + target.u8string() + "\"");
    }
}

}  // namespace zsetup
