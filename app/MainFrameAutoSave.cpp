// The main frame's timers: the auto-save of modified documents, the round of recovery copies
// and the start-up offer of the copies a previous run left. Layer: app/.
#include "app/AppMainFrame.h"

#include "app/App.h"
#include "app/RecoveryManager.h"

bool CAppMainFrame::AutoSaveTick() {
    // A save that asks for a name must never open a second dialog over the first, nor run
    // while the close prompts or any other modal window is up.
    if (m_inAutoSave || m_closing || !IsWindowEnabled() || ::GetLastActivePopup(m_hWnd) != m_hWnd)
        return false;
    CApp* app = AppGetApp();
    SettingsStore* settings = AppSettings();
    if (!app || !settings)
        return false;
    m_inAutoSave = true;
    app->SaveAllModified(!settings->Backup().notSaveUnnamedFile);
    m_inAutoSave = false;
    return true;
}

LRESULT CAppMainFrame::OnRecoveryOffer(WPARAM, LPARAM) {
    if (RecoveryManager* recovery = AppRecovery())
        recovery->OfferOrphans(m_hWnd);
    return 0;
}

void CAppMainFrame::OnTimer(UINT_PTR id) {
    if (id == kAutoSaveTimer) {
        AutoSaveTick();
        return;
    }
    if (id == kRecoveryTimer) {
        if (RecoveryManager* recovery = AppRecovery())
            recovery->Tick();
        return;
    }
    Default();
}
