// Recovery copies of modified documents: a snapshot of a document taken on the user-interface
// thread, written on a worker to a file of its own, read back at the next start. Layer: textdoc/.
//
// A copy holds the text first, exactly as a save would write it (the document's encoding with
// its mark, its line ends), then the info and a seal of fixed size at the very end, which names
// the text's and the info's lengths and their checksums. A copy whose length, seal or checksums
// do not agree (cut short, overwritten, not a copy at all) is refused whole.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CFxEditDoc;

// What a copy records beside the text.
struct FxRecoveryInfo {
    std::string path;      // the document's file (code page 936); empty for an untitled document
    std::string title;     // the title it had (an untitled one's "无标题N" style title)
    int encoding = 1;      // FxEncoding of the text as written (the document's own)
    int lineEndType = 0;   // the document's line-end type, as CFxEditDoc takes it
    int32_t caretLine = 0; // logical line of the caret
    std::vector<int32_t> bookmarks; // logical lines
    // The file on disk when the snapshot was taken (both 0 when untitled or missing), so that a
    // restore can tell that the file changed since.
    uint64_t fileWriteTime = 0, fileSize = 0;
};

// The document's text and info frozen at one moment; the live document may change afterwards.
// Taking it is cheap on the user-interface thread (well under 50 ms for a 100 MB document once its
// memory is ready, see PrepareRecoveryMemory): the text is copied once, with its line ends, into
// memory of the snapshot's own.
class FxRecoverySnapshot {
public:
    virtual ~FxRecoverySnapshot() = default;
    const FxRecoveryInfo& Info() const { return m_info; }
    // The text as ANSI bytes with the document's line ends, and their count.
    virtual const char* Text() const = 0;
    virtual int64_t TextBytes() const = 0;
    // Whether the document's text came from a load that could not be written back exactly.
    bool IsLoadLossy() const { return m_loadLossy; }

protected:
    FxRecoveryInfo m_info;
    bool m_loadLossy = false;
};

// Memory for snapshots of large documents is kept once their copies are written, so that the
// next snapshot of the document only copies into it. PrepareRecoveryMemory makes such memory
// ready for a text of about that many bytes (the document's size), touching every page of it, on
// any thread but the user-interface one (the writer's Prepare does it on the worker);
// ReleaseRecoveryMemory frees what is kept.
void PrepareRecoveryMemory(int64_t textBytes);
void ReleaseRecoveryMemory();

// Takes path, title, caret line and the file's stamp from `info`; the encoding, line-end type and
// bookmarks from the document itself, which knows them best. Throws std::bad_alloc when there is
// no memory for the copy of the text (the caller tries again later).
std::unique_ptr<FxRecoverySnapshot> TakeRecoverySnapshot(const CFxEditDoc& doc,
                                                         const FxRecoveryInfo& info);

// Writes the snapshot to copyPath through a temporary file beside it and one replace: at any
// moment of a crash, copyPath holds the previous copy or the new one, complete. Any thread.
// False (with the system error in *error when given) on failure; the previous copy stays.
// A text that the document's encoding cannot take (a conversion fails) is kept as its ANSI bytes
// rather than lost; the recorded encoding stays the document's.
bool WriteRecoveryCopy(const FxRecoverySnapshot& snap, const std::string& copyPath,
                       uint32_t* error = nullptr);
// The same, giving up between two runs of its write once `cancel` is set (false; the previous
// copy stays).
bool WriteRecoveryCopy(const FxRecoverySnapshot& snap, const std::string& copyPath, uint32_t* error,
                       const std::atomic<bool>& cancel);

// Reads a copy's info without its text; false for a missing, partial or malformed copy.
bool ReadRecoveryInfo(const std::string& copyPath, FxRecoveryInfo& info);
// Reads a copy whole, its text's checksum included: Sound (with its info), Damaged (cut short,
// overwritten, not a copy: it can never be restored) or NotOpened (missing, held by another
// program, or too large to map here: it may be readable another time).
enum class FxRecoveryCheck { Sound, Damaged, NotOpened };
FxRecoveryCheck CheckRecoveryCopy(const std::string& copyPath, FxRecoveryInfo& info);
// Empties the document and loads the copy's text in its recorded encoding and line ends
// (as loading the file would), with its bookmarks. The document's modified flag is left to the
// caller. False on a malformed copy; the document is left empty. Throws as loading a file does
// (FxFileError, std::bad_alloc), leaving the document empty.
bool LoadRecoveryText(CFxEditDoc& doc, const std::string& copyPath);

// The last write time and size of a file as a copy records them; false (both 0) when the file
// is missing.
bool ReadFileStamp(const std::string& path, uint64_t& writeTime, uint64_t& size);
