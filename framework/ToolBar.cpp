// CToolBar. Layer: framework/.
#include "framework/ToolBar.h"

#include "framework/FrameWnd.h"
#include "framework/FwIds.h"

#include <algorithm>
#include <vector>

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CToolBar::CToolBar() {
    m_cxLeftBorder = m_cxRightBorder = 2;
    m_cyTopBorder = m_cyBottomBorder = 2;
}

CToolBar::~CToolBar() = default;

bool CToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, UINT id) {
    static bool initialised = false;
    if (!initialised) {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_BAR_CLASSES};
        InitCommonControlsEx(&init);
        initialised = true;
    }
    // The frame places the bar: the control neither sizes nor aligns itself.
    DWORD controlStyle = (ctrlStyle & 0xFFFF) | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN;
    if (style & CBRS_TOOLTIPS)
        controlStyle |= TBSTYLE_TOOLTIPS;
    // The control's styles share the low word with the bar styles: the window gets them
    // besides the window styles, the bar keeps its own.
    m_dwStyle = style & CBRS_ALL;
    const DWORD windowStyle = (style & ~static_cast<DWORD>(CBRS_ALL)) | WS_CHILD | controlStyle;
    RECT rc = {0, 0, 0, 0};
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, nullptr, windowStyle, rc, parent, id))
        return false;
    if (CFrameWnd* frame = DynamicDowncast<CFrameWnd>(parent))
        frame->AddControlBar(this);
    // The control reports to the bar itself; the bar hands commands and notifications to the
    // frame, so that they arrive wherever the bar is docked or floating.
    ::SendMessageA(m_hWnd, TB_SETPARENT, reinterpret_cast<WPARAM>(m_hWnd), 0);
    ::SendMessageA(m_hWnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SetSizes(m_buttonSize, m_imageSize);
    m_horz = (m_dwStyle & CBRS_ORIENT_VERT) == 0;
    return true;
}

void CToolBar::SetSizes(SIZE button, SIZE image) {
    m_buttonSize = button;
    m_imageSize = image;
    if (!m_hWnd)
        return;
    ::SendMessageA(m_hWnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(image.cx, image.cy));
    ::SendMessageA(m_hWnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(button.cx, button.cy));
}

void CToolBar::SetImageList(HIMAGELIST images) {
    if (m_hWnd)
        ::SendMessageA(m_hWnd, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
}

HIMAGELIST CToolBar::GetImageList() const {
    return m_hWnd ? reinterpret_cast<HIMAGELIST>(::SendMessageA(m_hWnd, TB_GETIMAGELIST, 0, 0))
                  : nullptr;
}

bool CToolBar::SetButtons(const TBBUTTON* buttons, int count) {
    if (!m_hWnd)
        return false;
    for (int n = GetButtonCount(); n > 0; --n)
        ::SendMessageA(m_hWnd, TB_DELETEBUTTON, static_cast<WPARAM>(n - 1), 0);
    if (count > 0 && !::SendMessageA(m_hWnd, TB_ADDBUTTONSA, static_cast<WPARAM>(count),
                                     reinterpret_cast<LPARAM>(buttons)))
        return false;
    SetOrientation(m_horz);
    return true;
}

int CToolBar::GetButtonCount() const {
    return m_hWnd ? static_cast<int>(::SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0)) : 0;
}

bool CToolBar::GetButton(int index, TBBUTTON* button) const {
    return m_hWnd && ::SendMessageA(m_hWnd, TB_GETBUTTON, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(button)) != 0;
}

int CToolBar::CommandToIndex(UINT id) const {
    return m_hWnd ? static_cast<int>(::SendMessageA(m_hWnd, TB_COMMANDTOINDEX, id, 0)) : -1;
}

UINT CToolBar::GetItemID(int index) const {
    TBBUTTON button = {};
    return GetButton(index, &button) ? static_cast<UINT>(button.idCommand) : 0;
}

bool CToolBar::GetItemRect(int index, RECT* rc) const {
    return m_hWnd && ::SendMessageA(m_hWnd, TB_GETITEMRECT, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(rc)) != 0;
}

