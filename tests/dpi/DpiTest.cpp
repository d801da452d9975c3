// The editor at the display's pixel density: its bars, tab strips and line height measured
// through its real windows at 96, 144 and 192 DPI (run-dpi-tests.sh sets the density and runs
// this program once at each), the sizes at 96 DPI kept as the figures the other runs scale.
// Layer: tests.
//
// The environment of a run:
//   QV_DPI_EXPECTED  the density the display was set to (96 when missing)
//   QV_DPI_FIGURES   an INI file: the run at 96 DPI writes its sizes there, the others read them
//   QV_DPI_SHOTS     a folder for screenshots: the program writes NAME.ready there when its
//                    windows show what NAME names, and waits until the runner took the picture
//                    and removed the file
#include "tests/dialogs/SettingsFixture.h"

#include "framework/Dpi.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

UINT ExpectedDpi() {
    const std::string v = Env("QV_DPI_EXPECTED");
    return v.empty() ? kFxBaseDpi : static_cast<UINT>(std::atoi(v.c_str()));
}

// The image cell drawn for a density: the images exist for 100 %, 150 % and 200 %.
int ImageCellFor(UINT dpi) {
    if (dpi >= 192)
        return 32;
    if (dpi >= 144)
        return 24;
    return 16;
}

int Height(HWND wnd) {
    RECT rc = {};
    GetWindowRect(wnd, &rc);
    return rc.bottom - rc.top;
}

class DpiTest : public SettingsDialogFixture {
protected:
    void SetUp() override {
        SettingsDialogFixture::SetUp();
        m_dpi = FxDpiOf(m_frame->m_hWnd);
    }

    // A size that scales with the density: at 96 DPI it becomes the figure, at the others it
    // must lie within a pixel of the figure scaled.
    void ExpectScaled(const char* name, int size) {
        const std::string file = Env("QV_DPI_FIGURES");
        if (m_dpi == kFxBaseDpi) {
            if (!file.empty()) {
                const std::string text = std::to_string(size);
                WritePrivateProfileStringA("Figures", name, text.c_str(), file.c_str());
            }
            EXPECT_GT(size, 0) << name;
            return;
        }
        ASSERT_FALSE(file.empty()) << "no figures of a run at 96 DPI (QV_DPI_FIGURES)";
        const int base = static_cast<int>(GetPrivateProfileIntA("Figures", name, 0, file.c_str()));
        ASSERT_GT(base, 0) << "the run at 96 DPI left no figure for " << name;
        const double expected = base * static_cast<double>(m_dpi) / kFxBaseDpi;
        EXPECT_NEAR(size, expected, 1.0)
            << name << ": " << size << " pixels at " << m_dpi << " DPI, " << base << " at 96";
    }

    // Lets the runner take a screenshot of what the display shows now (when it asked for them),
    // the main frame and the window `shown` painted afresh.
    void Shot(const std::string& name, HWND shown = nullptr) {
        const std::string dir = Env("QV_DPI_SHOTS");
        if (dir.empty())
            return;
        char stem[128];
        std::snprintf(stem, sizeof stem, "%u-%s", m_dpi, name.c_str());
        const std::string ready = FxPathWithSeparator(dir) + stem + ".ready";
        for (HWND wnd : {m_frame->m_hWnd, shown}) {
            if (wnd)
                RedrawWindow(wnd, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
        // A wait for messages also hands what was painted to the display.
        for (const DWORD start = GetTickCount(); GetTickCount() - start < 300;) {
            Pump();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        HANDLE f = CreateFileA(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE) << ready;
        CloseHandle(f);
        // The windows keep painting while the picture is taken.
        const DWORD start = GetTickCount();
        while (GetFileAttributesA(ready.c_str()) != INVALID_FILE_ATTRIBUTES &&
               GetTickCount() - start < 15000) {
            Pump();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        DeleteFileA(ready.c_str());
    }

    // A file of Chinese text in code page 936, opened as a document; its view has the focus.
    CTextEditView* OpenChineseDocument() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        m_docPath = FxPathWithSeparator(temp) + "qv_dpi_test.txt";
        const std::string text = "第一行：中文文本与 ASCII text\r\n"
                                 "第二行：汉字的宽度是两个字符\r\n"
                                 "第三行：显示密度 96、144、192\r\n"
                                 "第四行\r\n";
        HANDLE f =
            CreateFileA(m_docPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            return nullptr;
        DWORD written = 0;
        WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(f);
        TheApp().OpenDocumentFile(m_docPath.c_str());
        Pump();
        CMDIChildWnd* child = m_frame->MDIGetActive();
        CTextEditView* view =
            child ? DynamicDowncast<CTextEditView>(child->GetActiveView()) : nullptr;
        if (view) {
            view->SetFocus();
            Pump();
        }
        return view;
    }

    void TearDown() override {
        SettingsDialogFixture::TearDown();
        if (!m_docPath.empty())
            DeleteFileA(m_docPath.c_str());
    }

    // A key pressed as the user presses it: through the main frame's message loop.
    void PressKey(HWND wnd, UINT vk) {
        PostMessageA(wnd, WM_KEYDOWN, vk, 1);
        PostMessageA(wnd, WM_KEYUP, vk, 0xC0000001);
        Pump();
    }

    UINT m_dpi = kFxBaseDpi;
    std::string m_docPath;
};

TEST_F(DpiTest, TheMainWindowHasTheDisplaysDensity) {
    EXPECT_EQ(m_dpi, ExpectedDpi());
}

TEST_F(DpiTest, ToolbarButtonsScaleWithTheDensity) {
    HWND toolbar = m_frame->ToolBar().m_hWnd;
    ASSERT_TRUE(IsWindowVisible(toolbar));
    const LRESULT size = SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0);
    ExpectScaled("ToolbarButtonHeight", HIWORD(size));
    ExpectScaled("ToolbarButtonWidth", LOWORD(size));
    // A narrow window wraps the buttons into more rows: the bar's height for one row is what
    // scales.
    const int rows = static_cast<int>(SendMessageA(toolbar, TB_GETROWS, 0, 0));
    ExpectScaled("ToolbarHeight", Height(toolbar) - (std::max(rows, 1) - 1) * HIWORD(size));
}

TEST_F(DpiTest, ToolbarImagesAreDrawnAtTheirOwnSize) {
    HWND toolbar = m_frame->ToolBar().m_hWnd;
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(toolbar, TB_GETIMAGELIST, 0, 0));
    ASSERT_NE(images, nullptr);
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(images, &cx, &cy));
    EXPECT_EQ(cx, ImageCellFor(m_dpi));
    EXPECT_EQ(cy, ImageCellFor(m_dpi));
    // The button holds the cell unstretched: the same size the list draws.
    const LRESULT size = SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0);
    EXPECT_GE(HIWORD(size), cy);
    EXPECT_GE(LOWORD(size), cx);
}

