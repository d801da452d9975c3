// Small helpers shared by the application tests.
#pragma once

#include <string>

class CFxEditDoc;

// Puts `text` on the clipboard as CF_TEXT, as another program would. False when the clipboard
// could not be opened or the text not stored.
bool PutClipboardText(const char* text);

// The document's logical lines joined by "\n".
std::string DocumentText(CFxEditDoc* doc);
