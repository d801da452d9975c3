// What the output window needs of the program around it: opening a file at a position for Go
// to, and the status bar for short notices. The main frame implements it. Layer: tools/.
#pragma once

#include "tools/OutputTarget.h"

class IOutputHost {
public:
    // Opens the file (or activates its document), moves the caret of its first text view to
    // the target's line and column and gives that view the focus. The column is already
    // corrected for the file's mark. False when the file could not be opened.
    virtual bool OpenOutputTarget(const OutputTarget& target) = 0;
    // Shows a transient text in the status bar's message pane.
    virtual void ShowOutputStatus(const char* text) = 0;

protected:
    ~IOutputHost() = default;
};
