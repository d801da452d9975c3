// CFxEditView: painting through a one-line off-screen bitmap: the ruler, each line's
// background, selection and text (plain or in syntax colours), the whitespace, line-break and
// end-of-document marks, and the gutter. Layer: textview/ (view side).
#include "textview/FxEditView.h"

#include "framework/GdiObject.h"
#include "textdoc/Dbcs.h"
#include "textview/FileTypeInfo.h"
#include "textview/SyntaxState.h"
#include "textview/ViewFontMetrics.h"

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A line bitmap whose pixels may also be written directly: a 32-bit top-down DIB section.
struct DibLine {
    uint32_t* bits = nullptr; // null: draw through GDI only
    int width = 0, height = 0;
};

} // namespace

struct CFxEditView::PaintContext {
    int x = 0, y = 0;
    COLORREF textColour = CLR_INVALID;
    bool showRuler = false, showNumbers = false, showWhitespace = false, showBreaks = false;
    bool syntax = false;
    int32_t first = 0, last = -1;
    int hscrollPx = 0;
    int textLeft = 0, textRight = 0, lineWidth = 0, pitch = 16, halfSpacing = 0, textHeight = 16;
    int markSize = 10, spaceWidth = 8, tabSize = 8;
    int stroke = 1;             // the width of the marks' and the ruler's lines
    int tabArm = 2, tabBar = 3; // the tab mark's bar: its distance from the stop, its half height
    RECT rubber = {0, 0, 0, 0}; // window x range of the column block or rubber band
    int32_t rubberFirst = -1, rubberLast = -1;
    HPEN marksPen = nullptr, selMarksPen = nullptr;
    COLORREF colours[FxColorSlotCount] = {};
    TextMeasure measure;
    // The line bitmap's pixels, when marks and gutter cells are written straight into it.
    DibLine dib;
    // The ten digits drawn once per paint as the gutter draws a number, copied cell by cell
    // (for fonts whose glyphs cannot be set pixel by pixel).
    DibLine digits;
    int digitX[10] = {}, digitW[10] = {};
};

namespace {

void FillSolid(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    if (right <= left || bottom <= top)
        return;
    // A pattern fill with the DC brush: an opaque text call costs ten times as much.
    SetBkColor(dc, colour);
    SetDCBrushColor(dc, colour);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DC_BRUSH));
    PatBlt(dc, left, top, right - left, bottom - top, PATCOPY);
    SelectObject(dc, old);
}

void Segment(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

// How a line `stroke` pixels wide is made of one-pixel lines: each copy moves one pixel down
// (a horizontal line) or one pixel right (any other), so that one-pixel pens and pixels written
// straight into a line bitmap give the same marks.
POINT StrokeStep(int x0, int y0, int x1, int y1) {
    (void)x0;
    (void)x1;
    return y0 == y1 ? POINT{0, 1} : POINT{1, 0};
}

void Segment(HDC dc, int x0, int y0, int x1, int y1, int stroke) {
    const POINT d = StrokeStep(x0, y0, x1, y1);
    for (int k = 0; k < stroke; ++k)
        Segment(dc, x0 + k * d.x, y0 + k * d.y, x1 + k * d.x, y1 + k * d.y);
}

// The longest run handed to one text call: runs that long are cut at a character boundary.
const int32_t kMaxRun = 512;

// A 32-bit top-down DIB section: making a device-dependent bitmap costs more than painting
// a dozen lines under some displays; a DIB holds every colour exactly all the same.
HBITMAP CreateLineBitmap(HDC target, int w, int h, DibLine* dib = nullptr) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = std::max(1, w);
    bi.bmiHeader.biHeight = -std::max(1, h);
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(target, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bmp && dib) {
        dib->bits = static_cast<uint32_t*>(bits);
        dib->width = bi.bmiHeader.biWidth;
        dib->height = -bi.bmiHeader.biHeight;
    }
    return bmp ? bmp : CreateCompatibleBitmap(target, std::max(1, w), std::max(1, h));
}

uint32_t DibPixel(COLORREF c) {
    return static_cast<uint32_t>(GetRValue(c)) << 16 | static_cast<uint32_t>(GetGValue(c)) << 8 |
           GetBValue(c);
}

// The pixels a one-pixel solid pen sets for MoveToEx (x0, y0) and LineTo (x1, y1): from the
// start up to, not including, the end. Only horizontal, vertical and diagonal segments, the
// only ones the marks have; false (nothing set) for any other.
bool PutSegment(const DibLine& d, int x0, int y0, int x1, int y1, uint32_t px) {
    const int dx = x1 - x0, dy = y1 - y0;
    if (dx != 0 && dy != 0 && std::abs(dx) != std::abs(dy))
        return false;
    const int n = std::max(std::abs(dx), std::abs(dy));
    const int sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
    for (int k = 0; k < n; ++k) {
        const int x = x0 + k * sx, y = y0 + k * sy;
        if (x >= 0 && x < d.width && y >= 0 && y < d.height)
            d.bits[static_cast<size_t>(y) * d.width + x] = px;
    }
    return true;
}

bool PutSegment(const DibLine& d, int x0, int y0, int x1, int y1, uint32_t px, int stroke) {
    const POINT s = StrokeStep(x0, y0, x1, y1);
    bool ok = true;
    for (int k = 0; k < stroke; ++k)
        ok = PutSegment(d, x0 + k * s.x, y0 + k * s.y, x1 + k * s.x, y1 + k * s.y, px) && ok;
    return ok;
}

