// CFxEditDoc: the text of one open file as line records over a private block store, with
// positions, insertion and deletion, undo, and loading and saving. Layer: textdoc/ (no windows).
#pragma once

#include "common/SysFile.h"
#include "textdoc/BlockStore.h"
#include "textdoc/DocView.h"
#include "textdoc/FxTypes.h"
#include "textdoc/UndoTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class FxMappedBuffer; // file codecs

// Document event codes reported through OnDocEvent.
enum FxDocEvent {
    FxEvReadOnly = 1,
    FxEvSearchWrapped = 2,
    FxEvWrapProgress = 3,
    FxEvSeriousError = 256,
    FxEvInternalError = 257,
    FxEvOutOfMemory = 258,
    FxEvOutOfResources = 259,
    FxEvLoadConversion = 260,
    FxEvSaveConversion = 261,
};

enum FxEncoding {
    FxEncDetect = 0,
    FxEncAnsi = 1,
    FxEncUtf8 = 2,
    FxEncUtf16Le = 3,
    FxEncUtf16Be = 4,
};

// The least archive that serialisation needs: the open file, its length and the direction.
struct FxArchive {
    fxsys::FileHandle file = nullptr;
    uint64_t length = 0;
    bool loading = true;
};

// Results of the word count, in the order the message lists them: 64-bit, as a document of the
// 64-bit build holds more than 2^31 characters.
struct FxWordCount {
    int64_t total = 0, words = 0, punctuation = 0, whitespace = 0, other = 0, chinese = 0,
            unknown = 0;
};

class CFxEditDoc : private FxBlockRelocator {
public:
    CFxEditDoc();
    virtual ~CFxEditDoc();
    CFxEditDoc(const CFxEditDoc&) = delete;
    CFxEditDoc& operator=(const CFxEditDoc&) = delete;

    // --- Positions (logical unless named piece) --------------------------------------------
    bool IsValidLine(int32_t line) const { return line >= 0 && line < m_logicalLines; }
    bool IsValidPos(const FxTextPos& pos) const;
    int32_t ClampLine(int32_t line) const;
    int32_t ClampColumn(int32_t line, int32_t col) const;
    int32_t GetLineLength(int32_t line) const;
    int32_t ClampPiece(int32_t rec) const;
    int32_t ClampPieceColumn(int32_t rec, int32_t col) const;
    FxTextPos ValidatePos(FxTextPos pos) const;
    void LogicalToPiece(FxTextPos& pos) const; // line: logical line → head record index
    void CarryColumn(FxTextPos& pos) const;
    FxTextPos ToHeadPiece(const FxTextPos& piecePos) const;
    int32_t PieceToLogicalLine(int32_t headRec) const;
    FxTextPos PieceToLogical(const FxTextPos& piecePos) const;
    FxTextPos LogicalToPiecePos(const FxTextPos& logical) const; // LogicalToPiece + CarryColumn
    int32_t HeadPieceOf(int32_t rec) const;
    int32_t PrevLogicalLine(int32_t rec) const;
    int32_t NextLogicalLine(int32_t rec) const;
    int32_t GetPieceCount(int32_t rec) const;
    int64_t PosToOffset(const FxTextPos& piecePos) const;
    FxTextPos OffsetToPos(int64_t offset) const;
    // Byte counts of a range: up to the whole document, so FxSize (see FxTypes.h).
    FxSize MeasureText(const FxTextPos& a, const FxTextPos& b, int lineEndType) const;
    FxSize CopyText(const FxTextPos& a, const FxTextPos& b, char* buf, FxSize capacity,
                    int lineEndType) const;
    // The end of the document as a piece position.
    FxTextPos EndPos() const;

    // --- Editing --------------------------------------------------------------------------
    // Inserts text whose line breaks are CR LF pairs at a logical position; pos comes back as the
    // piece position at the end of the inserted text. Returns false on a read-only document.
    // A text of more than 2 GB (64-bit build) is taken when none of its lines is that long.
    bool InsertText(FxTextPos& pos, const char* text, FxSize len, IFxDocView* view = nullptr);
    // Removes the text between two piece positions; start comes back as the caret position.
    bool DeleteText(FxTextPos& start, FxTextPos end, IFxDocView* view = nullptr);
    // Replaces oldCount records at first by newCount temporary records; the piece position
    // `caret` inside the old pieces is re-expressed in the new ones.
    void ReplacePieces(const FxLine* pieces, int32_t first, int32_t oldCount, int32_t newCount,
                       FxTextPos* caret);
    static void InitPieces(FxLine* recs, int32_t count);
    int SetLineEndType(int type);

