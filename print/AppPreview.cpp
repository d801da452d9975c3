// The editor's print preview and its toolbar. The eight images are drawn here for the size the
// density asks for (magenta is transparent), so that the preview needs no bitmap resource.
// Layer: print/.
#include "print/AppPreview.h"

#include "common/UiResources.h"
#include "framework/CmdUI.h"
#include "framework/Dpi.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"
#include "framework/FwPrintIds.h"
#include "framework/MessageMap.h"
#include "framework/PrintInfo.h"
#include "framework/ResourceText.h"
#include "print/PrintIds.h"
#include "framework/FwIds.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);

struct PreviewButton {
    int image;
    UINT command;
    UINT label;
};

// The toolbar, left to right; image -1 is a separator.
const PreviewButton kButtons[] = {
    {0, AFX_ID_PREVIEW_PRINT, IDS_PREVIEW_PRINT},
    {4, AFX_ID_PREVIEW_NEXT, IDS_PREVIEW_NEXT},
    {5, AFX_ID_PREVIEW_PREV, IDS_PREVIEW_PREV},
    {2, AFX_ID_PREVIEW_NUMPAGE, IDS_PREVIEW_ONE_PAGE},
    {6, AFX_ID_PREVIEW_ZOOMIN, IDS_PREVIEW_ZOOM_IN},
    {7, AFX_ID_PREVIEW_ZOOMOUT, IDS_PREVIEW_ZOOM_OUT},
    {-1, 0, 0},
    {1, AFX_ID_PREVIEW_CLOSE, IDS_PREVIEW_CLOSE},
};

// Drawing on the 16-pixel design grid of the images, at a cell size of n pixels: every shape
// is drawn anew at the size (coordinates scaled, lines a whole number of pixels wide).
struct Cell {
    HDC dc;
    int n;  // the cell size
    int x0; // the cell's left edge
    int S(int v) const { return MulDiv(v, n, 16); }
    int Width(int w) const { return std::max(1, w * n / 16); }

    void Rect(int l, int t, int r, int b, COLORREF fill, COLORREF edge) const {
        HBRUSH brush = CreateSolidBrush(fill);
        HPEN pen = CreatePen(PS_INSIDEFRAME, Width(1), edge);
        HGDIOBJ ob = SelectObject(dc, brush), op = SelectObject(dc, pen);
        Rectangle(dc, x0 + S(l), S(t), x0 + S(r), S(b));
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(brush);
        DeleteObject(pen);
    }
    void Line(int x1, int y1, int x2, int y2, COLORREF c, int width = 1) const {
        HPEN pen = CreatePen(PS_SOLID, Width(width), c);
        HGDIOBJ op = SelectObject(dc, pen);
        MoveToEx(dc, x0 + S(x1), S(y1), nullptr);
        LineTo(dc, x0 + S(x2), S(y2));
        SelectObject(dc, op);
        DeleteObject(pen);
    }
    void Triangle(const POINT (&design)[3], COLORREF c) const {
        POINT pts[3];
        for (int i = 0; i < 3; ++i)
            pts[i] = {x0 + S(design[i].x), S(design[i].y)};
        HBRUSH brush = CreateSolidBrush(c);
        HPEN pen = CreatePen(PS_SOLID, 1, c);
        HGDIOBJ ob = SelectObject(dc, brush), op = SelectObject(dc, pen);
        Polygon(dc, pts, 3);
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(brush);
        DeleteObject(pen);
    }
    void Page(int x, int y, int w, int h) const {
        Rect(x, y, x + w, y + h, RGB(255, 255, 255), RGB(0, 0, 0));
        for (int ly = y + 3; ly < y + h - 2; ly += 3)
            Line(x + 2, ly, x + w - 2, ly, RGB(0, 0, 128));
    }
    void Magnifier(bool plus) const {
        HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
        HPEN pen = CreatePen(PS_INSIDEFRAME, Width(1), RGB(0, 0, 0));
        HGDIOBJ ob = SelectObject(dc, brush), op = SelectObject(dc, pen);
        Ellipse(dc, x0 + S(1), S(1), x0 + S(11), S(11));
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(brush);
        DeleteObject(pen);
        Line(9, 9, 14, 14, RGB(128, 64, 0), 3);
        Line(3, 6, 9, 6, RGB(0, 0, 0));
        if (plus)
            Line(6, 3, 6, 9, RGB(0, 0, 0));
    }
};

