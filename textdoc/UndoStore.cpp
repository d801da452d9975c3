// CFxEditDoc: the undo store — records, groups, typing merge, the record cap, replay.
// Layer: textdoc/.
#include "textdoc/FxEditDoc.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The first record of a group, or a record made outside any group, starts an undo step.
bool StartsStep(const FxUndoRec& r) {
    return (r.flags & FXU_GROUPSTART) || !(r.flags & FXU_INGROUP);
}

} // namespace

int CFxEditDoc::UndoGroup(bool begin, int action) {
    if (begin) {
        if (m_groupDepth == 0) {
            m_action = static_cast<uint16_t>(action);
            m_groupStartPending = true;
        }
        ++m_groupDepth;
    } else if (m_groupDepth > 0) {
        if (m_groupDepth == 1) {
            m_groupStartPending = false;
            m_action = 0;
            m_openGroupFirst = -1;
        }
        --m_groupDepth;
    }
    return m_groupDepth;
}

void CFxEditDoc::ReleaseUndoText(FxUndoRec& rec) {
    FxTextBlock* block = rec.block;
    const FxSize len = rec.textLen;
    rec.text = nullptr;
    rec.block = nullptr;
    rec.textLen = 0;
    if (block)
        m_undoText.Release(block, len, m_compactionSuspended, *this);
}

char* CFxEditDoc::AllocUndoText(FxUndoRec& rec, FxSize len) {
    rec.textLen = len;
    rec.text = nullptr;
    rec.block = nullptr;
    if (len > 0)
        rec.text = m_undoText.Allocate(len, &rec.block);
    return rec.text;
}

void CFxEditDoc::FreeUndo() {
    std::free(m_undo);
    m_undo = nullptr;
    m_undoText.FreeAll();
    m_undoCount = m_undoSpare = 0;
    m_undoPos = m_savedPos = 0;
    m_action = 0;
    m_groupDepth = 0;
    m_groupStartPending = false;
    m_openGroupFirst = -1;
}

void CFxEditDoc::DiscardRedo() {
    if (m_undoPos >= m_undoCount)
        return;
    for (int32_t i = m_undoPos; i < m_undoCount; ++i)
        ReleaseUndoText(m_undo[i]);
    if (m_savedPos > m_undoPos)
        m_savedPos = -1; // the saved state was in the discarded chain
    if (m_openGroupFirst >= m_undoPos)
        m_openGroupFirst = -1;
    m_undoSpare += m_undoCount - m_undoPos;
    m_undoCount = m_undoPos;
}

bool CFxEditDoc::DropOldestUndo() {
    // Drop about the older half, but only whole steps, and never the group being recorded.
    // While one group fills the store from its first record nothing can go (checked first, as
    // it holds for every further record of that group).
    const int32_t limit = m_openGroupFirst >= 0 ? m_openGroupFirst : m_undoCount;
    if (limit <= 0)
        return false;
    int32_t h = std::min(m_undoCount / 2, limit);
    while (h < limit && !StartsStep(m_undo[h]))
        ++h;
    for (int32_t i = 0; i < h; ++i)
        ReleaseUndoText(m_undo[i]);
    std::memmove(m_undo, m_undo + h, static_cast<size_t>(m_undoCount - h) * sizeof(FxUndoRec));
    m_undoCount -= h;
    m_undoSpare += h;
    m_undoPos -= h;
    m_savedPos = m_savedPos >= h ? m_savedPos - h : -1;
    if (m_openGroupFirst >= 0)
        m_openGroupFirst -= h;
    if (m_undoCount > 0)
        m_undo[0].flags |= FXU_GROUPSTART;
    // Give back what an oversized group made the array grow to.
    if (m_undoCount + m_undoSpare > kUndoMax) {
        int32_t cap = std::max(kUndoMax, m_undoCount + 1);
        FxUndoRec* shrunk = static_cast<FxUndoRec*>(
            std::realloc(m_undo, static_cast<size_t>(cap) * sizeof(FxUndoRec)));
        if (shrunk) {
            m_undo = shrunk;
            m_undoSpare = cap - m_undoCount;
        }
    }
    return true;
}

