// RecoveryManager. Layer: app/.
#include "app/RecoveryManager.h"

#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/DlgRecovery.h"
#include "app/FirstTextView.h"
#include "app/RecoveryIds.h"
#include "app/TextEditDoc.h"
#include "app/TextEditTemplate.h"
#include "app/TextEditView.h"
#include "common/FxErrors.h"
#include "common/PathName.h"
#include "settings/SettingsStore.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"

#include <algorithm>

namespace {

// The title without the modified marker.
std::string PlainTitle(const std::string& title) {
    if (title.size() >= 2 && title.compare(title.size() - 2, 2, " *") == 0)
        return title.substr(0, title.size() - 2);
    return title;
}

// Documents from this size get their snapshot memory made ready before their first copy.
const int64_t kPrepareBytes = 4 << 20;

// Ticks elapsed from `since` to `now`, wrap-around included.
DWORD Elapsed(DWORD now, DWORD since) {
    return now - since;
}

} // namespace

RecoveryManager::RecoveryManager(const std::string& folder) : m_store(folder) {}

RecoveryManager::~RecoveryManager() {
    // The writer finishes (or abandons) before the store lets go of its place.
    m_writer.reset();
}

bool RecoveryManager::Open() {
    m_open = m_store.Open();
    if (m_open)
        m_writer.reset(new FxRecoveryWriter());
    return m_open;
}

bool RecoveryManager::IsEnabled() const {
    SettingsStore* settings = AppSettings();
    return m_open && !m_ended && (!settings || settings->Backup().recoveryCopies);
}

size_t RecoveryManager::CopyCount() const {
    size_t n = 0;
    for (const auto& item : m_entries)
        if (item.second.hasCopy)
            ++n;
    return n;
}

// --- While the program runs ----------------------------------------------------------------

FxRecoveryInfo RecoveryManager::InfoOf(CTextEditDoc* doc) {
    FxRecoveryInfo info;
    info.path = doc->GetPathName();
    info.title = PlainTitle(doc->GetTitle());
    info.encoding = doc->Encoding();
    info.lineEndType = doc->LineEndType();
    // The bookmarks are the document's own: the snapshot takes them.
    if (CTextEditView* view = FirstTextView(doc))
        info.caretLine = view->LogicalCaret().line;
    if (!ReadFileStamp(info.path, info.fileWriteTime, info.fileSize))
        info.fileWriteTime = info.fileSize = 0;
    return info;
}

