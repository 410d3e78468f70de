// The stored form of a project (docs/kernel/storage.md).
//
// "QS1":            "QSKP" | generation u32 | body length u32 | body | FNV-1a u32 of the body
// "GraphData":      "QSGD" | 1 u32 | count u32 | (id i32, blob)*  (graph records, docs/kernel/graphs.md)
// "DefGraphStyles": "QSGS" | 1 u32 | count u32 | (key i32, blob)*  (keys 1..6: the default style names)
//
// Loading checks the frame first (magic, generation, length, checksum), then
// parses the body into fresh containers and only then replaces the project's
// contents, so a damaged stream leaves the project as it was.
#include <cstring>

#include "CArchive.h"
#include "CExhibit.h"
#include "CGraph.h"
#include "CProject.h"
#include "FloodFill.h"
#include "SummaryReports.h"
#include "KernelStream.h"

namespace {
constexpr char kStorageProjectMagic[4] = {'Q', 'S', 'K', 'P'};
constexpr char kStorageGraphMagic[4] = {'Q', 'S', 'G', 'D'};
constexpr char kStorageStyleMagic[4] = {'Q', 'S', 'G', 'S'};

// Everything an archive still holds; a file error ends the read early, which
// the frame check then reports as damage.
std::vector<std::uint8_t> StorageReadRest(CArchive& ar) {
    std::vector<std::uint8_t> all;
    std::uint8_t buf[65536];
    try {
        for (;;) {
            const std::size_t n = ar.Read(buf, sizeof buf);
            if (n == 0) break;
            all.insert(all.end(), buf, buf + n);
        }
    } catch (const CException&) {
    }
    return all;
}

void StorageWriteAll(CArchive& ar, const std::vector<std::uint8_t>& bytes) { ar.Write(bytes.data(), bytes.size()); }

std::unique_ptr<CFormula> StorageMakeObject(int tag) {
    switch (tag) {
    case 0: return std::make_unique<CFormula>();
    case 1: return std::make_unique<CDataObject>();
    case 2: return std::make_unique<CScalar>();
    default: return CFormula::CreateFromTag(tag);
    }
}

// Whether a record's class can live under its id: what an object is to the
// rest of the project (its column references, ultimates, categories) comes
// from the id's kind, so a method filed under an array's id would be
// recalculated into something else on every load and never save back to
// what was loaded.
bool StorageClassFitsID(const CFormula& obj, QSID id) {
    const int kind = GetIDDOType(id);
    if (dynamic_cast<const CMethod*>(&obj) || dynamic_cast<const CExhibit*>(&obj)) return kind == 3 || kind == 4;
    if (dynamic_cast<const CDataObject*>(&obj)) return kind == 1 || kind == 2;
    if (dynamic_cast<const CScalar*>(&obj)) return kind == 5 || kind == 6;
    return true;
}

void StorageWriteFont(KernelWriter& w, const CLOGFONT& f) {
    std::vector<std::uint8_t> b;
    f.Store(b);
    w.Raw(b.data(), b.size());
}

bool StorageReadFont(KernelReader& r, CLOGFONT& f) {
    std::uint8_t b[CLOGFONT::kStreamSize];
    r.Raw(b, sizeof b);
    return !r.Failed() && f.Load(b, sizeof b);
}

std::vector<std::uint8_t> StorageFrame(const char magic[4], std::uint32_t generation, const KernelWriter& body) {
    KernelWriter w;
    w.Reserve(body.Bytes().size() + 16);
    w.Raw(magic, 4);
    w.U32(generation);
    w.U32(static_cast<std::uint32_t>(body.Bytes().size()));
    w.Raw(body.Bytes().data(), body.Bytes().size());
    w.U32(KernelChecksum(body.Bytes().data(), body.Bytes().size()));
    return w.Bytes();
}

// Checks magic, length and checksum; gives the body. 2 for a foreign or
// newer stream, 1 for a damaged one.
QSSTATUS StorageUnframe(const std::uint8_t* data, std::size_t size, const char magic[4], std::uint32_t newest,
                        std::uint32_t& generation, const std::uint8_t*& body, std::size_t& bodySize) {
    if (!data || size < 4) return CProject::LS_DAMAGED;
    if (std::memcmp(data, magic, 4) != 0) return CProject::LS_UNSUPPORTED;
    KernelReader r(data + 4, size - 4);
    generation = r.U32();
    const std::uint32_t len = r.U32();
    if (r.Failed()) return CProject::LS_DAMAGED;
    if (generation == 0 || generation > newest) return CProject::LS_UNSUPPORTED;
    if (static_cast<std::size_t>(len) + 4 > r.Left()) return CProject::LS_DAMAGED;
    body = data + 12;
    bodySize = len;
    std::uint32_t sum = 0;
    std::memcpy(&sum, body + len, 4);
    if (sum != KernelChecksum(body, len)) return CProject::LS_DAMAGED;
    return CProject::LS_OK;
}
}  // namespace

