// CProject's import and export calls (docs/kernel/exchange.md). A file is
// read completely into ExchangeData and checked against the project before
// anything changes; a project not yet created (or rebuilt by a conversion) is
// assembled on a scratch project and loaded from its stored form, so a
// failure leaves the target as it was.
#include <atomic>
#include <cmath>
#include <cstring>

#include "CArchive.h"
#include "CException.h"
#include "CExhibit.h"
#include "CFile.h"
#include "CProject.h"
#include "MethodTemplates.h"
#include "ProjectExchange.h"
#include "ValueArrays.h"

using namespace qsexchange;

namespace {
std::atomic<int> gExchangePC5DirectLayer{GROSS};
std::atomic<int> gExchangePC5IsAssCalc{0};

int ExchangeDirectLayerSetting() {
    const int l = gExchangePC5DirectLayer.load();
    return l == DIRECT ? DIRECT : GROSS;
}

Widths ExchangeWidths(const CByteArray& a) {
    Widths w(static_cast<std::size_t>(a.GetSize()));
    for (std::size_t i = 0; i < w.size(); ++i) w[i] = a.GetAt(static_cast<INT_PTR>(i));
    return w;
}

std::string ExchangeTitle(const std::string& path) {
    std::string t = path.substr(path.find_last_of("/\\") == std::string::npos ? 0 : path.find_last_of("/\\") + 1);
    const std::size_t dot = t.rfind('.');
    if (dot != std::string::npos && dot > 0) t.resize(dot);
    return t;
}

bool ExchangeIsInputArray(QSID id) {
    const int kind = GetIDDOType(id);
    return (kind == 1 || kind == 2) && GetIDDataType(id) == 0;
}
}  // namespace

// What the exchange code needs of a project beyond its public calls.
class ProjectExchangeAccess {
public:
    struct ExtractOptions {
        bool cumulative = true;
        unsigned short onlyLayer = 0;  // 0: every entered layer
        bool predecessorOnly = false;  // the triangles the predecessor knew, in Net and the direct/assumed layer
        bool enteredOnly = false;      // with predecessorOnly: leave out a calculated one of the two layers
        bool selections = false;
    };

    static ExchangeData Extract(const CProject& p, const ExtractOptions& o);
    // rebuild: the project is built anew from the data (conversion).
    static QSSTATUS Apply(CProject& p, const ExchangeData& d, bool add, bool clear, unsigned short onlyLayer,
                          bool rebuild, bool withExhibits);

private:
    static bool SameStructure(const QSStructure& a, const QSStructure& b, bool withEvalExtra);
    static QSSTATUS Validate(const CProject& p, const ExchangeData& d, bool add);
    // The values a table of the file stores: cumulated when the file holds
    // the increments of a cumulable triangle (obj null: a table the import
    // adds, cumulable when a triangle).
    static std::vector<double> FileValues(const CDataObject* obj, const ExchangeData& d, const ExchangeTable& t);
    static void Write(CProject& p, const ExchangeData& d, bool add, bool clear, unsigned short onlyLayer);
    static void ClearSelecteds(CProject& p);
    static void ResolveKinds(const CProject& p, ExchangeData& d);
    static CExhibit* ExhibitFor(const CProject& p, int arrayIndex, unsigned short layer);
};

// A format that names tables by index alone (ASCII) gives indexes from 501
// as user tables; a system table of that index in the project is meant.
void ProjectExchangeAccess::ResolveKinds(const CProject& p, ExchangeData& d) {
    if (!d.kindsFromIndex) return;
    for (ExchangeTable& t : d.tables)
        if (t.kind == 2 && p.m_store.count(MakeID(1, 1, 0, 0, t.index))) t.kind = 1;
}

CExhibit* ProjectExchangeAccess::ExhibitFor(const CProject& p, int arrayIndex, unsigned short layer) {
    return dynamic_cast<CExhibit*>(p.FindObject(qsmethods::StandardExhibitID(arrayIndex), layer));
}