// Sets a glyph's pixels with its top-left text position at (x, y), inside clip only.
void PutGlyph(const DibLine& d, const GlyphInk::Glyph& g, int x, int y, const RECT& clip,
              uint32_t px) {
    const int left = std::max(0, static_cast<int>(clip.left));
    const int right = std::min(d.width, static_cast<int>(clip.right));
    const int top = std::max(0, static_cast<int>(clip.top));
    const int bottom = std::min(d.height, static_cast<int>(clip.bottom));
    for (const GlyphInk::Run& r : g.runs) {
        const int row = y + r.dy;
        if (row < top || row >= bottom)
            continue;
        const int x0 = std::max(left, x + r.dx), x1 = std::min(right, x + r.dx + r.len);
        uint32_t* line = d.bits + static_cast<size_t>(row) * d.width;
        for (int k = x0; k < x1; ++k)
            line[k] = px;
    }
}

void FillDib(const DibLine& d, int left, int top, int right, int bottom, uint32_t px) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, d.width);
    bottom = std::min(bottom, d.height);
    if (left >= right) // a gutter wider than the window: nothing of it on the line
        return;
    for (int y = top; y < bottom; ++y)
        std::fill(d.bits + static_cast<size_t>(y) * d.width + left,
                  d.bits + static_cast<size_t>(y) * d.width + right, px);
}

} // namespace

bool CFxEditView::s_composeLines = true;

COLORREF CFxEditView::Colour(int slot) const {
    return m_type->colors[slot];
}

COLORREF CFxEditView::TextBackColour() const {
    return m_type->syncTextBkWithSys ? GetSysColor(COLOR_WINDOW) : Colour(TextBack);
}

COLORREF CFxEditView::ActiveLineColour() const {
    return m_type->syncActLineWithTextBk ? TextBackColour() : Colour(ActiveLineBack);
}

void CFxEditView::OnPaint() {
    RECT update;
    if (!GetUpdateRect(m_hWnd, &update, FALSE))
        return;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    if (m_doc && m_doc->RecordCount() > 0) // a document being loaded holds no record yet
        PaintAll(dc, ps.rcPaint);
    EndPaint(m_hWnd, &ps);
}

void CFxEditView::OnDraw(HDC dc) {
    RECT clip;
    GetClipBox(dc, &clip);
    if (m_doc && m_doc->RecordCount() > 0)
        PaintAll(dc, clip);
}

HBITMAP CFxEditView::RenderToBitmap() {
    HDC wdc = GetDC(m_hWnd);
    HDC mem = CreateCompatibleDC(wdc);
    HBITMAP bmp = CreateCompatibleBitmap(wdc, m_layout.client.right, m_layout.client.bottom);
    HGDIOBJ old = SelectObject(mem, bmp);
    PaintAll(mem, m_layout.client);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(m_hWnd, wdc);
    return bmp;
}

