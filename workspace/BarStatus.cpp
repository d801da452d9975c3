// CBarStatus. Layer: workspace/ (bars).
#include "workspace/BarStatus.h"

#include "framework/CmdUI.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"
#include "framework/ResourceText.h"
#include "common/LeadBytes.h"
#include "common/UiResources.h"
#include "workspace/BarPaint.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

IMPLEMENT_DYNAMIC(CBarStatus, CControlBar)

BEGIN_MESSAGE_MAP(CBarStatus, CControlBar)
ON_WM_SIZE()
ON_WM_TIMER()
ON_WM_DESTROY()
ON_WM_SYSCOLORCHANGE()
ON_WM_NCHITTEST()
ON_WM_ERASEBKGND()
ON_MESSAGE(WM_SETTEXT, OnSetText)
ON_MESSAGE(WM_GETTEXT, OnGetText)
ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
ON_MESSAGE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
END_MESSAGE_MAP()

namespace {

// Copies at most kMaxText bytes without splitting a double-byte character.
int CopyPaneText(char* dst, const char* src) {
    int n = 0;
    if (src) {
        while (src[n] && n < static_cast<int>(CBarStatus::kMaxText)) {
            if (IsDBCSLeadByte(static_cast<BYTE>(src[n]))) {
                if (!src[n + 1] || n + 2 > static_cast<int>(CBarStatus::kMaxText))
                    break;
                n += 2;
            } else {
                ++n;
            }
        }
        std::memcpy(dst, src, static_cast<size_t>(n));
    }
    dst[n] = '\0';
    return n;
}

// Selects a GDI object into a DC for a scope.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(obj ? SelectObject(dc, obj) : nullptr) {}
    ~SelectGuard() {
        if (m_old)
            SelectObject(m_dc, m_old);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

} // namespace

// The command-UI item of one pane: enabling toggles the disabled style, checks are ignored,
// texts go to the pane without a redraw (the layout after the update repaints).
class CStatusPaneCmdUI : public CCmdUI {
public:
    explicit CStatusPaneCmdUI(CBarStatus& bar) : m_bar(bar) {}
    void Enable(bool on) override {
        m_bEnableChanged = true;
        CBarStatus::Pane& pane = m_bar.m_panes[m_nIndex];
        DWORD style =
            on ? (pane.style & ~CBarStatus::PaneDisabled) : (pane.style | CBarStatus::PaneDisabled);
        if (style != pane.style) {
            pane.style = style;
            m_bar.m_changed = true;
        }
    }
    void SetCheck(int) override {}
    void SetText(const char* text) override {
        m_bar.SetPaneText(static_cast<int>(m_nIndex), text, false);
    }

private:
    CBarStatus& m_bar;
};

CBarStatus::CBarStatus() = default;

CBarStatus::~CBarStatus() = default;

bool CBarStatus::Create(CWnd* parent, DWORD style, UINT id) {
    m_sizeGrip = parent && (parent->GetStyle() & WS_THICKFRAME) != 0;
    SetDpi(FxDpiOf(parent ? parent->m_hWnd : nullptr));
    RefreshMetrics();
    const char* cls = RegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    DWORD windowStyle = (style & 0xFFBF0000) | WS_CHILD;
    if (!CreateBar(parent, windowStyle, id, cls))
        return false;
    DWORD barStyle = style & 0x0040FFFF;
    if ((style & 0xFF00) == 0x8200) // bottom with a top border: no borders at all
        barStyle = (style & CBRS_GRIPPER) | (style & 0xF07F);
    m_dwStyle = barStyle;
    SetBorders(0, 0, 0, 0);
    m_cyTopBorder = m_gap;
    return true;
}

void CBarStatus::OnDpiChanged(UINT oldDpi) {
    CControlBar::OnDpiChanged(oldDpi);
    RefreshMetrics();
    m_cyTopBorder = m_gap;
    if (m_hWnd)
        Layout();
}

void CBarStatus::RefreshMetrics() {
    BarColours colours;
    colours.Load();
    m_face = colours.face;
    m_text = colours.text;
    m_shadow = colours.shadow;
    m_highlight = colours.highlight;
    m_selBack = colours.selection;
    m_selText = colours.selectionText;
    m_greyText = colours.grayText;
    const CUiResources& ui = SharedUi();
    const UINT dpi = GetDpi();
    m_font = m_dpiFont.Get(ui.IsInitialised() && ui.m_statusFont
                               ? ui.m_statusFont
                               : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)),
                           dpi);
    m_textHeight = BarFontHeight(m_font, dpi);
    m_barHeight = m_textHeight + Scaled(4);
    m_gap = FxSystemMetric(SM_CYEDGE, dpi);
    m_gripWidth = FxSystemMetric(SM_CXBORDER, dpi) + FxSystemMetric(SM_CXVSCROLL, dpi);
    m_padding = Scaled(kPanePadding);
    m_textInset = Scaled(kTextInset);
}

