// CFxEditDoc: construction, the record array, positions, measuring and copying.
// Layer: textdoc/.
#include "textdoc/FxEditDoc.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

CFxEditDoc::CFxEditDoc() = default;

CFxEditDoc::~CFxEditDoc() {
    FreeUndo();
    std::free(m_lines);
}

// --- Lifecycle -----------------------------------------------------------------------------

void CFxEditDoc::OnDocEvent(int, int) {}

bool CFxEditDoc::OnFileProgress(bool, int) {
    return true;
}

void CFxEditDoc::InitDocument(int) {
    if (m_lineCount == 0) {
        InsertRecords(0, 1);
        m_lines[0] = FxFreshLine();
        m_lines[0].flags = 0;
        m_logicalLines = 1;
    }
    m_wrapMode = 0;
    m_wrapColumn = 0;
    m_showRuler = m_showLineNumbers = m_showWhitespace = m_showLineBreaks = true;
}

void CFxEditDoc::DeleteContents() {
    ResetRecords();
    FreeUndo();
    m_syntaxMark = m_prevSyntaxMark = -1;
    m_logicalLines = 1;
    m_size = 0;
    m_bookmarks = 0;
    m_compactionSuspended = false;
    m_progressSuppressed = false;
    m_loadLossy = false;
}

void CFxEditDoc::SetAttachedViews(IFxDocView* first, IFxDocView* second) {
    m_views[0] = first;
    m_views[1] = first ? second : nullptr;
}

void CFxEditDoc::ResetRecords() {
    std::free(m_lines);
    m_lines = nullptr;
    m_lineCount = m_lineSpare = 0;
    m_text.FreeAll();
}

// --- Record array --------------------------------------------------------------------------

void CFxEditDoc::InsertRecords(int32_t at, int32_t count) {
    if (count <= 0)
        return;
    if (m_lineSpare < count) {
        int64_t cap = static_cast<int64_t>(m_lineCount) + count + kLineGrowth;
        if (cap > kFxMaxRecords)
            throw std::bad_alloc();
        FxLine* grown =
            static_cast<FxLine*>(std::malloc(static_cast<size_t>(cap) * sizeof(FxLine)));
        if (!grown)
            throw std::bad_alloc();
        if (m_lineCount)
            std::memcpy(grown, m_lines, static_cast<size_t>(m_lineCount) * sizeof(FxLine));
        std::free(m_lines);
        m_lines = grown;
        m_lineSpare = static_cast<int32_t>(cap - m_lineCount);
    }
    std::memmove(m_lines + at + count, m_lines + at,
                 static_cast<size_t>(m_lineCount - at) * sizeof(FxLine));
    m_lineCount += count;
    m_lineSpare -= count;
}

void CFxEditDoc::RemoveRecords(int32_t at, int32_t count) {
    if (count <= 0)
        return;
    m_bookmarks -= CountBookmarks(at, count);
    std::memmove(m_lines + at, m_lines + at + count,
                 static_cast<size_t>(m_lineCount - at - count) * sizeof(FxLine));
    m_lineCount -= count;
    m_lineSpare += count;
    if (m_lineSpare > kLineGrowth + 512) {
        size_t cap = static_cast<size_t>(m_lineCount) + kLineGrowth;
        FxLine* shrunk = static_cast<FxLine*>(std::malloc(cap * sizeof(FxLine)));
        if (shrunk) { // keeping the larger array is harmless when memory is short
            std::memcpy(shrunk, m_lines, static_cast<size_t>(m_lineCount) * sizeof(FxLine));
            std::free(m_lines);
            m_lines = shrunk;
            m_lineSpare = kLineGrowth;
        }
    }
}

void CFxEditDoc::InitPieces(FxLine* recs, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        recs[i] = FxFreshLine();
}

int32_t CFxEditDoc::CountBookmarks(int32_t first, int32_t count) const {
    int32_t n = 0;
    for (int32_t i = first; i < first + count; ++i)
        if (m_lines[i].flags & FXL_BOOKMARK)
            ++n;
    return n;
}