    // Whole-document wrapping through the first view's splitter; UnwrapAllLines merges every
    // logical line back into one record. Wrap mode 0 means no wrapping.
    void SetWrap(int mode, int column);
    void WrapAllLines();
    void UnwrapAllLines();

    // --- Undo -----------------------------------------------------------------------------
    int UndoGroup(bool begin, int action);
    void RecordInsert(const FxTextPos& start, const FxTextPos& endPiece);
    void RecordDelete(const FxTextPos& startPiece, const FxTextPos& endPiece);
    void UndoRemove(FxUndoRec& rec, FxTextPos& out, bool redo);
    void UndoReinsert(FxUndoRec& rec, FxTextPos& out, bool redo);
    const FxUndoRec* GetUndoRec() const;
    const FxUndoRec* GetRedoRec() const;
    int GetUndoAction() const;
    int GetRedoAction() const;
    bool CanUndo() const;
    bool CanRedo() const;
    // Undo / redo one whole group; the caret comes back as a piece position, and the view is
    // told to refresh from the first record the group touched down. Returns false when
    // nothing was done (nothing to replay, or read-only).
    bool Undo(FxTextPos* caret, IFxDocView* view = nullptr);
    bool Redo(FxTextPos* caret, IFxDocView* view = nullptr);
    // A save just made the document unmodified: the undo position becomes the saved one.
    void MarkSaved();
    int32_t UndoCount() const { return m_undoCount; }
    int32_t UndoPosition() const { return m_undoPos; }
    int32_t SavedPosition() const { return m_savedPos; }
    size_t UndoTextBytes() const { return m_undoText.AllocatedBytes(); }

    // Long replays (undo and redo of a replace-all, replace-all itself) run with wrapping off,
    // compaction suspended and progress notices suppressed; the guard restores all on leaving.
    class BulkGuard {
    public:
        BulkGuard(CFxEditDoc& doc, bool active);
        ~BulkGuard();
        BulkGuard(const BulkGuard&) = delete;
        BulkGuard& operator=(const BulkGuard&) = delete;

    private:
        CFxEditDoc& m_doc;
        bool m_active;
        int m_wrapMode = 0, m_wrapColumn = 0;
    };

    // --- Files ----------------------------------------------------------------------------
    // Loads or stores through the archive. Returns false when an encoding conversion failed
    // (the event has been reported; when storing, the caller must not keep what was written).
    bool Serialize(FxArchive& ar);
    // Splits ANSI bytes into line records (the ANSI load).
    void LoadAnsi(const char* bytes, size_t size);
    // True when the loaded text cannot be written back byte for byte in the file's encoding:
    // characters the ANSI code page cannot hold, or a UTF-8 file that is not UTF-8 throughout.
    bool IsLoadLossy() const { return m_loadLossy; }
    // For text put back from a copy: whether it came from a lossy load.
    void SetLoadLossy(bool lossy) { m_loadLossy = lossy; }

    // --- State ----------------------------------------------------------------------------
    virtual void OnDocEvent(int code, int arg);
    // Progress of the load or save of a text larger than kProgressBytes: the percentage done,
    // each time it changes, ending with 100. Answering false cancels it with FxCancelled: a
    // cancelled load leaves the document empty; a cancelled save stops writing and leaves the
    // document as it was, and the caller drops the part written (a save's temporary file never
    // replaces its target).
    virtual bool OnFileProgress(bool saving, int percent);
    static constexpr uint64_t kProgressBytes = 16 * 1024 * 1024;
    virtual void InitDocument(int arg);
    virtual void DeleteContents();
    virtual void SetModifiedFlag(bool modified) { m_modified = modified; }
    virtual bool IsModified() const { return m_modified; }
    // The framework's list of views changed: the first two views become the attached ones.
    void SetAttachedViews(IFxDocView* first, IFxDocView* second);

