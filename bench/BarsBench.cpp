// Benchmark of the document switch bar: with 100 documents open in the editor's main frame (the
// application object started in this process), activating a document by a click on its cell,
// beside activating it through the Window menu's command for that window (the baseline), both
// measured from the command to the repainted frame.
#include "BenchUtil.h"

#include "app/App.h"
#include "app/AppMainFrame.h"
#include "framework/FwIds.h"
#include "framework/Document.h"
#include "framework/MDIChildWnd.h"
#include "framework/View.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

const int kDocuments = 100;
const int kRounds = 5;
const int kPerRound = 10;

void Settle(CApp& app, CAppMainFrame* frame) {
    app.PumpPendingMessages();
    ::RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    app.PumpPendingMessages();
}

CDocument* ActiveDocument(CAppMainFrame* frame) {
    CMDIChildWnd* child = frame->MDIGetActive();
    CView* view = child ? child->GetActiveView() : nullptr;
    return view ? view->GetDocument() : nullptr;
}

// The documents to activate in turn: spread over every page of the bar.
int Target(int i) {
    return (i * 37 + 11) % kDocuments;
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

    ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 800, 600, SWP_NOZORDER);
    for (int i = 0; i < kDocuments; ++i) {
        frame->SendMessage(WM_COMMAND, ID_FILE_NEW);
        app->PumpPendingMessages();
    }
    Settle(*app, frame);

    CBarSwitch& bar = frame->SwitchBar();
    if (bar.GetItemCount() != kDocuments) {
        std::printf("the switch bar has %d cells for %d documents\n", bar.GetItemCount(),
                    kDocuments);
        return 1;
    }
    // The MDI child of each document, in the bar's order.
    std::vector<HWND> children(kDocuments);
    for (int i = 0; i < kDocuments; ++i) {
        CDocument* doc = static_cast<CDocument*>(bar.GetItem(i)->key);
        children[static_cast<size_t>(i)] = doc->GetFirstView()->GetParentFrame()->m_hWnd;
    }
    int misses = 0;
    std::vector<double> menuTimes, barTimes;
    for (int round = 0; round < kRounds; ++round) {
        // Window menu: the command of the window's entry in the window list.
        double t0 = NowSeconds();
        for (int i = 0; i < kPerRound; ++i) {
            const int target = Target(round * kPerRound + i);
            const UINT id = static_cast<UINT>(
                ::GetWindowLongPtrA(children[static_cast<size_t>(target)], GWLP_ID));
            frame->SendMessage(WM_COMMAND, id);
            Settle(*app, frame);
            misses += frame->MDIGetActive()->m_hWnd != children[static_cast<size_t>(target)];
        }
        menuTimes.push_back((NowSeconds() - t0) / kPerRound);

        // Switch bar: the page of the cell is brought up by the arrows as a user would, then a
        // click on the cell; only the click is timed.
        double total = 0;
        for (int i = 0; i < kPerRound; ++i) {
            const int target = Target(round * kPerRound + i + 1);
            while (target < bar.GetFirstVisible())
                bar.Page(-1);
            while (target > bar.GetLastVisible())
                bar.Page(1);
            Settle(*app, frame);
            RECT cell = bar.GetCellRect(target);
            const LPARAM at =
                MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
            const double c0 = NowSeconds();
            bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
            bar.SendMessage(WM_LBUTTONUP, 0, at);
            Settle(*app, frame);
            total += NowSeconds() - c0;
            misses += ActiveDocument(frame) != bar.GetItem(target)->key;
        }
        barTimes.push_back(total / kPerRound);
    }
    if (misses) {
        std::printf("%d activations reached the wrong document\n", misses);
        return 1;
    }
    std::printf("activating one of %d documents, median of %d rounds of %d\n", kDocuments, kRounds,
                kPerRound);
    const double menu = Median(menuTimes), viaBar = Median(barTimes);
    std::printf("%-44s %10.3f ms   (baseline)\n", "through the Window menu's command", menu * 1e3);
    PrintFigure("through a click on its switch bar cell", viaBar * 1e3, "ms", menu * 1e3, 2.0);
    app->m_bPostQuitOnMainWndDestroy = false;
    app->CloseAllDocuments(false);
    frame->DestroyWindow();
    app->m_pMainWnd = nullptr;
    app->PumpPendingMessages();
    app->ExitInstance();
    return 0;
}
