// The view's print run: printer defaults (the print dialog only when they are missing), the
// device context, begin-printing, the pages with the abort window, copies made here, print to
// file, and the end. Layer: framework/.
#include "framework/View.h"

#include "common/LeadBytes.h"
#include "framework/CommandLineInfo.h"
#include "framework/Document.h"
#include "framework/FileDialog.h"
#include "framework/FwPrintIds.h"
#include "framework/FrameWnd.h"
#include "framework/MessageBox.h"
#include "framework/PreviewView.h"
#include "framework/PrintAbortWnd.h"
#include "framework/PrintInfo.h"
#include "framework/Printer.h"
#include "framework/ResourceText.h"
#include "framework/WinApp.h"

#include <algorithm>

namespace {

// At most `limit` bytes of text, never ending inside a double-byte character.
std::string CutTitle(const std::string& text, size_t limit) {
    return text.substr(0, FxCutLength(text.data(), text.size(), limit));
}

} // namespace

bool CView::OnPreparePrinting(CPrintInfo* info) {
    return DoPreparePrinting(info);
}

void CView::OnBeginPrinting(HDC, CPrintInfo*) {}

void CView::OnPrepareDC(HDC, CPrintInfo* info) {
    // Without a page count of its own a view prints one page.
    if (info && !info->m_bPreview && info->GetMaxPage() == 0xFFFF && info->m_nCurPage > 1)
        info->m_bContinuePrinting = false;
}

void CView::OnPrint(HDC dc, CPrintInfo*) {
    OnDraw(dc);
}

void CView::OnEndPrinting(HDC, CPrintInfo*) {}

void CView::OnEndPrintPreview(HDC, CPrintInfo*, POINT, CPreviewView*) {}

bool CView::DoPrintPreview(CPreviewView* preview) {
    CFrameWnd* frame = DynamicDowncast<CFrameWnd>(AfxGetMainWnd());
    if (!preview || !frame)
        return false;
    return preview->Start(frame, this);
}

bool CView::DoPreparePrinting(CPrintInfo* info) {
    CPrintDialog& pd = *info->m_pPD;
    CWinApp* app = AfxGetApp();
    const CCommandLineInfo* cmd = app ? app->m_pCmdInfo : nullptr;
    if (cmd && cmd->m_nShellCommand == CCommandLineInfo::FilePrintTo) {
        // A named printer: this run only, the program's current printer stays.
        pd.m_pd.hDC =
            CreateDCA(cmd->m_strDriverName.c_str(), cmd->m_strPrinterName.c_str(),
                      cmd->m_strPortName.empty() ? nullptr : cmd->m_strPortName.c_str(), nullptr);
        if (!pd.m_pd.hDC) // a printer name that names none: said, not passed over in silence
            AfxMessageBox(AFX_IDP_NO_PRINTER, MB_OK | MB_ICONSTOP);
        return pd.m_pd.hDC != nullptr;
    }
    if (CPrinter::GetDefaults(pd.m_pd)) {
        if (!info->m_bPreview) {
            // Copies are made by the print loop; the device prints each page once.
            DEVMODEA* mode =
                static_cast<DEVMODEA*>(pd.m_pd.hDevMode ? GlobalLock(pd.m_pd.hDevMode) : nullptr);
            if (mode) {
                mode->dmCopies = 1;
                mode->dmCollate = DMCOLLATE_FALSE;
                GlobalUnlock(pd.m_pd.hDevMode);
            }
        }
        pd.m_pd.hDC = pd.CreatePrinterDC();
        if (pd.m_pd.hDC)
            return true;
    }
    if (info->m_bDirect || info->m_bPreview) {
        AfxMessageBox(AFX_IDP_NO_PRINTER, MB_OK | MB_ICONSTOP);
        return false;
    }
    // No usable defaults: let the user choose.
    pd.m_pd.Flags |= PD_RETURNDC;
    pd.m_pd.Flags &= ~PD_RETURNDEFAULT;
    if (pd.DoModal() != IDOK || !pd.m_pd.hDC)
        return false;
    info->m_nCopies = std::max(1, pd.GetCopies());
    info->m_bCollate = pd.PrintCollate();
    return true;
}

void CView::OnFilePrint() {
    RunPrint(false);
}

void CView::OnFilePrintDirect() {
    RunPrint(true);
}

