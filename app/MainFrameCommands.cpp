// The main frame's own commands on files, windows and help: open with an encoding, save all,
// close all, About and the template rules. Layer: app/.
#include "app/AppMainFrame.h"

#include "app/App.h"
#include "app/CommandIds.h"
#include "app/DlgFile.h"
#include "app/TextEditDoc.h"
#include "framework/CmdUI.h"
#include "framework/MessageBox.h"

namespace {
// The open dialog's name buffer: room for many selected files.
const size_t kOpenNameBuffer = 26000;
} // namespace

void CAppMainFrame::OnFileOpen() {
    SettingsStore* settings = AppSettings();
    std::string filter;
    const char* folder = nullptr;
    if (settings) {
        filter = settings->FileDialogFilter();
        CTextEditDoc* active = GetActiveTextDoc();
        if (settings->General().useActiveFileDirOnFileOpen && active)
            folder = settings->ActiveDocumentFolder(active->GetPathName().c_str());
    }
    CDlgFile dialog(true, nullptr, nullptr,
                    OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_EXPLORER |
                        OFN_ENABLESIZING,
                    filter.empty() ? nullptr : filter.c_str(), this);
    dialog.SetFileBufferSize(kOpenNameBuffer);
    if (folder && *folder)
        dialog.m_ofn.lpstrInitialDir = folder;
    dialog.m_encoding = CTextEditDoc::PendingOpenEncoding();
    if (dialog.DoModal() != IDOK)
        return;
    for (const std::string& path : dialog.ChosenPaths())
        CTextEditDoc::OpenFileWithEncoding(path.c_str(), dialog.m_encoding);
}

void CAppMainFrame::OnFileSaveAll() {
    if (CApp* app = AppGetApp())
        app->SaveAllModified(true);
}

void CAppMainFrame::OnWindowCloseAll() {
    CApp* app = AppGetApp();
    if (app && app->CWinApp::SaveAllModified())
        app->CloseAllDocuments(false);
}

void CAppMainFrame::OnUpdateNeedsChild(CCmdUI* cmdUI) {
    cmdUI->Enable(MDIGetActive() != nullptr);
}

void CAppMainFrame::OnHelpAbout() {
    AfxMessageBox(CApp::GetVersionText().c_str(), MB_OK | MB_ICONINFORMATION);
}

void CAppMainFrame::OnHelpTemplateRules() {
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(ID_HELP_TEMPLATE_RULES, HELP_CONTEXT);
}
