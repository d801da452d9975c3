// CException: the base of the framework's exceptions. Thrown by value, caught by reference;
// each kind can describe and report itself. Layer: framework/.
#pragma once

#include "framework/Object.h"

#include <windows.h>

#include <string>

class CException : public CObject {
    DECLARE_DYNAMIC(CException)
public:
    // The text to show the user; false when the exception has none of its own.
    virtual bool GetErrorMessage(std::string& message) const;
    // Shows the message (or the string `messageId` when there is none) in a message box and
    // returns the box's answer.
    virtual int ReportError(UINT type = MB_OK | MB_ICONSTOP, UINT messageId = 0) const;
};

// Reports whatever exception is being handled: the framework's own kinds through ReportError,
// std::bad_alloc as the out-of-memory message, the engine's file errors as file exceptions, and
// anything else as an internal failure. Call only inside a catch block. Returns the box's answer.
int AfxReportCurrentException(UINT type = MB_OK | MB_ICONSTOP);
