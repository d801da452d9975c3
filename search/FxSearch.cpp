// Find, mark and replace over a document's logical lines. Layer: search/.
#include "search/FxSearch.h"

#include "textdoc/Dbcs.h"

#include <algorithm>
#include <string>

namespace {

struct LineRef {
    const char* data;
    int32_t len;
};

// The bytes of a logical line: the head record's buffer holds the whole line.
LineRef LineAt(const CFxEditDoc& doc, int32_t line) {
    FxTextPos p(0, line);
    doc.LogicalToPiece(p);
    const FxLine& head = doc.Record(p.line);
    return LineRef{head.data, head.lineLen};
}

FxTextPos ClampLogical(const CFxEditDoc& doc, FxTextPos pos) {
    pos.line = doc.ClampLine(pos.line);
    LineRef l = LineAt(doc, pos.line);
    pos.col = FxLineMatcher::SnapToChar(l.data, l.len, std::max<int32_t>(0, pos.col));
    return pos;
}

FxTextPos DocumentEnd(const CFxEditDoc& doc) {
    int32_t last = doc.LogicalLineCount() - 1;
    return FxTextPos(LineAt(doc, last).len, last);
}

FxSearchResult Failure(int error, int32_t offset = -1) {
    FxSearchResult r;
    r.status = FxSearchFailed;
    r.error = error;
    r.messageId = FxSearchErrorStringId(error);
    r.errorOffset = offset;
    return r;
}

FxSearchResult PrepareFailure(const FxLineMatcher& m) {
    return Failure(m.Error(), m.ErrorOffset());
}

// Replaces the text between two logical positions of one edit (the caller holds the undo
// group): delete and insert, each recorded. Returns the logical end of the inserted text.
FxTextPos ReplaceRange(CFxEditDoc& doc, const FxTextPos& a, const FxTextPos& b,
                       const std::string& text) {
    if (a != b) {
        FxTextPos pa = doc.LogicalToPiecePos(a);
        FxTextPos pb = doc.LogicalToPiecePos(b);
        doc.RecordDelete(pa, pb);
        doc.DeleteText(pa, pb);
    }
    if (text.empty())
        return a;
    FxTextPos head = doc.ToHeadPiece(doc.LogicalToPiecePos(a));
    FxTextPos pos = a;
    doc.InsertText(pos, text.data(), static_cast<int32_t>(text.size()));
    doc.RecordInsert(head, pos);
    return doc.PieceToLogical(pos);
}

// The position one character after pos, or the next line's start; false past the document.
bool StepOneChar(const CFxEditDoc& doc, FxTextPos& pos) {
    LineRef l = LineAt(doc, pos.line);
    if (pos.col < l.len) {
        pos.col += FxCharLen(l.data, static_cast<size_t>(pos.col), static_cast<size_t>(l.len));
        return true;
    }
    if (pos.line + 1 >= doc.LogicalLineCount())
        return false;
    pos = FxTextPos(0, pos.line + 1);
    return true;
}

void RecountBookmarks(CFxEditDoc& doc) {
    int n = 0;
    for (int32_t i = 0; i < doc.RecordCount(); ++i)
        if (doc.Record(i).flags & FXL_BOOKMARK)
            ++n;
    doc.SetBookmarkCount(n);
}

} // namespace

FxMatchOptions FxMatchOptionsOf(const FxSearch& req) {
    FxMatchOptions o;
    o.matchCase = req.matchCase;
    o.wholeWord = req.wholeWord;
    o.regExp = req.regExp;
    o.delimiters = req.delimiters;
    return o;
}

FxSearchResult FindInRange(CFxEditDoc& doc, FxLineMatcher& matcher, FxTextPos lo, FxTextPos hi,
                           bool down, FxLineMatch* groups, bool loIsBoundary) {
    FxSearchResult res;
    if (hi < lo)
        return res;
    FxLineMatch m;
    const int32_t first = down ? lo.line : hi.line, last = down ? hi.line : lo.line;
    const int32_t step = down ? 1 : -1;
    for (int32_t line = first; line != last + step; line += step) {
        LineRef l = LineAt(doc, line);
        int32_t from = 0;
        if (line == lo.line)
            from = loIsBoundary ? std::min(lo.col, l.len)
                                : FxLineMatcher::SnapToChar(l.data, l.len, lo.col);
        int32_t to = line == hi.line ? std::min(hi.col, l.len) : l.len;
        FxLineMatcher::Result r = down ? matcher.FindFirst(l.data, l.len, from, to, m)
                                       : matcher.FindLast(l.data, l.len, from, to, m);
        if (r == FxLineMatcher::Failed)
            return Failure(matcher.Error());
        if (r == FxLineMatcher::Matched) {
            res.status = FxSearchFound;
            res.matchStart = FxTextPos(m.start, line);
            res.matchEnd = FxTextPos(m.end, line);
            if (groups)
                *groups = m;
            return res;
        }
    }
    return res;
}

FxSearchResult FindText(CFxEditDoc& doc, FxSearch& req) {
    if (req.markAll)
        return MarkAll(doc, req);
    FxLineMatcher matcher;
    if (!matcher.Prepare(req.pattern, req.patternLen, FxMatchOptionsOf(req)))
        return PrepareFailure(matcher);
    const FxTextPos start = ClampLogical(doc, req.start);
    const FxTextPos docStart(0, 0), docEnd = DocumentEnd(doc);
    FxSearchResult res = req.down ? FindInRange(doc, matcher, start, docEnd, true)
                                  : FindInRange(doc, matcher, docStart, start, false);
    if (res.status == FxSearchNotFound && req.wrap) {
        // The notice comes first, so that it shows even when the second pass finds nothing.
        doc.OnDocEvent(FxEvSearchWrapped, req.down ? -1 : 0);
        // The whole start line is searched again: the first pass found nothing there on its
        // side of the start, so whatever this pass finds in it lies across the start.
        const int32_t startLineLen = LineAt(doc, start.line).len;
        res = req.down
                  ? FindInRange(doc, matcher, docStart, FxTextPos(startLineLen, start.line), true)
                  : FindInRange(doc, matcher, FxTextPos(0, start.line), docEnd, false);
        res.wrapped = true;
    }
    if (res.Found()) {
        req.start = res.matchStart;
        req.end = res.matchEnd;
    }
    return res;
}

