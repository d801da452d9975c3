// A print job's defaults and its page layout: measurements, rectangles and the printed line
// array. Layer: print/.
#include "print/EditPrinting.h"

#include "framework/Document.h"
#include "framework/PrintInfo.h"
#include "print/PrintTemplate.h"
#include "textview/FileTypeInfo.h"
#include "textview/FxEditView.h"
#include "textview/ViewFontMetrics.h"

#include <algorithm>
#include <cmath>

namespace {

int CountDigits(int32_t n) {
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}

// The document's name for "&f" and "&F": its path, or its title when it has none, without
// trailing spaces and asterisks (the modified mark).
std::string DocumentName(const CDocument* doc) {
    if (!doc)
        return std::string();
    std::string name = doc->GetPathName().empty() ? doc->GetTitle() : doc->GetPathName();
    while (!name.empty() && (name.back() == ' ' || name.back() == '*'))
        name.pop_back();
    return name;
}

int TemplateLineCount(const std::string& tmpl) {
    return static_cast<int>(TemplateLines(tmpl).size());
}

} // namespace

HFONT ScaleFont(const LOGFONTA& src, double factorY) {
    LOGFONTA lf = src;
    lf.lfHeight = static_cast<LONG>(std::lround(lf.lfHeight * factorY));
    lf.lfWidth = 0;
    return CreateFontIndirectA(&lf);
}

HFONT ScaleFont(HFONT font, double factorY) {
    LOGFONTA lf = {};
    if (!font || !GetObjectA(font, sizeof lf, &lf)) {
        font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
        GetObjectA(font, sizeof lf, &lf);
    }
    if (lf.lfHeight == 0) {
        // A default-sized font: the cell height it gets on the screen.
        HDC screen = GetDC(nullptr);
        HGDIOBJ old = SelectObject(screen, font);
        TEXTMETRICA tm = {};
        if (GetTextMetricsA(screen, &tm))
            lf.lfHeight = tm.tmHeight;
        SelectObject(screen, old);
        ReleaseDC(nullptr, screen);
    }
    return ScaleFont(lf, factorY);
}

PrintJob* CreatePrintJob(CFxEditView& view, HDC printerDC, bool preview) {
    PrintJob* job = new PrintJob;
    job->preview = preview;
    job->printerDC = printerDC;
    job->screenDC = GetDC(nullptr);
    CFxEditDoc* doc = view.GetEditDoc();
    job->type = &view.FileType();
    job->syntax = job->type->hasSyntax && job->type->syntax.HasSyntax();
    job->lineNumbers = doc && doc->m_showLineNumbers;
    job->wrapMode = doc ? doc->WrapMode() : 0;
    job->wrapColumn = doc ? doc->WrapColumn() : 0;
    const int tab = job->type->tabSize;
    job->tabSize = tab < 1 || tab > 64 ? 8 : tab;
    const int sx = GetDeviceCaps(job->screenDC, LOGPIXELSX),
              sy = GetDeviceCaps(job->screenDC, LOGPIXELSY);
    job->perInchX = GetDeviceCaps(printerDC, LOGPIXELSX);
    job->perInchY = GetDeviceCaps(printerDC, LOGPIXELSY);
    job->perCmX = job->perInchX / 2.54;
    job->perCmY = job->perInchY / 2.54;
    job->factorX = sx > 0 ? job->perInchX / sx : 1;
    job->factorY = sy > 0 ? job->perInchY / sy : 1;
    job->headerSpacing = static_cast<int>(20 * job->factorY);
    job->footerSpacing = static_cast<int>(10 * job->factorY);
    GetLocalTime(&job->now);
    job->pageRect = {0, 0, GetDeviceCaps(printerDC, HORZRES), GetDeviceCaps(printerDC, VERTRES)};
    job->docName = DocumentName(view.GetDocument());
    job->docPath = job->docName;
    ViewFontMetrics& fm = ViewFontMetrics::Shared();
    job->displayFont = fm.Font();
    job->textFont = ScaleFont(job->displayFont, job->factorY);
    return job;
}