FxUndoRec& CFxEditDoc::MakeUndoRec(uint16_t kind) {
    DiscardRedo();
    if (m_undoCount >= kUndoMax)
        DropOldestUndo();
    if (m_undoSpare == 0) {
        // Below the cap the array grows in steps; a group larger than the cap grows it
        // geometrically, because its records must all stay.
        int64_t grow = m_undoCount < kUndoMax
                           ? std::min<int64_t>(kUndoGrowth, kUndoMax - m_undoCount)
                           : std::max<int64_t>(kUndoGrowth, m_undoCount / 2);
        int64_t cap = static_cast<int64_t>(m_undoCount) + grow;
        if (cap > 0x7FFFFFFF / static_cast<int64_t>(sizeof(FxUndoRec)))
            throw std::bad_alloc();
        FxUndoRec* grown = static_cast<FxUndoRec*>(
            std::realloc(m_undo, static_cast<size_t>(cap) * sizeof(FxUndoRec)));
        if (!grown)
            throw std::bad_alloc();
        m_undo = grown;
        m_undoSpare = static_cast<int32_t>(grow);
    }
    FxUndoRec& r = m_undo[m_undoCount];
    std::memset(&r, 0, sizeof r);
    r.flags = kind;
    if (m_groupDepth > 0)
        r.flags |= FXU_INGROUP;
    if (m_groupStartPending) {
        r.flags |= FXU_GROUPSTART;
        m_groupStartPending = false;
        if (m_groupDepth > 0)
            m_openGroupFirst = m_undoCount;
    }
    r.action = m_action;
    ++m_undoCount;
    --m_undoSpare;
    ++m_undoPos;
    return r;
}

void CFxEditDoc::RecordInsert(const FxTextPos& start, const FxTextPos& endPiece) {
    FxTextPos s(start.col, PieceToLogicalLine(start.line));
    FxTextPos e = PieceToLogical(endPiece);
    DiscardRedo();
    // Consecutive typing on one line extends the last record, unless that record is the one
    // the last save stands on: the saved state must stay reachable as it was.
    if (m_action == FxUndoTyping && s.line == e.line && m_undoPos > 0 && m_undoPos != m_savedPos) {
        FxUndoRec& last = m_undo[m_undoPos - 1];
        if (last.action == FxUndoTyping && (last.flags & FXU_INSERT) && last.startLine == s.line &&
            last.endLine == s.line && last.endCol == s.col) {
            last.endCol = e.col;
            return;
        }
    }
    FxUndoRec& r = MakeUndoRec(FXU_INSERT);
    r.startCol = s.col;
    r.startLine = s.line;
    r.endCol = e.col;
    r.endLine = e.line;
}

void CFxEditDoc::RecordDelete(const FxTextPos& startPiece, const FxTextPos& endPiece) {
    FxTextPos a = startPiece, b = endPiece;
    if (b < a)
        std::swap(a, b);
    FxUndoRec& r = MakeUndoRec(FXU_DELETE);
    const FxSize len = MeasureText(a, b, FxLineEndDos);
    char* text = AllocUndoText(r, len);
    if (text)
        CopyText(a, b, text, len, FxLineEndDos);
    FxTextPos s = PieceToLogical(a), e = PieceToLogical(b);
    r.startCol = s.col;
    r.startLine = s.line;
    r.endCol = e.col;
    r.endLine = e.line;
}

void CFxEditDoc::AfterReplay(bool redo) {
    m_undoPos += redo ? 1 : -1;
    if (m_undoPos == m_savedPos)
        SetModifiedFlag(false);
}

void CFxEditDoc::UndoRemove(FxUndoRec& rec, FxTextPos& out, bool redo) {
    FxTextPos a = LogicalToPiecePos(FxTextPos(rec.startCol, rec.startLine));
    FxTextPos b = LogicalToPiecePos(FxTextPos(rec.endCol, rec.endLine));
    const FxSize len = MeasureText(a, b, FxLineEndDos);
    char* text = AllocUndoText(rec, len);
    if (text)
        CopyText(a, b, text, len, FxLineEndDos);
    DeleteText(a, b, nullptr);
    out = a;
    AfterReplay(redo);
}

