// COutputBar. Layer: workspace/.
#include "workspace/OutputBar.h"

IMPLEMENT_DYNAMIC(COutputBar, CFxControlBar)

BEGIN_MESSAGE_MAP(COutputBar, CFxControlBar)
ON_WM_CREATE()
END_MESSAGE_MAP()

namespace {

const char kContainerClass[] = "QvOutputContainer";

const char* ContainerClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kContainerClass;
        registered = ::RegisterClassA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }
    return kContainerClass;
}

} // namespace

bool COutputBar::Create(CWnd* parent, UINT id, const char* title, int cx, int cy, UINT flags,
                        DWORD style) {
    return CFxControlBar::Create(parent, id, title, cx, cy, flags | FXCB_FITCHILD, style);
}

int COutputBar::OnCreate(LPCREATESTRUCTA cs) {
    if (CFxControlBar::OnCreate(cs) == -1)
        return -1;
    m_container = ::CreateWindowExA(WS_EX_CLIENTEDGE, ContainerClass(), nullptr, 0x52000000, 0, 0,
                                    0, 0, m_hWnd, reinterpret_cast<HMENU>(kContainerId),
                                    ::GetModuleHandleA(nullptr), nullptr);
    m_ownContainer = m_container != nullptr;
    return m_container ? 0 : -1;
}

void COutputBar::SetContainer(HWND container) {
    if (container == m_container)
        return;
    HWND old = m_container;
    m_container = container;
    if (old && m_ownContainer)
        ::DestroyWindow(old);
    m_ownContainer = false;
    ::SetWindowLongPtrA(container, GWLP_ID, static_cast<LONG_PTR>(kContainerId));
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    ::SetWindowPos(container, nullptr, 0, 0, rc.right, rc.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}