// --- Positions -----------------------------------------------------------------------------

bool CFxEditDoc::IsValidPos(const FxTextPos& pos) const {
    return IsValidLine(pos.line) && pos.col >= 0 && pos.col <= GetLineLength(pos.line);
}

int32_t CFxEditDoc::ClampLine(int32_t line) const {
    return std::max<int32_t>(0, std::min<int32_t>(line, m_logicalLines - 1));
}

int32_t CFxEditDoc::ClampColumn(int32_t line, int32_t col) const {
    int32_t len = GetLineLength(ClampLine(line));
    return std::max<int32_t>(0, std::min<int32_t>(col, len < 0 ? 0 : len));
}

int32_t CFxEditDoc::GetLineLength(int32_t line) const {
    if (!IsValidLine(line) || m_lineCount == 0)
        return -1;
    FxTextPos p(0, line);
    LogicalToPiece(p);
    return m_lines[p.line].lineLen;
}

int32_t CFxEditDoc::ClampPiece(int32_t rec) const {
    return std::max<int32_t>(0, std::min<int32_t>(rec, m_lineCount - 1));
}

int32_t CFxEditDoc::ClampPieceColumn(int32_t rec, int32_t col) const {
    rec = ClampPiece(rec);
    return std::max<int32_t>(0, std::min<int32_t>(col, m_lines[rec].len));
}

FxTextPos CFxEditDoc::ValidatePos(FxTextPos pos) const {
    if (!IsValidPos(pos)) {
        pos.line = ClampLine(pos.line);
        pos.col = ClampColumn(pos.line, pos.col);
    }
    LogicalToPiece(pos);
    CarryColumn(pos);
    return pos;
}

void CFxEditDoc::LogicalToPiece(FxTextPos& pos) const {
    if (pos.line < 0 || pos.line >= m_logicalLines) {
        pos = FxTextPos(0, 0);
        return;
    }
    if (m_wrapMode == 0)
        return;
    // Head records carry current logical numbers, and the head of line n lies at index >= n.
    int32_t lo = pos.line, hi = m_lineCount - 1;
    while (lo <= hi) {
        int32_t mid = lo + (hi - lo) / 2;
        int32_t head = HeadPieceOf(mid);
        int32_t n = m_lines[head].logLine;
        if (n > pos.line)
            hi = head - 1;
        else if (n < pos.line)
            lo = mid + 1;
        else {
            pos.line = head;
            return;
        }
    }
    pos = FxTextPos(0, 0);
}

FxTextPos CFxEditDoc::LogicalToPiecePos(const FxTextPos& logical) const {
    FxTextPos p = logical;
    LogicalToPiece(p);
    CarryColumn(p);
    return p;
}

void CFxEditDoc::CarryColumn(FxTextPos& pos) const {
    if (m_wrapMode == 0)
        return;
    while (pos.line < m_lineCount - 1) {
        int32_t len = m_lines[pos.line].len;
        if (pos.col - len <= 0)
            return;
        pos.col -= len;
        ++pos.line;
    }
}

FxTextPos CFxEditDoc::ToHeadPiece(const FxTextPos& piecePos) const {
    const FxLine& r = m_lines[piecePos.line];
    if (!r.IsContinued())
        return piecePos;
    int32_t head = piecePos.line - r.lineLen;
    int32_t offset = 0;
    for (int32_t i = head; i < piecePos.line; ++i)
        offset += m_lines[i].len;
    return FxTextPos(piecePos.col + offset, head);
}

int32_t CFxEditDoc::PieceToLogicalLine(int32_t headRec) const {
    if (m_wrapMode == 0)
        return headRec;
    return m_lines[headRec].logLine;
}

FxTextPos CFxEditDoc::PieceToLogical(const FxTextPos& piecePos) const {
    FxTextPos p = ToHeadPiece(piecePos);
    p.line = PieceToLogicalLine(p.line);
    return p;
}

int32_t CFxEditDoc::HeadPieceOf(int32_t rec) const {
    const FxLine& r = m_lines[rec];
    return r.IsContinued() ? rec - r.lineLen : rec;
}

