// CMirrorFile. Layer: framework/.
#include "framework/MirrorFile.h"

#include "framework/FileException.h"

IMPLEMENT_DYNAMIC(CMirrorFile, CFile)

CMirrorFile::~CMirrorFile() {
    Abort();
}

bool CMirrorFile::Open(const char* fileName, UINT openFlags, CFileException* error) {
    Abort();
    if (!(openFlags & modeCreate) || (openFlags & modeNoTruncate))
        return CFile::Open(fileName, openFlags, error);

    // The temporary file lives in the target's folder so that the final move is a rename.
    char full[MAX_PATH];
    char* namePart = nullptr;
    DWORD len = GetFullPathNameA(fileName, sizeof full, full, &namePart);
    if (len == 0 || len >= sizeof full || !namePart) {
        if (error)
            *error = CFileException(CFileException::badPath, ERROR_BAD_PATHNAME, fileName);
        return false;
    }
    std::string folder(full, static_cast<size_t>(namePart - full));
    char temp[MAX_PATH];
    if (!GetTempFileNameA(folder.c_str(), "QVM", 0, temp)) {
        DWORD err = GetLastError();
        if (error)
            *error = CFileException(CFileException::OsErrorToCause(err), static_cast<LONG>(err),
                                    fileName);
        return false;
    }
    if (!CFile::Open(temp, openFlags, error)) {
        DeleteFileA(temp);
        if (error)
            error->m_strFileName = fileName;
        return false;
    }
    m_strMirrorName = temp;
    m_strFileName = fileName;
    return true;
}

void CMirrorFile::Close() {
    if (m_strMirrorName.empty()) {
        CFile::Close();
        return;
    }
    std::string mirror = m_strMirrorName;
    m_strMirrorName.clear();
    BOOL closed = CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    DWORD err = closed ? NO_ERROR : GetLastError();
    if (err == NO_ERROR) {
        // Keep the target's attributes (but read-only, which would block later saves).
        DWORD attrs = GetFileAttributesA(m_strFileName.c_str());
        if (attrs != INVALID_FILE_ATTRIBUTES)
            SetFileAttributesA(mirror.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
        if (!MoveFileExA(mirror.c_str(), m_strFileName.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
            err = GetLastError();
    }
    if (err != NO_ERROR) {
        DeleteFileA(mirror.c_str());
        CFileException::ThrowOsError(err, m_strFileName.c_str());
    }
}

void CMirrorFile::Abort() {
    CFile::Abort();
    if (!m_strMirrorName.empty()) {
        DeleteFileA(m_strMirrorName.c_str());
        m_strMirrorName.clear();
    }
}
