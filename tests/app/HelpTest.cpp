// Help from the keyboard in the main frame in this process: F1 in the main window, in the find
// dialog and in a settings page reaches the help viewer's entry point with the topic of the
// window; help on a dialog control asks for its popup text, which the help file's "Help.txt"
// holds.
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/CommandIds.h"
#include "app/FindIds.h"
#include "app/TextEditDoc.h"
#include "dialogs/DlgAsFrame.h"
#include "dialogs/DlgIds.h"
#include "framework/MDIChildWnd.h"
#include "framework/View.h"

#include "common/PathName.h"
#include "tests/app/AppTestUtil.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

CApp& TheApp() {
    static CApp* app = new CApp; // lives to the end of the process
    return *app;
}

struct HelpCall {
    HWND owner;
    std::string file;
    UINT command;
    DWORD_PTR data;
    int ownerId;     // the owner's control id at the time of the call
    int controlText; // for a popup: the text number the pairs give the control, else 0
};
std::vector<HelpCall> g_calls;
// The control help table as the last popup call passed it: control id, text number.
std::vector<std::pair<DWORD, DWORD>> g_pairs;

const UINT kHelpContext = 0x000F; // HH_HELP_CONTEXT
const UINT kHelpPopup = 0x0011;   // HH_TP_HELP_WM_HELP

HWND WINAPI RecordHelp(HWND owner, const char* file, UINT command, DWORD_PTR data) {
    HelpCall call{owner, file ? file : "", command, data, GetDlgCtrlID(owner), 0};
    if (command == kHelpPopup && data) {
        // The pairs are only valid during the call: look the control up now.
        const DWORD* pairs = reinterpret_cast<const DWORD*>(data);
        const DWORD id = static_cast<DWORD>(call.ownerId);
        g_pairs.clear();
        for (size_t i = 0; pairs[i] != 0; i += 2) {
            g_pairs.emplace_back(pairs[i], pairs[i + 1]);
            if (pairs[i] == id)
                call.controlText = static_cast<int>(pairs[i + 1]);
        }
    }
    g_calls.push_back(call);
    return nullptr;
}

void PressKey(WORD vk) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof in[0]);
}

// A modal dialog driven from a timer inside its own message loop: F1 once it has come up, then
// Cancel as soon as the help call arrived (or after two seconds).
struct ModalProbe {
    bool focusTree = false; // give the dialog's tree of pages the focus before F1
    HWND dialog = nullptr;
    int focusId = 0;
    UINT page = 0;
    DWORD pressedAt = 0;
    size_t callsBefore = 0;
};
ModalProbe g_probe;

HWND ActiveDialog() {
    HWND active = ::GetActiveWindow();
    char cls[16] = "";
    if (active)
        ::GetClassNameA(active, cls, sizeof cls);
    return std::string(cls) == "#32770" ? active : nullptr;
}

