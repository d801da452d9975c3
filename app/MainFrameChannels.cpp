// The main frame's four output channels, through which background jobs write into the output
// window's panes: acquired by key within their group, released on the frame's thread. Layer: app/.
#include "app/AppMainFrame.h"

#include "common/OutputJob.h"

#include <cstring>

bool CAppMainFrame::IsOwnChannel(const OutputChannel* channel) const {
    return channel >= m_channels && channel < m_channels + kOutputChannels;
}

CAppMainFrame::OutputChannel* CAppMainFrame::AcquireOutputChannel(int key, OutputJob* job) {
    if (key < 1 || key > kOutputChannels)
        return nullptr;
    OutputChannel* chosen = &m_channels[key - 1];
    if (chosen->inUse) {
        const int first = key <= 2 ? 1 : 3; // the groups {1, 2} and {3, 4}
        chosen = nullptr;
        for (int k = first; k < first + 2 && !chosen; ++k)
            if (!m_channels[k - 1].inUse)
                chosen = &m_channels[k - 1];
        if (!chosen)
            return nullptr;
    }
    chosen->inUse = true;
    chosen->job = job;
    if (m_outputPanes) {
        chosen->pane = m_outputPanes->PaneForKey(chosen->key);
        m_outputPanes->ShowOutputBar();
    }
    return chosen;
}

void CAppMainFrame::ReleaseOutputChannel(OutputChannel* channel) {
    if (!IsOwnChannel(channel))
        return;
    // A job thread's release waits until this thread has made it, so the table never changes
    // under a reader here: the Stop command, the command states, the next job's acquire.
    if (::GetCurrentThreadId() != m_channelThread) {
        if (HWND wnd = m_channelWindow.load())
            ::SendMessageA(wnd, kReleaseChannelMessage, 0, reinterpret_cast<LPARAM>(channel));
        return;
    }
    FreeChannel(channel);
}

LRESULT CAppMainFrame::OnReleaseChannelMessage(WPARAM, LPARAM lParam) {
    OutputChannel* channel = reinterpret_cast<OutputChannel*>(lParam);
    if (IsOwnChannel(channel))
        FreeChannel(channel);
    return 0;
}

void CAppMainFrame::FreeChannel(OutputChannel* channel) {
    channel->inUse = false;
    channel->job = nullptr;
}

bool CAppMainFrame::IsOutputChannelBusy(int key) const {
    return key >= 1 && key <= kOutputChannels && m_channels[key - 1].inUse;
}

void CAppMainFrame::StopOutputJob(int key) {
    if (key >= 1 && key <= kOutputChannels && m_channels[key - 1].inUse && m_channels[key - 1].job)
        m_channels[key - 1].job->Stop(false);
}

void CAppMainFrame::StopAllOutputJobs() {
    for (OutputChannel& channel : m_channels)
        if (channel.inUse && channel.job)
            channel.job->Stop(true);
}

bool CAppMainFrame::HasFreeOutputChannel(int key) const {
    if (key < 1 || key > kOutputChannels)
        return false;
    const int first = key <= 2 ? 1 : 3;
    return !m_channels[first - 1].inUse || !m_channels[first].inUse;
}

void CAppMainFrame::AppendOutput(const OutputChannel* channel, const char* text, int length) {
    if (!IsOwnChannel(channel) || !channel->pane || !text)
        return;
    if (length < 0)
        length = static_cast<int>(std::strlen(text));
    ::SendMessageA(channel->pane, IOutputPanes::kAppendMessage, static_cast<WPARAM>(length),
                   reinterpret_cast<LPARAM>(text));
}

void CAppMainFrame::ClearOutput(const OutputChannel* channel) {
    if (IsOwnChannel(channel) && channel->pane && m_outputPanes)
        m_outputPanes->ClearPane(channel->pane);
}
