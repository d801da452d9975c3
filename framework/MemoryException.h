// CMemoryException: an allocation failed. Layer: framework/.
#pragma once

#include "framework/Exception.h"

class CMemoryException : public CException {
    DECLARE_DYNAMIC(CMemoryException)
public:
    bool GetErrorMessage(std::string& message) const override;
};

[[noreturn]] void AfxThrowMemoryException();
