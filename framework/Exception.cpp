// CException and the report of the exception being handled. Layer: framework/.
#include "framework/Exception.h"

#include "common/FxErrors.h"
#include "framework/FileException.h"
#include "framework/FwIds.h"
#include "framework/MemoryException.h"
#include "framework/MessageBox.h"
#include "framework/UserException.h"

#include <new>

IMPLEMENT_DYNAMIC(CException, CObject)

bool CException::GetErrorMessage(std::string&) const {
    return false;
}

int CException::ReportError(UINT type, UINT messageId) const {
    std::string message;
    if (GetErrorMessage(message))
        return AfxMessageBox(message.c_str(), type);
    return AfxMessageBox(messageId ? messageId : AFX_IDP_NO_ERROR_AVAILABLE, type);
}

int AfxReportCurrentException(UINT type) {
    try {
        throw;
    } catch (const CUserException&) {
        return IDOK; // the user has been told already
    } catch (const CException& e) {
        return e.ReportError(type);
    } catch (const std::bad_alloc&) {
        return CMemoryException().ReportError(type);
    } catch (const FxFileError& e) {
        return CFileException(CFileException::OsErrorToCause(e.OsError()),
                              static_cast<LONG>(e.OsError()))
            .ReportError(type);
    } catch (...) {
        return AfxMessageBox(AFX_IDP_INTERNAL_FAILURE, type);
    }
}
