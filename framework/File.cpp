// CFile. Layer: framework/.
#include "framework/File.h"

#include "framework/FileException.h"

IMPLEMENT_DYNAMIC(CFile, CObject)

CFile::~CFile() {
    Abort();
}

bool CFile::Open(const char* fileName, UINT openFlags, CFileException* error) {
    Abort();
    DWORD access = GENERIC_READ;
    switch (openFlags & 3) {
    case modeWrite:
        access = GENERIC_WRITE;
        break;
    case modeReadWrite:
        access = GENERIC_READ | GENERIC_WRITE;
        break;
    }
    DWORD share = 0;
    switch (openFlags & 0x70) {
    case shareCompat:
    case shareDenyNone:
        share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        break;
    case shareDenyWrite:
        share = FILE_SHARE_READ;
        break;
    case shareDenyRead:
        share = FILE_SHARE_WRITE;
        break;
    case shareExclusive:
        share = 0;
        break;
    }
    DWORD creation = OPEN_EXISTING;
    if (openFlags & modeCreate)
        creation = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    HANDLE file =
        CreateFileA(fileName, access, share, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD err = GetLastError();
        if (error) {
            error->m_cause = CFileException::OsErrorToCause(err);
            error->m_lOsError = static_cast<LONG>(err);
            error->m_strFileName = fileName;
        }
        return false;
    }
    m_hFile = file;
    m_strFileName = fileName;
    return true;
}

void CFile::Close() {
    if (m_hFile != INVALID_HANDLE_VALUE) {
        BOOL ok = CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
        if (!ok)
            CFileException::ThrowOsError(GetLastError(), m_strFileName.c_str());
    }
}

void CFile::Abort() {
    if (m_hFile != INVALID_HANDLE_VALUE) {
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}

UINT CFile::Read(void* buf, UINT count) {
    DWORD got = 0;
    if (!ReadFile(m_hFile, buf, count, &got, nullptr))
        CFileException::ThrowOsError(GetLastError(), m_strFileName.c_str());
    return got;
}

void CFile::Write(const void* buf, UINT count) {
    DWORD written = 0;
    if (!WriteFile(m_hFile, buf, count, &written, nullptr))
        CFileException::ThrowOsError(GetLastError(), m_strFileName.c_str());
    if (written != count)
        AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName.c_str());
}

uint64_t CFile::Seek(int64_t offset, UINT from) {
    LARGE_INTEGER distance, position;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(m_hFile, distance, &position, from))
        CFileException::ThrowOsError(GetLastError(), m_strFileName.c_str());
    return static_cast<uint64_t>(position.QuadPart);
}

uint64_t CFile::GetLength() const {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size))
        CFileException::ThrowOsError(GetLastError(), m_strFileName.c_str());
    return static_cast<uint64_t>(size.QuadPart);
}

void CFile::SetLength(uint64_t length) {
    Seek(static_cast<int64_t>(length), begin);
    if (!SetEndOfFile(m_hFile))
        CFileException::ThrowOsError(GetLastError(), m_strFileName.c_str());
}

void CFile::Flush() {
    if (m_hFile != INVALID_HANDLE_VALUE && !FlushFileBuffers(m_hFile))
        CFileException::ThrowOsError(GetLastError(), m_strFileName.c_str());
}

bool CFile::Exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void CFile::Remove(const char* path) {
    if (!DeleteFileA(path))
        CFileException::ThrowOsError(GetLastError(), path);
}

void CFile::Rename(const char* oldName, const char* newName) {
    if (!MoveFileA(oldName, newName))
        CFileException::ThrowOsError(GetLastError(), oldName);
}