void CProject::WriteBody(KernelWriter& w, std::uint32_t generation) const {
    const QSStructure& shape = m_periods.Structure();
    const QSDisplayDefaults& numbers = m_display.Numbers();
    // Structure.
    w.U16(shape.numExp);
    w.U16(shape.expLength);
    w.U16(shape.firstYear);
    w.U16(shape.firstInterval);
    w.U16(shape.numDev);
    w.U16(shape.devLength);
    w.U16(shape.firstDevAge);
    w.U16(shape.calc1);
    w.U16(shape.calc2);
    w.U8(shape.prior ? 1 : 0);
    w.U16(shape.evalExtra);
    w.U32(static_cast<std::uint32_t>(m_periods.Dates().size()));
    for (double d : m_periods.Dates()) w.F64(d);
    w.U32(static_cast<std::uint32_t>(m_periods.Ages().size()));
    for (int a : m_periods.Ages()) w.I32(a);
    w.U32(static_cast<std::uint32_t>(m_periods.StairAges().size()));
    for (int a : m_periods.StairAges()) w.I32(a);
    // Labels.
    w.Str(m_display.DatesFormat());
    w.Str(m_display.PeriodLabel());
    w.I32(m_display.ExhibitLabelFormat());
    w.U32(static_cast<std::uint32_t>(m_display.HistLabels().size()));
    for (const auto& s : m_display.HistLabels()) w.Str(s);
    // Display.
    CFormula::Write(w);
    w.Str(numbers.currency);
    w.I32(numbers.currencyPosition);
    w.Str(numbers.negSymbol);
    w.I32(numbers.negLeading);
    w.I32(numbers.negRed);
    w.U8(static_cast<std::uint8_t>(numbers.thousands));
    w.U8(static_cast<std::uint8_t>(numbers.decimal));
    w.I32(numbers.useThousands);
    StorageWriteFont(w, m_display.DataFont());
    StorageWriteFont(w, m_display.HeadingsFont());
    w.Blob(m_display.PageSetup().ToBytes());
    // Properties.
    w.Str(m_company);
    w.Str(m_description);
    w.Str(m_comment);
    w.F64(m_asOfSerial);
    w.I32(m_pc5DirectLayer);
    w.I32(m_pc5IsAssCalc);
    // Navigator nodes.
    w.U32(static_cast<std::uint32_t>(m_tree.Nodes().size()));
    for (const auto& [id, n] : m_tree.Nodes()) {
        w.I32(id);
        w.I32(n.parent);
        w.Str(n.name);
    }
    // Objects: each instance as a blob behind its tag, so a reader can step
    // over what it does not know.
    // Kept graphs go to "GraphData", not here.
    auto storedHere = [](const ObjectEntry& e) { return !dynamic_cast<const CGraph*>(e.inst[0].get()); };
    std::uint32_t stored = 0;
    for (const auto& [id, e] : m_store) stored += storedHere(e) ? 1 : 0;
    w.U32(stored);
    for (const auto& [id, e] : m_store) {
        if (!storedHere(e)) continue;
        w.I32(id);
        w.I32(e.subgroup);
        w.U8(e.layered ? 1 : 0);
        const CFormula* any = nullptr;
        for (const auto& inst : e.inst)
            if (inst) { any = inst.get(); break; }
        w.Str(any ? any->GetIDLongName() : std::string());
        w.Str(any ? any->GetIDShortName() : std::string());
        std::uint8_t mask = 0;
        for (unsigned short l = 0; l <= kLayerCount; ++l)
            if (e.inst[l]) mask = static_cast<std::uint8_t>(mask | (1u << l));
        w.U8(mask);
        for (unsigned short l = 0; l <= kLayerCount; ++l) {
            if (!e.inst[l]) continue;
            w.I32(e.inst[l]->GetStorageTag());
            const std::size_t at = w.BeginBlob();
            e.inst[l]->Write(w);
            w.EndBlob(at);
        }
    }
    // Added in generation 2: the navigator's show list.
    if (generation >= 2) {
        w.U32(static_cast<std::uint32_t>(m_tree.ShowItems().size()));
        for (QSID id : m_tree.ShowItems()) w.I32(id);
    }
    // Added in generation 3: the flood-fill rules.
    if (generation >= 3) w.Blob(qsff::SaveRules(m_sdfFloodFill, m_interpFloodFill));
    // Added in generation 4: the project-wide exhibit settings.
    if (generation >= 4) w.Blob(m_exhibitSettings.Save());
    // Added in generation 5: summary report options and ultimates flood fill options.
    if (generation >= 5) w.Blob(qssummary::SaveState(m_summaryRpt, m_ultFloodFill));
}