void CFxEditView::PaintAll(HDC target, const RECT& clip) {
    const SyntaxInfo& info = m_type->syntax;
    const int32_t count = m_doc->RecordCount();
    const int pitch = m_fm.linePitch;
    PaintContext pc;
    pc.syntax = info.HasSyntax();
    if (pc.syntax) {
        const int32_t target1 = std::min(m_top + m_layout.visibleLines + 1, count - 1);
        if (ComputeLineStates(info, &m_doc->RecordRef(0), target1, count - 1,
                              m_doc->m_prevSyntaxMark, m_doc->m_syntaxMark))
            InvalidateRect(m_hWnd, nullptr, FALSE); // lines below an edit change colour
        m_doc->m_prevSyntaxMark = count;
    }
    pc.showRuler = m_doc->m_showRuler;
    pc.showNumbers = m_doc->m_showLineNumbers;
    pc.showWhitespace = m_doc->m_showWhitespace;
    pc.showBreaks = m_doc->m_showLineBreaks;
    pc.hscrollPx = m_hscroll * m_fm.aveWidth;
    pc.textLeft = m_layout.text.left;
    pc.textRight = m_layout.text.right;
    pc.lineWidth = m_layout.client.right;
    pc.pitch = pitch;
    pc.halfSpacing = m_fm.lineSpacing / 2;
    pc.textHeight = m_fm.textHeight;
    pc.markSize = m_fm.markSize;
    // Lines one pixel wide at 96 DPI: a whole number of pixels, as many as the density holds.
    pc.stroke = std::max(1, m_fm.Px(96) / 96);
    pc.tabArm = m_fm.Px(2);
    pc.tabBar = m_fm.Px(3);
    pc.spaceWidth = m_fm.spaceWidth;
    pc.tabSize = TabSize();
    for (int i = 0; i < FxColorSlotCount; ++i)
        pc.colours[i] = Colour(i);
    pc.colours[TextBack] = TextBackColour();
    pc.colours[ActiveLineBack] = ActiveLineColour();

    HDC mem = CreateCompatibleDC(target);
    const int saved = SaveDC(mem);
    SetBkMode(mem, TRANSPARENT);
    CBitmapHandle bitmap(CreateLineBitmap(target, pc.lineWidth, pitch, &pc.dib));
    SelectObject(mem, bitmap.Get());
    SelectObject(mem, m_fm.Font());
    pc.measure = MakeMeasure(mem);
    if (!s_composeLines)
        pc.dib = DibLine();

    const int textTop = m_layout.text.top;
    pc.first =
        clip.top <= textTop ? m_top : m_top + static_cast<int32_t>((clip.top - textTop) / pitch);
    pc.last = std::min(m_top + static_cast<int32_t>((clip.bottom - textTop) / pitch), count - 1);
    // For a font whose glyphs cannot be set pixel by pixel, the digits of the gutter are drawn
    // once as each number would be and copied per line (a band of a line or two costs less
    // than drawing them).
    HDC digitsDC = nullptr;
    int digitsSaved = 0;
    CBitmapHandle digitsBitmap;
    if (pc.dib.bits && pc.showNumbers && m_fm.digitCells && pc.measure.widths &&
        pc.last - pc.first >= 3 && !m_fm.ink.Get("0", 1)) {
        char digits[10];
        int w = 0;
        for (int d = 0; d < 10; ++d) {
            digits[d] = static_cast<char>('0' + d);
            pc.digitX[d] = w;
            m_fm.widths.CharWidth(mem, digits + d, 1, pc.digitW[d]);
            w += pc.digitW[d];
        }
        digitsDC = CreateCompatibleDC(target);
        digitsSaved = SaveDC(digitsDC);
        digitsBitmap.Reset(CreateLineBitmap(target, w, pitch, &pc.digits));
        SelectObject(digitsDC, digitsBitmap.Get());
        SelectObject(digitsDC, m_fm.Font());
        RECT box = {0, 0, w, pitch};
        SetTextAlign(digitsDC, TA_LEFT | TA_TOP | TA_NOUPDATECP);
        SetTextColor(digitsDC, pc.colours[LineNumberFore]);
        SetBkColor(digitsDC, pc.colours[LineNumberBack]);
        ExtTextOutA(digitsDC, 0, pc.halfSpacing, ETO_CLIPPED | ETO_OPAQUE, &box, digits, 10,
                    nullptr);
        GdiFlush();
    }

    if (m_selFirst >= 0 && m_selKind == SEL_COLUMN) {
        pc.rubber = {std::max(WindowXFromDoc(m_colRect.left), pc.textLeft), 0,
                     std::min(WindowXFromDoc(m_colRect.right), pc.textRight), pitch};
    } else if (m_columnDrag) {
        RECT n = NormalRect(m_colRect);
        pc.rubber = {std::max(WindowXFromDoc(n.left), pc.textLeft), 0,
                     std::min(WindowXFromDoc(n.right), pc.textRight), pitch};
        pc.rubberFirst = LineFromY(n.top);
        pc.rubberLast = LineFromY(n.bottom);
    }
    CPenHandle marksPen, selPen;
    if (pc.showWhitespace || pc.showBreaks) {
        marksPen.Reset(CreatePen(PS_SOLID, 1, pc.colours[MarksFore]));
        pc.marksPen = marksPen.Get();
        if (m_selFirst >= 0) {
            selPen.Reset(CreatePen(PS_SOLID, 1, pc.colours[SelectionFore]));
            pc.selMarksPen = selPen.Get();
        }
    }

    if (clip.top < m_layout.ruler.bottom)
        PaintRuler(target, pc);

    int y = WindowYFromRecord(pc.first);
    for (int32_t rec = pc.first; rec <= pc.last; ++rec, y += pitch) {
        PaintLine(mem, pc, rec);
        BitBlt(target, 0, y, pc.lineWidth, pitch, mem, 0, 0, SRCCOPY);
    }
    y = std::max(y, textTop);
    if (y < clip.bottom) {
        const int split = pc.textLeft - m_layout.margin;
        FillSolid(target, 0, y, split, clip.bottom, pc.colours[LineNumberBack]);
        FillSolid(target, split, y, pc.lineWidth, clip.bottom, pc.colours[TextBack]);
    }
    RestoreDC(mem, saved);
    DeleteDC(mem);
    if (digitsDC) {
        RestoreDC(digitsDC, digitsSaved);
        DeleteDC(digitsDC);
    }
}

void CFxEditView::PaintRuler(HDC target, PaintContext& pc) {
    const RECT& ruler = m_layout.ruler;
    if (!pc.showRuler) {
        const int split = pc.textLeft - m_layout.margin;
        FillSolid(target, 0, ruler.top, split, ruler.bottom, pc.colours[LineNumberBack]);
        FillSolid(target, split, ruler.top, ruler.right, ruler.bottom, pc.colours[TextBack]);
        return;
    }
    const int w = ruler.right - ruler.left, h = ruler.bottom - ruler.top;
    if (w <= 0 || h <= 0)
        return;
    HDC dc = CreateCompatibleDC(target);
    const int saved = SaveDC(dc);
    DibLine dib;
    CBitmapHandle bitmap(CreateLineBitmap(target, w, h, &dib));
    SelectObject(dc, bitmap.Get());
    SelectObject(dc, m_fm.Font());
    CPenHandle pen(CreatePen(PS_SOLID, 1, pc.colours[RulerFore]));
    SelectObject(dc, pen.Get());
    FillSolid(dc, 0, 0, w, h, pc.colours[RulerBack]);
    SetTextColor(dc, pc.colours[RulerFore]);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    const int ave = m_fm.aveWidth;
    const int longer = m_fm.Px(2); // the ticks of every tenth column
    const int e = pc.hscrollPx;
    const int c0 = (e / ave / 10) * 10, x0 = pc.textLeft + c0 * ave - e;
    // With the pixels at hand and digits that keep to their cells, the numbers go in one text
    // call placed by advances, between the long ticks they stand on and the short ticks drawn
    // over them, as drawing column by column layers them.
    bool batched = s_composeLines && dib.bits && m_fm.digitCells && pc.measure.widths;
    std::string numbers;
    std::vector<int>& advances = m_extents;
    advances.clear();
    if (batched) {
        GdiFlush();
        const uint32_t px = DibPixel(pc.colours[RulerFore]);
        for (int c = c0, x = x0; x <= w && batched; c += 10, x += 10 * ave) {
            PutSegment(dib, x, h - h / 3 - longer, x, h, px, pc.stroke);
            char num[16];
            const int n = std::snprintf(num, sizeof num, "%d", c / 10 + 1);
            int width = 0;
            for (int k = 0; k < n; ++k) {
                int dw = 0;
                m_fm.widths.CharWidth(dc, num + k, 1, dw);
                advances.push_back(dw);
                width += dw;
            }
            advances.back() += 10 * ave - width;
            numbers.append(num, static_cast<size_t>(n));
            batched = width <= 10 * ave;
        }
    }
    if (batched) {
        ExtTextOutA(dc, x0, 0, 0, nullptr, numbers.data(), static_cast<UINT>(numbers.size()),
                    advances.data());
        GdiFlush();
        const uint32_t px = DibPixel(pc.colours[RulerFore]);
        for (int c = c0, x = x0; x <= w; ++c, x += ave)
            if (c % 10)
                PutSegment(dib, x, h - h / 3, x, h, px, pc.stroke);
    } else {
        for (int c = c0, x = x0; x <= w; ++c, x += ave) {
            if (c % 10) {
                Segment(dc, x, h - h / 3, x, h, pc.stroke);
            } else {
                Segment(dc, x, h - h / 3 - longer, x, h, pc.stroke);
                char num[16];
                int n = std::snprintf(num, sizeof num, "%d", c / 10 + 1);
                TextOutA(dc, x, 0, num, n);
            }
        }
    }
    FillSolid(dc, 0, 0, pc.textLeft, h, pc.colours[RulerBack]);
    Segment(dc, 0, h - pc.stroke, w, h - pc.stroke, pc.stroke);
    BitBlt(target, ruler.left, ruler.top, w, h, dc, 0, 0, SRCCOPY);
    RestoreDC(dc, saved);
    DeleteDC(dc);
}

