// Drawing one printed page: header and footer from their templates, the body lines with line
// numbers, tab stops and syntax colours, and in preview the dotted frame guides. All widths are
// measured on the printer, whatever device the page is drawn on. Layer: print/.
#include "print/EditPrinting.h"

#include "framework/PrintInfo.h"
#include "print/PrintTemplate.h"
#include "textview/FileTypeInfo.h"
#include "textview/SyntaxScanner.h"
#include "textview/SyntaxState.h"

#include <algorithm>
#include <cstdio>

namespace {

// Width of text[from, to) (no tabs) on the printer with its selected font.
int Measure(const PrintJob& job, const char* text, int from, int to) {
    if (to <= from)
        return 0;
    int w = 0;
    if (job.widths.Usable() && job.widths.Width(job.printerDC, text, from, to, 0, job.tabSize,
                                                job.spaceWidth, job.tabGlyphWidth, w))
        return w;
    SIZE size = {0, 0};
    GetTextExtentPoint32A(job.printerDC, text + from, to - from, &size);
    return size.cx;
}

int NextTabStop(const PrintJob& job, int left, int x) {
    const int step = std::max(1, job.tabSize * job.spaceWidth);
    return left + ((x - left) / step + 1) * step;
}

// Draws text[from, to) from x along the band, tabs moving to the next stop from the band's
// left; returns the x reached. Stops at `right`.
int DrawSpan(const PrintJob& job, HDC dc, const char* text, int from, int to, int left, int x,
             int y, const RECT& clip, int right) {
    int i = from;
    while (i < to && x < right) {
        if (text[i] == '\t') {
            x = NextTabStop(job, left, x);
            ++i;
            continue;
        }
        int j = i;
        while (j < to && text[j] != '\t')
            ++j;
        ExtTextOutA(dc, x, y, ETO_CLIPPED, &clip, text + i, j - i, nullptr);
        x += Measure(job, text, i, j);
        i = j;
    }
    return x;
}

// One header or footer line in `r`, in the header/footer colour.
void DrawTemplateLine(const PrintJob& job, HDC dc, const std::string& line, const RECT& r,
                      const TemplateValues& values) {
    const TemplateLine parts = SplitTemplateLine(line);
    const std::string left = ExpandTemplateCodes(parts.left, values);
    const std::string centre = ExpandTemplateCodes(parts.centre, values);
    const std::string right = ExpandTemplateCodes(parts.right, values);
    const int y = r.top;
    if (!left.empty())
        DrawSpan(job, dc, left.c_str(), 0, static_cast<int>(left.size()), r.left, r.left, y, r,
                 r.right);
    if (!centre.empty()) {
        // Its width with tab stops every tab size x space width.
        int w = 0;
        const char* t = centre.c_str();
        const int n = static_cast<int>(centre.size());
        for (int i = 0; i < n;) {
            if (t[i] == '\t') {
                w = NextTabStop(job, 0, w);
                ++i;
                continue;
            }
            int j = i;
            while (j < n && t[j] != '\t')
                ++j;
            w += Measure(job, t, i, j);
            i = j;
        }
        const int x = r.left + (r.right - r.left - w) / 2;
        DrawSpan(job, dc, t, 0, n, x, x, y, r, r.right);
    }
    if (!right.empty()) {
        // From the right edge leftward, segment by segment from the end.
        const char* t = right.c_str();
        int end = static_cast<int>(right.size());
        int x = r.right;
        while (end > 0) {
            int start = end;
            while (start > 0 && t[start - 1] != '\t')
                --start;
            const int w = Measure(job, t, start, end);
            ExtTextOutA(dc, x - w, y, ETO_CLIPPED, &r, t + start, end - start, nullptr);
            x -= w;
            if (start == 0)
                break;
            // The tab before the segment: back by the columns to its tab stop, counted from the
            // text before it.
            int before = 0;
            for (int i = 0; i < start - 1;) {
                if (t[i] == '\t') {
                    before = (before / job.tabSize + 1) * job.tabSize;
                    ++i;
                } else if (IsDBCSLeadByte(static_cast<BYTE>(t[i])) && i + 1 < start - 1) {
                    before += 2;
                    i += 2;
                } else {
                    ++before;
                    ++i;
                }
            }
            x -= (job.tabSize - before % job.tabSize) * job.spaceWidth;
            end = start - 1;
        }
    }
}

void DrawBlock(const PrintJob& job, HDC dc, const std::string& tmpl, RECT r, bool separator,
               bool isHeader, const TemplateValues& values) {
    const std::vector<std::string> lines = TemplateLines(tmpl);
    if (lines.empty())
        return;
    if (separator && job.separatorPen) {
        HGDIOBJ old = SelectObject(dc, job.separatorPen);
        const int y = isHeader ? r.bottom - 1 : r.top;
        MoveToEx(dc, r.left, y, nullptr);
        LineTo(dc, r.right, y);
        SelectObject(dc, old);
    }
    if (separator) {
        if (isHeader)
            r.bottom -= job.separatorAllowance;
        else
            r.top += job.separatorAllowance;
    }
    for (const std::string& line : lines) {
        RECT lr = {r.left, r.top, r.right,
                   std::min<LONG>(r.bottom, r.top + job.headerFooterLineHeight)};
        DrawTemplateLine(job, dc, line, lr, values);
        r.top += job.headerFooterLineHeight;
    }
}

std::string FileNameOf(const std::string& path) {
    // The last "\" or "/" outside a double-byte character.
    size_t start = 0;
    for (size_t i = 0; i < path.size();) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsDBCSLeadByte(c) && i + 1 < path.size()) {
            i += 2;
            continue;
        }
        if (c == '\\' || c == '/' || c == ':')
            start = i + 1;
        ++i;
    }
    return path.substr(start);
}

