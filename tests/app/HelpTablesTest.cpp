// The help tables against the dialogs the program really has: every dialog template of the
// program's resources, created as a window, has a help topic of its own, and every control of
// it that a user can reach has a popup text.
#include "app/App.h"
#include "app/HelpTables.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

namespace {

BOOL CALLBACK CollectDialog(HMODULE, LPCSTR, LPSTR name, LONG_PTR data) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<UINT>*>(data)->push_back(
            static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

struct ControlSeen {
    int id;
    std::string className;
    LONG style;
};
struct Collection {
    HWND dialog;
    std::vector<ControlSeen> controls;
};

// The dialog's own controls, not the parts of a combo box.
BOOL CALLBACK CollectControl(HWND child, LPARAM data) {
    Collection* collection = reinterpret_cast<Collection*>(data);
    if (GetParent(child) != collection->dialog)
        return TRUE;
    char name[64] = "";
    GetClassNameA(child, name, sizeof name);
    collection->controls.push_back({GetDlgCtrlID(child), name, GetWindowLongA(child, GWL_STYLE)});
    return TRUE;
}

} // namespace

TEST(HelpTablesTest, EveryDialogHasATopicAndEveryControlAPopupText) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    std::vector<UINT> dialogs;
    EnumResourceNamesA(nullptr, RT_DIALOG, CollectDialog, reinterpret_cast<LONG_PTR>(&dialogs));
    // Dialog 400 with its pages 401-413, find and replace in a document and in files, quick
    // print, the tool argument and the file dialogs' extra areas: at least 20.
    ASSERT_GE(dialogs.size(), 20u);

    // Pages and the file dialogs' extra areas are child templates: they need a parent.
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    size_t controls = 0;
    for (UINT id : dialogs) {
        EXPECT_NE(CApp::HelpTopicOf(id), kDefaultHelpTopic) << "dialog " << id;
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), parent,
                                         QuietDialogProc, 0);
        ASSERT_NE(dialog, nullptr) << "dialog " << id;
        Collection seen{dialog, {}};
        EnumChildWindows(dialog, CollectControl, reinterpret_cast<LPARAM>(&seen));
        for (const ControlSeen& c : seen.controls) {
            // Labels, separators and group boxes take no focus and ask for no help.
            if (_stricmp(c.className.c_str(), "Static") == 0 || c.id == -1 || c.id == 0xFFFF)
                continue;
            if (_stricmp(c.className.c_str(), "Button") == 0 &&
                (c.style & BS_TYPEMASK) == BS_GROUPBOX)
                continue;
            ++controls;
            EXPECT_NE(CApp::ControlHelpTextOf(static_cast<DWORD>(c.id)), 0u)
                << "control " << c.id << " (" << c.className << ") of dialog " << id;
        }
        DestroyWindow(dialog);
    }
    DestroyWindow(parent);
    EXPECT_GE(controls, 120u);
}

TEST(HelpTablesTest, AControlHasOneTextAndTheTableEndsWithAZeroPair) {
    std::set<DWORD> ids;
    size_t i = 0;
    for (; kControlHelpPairs[i] != 0; i += 2) {
        EXPECT_TRUE(ids.insert(kControlHelpPairs[i]).second)
            << "control " << kControlHelpPairs[i] << " is listed twice";
        EXPECT_GE(kControlHelpPairs[i + 1], 2000u);
        EXPECT_LE(kControlHelpPairs[i + 1], 4280u);
    }
    EXPECT_EQ(kControlHelpPairs[i + 1], 0u);
    // The find and replace in files dialogs open their own topics, not the main window's.
    EXPECT_EQ(CApp::HelpTopicOf(436), 1232u);
    EXPECT_EQ(CApp::HelpTopicOf(437), 1233u);
    EXPECT_EQ(CApp::HelpTopicOf(12345), kDefaultHelpTopic);
}
