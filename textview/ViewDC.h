// A device context of a view's window (or of the desktop before the window exists) with the
// display font selected; both undone on destruction. Layer: textview/ (view side).
#pragma once

#include <windows.h>

class CViewDC {
public:
    CViewDC(HWND wnd, HFONT font) : m_wnd(wnd ? wnd : GetDesktopWindow()), m_dc(GetDC(m_wnd)) {
        m_old = SelectObject(m_dc, font);
    }
    ~CViewDC() {
        SelectObject(m_dc, m_old);
        ReleaseDC(m_wnd, m_dc);
    }
    CViewDC(const CViewDC&) = delete;
    CViewDC& operator=(const CViewDC&) = delete;
    operator HDC() const { return m_dc; }

private:
    HWND m_wnd;
    HDC m_dc;
    HGDIOBJ m_old;
};
