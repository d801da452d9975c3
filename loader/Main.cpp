// The capture runner program: runs one console tool for the editor with captured output.
// Layer: loader/. Its protocol arrives with the tool runner; until then it only answers usage.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "/OBJNAME:", 9) == 0)
            return 0;
    std::fprintf(stderr, "QVLOADER /OBJNAME:name\n");
    return 1;
}