ExchangeData ProjectExchangeAccess::Extract(const CProject& p, const ExtractOptions& o) {
    ExchangeData d;
    d.name = ExchangeTitle(p.m_fileName);
    d.company = p.m_company;
    d.structure = p.GetStructure();
    d.cumulative = o.cumulative;
    const int directLayer = ExchangeDirectLayerSetting();
    const auto wanted = [&](unsigned short l) {
        if (o.predecessorOnly) return (l == NET || l == directLayer) && !(o.enteredOnly && p.IsLayerCalculated(l));
        if (o.onlyLayer) return l == o.onlyLayer;
        return !p.IsLayerCalculated(l);
    };
    for (const auto& [id, e] : p.m_store) {
        if (!e.layered || !ExchangeIsInputArray(id)) continue;
        if (o.predecessorOnly && (GetIDDOType(id) != 1 || !ArrayIndexToPC5Code(GetIDIndex(id)))) continue;
        for (unsigned short l = 1; l <= kLayerCount; ++l) {
            const auto* obj = dynamic_cast<const CDataObject*>(e.inst[l].get());
            if (!obj || !wanted(l) || !obj->HasAnyValue()) continue;
            if (o.predecessorOnly && obj->GetVectorType() != CDataObject::VT_TRIANGLE) continue;
            ExchangeTable t;
            t.kind = GetIDDOType(id);
            t.index = GetIDIndex(id);
            t.layer = l;
            t.vectorType = obj->GetVectorType();
            t.name = obj->GetIDLongName();
            t.shortName = obj->GetIDShortName();
            obj->GetMaxRowsCols(t.rows, t.cols);
            t.values = obj->Values();
            t.present.resize(t.values.size());
            const auto& flags = obj->Flags();
            for (std::size_t i = 0; i < flags.size(); ++i) {
                t.present[i] = (flags[i] & CDataObject::CF_VALUE) ? 1 : 0;
                if (!t.present[i]) t.values[i] = 0.0;
            }
            if (!o.cumulative && obj->IsCumulable() && t.vectorType == CDataObject::VT_TRIANGLE)
                for (int r = 0; r < t.rows; ++r)
                    DecumulateRow(t.values.data() + static_cast<std::size_t>(r) * t.cols,
                                  t.present.data() + static_cast<std::size_t>(r) * t.cols, t.cols);
            if (o.selections && t.kind == 1 && t.vectorType == CDataObject::VT_TRIANGLE) {
                CExhibit* ex = ExhibitFor(p, t.index, l);
                CDataObject* sdf = nullptr;
                if (ex && ex->GetSDFObject(sdf) == qsk::kOk && sdf && sdf->HasAnyValue()) {
                    ExchangeSelection sel;
                    sel.arrayIndex = t.index;
                    sel.layer = l;
                    sel.factors = sdf->Values();
                    sel.present.resize(sel.factors.size());
                    for (std::size_t i = 0; i < sel.factors.size(); ++i) {
                        sel.present[i] = (sdf->Flags()[i] & CDataObject::CF_VALUE) ? 1 : 0;
                        if (!sel.present[i]) sel.factors[i] = 0.0;
                    }
                    d.selections.push_back(std::move(sel));
                }
            }
            d.tables.push_back(std::move(t));
        }
    }
    return d;
}

bool ProjectExchangeAccess::SameStructure(const QSStructure& a, const QSStructure& b, bool withEvalExtra) {
    return a.numExp == b.numExp && a.expLength == b.expLength && a.firstYear == b.firstYear &&
           a.firstInterval == b.firstInterval && a.numDev == b.numDev && a.devLength == b.devLength &&
           a.firstDevAge == b.firstDevAge && a.prior == b.prior && (!withEvalExtra || a.evalExtra == b.evalExtra);
}

