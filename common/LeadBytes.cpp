// The lead-byte table of the system ANSI code page. Layer: common/.
#include "common/LeadBytes.h"

#include "common/SysText.h"

#include <atomic>

unsigned char g_fxLeadBytes[256];

namespace {
std::atomic<bool> g_filled{false};
}

void FxInitLeadBytes() {
    fxsys::FillLeadByteTable(g_fxLeadBytes);
    g_filled = true;
}

void FxEnsureLeadBytes() {
    if (!g_filled)
        FxInitLeadBytes();
}
