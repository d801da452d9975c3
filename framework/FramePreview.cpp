// The frame's part of print preview: the preview window becomes the pane, the other children
// (bars, the client) are hidden and later shown again. Layer: framework/.
#include "framework/FrameWnd.h"

#include "framework/FwIds.h"

namespace {
// The pane's id while the preview window holds AFX_IDW_PANE_FIRST.
const int kPaneSaved = AFX_IDW_PANE_LAST - 1;
} // namespace

void CFrameWnd::OnSetPreviewMode(bool preview, CWnd* previewWnd) {
    if (preview) {
        if (m_previewWnd || !previewWnd)
            return;
        m_previewWnd = previewWnd->m_hWnd;
        m_hiddenForPreview.clear();
        for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (child == m_previewWnd || !::IsWindowVisible(child) ||
                ::GetDlgCtrlID(child) == AFX_IDW_STATUS_BAR)
                continue;
            m_hiddenForPreview.push_back(child);
        }
        for (HWND child : m_hiddenForPreview)
            ::ShowWindow(child, SW_HIDE);
        if (HWND pane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST))
            ::SetWindowLongPtrA(pane, GWLP_ID, kPaneSaved);
        ::SetWindowLongPtrA(m_previewWnd, GWLP_ID, AFX_IDW_PANE_FIRST);
        RecalcLayout();
        return;
    }
    if (!m_previewWnd)
        return;
    if (::IsWindow(m_previewWnd))
        ::SetWindowLongPtrA(m_previewWnd, GWLP_ID, AFX_IDW_PANE_LAST);
    if (HWND pane = ::GetDlgItem(m_hWnd, kPaneSaved))
        ::SetWindowLongPtrA(pane, GWLP_ID, AFX_IDW_PANE_FIRST);
    m_previewWnd = nullptr;
    for (HWND child : m_hiddenForPreview)
        if (::IsWindow(child))
            ::ShowWindow(child, SW_SHOWNA);
    m_hiddenForPreview.clear();
    RecalcLayout();
}
