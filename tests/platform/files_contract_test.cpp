// What the installer relies on from the file system, checked on every
// implementation so the stand-in cannot drift from Windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/memory/memory_files.h"
#include "tests/support/backends.h"
#ifdef _WIN32
#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>

#include "text/win32/wide_text.h"
#include "platform/win32/win32_files.h"
#endif

namespace zsetup {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Besides the implementation, each backend can leave a file the way another
// party would: read-only, or held open without sharing until the returned
// holder goes.
struct FilesBackend {
    std::string name;
    std::function<std::unique_ptr<Files>()> make;
    std::function<void(Files&, const std::string&)> make_read_only;
    std::function<std::shared_ptr<void>(Files&, const std::string&)> hold_open;
    // Wine run by root writes and renames over a read-only file (it refuses
    // only the delete); Windows refuses all three.
    std::function<bool(const std::string& folder)> read_only_refuses_writes;
};

void PrintTo(const FilesBackend& b, std::ostream* os) { *os << b.name; }

std::vector<FilesBackend> Backends() {
    std::vector<FilesBackend> b = {
        {"memory", [] { return std::make_unique<MemoryFiles>(); },
         [](Files& f, const std::string& path) { static_cast<MemoryFiles&>(f).SetReadOnly(path, true); },
         [](Files& f, const std::string& path) {
             auto& files = static_cast<MemoryFiles&>(f);
             files.SetLocked(path, true);
             return std::shared_ptr<void>(nullptr, [&files, path](void*) { files.SetLocked(path, false); });
         },
         [](const std::string&) { return true; }}};
#ifdef _WIN32
    b.push_back({"win32", [] { return std::make_unique<Win32Files>(); },
                 [](Files&, const std::string& path) {
                     ASSERT_TRUE(SetFileAttributesW(GbkToWide(path).c_str(), FILE_ATTRIBUTE_READONLY));
                 },
                 [](Files&, const std::string& path) {
                     HANDLE h = CreateFileW(GbkToWide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
                     EXPECT_NE(h, INVALID_HANDLE_VALUE);
                     return std::shared_ptr<void>(h, CloseHandle);
                 },
                 [](const std::string& folder) {
                     const WideString probe = GbkToWide(folder + "\\read-only probe");
                     HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_READONLY, nullptr);
                     EXPECT_NE(h, INVALID_HANDLE_VALUE);
                     CloseHandle(h);
                     h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
                     if (h == INVALID_HANDLE_VALUE) return true;
                     CloseHandle(h);
                     return false;
                 }});
#endif
    return b;
}

const Bytes kOld = {'o', 'l', 'd', ' ', 'b', 'y', 't', 'e', 's'};
const Bytes kNew = {0x00, 0xFF, 0x5C, 0xD6, 0xD0, '\r', '\n', 0x1A, 0x00};

class FilesContract : public ::testing::TestWithParam<FilesBackend> {
protected:
    void SetUp() override {
        files = GetParam().make();
        static int serial = 0;
        // A fresh folder per test and run: runs share a Wine prefix.
        root = "C:\\zsetup-files-" + testing::RunToken() + "-" + GetParam().name + std::to_string(serial++);
        ASSERT_TRUE(files->MakeDirectory(root));
    }
    bool Exists(const std::string& path) { return files->Attributes(path).has_value(); }
    std::unique_ptr<Files> files;
    std::string root;
};

TEST_P(FilesContract, WritesAndReadsWholeFilesByteForByte) {
    const std::string path = root + "\\\xb3\xcc\xd0\xf2.dll";  // "程序.dll"
    ASSERT_TRUE(files->WriteWholeFile(path, kOld));
    EXPECT_EQ(files->ReadWholeFile(path), kOld);
    EXPECT_FALSE(*files->Attributes(path) & kFileAttributeDirectory);
    // Writing again truncates.
    ASSERT_TRUE(files->WriteWholeFile(path, kNew));
    EXPECT_EQ(files->ReadWholeFile(path), kNew);
    ASSERT_TRUE(files->WriteWholeFile(path, {}));
    EXPECT_EQ(files->ReadWholeFile(path), Bytes{});
    // Letter case does not tell files apart.
    EXPECT_EQ(files->ReadWholeFile(root + "\\\xb3\xcc\xd0\xf2.DLL"), Bytes{});

    ASSERT_TRUE(files->RemoveFile(path));
    EXPECT_FALSE(Exists(path));
    EXPECT_FALSE(files->ReadWholeFile(path).has_value());
}

// A streamed write: many pieces (more than the adapter's own buffer holds at
// once), truncating what was there; nothing to write gives an empty file; a
// missing folder or a held file fails before a byte is asked for; what the
// filler throws comes through.
TEST_P(FilesContract, WritesAFileFromPieces) {
    Bytes expected((3 << 20) + 12345);
    for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = static_cast<std::uint8_t>(i * 31 + i / 9973);
    std::size_t at = 0, asked = 0;
    const Files::Filler fill = [&](std::uint8_t* out, std::size_t capacity) {
        ++asked;
        const std::size_t n = std::min({capacity, std::size_t{100000}, expected.size() - at});
        std::copy(expected.begin() + static_cast<std::ptrdiff_t>(at),
                  expected.begin() + static_cast<std::ptrdiff_t>(at + n), out);
        at += n;
        return n;
    };
    const std::string path = root + "\\\xb4\xf3.bin";  // "大.bin"
    ASSERT_TRUE(files->WriteWholeFile(path, kOld));
    ASSERT_TRUE(files->WriteFileFrom(path, fill));
    EXPECT_EQ(files->ReadWholeFile(path), expected);
    ASSERT_TRUE(files->WriteFileFrom(path, [](std::uint8_t*, std::size_t) { return std::size_t{0}; }));
    EXPECT_EQ(files->ReadWholeFile(path), Bytes{});

    asked = 0;
    EXPECT_FALSE(files->WriteFileFrom(root + "\\missing\\a.bin", fill));
    {
        const auto held = GetParam().hold_open(*files, path);
        EXPECT_FALSE(files->WriteFileFrom(path, fill));
    }
    EXPECT_EQ(asked, 0u);

    const auto failing = [](std::uint8_t*, std::size_t) -> std::size_t { throw std::runtime_error("damaged"); };
    EXPECT_THROW(files->WriteFileFrom(path, failing), std::runtime_error);
}

// Windows drops trailing blanks and dots from a name: "C: " is drive C:'s
// current folder, so the test for a drive D: works with "D: ". Names differing
// only in a GBK trail byte's letter case stay two names.
TEST_P(FilesContract, TrailingBlanksAndGbkTrailBytesAsWindowsReadsThem) {
    EXPECT_TRUE(DirectoryExists(*files, "C: "));
    EXPECT_FALSE(Exists("Q: "));
    EXPECT_TRUE(DirectoryExists(*files, root + "  "));
    EXPECT_TRUE(DirectoryExists(*files, root + "."));
    const std::string upper = root + "\\\x81\x41";  // trail byte 'A'
    const std::string lower = root + "\\\x81\x61";  // trail byte 'a'
    ASSERT_TRUE(files->WriteWholeFile(upper, kOld));
    EXPECT_FALSE(Exists(lower));
}

TEST_P(FilesContract, WhatIsMissingOrAFolderFails) {
    const std::string missing = root + "\\missing";
    EXPECT_FALSE(files->WriteWholeFile(missing + "\\a.dll", kNew));
    EXPECT_FALSE(files->ReadWholeFile(missing).has_value());
    EXPECT_FALSE(files->RemoveFile(missing));
    EXPECT_FALSE(files->MakeTempFile(missing).has_value());

    const std::string target = root + "\\target";
    ASSERT_TRUE(files->WriteWholeFile(target, kOld));
    EXPECT_FALSE(files->MoveReplacing(missing, target));
    EXPECT_EQ(files->ReadWholeFile(target), kOld);

    // A folder is no file to write, read or remove.
    EXPECT_FALSE(files->WriteWholeFile(root, kNew));
    EXPECT_FALSE(files->RemoveFile(root));
    EXPECT_TRUE(DirectoryExists(*files, root));
}

TEST_P(FilesContract, MoveReplacingPutsTheNewFileInTheOldOnesPlace) {
    const std::string target = root + "\\a.exe", staged = root + "\\a.new";
    ASSERT_TRUE(files->WriteWholeFile(target, kOld));
    ASSERT_TRUE(files->WriteWholeFile(staged, kNew));
    ASSERT_TRUE(files->MoveReplacing(staged, target));
    EXPECT_EQ(files->ReadWholeFile(target), kNew);
    EXPECT_FALSE(Exists(staged));
    // A free target name is a plain rename.
    ASSERT_TRUE(files->MoveReplacing(target, root + "\\b.exe"));
    EXPECT_EQ(files->ReadWholeFile(root + "\\b.exe"), kNew);
    EXPECT_FALSE(Exists(target));
}

TEST_P(FilesContract, TempFilesAreNewEmptyFilesOfTheFolder) {
    for (const std::string& folder : {root, root + "\\"}) {
        SCOPED_TRACE(folder);
        const auto first = files->MakeTempFile(folder);
        const auto second = files->MakeTempFile(folder);
        ASSERT_TRUE(first && second);
        EXPECT_NE(*first, *second);
        for (const std::string& temp : {*first, *second}) {
            EXPECT_EQ(temp.rfind(root + "\\", 0), 0u) << temp;
            EXPECT_EQ(temp.find('\\', root.size() + 1), std::string::npos) << temp;
            EXPECT_TRUE(IsTempFileName(temp.substr(root.size() + 1))) << temp;
            EXPECT_EQ(files->ReadWholeFile(temp), Bytes{});
        }
    }
    // The install's way of writing a file: stage beside it, then replace.
    const std::string target = root + "\\a.dll";
    ASSERT_TRUE(files->WriteWholeFile(target, kOld));
    const auto staged = files->MakeTempFile(root);
    ASSERT_TRUE(staged);
    ASSERT_TRUE(files->WriteWholeFile(*staged, kNew));
    EXPECT_TRUE(files->FlushToDisk(*staged));
    ASSERT_TRUE(files->MoveReplacing(*staged, target));
    EXPECT_EQ(files->ReadWholeFile(target), kNew);
    EXPECT_FALSE(files->FlushToDisk(*staged)) << "gone with the rename";
}

// What taking a product away needs: folders go only when empty, a copy goes
// only to a free name, and what cannot go now can be left for the restart.
TEST_P(FilesContract, FoldersGoOnlyWhenEmptyAndCopiesOnlyToFreeNames) {
    const std::string folder = root + "\\\xd0\xb6\xd4\xd8";  // "卸载"
    ASSERT_TRUE(files->MakeDirectory(folder));
    ASSERT_TRUE(files->MakeDirectory(folder + "\\sub"));
    ASSERT_TRUE(files->WriteWholeFile(folder + "\\sub\\a.exe", kNew));
    EXPECT_FALSE(files->RemoveFolder(folder)) << "holds a folder";
    EXPECT_FALSE(files->RemoveFolder(folder + "\\sub")) << "holds a file";
    EXPECT_FALSE(files->RemoveFolder(folder + "\\sub\\a.exe")) << "a file is no folder";
    EXPECT_FALSE(files->RemoveFolder(root + "\\missing"));

    EXPECT_EQ(files->FolderEntries(folder + "\\sub"), (std::vector<std::string>{"a.exe"}));
    EXPECT_TRUE(files->FolderEntries(root + "\\missing").empty());
    ASSERT_TRUE(files->CopyFileTo(folder + "\\sub\\a.exe", folder + "\\b.exe"));
    EXPECT_EQ(files->ReadWholeFile(folder + "\\b.exe"), kNew);
    ASSERT_TRUE(files->WriteWholeFile(folder + "\\C.exe", kOld));
    std::vector<std::string> entries = files->FolderEntries(folder);
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"C.exe", "b.exe", "sub"})) << "names as they were made";
    EXPECT_FALSE(files->CopyFileTo(folder + "\\b.exe", folder + "\\c.exe"));
    EXPECT_EQ(files->ReadWholeFile(folder + "\\c.exe"), kOld);
    EXPECT_FALSE(files->CopyFileTo(folder + "\\missing.exe", folder + "\\d.exe"));

    EXPECT_TRUE(files->RemoveAtRestart(folder + "\\c.exe"));
    EXPECT_TRUE(files->Attributes(folder + "\\c.exe").has_value()) << "it stays until the restart";

    for (const char* file : {"\\sub\\a.exe", "\\b.exe", "\\c.exe"}) ASSERT_TRUE(files->RemoveFile(folder + file));
    EXPECT_TRUE(files->RemoveFolder(folder + "\\sub"));
    EXPECT_TRUE(files->RemoveFolder(folder));
    EXPECT_FALSE(DirectoryExists(*files, folder));
    EXPECT_TRUE(DirectoryExists(*files, files->TempFolder()));
}

