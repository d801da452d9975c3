// The main frame's document switch bar: one cell per open document, labelled with its file
// name, its image following the modified flag. Layer: app/.
#include "app/AppMainFrame.h"

#include "common/PathName.h"
#include "framework/Document.h"

int CAppMainFrame::SwitchBarImage(int state) {
    // The document image list holds the plain document first, the modified one second.
    return state == ITextDocHost::StateModified ? 1 : 0;
}

std::string CAppMainFrame::DocumentTabLabel(CDocument* doc) {
    const std::string& path = doc->GetPathName();
    if (path.empty()) {
        // The title without the modified marker.
        std::string title = doc->GetTitle();
        if (title.size() >= 2 && title.compare(title.size() - 2, 2, " *") == 0)
            title.resize(title.size() - 2);
        return title;
    }
    return FxPathFileName(path);
}

void CAppMainFrame::AddDocumentTab(CDocument* doc) {
    if (!doc || !m_switch.m_hWnd)
        return;
    int index = m_switch.FindItem(doc);
    if (index < 0) {
        const bool modified = doc->IsModified();
        index = m_switch.InsertItem(
            -1, DocumentTabLabel(doc).c_str(),
            SwitchBarImage(modified ? ITextDocHost::StateModified : ITextDocHost::StateUnmodified),
            doc);
    } else {
        m_switch.SelectItem(index);
    }
}

void CAppMainFrame::RemoveDocumentTab(CDocument* doc) {
    if (!m_switch.m_hWnd)
        return;
    // A document is never listed twice, but a stale cell must not survive either.
    for (int index = m_switch.FindItem(doc); index >= 0; index = m_switch.FindItem(doc))
        m_switch.RemoveItem(index);
}

void CAppMainFrame::SelectDocumentTab(CDocument* doc) {
    if (!m_switch.m_hWnd)
        return;
    const int index = m_switch.FindItem(doc);
    if (index >= 0)
        m_switch.SelectItem(index);
}

void CAppMainFrame::RenameDocumentTab(CDocument* doc, const char*) {
    const int index = m_switch.m_hWnd ? m_switch.FindItem(doc) : -1;
    if (index < 0)
        return;
    m_switch.SetItemText(index, DocumentTabLabel(doc).c_str());
    m_switch.Invalidate(false);
}

void CAppMainFrame::SetDocumentTabState(CDocument* doc, int state) {
    const int index = m_switch.m_hWnd ? m_switch.FindItem(doc) : -1;
    if (index >= 0)
        m_switch.SetItemImage(index, SwitchBarImage(state));
}
