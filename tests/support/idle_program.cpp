// Stands in for a running copy of the product's programs: it idles until it
// is terminated, and ends by itself after a minute should a test leave it.
#include <windows.h>

int main() {
    Sleep(60 * 1000);
    return 0;
}
