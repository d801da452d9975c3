// Benchmark of printing under Wine, the editor's main frame started in the benchmark's own
// process with the ~100 MB GBK document open and wrapped at the window edge:
// - beginning a print job (the printed line array built for the page width) beside wrapping
//   the same document at the window edge;
// - printing pages 1-20 to the PDF printer beside a minimal print of the same 20 pages' text
//   with one TextOut per line;
// - turning a page in print preview beside D, the same page's visible lines drawn into the
//   preview window with one TextOut each.
// Needs a printer (CUPS with cups-pdf, started by bench/run.sh); without one the printer
// figures are reported as skipped. Environment: QV_PRINT_BENCH_DIR (a folder for the
// document), QV_PRINT_BENCH_MB (its size, default 100), QV_PRINT_BENCH_PDF (the printer's
// output folder, waited on between jobs), QV_PRINT_BENCH_PREVIEW_ONLY=1 (only the preview's
// figure besides the job's beginning).
#include "BenchUtil.h"

#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/TextEditView.h"
#include "settings/SettingsStore.h"
#include "framework/Document.h"
#include "framework/FwIds.h"
#include "framework/PreviewView.h"
#include "framework/PrintInfo.h"
#include "print/PrintJob.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

CApp* g_app = nullptr;

void Settle() {
    g_app->PumpPendingMessages();
}

bool HavePrinter(std::string* name) {
    char buf[256] = "";
    DWORD size = sizeof buf;
    if (!GetDefaultPrinterA(buf, &size))
        return false;
    *name = buf;
    return true;
}

