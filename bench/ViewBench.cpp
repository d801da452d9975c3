// Benchmark of the editor view under Wine and Xvfb: a full repaint and a one-line scroll of a
// 1600 x 1000 view of syntax-coloured C against the baseline D (the same visible lines drawn
// with one ExtTextOut each straight into the window), wrapping the ~100 MB GBK document at 80
// columns and at the window edge against the split baseline B, and typing in the wrapped
// 100 MB document against the same in a 1 MB one.
#include "BenchUtil.h"

#include "framework/CreateContext.h"
#include "framework/FrameWnd.h"
#include "framework/OleInit.h"
#include "framework/WinApp.h"
#include "textdoc/Dbcs.h"
#include "textdoc/FileIO.h"
#include "textview/FileTypeInfo.h"
#include "textview/FxEditHostDoc.h"
#include "textview/FxEditView.h"
#include "textview/ViewFontMetrics.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class BenchApp : public CWinApp {
public:
    BenchApp() { m_bPostQuitOnMainWndDestroy = false; }
};

BenchApp& App() {
    static BenchApp* app = new BenchApp; // lives to the end of the process
    return *app;
}

void Pump() {
    App().PumpPendingMessages();
}

HFONT DisplayFont() {
    static HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                                    FIXED_PITCH | FF_MODERN, "WenQuanYi Micro Hei Mono");
    return font;
}

FileTypeInfo MakeType(const std::string& stf) {
    FileTypeInfo t = MakeDefaultFileType();
    if (!stf.empty()) {
        t.title = "C/C++";
        t.templatePath = stf;
        t.syntax.LoadFile(stf.c_str());
        t.syntax.SetDelimiters(t.delimiters.data(), static_cast<int>(t.delimiters.size()));
    }
    return t;
}

// A popup frame (no sizing border, so the window may be larger than the screen) whose client
// area of w x h is the view.
struct BenchWindow {
    CFxEditHostDoc* doc = nullptr;
    CFrameWnd* frame = nullptr;
    CFxEditView* view = nullptr;

    bool Open(int w, int h, const FileTypeInfo* type) {
        App();
        doc = new CFxEditHostDoc;
        doc->m_bAutoDelete = false;
        doc->OnNewDocument();
        CCreateContext ctx;
        ctx.m_pNewViewClass = RUNTIME_CLASS(CFxEditView);
        ctx.m_pCurrentDoc = doc;
        frame = new CFrameWnd;
        RECT rc = {0, 0, w, h};
        if (!frame->CreateFrame(nullptr, "view bench", WS_POPUP, rc, nullptr, nullptr, 0, &ctx))
            return false;
        view = DynamicDowncast<CFxEditView>(CWnd::FromHandle(frame->GetDescendantWindow(0xE900)));
        if (!view)
            return false;
        view->SetFileType(type);
        view->ModifyStyle(WS_BORDER, 0, SWP_FRAMECHANGED);
        frame->RecalcLayout();
        frame->InitialUpdateFrame(doc, true);
        view->SetFocus();
        Pump();
        return true;
    }
    void Load(const std::string& path) {
        LoadDocumentFile(*doc, path.c_str());
        doc->InitDocument(0);
        view->OnInitialUpdate();
        Pump();
    }
    void Close() {
        if (frame && frame->m_hWnd)
            frame->DestroyWindow();
        Pump();
        delete doc;
        frame = nullptr;
        view = nullptr;
        doc = nullptr;
    }
};