void LayoutPrintJob(PrintJob& job, CFxEditView& view, CPrintInfo& info) {
    HDC dc = job.printerDC;
    CFxEditDoc* doc = view.GetEditDoc();
    ViewFontMetrics& fm = ViewFontMetrics::Shared();

    // 1. Measure the text font on the printer.
    const int saved = SaveDC(dc);
    SelectObject(dc, job.textFont);
    SetMapMode(dc, MM_TEXT);
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    SIZE size;
    job.digitWidth = 1;
    for (char c = '0'; c <= '9'; ++c)
        if (GetTextExtentPoint32A(dc, &c, 1, &size))
            job.digitWidth = std::max<int>(job.digitWidth, size.cx);
    job.spaceWidth = GetTextExtentPoint32A(dc, " ", 1, &size) ? std::max<int>(1, size.cx) : 1;
    job.tabGlyphWidth = GetTextExtentPoint32A(dc, "\t", 1, &size) ? size.cx : 0;
    job.dbcsWidth = std::max<int>(tm.tmMaxCharWidth, 2 * tm.tmAveCharWidth);
    job.textHeight = std::max<int>(1, tm.tmHeight);
    job.halfSpacing = static_cast<int>(fm.lineSpacing * job.factorY / 2);
    job.linePitch = job.textHeight + static_cast<int>(fm.lineSpacing * job.factorY);
    job.widths.Build(dc);
    job.headerFooterLineHeight = job.textHeight;
    if (job.headerFooterFont) {
        SelectObject(dc, job.headerFooterFont);
        TEXTMETRICA hm = {};
        GetTextMetricsA(dc, &hm);
        job.headerFooterLineHeight = std::max<int>(1, hm.tmHeight);
    }
    RestoreDC(dc, saved);

    // 2. Line numbers.
    int numberWidth = 0;
    job.numberGap = 0;
    if (job.lineNumbers && doc) {
        numberWidth = CountDigits(std::max<int32_t>(1, doc->LogicalLineCount())) * job.digitWidth;
        job.numberGap = static_cast<int>(view.Layout().margin * job.factorX);
    }

    // 3. The frame: the sheet less the margins (at least the unprintable border), in device
    // coordinates whose origin is the printable area's corner.
    const int physW = GetDeviceCaps(dc, PHYSICALWIDTH), physH = GetDeviceCaps(dc, PHYSICALHEIGHT);
    const int offX = GetDeviceCaps(dc, PHYSICALOFFSETX), offY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    const int sheetW = physW > 0 ? physW : job.pageRect.right;
    const int sheetH = physH > 0 ? physH : job.pageRect.bottom;
    const int offR = std::max<int>(0, sheetW - job.pageRect.right - offX);
    const int offB = std::max<int>(0, sheetH - job.pageRect.bottom - offY);
    RECT& m = job.marginRect;
    m.left = std::max<LONG>(m.left, offX);
    m.top = std::max<LONG>(m.top, offY);
    m.right = std::max<LONG>(m.right, offR);
    m.bottom = std::max<LONG>(m.bottom, offB);
    RECT f = {m.left - offX, m.top - offY, sheetW - m.right - offX, sheetH - m.bottom - offY};
    f.left = std::max(f.left, job.pageRect.left);
    f.top = std::max(f.top, job.pageRect.top);
    f.right = std::min(f.right, job.pageRect.right);
    f.bottom = std::min(f.bottom, job.pageRect.bottom);
    // Margins that leave no room keep one column and one line anyway, from the left and top.
    const int minWidth = numberWidth + job.numberGap + job.dbcsWidth;
    if (f.right - f.left < minWidth)
        f.right = f.left + minWidth;
    job.frameRect = f;

    // 4. Header and footer blocks.
    job.separatorAllowance = std::max(1, static_cast<int>(std::lround(4 * job.factorY)));
    const int headerLines = TemplateLineCount(job.headerTemplate);
    const int footerLines = TemplateLineCount(job.footerTemplate);
    const int headerBlock = headerLines ? headerLines * job.headerFooterLineHeight +
                                              (job.headerSep ? job.separatorAllowance : 0)
                                        : 0;
    const int footerBlock = footerLines ? footerLines * job.headerFooterLineHeight +
                                              (job.footerSep ? job.separatorAllowance : 0)
                                        : 0;
    const int headerGap = headerLines ? job.headerSpacing : 0;
    const int footerGap = footerLines ? job.footerSpacing : 0;

    // 5. Rectangles.
    job.headerRect = {f.left, f.top, f.right, f.top + headerBlock};
    job.footerRect = {f.left, f.bottom - footerBlock, f.right, f.bottom};
    int top = f.top + headerBlock + headerGap, bottom = f.bottom - footerBlock - footerGap;
    if (bottom - top < job.linePitch)
        bottom = top + job.linePitch;
    job.numberRect = {f.left, top, f.left + numberWidth, bottom};
    job.bodyRect = {job.numberRect.right + job.numberGap, top, f.right, bottom};
    job.linesPerPage = std::max(1, (bottom - top) / job.linePitch);

    // 6. The printed line array.
    job.lines.clear();
    job.stateMark = -1;
    if (doc && doc->RecordCount() > 0) {
        WrapContext ctx;
        const int savedMeasure = SaveDC(dc);
        SelectObject(dc, job.textFont);
        ctx.measure.dc = dc;
        ctx.measure.spaceWidth = job.spaceWidth;
        ctx.measure.tabGlyphWidth = job.tabGlyphWidth;
        ctx.measure.dbcsWidth = job.dbcsWidth;
        ctx.measure.tabSize = job.tabSize;
        ctx.measure.widths = job.widths.Usable() ? &job.widths : nullptr;
        ctx.wrapWidth = job.wrapMode == 1 ? std::max<int>(1, job.bodyRect.right - job.bodyRect.left)
                                          : std::max(1, job.wrapColumn);
        const int32_t records = doc->RecordCount();
        const int32_t logicalLines = doc->LogicalLineCount();
        job.lines.reserve(static_cast<size_t>(records) + records / 8 + 16);
        const bool progress = job.wrapMode != 0 && doc->DocumentSize() > 65535;
        int32_t logical = 0, nextReport = 0;
        int percent = -1;
        for (int32_t h = 0; h < records;) {
            int32_t next = h + 1;
            while (next < records && doc->Record(next).IsContinued())
                ++next;
            FxLine line = doc->Record(h);
            line.flags = (line.flags & ~(FXL_CONTINUED | FXL_LINEEND | SYN_STATEMASK)) |
                         (doc->Record(next - 1).flags & FXL_LINEEND);
            line.len = line.lineLen;
            line.dispCol = 0;
            line.logLine = logical++;
            line.selStart = line.selEnd = -1;
            if (job.wrapMode == 0 || line.lineLen == 0 || !line.data)
                job.lines.push_back(line);
            else if (job.wrapMode == 1)
                SplitByWidth(ctx, line, job.lines);
            else
                SplitByColumns(ctx, line, job.lines);
            if (progress && logical >= nextReport) {
                const int p = static_cast<int>(int64_t(logical) * 100 / std::max(1, logicalLines));
                if (p != percent && p < 100)
                    doc->OnDocEvent(FxEvWrapProgress, p);
                percent = p;
                nextReport = static_cast<int32_t>((int64_t(p + 1) * logicalLines + 99) / 100);
            }
            h = next;
        }
        if (progress)
            doc->OnDocEvent(FxEvWrapProgress, 100);
        RestoreDC(dc, savedMeasure);
    }
    job.lineCount = static_cast<int32_t>(job.lines.size());

    // 7. Pages and the requested range.
    job.pageCount = std::max<int>(
        1, static_cast<int>((int64_t(job.lineCount) + job.linesPerPage - 1) / job.linesPerPage));
    // Page numbers of the print dialog and the range are 16-bit: a longer document is printed
    // and previewed up to page 65535, never to its page count cut to 16 bits.
    const int limit = std::min(job.pageCount, 0xFFFF);
    int first = std::clamp(job.firstPage, 1, limit);
    int last = std::clamp(job.lastPage, 1, limit);
    if (first > last)
        std::swap(first, last);
    job.firstPage = first;
    job.lastPage = last;
    info.SetMinPage(first);
    info.SetMaxPage(last);
    info.SetFromPage(first);
    info.SetToPage(last);
}

void PreparePrintPage(PrintJob& job, CPrintInfo& info) {
    if (info.m_bPreview)
        return;
    if (job.oddEven == 1 && info.m_nCurPage % 2 == 0)
        ++info.m_nCurPage;
    else if (job.oddEven == 2 && info.m_nCurPage % 2 == 1)
        ++info.m_nCurPage;
    if (static_cast<int>(info.m_nCurPage) > job.lastPage)
        info.m_bContinuePrinting = false;
}
