// The main frame at the end of the Windows session: log-off and shut-down end the process
// without a close, so the questions of an exit are asked when the session asks whether it may
// end, and the settings are written when it does. Layer: app/.
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/RecoveryManager.h"
#include "settings/SettingsStore.h"

LRESULT CAppMainFrame::OnQueryEndSession(WPARAM, LPARAM lParam) {
    m_sessionAgreed = false;
    CApp* app = AppGetApp();
    if (SettingsStore* settings = AppSettings())
        settings->SaveReopenList(*this);
    if (lParam & ENDSESSION_CRITICAL) {
        // No time to ask: the unsaved text goes into fresh recovery copies, offered back at the
        // next start.
        if (RecoveryManager* recovery = AppRecovery())
            recovery->CopyAllNow();
        return TRUE;
    }
    // The questions of an exit; Cancel keeps the session running.
    m_closing = true;
    const bool agreed = !app || app->CWinApp::SaveAllModified();
    m_closing = false;
    m_sessionAgreed = agreed;
    return agreed ? TRUE : FALSE;
}

LRESULT CAppMainFrame::OnEndSession(WPARAM wParam, LPARAM) {
    if (!wParam) {
        m_sessionAgreed = false; // the session goes on (another program refused): so do we
        return 0;
    }
    // The process ends after this returns, without a close or a destroy.
    KillTimer(kAutoSaveTimer);
    KillTimer(kRecoveryTimer);
    if (RecoveryManager* recovery = AppRecovery()) {
        if (m_sessionAgreed)
            recovery->EndNormally(); // what is still modified the user chose not to save
        else
            recovery->CopyAllNow(); // not asked: the copies stay for the next start
    }
    SaveBarTable();
    if (SettingsStore* settings = AppSettings())
        settings->SaveOnExit();
    return 0;
}
