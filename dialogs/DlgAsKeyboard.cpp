// CDlgAsKeyboard. Layer: dialogs/.
#include "dialogs/DlgAsKeyboard.h"

#include "dialogs/CommandCatalogue.h"
#include "dialogs/DlgIds.h"
#include "dialogs/SettingsHost.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"

BEGIN_MESSAGE_MAP(CDlgAsKeyboard, CDlgAsBase)
ON_LBN_SELCHANGE(IDC_KEY_GROUPS, OnGroupChanged)
ON_LBN_SELCHANGE(IDC_KEY_COMMANDS, OnCommandChanged)
ON_LBN_SELCHANGE(IDC_KEY_ASSIGNED, OnAssignedChanged)
ON_BN_CLICKED(IDC_KEY_ASSIGN, OnAssign)
ON_BN_CLICKED(IDC_KEY_REMOVE, OnRemove)
ON_BN_CLICKED(IDC_KEY_RESET, OnResetAll)
END_MESSAGE_MAP()

CDlgAsKeyboard::CDlgAsKeyboard(CWnd* frame) : CDlgAsBase(IDD_AS_KEYBOARD, frame) {}

bool CDlgAsKeyboard::OnInitDialog() {
    CDlgAsBase::OnInitDialog();
    static const FxButtonRow kRows[3] = {
        {IDC_KEY_ASSIGN, -1, 1}, {IDC_KEY_REMOVE, -1, 1}, {IDC_KEY_RESET, -1, 1}};
    AttachFxButtons(this, m_buttons, kRows, 3);
    m_capture.SubclassDlgItem(IDC_KEY_CAPTURE, this);
    m_capture.SetListener(this);
    EnableItem(IDC_KEY_ASSIGN, false);
    EnableItem(IDC_KEY_REMOVE, false);
    HWND groups = GetDlgItem(IDC_KEY_GROUPS);
    for (int i = 0; i < kCommandGroupCount; ++i) {
        const LRESULT at = ::SendMessageA(
            groups, LB_ADDSTRING, 0,
            reinterpret_cast<LPARAM>(AfxLoadString(kCommandGroups[i].nameId).c_str()));
        ::SendMessageA(groups, LB_SETITEMDATA, static_cast<WPARAM>(at), i);
    }
    if (SettingsStore* s = Store()) {
        s->EnsureKeyMap();
        m_map = s->KeyMap();
    }
    ::SendMessageA(groups, LB_SETCURSEL, 0, 0);
    OnGroupChanged();
    return true;
}

bool CDlgAsKeyboard::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDC_KEY_CAPTURE)
        return true;
    return CDlgAsBase::OnCommand(wParam, lParam);
}

void CDlgAsKeyboard::OnGroupChanged() {
    const LRESULT sel = ::SendMessageA(GetDlgItem(IDC_KEY_GROUPS), LB_GETCURSEL, 0, 0);
    const int group = sel == LB_ERR ? -1 : static_cast<int>(sel);
    if (group == m_group)
        return;
    m_group = group;
    FillCommands();
}

void CDlgAsKeyboard::FillCommands() {
    HWND commands = GetDlgItem(IDC_KEY_COMMANDS);
    ::SendMessageA(commands, LB_RESETCONTENT, 0, 0);
    if (m_group >= 0) {
        const CommandGroup& g = kCommandGroups[m_group];
        for (int i = 0; i < g.count; ++i) {
            const LRESULT at =
                ::SendMessageA(commands, LB_ADDSTRING, 0,
                               reinterpret_cast<LPARAM>(CommandShortName(g.commands[i]).c_str()));
            ::SendMessageA(commands, LB_SETITEMDATA, static_cast<WPARAM>(at), g.commands[i]);
        }
    }
    m_command = 0;
    ::SendMessageA(GetDlgItem(IDC_KEY_ASSIGNED), LB_RESETCONTENT, 0, 0);
    SetItemText(IDC_KEY_DESCRIPTION, "");
    EnableItem(IDC_KEY_ASSIGN, false);
    EnableItem(IDC_KEY_REMOVE, false);
}

UINT CDlgAsKeyboard::SelectedCommand() const {
    HWND commands = GetDlgItem(IDC_KEY_COMMANDS);
    const LRESULT sel = ::SendMessageA(commands, LB_GETCURSEL, 0, 0);
    if (sel == LB_ERR)
        return 0;
    return static_cast<UINT>(::SendMessageA(commands, LB_GETITEMDATA, static_cast<WPARAM>(sel), 0));
}

