// OLE initialisation. Layer: framework/.
#include "framework/OleInit.h"

#include <windows.h>
#include <ole2.h>

#include <cstdlib>

namespace {
bool g_oleInitialized = false;

void UninitializeOle() {
    if (g_oleInitialized)
        OleUninitialize();
    g_oleInitialized = false;
}
} // namespace

bool AfxOleInit() {
    if (g_oleInitialized)
        return true;
    HRESULT hr = OleInitialize(nullptr);
    if (FAILED(hr))
        return false;
    g_oleInitialized = true;
    std::atexit(UninitializeOle);
    return true;
}
