#pragma once
// The root of serializable classes and their run-time class information.
//
// A class that an archive stores with WriteObject and recreates with
// ReadObject is declared with DECLARE_SERIAL in its class body and defined
// with IMPLEMENT_SERIAL(Class, Base, schema) in one source file. The class is
// then known to every archive under its name (the text written into files),
// with its schema number (the version written beside the name). A schema
// or'ed with VERSIONABLE_SCHEMA lets older schemas load; the object's
// Serialize asks CArchive::GetObjectSchema which one it is reading.
// IMPLEMENT_SERIAL_AS gives a stored name that differs from the C++ name.
// DECLARE_DYNAMIC/IMPLEMENT_DYNAMIC give run-time type checks only.
#include <cstdint>
#include <string_view>
#include <type_traits>

class CArchive;
class CObject;

// Fixed-width names used throughout the archive formats.
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef int BOOL;

// Schema value of classes that cannot be serialized.
inline constexpr UINT kNotSerializableSchema = 0xFFFF;
#ifndef VERSIONABLE_SCHEMA
#define VERSIONABLE_SCHEMA (0x80000000u)
#endif

struct CRuntimeClass {
    const char* m_lpszClassName;   // the name stored in archives
    int m_nObjectSize;
    UINT m_wSchema;                // kNotSerializableSchema when not serializable
    CObject* (*m_pfnCreateObject)();  // null when not creatable
    const CRuntimeClass* m_pBaseClass;

    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    bool IsDerivedFrom(const CRuntimeClass* base) const;

    // The registered serializable class with this stored name, or null.
    static const CRuntimeClass* FromName(std::string_view name);
    // Adds a class to the registry (done by IMPLEMENT_SERIAL). The first class
    // registered under a name keeps it; returns false for a later duplicate.
    static bool Register(const CRuntimeClass* cls);
};

class CObject {
public:
    // Names the class whose run-time information GetThisClass returns; the
    // DECLARE_ macros redeclare it, so RUNTIME_CLASS can tell a class that
    // declares its own information from one that only inherits it.
    using QsThisClass = CObject;

    virtual ~CObject() = default;

    static const CRuntimeClass* GetThisClass();
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual void Serialize(CArchive& ar);

    bool IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }
    bool IsSerializable() const { return GetRuntimeClass()->m_wSchema != kNotSerializableSchema; }

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

namespace qs::detail {

template <typename T>
CObject* CreateByClass() {
    if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>) return new T();
    else return nullptr;
}

// The run-time class of T. A class declared with the DECLARE_ macros has its
// own; any other class derived from CObject (a window or document class that
// only needs to be made by a document template) gets one made here, creatable
// when T is default-constructible, whose base is the nearest declared class.
// Such a class answers IsKindOf only for its declared bases.
template <typename T>
const CRuntimeClass* RuntimeClassOf(const char* name) {
    static_assert(std::is_base_of_v<CObject, T>, "RUNTIME_CLASS needs a class derived from CObject");
    if constexpr (std::is_same_v<typename T::QsThisClass, T>) {
        return T::GetThisClass();
    } else {
        static const CRuntimeClass rc{name, static_cast<int>(sizeof(T)), kNotSerializableSchema, &CreateByClass<T>,
                                      T::GetThisClass()};
        return &rc;
    }
}

}  // namespace qs::detail

#define RUNTIME_CLASS(class_name) (::qs::detail::RuntimeClassOf<class_name>(#class_name))

#define DECLARE_DYNAMIC(class_name)                        \
public:                                                    \
    using QsThisClass = class_name;                        \
    static const CRuntimeClass* GetThisClass();            \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) DECLARE_DYNCREATE(class_name)

#define QS_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, create, stored_name)       \
    const CRuntimeClass* class_name::GetThisClass()                                              \
    {                                                                                           \
        static const CRuntimeClass rc{stored_name, static_cast<int>(sizeof(class_name)), (schema), \
                                      create, base_class_name::GetThisClass()};                 \
        return &rc;                                                                             \
    }                                                                                           \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return class_name::GetThisClass(); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    QS_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, kNotSerializableSchema, nullptr, #class_name)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)   \
    CObject* class_name::CreateObject() { return new class_name; } \
    QS_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, kNotSerializableSchema, &class_name::CreateObject, #class_name)

#define IMPLEMENT_SERIAL_AS(class_name, base_class_name, schema, stored_name)                            \
    CObject* class_name::CreateObject() { return new class_name; }                                    \
    QS_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, &class_name::CreateObject, stored_name) \
    [[maybe_unused]] static const bool qsSerialRegistered_##class_name =                              \
        CRuntimeClass::Register(class_name::GetThisClass());

#define IMPLEMENT_SERIAL(class_name, base_class_name, schema) \
    IMPLEMENT_SERIAL_AS(class_name, base_class_name, schema, #class_name)
