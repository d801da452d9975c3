// The base of a background job that writes into an output pane (find and replace in files,
// captured tools): it holds the output channel it acquired. Layer: common/.
#pragma once

#include "common/OutputChannels.h"

class OutputJob {
public:
    explicit OutputJob(IOutputChannels* channels) : m_channels(channels) {}
    virtual ~OutputJob() = default;
    OutputJob(const OutputJob&) = delete;
    OutputJob& operator=(const OutputJob&) = delete;

    // Closes whatever the job still holds, then acquires a channel for the key; false when
    // none is free.
    virtual bool Open(int key);
    // Releases everything the job holds, its channel included.
    virtual void Close();
    // Asks the job's thread to end; with wait, returns once it has ended.
    virtual void Stop(bool wait) = 0;

    const OutputChannel* Channel() const { return m_channel; }
    // The key of the channel held, 0 when none.
    int ChannelKey() const { return m_channel ? m_channel->key : 0; }
    void Append(const char* text, int length = -1);
    void ClearPane();

protected:
    IOutputChannels* m_channels;
    OutputChannel* m_channel = nullptr;
};
