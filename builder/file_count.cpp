#include "builder/file_count.h"

namespace zsetup {

std::string FileCountProblem(const std::vector<FilesFrom>& groups) {
    std::size_t total = 0;
    std::string parts;
    for (const FilesFrom& g : groups) {
        total += g.files;
        if (g.files == 0) continue;
        parts += (parts.empty() ? "" : ", ") + std::to_string(g.files) + " from " + g.rows;
    }
    if (total <= kMostFiles) return {};
    return "the product has " + std::to_string(total) + " files (" + parts + "); an installer holds at most " +
           std::to_string(kMostFiles);
}

FileEntry& FileRowAt(SetupConfig& record, std::vector<FileEntry>& extra_files, std::size_t i) {
    return i < kMaxRows ? record.Files[i] : extra_files[i - kMaxRows];
}

void AppendFileRow(SetupConfig& record, std::vector<FileEntry>& extra_files, const std::string& name) {
    if (record.FileCount < kMaxRows) {
        record.Files[record.FileCount++].Name.assign(name);
        return;
    }
    FileEntry row{};
    row.Name.assign(name);
    extra_files.push_back(row);
}

}  // namespace zsetup
