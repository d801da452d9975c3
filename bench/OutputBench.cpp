// Benchmark of the output pane: appending 1,000,000 find-in-files result lines sent in 16 KB
// pieces, beside splitting the same bytes into lines (B); and a repaint of a pane holding them,
// beside one text call per visible line into the same window (D). The pane draws its lines into
// an off-screen bitmap and copies it, so D' (the same text calls off-screen, copied) is printed
// too: under Wine text drawn off-screen costs several times text drawn into the window. The
// pane is a real one, a child of the editor's main frame started in this process.
#include "BenchUtil.h"

#include "app/App.h"
#include "app/AppMainFrame.h"
#include "framework/GdiObject.h"
#include "tools/OutputPane.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int kLines = 1000000;
const size_t kPiece = 16384;
const int kRepaints = 40;

// Result lines as the find-in-files worker writes them: a break, then the header and the hit's
// line with tabs and some double-byte text.
std::string MakeResults() {
    std::string text;
    text.reserve(static_cast<size_t>(kLines) * 90);
    char line[256];
    for (int i = 0; i < kLines; ++i) {
        const int n = std::snprintf(line, sizeof line,
                                    "\n\"C:\\src\\module%02d\\file%04d.cpp\"(%d,%d)(A):\t\tif "
                                    "(value == %d) return \xD6\xD0\xCE\xC4;",
                                    i % 37, i % 5003, i % 9000 + 1, i % 70 + 1, i);
        text.append(line, static_cast<size_t>(n));
    }
    return text;
}

// B: the same pieces split at line breaks, the line bytes copied into one buffer.
double SplitPieces(const std::string& text, size_t* lineCount) {
    const double t0 = NowSeconds();
    std::vector<std::pair<size_t, size_t>> lines;
    std::string store;
    store.reserve(text.size());
    size_t lineStart = 0;
    for (size_t at = 0; at < text.size(); at += kPiece) {
        const char* piece = text.data() + at;
        const size_t len = std::min(kPiece, text.size() - at);
        size_t i = 0;
        while (i < len) {
            const void* nl = std::memchr(piece + i, '\n', len - i);
            const size_t end = nl ? static_cast<size_t>(static_cast<const char*>(nl) - piece) : len;
            store.append(piece + i, end - i);
            if (!nl)
                break;
            lines.emplace_back(lineStart, store.size() - lineStart);
            lineStart = store.size();
            i = end + 1;
        }
    }
    lines.emplace_back(lineStart, store.size() - lineStart);
    *lineCount = lines.size();
    return NowSeconds() - t0;
}

double AppendPieces(OutputPane& pane, const std::string& text) {
    const double t0 = NowSeconds();
    for (size_t at = 0; at < text.size(); at += kPiece) {
        const size_t len = std::min(kPiece, text.size() - at);
        ::SendMessageA(pane.m_hWnd, OutputPane::kAppendMessage, len,
                       reinterpret_cast<LPARAM>(text.data() + at));
    }
    ::UpdateWindow(pane.m_hWnd);
    return NowSeconds() - t0;
}

// D: one text call per visible line, straight into the pane's window.
double DirectText(OutputPane& pane) {
    RECT client;
    ::GetClientRect(pane.m_hWnd, &client);
    const int height = pane.GetLineHeight();
    CClientDC dc(pane.m_hWnd);
    CSelectObject font(dc.Get(), ::GetStockObject(DEFAULT_GUI_FONT));
    const double t0 = NowSeconds();
    for (int y = 0, line = pane.GetTopLine(); y < client.bottom; y += height, ++line) {
        const std::string text = line < pane.Lines().Count() ? pane.LineText(line) : std::string();
        RECT rc = {0, y, client.right, y + height};
        ::ExtTextOutA(dc.Get(), 0, y, ETO_OPAQUE, &rc, text.data(), static_cast<UINT>(text.size()),
                      nullptr);
    }
    ::GdiFlush();
    return NowSeconds() - t0;
}