void CFxEditView::PaintLineBack(HDC mem, PaintContext& pc, int32_t rec, int fromX) {
    const FxLine& r = m_doc->Record(rec);
    const bool bookmark = (r.flags & FXL_BOOKMARK) != 0;
    if (rec == m_caret.line) {
        FillSolid(mem, fromX, 0, pc.lineWidth, pc.pitch, pc.colours[ActiveLineBack]);
        if (bookmark) {
            FillSolid(mem, fromX, 0, pc.lineWidth, pc.stroke, pc.colours[BookmarkBack]);
            FillSolid(mem, fromX, pc.pitch - pc.stroke, pc.lineWidth, pc.pitch,
                      pc.colours[BookmarkBack]);
        }
    } else {
        FillSolid(mem, fromX, 0, pc.lineWidth, pc.pitch,
                  pc.colours[bookmark ? BookmarkBack : TextBack]);
    }
}

namespace {

// Bytes [start, end) of a piece drawn in one colour.
struct ColourSpan {
    int32_t start, end;
    COLORREF colour;
};

// The strings of a line being composed, kept between lines so that their buffers are reused.
struct ComposeScratch {
    struct Pass {
        COLORREF colour;
        bool open; // a string of this colour is being built
        int x;     // where it starts
        std::string text;
        size_t inked; // bytes up to its last glyph: trailing filler is not drawn
    };
    struct Call {
        COLORREF colour;
        int x;
        size_t offset, len; // in pool
    };
    std::vector<Pass> passes;
    std::vector<Call> calls;
    std::string pool;
    std::vector<ColourSpan> spans;
    struct Placed {
        const GlyphInk::Glyph* glyph;
        uint16_t key;
        int x;
        COLORREF colour;
    };
    std::vector<Placed> placed;
    std::vector<uint16_t> keys;

    static ComposeScratch& Shared() {
        static ComposeScratch scratch; // painting happens on the UI thread only
        return scratch;
    }
};

// Draws text[from, to) of a piece at the context's position in one colour: one text call per
// run between tabs (spaces included), each tab advancing to its stop. The marks over tabs and
// spaces are collected and drawn by Flush with one call: per-space text calls and pen moves
// made a line of code cost several times its text.
struct SpanPainter {
    HDC dc;
    int& x;
    int y;
    int textRight, spaceWidth, tabSize, textHeight;
    bool marks;
    HPEN pen;
    std::vector<POINT>& points; // two per mark segment
    std::vector<DWORD>& counts;
    std::vector<int>& extents;    // scratch: the x after each byte of a run
    const DibLine* dib = nullptr; // marks are set straight into these pixels when given
    COLORREF penColour = 0;
    GlyphInk* ink = nullptr; // with dib: glyphs are set straight into the pixels too
    int stroke = 1, tabArm = 2, tabBar = 3;

