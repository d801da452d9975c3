// Entry point of every test executable: the lead-byte table, and under Windows a loud check
// that the ANSI code page is 936, which the tests' expectations depend on.
#include <gtest/gtest.h>

#include "textdoc/Dbcs.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    if (GetACP() != 936) {
        std::fprintf(stderr,
                     "FATAL: the ANSI code page is %u, not 936. Run under Wine with "
                     "LC_ALL=zh_CN.UTF-8 (the zh_CN.UTF-8 locale must be generated).\n",
                     GetACP());
        return 2;
    }
#endif
    FxInitLeadBytes();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
