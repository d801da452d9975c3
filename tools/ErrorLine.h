// The error lines of the common tool chains in captured output: "path(line):",
// "path(line,col):", "path:line:" and "path:line:col:". Layer: tools/.
#pragma once

#include <string>

struct ErrorLineTarget {
    std::string path; // as written, or resolved against the folder given
    int line = 0;     // 1-based
    int column = 0;   // 1-based; 0 when the line names none
};

// Parses one output line; false when it has none of the four forms, or a line number below 1.
// A relative path is resolved against `folder` (when not empty). The path is stepped by
// characters, so a double-byte character whose second byte is "(" or ":" never ends it. Only an
// ASCII letter with ":" and "\" or "/" after it is a drive: "7:12:" names line 12 of file "7".
bool ParseErrorLine(const char* text, size_t len, const std::string& folder,
                    ErrorLineTarget* target);
