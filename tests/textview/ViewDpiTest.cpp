// The view at the density of its monitor: sizes written for 96 DPI scale with it, the settings
// font keeps its point size, and a change of density re-measures and re-wraps in place.
#include "tests/textview/ViewTestUtil.h"

#include "framework/Dpi.h"
#include "textview/ViewFontMetrics.h"

#include <cstdlib>
#include <vector>

namespace {

// Puts the shared metrics back at the density the tests started with.
struct DensityRestorer {
    UINT dpi = ViewFontMetrics::Shared().dpi;
    ~DensityRestorer() {
        ViewFontMetrics::Shared().SetDpi(dpi);
        CFxEditView::ApplyDisplaySettings(TestFont(), 0, 0);
    }
};

// The line height of the test font made as the settings describe it, at 96 DPI.
int TextHeightAt96() {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, TestFont());
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return tm.tmHeight;
}

std::string NumberedLines(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i)
        text += "line " + std::to_string(i) + " of the text, long enough to wrap somewhere\n";
    return text + "end";
}

// Tells the view its monitor now has dpi, as the frame does after the system moved it.
void ChangeDensity(CFxEditView* view, UINT dpi) {
    const UINT old = ViewFontMetrics::Shared().dpi;
    SendMessageA(view->m_hWnd, WM_FXDPICHANGED, dpi, old);
    PumpViewMessages();
}

// Within a pixel of factor x what it is at 96 DPI.
void ExpectScaled(int at96, double factor, int actual, const char* what) {
    EXPECT_LE(std::abs(actual - static_cast<int>(at96 * factor + 0.5)), 1)
        << what << ": " << actual << " for " << at96 << " at 96 DPI";
}

} // namespace

TEST_F(ViewTest, MetricsAreMadeForTheDensityOfTheViewsMonitor) {
    const ViewFontMetrics& fm = ViewFontMetrics::Shared();
    const UINT dpi = FxDpiOf(m_view->m_hWnd);
    EXPECT_EQ(fm.dpi, dpi);
    const double factor = dpi / 96.0;
    ExpectScaled(TextHeightAt96(), factor, fm.textHeight, "line height");
    EXPECT_EQ(fm.caretWidth, FxScale(2, dpi));
    EXPECT_GE(fm.rulerHeight, FxScale(16, dpi));
    EXPECT_GE(fm.markSize, FxScale(4, dpi));

    // Line numbers and no ruler: the margin and the narrowest gutter are sizes at 96 DPI.
    SetText("one\ntwo");
    m_doc->m_showRuler = false;
    m_doc->m_showLineNumbers = true;
    m_view->UpdateViews(CFxEditView::RefreshRelayout, 0, -1);
    const ViewLayout& l = m_view->Layout();
    EXPECT_EQ(l.ruler.bottom - l.ruler.top, FxScale(3, dpi));
    EXPECT_EQ(l.margin, FxScale(5, dpi));
    EXPECT_EQ(l.gutter.right - l.gutter.left,
              FxScale(5, dpi) + std::max(fm.digitWidth + FxScale(5, dpi), FxScale(20, dpi)));
}

TEST_F(ViewTest, DensityChangeScalesFontGutterCaretAndRuler) {
    DensityRestorer restore;
    ChangeDensity(m_view, 96);
    const ViewFontMetrics& fm = ViewFontMetrics::Shared();
    m_doc->m_showLineNumbers = true;
    SetText(NumberedLines(3));
    const int height96 = fm.textHeight, pitch96 = fm.linePitch, ruler96 = fm.rulerHeight;
    const int digit96 = fm.digitWidth;
    const LONG gutter96 = m_view->Layout().gutter.right;
    EXPECT_EQ(fm.caretWidth, 2);

    ChangeDensity(m_view, 144);
    EXPECT_EQ(fm.dpi, 144u);
    ExpectScaled(height96, 1.5, fm.textHeight, "line height at 144");
    ExpectScaled(pitch96, 1.5, fm.linePitch, "line pitch at 144");
    ExpectScaled(ruler96, 1.5, fm.rulerHeight, "ruler at 144");
    ExpectScaled(digit96, 1.5, fm.digitWidth, "digit at 144");
    EXPECT_EQ(fm.caretWidth, 3);
    EXPECT_EQ(m_view->Layout().ruler.bottom, fm.rulerHeight);
    ExpectScaled(gutter96, 1.5, m_view->Layout().gutter.right, "gutter at 144");

    ChangeDensity(m_view, 192);
    ExpectScaled(height96, 2.0, fm.textHeight, "line height at 192");
    EXPECT_EQ(fm.caretWidth, 4);
    ExpectScaled(gutter96, 2.0, m_view->Layout().gutter.right, "gutter at 192");

    // Back at 96 everything is as it was.
    ChangeDensity(m_view, 96);
    EXPECT_EQ(fm.textHeight, height96);
    EXPECT_EQ(m_view->Layout().gutter.right, gutter96);
}

