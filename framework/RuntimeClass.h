// CRuntimeClass: the record each framework-aware class keeps of its name, size, base class and
// (for dynamically creatable classes) a factory. Layer: framework/.
#pragma once

class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    CObject* (*m_pfnCreateObject)(); // null when the class cannot be created dynamically
    const CRuntimeClass* m_pBaseClass;

    // A new object of this class, or null when it is not creatable.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* base) const;
    bool IsCreatable() const { return m_pfnCreateObject != nullptr; }

    // Looks a creatable class up by name among every class declared with IMPLEMENT_DYNAMIC or
    // IMPLEMENT_DYNCREATE in the program.
    static const CRuntimeClass* FromName(const char* className);

    // Registration of a class record; used by the IMPLEMENT_ macros.
    struct Registrar {
        explicit Registrar(const CRuntimeClass* cls);
    };
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())

#define DECLARE_DYNAMIC(class_name)                                                                \
public:                                                                                            \
    static const CRuntimeClass* GetThisClass();                                                    \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name)                                                              \
    DECLARE_DYNAMIC(class_name)                                                                    \
    static CObject* CreateObject();

#define FW_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnNew)                             \
    const CRuntimeClass* class_name::GetThisClass() {                                              \
        static const CRuntimeClass record = {#class_name, static_cast<int>(sizeof(class_name)),    \
                                             pfnNew, RUNTIME_CLASS(base_class_name)};              \
        return &record;                                                                            \
    }                                                                                              \
    const CRuntimeClass* class_name::GetRuntimeClass() const {                                     \
        return GetThisClass();                                                                     \
    }                                                                                              \
    static const CRuntimeClass::Registrar fw_registrar_##class_name(class_name::GetThisClass());

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                             \
    FW_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                           \
    CObject* class_name::CreateObject() {                                                          \
        return new class_name;                                                                     \
    }                                                                                              \
    FW_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, &class_name::CreateObject)
