// The keyboard shortcut page: the catalogue's groups and names, the key-capture field with its
// ignored keys, the messages about a key's owner, assigning, removing, resetting, and the map
// reaching the main frame's accelerators and menu texts on OK, and nothing on Cancel.
#include "tests/dialogs/SettingsFixture.h"

#include "dialogs/CommandCatalogue.h"
#include "dialogs/DlgAsKeyboard.h"

namespace {

class KeyboardPageTest : public SettingsDialogFixture {
protected:
    CDlgAsKeyboard* OpenKeyboard() {
        Open(IDD_AS_KEYBOARD);
        return Page<CDlgAsKeyboard>(IDD_AS_KEYBOARD);
    }
    // A key pressed in the capture field with the modifiers held (as the thread's key state).
    void Press(CDlgAsKeyboard* page, UINT vk, bool ctrl = false, bool shift = false,
               bool alt = false) {
        BYTE state[256];
        GetKeyboardState(state);
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        state[VK_MENU] = alt ? 0x80 : 0;
        SetKeyboardState(state);
        HWND field = page->GetDlgItem(IDC_KEY_CAPTURE);
        SendMessageA(field, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, 1);
        state[VK_CONTROL] = state[VK_SHIFT] = state[VK_MENU] = 0;
        SetKeyboardState(state);
    }
    void SelectCommand(CDlgAsKeyboard* page, int group, UINT command) {
        SelectListItem(IDD_AS_KEYBOARD, IDC_KEY_GROUPS, group);
        HWND list = page->GetDlgItem(IDC_KEY_COMMANDS);
        const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            if (static_cast<UINT>(SendMessageA(list, LB_GETITEMDATA, i, 0)) == command)
                SelectListItem(IDD_AS_KEYBOARD, IDC_KEY_COMMANDS, i);
        ASSERT_EQ(page->SelectedCommand(), command);
    }
    std::vector<std::string> Assigned(CDlgAsKeyboard* page) {
        std::vector<std::string> keys;
        HWND list = page->GetDlgItem(IDC_KEY_ASSIGNED);
        const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[128] = "";
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            keys.push_back(text);
        }
        return keys;
    }
    static constexpr uint32_t kCtrlN = 'N' | (FCONTROL << 16);
};

TEST_F(KeyboardPageTest, TheCatalogueListsItsGroupsWithTheCommandsShortNames) {
    EXPECT_EQ(kCommandGroupCount, 8);
    EXPECT_EQ(CommandShortName(57600), "新建");
    EXPECT_EQ(CommandDescription(57600), "建立新文档");
    EXPECT_EQ(CommandShortName(35620), "参数设置");
    // Every command of the catalogue has a name.
    for (int g = 0; g < kCommandGroupCount; ++g)
        for (int i = 0; i < kCommandGroups[g].count; ++i)
            EXPECT_FALSE(CommandShortName(kCommandGroups[g].commands[i]).empty())
                << kCommandGroups[g].commands[i];
    CDlgAsKeyboard* page = OpenKeyboard();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(SendMessageA(page->GetDlgItem(IDC_KEY_GROUPS), LB_GETCOUNT, 0, 0), 8);
    EXPECT_EQ(SendMessageA(page->GetDlgItem(IDC_KEY_COMMANDS), LB_GETCOUNT, 0, 0), 12);
    EXPECT_FALSE(IsWindowEnabled(page->GetDlgItem(IDC_KEY_ASSIGN)));
    EXPECT_FALSE(IsWindowEnabled(page->GetDlgItem(IDC_KEY_REMOVE)));
}