    void Segment2(int x0, int y0, int x1, int y1) {
        const POINT d = StrokeStep(x0, y0, x1, y1);
        for (int k = 0; k < stroke; ++k) {
            points.push_back(POINT{x0 + k * d.x, y0 + k * d.y});
            points.push_back(POINT{x1 + k * d.x, y1 + k * d.y});
            counts.push_back(2);
        }
    }
    void TabMark(int at, int w) {
        const int ym = y + textHeight / 2, bar = at + w - tabArm;
        Segment2(at, ym, bar, ym);
        Segment2(bar, ym - tabArm, bar, ym + tabBar);
    }
    void SpaceMark(int at) {
        const int w = spaceWidth, ym = y + textHeight / 2;
        Segment2(at + w / 4, ym, at + w - w / 4, ym);
    }
    void Run(const char* text, int32_t from, int32_t to, int32_t len) {
        while (from < to && x < textRight) {
            int32_t end = to;
            if (end - from > kMaxRun) {
                end = from;
                while (end < to && end - from < kMaxRun)
                    end += FxCharLen(text, static_cast<size_t>(end), static_cast<size_t>(len));
            }
            const int start = x;
            MoveToEx(dc, x, y, nullptr);
            ExtTextOutA(dc, 0, 0, 0, nullptr, text + from, end - from, nullptr);
            POINT cp;
            GetCurrentPositionEx(dc, &cp);
            x = cp.x;
            if (marks && pen && std::memchr(text + from, ' ', static_cast<size_t>(end - from))) {
                extents.resize(static_cast<size_t>(end - from));
                SIZE sz;
                GetTextExtentExPointA(dc, text + from, end - from, 0, nullptr, extents.data(), &sz);
                for (int32_t i = from; i < end; ++i)
                    if (text[i] == ' ')
                        SpaceMark(start +
                                  (i == from ? 0 : extents[static_cast<size_t>(i - from - 1)]));
            }
            from = end;
        }
    }
    void Tab(int width) {
        if (marks && pen) {
            TabMark(x, width);
        }
        x += width;
    }
    // dispCol: display column at `from`, advanced.
    void Span(const char* text, int32_t len, int32_t from, int32_t to, int32_t& dispCol) {
        int32_t runStart = from;
        for (int32_t i = from; i < to && x < textRight;) {
            const char c = text[i];
            if (c == '\t') {
                Run(text, runStart, i, len);
                const int cols = tabSize - dispCol % tabSize;
                Tab(cols * spaceWidth);
                dispCol += cols;
                runStart = ++i;
            } else {
                const int n = FxCharLen(text, static_cast<size_t>(i), static_cast<size_t>(len));
                dispCol += n;
                i += n;
            }
        }
        if (x < textRight)
            Run(text, runStart, to, len);
    }
    // Draws text[from, to) with one text call per colour instead of one per run: each colour's
    // glyphs go into one string in which the characters of other colours, the blanks and the
    // tabs between them are spaces of the same width, so that every glyph lands where drawing
    // the runs one by one puts it. A character whose width is no whole number of spaces ends
    // the strings of the other colours there (they go on in a call of their own). False, with
    // nothing drawn, when the width table cannot place a character.
    bool Compose(const CharWidthTable& widths, const char* text, int32_t len, int32_t from,
                 int32_t to, int32_t& dispCol, const std::vector<ColourSpan>& spans,
                 COLORREF& current);
    // The same without any text call: each glyph's pixels, read once from the font, are set
    // into the line bitmap, left to right as the runs would be drawn. False, with nothing
    // drawn, when a glyph cannot be drawn this way (an antialiased font).
    bool InkGlyphs(const CharWidthTable& widths, const char* text, int32_t len, int32_t from,
                   int32_t to, int32_t& dispCol, const std::vector<ColourSpan>& spans);
    void Flush() {
        if (!counts.empty() && dib && dib->bits) {
            GdiFlush();
            const uint32_t px = DibPixel(penColour);
            for (size_t k = 0; k + 1 < points.size(); k += 2)
                PutSegment(*dib, points[k].x, points[k].y, points[k + 1].x, points[k + 1].y, px);
        } else if (!counts.empty()) {
            SelectObject(dc, pen);
            PolyPolyline(dc, points.data(), counts.data(), static_cast<DWORD>(counts.size()));
        }
        points.clear();
        counts.clear();
    }
};

bool SpanPainter::InkGlyphs(const CharWidthTable& widths, const char* text, int32_t len,
                            int32_t from, int32_t to, int32_t& dispCol,
                            const std::vector<ColourSpan>& spans) {
    std::vector<ComposeScratch::Placed>& placed = ComposeScratch::Shared().placed;
    placed.clear();
    const size_t pointsAt = points.size(), countsAt = counts.size();
    auto fail = [&] {
        points.resize(pointsAt);
        counts.resize(countsAt);
        return false;
    };
    const bool drawMarks = marks && pen;
    int cx = x;
    int32_t col = dispCol;
    size_t si = 0;
    for (int32_t i = from; i < to && cx < textRight;) {
        const char c = text[i];
        if (c == '\t') {
            const int cols = tabSize - col % tabSize;
            const int w = cols * spaceWidth;
            if (drawMarks)
                TabMark(cx, w);
            cx += w;
            col += cols;
            ++i;
            continue;
        }
        const int n = FxCharLen(text, static_cast<size_t>(i), static_cast<size_t>(len));
        int w = 0;
        if (!widths.CharWidth(dc, text + i, n, w))
            return fail();
        if (c == ' ') {
            if (drawMarks)
                SpaceMark(cx);
        } else {
            while (si < spans.size() && spans[si].end <= i)
                ++si;
            if (si < spans.size() && spans[si].start <= i)
                placed.push_back({nullptr, GlyphInk::Key(text + i, n), cx, spans[si].colour});
        }
        cx += w;
        col += n;
        i += n;
    }
    std::vector<uint16_t>& keys = ComposeScratch::Shared().keys;
    keys.clear();
    for (const ComposeScratch::Placed& p : placed)
        keys.push_back(p.key);
    ink->Prefetch(keys);
    for (ComposeScratch::Placed& p : placed)
        if (!(p.glyph = ink->Get(p.key)))
            return fail();
    GdiFlush(); // what GDI drew before must be in the pixels
    const RECT all = {0, 0, dib->width, dib->height};
    COLORREF last = CLR_INVALID;
    uint32_t px = 0;
    for (const ComposeScratch::Placed& p : placed) {
        if (p.colour != last) {
            last = p.colour;
            px = DibPixel(p.colour);
        }
        PutGlyph(*dib, *p.glyph, p.x, y, all, px);
    }
    x = cx;
    dispCol = col;
    return true;
}

bool SpanPainter::Compose(const CharWidthTable& widths, const char* text, int32_t len, int32_t from,
                          int32_t to, int32_t& dispCol, const std::vector<ColourSpan>& spans,
                          COLORREF& current) {
    if (ink && dib && dib->bits && InkGlyphs(widths, text, len, from, to, dispCol, spans))
        return true;
    ComposeScratch& cs = ComposeScratch::Shared();
    for (ComposeScratch::Pass& p : cs.passes) {
        p.open = false;
        p.text.clear();
        p.inked = 0;
    }
    cs.passes.clear();
    cs.calls.clear();
    cs.pool.clear();
    const size_t pointsAt = points.size(), countsAt = counts.size();
    auto close = [&](ComposeScratch::Pass& p) {
        if (p.open && p.inked > 0) {
            cs.calls.push_back({p.colour, p.x, cs.pool.size(), p.inked});
            cs.pool.append(p.text, 0, p.inked);
        }
        p.open = false;
        p.text.clear();
        p.inked = 0;
    };
    // Another colour's character (or a blank) of `spaces` spaces' width; -1: none fits.
    auto fill = [&](int spaces, const ComposeScratch::Pass* except) {
        for (ComposeScratch::Pass& p : cs.passes) {
            if (!p.open || &p == except)
                continue;
            if (spaces < 0)
                close(p);
            else
                p.text.append(static_cast<size_t>(spaces), ' ');
        }
    };
    const bool drawMarks = marks && pen;
    int cx = x;
    int32_t col = dispCol;
    size_t si = 0;
    for (int32_t i = from; i < to && cx < textRight;) {
        const char c = text[i];
        if (c == '\t') {
            const int cols = tabSize - col % tabSize;
            const int w = cols * spaceWidth;
            fill(cols, nullptr);
            if (drawMarks)
                TabMark(cx, w);
            cx += w;
            col += cols;
            ++i;
            continue;
        }
        const int n = FxCharLen(text, static_cast<size_t>(i), static_cast<size_t>(len));
        int w = 0;
        if (!widths.CharWidth(dc, text + i, n, w)) {
            points.resize(pointsAt);
            counts.resize(countsAt);
            return false;
        }
        const int spaces = spaceWidth > 0 && w % spaceWidth == 0 ? w / spaceWidth : -1;
        ComposeScratch::Pass* own = nullptr;
        if (c != ' ') {
            while (si < spans.size() && spans[si].end <= i)
                ++si;
            if (si < spans.size() && spans[si].start <= i) {
                const COLORREF colour = spans[si].colour;
                for (ComposeScratch::Pass& p : cs.passes)
                    if (p.colour == colour)
                        own = &p;
                if (!own) {
                    cs.passes.push_back({colour, false, 0, std::string(), 0});
                    own = &cs.passes.back();
                }
            }
        } else if (drawMarks) {
            SpaceMark(cx);
        }
        fill(spaces, own);
        if (own) {
            if (!own->open) {
                own->open = true;
                own->x = cx;
            }
            own->text.append(text + i, static_cast<size_t>(n));
            own->inked = own->text.size();
            if (own->inked >= static_cast<size_t>(kMaxRun))
                close(*own);
        }
        cx += w;
        col += n;
        i += n;
    }
    for (ComposeScratch::Pass& p : cs.passes)
        close(p);
    for (const ComposeScratch::Call& call : cs.calls) {
        if (call.colour != current) {
            SetTextColor(dc, call.colour);
            current = call.colour;
        }
        MoveToEx(dc, call.x, y, nullptr);
        ExtTextOutA(dc, 0, 0, 0, nullptr, cs.pool.data() + call.offset, static_cast<UINT>(call.len),
                    nullptr);
    }
    x = cx;
    dispCol = col;
    return true;
}

} // namespace

