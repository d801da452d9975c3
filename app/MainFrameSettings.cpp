// The main frame and the settings dialog: running it at a page, and applying what its pages
// changed to the open documents, views, toolbar, key map and lists. Layer: app/.
#include "app/AppMainFrame.h"

#include "app/App.h"
#include "app/TextEditDoc.h"
#include "app/TextEditView.h"
#include "dialogs/DlgAsFrame.h"
#include "framework/Dpi.h"
#include "dialogs/DlgIds.h"
#include "framework/MessageBox.h"

void CAppMainFrame::OpenSettings(UINT pageId, UINT controlId) {
    if (m_settingsDlg) {
        if (m_settingsDlg->m_hWnd)
            ::SetWindowPos(m_settingsDlg->m_hWnd, HWND_TOP, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        return;
    }
    try {
        CDlgAsFrame dialog(this, pageId ? pageId : m_settingsPage, controlId, this);
        m_settingsDlg = &dialog;
        const INT_PTR result = dialog.DoModal();
        m_settingsDlg = nullptr;
        if (dialog.CurrentPageId())
            m_settingsPage = dialog.CurrentPageId();
        if (result == -1)
            AfxMessageBox(IDS_SETTINGS_FAILED, MB_OK | MB_ICONSTOP);
    } catch (...) {
        m_settingsDlg = nullptr;
        throw;
    }
}

void CAppMainFrame::OnToolsSettings() {
    OpenSettings(0);
}

void CAppMainFrame::OnToolsUserTools() {
    OpenSettings(IDD_AS_TOOLS);
}

void CAppMainFrame::OnFilePrintSetup() {
    OpenSettings(IDD_AS_PRINT);
}

void CAppMainFrame::ApplyDisplaySettings(bool fontRecreated) {
    ApplyEditorDisplaySettings(fontRecreated);
}

void CAppMainFrame::ApplyFileType(const FileTypeInfo& type) {
    for (CTextEditDoc* doc : TextDocuments())
        if (doc->FileType() == &type)
            CTextEditView::ApplyFileType(*doc, type);
}

void CAppMainFrame::ApplyToolbarLayout() {
    SettingsStore* settings = AppSettings();
    if (!settings || !m_toolbar.m_hWnd)
        return;
    const ToolbarButtonSet& set = settings->Toolbar();
    settings->ApplyToolbarLayout(m_toolbar.m_hWnd, set.layout, set.layoutCount, FxDpiOf(m_hWnd));
    m_toolbar.OnButtonsReplaced();
    RecalcLayout();
}

void CAppMainFrame::InstallKeyMap() {
    if (SettingsStore* settings = AppSettings())
        settings->InstallKeyMap(&m_hAccelTable);
}

void CAppMainFrame::FileFiltersChanged() {
    // The Open dialog builds its filter string from the store each time it opens; the file
    // tree's filter box takes the new list at once.
    CWsbFileTree& tree = m_workspaceBar.FileTree();
    if (tree.m_hWnd)
        tree.ReloadFilterList();
}

void CAppMainFrame::SetRecentFileCount(int count) {
    CApp* app = AppGetApp();
    if (!app)
        return;
    app->SaveStdProfileSettings();
    app->LoadStdProfileSettings(static_cast<UINT>(count));
}

const FileTypeInfo* CAppMainFrame::ActiveFileType() {
    CTextEditDoc* doc = GetActiveTextDoc();
    return doc ? doc->FileType() : nullptr;
}
