// The main frame's status bar and what the documents tell the frame: the status texts and
// progress of a document, its renaming, its modified state and its closing. Layer: app/.
#include "app/AppMainFrame.h"

#include "app/App.h"
#include "app/RecoveryManager.h"
#include "app/TextEditDoc.h"
#include "framework/CmdUI.h"
#include "framework/FwIds.h"
#include "framework/ResourceText.h"

void CAppMainFrame::SetDocumentMode(bool hasDocument) {
    if (m_status.m_hWnd)
        m_status.SetSimple(!hasDocument);
}

void CAppMainFrame::OnDocumentRemoved(CDocument* doc) {
    // Closed: saved, or its changes given up; either way its recovery copy goes.
    if (RecoveryManager* recovery = AppRecovery())
        recovery->OnDocumentClosed(doc);
    // A closed document stops automatic pasting.
    if (doc && static_cast<CDocument*>(m_pasteTarget) == doc)
        SetAutoPasteTarget(nullptr);
    RemoveDocumentTab(doc);
}

void CAppMainFrame::DropClientScrollBars() {
    bool maximized = false;
    if (m_hWndMDIClient && MDIGetActive(&maximized) && maximized)
        ::ShowScrollBar(m_hWndMDIClient, SB_BOTH, FALSE);
}

void CAppMainFrame::ShowStatusMessage(const char* text) {
    if (m_status.m_hWnd)
        m_status.ShowMessage(text);
}

void CAppMainFrame::ShowStatusProgress(UINT labelId, int position, int maximum) {
    if (!m_status.m_hWnd)
        return;
    m_status.SetProgress(labelId, position, maximum);
    if (position == -1 || position >= maximum)
        m_status.SetPaneText(0, AfxLoadString(AFX_IDS_IDLEMESSAGE).c_str());
}

void CAppMainFrame::OnDocumentRenamed(CTextEditDoc* doc, const char* path) {
    RenameDocumentTab(doc, path);
}

void CAppMainFrame::OnDocumentStateChanged(CTextEditDoc* doc, int state) {
    SetDocumentTabState(doc, state);
    // Saved, reloaded or undone to the saved text: its recovery copy is no longer needed.
    if (state == StateUnmodified)
        if (RecoveryManager* recovery = AppRecovery())
            recovery->OnDocumentUnmodified(doc);
}

void CAppMainFrame::OnViewStatusBar() {
    ShowControlBar(&m_status, !m_status.IsVisible(), false);
}

void CAppMainFrame::OnUpdateViewStatusBar(CCmdUI* cmdUI) {
    cmdUI->SetCheck(m_status.m_hWnd && m_status.IsVisible() ? 1 : 0);
}
