// Starting the editor as a program for the benchmarks: its own folder, its first idle time,
// its main window. Layer: bench.
#pragma once

#include <windows.h>

#include <string>

// How long a program may take to reach its first idle time.
extern const DWORD kIdleTimeoutMs;

// The visible unowned top-level window of the process, or null.
HWND MainWindowOf(DWORD pid);
// Starts the program and waits for its first idle time (the program sets the event named by
// QUORVANE_IDLE_EVENT when its queue first runs empty); seconds from the start, or -1. The
// program is closed through its main window afterwards.
double TimeToFirstIdle(const std::string& exe, const std::string& args);
// A fresh program folder: the editor with default settings, its syntax templates beside it.
bool MakeProgramFolder(const std::string& bin, const std::string& folder);
void RemoveFolder(const std::string& dir);