// A target that is read-only or held open by another process can be neither
// written, removed nor replaced, and keeps its bytes.
TEST_P(FilesContract, ABlockedTargetKeepsItsBytes) {
    struct Case {
        const char* name;
        bool read_only;
        bool readable;
    };
    const bool read_only_refuses_writes = GetParam().read_only_refuses_writes(root);
    for (const Case& c : {Case{"read-only", true, true}, Case{"held open", false, false}}) {
        SCOPED_TRACE(c.name);
        const std::string target = root + "\\" + c.name + ".dll", staged = root + "\\" + c.name + ".new";
        ASSERT_TRUE(files->WriteWholeFile(target, kOld));
        ASSERT_TRUE(files->WriteWholeFile(staged, kNew));
        std::shared_ptr<void> holder;
        if (c.read_only) GetParam().make_read_only(*files, target);
        else holder = GetParam().hold_open(*files, target);

        EXPECT_FALSE(files->RemoveFile(target));
        if (!c.read_only || read_only_refuses_writes) {
            EXPECT_FALSE(files->WriteWholeFile(target, kNew));
            EXPECT_FALSE(files->MoveReplacing(staged, target));
            EXPECT_EQ(files->ReadWholeFile(staged), kNew);
        }
        EXPECT_EQ(files->ReadWholeFile(target).has_value(), c.readable);
        EXPECT_EQ(*files->Attributes(target) & kFileAttributeReadOnly, c.read_only ? kFileAttributeReadOnly : 0u);

        holder.reset();
        if (!c.read_only) {
            EXPECT_TRUE(files->MoveReplacing(staged, target));
        }
        EXPECT_EQ(files->ReadWholeFile(target), c.read_only ? kOld : kNew);
    }
}

