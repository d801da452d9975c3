// CFxEditDoc: line buffers, insertion, deletion, replacing pieces, the line-end type.
// Layer: textdoc/.
#include "textdoc/FxEditDoc.h"

#include "common/FxErrors.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

// --- Line buffers --------------------------------------------------------------------------

void CFxEditDoc::ResizeLineBuffer(int32_t head, int32_t newSize) {
    FxLine& r = m_lines[head];
    const int32_t oldSize = r.lineLen;
    if (newSize == oldSize)
        return;
    if (oldSize == 0) {
        if (newSize > 0) {
            FxTextBlock* block = nullptr;
            r.data = m_text.Allocate(newSize, &block);
            r.block = FxBlockStore::RefOf(block);
        }
        r.len = r.lineLen = newSize;
        return;
    }
    FxTextBlock* oldBlock = m_text.Get(r.block);
    if (newSize == 0) {
        r.len = r.lineLen = 0;
        r.data = nullptr;
        r.block = FxBlockRef{};
        m_text.Release(oldBlock, oldSize, m_compactionSuspended, *this);
        return;
    }
    if (m_text.ResizeInPlace(oldBlock, r.data, oldSize, newSize)) {
        r.len = r.lineLen = newSize;
        return;
    }
    if (newSize > oldSize) {
        FxTextBlock* block = nullptr;
        char* p = m_text.Allocate(newSize, &block);
        std::memcpy(p, r.data, static_cast<size_t>(oldSize));
        r.data = p;
        r.block = FxBlockStore::RefOf(block);
        r.len = r.lineLen = newSize;
        m_text.Release(oldBlock, oldSize, m_compactionSuspended, *this);
        return;
    }
    r.len = r.lineLen = newSize;
    m_text.Release(oldBlock, oldSize - newSize, m_compactionSuspended, *this);
}

void CFxEditDoc::MoveLiveBuffers(FxBlockStore& store, FxTextBlock* from, FxTextBlock* to) {
    if (&store == &m_undoText) {
        for (int32_t i = 0; i < m_undoCount; ++i) {
            FxUndoRec& u = m_undo[i];
            if (u.block != from)
                continue;
            char* p = store.AllocateIn(to, u.textLen);
            std::memcpy(p, u.text, static_cast<size_t>(u.textLen));
            u.text = p;
            u.block = to;
        }
        return;
    }
    // Only head records own buffers; their continuation pieces follow back to back.
    const FxBlockRef fromRef = FxBlockStore::RefOf(from), toRef = FxBlockStore::RefOf(to);
    for (int32_t i = 0; i < m_lineCount; ++i) {
        FxLine& r = m_lines[i];
        if (r.block != fromRef || r.IsContinued())
            continue;
        char* p = store.AllocateIn(to, r.lineLen);
        std::memcpy(p, r.data, static_cast<size_t>(r.lineLen));
        r.data = p;
        r.block = toRef;
        for (int32_t j = i + 1; j < m_lineCount && m_lines[j].IsContinued(); ++j)
            m_lines[j].data = m_lines[j - 1].data + m_lines[j - 1].len;
    }
}

// --- Pieces --------------------------------------------------------------------------------

void CFxEditDoc::ReplacePieces(const FxLine* pieces, int32_t first, int32_t oldCount,
                               int32_t newCount, FxTextPos* caret) {
    if (caret && caret->line >= first && caret->line < first + oldCount) {
        // Re-express the caret by its byte address in the new pieces.
        const FxLine& old = m_lines[caret->line];
        const char* addr = old.data ? old.data + caret->col : nullptr;
        FxTextPos moved(0, first);
        if (addr) {
            for (int32_t k = 0; k < newCount; ++k) {
                if (pieces[k].data && pieces[k].data + pieces[k].len >= addr) {
                    moved = FxTextPos(static_cast<int32_t>(addr - pieces[k].data), first + k);
                    break;
                }
                moved = FxTextPos(pieces[k].len, first + k);
            }
        }
        *caret = moved;
    }
    m_bookmarks -= CountBookmarks(first, oldCount);
    for (int32_t k = 0; k < newCount; ++k)
        if (pieces[k].flags & FXL_BOOKMARK)
            ++m_bookmarks;
    if (newCount > oldCount)
        InsertRecords(first + oldCount, newCount - oldCount);
    else if (newCount < oldCount) {
        // The removed records are counted above already.
        int32_t keep = m_bookmarks;
        RemoveRecords(first + newCount, oldCount - newCount);
        m_bookmarks = keep;
    }
    std::memcpy(m_lines + first, pieces, static_cast<size_t>(newCount) * sizeof(FxLine));
    if (first + newCount == m_lineCount && m_lineCount > 0)
        m_lines[m_lineCount - 1].flags &= ~FXL_LINEEND;
}

