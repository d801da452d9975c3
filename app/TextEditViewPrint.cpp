// CTextEditView: printing and print preview, the print settings it gives a job (the quick
// dialog's one-time values or the stored ones) and the print commands. Layer: app/.
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/CommandIds.h"
#include "app/TextEditDoc.h"
#include "app/TextEditView.h"
#include "settings/SettingsStore.h"
#include "framework/FwPrintIds.h"
#include "framework/MessageBox.h"
#include "framework/Document.h"
#include "framework/PreviewView.h"
#include "framework/PrintInfo.h"
#include "framework/ResourceText.h"
#include "print/AppPreview.h"
#include "print/EditPrinting.h"
#include "print/QuickPrintDialog.h"
#include "textview/FileTypeInfo.h"

#include <cmath>
#include <cstdio>

namespace {

PrintJob* JobOf(CPrintInfo* info) {
    return info ? static_cast<PrintJob*>(info->m_lpUserData) : nullptr;
}

bool IsColourPrinter(HDC dc) {
    if (!dc)
        return false;
    const int colours = GetDeviceCaps(dc, NUMCOLORS);
    return GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) > 1 || colours < 0 ||
           colours > 2;
}

} // namespace

void CTextEditView::SetOneTimePrintSettings(const QuickPrintSettings& settings) {
    m_oneTimePrint.reset(new QuickPrintSettings(settings));
}

bool CTextEditView::OnPreparePrinting(CPrintInfo* info) {
    info->SetMinPage(1);
    info->SetMaxPage(0xFFFF);
    info->SetFromPage(1);
    info->SetToPage(0xFFFF);
    if (!DoPreparePrinting(info))
        return false;
    if (!info->m_bPreview) {
        info->m_nCopies = 1;
        info->m_bCollate = false;
        if (m_oneTimePrint) {
            info->m_nCopies = std::max(1, m_oneTimePrint->copies);
            info->m_bCollate = m_oneTimePrint->collate;
            if (m_oneTimePrint->printToFile)
                info->m_pPD->m_pd.Flags |= PD_PRINTTOFILE;
        }
    }
    info->m_strPageDesc = AfxLoadString(AFX_IDS_PREVIEWPAGEDESC);
    return true;
}

void CTextEditView::OnBeginPrinting(HDC dc, CPrintInfo* info) {
    PrintJob* job = CreatePrintJob(*this, dc, info->m_bPreview);
    info->m_lpUserData = job;
    try {
        ApplyPrintSettings(*job);
        LayoutPrintJob(*job, *this, *info);
        info->m_pPD->m_pd.Flags |= PD_PAGENUMS;
    } catch (...) {
        ReportException();
        info->m_bContinuePrinting = false;
        info->SetMaxPage(0);
    }
}

void CTextEditView::OnPrepareDC(HDC dc, CPrintInfo* info) {
    if (PrintJob* job = JobOf(info))
        PreparePrintPage(*job, *info);
    else
        CFxEditView::OnPrepareDC(dc, info);
}

void CTextEditView::OnPrint(HDC dc, CPrintInfo* info) {
    PrintJob* job = JobOf(info);
    if (!job)
        return;
    try {
        PrintJobPage(*job, dc, *info);
    } catch (...) {
        // The page stays as drawn so far.
        ReportException();
    }
}

void CTextEditView::OnEndPrinting(HDC, CPrintInfo* info) {
    delete JobOf(info);
    info->m_lpUserData = nullptr;
    if (!info->m_bPreview)
        m_oneTimePrint.reset();
}

