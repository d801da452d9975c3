// CAppMainFrame: the find and replace in files commands, enabled while a find-in-files pane
// is free. Layer: app/.
#include "app/AppMainFrame.h"
#include "app/App.h"
#include "app/DlgFindInFiles.h"
#include "app/TextEditView.h"
#include "framework/CmdUI.h"
#include "search/FileSearch.h"

void CAppMainFrame::OnFindInFiles() {
    RunFindInFilesDialog(false);
}

void CAppMainFrame::OnReplaceInFiles() {
    RunFindInFilesDialog(true);
}

void CAppMainFrame::OnUpdateFindInFiles(CCmdUI* cmdUI) {
    cmdUI->Enable(HasFreeOutputChannel(3));
}

void CAppMainFrame::RunFindInFilesDialog(bool replace) {
    if (!HasFreeOutputChannel(3))
        return;
    CTextEditView* view = GetActiveTextView();
    CDlgFindInFiles dlg(this, replace, view ? view->FindPrefillText() : std::string());
    if (dlg.DoModal() != IDOK)
        return;
    if (SettingsStore* settings = AppSettings())
        for (int i = 0; i < 2; ++i)
            settings->m_findJobs[i].job = &FxFileSearchSlot(i);
    if (replace)
        StartReplaceInFiles(this, dlg.Request());
    else
        StartFindInFiles(this, dlg.Request());
}
