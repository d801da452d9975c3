// The start-up baseline of the program benchmark: the least a Win32 program does before it can
// take input: one window class, one shown window, the message loop. Like the editor, it sets
// the event named by QUORVANE_IDLE_EVENT the first time its queue runs empty.
#include <windows.h>

namespace {

LRESULT CALLBACK MinimalWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

void SignalFirstIdle() {
    char name[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("QUORVANE_IDLE_EVENT", name, sizeof name);
    if (length == 0 || length >= sizeof name)
        return;
    if (HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, name)) {
        SetEvent(event);
        CloseHandle(event);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MinimalWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "QvMinimalWindow";
    if (!RegisterClassA(&wc))
        return 1;
    HWND wnd = CreateWindowA("QvMinimalWindow", "Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                             CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (!wnd)
        return 1;
    ShowWindow(wnd, show);
    UpdateWindow(wnd);
    bool signalled = false;
    for (;;) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return static_cast<int>(msg.wParam);
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        if (!signalled) {
            signalled = true;
            SignalFirstIdle();
        }
        WaitMessage();
    }
}