FxSearchResult ReplaceText(CFxEditDoc& doc, FxSearch& req) {
    if (doc.IsReadOnly()) {
        doc.OnDocEvent(FxEvReadOnly, 0);
        return Failure(FxSeReadOnly);
    }
    FxLineMatcher matcher;
    if (!matcher.Prepare(req.pattern, req.patternLen, FxMatchOptionsOf(req)))
        return PrepareFailure(matcher);
    FxTextPos lo = ClampLogical(doc, req.start), hi = ClampLogical(doc, req.end);
    if (hi < lo)
        std::swap(lo, hi);
    std::string text;

    if (req.single) {
        // Only the exact match that the range holds is replaced.
        FxLineMatch m;
        FxSearchResult found = FindInRange(doc, matcher, lo, hi, true, &m);
        if (found.status == FxSearchFailed)
            return found;
        if (!found.Found() || found.matchStart != lo || found.matchEnd != hi)
            return FxSearchResult();
        matcher.Expand(req.replacement, req.replacementLen, LineAt(doc, lo.line).data, m, text);
        FxUndoGroupGuard group(doc, FxUndoReplace);
        FxTextPos end = ReplaceRange(doc, lo, hi, text);
        found.count = 1;
        found.caret = end;
        req.start = lo;
        req.end = end;
        return found;
    }

    if (!req.inSelection) {
        lo = FxTextPos(0, 0);
        hi = DocumentEnd(doc);
    }
    FxLineMatch m;
    FxSearchResult found = FindInRange(doc, matcher, lo, hi, true, &m);
    if (!found.Found())
        return found;
    FxSearchResult res = found;
    {
        CFxEditDoc::BulkGuard bulk(doc, true);
        FxUndoGroupGuard group(doc, FxUndoReplaceAll);
        for (;;) {
            const FxTextPos ms = found.matchStart, me = found.matchEnd;
            matcher.Expand(req.replacement, req.replacementLen, LineAt(doc, ms.line).data, m, text);
            const FxTextPos end = ReplaceRange(doc, ms, me, text);
            ++res.count;
            res.caret = end;
            // The range's end moves with the text that follows the match on its line.
            if (ms.line == hi.line)
                hi = FxTextPos(end.col + (hi.col - me.col), end.line);
            else
                hi.line += end.line - ms.line;
            // Searching resumes after the inserted text; after an empty match, one character
            // further, so that it is not found again.
            FxTextPos next = end;
            if (ms == me && !StepOneChar(doc, next))
                break;
            found = FindInRange(doc, matcher, next, hi, true, &m, true);
            if (found.status == FxSearchFailed) {
                res.status = FxSearchFailed;
                res.error = found.error;
                res.messageId = found.messageId;
                break;
            }
            if (!found.Found())
                break;
        }
    }
    if (req.inSelection) {
        req.start = lo;
        req.end = hi;
    }
    res.matchStart = lo;
    res.matchEnd = hi;
    return res;
}

void FxClearBookmarks(CFxEditDoc& doc) {
    for (int32_t i = 0; i < doc.RecordCount(); ++i)
        doc.RecordRef(i).flags &= ~FXL_BOOKMARK;
    doc.SetBookmarkCount(0);
}

FxSearchResult MarkAll(CFxEditDoc& doc, const FxSearch& req, std::vector<FxSearchHit>* hits) {
    FxLineMatcher matcher;
    if (!matcher.Prepare(req.pattern, req.patternLen, FxMatchOptionsOf(req)))
        return PrepareFailure(matcher);
    FxSearchResult res;
    FxLineMatch m;
    for (int32_t line = 0; line < doc.LogicalLineCount(); ++line) {
        FxTextPos head(0, line);
        doc.LogicalToPiece(head);
        const FxLine& rec = doc.Record(head.line);
        const char* data = rec.data;
        const int32_t len = rec.lineLen;
        bool marked = false;
        for (int32_t pos = 0; pos <= len;) {
            FxLineMatcher::Result r = matcher.FindFirst(data, len, pos, len, m);
            if (r == FxLineMatcher::Failed) {
                RecountBookmarks(doc);
                FxSearchResult f = Failure(matcher.Error());
                f.count = res.count;
                return f;
            }
            if (r == FxLineMatcher::NoMatch)
                break;
            if (!marked) {
                marked = true;
                ++res.count;
                doc.RecordRef(head.line).flags |= FXL_BOOKMARK;
                if (res.status != FxSearchFound) {
                    res.status = FxSearchFound;
                    res.matchStart = FxTextPos(m.start, line);
                    res.matchEnd = FxTextPos(m.end, line);
                }
            }
            if (!hits)
                break;
            hits->push_back(FxSearchHit{FxTextPos(m.start, line), FxTextPos(m.end, line)});
            if (m.end > m.start)
                pos = m.end;
            else if (m.end >= len)
                break;
            else
                pos = m.end + FxCharLen(data, static_cast<size_t>(m.end), static_cast<size_t>(len));
        }
    }
    RecountBookmarks(doc);
    return res;
}
