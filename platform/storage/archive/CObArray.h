#pragma once
// An array of object pointers. It does not own its elements (delete them
// yourself). Serialized as a count, then each element as an object reference
// (so shared elements become back references and null stays null).
#include "CArchive.h"

#include <cstddef>
#include <vector>

typedef std::ptrdiff_t INT_PTR;

class CObArray : public CObject {
    DECLARE_SERIAL(CObArray)
public:
    CObArray() = default;

    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_data.empty(); }
    void SetSize(INT_PTR newSize) { m_data.resize(static_cast<size_t>(newSize), nullptr); }

    CObject* GetAt(INT_PTR i) const { return m_data.at(static_cast<size_t>(i)); }
    void SetAt(INT_PTR i, CObject* obj) { m_data.at(static_cast<size_t>(i)) = obj; }
    CObject*& ElementAt(INT_PTR i) { return m_data.at(static_cast<size_t>(i)); }
    CObject* operator[](INT_PTR i) const { return GetAt(i); }
    CObject*& operator[](INT_PTR i) { return ElementAt(i); }

    INT_PTR Add(CObject* obj)
    {
        m_data.push_back(obj);
        return GetUpperBound();
    }
    void InsertAt(INT_PTR i, CObject* obj, INT_PTR count = 1);
    void RemoveAt(INT_PTR i, INT_PTR count = 1);
    void RemoveAll() { m_data.clear(); }

    auto begin() { return m_data.begin(); }
    auto end() { return m_data.end(); }
    auto begin() const { return m_data.begin(); }
    auto end() const { return m_data.end(); }

    // Loading replaces the content; if the archive throws part way, the
    // elements read so far stay in the array for the owner to delete.
    void Serialize(CArchive& ar) override;

private:
    std::vector<CObject*> m_data;
};