// The eight images in cells of n pixels.
HIMAGELIST MakeImages(int n) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, n * 8, n);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all = {0, 0, n * 8, n};
    HBRUSH back = CreateSolidBrush(kMagenta);
    FillRect(dc, &all, back);
    DeleteObject(back);
    auto cell = [&](int i) { return Cell{dc, n, n * i}; };
    // 0 print: a printer with a sheet.
    cell(0).Rect(4, 1, 12, 8, RGB(255, 255, 255), RGB(0, 0, 0));
    cell(0).Rect(1, 7, 15, 13, RGB(192, 192, 192), RGB(0, 0, 0));
    cell(0).Line(11, 9, 13, 9, RGB(0, 160, 0));
    // 1 close: a red cross.
    cell(1).Line(3, 3, 13, 13, RGB(200, 0, 0), 2);
    cell(1).Line(13, 3, 3, 13, RGB(200, 0, 0), 2);
    // 2 one page, 3 two pages.
    cell(2).Page(3, 1, 10, 14);
    cell(3).Page(1, 1, 7, 12);
    cell(3).Page(8, 3, 7, 12);
    // 4 next page, 5 previous page.
    cell(4).Triangle({{5, 2}, {12, 8}, {5, 14}}, RGB(0, 0, 160));
    cell(5).Triangle({{11, 2}, {4, 8}, {11, 14}}, RGB(0, 0, 160));
    // 6 zoom in, 7 zoom out.
    cell(6).Magnifier(true);
    cell(7).Magnifier(false);
    SelectObject(dc, old);
    DeleteDC(dc);
    HIMAGELIST list = ImageList_Create(n, n, ILC_COLOR24 | ILC_MASK, 8, 0);
    ImageList_AddMasked(list, bmp, kMagenta);
    DeleteObject(bmp);
    return list;
}

} // namespace

BEGIN_MESSAGE_MAP(CAppPreview, CPreviewView)
ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_NEXT, OnUpdateNext)
ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_PREV, OnUpdatePrev)
ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_NUMPAGE, OnUpdateNumPage)
ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_ZOOMIN, OnUpdateZoomIn)
ON_UPDATE_COMMAND_UI(AFX_ID_PREVIEW_ZOOMOUT, OnUpdateZoomOut)
ON_MESSAGE(WM_FXDPICHANGED, OnDpiChanged)
END_MESSAGE_MAP()

CAppPreview::~CAppPreview() {
    for (HIMAGELIST& list : m_images)
        if (list)
            ImageList_Destroy(list);
}

HIMAGELIST CAppPreview::ImagesFor(UINT dpi) {
    const int size = CUiResources::ImageSizeFor(dpi);
    HIMAGELIST& list = m_images[size == 24 ? 1 : size == 32 ? 2 : 0];
    if (!list)
        list = MakeImages(size);
    return list;
}

void CAppPreview::SizeToolbar(UINT dpi) {
    const int image = CUiResources::ImageSizeFor(dpi);
    // The buttons keep their 7-pixel margin around the images, scaled.
    const int button = image + FxScale(kButtonSize - 16, dpi);
    m_toolbar.SetSizes(SIZE{button, button}, SIZE{image, image});
    RECT r = {0, 0, 0, 0};
    m_toolbar.GetItemRect(0, &r);
    m_height = std::max<int>(button, r.bottom - r.top) + m_toolbar.m_cyTopBorder +
               m_toolbar.m_cyBottomBorder;
}

