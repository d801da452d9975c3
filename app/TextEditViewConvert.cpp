// CTextEditView: the case conversions (lower, upper, invert, capitalise) and the white-space
// conversions (spaces to tabs, leading spaces to tabs, tabs to spaces, trailing blanks).
// Layer: app/ (application shell).
#include "app/TextEditView.h"
#include "textdoc/Dbcs.h"
#include "textview/SyntaxText.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The longest run of bytes one replacement of a case conversion covers.
const int32_t kCaseRunBytes = 256;

// The text of a logical line without its line end.
std::string LogicalLineText(const CFxEditDoc& doc, int32_t line) {
    FxTextPos head(0, line);
    doc.LogicalToPiece(head);
    const FxLine& r = doc.Record(head.line);
    if (!r.data || r.lineLen <= 0)
        return std::string();
    return std::string(r.data, static_cast<size_t>(r.lineLen));
}

// Replaces bytes [a, b) of a logical line by text, recording the delete and the insert for
// undo (the caller holds the undo group).
void ReplaceInLine(CFxEditDoc& doc, int32_t line, int32_t a, int32_t b, const char* text,
                   int32_t len) {
    if (a != b) {
        FxTextPos pa = doc.LogicalToPiecePos(FxTextPos(a, line));
        FxTextPos pb = doc.LogicalToPiecePos(FxTextPos(b, line));
        doc.RecordDelete(pa, pb);
        doc.DeleteText(pa, pb);
    }
    if (len <= 0)
        return;
    const FxTextPos head = doc.ToHeadPiece(doc.LogicalToPiecePos(FxTextPos(a, line)));
    FxTextPos pos(a, line);
    doc.InsertText(pos, text, len);
    doc.RecordInsert(head, pos);
}

// Marks the bytes of text that start a character (the end counts as one).
std::vector<bool> CharStarts(const std::string& text) {
    std::vector<bool> starts(text.size() + 1, false);
    for (size_t i = 0; i < text.size();
         i += static_cast<size_t>(FxCharLen(text.data(), i, text.size())))
        starts[i] = true;
    starts[text.size()] = true;
    return starts;
}

// Replaces a logical line's text by newText, only the part between their common start and
// end. False when nothing differs.
bool ReplaceLine(CFxEditDoc& doc, int32_t line, const std::string& oldText,
                 const std::string& newText) {
    if (oldText == newText)
        return false;
    const std::vector<bool> oldStarts = CharStarts(oldText), newStarts = CharStarts(newText);
    size_t prefix = 0;
    const size_t shorter = std::min(oldText.size(), newText.size());
    while (prefix < shorter && oldText[prefix] == newText[prefix])
        ++prefix;
    while (prefix > 0 && !(oldStarts[prefix] && newStarts[prefix]))
        --prefix;
    size_t suffix = 0;
    while (suffix < shorter - prefix &&
           oldText[oldText.size() - 1 - suffix] == newText[newText.size() - 1 - suffix])
        ++suffix;
    while (suffix > 0 &&
           !(oldStarts[oldText.size() - suffix] && newStarts[newText.size() - suffix]))
        --suffix;
    const int32_t a = static_cast<int32_t>(prefix);
    const int32_t b = static_cast<int32_t>(oldText.size() - suffix);
    ReplaceInLine(doc, line, a, b, newText.data() + prefix,
                  static_cast<int32_t>(newText.size() - suffix - prefix));
    return true;
}

// The display column at byte col: every byte counts 1, a tab advances to its next stop.
int32_t DisplayColumnAt(const std::string& text, int32_t col, int tab) {
    int32_t disp = 0;
    for (int32_t i = 0; i < col && i < static_cast<int32_t>(text.size()); ++i)
        disp = text[static_cast<size_t>(i)] == '\t' ? (disp / tab + 1) * tab : disp + 1;
    return disp;
}

// The first character boundary of text at which the display column reaches disp.
int32_t ByteAtDisplayColumn(const std::string& text, int32_t disp, int tab) {
    int32_t col = 0, i = 0;
    const int32_t len = static_cast<int32_t>(text.size());
    while (i < len && col < disp) {
        const int step = FxCharLen(text.data(), static_cast<size_t>(i), text.size());
        for (int k = 0; k < step; ++k)
            col = text[static_cast<size_t>(i + k)] == '\t' ? (col / tab + 1) * tab : col + 1;
        i += step;
    }
    return i;
}

