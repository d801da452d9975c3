// OutputWindow. Layer: tools/.
#include "tools/OutputWindow.h"

#include "framework/ControlBar.h"
#include "framework/FrameWnd.h"
#include "framework/ResourceText.h"
#include "tools/OutputIds.h"
#include "workspace/TabNotify.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(OutputWindow, CWnd)

BEGIN_MESSAGE_MAP(OutputWindow, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_ERASEBKGND()
ON_WM_SETFOCUS()
ON_MESSAGE(WM_HSCROLL, OnHScrollMessage)
ON_NOTIFY(TCN_SELCHANGING, OutputWindow::kTabId, OnTabChanging)
END_MESSAGE_MAP()

OutputWindow::OutputWindow()
    : m_slots{{IDS_OUTPUT_FIND1, 3, nullptr, ParseResultLine},
              {IDS_OUTPUT_FIND2, 4, nullptr, ParseResultLine},
              {IDS_OUTPUT_CAPTURE1, 1, nullptr, nullptr},
              {IDS_OUTPUT_CAPTURE2, 2, nullptr, nullptr}} {}

OutputWindow::~OutputWindow() = default;

int OutputWindow::SlotOfKey(int key) {
    static const int kSlotOfKey[5] = {-1, 2, 3, 0, 1};
    return key >= 1 && key <= 4 ? kSlotOfKey[key] : -1;
}

bool OutputWindow::Create(CWnd* bar) {
    const char* cls = RegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateEx(WS_EX_CLIENTEDGE, cls, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                    RECT{0, 0, 0, 0}, bar, kWindowId);
}

void OutputWindow::SetChannels(IOutputChannels* channels) {
    m_channels = channels;
    for (Slot& slot : m_slots)
        if (slot.pane)
            slot.pane->SetChannels(channels);
}

void OutputWindow::SetHost(IOutputHost* host) {
    m_host = host;
    for (Slot& slot : m_slots)
        if (slot.pane)
            slot.pane->SetHost(host);
}

void OutputWindow::SetLineReader(int key, OutputLineReader reader) {
    const int index = SlotOfKey(key);
    if (index < 0)
        return;
    m_slots[index].reader = std::move(reader);
    if (m_slots[index].pane)
        m_slots[index].pane->SetLineReader(m_slots[index].reader);
}

int OutputWindow::OnCreate(LPCREATESTRUCTA cs) {
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    if (!m_tabs.Create(this, WS_VISIBLE | WS_CLIPSIBLINGS, kTabId, RECT{0, 0, 0, 0}))
        return -1;
    for (int i = 0; i < kSlotCount; ++i)
        m_tabs.InsertTab(i, AfxLoadString(m_slots[i].titleId).c_str(), m_slots[i].key);
    m_current = -1;
    m_tabs.SelectTab(SlotOfKey(3));
    return 0;
}

OutputPane* OutputWindow::GetPane(int key) const {
    const int index = SlotOfKey(key);
    return index >= 0 ? m_slots[index].pane.get() : nullptr;
}

OutputPane* OutputWindow::GetCurrentPane() const {
    return m_current >= 0 ? m_slots[m_current].pane.get() : nullptr;
}

int OutputWindow::GetCurrentKey() const {
    return m_current >= 0 ? m_slots[m_current].key : 0;
}

bool OutputWindow::SelectKey(int key) {
    const int index = SlotOfKey(key);
    if (index < 0 || !m_hWnd)
        return false;
    if (index == m_current && m_slots[index].pane)
        return true;
    // The strip asks this window through its change notice, which makes and shows the pane.
    return m_tabs.SelectTab(index) || index == m_current;
}

HWND OutputWindow::PaneForKey(int key) {
    if (!SelectKey(key))
        return nullptr;
    OutputPane* pane = GetPane(key);
    return pane ? pane->m_hWnd : nullptr;
}

void OutputWindow::ShowOutputBar() {
    CControlBar* bar = dynamic_cast<CControlBar*>(CWnd::FromHandle(::GetParent(m_hWnd)));
    if (!bar || bar->IsWindowVisible())
        return;
    if (CFrameWnd* frame = bar->GetDockingFrame())
        frame->ShowControlBar(bar, true, false);
}

void OutputWindow::ClearPane(HWND pane) {
    // Sent, so that a request from a job thread runs here on the window's thread.
    for (const Slot& slot : m_slots)
        if (slot.pane && slot.pane->m_hWnd == pane)
            ::SendMessageA(pane, OutputPane::kClearMessage, 0, 0);
}

bool OutputWindow::ShowSlot(int index) {
    Slot& slot = m_slots[index];
    if (!slot.pane) {
        std::unique_ptr<OutputPane> pane(new OutputPane(slot.key));
        pane->SetChannels(m_channels);
        pane->SetHost(m_host);
        pane->SetLineReader(slot.reader);
        if (!pane->Create(this, m_content))
            return false;
        slot.pane = std::move(pane);
    }
    if (m_current >= 0 && m_current != index && m_slots[m_current].pane) {
        m_slots[m_current].pane->SetHScrollBar(nullptr);
        ::ShowWindow(m_slots[m_current].pane->m_hWnd, SW_HIDE);
    }
    m_current = index;
    ::SetWindowPos(slot.pane->m_hWnd, HWND_TOP, m_content.left, m_content.top,
                   m_content.right - m_content.left, m_content.bottom - m_content.top,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
    slot.pane->SetHScrollBar(m_tabs.GetScrollBar());
    ::SetFocus(slot.pane->m_hWnd);
    return true;
}

void OutputWindow::OnTabChanging(NMHDR* hdr, LRESULT* result) {
    // A pane that cannot be made refuses the change: the old tab stays.
    const int index = reinterpret_cast<NMTABSTRIP*>(hdr)->newIndex;
    *result = (index < 0 || index >= kSlotCount || !ShowSlot(index)) ? 1 : 0;
}

void OutputWindow::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    PlacePanes();
}

void OutputWindow::PlacePanes() {
    RECT client;
    GetClientRect(&client);
    int stripHeight = 0;
    if (m_tabs.m_hWnd) {
        stripHeight = m_tabs.GetStripSize();
        ::SetWindowPos(m_tabs.m_hWnd, nullptr, 0, client.bottom - stripHeight, client.right,
                       stripHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_content = {0, 0, client.right, std::max<LONG>(0, client.bottom - stripHeight)};
    if (OutputPane* pane = GetCurrentPane())
        ::SetWindowPos(pane->m_hWnd, nullptr, m_content.left, m_content.top,
                       m_content.right - m_content.left, m_content.bottom - m_content.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

bool OutputWindow::OnEraseBkgnd(HDC dc) {
    RECT rc;
    GetClientRect(&rc);
    ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
    return true;
}

void OutputWindow::OnSetFocus(HWND) {
    if (OutputPane* pane = GetCurrentPane())
        ::SetFocus(pane->m_hWnd);
}

LRESULT OutputWindow::OnHScrollMessage(WPARAM wParam, LPARAM lParam) {
    // The strip's scroll bar serves the pane shown above it.
    if (OutputPane* pane = GetCurrentPane())
        return ::SendMessageA(pane->m_hWnd, WM_HSCROLL, wParam, lParam);
    return 0;
}
