// Shared pieces of the exchange formats and the predecessor's exhibit file
// (docs/kernel/exchange.md).
#include "ProjectExchange.h"

#include <cmath>
#include <cstring>

#include "CAtomicFile.h"
#include "CDataObject.h"
#include "CException.h"
#include "CFile.h"
#include "KernelStream.h"

namespace qsexchange {

void CumulateRow(double* values, const std::uint8_t* present, int count) {
    double sum = 0.0;
    for (int c = 0; c < count; ++c)
        if (present[c]) values[c] = sum += values[c];
}

void DecumulateRow(double* values, const std::uint8_t* present, int count) {
    double previous = 0.0;
    for (int c = 0; c < count; ++c)
        if (present[c]) {
            const double v = values[c];
            values[c] = v - previous;
            previous = v;
        }
}

QSSTATUS WriteFileAtomically(const std::string& path, const void* bytes, std::size_t size) {
    CAtomicFile file;
    if (!file.Open(path)) return kExIo;
    try {
        file.Write(bytes, size);
        file.Commit();
    } catch (const CException&) {
        file.Abort();
        return kExIo;
    }
    return kExOk;
}

QSSTATUS ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone)) return kExIo;
    bytes.clear();
    try {
        std::uint8_t buf[65536];
        for (;;) {
            const std::size_t n = file.Read(buf, sizeof buf);
            if (n == 0) break;
            bytes.insert(bytes.end(), buf, buf + n);
        }
        file.Close();
    } catch (const CException&) {
        file.Abort();
        return kExIo;
    }
    return kExOk;
}

// ---------------------------------------------------------------- predecessor exhibit file
//
//   "05.3" | version u16 (1) | name char[8] | company char[32] |
//   numExp u16 | expLength u16 | firstYear u16 | firstInterval u16 |
//   numDev u16 | devLength u16 | firstDevAge u16 | prior u8 |
//   exhibit count u16 | exhibits | FNV-1a u32 of every byte after the signature
//   but these four
//
// An exhibit: code u8 | layer u8 (1 Net, 2 Direct/Assumed) | for each of the
// numExp x numDev cells row by row: present u8, value f64 (cumulative) |
// has selections u8 | when set, numDev x (present u8, factor f64).

namespace {
constexpr std::uint16_t kPC5Version = 1;
constexpr std::size_t kPC5NameBytes = 8;
constexpr std::size_t kPC5CompanyBytes = 32;

struct PC5Code {
    int code;
    int arrayIndex;
};
// Paid loss, paid ALAE, incurred loss, incurred ALAE, incurred loss and ALAE,
// reported claims: the triangles the predecessor developed.
constexpr PC5Code kPC5Codes[] = {{1, 1}, {2, 2}, {3, 11}, {4, 10}, {5, 16}, {6, 19}};

void PC5FixedText(KernelWriter& w, const std::string& s, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) w.U8(i < s.size() ? static_cast<std::uint8_t>(s[i]) : 0);
}

std::string PC5ReadFixedText(KernelReader& r, std::size_t width) {
    std::string s;
    bool ended = false;
    for (std::size_t i = 0; i < width; ++i) {
        const char c = static_cast<char>(r.U8());
        if (c == 0) ended = true;
        if (!ended) s.push_back(c);
    }
    return s;
}
}  // namespace

int PC5CodeToArrayIndex(int code) {
    for (const PC5Code& c : kPC5Codes)
        if (c.code == code) return c.arrayIndex;
    return 0;
}

int ArrayIndexToPC5Code(int arrayIndex) {
    for (const PC5Code& c : kPC5Codes)
        if (c.arrayIndex == arrayIndex) return c.code;
    return 0;
}