QSSTATUS CProject::ReadBody(KernelReader& r, std::uint32_t generation) {
    QSStructure s;
    s.numExp = r.U16();
    s.expLength = static_cast<PRDLENGTH>(r.U16());
    s.firstYear = r.U16();
    s.firstInterval = r.U16();
    s.numDev = r.U16();
    s.devLength = static_cast<PRDLENGTH>(r.U16());
    s.firstDevAge = r.U16();
    s.calc1 = static_cast<LAYERNAMES>(r.U16());
    s.calc2 = static_cast<LAYERNAMES>(r.U16());
    s.prior = r.U8() != 0;
    s.evalExtra = r.U16();
    if (r.Failed()) return LS_DAMAGED;
    if (ValidateStructure(s) != qsk::kOk || s.evalExtra > 1200) return LS_DAMAGED;
    std::vector<double> dates(r.Count(8));
    for (double& d : dates) d = r.F64();
    std::vector<int> ages(r.Count(4));
    for (int& a : ages) a = r.I32();
    std::vector<int> stairAges(r.Count(4));
    for (int& a : stairAges) a = r.I32();
    if (r.Failed() || dates.size() != s.numExp || ages.size() != s.numDev || stairAges.size() != s.numDev)
        return LS_DAMAGED;

    const std::string datesFormat = r.Str();
    const std::string periodLabel = r.Str();
    const int exhibitFormat = r.I32();
    QSStringArray hist(r.Count(4));
    for (auto& h : hist) h = r.Str();
    if (hist.size() > static_cast<std::size_t>(kMaxHistoricals)) return LS_DAMAGED;

    CFormula self;
    self.Read(r, static_cast<int>(generation));
    QSDisplayDefaults disp;
    disp.currency = r.Str();
    disp.currencyPosition = r.I32();
    disp.negSymbol = r.Str();
    disp.negLeading = r.I32();
    disp.negRed = r.I32();
    disp.thousands = static_cast<char>(r.U8());
    disp.decimal = static_cast<char>(r.U8());
    disp.useThousands = r.I32();
    CLOGFONT dataFont = m_display.DataFont(), headFont = m_display.HeadingsFont();
    if (!StorageReadFont(r, dataFont) || !StorageReadFont(r, headFont)) return LS_DAMAGED;
    CPageSetup ps;
    if (!ps.FromBytes(r.Blob())) return LS_DAMAGED;
    const std::string company = r.Str(), description = r.Str(), comment = r.Str();
    const double asOf = r.F64();
    const int pc5Direct = r.I32(), pc5Ass = r.I32();
    if (r.Failed()) return LS_DAMAGED;

    std::map<QSID, ProjectNavigatorTree::Node> nodes;
    const std::uint32_t nNodes = r.Count(12);
    for (std::uint32_t i = 0; i < nNodes && !r.Failed(); ++i) {
        const QSID id = r.I32();
        ProjectNavigatorTree::Node n;
        n.parent = r.I32();
        n.name = r.Str();
        nodes[id] = n;
    }
    if (r.Failed()) return LS_DAMAGED;

    std::map<QSID, ObjectEntry> objects;
    const std::uint32_t nObjects = r.Count(18);
    for (std::uint32_t i = 0; i < nObjects && !r.Failed(); ++i) {
        ObjectEntry e;
        e.baseId = r.I32();
        e.subgroup = r.I32();
        e.layered = r.U8() != 0;
        const std::string longName = r.Str(), shortName = r.Str();
        const std::uint8_t mask = r.U8();
        if (r.Failed() || objects.count(e.baseId) || !nodes.count(e.subgroup)) return LS_DAMAGED;
        if (e.layered ? (mask & 1) != 0 || mask == 0 : mask != 1) return LS_DAMAGED;
        CFormula* first = nullptr;
        int firstTag = -1;
        for (unsigned short l = 0; l <= kLayerCount; ++l) {
            if (!(mask & (1u << l))) continue;
            const int tag = r.I32();
            // The layers of one object are of one class.
            if (firstTag >= 0 && tag != firstTag) return LS_DAMAGED;
            firstTag = tag;
            const std::vector<std::uint8_t> blob = r.Blob();
            if (r.Failed()) return LS_DAMAGED;
            std::unique_ptr<CFormula> obj = StorageMakeObject(tag);
            if (!obj) return LS_UNSUPPORTED;
            KernelReader orr(blob);
            obj->Read(orr, static_cast<int>(generation));
            if (orr.Failed() || !StorageClassFitsID(*obj, e.baseId)) return LS_DAMAGED;
            if (first) obj->ShareNamesWith(*first);
            else {
                obj->SetIDLongName(longName.empty() ? std::string("?") : longName);
                obj->SetIDShortName(shortName);
                first = obj.get();
            }
            e.inst[l] = std::move(obj);
        }
        objects[e.baseId] = std::move(e);
    }
    if (r.Failed()) return LS_DAMAGED;
    QSIDArray show;
    if (generation >= 2) {
        show.resize(r.Count(4));
        for (QSID& id : show) id = r.I32();
    }
    std::map<QSID, CKDVSDFFloodFillOption> sdfRules;
    std::map<QSID, CInterpolateSDFFloodFillOption> interpRules;
    if (generation >= 3 && !qsff::LoadRules(r.Blob(), sdfRules, interpRules)) return LS_DAMAGED;
    QSExhibitSettings exhibitSettings;
    const bool hasExhibitSettings = generation >= 4;
    if (hasExhibitSettings && !exhibitSettings.Load(r.Blob())) return LS_DAMAGED;
    std::map<QSID, QSSummaryRptOptions> summaryRpt;
    std::map<QSID, QSUltFloodFillSetting> ultFills;
    if (generation >= 5 && !qssummary::LoadState(r.Blob(), summaryRpt, ultFills)) return LS_DAMAGED;
    if (r.Failed() || r.Left() != 0) return LS_DAMAGED;

    // Every cell array must fit the structure it comes with.
    m_periods.SetStructure(s);
    m_periods.SetStairAges(stairAges);
    const std::vector<std::uint16_t> stairs = m_periods.Staircase();
    for (auto& [id, e] : objects)
        for (auto& inst : e.inst)
            if (auto* d = dynamic_cast<CDataObject*>(inst.get())) {
                std::uint16_t rows = 0, cols = 0;
                d->GetMaxRowsCols(rows, cols);
                const bool ok = d->GetVectorType() == CDataObject::VT_TRIANGLE
                                    ? rows == s.numExp && cols == s.numDev && d->GetRowLengths() == stairs
                                : d->GetVectorType() == CDataObject::VT_COLUMN ? rows == s.numExp && cols == 1
                                                                             : rows == 1 && cols == s.numDev;
                if (!ok && d->IsInitialized()) return LS_DAMAGED;
            }

    // Commit.
    std::map<QSID, ObjectEntry> graphs = TakeGraphEntries();  // the "GraphData" stream's
    m_store.Clear();
    m_periods.SetDates(dates);
    m_periods.SetAges(ages);
    m_display.RestoreLabels(datesFormat, periodLabel, exhibitFormat, hist);
    m_displayType = self.GetDisplayType();
    self.GetDecimals(m_decimals);
    self.GetFootnoteString(m_footnote);
    m_display.SetNumbers(disp);
    m_display.SetDataFont(dataFont);
    m_display.SetHeadingsFont(headFont);
    m_display.PageSetup() = ps;
    m_company = company;
    m_description = description;
    m_comment = comment;
    m_asOfSerial = asOf;
    m_pc5DirectLayer = pc5Direct;
    m_pc5IsAssCalc = pc5Ass;
    m_tree.SetNodes(std::move(nodes));
    m_tree.SetShowItems(show);
    m_sdfFloodFill = std::move(sdfRules);
    m_interpFloodFill = std::move(interpRules);
    m_exhibitSettings = std::move(exhibitSettings);
    m_summaryRpt = std::move(summaryRpt);
    m_ultFloodFill = std::move(ultFills);
    for (auto& [id, e] : objects) InstallEntry(std::move(e));
    for (auto& [id, e] : graphs) m_store.Restore(id, std::move(e));
    ApplyLayerRelations();
    for (auto& [id, e] : m_store)
        for (auto& inst : e.inst)
            if (inst) inst->AfterLoad();
    m_created = true;
    // Before generation 4 each exhibit kept its own statistics definitions:
    // the first exhibit with statistics speaks for the project.
    if (!hasExhibitSettings) {
        const CExhibit* first = nullptr;
        for (auto& [id, e] : m_store)
            for (auto& inst : e.inst)
                if (auto* ex = dynamic_cast<CExhibit*>(inst.get()); ex && ex->HasStatistics() && !first) first = ex;
        if (first) {
            const CStatistics& st = first->GetStatisticsDefinitions();
            m_exhibitSettings.statsDefs.clear();
            for (const CStatistics::Definition& d : st.GetDefinitions()) m_exhibitSettings.statsDefs.push_back(d.Encode());
            m_exhibitSettings.excludePrior = st.GetExcludePrior();
            m_exhibitSettings.abbreviate = st.GetAbbreviate();
        }
    }
    return generation < kStorageGeneration ? LS_OLDER : LS_OK;
}

