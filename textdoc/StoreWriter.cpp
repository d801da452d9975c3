// FxStoreWriter: the hand-over of filled buffers to the writer thread, which takes them in order.
// Layer: textdoc/.
#include "textdoc/StoreWriter.h"

#include <system_error>
#include <utility>

FxStoreWriter::FxStoreWriter(WriteFunc write, char* buffers, size_t size, int count)
    : m_write(std::move(write)), m_buffers(buffers), m_size(size), m_count(count) {
    if (m_count < 2)
        return;
    try {
        m_thread = std::thread(&FxStoreWriter::WriterLoop, this);
    } catch (const std::system_error&) {
        m_count = 1; // no thread: the calling thread writes each run as it is handed over
    }
}

FxStoreWriter::~FxStoreWriter() {
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_abandoned = true;
    }
    m_ready.notify_one();
    m_thread.join();
}

template <class Ready>
void FxStoreWriter::WaitFreed(std::unique_lock<std::mutex>& lock, Ready ready) {
    if (!m_error && !ready()) {
        m_callerWaiting = true;
        m_freed.wait(lock, [&] { return m_error || ready(); });
        m_callerWaiting = false;
    }
    if (m_error) {
        // The writer has stopped at its failure: join it and fail here.
        lock.unlock();
        m_thread.join();
        std::rethrow_exception(m_error);
    }
}

void FxStoreWriter::Put(const Run& run) {
    if (!m_thread.joinable()) {
        m_write(run.data, run.len);
        return;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    WaitFreed(lock, [this] { return m_queued < kQueue; });
    m_runs[(m_first + m_queued) % kQueue] = run;
    ++m_queued;
    if (run.buffered)
        ++m_busy;
    const bool wake = m_writerWaiting;
    lock.unlock();
    if (wake)
        m_ready.notify_one();
}

char* FxStoreWriter::HandOver(size_t used) {
    if (used == 0)
        return Buffer();
    Put(Run{Buffer(), used, true});
    if (!m_thread.joinable())
        return Buffer(); // written already: the same buffer is filled again
    // The buffers are written in the order they are filled, so the next one is free once fewer
    // than all of them wait (the one just handed over counts among them).
    std::unique_lock<std::mutex> lock(m_mutex);
    WaitFreed(lock, [this] { return m_busy < m_count; });
    m_current = (m_current + 1) % m_count;
    return Buffer();
}

void FxStoreWriter::HandOverDirect(const void* data, size_t len) {
    if (len > 0)
        Put(Run{static_cast<const char*>(data), len, false});
}

void FxStoreWriter::Finish(size_t used) {
    if (used > 0)
        Put(Run{Buffer(), used, true});
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
    }
    m_ready.notify_one();
    m_thread.join();
    if (m_error)
        std::rethrow_exception(m_error);
}

void FxStoreWriter::WriterLoop() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_writerWaiting = true;
        m_ready.wait(lock, [this] { return m_queued > 0 || m_closed || m_abandoned; });
        m_writerWaiting = false;
        if (m_abandoned || m_queued == 0)
            return;
        // The run stays queued while it is written, so that its buffer is not filled again.
        const Run run = m_runs[m_first];
        lock.unlock();
        try {
            m_write(run.data, run.len);
        } catch (...) {
            lock.lock();
            m_error = std::current_exception();
            lock.unlock();
            m_freed.notify_one();
            return;
        }
        lock.lock();
        m_first = (m_first + 1) % kQueue;
        --m_queued;
        if (run.buffered)
            --m_busy;
        // Signalling is not free even when no one waits: each side is woken only when it waits.
        if (m_callerWaiting)
            m_freed.notify_one();
    }
}