int32_t CFxEditDoc::Resplit(int32_t head, int32_t oldPieces, FxTextPos* caret) {
    FxLine& h = m_lines[head];
    if (!(m_wrapMode && m_views[0]) && oldPieces == 1) {
        h.len = h.lineLen;
        return 1;
    }
    FxLine line = h;
    uint32_t lineEnd = m_lines[head + oldPieces - 1].flags & FXL_LINEEND;
    line.flags = (line.flags & ~(FXL_CONTINUED | FXL_LINEEND)) | lineEnd;
    line.len = line.lineLen;
    line.dispCol = 0;
    m_scratch.clear();
    if (m_wrapMode && m_views[0]) {
        m_views[0]->SplitLogicalLine(line, m_scratch);
        // Guard against a splitter that breaks the contract: fall back to one piece.
        int64_t sum = 0;
        bool ok = !m_scratch.empty() && !m_scratch[0].IsContinued();
        for (size_t k = 0; ok && k < m_scratch.size(); ++k) {
            sum += m_scratch[k].len;
            ok = (k == 0) == !m_scratch[k].IsContinued() && m_scratch[k].len >= 0;
        }
        if (!ok || sum != line.lineLen)
            m_scratch.clear();
    }
    if (m_scratch.empty())
        m_scratch.push_back(line);
    int32_t n = static_cast<int32_t>(m_scratch.size());
    ReplacePieces(m_scratch.data(), head, oldPieces, n, caret);
    return n;
}

void CFxEditDoc::Renumber(int32_t fromHead) {
    if (m_wrapMode == 0) {
        m_logicalLines = m_lineCount;
        return;
    }
    int32_t n = fromHead == 0 ? 0 : m_lines[HeadPieceOf(fromHead - 1)].logLine + 1;
    for (int32_t i = fromHead; i < m_lineCount; ++i)
        if (!m_lines[i].IsContinued())
            m_lines[i].logLine = n++;
    m_logicalLines = n;
}

void CFxEditDoc::ReportEdit(IFxDocView* view, const FxTextPos& caret, int32_t rec,
                            bool countChanged) {
    if (view)
        view->OnTextEdited(caret, rec, countChanged);
}

// --- Inserting -----------------------------------------------------------------------------

