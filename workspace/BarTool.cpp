// CBarTool. Layer: workspace/.
#include "workspace/BarTool.h"

#include "workspace/BarPaint.h"

IMPLEMENT_DYNAMIC(CBarTool, CToolBar)

CBarTool::CBarTool() = default;

CBarTool::~CBarTool() = default;

bool CBarTool::Create(CWnd* parent, DWORD alignment, bool visible, UINT id) {
    DWORD style = kBarStyle | (alignment & (CBRS_ALIGN_ANY | CBRS_BORDER_ANY));
    if (visible)
        style |= WS_VISIBLE;
    if (!CreateEx(parent, TBSTYLE_FLAT, style, id))
        return false;
    FitButtonsToImages();
    return true;
}

void CBarTool::OnButtonsReplaced() {
    if (!GetImageList())
        SetImageList(BarImages(GetDpi()));
    FitButtonsToImages();
    SetOrientation(IsHorzLayout());
}
