// CToolBar. Layer: framework/.
#include "framework/ToolBar.h"

#include "framework/DockBar.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"

#include <algorithm>
#include <cmath>
#include <vector>

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CToolBar::CToolBar() {
    SetBorders(2, 2, 2, 2);
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
    SetDpi(FxDpiOf(parent ? parent->m_hWnd : nullptr));
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
    FitButtonsToImages();
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

void CToolBar::FitButtonsToImages() {
    SIZE image = {Scaled(16), Scaled(16)};
    int cx = 0, cy = 0;
    if (HIMAGELIST images = GetImageList(); images && ImageList_GetIconSize(images, &cx, &cy))
        image = {cx, cy};
    const int margin = Scaled(7);
    SetSizes(SIZE{image.cx + margin, image.cy + margin}, image);
}

void CToolBar::OnDpiChanged(UINT oldDpi) {
    CControlBar::OnDpiChanged(oldDpi);
    if (!m_hWnd)
        return;
    FitButtonsToImages();
    SetOrientation(m_horz);
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

namespace {

// The control's width of a separator that names none of its own.
const int kSeparatorWidth = 8;
// A length that no row ever reaches.
const int kUnbounded = 0x7FFF;

} // namespace

int CToolBar::ItemWidth(const TBBUTTON& button) const {
    if (button.fsStyle & BTNS_SEP)
        return button.iBitmap > 0 ? button.iBitmap : kSeparatorWidth;
    return m_buttonSize.cx;
}

int CToolBar::RowWidth() const {
    int width = 0;
    const int count = GetButtonCount();
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        if (GetButton(i, &button) && !(button.fsState & TBSTATE_HIDDEN))
            width += ItemWidth(button);
    }
    return width;
}

SIZE CToolBar::BorderSize(bool horz) {
    return CControlBar::CalcFixedLayout(false, horz);
}

SIZE CToolBar::WrapToWidth(int width) {
    if (!m_hWnd)
        return m_buttonSize;
    // The rows are ours: the control must not wrap them again to its window's width.
    const DWORD style = GetStyle();
    if (style & TBSTYLE_WRAPABLE)
        ::SendMessageA(m_hWnd, TB_SETSTYLE, 0,
                       static_cast<LPARAM>(style & ~static_cast<DWORD>(TBSTYLE_WRAPABLE)));
    width = std::max(width, static_cast<int>(m_buttonSize.cx));
    const int count = GetButtonCount();
    std::vector<bool> wrap(static_cast<size_t>(count), false);
    int x = 0;
    int previous = -1;
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        if (!GetButton(i, &button) || (button.fsState & TBSTATE_HIDDEN))
            continue;
        const int w = ItemWidth(button);
        if (x > 0 && x + w > width) {
            if (button.fsStyle & BTNS_SEP) {
                // A separator at the end of a row becomes the line between two rows.
                wrap[static_cast<size_t>(i)] = true;
                x = 0;
                previous = i;
                continue;
            }
            if (previous >= 0)
                wrap[static_cast<size_t>(previous)] = true;
            x = 0;
        }
        x += w;
        previous = i;
    }
    bool changed = false;
    for (int i = 0; i < count; ++i) {
        const BYTE state = GetButtonState(i);
        const BYTE wanted = wrap[static_cast<size_t>(i)] ? static_cast<BYTE>(state | TBSTATE_WRAP)
                                                         : static_cast<BYTE>(state & ~TBSTATE_WRAP);
        if (wanted != state) {
            // By index: separators share the command id 0.
            TBBUTTONINFOA info = {};
            info.cbSize = sizeof info;
            info.dwMask = TBIF_STATE | TBIF_BYINDEX;
            info.fsState = wanted;
            ::SendMessageA(m_hWnd, TB_SETBUTTONINFOA, static_cast<WPARAM>(i),
                           reinterpret_cast<LPARAM>(&info));
            changed = true;
        }
    }
    if (changed) {
        // The control lays its buttons out again for the new line breaks when its indent
        // changes (a new state alone only repaints the button).
        ::SendMessageA(m_hWnd, TB_SETINDENT, 1, 0);
        ::SendMessageA(m_hWnd, TB_SETINDENT, 0, 0);
        Invalidate(true);
    }
    // The extent of the buttons (a separator ending a row reaches past its row's buttons).
    SIZE extent = {0, 0};
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        RECT rc;
        if (!GetButton(i, &button) || (button.fsState & TBSTATE_HIDDEN) || !GetItemRect(i, &rc))
            continue;
        if (!(button.fsStyle & BTNS_SEP))
            extent.cx = std::max(extent.cx, rc.right);
        extent.cy = std::max(extent.cy, rc.bottom);
    }
    extent.cx = std::max(extent.cx, m_buttonSize.cx);
    extent.cy = std::max(extent.cy, m_buttonSize.cy);
    return extent;
}