bool CFxEditDoc::InsertText(FxTextPos& pos, const char* text, FxSize len, IFxDocView* view) {
    if (m_readOnly) {
        OnDocEvent(FxEvReadOnly, 0);
        return false;
    }
    if (m_lineCount == 0)
        InitDocument(0);
    FxTextPos at = pos;
    if (!IsValidPos(at)) {
        at.line = ClampLine(at.line);
        at.col = ClampColumn(at.line, at.col);
    }
    if (len <= 0) {
        pos = LogicalToPiecePos(at);
        return true;
    }
    // Every line the insertion makes must fit a line; the joined first and last ones are
    // checked with the old line's bytes.
    int32_t breaks = 0;
    FxSize firstSeg = -1, segStart = 0;
    for (FxSize i = 0; i + 1 < len; ++i)
        if (text[i] == '\r' && text[i + 1] == '\n') {
            if (firstSeg < 0)
                firstSeg = i;
            else if (i - segStart > kFxMaxLineBytes)
                throw FxLineTooLong();
            if (breaks == INT32_MAX - 1 || m_lineCount > INT32_MAX - 2 - breaks)
                throw std::bad_alloc(); // record numbers are 32-bit
            ++breaks;
            ++i;
            segStart = i + 1;
        }
    {
        const FxSize oldLen = GetLineLength(ClampLine(at.line));
        const FxSize lastSeg = len - segStart;
        const bool tooLong = breaks == 0 ? oldLen + len > kFxMaxLineBytes
                                         : at.col + firstSeg > kFxMaxLineBytes ||
                                               lastSeg + (oldLen - at.col) > kFxMaxLineBytes;
        if (tooLong)
            throw FxLineTooLong();
    }
    FxTextPos headPos = at;
    LogicalToPiece(headPos);
    const int32_t head = headPos.line;
    const int32_t c = at.col;
    const int32_t oldPieces = GetPieceCount(head);
    int32_t newPieces = 0;
    FxTextPos result;

    if (breaks == 0) {
        const int32_t oldLen = m_lines[head].lineLen;
        const int32_t n = static_cast<int32_t>(len); // checked above
        ResizeLineBuffer(head, oldLen + n);
        char* d = m_lines[head].data;
        std::memmove(d + c + n, d + c, static_cast<size_t>(oldLen - c));
        std::memcpy(d + c, text, static_cast<size_t>(n));
        newPieces = Resplit(head, oldPieces, nullptr);
        result = FxTextPos(c + n, at.line);
    } else {
        const int32_t lines = breaks + 1;
        InsertRecords(head, lines);
        InitPieces(m_lines + head, lines);
        const int32_t oldHead = head + lines;
        // Fill the new lines from the old line's head, the text's lines and the old line's tail.
        FxSize seg = 0;
        int32_t lastSegLen = 0;
        int32_t rec = head;
        // Filling only allocates (nothing is released), so the old head's buffer stays put.
        const FxLine& old = m_lines[oldHead];
        const int32_t oldLen = old.lineLen;
        for (FxSize i = 0; i <= len; ++i) {
            bool atBreak = i + 1 < len && text[i] == '\r' && text[i + 1] == '\n';
            if (!atBreak && i != len)
                continue;
            const int32_t segLen = static_cast<int32_t>(i - seg); // checked above
            const char* const segText = text + seg;
            lastSegLen = segLen;
            if (rec == head) {
                ResizeLineBuffer(rec, c + segLen);
                if (c)
                    std::memcpy(m_lines[rec].data, old.data, static_cast<size_t>(c));
                if (segLen)
                    std::memcpy(m_lines[rec].data + c, segText, static_cast<size_t>(segLen));
            } else if (rec == head + lines - 1) {
                ResizeLineBuffer(rec, segLen + (oldLen - c));
                if (segLen)
                    std::memcpy(m_lines[rec].data, segText, static_cast<size_t>(segLen));
                if (oldLen - c)
                    std::memcpy(m_lines[rec].data + segLen, old.data + c,
                                static_cast<size_t>(oldLen - c));
            } else {
                ResizeLineBuffer(rec, segLen);
                if (segLen)
                    std::memcpy(m_lines[rec].data, segText, static_cast<size_t>(segLen));
            }
            ++rec;
            seg = i + 2;
            ++i;
        }
        // The first new line inherits the old head's flags (bookmark, syntax state).
        m_lines[head].flags = (m_lines[oldHead].flags & ~FXL_CONTINUED) | FXL_LINEEND;
        m_lines[head].logLine = m_lines[oldHead].logLine;
        if (m_lines[head].flags & FXL_BOOKMARK)
            ++m_bookmarks;
        const bool lastHadBreak = (m_lines[oldHead + oldPieces - 1].flags & FXL_LINEEND) != 0;
        ResizeLineBuffer(oldHead, 0);
        RemoveRecords(oldHead, oldPieces);
        if (!lastHadBreak)
            m_lines[head + lines - 1].flags &= ~FXL_LINEEND;
        Renumber(head);
        if (m_wrapMode && m_views[0]) {
            int32_t r = head;
            for (int32_t k = 0; k < lines; ++k)
                r += Resplit(r, 1, nullptr);
            newPieces = r - head;
        } else {
            newPieces = lines;
        }
        result = FxTextPos(lastSegLen, at.line + breaks);
    }
    m_size += len - static_cast<int64_t>(2 - m_termLen) * breaks;
    SetModifiedFlag(true);
    pos = LogicalToPiecePos(result);
    // New logical lines renumber everything below.
    ReportEdit(view, pos, head, breaks > 0 || newPieces != oldPieces);
    return true;
}