std::vector<double> ProjectExchangeAccess::FileValues(const CDataObject* obj, const ExchangeData& d,
                                                     const ExchangeTable& t) {
    std::vector<double> file = t.values;
    const bool cumulable = obj ? obj->IsCumulable() : t.vectorType == CDataObject::VT_TRIANGLE;
    if (!d.cumulative && cumulable && t.vectorType == CDataObject::VT_TRIANGLE)
        for (int r = 0; r < t.rows; ++r)
            CumulateRow(file.data() + static_cast<std::size_t>(r) * t.cols,
                        t.present.data() + static_cast<std::size_t>(r) * t.cols, t.cols);
    return file;
}

QSSTATUS ProjectExchangeAccess::Validate(const CProject& p, const ExchangeData& d, bool add) {
    const std::vector<std::uint16_t> stairs = p.m_periods.Staircase();
    std::map<QSID, const ExchangeTable*> created;
    for (const ExchangeTable& t : d.tables) {
        const bool kindOk = (t.kind == 1 && t.index >= 1 && t.index <= 999) ||
                            (t.kind == 2 && t.index >= qsk::kFirstUserIndex && t.index <= qsk::kLastUserIndex);
        if (!kindOk || t.layer < 1 || t.layer > kLayerCount || p.IsLayerCalculated(t.layer)) return kExTarget;
        const QSID base = MakeID(t.kind, 1, 0, 0, t.index);
        const std::size_t cells = static_cast<std::size_t>(t.rows) * t.cols;
        if (t.values.size() != cells || t.present.size() != cells) return kExFormat;
        auto it = p.m_store.find(base);
        const CDataObject* existing =
            it != p.m_store.end() ? dynamic_cast<const CDataObject*>(it->second.inst[t.layer].get()) : nullptr;
        // Every value the import stores must be finite: a file's own numbers
        // are checked by its reader, but running sums of increments and sums
        // with the project's values can still overflow.
        const std::vector<double> file = FileValues(existing, d, t);
        for (std::size_t i = 0; i < cells; ++i) {
            if (!t.present[i]) continue;
            if (!std::isfinite(file[i])) return kExOverflow;
            if (add && existing && i < existing->Values().size() && (existing->Flags()[i] & CDataObject::CF_VALUE) &&
                !std::isfinite(existing->Values()[i] + file[i]))
                return kExOverflow;
        }
        if (it != p.m_store.end()) {
            const auto* obj = existing;
            if (!it->second.layered || !obj || obj->IsReadOnly()) return kExTarget;
            std::uint16_t rows = 0, cols = 0;
            obj->GetMaxRowsCols(rows, cols);
            if (obj->GetVectorType() != t.vectorType || rows != t.rows || cols != t.cols) return kExStructure;
            for (int r = 0; r < t.rows; ++r)
                for (int c = 0; c < t.cols; ++c)
                    if (t.present[static_cast<std::size_t>(r) * t.cols + c] && !obj->LocationIsValid(r, c))
                        return kExStructure;
            continue;
        }
        // A table the project does not hold is added under its names.
        auto [prev, fresh] = created.emplace(base, &t);
        if (!fresh) {
            if (prev->second->vectorType != t.vectorType || prev->second->name != t.name) return kExFormat;
        } else {
            if (t.name.empty() || !p.IsNameUnique(t.name, qsk::kCatInput, 0) ||
                (!t.shortName.empty() && !p.IsNameUnique(t.shortName, qsk::kCatInput, 0)))
                return kExTarget;
            for (const auto& [otherBase, other] : created)
                if (otherBase != base && (other->name == t.name)) return kExTarget;
        }
        const std::uint16_t wantRows = t.vectorType == CDataObject::VT_ROW ? 1 : p.GetStructure().numExp;
        const std::uint16_t wantCols = t.vectorType == CDataObject::VT_COLUMN ? 1 : p.GetStructure().numDev;
        if (t.vectorType < 0 || t.vectorType > 2 || t.rows != wantRows || t.cols != wantCols) return kExStructure;
        if (t.vectorType == CDataObject::VT_TRIANGLE)
            for (int r = 0; r < t.rows; ++r)
                for (int c = stairs[r]; c < t.cols; ++c)
                    if (t.present[static_cast<std::size_t>(r) * t.cols + c]) return kExStructure;
    }
    for (const ExchangeSelection& s : d.selections) {
        if (s.layer < 1 || s.layer > kLayerCount || p.IsLayerCalculated(s.layer)) return kExTarget;
        // Selections for an exhibit the project does not have stay behind
        // (the project has nowhere to keep them).
        CExhibit* ex = ExhibitFor(p, s.arrayIndex, s.layer);
        CDataObject* sdf = nullptr;
        if (!ex || ex->GetSDFObject(sdf) != qsk::kOk || !sdf) continue;
        std::uint16_t rows = 0, cols = 0;
        sdf->GetMaxRowsCols(rows, cols);
        if (rows != 1 || cols != s.factors.size() || s.present.size() != s.factors.size()) return kExStructure;
        for (std::size_t i = 0; i < s.factors.size(); ++i)
            if (s.present[i] && !std::isfinite(s.factors[i])) return kExFormat;
    }
    return kExOk;
}