void CFxEditDoc::UndoReinsert(FxUndoRec& rec, FxTextPos& out, bool redo) {
    FxTextPos p(rec.startCol, rec.startLine);
    InsertText(p, rec.text, rec.textLen, nullptr);
    out = p;
    FxTextPos e = PieceToLogical(p);
    rec.endCol = e.col;
    rec.endLine = e.line;
    ReleaseUndoText(rec);
    AfterReplay(redo);
}

const FxUndoRec* CFxEditDoc::GetUndoRec() const {
    return m_undoPos > 0 ? &m_undo[m_undoPos - 1] : nullptr;
}

const FxUndoRec* CFxEditDoc::GetRedoRec() const {
    return m_undoPos < m_undoCount ? &m_undo[m_undoPos] : nullptr;
}

int CFxEditDoc::GetUndoAction() const {
    const FxUndoRec* r = GetUndoRec();
    return r ? r->action : 0;
}

int CFxEditDoc::GetRedoAction() const {
    const FxUndoRec* r = GetRedoRec();
    return r ? r->action : 0;
}

bool CFxEditDoc::CanUndo() const {
    return m_undoPos > 0;
}
bool CFxEditDoc::CanRedo() const {
    return m_undoPos < m_undoCount;
}

int32_t CFxEditDoc::FirstReplayedRecord(int32_t firstLine, const FxTextPos& caret) const {
    int32_t rec = HeadPieceOf(caret.line);
    if (firstLine >= 0 && firstLine < m_logicalLines) {
        FxTextPos p(0, firstLine);
        LogicalToPiece(p);
        rec = std::min(rec, p.line);
    }
    return rec;
}

bool CFxEditDoc::Undo(FxTextPos* caret, IFxDocView* view) {
    if (m_undoPos == 0)
        return false;
    if (m_readOnly) {
        OnDocEvent(FxEvReadOnly, 0);
        return false;
    }
    FxTextPos out;
    // A group may change lines far apart (a block, a conversion, replace-all): the views are
    // refreshed from the first line any record touched, which no later record can move.
    int32_t firstLine = INT32_MAX;
    {
        BulkGuard guard(*this, GetUndoAction() == FxUndoReplaceAll);
        for (;;) {
            FxUndoRec& r = m_undo[m_undoPos - 1];
            const uint16_t flags = r.flags;
            firstLine = std::min(firstLine, r.startLine);
            if (flags & FXU_INSERT)
                UndoRemove(r, out, false);
            else
                UndoReinsert(r, out, false);
            if ((flags & FXU_GROUPSTART) || !(flags & FXU_INGROUP) || m_undoPos == 0)
                break;
        }
        out = PieceToLogical(out);
    }
    out = LogicalToPiecePos(out);
    if (caret)
        *caret = out;
    if (view)
        view->OnTextEdited(out, FirstReplayedRecord(firstLine, out), true);
    return true;
}

bool CFxEditDoc::Redo(FxTextPos* caret, IFxDocView* view) {
    if (m_undoPos >= m_undoCount)
        return false;
    if (m_readOnly) {
        OnDocEvent(FxEvReadOnly, 0);
        return false;
    }
    FxTextPos out;
    int32_t firstLine = INT32_MAX; // as in Undo
    {
        BulkGuard guard(*this, GetRedoAction() == FxUndoReplaceAll);
        for (;;) {
            FxUndoRec& r = m_undo[m_undoPos];
            firstLine = std::min(firstLine, r.startLine);
            if (r.flags & FXU_INSERT)
                UndoReinsert(r, out, true);
            else
                UndoRemove(r, out, true);
            const FxUndoRec* next = GetRedoRec();
            if (!next || (next->flags & FXU_GROUPSTART) || !(next->flags & FXU_INGROUP))
                break;
        }
        out = PieceToLogical(out);
    }
    out = LogicalToPiecePos(out);
    if (caret)
        *caret = out;
    if (view)
        view->OnTextEdited(out, FirstReplayedRecord(firstLine, out), true);
    return true;
}

void CFxEditDoc::MarkSaved() {
    m_savedPos = m_undoPos;
    SetModifiedFlag(false);
}
