// Display columns, chunked measuring and the word-wrap splitters. Layer: textview/ (view side).
#include "textview/WordWrap.h"

#include "textdoc/Dbcs.h"

#include <algorithm>
#include <cstring>
#include <string>

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
            p.block = FxBlockRef{};
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

void CharWidthTable::Build(HDC dc) {
    m_usable = false;
    m_pairs.clear();
    TEXTMETRICA tm;
    if (!dc || !GetTextMetricsA(dc, &tm) || tm.tmOverhang != 0 ||
        GetKerningPairsA(dc, 0, nullptr) != 0)
        return;
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        SIZE sz = {0, 0};
        if (!GetTextExtentPoint32A(dc, &c, 1, &sz))
            return;
        m_single[b] = sz.cx;
    }
    m_pairs.assign(0x10000, -1);
    // A sample of printable bytes, tabs and double-byte characters must measure as its sum.
    std::string sample;
    for (int b = 0x20; b < 0x7F; ++b)
        sample += static_cast<char>(b);
    sample += "\t\xD6\xD0\xCE\xC4x\xB2\xE2\xCA\xD4 \xA1\xA1\xA3\xAC\xA1\xA3Wi";
    m_usable = true;
    int sum = 0;
    SIZE sz = {0, 0};
    const int32_t n = static_cast<int32_t>(sample.size());
    if (!Width(dc, sample.data(), 0, n, 0, 8, 0, 0, sum) ||
        !GetTextExtentPoint32A(dc, sample.data(), n, &sz) || sz.cx != sum) {
        m_usable = false;
        m_pairs.clear();
    }
}

int CharWidthTable::Pair(HDC dc, unsigned char lead, unsigned char trail) const {
    if (trail < 0x40 || trail == 0x7F || trail == 0xFF)
        return -1; // not a character of the code page: measured with its neighbours
    int16_t& w = m_pairs[static_cast<size_t>(lead) << 8 | trail];
    if (w < 0) {
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        SIZE sz = {0, 0};
        if (!GetTextExtentPoint32A(dc, pair, 2, &sz) || sz.cx < 0 || sz.cx > 0x7FFF)
            return -1;
        w = static_cast<int16_t>(sz.cx);
    }
    return w;
}

bool CharWidthTable::CharWidth(HDC dc, const char* ch, int n, int& width) const {
    if (!m_usable)
        return false;
    const unsigned char c = static_cast<unsigned char>(ch[0]);
    if (n == 1) {
        width = m_single[c];
        return true;
    }
    const int p = Pair(dc, c, static_cast<unsigned char>(ch[1]));
    if (p < 0)
        return false;
    width = p;
    return true;
}

bool CharWidthTable::Width(HDC dc, const char* text, int32_t from, int32_t to, int32_t dispCol,
                           int tabSize, int spaceWidth, int tabGlyphWidth, int& width) const {
    if (!m_usable)
        return false;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    int w = 0;
    int32_t col = dispCol;
    for (int32_t i = from; i < to;) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            w += m_single[c];
            if (c == '\t') {
                const int cols = TabColumns(col, tabSize);
                w += cols * spaceWidth - tabGlyphWidth;
                col += cols;
            } else {
                ++col;
            }
            ++i;
        } else if (i + 1 < to && FxIsLeadByte(c)) {
            const int p = Pair(dc, c, s[i + 1]);
            if (p < 0)
                return false;
            w += p;
            col += 2;
            i += 2;
        } else {
            w += m_single[c];
            ++col;
            ++i;
        }
    }
    width = w;
    return true;
}

int TextMeasure::Width(const char* text, int32_t from, int32_t to, int32_t dispCol) const {
    if (to <= from)
        return 0;
    int fast = 0;
    if (widths &&
        widths->Width(dc, text, from, to, dispCol, tabSize, spaceWidth, tabGlyphWidth, fast))
        return fast;
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
    bool fits = text && static_cast<int64_t>(len) * m.dbcsWidth < usable &&
                !std::memchr(text, '\t', static_cast<size_t>(len));
    // With the font's width table the whole line is measured at once.
    int whole = 0;
    if (text && !fits && m.widths &&
        m.widths->Width(m.dc, text, 0, len, 0, m.tabSize, m.spaceWidth, m.tabGlyphWidth, whole))
        fits = whole < usable;
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
    // Without tabs a line's display columns are its bytes: one no longer than the width fits
    // without a scan (most lines of a document).
    const bool fits = len <= width && (!text || !std::memchr(text, '\t', static_cast<size_t>(len)));
    if (text && !fits && static_cast<int64_t>(len) * tabSize > width) {
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