void ProjectExchangeAccess::ClearSelecteds(CProject& p) {
    for (auto& [id, e] : p.m_store) {
        const bool input = ExchangeIsInputArray(id);
        const int index = GetIDIndex(id);
        // Method variables are the system arrays beyond the template's data
        // (user tables are the user's data and stay).
        const bool methodVar = input && GetIDDOType(id) == 1 && index > 103 && e.subgroup != qsk::kNodeAdjustments;
        const bool selectedUlt = input && GetIDDOType(id) == 1 && index >= CProject::kFirstSelectedUltimate &&
                                 index < CProject::kFirstSelectedUltimate + CProject::kUltimateCount;
        for (unsigned short l = 0; l <= kLayerCount; ++l) {
            CFormula* f = e.inst[l].get();
            if (!f || (l && p.IsLayerCalculated(l))) continue;
            if (auto* ex = dynamic_cast<CExhibit*>(f)) {
                CDataObject* sdf = nullptr;
                if (ex->GetSDFObject(sdf) == qsk::kOk && sdf && sdf->HasAnyValue())
                    sdf->SetAllCells(std::vector<double>(sdf->Values().size(), 0.0),
                                     std::vector<std::uint8_t>(sdf->Flags().size(), CDataObject::CF_BLANK), 1);
            } else if (auto* d = dynamic_cast<CDataObject*>(f);
                       d && !d->IsReadOnly() && (methodVar || selectedUlt || e.subgroup == qsk::kCatSDF)) {
                d->RemoveAll();
            }
        }
    }
}

