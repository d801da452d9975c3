// The frame's part of print preview: the preview window becomes the pane, the other children
// (bars, the client) and the floating bars are hidden and later shown again, and while it
// shows only the preview's commands and the few the frame keeps available reach a handler.
// Layer: framework/.
#include "framework/FrameWnd.h"

#include "framework/CmdUI.h"
#include "framework/FwIds.h"
#include "framework/MiniDockFrameWnd.h"
#include "framework/PreviewView.h"

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
        // A floating bar is a window of its own beside the frame: its windows (the document
        // switch cells, a clip text list) must not reach the documents either.
        for (CMiniDockFrameWnd* mini : m_floatingFrames)
            if (mini->m_hWnd && mini->IsWindowVisible())
                m_hiddenForPreview.push_back(mini->m_hWnd);
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

void CFrameWnd::ClosePreview() {
    if (!m_previewWnd)
        return;
    if (CPreviewView* preview =
            DynamicDowncast<CPreviewView>(CWnd::FromHandlePermanent(m_previewWnd)))
        preview->Close();
}

bool CFrameWnd::IsCommandAvailableInPreview(UINT id) const {
    switch (id) {
    case ID_APP_ABOUT:
    case ID_APP_EXIT:
    case ID_HELP_INDEX:
    case ID_HELP_FINDER:
    case ID_CONTEXT_HELP:
    case ID_HELP:
    case ID_DEFAULT_HELP:
        return true;
    default:
        return false;
    }
}

bool CFrameWnd::RoutePreviewCommand(UINT id, int code, void* extra,
                                    AFX_CMDHANDLERINFO* handlerInfo) {
    if (!m_previewWnd)
        return false;
    CWnd* preview = CWnd::FromHandlePermanent(m_previewWnd);
    if (preview && preview->OnCmdMsg(id, code, extra, handlerInfo))
        return true;
    // Control notifications (a combo box's selection, an edit's change) are not commands.
    if (code != CN_COMMAND && code != CN_UPDATE_COMMAND_UI)
        return false;
    if (IsCommandAvailableInPreview(id))
        return false;
    // The preview's own commands without a state of their own (print, close) stay enabled.
    AFX_CMDHANDLERINFO own = {};
    if (code == CN_UPDATE_COMMAND_UI && preview && preview->OnCmdMsg(id, CN_COMMAND, nullptr, &own))
        return false;
    if (code == CN_UPDATE_COMMAND_UI) {
        if (!handlerInfo && extra)
            static_cast<CCmdUI*>(extra)->Enable(false);
        return !handlerInfo;
    }
    // Refused: menu items and keys never get here (their state says disabled), but a
    // command sent by a control or another window must not either.
    return !handlerInfo;
}