BYTE CToolBar::GetButtonState(int index) const {
    TBBUTTON button = {};
    return GetButton(index, &button) ? button.fsState : 0;
}

void CToolBar::SetButtonState(int index, BYTE state) {
    TBBUTTON button = {};
    if (!GetButton(index, &button) || button.fsState == state)
        return; // idle passes come after every message: only changes repaint
    ::SendMessageA(m_hWnd, TB_SETSTATE, static_cast<WPARAM>(button.idCommand), MAKELONG(state, 0));
}

BYTE CToolBar::GetButtonStyle(int index) const {
    TBBUTTON button = {};
    return GetButton(index, &button) ? button.fsStyle : 0;
}

void CToolBar::SetButtonStyle(int index, BYTE style) {
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_STYLE | TBIF_BYINDEX;
    if (!::SendMessageA(m_hWnd, TB_GETBUTTONINFOA, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&info)) ||
        info.fsStyle == style)
        return;
    info.fsStyle = style;
    ::SendMessageA(m_hWnd, TB_SETBUTTONINFOA, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&info));
}

CFrameWnd* CToolBar::GetCommandFrame() const {
    if (m_pDockSite)
        return m_pDockSite;
    return GetTopLevelFrame();
}

// --- Layout ----------------------------------------------------------------------------------

void CToolBar::SetOrientation(bool horz) {
    m_horz = horz;
    if (!m_hWnd)
        return;
    // A vertical bar is one column: the control wraps its buttons to a window one button wide.
    const DWORD style = GetStyle();
    const DWORD wantedStyle =
        horz ? (style & ~static_cast<DWORD>(TBSTYLE_WRAPABLE)) : (style | TBSTYLE_WRAPABLE);
    if (wantedStyle != style)
        ::SendMessageA(m_hWnd, TB_SETSTYLE, 0, static_cast<LPARAM>(wantedStyle));
    const int count = GetButtonCount();
    for (int i = 0; i < count; ++i) {
        BYTE state = GetButtonState(i);
        BYTE wanted = horz ? static_cast<BYTE>(state & ~TBSTATE_WRAP)
                           : static_cast<BYTE>(state | TBSTATE_WRAP);
        SetButtonState(i, wanted);
    }
    // One button wide, or wide enough for all in a row; the frame places the bar afterwards.
    RECT rc;
    GetWindowRect(&rc);
    const int width = horz ? std::max(static_cast<int>(rc.right - rc.left),
                                      static_cast<int>((count + 1) * m_buttonSize.cx))
                           : m_buttonSize.cx + m_cxLeftBorder + m_cxRightBorder;
    if (rc.right - rc.left != width)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, width, std::max(1L, rc.bottom - rc.top),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The control lays its buttons out again for the new line breaks.
    ::SendMessageA(m_hWnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(m_buttonSize.cx, m_buttonSize.cy));
    ::SendMessageA(m_hWnd, TB_AUTOSIZE, 0, 0);
}

SIZE CToolBar::CalcFixedLayout(bool stretch, bool horz) {
    if (horz != m_horz)
        SetOrientation(horz);
    SIZE size = CControlBar::CalcFixedLayout(false, horz);
    int right = 0, bottom = 0;
    const int count = GetButtonCount();
    for (int i = 0; i < count; ++i) {
        RECT rc;
        if (GetItemRect(i, &rc)) {
            right = std::max(right, static_cast<int>(rc.right));
            bottom = std::max(bottom, static_cast<int>(rc.bottom));
        }
    }
    if (count == 0) {
        right = m_buttonSize.cx;
        bottom = m_buttonSize.cy;
    }
    if (horz) {
        size.cx += right;
        size.cy += std::max(bottom, static_cast<int>(m_buttonSize.cy));
        if (stretch)
            size.cx = 32767;
    } else {
        size.cx += std::max(right, static_cast<int>(m_buttonSize.cx));
        size.cy += bottom;
        if (stretch)
            size.cy = 32767;
    }
    return size;
}

void CToolBar::OnPaint() {
    Default(); // the control paints its buttons
}

