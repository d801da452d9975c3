// What the main frame asks of the file tree window when a volume arrives or goes: its window,
// on which the frame starts the drive refresh timer; the tree reads its drives again when the
// timer fires. Layer: workspace/ (bars and docking windows).
#pragma once

#include <windows.h>

class IFileTreeDrives {
public:
    // The drive refresh: a timer on the tree's window, so that a burst of device notices
    // (one per partition of a stick) refreshes once.
    static const UINT kDriveTimer = 100;
    static const UINT kDriveTimerDelayMs = 1000;

    // The tree's window; null while it does not exist.
    virtual HWND DriveTreeWindow() const = 0;

protected:
    ~IFileTreeDrives() = default;
};