std::vector<std::uint8_t> CProject::SaveProject(std::uint32_t generation) const {
    if (generation < 1 || generation > kStorageGeneration) generation = kStorageGeneration;
    // Framed in place: the body is written once into a buffer sized for the
    // whole stream up front (no growing copies, no second copy into a frame).
    std::size_t estimate = 4096;
    for (const auto& [id, e] : m_store)
        for (const auto& inst : e.inst)
            if (const auto* d = dynamic_cast<const CDataObject*>(inst.get())) estimate += 9 * d->Values().size() + 256;
    KernelWriter w;
    w.Reserve(estimate);
    w.Raw(kStorageProjectMagic, 4);
    w.U32(generation);
    const std::size_t at = w.BeginBlob();
    WriteBody(w, generation);
    w.EndBlob(at);
    const std::size_t bodyStart = at + 4;
    w.U32(KernelChecksum(w.Bytes().data() + bodyStart, w.Bytes().size() - bodyStart));
    return std::move(w.Bytes());
}

QSSTATUS CProject::LoadProject(const std::uint8_t* data, std::size_t size) {
    std::uint32_t generation = 0;
    const std::uint8_t* body = nullptr;
    std::size_t bodySize = 0;
    QSSTATUS st = StorageUnframe(data, size, kStorageProjectMagic, kStorageGeneration, generation, body, bodySize);
    if (st == LS_OK) {
        KernelReader r(body, bodySize);
        const QSStructure keep = m_periods.Structure();
        const std::vector<int> keepStairs = m_periods.StairAges();
        st = ReadBody(r, generation);
        if (st != LS_OK && st != LS_OLDER) {
            m_periods.SetStructure(keep);
            m_periods.SetStairAges(keepStairs);
        }
    }
    m_loadStatus = st;
    if (st == LS_OK || st == LS_OLDER) m_modified = false;
    return st;
}