bool CBarStatus::SetIndicators(const UINT* ids, int count) {
    std::vector<Pane> panes;
    try {
        panes.resize(static_cast<size_t>(std::max(count, 0)));
    } catch (...) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        Pane& pane = panes[static_cast<size_t>(i)];
        pane.id = ids[i];
        if (pane.id != 0) {
            pane.style = 0;
            pane.length = CopyPaneText(pane.text, AfxLoadString(pane.id).c_str());
        } else {
            pane.style = PaneStretch | PaneNoBorder;
        }
    }
    m_panes.swap(panes);
    Layout();
    return true;
}

int CBarStatus::CommandToIndex(UINT id) const {
    for (size_t i = 0; i < m_panes.size(); ++i) {
        if (m_panes[i].id == id)
            return static_cast<int>(i);
    }
    return -1;
}

const char* CBarStatus::GetPaneText(int index) const {
    if (index < 0 || index >= GetPaneCount())
        return "";
    return m_panes[static_cast<size_t>(index)].text;
}

bool CBarStatus::SetPaneText(int index, const char* text, bool redraw) {
    if (index < 0 || index >= GetPaneCount())
        return false;
    Pane& pane = m_panes[static_cast<size_t>(index)];
    if (pane.style & PaneProgress)
        return true;
    char copy[kMaxText + 1];
    int length = CopyPaneText(copy, text);
    if (length == pane.length && std::strcmp(copy, pane.text) == 0)
        return true;
    std::memcpy(pane.text, copy, static_cast<size_t>(length) + 1);
    pane.length = length;
    pane.style &= ~PaneHighlight;
    m_changed = true;
    if (redraw && m_hWnd)
        Layout();
    else
        SyncWindowText();
    return true;
}

void CBarStatus::ShowMessage(const char* text) {
    int index = CommandToIndex(0);
    if (index < 0)
        return;
    Pane& pane = m_panes[static_cast<size_t>(index)];
    pane.style &= ~PaneProgress;
    pane.length = CopyPaneText(pane.text, text);
    pane.style |= PaneHighlight;
    pane.highlightTick = GetTickCount();
    StartTimer();
    Layout();
}

void CBarStatus::ShowMessage(UINT textId) {
    ShowMessage(AfxLoadString(textId).c_str());
}

void CBarStatus::SetProgress(UINT labelId, int position, int maximum) {
    int index = CommandToIndex(0);
    if (index < 0)
        return;
    Pane& pane = m_panes[static_cast<size_t>(index)];
    pane.length = CopyPaneText(pane.text, AfxLoadString(labelId).c_str());
    pane.position = position;
    pane.maximum = maximum;
    if (position == -1 || position == maximum)
        pane.style &= ~(PaneProgress | PaneHighlight);
    else
        pane.style = (pane.style | PaneProgress) & ~PaneHighlight;
    Layout();
    if (m_hWnd)
        UpdateWindow(); // progress comes from long loops that do not pump messages
}

void CBarStatus::SetSimple(bool simple) {
    if (simple == m_simple)
        return;
    m_simple = simple;
    Layout();
}

void CBarStatus::StartTimer() {
    if (!m_timer && m_hWnd)
        m_timer = SetTimer(kTimerId, kTimerPeriod);
}

