// CDlgAsKeyboard: the keyboard shortcut page (413): command groups and commands of the
// catalogue, the keys assigned to a command, a field that records a new key, and assign,
// remove and reset all over a working copy of the key map, which OK or Apply installs as the
// main frame's accelerators. Layer: dialogs/.
#pragma once

#include "settings/SettingsStore.h"
#include "dialogs/DlgAsBase.h"
#include "dialogs/KeyCaptureEdit.h"
#include "workspace/FxButton.h"

#include <map>

class CDlgAsKeyboard : public CDlgAsBase, public CKeyCaptureEdit::Listener {
public:
    explicit CDlgAsKeyboard(CWnd* frame);
    bool OnInitDialog() override;
    void StoreValues() override;
    // The capture field's own text changes are not edits of the page.
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;

    void OnGroupChanged();
    void OnCommandChanged();
    void OnAssignedChanged();
    void OnAssign();
    void OnRemove();
    void OnResetAll();
    void OnKeyCaptured(uint32_t keyCode) override;

    // The working map: key code -> binding.
    const std::map<uint32_t, SettingsStore::KeyBinding>& WorkingMap() const { return m_map; }
    UINT SelectedCommand() const;
    CKeyCaptureEdit& CaptureField() { return m_capture; }
    DECLARE_MESSAGE_MAP()

private:
    void FillCommands();
    void FillAssigned();
    void ShowCommandDescription();
    std::map<uint32_t, SettingsStore::KeyBinding> m_map;
    CKeyCaptureEdit m_capture;
    CFxButton m_buttons[3];
    std::string m_lastText;
    int m_group = -1;
    UINT m_command = 0;
};