std::string FormatDate(const SYSTEMTIME& t) {
    char buf[128] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &t, nullptr, buf, sizeof buf);
    return buf;
}

std::string FormatTime(const SYSTEMTIME& t) {
    char buf[128] = "";
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &t, nullptr, buf, sizeof buf);
    return buf;
}

class BandSink : public SyntaxRunSink {
public:
    BandSink(const PrintJob& job, HDC dc, const FxLine& line, int left, int y, const RECT& clip)
        : m_job(job), m_dc(dc), m_line(line), m_left(left), m_x(left), m_y(y), m_clip(clip) {}
    bool OnRun(const SyntaxRun& run) override {
        COLORREF colour = m_job.textColour;
        if (!m_job.monochrome) {
            colour = m_job.type->colors[run.slot];
            if (run.group >= 0) {
                const uint32_t g = m_job.type->syntax.Group(run.group).colour;
                colour = g == 0xFFFFFFFFu ? m_job.textColour : static_cast<COLORREF>(g);
            }
            colour = GetNearestColor(m_job.printerDC, colour);
        }
        SetTextColor(m_dc, colour);
        m_x = DrawSpan(m_job, m_dc, m_line.data, run.start, run.start + run.len, m_left, m_x, m_y,
                       m_clip, m_clip.right);
        return m_x < m_clip.right;
    }

private:
    const PrintJob& m_job;
    HDC m_dc;
    const FxLine& m_line;
    int m_left, m_x, m_y;
    RECT m_clip;
};

} // namespace

