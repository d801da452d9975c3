// CFxEditView: painting through a one-line off-screen bitmap: the ruler, each line's
// background, selection and text (plain or in syntax colours), the whitespace, line-break and
// end-of-document marks, and the gutter. Layer: textview/ (view side).
#include "textview/FxEditView.h"

#include "app/settings/FileTypes.h"
#include "framework/GdiObject.h"
#include "textdoc/Dbcs.h"
#include "textview/SyntaxState.h"
#include "textview/ViewFontMetrics.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

struct CFxEditView::PaintContext {
    int x = 0, y = 0;
    COLORREF textColour = CLR_INVALID;
    bool showRuler = false, showNumbers = false, showWhitespace = false, showBreaks = false;
    bool syntax = false;
    int32_t first = 0, last = -1;
    int hscrollPx = 0;
    int textLeft = 0, textRight = 0, lineWidth = 0, pitch = 16, halfSpacing = 0, textHeight = 16;
    int markSize = 10, spaceWidth = 8, tabSize = 8;
    RECT rubber = {0, 0, 0, 0}; // window x range of the column block or rubber band
    int32_t rubberFirst = -1, rubberLast = -1;
    HPEN marksPen = nullptr, selMarksPen = nullptr;
    COLORREF colours[FxColorSlotCount] = {};
    TextMeasure measure;
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

// The longest run handed to one text call: runs that long are cut at a character boundary.
const int32_t kMaxRun = 512;

} // namespace

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
    pc.spaceWidth = m_fm.spaceWidth;
    pc.tabSize = TabSize();
    for (int i = 0; i < FxColorSlotCount; ++i)
        pc.colours[i] = Colour(i);
    pc.colours[TextBack] = TextBackColour();
    pc.colours[ActiveLineBack] = ActiveLineColour();

    HDC mem = CreateCompatibleDC(target);
    const int saved = SaveDC(mem);
    SetBkMode(mem, TRANSPARENT);
    CBitmapHandle bitmap(CreateCompatibleBitmap(target, std::max(1, pc.lineWidth), pitch));
    SelectObject(mem, bitmap.Get());
    SelectObject(mem, m_fm.Font());
    pc.measure = MakeMeasure(mem);

    const int textTop = m_layout.text.top;
    pc.first =
        clip.top <= textTop ? m_top : m_top + static_cast<int32_t>((clip.top - textTop) / pitch);
    pc.last = std::min(m_top + static_cast<int32_t>((clip.bottom - textTop) / pitch), count - 1);

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
    CBitmapHandle bitmap(CreateCompatibleBitmap(target, w, h));
    SelectObject(dc, bitmap.Get());
    SelectObject(dc, m_fm.Font());
    CPenHandle pen(CreatePen(PS_SOLID, 1, pc.colours[RulerFore]));
    SelectObject(dc, pen.Get());
    FillSolid(dc, 0, 0, w, h, pc.colours[RulerBack]);
    SetTextColor(dc, pc.colours[RulerFore]);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    const int ave = m_fm.aveWidth;
    const int e = pc.hscrollPx;
    int c = (e / ave / 10) * 10;
    for (int x = pc.textLeft + c * ave - e; x <= w; ++c, x += ave) {
        if (c % 10) {
            Segment(dc, x, h - h / 3, x, h);
        } else {
            Segment(dc, x, h - h / 3 - 2, x, h);
            char num[16];
            int n = std::snprintf(num, sizeof num, "%d", c / 10 + 1);
            TextOutA(dc, x, 0, num, n);
        }
    }
    FillSolid(dc, 0, 0, pc.textLeft, h, pc.colours[RulerBack]);
    Segment(dc, 0, h - 1, w, h - 1);
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
            FillSolid(mem, fromX, 0, pc.lineWidth, 1, pc.colours[BookmarkBack]);
            FillSolid(mem, fromX, pc.pitch - 1, pc.lineWidth, pc.pitch, pc.colours[BookmarkBack]);
        }
    } else {
        FillSolid(mem, fromX, 0, pc.lineWidth, pc.pitch,
                  pc.colours[bookmark ? BookmarkBack : TextBack]);
    }
}

namespace {

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
    std::vector<int>& extents; // scratch: the x after each byte of a run

    void Segment2(int x0, int y0, int x1, int y1) {
        points.push_back(POINT{x0, y0});
        points.push_back(POINT{x1, y1});
        counts.push_back(2);
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
            const int ym = y + textHeight / 2;
            Segment2(x, ym, x + width - 2, ym);
            Segment2(x + width - 2, ym - 2, x + width - 2, ym + 3);
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
    void Flush() {
        if (!counts.empty()) {
            SelectObject(dc, pen);
            PolyPolyline(dc, points.data(), counts.data(), static_cast<DWORD>(counts.size()));
        }
        points.clear();
        counts.clear();
    }
};

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
    int32_t dispCol = DisplayColumn(line.data, line.data + from, pc.tabSize, line.dispCol);
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
    int32_t dispCol = line.dispCol;
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
                PaintSyntaxRuns(mem, pc, line, line.len);
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
            if (line.HasLineEnd()) {
                const bool selBreak = selected && line.selEnd > line.len && pc.selMarksPen;
                SelectObject(mem, selBreak ? pc.selMarksPen : pc.marksPen);
                MoveToEx(mem, x + c - 1, y + 3 * c, nullptr);
                LineTo(mem, x + 2 * c - 1, y + 4 * c);
                LineTo(mem, x + 3 * c, y + 3 * c - 1);
                Segment(mem, x + 2 * c - 1, y + c, x + 2 * c - 1, y + 4 * c);
            } else {
                SelectObject(mem, pc.marksPen);
                const int ym = y + h / 2;
                MoveToEx(mem, x + 2 * c, ym - c, nullptr);
                LineTo(mem, x + c, ym);
                LineTo(mem, x + 2 * c + 1, ym + c + 1);
                Segment(mem, x + c, ym, x + 4 * c, ym);
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
    FillSolid(mem, split, 0, pc.textLeft, pc.pitch, pc.colours[TextBack]);
    if (!pc.showNumbers || split <= m_layout.gutter.left)
        return;
    const FxLine& line = m_doc->Record(rec);
    char num[16] = "";
    int n = 0;
    if (!m_doc->IsWrapped())
        n = std::snprintf(num, sizeof num, "%d", rec + 1);
    else if (!line.IsContinued())
        n = std::snprintf(num, sizeof num, "%d", line.logLine + 1);
    RECT box = {m_layout.gutter.left, 0, split, pc.pitch};
    SetTextAlign(mem, TA_RIGHT | TA_TOP | TA_NOUPDATECP);
    SetTextColor(mem, pc.colours[LineNumberFore]);
    SetBkColor(mem, pc.colours[LineNumberBack]);
    ExtTextOutA(mem, split, pc.halfSpacing, ETO_CLIPPED | ETO_OPAQUE, &box, num,
                static_cast<UINT>(n), nullptr);
    pc.textColour = CLR_INVALID;
}