TEST_F(KeyboardPageTest, ModifiersAloneAndTheIgnoredKeysRecordNothing) {
    CDlgAsKeyboard* page = OpenKeyboard();
    ASSERT_NE(page, nullptr);
    Press(page, VK_SHIFT, false, true);
    Press(page, VK_CONTROL, true);
    Press(page, VK_CAPITAL);
    Press(page, VK_LWIN);
    EXPECT_EQ(page->CaptureField().KeyCode(), 0u);
    EXPECT_EQ(ItemText(IDD_AS_KEYBOARD, IDC_KEY_CAPTURE), "");
    // Characters are not typed into the field.
    SendMessageA(page->GetDlgItem(IDC_KEY_CAPTURE), WM_CHAR, 'a', 1);
    EXPECT_EQ(ItemText(IDD_AS_KEYBOARD, IDC_KEY_CAPTURE), "");
    EXPECT_FALSE(IsWindowEnabled(m_dialog->GetDlgItem(IDC_AS_APPLY)));
}

TEST_F(KeyboardPageTest, CtrlNNamesItsCommandAndAFreeKeySaysSo) {
    CDlgAsKeyboard* page = OpenKeyboard();
    ASSERT_NE(page, nullptr);
    Press(page, 'N', true);
    EXPECT_EQ(page->CaptureField().KeyCode(), kCtrlN);
    EXPECT_EQ(ItemText(IDD_AS_KEYBOARD, IDC_KEY_CAPTURE), SettingsStore::KeyCodeText(kCtrlN));
    EXPECT_EQ(ItemText(IDD_AS_KEYBOARD, IDC_KEY_DESCRIPTION),
              "当前这个快捷键分配给“新建”，执行“建立新文档”操作。");
    Press(page, VK_F12, true, true, true);
    EXPECT_EQ(ItemText(IDD_AS_KEYBOARD, IDC_KEY_DESCRIPTION), "当前这个快捷键还没有分配。");
    // Nothing selected: nothing to assign to.
    EXPECT_FALSE(IsWindowEnabled(page->GetDlgItem(IDC_KEY_ASSIGN)));
}

TEST_F(KeyboardPageTest, AssigningAKeyInUseMovesItAndCancelChangesNothing) {
    SettingsStore* s = GetSettings();
    const auto before = s->KeyMap();
    HACCEL table = m_frame->m_hAccelTable;
    CDlgAsKeyboard* page = OpenKeyboard();
    ASSERT_NE(page, nullptr);
    SelectCommand(page, 0, 57601); // open
    Press(page, 'N', true);
    EXPECT_TRUE(IsWindowEnabled(page->GetDlgItem(IDC_KEY_ASSIGN)));
    ClickPage(IDD_AS_KEYBOARD, IDC_KEY_ASSIGN);
    EXPECT_EQ(page->WorkingMap().at(kCtrlN).command, 57601u);
    const std::vector<std::string> openKeys = Assigned(page);
    EXPECT_NE(std::find(openKeys.begin(), openKeys.end(), SettingsStore::KeyCodeText(kCtrlN)),
              openKeys.end());
    EXPECT_EQ(page->CaptureField().KeyCode(), 0u);
    SelectCommand(page, 0, 57600); // new
    const std::vector<std::string> newKeys = Assigned(page);
    EXPECT_EQ(std::find(newKeys.begin(), newKeys.end(), SettingsStore::KeyCodeText(kCtrlN)),
              newKeys.end());
    EXPECT_TRUE(IsWindowEnabled(m_dialog->GetDlgItem(IDC_AS_APPLY)));
    ClickFrame(IDCANCEL);
    EXPECT_FALSE(DialogOpen());
    EXPECT_EQ(m_frame->m_hAccelTable, table);
    EXPECT_EQ(s->KeyMap().size(), before.size());
    EXPECT_EQ(s->KeyMap().at(kCtrlN).command, 57600u);
    EXPECT_FALSE(s->IsKeyMapDirty());
}