// Converts the letters of text[from, to) in place: the ASCII letters and the full-width Latin,
// Greek and Cyrillic letters of code page 936, each double-byte letter whole. Characters
// without a case (digits, punctuation, Chinese) end a word for capitalising.
void ConvertCaseRange(std::string& text, int32_t from, int32_t to, int kind) {
    bool inWord = false;
    const int len = static_cast<int>(text.size());
    int32_t i = from;
    while (i < to) {
        int n = 1;
        const uint16_t ch = SynCharAt(text.data(), i, len, &n);
        const uint16_t lower = SynFoldLower(ch), upper = SynFoldUpper(ch);
        const bool isUpper = lower != ch, isLower = upper != ch;
        if (isUpper || isLower) {
            uint16_t out = ch;
            switch (kind) {
            case CTextEditView::CaseLower:
                out = lower;
                break;
            case CTextEditView::CaseUpper:
                out = upper;
                break;
            case CTextEditView::CaseInvert:
                out = isLower ? upper : lower;
                break;
            default:
                out = inWord ? lower : upper;
                break;
            }
            text[static_cast<size_t>(i)] = static_cast<char>(out & 0xFF);
            if (n == 2) // the lead byte stays: only the trail byte tells the case
                text[static_cast<size_t>(i) + 1] = static_cast<char>(out >> 8);
            inWord = true;
        } else {
            inWord = false;
        }
        i += n;
    }
}

struct LineRange {
    int32_t line, from, to;
};

} // namespace

void CTextEditView::ConvertCase(int kind) {
    static const int kActions[] = {FxUndoLowerCase, FxUndoUpperCase, FxUndoInvertCase,
                                   FxUndoCapitalize};
    if (kind < CaseLower || kind > CaseCapitalize || !CheckWritable())
        return;
    try {
        FxUndoGroupGuard group(*m_doc, kActions[kind]);
        // The scope in logical positions: each selected record's range, else every line.
        std::vector<LineRange> ranges;
        if (HasSelection()) {
            for (int32_t rec = m_selFirst; rec <= m_selLast && rec < m_doc->RecordCount(); ++rec) {
                const FxLine& r = m_doc->Record(rec);
                const int32_t s = std::min(std::max(0, r.selStart), r.len);
                const int32_t e = std::min(std::max(0, r.selEnd), r.len);
                if (e <= s)
                    continue;
                const FxTextPos a = m_doc->PieceToLogical(FxTextPos(s, rec));
                const FxTextPos b = m_doc->PieceToLogical(FxTextPos(e, rec));
                // The pieces of a wrapped line join into one range: a word broken across
                // pieces is still one word to capitalise.
                if (!ranges.empty() && ranges.back().line == a.line && ranges.back().to == a.col)
                    ranges.back().to = b.col;
                else
                    ranges.push_back(LineRange{a.line, a.col, b.col});
            }
        } else {
            for (int32_t line = 0; line < m_doc->LogicalLineCount(); ++line)
                ranges.push_back(LineRange{line, 0, m_doc->GetLineLength(line)});
        }
        const FxTextPos caret = m_doc->PieceToLogical(m_caret);
        ClearSelection();
        bool changed = false;
        for (const LineRange& range : ranges) {
            const std::string oldText = LogicalLineText(*m_doc, range.line);
            const int32_t to = std::min(range.to, static_cast<int32_t>(oldText.size()));
            std::string newText = oldText;
            ConvertCaseRange(newText, range.from, to, kind);
            // Same length: replace each run of changed characters (whole, never half of a
            // double-byte one), at most kCaseRunBytes at a time.
            auto charLen = [&](int32_t at) {
                return FxCharLen(oldText.data(), static_cast<size_t>(at), oldText.size());
            };
            auto same = [&](int32_t at, int n) {
                return oldText.compare(static_cast<size_t>(at), static_cast<size_t>(n), newText,
                                       static_cast<size_t>(at), static_cast<size_t>(n)) == 0;
            };
            int32_t i = range.from;
            while (i < to) {
                const int step = charLen(i);
                if (same(i, step)) {
                    i += step;
                    continue;
                }
                int32_t j = i + step;
                while (j < to) {
                    const int next = charLen(j);
                    if (same(j, next) || j + next - i > kCaseRunBytes)
                        break;
                    j += next;
                }
                ReplaceInLine(*m_doc, range.line, i, j, newText.data() + i, j - i);
                changed = true;
                i = j;
            }
        }
        if (changed) {
            m_caret = m_doc->ValidatePos(caret);
            ClampCaret();
            UpdateViews(RefreshLineCount, 0, -1);
            GoToPos(m_doc->PieceToLogical(m_caret));
        }
    } catch (...) {
        ReportException();
    }
}

