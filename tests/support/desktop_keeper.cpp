// Holds the Wine desktop open for a whole test run. Wine closes the desktop a
// few seconds after the last program using it ends; a program started in
// that moment can put its windows on the desktop being closed, where no
// other program finds them. Tests start and end many programs in a row.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    GetDesktopWindow();  // connects this process to the desktop
    Sleep(INFINITE);     // until the environment's server is stopped
    return 0;
}