void CToolBar::SetOrientation(bool horz) {
    m_horz = horz;
    if (!m_hWnd)
        return;
    const SIZE extent = WrapToWidth(horz ? kUnbounded : m_buttonSize.cx);
    // The frame places the bar afterwards; until then it is as large as its buttons.
    const SIZE borders = BorderSize(horz);
    RECT rc;
    GetWindowRect(&rc);
    const int width = extent.cx + borders.cx, height = extent.cy + borders.cy;
    if (rc.right - rc.left != width || rc.bottom - rc.top != height)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, width, height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE CToolBar::CalcFixedLayout(bool stretch, bool horz) {
    m_horz = horz;
    SIZE size = BorderSize(horz);
    const SIZE extent = WrapToWidth(horz ? kUnbounded : m_buttonSize.cx);
    size.cx += extent.cx;
    size.cy += extent.cy;
    if (stretch) {
        if (horz)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    return size;
}

int CToolBar::DockLength(bool horz) const {
    RECT room = {0, 0, 0, 0};
    if (m_pDockBar)
        room = m_pDockBar->m_rectLayout;
    if (::IsRectEmpty(&room) && m_pDockSite && m_pDockSite->m_hWnd)
        m_pDockSite->GetClientRect(&room);
    return horz ? room.right - room.left : room.bottom - room.top;
}

SIZE CToolBar::CalcDynamicLayout(int length, DWORD mode) {
    if (mode & LM_STRETCH)
        return CalcFixedLayout(true, (mode & LM_HORZ) != 0);
    if (mode & (LM_HORZDOCK | LM_VERTDOCK)) {
        const bool horz = (mode & LM_HORZDOCK) != 0;
        m_horz = horz;
        const SIZE borders = BorderSize(horz);
        const int dockLength = DockLength(horz);
        if (dockLength <= 0)
            return CalcFixedLayout(false, horz);
        if (horz) {
            // Rows as wide as the side allows.
            const SIZE extent = WrapToWidth(dockLength - borders.cx);
            return {extent.cx + borders.cx, extent.cy + borders.cy};
        }
        // Columns: the fewest that keep every button within the side's length.
        const int count = std::max(1, GetButtonCount());
        SIZE extent = {0, 0};
        for (int columns = 1; columns <= count; ++columns) {
            extent = WrapToWidth(columns * m_buttonSize.cx);
            if (extent.cy + borders.cy <= dockLength)
                break;
        }
        return {extent.cx + borders.cx, extent.cy + borders.cy};
    }
    // Floating: the buttons make a block in the mini frame.
    m_horz = true;
    const SIZE borders = BorderSize(true);
    const int full = std::max(RowWidth(), static_cast<int>(m_buttonSize.cx));
    int width;
    if (length > 0 && !(mode & LM_MRUWIDTH)) {
        if (mode & LM_LENGTHY) {
            // Sized by height: the narrowest block no higher than asked.
            width = full;
            for (int w = m_buttonSize.cx; w < full; w += m_buttonSize.cx) {
                if (WrapToWidth(w).cy + borders.cy <= length) {
                    width = w;
                    break;
                }
            }
        } else {
            width = length - borders.cx;
        }
        m_mruWidth = std::clamp(width, static_cast<int>(m_buttonSize.cx), full);
    }
    width = m_mruWidth;
    if (width <= 0) {
        // About three buttons wide for each one high.
        const int rows =
            std::max(1, static_cast<int>(std::ceil(std::sqrt(full / (3.0 * m_buttonSize.cx)))));
        width = (full + rows - 1) / rows + m_buttonSize.cx - 1;
    }
    const SIZE extent = WrapToWidth(std::min(width, full));
    return {extent.cx + borders.cx, extent.cy + borders.cy};
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