void CALLBACK PressF1InDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = ActiveDialog();
    if (!dialog)
        return;
    if (!g_probe.dialog) {
        g_probe.dialog = dialog;
        if (g_probe.focusTree)
            ::SetFocus(::FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr));
        g_probe.focusId = ::GetDlgCtrlID(::GetFocus());
        if (CAppMainFrame* frame = AppMainFrame())
            if (CDlgAsFrame* settings = frame->SettingsDialog())
                g_probe.page = settings->CurrentPageId();
        g_probe.callsBefore = g_calls.size();
        g_probe.pressedAt = GetTickCount();
        ::SetForegroundWindow(dialog);
        PressKey(VK_F1);
        return;
    }
    if (g_calls.size() > g_probe.callsBefore || GetTickCount() - g_probe.pressedAt > 2000) {
        KillTimer(nullptr, timer);
        PostMessageA(g_probe.dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

// The files inside a compiled help file, through the system's storage of help files (the one the
// help viewer reads "::/Help.txt" with). Its interface as a plain table of entry points.
struct HelpStorage;
struct HelpStorageVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(HelpStorage*, REFIID, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(HelpStorage*);
    ULONG(STDMETHODCALLTYPE* Release)(HelpStorage*);
    void* StgCreateDocfile;
    void* StgCreateDocfileOnILockBytes;
    void* StgIsStorageFile;
    void* StgIsStorageILockBytes;
    HRESULT(STDMETHODCALLTYPE* StgOpenStorage)
    (HelpStorage*, const WCHAR* name, IStorage* priority, DWORD mode, SNB exclude, DWORD reserved,
     IStorage** storage);
};
struct HelpStorage {
    const HelpStorageVtbl* vtbl;
};
const CLSID kClsidHelpStorage = {
    0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
const IID kIidHelpStorage = {
    0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

// The bytes of the file `name` (a path inside the help file, "/" separated) of the help file
// `chm`; false when either cannot be opened.
bool ReadFromHelpFile(const std::string& chm, const std::wstring& name, std::string* bytes) {
    wchar_t wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, chm.c_str(), -1, wide, MAX_PATH))
        return false;
    HelpStorage* its = nullptr;
    if (FAILED(CoCreateInstance(kClsidHelpStorage, nullptr, CLSCTX_INPROC_SERVER, kIidHelpStorage,
                                reinterpret_cast<void**>(&its))))
        return false;
    IStorage* root = nullptr;
    HRESULT hr = its->vtbl->StgOpenStorage(its, wide, nullptr, STGM_READ | STGM_SHARE_DENY_WRITE,
                                           nullptr, 0, &root);
    its->vtbl->Release(its);
    if (FAILED(hr))
        return false;
    // Folders are storages, the last part a stream.
    IStorage* folder = root;
    folder->AddRef();
    size_t from = name[0] == L'/' ? 1 : 0;
    bool ok = true;
    for (size_t slash; ok && (slash = name.find(L'/', from)) != std::wstring::npos;
         from = slash + 1) {
        IStorage* inner = nullptr;
        ok = SUCCEEDED(folder->OpenStorage(name.substr(from, slash - from).c_str(), nullptr,
                                           STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &inner));
        folder->Release();
        folder = inner;
    }
    IStream* stream = nullptr;
    if (ok)
        ok = SUCCEEDED(folder->OpenStream(name.substr(from).c_str(), nullptr,
                                          STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream));
    if (folder)
        folder->Release();
    root->Release();
    if (!ok)
        return false;
    bytes->clear();
    char buf[4096];
    ULONG got = 0;
    while (SUCCEEDED(stream->Read(buf, sizeof buf, &got)) && got > 0)
        bytes->append(buf, got);
    stream->Release();
    return true;
}

// The popup texts of "Help.txt": ".topic IDH_<n>" headings, each followed by its text.
std::map<int, std::string> PopupTexts(const std::string& helpTxt) {
    std::map<int, std::string> texts;
    std::istringstream in(helpTxt);
    std::string line;
    int current = -1;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind(".topic", 0) == 0) {
            const size_t at = line.find("IDH_");
            current = at == std::string::npos ? -1 : std::atoi(line.c_str() + at + 4);
            if (current > 0)
                texts[current];
            continue;
        }
        if (current > 0 && line.find_first_not_of(" \t") != std::string::npos)
            texts[current] += line;
    }
    return texts;
}

std::string ProgramFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return FxPathWithSeparator(FxPathFolder(path));
}

class HelpTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartInProcessApp(TheApp())); }
    static void TearDownTestSuite() { StopInProcessApp(TheApp()); }
    void SetUp() override {
        m_frame = AppMainFrame();
        ASSERT_NE(m_frame, nullptr);
        m_frame->ShowWindow(SW_SHOWNORMAL);
        ::SetForegroundWindow(m_frame->m_hWnd);
        // The help file must exist for help to be asked for; the viewer is the recorder.
        m_help = TheApp().m_strHelpFilePath;
        ASSERT_FALSE(m_help.empty());
        if (GetFileAttributesA(m_help.c_str()) == INVALID_FILE_ATTRIBUTES) {
            std::ofstream(m_help, std::ios::binary) << "chm";
            m_madeHelp = true;
        }
        m_previous = CApp::SetHelpViewer(RecordHelp);
        g_calls.clear();
        g_probe = ModalProbe();
    }
    void TearDown() override {
        CApp::SetHelpViewer(m_previous);
        for (CTextEditDoc* doc : m_frame->TextDocuments())
            doc->SetModifiedFlag(false);
        TheApp().CloseAllDocuments(false);
        Pump();
        if (m_madeHelp)
            DeleteFileA(m_help.c_str());
    }
    static void Pump() {
        for (int i = 0; i < 3; ++i) {
            TheApp().PumpPendingMessages();
            Sleep(10);
        }
        TheApp().PumpPendingMessages();
    }
    static bool PumpUntilCalls(size_t n) {
        const DWORD start = GetTickCount();
        while (g_calls.size() < n) {
            if (GetTickCount() - start > 2000)
                return false;
            Pump();
        }
        return true;
    }
    void NewDocument() {
        m_frame->SendMessage(WM_COMMAND, ID_FILE_NEW);
        Pump();
    }

    CAppMainFrame* m_frame = nullptr;
    std::string m_help;
    bool m_madeHelp = false;
    CApp::HelpViewer m_previous = nullptr;
};

} // namespace

TEST_F(HelpTest, F1InTheMainWindowOpensTheMainTopic) {
    // No document: the main frame's own key.
    ::SetFocus(m_frame->m_hWnd);
    PressKey(VK_F1);
    ASSERT_TRUE(PumpUntilCalls(1));
    EXPECT_EQ(g_calls[0].command, kHelpContext);
    EXPECT_EQ(g_calls[0].data, 1000u);
    EXPECT_EQ(g_calls[0].file, m_help);
    EXPECT_EQ(g_calls[0].owner, GetDesktopWindow());

    // With the caret in a document the key goes through the document window: the same topic.
    NewDocument();
    CMDIChildWnd* child = m_frame->MDIGetActive();
    ASSERT_NE(child, nullptr);
    ASSERT_NE(child->GetActiveView(), nullptr);
    ::SetFocus(child->GetActiveView()->m_hWnd);
    PressKey(VK_F1);
    ASSERT_TRUE(PumpUntilCalls(2));
    EXPECT_EQ(g_calls[1].command, kHelpContext);
    EXPECT_EQ(g_calls[1].data, 1000u);
    EXPECT_EQ(g_calls.size(), 2u); // one key, one call
}

TEST_F(HelpTest, F1InTheFindDialogOpensItsTopic) {
    NewDocument();
    SetTimer(nullptr, 0, 30, PressF1InDialog);
    m_frame->SendMessage(WM_COMMAND, ID_SEARCH_FIND);
    ASSERT_NE(g_probe.dialog, nullptr);
    // The caret starts in the find-what box, whose edit field is no direct control of the
    // dialog: the dialog's topic.
    EXPECT_EQ(g_probe.focusId, 1001);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].command, kHelpContext);
    EXPECT_EQ(g_calls[0].data, 1230u);
    EXPECT_EQ(g_calls[0].file, m_help);

    // The replace dialog has its own topic.
    g_probe = ModalProbe();
    SetTimer(nullptr, 0, 30, PressF1InDialog);
    m_frame->SendMessage(WM_COMMAND, ID_SEARCH_REPLACE);
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[1].data, 1231u);
}

TEST_F(HelpTest, F1InASettingsPageOpensThePageTopic) {
    NewDocument();
    // The font shortcut opens the settings at the page of dialog 402; the auto-save shortcut at
    // the backup page, 409.
    const struct {
        UINT command, page, topic;
    } cases[] = {{ID_DOC_FONT, 402, 1206}, {ID_DOC_AUTO_SAVE, 409, 1203}};
    for (const auto& c : cases) {
        g_calls.clear();
        g_probe = ModalProbe();
        // From the tree of pages: a control of the page with the focus asks for its own popup.
        g_probe.focusTree = true;
        SetTimer(nullptr, 0, 30, PressF1InDialog);
        m_frame->SendMessage(WM_COMMAND, c.command);
        ASSERT_NE(g_probe.dialog, nullptr) << c.command;
        EXPECT_EQ(g_probe.page, c.page);
        EXPECT_EQ(g_probe.focusId, IDC_AS_TREE);
        ASSERT_EQ(g_calls.size(), 1u) << c.command;
        EXPECT_EQ(g_calls[0].command, kHelpContext);
        EXPECT_EQ(g_calls[0].data, c.topic) << c.command;
    }
}