void CBarStatus::AgeHighlights(DWORD now) {
    bool left = false;
    for (Pane& pane : m_panes) {
        if (!(pane.style & PaneHighlight))
            continue;
        if (now - pane.highlightTick >= kHighlightTime) {
            pane.style &= ~PaneHighlight;
            if (pane.id == 0)
                pane.length = CopyPaneText(pane.text, AfxLoadString(AFX_IDS_IDLEMESSAGE).c_str());
            m_changed = true;
        } else {
            left = true;
        }
    }
    if (!left && m_timer) {
        KillTimer(m_timer);
        m_timer = 0;
    }
    if (m_changed)
        Layout();
}

void CBarStatus::OnTimer(UINT_PTR id) {
    if (id == kTimerId)
        AgeHighlights(GetTickCount());
}

void CBarStatus::OnDestroy() {
    if (m_timer) {
        KillTimer(m_timer);
        m_timer = 0;
    }
    CControlBar::OnDestroy();
}

void CBarStatus::OnSysColorChange() {
    RefreshMetrics();
    Layout();
}

void CBarStatus::RefreshFonts() {
    RefreshMetrics();
    Layout();
}

bool CBarStatus::IsFrameMaximized() const {
    CFrameWnd* frame = GetTopLevelFrame();
    return frame && frame->m_hWnd && IsZoomed(frame->m_hWnd);
}

RECT CBarStatus::GripRect() const {
    RECT rc = {m_cx - m_gripWidth, m_cy - m_gripWidth, m_cx, m_cy};
    if (rc.top < 0)
        rc.top = 0;
    return rc;
}

