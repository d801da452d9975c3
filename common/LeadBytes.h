// The process-wide lead-byte table of the system ANSI code page and double-byte stepping over
// it, shared by the engine and by everything that splits paths. Layer: common/.
#pragma once

#include <cstddef>

// Process-wide lead-byte flags for bytes 0..255 (255 is never a lead byte).
extern unsigned char g_fxLeadBytes[256];

// Fills the table from the system; call once at start-up (tests call it in main).
void FxInitLeadBytes();
// Fills the table unless that has been done: for code that may run before start-up does it
// (the constructors of static objects).
void FxEnsureLeadBytes();

inline bool FxIsLeadByte(unsigned char b) {
    return g_fxLeadBytes[b] != 0;
}

// Length of the character at text[i] within [0, len): 2 for a lead byte whose second byte lies
// inside the text, else 1.
inline int FxCharLen(const char* text, size_t i, size_t len) {
    return (i + 1 < len && FxIsLeadByte(static_cast<unsigned char>(text[i]))) ? 2 : 1;
}

// The length of the longest start of text[0, len) that holds at most maxBytes bytes and does not
// end inside a double-byte character.
inline size_t FxCutLength(const char* text, size_t len, size_t maxBytes) {
    size_t i = 0;
    while (i < len) {
        const size_t next = i + static_cast<size_t>(FxCharLen(text, i, len));
        if (next > maxBytes)
            break;
        i = next;
    }
    return i;
}
