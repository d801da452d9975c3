// Copying a label into a bar's fixed text buffer without cutting a double-byte character in
// half. Layer: workspace/.
#pragma once

#include <windows.h>

#include <cstring>

// Copies at most maxBytes bytes of src (null: empty) into dst, which holds maxBytes + 1, and
// terminates it; a lead byte whose trail byte would not fit is left out. Returns the length.
inline int CopyBarText(char* dst, int maxBytes, const char* src) {
    int n = 0;
    if (src) {
        while (src[n] && n < maxBytes) {
            if (IsDBCSLeadByte(static_cast<BYTE>(src[n]))) {
                if (!src[n + 1] || n + 2 > maxBytes)
                    break;
                n += 2;
            } else {
                ++n;
            }
        }
        std::memcpy(dst, src, static_cast<size_t>(n));
    }
    dst[n] = '\0';
    return n;
}
