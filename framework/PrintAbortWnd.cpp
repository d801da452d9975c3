// The printing window and the spooler's abort callback. Layer: framework/.
#include "framework/PrintAbortWnd.h"

#include "framework/FwPrintIds.h"
#include "framework/ResourceText.h"

bool CPrintAbortWnd::s_cancelled = false;

namespace {
const char kClassName[] = "QvPrintAbortWnd";
}

LRESULT CALLBACK CPrintAbortWnd::WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL)
            s_cancelled = true;
        return 0;
    case WM_CLOSE:
        s_cancelled = true;
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            s_cancelled = true;
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

BOOL CALLBACK CPrintAbortWnd::AbortProc(HDC, int) {
    MSG msg;
    while (!s_cancelled && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            s_cancelled = true;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return !s_cancelled;
}

CPrintAbortWnd::CPrintAbortWnd(HWND owner, HDC dc, const std::string& document,
                               const std::string& printer) {
    s_cancelled = false;
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    if (!GetClassInfoA(inst, kClassName, &wc)) {
        wc.lpfnWndProc = &CPrintAbortWnd::WndProc;
        wc.hInstance = inst;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClassName;
        RegisterClassA(&wc);
    }
    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof ncm;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
        m_font = CreateFontIndirectA(&ncm.lfMessageFont);
    const std::string caption = AfxLoadStringOr(AFX_IDS_PRINTCAPTION, "Print");
    RECT r = {0, 0, 300, 120};
    AdjustWindowRectEx(&r, WS_POPUP | WS_CAPTION, FALSE, WS_EX_DLGMODALFRAME);
    RECT o = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner)
        GetWindowRect(owner, &o);
    const int w = r.right - r.left, h = r.bottom - r.top;
    m_wnd = CreateWindowExA(WS_EX_DLGMODALFRAME, kClassName, caption.c_str(), WS_POPUP | WS_CAPTION,
                            (o.left + o.right - w) / 2, (o.top + o.bottom - h) / 2, w, h, owner,
                            nullptr, inst, nullptr);
    if (!m_wnd)
        return;
    auto child = [&](const char* cls, const std::string& text, DWORD style, int x, int y, int cx,
                     int cy, int id) {
        HWND c = CreateWindowExA(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, cx, cy,
                                 m_wnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst,
                                 nullptr);
        if (c && m_font)
            SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        return c;
    };
    child("STATIC",
          AfxFormat(AfxLoadStringOr(AFX_IDS_PRINTDOCUMENT, "%s").c_str(), document.c_str()),
          SS_CENTER | SS_NOPREFIX | SS_ENDELLIPSIS, 8, 8, 284, 18, -1);
    child("STATIC", AfxFormat(AfxLoadStringOr(AFX_IDS_PRINTONPORT, "%s").c_str(), printer.c_str()),
          SS_CENTER | SS_NOPREFIX | SS_ENDELLIPSIS, 8, 28, 284, 18, -1);
    m_pageText = child("STATIC", "", SS_CENTER | SS_NOPREFIX, 8, 48, 284, 18, -1);
    child("BUTTON", AfxLoadStringOr(AFX_IDS_PRINTCANCEL, "Cancel"), BS_DEFPUSHBUTTON | WS_TABSTOP,
          110, 80, 80, 26, IDCANCEL);
    ShowWindow(m_wnd, SW_SHOWNORMAL);
    UpdateWindow(m_wnd);
    if (dc)
        SetAbortProc(dc, &CPrintAbortWnd::AbortProc);
}

CPrintAbortWnd::~CPrintAbortWnd() {
    if (m_wnd)
        DestroyWindow(m_wnd);
    if (m_font)
        DeleteObject(m_font);
}

void CPrintAbortWnd::SetPage(UINT page) {
    if (m_pageText) {
        const std::string text =
            AfxFormat(AfxLoadStringOr(AFX_IDS_PRINTPAGENUM, "%u").c_str(), page);
        SetWindowTextA(m_pageText, text.c_str());
        UpdateWindow(m_pageText);
    }
}

bool CPrintAbortWnd::Pump() {
    AbortProc(nullptr, 0);
    return s_cancelled;
}