bool CToolBar::OnEraseBkgnd(HDC) {
    return Default() != 0;
}

// --- Command UI ------------------------------------------------------------------------------

void CToolCmdUI::Enable(bool on) {
    m_bEnableChanged = true;
    BYTE state = m_bar.GetButtonState(static_cast<int>(m_nIndex));
    BYTE wanted =
        on ? static_cast<BYTE>(state | TBSTATE_ENABLED)
           : static_cast<BYTE>(state & ~(TBSTATE_ENABLED | TBSTATE_CHECKED | TBSTATE_PRESSED));
    m_bar.SetButtonState(static_cast<int>(m_nIndex), wanted);
}

void CToolCmdUI::SetCheck(int check) {
    const int index = static_cast<int>(m_nIndex);
    BYTE style = m_bar.GetButtonStyle(index);
    if (!(style & BTNS_CHECK))
        m_bar.SetButtonStyle(index, static_cast<BYTE>(style | BTNS_CHECK));
    BYTE state = m_bar.GetButtonState(index) & ~(TBSTATE_CHECKED | TBSTATE_INDETERMINATE);
    if (check == 1)
        state |= TBSTATE_CHECKED;
    else if (check == 2)
        state |= TBSTATE_INDETERMINATE;
    m_bar.SetButtonState(index, state);
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) {
    CToolCmdUI state(*this);
    state.m_pOther = this;
    const int count = GetButtonCount();
    state.m_nIndexMax = static_cast<UINT>(count);
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        if (!GetButton(i, &button) || (button.fsStyle & BTNS_SEP))
            continue;
        state.m_nIndex = static_cast<UINT>(i);
        state.m_nID = static_cast<UINT>(button.idCommand);
        state.DoUpdate(target, disableIfNoHandler);
    }
}

// --- Messages --------------------------------------------------------------------------------

LRESULT CToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        // A button's command, sent by the control to itself: the frame routes it.
        if (CFrameWnd* frame = GetCommandFrame())
            return frame->SendMessage(WM_COMMAND, wParam, lParam);
        return 0;
    case WM_NOTIFY:
        // The control's and its tool tips' notifications (tip texts, custom draw) are the
        // frame's. They never go back to the control, which would send them to itself again.
        if (CFrameWnd* frame = GetCommandFrame())
            return frame->SendMessage(WM_NOTIFY, wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (m_dwStyle & CBRS_FLYBY) {
            POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            TrackFlyBy(pt);
        }
        break;
    case WM_MOUSELEAVE:
        m_trackingLeave = false;
        EndFlyBy();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        EndFlyBy(); // the prompt gives way to what the command does
        // A press on a button is the control's; elsewhere the bar's own handling (dragging)
        // applies.
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        const int index =
            static_cast<int>(::SendMessageA(m_hWnd, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
        if (index >= 0 && !(GetButtonStyle(index) & BTNS_SEP))
            return DefWindowProc(message, wParam, lParam);
        break;
    }
    default:
        break;
    }
    return CControlBar::WindowProc(message, wParam, lParam);
}

void CToolBar::TrackFlyBy(POINT pt) {
    if (!m_trackingLeave) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, m_hWnd, 0};
        m_trackingLeave = ::TrackMouseEvent(&track) != 0;
    }
    const int index =
        static_cast<int>(::SendMessageA(m_hWnd, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
    UINT id = 0;
    if (index >= 0) {
        TBBUTTON button = {};
        if (GetButton(index, &button) && !(button.fsStyle & BTNS_SEP))
            id = static_cast<UINT>(button.idCommand);
    }
    if (id == m_flyBy)
        return;
    if (id == 0) {
        EndFlyBy();
        return;
    }
    m_flyBy = id;
    if (CFrameWnd* frame = GetCommandFrame())
        frame->SetMessageText(id);
}

void CToolBar::EndFlyBy() {
    if (!m_flyBy)
        return;
    m_flyBy = 0;
    if (CFrameWnd* frame = GetCommandFrame())
        frame->SetMessageText(static_cast<UINT>(AFX_IDS_IDLEMESSAGE));
}