TEST_F(KeyboardPageTest, RemoveAndResetAll) {
    CDlgAsKeyboard* page = OpenKeyboard();
    ASSERT_NE(page, nullptr);
    SelectCommand(page, 0, 57600);
    ASSERT_FALSE(Assigned(page).empty());
    SelectListItem(IDD_AS_KEYBOARD, IDC_KEY_ASSIGNED, 0);
    EXPECT_TRUE(IsWindowEnabled(page->GetDlgItem(IDC_KEY_REMOVE)));
    const size_t keys = page->WorkingMap().size();
    ClickPage(IDD_AS_KEYBOARD, IDC_KEY_REMOVE);
    EXPECT_EQ(page->WorkingMap().size(), keys - 1);
    // Reset all asks first; No keeps the change.
    Answer() = IDNO;
    ClickPage(IDD_AS_KEYBOARD, IDC_KEY_RESET);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "下面将会装入默认的快捷键设置并删除之前所作的所有改动，是否继续？");
    EXPECT_EQ(Boxes()[0].type & (MB_ICONMASK | MB_DEFMASK | MB_TYPEMASK),
              static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
    EXPECT_EQ(page->WorkingMap().size(), keys - 1);
    Answer() = IDYES;
    ClickPage(IDD_AS_KEYBOARD, IDC_KEY_RESET);
    EXPECT_EQ(page->WorkingMap().size(), keys);
    EXPECT_EQ(page->SelectedCommand(), 0u);
}

TEST_F(KeyboardPageTest, ANewShortcutWorksAtOnceShowsInTheMenuAndSurvivesARestart) {
    CTextEditView* view = NewDocument();
    ASSERT_NE(view, nullptr);
    CDlgAsKeyboard* page = OpenKeyboard();
    ASSERT_NE(page, nullptr);
    SelectCommand(page, 4, 35526); // read-only, which has no key of its own
    Press(page, VK_F7, true, true);
    const uint32_t key = VK_F7 | ((FCONTROL | FSHIFT) << 16);
    ClickPage(IDD_AS_KEYBOARD, IDC_KEY_ASSIGN);
    ClickFrame(IDOK);
    EXPECT_FALSE(DialogOpen());
    // The frame's table translates the new key into the command.
    ACCEL entries[512];
    const int n = CopyAcceleratorTableA(m_frame->m_hAccelTable, entries, 512);
    bool found = false;
    for (int i = 0; i < n; ++i)
        found = found || (entries[i].key == VK_F7 && entries[i].cmd == 35526 &&
                          (entries[i].fVirt & (FCONTROL | FSHIFT | FALT)) == (FCONTROL | FSHIFT));
    EXPECT_TRUE(found);
    const bool readOnly = view->GetTextDoc()->IsReadOnly();
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_CONTROL] = state[VK_SHIFT] = 0x80;
    SetKeyboardState(state);
    MSG msg = {view->m_hWnd, WM_KEYDOWN, VK_F7, 1, 0, {0, 0}};
    EXPECT_TRUE(TranslateAcceleratorA(m_frame->m_hWnd, m_frame->m_hAccelTable, &msg));
    state[VK_CONTROL] = state[VK_SHIFT] = 0;
    SetKeyboardState(state);
    Pump();
    EXPECT_NE(view->GetTextDoc()->IsReadOnly(), readOnly);
    view->GetTextDoc()->SetReadOnly(readOnly);
    // The menu item shows the new key.
    char text[64];
    ASSERT_TRUE(GetSettings()->ShortcutText(35526, text, sizeof text));
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 35526, "设为只读(&R)");
    m_frame->UpdateMenuTexts(popup);
    char item[128] = "";
    GetMenuStringA(popup, 0, item, sizeof item, MF_BYPOSITION);
    DestroyMenu(popup);
    EXPECT_NE(std::string(item).find(SettingsStore::KeyCodeText(key)), std::string::npos) << item;
    // As at the next start.
    char saved[8192] = "";
    GetPrivateProfileStringA("Keyboard", "TextEdit", "", saved, sizeof saved,
                             IniPath(IniSettings).c_str());
    const std::string pair = std::to_string(key) + ",35526";
    EXPECT_NE(std::string(saved).find(pair), std::string::npos) << saved;
    // Back to the built-in keys.
    page = OpenKeyboard();
    Answer() = IDYES;
    ClickPage(IDD_AS_KEYBOARD, IDC_KEY_RESET);
    ClickFrame(IDOK);
}

} // namespace
