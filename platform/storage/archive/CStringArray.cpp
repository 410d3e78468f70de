#include "CStringArray.h"

#include <stdexcept>

IMPLEMENT_SERIAL(CStringArray, CObject, 0)

void CStringArray::InsertAt(INT_PTR i, const std::string& s, INT_PTR count)
{
    if (i < 0 || i > GetSize() || count < 0)
        throw std::out_of_range("CStringArray::InsertAt");
    m_data.insert(m_data.begin() + i, static_cast<size_t>(count), s);
}

void CStringArray::RemoveAt(INT_PTR i, INT_PTR count)
{
    if (i < 0 || count < 0 || i + count > GetSize())
        throw std::out_of_range("CStringArray::RemoveAt");
    m_data.erase(m_data.begin() + i, m_data.begin() + i + count);
}

void CStringArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(m_data.size());
        for (const auto& s : m_data)
            ar << s;
    } else {
        m_data.clear();
        // Every string takes at least its one-byte length.
        size_t n = ar.ReadCount(1);
        m_data.reserve(n);
        for (size_t i = 0; i < n; ++i)
            m_data.push_back(ar.ReadStringValue());
    }
}
