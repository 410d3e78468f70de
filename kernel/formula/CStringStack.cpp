#include "CStringStack.h"

#include "CArchive.h"
#include "KernelStream.h"

IMPLEMENT_SERIAL(CStringStack, CObject, 1)

QSSTATUS CStringStack::Pop(std::string& token) {
    if (m_items.empty()) return kEmpty;
    token = std::move(m_items.back());
    m_items.pop_back();
    return qsk::kOk;
}

QSSTATUS CStringStack::Top(std::string& token) const {
    if (m_items.empty()) return kEmpty;
    token = m_items.back();
    return qsk::kOk;
}

QSSTATUS CStringStack::GetAt(int index, std::string& token) const {
    if (index < 0 || index >= GetSize()) return kOutOfRange;
    token = m_items[static_cast<size_t>(index)];
    return qsk::kOk;
}

QSSTATUS CStringStack::SetAt(int index, const std::string& token) {
    if (index < 0 || index >= GetSize()) return kOutOfRange;
    m_items[static_cast<size_t>(index)] = token;
    return qsk::kOk;
}

std::string CStringStack::Join(const std::string& sep) const {
    std::string out;
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (i) out += sep;
        out += m_items[i];
    }
    return out;
}

void CStringStack::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(m_items.size());
        for (const auto& s : m_items) ar << s;
    } else {
        // Read into a copy so a damaged stream leaves the stack as it was.
        std::vector<std::string> items;
        const size_t n = ar.ReadCount(1);  // every string takes at least its length byte
        items.reserve(n);
        for (size_t i = 0; i < n; ++i) items.push_back(ar.ReadStringValue());
        m_items = std::move(items);
    }
}

void CStringStack::Write(KernelWriter& w) const {
    w.U32(static_cast<std::uint32_t>(m_items.size()));
    for (const auto& s : m_items) w.Str(s);
}

void CStringStack::Read(KernelReader& r) {
    const std::uint32_t n = r.Count(4);
    std::vector<std::string> items;
    items.reserve(n);
    for (std::uint32_t i = 0; i < n && !r.Failed(); ++i) items.push_back(r.Str());
    if (!r.Failed()) m_items = std::move(items);
}
