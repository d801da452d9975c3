// Reader of syntax template files (*.STF): the line splitter, the general section and its key
// lines, pairs and lists of pairs, quoted strings, and keyword groups. Layer: textview/.
//
// A line ends after CR LF (the pair is not part of the line) or after a lone CR or LF, which
// then stays part of the line, so that such a line never satisfies the exact forms.
#pragma once

#include "common/SysFile.h"

#include <cstdint>
#include <string>
#include <vector>

struct StfLine {
    const char* text;
    int len;
};

// A keyword group header and the range of lines [first, end) that holds its keywords.
struct StfGroup {
    std::string name;
    uint32_t colour; // 0x00BBGGRR, 0xFFFFFFFF when unreadable
    int first, end;
};

class SyntaxTemplate {
public:
    SyntaxTemplate() = default;
    ~SyntaxTemplate() { Close(); }
    SyntaxTemplate(const SyntaxTemplate&) = delete;
    SyntaxTemplate& operator=(const SyntaxTemplate&) = delete;

    // Maps the file read-only. False when it cannot be opened or mapped.
    bool Open(const char* path);
    // Reads from the caller's bytes, which must outlive the reader.
    void SetText(const char* data, size_t size);
    void Close();

    // The value of a key of the general section (the rest of the trimmed key line after "=").
    bool GetValue(const char* key, std::string& value) const;
    bool HasGeneralSection() const { return m_generalFirst >= 0; }
    // Keyword groups in file order.
    std::vector<StfGroup> Groups() const;
    // Visits the keywords of a group: trimmed, non-empty, not starting with "##".
    template <class F> void ForEachKeyword(const StfGroup& g, F f) const {
        for (int i = g.first; i < g.end; ++i) {
            const char* p = m_lines[i].text;
            int n = m_lines[i].len;
            TrimLine(&p, &n);
            if (n == 0 || (n >= 2 && p[0] == '#' && p[1] == '#'))
                continue;
            f(p, n);
        }
    }
    const std::vector<StfLine>& Lines() const { return m_lines; }

    static void TrimLine(const char** p, int* len);

private:
    void Split(const char* data, size_t size);

    std::vector<StfLine> m_lines;
    int m_generalFirst = -1, m_generalEnd = -1; // key lines are [first, end)
    fxsys::FileHandle m_file = nullptr;
    fxsys::Mapping m_map;
};

// The value forms, exposed for the tests.
// A quoted string at *p: advances *p past the closing quote. Double-byte characters are taken
// whole, so a trail byte that looks like a backslash or a quote is never taken for one.
bool StfParseQuoted(const char** p, const char* end, std::string& out);
// An item: optional spaces, the word (any case), optional spaces, "=", optional spaces and a
// quoted string.
bool StfParseItem(const char** p, const char* end, const char* word, std::string& out);
// A pair value {on="start",off="end"}; both strings non-empty.
bool StfParsePair(const char* text, int len, std::string& on, std::string& off);
// A list of pairs separated by commas; stops at the first malformed pair or when no comma
// follows; pairs with an empty string are skipped.
void StfParsePairList(const char* text, int len,
                      std::vector<std::pair<std::string, std::string>>& out);
bool StfIsSectionLine(const char* text, int len, const char* name);
bool StfParseGroupHeader(const char* text, int len, std::string& name, std::string& colour);
// "#" and a hexadecimal number, as a Windows colour value; 0xFFFFFFFF when unreadable.
uint32_t StfParseColour(const char* text);
