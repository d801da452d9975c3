// FxRecoveryWriter: the queue of snapshots waiting for the worker, one per copy, and the worker
// that writes them in turn. Layer: textdoc/.
#include "textdoc/RecoveryWriter.h"

#include "common/SysFile.h"
#include "common/SysFolder.h"

#include <system_error>

FxRecoveryWriter::FxRecoveryWriter() {
    m_thread = std::thread(&FxRecoveryWriter::Run, this);
}

FxRecoveryWriter::~FxRecoveryWriter() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ending = true;
        m_waiting.clear();
    }
    m_cancel = true;
    m_wake.notify_all();
    m_thread.join();
    ReleaseRecoveryMemory();
}

void FxRecoveryWriter::SetWriteFunc(WriteFunc write) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_write = std::move(write);
}

void FxRecoveryWriter::Prepare(int64_t textBytes) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (textBytes > m_prepare)
            m_prepare = textBytes;
    }
    m_wake.notify_all();
}

uint64_t FxRecoveryWriter::Post(std::unique_ptr<FxRecoverySnapshot> snap,
                                const std::string& copyPath) {
    if (!snap)
        return 0;
    uint64_t ticket = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ticket = ++m_lastTicket;
        m_outcomes[copyPath] = std::make_pair(ticket, Outcome::Waiting);
        bool replaced = false;
        for (Waiting& w : m_waiting) {
            if (w.path == copyPath) {
                w.snap = std::move(snap); // the older one is freed here, under the lock
                w.ticket = ticket;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            m_waiting.push_back(Waiting{copyPath, ticket, std::move(snap)});
    }
    m_wake.notify_all();
    return ticket;
}

FxRecoveryWriter::Outcome FxRecoveryWriter::OutcomeOf(const std::string& copyPath,
                                                      uint64_t ticket) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_outcomes.find(copyPath);
    if (it == m_outcomes.end() || ticket == 0 || ticket > it->second.first)
        return Outcome::Unknown;
    // An older post that a newer one replaced is settled by the newer one.
    return it->second.first == ticket ? it->second.second : Outcome::Waiting;
}

void FxRecoveryWriter::Remove(const std::string& copyPath) {
    std::unique_ptr<FxRecoverySnapshot> dropped;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (auto it = m_waiting.begin(); it != m_waiting.end(); ++it) {
            if (it->path == copyPath) {
                dropped = std::move(it->snap);
                m_waiting.erase(it);
                break;
            }
        }
        m_done.wait(lock, [&] { return m_current != copyPath; });
        m_outcomes.erase(copyPath);
    }
    fxsys::DeleteFilePath(copyPath.c_str());
}

void FxRecoveryWriter::WaitIdle() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_done.wait(lock, [&] {
        return m_waiting.empty() && m_current.empty() && m_prepare == 0 && !m_preparing;
    });
}

void FxRecoveryWriter::Run() {
    // Typing goes first: the worker takes what the user-interface thread leaves.
    fxsys::LowerThreadPriority();
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_ending || !m_waiting.empty() || m_prepare > 0; });
        if (m_ending)
            return;
        if (m_waiting.empty()) {
            const int64_t bytes = m_prepare;
            m_preparing = true;
            lock.unlock();
            try {
                PrepareRecoveryMemory(bytes);
            } catch (...) {
            }
            lock.lock();
            m_preparing = false;
            if (m_prepare == bytes)
                m_prepare = 0;
            m_done.notify_all();
            continue;
        }
        std::unique_ptr<FxRecoverySnapshot> snap = std::move(m_waiting.front().snap);
        m_current = m_waiting.front().path;
        const uint64_t ticket = m_waiting.front().ticket;
        m_waiting.erase(m_waiting.begin());
        const WriteFunc write = m_write;
        lock.unlock();
        uint32_t error = 0;
        const bool ok = write ? write(*snap, m_current, &error, m_cancel)
                              : WriteRecoveryCopy(*snap, m_current, &error, m_cancel);
        snap.reset(); // the snapshot's memory goes back before the next is taken
        if (ok) {
            ++m_written;
        } else {
            ++m_failed;
            m_lastError = error;
        }
        lock.lock();
        auto outcome = m_outcomes.find(m_current);
        if (outcome != m_outcomes.end() && outcome->second.first == ticket)
            outcome->second.second = ok ? Outcome::Written : Outcome::Failed;
        m_current.clear();
        m_done.notify_all();
    }
}