// Help on a control of the find dialog, as the dialog's "?" does: WM_HELP naming the control.
void CALLBACK HelpOnFindButton(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = ActiveDialog();
    if (!dialog)
        return;
    KillTimer(nullptr, timer);
    g_probe.dialog = dialog;
    HWND button = ::GetDlgItem(dialog, IDC_FIND_FIND);
    HELPINFO info = {};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = IDC_FIND_FIND;
    info.hItemHandle = button;
    info.dwContextId = 0;
    ::SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    // A label is no control of the table: no popup, the dialog's own topic.
    HWND label = ::FindWindowExA(dialog, nullptr, "Static", nullptr);
    info.iCtrlId = ::GetDlgCtrlID(label);
    info.hItemHandle = label;
    info.dwContextId = 4711;
    ::SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(HelpTest, HelpOnADialogControlAsksForItsPopupText) {
    NewDocument();
    SetTimer(nullptr, 0, 30, HelpOnFindButton);
    m_frame->SendMessage(WM_COMMAND, ID_SEARCH_FIND);
    ASSERT_NE(g_probe.dialog, nullptr);
    ASSERT_EQ(g_calls.size(), 2u);
    // The popup of the "查找(&F)" button, from the text file inside the help file.
    EXPECT_EQ(g_calls[0].command, kHelpPopup);
    EXPECT_EQ(g_calls[0].file, m_help + "::/Help.txt");
    EXPECT_EQ(g_calls[0].ownerId, IDC_FIND_FIND);
    EXPECT_EQ(g_calls[0].controlText, 4200);
    EXPECT_EQ(g_calls[1].command, kHelpContext);
    EXPECT_EQ(g_calls[1].data, 1230u);
}

TEST_F(HelpTest, ThePopupTextsOfTheControlsAreInTheBuiltHelpFile) {
    // The help file the build puts beside the programs.
    const std::string chm = ProgramFolder() + "Quorvane.CHM";
    ASSERT_NE(GetFileAttributesA(chm.c_str()), INVALID_FILE_ATTRIBUTES) << chm;
    std::string page;
    ASSERT_TRUE(ReadFromHelpFile(chm, L"/html/index.htm", &page));
    EXPECT_NE(page.find("<title>"), std::string::npos);
    std::string help;
    ASSERT_TRUE(ReadFromHelpFile(chm, L"/Help.txt", &help));
    const std::map<int, std::string> texts = PopupTexts(help);
    // Every control of the table, the ones asked for above among them, has its text.
    g_calls.clear();
    HWND box =
        CreateWindowA("EDIT", "", WS_CHILD, 0, 0, 10, 10, m_frame->m_hWnd,
                      reinterpret_cast<HMENU>(IDC_FIND_FIND), GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(TheApp().ShowControlHelp(box, static_cast<DWORD>(-1)));
    DestroyWindow(box);
    ASSERT_EQ(g_calls.size(), 1u);
    ASSERT_FALSE(g_pairs.empty());
    for (const auto& pair : g_pairs) {
        const auto it = texts.find(static_cast<int>(pair.second));
        ASSERT_NE(it, texts.end()) << "control " << pair.first << ": no text " << pair.second;
        EXPECT_FALSE(it->second.empty()) << "control " << pair.first << ", text " << pair.second;
    }
    EXPECT_FALSE(texts.at(4200).empty()); // the find button
    EXPECT_FALSE(texts.at(4208).empty()); // the text to find
}
