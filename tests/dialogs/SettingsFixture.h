// The fixture of the settings dialog tests: the editor started in this process with its INI
// files set aside (and put back at the end), message boxes answered and recorded, and one
// settings dialog opened modeless on the main frame.
#pragma once

#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/TextEditDoc.h"
#include "app/TextEditView.h"
#include "settings/SettingsStore.h"
#include "dialogs/DlgAsBase.h"
#include "dialogs/DlgAsFrame.h"
#include "dialogs/DlgIds.h"
#include "framework/MDIChildWnd.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "tests/app/AppTestUtil.h"
#include "common/PathName.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class SettingsDialogFixture : public ::testing::Test {
public:
    struct Box {
        std::string text;
        UINT type;
    };
    static std::vector<Box>& Boxes() {
        static std::vector<Box> boxes;
        return boxes;
    }
    static int& Answer() {
        static int answer = IDOK;
        return answer;
    }
    static int Hook(const char* text, const char*, UINT type) {
        Boxes().push_back(Box{text, type});
        return Answer();
    }

    static CApp& TheApp() {
        static CApp* app = new CApp; // lives to the end of the process
        return *app;
    }
    static std::string IniPath(IniFile file) {
        static const char* const kNames[3] = {"QUORVANE.INI", "SETTINGS.INI", "FILETYPE.INI"};
        char exe[MAX_PATH];
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        std::string dir(exe);
        dir = FxPathWithSeparator(FxPathFolder(dir));
        return dir + kNames[file];
    }
    static std::string FileText(const std::string& path) {
        std::string text;
        HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               0, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            return text;
        char buf[4096];
        DWORD got = 0;
        while (::ReadFile(f, buf, sizeof buf, &got, nullptr) && got)
            text.append(buf, got);
        CloseHandle(f);
        return text;
    }
    // The INI files of earlier runs are set aside: every suite starts from the defaults.
    static void SetUpTestSuite() {
        for (int i = 0; i < 3; ++i) {
            const std::string p = IniPath(static_cast<IniFile>(i));
            MoveFileExA(p.c_str(), (p + ".dlgtest").c_str(), MOVEFILE_REPLACE_EXISTING);
        }
        AfxSetMessageBoxHook(Hook);
        ASSERT_TRUE(StartInProcessApp(TheApp()));
    }
    static void TearDownTestSuite() {
        StopInProcessApp(TheApp());
        AfxSetMessageBoxHook(nullptr);
        for (int i = 0; i < 3; ++i) {
            const std::string p = IniPath(static_cast<IniFile>(i));
            DeleteFileA(p.c_str());
            MoveFileExA((p + ".dlgtest").c_str(), p.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }
    void SetUp() override {
        m_frame = AppMainFrame();
        ASSERT_NE(m_frame, nullptr);
        Boxes().clear();
        Answer() = IDOK;
    }
    void TearDown() override {
        if (m_dialog && m_dialog->m_hWnd)
            m_dialog->SendMessage(WM_COMMAND, IDCANCEL);
        m_dialog.reset();
        for (CTextEditDoc* doc : m_frame->TextDocuments())
            doc->SetModifiedFlag(false);
        TheApp().CloseAllDocuments(false);
        Pump();
    }
    static void Pump() { TheApp().PumpPendingMessages(); }

    CDlgAsFrame& Open(UINT page, UINT control = 0) {
        m_dialog.reset(new CDlgAsFrame(m_frame, page, control, m_frame));
        EXPECT_TRUE(m_dialog->CreateModeless(m_frame));
        Pump();
        return *m_dialog;
    }
    template <class T> T* Page(UINT id) { return dynamic_cast<T*>(m_dialog->PageById(id)); }
    HWND Item(UINT page, int id) {
        CDlgAsBase* p = m_dialog->PageById(page);
        return p ? p->GetDlgItem(id) : nullptr;
    }
    std::string ItemText(UINT page, int id) {
        char text[512] = "";
        GetWindowTextA(Item(page, id), text, sizeof text);
        return text;
    }
    // Typing into a field as the user does: its change notice marks the page modified.
    void Type(UINT page, int id, const char* text) { SetWindowTextA(Item(page, id), text); }
    void Click(HWND button) {
        SendMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    }
    void ClickFrame(int id) { Click(m_dialog->GetDlgItem(id)); }
    void ClickPage(UINT page, int id) { Click(Item(page, id)); }
    void SelectListItem(UINT page, int id, int index) {
        HWND list = Item(page, id);
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }
    bool DialogOpen() const { return m_dialog && m_dialog->m_hWnd && IsWindow(m_dialog->m_hWnd); }
    CTextEditView* NewDocument() {
        m_frame->SendMessage(WM_COMMAND, ID_FILE_NEW_CMD);
        Pump();
        CMDIChildWnd* child = m_frame->MDIGetActive();
        return child ? DynamicDowncast<CTextEditView>(child->GetActiveView()) : nullptr;
    }
    static const UINT ID_FILE_NEW_CMD = 57600;

    CAppMainFrame* m_frame = nullptr;
    std::unique_ptr<CDlgAsFrame> m_dialog;
};
