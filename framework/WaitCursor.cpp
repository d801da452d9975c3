// CWaitCursor. Layer: framework/.
#include "framework/WaitCursor.h"

namespace {
int g_depth = 0;
HCURSOR g_restore = nullptr;
} // namespace

void CWaitCursor::Begin() {
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    if (g_depth++ == 0)
        g_restore = previous;
}

void CWaitCursor::End() {
    if (g_depth > 0 && --g_depth == 0)
        SetCursor(g_restore ? g_restore : LoadCursor(nullptr, IDC_ARROW));
}

void CWaitCursor::Restore() {
    if (g_depth > 0)
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

bool CWaitCursor::IsWaiting() {
    return g_depth > 0;
}
