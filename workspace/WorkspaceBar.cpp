// CWorkspaceBar. Layer: workspace/.
#include "workspace/WorkspaceBar.h"

#include "common/UiResources.h"
#include "framework/ResourceText.h"
#include "workspace/TabNotify.h"

#include <commctrl.h>

IMPLEMENT_DYNAMIC(CWorkspaceBar, CFxControlBar)

BEGIN_MESSAGE_MAP(CWorkspaceBar, CFxControlBar)
ON_WM_CREATE()
ON_WM_SIZE()
ON_NOTIFY(TCN_SELCHANGING, CWorkspaceBar::kTabId, OnTabChanging)
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
    if (!m_tabStrip.Create(this, WS_VISIBLE | WS_CLIPSIBLINGS, kTabId, RECT{0, 0, 0, 0}))
        return -1;
    for (int i = 0; i < kPageCount; ++i)
        m_tabStrip.InsertTab(i, AfxLoadString(m_pages[i].titleId).c_str(), m_pages[i].commandId, 0,
                             m_pages[i].image);
    const int image = CUiResources::ImageSizeFor(GetDpi());
    m_tabStrip.SetImageList(SharedUi().Images(image), SIZE{image, image});
    m_tabStrip.SetTabWidth(kTabWidth);
    m_current = -1;
    m_tabStrip.SelectTab(0);
    return 0;
}

void CWorkspaceBar::OnDpiChanged(UINT oldDpi) {
    CFxControlBar::OnDpiChanged(oldDpi);
    if (!m_tabStrip.m_hWnd)
        return;
    // The shared images may have been made again for the new density.
    const int image = CUiResources::ImageSizeFor(GetDpi());
    m_tabStrip.SetImageList(SharedUi().Images(image), SIZE{image, image});
    m_tabStrip.SendMessage(WM_FXDPICHANGED, GetDpi(), oldDpi);
    PlacePages();
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
    const int index = m_tabStrip.FindTabById(commandId);
    // The strip asks this bar through its change notice, which makes and shows the page.
    m_tabStrip.SelectTab(index >= 0 ? index : 0);
}

bool CWorkspaceBar::ShowPage(int index) {
    Page& page = m_pages[index];
    if (!page.window && page.commandId == kClipTextPage) {
        if (!m_clipText.Create(this, page.commandId, m_content))
            return false;
        page.window = m_clipText.m_hWnd;
    }
    if (!page.window && page.commandId == kFileTreePage) {
        if (m_fileTree.Create(this, m_content, page.commandId))
            page.window = m_fileTree.m_hWnd;
        if (!page.window)
            return false;
    }
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

void CWorkspaceBar::OnTabChanging(NMHDR* hdr, LRESULT* result) {
    // A page that cannot be made refuses the change: the old tab stays.
    const int index = reinterpret_cast<NMTABSTRIP*>(hdr)->newIndex;
    *result = (index < 0 || index >= kPageCount || !ShowPage(index)) ? 1 : 0;
}

void CWorkspaceBar::OnSize(UINT type, int cx, int cy) {
    CFxControlBar::OnSize(type, cx, cy);
    PlacePages();
}

void CWorkspaceBar::PlacePages() {
    RECT client;
    GetClientRect(&client);
    int tabHeight = 0;
    if (m_tabStrip.m_hWnd) {
        tabHeight = m_tabStrip.GetStripSize().cy;
        ::SetWindowPos(m_tabStrip.m_hWnd, nullptr, 0, client.bottom - tabHeight, client.right,
                       tabHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_content = {0, 0, client.right, std::max<LONG>(0, client.bottom - tabHeight)};
    if (m_current >= 0 && m_pages[m_current].window)
        ::SetWindowPos(m_pages[m_current].window, nullptr, m_content.left, m_content.top,
                       m_content.right - m_content.left, m_content.bottom - m_content.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}
