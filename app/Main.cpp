// Start-up of the editor program: the one application object and the entry point.
// Layer: app/.
#include "app/App.h"

#include "textdoc/Dbcs.h"

#include <windows.h>

namespace {
CApp g_theApp;
}

int WINAPI WinMain(HINSTANCE inst, HINSTANCE previous, LPSTR commandLine, int show) {
    FxInitLeadBytes();
    return AfxWinMain(inst, previous, commandLine, show);
}
