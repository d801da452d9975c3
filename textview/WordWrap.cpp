// Display columns, chunked measuring and the word-wrap splitters. Layer: textview/ (view side).
#include "textview/WordWrap.h"

#include "textdoc/Dbcs.h"

#include <algorithm>
#include <cstring>

namespace {

inline int CharLenAt(const char* text, int32_t i, int32_t len) {
    return FxCharLen(text, static_cast<size_t>(i), static_cast<size_t>(len));
}

inline int TabColumns(int32_t dispCol, int tabSize) {
    return tabSize - static_cast<int>(dispCol % tabSize);
}

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Builds the pieces of one logical line as the splitters find the breaks.
class PieceEmitter {
public:
    PieceEmitter(const FxLine& head, std::vector<FxLine>& out)
        : m_head(head), m_out(out), m_first(out.size()) {}

    void Emit(int32_t start, int32_t end, int32_t dispCol) {
        FxLine p = m_head;
        p.data = m_head.data ? m_head.data + start : nullptr;
        p.len = end - start;
        p.selStart = p.selEnd = -1;
        p.dispCol = dispCol;
        if (m_out.size() == m_first) {
            p.flags = m_head.flags & ~(FXL_CONTINUED | FXL_LINEEND);
        } else {
            // A continuation: its index within the line is its head distance.
            p.flags = FXL_CONTINUED;
            p.logLine = -1;
            p.lineLen = static_cast<int32_t>(m_out.size() - m_first);
            p.block = nullptr;
        }
        m_out.push_back(p);
    }
    void Finish() { m_out.back().flags |= m_head.flags & FXL_LINEEND; }

private:
    const FxLine& m_head;
    std::vector<FxLine>& m_out;
    size_t m_first;
};

// Moves a break back to just after the last space or tab of the piece, if there is one.
int32_t WordBreak(const char* text, int32_t pieceStart, int32_t brk) {
    for (int32_t j = brk - 1; j > pieceStart; --j)
        if (IsBlank(text[j]))
            return j + 1;
    return brk;
}

} // namespace

int32_t DisplayColumn(const char* text, const char* end, int tabSize, int32_t startDispCol) {
    int32_t col = startDispCol;
    const int32_t len = static_cast<int32_t>(end - text);
    for (int32_t i = 0; i < len;) {
        if (text[i] == '\t') {
            col += TabColumns(col, tabSize);
            ++i;
            continue;
        }
        int n = CharLenAt(text, i, len);
        col += n;
        i += n;
    }
    return col;
}

int TextMeasure::Width(const char* text, int32_t from, int32_t to, int32_t dispCol) const {
    if (to <= from)
        return 0;
    SIZE sz = {0, 0};
    GetTextExtentPoint32A(dc, text + from, to - from, &sz);
    int width = sz.cx;
    int32_t col = dispCol;
    for (int32_t i = from; i < to;) {
        if (text[i] == '\t') {
            int cols = TabColumns(col, tabSize);
            width += cols * spaceWidth - tabGlyphWidth;
            col += cols;
            ++i;
            continue;
        }
        int n = CharLenAt(text, i, to);
        col += n;
        i += n;
    }
    return width;
}

TextChunk TakeChunk(const TextMeasure& m, const char* text, int32_t len, int32_t from,
                    int32_t dispCol, int count) {
    TextChunk c = {from, dispCol, 0, 0};
    int taken = 0; // counts a tab as its columns toward `count`
    while (c.end < len && (c.chars == 0 || taken < count)) {
        if (text[c.end] == '\t') {
            int cols = TabColumns(c.dispCol, m.tabSize);
            taken += cols;
            c.dispCol += cols;
            ++c.end;
        } else {
            int n = CharLenAt(text, c.end, len);
            c.dispCol += n;
            c.end += n;
            ++taken;
        }
        ++c.chars;
    }
    c.width = m.Width(text, from, c.end, dispCol);
    return c;
}