void CView::RunPrint(bool direct) {
    CPrintInfo info;
    info.m_bDirect = direct;
    ++m_printing;
    struct Leave {
        int& n;
        ~Leave() { --n; }
    } leave{m_printing};
    if (!OnPreparePrinting(&info)) {
        if (info.m_pPD->m_pd.hDC)
            DeleteDC(info.m_pPD->m_pd.hDC);
        info.m_pPD->m_pd.hDC = nullptr;
        return;
    }
    HDC dc = info.m_pPD->m_pd.hDC;
    info.m_pPD->m_pd.hDC = nullptr;
    if (!dc) {
        AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT, MB_OK | MB_ICONSTOP);
        return;
    }
    if (info.m_pPD->PrintToFile() && info.m_strOutputFile.empty()) {
        const std::string filter = AfxLoadStringOr(AFX_IDS_PRINTFILTER, "*.prn|*.prn||");
        CFileDialog fd(false, "prn", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       filter.c_str(), this);
        const std::string caption = AfxLoadStringOr(AFX_IDS_PRINTTOFILE, "");
        if (!caption.empty())
            fd.m_ofn.lpstrTitle = caption.c_str();
        if (fd.DoModal() != IDOK) {
            DeleteDC(dc);
            return;
        }
        info.m_strOutputFile = fd.GetPathName();
    }
    PrintPages(dc, info);
    DeleteDC(dc);
}

void CView::PrintPages(HDC dc, CPrintInfo& info) {
    info.m_bPreview = false;
    info.m_bContinuePrinting = true;
    OnBeginPrinting(dc, &info);

    const std::string title = CutTitle(m_pDocument ? m_pDocument->GetTitle() : std::string(), 31);
    DOCINFOA di = {};
    di.cbSize = sizeof di;
    di.lpszDocName = title.c_str();
    di.lpszOutput = info.m_strOutputFile.empty() ? nullptr : info.m_strOutputFile.c_str();

    std::string printer = info.m_pPD->GetDeviceName();
    if (printer.empty()) {
        char name[256] = "";
        DWORD size = sizeof name;
        if (GetDefaultPrinterA(name, &size))
            printer = name;
    }
    CWnd* main = AfxGetMainWnd();
    HWND owner = main ? main->m_hWnd : nullptr;
    // Nothing of the program takes input while pages are spooled: the document must stay as
    // it was laid out.
    const bool wasEnabled = owner && ::IsWindowEnabled(owner);
    if (wasEnabled)
        ::EnableWindow(owner, FALSE);
    bool failed = false;
    {
        CPrintAbortWnd abortWnd(owner, dc, title, printer);
        if (StartDocA(dc, &di) <= 0) {
            failed = true;
        } else {
            const UINT from = info.GetFromPage(), to = info.GetToPage();
            const int copies = std::max(1, info.m_nCopies);
            // Collated: the whole range once per copy; otherwise each page `copies` times.
            const int outer = info.m_bCollate ? copies : 1, inner = info.m_bCollate ? 1 : copies;
            for (int c = 0; c < outer && !failed && !abortWnd.IsCancelled(); ++c) {
                info.m_bContinuePrinting = true;
                for (info.m_nCurPage = from; info.m_nCurPage <= to; ++info.m_nCurPage) {
                    OnPrepareDC(dc, &info);
                    if (!info.m_bContinuePrinting || info.m_nCurPage > to)
                        break;
                    abortWnd.SetPage(info.m_nCurPage);
                    for (int k = 0; k < inner; ++k) {
                        if (StartPage(dc) <= 0) {
                            failed = true;
                            break;
                        }
                        info.m_rectDraw = {0, 0, GetDeviceCaps(dc, HORZRES),
                                           GetDeviceCaps(dc, VERTRES)};
                        const int saved = SaveDC(dc);
                        OnPrint(dc, &info);
                        RestoreDC(dc, saved);
                        if (EndPage(dc) <= 0) {
                            failed = true;
                            break;
                        }
                        if (abortWnd.Pump())
                            break;
                    }
                    if (failed || abortWnd.IsCancelled())
                        break;
                }
            }
            if (failed || abortWnd.IsCancelled())
                AbortDoc(dc);
            else
                EndDoc(dc);
        }
        if (wasEnabled)
            ::EnableWindow(owner, TRUE);
    }
    OnEndPrinting(dc, &info);
    if (failed)
        AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT, MB_OK | MB_ICONSTOP);
}
