// CUserException: the operation was stopped and the user has been told already; reporting it
// shows nothing. Layer: framework/.
#pragma once

#include "framework/Exception.h"

class CUserException : public CException {
    DECLARE_DYNAMIC(CUserException)
public:
    int ReportError(UINT type = MB_OK, UINT messageId = 0) const override;
};

[[noreturn]] void AfxThrowUserException();
