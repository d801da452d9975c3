// Helpers of the syntax tests: a syntax table from template text, line records over strings,
// and the colour of each byte of a scanned piece.
#pragma once

#include "textdoc/FxTypes.h"
#include "textview/SyntaxInfo.h"
#include "textview/SyntaxScanner.h"
#include "textview/SyntaxTemplate.h"

#include <string>
#include <vector>

inline void LoadSyntax(SyntaxInfo& info, const std::string& stf) {
    SyntaxTemplate t;
    t.SetText(stf.data(), stf.size());
    info.Load(t);
}

// One record per string; every record but the last gets FXL_LINEEND unless `pieces` marks it
// as a non-final piece of its logical line.
struct Records {
    std::vector<std::string> text;
    std::vector<FxLine> recs;
    explicit Records(const std::vector<std::string>& lines, const std::vector<bool>& continued = {})
        : text(lines) {
        for (size_t i = 0; i < text.size(); ++i) {
            FxLine l = FxFreshLine();
            l.data = text[i].empty() ? nullptr : &text[i][0];
            l.len = static_cast<int32_t>(text[i].size());
            bool more = i < continued.size() && continued[i];
            l.flags = (more || i + 1 == text.size()) ? 0u : static_cast<uint32_t>(FXL_LINEEND);
            recs.push_back(l);
        }
    }
    uint32_t State(size_t i) const { return recs[i].flags & SYN_STATEMASK; }
};

// A letter per byte: T text, K<g> keyword (the group index as a digit), B blank, s string,
// S string 2, l/L line comments, b/C block comments.
inline std::string ColourMap(const SyntaxInfo& info, const std::string& text, uint32_t state = 0) {
    std::vector<SyntaxRun> runs;
    ScanPiece(info, text.data(), static_cast<int>(text.size()), state, runs);
    std::string map(text.size(), '?');
    for (const SyntaxRun& r : runs) {
        char c = '?';
        if (r.blank)
            c = 'B';
        else if (r.group >= 0)
            c = static_cast<char>('0' + r.group);
        else {
            switch (r.slot) {
            case TextFore:
                c = 'T';
                break;
            case StringFore:
                c = 's';
                break;
            case String2Fore:
                c = 'S';
                break;
            case LineCommentFore:
                c = 'l';
                break;
            case LineComment2Fore:
                c = 'L';
                break;
            case BlockCommentFore:
                c = 'b';
                break;
            case BlockComment2Fore:
                c = 'C';
                break;
            default:
                break;
            }
        }
        for (int i = 0; i < r.len; ++i)
            map[static_cast<size_t>(r.start + i)] = c;
    }
    return map;
}

// A C-like template with CR LF line ends.
inline std::string CrLf(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines)
        s += l + "\r\n";
    return s;
}
