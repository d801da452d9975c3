// A windowed program that ends at once: the tool runner's tests ask the shell what kind of
// program it is, built for different Windows versions.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return 0;
}
