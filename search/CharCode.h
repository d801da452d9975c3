// Character helpers of the matchers: double-byte characters as codes, and stepping back one
// character. Layer: search/.
#pragma once

#include <cstdint>

// The character code at i: a single byte, or lead << 8 | trail for a double-byte character.
uint16_t FxCharCodeAt(const char* text, int32_t i, int32_t len, int* charLen);
// The start of the character that ends at pos (pos > 0, a character boundary of the line).
int32_t FxCharStartBefore(const char* text, int32_t pos, int32_t len);
