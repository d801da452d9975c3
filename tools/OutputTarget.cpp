// Reading find-in-files result lines and converting their columns. Layer: tools/.
#include "tools/OutputTarget.h"

#include "common/LeadBytes.h"

#include <cstring>

namespace {

const int32_t kMaxPath = 259;

// Reads a decimal number above 0 at text[*i]; false when there is none or it overflows.
bool ReadPositive(const char* text, int32_t end, int32_t* i, int32_t* value) {
    int64_t n = 0;
    const int32_t start = *i;
    while (*i < end && text[*i] >= '0' && text[*i] <= '9') {
        n = n * 10 + (text[*i] - '0');
        if (n > INT32_MAX)
            return false;
        ++*i;
    }
    if (*i == start || n <= 0)
        return false;
    *value = static_cast<int32_t>(n);
    return true;
}

} // namespace

bool ParseResultLine(const char* text, int32_t length, OutputTarget* target) {
    if (!text || length <= 11 || text[0] != '"')
        return false;
    // A quote is never the second byte of a double-byte character, so the closing one can be
    // looked for byte by byte.
    const int32_t limit = length < kMaxPath + 2 ? length : kMaxPath + 2;
    const void* quote = std::memchr(text + 1, '"', static_cast<size_t>(limit - 1));
    if (!quote)
        return false;
    const int32_t pathEnd = static_cast<int32_t>(static_cast<const char*>(quote) - text);
    if (pathEnd < 2)
        return false;
    const void* colon =
        std::memchr(text + pathEnd + 1, ':', static_cast<size_t>(length - pathEnd - 1));
    if (!colon)
        return false;
    const int32_t end = static_cast<int32_t>(static_cast<const char*>(colon) - text);
    int32_t i = pathEnd + 1;
    int32_t line = 0, column = 0;
    if (i >= end || text[i++] != '(' || !ReadPositive(text, end, &i, &line) || i >= end ||
        text[i++] != ',' || !ReadPositive(text, end, &i, &column) || i >= end || text[i++] != ')')
        return false;
    const std::string code(text + i, static_cast<size_t>(end - i));
    if (code != "(A)" && code != "(U)" && code != "(U8)" && code != "(UBE)")
        return false;
    if (target) {
        target->path.assign(text + 1, static_cast<size_t>(pathEnd - 1));
        target->line = line;
        target->column = column;
        target->unicodeColumn = code != "(A)";
    }
    return true;
}

int32_t UnitColumnToByteColumn(const char* line, int32_t length, int32_t units) {
    int32_t col = 0;
    for (int32_t unit = 0; unit < units && col < length; ++unit)
        col += FxCharLen(line, static_cast<size_t>(col), static_cast<size_t>(length));
    return col;
}