void CAppPreview::OnCreateToolbar() {
    if (!m_toolbar.CreateEx(this, TBSTYLE_FLAT | TBSTYLE_LIST,
                            WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, AFX_IDW_TOOLBAR))
        return;
    const UINT dpi = FxDpiOf(m_hWnd);
    m_dpi = dpi;
    const int image = CUiResources::ImageSizeFor(dpi);
    const int button = image + FxScale(kButtonSize - 16, dpi);
    m_toolbar.SetSizes(SIZE{button, button}, SIZE{image, image});
    m_toolbar.SetImageList(ImagesFor(dpi));
    // The control copies the labels when the buttons are added.
    std::vector<TBBUTTON> buttons;
    std::vector<std::string> labels;
    labels.reserve(sizeof kButtons / sizeof kButtons[0]);
    for (const PreviewButton& b : kButtons) {
        TBBUTTON tb = {};
        if (b.image < 0) {
            tb.fsStyle = BTNS_SEP;
        } else {
            labels.push_back(AfxLoadString(b.label));
            tb.iBitmap = b.image;
            tb.idCommand = static_cast<int>(b.command);
            tb.fsState = TBSTATE_ENABLED;
            tb.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
            tb.iString = reinterpret_cast<INT_PTR>(labels.back().c_str());
        }
        buttons.push_back(tb);
    }
    m_toolbar.SetButtons(buttons.data(), static_cast<int>(buttons.size()));
    // Buttons with labels size themselves: no lower than the bar's buttons.
    SizeToolbar(dpi);
    m_numPageShown = 0; // made for the mode shown at the first update
}

LRESULT CAppPreview::OnDpiChanged(WPARAM newDpi, LPARAM) {
    const UINT dpi = static_cast<UINT>(newDpi);
    if (!dpi || dpi == m_dpi || !m_toolbar.m_hWnd)
        return 0;
    m_dpi = dpi;
    m_toolbar.SetImageList(ImagesFor(dpi));
    SizeToolbar(dpi);
    RECT r;
    ::GetClientRect(m_hWnd, &r);
    LayoutToolbar(r.right);
    return 0;
}

int CAppPreview::ToolbarHeight() const {
    return m_toolbar.m_hWnd ? m_height : 0;
}

void CAppPreview::LayoutToolbar(int cx) {
    // The toolbar spans the preview's width.
    if (m_toolbar.m_hWnd)
        ::SetWindowPos(m_toolbar.m_hWnd, nullptr, 0, 0, cx, m_height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

int CAppPreview::NumPageImage() const {
    return NumPages() == 1 ? 3 : 2;
}

void CAppPreview::ShowNumPageButton() {
    if (!m_toolbar.m_hWnd || m_numPageShown == NumPages())
        return;
    m_numPageShown = NumPages();
    const std::string label =
        AfxLoadString(NumPages() == 1 ? IDS_PREVIEW_TWO_PAGES : IDS_PREVIEW_ONE_PAGE);
    TBBUTTONINFOA bi = {};
    bi.cbSize = sizeof bi;
    bi.dwMask = TBIF_IMAGE | TBIF_TEXT;
    bi.iImage = NumPageImage();
    bi.pszText = const_cast<char*>(label.c_str());
    ::SendMessageA(m_toolbar.m_hWnd, TB_SETBUTTONINFOA, AFX_ID_PREVIEW_NUMPAGE,
                   reinterpret_cast<LPARAM>(&bi));
}

void CAppPreview::OnUpdateNext(CCmdUI* ui) {
    ui->Enable(CurrentPage() + (ZoomLevel() == 0 ? NumPages() : 1) - 1 < PageCount());
}

void CAppPreview::OnUpdatePrev(CCmdUI* ui) {
    ui->Enable(CurrentPage() > 1);
}

void CAppPreview::OnUpdateNumPage(CCmdUI* ui) {
    ui->Enable(true);
    ShowNumPageButton();
}

void CAppPreview::OnUpdateZoomIn(CCmdUI* ui) {
    ui->Enable(ZoomLevel() < kMaxZoom);
}

void CAppPreview::OnUpdateZoomOut(CCmdUI* ui) {
    ui->Enable(ZoomLevel() > 0);
}

void CAppPreview::OnStateChanged() {
    // The buttons follow at once, not only at the next idle pass; only changed buttons repaint.
    if (m_toolbar.m_hWnd)
        if (CFrameWnd* frame = GetParentFrame())
            m_toolbar.OnUpdateCmdUI(frame, false);
}