std::vector<std::uint8_t> CProject::SaveGraphData() const {
    // The kept graphs' records afresh; records this kernel cannot read as they came.
    std::map<QSID, std::vector<std::uint8_t>> records = m_graphs.Records();
    for (const auto& [id, e] : m_store)
        if (const auto* g = dynamic_cast<const CGraph*>(e.inst[0].get())) records[id] = g->ToRecord();
    for (const auto& [id, g] : m_graphs.TableGraphs()) records[id] = g->ToRecord();
    KernelWriter body;
    body.U32(static_cast<std::uint32_t>(records.size()));
    for (const auto& [id, blob] : records) {
        body.I32(id);
        body.Blob(blob);
    }
    return StorageFrame(kStorageGraphMagic, 1, body);
}

QSSTATUS CProject::LoadGraphData(const std::uint8_t* data, std::size_t size) {
    std::uint32_t generation = 0;
    const std::uint8_t* body = nullptr;
    std::size_t bodySize = 0;
    const QSSTATUS st = StorageUnframe(data, size, kStorageGraphMagic, 1, generation, body, bodySize);
    if (st != LS_OK) return st;
    KernelReader r(body, bodySize);
    std::map<QSID, std::vector<std::uint8_t>> records;
    const std::uint32_t n = r.Count(8);
    for (std::uint32_t i = 0; i < n && !r.Failed(); ++i) {
        const QSID id = r.I32();
        records[id] = r.Blob();
    }
    if (r.Failed() || r.Left() != 0) return LS_DAMAGED;
    // Navigator graphs (kind 8, index 1..999) and table graphs (a table's graph id).
    std::map<QSID, std::unique_ptr<CGraph>> navigator, tables;
    for (const auto& [id, blob] : records) {
        auto g = std::make_unique<CGraph>();
        const int rc = g->FromRecord(blob);
        if (rc == 0) continue;  // not a graph record: kept as it came
        if (rc < 0 || g->GetIDNum() != id) return LS_DAMAGED;
        if (id > 0 && id < kGraphFlag && GetIDDOType(id) == 8 && GetIDInstance(id) == 1 && GetIDLayer(id) == 0 &&
            GetIDDataType(id) == 0 && GetIDIndex(id) >= 1 && g->HasName())
            navigator[id] = std::move(g);
        else if (id >= kGraphFlag && GetIDDOType(DelGraphIDOf(id)) != 8 && GetLayerNeutralID(id) == DelGraphIDOf(id))
            tables[id] = std::move(g);
        else
            return LS_DAMAGED;
    }
    if (!m_tree.Has(qsk::kCatGraph)) m_tree.Add(qsk::kCatGraph, 0, "Graphs");
    for (auto& [id, e] : TakeGraphEntries()) m_graphs.ForgetMaster(e.inst[0].get());
    for (auto& [id, g] : tables) g->SetProject(this);
    m_graphs.ReplaceTableGraphs(std::move(tables));
    for (auto& [id, g] : navigator) {
        if (m_store.count(id)) continue;  // an object of the project stream holds the id
        ObjectEntry e;
        e.baseId = id;
        e.subgroup = qsk::kCatGraph;
        e.layered = false;
        e.inst[0] = std::move(g);
        InstallEntry(std::move(e));
    }
    m_graphs.Records() = std::move(records);
    return LS_OK;
}

