// The window shown while pages go to the printer: the document, the printer, the page being
// printed and a cancel button. While it exists the spooler's abort callback keeps the message
// queue moving and stops the job when the button was pressed. Layer: framework/.
#pragma once

#include <windows.h>

#include <string>

class CPrintAbortWnd {
public:
    // Shows the window over `owner` and installs the abort callback on dc.
    CPrintAbortWnd(HWND owner, HDC dc, const std::string& document, const std::string& printer);
    ~CPrintAbortWnd();
    CPrintAbortWnd(const CPrintAbortWnd&) = delete;
    CPrintAbortWnd& operator=(const CPrintAbortWnd&) = delete;

    void SetPage(UINT page);
    // Lets queued messages through; true when the user cancelled.
    bool Pump();
    bool IsCancelled() const { return s_cancelled; }
    HWND Window() const { return m_wnd; }

    // The job currently printing stops at its next page (also the cancel button's work).
    static void Cancel() { s_cancelled = true; }

private:
    static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static BOOL CALLBACK AbortProc(HDC dc, int code);
    static bool s_cancelled;
    HWND m_wnd = nullptr;
    HWND m_pageText = nullptr;
    HFONT m_font = nullptr;
};
