// CWaitCursor: shows the hourglass for its lifetime (nestable). Layer: framework/.
#pragma once

#include <windows.h>

class CWaitCursor {
public:
    CWaitCursor() { Begin(); }
    ~CWaitCursor() { End(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    // Shows the wait cursor again after something (a message box) replaced it.
    void Restore();

    static void Begin();
    static void End();
    static bool IsWaiting();
};
