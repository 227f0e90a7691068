#include "platform/win32/win32_files.h"

#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>

#include "text/win32/wide_text.h"
#include "base/win32/unique_handle.h"

namespace zsetup {

std::optional<std::uint32_t> Win32Files::Attributes(const std::string& path) {
    const DWORD a = GetFileAttributesW(GbkToWide(path).c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return a;
}

bool Win32Files::MakeDirectory(const std::string& path) {
    return CreateDirectoryW(GbkToWide(path).c_str(), nullptr) != 0;
}

std::uint32_t Win32Files::SetCurrentDir(const std::string& path) {
    return SetCurrentDirectoryW(GbkToWide(path).c_str()) ? 0 : GetLastError();
}

std::string Win32Files::CurrentDir() {
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    WideString w(n, L'\0');
    w.resize(GetCurrentDirectoryW(n, w.data()));
    return WideToGbk(w);
}

namespace {

UniqueHandle CreateForWriting(const std::string& path) {
    return AdoptFileHandle(
        CreateFileW(GbkToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool WriteAll(HANDLE file, const std::uint8_t* bytes, std::size_t size) {
    DWORD written = 0;
    return size == 0 || (WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr) && written == size);
}

// One piece of a streamed write: large enough that the disk, not the calls, sets the pace.
constexpr std::size_t kWritePiece = 1 << 20;

}  // namespace

bool Win32Files::WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const UniqueHandle file = CreateForWriting(path);
    return file && WriteAll(file.get(), bytes.data(), bytes.size());
}

bool Win32Files::WriteFileFrom(const std::string& path, const Filler& fill) {
    const UniqueHandle file = CreateForWriting(path);
    if (!file) return false;
    std::vector<std::uint8_t> piece(kWritePiece);
    for (std::size_t got; (got = fill(piece.data(), piece.size())) != 0;)
        if (!WriteAll(file.get(), piece.data(), got)) return false;
    return true;
}

std::optional<std::vector<std::uint8_t>> Win32Files::ReadWholeFile(const std::string& path) {
    UniqueHandle file = AdoptFileHandle(CreateFileW(GbkToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.get(), &size) || size.HighPart != 0) return std::nullopt;
    std::vector<std::uint8_t> bytes(size.LowPart);
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(file.get(), bytes.data(), size.LowPart, &read, nullptr) || read != size.LowPart))
        return std::nullopt;
    return bytes;
}

bool Win32Files::RemoveFile(const std::string& path) { return DeleteFileW(GbkToWide(path).c_str()) != 0; }

bool Win32Files::MoveReplacing(const std::string& from, const std::string& to) {
    return MoveFileExW(GbkToWide(from).c_str(), GbkToWide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32Files::FlushToDisk(const std::string& path) {
    const UniqueHandle file = AdoptFileHandle(CreateFileW(GbkToWide(path).c_str(), GENERIC_WRITE,
                                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && FlushFileBuffers(file.get());
}

// Numbered from the clock and the process, so two runs seldom try the same
// names; CREATE_NEW makes sure no file is taken over.
std::optional<std::string> Win32Files::MakeTempFile(const std::string& folder) {
    const std::string base = folder.empty() || folder.back() == '\\' ? folder : folder + "\\";
    DWORD number = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int tries = 0; tries < 1000; ++tries, number = number * 1103515245u + 12345u) {
        const std::string path = base + TempFileName(number);
        const UniqueHandle file = AdoptFileHandle(CreateFileW(GbkToWide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) return path;
        if (GetLastError() != ERROR_FILE_EXISTS) return std::nullopt;
    }
    return std::nullopt;
}

bool Win32Files::RemoveFolder(const std::string& path) { return RemoveDirectoryW(GbkToWide(path).c_str()) != 0; }

std::vector<std::string> Win32Files::FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(GbkToWide(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const WideString name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(WideToGbk(name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

bool Win32Files::CopyFileTo(const std::string& from, const std::string& to) {
    return CopyFileW(GbkToWide(from).c_str(), GbkToWide(to).c_str(), TRUE) != 0;
}

bool Win32Files::RemoveAtRestart(const std::string& path) {
    return MoveFileExW(GbkToWide(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}

// The seam speaks GBK, and a temporary folder under a user name GBK lacks
// (Korean, Thai) has no GBK form: its short name, ASCII where the volume keeps
// short names, stands in, and failing that the system's own Temp folder.
std::string Win32Files::TempFolder() {
    wchar_t path[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, path);
    WideString folder(path, n <= MAX_PATH ? n : 0);
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    if (auto gbk = FromWideExact(folder, kCodePageGbk)) return *gbk;
    wchar_t short_path[MAX_PATH + 1];
    const DWORD m = GetShortPathNameW(folder.c_str(), short_path, MAX_PATH + 1);
    if (m > 0 && m <= MAX_PATH)
        if (auto gbk = FromWideExact(WideString(short_path, m), kCodePageGbk)) return *gbk;
    wchar_t windows[MAX_PATH + 1];
    const UINT w = GetSystemWindowsDirectoryW(windows, MAX_PATH + 1);
    return WideToGbk(WideString(windows, w <= MAX_PATH ? w : 0)) + "\\Temp";
}

bool Win32Files::ProtectFolder(const std::string& path) {
    // What Program Files grants, each entry inherited by what lies below.
    const struct {
        WELL_KNOWN_SID_TYPE who;
        DWORD access;
    } grants[] = {{WinLocalSystemSid, FILE_ALL_ACCESS},
                  {WinBuiltinAdministratorsSid, FILE_ALL_ACCESS},
                  {WinBuiltinUsersSid, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE}};
    BYTE sids[3][SECURITY_MAX_SID_SIZE];
    constexpr DWORD kAclSize = sizeof(ACL) + 3 * (sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE);
    alignas(DWORD) BYTE acl_bytes[kAclSize];
    const auto acl = reinterpret_cast<PACL>(acl_bytes);
    if (!InitializeAcl(acl, kAclSize, ACL_REVISION)) return false;
    for (std::size_t i = 0; i < 3; ++i) {
        DWORD size = SECURITY_MAX_SID_SIZE;
        if (!CreateWellKnownSid(grants[i].who, nullptr, sids[i], &size) ||
            !AddAccessAllowedAceEx(acl, ACL_REVISION, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, grants[i].access,
                                   sids[i]))
            return false;
    }
    WideString name = GbkToWide(path);
    constexpr SECURITY_INFORMATION kList = DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION;
    if (SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, kList | OWNER_SECURITY_INFORMATION, sids[1], nullptr, acl,
                              nullptr) == ERROR_SUCCESS)
        return true;
    // Taking ownership needs a privilege the process may lack; the list is what protects.
    return SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, kList, nullptr, nullptr, acl, nullptr) == ERROR_SUCCESS;
}

}  // namespace zsetup