#ifdef _WIN32
// The access list ProtectFolder sets, read back through the API that reads
// it (Wine keeps it, though it does not enforce it).
TEST(Win32ProtectFolder, SetsProgramFilesAccessProtectedFromAbove) {
    wchar_t base[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, base);
    ASSERT_GT(n, 0u);
    WideString folder = WideString(base, n) + L"\u4EA7\u54C1-protected";  // 产品
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    Win32Files files;
    ASSERT_TRUE(files.ProtectFolder(WideToGbk(folder)));

    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_EQ(GetNamedSecurityInfoW(folder.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                    nullptr, &sd),
              static_cast<DWORD>(ERROR_SUCCESS));
    // Wine keeps the entries, their masks and flags, but stores Administrators
    // as the user's own SID and Users as Everyone, and drops the protected
    // flag: those two are checked where Windows answers.
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(sd, &control, &revision));
    if (!wine) {
        EXPECT_NE(control & SE_DACL_PROTECTED, 0) << "nothing inherited from the drive root";
    }
    ASSERT_NE(dacl, nullptr);
    const struct {
        WELL_KNOWN_SID_TYPE who;
        ACCESS_MASK access;
    } expected[] = {{WinLocalSystemSid, FILE_ALL_ACCESS},
                    {WinBuiltinAdministratorsSid, FILE_ALL_ACCESS},
                    {WinBuiltinUsersSid, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE}};
    ASSERT_EQ(dacl->AceCount, 3u);
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        SCOPED_TRACE(i);
        void* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, &ace));
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_EQ(allowed->Header.AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE),
                  OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
        EXPECT_EQ(allowed->Mask, expected[i].access);
        if (i == 0 || !wine) {
            EXPECT_TRUE(IsWellKnownSid(const_cast<DWORD*>(&allowed->SidStart), expected[i].who));
        }
    }
    LocalFree(sd);
    RemoveDirectoryW(folder.c_str());
    EXPECT_FALSE(files.ProtectFolder(WideToGbk(folder))) << "a missing folder";
}
#endif

