#pragma once
// An array of strings, serialized as a count then each string.
#include "CArchive.h"
#include "CObArray.h"

#include <string>
#include <vector>

class CStringArray : public CObject {
    DECLARE_SERIAL(CStringArray)
public:
    CStringArray() = default;

    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_data.empty(); }
    void SetSize(INT_PTR newSize) { m_data.resize(static_cast<size_t>(newSize)); }

    const std::string& GetAt(INT_PTR i) const { return m_data.at(static_cast<size_t>(i)); }
    void SetAt(INT_PTR i, const std::string& s) { m_data.at(static_cast<size_t>(i)) = s; }
    std::string& ElementAt(INT_PTR i) { return m_data.at(static_cast<size_t>(i)); }
    const std::string& operator[](INT_PTR i) const { return GetAt(i); }
    std::string& operator[](INT_PTR i) { return ElementAt(i); }

    INT_PTR Add(const std::string& s)
    {
        m_data.push_back(s);
        return GetUpperBound();
    }
    void InsertAt(INT_PTR i, const std::string& s, INT_PTR count = 1);
    void RemoveAt(INT_PTR i, INT_PTR count = 1);
    void RemoveAll() { m_data.clear(); }

    auto begin() { return m_data.begin(); }
    auto end() { return m_data.end(); }
    auto begin() const { return m_data.begin(); }
    auto end() const { return m_data.end(); }

    void Serialize(CArchive& ar) override;

private:
    std::vector<std::string> m_data;
};
