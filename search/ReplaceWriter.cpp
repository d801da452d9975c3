// Writing and committing a replaced file. Layer: search/.
#include "search/ReplaceWriter.h"

#include "search/FileSearch.h"

#include <atomic>
#include <cstring>

namespace {

std::atomic<int> g_faultStep{FxStepNone};

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

// A fresh unique name in the folder, made by the system (which creates the empty file).
bool UniqueName(const std::wstring& folder, const wchar_t* prefix, std::wstring& out,
                DWORD* error) {
    // GetTempFileNameW takes folders below MAX_PATH only; longer ones get the name made here.
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t name[64];
        wsprintfW(name, L"\\%s%04X%04X.tmp", prefix, GetCurrentProcessId() & 0xFFFF,
                  (GetTickCount() + counter++) & 0xFFFF);
        std::wstring path = folder + name;
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            out = path;
            return true;
        }
        const DWORD e = GetLastError();
        if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) {
            *error = e;
            return false;
        }
    }
    *error = ERROR_FILE_EXISTS;
    return false;
}

bool Fail(int step, DWORD* error) {
    if (FxCommitFaultAt(step)) {
        *error = ERROR_WRITE_FAULT;
        return true;
    }
    return false;
}

} // namespace

void FxSetCommitFault(FxCommitStep step) {
    g_faultStep.store(step);
}

bool FxCommitFaultAt(int step) {
    return g_faultStep.load() == step;
}

FxReplaceWriter::~FxReplaceWriter() {
    Discard();
}

void FxReplaceWriter::Begin(const std::wstring& target) {
    Discard();
    m_target = target;
    m_fill = 0;
    m_length = 0;
    m_written = false;
}

bool FxReplaceWriter::Create(DWORD* error) {
    std::wstring name;
    if (!UniqueName(FolderOf(m_target), L"QvTempFile", name, error))
        return false;
    m_file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                         TRUNCATE_EXISTING, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (m_file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        DeleteFileW(name.c_str());
        return false;
    }
    m_tempPath = name;
    return true;
}

bool FxReplaceWriter::Flush(DWORD* error) {
    size_t done = 0;
    while (done < m_fill) {
        DWORD wrote = 0;
        if (Fail(FxStepWrite, error))
            return false;
        if (!WriteFile(m_file, m_buffer + done, static_cast<DWORD>(m_fill - done), &wrote,
                       nullptr) ||
            wrote == 0) {
            *error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
            return false;
        }
        done += wrote;
    }
    m_fill = 0;
    return true;
}

bool FxReplaceWriter::Write(const void* data, size_t len, DWORD* error) {
    if (!m_written) {
        m_written = true;
        if (!Create(error)) {
            Discard();
            return false;
        }
    }
    const char* p = static_cast<const char*>(data);
    m_length += len;
    if (len <= sizeof m_buffer) {
        if (m_fill + len > sizeof m_buffer && !Flush(error)) {
            Discard();
            return false;
        }
        std::memcpy(m_buffer + m_fill, p, len);
        m_fill += len;
        return true;
    }
    if (!Flush(error)) {
        Discard();
        return false;
    }
    // A large piece goes straight to the file.
    size_t done = 0;
    while (done < len) {
        const size_t chunk = len - done > (1u << 24) ? (1u << 24) : len - done;
        DWORD wrote = 0;
        if (Fail(FxStepWrite, error) ||
            !WriteFile(m_file, p + done, static_cast<DWORD>(chunk), &wrote, nullptr) ||
            wrote == 0) {
            if (!FxCommitFaultAt(FxStepWrite))
                *error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
            Discard();
            return false;
        }
        done += wrote;
    }
    return true;
}

void FxReplaceWriter::Discard() {
    if (m_file != INVALID_HANDLE_VALUE) {
        CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
    }
    if (!m_tempPath.empty()) {
        DeleteFileW(m_tempPath.c_str());
        m_tempPath.clear();
    }
    m_fill = 0;
}

DWORD FxReplaceWriter::Commit(const std::wstring& backupPath, bool* backupFailed) {
    *backupFailed = false;
    DWORD error = 0;
    if (!m_written || m_file == INVALID_HANDLE_VALUE)
        return ERROR_INVALID_HANDLE;
    // Complete the temporary file: its last piece, its exact length, and on the disk.
    if (!Flush(&error)) {
        Discard();
        return error;
    }
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(m_length);
    if (Fail(FxStepTruncate, &error) || !SetFilePointerEx(m_file, at, nullptr, FILE_BEGIN) ||
        !SetEndOfFile(m_file)) {
        if (!error)
            error = GetLastError();
        Discard();
        return error;
    }
    if (Fail(FxStepFlush, &error) || !FlushFileBuffers(m_file)) {
        if (!error)
            error = GetLastError();
        Discard();
        return error;
    }
    CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;

    // The new file takes the original's attributes (a read-only original refuses the rename
    // below and so stays as it is).
    const DWORD attrs = GetFileAttributesW(m_target.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(
            m_tempPath.c_str(),
            (attrs & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) |
                FILE_ATTRIBUTE_NORMAL);

    // The backup is copied first, under a name of its own, so that the original stays where it
    // is until the new file replaces it.
    std::wstring staged;
    if (!backupPath.empty()) {
        if (!UniqueName(FolderOf(backupPath), L"BAK", staged, &error) || Fail(FxStepCopy, &error) ||
            !CopyFileW(m_target.c_str(), staged.c_str(), FALSE)) {
            if (!error)
                error = GetLastError();
            if (!staged.empty())
                DeleteFileW(staged.c_str());
            Discard();
            return error;
        }
    }
    // One rename replaces the original: a reader sees the old file or the new one.
    if (Fail(FxStepMove, &error) ||
        !MoveFileExW(m_tempPath.c_str(), m_target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (!error)
            error = GetLastError();
        if (!staged.empty())
            DeleteFileW(staged.c_str());
        Discard();
        return error;
    }
    m_tempPath.clear();
    if (!staged.empty()) {
        DWORD bakError = 0;
        const bool deleted =
            !Fail(FxStepDelete, &bakError) &&
            (DeleteFileW(backupPath.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND);
        if (!deleted || Fail(FxStepRename, &bakError) ||
            !MoveFileW(staged.c_str(), backupPath.c_str())) {
            DeleteFileW(staged.c_str());
            *backupFailed = true;
        }
    }
    return 0;
}
