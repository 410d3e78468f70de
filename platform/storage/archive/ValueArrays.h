#pragma once
// Arrays of fixed-width numbers, each serialized as a count then the elements
// little-endian: CByteArray (1 byte each), CWordArray (2), CDWordArray (4) and
// CUIntArray (4; used for id lists).
#include "CArchive.h"
#include "CObArray.h"

#include <stdexcept>
#include <vector>

template <class T>
class CValueArray : public CObject {
public:
    using value_type = T;

    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_data.empty(); }
    void SetSize(INT_PTR newSize) { m_data.resize(static_cast<size_t>(newSize), T{}); }

    T GetAt(INT_PTR i) const { return m_data.at(static_cast<size_t>(i)); }
    void SetAt(INT_PTR i, T v) { m_data.at(static_cast<size_t>(i)) = v; }
    T& ElementAt(INT_PTR i) { return m_data.at(static_cast<size_t>(i)); }
    T operator[](INT_PTR i) const { return GetAt(i); }
    T& operator[](INT_PTR i) { return ElementAt(i); }
    const T* GetData() const { return m_data.data(); }
    T* GetData() { return m_data.data(); }

    INT_PTR Add(T v)
    {
        m_data.push_back(v);
        return GetUpperBound();
    }
    void InsertAt(INT_PTR i, T v, INT_PTR count = 1)
    {
        if (i < 0 || i > GetSize() || count < 0)
            throw std::out_of_range("InsertAt");
        m_data.insert(m_data.begin() + i, static_cast<size_t>(count), v);
    }
    void RemoveAt(INT_PTR i, INT_PTR count = 1)
    {
        if (i < 0 || count < 0 || i + count > GetSize())
            throw std::out_of_range("RemoveAt");
        m_data.erase(m_data.begin() + i, m_data.begin() + i + count);
    }
    void RemoveAll() { m_data.clear(); }
    void Copy(const CValueArray& other) { m_data = other.m_data; }

    auto begin() { return m_data.begin(); }
    auto end() { return m_data.end(); }
    auto begin() const { return m_data.begin(); }
    auto end() const { return m_data.end(); }

    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar.WriteCount(m_data.size());
            if constexpr (sizeof(T) == 1) {
                ar.Write(m_data.data(), m_data.size());
            } else {
                for (T v : m_data)
                    ar << v;
            }
        } else {
            m_data.clear();
            size_t n = ar.ReadCount(sizeof(T));
            m_data.resize(n);
            if constexpr (sizeof(T) == 1) {
                ar.ReadExact(m_data.data(), n);
            } else {
                for (T& v : m_data)
                    ar >> v;
            }
        }
    }

protected:
    CValueArray() = default;

private:
    static_assert(sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4);
    std::vector<T> m_data;
};

class CByteArray : public CValueArray<BYTE> {
    DECLARE_SERIAL(CByteArray)
};

class CWordArray : public CValueArray<WORD> {
    DECLARE_SERIAL(CWordArray)
};

class CDWordArray : public CValueArray<DWORD> {
    DECLARE_SERIAL(CDWordArray)
};

class CUIntArray : public CValueArray<UINT> {
    DECLARE_SERIAL(CUIntArray)
};
