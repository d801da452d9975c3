// CDlgAsBackup: the backup page (409): auto-save on or off and its interval, skipping unnamed
// documents, backup on save and the backup folder, and the recovery copies of modified
// documents. Layer: dialogs/.
#pragma once

#include "dialogs/DlgAsBase.h"

class CDlgAsBackup : public CDlgAsBase {
public:
    explicit CDlgAsBackup(CWnd* frame);
    bool OnInitDialog() override;
    bool ValidatePage() override;
    void StoreValues() override;
    void OnAutoSave();
    void OnBackup();
    void OnBrowse();
    void OnRecovery();
    DECLARE_MESSAGE_MAP()

private:
    void EnableDependents();
    int m_interval = 1;
};
