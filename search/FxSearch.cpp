// Find, mark and replace over a document's logical lines. Layer: search/.
#include "search/FxSearch.h"

#include "textdoc/Dbcs.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
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

FxSearchResult Failure(int error, int32_t offset = -1, int32_t errorChar = 0) {
    FxSearchResult r;
    r.status = FxSearchFailed;
    r.error = error;
    r.messageId = FxSearchErrorStringId(error);
    r.errorOffset = offset;
    r.errorChar = errorChar;
    return r;
}

FxSearchResult PrepareFailure(const FxLineMatcher& m) {
    return Failure(m.Error(), m.ErrorOffset(), m.ErrorChar());
}

// A replacement expanded from "\n" or "\r" holds lone line-end bytes, which the document would
// keep inside a line; each lone CR, lone LF and CR LF pair becomes the CR LF pair that inserting
// turns into a real line break. CR and LF are never trail bytes, so a byte scan is safe.
void MakeLineBreaks(std::string& text) {
    if (text.find_first_of("\r\n") == std::string::npos)
        return;
    std::string out;
    out.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            out += c;
            continue;
        }
        out += "\r\n";
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
    }
    text.swap(out);
}

// Replaces the text between two logical positions of one edit (the caller holds the undo
// group): delete and insert, each recorded. Returns the logical end of the inserted text.
FxTextPos ReplaceRange(CFxEditDoc& doc, const FxTextPos& a, const FxTextPos& b, std::string& text,
                       bool breakLines = true) {
    if (breakLines)
        MakeLineBreaks(text);
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

// The logical lines of a stretch of the document that may hold a match, one after the other,
// down or up. With a prefilter, lines it rules out are passed over: the bytes of lines that lie
// end to end in memory (as loading lays them out) are tested as one run, so that a line costs
// little more than a look at its record. Going down, the run is then followed to its candidates;
// going up, the lines of a run with a candidate are tested one by one. Empty lines never hold a
// match then. Without a prefilter every line is handed out.
class LineCandidates {
public:
    LineCandidates(const CFxEditDoc& doc, const FxLineMatcher& matcher, int32_t first, int32_t last,
                   bool down)
        : m_doc(doc), m_matcher(matcher), m_prefilter(matcher.HasPrefilter()), m_down(down),
          m_line(first), m_stop(down ? last + 1 : last - 1) {
        if (down ? first <= last : first >= last) {
            FxTextPos head(0, first);
            doc.LogicalToPiece(head);
            m_rec = head.line;
        } else {
            m_line = m_stop;
        }
    }

    // The next line that may hold a match: its number, head record and bytes. False at the end.
    bool Next(int32_t& line, int32_t& rec, LineRef& bytes) {
        while (m_line != m_stop) {
            if (!m_down && m_prefilter && !m_runHit && !GatherRunUp())
                continue;
            if (!m_down || !m_prefilter) {
                const FxLine& h = m_doc.Record(m_rec);
                line = m_line;
                rec = m_rec;
                bytes = LineRef{h.data, h.lineLen};
                if (m_line == m_runLast)
                    m_runHit = false;
                Advance();
                if (!m_prefilter ||
                    (h.lineLen > 0 &&
                     m_matcher.NextCandidate(h.data, h.data + h.lineLen) != h.data + h.lineLen))
                    return true;
                continue;
            }
            if (m_pos == m_runEnd && !GatherRun())
                continue;
            const char* c = m_matcher.NextCandidate(m_pos, m_runEnd);
            if (c == m_runEnd) {
                // Nothing in the whole run: on to the line after it, with a longer run.
                m_runBytes = std::min<ptrdiff_t>(m_runBytes * 2, kMaxRunBytes);
                m_line = m_runLast;
                m_rec = m_runLastRec;
                m_pos = m_runEnd = nullptr;
                Advance();
                continue;
            }
            // The run's lines before the one holding c are passed over.
            while (m_doc.Record(m_rec).lineLen == 0 ||
                   c >= m_doc.Record(m_rec).data + m_doc.Record(m_rec).lineLen)
                Advance();
            const FxLine& h = m_doc.Record(m_rec);
            line = m_line;
            rec = m_rec;
            bytes = LineRef{h.data, h.lineLen};
            m_pos = h.data + h.lineLen;
            m_runBytes = kMinRunBytes;
            Advance();
            return true;
        }
        return false;
    }

private:
    // Runs start short, so that a search that ends soon reads few records ahead, and grow
    // while they hold nothing.
    static constexpr ptrdiff_t kMinRunBytes = 256;
    static constexpr ptrdiff_t kMaxRunBytes = 1 << 16;

    void Advance() {
        m_line += m_down ? 1 : -1;
        if (m_line == m_stop)
            return;
        if (m_down) {
            ++m_rec;
            while (m_rec < m_doc.RecordCount() && m_doc.Record(m_rec).IsContinued())
                ++m_rec;
        } else {
            m_rec = m_doc.HeadPieceOf(m_rec - 1);
        }
    }

    // The longest run of lines from m_line whose bytes lie end to end, up to m_runBytes.
    // False when the run holds no bytes at all (the position has then moved past it).
    bool GatherRun() {
        const FxLine& h = m_doc.Record(m_rec);
        const char* start = h.data;
        const char* end = start + h.lineLen;
        m_runLast = m_line;
        m_runLastRec = m_rec;
        while (m_runLast + 1 != m_stop) {
            int32_t next = m_runLastRec + 1;
            while (next < m_doc.RecordCount() && m_doc.Record(next).IsContinued())
                ++next;
            const FxLine& n = m_doc.Record(next);
            if (n.lineLen > 0) {
                if (end == start)
                    start = end = n.data;
                else if (n.data != end || end - start >= m_runBytes)
                    break;
                end += n.lineLen;
            }
            ++m_runLast;
            m_runLastRec = next;
        }
        if (end == start) {
            m_line = m_runLast;
            m_rec = m_runLastRec;
            Advance();
            return false;
        }
        m_pos = start;
        m_runEnd = end;
        return true;
    }

    // Going up: m_line and the lines before it as long as each ends where the next one starts,
    // up to m_runBytes. True when its bytes hold a candidate: its lines are then handed out one by
    // one, each tested alone (m_runHit). False when the position has moved past the run.
    bool GatherRunUp() {
        const FxLine& h = m_doc.Record(m_rec);
        const char* start = h.data;
        const char* end = start + h.lineLen;
        m_runLast = m_line;
        m_runLastRec = m_rec;
        while (m_runLast - 1 != m_stop) {
            const int32_t prev = m_doc.HeadPieceOf(m_runLastRec - 1);
            const FxLine& p = m_doc.Record(prev);
            if (p.lineLen > 0) {
                if (end == start)
                    end = p.data + p.lineLen;
                else if (p.data + p.lineLen != start || end - start >= m_runBytes)
                    break;
                start = p.data;
            }
            --m_runLast;
            m_runLastRec = prev;
        }
        if (end != start && m_matcher.NextCandidate(start, end) != end) {
            m_runHit = true;
            m_runBytes = kMinRunBytes;
            return true;
        }
        if (end != start)
            m_runBytes = std::min<ptrdiff_t>(m_runBytes * 2, kMaxRunBytes);
        m_line = m_runLast;
        m_rec = m_runLastRec;
        Advance();
        return false;
    }

    const CFxEditDoc& m_doc;
    const FxLineMatcher& m_matcher;
    const bool m_prefilter, m_down;
    int32_t m_line, m_stop; // the next line to hand out; the line past the stretch
    int32_t m_rec = 0;      // head record of m_line
    // The current run: its unscanned bytes, which start in m_line, and its last line.
    const char* m_pos = nullptr;
    const char* m_runEnd = nullptr;
    int32_t m_runLast = 0, m_runLastRec = 0;
    bool m_runHit = false;
    ptrdiff_t m_runBytes = kMinRunBytes;
};

// Replace all of a regular expression within one line: first the match at ms (groups m), and
// then every later match of the line that ends at or before hi, found by scanning on from each
// (hits do not overlap). The whole stretch from the first match to the last is replaced in one
// edit, the text between the matches kept. *lastEnd is set to the end of the last match in the
// line as it was, *end to the end of the inserted text; returns the number of matches, or -1
// when the matcher failed (nothing is changed then).
int ReplaceInLine(CFxEditDoc& doc, FxLineMatcher& matcher, const FxTextPos& ms, const FxTextPos& hi,
                  const FxLineMatch& m, const char* rep, int32_t repLen, FxTextPos* lastEnd,
                  FxTextPos* end) {
    const LineRef l = LineAt(doc, ms.line);
    const int32_t to = ms.line == hi.line ? std::min(hi.col, l.len) : l.len;
    std::string text, piece;
    int replaced = 0;
    FxLineMatch cur = m;
    for (;;) {
        matcher.Expand(rep, repLen, l.data, cur, piece);
        MakeLineBreaks(piece);
        text += piece;
        ++replaced;
        int32_t pos = cur.end;
        if (cur.end == cur.start) {
            if (cur.end >= to)
                break;
            pos += FxCharLen(l.data, static_cast<size_t>(cur.end), static_cast<size_t>(l.len));
        }
        FxLineMatch next;
        const FxLineMatcher::Result r = matcher.FindNext(l.data, l.len, pos, to, next);
        if (r == FxLineMatcher::Failed)
            return -1;
        if (r == FxLineMatcher::NoMatch)
            break;
        text.append(l.data + cur.end, static_cast<size_t>(next.start - cur.end));
        cur = next;
    }
    *lastEnd = FxTextPos(cur.end, ms.line);
    *end = ReplaceRange(doc, ms, *lastEnd, text, false);
    return replaced;
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
    // The search in one line, bounded by the range's ends in its first and last lines.
    const auto search = [&](int32_t line, LineRef l) {
        int32_t from = 0;
        if (line == lo.line)
            from = loIsBoundary ? std::min(lo.col, l.len)
                                : FxLineMatcher::SnapToChar(l.data, l.len, lo.col);
        int32_t to = line == hi.line ? std::min(hi.col, l.len) : l.len;
        FxLineMatcher::Result r = down ? matcher.FindFirst(l.data, l.len, from, to, m)
                                       : matcher.FindLast(l.data, l.len, from, to, m);
        if (r == FxLineMatcher::Failed) {
            res = Failure(matcher.Error());
        } else if (r == FxLineMatcher::Matched) {
            res.status = FxSearchFound;
            res.matchStart = FxTextPos(m.start, line);
            res.matchEnd = FxTextPos(m.end, line);
            if (groups)
                *groups = m;
        }
        return r != FxLineMatcher::NoMatch;
    };
    const int32_t first = down ? lo.line : hi.line, last = down ? hi.line : lo.line;
    if (search(first, LineAt(doc, first)) || first == last)
        return res;
    // The lines between the range's first and last lines are searched whole.
    const int32_t step = down ? 1 : -1;
    LineCandidates lines(doc, matcher, first + step, last - step, down);
    int32_t line, rec;
    LineRef l;
    while (lines.Next(line, rec, l))
        if (search(line, l))
            return res;
    search(last, LineAt(doc, last));
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
    const int32_t repLen = !req.replacement ? 0
                           : req.replacementLen < 0
                               ? static_cast<int32_t>(std::strlen(req.replacement))
                               : req.replacementLen;
    {
        CFxEditDoc::BulkGuard bulk(doc, true);
        FxUndoGroupGuard group(doc, FxUndoReplaceAll);
        for (;;) {
            const FxTextPos ms = found.matchStart;
            const bool lastLine = ms.line == hi.line;
            FxTextPos me = found.matchEnd;
            FxTextPos end;
            if (matcher.IsRegExp()) {
                // The line's other matches are found in the line as it is, before it changes,
                // so that it is converted for the expression once; then all of them are
                // replaced in one edit.
                const int replaced =
                    ReplaceInLine(doc, matcher, ms, hi, m, req.replacement, repLen, &me, &end);
                if (replaced < 0) {
                    res.status = FxSearchFailed;
                    res.error = matcher.Error();
                    res.messageId = FxSearchErrorStringId(res.error);
                    break;
                }
                res.count += replaced;
            } else {
                matcher.Expand(req.replacement, repLen, LineAt(doc, ms.line).data, m, text);
                end = ReplaceRange(doc, ms, me, text);
                ++res.count;
            }
            res.caret = end;
            // The range's end moves with the text that follows the match on its line.
            if (lastLine)
                hi = FxTextPos(end.col + (hi.col - me.col), end.line);
            else
                hi.line += end.line - ms.line;
            FxTextPos next = end;
            if (matcher.IsRegExp()) {
                // The rest of the line held no other match: on with the next line.
                if (lastLine)
                    break;
                next = FxTextPos(0, end.line + 1);
            } else if (ms == me && !StepOneChar(doc, next)) {
                // Searching resumes after the inserted text; after an empty match, one
                // character further, so that it is not found again.
                break;
            }
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

FxSearchResult FxCheckPattern(const FxSearch& req) {
    FxLineMatcher matcher;
    if (!matcher.Prepare(req.pattern, req.patternLen, FxMatchOptionsOf(req)))
        return PrepareFailure(matcher);
    return FxSearchResult();
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
    LineCandidates lines(doc, matcher, 0, doc.LogicalLineCount() - 1, true);
    int32_t line, headRec;
    LineRef bytes;
    while (lines.Next(line, headRec, bytes)) {
        const char* data = bytes.data;
        const int32_t len = bytes.len;
        bool marked = false;
        for (int32_t pos = 0; pos <= len;) {
            // The line's later matches go on with it as the first call converted it.
            FxLineMatcher::Result r = pos == 0 ? matcher.FindFirst(data, len, pos, len, m)
                                               : matcher.FindNext(data, len, pos, len, m);
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
                doc.RecordRef(headRec).flags |= FXL_BOOKMARK;
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