void CBarStatus::SyncWindowText() {
    // Other processes read the text the window manager keeps, not WM_GETTEXT's answer: it
    // follows the message pane.
    int index = CommandToIndex(0);
    if (!m_hWnd || index < 0)
        return;
    const char* text = m_panes[static_cast<size_t>(index)].text;
    if (m_windowText == text)
        return;
    m_windowText = text;
    ::DefWindowProcA(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void CBarStatus::Layout() {
    m_changed = false;
    SyncWindowText();
    if (!m_hWnd)
        return;
    int available = m_cx;
    if (m_sizeGrip && !IsFrameMaximized())
        available -= m_gripWidth;
    HDC dc = GetDC(m_hWnd);
    {
        SelectGuard font(dc, m_font);
        int used = 0, stretchCount = 0;
        for (Pane& pane : m_panes) {
            SIZE size = {0, 0};
            if (pane.length > 0)
                GetTextExtentPoint32A(dc, pane.text, pane.length, &size);
            pane.width = size.cx;
            used += m_gap + pane.width + m_padding;
            if (pane.style & PaneStretch)
                ++stretchCount;
        }
        if (m_simple) {
            for (Pane& pane : m_panes)
                pane.right = pane.id == 0 ? available : 0;
        } else {
            int spare = available + m_gap - used;
            int share = (spare > 0 && stretchCount > 0) ? spare / stretchCount : 0;
            int x = 0;
            for (Pane& pane : m_panes) {
                x += pane.width + m_padding + ((pane.style & PaneStretch) ? share : 0);
                pane.right = x;
                x += m_gap;
            }
        }
    }
    ReleaseDC(m_hWnd, dc);
    Invalidate(false);
}

SIZE CBarStatus::CalcFixedLayout(bool, bool horz) {
    SIZE size = CControlBar::CalcFixedLayout(false, horz);
    size.cx = 32767;
    size.cy += m_barHeight;
    return size;
}

void CBarStatus::OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) {
    CStatusPaneCmdUI state(*this);
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(m_panes.size());
    for (size_t i = 0; i < m_panes.size(); ++i) {
        if (m_simple && m_panes[i].id != 0)
            continue;
        if (m_panes[i].id == 0)
            continue; // the message pane is set through its window text
        state.m_nID = m_panes[i].id;
        state.m_nIndex = static_cast<UINT>(i);
        state.DoUpdate(target, disableIfNoHandler);
    }
    // Only a change is laid out and painted again: idle passes come after every message.
    if (m_changed)
        Layout();
}

void CBarStatus::OnSize(UINT, int cx, int cy) {
    m_cx = cx;
    m_cy = cy;
    Layout();
}

bool CBarStatus::OnEraseBkgnd(HDC) {
    return true; // DoPaint fills everything
}

void CBarStatus::DoPaint(HDC target) {
    RECT client;
    GetClientRect(&client);
    int cx = client.right, cy = client.bottom;
    if (cx <= 0 || cy <= 0)
        return;
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, cx, cy);
    {
        SelectGuard bmp(dc, bitmap);
        SelectGuard font(dc, m_font);
        HBRUSH face = CreateSolidBrush(m_face);
        FillRect(dc, &client, face);
        DeleteObject(face);
        SetBkMode(dc, TRANSPARENT);
        int top = m_cyTopBorder;
        if (m_simple) {
            int index = CommandToIndex(0);
            if (index >= 0) {
                RECT rc = {0, top, cx, cy};
                DrawPane(dc, m_panes[static_cast<size_t>(index)], rc);
            }
        } else {
            int left = 0;
            for (const Pane& pane : m_panes) {
                if (left >= cx)
                    break;
                RECT rc = {left, top, pane.right, cy};
                DrawPane(dc, pane, rc);
                left = pane.right + m_gap;
            }
        }
        if (m_sizeGrip && !IsFrameMaximized()) {
            RECT grip = GripRect();
            DrawFrameControl(dc, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
        }
        BitBlt(target, 0, 0, cx, cy, dc, 0, 0, SRCCOPY);
    }
    DeleteObject(bitmap);
    DeleteDC(dc);
}

void CBarStatus::DrawPane(HDC dc, const Pane& pane, RECT rc) {
    if (rc.right <= rc.left)
        return;
    if (pane.style & PaneProgress) {
        DrawProgress(dc, pane, rc);
    } else {
        RECT textRc = rc;
        textRc.left += m_textInset;
        UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
        if (pane.style & PaneHighlight) {
            RECT back = {rc.left + 1, rc.top, rc.right - 1, rc.bottom - 1};
            SetBkColor(dc, m_selBack);
            SetTextColor(dc, m_selText);
            ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &back, nullptr, 0, nullptr);
            SaveDC(dc);
            IntersectClipRect(dc, back.left, back.top, back.right, back.bottom);
            DrawTextA(dc, pane.text, pane.length, &textRc, format);
            RestoreDC(dc, -1);
        } else if (pane.style & PaneDisabled) {
            if (GetDeviceCaps(dc, BITSPIXEL) > 4) {
                RECT shifted = textRc;
                OffsetRect(&shifted, 1, 1);
                SetTextColor(dc, m_selText);
                DrawTextA(dc, pane.text, pane.length, &shifted, format);
            }
            SetTextColor(dc, m_greyText);
            DrawTextA(dc, pane.text, pane.length, &textRc, format);
        } else {
            SetTextColor(dc, m_text);
            DrawTextA(dc, pane.text, pane.length, &textRc, format);
        }
    }
    BarColours edges;
    edges.shadow = m_shadow;
    edges.highlight = m_highlight;
    if ((pane.style & 0xFFFF) == 0)
        DrawSunkenFrame(dc, rc, edges);
    else if ((pane.style & 0xFFFF) == PaneRaised)
        DrawRaisedFrame(dc, rc, edges);
}