void CTextEditView::ConvertBlanks(int kind) {
    static const int kActions[] = {FxUndoSpacesToTabs, FxUndoLeadingSpacesToTabs,
                                   FxUndoTabsToSpaces};
    if (kind < BlankAllSpacesToTabs || kind > BlankTabsToSpaces || !CheckWritable())
        return;
    try {
        FxUndoGroupGuard group(*m_doc, kActions[kind]);
        const int tab = std::max(1, TabSize());
        const FxTextPos caret = m_doc->PieceToLogical(m_caret);
        int32_t caretDisp = 0;
        ClearSelection();
        bool changed = false;
        for (int32_t line = 0; line < m_doc->LogicalLineCount(); ++line) {
            const std::string oldText = LogicalLineText(*m_doc, line);
            if (line == caret.line)
                caretDisp = DisplayColumnAt(oldText, caret.col, tab);
            std::string newText;
            newText.reserve(oldText.size());
            const size_t len = oldText.size();
            int32_t col = 0;
            size_t i = 0;
            while (i < len) {
                const char c = oldText[i];
                if (kind == BlankLeadingSpacesToTabs && c != ' ' && c != '\t')
                    break;
                if (c == '\t') {
                    const int32_t stop = (col / tab + 1) * tab;
                    if (kind == BlankTabsToSpaces)
                        newText.append(static_cast<size_t>(stop - col), ' ');
                    else
                        newText += '\t';
                    col = stop;
                    ++i;
                } else if (c == ' ' && kind != BlankTabsToSpaces) {
                    size_t run = 0;
                    while (i + run < len && oldText[i + run] == ' ')
                        ++run;
                    const int32_t stop = (col / tab + 1) * tab;
                    const size_t need = static_cast<size_t>(stop - col);
                    if (run >= need) {
                        newText += '\t';
                        i += need;
                        col = stop;
                    } else {
                        newText.append(run, ' ');
                        i += run;
                        col += static_cast<int32_t>(run);
                    }
                } else {
                    const int step = FxCharLen(oldText.data(), i, len);
                    newText.append(oldText, i, static_cast<size_t>(step));
                    i += static_cast<size_t>(step);
                    col += step;
                }
            }
            newText.append(oldText, i, std::string::npos);
            if (ReplaceLine(*m_doc, line, oldText, newText))
                changed = true;
        }
        if (changed) {
            const int32_t line = m_doc->ClampLine(caret.line);
            const int32_t col = ByteAtDisplayColumn(LogicalLineText(*m_doc, line), caretDisp, tab);
            m_caret = m_doc->ValidatePos(FxTextPos(col, line));
            ClampCaret();
            UpdateViews(RefreshLineCount, 0, -1);
            GoToPos(m_doc->PieceToLogical(m_caret));
        }
    } catch (...) {
        ReportException();
    }
}

void CTextEditView::OnEditTrimTrailing() {
    if (!CheckWritable())
        return;
    try {
        FxUndoGroupGuard group(*m_doc, FxUndoTrimTrailing);
        const FxTextPos caret = m_doc->PieceToLogical(m_caret);
        ClearSelection();
        bool changed = false;
        for (int32_t line = 0; line < m_doc->LogicalLineCount(); ++line) {
            const std::string text = LogicalLineText(*m_doc, line);
            size_t end = text.size();
            // Neither byte can be part of a double-byte character.
            while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t'))
                --end;
            if (end == text.size())
                continue;
            ReplaceInLine(*m_doc, line, static_cast<int32_t>(end),
                          static_cast<int32_t>(text.size()), nullptr, 0);
            changed = true;
        }
        if (changed) {
            m_caret = m_doc->ValidatePos(caret);
            ClampCaret();
            UpdateViews(RefreshLineCount, 0, -1);
            GoToPos(m_doc->PieceToLogical(m_caret));
        }
    } catch (...) {
        ReportException();
    }
}

void CTextEditView::OnEditLowerCase() {
    ConvertCase(CaseLower);
}

void CTextEditView::OnEditUpperCase() {
    ConvertCase(CaseUpper);
}

void CTextEditView::OnEditInvertCase() {
    ConvertCase(CaseInvert);
}

void CTextEditView::OnEditCapitalize() {
    ConvertCase(CaseCapitalize);
}

void CTextEditView::OnEditSpacesToTabs() {
    ConvertBlanks(BlankAllSpacesToTabs);
}

void CTextEditView::OnEditLeadingSpacesToTabs() {
    ConvertBlanks(BlankLeadingSpacesToTabs);
}

void CTextEditView::OnEditTabsToSpaces() {
    ConvertBlanks(BlankTabsToSpaces);
}