void ProjectExchangeAccess::Write(CProject& p, const ExchangeData& d, bool add, bool clear,
                                  unsigned short onlyLayer) {
    if (clear) ClearSelecteds(p);
    if (!add) {
        for (auto& [id, e] : p.m_store) {
            if (!e.layered || !ExchangeIsInputArray(id)) continue;
            for (unsigned short l = 1; l <= kLayerCount; ++l) {
                auto* obj = dynamic_cast<CDataObject*>(e.inst[l].get());
                if (!obj || p.IsLayerCalculated(l) || (onlyLayer && l != onlyLayer) || !obj->HasAnyValue()) continue;
                obj->RemoveAll();
            }
        }
    }
    for (const ExchangeTable& t : d.tables) {
        const QSID base = MakeID(t.kind, 1, 0, 0, t.index);
        if (!p.IDExists(base)) {
            CDataObject proto;
            proto.SetIDLongName(t.name);
            proto.SetIDShortName(t.shortName.empty() ? t.name.substr(0, 8) : t.shortName);
            proto.SetVectorType(t.vectorType);
            proto.SetCumulable(t.vectorType == CDataObject::VT_TRIANGLE);
            QSID id = t.index;
            if (p.AddNewObject(proto, id, t.kind == 2 ? 1 : 0) != qsk::kOk) continue;
        }
        CDataObject* obj = p.FindDataObject(base, t.layer);
        if (!obj) continue;
        const std::vector<double> file = FileValues(obj, d, t);
        std::vector<double> values = obj->Values();
        std::vector<std::uint8_t> flags = obj->Flags();
        for (std::size_t i = 0; i < file.size() && i < values.size(); ++i) {
            if (!t.present[i]) continue;
            const bool had = (flags[i] & CDataObject::CF_VALUE) != 0;
            values[i] = add && had ? values[i] + file[i] : file[i];
            flags[i] = static_cast<std::uint8_t>(
                (flags[i] & ~(CDataObject::CF_VALUE | CDataObject::CF_BLANK | CDataObject::CF_NOTAVAIL)) |
                CDataObject::CF_VALUE);
        }
        obj->SetAllCells(values, flags, 1);
    }
    for (const ExchangeSelection& s : d.selections) {
        CExhibit* ex = ExhibitFor(p, s.arrayIndex, s.layer);
        CDataObject* sdf = nullptr;
        if (!ex || ex->GetSDFObject(sdf) != qsk::kOk || !sdf) continue;
        std::vector<double> values = sdf->Values();
        std::vector<std::uint8_t> flags = sdf->Flags();
        for (std::size_t i = 0; i < values.size() && i < s.factors.size(); ++i) {
            if (!s.present[i]) continue;
            values[i] = s.factors[i];
            flags[i] = static_cast<std::uint8_t>(
                (flags[i] & ~(CDataObject::CF_VALUE | CDataObject::CF_BLANK | CDataObject::CF_NOTAVAIL)) |
                CDataObject::CF_VALUE);
        }
        sdf->SetAllCells(values, flags, 1);
    }
    p.m_modified = true;
}

QSSTATUS ProjectExchangeAccess::Apply(CProject& p, const ExchangeData& given, bool add, bool clear,
                                      unsigned short onlyLayer, bool rebuild, bool withExhibits) {
    ExchangeData resolved;
    const ExchangeData* dp = &given;
    if (given.kindsFromIndex) {
        resolved = given;
        dp = &resolved;
    }
    const ExchangeData& d = *dp;
    if (p.m_created && !rebuild) {
        if (given.kindsFromIndex) ResolveKinds(p, resolved);
        if (!SameStructure(p.GetStructure(), d.structure, d.hasEvalExtra)) return kExStructure;
        const QSSTATUS st = Validate(p, d, add);
        if (st != kExOk) return st;
        Write(p, d, add, clear, onlyLayer);
        return kExOk;
    }
    // Built on a scratch project, then taken over whole.
    CProject scratch;
    QSStructure s = d.structure;
    if (!d.hasCalcLayers) {
        s.calc1 = p.GetStructure().calc1;
        s.calc2 = p.GetStructure().calc2;
    }
    std::uint16_t gen = 5, numExp = s.numExp, firstYear = s.firstYear, firstInterval = s.firstInterval,
                  numDev = s.numDev, firstAge = s.firstDevAge;
    PRDLENGTH expLength = s.expLength, devLength = s.devLength;
    LAYERNAMES c1 = s.calc1, c2 = s.calc2;
    scratch.SetIncludesPrior(s.prior);
    if (scratch.Create(gen, numExp, expLength, firstYear, firstInterval, numDev, devLength, firstAge, c1, c2) !=
        qsk::kOk)
        return kExStructure;
    if (d.hasEvalExtra && s.evalExtra) {
        if (s.evalExtra % s.expLength) return kExStructure;
        int growRows = 0, growCols = 0, clearSel = 0, count = s.evalExtra / s.expLength;
        if (scratch.AppendNewEvaluation(growRows, growCols, clearSel, count) != qsk::kOk) return kExStructure;
    }
    if (withExhibits || !d.selections.empty())
        if (qsmethods::AddStandardExhibitsAndMethods(scratch) != qsk::kOk) return kExTarget;
    scratch.m_company = d.company;
    if (given.kindsFromIndex) ResolveKinds(scratch, resolved);
    const QSSTATUS st = Validate(scratch, d, false);
    if (st != kExOk) return st;
    Write(scratch, d, false, false, onlyLayer);
    const std::vector<std::uint8_t> bytes = scratch.SaveProject();
    const QSSTATUS ls = p.LoadProject(bytes.data(), bytes.size());
    if (ls != CProject::LS_OK) return kExFormat;
    if (rebuild) p.m_graphs.Records().clear();
    p.m_modified = true;
    return kExOk;
}