TEST_F(ViewTest, DensityChangeScalesTheLineSpacingSetting) {
    DensityRestorer restore;
    ChangeDensity(m_view, 96);
    CFxEditView::ApplyDisplaySettings(TestFont(), 4, 0);
    const ViewFontMetrics& fm = ViewFontMetrics::Shared();
    EXPECT_EQ(fm.lineSpacing, 4);
    ChangeDensity(m_view, 192);
    EXPECT_EQ(fm.lineSpacing, 8);
    EXPECT_EQ(fm.linePitch, fm.textHeight + 8);
    // The setting itself is still the one written at 96 DPI: setting it again changes nothing.
    EXPECT_EQ(fm.spacingSetting, 4);
}

TEST_F(ViewTest, DensityChangeKeepsTheFirstVisibleLineAndTheCaret) {
    DensityRestorer restore;
    ChangeDensity(m_view, 96);
    SetText(NumberedLines(200));
    m_view->GoToPos(FxTextPos(3, 120));
    PumpViewMessages();
    const int32_t top = m_view->TopRecord();
    ASSERT_GT(top, 0);
    ChangeDensity(m_view, 144);
    EXPECT_EQ(m_view->TopRecord(), top);
    EXPECT_EQ(GetScrollPos(m_view->m_hWnd, SB_VERT), top);
    EXPECT_EQ(LogicalCaret(), FxTextPos(3, 120));
}

TEST_F(ViewTest, DensityChangeRewrapsAtTheWindowEdgeKeepingTheCaret) {
    DensityRestorer restore;
    ChangeDensity(m_view, 96);
    SetText(NumberedLines(20));
    ASSERT_TRUE(m_view->SetWrapMode(1, 0));
    m_view->GoToPos(FxTextPos(30, 10));
    const int32_t records96 = m_doc->RecordCount();
    const int32_t topLine96 = m_doc->PieceToLogical(FxTextPos(0, m_view->TopRecord())).line;
    ChangeDensity(m_view, 192);
    // Text twice as wide in the same window: many more pieces.
    EXPECT_GT(m_doc->RecordCount(), records96 + records96 / 3);
    EXPECT_EQ(m_doc->WrapMode(), 1);
    EXPECT_EQ(m_doc->WrapColumn(), m_view->Layout().text.right - m_view->Layout().text.left);
    EXPECT_EQ(LogicalCaret(), FxTextPos(30, 10));
    EXPECT_EQ(m_doc->PieceToLogical(FxTextPos(0, m_view->TopRecord())).line, topLine96);
    EXPECT_EQ(Text(), NumberedLines(20));
}

TEST_F(ViewTest, WrapMinimumScalesWithTheDensity) {
    DensityRestorer restore;
    ChangeDensity(m_view, 192);
    m_doc->m_showLineNumbers = false;
    m_doc->m_showRuler = false;
    SetText(NumberedLines(3));
    // A text area of 120 pixels: wide enough at 96 DPI (64), too narrow at 192 (128).
    // The view alone is made narrower: a frame may not get that narrow at every density.
    const int chrome = m_view->Layout().text.left;
    RECT wr, cr;
    GetWindowRect(m_view->m_hWnd, &wr);
    GetClientRect(m_view->m_hWnd, &cr);
    const int outer = (wr.right - wr.left) - (cr.right - cr.left);
    SetWindowPos(m_view->m_hWnd, nullptr, 0, 0, outer + chrome + 120, wr.bottom - wr.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    PumpViewMessages();
    ASSERT_EQ(m_view->Layout().text.right - m_view->Layout().text.left, 120);
    EXPECT_FALSE(m_view->SetWrapMode(1, 0));
    EXPECT_EQ(m_doc->WrapMode(), 0);
    EXPECT_TRUE(m_view->IsRewrapPending());
}

TEST_F(ViewTest, CaretWidthFollowsTheSystemsCaretWidth) {
    DensityRestorer restore;
    DWORD old = 1;
    SystemParametersInfoA(SPI_GETCARETWIDTH, 0, &old, 0);
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETCARETWIDTH, 0,
                                      reinterpret_cast<void*>(static_cast<UINT_PTR>(5)), 0));
    ViewFontMetrics::Shared().SetDpi(96);
    ViewFontMetrics::Shared().Measure();
    const int at96 = ViewFontMetrics::Shared().caretWidth;
    ChangeDensity(m_view, 192);
    const int at192 = ViewFontMetrics::Shared().caretWidth;
    SystemParametersInfoA(SPI_SETCARETWIDTH, 0,
                          reinterpret_cast<void*>(static_cast<UINT_PTR>(old ? old : 1)), 0);
    EXPECT_EQ(at96, 5);
    EXPECT_EQ(at192, 10);
}

namespace {

// The pixels of one colour in one pixel column of the painted view, from y0 to y1.
int PixelsInColumn(CFxEditView* view, int x, int y0, int y1, COLORREF colour) {
    HBITMAP bmp = view->RenderToBitmap();
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    int n = 0;
    for (int y = y0; y < y1; ++y)
        n += GetPixel(dc, x, y) == colour;
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
    return n;
}

// The view's pixels through the line painter, either way it may compose a line.
std::vector<COLORREF> Painted(CFxEditView* view, bool composed) {
    CFxEditView::s_composeLines = composed;
    HBITMAP bmp = view->RenderToBitmap();
    CFxEditView::s_composeLines = true;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    const ViewLayout& l = view->Layout();
    std::vector<COLORREF> px;
    for (int y = 0; y < l.client.bottom; y += 1)
        for (int x = 0; x < l.client.right; x += 1)
            px.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
    return px;
}

} // namespace