void RecoveryManager::Tick() {
    if (!m_open || m_ended || m_inTick)
        return;
    m_inTick = true;
    if (!IsEnabled()) {
        RemoveAllCopies();
        m_inTick = false;
        return;
    }
    CAppMainFrame* frame = AppMainFrame();
    const DWORD now = GetTickCount();
    std::vector<CTextEditDoc*> docs;
    if (frame)
        docs = frame->TextDocuments();
    // Entries of documents that went without a word (they should not) are dropped.
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (std::find(docs.begin(), docs.end(), it->first) == docs.end()) {
            RemoveCopy(it->second);
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
    for (CTextEditDoc* doc : docs) {
        if (!doc->IsModified()) {
            auto it = m_entries.find(doc);
            if (it != m_entries.end())
                RemoveCopy(it->second);
            continue;
        }
        Entry& entry = m_entries[doc];
        const uint32_t serial = doc->EditSerial();
        if (serial != entry.seenSerial || entry.pendingSince == 0) {
            if (serial != entry.seenSerial)
                entry.lastEdit = now;
            entry.seenSerial = serial;
            if (entry.pendingSince == 0 && (!entry.hasCopy || serial != entry.copiedSerial))
                entry.pendingSince = now;
        }
        // A large document's first copy: the memory for its snapshot is made ready on the
        // writer's thread meanwhile, so that taking the snapshot later only copies.
        if (!entry.prepared && doc->DocumentSize() >= kPrepareBytes) {
            entry.prepared = true;
            m_writer->Prepare(doc->DocumentSize());
        }
        CheckWrite(entry);
        if (entry.hasCopy && serial == entry.copiedSerial && !entry.failed)
            continue;
        const bool quiet = entry.lastEdit == 0 || Elapsed(now, entry.lastEdit) >= m_timing.quietMs;
        const bool overdue = Elapsed(now, entry.pendingSince) >= m_timing.maxPendingMs;
        if (!quiet && !overdue)
            continue;
        if (entry.lastWrite != 0 && Elapsed(now, entry.lastWrite) < m_timing.minIntervalMs)
            continue;
        // Many documents due at once share the rounds: a round stops taking snapshots once
        // it has spent its budget, so that typing is never held up for long.
        if (Elapsed(GetTickCount(), now) >= m_timing.roundBudgetMs)
            break;
        TakeCopy(doc, entry, now);
    }
    DiscardReplacedOrphans();
    m_inTick = false;
}

void RecoveryManager::CheckWrite(Entry& entry) {
    if (entry.ticket == 0 || !m_writer)
        return;
    switch (m_writer->OutcomeOf(entry.copyPath, entry.ticket)) {
    case FxRecoveryWriter::Outcome::Waiting:
        return;
    case FxRecoveryWriter::Outcome::Written:
        entry.written = true;
        entry.failed = false;
        break;
    case FxRecoveryWriter::Outcome::Failed:
    case FxRecoveryWriter::Outcome::Unknown:
        // The edits since the last copy on disk are in none: they count as pending from the
        // snapshot that failed, and the minimum interval is the wait before the next try.
        entry.failed = true;
        entry.hasCopy = entry.written;
        if (entry.pendingSince == 0)
            entry.pendingSince = entry.lastWrite ? entry.lastWrite : 1;
        break;
    }
    entry.ticket = 0;
}

void RecoveryManager::TakeCopy(CTextEditDoc* doc, Entry& entry, DWORD now) {
    std::unique_ptr<FxRecoverySnapshot> snap;
    try {
        snap = TakeRecoverySnapshot(*doc, InfoOf(doc));
    } catch (...) {
        // Short of memory for the snapshot: the document stays as it is, the next round
        // tries again.
        snap.reset();
    }
    entry.lastWrite = now ? now : 1;
    if (!snap)
        return;
    if (entry.copyPath.empty())
        entry.copyPath = m_store.NewCopyPath();
    if (entry.copyPath.empty())
        return;
    entry.ticket = m_writer->Post(std::move(snap), entry.copyPath);
    entry.hasCopy = true;
    entry.failed = false;
    entry.copiedSerial = entry.seenSerial;
    entry.pendingSince = 0;
}

void RecoveryManager::RemoveCopy(Entry& entry) {
    if (entry.hasCopy && m_writer)
        m_writer->Remove(entry.copyPath);
    entry.hasCopy = false;
    entry.written = false;
    entry.failed = false;
    entry.ticket = 0;
    entry.copiedSerial = 0;
    entry.lastWrite = 0;
    entry.pendingSince = 0;
}

void RecoveryManager::RemoveAllCopies() {
    for (auto& item : m_entries)
        RemoveCopy(item.second);
}

void RecoveryManager::OnDocumentUnmodified(CTextEditDoc* doc) {
    auto it = m_entries.find(doc);
    if (it != m_entries.end())
        RemoveCopy(it->second);
    // A restored document that is saved needs its old copy no more.
    for (auto& replaced : m_replaced)
        if (replaced.second == doc && m_store.DiscardOrphan(replaced.first))
            replaced.second = nullptr;
    DiscardReplacedOrphans();
}

void RecoveryManager::OnDocumentClosed(CDocument* doc) {
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (static_cast<CDocument*>(it->first) == doc) {
            RemoveCopy(it->second);
            m_entries.erase(it);
            break;
        }
    }
    // Closed without saving: the user gave the text up, the old copy goes with it.
    for (auto& replaced : m_replaced)
        if (replaced.second && static_cast<CDocument*>(replaced.second) == doc)
            replaced.second = nullptr;
    for (auto& replaced : m_replaced)
        if (!replaced.second)
            m_store.DiscardOrphan(replaced.first);
    m_replaced.erase(std::remove_if(m_replaced.begin(), m_replaced.end(),
                                    [](const auto& r) { return r.second == nullptr; }),
                     m_replaced.end());
}