void GenerateC(const std::string& path, int lines) {
    static const char* const kLines[] = {
        "/* Merges the sorted runs of the table into one, counting the moves. */",
        "static size_t merge_runs(struct entry *table, size_t count, int (*cmp)(const void *))",
        "{",
        "    size_t moves = 0; // entries moved so far",
        "    for (size_t i = 1; i < count; i *= 2) {",
        "        if (table[i].key == '\\0' || table[i].key == '\\t')",
        "            continue;",
        "        else if (cmp(&table[i]) < 0)",
        "            fprintf(stderr, \"run %zu out of order: \\\"%s\\\"\\n\", i, table[i].name);",
        "\t\tmoves += i; /* tabbed */",
        "    }",
        "    while (table != NULL && table->next) table = table->next;",
        "    /* a comment that runs",
        "       over two lines */",
        "    return moves > 0 ? moves : 0;",
        "}",
        "#define TABLE_MAX 65536 /* entries */",
        "const char *kinds[] = { \"alpha\", \"beta\\tgamma\", \"delta\", \"epsilon\", \"zeta\" };",
        "typedef struct entry { char name[64]; unsigned key; struct entry *next; } entry_t;",
        "switch (kind) { case 1: break; case 2: return -1; default: goto done; }",
    };
    std::string out;
    for (int i = 0; i < lines; ++i) {
        out += kLines[i % 20];
        out += "\r\n";
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(out.data(), 1, out.size(), f);
    std::fclose(f);
}

// The baseline D: the visible records drawn with one ExtTextOut each straight into the window.
double DirectDraw(CFxEditView& v, CFxEditDoc& doc) {
    const ViewLayout& l = v.Layout();
    const int pitch = ViewFontMetrics::Shared().linePitch;
    double t0 = NowSeconds();
    HDC dc = GetDC(v.m_hWnd);
    HGDIOBJ old = SelectObject(dc, ViewFontMetrics::Shared().Font());
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    const int32_t last = std::min(v.TopRecord() + l.visibleLines, doc.RecordCount() - 1);
    int y = l.text.top;
    for (int32_t rec = v.TopRecord(); rec <= last; ++rec, y += pitch) {
        const FxLine& r = doc.Record(rec);
        RECT band = {0, y, l.client.right, y + pitch};
        ExtTextOutA(dc, l.text.left, y, ETO_OPAQUE, &band, r.data, static_cast<UINT>(r.len),
                    nullptr);
    }
    SelectObject(dc, old);
    ReleaseDC(v.m_hWnd, dc);
    GdiFlush();
    return NowSeconds() - t0;
}

double FullRepaint(CFxEditView& v) {
    double t0 = NowSeconds();
    InvalidateRect(v.m_hWnd, nullptr, FALSE);
    UpdateWindow(v.m_hWnd);
    GdiFlush();
    return NowSeconds() - t0;
}

double ScrollOne(CFxEditView& v, int code) {
    double t0 = NowSeconds();
    v.ScrollLines(code);
    UpdateWindow(v.m_hWnd);
    GdiFlush();
    return NowSeconds() - t0;
}

uint32_t g_seed = 4711;
uint32_t Rand() {
    return g_seed = g_seed * 1103515245u + 12345u, g_seed >> 4;
}

// Typing one character at random places: the caret is moved and painted untimed, then the
// key message and the repaint it causes are timed.
std::vector<double> TypingTimes(BenchWindow& w, int count) {
    std::vector<double> t;
    CFxEditDoc& doc = *w.doc;
    for (int i = 0; i < count; ++i) {
        const int32_t line =
            static_cast<int32_t>(Rand() % static_cast<uint32_t>(doc.LogicalLineCount()));
        const int32_t col = static_cast<int32_t>(Rand() % 4);
        w.view->GoToPos(FxTextPos(std::min(col, doc.GetLineLength(line)), line));
        UpdateWindow(w.view->m_hWnd);
        Pump();
        double t0 = NowSeconds();
        w.view->SendMessage(WM_CHAR, 'x', 1);
        UpdateWindow(w.view->m_hWnd);
        GdiFlush();
        t.push_back(NowSeconds() - t0);
    }
    return t;
}

void Report(const char* name, const std::vector<double>& ours, const std::vector<double>& base,
            double limit) {
    PrintFigure(name, Median(ours) * 1e3, "ms", Median(base) * 1e3, limit);
}

} // namespace

