// CDdeShellClient. Layer: framework/.
#include "framework/DdeShellClient.h"

#include <dde.h>

#include <cstring>
#include <vector>

namespace {

BOOL CALLBACK CollectTopWindow(HWND wnd, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(wnd);
    return TRUE;
}

} // namespace

CDdeShellClient::~CDdeShellClient() {
    FreePending();
}

HWND CDdeShellClient::FindServer(HWND client, const char* application, const char* topic,
                                 UINT timeoutMs) {
    m_client = client;
    m_server = nullptr;
    std::vector<HWND> windows;
    EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&windows));
    m_state = WaitInitiate;
    for (HWND wnd : windows) {
        if (wnd == client || m_server)
            continue;
        // Atoms are made per window: the server may not keep them, we delete them after.
        ATOM app = GlobalAddAtomA(application);
        ATOM top = GlobalAddAtomA(topic);
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(wnd, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(client),
                            MAKELPARAM(app, top), SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs,
                            &answer);
        GlobalDeleteAtom(app);
        GlobalDeleteAtom(top);
    }
    if (m_state == WaitInitiate)
        m_state = Idle;
    return m_server;
}

bool CDdeShellClient::OnAck(HWND from, LPARAM lParam) {
    if (m_state == WaitInitiate) {
        // The answer to an initiate: the server's own atoms, ours to delete.
        GlobalDeleteAtom(LOWORD(lParam));
        GlobalDeleteAtom(HIWORD(lParam));
        if (!m_server && from != m_client)
            m_server = from;
        else if (from != m_client && from != m_server)
            PostMessageA(from, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(m_client), 0);
        return true;
    }
    if (m_state == WaitExecute && from == m_server) {
        UINT_PTR status = 0, commands = 0;
        UnpackDDElParam(WM_DDE_ACK, lParam, &status, &commands);
        FreeDDElParam(WM_DDE_ACK, lParam);
        DDEACK ack;
        WORD bits = static_cast<WORD>(status);
        std::memcpy(&ack, &bits, sizeof bits);
        m_positive = ack.fAck != 0;
        m_acked = true;
        // The server is done with the command memory now.
        FreePending();
        m_state = Idle;
        return true;
    }
    return false;
}

bool CDdeShellClient::Execute(const char* command, UINT timeoutMs) {
    if (!m_server || !IsWindow(m_server))
        return false;
    FreePending();
    size_t len = std::strlen(command) + 1;
    m_pending = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, len);
    if (!m_pending)
        return false;
    std::memcpy(GlobalLock(m_pending), command, len);
    GlobalUnlock(m_pending);
    m_acked = m_positive = false;
    m_state = WaitExecute;
    while (!PostMessageA(m_server, WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(m_client),
                         reinterpret_cast<LPARAM>(m_pending))) {
        if (!IsWindow(m_server)) {
            FreePending();
            m_state = Idle;
            return false;
        }
        Sleep(50);
    }
    DWORD start = GetTickCount();
    while (!m_acked) {
        if (GetTickCount() - start >= timeoutMs || !IsWindow(m_server))
            break;
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (msg.message == WM_DDE_ACK && msg.hwnd == m_client)
                OnAck(reinterpret_cast<HWND>(msg.wParam), msg.lParam);
            else
                DispatchMessageA(&msg);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }
    if (!m_acked) {
        // No answer in time: the memory stays with the server (it may still read it), so do
        // not free it here.
        m_pending = nullptr;
        m_state = Idle;
        return false;
    }
    return m_positive;
}

void CDdeShellClient::Terminate() {
    if (m_server && IsWindow(m_server))
        PostMessageA(m_server, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(m_client), 0);
    m_server = nullptr;
    m_state = Idle;
}

void CDdeShellClient::FreePending() {
    if (m_pending) {
        GlobalFree(m_pending);
        m_pending = nullptr;
    }
}
