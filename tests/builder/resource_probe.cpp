// Writes one of its own RT_RCDATA resources, found through FindResource, to
// a file: how a filled program sees what the builder put into it.
//   resource_probe.exe NAME OUT_FILE      exit 0, or 3 when NAME is missing
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    HRSRC found = FindResourceW(nullptr, argv[1], MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!found) return 3;
    const DWORD size = SizeofResource(nullptr, found);
    const void* bytes = LockResource(LoadResource(nullptr, found));
    FILE* out = _wfopen(argv[2], L"wb");
    if (!out || !bytes) return 4;
    const bool written = std::fwrite(bytes, 1, size, out) == size;
    return std::fclose(out) == 0 && written ? 0 : 4;
}