void RecoveryManager::DiscardReplacedOrphans() {
    for (auto& replaced : m_replaced) {
        if (!replaced.second)
            continue;
        auto it = m_entries.find(replaced.second);
        if (it == m_entries.end() || !it->second.hasCopy)
            continue;
        // The fresh copy must be complete on disk before the old one goes.
        FxRecoveryInfo info;
        if (ReadRecoveryInfo(it->second.copyPath, info) && m_store.DiscardOrphan(replaced.first))
            replaced.second = nullptr;
    }
    m_replaced.erase(std::remove_if(m_replaced.begin(), m_replaced.end(),
                                    [](const auto& r) { return r.second == nullptr; }),
                     m_replaced.end());
}

void RecoveryManager::CopyAllNow() {
    if (!IsEnabled() || m_inTick)
        return;
    CAppMainFrame* frame = AppMainFrame();
    if (!frame)
        return;
    const DWORD now = GetTickCount();
    for (CTextEditDoc* doc : frame->TextDocuments()) {
        if (!doc->IsModified())
            continue;
        Entry& entry = m_entries[doc];
        entry.seenSerial = doc->EditSerial();
        if (entry.hasCopy && entry.copiedSerial == entry.seenSerial && !entry.failed)
            continue; // the copy under way or on disk holds the text already
        TakeCopy(doc, entry, now);
    }
    m_writer->WaitIdle();
}

void RecoveryManager::EndNormally() {
    if (!m_open || m_ended)
        return;
    m_ended = true;
    if (m_writer)
        m_writer->WaitIdle();
    for (auto& item : m_entries)
        RemoveCopy(item.second);
    m_entries.clear();
    if (m_writer)
        m_writer->WaitIdle();
    m_store.RemoveAll();
}

// --- At start-up ---------------------------------------------------------------------------

std::vector<RecoveryManager::Orphan> RecoveryManager::FindOrphans() {
    std::vector<Orphan> orphans;
    if (!m_open)
        return orphans;
    for (const std::string& copy : m_store.FindOrphanCopies()) {
        Orphan orphan;
        orphan.copyPath = copy;
        switch (CheckRecoveryCopy(copy, orphan.info)) {
        case FxRecoveryCheck::Sound:
            orphans.push_back(orphan);
            break;
        case FxRecoveryCheck::Damaged:
            m_store.DiscardOrphan(copy); // nothing in it can come back: offering it would fail
            break;
        case FxRecoveryCheck::NotOpened:
            break; // perhaps another time
        }
    }
    return orphans;
}

bool RecoveryManager::FileChangedSince(const FxRecoveryInfo& info) {
    if (info.path.empty())
        return false;
    uint64_t writeTime = 0, size = 0;
    if (!ReadFileStamp(info.path, writeTime, size))
        return true; // gone (or never saved there)
    return writeTime != info.fileWriteTime || size != info.fileSize;
}

