// DLLs from System32 only: a DLL planted beside the program under the name
// asked for is passed over, where the ordinary search would take it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/win32/system_dlls.h"

namespace zsetup {
namespace {

// The planted DLL copied beside this program under name. The build gives its
// location as a Unix path in UTF-8, seen through Wine's Z: drive.
void PlantBesideProgram(const WideString& name) {
    const std::string unix_path = ZSETUP_PLANTED_DLL;
    WideString source(unix_path.size(), L'\0');
    source.resize(MultiByteToWideChar(CP_UTF8, 0, unix_path.data(), static_cast<int>(unix_path.size()), source.data(),
                                      static_cast<int>(source.size())));
    for (wchar_t& c : source)
        if (c == L'/') c = L'\\';
    wchar_t program[MAX_PATH];
    const WideString path(program, GetModuleFileNameW(nullptr, program, MAX_PATH));
    const WideString target = path.substr(0, path.find_last_of(L'\\') + 1) + name;
    ASSERT_TRUE(CopyFileW((L"Z:" + source).c_str(), target.c_str(), FALSE)) << GetLastError();
}

TEST(SystemDlls, LoadSystemDllPassesOverTheProgramsFolder) {
    const wchar_t* name = L"planted_by_name.dll";
    PlantBesideProgram(name);
    EXPECT_FALSE(LoadSystemDll(name));
    // It was there to be found.
    EXPECT_TRUE(UniqueModule(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR)));
    EXPECT_TRUE(LoadSystemDll(L"wininet.dll"));
}

TEST(SystemDlls, SearchSystem32OnlyTakesTheProgramsFolderOutOfEveryLoad) {
    const wchar_t* name = L"planted_by_default.dll";
    PlantBesideProgram(name);
    EXPECT_TRUE(UniqueModule(LoadLibraryW(name))) << "the ordinary search takes the planted DLL";
    ASSERT_TRUE(SearchSystem32Only());
    EXPECT_FALSE(UniqueModule(LoadLibraryW(name)));
    EXPECT_TRUE(UniqueModule(LoadLibraryW(L"wininet.dll")));
}

}  // namespace
}  // namespace zsetup
