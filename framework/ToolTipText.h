// The answer to a tool tip's text request (TTN_NEEDTEXTA or TTN_NEEDTEXTW) in the request's
// own fixed buffer. Layer: framework/.
#pragma once

#include <windows.h>

#include <commctrl.h>

// Puts the ANSI text into the request's buffer of 80 characters, cut to fit with room for the
// terminator: for the ANSI request at most 79 bytes, never ending inside a double-byte
// character; for the wide request the converted text, at most 79 units, never ending inside a
// surrogate pair.
void AfxSetToolTipText(NMHDR* hdr, const char* text);