int32_t CFxEditDoc::PrevLogicalLine(int32_t rec) const {
    int32_t head = HeadPieceOf(rec);
    if (head == 0)
        return -1;
    return HeadPieceOf(head - 1);
}

int32_t CFxEditDoc::NextLogicalLine(int32_t rec) const {
    for (int32_t i = rec + 1; i < m_lineCount; ++i)
        if (!m_lines[i].IsContinued())
            return i;
    return -1;
}

int32_t CFxEditDoc::GetPieceCount(int32_t rec) const {
    int32_t head = HeadPieceOf(rec);
    int32_t i = head + 1;
    while (i < m_lineCount && m_lines[i].IsContinued())
        ++i;
    return i - head;
}

FxTextPos CFxEditDoc::EndPos() const {
    int32_t last = m_lineCount - 1;
    return FxTextPos(last >= 0 ? m_lines[last].len : 0, last >= 0 ? last : 0);
}

// --- Offsets, measuring, copying -----------------------------------------------------------

int64_t CFxEditDoc::PosToOffset(const FxTextPos& piecePos) const {
    if (piecePos.line < 0 || piecePos.line >= m_lineCount || piecePos.col < 0 ||
        piecePos.col > m_lines[piecePos.line].len)
        return 0;
    int64_t offset = 0;
    for (int32_t i = 0; i < piecePos.line; ++i)
        offset += m_lines[i].len + (m_lines[i].HasLineEnd() ? 1 : 0);
    return offset + piecePos.col;
}

FxTextPos CFxEditDoc::OffsetToPos(int64_t offset) const {
    if (offset < 0)
        offset = 0;
    for (int32_t i = 0; i < m_lineCount; ++i) {
        int32_t len = m_lines[i].len;
        if (offset <= len)
            return FxTextPos(static_cast<int32_t>(offset), i);
        offset -= len;
        if (m_lines[i].HasLineEnd()) {
            if (i == m_lineCount - 1)
                break;
            offset -= 1;
            if (offset < 0) // inside a line break: the end of its line
                return FxTextPos(len, i);
        }
    }
    return EndPos();
}

FxSize CFxEditDoc::MeasureText(const FxTextPos& a, const FxTextPos& b, int lineEndType) const {
    if (a.line == b.line)
        return b.col - a.col;
    int32_t term = FxTerminatorLength(lineEndType);
    int64_t n = m_lines[a.line].len - a.col;
    for (int32_t r = a.line + 1; r <= b.line; ++r) {
        if (m_lines[r - 1].HasLineEnd())
            n += term;
        n += r < b.line ? m_lines[r].len : b.col;
    }
    return n > PTRDIFF_MAX ? PTRDIFF_MAX : static_cast<FxSize>(n);
}

FxSize CFxEditDoc::CopyText(const FxTextPos& a, const FxTextPos& b, char* buf, FxSize capacity,
                            int lineEndType) const {
    FxSize written = 0;
    auto copyPiece = [&](int32_t rec, int32_t from, int32_t to) {
        FxSize n = std::min<FxSize>(to - from, capacity - written);
        if (n > 0) {
            std::memcpy(buf + written, m_lines[rec].data + from, static_cast<size_t>(n));
            written += n;
        }
    };
    if (capacity <= 0)
        return 0;
    if (a.line == b.line) {
        copyPiece(a.line, a.col, b.col);
        return written;
    }
    const char* term = FxTerminator(lineEndType);
    const int32_t termLen = FxTerminatorLength(lineEndType);
    copyPiece(a.line, a.col, m_lines[a.line].len);
    for (int32_t r = a.line + 1; r <= b.line && written < capacity; ++r) {
        if (m_lines[r - 1].HasLineEnd()) {
            if (capacity - written < termLen) // a terminator is written whole or not at all
                break;
            std::memcpy(buf + written, term, static_cast<size_t>(termLen));
            written += termLen;
        }
        copyPiece(r, 0, r < b.line ? m_lines[r].len : b.col);
    }
    return written;
}
