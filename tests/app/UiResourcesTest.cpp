// The shared user-interface resources of the running application object: what start-up fills
// in, what a system colour change makes again, and the document menu's store-built popups.
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/TextEditTemplate.h"
#include "settings/SettingsIds.h"
#include "settings/SettingsStore.h"
#include "common/UiResources.h"
#include "framework/FwIds.h"
#include "framework/MDIChildWnd.h"

#include "tests/app/AppTestUtil.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

CApp& TheApp() {
    static CApp* app = new CApp; // lives to the end of the process
    return *app;
}

class UiResourcesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartInProcessApp(TheApp())); }
    static void TearDownTestSuite() { StopInProcessApp(TheApp()); }
};

// The colour a brush paints at (x, y) of a 2 x 2 area filled from the origin.
COLORREF BrushPixel(HBRUSH brush, int x, int y) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 8, 8};
    FillRect(dc, &all, brush);
    COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return colour;
}

COLORREF PenColour(HPEN pen) {
    LOGPEN description = {};
    GetObjectA(pen, sizeof description, &description);
    return description.lopnColor;
}

// Draws image `index` transparently over green and counts the pixels that stayed green and
// those that show the mask colour.
void DrawOverGreen(HIMAGELIST images, int index, int& green, int& magenta) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 16, 16};
    HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ImageList_Draw(images, index, dc, 0, 0, ILD_TRANSPARENT);
    green = magenta = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            green += c == RGB(0, 255, 0);
            magenta += c == RGB(255, 0, 255);
        }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

void PumpFor(int ms) {
    for (int waited = 0; waited < ms; waited += 20) {
        TheApp().PumpPendingMessages();
        Sleep(20);
    }
}

} // namespace

