// The new content of one file being replaced in: written through an 8192-byte buffer into a
// temporary file beside the file, then committed so that at every instant the file holds its
// old content or its new one, complete. Layer: search/.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

class FxReplaceWriter {
public:
    FxReplaceWriter() = default;
    ~FxReplaceWriter();
    FxReplaceWriter(const FxReplaceWriter&) = delete;
    FxReplaceWriter& operator=(const FxReplaceWriter&) = delete;

    // Starts the new content of target (a full path); the temporary file is made on the first
    // write.
    void Begin(const std::wstring& target);
    // False with the system error when the temporary file cannot be made or written; the
    // temporary file is then gone.
    bool Write(const void* data, size_t len, DWORD* error);
    bool HasWritten() const { return m_written; }
    // Puts the new content in place of the target (whose mapping the caller has closed): the
    // temporary file is completed and flushed to disk, a backup copy is made when backupPath is
    // not empty, and the temporary file is renamed over the target in one step that keeps the
    // target's attributes. Returns 0, or the system error; *backupFailed is set when the file
    // was replaced but its backup could not be put in place. On an error the target is as it
    // was, and no temporary file is left.
    DWORD Commit(const std::wstring& backupPath, bool* backupFailed);
    // Drops the new content: the temporary file is deleted.
    void Discard();

private:
    bool Flush(DWORD* error);
    bool Create(DWORD* error);

    std::wstring m_target, m_tempPath;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    char m_buffer[8192];
    size_t m_fill = 0;
    unsigned long long m_length = 0;
    bool m_written = false;
};

// Whether a test has made this commit step fail (see FxSetCommitFault).
bool FxCommitFaultAt(int step);
