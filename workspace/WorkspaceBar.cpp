// CWorkspaceBar. Layer: workspace/.
#include "workspace/WorkspaceBar.h"

#include "common/UiResources.h"
#include "framework/ResourceText.h"

#include <commctrl.h>

IMPLEMENT_DYNAMIC(CWorkspaceBar, CFxControlBar)

BEGIN_MESSAGE_MAP(CWorkspaceBar, CFxControlBar)
ON_WM_CREATE()
ON_WM_SIZE()
ON_MESSAGE(WM_NOTIFY, OnTabNotify)
END_MESSAGE_MAP()

namespace {

const char kPageClass[] = "QvWorkspacePage";
const int kTabWidth = 80;

const char* PageClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kPageClass;
        registered = ::RegisterClassA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }
    return kPageClass;
}

} // namespace

CWorkspaceBar::CWorkspaceBar()
    : m_pages{{28, 5300, kFileTreePage, nullptr}, {29, 5301, kClipTextPage, nullptr}} {}

int CWorkspaceBar::OnCreate(LPCREATESTRUCTA cs) {
    if (CFxControlBar::OnCreate(cs) == -1)
        return -1;
    // The tabs run along the bottom of the bar.
    m_tabs = ::CreateWindowExA(
        0, WC_TABCONTROLA, nullptr,
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_BOTTOM | TCS_FIXEDWIDTH | TCS_FOCUSNEVER, 0,
        0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(kTabId), ::GetModuleHandleA(nullptr), nullptr);
    if (!m_tabs)
        return -1;
    if (SharedUi().IsInitialised()) {
        ::SendMessageA(m_tabs, WM_SETFONT, reinterpret_cast<WPARAM>(SharedUi().m_font), FALSE);
        if (SharedUi().m_images)
            TabCtrl_SetImageList(m_tabs, SharedUi().m_images);
    }
    TabCtrl_SetItemSize(m_tabs, kTabWidth, 0);
    for (int i = 0; i < kPageCount; ++i) {
        std::string title = AfxLoadString(m_pages[i].titleId);
        TCITEMA item = {};
        item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
        item.pszText = const_cast<char*>(title.c_str());
        item.iImage = m_pages[i].image;
        item.lParam = static_cast<LPARAM>(m_pages[i].commandId);
        ::SendMessageA(m_tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    TabCtrl_SetCurSel(m_tabs, 0);
    m_current = -1;
    ShowPage(0);
    return 0;
}

HWND CWorkspaceBar::GetPageWindow(UINT commandId) const {
    for (const Page& page : m_pages)
        if (page.commandId == commandId)
            return page.window;
    return nullptr;
}

bool CWorkspaceBar::IsPageVisible(UINT commandId) const {
    HWND page = GetPageWindow(commandId);
    return page && ::IsWindowVisible(page);
}

void CWorkspaceBar::SelectPage(UINT commandId) {
    int index = 0;
    for (int i = 0; i < kPageCount; ++i)
        if (m_pages[i].commandId == commandId)
            index = i;
    if (index == m_current)
        return;
    if (ShowPage(index) && m_tabs)
        TabCtrl_SetCurSel(m_tabs, index);
}

bool CWorkspaceBar::ShowPage(int index) {
    Page& page = m_pages[index];
    if (!page.window) {
        page.window = ::CreateWindowExA(
            0, PageClass(), nullptr, 0x52000000, m_content.left, m_content.top,
            m_content.right - m_content.left, m_content.bottom - m_content.top, m_hWnd,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(page.commandId)),
            ::GetModuleHandleA(nullptr), nullptr);
        if (!page.window)
            return false;
    }
    if (m_current >= 0 && m_current != index && m_pages[m_current].window) {
        // The old page goes under the others, keeping its size and place.
        ::SetWindowPos(m_pages[m_current].window, HWND_BOTTOM, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    }
    m_current = index;
    ::SetWindowPos(page.window, HWND_TOP, m_content.left, m_content.top,
                   m_content.right - m_content.left, m_content.bottom - m_content.top,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return true;
}

LRESULT CWorkspaceBar::OnTabNotify(WPARAM, LPARAM lParam) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr->hwndFrom != m_tabs)
        return Default();
    if (hdr->code == TCN_SELCHANGE) {
        const int index = TabCtrl_GetCurSel(m_tabs);
        if (index >= 0 && index < kPageCount && !ShowPage(index))
            TabCtrl_SetCurSel(m_tabs, m_current); // a page that cannot be made keeps the old
    }
    return 0;
}

void CWorkspaceBar::OnSize(UINT type, int cx, int cy) {
    CFxControlBar::OnSize(type, cx, cy);
    PlacePages();
}

void CWorkspaceBar::PlacePages() {
    RECT client;
    GetClientRect(&client);
    int tabHeight = 0;
    if (m_tabs) {
        RECT item = {0, 0, 0, 0};
        if (TabCtrl_GetItemRect(m_tabs, 0, &item))
            tabHeight = item.bottom - item.top + 4;
        else
            tabHeight = 24;
        ::SetWindowPos(m_tabs, nullptr, 0, client.bottom - tabHeight, client.right, tabHeight,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_content = {0, 0, client.right, std::max<LONG>(0, client.bottom - tabHeight)};
    if (m_current >= 0 && m_pages[m_current].window)
        ::SetWindowPos(m_pages[m_current].window, nullptr, m_content.left, m_content.top,
                       m_content.right - m_content.left, m_content.bottom - m_content.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}
