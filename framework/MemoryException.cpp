// CMemoryException. Layer: framework/.
#include "framework/MemoryException.h"

#include "framework/FwIds.h"
#include "framework/ResourceText.h"

IMPLEMENT_DYNAMIC(CMemoryException, CException)

bool CMemoryException::GetErrorMessage(std::string& message) const {
    message = AfxLoadString(AFX_IDP_FAILED_MEMORY_ALLOC);
    return !message.empty();
}

void AfxThrowMemoryException() {
    throw CMemoryException();
}