// ---------------------------------------------------------------- the calls

QSSTATUS CProject::ImportWK1(const std::string& path, int cumulative, int add, int clearSelecteds) {
    std::vector<std::uint8_t> bytes;
    QSSTATUS st = ReadWholeFile(path, bytes);
    if (st != kExOk) return st;
    ExchangeData d;
    st = ReadWk1(bytes.data(), bytes.size(), d);
    if (st != kExOk) return st;
    // The caller's choice says how the cumulable triangles are to be read.
    d.cumulative = cumulative != 0;
    return ProjectExchangeAccess::Apply(*this, d, add != 0, clearSelecteds != 0, 0, false, false);
}

QSSTATUS CProject::ExportWK1(const std::string& path, int cumulative, int usePC5Format) const {
    if (!m_created) return qsk::kFail;
    ProjectExchangeAccess::ExtractOptions o;
    o.cumulative = cumulative != 0;
    o.predecessorOnly = usePC5Format != 0;
    o.enteredOnly = true;
    o.selections = usePC5Format != 0;
    std::vector<std::uint8_t> bytes;
    const QSSTATUS st = WriteWk1(ProjectExchangeAccess::Extract(*this, o), bytes);
    if (st != kExOk) return st;
    return WriteFileAtomically(path, bytes.data(), bytes.size());
}

QSSTATUS CProject::ImportAscii(const std::string& path, int layer, int cumulative, const CByteArray& headerWidths,
                               const CByteArray& dataWidths, int add, int clearSelecteds) {
    if (layer < 1 || layer > kLayerCount) return kExTarget;
    std::vector<std::uint8_t> bytes;
    QSSTATUS st = ReadWholeFile(path, bytes);
    if (st != kExOk) return st;
    ExchangeData d;
    st = ReadAscii(std::string(bytes.begin(), bytes.end()), ExchangeWidths(headerWidths), ExchangeWidths(dataWidths),
                   static_cast<unsigned short>(layer), d);
    if (st != kExOk) return st;
    d.cumulative = cumulative != 0;
    return ProjectExchangeAccess::Apply(*this, d, add != 0, clearSelecteds != 0, static_cast<unsigned short>(layer),
                                        false, false);
}

QSSTATUS CProject::ExportAscii(const std::string& path, int layer, int cumulative, const CByteArray& headerWidths,
                               const CByteArray& dataWidths) const {
    if (!m_created) return qsk::kFail;
    if (layer < 1 || layer > kLayerCount) return kExTarget;
    ProjectExchangeAccess::ExtractOptions o;
    o.cumulative = cumulative != 0;
    o.onlyLayer = static_cast<unsigned short>(layer);
    std::string text;
    const QSSTATUS st = WriteAscii(ProjectExchangeAccess::Extract(*this, o), ExchangeWidths(headerWidths),
                                   ExchangeWidths(dataWidths), text);
    if (st != kExOk) return st;
    return WriteFileAtomically(path, text.data(), text.size());
}

QSSTATUS CProject::ImportExtAscii(CFile& file, std::uint64_t endOffset, int add, int clearSelecteds) {
    std::string text;
    try {
        const std::uint64_t from = file.GetPosition(), length = file.GetLength();
        const std::uint64_t to = endOffset ? endOffset : length;
        if (to < from || to > length) return kExFormat;
        text.resize(static_cast<std::size_t>(to - from));
        std::size_t got = 0;
        while (got < text.size()) {
            const std::size_t n = file.Read(text.data() + got, text.size() - got);
            if (n == 0) break;
            got += n;
        }
        if (got != text.size()) return kExIo;
    } catch (const CException&) {
        return kExIo;
    }
    ExchangeData d;
    const QSSTATUS st = ReadExtAscii(text, d);
    if (st != kExOk) return st;
    return ProjectExchangeAccess::Apply(*this, d, add != 0, clearSelecteds != 0, 0, false, false);
}

