#include "builder/extract.h"

#include <fstream>
#include <stdexcept>
#include <string>

#include "package/config_validation.h"
#include "package/errors.h"
#include "package/extra_files.h"
#include "text/encoding.h"

namespace zsetup {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kPiece = 1 << 20;

// Whether the path, links followed, lies inside the folder (given as it is on disk).
bool Inside(const fs::path& path, const fs::path& folder) {
    const fs::path relative = fs::weakly_canonical(path).lexically_relative(folder);
    return !relative.empty() && *relative.begin() != ".." && !relative.is_absolute();
}

}  // namespace

std::vector<std::string> ExtractFiles(const PackageContents& c, const fs::path& folder) {
    const auto problems = ValidateConfig(*c.record, c.extra_files, c.payload->size());
    if (!problems.empty()) throw PackageError("The package is not sound:\n" + DescribeProblems(problems));
    fs::create_directories(folder);
    const fs::path root = fs::canonical(folder);
    std::vector<std::string> skipped;
    std::vector<std::uint8_t> piece(kPiece);
    const AllFileRows rows(*c.record, c.extra_files);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const FileEntry& row = rows[i];
        const std::string name = GbkToUtf8(row.Name.text());
        // The installer writes no such row; validation leaves its name unchecked.
        if (IsSkippedRow(row)) {
            skipped.push_back("Files[" + std::to_string(i) + "] \"" + name +
                              "\": its name holds \"*.\", a row the installer skips");
            continue;
        }
        std::string relative = name.substr(1);  // validated: starts with a backslash
        for (char& ch : relative)
            if (ch == '\\') ch = '/';
        const fs::path target = root / fs::u8path(relative);
        // A link in the folder (put there before, not by us) could lead anywhere:
        // checked before a folder is made through it.
        if (!Inside(target.parent_path(), root) || fs::is_symlink(fs::symlink_status(target)))
            throw std::runtime_error("Refusing to write \"" + target.u8string() + "\": a link leads it out of \"" +
                                     root.u8string() + "\"");
        fs::create_directories(target.parent_path());
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        c.payload->Open(row);
        for (std::size_t got; (got = c.payload->Read(piece.data(), piece.size())) != 0;)
            out.write(reinterpret_cast<const char*>(piece.data()), static_cast<std::streamsize>(got));
        out.close();
        if (!out) throw std::runtime_error("Cannot write \"" + target.u8string() + "\"");
    }
    return skipped;
}

}  // namespace zsetup
