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

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsSlash(char c) {
    return c == '\\' || c == '/';
}

// Bytes of a drive ("C:\" or "C:/") at text[i]: 2 for the letter and its colon, else 0. Only an
// ASCII letter makes a drive, and only with a separator after the colon: "7:12:" and "C:12:"
// are a file named "7" or "C" and its line. An ASCII letter is never a lead byte, so this
// reads no trail byte as a letter.
size_t DriveLength(const char* text, size_t len, size_t i) {
    const bool drive =
        i + 2 < len && IsAsciiLetter(text[i]) && text[i + 1] == ':' && IsSlash(text[i + 2]);
    return drive ? 2 : 0;
}

bool IsAbsolute(const std::string& path) {
    return DriveLength(path.data(), path.size(), 0) > 0 || (!path.empty() && IsSlash(path[0]));
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
    // A drive's colon belongs to the path.
    size_t i = start + DriveLength(text, len, start);
    while (i < len) {
        const int n = FxCharLen(text, i, len);
        if (n > 1) {
            i += static_cast<size_t>(n);
            continue;
        }
        const char c = text[i];
        if ((c == '(' || c == ':') && i > start) {
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
