// Texts from the program's string table and printf-style formatting into std::string.
// Layer: framework/.
#pragma once

#include <windows.h>

#include <string>

// The module whose resources the framework loads (the executable unless set otherwise).
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE inst);

// The string table entry, or an empty string when it does not exist.
std::string AfxLoadString(UINT id);
// printf-style formatting.
std::string AfxFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Formats the string table entry `id` printf-style with one string argument.
std::string AfxFormatString1(UINT id, const char* arg);
// The string table entry, or `fallback` when it does not exist.
std::string AfxLoadStringOr(UINT id, const char* fallback);
// The system's text for an operating-system error code, without the trailing line break.
std::string AfxSystemErrorText(DWORD osError);
