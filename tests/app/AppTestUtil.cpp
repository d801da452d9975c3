#include "tests/app/AppTestUtil.h"

#include "app/App.h"
#include "app/AppMainFrame.h"
#include "textdoc/FxEditDoc.h"

#include <windows.h>

#include <cstring>

bool StartInProcessApp(CApp& app) {
    app.m_nCmdShow = SW_SHOWNORMAL;
    // Suites run beside each other from one folder: none may stop at the question about
    // another one's recovery copies.
    app.SetOfferRecovery(false);
    if (!app.InitInstance())
        return false;
    app.PumpPendingMessages();
    return true;
}

void StopInProcessApp(CApp& app) {
    app.m_bPostQuitOnMainWndDestroy = false;
    if (CAppMainFrame* frame = AppMainFrame())
        frame->DestroyWindow();
    app.m_pMainWnd = nullptr;
    app.PumpPendingMessages();
    app.ExitInstance();
}

bool PutClipboardText(const char* text) {
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    const size_t size = std::strlen(text) + 1;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    bool ok = false;
    if (mem) {
        std::memcpy(GlobalLock(mem), text, size);
        GlobalUnlock(mem);
        ok = SetClipboardData(CF_TEXT, mem) != nullptr;
        if (!ok)
            GlobalFree(mem);
    }
    CloseClipboard();
    return ok;
}

std::string DocumentText(CFxEditDoc* doc) {
    std::string all;
    for (int32_t line = 0; line < doc->LogicalLineCount(); ++line) {
        FxTextPos head(0, line);
        doc->LogicalToPiece(head);
        const FxLine& r = doc->Record(head.line);
        if (line)
            all += "\n";
        all.append(r.data, static_cast<size_t>(r.lineLen));
    }
    return all;
}

std::string StatusPaneText(HWND statusBar, int index) {
    char text[4096] = "";
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(statusBar, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_NORMAL, 5000, &copied))
        return "(no answer)";
    std::string panes = text;
    for (int i = 0; i < index; ++i) {
        const size_t tab = panes.find('\t');
        if (tab == std::string::npos)
            return "";
        panes.erase(0, tab + 1);
    }
    return panes.substr(0, panes.find('\t'));
}