// PDFs in the printer's output folder (empty folder name: none are counted).
int CountPdfs(const std::string& dir, ULONGLONG* bytes) {
    *bytes = 0;
    if (dir.empty())
        return 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*.pdf").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int n = 0;
    do {
        ++n;
        *bytes += (ULONGLONG(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

// Waits, untimed, until the printer has turned the job into a PDF that stops growing, so that
// the conversion does not run beside the next measured job.
void WaitForPdf(const std::string& dir, int before) {
    if (dir.empty()) {
        Sleep(3000);
        return;
    }
    ULONGLONG last = 0, bytes = 0;
    int stable = 0;
    for (int i = 0; i < 600; ++i) {
        Sleep(100);
        if (CountPdfs(dir, &bytes) <= before)
            continue;
        stable = bytes == last ? stable + 1 : 0;
        last = bytes;
        if (stable >= 3)
            return;
    }
    std::printf("  (no PDF from the printer within a minute)\n");
}

void DeletePdfs(const std::string& dir) {
    if (dir.empty())
        return;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*.pdf").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do
        DeleteFileA((dir + "\\" + fd.cFileName).c_str());
    while (FindNextFileA(h, &fd));
    FindClose(h);
}

PrintJob* JobOf(CPrintInfo& info) {
    return static_cast<PrintJob*>(info.m_lpUserData);
}

// The editor's pages first..last through the view's printing virtuals, as the print loop
// calls them, from StartDoc to EndDoc.
double PrintPagesThroughView(CTextEditView& view, HDC dc, CPrintInfo& info, UINT first, UINT last) {
    DOCINFOA di = {};
    di.cbSize = sizeof di;
    di.lpszDocName = "print bench";
    const double t0 = NowSeconds();
    if (StartDocA(dc, &di) <= 0)
        return -1;
    for (info.m_nCurPage = first; info.m_nCurPage <= last; ++info.m_nCurPage) {
        view.OnPrepareDC(dc, &info);
        if (!info.m_bContinuePrinting)
            break;
        StartPage(dc);
        info.m_rectDraw = {0, 0, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
        const int saved = SaveDC(dc);
        view.OnPrint(dc, &info);
        RestoreDC(dc, saved);
        EndPage(dc);
    }
    EndDoc(dc);
    return NowSeconds() - t0;
}

// The baseline: the same pages' lines, one TextOut each, in the job's text font at the body's
// left edge, one line pitch apart.
double PrintPagesMinimal(const PrintJob& job, HDC dc, int first, int last) {
    DOCINFOA di = {};
    di.cbSize = sizeof di;
    di.lpszDocName = "print bench minimal";
    const double t0 = NowSeconds();
    if (StartDocA(dc, &di) <= 0)
        return -1;
    for (int page = first; page <= last; ++page) {
        StartPage(dc);
        HGDIOBJ old = SelectObject(dc, job.textFont);
        SetBkMode(dc, TRANSPARENT);
        const int32_t from = (page - 1) * job.linesPerPage;
        const int32_t to = std::min<int32_t>(from + job.linesPerPage, job.lineCount);
        int y = job.bodyRect.top;
        for (int32_t i = from; i < to; ++i, y += job.linePitch) {
            const FxLine& l = job.lines[static_cast<size_t>(i)];
            TextOutA(dc, job.bodyRect.left, y, l.data, l.len);
        }
        SelectObject(dc, old);
        EndPage(dc);
    }
    EndDoc(dc);
    return NowSeconds() - t0;
}

// The baseline D of the preview: the lines of the page shown in slot 0 drawn into the preview
// window with one TextOut each, mapped as the preview maps the printer's pixels.
double PreviewDirect(CPreviewView& p, const PrintJob& job) {
    const RECT page = p.PageRect(0);
    HDC printer = job.printerDC;
    int pw = GetDeviceCaps(printer, PHYSICALWIDTH), ph = GetDeviceCaps(printer, PHYSICALHEIGHT);
    if (pw <= 0 || ph <= 0) {
        pw = GetDeviceCaps(printer, HORZRES);
        ph = GetDeviceCaps(printer, VERTRES);
    }
    const double t0 = NowSeconds();
    HDC dc = GetDC(p.m_hWnd);
    const int saved = SaveDC(dc);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, pw, ph, nullptr);
    SetViewportExtEx(dc, page.right - page.left, page.bottom - page.top, nullptr);
    SetWindowOrgEx(dc, -GetDeviceCaps(printer, PHYSICALOFFSETX),
                   -GetDeviceCaps(printer, PHYSICALOFFSETY), nullptr);
    SetViewportOrgEx(dc, page.left, page.top, nullptr);
    SelectObject(dc, job.textFont);
    SetBkMode(dc, TRANSPARENT);
    const int32_t from = static_cast<int32_t>(p.CurrentPage() - 1) * job.linesPerPage;
    const int32_t to = std::min<int32_t>(from + job.linesPerPage, job.lineCount);
    int y = job.bodyRect.top;
    for (int32_t i = from; i < to; ++i, y += job.linePitch) {
        const FxLine& l = job.lines[static_cast<size_t>(i)];
        TextOutA(dc, job.bodyRect.left, y, l.data, l.len);
    }
    RestoreDC(dc, saved);
    ReleaseDC(p.m_hWnd, dc);
    GdiFlush();
    return NowSeconds() - t0;
}

// Page Down or Page Up to the preview, timed until the frame shows the result: the page, its
// scroll bar, the toolbar and the page text in the status bar.
double TurnPage(CPreviewView& p, UINT key) {
    const double t0 = NowSeconds();
    p.SendMessage(WM_KEYDOWN, key, 0);
    RedrawWindow(GetParent(p.m_hWnd), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    return NowSeconds() - t0;
}

void Skip(const char* name, const char* reason) {
    std::printf("%-44s skipped: %s\n", name, reason);
}

std::string Env(const char* name, const char* otherwise) {
    const char* value = std::getenv(name);
    return value && *value ? value : otherwise;
}

} // namespace

// The editor reads the command line as files to open: the benchmark takes its folder, size and
// the PDF printer's output folder from the environment instead.
int main() {
    const std::string dir = Env("QV_PRINT_BENCH_DIR", ".");
    const size_t megabytes =
        static_cast<size_t>(std::atoi(Env("QV_PRINT_BENCH_MB", "100").c_str()));
    const std::string pdfDir = Env("QV_PRINT_BENCH_PDF", "");

    std::string printer;
    const bool havePrinter = HavePrinter(&printer);
    const char* const noPrinter = "no printer (CUPS with cups-pdf is not running)";

    g_app = new CApp; // lives to the end of the process
    g_app->m_nCmdShow = SW_SHOWNORMAL;
    if (!g_app->InitInstance()) {
        std::printf("the editor did not start\n");
        return 1;
    }
    CAppMainFrame* frame = AppMainFrame();
    ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 1280, 900, SWP_NOZORDER);
    PrintSettings& ps = AppSettings()->Print();
    ps.marginUnit = 0;
    ps.marginLeft = ps.marginRight = ps.marginTop = ps.marginBottom = 1.0;
    ps.ignoreSyntaxColor = false;
    ps.customFont = false;
    Settle();

    const std::string big = dir + "\\print_big.txt";
    std::printf("generating %u MB of GBK text...\n", static_cast<unsigned>(megabytes));
    GenerateGbkText(big, megabytes << 20, 1);
    CDocument* doc = g_app->OpenDocumentFile(big.c_str());
    Settle();
    CTextEditView* view = doc ? DynamicDowncast<CTextEditView>(doc->GetFirstView()) : nullptr;
    if (!view) {
        std::printf("the document did not open\n");
        return 1;
    }
    // The document's frame fills the main frame's client area.
    if (CFrameWnd* child = view->GetParentFrame())
        child->ShowWindow(SW_SHOWMAXIMIZED);
    Settle();
    CFxEditDoc& edit = *view->GetEditDoc();
    std::printf("printer: %s\n\n", havePrinter ? printer.c_str() : "none");

    // --- Beginning a print job beside wrapping at the window edge ----------------------------
    std::vector<double> wraps;
    for (int i = 0; i < 3; ++i) {
        view->SetWrapMode(0, 0);
        const double t0 = NowSeconds();
        view->SetWrapMode(1, 0);
        wraps.push_back(NowSeconds() - t0);
    }
    const double wrap = Median(wraps);
    RECT client;
    ::GetClientRect(view->m_hWnd, &client);
    std::printf("%-44s %10.3f s    (baseline: view %ld px wide, %d records)\n",
                "wrap at the window edge", wrap, client.right, edit.RecordCount());
    Settle();

    if (!havePrinter) {
        Skip("begin printing (printed line array)", noPrinter);
        Skip("print pages 1-20 to the PDF printer", noPrinter);
        Skip("turn a page in print preview", noPrinter);
    } else {
        std::vector<double> begins;
        int32_t printed = 0;
        int pages = 0, bodyWidth = 0;
        for (int i = 0; i < 3; ++i) {
            CPrintInfo info;
            info.m_bDirect = true;
            if (!view->OnPreparePrinting(&info) || !info.m_pPD->m_pd.hDC) {
                std::printf("the printer gave no device context\n");
                return 1;
            }
            HDC dc = info.m_pPD->m_pd.hDC;
            info.m_pPD->m_pd.hDC = nullptr;
            const double t0 = NowSeconds();
            view->OnBeginPrinting(dc, &info);
            begins.push_back(NowSeconds() - t0);
            if (PrintJob* job = JobOf(info)) {
                printed = job->lineCount;
                pages = job->pageCount;
                bodyWidth = job->bodyRect.right - job->bodyRect.left;
            }
            view->OnEndPrinting(dc, &info);
            DeleteDC(dc);
            Settle();
        }
        PrintFigure("begin printing (printed line array)", Median(begins), "s", wrap, 2.0);
        std::printf("  (body %d printer px wide: %d printed lines, %d pages)\n", bodyWidth, printed,
                    pages);

        // --- Pages 1-20 to the PDF printer beside a minimal print of their text -------------
        if (Env("QV_PRINT_BENCH_PREVIEW_ONLY", "")[0] != '1') {
            CPrintInfo info;
            info.m_bDirect = true;
            view->OnPreparePrinting(&info);
            HDC dc = info.m_pPD->m_pd.hDC;
            info.m_pPD->m_pd.hDC = nullptr;
            view->OnBeginPrinting(dc, &info);
            PrintJob* job = JobOf(info);
            const int last = job ? std::min(20, job->pageCount) : 0;
            std::vector<double> ours, minimal;
            ULONGLONG bytes = 0;
            DeletePdfs(pdfDir);
            for (int round = 0; job && round < 4; ++round) {
                int before = CountPdfs(pdfDir, &bytes);
                const double o = PrintPagesThroughView(*view, dc, info, 1, static_cast<UINT>(last));
                WaitForPdf(pdfDir, before);
                before = CountPdfs(pdfDir, &bytes);
                const double m = PrintPagesMinimal(*job, dc, 1, last);
                WaitForPdf(pdfDir, before);
                if (round > 0) { // the first round warms fonts and the spooler
                    ours.push_back(o);
                    minimal.push_back(m);
                }
                DeletePdfs(pdfDir);
            }
            view->OnEndPrinting(dc, &info);
            DeleteDC(dc);
            Settle();
            if (ours.empty() || Median(ours) < 0 || Median(minimal) < 0) {
                Skip("print pages 1-20 to the PDF printer", "StartDoc failed");
            } else {
                std::printf("%-44s %10.3f s    (baseline: one TextOut per line, StartDoc to "
                            "EndDoc)\n",
                            "minimal print of the same 20 pages", Median(minimal));
                PrintFigure("print pages 1-20 to the PDF printer", Median(ours), "s",
                            Median(minimal), 2.0);
            }
        }

        // --- Turning a page in print preview beside D ---------------------------------------
        view->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
        Settle();
        CPreviewView* p = CPreviewView::Active();
        PrintJob* job = p ? static_cast<PrintJob*>(p->Info()->m_lpUserData) : nullptr;
        if (!p || !job) {
            Skip("turn a page in print preview", "the preview did not start");
        } else {
            p->SetCurrentPage(10);
            UpdateWindow(p->m_hWnd);
            std::vector<double> turns, direct;
            for (int i = 0; i < 5; ++i) { // warm-up
                TurnPage(*p, VK_NEXT);
                TurnPage(*p, VK_PRIOR);
                PreviewDirect(*p, *job);
            }
            for (int i = 0; i < 21; ++i) {
                turns.push_back(TurnPage(*p, VK_NEXT));
                direct.push_back(PreviewDirect(*p, *job));
                turns.push_back(TurnPage(*p, VK_PRIOR));
                direct.push_back(PreviewDirect(*p, *job));
            }
            // Context: what a turn shows besides the page, each timed alone: the scroll bar's
            // thumb moved and the page text in the status bar.
            std::vector<double> thumb, status;
            for (int i = 0; i < 21; ++i) {
                SCROLLINFO si = {};
                si.cbSize = sizeof si;
                si.fMask = SIF_POS;
                si.nPos = static_cast<int>(p->CurrentPage()) + (i % 2 ? 1 : -1);
                double t0 = NowSeconds();
                SetScrollInfo(p->m_hWnd, SB_VERT, &si, TRUE);
                GdiFlush();
                thumb.push_back(NowSeconds() - t0);
                t0 = NowSeconds();
                frame->SetMessageText(i % 2 ? "page 10" : "page 11");
                RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
                GdiFlush();
                status.push_back(NowSeconds() - t0);
            }
            std::printf("%-44s %10.3f ms\n", "(the scroll bar's thumb moved alone)",
                        Median(thumb) * 1e3);
            std::printf("%-44s %10.3f ms\n", "(a status bar text shown alone)",
                        Median(status) * 1e3);
            p->SetCurrentPage(p->CurrentPage()); // the preview's own status text back
            // Context: the same page painted again, without turning.
            std::vector<double> repaints;
            for (int i = 0; i < 21; ++i) {
                const double t0 = NowSeconds();
                InvalidateRect(p->m_hWnd, nullptr, FALSE);
                UpdateWindow(p->m_hWnd);
                GdiFlush();
                repaints.push_back(NowSeconds() - t0);
            }
            std::printf("%-44s %10.3f ms\n", "(repaint of the preview without turning)",
                        Median(repaints) * 1e3);
            const RECT r = p->PageRect(0);
            std::printf("%-44s %10.3f ms   (baseline D: %d lines of the page, one TextOut "
                        "each, page %ld x %ld px)\n",
                        "D, the page's lines drawn directly", Median(direct) * 1e3,
                        job->linesPerPage, r.right - r.left, r.bottom - r.top);
            PrintFigure("turn a page in print preview", Median(turns) * 1e3, "ms",
                        Median(direct) * 1e3, 3.0);
            p->Close();
            Settle();
        }
    }

    g_app->m_bPostQuitOnMainWndDestroy = false;
    g_app->CloseAllDocuments(false);
    frame->DestroyWindow();
    g_app->m_pMainWnd = nullptr;
    Settle();
    g_app->ExitInstance();
    DeleteFileA(big.c_str());
    return 0;
}
