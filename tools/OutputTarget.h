// Where a line of an output pane points: a file position that Go to opens. The find-in-files
// result lines are read by ParseResultLine; a pane may be given another reader (for example one
// for a compiler's error lines in a capture pane). Layer: tools/.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct OutputTarget {
    std::string path;
    int32_t line = 0;   // 1-based
    int32_t column = 0; // 1-based: bytes, or 16-bit units when unicodeColumn is set
    // The column counts the 16-bit units of the file's text rather than bytes of the loaded
    // line; on the first line the file's mark (when it has one) counts as one unit.
    bool unicodeColumn = false;
};

// Reads a pane line (bytes, not terminated, without its line break); true when it names a
// file position, which is stored in *target.
using OutputLineReader =
    std::function<bool(const char* text, int32_t length, OutputTarget* target)>;

// A find-in-files result line: a double quote, a path of 1 to 259 bytes, a double quote,
// "(line,column)" with both above 0, the file's code "(A)", "(U)", "(U8)" or "(UBE)", a colon,
// then the text. Lines of 11 bytes or fewer never qualify.
bool ParseResultLine(const char* text, int32_t length, OutputTarget* target);

// The byte column (0-based) of the loaded line at which `units` 16-bit units end: every
// character of the line, single or double byte, came from one unit. Past the end: the length.
int32_t UnitColumnToByteColumn(const char* line, int32_t length, int32_t units);