void CDlgAsKeyboard::FillAssigned() {
    HWND assigned = GetDlgItem(IDC_KEY_ASSIGNED);
    ::SendMessageA(assigned, LB_RESETCONTENT, 0, 0);
    if (!m_command)
        return;
    for (const auto& e : m_map) {
        if (e.second.command != m_command)
            continue;
        const std::string text = SettingsStore::KeyCodeText(e.first);
        const LRESULT at =
            ::SendMessageA(assigned, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        ::SendMessageA(assigned, LB_SETITEMDATA, static_cast<WPARAM>(at), e.first);
    }
}

void CDlgAsKeyboard::ShowCommandDescription() {
    SetItemText(IDC_KEY_DESCRIPTION, m_command ? CommandDescription(m_command).c_str() : "");
}

void CDlgAsKeyboard::OnCommandChanged() {
    const UINT command = SelectedCommand();
    if (command == m_command)
        return;
    m_command = command;
    FillAssigned();
    ShowCommandDescription();
    EnableItem(IDC_KEY_ASSIGN, m_command && m_capture.KeyCode());
    EnableItem(IDC_KEY_REMOVE, false);
}

void CDlgAsKeyboard::OnAssignedChanged() {
    const LRESULT sel = ::SendMessageA(GetDlgItem(IDC_KEY_ASSIGNED), LB_GETCURSEL, 0, 0);
    EnableItem(IDC_KEY_REMOVE, m_command && sel != LB_ERR);
}

void CDlgAsKeyboard::OnKeyCaptured(uint32_t keyCode) {
    const std::string text = SettingsStore::KeyCodeText(keyCode);
    if (text != m_lastText) {
        m_lastText = text;
        auto it = m_map.find(keyCode);
        if (it != m_map.end()) {
            const UINT owner = it->second.command;
            SetItemText(IDC_KEY_DESCRIPTION, AfxFormat(AfxLoadString(IDS_KEY_ASSIGNED).c_str(),
                                                       CommandShortName(owner).c_str(),
                                                       CommandDescription(owner).c_str())
                                                 .c_str());
        } else {
            SetItemText(IDC_KEY_DESCRIPTION, AfxLoadString(IDS_KEY_FREE).c_str());
        }
    }
    EnableItem(IDC_KEY_ASSIGN, m_command != 0);
}

void CDlgAsKeyboard::OnAssign() {
    const uint32_t key = m_capture.KeyCode();
    if (!m_command || !key)
        return;
    m_map[key] = SettingsStore::KeyBinding{m_command, key};
    FillAssigned();
    ShowCommandDescription();
    m_capture.Clear();
    m_lastText.clear();
    EnableItem(IDC_KEY_ASSIGN, false);
    EnableItem(IDC_KEY_REMOVE, false);
    SetModified(true);
}

void CDlgAsKeyboard::OnRemove() {
    HWND assigned = GetDlgItem(IDC_KEY_ASSIGNED);
    const LRESULT sel = ::SendMessageA(assigned, LB_GETCURSEL, 0, 0);
    if (!m_command || sel == LB_ERR)
        return;
    const uint32_t key = static_cast<uint32_t>(
        ::SendMessageA(assigned, LB_GETITEMDATA, static_cast<WPARAM>(sel), 0));
    m_map.erase(key);
    ::SendMessageA(assigned, LB_DELETESTRING, static_cast<WPARAM>(sel), 0);
    if (!m_capture.KeyCode())
        ShowCommandDescription();
    EnableItem(IDC_KEY_REMOVE, false);
    SetModified(true);
}

void CDlgAsKeyboard::OnResetAll() {
    if (AfxMessageBox(IDS_KEY_RESET, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    m_map.clear();
    if (SettingsStore* s = Store())
        for (const SettingsStore::KeyBinding& b : s->DefaultKeyMap())
            m_map.emplace(b.keyCode, b);
    m_group = -1;
    ::SendMessageA(GetDlgItem(IDC_KEY_GROUPS), LB_SETCURSEL, 0, 0);
    OnGroupChanged();
    SetModified(true);
}

void CDlgAsKeyboard::StoreValues() {
    SettingsStore* s = Store();
    if (!s)
        return;
    std::vector<SettingsStore::KeyBinding> bindings;
    for (const auto& e : m_map)
        bindings.push_back(e.second);
    s->SetKeyMap(bindings);
    s->SaveKeyMap();
    if (ISettingsHost* host = Host())
        host->InstallKeyMap();
}
