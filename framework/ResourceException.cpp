// CResourceException. Layer: framework/.
#include "framework/ResourceException.h"

#include "framework/FwIds.h"
#include "framework/ResourceText.h"

IMPLEMENT_DYNAMIC(CResourceException, CException)

bool CResourceException::GetErrorMessage(std::string& message) const {
    message = AfxLoadString(AFX_IDP_FAILED_RESOURCE);
    return !message.empty();
}

void AfxThrowResourceException() {
    throw CResourceException();
}