void RecoveryManager::OfferOrphans(HWND owner) {
    const std::vector<Orphan> orphans = FindOrphans();
    if (orphans.empty())
        return;
    std::vector<std::string> names;
    for (const Orphan& orphan : orphans)
        names.push_back(orphan.info.path.empty() ? orphan.info.title : orphan.info.path);
    CDlgRecovery dialog(CWnd::FromHandle(owner), names);
    const INT_PTR answer = dialog.DoModal();
    if (answer == IDNO) {
        for (const Orphan& orphan : orphans)
            m_store.DiscardOrphan(orphan.copyPath);
        return;
    }
    if (answer != IDYES)
        return; // decide later: the copies stay for the next start
    std::string changed;
    for (const Orphan& orphan : orphans) {
        const bool fileChanged = FileChangedSince(orphan.info);
        CTextEditDoc* doc = Restore(orphan);
        if (!doc)
            continue; // told; the copy stays for another try
        if (fileChanged)
            changed += "\n" + orphan.info.path;
        m_replaced.emplace_back(orphan.copyPath, doc);
        // The restored text gets a copy of this instance at once.
        Entry& entry = m_entries[doc];
        entry.seenSerial = doc->EditSerial();
        TakeCopy(doc, entry, GetTickCount());
    }
    if (!changed.empty()) {
        const std::string text = AfxFormatString1(IDS_RECOVERY_FILE_CHANGED, changed.c_str());
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONWARNING);
    }
}

CTextEditDoc* RecoveryManager::Restore(const Orphan& orphan) {
    CApp* app = AppGetApp();
    CTextEditTemplate* docTemplate = app ? app->GetDocTemplate() : nullptr;
    if (!docTemplate)
        return nullptr;
    const FxRecoveryInfo& info = orphan.info;
    // The file reopened from the last session, unchanged, gives way to its restored text.
    if (!info.path.empty()) {
        for (CDocument* open : docTemplate->GetDocuments()) {
            if (!open->IsModified() && FxSamePath(open->GetPathName(), info.path)) {
                open->OnCloseDocument();
                break;
            }
        }
    }
    CTextEditDoc* doc = DynamicDowncast<CTextEditDoc>(docTemplate->OpenDocumentFile(nullptr));
    if (!doc)
        return nullptr;
    struct Kept {
        ITextDocReloadView* view;
        int32_t line, col;
    };
    std::vector<Kept> views;
    for (CView* view : doc->GetViews()) {
        if (ITextDocReloadView* rv = dynamic_cast<ITextDocReloadView*>(view)) {
            Kept kept = {rv, 0, 0};
            rv->BeginReload(kept.line, kept.col);
            views.push_back(kept);
        }
    }
    if (!info.path.empty())
        doc->InitDocument(info.path.c_str()); // the file type of the path
    const int wrapMode = doc->WrapMode(), wrapColumn = doc->WrapColumn();
    bool loaded = false, cancelled = false;
    try {
        loaded = LoadRecoveryText(*doc, orphan.copyPath);
    } catch (const FxCancelled&) {
        cancelled = true; // Esc during a long read: the copy stays, with nothing to tell
    } catch (...) {
        loaded = false;
    }
    if (!loaded) {
        doc->OnCloseDocument();
        if (cancelled)
            return nullptr;
        const std::string name = info.path.empty() ? info.title : info.path;
        const std::string text = AfxFormatString1(IDS_RECOVERY_UNREADABLE, name.c_str());
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONSTOP);
        return nullptr;
    }
    doc->SetWrap(0, 0);
    doc->UpdateAllViews(nullptr);
    const int32_t caretLine =
        doc->IsValidLine(info.caretLine) ? info.caretLine : doc->LogicalLineCount() - 1;
    for (Kept& kept : views)
        kept.view->EndReload(std::max(caretLine, 0), 0);
    if (!views.empty())
        views.front().view->RestoreWrap(wrapMode, wrapColumn);
    else
        doc->SetWrap(wrapMode, wrapColumn);
    if (CTextEditView* view = FirstTextView(doc)) {
        for (int32_t line : info.bookmarks)
            if (doc->IsValidLine(line))
                view->SetBookmarkOnLine(line);
        view->GoToLine(std::max(caretLine, 0));
    }
    // Named as before; the file on disk is left as it is until the user saves.
    if (!info.path.empty()) {
        doc->SetPathName(info.path.c_str(), false);
    } else if (!info.title.empty()) {
        doc->SetTitle(info.title.c_str());
        if (CAppMainFrame* frame = AppMainFrame())
            frame->RenameDocumentTab(doc, info.title.c_str());
    }
    doc->MarkRestored();
    return doc;
}