void CFxEditView::PaintRuns(HDC mem, PaintContext& pc, const FxLine& line, int32_t from, int32_t to,
                            bool selected) {
    if (!line.data || to <= from)
        return;
    const COLORREF colour = pc.colours[selected ? SelectionFore : TextFore];
    SetTextColor(mem, colour);
    pc.textColour = colour;
    SpanPainter sp{mem,
                   pc.x,
                   pc.y,
                   pc.textRight,
                   pc.spaceWidth,
                   pc.tabSize,
                   pc.textHeight,
                   pc.showWhitespace,
                   selected ? pc.selMarksPen : pc.marksPen,
                   m_markPoints,
                   m_markCounts,
                   m_extents};
    sp.dib = &pc.dib;
    sp.ink = &m_fm.ink;
    sp.stroke = pc.stroke;
    sp.tabArm = pc.tabArm;
    sp.tabBar = pc.tabBar;
    sp.penColour = pc.colours[selected ? SelectionFore : MarksFore];
    int32_t dispCol = DisplayColumn(line.data, line.data + from, pc.tabSize, line.dispCol);
    bool composed = false;
    if (s_composeLines && pc.measure.widths) {
        std::vector<ColourSpan>& spans = ComposeScratch::Shared().spans;
        spans.assign(1, ColourSpan{from, to, colour});
        composed = sp.Compose(*pc.measure.widths, line.data, line.len, from, to, dispCol, spans,
                              pc.textColour);
    }
    if (!composed)
        sp.Span(line.data, line.len, from, to, dispCol);
    sp.Flush();
}

