// Double-byte stepping over ANSI code page text for the engine. The lead-byte table itself
// lives in common/, where the path helpers share it. Layer: textdoc/.
#pragma once

#include "common/LeadBytes.h"
