// The halftone brush and the inverted drag outlines drawn with it (the drag line of a
// splitter or a bar edge, the outline of a dragged bar). Layer: framework/.
#pragma once

#include <windows.h>

// A process-wide 8 x 8 brush of alternate black and white pixels.
HBRUSH AfxGetHalftoneBrush();
// Inverts rc (window coordinates of wnd, or the screen when wnd is null) with the halftone
// brush on the window's device context, which is taken with window-update locking so that
// nothing repaints under the outline while it is shown.
void AfxInvertHalftoneRect(HWND wnd, const RECT& rc);
// The four strips of a frame of the given thickness about rc.
void AfxInvertHalftoneFrame(HWND wnd, const RECT& rc, int thickness);
