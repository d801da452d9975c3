// Small helpers shared by the application tests.
#pragma once

#include <windows.h>

#include <string>

class CApp;
class CFxEditDoc;

// The application object of the tests that run the editor in their own process (one object
// per suite, which lives to the end of the process): started by the suite's set-up through
// InitInstance, stopped by its tear-down through the main frame and ExitInstance.
bool StartInProcessApp(CApp& app);
void StopInProcessApp(CApp& app);

// Puts `text` on the clipboard as CF_TEXT, as another program would. False when the clipboard
// could not be opened or the text not stored.
bool PutClipboardText(const char* text);

// The document's logical lines joined by "\n".
std::string DocumentText(CFxEditDoc* doc);

// The text of pane `index` of a status bar, of this process or another: the bar answers
// WM_GETTEXT with its shown panes separated by tabs, which the system carries across
// processes. "(no answer)" when the bar did not answer within five seconds, "" for a pane it
// does not show.
std::string StatusPaneText(HWND statusBar, int index);
