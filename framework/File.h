// CFile: an open file handle that closes itself, with reads and writes that throw
// CFileException. Layer: framework/.
#pragma once

#include "framework/Object.h"

#include <windows.h>

#include <cstdint>
#include <string>

class CFileException;

class CFile : public CObject {
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile() = default;
    ~CFile() override;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // False (with the cause in error when given) when the file cannot be opened.
    virtual bool Open(const char* fileName, UINT openFlags, CFileException* error = nullptr);
    virtual void Close();
    // Closes without throwing, whatever state the file is in.
    virtual void Abort();

    UINT Read(void* buf, UINT count);
    void Write(const void* buf, UINT count);
    uint64_t Seek(int64_t offset, UINT from);
    uint64_t GetLength() const;
    void SetLength(uint64_t length);
    void Flush();

    const std::string& GetFilePath() const { return m_strFileName; }
    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

    static bool Exists(const char* path);
    static void Remove(const char* path);
    static void Rename(const char* oldName, const char* newName);

    HANDLE m_hFile = INVALID_HANDLE_VALUE;

protected:
    std::string m_strFileName;
};
