// Recognises compiler error lines for the jump from the capture panes. Layer: tools/.
#include "tools/ErrorLine.h"

#include "common/LeadBytes.h"
#include "common/PathName.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads a decimal number at text[*i]; false when there is none or it overflows.
bool ReadNumber(const char* text, size_t len, size_t* i, int* value) {
    const size_t start = *i;
    long long v = 0;
    while (*i < len && IsDigit(text[*i])) {
        v = v * 10 + (text[*i] - '0');
        if (v > 0x7FFFFFFF)
            return false;
        ++*i;
    }
    *value = static_cast<int>(v);
    return *i > start;
}

bool IsAbsolute(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':')
        return true;
    return !path.empty() && (path[0] == '\\' || path[0] == '/');
}

// The forms that follow a path at text[i]: "(l):", "(l,c):", ":l:" and ":l:c:".
bool ParseTail(const char* text, size_t len, size_t i, int* line, int* column) {
    *column = 0;
    if (text[i] == '(') {
        ++i;
        if (!ReadNumber(text, len, &i, line))
            return false;
        if (i < len && text[i] == ',') {
            ++i;
            if (!ReadNumber(text, len, &i, column))
                return false;
        }
        return i + 1 < len && text[i] == ')' && text[i + 1] == ':';
    }
    if (text[i] == ':') {
        ++i;
        if (!ReadNumber(text, len, &i, line) || i >= len || text[i] != ':')
            return false;
        ++i;
        size_t j = i;
        int col = 0;
        if (ReadNumber(text, len, &j, &col) && j < len && text[j] == ':')
            *column = col;
        return true;
    }
    return false;
}

} // namespace

bool ParseErrorLine(const char* text, size_t len, const std::string& folder,
                    ErrorLineTarget* target) {
    // Leading blanks are not part of the path.
    size_t start = 0;
    while (start < len && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    size_t i = start;
    while (i < len) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (FxIsLeadByte(c) && i + 1 < len) {
            i += 2;
            continue;
        }
        // A drive's colon right after its letter belongs to the path.
        const bool driveColon = c == ':' && i == start + 1;
        if ((c == '(' || c == ':') && i > start && !driveColon) {
            int line = 0;
            int column = 0;
            if (ParseTail(text, len, i, &line, &column) && line > 0) {
                std::string path(text + start, i - start);
                while (!path.empty() && path.back() == ' ')
                    path.pop_back();
                if (path.empty())
                    return false;
                if (!IsAbsolute(path) && !folder.empty())
                    path = FxPathWithSeparator(folder) + path;
                target->path = path;
                target->line = line;
                target->column = column;
                return true;
            }
        }
        ++i;
    }
    return false;
}
