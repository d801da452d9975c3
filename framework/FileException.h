// CFileException: a file operation failed, with a portable cause, the operating-system error
// code and the file's name. Layer: framework/.
#pragma once

#include "framework/Exception.h"

#include <string>

class CFileException : public CException {
    DECLARE_DYNAMIC(CFileException)
public:
    enum Cause {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    explicit CFileException(int cause = none, LONG osError = -1, const char* fileName = nullptr);

    static int OsErrorToCause(DWORD osError);
    // Throws a file exception for the operating-system error (nothing for 0).
    static void ThrowOsError(DWORD osError, const char* fileName = nullptr);

    // "<file>\n<reason>": the reason is the system's text for the error code.
    bool GetErrorMessage(std::string& message) const override;

    int m_cause;
    LONG m_lOsError;
    std::string m_strFileName;
};

[[noreturn]] void AfxThrowFileException(int cause, LONG osError = -1,
                                        const char* fileName = nullptr);