std::vector<std::uint8_t> WritePC5(const ExchangeData& data) {
    const QSStructure& s = data.structure;
    KernelWriter w;
    w.Raw(kPC5Signature, 4);
    w.U16(kPC5Version);
    PC5FixedText(w, data.name, kPC5NameBytes);
    PC5FixedText(w, data.company, kPC5CompanyBytes);
    w.U16(s.numExp);
    w.U16(s.expLength);
    w.U16(s.firstYear);
    w.U16(s.firstInterval);
    w.U16(s.numDev);
    w.U16(s.devLength);
    w.U16(s.firstDevAge);
    w.U8(s.prior ? 1 : 0);
    std::vector<const ExchangeTable*> exhibits;
    for (const ExchangeTable& t : data.tables)
        if (t.kind == 1 && ArrayIndexToPC5Code(t.index) && t.vectorType == CDataObject::VT_TRIANGLE &&
            t.rows == s.numExp && t.cols == s.numDev && (t.layer == 1 || t.layer == 2))
            exhibits.push_back(&t);
    w.U16(static_cast<std::uint16_t>(exhibits.size()));
    for (const ExchangeTable* t : exhibits) {
        w.U8(static_cast<std::uint8_t>(ArrayIndexToPC5Code(t->index)));
        w.U8(static_cast<std::uint8_t>(t->layer));
        std::vector<double> values = t->values;
        if (!data.cumulative)
            for (int r = 0; r < t->rows; ++r)
                CumulateRow(values.data() + r * t->cols, t->present.data() + r * t->cols, t->cols);
        for (std::size_t i = 0; i < values.size(); ++i) {
            w.U8(t->present[i] ? 1 : 0);
            w.F64(t->present[i] ? values[i] : 0.0);
        }
        const ExchangeSelection* sel = nullptr;
        for (const ExchangeSelection& x : data.selections)
            if (x.arrayIndex == t->index && x.layer == t->layer && x.factors.size() == s.numDev) sel = &x;
        w.U8(sel ? 1 : 0);
        if (sel)
            for (std::size_t c = 0; c < sel->factors.size(); ++c) {
                w.U8(sel->present[c] ? 1 : 0);
                w.F64(sel->present[c] ? sel->factors[c] : 0.0);
            }
    }
    w.U32(KernelChecksum(w.Bytes().data() + 4, w.Bytes().size() - 4));
    return std::move(w.Bytes());
}

QSSTATUS ReadPC5(const std::uint8_t* bytes, std::size_t size, ExchangeData& out) {
    if (size < 4) return kExFormat;
    std::uint32_t stored = 0;
    std::memcpy(&stored, bytes + size - 4, 4);
    if (KernelChecksum(bytes, size - 4) != stored) return kExFormat;
    KernelReader r(bytes, size - 4);
    ExchangeData data;
    data.hasEvalExtra = false;
    data.hasCalcLayers = false;
    data.cumulative = true;
    if (r.U16() != kPC5Version) return kExFormat;
    data.name = PC5ReadFixedText(r, kPC5NameBytes);
    data.company = PC5ReadFixedText(r, kPC5CompanyBytes);
    QSStructure& s = data.structure;
    s.numExp = r.U16();
    s.expLength = static_cast<PRDLENGTH>(r.U16());
    s.firstYear = r.U16();
    s.firstInterval = r.U16();
    s.numDev = r.U16();
    s.devLength = static_cast<PRDLENGTH>(r.U16());
    s.firstDevAge = r.U16();
    const std::uint8_t prior = r.U8();
    if (prior > 1) return kExFormat;
    s.prior = prior == 1;
    const std::uint16_t count = r.U16();
    if (r.Failed() || s.numExp == 0 || s.numDev == 0) return kExFormat;
    const std::size_t cells = static_cast<std::size_t>(s.numExp) * s.numDev;
    if (count > r.Left() / (3 + cells * 9)) return kExFormat;
    for (std::uint16_t e = 0; e < count; ++e) {
        ExchangeTable t;
        const int code = r.U8();
        t.kind = 1;
        t.index = PC5CodeToArrayIndex(code);
        t.layer = r.U8();
        if (t.index == 0 || (t.layer != 1 && t.layer != 2)) return kExFormat;
        for (const ExchangeTable& other : data.tables)
            if (other.index == t.index && other.layer == t.layer) return kExFormat;
        t.vectorType = CDataObject::VT_TRIANGLE;
        t.rows = s.numExp;
        t.cols = s.numDev;
        t.values.resize(cells);
        t.present.resize(cells);
        for (std::size_t i = 0; i < cells; ++i) {
            const std::uint8_t p = r.U8();
            const double v = r.F64();
            if (p > 1 || (p && !std::isfinite(v))) return kExFormat;
            t.present[i] = p;
            t.values[i] = p ? v : 0.0;
        }
        const std::uint8_t hasSel = r.U8();
        if (hasSel > 1) return kExFormat;
        if (hasSel) {
            ExchangeSelection sel;
            sel.arrayIndex = t.index;
            sel.layer = t.layer;
            sel.factors.resize(s.numDev);
            sel.present.resize(s.numDev);
            for (int c = 0; c < s.numDev; ++c) {
                const std::uint8_t p = r.U8();
                const double v = r.F64();
                if (p > 1 || (p && !std::isfinite(v))) return kExFormat;
                sel.present[c] = p;
                sel.factors[c] = p ? v : 0.0;
            }
            data.selections.push_back(std::move(sel));
        }
        if (r.Failed()) return kExFormat;
        data.tables.push_back(std::move(t));
    }
    if (r.Failed() || r.Left() != 0) return kExFormat;
    out = std::move(data);
    return kExOk;
}

}  // namespace qsexchange