bool CTextEditView::ApplyPrintSettings(PrintJob& job) {
    SettingsStore* store = AppSettings();
    PrintSettings defaults;
    const PrintSettings& ps = store ? store->Print() : defaults;
    const QuickPrintSettings* once = job.preview ? nullptr : m_oneTimePrint.get();
    if (once) {
        job.oddEven = once->oddEven;
        job.firstPage = once->fromPage;
        job.lastPage = once->toPage;
    }
    const int unit = once ? once->marginUnit : ps.marginUnit;
    const double sx = unit == 1 ? job.perCmX : job.perInchX;
    const double sy = unit == 1 ? job.perCmY : job.perInchY;
    const double left = once ? once->marginLeft : ps.marginLeft;
    const double top = once ? once->marginTop : ps.marginTop;
    const double right = once ? once->marginRight : ps.marginRight;
    const double bottom = once ? once->marginBottom : ps.marginBottom;
    job.marginRect = {static_cast<LONG>(left * sx), static_cast<LONG>(top * sy),
                      static_cast<LONG>(right * sx), static_cast<LONG>(bottom * sy)};
    job.headerSpacing = static_cast<int>(ps.spacingHeader * sy);
    job.footerSpacing = static_cast<int>(ps.spacingFooter * sy);

    const bool black = ps.ignoreSyntaxColor || !IsColourPrinter(job.printerDC);
    job.monochrome = black;
    if (black) {
        job.textColour = job.lineNumberColour = job.headerFooterColour = job.guideColour = 0;
    } else {
        HDC dc = job.printerDC;
        job.textColour = GetNearestColor(dc, job.type->colors[TextFore]);
        job.lineNumberColour = GetNearestColor(dc, job.type->colors[LineNumberFore]);
        job.headerFooterColour = ps.customFont ? GetNearestColor(dc, ps.color) : job.textColour;
        job.guideColour = GetNearestColor(dc, RGB(128, 128, 128));
    }

    job.headerTemplate = once ? once->header : ps.header;
    job.footerTemplate = once ? once->footer : ps.footer;
    job.headerSep = ps.headerSep;
    job.footerSep = ps.footerSep;
    if (ps.customFont && (!job.headerTemplate.empty() || !job.footerTemplate.empty()) &&
        ps.font.lfFaceName[0])
        job.headerFooterFont = ScaleFont(ps.font, job.factorY);
    if (job.headerSep || job.footerSep)
        job.separatorPen =
            CreatePen(PS_SOLID, std::max(1, static_cast<int>(std::lround(job.factorX))),
                      job.headerFooterColour);
    if (job.preview)
        job.guidePen = CreatePen(PS_DOT, 1, job.guideColour);
    if (ps.ignoreSyntaxColor)
        job.syntax = false;
    return true;
}

void CTextEditView::OnFileQuickPrint() {
    QuickPrintSettings initial;
    if (SettingsStore* store = AppSettings()) {
        const PrintSettings& ps = store->Print();
        initial.marginLeft = ps.marginLeft;
        initial.marginTop = ps.marginTop;
        initial.marginRight = ps.marginRight;
        initial.marginBottom = ps.marginBottom;
        initial.marginUnit = ps.marginUnit;
        initial.header = ps.header;
        initial.footer = ps.footer;
    }
    CQuickPrintDialog dlg(initial, this);
    if (dlg.DoModal() != IDOK)
        return;
    SetOneTimePrintSettings(dlg.Settings());
    RunPrint(false);
    m_oneTimePrint.reset();
    FlushHeldPastes();
}

void CTextEditView::OnFilePrintDirect() {
    RunPrint(true);
    FlushHeldPastes();
}

bool CTextEditView::ReleaseFromPrinting(CDocument* doc) {
    return CPreviewView::ReleaseDocument(doc);
}

void CTextEditView::FlushHeldPastes() {
    std::vector<std::string> held;
    held.swap(m_heldPastes);
    for (const std::string& text : held)
        AppendAutoPaste(text);
}

void CTextEditView::OnFilePrintPreview() {
    // Preview takes the whole frame: full screen is left first.
    if (CAppMainFrame* frame = AppMainFrame())
        if (frame->IsFullScreen())
            frame->SetFullScreen(false);
    CAppPreview* preview = new CAppPreview;
    if (!DoPrintPreview(preview))
        delete preview;
}
