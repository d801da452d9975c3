// RecoveryManager: recovery copies of this instance's modified documents, so that a crash or a
// power loss costs no unsaved work. A copy is taken two seconds after typing pauses, and every
// 8 s during unbroken typing (at most once every 5 s per document), so that a crash at any moment
// loses at most the last ten seconds: the snapshot on the user-interface thread, the write on the
// writer's thread. A write that fails (a full disk, a refused rename) is taken again on a later
// round. Saving, closing or reloading a document removes its copy; a normal exit leaves none. At
// start-up the copies of a run that did not end are offered back; copies that are damaged are
// removed instead. Layer: app/.
#pragma once

#include "textdoc/RecoveryCopy.h"
#include "textdoc/RecoveryStore.h"
#include "textdoc/RecoveryWriter.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CDocument;
class CTextEditDoc;

class RecoveryManager {
public:
    // How often the documents are looked at, and the delays of a copy.
    struct Timing {
        DWORD tickMs = 500;         // the main frame's timer
        DWORD quietMs = 2000;       // a copy this long after the last edit
        DWORD minIntervalMs = 5000; // at most one copy per document in this time (also the
                                    // wait before a failed write is tried again)
        DWORD maxPendingMs = 8000;  // unbroken typing still gets a copy after this time
        DWORD roundBudgetMs = 15;   // snapshots of one round stop after this time
    };
    // The choice of the start-up question.
    enum Answer { AnswerRestore, AnswerDiscard, AnswerLater };

    // folder: the "Recovery" folder beside the INI files.
    explicit RecoveryManager(const std::string& folder);
    ~RecoveryManager();
    RecoveryManager(const RecoveryManager&) = delete;
    RecoveryManager& operator=(const RecoveryManager&) = delete;

    // Claims this instance's place in the folder; false when the folder cannot be used (the
    // program then runs without copies).
    bool Open();
    bool IsOpen() const { return m_open; }
    void SetTiming(const Timing& timing) { m_timing = timing; }
    const Timing& GetTiming() const { return m_timing; }

    // --- While the program runs ---------------------------------------------------------
    // One round over the open documents (the main frame's timer): copies that are due are
    // taken and handed to the writer; with the setting off, every copy of this instance goes.
    void Tick();
    // A document became unmodified (saved, reloaded, undone to its saved state): its copy
    // goes at once.
    void OnDocumentUnmodified(CTextEditDoc* doc);
    // A document is being closed (its changes saved or given up): its copy goes.
    void OnDocumentClosed(CDocument* doc);
    // A normal end: every copy of this instance and its place in the folder are removed.
    void EndNormally();
    // An end with no time to ask (the session ends at once): every modified document's copy is
    // taken now and written before this returns; the copies stay for the next start.
    void CopyAllNow();
    // Copies this instance holds now (written or waiting for the writer).
    size_t CopyCount() const;

    // --- At start-up --------------------------------------------------------------------
    // The copies of instances that are no longer running, with what they record, each read whole.
    // Damaged copies (they can never be restored) are removed; copies that cannot be opened now
    // are left out and kept.
    struct Orphan {
        std::string copyPath;
        FxRecoveryInfo info;
    };
    std::vector<Orphan> FindOrphans();
    // Asks the start-up question when orphans exist and acts on the answer: restores them
    // (each restored document opens modified, titled as before, with its caret and
    // bookmarks), discards them, or keeps them for the next start.
    void OfferOrphans(HWND owner);
    // Opens one copy as a modified document; null (after a message) when it cannot be read.
    CTextEditDoc* Restore(const Orphan& orphan);
    // The file a titled copy was taken from changed or vanished since.
    static bool FileChangedSince(const FxRecoveryInfo& info);

private:
    struct Entry {
        std::string copyPath;    // empty: no copy yet
        uint32_t seenSerial = 0; // the document's edit serial at the last look
        uint32_t copiedSerial = 0;
        DWORD lastEdit = 0;     // tick of the last edit seen (0: none since the copy)
        DWORD pendingSince = 0; // first edit not in the copy (0: none)
        DWORD lastWrite = 0;    // tick of the last copy (0: never)
        uint64_t ticket = 0;    // the writer's ticket of a copy not yet known written (0: none)
        bool hasCopy = false;   // a copy is on disk or on its way there
        bool written = false;   // some copy of the document reached the disk
        bool failed = false;    // the last write failed: the text is taken again
        bool prepared = false;  // snapshot memory asked for (a large document)
    };
    bool IsEnabled() const;
    void TakeCopy(CTextEditDoc* doc, Entry& entry, DWORD now);
    // Learns what became of the entry's last write.
    void CheckWrite(Entry& entry);
    void RemoveCopy(Entry& entry);
    void RemoveAllCopies();
    // The orphans replaced by fresh copies of this instance are discarded once those exist.
    void DiscardReplacedOrphans();
    static FxRecoveryInfo InfoOf(CTextEditDoc* doc);

    Timing m_timing;
    FxRecoveryStore m_store;
    std::unique_ptr<FxRecoveryWriter> m_writer;
    std::map<CTextEditDoc*, Entry> m_entries;
    bool m_open = false;
    bool m_ended = false;
    bool m_inTick = false;
    // Orphan copies waiting for the fresh copy of their restored document: (orphan, document).
    std::vector<std::pair<std::string, CTextEditDoc*>> m_replaced;
};