std::vector<std::uint8_t> CProject::SaveDefGraphStyles() const {
    // Keys 1..6 are the six default style names; other keys as they came.
    std::map<int, std::vector<std::uint8_t>> records = m_graphs.StyleRecords();
    for (int k = 0; k < CGraphDefaultStyles::kCount; ++k) {
        const std::string name = m_graphs.DefaultStyles().GetStyle(k);
        records[k + 1].assign(name.begin(), name.end());
    }
    KernelWriter body;
    body.U32(static_cast<std::uint32_t>(records.size()));
    for (const auto& [key, blob] : records) {
        body.I32(key);
        body.Blob(blob);
    }
    return StorageFrame(kStorageStyleMagic, 1, body);
}

QSSTATUS CProject::LoadDefGraphStyles(const std::uint8_t* data, std::size_t size) {
    std::uint32_t generation = 0;
    const std::uint8_t* body = nullptr;
    std::size_t bodySize = 0;
    const QSSTATUS st = StorageUnframe(data, size, kStorageStyleMagic, 1, generation, body, bodySize);
    if (st != LS_OK) return st;
    KernelReader r(body, bodySize);
    std::map<int, std::vector<std::uint8_t>> styles;
    const std::uint32_t n = r.Count(8);
    for (std::uint32_t i = 0; i < n && !r.Failed(); ++i) {
        const int key = r.I32();
        styles[key] = r.Blob();
    }
    if (r.Failed() || r.Left() != 0) return LS_DAMAGED;
    CGraphDefaultStyles names;  // a position the stream lacks keeps its default
    for (int k = 0; k < CGraphDefaultStyles::kCount; ++k) {
        auto it = styles.find(k + 1);
        if (it != styles.end()) names.SetStyle(k, std::string(it->second.begin(), it->second.end()));
    }
    m_graphs.StyleRecords() = std::move(styles);
    m_graphs.DefaultStyles() = names;
    return LS_OK;
}

