// RAII for GDI: an owned GDI object (deleted on destruction), a selection that is undone on
// destruction, and the paint, client and window device contexts. Layer: framework/.
#pragma once

#include <windows.h>

// Owns one HFONT / HPEN / HBRUSH / HBITMAP / HRGN and deletes it.
template <class H> class CGdiHandle {
public:
    CGdiHandle() = default;
    explicit CGdiHandle(H handle) : m_handle(handle) {}
    ~CGdiHandle() { Reset(); }
    CGdiHandle(const CGdiHandle&) = delete;
    CGdiHandle& operator=(const CGdiHandle&) = delete;
    CGdiHandle(CGdiHandle&& other) noexcept : m_handle(other.Release()) {}
    CGdiHandle& operator=(CGdiHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    H Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Reset(H handle = nullptr) {
        if (m_handle)
            DeleteObject(m_handle);
        m_handle = handle;
    }
    H Release() {
        H h = m_handle;
        m_handle = nullptr;
        return h;
    }

private:
    H m_handle = nullptr;
};

typedef CGdiHandle<HFONT> CFontHandle;
typedef CGdiHandle<HPEN> CPenHandle;
typedef CGdiHandle<HBRUSH> CBrushHandle;
typedef CGdiHandle<HBITMAP> CBitmapHandle;
typedef CGdiHandle<HRGN> CRgnHandle;

// Selects an object into a DC and puts the previous one back on destruction.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(SelectObject(dc, obj)) {}
    ~CSelectObject() {
        if (m_old)
            SelectObject(m_dc, m_old);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// Saves the DC's state and restores it on destruction.
class CSaveDC {
public:
    explicit CSaveDC(HDC dc) : m_dc(dc), m_saved(SaveDC(dc)) {}
    ~CSaveDC() {
        if (m_saved)
            RestoreDC(m_dc, m_saved);
    }
    CSaveDC(const CSaveDC&) = delete;
    CSaveDC& operator=(const CSaveDC&) = delete;

private:
    HDC m_dc;
    int m_saved;
};

class CPaintDC {
public:
    explicit CPaintDC(HWND wnd) : m_wnd(wnd), m_dc(BeginPaint(wnd, &m_ps)) {}
    ~CPaintDC() { EndPaint(m_wnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    HDC Get() const { return m_dc; }
    const PAINTSTRUCT& Paint() const { return m_ps; }

private:
    HWND m_wnd;
    PAINTSTRUCT m_ps;
    HDC m_dc;
};

class CClientDC {
public:
    explicit CClientDC(HWND wnd) : m_wnd(wnd), m_dc(GetDC(wnd)) {}
    ~CClientDC() {
        if (m_dc)
            ReleaseDC(m_wnd, m_dc);
    }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_wnd;
    HDC m_dc;
};

class CWindowDC {
public:
    explicit CWindowDC(HWND wnd) : m_wnd(wnd), m_dc(GetWindowDC(wnd)) {}
    ~CWindowDC() {
        if (m_dc)
            ReleaseDC(m_wnd, m_dc);
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_wnd;
    HDC m_dc;
};

// A memory DC compatible with another; deleted on destruction.
class CMemoryDC {
public:
    explicit CMemoryDC(HDC compatible) : m_dc(CreateCompatibleDC(compatible)) {}
    ~CMemoryDC() {
        if (m_dc)
            DeleteDC(m_dc);
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};