QSSTATUS CProject::ExportExtAscii(CFile& file, int cumulative) const {
    if (!m_created) return qsk::kFail;
    ProjectExchangeAccess::ExtractOptions o;
    o.cumulative = cumulative != 0;
    o.selections = true;
    std::string text = WriteExtAscii(ProjectExchangeAccess::Extract(*this, o));
    try {
        // After other bytes (a file header of zero bytes, or an earlier
        // project) the records start on a line of their own, so a scanner
        // reading lines finds the project record at its start.
        if (file.GetPosition() > 0) text.insert(0, "\r\n");
        file.Write(text.data(), text.size());
    } catch (const CException&) {
        return kExIo;
    }
    return kExOk;
}

QSSTATUS CProject::ImportPC5(CFile& file) {
    std::vector<std::uint8_t> bytes;
    try {
        std::uint8_t buf[65536];
        for (;;) {
            const std::size_t n = file.Read(buf, sizeof buf);
            if (n == 0) break;
            bytes.insert(bytes.end(), buf, buf + n);
        }
    } catch (const CException&) {
        return LS_CONVERSION;
    }
    return ImportPC5(bytes.data(), bytes.size());
}

QSSTATUS CProject::ImportPC5(const std::uint8_t* data, std::size_t size) {
    ExchangeData d;
    if (ReadPC5(data, size, d) != kExOk) return LS_CONVERSION;
    // The predecessor's two layers: Net, and direct/assumed into the layer
    // the settings name. The Ceded layer is calculated; the second relation
    // follows the assumed-calculated choice.
    const int direct = ExchangeDirectLayerSetting();
    const bool assumedCalc = gExchangePC5IsAssCalc.load() != 0;
    for (ExchangeTable& t : d.tables) t.layer = static_cast<unsigned short>(t.layer == 1 ? int(NET) : direct);
    for (ExchangeSelection& s : d.selections) s.layer = static_cast<unsigned short>(s.layer == 1 ? int(NET) : direct);
    d.structure.calc1 = CEDED;
    d.structure.calc2 = assumedCalc ? ASSUMED : (direct == GROSS ? DIRECT : GROSS);
    d.hasCalcLayers = true;
    if (ProjectExchangeAccess::Apply(*this, d, false, false, 0, true, true) != kExOk) return LS_CONVERSION;
    m_pc5DirectLayer = direct;
    m_pc5IsAssCalc = assumedCalc ? 1 : 0;
    m_loadStatus = LS_OK;
    return qsk::kOk;
}

QSSTATUS CProject::ExportPC5(const std::string& path) const {
    if (!m_created) return qsk::kFail;
    ProjectExchangeAccess::ExtractOptions o;
    o.cumulative = true;
    o.predecessorOnly = true;
    o.selections = true;
    ExchangeData d = ProjectExchangeAccess::Extract(*this, o);
    for (ExchangeTable& t : d.tables) t.layer = static_cast<unsigned short>(t.layer == NET ? 1 : 2);
    for (ExchangeSelection& s : d.selections) s.layer = static_cast<unsigned short>(s.layer == NET ? 1 : 2);
    const std::vector<std::uint8_t> bytes = WritePC5(d);
    return WriteFileAtomically(path, bytes.data(), bytes.size());
}

void CProject::GetPC5DirectLayer(int& layer) { layer = gExchangePC5DirectLayer.load(); }
void CProject::SetPC5DirectLayer(int layer) { gExchangePC5DirectLayer.store(layer == DIRECT ? DIRECT : GROSS); }
void CProject::GetPC5IsAssCalc(int& on) { on = gExchangePC5IsAssCalc.load(); }
void CProject::SetPC5IsAssCalc(int on) { gExchangePC5IsAssCalc.store(on ? 1 : 0); }