void CBarStatus::DrawProgress(HDC dc, const Pane& pane, RECT rc) {
    char percent[16];
    int maximum = pane.maximum <= 0 ? 1 : pane.maximum;
    std::snprintf(percent, sizeof percent, "%d%%",
                  static_cast<int>(static_cast<long long>(pane.position) * 100 / maximum));
    SIZE pctSize = {0, 0}, labelSize = {0, 0};
    GetTextExtentPoint32A(dc, percent, static_cast<int>(std::strlen(percent)), &pctSize);
    if (pane.length > 0)
        GetTextExtentPoint32A(dc, pane.text, pane.length, &labelSize);
    int width = rc.right - rc.left;
    int barWidth = std::max(Scaled(kProgressWidth), static_cast<int>(pctSize.cx) + m_padding);
    int labelWidth = labelSize.cx;
    if (width < barWidth + labelWidth + m_padding) {
        barWidth = pctSize.cx;
        labelWidth = std::max(0, width - barWidth - m_padding);
    }
    RECT label = {rc.left + m_textInset, rc.top, rc.left + m_textInset + labelWidth, rc.bottom};
    SetTextColor(dc, m_text);
    DrawTextA(dc, pane.text, pane.length, &label,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_WORD_ELLIPSIS);
    RECT bar = {label.right + m_textInset, rc.top + 1, label.right + m_textInset + barWidth,
                rc.bottom - 1};
    bar.right = std::min(bar.right, rc.right - 1);
    BarColours edges;
    edges.shadow = m_shadow;
    edges.highlight = m_highlight;
    DrawSunkenFrame(dc, bar, edges);
    RECT inner = {bar.left + 1, bar.top + 1, bar.right - 1, bar.bottom - 1};
    int fill = static_cast<int>(static_cast<long long>(inner.right - inner.left) *
                                std::max(pane.position, 0) / maximum);
    fill = std::min(fill, static_cast<int>(inner.right - inner.left));
    RECT filled = {inner.left, inner.top, inner.left + fill, inner.bottom};
    HBRUSH brush = CreateSolidBrush(m_selBack);
    FillRect(dc, &filled, brush);
    DeleteObject(brush);
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX;
    SaveDC(dc);
    IntersectClipRect(dc, filled.left, filled.top, filled.right, filled.bottom);
    SetTextColor(dc, m_selText);
    DrawTextA(dc, percent, -1, &inner, format);
    RestoreDC(dc, -1);
    SaveDC(dc);
    ExcludeClipRect(dc, filled.left, filled.top, filled.right, filled.bottom);
    SetTextColor(dc, m_text);
    DrawTextA(dc, percent, -1, &inner, format);
    RestoreDC(dc, -1);
}

LRESULT CBarStatus::OnNcHitTest(POINT pt) {
    if (m_sizeGrip && !IsFrameMaximized()) {
        POINT client = pt;
        ::ScreenToClient(m_hWnd, &client);
        RECT grip = GripRect();
        if (PtInRect(&grip, client))
            return HTBOTTOMRIGHT;
    }
    return HTCLIENT;
}

LRESULT CBarStatus::OnNcLButtonDown(WPARAM wParam, LPARAM lParam) {
    // The grip sizes the frame, not the bar.
    if (wParam == HTBOTTOMRIGHT) {
        if (CFrameWnd* frame = GetTopLevelFrame())
            return frame->SendMessage(WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, lParam);
    }
    return Default();
}

LRESULT CBarStatus::OnSetText(WPARAM, LPARAM lParam) {
    int index = CommandToIndex(0);
    if (index >= 0)
        SetPaneText(index, reinterpret_cast<const char*>(lParam), true);
    return 0;
}

std::string CBarStatus::ShownText() const {
    const int message = CommandToIndex(0);
    std::string text = message >= 0 ? m_panes[static_cast<size_t>(message)].text : "";
    if (m_simple)
        return text;
    for (size_t i = 0; i < m_panes.size(); ++i) {
        if (static_cast<int>(i) == message)
            continue;
        text += kPaneSeparator;
        text += m_panes[i].text;
    }
    return text;
}

LRESULT CBarStatus::OnGetText(WPARAM wParam, LPARAM lParam) {
    char* buffer = reinterpret_cast<char*>(lParam);
    const size_t size = static_cast<size_t>(wParam);
    if (!buffer || size == 0)
        return 0;
    const std::string text = ShownText();
    // Cut on a character boundary.
    size_t n = 0;
    while (n < text.size()) {
        const size_t next = n + static_cast<size_t>(FxCharLen(text.data(), n, text.size()));
        if (next > size - 1)
            break;
        n = next;
    }
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n + 1);
}

LRESULT CBarStatus::OnGetTextLength(WPARAM, LPARAM) {
    return static_cast<LRESULT>(ShownText().size());
}