// --- Deleting ------------------------------------------------------------------------------

bool CFxEditDoc::DeleteText(FxTextPos& start, FxTextPos end, IFxDocView* view) {
    if (m_readOnly) {
        OnDocEvent(FxEvReadOnly, 0);
        return false;
    }
    if (m_lineCount == 0)
        return true;
    start.line = ClampPiece(start.line);
    start.col = ClampPieceColumn(start.line, start.col);
    end.line = ClampPiece(end.line);
    end.col = ClampPieceColumn(end.line, end.col);
    if (end < start)
        std::swap(start, end);
    const FxTextPos a = ToHeadPiece(start);
    const FxTextPos b = ToHeadPiece(end);
    const int32_t head = a.line;
    const int32_t logicalLine = PieceToLogicalLine(head);
    const int32_t oldPieces = GetPieceCount(head);
    int32_t newPieces = oldPieces;
    int64_t removed = 0;

    if (a.line == b.line) {
        const int32_t n = b.col - a.col;
        if (n > 0) {
            const int32_t oldLen = m_lines[head].lineLen;
            char* d = m_lines[head].data;
            std::memmove(d + a.col, d + b.col, static_cast<size_t>(oldLen - b.col));
            ResizeLineBuffer(head, oldLen - n);
            newPieces = Resplit(head, oldPieces, nullptr);
            removed = n;
        }
    } else {
        const int32_t startLen = m_lines[head].lineLen;
        const int32_t endLen = m_lines[b.line].lineLen;
        const int32_t tail = endLen - b.col;
        const int32_t newLen = a.col + tail;
        // Copy the end line's tail behind the start column; the buffers are re-read after each
        // resize because a release may compact a block and move them.
        if (newLen > startLen)
            ResizeLineBuffer(head, newLen);
        if (tail > 0)
            std::memmove(m_lines[head].data + a.col, m_lines[b.line].data + b.col,
                         static_cast<size_t>(tail));
        if (newLen < startLen)
            ResizeLineBuffer(head, newLen);
        removed = (startLen - a.col) + b.col;
        const int32_t lastRec = LastPieceOf(b.line);
        for (int32_t h = NextLogicalLine(head); h >= 0 && h <= b.line; h = NextLogicalLine(h)) {
            removed += m_termLen;
            if (h < b.line)
                removed += m_lines[h].lineLen;
            ResizeLineBuffer(h, 0);
        }
        newPieces = Resplit(head, lastRec - head + 1, nullptr);
        Renumber(head);
        newPieces = -1; // the record count below the line changed
    }
    if (removed > 0) {
        m_size -= removed;
        SetModifiedFlag(true);
    }
    start = LogicalToPiecePos(FxTextPos(a.col, logicalLine));
    ReportEdit(view, start, head, newPieces != oldPieces);
    return true;
}

// --- Line-end type -------------------------------------------------------------------------

int CFxEditDoc::SetLineEndType(int type) {
    if (type < 0 || type > 2)
        type = FxLineEndDos;
    if (type == m_lineEndType)
        return type;
    const int term = FxTerminatorLength(type);
    int64_t size = 0;
    for (int32_t i = 0; i < m_lineCount; ++i)
        size += m_lines[i].len + (m_lines[i].HasLineEnd() ? term : 0);
    m_size = size;
    m_lineEndType = type;
    m_termLen = term;
    for (IFxDocView* v : m_views)
        if (v)
            v->OnLineEndTypeChanged();
    return type;
}
