#include "common/OutputJob.h"

bool OutputJob::Open(int key) {
    Close();
    if (!m_channels)
        return false;
    m_channel = m_channels->AcquireOutputChannel(key, this);
    return m_channel != nullptr;
}

void OutputJob::Close() {
    if (m_channel && m_channels)
        m_channels->ReleaseOutputChannel(m_channel);
    m_channel = nullptr;
}

void OutputJob::Append(const char* text, int length) {
    if (m_channel && m_channels)
        m_channels->AppendOutput(m_channel, text, length);
}

void OutputJob::ClearPane() {
    if (m_channel && m_channels)
        m_channels->ClearOutput(m_channel);
}
