// The four output channels through which background jobs write into the output window, as seen
// by the jobs and by the panes: keys 1 and 2 are the capture panes, 3 and 4 the find-in-files
// panes. The main frame implements it. Layer: common/ (below every user of a channel).
#pragma once

#include <windows.h>

class OutputJob;

struct OutputChannel {
    bool inUse = false;
    int key = 0;
    HWND pane = nullptr;
    // The job holding the channel while it is in use (null for a holder that is no job).
    OutputJob* job = nullptr;
};

class IOutputChannels {
public:
    // The slot of the key when it is free, else the first free slot of its group ({1, 2} or
    // {3, 4}); null when both are busy or the key is none of the four. The pane is made and
    // the output window shown. The job (may be null) is recorded as the channel's holder.
    virtual OutputChannel* AcquireOutputChannel(int key, OutputJob* job = nullptr) = 0;
    // Marks the slot free. Called from a job thread, the release is made on the main thread and
    // the call returns once it is made; once the main window is gone it is not made at all.
    virtual void ReleaseOutputChannel(OutputChannel* channel) = 0;
    // Whether a slot of the key's group is free (the commands that need one are enabled).
    virtual bool HasFreeOutputChannel(int key) const = 0;
    // Whether the channel of exactly this key is held by a job.
    virtual bool IsOutputChannelBusy(int key) const = 0;
    // Sends the text to the channel's pane; length -1: up to the terminator. Safe from a job
    // thread: the send waits until the main thread has taken the text.
    virtual void AppendOutput(const OutputChannel* channel, const char* text, int length = -1) = 0;
    virtual void ClearOutput(const OutputChannel* channel) = 0;
    // Asks the job holding the channel of this key to stop, without waiting for it.
    virtual void StopOutputJob(int key) = 0;

protected:
    ~IOutputChannels() = default;
};
