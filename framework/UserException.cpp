// CUserException. Layer: framework/.
#include "framework/UserException.h"

IMPLEMENT_DYNAMIC(CUserException, CException)

int CUserException::ReportError(UINT, UINT) const {
    return IDOK;
}

void AfxThrowUserException() {
    throw CUserException();
}
