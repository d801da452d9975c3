// CDlgAsBackup. Layer: dialogs/.
#include "dialogs/DlgAsBackup.h"

#include "settings/SettingsStore.h"
#include "dialogs/DlgIds.h"
#include "framework/FolderDialog.h"
#include "framework/ResourceText.h"

BEGIN_MESSAGE_MAP(CDlgAsBackup, CDlgAsBase)
ON_BN_CLICKED(IDC_BAK_AUTOSAVE, OnAutoSave)
ON_BN_CLICKED(IDC_BAK_BACKUP, OnBackup)
ON_BN_CLICKED(IDC_BAK_BROWSE, OnBrowse)
ON_BN_CLICKED(IDC_BAK_RECOVERY, OnRecovery)
END_MESSAGE_MAP()

CDlgAsBackup::CDlgAsBackup(CWnd* frame) : CDlgAsBase(IDD_AS_BACKUP, frame) {}

bool CDlgAsBackup::OnInitDialog() {
    CDlgAsBase::OnInitDialog();
    m_loading = true;
    ::SendMessageA(GetDlgItem(IDC_BAK_PATH), EM_LIMITTEXT, MAX_PATH - 1, 0);
    if (SettingsStore* s = Store()) {
        const BackupOptions& b = s->Backup();
        SetCheck(IDC_BAK_AUTOSAVE, b.autoSave);
        SetItemInt(IDC_BAK_INTERVAL, b.autoSaveInterval);
        SetCheck(IDC_BAK_NOTUNNAMED, b.notSaveUnnamedFile);
        SetCheck(IDC_BAK_BACKUP, b.backupFileOnSave);
        SetItemText(IDC_BAK_PATH, b.backupPath.c_str());
        SetCheck(IDC_BAK_RECOVERY, b.recoveryCopies);
    }
    EnableDependents();
    m_loading = false;
    return true;
}

void CDlgAsBackup::EnableDependents() {
    const bool autoSave = IsChecked(IDC_BAK_AUTOSAVE);
    EnableItem(IDC_BAK_INTERVAL, autoSave);
    EnableItem(IDC_BAK_NOTUNNAMED, autoSave);
    const bool backup = IsChecked(IDC_BAK_BACKUP);
    EnableItem(IDC_BAK_PATH, backup);
    EnableItem(IDC_BAK_BROWSE, backup);
}

void CDlgAsBackup::OnAutoSave() {
    EnableDependents();
    SetModified(true);
}

void CDlgAsBackup::OnBackup() {
    EnableDependents();
    SetModified(true);
}

void CDlgAsBackup::OnRecovery() {
    SetModified(true);
}

void CDlgAsBackup::OnBrowse() {
    const std::string title = AfxLoadString(IDS_BAK_BROWSE_TITLE);
    const std::string current = ItemText(IDC_BAK_PATH);
    CFolderDialog dialog(title.c_str(), current.c_str(), this);
    if (dialog.DoModal() != IDOK || dialog.GetFolderPath().empty())
        return;
    SetItemText(IDC_BAK_PATH, dialog.GetFolderPath().substr(0, MAX_PATH - 1).c_str());
    SetModified(true);
}

bool CDlgAsBackup::ValidatePage() {
    // The interval matters only while auto-save is on; a disabled field is still kept sane.
    return ValidateInt(IDC_BAK_INTERVAL, 1, 60, IDS_RANGE_AUTOSAVE, &m_interval);
}

void CDlgAsBackup::StoreValues() {
    SettingsStore* s = Store();
    if (!s)
        return;
    BackupOptions& b = s->Backup();
    b.autoSave = IsChecked(IDC_BAK_AUTOSAVE);
    b.autoSaveInterval = m_interval;
    b.notSaveUnnamedFile = IsChecked(IDC_BAK_NOTUNNAMED);
    b.backupFileOnSave = IsChecked(IDC_BAK_BACKUP);
    b.backupPath = ItemText(IDC_BAK_PATH).substr(0, MAX_PATH - 1);
    // The program notices the switch on its next round of recovery copies: off removes the
    // copies it keeps.
    b.recoveryCopies = IsChecked(IDC_BAK_RECOVERY);
    s->SetBackupDirty();
    s->SaveBackupOptions();
    s->ConfigureAutoSave(b.autoSave, b.autoSaveInterval, b.notSaveUnnamedFile);
}
