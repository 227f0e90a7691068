#include "builder/file_table.h"

#include <algorithm>

#include "package/config_validation.h"
#include "text/encoding.h"

namespace zsetup {
namespace {

// The first row of a clash as its message names it.
std::string Named(const FileTableRow& row, bool as_folder) {
    if (!row.from_folder) return row.owner + (as_folder ? "'s file" : "'s name");
    return (as_folder ? "the file " : "the name of ") + row.owner;
}

}  // namespace

void FileTable::Add(const std::string& rows, std::vector<FileTableRow> group, bool sort_by_name) {
    // Byte order of the GBK names: the same on every machine and in both builders.
    if (sort_by_name)
        std::sort(group.begin(), group.end(),
                  [](const FileTableRow& a, const FileTableRow& b) { return a.name < b.name; });
    groups_.push_back({rows, group.size()});
    for (FileTableRow& row : group) rows_.push_back(std::move(row));
}

std::vector<FileTableProblem> FileTable::Problems() const {
    std::vector<FileTableProblem> problems;
    if (std::string too_many = FileCountProblem(groups_); !too_many.empty()) {
        problems.push_back({0, too_many});
        return problems;  // clashes among more rows than fit would only add noise
    }
    std::vector<std::string> names;
    for (const FileTableRow& row : rows_) names.push_back(row.name);
    for (const NameClash& clash : FindNameClashes(names)) {
        const FileTableRow& first = rows_[clash.first];
        const FileTableRow& second = rows_[clash.second];
        const std::string which = second.from_folder ? " (" + second.owner + ")" : "";
        problems.push_back({second.name_line, second.key + ": \"" + GbkToUtf8(second.name) + "\"" + which +
                                                  (clash.folder ? " lies in a folder that is " : " is already ") +
                                                  Named(first, clash.folder)});
    }
    return problems;
}

void FileTable::Fill(SetupConfig& record, std::vector<FileEntry>& extra_files, std::vector<SourceFile>& sources) const {
    for (const FileTableRow& row : rows_) {
        AppendFileRow(record, extra_files, row.name);
        sources.push_back(row.source);
    }
}

}  // namespace zsetup