void PrintJobPage(PrintJob& job, HDC dc, CPrintInfo& info) {
    const int index =
        std::max(0, std::min(static_cast<int>(info.m_nCurPage) - 1, job.pageCount - 1));
    job.currentPage = index + 1;
    job.pageFirstLine = static_cast<int32_t>(int64_t(index) * job.linesPerPage);
    job.pageLastLine = std::min<int32_t>(job.pageFirstLine + job.linesPerPage, job.lineCount) - 1;

    const int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);

    // Header and footer.
    if (!IsEmptyTemplate(job.headerTemplate) || !IsEmptyTemplate(job.footerTemplate)) {
        SelectObject(dc, job.headerFooterFont ? job.headerFooterFont : job.textFont);
        SelectObject(job.printerDC, job.headerFooterFont ? job.headerFooterFont : job.textFont);
        SetTextColor(dc, job.headerFooterColour);
        TemplateValues v;
        v.page = job.currentPage;
        v.pages = job.pageCount;
        v.date = FormatDate(job.now);
        v.time = FormatTime(job.now);
        v.fileName = FileNameOf(job.docPath);
        v.fullPath = job.docPath;
        DrawBlock(job, dc, job.headerTemplate, job.headerRect, job.headerSep, true, v);
        DrawBlock(job, dc, job.footerTemplate, job.footerRect, job.footerSep, false, v);
    }

    // Body.
    SelectObject(dc, job.textFont);
    SelectObject(job.printerDC, job.textFont);
    const bool syntax = job.syntax && job.type && job.type->syntax.HasSyntax();
    if (syntax && job.pageLastLine >= 0)
        ComputeLineStates(job.type->syntax, job.lines.data(), job.pageLastLine, job.lineCount - 1,
                          job.lineCount, job.stateMark);
    std::vector<SyntaxRun> runs;
    for (int32_t i = job.pageFirstLine; i <= job.pageLastLine; ++i) {
        const FxLine& line = job.lines[static_cast<size_t>(i)];
        const int y = job.bodyRect.top + (i - job.pageFirstLine) * job.linePitch + job.halfSpacing;
        const RECT band = {job.bodyRect.left, y - job.halfSpacing, job.bodyRect.right,
                           y - job.halfSpacing + job.linePitch};
        if (job.lineNumbers && !line.IsContinued()) {
            char num[16];
            const int n = std::snprintf(num, sizeof num, "%d", line.logLine + 1);
            const RECT nr = {job.numberRect.left, band.top, job.numberRect.right, band.bottom};
            SetTextColor(dc, job.lineNumberColour);
            SetTextAlign(dc, TA_RIGHT | TA_TOP | TA_NOUPDATECP);
            ExtTextOutA(dc, job.numberRect.right, y, ETO_CLIPPED, &nr, num, n, nullptr);
            SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
        }
        if (!line.data || line.len <= 0)
            continue;
        if (syntax) {
            BandSink sink(job, dc, line, band.left, y, band);
            ScanPiece(job.type->syntax, line.data, line.len, line.flags & SYN_STATEMASK, sink);
        } else {
            SetTextColor(dc, job.textColour);
            DrawSpan(job, dc, line.data, 0, line.len, band.left, band.left, y, band, band.right);
        }
    }

    // The frame's guides in preview, drawn in the window's own pixels: a dotted line through a
    // scaled mapping costs many times more.
    if (info.m_bPreview && job.guidePen) {
        const RECT& p = job.pageRect;
        const RECT& f = job.frameRect;
        POINT pts[4] = {{p.left, p.top}, {p.right, p.bottom}, {f.left, f.top}, {f.right, f.bottom}};
        LPtoDP(dc, pts, 4);
        SetMapMode(dc, MM_TEXT);
        SetWindowOrgEx(dc, 0, 0, nullptr);
        SetViewportOrgEx(dc, 0, 0, nullptr);
        SelectObject(dc, job.guidePen);
        SetBkMode(dc, TRANSPARENT);
        const int xs[2] = {pts[2].x, pts[3].x}, ys[2] = {pts[2].y, pts[3].y};
        for (int y : ys) {
            MoveToEx(dc, pts[0].x, y, nullptr);
            LineTo(dc, pts[1].x, y);
        }
        for (int x : xs) {
            MoveToEx(dc, x, pts[0].y, nullptr);
            LineTo(dc, x, pts[1].y);
        }
    }
    RestoreDC(dc, saved);
}