TEST_F(UiResourcesTest, StartUpFillsColoursPenBrushFontsImagesAndCursors) {
    const CUiResources& ui = SharedUi();
    ASSERT_TRUE(ui.IsInitialised());
    EXPECT_TRUE(ui.m_winNt || ui.m_win9x);
    EXPECT_GE(ui.m_pageSize, 4096u);

    EXPECT_EQ(ui.m_face, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ui.m_highlight, GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(ui.m_selectionText, GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(ui.m_grayText, GetSysColor(COLOR_GRAYTEXT));
    ASSERT_NE(ui.m_textPen, nullptr);
    EXPECT_EQ(PenColour(ui.m_textPen), ui.m_faceText);
    ASSERT_NE(ui.m_ditherBrush, nullptr);
    EXPECT_EQ(BrushPixel(ui.m_ditherBrush, 0, 0), ui.m_face);
    EXPECT_EQ(BrushPixel(ui.m_ditherBrush, 1, 0), ui.m_highlight);
    EXPECT_EQ(BrushPixel(ui.m_ditherBrush, 0, 1), ui.m_highlight);
    EXPECT_EQ(BrushPixel(ui.m_ditherBrush, 1, 1), ui.m_face);

    ASSERT_NE(ui.m_font, nullptr);
    ASSERT_NE(ui.m_statusFont, nullptr);
    EXPECT_GT(ui.m_fontMetrics.tmHeight, 0);
    EXPECT_GT(ui.m_statusMetrics.tmHeight, 0);

    // Cursors of the program's own resources, not the arrow they would fall back to.
    EXPECT_NE(ui.m_arrow, nullptr);
    EXPECT_NE(ui.m_splitH, ui.m_arrow);
    EXPECT_NE(ui.m_splitV, ui.m_arrow);
    EXPECT_NE(ui.m_splitH, ui.m_splitV);

    ASSERT_NE(ui.m_images, nullptr);
    ASSERT_NE(ui.m_docImages, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(ui.m_images), 48);
    EXPECT_EQ(ImageList_GetImageCount(ui.m_docImages), 6);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(ui.m_images, &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
    // Magenta is transparent: the background shows through around every picture, and no
    // mask colour reaches the screen.
    for (HIMAGELIST images : {ui.m_images, ui.m_docImages})
        for (int i = 0; i < ImageList_GetImageCount(images); ++i) {
            int green = 0, magenta = 0;
            DrawOverGreen(images, i, green, magenta);
            EXPECT_GT(green, 0) << "image " << i;
            EXPECT_LT(green, 256) << "image " << i;
            EXPECT_EQ(magenta, 0) << "image " << i;
        }
}

TEST_F(UiResourcesTest, ASystemColourChangeRemakesTheColoursPenAndBrush) {
    const int elements[] = {COLOR_BTNFACE, COLOR_BTNHIGHLIGHT, COLOR_BTNTEXT};
    COLORREF before[3];
    for (int i = 0; i < 3; ++i)
        before[i] = GetSysColor(elements[i]);
    const COLORREF changed[3] = {RGB(10, 20, 30), RGB(200, 190, 180), RGB(90, 0, 0)};
    ASSERT_TRUE(SetSysColors(3, elements, changed));
    // The system tells every top-level window; the main frame passes it to the shared object.
    PumpFor(200);
    const CUiResources& ui = SharedUi();
    const COLORREF face = ui.m_face, highlight = ui.m_highlight, text = ui.m_faceText;
    const COLORREF brush00 = BrushPixel(ui.m_ditherBrush, 0, 0);
    const COLORREF brush10 = BrushPixel(ui.m_ditherBrush, 1, 0);
    const COLORREF pen = PenColour(ui.m_textPen);
    SetSysColors(3, elements, before);
    PumpFor(200);

    EXPECT_EQ(face, RGB(10, 20, 30));
    EXPECT_EQ(highlight, RGB(200, 190, 180));
    EXPECT_EQ(text, RGB(90, 0, 0));
    EXPECT_EQ(brush00, RGB(10, 20, 30));
    EXPECT_EQ(brush10, RGB(200, 190, 180));
    EXPECT_EQ(pen, RGB(90, 0, 0));
    // And back again.
    EXPECT_EQ(ui.m_face, before[0]);
    EXPECT_EQ(BrushPixel(ui.m_ditherBrush, 0, 0), before[0]);
}

// Start-up gives the document menu its date and time formats and its file types, before any
// menu has been opened.
TEST_F(UiResourcesTest, TheDocumentMenuHasItsStoreBuiltPopupsFromStartUp) {
    SettingsStore* settings = AppSettings();
    ASSERT_NE(settings, nullptr);
    HMENU docMenu = TheApp().GetDocTemplate()->m_hMenuShared;
    ASSERT_NE(docMenu, nullptr);
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_SUBMENU;
    ASSERT_TRUE(GetMenuItemInfoA(docMenu, ID_INSERT_DATETIME, FALSE, &mii));
    ASSERT_NE(mii.hSubMenu, nullptr);
    EXPECT_EQ(static_cast<size_t>(GetMenuItemCount(mii.hSubMenu)),
              settings->DateTimeFormats().size());
    EXPECT_EQ(GetMenuItemID(mii.hSubMenu, 0), static_cast<UINT>(ID_DATETIME_FIRST));

    ASSERT_TRUE(GetMenuItemInfoA(docMenu, ID_VIEW_AS, FALSE, &mii));
    ASSERT_NE(mii.hSubMenu, nullptr);
    EXPECT_GE(static_cast<size_t>(GetMenuItemCount(mii.hSubMenu)), settings->FileTypes().size());
    EXPECT_EQ(settings->FileTypes().front().menuId, static_cast<UINT>(ID_VIEWAS_FIRST));
}

// The main frame and the document frames carry the program's own icons.
TEST_F(UiResourcesTest, FramesCarryTheProgramsIcons) {
    CAppMainFrame* frame = AppMainFrame();
    ASSERT_NE(frame, nullptr);
    const HICON standard = LoadIconA(nullptr, IDI_APPLICATION);
    const HICON frameIcon = reinterpret_cast<HICON>(GetClassLongPtrA(frame->m_hWnd, GCLP_HICON));
    EXPECT_NE(frameIcon, nullptr);
    EXPECT_NE(frameIcon, standard);
    frame->SendMessage(WM_COMMAND, ID_FILE_NEW);
    TheApp().PumpPendingMessages();
    CMDIChildWnd* child = frame->MDIGetActive();
    ASSERT_NE(child, nullptr);
    const HICON docIcon = reinterpret_cast<HICON>(GetClassLongPtrA(child->m_hWnd, GCLP_HICON));
    EXPECT_NE(docIcon, nullptr);
    EXPECT_NE(docIcon, standard);
    EXPECT_NE(docIcon, frameIcon);
    TheApp().CloseAllDocuments(false);
    TheApp().PumpPendingMessages();
}

// A change of the system's metrics makes both fonts again; the status bar measures itself with
// the new status font and keeps its height.
TEST_F(UiResourcesTest, AMetricsChangeRemakesTheFonts) {
    CAppMainFrame* frame = AppMainFrame();
    ASSERT_NE(frame, nullptr);
    const CUiResources& ui = SharedUi();
    const HFONT before = ui.m_statusFont;
    RECT bar = {};
    GetWindowRect(frame->StatusBar().m_hWnd, &bar);
    frame->SendMessage(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    TheApp().PumpPendingMessages();
    ASSERT_NE(ui.m_statusFont, nullptr);
    LOGFONTA font = {};
    EXPECT_EQ(GetObjectA(ui.m_statusFont, sizeof font, &font), static_cast<int>(sizeof font));
    EXPECT_EQ(GetObjectA(before, sizeof font, &font), 0) << "the old font was kept";
    RECT after = {};
    GetWindowRect(frame->StatusBar().m_hWnd, &after);
    EXPECT_EQ(after.bottom - after.top, bar.bottom - bar.top);
}