TEST_F(DpiTest, TabStripsScaleWithTheDensity) {
    ASSERT_NE(OpenChineseDocument(), nullptr);
    CBarSwitch& switchBar = m_frame->SwitchBar();
    ASSERT_TRUE(switchBar.m_hWnd && switchBar.IsWindowVisible());
    ExpectScaled("SwitchBarHeight", Height(switchBar.m_hWnd));
    ExpectScaled("SwitchBarCellHeight", switchBar.GetCellHeight());

    CWorkspaceBar& workspace = m_frame->WorkspaceBar();
    if (!workspace.IsWindowVisible()) {
        m_frame->ShowControlBar(&workspace, true, false);
        Pump();
    }
    HWND strip = workspace.GetTabStrip().m_hWnd;
    ASSERT_TRUE(strip && IsWindowVisible(strip));
    ExpectScaled("WorkspaceTabStripHeight", Height(strip));
    Shot("main");
}

TEST_F(DpiTest, StatusBarScalesWithTheDensity) {
    CBarStatus& status = m_frame->StatusBar();
    ASSERT_TRUE(status.m_hWnd && status.IsWindowVisible());
    ExpectScaled("StatusBarHeight", Height(status.m_hWnd));
}

TEST_F(DpiTest, LineHeightScalesWithTheDensity) {
    CTextEditView* view = OpenChineseDocument();
    ASSERT_NE(view, nullptr);
    PressKey(view->m_hWnd, VK_HOME);
    POINT first = {};
    ASSERT_TRUE(GetCaretPos(&first));
    PressKey(view->m_hWnd, VK_DOWN);
    POINT second = {};
    ASSERT_TRUE(GetCaretPos(&second));
    EXPECT_EQ(second.x, first.x);
    ExpectScaled("LineHeight", second.y - first.y);
}

// Every control of every settings page lies inside its page, and every page inside the dialog.
TEST_F(DpiTest, NothingIsClippedInTheSettingsPages) {
    CDlgAsFrame& dialog = Open(0);
    ASSERT_TRUE(DialogOpen());
    RECT dialogClient = {};
    dialog.GetClientRect(&dialogClient);
    for (int i = 0; i < CDlgAsFrame::kPageCount; ++i) {
        ASSERT_TRUE(dialog.SelectPage(i)) << "page " << i;
        Pump();
        CDlgAsBase* page = dialog.Page(i);
        ASSERT_TRUE(page && page->m_hWnd) << "page " << i;
        RECT pageRect = {};
        page->GetWindowRect(&pageRect);
        MapWindowPoints(nullptr, dialog.m_hWnd, reinterpret_cast<POINT*>(&pageRect), 2);
        EXPECT_GE(pageRect.left, dialogClient.left) << "page " << i;
        EXPECT_GE(pageRect.top, dialogClient.top) << "page " << i;
        EXPECT_LE(pageRect.right, dialogClient.right) << "page " << i;
        EXPECT_LE(pageRect.bottom, dialogClient.bottom) << "page " << i;

        RECT client = {};
        page->GetClientRect(&client);
        for (HWND c = GetWindow(page->m_hWnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (!IsWindowVisible(c))
                continue;
            RECT rc = {};
            GetWindowRect(c, &rc);
            MapWindowPoints(nullptr, page->m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
            char cls[64] = "", text[128] = "";
            GetClassNameA(c, cls, sizeof cls);
            GetWindowTextA(c, text, sizeof text);
            const bool inside = rc.left >= client.left && rc.top >= client.top &&
                                rc.right <= client.right && rc.bottom <= client.bottom;
            EXPECT_TRUE(inside) << "page " << i << ", control " << GetDlgCtrlID(c) << " (" << cls
                                << " \"" << text << "\") at " << rc.left << "," << rc.top << "-"
                                << rc.right << "," << rc.bottom << " in " << client.right << "x"
                                << client.bottom;
        }
        char name[32];
        std::snprintf(name, sizeof name, "settings-%d", i);
        Shot(name, dialog.m_hWnd);
    }
}

} // namespace