void CProject::Serialize(CArchive& ar) { Archive(ar, 1); }

QSSTATUS CProject::Archive(CArchive& ar, int /*flag*/) {
    if (ar.IsStoring()) {
        StorageWriteAll(ar, SaveProject());
        return qsk::kOk;
    }
    const std::vector<std::uint8_t> bytes = StorageReadRest(ar);
    // A predecessor exhibit file is converted on loading (CProjectExchange.cpp).
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), "05.3", 4) == 0) {
        m_loadStatus = ImportPC5(bytes.data() + 4, bytes.size() - 4) == qsk::kOk ? LS_OK : LS_CONVERSION;
        return m_loadStatus;
    }
    return LoadProject(bytes.data(), bytes.size());
}

void CProject::SerializeGraphData(CArchive& ar) {
    if (ar.IsStoring()) {
        StorageWriteAll(ar, SaveGraphData());
        return;
    }
    const std::vector<std::uint8_t> bytes = StorageReadRest(ar);
    LoadGraphData(bytes.data(), bytes.size());
}

void CProject::SerializeDefGraphStyles(CArchive& ar) {
    if (ar.IsStoring()) {
        StorageWriteAll(ar, SaveDefGraphStyles());
        return;
    }
    const std::vector<std::uint8_t> bytes = StorageReadRest(ar);
    LoadDefGraphStyles(bytes.data(), bytes.size());
}
