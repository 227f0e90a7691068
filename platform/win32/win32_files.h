// The real file system through the W functions, converting GBK explicitly.
#pragma once

#include "platform/files.h"

namespace zsetup {

class Win32Files : public Files {
public:
    std::optional<std::uint32_t> Attributes(const std::string& path) override;
    bool MakeDirectory(const std::string& path) override;
    std::uint32_t SetCurrentDir(const std::string& path) override;
    std::string CurrentDir() override;
    bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) override;
    bool WriteFileFrom(const std::string& path, const Filler& fill) override;
    std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool MoveReplacing(const std::string& from, const std::string& to) override;
    bool FlushToDisk(const std::string& path) override;
    std::optional<std::string> MakeTempFile(const std::string& folder) override;
    bool RemoveFolder(const std::string& path) override;
    std::vector<std::string> FolderEntries(const std::string& folder) override;
    bool CopyFileTo(const std::string& from, const std::string& to) override;
    bool RemoveAtRestart(const std::string& path) override;
    std::string TempFolder() override;
    bool ProtectFolder(const std::string& path) override;
};

}  // namespace zsetup
