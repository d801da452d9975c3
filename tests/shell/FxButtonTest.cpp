// The flat image and swatch button in a real window: attaching a dialog button once (made
// owner-drawn), its style mask, drawing through the parent's reflected WM_DRAWITEM, and hot
// tracking with the pointer.
#include "tests/shell/ShellTestApp.h"

#include "common/UiResources.h"
#include "workspace/FxButton.h"

namespace {

// A button that counts the times it is drawn and remembers the last face.
class CountingButton : public CFxButton {
public:
    void DrawItem(LPDRAWITEMSTRUCT item) override {
        ++draws;
        pressed = (item->itemState & ODS_SELECTED) != 0;
        CFxButton::DrawItem(item);
    }
    int draws = 0;
    bool pressed = false;
};

class ButtonHost : public CWnd {
public:
    bool Create(CWnd* parent) {
        const char* cls = RegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        RECT rc = {0, 0, 300, 120};
        if (!CreateEx(0, cls, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rc, parent, 102))
            return false;
        ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        button = ::CreateWindowExA(0, "BUTTON", "确定", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10,
                                   10, 100, 30, m_hWnd, reinterpret_cast<HMENU>(1001),
                                   ::GetModuleHandleA(nullptr), nullptr);
        return button != nullptr;
    }
    HWND button = nullptr;
};

class FxButtonTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        if (!SharedUi().IsInitialised())
            SharedUi().Init(GetModuleHandleA(nullptr));
        ASSERT_TRUE(m_host.Create(m_main));
        ::SetForegroundWindow(m_main->m_hWnd);
        Pump();
    }
    void TearDown() override {
        if (::GetCapture())
            ::ReleaseCapture();
        ShellTest::TearDown();
    }
    ButtonHost m_host;
};

} // namespace

TEST_F(FxButtonTest, AttachingMakesTheButtonOwnerDrawnOnceAndMasksTheStyle) {
    CountingButton button;
    EXPECT_FALSE(button.IsAttached());
    ASSERT_TRUE(button.AttachToControl(&m_host, 1001, 0xFFFFFFFF));
    EXPECT_TRUE(button.IsAttached());
    EXPECT_EQ(::GetWindowLongA(m_host.button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(button.GetFxStyle(), 0x7007Fu);
    // A second attachment changes nothing and still answers attached.
    EXPECT_TRUE(button.AttachToControl(&m_host, 1001, FXBS_FLAT));
    EXPECT_EQ(button.GetFxStyle(), 0x7007Fu);
    // A control that does not exist leaves a fresh button unattached.
    CFxButton missing;
    EXPECT_FALSE(missing.AttachToControl(&m_host, 4242, FXBS_FLAT));
    EXPECT_FALSE(missing.IsAttached());
}

TEST_F(FxButtonTest, ItDrawsItselfThroughTheParentsDrawItemWithImageOrSwatch) {
    CountingButton button;
    ASSERT_TRUE(button.AttachToControl(&m_host, 1001, FXBS_BORDER | FXBS_IMAGEFIRST));
    button.SetImages(SharedUi().m_images, 3, 3, 16, 16);
    Pump();
    const int afterImages = button.draws;
    EXPECT_GE(afterImages, 1) << "the parent's WM_DRAWITEM reaches the button";
    button.SetFxStyle(FXBS_BORDER | FXBS_SWATCH | FXBS_DROPARROW);
    button.SetSwatchColor(RGB(200, 20, 20));
    Pump();
    EXPECT_GT(button.draws, afterImages);
    EXPECT_EQ(button.GetSwatchColor(), RGB(200, 20, 20));
    // The swatch is painted in its colour, four pixels inside its part.
    HDC dc = ::GetDC(m_host.button);
    const COLORREF inside = ::GetPixel(dc, 20, 15);
    ::ReleaseDC(m_host.button, dc);
    EXPECT_EQ(inside, RGB(200, 20, 20));
    // Pressed state reaches the drawing.
    ::SendMessageA(m_host.button, BM_SETSTATE, TRUE, 0);
    Pump();
    EXPECT_TRUE(button.pressed);
    ::SendMessageA(m_host.button, BM_SETSTATE, FALSE, 0);
}

TEST_F(FxButtonTest, AFlatButtonIsHotWhileThePointerIsOverIt) {
    CountingButton button;
    ASSERT_TRUE(button.AttachToControl(&m_host, 1001, FXBS_FLAT | FXBS_BORDER));
    ::SetActiveWindow(m_main->m_hWnd);
    ::SendMessageA(m_host.button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    if (!::GetActiveWindow())
        GTEST_SKIP() << "no active window in this session";
    EXPECT_TRUE(button.IsHot());
    EXPECT_EQ(::GetCapture(), m_host.button);
    // Leaving the button: cold, and the capture goes.
    ::SendMessageA(m_host.button, WM_MOUSEMOVE, 0, MAKELPARAM(500, 5));
    EXPECT_FALSE(button.IsHot());
    EXPECT_NE(::GetCapture(), m_host.button);
}
