// The lead-byte table of the system ANSI code page. Layer: textdoc/.
#include "textdoc/Dbcs.h"

#include "common/SysText.h"

unsigned char g_fxLeadBytes[256];

void FxInitLeadBytes() { fxsys::FillLeadByteTable(g_fxLeadBytes); }
