// CObject: the root class record. Layer: framework/.
#include "framework/Object.h"

const CRuntimeClass* CObject::GetThisClass() {
    static const CRuntimeClass record = {"CObject", static_cast<int>(sizeof(CObject)), nullptr,
                                         nullptr};
    return &record;
}

const CRuntimeClass* CObject::GetRuntimeClass() const {
    return GetThisClass();
}

static const CRuntimeClass::Registrar fw_registrar_CObject(CObject::GetThisClass());