void CFxEditView::PaintSyntaxRuns(HDC mem, PaintContext& pc, const FxLine& line, int32_t upTo) {
    if (!line.data || line.len == 0)
        return;
    const SyntaxInfo& info = m_type->syntax;
    ScanPiece(info, line.data, line.len, line.flags & SYN_STATEMASK, m_runs);
    SpanPainter sp{mem,           pc.x,         pc.y,          pc.textRight,
                   pc.spaceWidth, pc.tabSize,   pc.textHeight, pc.showWhitespace,
                   pc.marksPen,   m_markPoints, m_markCounts,  m_extents};
    sp.dib = &pc.dib;
    sp.ink = &m_fm.ink;
    sp.stroke = pc.stroke;
    sp.tabArm = pc.tabArm;
    sp.tabBar = pc.tabBar;
    sp.penColour = pc.colours[MarksFore];
    int32_t dispCol = line.dispCol;
    if (s_composeLines && pc.measure.widths) {
        std::vector<ColourSpan>& spans = ComposeScratch::Shared().spans;
        spans.clear();
        for (const SyntaxRun& run : m_runs) {
            if (run.start >= upTo)
                break;
            COLORREF colour = pc.colours[run.slot];
            if (run.group >= 0) {
                const uint32_t g = info.Group(run.group).colour;
                colour = g == 0xFFFFFFFFu ? pc.colours[TextFore] : static_cast<COLORREF>(g);
            }
            spans.push_back(ColourSpan{run.start, std::min(run.start + run.len, upTo), colour});
        }
        if (sp.Compose(*pc.measure.widths, line.data, line.len, 0, upTo, dispCol, spans,
                       pc.textColour)) {
            sp.Flush();
            return;
        }
    }
    // Neighbouring runs of one colour are drawn as one span.
    int32_t spanStart = 0, spanEnd = 0;
    COLORREF spanColour = CLR_INVALID;
    auto drawSpan = [&] {
        if (spanEnd <= spanStart || pc.x >= pc.textRight)
            return;
        if (spanColour != pc.textColour) {
            SetTextColor(mem, spanColour);
            pc.textColour = spanColour;
        }
        sp.Span(line.data, line.len, spanStart, spanEnd, dispCol);
    };
    for (const SyntaxRun& run : m_runs) {
        if (run.start >= upTo)
            break;
        COLORREF colour = pc.colours[run.slot];
        if (run.group >= 0) {
            const uint32_t g = info.Group(run.group).colour;
            colour = g == 0xFFFFFFFFu ? pc.colours[TextFore] : static_cast<COLORREF>(g);
        }
        const int32_t end = std::min(run.start + run.len, upTo);
        if (colour != spanColour || run.start != spanEnd) {
            drawSpan();
            if (pc.x >= pc.textRight)
                break;
            spanStart = run.start;
            spanColour = colour;
        }
        spanEnd = end;
    }
    drawSpan();
    sp.Flush();
}

void CFxEditView::PaintLine(HDC mem, PaintContext& pc, int32_t rec) {
    const FxLine& line = m_doc->Record(rec);
    pc.x = pc.textLeft - pc.hscrollPx;
    pc.y = pc.halfSpacing;
    pc.textColour = CLR_INVALID;
    SetTextAlign(mem, TA_LEFT | TA_TOP | TA_UPDATECP);
    const int lineX = pc.x;
    // A block's rows are all selected, also those it covers only past their end.
    const bool selected = m_selFirst >= 0 && rec >= m_selFirst && rec <= m_selLast &&
                          line.selStart >= 0 &&
                          (line.selEnd > line.selStart || m_selKind == SEL_COLUMN);
    if (!selected) {
        PaintLineBack(mem, pc, rec, pc.x);
        if (pc.syntax)
            PaintSyntaxRuns(mem, pc, line, line.len);
        else
            PaintRuns(mem, pc, line, 0, line.len, false);
    } else {
        const int32_t s = std::min(line.selStart, line.len);
        const int32_t e = line.selEnd;
        if (pc.syntax) {
            PaintLineBack(mem, pc, rec, pc.x);
            PaintSyntaxRuns(mem, pc, line, line.len);
            pc.x = lineX + (s > 0 ? pc.measure.Width(line.data, 0, s, line.dispCol) : 0);
        } else if (s > 0) {
            PaintLineBack(mem, pc, rec, pc.x);
            PaintRuns(mem, pc, line, 0, s, false);
        }
        FillSolid(mem, pc.x, 0, pc.lineWidth, pc.pitch, pc.colours[SelectionBack]);
        PaintRuns(mem, pc, line, s, std::min(e, line.len), true);
        int xr = pc.x + (e > line.len ? pc.markSize : 0);
        PaintLineBack(mem, pc, rec, xr);
        if (m_selKind == SEL_COLUMN && xr < pc.rubber.right && e >= line.len)
            FillSolid(mem, std::max(xr, static_cast<int>(pc.rubber.left)), 0, pc.rubber.right,
                      pc.pitch, pc.colours[SelectionBack]);
        if (e < line.len) {
            if (pc.syntax) {
                // The tail in syntax colours again, clipped to what follows the selection.
                const int saved = SaveDC(mem);
                IntersectClipRect(mem, xr, 0, pc.lineWidth, pc.pitch);
                pc.x = lineX;
                pc.textColour = CLR_INVALID;
                const DibLine dib = pc.dib;
                pc.dib = DibLine(); // the marks of the tail go through the clip too
                PaintSyntaxRuns(mem, pc, line, line.len);
                pc.dib = dib;
                RestoreDC(mem, saved);
            } else {
                PaintRuns(mem, pc, line, e, line.len, false);
            }
        }
    }
    const bool lastRecord = rec == m_doc->RecordCount() - 1;
    if (pc.showBreaks && pc.marksPen && (line.HasLineEnd() || lastRecord)) {
        const int endX =
            lineX + (line.data ? pc.measure.Width(line.data, 0, line.len, line.dispCol) : 0);
        if (endX < pc.textRight) {
            const int x = endX, y = pc.y, h = pc.textHeight;
            const int c = (std::min(pc.markSize, h) + 3) / 4;
            const bool selBreak =
                line.HasLineEnd() && selected && line.selEnd > line.len && pc.selMarksPen;
            POINT pts[5];
            if (line.HasLineEnd()) {
                pts[0] = {x + c - 1, y + 3 * c};
                pts[1] = {x + 2 * c - 1, y + 4 * c};
                pts[2] = {x + 3 * c, y + 3 * c - 1};
                pts[3] = {x + 2 * c - 1, y + c};
                pts[4] = {x + 2 * c - 1, y + 4 * c};
            } else {
                const int ym = y + h / 2;
                pts[0] = {x + 2 * c, ym - c};
                pts[1] = {x + c, ym};
                pts[2] = {x + 2 * c + 1, ym + c + 1};
                pts[3] = {x + c, ym};
                pts[4] = {x + 4 * c, ym};
            }
            if (pc.dib.bits) {
                GdiFlush();
                const uint32_t px = DibPixel(pc.colours[selBreak ? SelectionFore : MarksFore]);
                PutSegment(pc.dib, pts[0].x, pts[0].y, pts[1].x, pts[1].y, px, pc.stroke);
                PutSegment(pc.dib, pts[1].x, pts[1].y, pts[2].x, pts[2].y, px, pc.stroke);
                PutSegment(pc.dib, pts[3].x, pts[3].y, pts[4].x, pts[4].y, px, pc.stroke);
            } else {
                SelectObject(mem, selBreak ? pc.selMarksPen : pc.marksPen);
                Segment(mem, pts[0].x, pts[0].y, pts[1].x, pts[1].y, pc.stroke);
                Segment(mem, pts[1].x, pts[1].y, pts[2].x, pts[2].y, pc.stroke);
                Segment(mem, pts[3].x, pts[3].y, pts[4].x, pts[4].y, pc.stroke);
            }
        }
    }
    PaintGutter(mem, pc, rec);
    if (m_columnDrag && rec >= pc.rubberFirst && rec <= pc.rubberLast &&
        pc.rubber.right > pc.rubber.left)
        InvertRect(mem, &pc.rubber);
}

