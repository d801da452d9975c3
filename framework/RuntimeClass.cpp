// CRuntimeClass: creation, kind tests and the registry of class records. Layer: framework/.
#include "framework/RuntimeClass.h"

#include <cstring>
#include <vector>

namespace {

// Function-local so that registrars in other translation units can run in any order.
std::vector<const CRuntimeClass*>& Registry() {
    static std::vector<const CRuntimeClass*> classes;
    return classes;
}

} // namespace

CObject* CRuntimeClass::CreateObject() const {
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* cls = this; cls; cls = cls->m_pBaseClass) {
        if (cls == base)
            return true;
    }
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* className) {
    for (const CRuntimeClass* cls : Registry()) {
        if (std::strcmp(cls->m_lpszClassName, className) == 0)
            return cls;
    }
    return nullptr;
}

CRuntimeClass::Registrar::Registrar(const CRuntimeClass* cls) {
    Registry().push_back(cls);
}
