// CArchive: the direction and the file of a serialisation. The document's Serialize reads or
// writes through it, or takes the file's handle and length and maps the file itself.
// Layer: framework/.
#pragma once

#include <windows.h>

#include <cstdint>

class CDocument;
class CFile;

class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    CArchive(CFile* file, UINT mode) : m_pFile(file), m_nMode(mode) {}

    bool IsLoading() const { return (m_nMode & load) != 0; }
    bool IsStoring() const { return !IsLoading(); }
    CFile* GetFile() const { return m_pFile; }
    HANDLE GetFileHandle() const;
    uint64_t GetFileLength() const;

    UINT Read(void* buf, UINT count);
    void Write(const void* buf, UINT count);
    // The archive writes through at once; nothing is buffered.
    void Flush() {}

    CDocument* m_pDocument = nullptr;

private:
    CFile* m_pFile;
    UINT m_nMode;
};
