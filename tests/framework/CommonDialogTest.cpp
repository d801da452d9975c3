// The common dialogs' wrappers: each dialog really shows, its hook reaches the object, the
// object closes it by posting a button, and the results come back.
#include "tests/framework/TestApp.h"

#include "framework/ColorDialog.h"
#include "framework/FolderDialog.h"
#include "framework/FontDialog.h"
#include "framework/PrintDialog.h"

#include <cstring>
#include <string>

namespace {

// Each dialog presses `button` as soon as it is shown.
template <class Base> class AutoClose : public Base {
public:
    template <class... Args>
    explicit AutoClose(int button, Args... args) : Base(args...), m_button(button) {}
    bool OnInitDialog() override {
        ++m_inits;
        m_shownWindow = this->m_hWnd;
        ::PostMessageA(this->m_hWnd, WM_COMMAND, MAKEWPARAM(m_button, BN_CLICKED), 0);
        return true;
    }
    int m_button;
    int m_inits = 0;
    HWND m_shownWindow = nullptr;
};

// Clicks its button once the browser shows the initial folder. Under Wine the first
// BFFM_SETSELECTION now and then loses a race with the tree's filling of the drives and the
// browser stays at the desktop; the selection is then asked for again, for at most 5 seconds.
class AutoCloseFolder : public CFolderDialog {
public:
    AutoCloseFolder(int button, const char* folder) : CFolderDialog("选择文件夹", folder) {
        m_button = button;
    }
    void OnInitialized(HWND browser) override {
        ++m_inits;
        s_active = this;
        m_browser = browser;
        m_started = GetTickCount();
        SetTimer(browser, 1, 50, &AutoCloseFolder::Tick);
    }
    bool OnSelChanged(const char* path) override {
        m_selection = path;
        return true;
    }
    static void CALLBACK Tick(HWND wnd, UINT, UINT_PTR id, DWORD) {
        AutoCloseFolder* self = s_active;
        bool arrived = lstrcmpiA(self->m_selection.c_str(), self->m_strInitialFolder.c_str()) == 0;
        DWORD waited = GetTickCount() - self->m_started;
        if (arrived || waited > 5000) {
            KillTimer(wnd, id);
            ::PostMessageA(wnd, WM_COMMAND, MAKEWPARAM(self->m_button, BN_CLICKED), 0);
        } else if (waited / 50 % 10 == 9) {
            ::SendMessageA(wnd, BFFM_SETSELECTIONA, TRUE,
                           reinterpret_cast<LPARAM>(self->m_strInitialFolder.c_str()));
        }
    }
    static AutoCloseFolder* s_active;
    int m_button;
    int m_inits = 0;
    HWND m_browser = nullptr;
    DWORD m_started = 0;
    std::string m_selection;
};
AutoCloseFolder* AutoCloseFolder::s_active = nullptr;

} // namespace

TEST_F(FrameworkTest, ColorDialogGivesBackTheColourItStartedWith) {
    AutoClose<CColorDialog> dialog(IDOK, RGB(12, 34, 56), CC_FULLOPEN, nullptr);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_inits, 1);
    EXPECT_NE(dialog.m_shownWindow, nullptr);
    EXPECT_EQ(dialog.m_hWnd, nullptr); // detached after the dialog
    EXPECT_EQ(dialog.GetColor(), RGB(12, 34, 56));
    EXPECT_NE(CColorDialog::GetSavedCustomColors(), nullptr);
}

TEST_F(FrameworkTest, ColorDialogCancelled) {
    AutoClose<CColorDialog> dialog(IDCANCEL, RGB(1, 2, 3), 0, nullptr);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_inits, 1);
    EXPECT_EQ(dialog.GetExtendedError(), 0u);
}

TEST_F(FrameworkTest, FontDialogGivesBackAFont) {
    LOGFONTA lf = {};
    lf.lfHeight = -16;
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(lf.lfFaceName, "Tahoma");
    AutoClose<CFontDialog> dialog(IDOK, &lf, static_cast<DWORD>(CF_SCREENFONTS),
                                  static_cast<HDC>(nullptr), static_cast<CWnd*>(nullptr));
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_inits, 1);
    EXPECT_FALSE(dialog.GetFaceName().empty());
    EXPECT_GT(dialog.GetSize(), 0);
    LOGFONTA chosen;
    dialog.GetCurrentFont(&chosen);
    EXPECT_LT(chosen.lfHeight, 0);
}

TEST_F(FrameworkTest, FontDialogCancelled) {
    AutoClose<CFontDialog> dialog(IDCANCEL, static_cast<const LOGFONTA*>(nullptr),
                                  static_cast<DWORD>(CF_SCREENFONTS), static_cast<HDC>(nullptr),
                                  static_cast<CWnd*>(nullptr));
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_inits, 1);
}

// The printer defaults; with a printer the hook cancels both dialogs. Without one the dialogs
// are not shown here: Wine's print dialog without any printer took the X server down.
TEST_F(FrameworkTest, PrintDefaultsAndPrintDialogs) {
    CPrintDialog defaults(false);
    bool havePrinter = defaults.GetDefaults();
    RecordProperty("printer", havePrinter ? defaults.GetDeviceName().c_str() : "(none)");
    if (!havePrinter) {
        EXPECT_EQ(defaults.GetExtendedError(), static_cast<DWORD>(PDERR_NODEFAULTPRN));
        EXPECT_EQ(defaults.CreatePrinterDC(), nullptr);
        EXPECT_TRUE(defaults.GetDeviceName().empty());
        EXPECT_TRUE(defaults.PrintAll());
        return;
    }
    EXPECT_FALSE(defaults.GetDeviceName().empty());
    EXPECT_GE(defaults.GetCopies(), 1);
    HDC dc = defaults.CreatePrinterDC();
    EXPECT_NE(dc, nullptr);
    if (dc)
        DeleteDC(dc);

    AutoClose<CPrintDialog> print(IDCANCEL, false, static_cast<DWORD>(PD_ALLPAGES | PD_NOSELECTION),
                                  static_cast<CWnd*>(nullptr));
    EXPECT_EQ(print.DoModal(), IDCANCEL);
    EXPECT_EQ(print.m_inits, 1);
    EXPECT_EQ(print.GetExtendedError(), 0u);
    AutoClose<CPrintDialog> setup(IDCANCEL, true, static_cast<DWORD>(0),
                                  static_cast<CWnd*>(nullptr));
    EXPECT_EQ(setup.DoModal(), IDCANCEL);
    EXPECT_EQ(setup.m_inits, 1);
}

TEST_F(FrameworkTest, FolderBrowserStartsAtTheInitialFolderAndReturnsIt) {
    std::string folder = TempPath("x");
    folder = folder.substr(0, folder.rfind('\\'));
    AutoCloseFolder ok(IDOK, folder.c_str());
    ASSERT_EQ(ok.DoModal(), IDOK);
    EXPECT_EQ(ok.m_inits, 1);
    EXPECT_EQ(lstrcmpiA(ok.GetFolderPath().c_str(), folder.c_str()), 0) << ok.GetFolderPath();

    AutoCloseFolder cancel(IDCANCEL, folder.c_str());
    EXPECT_EQ(cancel.DoModal(), IDCANCEL);
    EXPECT_TRUE(cancel.GetFolderPath().empty());
}