int main(int argc, char** argv) {
    FxInitLeadBytes();
    AfxOleInit();
    std::string dir = argc > 1 ? argv[1] : ".";
    size_t megabytes = argc > 2 ? static_cast<size_t>(std::atoi(argv[2])) : 100;
    std::string stfDir = argc > 3 ? argv[3] : dir + "\\STF";
    ViewFontMetrics::Shared().SetFont(DisplayFont());
    const int kWidth = 1600, kHeight = 1000;

    // --- Painting -----------------------------------------------------------------------------
    {
        const std::string source = dir + "\\view_bench.c";
        GenerateC(source, 20000);
        FileTypeInfo cpp = MakeType(stfDir + "\\CPP.STF");
        BenchWindow w;
        if (!w.Open(kWidth, kHeight, &cpp)) {
            std::printf("could not open the view window\n");
            return 1;
        }
        w.Load(source);
        w.doc->m_showRuler = true;
        w.view->UpdateViews(CFxEditView::RefreshRelayout, 0, -1);
        w.view->GoToPos(FxTextPos(0, 10000));
        UpdateWindow(w.view->m_hWnd);
        const ViewLayout& l = w.view->Layout();
        std::printf("view %ld x %ld, text area %ld x %ld, %d visible lines, syntax %s\n",
                    l.client.right, l.client.bottom, l.text.right - l.text.left,
                    l.text.bottom - l.text.top, l.visibleLines,
                    cpp.syntax.HasSyntax() ? "on" : "OFF");
        std::vector<double> d, ours, scroll;
        for (int i = 0; i < 5; ++i) { // warm-up
            FullRepaint(*w.view);
            DirectDraw(*w.view, *w.doc);
        }
        for (int i = 0; i < 41; ++i) {
            d.push_back(DirectDraw(*w.view, *w.doc));
            ours.push_back(FullRepaint(*w.view));
        }
        for (int i = 0; i < 41; ++i) {
            scroll.push_back(ScrollOne(*w.view, 1));
            scroll.push_back(ScrollOne(*w.view, 0));
        }
        std::printf("baseline D (one ExtTextOut per visible line): %.3f ms\n\n", Median(d) * 1e3);
        // Context for the scroll figure: the pixel move alone, without any painting.
        std::vector<double> moves;
        RECT all = l.client;
        for (int i = 0; i < 21; ++i) {
            double t0 = NowSeconds();
            ScrollWindowEx(w.view->m_hWnd, 0, i % 2 ? 16 : -16, &all, &all, nullptr, nullptr, 0);
            GdiFlush();
            moves.push_back(NowSeconds() - t0);
        }
        InvalidateRect(w.view->m_hWnd, nullptr, FALSE);
        UpdateWindow(w.view->m_hWnd);
        std::printf("(ScrollWindowEx of the view alone: %.3f ms = %.2f x D)\n", Median(moves) * 1e3,
                    Median(moves) / Median(d));
        Report("full repaint, syntax-coloured C", ours, d, 3.0);
        Report("scroll one line", scroll, d, 0.5);
        w.Close();
        DeleteFileA(source.c_str());
    }

    // --- Wrapping and typing --------------------------------------------------------------------
    const std::string big = dir + "\\view_big.txt", small = dir + "\\view_small.txt";
    std::printf("\ngenerating %u MB of GBK text...\n", static_cast<unsigned>(megabytes));
    GenerateGbkText(big, megabytes << 20, 1);
    GenerateGbkText(small, 1 << 20, 2);
    int64_t lines = 0;
    std::vector<double> bs;
    for (int i = 0; i < 3; ++i)
        bs.push_back(SplitBaseline(big, &lines));
    const double B = Median(bs);
    std::printf("lines: %lld; baseline B (map + memchr split + copy): %.3f s\n\n",
                static_cast<long long>(lines), B);

    FileTypeInfo plain = MakeType("");
    std::vector<double> typedBig, typedSmall;
    {
        BenchWindow w;
        if (!w.Open(kWidth, kHeight, &plain))
            return 1;
        w.Load(big);
        double t0 = NowSeconds();
        w.view->SetWrapMode(2, 80);
        const double t80 = NowSeconds() - t0;
        const int32_t rec80 = w.doc->RecordCount();
        PrintFigure("wrap at 80 columns", t80, "s", B, 2.0);
        t0 = NowSeconds();
        w.view->SetWrapMode(0, 0);
        std::printf("%-44s %10.3f s    (%d records wrapped, %d logical lines)\n", "unwrap",
                    NowSeconds() - t0, rec80, w.doc->LogicalLineCount());
        t0 = NowSeconds();
        w.view->SetWrapMode(1, 0);
        const double tEdge = NowSeconds() - t0;
        PrintFigure("wrap at the window edge", tEdge, "s", B, 10.0);
        std::printf("  (width %d px: %d records)\n", w.doc->WrapColumn(), w.doc->RecordCount());
        UpdateWindow(w.view->m_hWnd);
        typedBig = TypingTimes(w, 200);
        w.Close();
    }
    {
        BenchWindow w;
        if (!w.Open(kWidth, kHeight, &plain))
            return 1;
        w.Load(small);
        w.view->SetWrapMode(1, 0);
        UpdateWindow(w.view->m_hWnd);
        typedSmall = TypingTimes(w, 200);
        w.Close();
    }
    Report("typing in the wrapped 100 MB document", typedBig, typedSmall, 2.0);
    std::printf("  (base: the same in a wrapped 1 MB document)\n");
    DeleteFileA(big.c_str());
    DeleteFileA(small.c_str());
    return 0;
}
