// A package on the memory platform and a wizard started on it, for the
// wizard's native tests. Compiled as GBK like the wizard.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "installer/main_form.h"
#include "package/extra_files.h"
#include "package/packed_blob.h"
#include "package/payload_sum.h"
#include "platform/memory/memory_platform.h"
#include "platform/registry_accessor.h"

namespace zsetup::testing {

using Bytes = std::vector<std::uint8_t>;

inline const std::string kProductKey = "\\Software\\演示工作室\\演示软件";

// A sound record and payload; tests change them before Install.
struct Package {
    SetupConfig record = SetupConfig::Zero();
    std::vector<FileEntry> extra;  // the rows past the record's 256, carried as SETUPFILES
    Bytes payload;
    std::optional<Bytes> maker;    // SETUPMAKER, when the package carries one
    std::optional<Bytes> licence;  // PROTOCOL
    std::string manifest;          // the program's own: none, as a machine install's

    Package() {
        record.ProductName.assign("演示软件");
        record.Version.assign("1.0.0");
        record.Author.assign("演示工作室");
        record.Site.assign("http://www.example.com");
        record.Introduction.assign("一个小程序。\r\n第二行。");
        record.CompanyKeyName.assign("演示工作室");
        record.DefaultFolderName.assign("演示软件");
        record.InstallDate.assign("20261210");
        AddFile("\\hello.txt", "hello");
    }
    void AddFile(const std::string& name, const std::string& bytes) {
        FileEntry& row = record.FileCount < kMaxRows ? record.Files[record.FileCount++] : extra.emplace_back();
        row.Name.assign(name);
        row.Offset = static_cast<std::int32_t>(payload.size());
        row.Size = static_cast<std::int32_t>(bytes.size());
        payload.insert(payload.end(), bytes.begin(), bytes.end());
        record.PackChecksum = static_cast<std::int32_t>(PackByteSum(payload.data(), payload.size()));
    }
    void AddShortcut(const std::string& name, int file_index, std::uint8_t kind, const std::string& arguments = "") {
        ShortcutEntry& row = record.Shortcuts[record.ShortcutCount++];
        row.Name.assign(name);
        row.FileIndex = file_index;
        row.Kind = kind;
        row.Arguments.assign(arguments);
    }
    void Install(MemoryPlatform& p, std::size_t record_bytes = SetupConfig::kSize) const {
        const Bytes config = record.ToBytes();
        p.resources.Add("SETUPINI", PackBlob(config.data(), record_bytes));
        p.resources.Add("SETUPPACK", PackBlob(payload.data(), payload.size()));
        if (maker) p.resources.Add("SETUPMAKER", *maker);
        if (licence) p.resources.Add("PROTOCOL", *licence);
        p.resources.manifest = manifest;
        if (extra.empty()) return;
        const Bytes table = ExtraFilesBytes(extra);
        p.resources.Add(kExtraFilesResource, PackBlob(table.data(), table.size()));
    }
};

// The manifest of a program a per-user build made: it runs as the user.
inline const std::string kPerUserManifest =
    "<assembly><trustInfo><security><requestedPrivileges>"
    "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"
    "</requestedPrivileges></security></trustInfo></assembly>";

// The user's shell folders, as Explorer records them.
inline void AddShellFolders(MemoryPlatform& p) {
    for (const char* folder : {"C:\\Users", "C:\\Users\\me", "C:\\Users\\me\\Desktop", "C:\\Users\\me\\Programs"})
        p.files.MakeDirectory(folder);
    RegistryAccessor reg(p.registry, kKeySetValue, RegRoot::CurrentUser);
    reg.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", true);
    reg.WriteString("Desktop", "C:\\Users\\me\\Desktop");
    reg.WriteString("Programs", "C:\\Users\\me\\Programs");
}

// What the file system holds but for the temporary folder, where the
// uninstaller's copy stays until the restart.
inline std::vector<std::string> FilesButTheTempFolder(const MemoryFiles& files) {
    std::vector<std::string> lines = files.Listing();
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const std::string& l) { return l.find("c:\\temp\\") != std::string::npos; }),
                lines.end());
    return lines;
}

// A wizard started on a package, past FormCreate.
struct Wizard {
    explicit Wizard(const Package& package = Package(), std::vector<std::string> drives = {"C:"})
        : platform(std::make_unique<MemoryPlatform>(std::move(drives))) {
        AddShellFolders(*platform);
        package.Install(*platform);
        form = std::make_unique<TMainForm>(platform->seam);
        form->FormCreate();
    }
    ui::Widget& operator[](const std::string& name) { return form->Control(name); }
    int page() { return form->Control("PageCtl").active_page(); }
    void Press(const std::string& button) { form->Control(button).Click(); }
    // Next, answering the boxes it shows with these buttons.
    void Next(std::vector<int> answers = {}) {
        for (int a : answers) platform->dialogs.Answer(a);
        Press("suiButton2");
    }
    // From page 0 to the folder page, agreeing to the licence.
    void ToFolderPage() {
        Next();
        Press("suiButton4");
        ASSERT_EQ(page(), 2);
    }
    const std::vector<ShownMessage>& boxes() { return platform->dialogs.Shown(); }

    std::unique_ptr<MemoryPlatform> platform;
    std::unique_ptr<TMainForm> form;
};

}  // namespace zsetup::testing
