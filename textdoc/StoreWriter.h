// FxStoreWriter: writes the store's buffers in order on a thread of its own, so that the calling
// thread fills one buffer while the writer writes the ones before it. Layer: textdoc/.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

class FxStoreWriter {
public:
    // Writes a run of bytes; throws on failure. Called on the writer thread, one run at a time,
    // in the order the runs were handed over.
    using WriteFunc = std::function<void(const void* data, size_t len)>;

    // Fills and writes `count` buffers of `size` bytes each, laid end to end from `buffers`
    // (the caller's memory, kept until the writer is gone). With one buffer, or when no thread
    // can be started, each hand-over writes at once on the calling thread.
    FxStoreWriter(WriteFunc write, char* buffers, size_t size, int count);
    // Without Finish (the caller is failing itself), stops the writer after the write under way,
    // leaving the rest unwritten, and joins the thread; a failure of the writer is dropped.
    ~FxStoreWriter();
    FxStoreWriter(const FxStoreWriter&) = delete;
    FxStoreWriter& operator=(const FxStoreWriter&) = delete;

    size_t BufferSize() const { return m_size; }
    char* Buffer() const { return m_buffers + m_current * m_size; } // the buffer being filled

    // Hands over the first `used` bytes of the buffer being filled and returns the next buffer
    // to fill, waiting until the writer is done with it. Nothing is handed over for 0 bytes.
    char* HandOver(size_t used);
    // Hands over `len` bytes of the caller's own memory, which must stay as they are until
    // Finish returns; they are written after everything handed over before them.
    void HandOverDirect(const void* data, size_t len);
    // Hands over the first `used` bytes of the buffer being filled, waits until all is written
    // and joins the thread.
    void Finish(size_t used);

    // Each hand-over and Finish rethrow, on the calling thread and once the writer thread has
    // ended, the exception of a write that failed; the runs handed over after it are not written.

private:
    struct Run {
        const char* data;
        size_t len;
        bool buffered; // in one of the buffers, which is free again once written
    };
    static constexpr int kQueue = 16; // runs waiting: the buffered ones and direct ones between

    void Put(const Run& run);
    void WriterLoop();
    // Waits until `ready` holds or the writer has failed; after a failure joins the writer, which
    // has stopped, and rethrows its exception.
    template <class Ready> void WaitFreed(std::unique_lock<std::mutex>& lock, Ready ready);

    WriteFunc m_write;
    char* m_buffers;
    size_t m_size;
    int m_count;
    int m_current = 0;

    std::mutex m_mutex;
    std::condition_variable m_ready; // the writer waits for a run or for the end
    std::condition_variable m_freed; // the caller waits for a free buffer or queue place
    Run m_runs[kQueue];
    int m_first = 0, m_queued = 0; // queued runs, the first being written
    int m_busy = 0;                // buffers handed over and not yet written
    bool m_closed = false;         // no more runs come: the writer ends once the queue is empty
    bool m_abandoned = false;      // the caller has failed: the writer ends after its write
    bool m_writerWaiting = false;  // each side is woken only when it waits
    bool m_callerWaiting = false;
    std::exception_ptr m_error; // the writer's failure; it has stopped
    std::thread m_thread;
};
