// CAppMainFrame: the editor's main window, an MDI frame loaded from resource 100: the status
// bar, the application-wide commands (open with an encoding, save all, close all, full
// screen, status bar toggle, about), the menu texts with their shortcuts and undo names, the
// auto-save timer, the tray icon, the notices of files changed on disk, the clipboard watch of
// automatic pasting, the drive notices for the file tree, and the reopen list's view of the
// open documents. Layer: app/.
#pragma once

#include "app/TextDocHost.h"
#include "settings/SettingsStore.h"
#include "framework/MDIFrameWnd.h"
#include "workspace/BarStatus.h"
#include "workspace/BarSwitch.h"
#include "workspace/BarTool.h"
#include "workspace/ClipTextHost.h"
#include "workspace/FileTreeDrives.h"
#include "workspace/OutputBar.h"
#include "common/OutputChannels.h"
#include "dialogs/SettingsHost.h"
#include "tools/ToolRunner.h"
#include "workspace/OutputPanes.h"
#include "workspace/WorkspaceBar.h"
#include "tools/OutputHost.h"
#include "tools/OutputWindow.h"

#include <atomic>
#include <string>
#include <vector>

class CCmdUI;
class CDocument;
class CTextEditDoc;
class CTextEditView;

class CAppMainFrame : public CMDIFrameWnd,
                      public ITextDocHost,
                      public ReopenHost,
                      public IOutputChannels,
                      public IOutputHost,
                      public IClipTextHost,
                      public ISettingsHost {
    DECLARE_DYNCREATE(CAppMainFrame)
public:
    static const UINT kAutoSaveTimer = 1;
    static const UINT kTrayMessage = WM_USER + 1;
    // The recovery copies: a round over the documents, and the start-up question (posted
    // once the frame is shown).
    static const UINT kRecoveryTimer = 2;
    static const UINT kRecoveryOfferMessage = WM_USER + 6;
    // A job thread's release of its output channel, sent to the frame (lParam the channel).
    static const UINT kReleaseChannelMessage = WM_USER + 7;
    // The status bar's panes: the message pane, then the editing indicators.
    static const UINT kIndicators[7];

    CAppMainFrame();
    ~CAppMainFrame() override;

    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    bool PreTranslateMessage(MSG* msg) override;
    // Besides the framework's: About, the template rules help and the status bar's editing
    // indicators, which go on following the active view.
    bool IsCommandAvailableInPreview(UINT id) const override;

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
    // A maximised document frame covers the MDI client: scroll bars that the client showed
    // while the frame was being made go at once, not after the client's own check in idle
    // time, which would lay the document out a second time at the larger size.
    void DropClientScrollBars();

    // --- The bar table -----------------------------------------------------------------------
    // The five bars in table order: toolbar, workspace, output window, switch bar, status bar.
    enum BarEntryIndex { kBarToolbar, kBarWorkspace, kBarOutput, kBarSwitch, kBarStatus };
    static const int kBarCount = 5;
    struct BarEntry {
        UINT dockBarId = 0;       // the dock bar it was docked to last (0 none)
        RECT rect = {0, 0, 0, 0}; // last window rectangle, frame client coordinates
        bool visible = true;      // also the visibility before full screen
    };
    // The bar object of an entry (null while that bar is not built).
    CControlBar* BarOfEntry(int entry);
    const BarEntry& GetBarEntry(int entry) const { return m_barTable[entry]; }
    COutputBar& OutputBar() { return m_outputBar; }
    CWorkspaceBar& WorkspaceBar() { return m_workspaceBar; }
    // Reads the "ControlBars" records into the table. A bar that floated, or one whose record
    // names a dock side it may not use, docks at its entry's default side; a size out of range
    // falls back to the default side and size, visible. A docked bar keeps its side wherever
    // its rectangle lies: it is inside the frame.
    void ReadBarTable();
    // Creates the bars in table order and docks them; false when one cannot be made.
    bool CreateBars();
    // Writes the "ControlBars" records of the bars that exist and the window's placement
    // (once per frame).
    void SaveBarTable();
    // The workspace at the page of the command (0xE901 file tree, 0xE902 clip texts).
    void ShowWorkspacePage(UINT pageId);
    // --- The window's placement ------------------------------------------------------------
    // The last run's placement, the record "MainFrame" beside the bars' in "ControlBars": its
    // normal rectangle in screen coordinates and whether it was maximised. Read before the
    // window is made: a rectangle whose caption some monitor shows becomes the creation
    // rectangle (anything else leaves the default one).
    void ReadPlacement(CREATESTRUCTA& cs);
    // The show command of the first showing: maximised when the last run ended so and the
    // caller asks for a plain showing.
    int StartShowCommand(int cmdShow) const;
    // Writes the placement; in full screen, the one from before it.
    void SavePlacement();
    // --- Document switch bar and toolbar ----------------------------------------------------
    CBarSwitch& SwitchBar() { return m_switch; }
    CBarTool& ToolBar() { return m_toolbar; }
    // One cell per open document: added when the template opens or makes a document (an
    // already-open document only has its cell selected), removed when it closes, selected when
    // its frame is activated, renamed on Save As, its image following the modified flag.
    void AddDocumentTab(CDocument* doc);
    void RemoveDocumentTab(CDocument* doc);
    void SelectDocumentTab(CDocument* doc);
    void RenameDocumentTab(CDocument* doc, const char* path);
    void SetDocumentTabState(CDocument* doc, int state);
    // The switch bar's image for a document state of ITextDocHost.
    static int SwitchBarImage(int state);
    // The cell label: the path's file name, or the title when there is no path.
    static std::string DocumentTabLabel(CDocument* doc);

    // --- Menus -------------------------------------------------------------------------------
    // The undo (or redo) item's text for the active view.
    std::string UndoName(bool redo);
    // Every item of the popup: the undo and redo names, the key map's shortcut after a tab.
    void UpdateMenuTexts(HMENU popup);

    // --- Prompts and tips --------------------------------------------------------------------
    // The status bar prompt of a command: a user tool's command line, the date and time
    // formats and file types with the prompt of their submenu's command, else its string.
    void GetMessageString(UINT id, std::string& message) const override;
    // The tool tip of a toolbar button: the undo and redo names, else the text after the
    // first line break of the command's string.
    bool OnToolTipText(UINT id, NMHDR* hdr, LRESULT* result);

    // --- Editor display settings ------------------------------------------------------------
    // Gives every view the settings store's editor font, "LineSpacing" and
    // "LineNumberAndTextSpacing"; each one that differs from what the views use re-lays out
    // every document. Called at creation and after the settings change; `fontRecreated` when
    // the store made a new font object (its handle may equal the deleted one's).
    void ApplyEditorDisplaySettings(bool fontRecreated);
    static const int kEditorFontId = 1;

    // --- Settings dialog ---------------------------------------------------------------------
    // Runs the settings dialog at the page of a dialog id (0: the page it ended on last time)
    // and a control to focus on it; an open dialog is only brought to the top.
    void OpenSettings(UINT pageId, UINT controlId = 0);
    bool IsSettingsOpen() const { return m_settingsDlg != nullptr; }
    class CDlgAsFrame* SettingsDialog() const {
        return m_settingsDlg;
    }
    UINT NextSettingsPage() const { return m_settingsPage; }
    void OnToolsSettings();
    void OnToolsUserTools();
    void OnFilePrintSetup();

    // --- ISettingsHost -----------------------------------------------------------------------
    void ApplyDisplaySettings(bool fontRecreated) override;
    void ApplyFileType(const FileTypeInfo& type) override;
    void ApplyToolbarLayout() override;
    void InstallKeyMap() override;
    void FileFiltersChanged() override;
    void SetRecentFileCount(int count) override;
    const FileTypeInfo* ActiveFileType() override;

    // --- Full screen, tray -------------------------------------------------------------------
    bool IsFullScreen() const { return m_fullScreen; }
    void SetFullScreen(bool on);
    bool HasTrayIcon() const { return m_trayIcon; }

    // --- Auto-save ---------------------------------------------------------------------------
    // One tick of the timer; skipped (false) while an auto-save, a close or a modal window runs.
    bool AutoSaveTick();

    // --- Automatic paste ---------------------------------------------------------------------
    // The document that text newly put on the clipboard is appended to (null: off). Setting a
    // document joins the clipboard viewer chain, clearing leaves it; a join that fails leaves
    // the target null. Text already on the clipboard is not pasted.
    void SetAutoPasteTarget(CTextEditDoc* doc);
    CTextEditDoc* AutoPasteTarget() const { return m_pasteTarget; }
    bool IsClipboardViewer() const { return m_inViewerChain; }

    // --- Drives ------------------------------------------------------------------------------
    // The file tree that refreshes its drives when volumes come and go (null: none).
    void SetFileTreeDrives(IFileTreeDrives* tree) { m_fileTree = tree; }
    // A device notice about a volume arriving or removed (the device type has bit 2 set).
    static bool IsVolumeChange(UINT event, DWORD_PTR data);

    // --- Output channels ---------------------------------------------------------------------
    // Four slots through which background jobs write into the output window: keys 1 and 2
    // the capture panes, 3 and 4 the find-in-files panes.
    using OutputChannel = ::OutputChannel;
    static const int kOutputChannels = 4;
    void SetOutputPanes(IOutputPanes* panes) { m_outputPanes = panes; }
    // The output window inside the output bar (its panes are the channels' panes).
    OutputWindow& OutputWnd() { return m_outputWindow; }
    // Go to from an output pane: opens the file (or activates its document) and puts the
    // caret of its first text view at the line and column, a unit column walked over the
    // loaded line.
    bool OpenOutputTarget(const OutputTarget& target) override;
    void ShowOutputStatus(const char* text) override;
    OutputChannel* AcquireOutputChannel(int key, OutputJob* job = nullptr) override;
    void ReleaseOutputChannel(OutputChannel* channel) override;
    bool HasFreeOutputChannel(int key) const override;
    bool IsOutputChannelBusy(int key) const override;
    void AppendOutput(const OutputChannel* channel, const char* text, int length = -1) override;
    void ClearOutput(const OutputChannel* channel) override;
    void StopOutputJob(int key) override;
    // After the window is gone: every job still holding a channel is stopped and waited for.
    void StopAllOutputJobs();

    // --- User tools --------------------------------------------------------------------------
    // Puts the tool list's items at the end of the Tools menu of the frame's own menu and of the
    // document menu; at start-up and after the tool list changed.
    void RebuildToolsMenus() override;
    // Runs tool n (command 40960 + n): saves the documents when the tool asks, asks for the
    // argument when it asks, expands the macros from the active document and starts it.
    void RunUserTool(size_t n);
    ToolRunner& Tools() { return m_toolRunner; }
    // The capture panes read the error lines of the common tool chains for Go to.
    void InstallErrorLineReaders();
    // F4 (dir 1) and Shift+F4 (dir -1): the next or previous error line of the capture pane used
    // last is made the caret line and opened. False when there is none.
    bool StepErrorLine(int dir);

    // --- ITextDocHost ------------------------------------------------------------------------
    void ShowStatusMessage(const char* text) override;
    void ShowStatusProgress(UINT labelId, int position, int maximum) override;
    void OnDocumentRenamed(CTextEditDoc* doc, const char* path) override;
    void OnDocumentStateChanged(CTextEditDoc* doc, int state) override;

    // --- IClipTextHost -----------------------------------------------------------------------
    CFxEditView* ActiveClipTextView() override;
    bool NewClipLibraryDocument(const std::string& text) override;
    bool OpenClipLibraryFile(const std::string& path) override;
    std::string ClipLibraryFolder() override;
    bool ReadClipSortAscending() override;
    void WriteClipSortAscending(bool ascending) override;

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
    // WM_DPICHANGED: moved to a monitor of another density (app/MainFrameDpi.cpp).
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnRecoveryOffer(WPARAM wParam, LPARAM lParam);
    LRESULT OnReleaseChannelMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnDrawClipboard(WPARAM wParam, LPARAM lParam);
    void OnChangeCbChain(HWND removed, HWND next);
    bool OnDeviceChange(UINT event, DWORD_PTR data);
    void OnSysColorChange();
    LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
    // The end of the Windows session (log-off, shut-down): asked first, then told.
    LRESULT OnQueryEndSession(WPARAM wParam, LPARAM lParam);
    LRESULT OnEndSession(WPARAM wParam, LPARAM lParam);

    void OnFileOpen();
    void OnFileSaveAll();
    // Prints every text document through its first text view, without a dialog.
    void OnFilePrintAll();
    void OnWindowCloseAll();
    void OnUpdateNeedsChild(CCmdUI* cmdUI);
    void OnViewStatusBar();
    void OnUpdateViewStatusBar(CCmdUI* cmdUI);
    void OnViewBar(UINT id);
    void OnUpdateViewBar(CCmdUI* cmdUI);
    void OnViewFileTree();
    void OnViewClipText();
    void OnUpdateViewPage(CCmdUI* cmdUI);
    void OnViewFullScreen();
    void OnUpdateViewFullScreen(CCmdUI* cmdUI);
    void OnHelpAbout();
    void OnHelpTemplateRules();
    void OnFindInFiles();
    void OnReplaceInFiles();
    void OnUpdateFindInFiles(CCmdUI* cmdUI);
    // Runs the find (or replace) in files dialog and starts what it asks for.
    void RunFindInFilesDialog(bool replace);
    void OnUserTool(UINT id);
    void OnUpdateUserTool(CCmdUI* cmdUI);

    DECLARE_MESSAGE_MAP()

private:
    // The standard toolbar with the stored layout, and the switch bar (called by CreateBars).
    bool CreateToolBar(DWORD alignment, bool visible);
    bool CreateSwitchBar(DWORD style);
    void AddTrayIcon();
    void RemoveTrayIcon();

    CBarStatus m_status;
    COutputBar m_outputBar;
    OutputWindow m_outputWindow;
    CWorkspaceBar m_workspaceBar;
    BarEntry m_barTable[kBarCount];
    bool m_barsSaved = false;
    CBarSwitch m_switch;
    CBarTool m_toolbar;
    bool m_inAutoSave = false;
    bool m_closing = false;
    // The user answered the save questions for the end of the session: the documents still
    // modified are given up when it ends.
    bool m_sessionAgreed = false;
    bool m_fullScreen = false;
    RECT m_fullScreenRect = {0, 0, 0, 0};
    WINDOWPLACEMENT m_placement = {};
    bool m_startMaximized = false;
    bool m_trayIcon = false;
    class CDlgAsFrame* m_settingsDlg = nullptr;
    UINT m_settingsPage = 401;
    // Clipboard watch: the next viewer of the chain, and the notice that joining sends (or a
    // repeat of the last one) to be skipped, recognised by the clipboard's sequence number.
    CTextEditDoc* m_pasteTarget = nullptr;
    bool m_inViewerChain = false;
    HWND m_nextViewer = nullptr;
    bool m_skipClipboardNotice = true;
    DWORD m_clipboardSequence = 0;
    IFileTreeDrives* m_fileTree = nullptr;
    bool IsOwnChannel(const OutputChannel* channel) const;
    void FreeChannel(OutputChannel* channel);
    // The channel table is changed on the frame's own thread only; job threads send their
    // releases to the window, which is null before it exists and from its destruction on.
    OutputChannel m_channels[kOutputChannels];
    const DWORD m_channelThread = ::GetCurrentThreadId();
    std::atomic<HWND> m_channelWindow{nullptr};
    IOutputPanes* m_outputPanes = nullptr;
    // Declared last: its capture jobs are stopped by this frame's destructor, while they
    // still exist.
    ToolRunner m_toolRunner{this};
    int32_t m_errorLine[3] = {-1, -1, -1}; // by capture key: the line F4 opened last
};

// The one main frame (null before it is made and after it is gone).
CAppMainFrame* AppMainFrame();
