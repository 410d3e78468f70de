#include "CObject.h"

#include <map>
#include <mutex>
#include <string>

namespace {
struct RuntimeClassRegistry {
    std::mutex mutex;
    std::map<std::string, const CRuntimeClass*, std::less<>> byName;
};

// Function-local, so registrations from static initialisers of any library
// find it constructed.
RuntimeClassRegistry& TheRuntimeClassRegistry()
{
    static RuntimeClassRegistry registry;
    return registry;
}
}  // namespace

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == base)
            return true;
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(std::string_view name)
{
    auto& reg = TheRuntimeClassRegistry();
    std::lock_guard lock(reg.mutex);
    auto it = reg.byName.find(name);
    return it == reg.byName.end() ? nullptr : it->second;
}

bool CRuntimeClass::Register(const CRuntimeClass* cls)
{
    auto& reg = TheRuntimeClassRegistry();
    std::lock_guard lock(reg.mutex);
    return reg.byName.emplace(cls->m_lpszClassName, cls).second;
}

const CRuntimeClass* CObject::GetThisClass()
{
    static const CRuntimeClass rc{"CObject", static_cast<int>(sizeof(CObject)), kNotSerializableSchema, nullptr,
                                  nullptr};
    return &rc;
}

const CRuntimeClass* CObject::GetRuntimeClass() const
{
    return GetThisClass();
}

void CObject::Serialize(CArchive&) {}