    FxWordCount CountWords() const;

    // Read access for views, searches and tests.
    int32_t RecordCount() const { return m_lineCount; }
    const FxLine& Record(int32_t rec) const { return m_lines[rec]; }
    FxLine& RecordRef(int32_t rec) { return m_lines[rec]; }
    int32_t LogicalLineCount() const { return m_logicalLines; }
    int64_t DocumentSize() const { return m_size; }
    int LineEndType() const { return m_lineEndType; }
    int TerminatorLength() const { return m_termLen; }
    int WrapMode() const { return m_wrapMode; }
    int WrapColumn() const { return m_wrapColumn; }
    bool IsWrapped() const { return m_wrapMode != 0; }
    int Encoding() const { return m_encoding; }
    void SetEncoding(int enc) { m_encoding = enc; }
    int RequestedEncoding() const { return m_requestedEncoding; }
    void SetRequestedEncoding(int enc) { m_requestedEncoding = enc; }
    bool IsReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool ro) { m_readOnly = ro; }
    int BookmarkCount() const { return m_bookmarks; }
    void SetBookmarkCount(int n) { m_bookmarks = n; }
    bool IsCompactionSuspended() const { return m_compactionSuspended; }
    void SuspendCompaction(bool on) { m_compactionSuspended = on; }
    void SuppressProgress(bool on) { m_progressSuppressed = on; }
    IFxDocView* FirstView() const { return m_views[0]; }
    IFxDocView* SecondView() const { return m_views[1]; }
    const FxBlockStore& TextBlocks() const { return m_text; }
    // The block under a head record's buffer; null for an empty line or a continuation.
    const FxTextBlock* BlockOf(const FxLine& rec) const { return m_text.Get(rec.block); }
    size_t RecordCapacity() const { return static_cast<size_t>(m_lineCount + m_lineSpare); }

    // Display switches, syntax marks and the integers the views keep.
    bool m_showRuler = false, m_showLineNumbers = true, m_showWhitespace = true,
         m_showLineBreaks = true;
    int32_t m_syntaxMark = -1, m_prevSyntaxMark = -1;
    int32_t m_viewInts[4] = {0, 0, 0, 0};

protected:
    // Line buffers.
    void ResizeLineBuffer(int32_t head, int32_t newSize);
    void InsertRecords(int32_t at, int32_t count);
    void RemoveRecords(int32_t at, int32_t count);
    void ResetRecords();
    // Re-splits the logical line at head into pieces (through the first view when wrapping) and
    // puts them in place of its old `oldPieces` records. Returns the new piece count.
    int32_t Resplit(int32_t head, int32_t oldPieces, FxTextPos* caret);
    void Renumber(int32_t fromHead);
    void ReportEdit(IFxDocView* view, const FxTextPos& caret, int32_t rec, bool countChanged);
    void AdjustBookmarksRemoved(int32_t first, int32_t count);
    void MoveLiveBuffers(FxBlockStore& store, FxTextBlock* from, FxTextBlock* to) override;

    // Undo store internals.
    FxUndoRec& MakeUndoRec(uint16_t kind);
    void FreeUndo();
    void ReleaseUndoText(FxUndoRec& rec);
    char* AllocUndoText(FxUndoRec& rec, FxSize len);
    void DiscardRedo();
    bool DropOldestUndo();
    void AfterReplay(bool redo);
    // The record from which the views are refreshed after a replay whose records began no
    // earlier than logical line firstLine and that left the caret at `caret` (a piece position).
    int32_t FirstReplayedRecord(int32_t firstLine, const FxTextPos& caret) const;

    // Storing.
    bool StoreAnsi(fxsys::FileHandle file);
    bool StoreUnicode(fxsys::FileHandle file, int encoding);
    void LoadUtf16Le(const char* bytes, size_t size);

    int32_t CountBookmarks(int32_t first, int32_t count) const;
    int32_t LastPieceOf(int32_t rec) const { return HeadPieceOf(rec) + GetPieceCount(rec) - 1; }