// D': the same text calls into an off-screen bitmap of the pane's size, copied at once.
double OffscreenText(OutputPane& pane) {
    RECT client;
    ::GetClientRect(pane.m_hWnd, &client);
    const int height = pane.GetLineHeight();
    CClientDC dc(pane.m_hWnd);
    const double t0 = NowSeconds();
    CMemoryDC mem(dc.Get());
    CBitmapHandle bitmap(::CreateCompatibleBitmap(dc.Get(), client.right, client.bottom));
    CSelectObject sel(mem.Get(), bitmap.Get());
    CSelectObject font(mem.Get(), ::GetStockObject(DEFAULT_GUI_FONT));
    for (int y = 0, line = pane.GetTopLine(); y < client.bottom; y += height, ++line) {
        const std::string text = line < pane.Lines().Count() ? pane.LineText(line) : std::string();
        RECT rc = {0, y, client.right, y + height};
        ::ExtTextOutA(mem.Get(), 0, y, ETO_OPAQUE, &rc, text.data(), static_cast<UINT>(text.size()),
                      nullptr);
    }
    ::BitBlt(dc.Get(), 0, 0, client.right, client.bottom, mem.Get(), 0, 0, SRCCOPY);
    ::GdiFlush();
    return NowSeconds() - t0;
}

double Repaint(OutputPane& pane) {
    const double t0 = NowSeconds();
    ::RedrawWindow(pane.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ::GdiFlush();
    return NowSeconds() - t0;
}

} // namespace

int main() {
    CApp* app = new CApp; // lives to the end of the process
    app->m_nCmdShow = SW_SHOWNORMAL;
    if (!app->InitInstance()) {
        std::printf("the editor did not start\n");
        return 1;
    }
    CAppMainFrame* frame = AppMainFrame();
    ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 1100, 800, SWP_NOZORDER);
    app->PumpPendingMessages();

    // A pane of its own over the frame's client area: 1000 x 700 pixels.
    OutputPane pane(3);
    if (!pane.Create(frame, RECT{0, 0, 1000, 700})) {
        std::printf("no pane\n");
        return 1;
    }
    ::SetWindowPos(pane.m_hWnd, HWND_TOP, 0, 0, 1000, 700, SWP_SHOWWINDOW);
    app->PumpPendingMessages();

    const std::string text = MakeResults();
    std::printf("output pane: %d result lines, %.1f MB in %u-byte pieces\n", kLines,
                static_cast<double>(text.size()) / 1e6, static_cast<unsigned>(kPiece));
    size_t lines = 0;
    std::vector<double> bases;
    for (int i = 0; i < 3; ++i)
        bases.push_back(SplitPieces(text, &lines));
    const double base = Median(bases);
    std::vector<double> appends;
    for (int i = 0; i < 3; ++i) {
        pane.Clear();
        app->PumpPendingMessages();
        appends.push_back(AppendPieces(pane, text));
    }
    // Past its bound the pane drops its oldest lines and puts one notice line first.
    const OutputLines& kept = pane.Lines();
    const int64_t expected =
        static_cast<int64_t>(lines) - kept.DroppedLines() + (kept.DroppedLines() ? 1 : 0);
    if (kept.Count() != expected)
        std::printf("line count differs: pane %d, split %u less %lld dropped\n",
                    static_cast<int>(kept.Count()), static_cast<unsigned>(lines),
                    static_cast<long long>(kept.DroppedLines()));
    else if (kept.DroppedLines())
        std::printf("the pane kept the newest %d lines (%.1f MB) and dropped %lld\n",
                    static_cast<int>(kept.Count() - 1), static_cast<double>(kept.KeptBytes()) / 1e6,
                    static_cast<long long>(kept.DroppedLines()));
    PrintFigure("B: split the pieces into lines", base, "s", 0, 1e9);
    PrintFigure("append 1,000,000 lines in 16 KB pieces", Median(appends), "s", base, 3.0);

    // Repaint in the middle of the text, whitespace marks and line numbers on.
    pane.ScrollTo(kLines / 2);
    app->PumpPendingMessages();
    std::vector<double> direct, offscreen, repaint;
    for (int i = 0; i < kRepaints; ++i) {
        direct.push_back(DirectText(pane));
        offscreen.push_back(OffscreenText(pane));
        repaint.push_back(Repaint(pane));
    }
    std::printf("pane of %d visible lines, %d x 700 pixels\n", pane.VisibleLines(), 1000);
    PrintFigure("D: one text call per visible line", Median(direct) * 1000, "ms", 0, 1e9);
    PrintFigure("D': the same, off-screen and copied", Median(offscreen) * 1000, "ms", 0, 1e9);
    PrintFigure("repaint of the pane", Median(repaint) * 1000, "ms", Median(direct) * 1000, 3.0);
    pane.DestroyWindow();
    frame->DestroyWindow();
    app->PumpPendingMessages();
    return 0;
}