TEST_F(ViewTest, MarksAndRulerLinesThickenWithTheDensity) {
    DensityRestorer restore;
    m_type.syncTextBkWithSys = 0;
    m_type.colors[TextBack] = RGB(255, 255, 255);
    m_type.colors[ActiveLineBack] = RGB(255, 255, 255);
    m_type.colors[MarksFore] = RGB(255, 0, 0);
    m_type.colors[RulerFore] = RGB(0, 0, 0);
    m_type.colors[RulerBack] = RGB(192, 192, 192);
    for (UINT dpi : {96u, 192u}) {
        ChangeDensity(m_view, dpi);
        SetText("\tx\ny");
        m_doc->m_showWhitespace = true;
        m_doc->m_showRuler = true;
        m_view->UpdateViews(CFxEditView::RefreshRelayout, 0, -1);
        const ViewFontMetrics& fm = ViewFontMetrics::Shared();
        const int stroke = static_cast<int>(dpi / 96);
        const ViewLayout& l = m_view->Layout();
        // Halfway along the tab: its line, as thick as the density makes a one-pixel line.
        const int tabWidth = 8 * fm.spaceWidth;
        const int top = m_view->WindowYFromRecord(0);
        EXPECT_EQ(PixelsInColumn(m_view, l.text.left + tabWidth / 2, top, top + fm.linePitch,
                                 RGB(255, 0, 0)),
                  stroke)
            << dpi;
        // The bar at the tab stop: 2 above the line to 3 below it at 96 DPI, scaled.
        const int bar = l.text.left + tabWidth - FxScale(2, dpi);
        EXPECT_EQ(PixelsInColumn(m_view, bar, top, top + fm.linePitch, RGB(255, 0, 0)),
                  FxScale(2, dpi) + FxScale(3, dpi))
            << dpi;
        // The ruler's bottom line under the gutter, where no tick stands.
        EXPECT_EQ(PixelsInColumn(m_view, 1, 0, l.ruler.bottom, RGB(0, 0, 0)), stroke) << dpi;
        // A bookmarked caret line: bookmark lines at its top and bottom, as thick.
        m_type.colors[BookmarkBack] = RGB(0, 255, 0);
        m_doc->RecordRef(0).flags |= FXL_BOOKMARK;
        EXPECT_EQ(
            PixelsInColumn(m_view, l.client.right - 4, top, top + fm.linePitch, RGB(0, 255, 0)),
            2 * stroke)
            << dpi;
        m_doc->RecordRef(0).flags &= ~FXL_BOOKMARK;
        // The marks look the same however the painter composes the line.
        m_doc->m_showLineBreaks = true;
        EXPECT_TRUE(Painted(m_view, false) == Painted(m_view, true)) << dpi;
    }
}

TEST_F(ViewTest, AFontOfTheDefaultSizeScalesToo) {
    DensityRestorer restore;
    LOGFONTA lf = {};
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpyA(lf.lfFaceName, "Courier New");
    HFONT font = CreateFontIndirectA(&lf); // height 0: the font's default size
    ChangeDensity(m_view, 96);
    CFxEditView::ApplyDisplaySettings(font, 0, 0);
    const int at96 = ViewFontMetrics::Shared().textHeight;
    ChangeDensity(m_view, 192);
    ExpectScaled(at96, 2.0, ViewFontMetrics::Shared().textHeight, "default size at 192");
    ChangeDensity(m_view, 96);
    CFxEditView::ApplyDisplaySettings(TestFont(), 0, 0);
    DeleteObject(font);
}

TEST_F(ViewTest, AViewOpenedAtAnotherDensityBringsTheOthersToIt) {
    DensityRestorer restore;
    const UINT here = FxDpiOf(m_view->m_hWnd);
    const UINT other = here == 192 ? 96 : 192;
    ChangeDensity(m_view, other);
    SetText(NumberedLines(3));
    const int otherHeight = ViewFontMetrics::Shared().textHeight;
    // A second document window, on this monitor.
    CFxEditHostDoc* doc = new CFxEditHostDoc;
    doc->m_bAutoDelete = false;
    doc->OnNewDocument();
    ViewWindow win;
    win.Open(doc, 300, 200, &m_type);
    const ViewFontMetrics& fm = ViewFontMetrics::Shared();
    EXPECT_EQ(fm.dpi, here);
    EXPECT_NE(fm.textHeight, otherHeight);
    // The first view is laid out for it again.
    EXPECT_EQ(m_view->Layout().visibleLines,
              (m_view->Layout().text.bottom - m_view->Layout().text.top) / fm.linePitch);
    EXPECT_EQ(m_view->Layout().ruler.bottom, fm.rulerHeight);
    win.Close();
    delete doc;
}