private:
    bool m_readOnly = false;
    bool m_compactionSuspended = false;
    bool m_progressSuppressed = false;
    bool m_modified = false;
    bool m_loadLossy = false;
    int m_wrapMode = 0, m_wrapColumn = 0;
    int m_termLen = 2, m_lineEndType = FxLineEndDos;
    int m_requestedEncoding = FxEncDetect, m_encoding = FxEncAnsi;
    int m_bookmarks = 0;
    int32_t m_logicalLines = 1;
    int64_t m_size = 0;
    IFxDocView* m_views[2] = {nullptr, nullptr};

    // Records: one contiguous array in text order.
    int32_t m_lineCount = 0, m_lineSpare = 0;
    static constexpr int32_t kLineGrowth = 2048;
    FxLine* m_lines = nullptr;
    FxBlockStore m_text{65520};
    std::vector<FxLine> m_scratch; // pieces handed back by the splitter

    // Undo store. Records [0, m_undoPos) can be undone, [m_undoPos, m_undoCount) redone.
    int32_t m_undoCount = 0, m_undoSpare = 0;
    static constexpr int32_t kUndoGrowth = 2048;
    static constexpr int32_t kUndoMax = 16384;
    int32_t m_undoPos = 0;
    int32_t m_savedPos = 0; // -1: the saved state can no longer be reached by undo or redo
    uint16_t m_action = 0;
    uint8_t m_groupDepth = 0;
    bool m_groupStartPending = false;
    int32_t m_openGroupFirst = -1; // first record of the group being recorded, -1 when none
    FxUndoRec* m_undo = nullptr;
    FxBlockStore m_undoText{32768};

    // --- file codecs (DocLoad.cpp, DocStore.cpp) ----------------------------------------------
public:
    // The largest file a document takes: in the 32-bit build what its address space can hold
    // (refused with a clear message beyond); in the 64-bit build memory is the limit.
#if UINTPTR_MAX > 0xFFFFFFFFu
    static constexpr uint64_t kMaxFileBytes = static_cast<uint64_t>(PTRDIFF_MAX);
#else
    static constexpr uint64_t kMaxFileBytes = 0x7FFFFFFF;
#endif
    // The ANSI store copies the lines into buffers of this size, written in turn by a thread of
    // its own; a line that does not fit in one is written from its own memory.
    static constexpr size_t kStoreBufferBytes = 1024 * 1024;

protected:
    // The two steps of storing that can fail, overridable so that tests can make them fail: the
    // ANSI → UTF-16 conversion of a run of whole characters (0 = failure), and the write of a
    // run of bytes (throws FxFileError).
    virtual int ConvertForStore(const char* ansi, int len, uint16_t* units, int capacity);
    virtual void WriteForStore(fxsys::FileHandle file, const void* data, size_t len);

private:
    bool LoadArchive(const FxArchive& ar);
    bool LoadUtf8(FxMappedBuffer& file);
    // The UTF-16 load of `bytes` (big-endian units when asked); `source`, the buffer holding
    // them or a closed one, is closed once the text is converted. False after event 260.
    bool LoadUnits(FxMappedBuffer& source, const char* bytes, size_t size, bool bigEndian);
    // Takes the records a load has built, with the line-end type and size their breaks give
    // (defined and used in DocLoad.cpp only).
    template <class LoadedLines> void AdoptLoadedLines(LoadedLines& lines);
    // The base class's emptying (records, blocks, undo), whatever a derived class adds to it.
    void EmptyForLoad();
    void EnsureOneRecord();
    bool StoreArchive(const FxArchive& ar);
};

// Opens an undo group for one command and closes it on every exit path.
class FxUndoGroupGuard {
public:
    FxUndoGroupGuard(CFxEditDoc& doc, int action) : m_doc(doc) { m_doc.UndoGroup(true, action); }
    ~FxUndoGroupGuard() { m_doc.UndoGroup(false, 0); }
    FxUndoGroupGuard(const FxUndoGroupGuard&) = delete;
    FxUndoGroupGuard& operator=(const FxUndoGroupGuard&) = delete;

private:
    CFxEditDoc& m_doc;
};
