// The editor's print preview and its toolbar. The eight images are drawn here at start-up
// (magenta is transparent), so that the preview needs no bitmap resource. Layer: print/.
#include "print/AppPreview.h"

#include "framework/CmdUI.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"
#include "framework/FwPrintIds.h"
#include "framework/MessageMap.h"
#include "framework/PrintInfo.h"
#include "framework/ResourceText.h"
#include "print/PrintIds.h"

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

void Rect(HDC dc, int l, int t, int r, int b, COLORREF fill, COLORREF edge) {
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 1, edge);
    HGDIOBJ ob = SelectObject(dc, brush), op = SelectObject(dc, pen);
    Rectangle(dc, l, t, r, b);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(brush);
    DeleteObject(pen);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF c, int width = 1) {
    HPEN pen = CreatePen(PS_SOLID, width, c);
    HGDIOBJ op = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, op);
    DeleteObject(pen);
}

void Triangle(HDC dc, const POINT (&pts)[3], COLORREF c) {
    HBRUSH brush = CreateSolidBrush(c);
    HPEN pen = CreatePen(PS_SOLID, 1, c);
    HGDIOBJ ob = SelectObject(dc, brush), op = SelectObject(dc, pen);
    Polygon(dc, pts, 3);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(brush);
    DeleteObject(pen);
}

void Page(HDC dc, int x, int y, int w, int h) {
    Rect(dc, x, y, x + w, y + h, RGB(255, 255, 255), RGB(0, 0, 0));
    for (int ly = y + 3; ly < y + h - 2; ly += 3)
        Line(dc, x + 2, ly, x + w - 2, ly, RGB(0, 0, 128));
}

void Magnifier(HDC dc, int x, bool plus) {
    HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ ob = SelectObject(dc, brush), op = SelectObject(dc, pen);
    Ellipse(dc, x + 1, 1, x + 11, 11);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(brush);
    DeleteObject(pen);
    Line(dc, x + 9, 9, x + 14, 14, RGB(128, 64, 0), 3);
    Line(dc, x + 3, 6, x + 9, 6, RGB(0, 0, 0));
    if (plus)
        Line(dc, x + 6, 3, x + 6, 9, RGB(0, 0, 0));
}

HIMAGELIST MakeImages() {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 16 * 8, 16);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all = {0, 0, 16 * 8, 16};
    HBRUSH back = CreateSolidBrush(kMagenta);
    FillRect(dc, &all, back);
    DeleteObject(back);
    // 0 print: a printer with a sheet.
    Rect(dc, 4, 1, 12, 8, RGB(255, 255, 255), RGB(0, 0, 0));
    Rect(dc, 1, 7, 15, 13, RGB(192, 192, 192), RGB(0, 0, 0));
    Line(dc, 11, 9, 13, 9, RGB(0, 160, 0));
    // 1 close: a red cross.
    Line(dc, 16 + 3, 3, 16 + 13, 13, RGB(200, 0, 0), 2);
    Line(dc, 16 + 13, 3, 16 + 3, 13, RGB(200, 0, 0), 2);
    // 2 one page, 3 two pages.
    Page(dc, 32 + 3, 1, 10, 14);
    Page(dc, 48 + 1, 1, 7, 12);
    Page(dc, 48 + 8, 3, 7, 12);
    // 4 next page, 5 previous page.
    Triangle(dc, {{64 + 5, 2}, {64 + 12, 8}, {64 + 5, 14}}, RGB(0, 0, 160));
    Triangle(dc, {{80 + 11, 2}, {80 + 4, 8}, {80 + 11, 14}}, RGB(0, 0, 160));
    // 6 zoom in, 7 zoom out.
    Magnifier(dc, 96, true);
    Magnifier(dc, 112, false);
    SelectObject(dc, old);
    DeleteDC(dc);
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 8, 0);
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
END_MESSAGE_MAP()

CAppPreview::~CAppPreview() {
    if (m_images)
        ImageList_Destroy(m_images);
}

void CAppPreview::OnCreateToolbar() {
    if (!m_toolbar.CreateEx(this, TBSTYLE_FLAT | TBSTYLE_LIST,
                            WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, AFX_IDW_TOOLBAR))
        return;
    m_toolbar.SetSizes(SIZE{23, 23}, SIZE{16, 16});
    m_images = MakeImages();
    m_toolbar.SetImageList(m_images);
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
    // Buttons with labels size themselves: no lower than the bar's 23 x 23.
    m_toolbar.SetSizes(SIZE{23, 23}, SIZE{16, 16});
    m_numPageShown = 0; // made for the mode shown at the first update
    RECT r = {0, 0, 0, 0};
    m_toolbar.GetItemRect(0, &r);
    m_height =
        std::max<int>(23, r.bottom - r.top) + m_toolbar.m_cyTopBorder + m_toolbar.m_cyBottomBorder;
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