#ifdef _WIN32
// A temporary folder under a name GBK has no form for (a Korean user's) is
// still given as a GBK path of a folder that exists, where the uninstaller's
// copy can go.
TEST(Win32TempFolder, HasAGbkFormWhateverTheUsersName) {
    wchar_t base[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, base);
    ASSERT_GT(n, 0u);
    const WideString korean = WideString(base, n) + L"\uC0AC\uC6A9\uC790";  // "user" in Hangul
    ASSERT_TRUE(CreateDirectoryW(korean.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    wchar_t saved[32768];
    const DWORD saved_n = GetEnvironmentVariableW(L"TMP", saved, 32768);
    ASSERT_TRUE(SetEnvironmentVariableW(L"TMP", korean.c_str()));
    Win32Files files;
    const std::string temp = files.TempFolder();
    SetEnvironmentVariableW(L"TMP", saved_n ? saved : nullptr);
    EXPECT_EQ(temp.find('?'), std::string::npos) << temp;
    EXPECT_TRUE(DirectoryExists(files, temp)) << temp;
    RemoveDirectoryW(korean.c_str());
}
#endif

INSTANTIATE_TEST_SUITE_P(Backends, FilesContract, ::testing::ValuesIn(Backends()),
                         [](const auto& info) { return info.param.name; });

// The name a killed run's temporary file is known by, and nothing else.
TEST(TempFileName, IsKnownByItsOwnShapeOnly) {
    EXPECT_EQ(TempFileName(0x1A2B), "~zsetup00001A2B.tmp");
    EXPECT_TRUE(IsTempFileName(TempFileName(0xFFFFFFFFu)));
    const struct {
        const char* name;
        bool temp;
    } cases[] = {
        {"~zsetup0123abcd.tmp", true},
        {"~ZSETUP0123ABCD.TMP", true},
        {"~zsetup0123abc.tmp", false},
        {"~zsetup0123abcde.tmp", false},
        {"~zsetup0123abcg.tmp", false},
        {"^zsetup0123abcd.tmp", false},
        {"zsetup0123abcd.tmp", false},
        {"~zsetup0123abcd.tm", false},
        {"zs1A2B.tmp", false},
        {"~zsetup0123abcd.tmp.exe", false},
        {"", false},
    };
    for (const auto& k : cases) EXPECT_EQ(IsTempFileName(k.name), k.temp) << k.name;
}

}  // namespace
}  // namespace zsetup
