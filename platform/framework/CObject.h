#pragma once
// The root of the framework's classes: run-time class checks and creation
// by class, as document templates need to make documents, frames and views.
#include <QString>

#include "WindowsTypes.h"

class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    CObject* (*m_pfnCreateObject)();  // null for classes that cannot be made by class
    bool (*m_pfnIsInstance)(const CObject*);

    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
};

class CObject {
public:
    virtual ~CObject() = default;
    // True when this object is a T (or derives from it) for RUNTIME_CLASS(T).
    BOOL IsKindOf(const CRuntimeClass* pClass) const { return pClass && pClass->m_pfnIsInstance(this); }

protected:
    CObject() = default;
};

namespace qs::fw {

template <typename T>
const CRuntimeClass* RuntimeClassOf(const char* name) {
    static const CRuntimeClass info{
        name,
        []() -> CObject* {
            if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>) return new T();
            else return nullptr;
        },
        [](const CObject* object) { return dynamic_cast<const T*>(object) != nullptr; }};
    return &info;
}

}  // namespace qs::fw

#define RUNTIME_CLASS(T) (::qs::fw::RuntimeClassOf<T>(#T))
