// CFileException. Layer: framework/.
#include "framework/FileException.h"

#include "framework/FwIds.h"
#include "framework/ResourceText.h"

IMPLEMENT_DYNAMIC(CFileException, CException)

CFileException::CFileException(int cause, LONG osError, const char* fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName ? fileName : "") {}

int CFileException::OsErrorToCause(DWORD osError) {
    switch (osError) {
    case NO_ERROR:
        return none;
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_DRIVE_LOCKED:
        return accessDenied;
    case ERROR_INVALID_HANDLE:
        return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return removeCurrentDir;
    case ERROR_CANNOT_MAKE:
        return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
        return badSeek;
    case ERROR_SHARING_VIOLATION:
        return sharingViolation;
    case ERROR_LOCK_VIOLATION:
        return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF:
        return endOfFile;
    case ERROR_CRC:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
        return hardIO;
    default:
        return genericException;
    }
}

void CFileException::ThrowOsError(DWORD osError, const char* fileName) {
    if (osError != NO_ERROR)
        AfxThrowFileException(OsErrorToCause(osError), static_cast<LONG>(osError), fileName);
}

bool CFileException::GetErrorMessage(std::string& message) const {
    std::string reason = m_lOsError > 0 ? AfxSystemErrorText(static_cast<DWORD>(m_lOsError))
                                        : AfxLoadString(AFX_IDP_NO_ERROR_AVAILABLE);
    if (m_strFileName.empty()) {
        std::string format = AfxLoadString(AFX_IDP_FILE_ERROR_NO_NAME);
        message = format.empty() ? reason : AfxFormat(format.c_str(), reason.c_str());
    } else {
        std::string format = AfxLoadString(AFX_IDP_FILE_ERROR);
        message = format.empty() ? m_strFileName + "\n" + reason
                                 : AfxFormat(format.c_str(), m_strFileName.c_str(), reason.c_str());
    }
    return true;
}

void AfxThrowFileException(int cause, LONG osError, const char* fileName) {
    throw CFileException(cause, osError, fileName);
}
