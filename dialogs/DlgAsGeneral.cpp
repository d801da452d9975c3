// CDlgAsGeneral. Layer: dialogs/.
#include "dialogs/DlgAsGeneral.h"

#include "settings/SettingsStore.h"
#include "dialogs/DlgIds.h"
#include "dialogs/SettingsHost.h"

CDlgAsGeneral::CDlgAsGeneral(CWnd* frame) : CDlgAsBase(IDD_AS_GENERAL, frame) {}

bool CDlgAsGeneral::OnInitDialog() {
    CDlgAsBase::OnInitDialog();
    m_loading = true;
    if (SettingsStore* s = Store()) {
        const GeneralOptions& g = s->General();
        SetItemInt(IDC_GEN_RECENT, g.recentFiles);
        SetItemInt(IDC_GEN_LINESPACING, g.lineSpacing);
        SetItemInt(IDC_GEN_NUMBERSPACING, g.lineNumberAndTextSpacing);
        SetCheck(IDC_GEN_NEWDOC, g.createNewDocOnStartup);
        SetCheck(IDC_GEN_MULTIPLE, g.allowMultipleInstances);
        SetCheck(IDC_GEN_RELOAD, g.reloadOpenFiles);
        SetCheck(IDC_GEN_ACTIVEDIR, g.useActiveFileDirOnFileOpen);
        SetCheck(IDC_GEN_TRAY, g.minimizeToSysTray);
    }
    m_loading = false;
    return true;
}

bool CDlgAsGeneral::ValidatePage() {
    return ValidateUInt(IDC_GEN_RECENT, 0, 16, IDS_RANGE_RECENT, &m_recent) &&
           ValidateUInt(IDC_GEN_LINESPACING, 0, 240, IDS_RANGE_LINESPACING, &m_lineSpacing) &&
           ValidateUInt(IDC_GEN_NUMBERSPACING, 0, 320, IDS_RANGE_NUMBERSPACING, &m_numberSpacing);
}

void CDlgAsGeneral::StoreValues() {
    SettingsStore* s = Store();
    if (!s)
        return;
    GeneralOptions& g = s->General();
    const bool display = g.lineSpacing != static_cast<int>(m_lineSpacing) ||
                         g.lineNumberAndTextSpacing != static_cast<int>(m_numberSpacing);
    const bool recent = g.recentFiles != static_cast<int>(m_recent);
    g.recentFiles = static_cast<int>(m_recent);
    g.lineSpacing = static_cast<int>(m_lineSpacing);
    g.lineNumberAndTextSpacing = static_cast<int>(m_numberSpacing);
    g.createNewDocOnStartup = IsChecked(IDC_GEN_NEWDOC);
    g.allowMultipleInstances = IsChecked(IDC_GEN_MULTIPLE);
    g.reloadOpenFiles = IsChecked(IDC_GEN_RELOAD);
    g.useActiveFileDirOnFileOpen = IsChecked(IDC_GEN_ACTIVEDIR);
    g.minimizeToSysTray = IsChecked(IDC_GEN_TRAY);
    s->SetGeneralDirty();
    s->SaveGeneralOptions();
    if (ISettingsHost* host = Host()) {
        if (display)
            host->ApplyDisplaySettings(false);
        if (recent)
            host->SetRecentFileCount(g.recentFiles);
    }
}
