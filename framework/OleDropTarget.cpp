// The drop target of a framework window, with drag scrolling. Layer: framework/.
#include "framework/OleDropTarget.h"

#include "framework/OleInit.h"
#include "framework/View.h"

COleDropTarget::~COleDropTarget() {
    Revoke();
}

bool COleDropTarget::Register(CWnd* wnd) {
    if (!wnd || !wnd->m_hWnd || !AfxOleInit())
        return false;
    Revoke();
    if (FAILED(RegisterDragDrop(wnd->m_hWnd, static_cast<IDropTarget*>(this))))
        return false;
    m_pWnd = wnd;
    m_registered = true;
    return true;
}

void COleDropTarget::Revoke() {
    if (m_registered && m_pWnd && m_pWnd->m_hWnd && IsWindow(m_pWnd->m_hWnd))
        RevokeDragDrop(m_pWnd->m_hWnd);
    m_registered = false;
    m_data.Release();
    m_pWnd = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, POINT) {
    return DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, POINT) {
    return DROPEFFECT_NONE;
}

void COleDropTarget::OnDragLeave(CWnd*) {}

bool COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, POINT) {
    return false;
}

DROPEFFECT COleDropTarget::EffectFromKeys(DWORD keyState) const {
    DROPEFFECT wanted = (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    if (!(m_allowed & wanted))
        wanted = m_allowed & (DROPEFFECT_COPY | DROPEFFECT_MOVE);
    if (wanted == (DROPEFFECT_COPY | DROPEFFECT_MOVE))
        wanted = DROPEFFECT_MOVE;
    return wanted;
}

DROPEFFECT COleDropTarget::OnDragScroll(CWnd* wnd, DWORD keyState, POINT pt) {
    CView* view = DynamicDowncast<CView>(wnd);
    RECT rc;
    wnd->GetClientRect(&rc);
    UINT vert = 0xFF, horz = 0xFF;
    if (pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom) {
        if (pt.y < rc.top + m_nScrollInset)
            vert = SB_LINEUP;
        else if (pt.y >= rc.bottom - m_nScrollInset)
            vert = SB_LINEDOWN;
        if (pt.x < rc.left + m_nScrollInset)
            horz = SB_LINELEFT;
        else if (pt.x >= rc.right - m_nScrollInset)
            horz = SB_LINERIGHT;
    }
    UINT code = MAKEWORD(horz, vert);
    if (!view || code == MAKEWORD(0xFF, 0xFF) || !view->OnScroll(code, 0, false)) {
        m_bandEnterTick = 0;
        return DROPEFFECT_NONE;
    }
    DWORD now = GetTickCount() | 1; // never 0, which means "not in the band"
    if (!m_bandEnterTick) {
        m_bandEnterTick = now;
        m_lastScrollTick = now - m_nScrollInterval;
    }
    if (now - m_bandEnterTick >= m_nScrollDelay && now - m_lastScrollTick >= m_nScrollInterval) {
        view->OnScroll(code, 0, true);
        m_lastScrollTick = now;
    }
    return DROPEFFECT_SCROLL | EffectFromKeys(keyState);
}

POINT COleDropTarget::ToClient(POINTL pt) const {
    POINT p = {pt.x, pt.y};
    if (m_pWnd && m_pWnd->m_hWnd)
        ::ScreenToClient(m_pWnd->m_hWnd, &p);
    return p;
}

DWORD COleDropTarget::Limit(DROPEFFECT effect) const {
    return effect & (m_allowed | DROPEFFECT_SCROLL);
}

STDMETHODIMP COleDropTarget::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
        *out = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) COleDropTarget::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_refs));
}

STDMETHODIMP_(ULONG) COleDropTarget::Release() {
    // The owner deletes the object; the count is kept for the protocol's sake only.
    return static_cast<ULONG>(InterlockedDecrement(&m_refs));
}

// The window's handlers must not let exceptions through COM: a failure refuses the drop.
STDMETHODIMP COleDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL pt,
                                       DWORD* effect) {
    if (!effect)
        return E_INVALIDARG;
    m_allowed = *effect;
    *effect = DROPEFFECT_NONE;
    if (!m_pWnd)
        return S_OK;
    m_data.Attach(data);
    m_bandEnterTick = 0;
    try {
        POINT p = ToClient(pt);
        DROPEFFECT e = OnDragScroll(m_pWnd, keyState, p);
        if (!(e & DROPEFFECT_SCROLL))
            e = OnDragEnter(m_pWnd, &m_data, keyState, p);
        *effect = Limit(e);
    } catch (...) {
        *effect = DROPEFFECT_NONE;
    }
    return S_OK;
}

STDMETHODIMP COleDropTarget::DragOver(DWORD keyState, POINTL pt, DWORD* effect) {
    if (!effect)
        return E_INVALIDARG;
    m_allowed = *effect;
    *effect = DROPEFFECT_NONE;
    if (!m_pWnd || !m_data.GetIDataObject())
        return S_OK;
    try {
        POINT p = ToClient(pt);
        DROPEFFECT e = OnDragScroll(m_pWnd, keyState, p);
        if (!(e & DROPEFFECT_SCROLL))
            e = OnDragOver(m_pWnd, &m_data, keyState, p);
        *effect = Limit(e);
    } catch (...) {
        *effect = DROPEFFECT_NONE;
    }
    return S_OK;
}

STDMETHODIMP COleDropTarget::DragLeave() {
    if (m_pWnd) {
        try {
            OnDragLeave(m_pWnd);
        } catch (...) {
        }
    }
    m_bandEnterTick = 0;
    m_data.Release();
    return S_OK;
}

STDMETHODIMP COleDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) {
    if (!effect)
        return E_INVALIDARG;
    m_allowed = *effect;
    DWORD result = DROPEFFECT_NONE;
    if (m_pWnd) {
        m_data.Attach(data);
        try {
            POINT p = ToClient(pt);
            // The effect a drop has is what dragging over this point would have had.
            DROPEFFECT e = Limit(OnDragOver(m_pWnd, &m_data, keyState, p)) & ~DROPEFFECT_SCROLL;
            if (e != DROPEFFECT_NONE && OnDrop(m_pWnd, &m_data, e, p))
                result = e;
            else
                OnDragLeave(m_pWnd);
        } catch (...) {
            result = DROPEFFECT_NONE;
        }
    }
    m_bandEnterTick = 0;
    m_data.Release();
    *effect = result;
    return S_OK;
}
