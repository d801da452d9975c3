// The main frame in the clipboard viewer chain: text newly put on the clipboard is appended to
// the automatic paste document. Layer: app/.
#include "app/AppMainFrame.h"

#include "app/FirstTextView.h"
#include "app/TextEditDoc.h"
#include "app/TextEditView.h"

void CAppMainFrame::SetAutoPasteTarget(CTextEditDoc* doc) {
    if (doc == m_pasteTarget)
        return;
    if (!doc) {
        if (m_inViewerChain)
            ::ChangeClipboardChain(m_hWnd, m_nextViewer);
        m_inViewerChain = false;
        m_nextViewer = nullptr;
        m_skipClipboardNotice = true;
        m_pasteTarget = nullptr;
        return;
    }
    if (!m_inViewerChain) {
        if (!m_hWnd)
            return;
        // Joining sends a notice at once: that one is about the text already there.
        m_skipClipboardNotice = true;
        m_clipboardSequence = ::GetClipboardSequenceNumber();
        ::SetLastError(0);
        HWND next = ::SetClipboardViewer(m_hWnd);
        if (!next && ::GetLastError() != 0) {
            m_pasteTarget = nullptr;
            return;
        }
        m_nextViewer = next;
        m_inViewerChain = true;
    }
    m_pasteTarget = doc;
}

LRESULT CAppMainFrame::OnDrawClipboard(WPARAM wParam, LPARAM lParam) {
    // The notice of the join, and repeats of a notice already handled, name a clipboard whose
    // sequence number has not moved (0: the system does not count, the flag alone decides).
    const DWORD sequence = ::GetClipboardSequenceNumber();
    bool skip = sequence != 0 && sequence == m_clipboardSequence;
    if (m_skipClipboardNotice) {
        m_skipClipboardNotice = false;
        skip = skip || sequence == 0;
    }
    m_clipboardSequence = sequence;
    if (!skip && m_pasteTarget && ::IsClipboardFormatAvailable(CF_TEXT)) {
        CTextEditView* view = FirstTextView(m_pasteTarget);
        if (view && view->m_hWnd)
            view->AutoPasteClipboard();
    }
    if (m_nextViewer)
        ::SendMessageA(m_nextViewer, WM_DRAWCLIPBOARD, wParam, lParam);
    return 0;
}

void CAppMainFrame::OnChangeCbChain(HWND removed, HWND next) {
    if (removed == m_nextViewer)
        m_nextViewer = next;
    else if (m_nextViewer)
        ::SendMessageA(m_nextViewer, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(removed),
                       reinterpret_cast<LPARAM>(next));
}
