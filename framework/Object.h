// CObject: the root of the framework's classes, with run-time class records for kind tests and
// dynamic creation. Layer: framework/.
#pragma once

#include "framework/RuntimeClass.h"

class CObject {
public:
    virtual ~CObject() = default;

    static const CRuntimeClass* GetThisClass();
    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

// A checked downcast: the object when it is of the class (or derived from it), else null.
template <class T> T* DynamicDowncast(CObject* obj) {
    return obj && obj->IsKindOf(RUNTIME_CLASS(T)) ? static_cast<T*>(obj) : nullptr;
}
