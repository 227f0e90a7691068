// Links written through the real registry, file system and shell, read back
// with IShellLinkW on their own.
#include "services/shortcuts.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "text/win32/wide_text.h"
#include "base/win32/unique_handle.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "services/shell_folders.h"
#include "tests/support/backends.h"
#include "tests/support/link_reader.h"

namespace zsetup {
namespace {

using testing::RunToken;

const std::string kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kProductFolder = "C:\\\xb3\xcc\xd0\xf2\\";          // "C:\程序\"
const std::string kTarget = kProductFolder + "\xb2\xfa\xc6\xb7.exe";  // "产品.exe"

// Takes the user's "Programs" value away and puts it back as it was.
class HiddenProgramsValue {
public:
    explicit HiddenProgramsValue(Registry& registry) : registry_(registry) {
        saved_ = registry_.OpenKey(RegRoot::CurrentUser, kShellFolders, false, kGenericRead)->QueryValue("Programs");
        RegDeleteKeyValueW(HKEY_CURRENT_USER, GbkToWide(kShellFolders).c_str(), L"Programs");
    }
    ~HiddenProgramsValue() {
        if (saved_)
            registry_.OpenKey(RegRoot::CurrentUser, kShellFolders, false, kKeySetValue)
                ->SetValue("Programs", saved_->type, saved_->data);
    }
    HiddenProgramsValue(const HiddenProgramsValue&) = delete;
    HiddenProgramsValue& operator=(const HiddenProgramsValue&) = delete;

private:
    Registry& registry_;
    std::optional<RegValue> saved_;
};

class ShortcutsOnWindows : public ::testing::Test {
protected:
    void SetUp() override {
        start_dir = files.CurrentDir();
        programs = GetProgramsDir(registry);
        ASSERT_TRUE(DirectoryExists(files, programs)) << programs;
    }
    // The group folder stays current after a call; leave it for the next test.
    void TearDown() override { files.SetCurrentDir(start_dir); }

    void ExpectLink(const std::string& file, const std::string& target, const std::string& arguments) {
        SCOPED_TRACE(file);
        const auto link = testing::ReadLinkFile(file);
        ASSERT_TRUE(link.has_value());
        if (testing::TargetSurvivesAnsiCodePage(target)) {
            EXPECT_EQ(link->target, target);
        }
        EXPECT_EQ(link->arguments, arguments);
        EXPECT_EQ(link->working_directory, kProductFolder);
        EXPECT_EQ(link->icon_path, target);
        EXPECT_EQ(link->icon_index, 0);
    }

    Win32Registry registry;
    Win32Files files;
    Win32Shell shell;
    Shortcuts shortcuts{registry, files, shell};
    std::string start_dir;
    std::string programs;
};

TEST_F(ShortcutsOnWindows, ADesktopShortcutWithAChineseNameAndTargetReadsBack) {
    const std::string desktop = GetDesktopDir(registry);
    ASSERT_TRUE(DirectoryExists(files, desktop)) << desktop;
    // The name is fixed: lnkinfo looks at this file after the run.
    const std::string name = "\xb2\xfa\xc6\xb7 \xbf\xec\xbd\xdd\xb7\xbd\xca\xbd";  // "产品 快捷方式"
    const std::string arguments = "--from \"\xd7\xc0\xc3\xe6\"";                   // --from "桌面"
    shortcuts.CreateDesktopShortcut(kTarget, name, arguments);
    ExpectLink(desktop + "\\" + name + ".lnk", kTarget, arguments);
}

TEST_F(ShortcutsOnWindows, ProgramsShortcutsOfOneGroupShareOneFolder) {
    const std::string group = "\xd4\xde\xcd\xd8 " + RunToken();  // "赞拓 <token>"
    const std::string folder = programs + "\\" + group;
    const std::string uninstaller = kProductFolder + "uninstall.exe";
    shortcuts.CreateProgramsShortcut(group, kTarget, "\xb2\xfa\xc6\xb7", "-a");
    shortcuts.CreateProgramsShortcut(group, uninstaller, "\xd0\xb6\xd4\xd8.lnk", "");  // "卸载.lnk"
    EXPECT_EQ(files.CurrentDir(), folder);
    ExpectLink(folder + "\\\xb2\xfa\xc6\xb7.lnk", kTarget, "-a");
    // A name ending in ".lnk" gets it once more.
    ExpectLink(folder + "\\\xd0\xb6\xd4\xd8.lnk.lnk", uninstaller, "");
    EXPECT_FALSE(files.Attributes(folder + "\\\xd0\xb6\xd4\xd8.lnk").has_value());
}

TEST_F(ShortcutsOnWindows, WithoutAProgramsValueNothingHappens) {
    const std::string group = "zsetup-hidden-" + RunToken();
    {
        HiddenProgramsValue hidden(registry);
        ASSERT_EQ(GetProgramsDir(registry), "");
        EXPECT_NO_THROW(shortcuts.CreateProgramsShortcut(group, kTarget, "KPV", ""));
    }
    EXPECT_EQ(GetProgramsDir(registry), programs);
    EXPECT_EQ(files.CurrentDir(), start_dir);
    EXPECT_FALSE(files.Attributes(programs + "\\" + group).has_value());
}

TEST_F(ShortcutsOnWindows, AGroupFolderThatCannotBeEnteredRaises) {
    const std::string blocked = "zsetup-file-" + RunToken();
    ASSERT_TRUE(AdoptFileHandle(CreateFileW(GbkToWide(programs + "\\" + blocked).c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
    const struct {
        std::string group;
        std::uint32_t code;
    } cases[] = {
        {blocked, ERROR_DIRECTORY},  // a file of that name is in the way
        {"bad|name", ERROR_INVALID_NAME},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.group);
        try {
            shortcuts.CreateProgramsShortcut(c.group, kTarget, "KPV", "");
            ADD_FAILURE() << "no error";
        } catch (const InOutError& e) {
            EXPECT_EQ(e.code(), c.code) << e.what();
        }
        EXPECT_FALSE(files.Attributes(programs + "\\" + c.group + "\\KPV.lnk").has_value());
    }
}

}  // namespace
}  // namespace zsetup
