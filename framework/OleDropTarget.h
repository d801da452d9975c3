// COleDropTarget: an IDropTarget for one framework window: enter/over/leave/drop virtuals with
// points in the window's client coordinates, and scrolling while a drag lingers near the
// window's edges (through the view's scroll request). Layer: framework/.
#pragma once

#include "framework/OleDataSource.h"

#include <windows.h>
#include <ole2.h>

class CWnd;

// Usually a member of the window it serves, so its reference count does not delete it.
// Revoke it while the window still exists (in WM_DESTROY): the registration lives in a
// property of the window.
class COleDropTarget : public IDropTarget {
public:
    COleDropTarget() = default;
    virtual ~COleDropTarget();
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;

    bool Register(CWnd* wnd);
    void Revoke();
    CWnd* GetWindow() const { return m_pWnd; }
    // The effects the source allows for the drag in progress.
    DWORD GetAllowedEffects() const { return m_allowed; }

    // The effect a drop would have: `pt` is in client coordinates of wnd.
    virtual DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, POINT pt);
    virtual DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, POINT pt);
    virtual void OnDragLeave(CWnd* wnd);
    // True when the data was taken.
    virtual bool OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, POINT pt);
    // Scrolls the window when the point lies in the inset band along its client edges, after
    // m_nScrollDelay ms in the band and then every m_nScrollInterval ms. Returns
    // DROPEFFECT_SCROLL with the effect of the keys when it scrolls (or waits to), else
    // DROPEFFECT_NONE; then OnDragOver decides.
    virtual DROPEFFECT OnDragScroll(CWnd* wnd, DWORD keyState, POINT pt);

    // Copy with Control, move otherwise, limited to what the source allows.
    DROPEFFECT EffectFromKeys(DWORD keyState) const;

    int m_nScrollInset = 11;     // pixels
    UINT m_nScrollDelay = 50;    // ms in the band before the first scroll
    UINT m_nScrollInterval = 50; // ms between scrolls

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IDropTarget: the point arrives in screen coordinates.
    STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keyState, POINTL pt, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;

private:
    POINT ToClient(POINTL pt) const;
    DWORD Limit(DROPEFFECT effect) const;

    CWnd* m_pWnd = nullptr;
    bool m_registered = false;
    COleDataObject m_data; // the drag's data between enter and leave or drop
    DWORD m_allowed = 0;
    DWORD m_bandEnterTick = 0; // 0: not in the scroll band
    DWORD m_lastScrollTick = 0;
    LONG m_refs = 0;
};
