// CArchive. Layer: framework/.
#include "framework/Archive.h"

#include "framework/File.h"

HANDLE CArchive::GetFileHandle() const {
    return m_pFile->m_hFile;
}

uint64_t CArchive::GetFileLength() const {
    return m_pFile->GetLength();
}

UINT CArchive::Read(void* buf, UINT count) {
    return m_pFile->Read(buf, count);
}

void CArchive::Write(const void* buf, UINT count) {
    m_pFile->Write(buf, count);
}
