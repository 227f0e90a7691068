// Holds a file open without sharing, as another program using it would:
//   file_holder.exe PATH MARKER   creates MARKER once the file is open and
// lets go when MARKER is deleted (or after a minute should a test leave it).
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    HANDLE file = CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    HANDLE marker = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (marker == INVALID_HANDLE_VALUE) return 4;
    CloseHandle(marker);
    for (int waited = 0; waited < 60 * 1000 && GetFileAttributesW(argv[2]) != INVALID_FILE_ATTRIBUTES; waited += 50)
        Sleep(50);
    CloseHandle(file);
    return 0;
}
