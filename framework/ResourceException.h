// CResourceException: a window, GDI object or other system resource could not be had.
// Layer: framework/.
#pragma once

#include "framework/Exception.h"

class CResourceException : public CException {
    DECLARE_DYNAMIC(CResourceException)
public:
    bool GetErrorMessage(std::string& message) const override;
};

[[noreturn]] void AfxThrowResourceException();
