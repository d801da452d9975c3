// CFxEditDoc: splitting the whole document into pieces through the first view and merging
// them back, and the guard that runs long replays without wrapping. Layer: textdoc/.
#include "textdoc/FxEditDoc.h"

#include <cstdlib>
#include <cstring>
#include <new>

void CFxEditDoc::SetWrap(int mode, int column) {
    m_wrapMode = mode;
    m_wrapColumn = column;
}

namespace {

// A record array being built front to back, grown geometrically (whole-document passes only).
struct RecordBuilder {
    FxLine* recs = nullptr;
    int32_t count = 0, cap = 0;
    ~RecordBuilder() { std::free(recs); }
    void Reserve(int64_t want) {
        if (want > kFxMaxRecords)
            return; // left to Append's growth
        FxLine* grown =
            static_cast<FxLine*>(std::realloc(recs, static_cast<size_t>(want) * sizeof(FxLine)));
        if (grown) {
            recs = grown;
            cap = static_cast<int32_t>(want);
        }
    }
    void Append(const FxLine* src, int32_t n) {
        if (count + n > cap) {
            int64_t want = static_cast<int64_t>(cap) + cap / 2 + n + 2048;
            if (want > kFxMaxRecords)
                want = kFxMaxRecords;
            if (want < static_cast<int64_t>(count) + n)
                throw std::bad_alloc();
            FxLine* grown = static_cast<FxLine*>(
                std::realloc(recs, static_cast<size_t>(want) * sizeof(FxLine)));
            if (!grown)
                throw std::bad_alloc();
            recs = grown;
            cap = static_cast<int32_t>(want);
        }
        std::memcpy(recs + count, src, static_cast<size_t>(n) * sizeof(FxLine));
        count += n;
    }
};

} // namespace

void CFxEditDoc::WrapAllLines() {
    if (m_lineCount == 0)
        return;
    if (m_wrapMode == 0 || !m_views[0]) {
        UnwrapAllLines();
        return;
    }
    RecordBuilder out;
    int32_t logical = 0;
    const bool progress = !m_progressSuppressed && m_size > 65535;
    // The next head index at which the percentage changes: no division per line.
    int32_t nextReport = 0;
    int percent = -1;
    IFxDocView* const view = m_views[0];
    // Most lines stay one piece: room for all heads and a few more saves regrowing the array.
    out.Reserve(static_cast<int64_t>(m_lineCount) + m_lineCount / 8 + 2048);
    for (int32_t h = 0; h < m_lineCount;) {
        int32_t next = h + 1; // the next head record
        while (next < m_lineCount && m_lines[next].IsContinued())
            ++next;
        FxLine line = m_lines[h];
        line.flags =
            (line.flags & ~(FXL_CONTINUED | FXL_LINEEND)) | (m_lines[next - 1].flags & FXL_LINEEND);
        line.len = line.lineLen;
        line.dispCol = 0;
        line.logLine = logical++;
        m_scratch.clear();
        view->SplitLogicalLine(line, m_scratch);
        const size_t n = m_scratch.size();
        bool ok = n > 0;
        if (n == 1) {
            ok = m_scratch[0].len == line.lineLen;
        } else if (ok) {
            int64_t sum = 0;
            for (const FxLine& p : m_scratch)
                sum += p.len;
            ok = sum == line.lineLen;
        }
        if (ok)
            out.Append(m_scratch.data(), static_cast<int32_t>(n));
        else
            out.Append(&line, 1);
        if (progress && h >= nextReport) {
            const int now = static_cast<int>(static_cast<int64_t>(h) * 100 / m_lineCount);
            if (now != percent) {
                percent = now;
                OnDocEvent(FxEvWrapProgress, percent);
            }
            // The first head index of the next percentage.
            nextReport = static_cast<int32_t>(
                ((static_cast<int64_t>(percent) + 1) * m_lineCount + 99) / 100);
        }
        h = next;
    }
    std::free(m_lines);
    m_lines = out.recs;
    m_lineCount = out.count;
    m_lineSpare = out.cap - out.count;
    out.recs = nullptr;
    m_lines[m_lineCount - 1].flags &= ~FXL_LINEEND;
    m_logicalLines = logical;
    if (progress)
        OnDocEvent(FxEvWrapProgress, 100);
}

void CFxEditDoc::UnwrapAllLines() {
    if (m_lineCount == 0)
        return;
    // Merging only ever shrinks the array, so it is done in place.
    int32_t w = 0;
    for (int32_t r = 0; r < m_lineCount;) {
        int32_t pieces = 1;
        while (r + pieces < m_lineCount && m_lines[r + pieces].IsContinued())
            ++pieces;
        FxLine line = m_lines[r];
        line.flags = (line.flags & ~(FXL_CONTINUED | FXL_LINEEND)) |
                     (m_lines[r + pieces - 1].flags & FXL_LINEEND);
        line.len = line.lineLen;
        line.dispCol = 0;
        line.logLine = w;
        for (int32_t k = 1; k < pieces; ++k)
            if (m_lines[r + k].flags & FXL_BOOKMARK)
                --m_bookmarks;
        m_lines[w++] = line;
        r += pieces;
    }
    m_lineSpare += m_lineCount - w;
    m_lineCount = w;
    m_logicalLines = w;
}

CFxEditDoc::BulkGuard::BulkGuard(CFxEditDoc& doc, bool active) : m_doc(doc), m_active(active) {
    if (!m_active)
        return;
    m_wrapMode = doc.m_wrapMode;
    m_wrapColumn = doc.m_wrapColumn;
    doc.m_compactionSuspended = true;
    doc.m_progressSuppressed = true;
    if (m_wrapMode) {
        doc.UnwrapAllLines();
        doc.SetWrap(0, 0);
    }
}

CFxEditDoc::BulkGuard::~BulkGuard() {
    if (!m_active)
        return;
    m_doc.m_compactionSuspended = false;
    m_doc.m_progressSuppressed = false;
    if (m_wrapMode) {
        m_doc.SetWrap(m_wrapMode, m_wrapColumn);
        try {
            m_doc.WrapAllLines();
        } catch (...) {
            // Out of memory while re-wrapping: the document stays whole, just unwrapped.
            m_doc.SetWrap(0, 0);
            m_doc.UnwrapAllLines();
        }
    }
}
