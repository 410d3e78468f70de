#include "CFSLib.h"

#include <algorithm>
#include <cstring>

#include "CArchive.h"
#include "CAtomicFile.h"
#include "CException.h"
#include "CFile.h"
#include "KernelStream.h"

namespace {
constexpr char kDflMagic[4] = {'Q', 'D', 'F', 'L'};

bool DflSameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x < 128) x = static_cast<unsigned char>(std::tolower(x));
        if (y < 128) y = static_cast<unsigned char>(std::tolower(y));
        if (x != y) return false;
    }
    return true;
}

}  // namespace

CFSLib::CFSLib(const CFSLib& other) { *this = other; }

CFSLib& CFSLib::operator=(const CFSLib& other) {
    if (this == &other) return *this;
    m_name = other.m_name;
    m_description = other.m_description;
    m_id = other.m_id;
    m_sets.clear();
    for (const auto& s : other.m_sets) m_sets.push_back(std::make_unique<CFactorSet>(*s));
    return *this;
}

CFSLib::~CFSLib() = default;

std::vector<std::unique_ptr<CFactorSet>>::iterator CFSLib::Find(const std::string& name) {
    return std::find_if(m_sets.begin(), m_sets.end(), [&](const auto& s) { return DflSameName(s->GetName(), name); });
}

QSSTATUS CFSLib::GetFactorSetNames(QSStringArray& names) const {
    names.clear();
    for (const auto& s : m_sets) names.push_back(s->GetName());
    return qsk::kOk;
}

QSSTATUS CFSLib::GetFactorSet(const std::string& name, CFactorSet*& set) {
    set = nullptr;
    auto it = Find(name);
    if (it == m_sets.end()) return qsk::kUnknownId;
    set = it->get();
    return qsk::kOk;
}

QSSTATUS CFSLib::AddFactorSet(const CFactorSet& set) {
    if (set.GetName().empty()) return qsk::kFail;
    if (Find(set.GetName()) != m_sets.end()) return qsk::kNameTaken;
    m_sets.push_back(std::make_unique<CFactorSet>(set));
    return qsk::kOk;
}

QSSTATUS CFSLib::RemoveFactorSet(const std::string& setName, const std::string&) {
    auto it = Find(setName);
    if (it == m_sets.end()) return qsk::kUnknownId;
    m_sets.erase(it);
    return qsk::kOk;
}

QSSTATUS CFSLib::SetFSName(const std::string& oldName, const std::string& newName) {
    auto it = Find(oldName);
    if (it == m_sets.end()) return qsk::kUnknownId;
    if (newName.empty()) return qsk::kFail;
    auto other = Find(newName);
    if (other != m_sets.end() && other != it) return qsk::kNameTaken;
    (*it)->SetName(newName);
    return qsk::kOk;
}

void CFSLib::Redim(bool clear, const std::uint16_t& count, const PRDLENGTH& length, const std::uint16_t& first) {
    for (auto& s : m_sets) s->Redim(clear, count, length, first);
}

void CFSLib::Clear() {
    for (auto& s : m_sets) s->ClearFactorSet();
}

std::vector<std::uint8_t> CFSLib::ToBytes() const {
    KernelWriter body;
    body.Str(m_name);
    body.Str(m_description);
    body.U32(static_cast<std::uint32_t>(m_sets.size()));
    for (const auto& s : m_sets) s->Write(body);

    KernelWriter w;
    w.Raw(kDflMagic, 4);
    w.U32(kFormatVersion);
    w.Blob(body.Bytes());
    w.U32(KernelChecksum(body.Bytes().data(), body.Bytes().size()));
    return std::move(w.Bytes());
}

QSSTATUS CFSLib::FromBytes(const std::vector<std::uint8_t>& bytes) {
    KernelReader r(bytes);
    char magic[4] = {};
    r.Raw(magic, 4);
    if (r.Failed() || std::memcmp(magic, kDflMagic, 4) != 0) return kDamaged;
    const std::uint32_t version = r.U32();
    if (r.Failed()) return kDamaged;
    if (version > kFormatVersion) return kNewer;
    if (version < 1) return kDamaged;
    const std::vector<std::uint8_t> body = r.Blob();
    const std::uint32_t sum = r.U32();
    if (r.Failed() || r.Left() != 0 || sum != KernelChecksum(body.data(), body.size())) return kDamaged;

    KernelReader b(body);
    CFSLib lib;
    lib.m_name = b.Str();
    lib.m_description = b.Str();
    const std::uint32_t count = b.U32();
    // A set takes at least 22 bytes (two string counts, the shape, a row count).
    if (b.Failed() || count > b.Left() / 22) return kDamaged;
    for (std::uint32_t i = 0; i < count; ++i) {
        CFactorSet set;
        if (!set.Read(b)) return kDamaged;
        if (lib.AddFactorSet(set) != qsk::kOk) return kDamaged;
    }
    if (b.Failed() || b.Left() != 0) return kDamaged;
    lib.m_id = m_id;
    *this = std::move(lib);
    return qsk::kOk;
}

void CFSLib::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        const auto bytes = ToBytes();
        ar.Write(bytes.data(), bytes.size());
        return;
    }
    const std::uint64_t left = ar.GetBytesRemaining();
    // A library is read whole; anything that cannot be one is refused first.
    if (left > (std::uint64_t{1} << 31)) throw CArchiveException(CArchiveException::genericException, "library too large");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(left));
    ar.ReadExact(bytes.data(), bytes.size());
    const QSSTATUS st = FromBytes(bytes);
    if (st == kNewer) throw CArchiveException(CArchiveException::badSchema, "factor library of a newer version");
    if (st != qsk::kOk) throw CArchiveException(CArchiveException::genericException, "damaged factor library");
}

QSSTATUS CFSLib::LoadFile(const std::string& path) {
    try {
        CFile f;
        if (!f.Open(path, CFile::modeRead | CFile::shareDenyNone)) return kCannotOpen;
        const std::uint64_t n = f.GetLength();
        if (n > (std::uint64_t{1} << 31)) return kDamaged;
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
        if (n && f.Read(bytes.data(), bytes.size()) != bytes.size()) return kCannotOpen;
        f.Close();
        return FromBytes(bytes);
    } catch (const CException&) {
        return kCannotOpen;
    }
}

QSSTATUS CFSLib::SaveFile(const std::string& path) const {
    try {
        CAtomicFile f;
        if (!f.Open(path)) return kCannotOpen;
        const auto bytes = ToBytes();
        f.Write(bytes.data(), bytes.size());
        f.Commit();
        return qsk::kOk;
    } catch (const CException&) {
        return kCannotOpen;
    }
}
