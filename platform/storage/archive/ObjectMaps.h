#pragma once
// Maps from an id to an object pointer (not owned), kept in ascending key
// order. Serialized as a count, then per entry the key (CMapWordToOb: 16-bit,
// CMapLongToOb: 32-bit signed) and the object reference.
#include "CArchive.h"
#include "CObArray.h"

#include <map>

template <class Key>
class CMapToOb : public CObject {
public:
    using key_type = Key;

    INT_PTR GetCount() const { return static_cast<INT_PTR>(m_map.size()); }
    INT_PTR GetSize() const { return GetCount(); }
    bool IsEmpty() const { return m_map.empty(); }

    bool Lookup(Key key, CObject*& value) const
    {
        auto it = m_map.find(key);
        if (it == m_map.end())
            return false;
        value = it->second;
        return true;
    }
    void SetAt(Key key, CObject* value) { m_map[key] = value; }
    CObject*& operator[](Key key) { return m_map[key]; }
    bool RemoveKey(Key key) { return m_map.erase(key) != 0; }
    void RemoveAll() { m_map.clear(); }

    auto begin() { return m_map.begin(); }
    auto end() { return m_map.end(); }
    auto begin() const { return m_map.begin(); }
    auto end() const { return m_map.end(); }

    // Loading replaces the content; a load that fails part-way (a key stored
    // twice included) deletes the objects it created and leaves the map empty.
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar.WriteCount(m_map.size());
            for (const auto& [key, value] : m_map) {
                ar << key;
                ar.WriteObject(value);
            }
        } else {
            m_map.clear();
            const size_t mark = ar.GetLoadMark();
            std::map<Key, CObject*> loaded;
            std::vector<CObject*> created;
            try {
                size_t n = ar.ReadCount(sizeof(Key) + 2);
                for (size_t i = 0; i < n; ++i) {
                    Key key{};
                    ar >> key;
                    CObject* obj = ar.ReadObject(nullptr);
                    created.push_back(obj);
                    // A stored map holds each key once; a repeated key would
                    // drop an element nobody then owns.
                    if (!loaded.emplace(key, obj).second)
                        throw CArchiveException(CArchiveException::badIndex, "map key stored twice");
                }
            } catch (...) {
                ar.DeleteLoadedSince(created, mark);
                throw;
            }
            m_map = std::move(loaded);
        }
    }

protected:
    CMapToOb() = default;

private:
    std::map<Key, CObject*> m_map;
};

class CMapWordToOb : public CMapToOb<WORD> {
    DECLARE_SERIAL(CMapWordToOb)
};

class CMapLongToOb : public CMapToOb<LONG> {
    DECLARE_SERIAL(CMapLongToOb)
};
