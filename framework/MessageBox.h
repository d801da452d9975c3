// Message boxes with the program's title, and the hook through which tests answer them without
// a modal loop. Layer: framework/.
#pragma once

#include <windows.h>

// Answers a message box instead of showing it: gets text, caption and MB_ flags, returns the
// button id (IDOK, IDYES, ...). Install one in tests; pass null to restore real boxes.
typedef int (*AfxMessageBoxHook)(const char* text, const char* caption, UINT type);
AfxMessageBoxHook AfxSetMessageBoxHook(AfxMessageBoxHook hook);

// Through the application object's DoMessageBox when there is one.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT textId, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));

// The box itself: hook, else MessageBoxA owned by `owner` with the application title.
int AfxShowMessageBox(HWND owner, const char* text, UINT type);
