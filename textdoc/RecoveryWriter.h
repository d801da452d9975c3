// FxRecoveryWriter: one worker thread that writes recovery snapshots in turn, so that the
// user-interface thread only takes them. Layer: textdoc/.
#pragma once

#include "textdoc/RecoveryCopy.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class FxRecoveryWriter {
public:
    FxRecoveryWriter();
    // Drops what waits, stops a write under way at its next run (its previous copy stays), joins
    // the worker and frees the snapshot memory kept for large documents.
    ~FxRecoveryWriter();
    FxRecoveryWriter(const FxRecoveryWriter&) = delete;
    FxRecoveryWriter& operator=(const FxRecoveryWriter&) = delete;

    // Queues a snapshot for copyPath; a newer one for the same path replaces one still waiting.
    // Returns the post's ticket, by which its outcome is asked (0 for no snapshot).
    uint64_t Post(std::unique_ptr<FxRecoverySnapshot> snap, const std::string& copyPath);
    // What became of the latest post for copyPath: Waiting until its write ends (or while a newer
    // post replaced it), then Written or Failed. Unknown for a path never posted or removed.
    enum class Outcome { Unknown, Waiting, Written, Failed };
    Outcome OutcomeOf(const std::string& copyPath, uint64_t ticket) const;
    // Drops what waits for copyPath, waits for a write of it under way, then deletes the copy.
    void Remove(const std::string& copyPath);
    void WaitIdle(); // for tests and exit
    // Makes snapshot memory ready on the worker for a document of about `textBytes` bytes (its
    // DocumentSize), when nothing waits to be written: called when a large document is first
    // modified, its first snapshot a few seconds later only copies.
    void Prepare(int64_t textBytes);

    // The function that writes one copy (WriteRecoveryCopy unless replaced), for tests that need
    // a write to last or to fail. Set before posting.
    using WriteFunc = std::function<bool(const FxRecoverySnapshot& snap, const std::string& path,
                                         uint32_t* error, const std::atomic<bool>& cancel)>;
    void SetWriteFunc(WriteFunc write);

    // Counts for tests and diagnostics: copies written, writes that failed (the last failure's
    // system error).
    unsigned WrittenCount() const { return m_written; }
    unsigned FailedCount() const { return m_failed; }
    uint32_t LastError() const { return m_lastError; }

private:
    struct Waiting {
        std::string path;
        uint64_t ticket;
        std::unique_ptr<FxRecoverySnapshot> snap;
    };
    void Run();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake; // the worker waits for work or the end
    std::condition_variable m_done; // callers wait for a write to end
    std::vector<Waiting> m_waiting;
    std::string m_current; // the path being written; empty when none
    uint64_t m_lastTicket = 0;
    // Per path, the latest post's ticket and what became of it.
    std::map<std::string, std::pair<uint64_t, Outcome>> m_outcomes;
    int64_t m_prepare = 0; // the largest text to make memory ready for; 0 when none
    WriteFunc m_write;
    bool m_preparing = false;
    bool m_ending = false;
    std::atomic<bool> m_cancel{false};
    std::atomic<unsigned> m_written{0}, m_failed{0};
    std::atomic<uint32_t> m_lastError{0};
    std::thread m_thread;
};