void CFxEditView::PaintGutter(HDC mem, PaintContext& pc, int32_t rec) {
    const int split = pc.textLeft - m_layout.margin;
    if (pc.dib.bits) {
        GdiFlush();
        FillDib(pc.dib, split, 0, pc.textLeft, pc.pitch, DibPixel(pc.colours[TextBack]));
    } else {
        FillSolid(mem, split, 0, pc.textLeft, pc.pitch, pc.colours[TextBack]);
    }
    if (!pc.showNumbers || split <= m_layout.gutter.left)
        return;
    const FxLine& line = m_doc->Record(rec);
    char num[16] = "";
    int n = 0;
    if (!m_doc->IsWrapped())
        n = std::snprintf(num, sizeof num, "%d", rec + 1);
    else if (!line.IsContinued())
        n = std::snprintf(num, sizeof num, "%d", line.logLine + 1);
    if (pc.dib.bits && pc.measure.widths) {
        // The number's glyphs right-aligned at the split on the box's background, clipped to
        // the box, as the opaque text call draws them.
        const GlyphInk::Glyph* glyphs[16];
        int widths[16];
        bool inked = true;
        for (int k = 0; k < n && inked; ++k)
            inked = (glyphs[k] = m_fm.ink.Get(num + k, 1)) != nullptr &&
                    pc.measure.widths->CharWidth(mem, num + k, 1, widths[k]);
        if (inked) {
            GdiFlush();
            const RECT box = {m_layout.gutter.left, 0, split, pc.pitch};
            FillDib(pc.dib, box.left, 0, split, pc.pitch, DibPixel(pc.colours[LineNumberBack]));
            const uint32_t px = DibPixel(pc.colours[LineNumberFore]);
            int x = split;
            for (int k = n - 1; k >= 0; --k) {
                x -= widths[k];
                PutGlyph(pc.dib, *glyphs[k], x, pc.halfSpacing, box, px);
            }
            return;
        }
    }
    if (pc.digits.bits) {
        // The number right-aligned at the split, cell by cell, on the box's background.
        const int left = m_layout.gutter.left;
        FillDib(pc.dib, left, 0, split, pc.pitch, DibPixel(pc.colours[LineNumberBack]));
        int x = split;
        for (int k = n - 1; k >= 0 && x > left; --k) {
            const int d = num[k] - '0';
            x -= pc.digitW[d];
            const int from = std::max(x, left), to = std::min(x + pc.digitW[d], pc.dib.width);
            for (int y = 0; y < pc.pitch && y < pc.dib.height && from < to; ++y)
                std::copy(pc.digits.bits + static_cast<size_t>(y) * pc.digits.width + pc.digitX[d] +
                              (from - x),
                          pc.digits.bits + static_cast<size_t>(y) * pc.digits.width + pc.digitX[d] +
                              (to - x),
                          pc.dib.bits + static_cast<size_t>(y) * pc.dib.width + from);
        }
        return;
    }
    RECT box = {m_layout.gutter.left, 0, split, pc.pitch};
    SetTextAlign(mem, TA_RIGHT | TA_TOP | TA_NOUPDATECP);
    SetTextColor(mem, pc.colours[LineNumberFore]);
    SetBkColor(mem, pc.colours[LineNumberBack]);
    ExtTextOutA(mem, split, pc.halfSpacing, ETO_CLIPPED | ETO_OPAQUE, &box, num,
                static_cast<UINT>(n), nullptr);
    pc.textColour = CLR_INVALID;
}
