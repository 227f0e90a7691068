// The record's file table from the manifest's rows: the [[file]] rows in their
// order, then each [[folder]] row's files, sorted by installed name so a build
// does not depend on the order a file system lists a folder in. The count is
// checked in one place (file_count.h); two rows that Windows would take for
// one file are named together.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "builder/file_count.h"
#include "builder/manifest.h"

namespace zsetup {

struct FileTableRow {
    std::string name;   // installed name, GBK, already checked on its own
    SourceFile source;  // its key names the row
    std::string owner;  // how a message names the row: "file[2]", "\"img/a.png\" from folder[0]"
    std::string key;    // where a problem with its name is reported: "file[2].name", "folder[0].name"
    bool from_folder = false;
    int name_line = 0;  // of its name in the manifest
};

struct FileTableProblem {
    int line;
    std::string message;  // "key: what"
};

class FileTable {
public:
    // A group of rows: the [[file]] rows, or one [[folder]] row's files (sorted here).
    void Add(const std::string& rows, std::vector<FileTableRow> group, bool sort_by_name);

    // The count and the clashes; empty when the table can be written.
    std::vector<FileTableProblem> Problems() const;

    // Names, offsets left for the packer; only after Problems() came back empty.
    // Rows past the record's 256 go into extra_files.
    void Fill(SetupConfig& record, std::vector<FileEntry>& extra_files, std::vector<SourceFile>& sources) const;
    const std::vector<FileTableRow>& rows() const { return rows_; }

private:
    std::vector<FileTableRow> rows_;
    std::vector<FilesFrom> groups_;
};

}  // namespace zsetup
