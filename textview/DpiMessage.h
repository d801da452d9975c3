// The message that tells a window the density of its monitor changed, as the views take it.
// Layer: textview/.
#pragma once

#include "framework/FwIds.h"

#ifndef WM_FXDPICHANGED
// The density of the window's monitor changed. wParam: the new dots per inch; lParam: the old.
#define WM_FXDPICHANGED 0x0365
#endif