int32_t NearestBoundary(const TextMeasure& m, const char* text, int32_t len, int32_t startDispCol,
                        int& x) {
    if (x <= 0 || len <= 0 || !text) {
        x = 0;
        return 0;
    }
    const int target = x;
    int count = std::max(1, std::min(163, target / m.dbcsWidth));
    int32_t pos = 0, col = startDispCol;
    int at = 0; // x of pos
    for (;;) {
        TextChunk c = TakeChunk(m, text, len, pos, col, count);
        const int endX = at + c.width;
        if (endX < target && c.end < len) {
            pos = c.end;
            col = c.dispCol;
            at = endX;
            continue;
        }
        if (endX == target || endX < target) { // exact, or the piece ended
            x = endX;
            return std::min(c.end, len);
        }
        if (c.chars > 1) {
            count = std::max(1, count / 10);
            continue;
        }
        // One character overshot: nearer to its start or its end.
        if (endX - target > c.width / 2) {
            x = at;
            return pos;
        }
        x = endX;
        return std::min(c.end, len);
    }
}

void SplitByWidth(WrapContext& ctx, const FxLine& head, std::vector<FxLine>& out) {
    const TextMeasure& m = ctx.measure;
    const char* text = head.data;
    const int32_t len = head.lineLen;
    PieceEmitter emit(head, out);
    const int usable = ctx.wrapWidth - 1;
    int32_t pieceStart = 0, pieceCol = 0;
    // No character is wider than the double-byte width per byte, so a line without tabs
    // shorter than that bound fits without being measured (most lines of a document).
    const bool fits = text && static_cast<int64_t>(len) * m.dbcsWidth < usable &&
                      !std::memchr(text, '\t', static_cast<size_t>(len));
    while (text && len > 0 && !fits) {
        int32_t pos = pieceStart, col = pieceCol;
        int x = 0;
        int count = std::max(1, std::min(163, (usable - x) / m.dbcsWidth));
        int32_t brk = -1;
        while (pos < len) {
            TextChunk c = TakeChunk(m, text, len, pos, col, count);
            if (x + c.width < usable) {
                pos = c.end;
                col = c.dispCol;
                x += c.width;
                count = std::max(1, std::min(163, (usable - x) / m.dbcsWidth));
                continue;
            }
            if (x + c.width == usable) {
                if (c.end < len)
                    brk = c.end;
                break;
            }
            if (c.chars > 1) {
                count = std::max(1, count / 10);
                continue;
            }
            brk = pos == pieceStart ? c.end : pos;
            if (brk >= len)
                brk = -1;
            break;
        }
        if (brk < 0)
            break; // the rest fits
        unsigned char at = static_cast<unsigned char>(text[brk]);
        if (!IsBlank(text[brk]) && !FxIsLeadByte(at))
            brk = WordBreak(text, pieceStart, brk);
        emit.Emit(pieceStart, brk, pieceCol);
        pieceCol = DisplayColumn(text + pieceStart, text + brk, m.tabSize, pieceCol);
        pieceStart = brk;
    }
    emit.Emit(pieceStart, len, pieceCol);
    emit.Finish();
    ctx.produced += 1;
}

void SplitByColumns(WrapContext& ctx, const FxLine& head, std::vector<FxLine>& out) {
    const int tabSize = ctx.measure.tabSize;
    const char* text = head.data;
    const int32_t len = head.lineLen;
    const int width = std::max(1, ctx.wrapWidth);
    PieceEmitter emit(head, out);
    int32_t pieceStart = 0, pieceCol = 0;
    if (text && static_cast<int64_t>(len) * tabSize > width) {
        for (;;) {
            int32_t pos = pieceStart, col = pieceCol, brk = -1;
            while (pos < len) {
                int n = text[pos] == '\t' ? 1 : CharLenAt(text, pos, len);
                int w = text[pos] == '\t' ? TabColumns(col, tabSize) : n;
                if (col - pieceCol + w > width) {
                    brk = pos == pieceStart ? pos + n : pos;
                    break;
                }
                col += w;
                pos += n;
                if (col - pieceCol == width) {
                    brk = pos;
                    break;
                }
            }
            if (brk < 0 || brk >= len)
                break;
            if (!IsBlank(text[brk]))
                brk = WordBreak(text, pieceStart, brk);
            emit.Emit(pieceStart, brk, pieceCol);
            pieceCol = DisplayColumn(text + pieceStart, text + brk, tabSize, pieceCol);
            pieceStart = brk;
        }
    }
    emit.Emit(pieceStart, len, pieceCol);
    emit.Finish();
    ctx.produced += 1;
}
