#include "CObArray.h"

#include <stdexcept>

IMPLEMENT_SERIAL(CObArray, CObject, 0)

void CObArray::InsertAt(INT_PTR i, CObject* obj, INT_PTR count)
{
    if (i < 0 || i > GetSize() || count < 0)
        throw std::out_of_range("CObArray::InsertAt");
    m_data.insert(m_data.begin() + i, static_cast<size_t>(count), obj);
}

void CObArray::RemoveAt(INT_PTR i, INT_PTR count)
{
    if (i < 0 || count < 0 || i + count > GetSize())
        throw std::out_of_range("CObArray::RemoveAt");
    m_data.erase(m_data.begin() + i, m_data.begin() + i + count);
}

void CObArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(m_data.size());
        for (CObject* obj : m_data)
            ar.WriteObject(obj);
    } else {
        m_data.clear();
        // The elements belong to this load until it completes: when it fails
        // part-way, those it created go with it and the array stays empty.
        const size_t mark = ar.GetLoadMark();
        std::vector<CObject*> loaded;
        try {
            // Every element takes at least its two-byte tag.
            size_t n = ar.ReadCount(2);
            loaded.reserve(n);
            for (size_t i = 0; i < n; ++i)
                loaded.push_back(ar.ReadObject(nullptr));
        } catch (...) {
            ar.DeleteLoadedSince(loaded, mark);
            throw;
        }
        m_data = std::move(loaded);
    }
}
