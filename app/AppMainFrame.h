// CAppMainFrame: the editor's main window, an MDI frame loaded from resource 100: the status
// bar, the application-wide commands (open with an encoding, save all, close all, full
// screen, status bar toggle, about), the menu texts with their shortcuts and undo names, the
// auto-save timer, the tray icon, the notices of files changed on disk, and the reopen list's
// view of the open documents. Layer: app/.
#pragma once

#include "app/TextDocHost.h"
#include "app/settings/SettingsStore.h"
#include "framework/MDIFrameWnd.h"
#include "workspace/BarStatus.h"

#include <string>
#include <vector>

class CCmdUI;
class CDocument;
class CTextEditDoc;
class CTextEditView;

class CAppMainFrame : public CMDIFrameWnd, public ITextDocHost, public ReopenHost {
    DECLARE_DYNCREATE(CAppMainFrame)
public:
    static const UINT kAutoSaveTimer = 1;
    static const UINT kTrayMessage = WM_USER + 1;
    // The status bar's panes: the message pane, then the editing indicators.
    static const UINT kIndicators[7];

    CAppMainFrame();
    ~CAppMainFrame() override;

    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    bool PreTranslateMessage(MSG* msg) override;

    // --- The active document ---------------------------------------------------------------
    // Null when the active MDI child's view is not a text view.
    CTextEditView* GetActiveTextView();
    CTextEditDoc* GetActiveTextDoc();
    std::vector<CTextEditDoc*> TextDocuments() const;

    // --- Status bar --------------------------------------------------------------------------
    CBarStatus& StatusBar() { return m_status; }
    // Indicators while a document is open; one message pane without.
    void SetDocumentMode(bool hasDocument);
    void OnDocumentRemoved(CDocument* doc);

    // --- Menus -------------------------------------------------------------------------------
    // The undo (or redo) item's text for the active view.
    std::string UndoName(bool redo);
    // Every item of the popup: the undo and redo names, the key map's shortcut after a tab.
    void UpdateMenuTexts(HMENU popup);

    // --- Full screen, tray -------------------------------------------------------------------
    bool IsFullScreen() const { return m_fullScreen; }
    void SetFullScreen(bool on);
    bool HasTrayIcon() const { return m_trayIcon; }

    // --- Auto-save ---------------------------------------------------------------------------
    // One tick of the timer; skipped (false) while an auto-save, a close or a modal window runs.
    bool AutoSaveTick();

    // --- ITextDocHost ------------------------------------------------------------------------
    void ShowStatusMessage(const char* text) override;
    void ShowStatusProgress(UINT labelId, int position, int maximum) override;
    void OnDocumentRenamed(CTextEditDoc* doc, const char* path) override;
    void OnDocumentStateChanged(CTextEditDoc* doc, int state) override;

    // --- ReopenHost --------------------------------------------------------------------------
    std::vector<Document> Documents() override;
    int NextBookmark(void* view, int line) override;
    void* Open(const char* path, int* lineCount) override;
    void SetBookmark(void* view, int line) override;
    void SetCaretLine(void* view, int line) override;
    void ActivateFrameOf(void* view) override;

    // --- Handlers ----------------------------------------------------------------------------
    int OnCreate(LPCREATESTRUCTA cs);
    void OnClose();
    void OnDestroy();
    void OnSize(UINT type, int cx, int cy);
    void OnTimer(UINT_PTR id);
    void OnInitMenuPopup(HMENU popup, UINT index, bool sysMenu);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    LRESULT OnFileChangedMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);

    void OnFileOpen();
    void OnFileSaveAll();
    void OnWindowCloseAll();
    void OnUpdateNeedsChild(CCmdUI* cmdUI);
    void OnViewStatusBar();
    void OnUpdateViewStatusBar(CCmdUI* cmdUI);
    void OnViewFullScreen();
    void OnUpdateViewFullScreen(CCmdUI* cmdUI);
    void OnHelpAbout();

    DECLARE_MESSAGE_MAP()

private:
    void AddTrayIcon();
    void RemoveTrayIcon();

    CBarStatus m_status;
    bool m_inAutoSave = false;
    bool m_closing = false;
    bool m_fullScreen = false;
    RECT m_fullScreenRect = {0, 0, 0, 0};
    WINDOWPLACEMENT m_placement = {};
    bool m_statusWasVisible = true;
    bool m_trayIcon = false;
};

// The one main frame (null before it is made and after it is gone).
CAppMainFrame* AppMainFrame();
