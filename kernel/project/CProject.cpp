#include "CProject.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "CGraph.h"
#include "CMethod.h"
#include "FormulaBinding.h"
#include "MethodTemplates.h"
#include "ProjectSummaryReports.h"
#include "SummaryReports.h"
#include "QsProfile.h"

namespace {
const char* const kProjectLayerNames[6] = {"", "Net", "Gross", "Ceded", "Direct", "Assumed"};

std::string ProjectLower(const std::string& s) {
    std::string r = s;
    for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

// Template input arrays: index, long name, short name, vector type, node,
// cumulable, display type, decimals.
struct TemplateArraySpec {
    int index;
    const char* name;
    const char* shortName;
    int vectorType;
    QSID node;
    bool cumulable;
    int display;
    short decimals;
};
const TemplateArraySpec kProjectTemplateArrays[] = {
    {1, "Paid Loss", "PL", CDataObject::VT_TRIANGLE, qsk::kCatInput, true, CFormula::DT_CURRENCY, 0},
    {2, "Paid ALAE", "PA", CDataObject::VT_TRIANGLE, qsk::kCatInput, true, CFormula::DT_CURRENCY, 0},
    {3, "Closed Claims", "CC", CDataObject::VT_TRIANGLE, qsk::kCatInput, true, CFormula::DT_NUMBER, 0},
    {4, "Paid Salvage and Subrogation", "PSS", CDataObject::VT_TRIANGLE, qsk::kCatInput, true, CFormula::DT_CURRENCY, 0},
    {10, "Incurred ALAE", "IA", CDataObject::VT_TRIANGLE, qsk::kCatInput, true, CFormula::DT_CURRENCY, 0},
    {11, "Incurred Loss", "IL", CDataObject::VT_TRIANGLE, qsk::kCatInput, true, CFormula::DT_CURRENCY, 0},
    {16, "Incurred Loss and ALAE", "ILA", CDataObject::VT_TRIANGLE, qsk::kCatInput, true, CFormula::DT_CURRENCY, 0},
    {19, "Reported Claims", "RC", CDataObject::VT_TRIANGLE, qsk::kCatInput, true, CFormula::DT_NUMBER, 0},
    {20, "Salvage and Subrogation Received", "SSR", CDataObject::VT_TRIANGLE, qsk::kCatInput, true, CFormula::DT_CURRENCY, 0},
    {40, "Written Premiums", "WP", CDataObject::VT_COLUMN, qsk::kCatInput, false, CFormula::DT_CURRENCY, 0},
    {41, "Earned Premiums", "EP", CDataObject::VT_COLUMN, qsk::kCatInput, false, CFormula::DT_CURRENCY, 0},
    {42, "Exposures", "EX", CDataObject::VT_COLUMN, qsk::kCatInput, false, CFormula::DT_NUMBER, 0},
    {23, "Selected Ultimate Loss", "SUL", CDataObject::VT_COLUMN, qsk::kNodeSelectedUlt, false, CFormula::DT_CURRENCY, 0},
    {24, "Selected Ultimate ALAE", "SUA", CDataObject::VT_COLUMN, qsk::kNodeSelectedUlt, false, CFormula::DT_CURRENCY, 0},
    {25, "Selected Ultimate Claims", "SUC", CDataObject::VT_COLUMN, qsk::kNodeSelectedUlt, false, CFormula::DT_NUMBER, 0},
    {26, "Selected Ultimate Salvage and Subrogation", "SUS", CDataObject::VT_COLUMN, qsk::kNodeSelectedUlt, false, CFormula::DT_CURRENCY, 0},
    {27, "Selected Ultimate Premium", "SUP", CDataObject::VT_COLUMN, qsk::kNodeSelectedUlt, false, CFormula::DT_CURRENCY, 0},
    {28, "Selected Ultimate Loss and ALAE", "SULA", CDataObject::VT_COLUMN, qsk::kNodeSelectedUlt, false, CFormula::DT_CURRENCY, 0},
    {29, "Selected Ultimate Exposures", "SUE", CDataObject::VT_COLUMN, qsk::kNodeSelectedUlt, false, CFormula::DT_NUMBER, 0},
    {33, "Historical Ultimate Loss", "HUL", CDataObject::VT_COLUMN, qsk::kNodeHistoricalUlt, false, CFormula::DT_CURRENCY, 0},
    {34, "Historical Ultimate ALAE", "HUA", CDataObject::VT_COLUMN, qsk::kNodeHistoricalUlt, false, CFormula::DT_CURRENCY, 0},
    {35, "Historical Ultimate Claims", "HUC", CDataObject::VT_COLUMN, qsk::kNodeHistoricalUlt, false, CFormula::DT_NUMBER, 0},
    {36, "Historical Ultimate Salvage and Subrogation", "HUS", CDataObject::VT_COLUMN, qsk::kNodeHistoricalUlt, false, CFormula::DT_CURRENCY, 0},
    {37, "Historical Ultimate Premium", "HUP", CDataObject::VT_COLUMN, qsk::kNodeHistoricalUlt, false, CFormula::DT_CURRENCY, 0},
    {38, "Historical Ultimate Loss and ALAE", "HULA", CDataObject::VT_COLUMN, qsk::kNodeHistoricalUlt, false, CFormula::DT_CURRENCY, 0},
    {39, "Historical Ultimate Exposures", "HUE", CDataObject::VT_COLUMN, qsk::kNodeHistoricalUlt, false, CFormula::DT_NUMBER, 0},
    {50, "Payment Pattern", "PP", CDataObject::VT_ROW, qsk::kNodePayment, false, CFormula::DT_PERCENT, 4},
    {494, "Paid Data Adjustments", "PDA", CDataObject::VT_TRIANGLE, qsk::kNodeAdjustments, false, CFormula::DT_NUMBER, 4},
    {497, "Incurred Data Adjustments", "IDA", CDataObject::VT_TRIANGLE, qsk::kNodeAdjustments, false, CFormula::DT_NUMBER, 4},
    // The ages (months) at which the exhibits interpolate selected factors.
    {804, "Interpolated Ages", "Interp Ages", CDataObject::VT_ROW, qsk::kNodeMethodInput, false, CFormula::DT_NUMBER, 0},
};
constexpr int kProjectScalingIndex = 1;
constexpr int kProjectPayPatternIndex = 50;
}  // namespace

IMPLEMENT_DYNAMIC(CProject, CFormula)

// ---------------------------------------------------------------- defaults

void CProject::SetDisplayDefaults(const QSDisplayDefaults& defaults) { ProjectDisplay::SetDefaults(defaults); }

QSDisplayDefaults CProject::GetDisplayDefaults() { return ProjectDisplay::GetDefaults(); }

void CProject::ReadDisplayDefaults(const std::function<std::string(const char*, const char*)>& read) {
    QSDisplayDefaults d;
    auto num = [&](const char* key, int def) {
        const std::string v = read(key, std::to_string(def).c_str());
        char* end = nullptr;
        const long n = std::strtol(v.c_str(), &end, 10);
        return (end && end != v.c_str()) ? static_cast<int>(n) : def;
    };
    d.currency = read("Currency", d.currency.c_str()).substr(0, 4);
    d.currencyPosition = num("Currency Position", d.currencyPosition) ? 1 : 0;
    d.negSymbol = read("Negative Symbol", "");
    d.negLeading = num("Negative Position", d.negLeading) ? 1 : 0;
    d.negRed = num("Negative Red", 0) ? 1 : 0;
    const int th = num("Thousand Separator", d.thousands);
    const int de = num("Decimal Separator", d.decimal);
    if (th > 0 && th < 256) d.thousands = static_cast<char>(th);
    if (de > 0 && de < 256) d.decimal = static_cast<char>(de);
    d.useThousands = num("Use Thousand Separator", d.useThousands) ? 1 : 0;
    d.decimals = static_cast<short>(std::clamp(num("Decimals", d.decimals), 0, 12));
    SetDisplayDefaults(d);
}

void CProject::ReadDisplayDefaultsFromProfile(const std::string& profileFile) {
    ReadDisplayDefaults([&](const char* key, const char* def) {
        char buf[256];
        GetPrivateProfileString("Settings", key, def, buf, sizeof buf, profileFile.c_str());
        return std::string(buf);
    });
}

// ---------------------------------------------------------------- life cycle

// An object's project is its owner when the owner is a project. These live
// here because an object's own room knows only the owner's interface.
CProject* CFormula::GetProject() const { return dynamic_cast<CProject*>(m_pOwner); }
void CFormula::SetProject(CProject* project) { m_pOwner = project; }

CProject::CProject() : CFormula(0) {
    m_pOwner = this;
    m_decimals = m_display.Numbers().decimals;
    SetIDLongName("Project");
}

// The objects go before the graphs part: working graphs outlive the
// objects they show, as they always have.
CProject::~CProject() { m_store.Clear(); }

QSSTATUS CProject::Create(std::uint16_t& generation, std::uint16_t& numExp, PRDLENGTH& expLength,
                          std::uint16_t& firstYear, std::uint16_t& firstInterval, std::uint16_t& numDev,
                          PRDLENGTH& devLength, std::uint16_t& firstDevAge, LAYERNAMES& calc1, LAYERNAMES& calc2) {
    if (generation != 5) return qsk::kFail;
    QSStructure s;
    s.numExp = numExp;
    s.expLength = expLength;
    s.firstYear = firstYear;
    s.firstInterval = firstInterval;
    s.numDev = numDev;
    s.devLength = devLength;
    s.firstDevAge = firstDevAge;
    s.calc1 = calc1;
    s.calc2 = calc2;
    s.prior = m_pendingPrior;
    const QSSTATUS st = ValidateStructure(s);
    if (st != qsk::kOk) return st;
    m_store.Clear();
    m_tree.Clear();
    m_periods.Reset(s);
    m_display.SetDatesFormat(m_periods.DefaultDatesFormat());
    m_display.SetPeriodLabel(ProjectDisplay::PeriodWord(s.expLength));
    m_display.SetHistLabels({});
    m_exhibitSettings = QSExhibitSettings();
    BuildTemplate();
    m_created = true;
    // A new project carries the standard development exhibits and methods.
    if (const QSSTATUS std = qsmethods::AddStandardExhibitsAndMethods(*this)) return std;
    // ... and the summary reports of the five estimate kinds.
    if (const QSSTATUS sum = qssummary::AddStandardSummaryReports(*this)) return sum;
    m_modified = true;
    m_loadStatus = LS_OK;
    return qsk::kOk;
}

QSSTATUS CProject::GetInfoProject(std::uint16_t& generation, std::uint16_t& numExp, PRDLENGTH& expLength,
                                  std::uint16_t& firstYear, std::uint16_t& firstInterval, std::uint16_t& numDev,
                                  PRDLENGTH& devLength, std::uint16_t& firstDevAge) const {
    if (!m_created) return qsk::kFail;
    generation = 5;
    numExp = m_periods.Structure().numExp;
    expLength = m_periods.Structure().expLength;
    firstYear = m_periods.Structure().firstYear;
    firstInterval = m_periods.Structure().firstInterval;
    numDev = m_periods.Structure().numDev;
    devLength = m_periods.Structure().devLength;
    firstDevAge = m_periods.Structure().firstDevAge;
    return qsk::kOk;
}

QSSTATUS CProject::GetInfoDevPrd(std::uint16_t& numDev, PRDLENGTH& devLength, std::uint16_t& firstDevAge) const {
    if (!m_created) return qsk::kFail;
    numDev = m_periods.Structure().numDev;
    devLength = m_periods.Structure().devLength;
    firstDevAge = m_periods.Structure().firstDevAge;
    return qsk::kOk;
}

QSSTATUS CProject::GetLengthExpPrd(PRDLENGTH& length) const {
    if (!m_created) return qsk::kFail;
    length = m_periods.Structure().expLength;
    return qsk::kOk;
}

QSSTATUS CProject::GetLengthDevPrd(PRDLENGTH& length) const {
    if (!m_created) return qsk::kFail;
    length = m_periods.Structure().devLength;
    return qsk::kOk;
}

QSSTATUS CProject::SetUserDefaults() {
    m_display.ResetToDefaults(GetDisplayDefaults());
    m_decimals = m_display.Numbers().decimals;
    return qsk::kOk;
}

void CProject::BuildTemplate() {
    m_tree.AddStandardNodes();

    for (const auto& a : kProjectTemplateArrays)
        AddTemplateArray(a.index, a.name, a.shortName, a.vectorType, a.node, a.cumulable, a.display, a.decimals);

    ObjectEntry sf;
    sf.baseId = MakeID(5, 1, 0, 0, kProjectScalingIndex);
    sf.subgroup = qsk::kCatScalar;
    sf.layered = false;
    auto scalar = std::make_unique<CScalar>(sf.baseId);
    scalar->SetIDLongName("Scaling Factor");
    scalar->SetIDShortName("SF");
    scalar->SetDecimals(4);
    scalar->SetValue(1.0);
    sf.inst[0] = std::move(scalar);
    InstallEntry(std::move(sf));
    ApplyLayerRelations();
}

CDataObject* CProject::AddTemplateArray(int index, const std::string& name, const std::string& shortName,
                                        int vectorType, QSID subgroup, bool cumulable, int displayType,
                                        short decimals) {
    ObjectEntry e;
    e.baseId = MakeID(1, 1, 0, 0, index);
    e.subgroup = subgroup;
    e.layered = true;
    auto proto = std::make_unique<CDataObject>(e.baseId);
    proto->SetIDLongName(name);
    proto->SetIDShortName(shortName);
    proto->SetVectorType(vectorType);
    proto->SetCumulable(cumulable);
    proto->SetDisplayType(displayType);
    proto->SetDecimals(decimals);
    for (unsigned short l = 1; l <= kLayerCount; ++l) {
        auto inst = std::make_unique<CDataObject>(*proto);
        if (l > 1) inst->ShareNamesWith(*e.inst[1]);
        e.inst[l] = std::move(inst);
    }
    CDataObject* first = static_cast<CDataObject*>(e.inst[1].get());
    InstallEntry(std::move(e));
    return first;
}

void CProject::InstallEntry(ObjectEntry&& entry) {
    m_store.Install(std::move(entry), this);
    ApplyShapes();
}

void CProject::ApplyShapes() { m_store.ApplyShapes(m_periods.Structure(), m_periods.Staircase()); }

// ---------------------------------------------------------------- layers

bool CProject::IsLayerCalculated(unsigned short layer) const { return m_periods.IsLayerCalculated(layer); }

void CProject::ApplyLayerRelations(QSID only) {
    m_store.RelateLayers(m_periods.Structure().calc1, m_periods.Structure().calc2, only);
    RecalculateAllLayers(only);
}

void CProject::RecalculateAllLayers(QSID only) {
    CFormula::PropagateChanges(m_store.EnteredInstances(m_periods.Structure().calc1, m_periods.Structure().calc2, only));
}

QSSTATUS CProject::GetNameLayer(std::string& name, unsigned short layer) const {
    if (layer < 1 || layer > kLayerCount) return qsk::kBadLayer;
    name = kProjectLayerNames[layer];
    return qsk::kOk;
}

QSSTATUS CProject::GetCalcedLayers(LAYERNAMES& calc1, LAYERNAMES& calc2) const {
    calc1 = m_periods.Structure().calc1;
    calc2 = m_periods.Structure().calc2;
    return qsk::kOk;
}

QSSTATUS CProject::SetCalcedLayers(LAYERNAMES calc1, LAYERNAMES calc2) {
    QSStructure s = m_periods.Structure();
    s.calc1 = calc1;
    s.calc2 = calc2;
    if (!m_created) {
        // A project still to be built by an import keeps the choice for it.
        if (!ProjectPeriods::ValidCalcedLayers(calc1, calc2)) return qsk::kBadLayer;
        m_periods.SetStructure(s);
        return qsk::kOk;
    }
    const QSSTATUS st = ValidateStructure(s);
    if (st != qsk::kOk) return st;
    m_periods.SetStructure(s);
    ApplyLayerRelations();
    NotifyAllObjects(XR_RELOAD);
    m_modified = true;
    return qsk::kOk;
}

QSSTATUS CProject::MoveLayer(unsigned short from, unsigned short to) {
    if (from < 1 || from > kLayerCount || to < 1 || to > kLayerCount || from == to) return qsk::kBadLayer;
    if (IsLayerCalculated(from) || IsLayerCalculated(to)) return qsk::kBadLayer;
    std::vector<CFormula*> changed;
    for (auto& [id, e] : m_store) {
        if (!e.layered) continue;
        auto* src = dynamic_cast<CDataObject*>(e.inst[from].get());
        auto* dst = dynamic_cast<CDataObject*>(e.inst[to].get());
        if (!src || !dst) continue;
        dst->SetAllCells(src->Values(), src->Flags(), 0);
        std::vector<std::uint8_t> blank(src->Flags().size(), CDataObject::CF_BLANK);
        src->SetAllCells(std::vector<double>(blank.size(), 0.0), blank, 0);
        changed.push_back(src);
        changed.push_back(dst);
    }
    CFormula::PropagateChanges(changed);
    NotifyAllObjects(XR_RELOAD);
    m_modified = true;
    return qsk::kOk;
}

QSSTATUS CProject::PostInit() {
    ApplyShapes();
    ApplyLayerRelations();
    for (auto& [id, e] : m_store)
        for (auto& inst : e.inst)
            if (inst) inst->AfterLoad();
    NotifyAllObjects(XR_RELOAD);
    return qsk::kOk;
}

void CProject::UpdateAllObjects() {
    RecalculateAllLayers();
    NotifyAllObjects(XR_RELOAD);
}

void CProject::ResetWindowPtrList() {
    for (auto& [id, e] : m_store)
        for (auto& inst : e.inst)
            if (inst)
                while (inst->GetViewedCount()) inst->RemoveAllWindows();
}

bool CProject::WarnRowColOverLimit() const {
    return m_periods.Structure().numExp > 250 || m_periods.Structure().numDev > 250;
}

QSSTATUS CProject::CheckMethodUltimateIntegrityForFile(const std::string&) const { return qsk::kOk; }

void CProject::NotifyAllObjects(int kind) {
    for (auto& [id, e] : m_store)
        for (auto& inst : e.inst)
            if (inst && inst->GetViewedCount()) inst->NotifyAll(kind, 0);
    m_graphs.Refresh(kind);
}

// ---------------------------------------------------------------- objects

bool CProject::IDExists(QSID id) const { return m_store.Contains(id); }

CFormula* CProject::FindObject(QSID id, unsigned short layer) const { return m_store.FindObject(id, layer); }

CDataObject* CProject::FindDataObject(QSID id, unsigned short layer) const {
    return dynamic_cast<CDataObject*>(FindObject(id, layer));
}

CFormula* CProject::OpenObject(QSID id, unsigned short layer, IKernelWindow* window, int /*flag*/) {
    if (IsGraphID(id))
        if (CGraph* g = RelinkWorkGraph(id, layer, window)) return g;
    CFormula* f = FindObject(id, layer);
    if (f && window) f->AddWindow(window);
    return f;
}

QSSTATUS CProject::CloseObject(CFormula* object, IKernelWindow* window) {
    if (!object) return qsk::kFail;
    object->RemoveWindow(window);
    return qsk::kOk;
}

int CProject::IsViewed(QSID id) const {
    const ObjectEntry* e = FindEntry(id);
    if (!e) return 0;
    int n = 0;
    for (const auto& inst : e->inst)
        if (inst) n += inst->GetViewedCount();
    return n;
}

bool CProject::IDHasData(QSID id, unsigned short layer) const {
    const CFormula* f = FindObject(id, layer);
    if (!f) return false;
    if (auto* d = dynamic_cast<const CDataObject*>(f)) return d->HasAnyValue();
    if (auto* s = dynamic_cast<const CScalar*>(f)) return !s->IsScalarBlank();
    return f->IsInitialized();
}

int CProject::GetIDStatus(QSID id, unsigned short layer) const {
    const CFormula* f = FindObject(id, layer);
    if (!f) return 3;
    if (!IDHasData(id, layer)) return 0;
    return f->IsCalculated() ? 2 : 1;
}

QSSTATUS CProject::GetIDLinks(QSID id, QSIDArray& ids) const {
    const ObjectEntry* e = FindEntry(id);
    if (!e) return qsk::kUnknownId;
    ids.clear();
    std::set<QSID> seen;
    for (const auto& inst : e->inst) {
        if (!inst) continue;
        for (const CFormula* s : inst->GetSources()) {
            const QSID b = BaseOf(s->GetIDNum());
            if (b != e->baseId && seen.insert(b).second) ids.push_back(b);
        }
    }
    return qsk::kOk;
}

QSSTATUS CProject::GetAllTypeIDsFromID(QSID id, QSID category, QSIDArray& ids) const {
    // Objects of category that draw on id (its exhibits for an array).
    ids.clear();
    const ObjectEntry* e = FindEntry(id);
    if (!e) return qsk::kUnknownId;
    std::set<QSID> seen;
    for (const auto& inst : e->inst) {
        if (!inst) continue;
        for (const CFormula* d : inst->GetDependentObjects()) {
            const QSID b = BaseOf(d->GetIDNum());
            if (b != e->baseId && GetCategoryOfID(b) == category && seen.insert(b).second) ids.push_back(b);
        }
    }
    return qsk::kOk;
}

bool CProject::IsUserKind(QSID id) const {
    const int kind = GetIDDOType(id);
    return kind == 2 || kind == 4 || kind == 6 || (IsGraphID(id) && GetIDIndex(id) > 500);
}

QSSTATUS CProject::AddNewFormulaObject(const CFormula& proto, int kind, int dataType, QSID subgroup, bool layered,
                                       QSID& id) {
    const bool user = kind == 2 || kind == 4 || kind == 6 || kind == 8;
    int index = id ? GetIDIndex(id) : 0;
    auto taken = [&](int i) { return m_store.count(MakeID(kind, 1, 0, dataType, i)) != 0; };
    if (index == 0) {
        for (int i = user ? qsk::kFirstUserIndex : 1; i <= (user ? qsk::kLastUserIndex : 999); ++i)
            if (!taken(i)) { index = i; break; }
        if (index == 0) return qsk::kNameTaken;
    }
    if (user && (index < qsk::kFirstUserIndex || index > qsk::kLastUserIndex)) return qsk::kFail;
    if (taken(index)) return qsk::kNameTaken;
    if (!m_tree.Has(subgroup)) return qsk::kFail;
    if (proto.GetIDLongName().empty()) return qsk::kFail;
    ObjectEntry e;
    e.baseId = MakeID(kind, 1, 0, dataType, index);
    e.subgroup = subgroup;
    e.layered = layered;
    if (layered) {
        for (unsigned short l = 1; l <= kLayerCount; ++l) {
            e.inst[l] = proto.Clone();
            if (l > 1) e.inst[l]->ShareNamesWith(*e.inst[1]);
        }
    } else {
        e.inst[0] = proto.Clone();
    }
    const QSID base = e.baseId;
    InstallEntry(std::move(e));
    if (layered) ApplyLayerRelations(base);
    id = base;
    m_modified = true;
    return qsk::kOk;
}

QSSTATUS CProject::AddNewObject(CDataObject& proto, QSID& id, int user) {
    // Cloned as what it is: a user table keeps its formula.
    std::unique_ptr<CFormula> copy = proto.Clone();
    auto& p = static_cast<CDataObject&>(*copy);
    p.ClearSources();
    if (!p.IsInitialized()) p.SetVectorType(proto.GetVectorType());
    const QSSTATUS st = AddNewFormulaObject(p, user ? 2 : 1, 0, user ? qsk::kNodeUserInput : qsk::kCatInput, true, id);
    if (st == qsk::kOk && p.HasValidFormula()) PostInit();  // binds the formula and calculates it
    return st;
}

QSSTATUS CProject::AddNewObject(CScalar& proto, QSID& id, int user) {
    return AddNewFormulaObject(proto, user ? 6 : 5, 0, qsk::kCatScalar, false, id);
}

QSSTATUS CProject::AddObjectToMap(QSID id, CFormula*& object, int /*flag*/) {
    if (!object) return qsk::kFail;
    const QSID base = BaseOf(id);
    const unsigned short layer = GetIDLayer(id);
    if (layer > kLayerCount) return qsk::kBadLayer;
    auto it = m_store.find(base);
    if (it == m_store.end()) {
        ObjectEntry e;
        e.baseId = base;
        const QSID cat = GetCategoryOfID(base);
        e.subgroup = cat ? cat : qsk::kCatInput;
        if (IsUserKind(base) && e.subgroup == qsk::kCatInput) e.subgroup = qsk::kNodeUserInput;
        e.layered = layer != 0;
        e.inst[layer].reset(object);
        InstallEntry(std::move(e));
    } else {
        ObjectEntry& e = it->second;
        if (e.layered != (layer != 0) || e.inst[layer]) return qsk::kNameTaken;
        e.inst[layer].reset(object);
        object->SetIDNum(id >= kGraphFlag ? id : [&] { QSID x = base; SetIDLayer(x, layer); return x; }());
        object->SetProject(this);
        for (auto& other : e.inst)
            if (other && other.get() != object) { object->ShareNamesWith(*other); break; }
        ApplyShapes();
    }
    if (layer != 0) ApplyLayerRelations(base);
    m_modified = true;
    return qsk::kOk;
}

QSSTATUS CProject::BeginEditObject(QSID id, CFormula*& object) {
    ObjectEntry* e = FindEntry(id);
    if (!e) return qsk::kUnknownId;
    if (e->editing) return qsk::kInUse;
    CFormula* src = e->layered ? e->inst[1].get() : e->inst[0].get();
    if (!src) return qsk::kUnknownId;
    object = src->Clone().release();
    e->editing = true;
    return qsk::kOk;
}

QSSTATUS CProject::EndEditObject(CFormula*& object, int store, int /*flag*/) {
    if (!object) return qsk::kFail;
    std::unique_ptr<CFormula> edited(object);
    object = nullptr;
    ObjectEntry* e = FindEntry(edited->GetIDNum());
    if (!e || !e->editing) return qsk::kUnknownId;
    e->editing = false;
    if (!store) return qsk::kOk;
    if (edited->GetIDLongName().empty()) return qsk::kFail;
    bool shapeChanged = false;
    for (unsigned short l = 0; l <= kLayerCount; ++l) {
        CFormula* f = e->inst[l].get();
        if (!f) continue;
        // The definition edited with the names: a method's columns, a user
        // table's or exhibit's formula.
        if (auto* em = dynamic_cast<const CMethod*>(edited.get())) {
            if (auto* m = dynamic_cast<CMethod*>(f)) {
                const QSID keep = m->GetIDNum();
                *m = *em;
                m->SetIDNum(keep);
                m->AfterLoad();
            }
        } else if ((dynamic_cast<CUserTable*>(f) && dynamic_cast<CUserTable*>(edited.get())) ||
                   (dynamic_cast<CUserExhibit*>(f) && dynamic_cast<CUserExhibit*>(edited.get()))) {
            CStringStack newRaw, newResolved, oldRaw, oldResolved;
            edited->GetFormula(newRaw, newResolved);
            f->GetFormula(oldRaw, oldResolved);
            if (newRaw != oldRaw || newResolved != oldResolved) {
                const QSSTATUS st = newRaw.IsEmpty() ? f->ClearFormula() : f->SetFormula(newRaw, newResolved);
                if (st != qsk::kOk) return st;
            }
        }
        f->SetIDLongName(edited->GetIDLongName());
        f->SetIDShortName(edited->GetIDShortName());
        f->SetDisplayType(edited->GetDisplayType());
        short dec = 0;
        edited->GetDecimals(dec);
        f->SetDecimals(dec);
        std::string foot;
        edited->GetFootnoteString(foot);
        f->SetFootnoteString(foot);
        auto* d = dynamic_cast<CDataObject*>(f);
        auto* ed = dynamic_cast<CDataObject*>(edited.get());
        if (d && ed && d->GetVectorType() != ed->GetVectorType()) {
            d->SetShape(0, 0, ed->GetVectorType());
            shapeChanged = true;
        }
    }
    if (shapeChanged) {
        ApplyShapes();
        for (auto& inst : e->inst)
            if (inst) inst->NotifyAll(XR_LAYOUT, 0);
    }
    m_modified = true;
    return qsk::kOk;
}

bool CProject::HasDependents(QSID id) const {
    const ObjectEntry* e = FindEntry(id);
    if (!e) return false;
    for (const auto& inst : e->inst) {
        if (!inst) continue;
        for (const CFormula* d : inst->GetDependentObjects())
            if (BaseOf(d->GetIDNum()) != e->baseId) return true;
    }
    return false;
}

QSSTATUS CProject::GetDependents(QSID id, QSStringArray& names) const {
    const ObjectEntry* e = FindEntry(id);
    if (!e) return qsk::kUnknownId;
    names.clear();
    std::set<QSID> seen;
    for (const auto& inst : e->inst) {
        if (!inst) continue;
        for (const CFormula* d : inst->GetDependentObjects()) {
            const QSID b = BaseOf(d->GetIDNum());
            if (b != e->baseId && seen.insert(b).second) names.push_back(d->GetIDLongName());
        }
    }
    return qsk::kOk;
}

QSSTATUS CProject::DeleteObject(QSID id) {
    ObjectEntry* e = FindEntry(id);
    if (!e) return qsk::kUnknownId;
    if (!IsUserKind(e->baseId)) return qsk::kReadOnly;
    if (IsViewed(id) || HasDependents(id) || e->editing) return qsk::kInUse;
    const QSID base = e->baseId;
    DropGraphsOf(base, e->inst[0].get());
    m_store.Erase(base);
    m_tree.RemoveShowItem(base);
    m_modified = true;
    return qsk::kOk;
}

QSSTATUS CProject::DuplicateObject(QSID id, const std::string& name, const std::string& shortName, CFormula*& copy) {
    const ObjectEntry* e = FindEntry(id);
    if (!e) return qsk::kUnknownId;
    if (name.empty()) return qsk::kFail;
    const CFormula* src = e->layered ? e->inst[1].get() : e->inst[0].get();
    std::unique_ptr<CFormula> c = src->Clone();
    c->SetIDLongName(name);
    c->SetIDShortName(shortName);
    c->SetIDNum(0);
    c->SetProject(nullptr);
    copy = c.release();
    return qsk::kOk;
}

QSSTATUS CProject::SetDataToObject(const std::string& objectName, const std::string& layerName,
                                   const std::string& /*label*/, const std::vector<std::vector<double>>& data,
                                   int /*flag*/, bool add, bool appendDiagonal) {
    QSID id = 0;
    if (GetIDFromName(objectName, id) != qsk::kOk) return qsk::kUnknownId;
    unsigned short layer = 0;
    for (unsigned short l = 1; l <= kLayerCount; ++l)
        if (ProjectLower(layerName) == ProjectLower(kProjectLayerNames[l])) layer = l;
    if (!layer) return qsk::kBadLayer;
    CDataObject* d = FindDataObject(id, layer);
    if (!d) return qsk::kUnknownId;
    if (d->IsReadOnly()) return qsk::kReadOnly;
    std::uint16_t rows = 0, cols = 0;
    d->GetMaxRowsCols(rows, cols);
    if (data.size() > rows) return qsk::kOutOfRange;
    for (const auto& row : data)
        if (row.size() > cols) return qsk::kOutOfRange;
    std::vector<double> values = d->Values();
    std::vector<std::uint8_t> flags = d->Flags();
    for (std::size_t r = 0; r < data.size(); ++r) {
        std::uint16_t len = 0;
        d->GetNumColsInRow(static_cast<std::uint16_t>(r), len);
        for (std::size_t c = 0; c < data[r].size() && c < len; ++c) {
            if (appendDiagonal && c + 1 != len) continue;
            const std::size_t i = r * cols + c;
            const bool had = flags[i] & CDataObject::CF_VALUE;
            values[i] = (add && had ? values[i] : 0.0) + data[r][c];
            flags[i] = static_cast<std::uint8_t>((flags[i] & ~(CDataObject::CF_BLANK | CDataObject::CF_NOTAVAIL)) |
                                                 CDataObject::CF_VALUE);
        }
    }
    d->SetAllCells(values, flags, 1);
    m_modified = true;
    return qsk::kOk;
}

void CProject::ForEachObject(const std::function<void(QSID, unsigned short, CFormula*)>& fn) const {
    m_store.ForEachInstance(fn);
}

// ---------------------------------------------------------------- names

QSSTATUS CProject::GetNameFromID(QSID id, std::string& name) const {
    if (id == qsk::kAllArrays) { name = "  0 - All Arrays"; return qsk::kOk; }
    if (id == qsk::kAllExhibits) { name = "  0 - All Exhibits"; return qsk::kOk; }
    auto n = m_tree.Nodes().find(id);
    if (n != m_tree.Nodes().end()) { name = n->second.name; return qsk::kOk; }
    const CFormula* f = FindObject(id, 1);
    if (!f) f = FindObject(id, 0);
    const ObjectEntry* e = FindEntry(id);
    if (!f && e)
        for (const auto& inst : e->inst)
            if (inst) { f = inst.get(); break; }
    if (!f) return qsk::kUnknownId;
    name = f->GetIDName(m_display.ShowTableId() ? -1 : 0);
    return qsk::kOk;
}

QSSTATUS CProject::GetShortNameFromID(QSID id, std::string& name) const {
    const ObjectEntry* e = FindEntry(id);
    if (!e) return qsk::kUnknownId;
    for (const auto& inst : e->inst)
        if (inst) { name = inst->GetIDShortName(); return qsk::kOk; }
    return qsk::kUnknownId;
}

QSSTATUS CProject::GetLongNameFromID(QSID id, std::string& name) const {
    const ObjectEntry* e = FindEntry(id);
    if (!e) return qsk::kUnknownId;
    for (const auto& inst : e->inst)
        if (inst) { name = inst->GetIDLongName(); return qsk::kOk; }
    return qsk::kUnknownId;
}

int CProject::IsNameUnique(const std::string& name, int category, QSID excludeId, std::string* conflictName,
                           std::string* conflictShort, std::uint16_t* conflictIndex) const {
    if (conflictIndex) *conflictIndex = 65535;
    const std::string want = ProjectLower(name);
    if (want.empty()) return 0;
    const QSID excluded = excludeId ? BaseOf(excludeId) : -1;
    for (const auto& [id, e] : m_store) {
        if (id == excluded) continue;
        if (category && GetCategoryOfID(id) != category) continue;
        // A bare index (an excluded id given as its number) excludes by index too.
        if (excludeId > 0 && excludeId < 1000 && GetIDIndex(id) == excludeId) continue;
        const CFormula* f = nullptr;
        for (const auto& inst : e.inst)
            if (inst) { f = inst.get(); break; }
        if (!f) continue;
        if (ProjectLower(f->GetIDLongName()) == want || (!f->GetIDShortName().empty() && ProjectLower(f->GetIDShortName()) == want)) {
            if (conflictName) *conflictName = f->GetIDLongName();
            if (conflictShort) *conflictShort = f->GetIDShortName();
            if (conflictIndex) *conflictIndex = static_cast<std::uint16_t>(GetIDIndex(id));
            return 0;
        }
    }
    return 1;
}

namespace {
// Kind and data type of the user objects of a category.
bool ProjectUserKindOf(int category, int& kind, int& dataType) {
    switch (category) {
    case qsk::kCatInput: kind = 2; dataType = 0; return true;
    case qsk::kCatScalar: kind = 6; dataType = 0; return true;
    case qsk::kCatExhibit: kind = 4; dataType = 1; return true;
    case qsk::kCatMethod: kind = 4; dataType = 2; return true;
    case qsk::kCatReport: kind = 4; dataType = 3; return true;
    case qsk::kCatGraph: kind = 8; dataType = 0; return true;
    default: return false;
    }
}
}  // namespace

int CProject::IsIndexAvail(int category, const std::string& indexText) const {
    int kind = 0, dt = 0;
    if (!ProjectUserKindOf(category, kind, dt)) return 0;
    char* end = nullptr;
    const long index = std::strtol(indexText.c_str(), &end, 10);
    if (end == indexText.c_str() || index < qsk::kFirstUserIndex || index > qsk::kLastUserIndex) return 0;
    return m_store.count(MakeID(kind, 1, 0, dt, static_cast<int>(index))) ? 0 : 1;
}

QSSTATUS CProject::GetNextAvailIndex(int category, std::uint16_t from, std::string& result) const {
    int kind = 0, dt = 0;
    if (!ProjectUserKindOf(category, kind, dt)) return qsk::kFail;
    for (int i = std::max<int>(from, qsk::kFirstUserIndex); i <= qsk::kLastUserIndex; ++i)
        if (!m_store.count(MakeID(kind, 1, 0, dt, i))) {
            result = std::to_string(i);
            return qsk::kOk;
        }
    return qsk::kNameTaken;
}

QSSTATUS CProject::GetIDFromName(const std::string& name, QSID& id) const {
    const std::string want = ProjectLower(name);
    for (const auto& [base, e] : m_store) {
        const CFormula* f = nullptr;
        for (const auto& inst : e.inst)
            if (inst) { f = inst.get(); break; }
        if (!f) continue;
        if (ProjectLower(f->GetIDLongName()) == want || ProjectLower(f->GetIDName(-1)) == want) {
            id = base;
            return qsk::kOk;
        }
    }
    for (const auto& [base, e] : m_store)
        for (const auto& inst : e.inst)
            if (inst && !inst->GetIDShortName().empty() && ProjectLower(inst->GetIDShortName()) == want) {
                id = base;
                return qsk::kOk;
            }
    return qsk::kUnknownId;
}

QSSTATUS CProject::GetQSIDForTableMathFromEitherShortNameOrLongName(const std::string& name, QSID& id) const {
    const std::string want = ProjectLower(name);
    if (want.empty()) return qsk::kUnknownId;
    for (const auto& [base, e] : m_store)
        for (const auto& inst : e.inst)
            if (inst && (ProjectLower(inst->GetIDLongName()) == want || ProjectLower(inst->GetIDShortName()) == want)) {
                id = base;
                return qsk::kOk;
            }
    return qsk::kUnknownId;
}

QSSTATUS CProject::ReportDuplicateNamesForOldQsUserDefined(QSID firstId, QSStringArray& names) const {
    const QSID category = firstId / 1000 * 1000;
    std::map<std::string, int> seen;
    for (const auto& [base, e] : m_store) {
        if (!IsUserKind(base) || GetCategoryOfID(base) != category) continue;
        for (const auto& inst : e.inst)
            if (inst) {
                ++seen[ProjectLower(inst->GetIDLongName())];
                break;
            }
    }
    for (const auto& [base, e] : m_store) {
        if (!IsUserKind(base) || GetCategoryOfID(base) != category) continue;
        for (const auto& inst : e.inst)
            if (inst) {
                if (seen[ProjectLower(inst->GetIDLongName())] > 1) names.push_back(inst->GetIDName(-1));
                break;
            }
    }
    return qsk::kOk;
}

QSSTATUS CProject::GetPrintIDFromName(const std::string& name, QSID& id, QSID oldId) const {
    const std::string want = ProjectLower(name);
    const int kind = GetIDDOType(DelGraphIDOf(oldId)), dt = GetIDDataType(DelGraphIDOf(oldId));
    for (const auto& [base, e] : m_store) {
        if (GetIDDOType(base) != kind || GetIDDataType(base) != dt) continue;
        for (const auto& inst : e.inst)
            if (inst && (ProjectLower(inst->GetIDLongName()) == want || ProjectLower(inst->GetIDName(-1)) == want)) {
                id = base;
                SetIDLayer(id, GetIDLayer(oldId));
                return qsk::kOk;
            }
    }
    return qsk::kUnknownId;
}

QSSTATUS CProject::GetFirst(const int& category, QSID& id, std::string& name, int layerFlag, short reserved) {
    m_iterCursor[category] = -1;
    return GetNext(category, id, name, layerFlag, reserved);
}

QSSTATUS CProject::GetNext(const int& category, QSID& id, std::string& name, int, short) {
    auto cur = m_iterCursor.find(category);
    if (cur == m_iterCursor.end()) return qsk::kFail;
    for (auto it = m_store.upper_bound(cur->second); it != m_store.end(); ++it) {
        const QSID cat = it->second.subgroup == qsk::kCatSDF ? qsk::kCatSDF : GetCategoryOfID(it->first);
        if (cat != category) continue;
        cur->second = it->first;
        id = it->first;
        GetNameFromID(id, name);
        return qsk::kOk;
    }
    m_iterCursor.erase(cur);
    return qsk::kFail;
}

QSID CProject::GetScalingFactorID() const { return MakeID(5, 1, 0, 0, kProjectScalingIndex); }
QSID CProject::GetPayPatternID() const { return MakeID(1, 1, 0, 0, kProjectPayPatternIndex); }

// ---------------------------------------------------------------- navigator

QSSTATUS CProject::GetNodeSubGroups(const QSID& node, QSStringArray& names, QSIDArray& ids) const {
    return m_tree.Children(node, names, ids);
}

QSSTATUS CProject::GetNodeObjects(const QSID& node, QSStringArray& names, QSIDArray& ids, unsigned short layer,
                                  int dataOnly, int viewEntered, int viewCalculated, int viewSelected) const {
    std::vector<int> hasData;
    return GetNodeDisplayObjects(node, layer, dataOnly, viewEntered, viewCalculated, viewSelected, names, ids,
                                 hasData);
}

QSSTATUS CProject::GetNodeDisplayObjects(const QSID& node, unsigned short layer, int dataOnly, int viewEntered,
                                         int viewCalculated, int viewSelected, QSStringArray& names, QSIDArray& ids,
                                         std::vector<int>& hasData) const {
    if (!m_tree.Has(node)) return qsk::kUnknownId;
    if (layer > kLayerCount) return qsk::kBadLayer;
    names.clear();
    ids.clear();
    hasData.clear();
    for (const auto& [base, e] : m_store) {
        if (e.subgroup != node) continue;
        if (viewSelected && !m_tree.Shows(base)) continue;
        const unsigned short l = e.layered ? (layer ? layer : 1) : 0;
        const CFormula* f = e.inst[l].get();
        if (!f) continue;
        if (e.layered && layer) {
            const bool calc = IsLayerCalculated(layer);
            if (calc && !viewCalculated) continue;
            if (!calc && !viewEntered) continue;
        }
        const bool data = IDHasData(base, l);
        if (dataOnly && !data) continue;
        QSID id = base;
        if (e.layered && layer) SetIDLayer(id, layer);
        names.push_back(f->GetIDName(m_display.ShowTableId() ? -1 : 0));
        ids.push_back(id);
        hasData.push_back(data ? 1 : 0);
    }
    return qsk::kOk;
}

QSID CProject::GetSubgroupFromID(QSID id) const {
    const ObjectEntry* e = FindEntry(id);
    return e ? e->subgroup : 0;
}

bool CProject::CanMoveIDToSubgroup(QSID id, QSID subgroup) const {
    const ObjectEntry* e = FindEntry(id);
    if (!e || !m_tree.Has(subgroup) || e->subgroup == subgroup) return false;
    // Only within the object's own category tree.
    return m_tree.Root(subgroup) == m_tree.Root(e->subgroup);
}

QSSTATUS CProject::MoveIDToSubGroup(QSID id, QSID subgroup) {
    if (!CanMoveIDToSubgroup(id, subgroup)) return qsk::kFail;
    FindEntry(id)->subgroup = subgroup;
    m_modified = true;
    return qsk::kOk;
}

QSSTATUS CProject::SetShowItems(const QSIDArray& ids) {
    QSIDArray bases;
    for (QSID id : ids) bases.push_back(BaseOf(id));
    m_tree.SetShowItems(bases);
    m_modified = true;
    return qsk::kOk;
}

QSSTATUS CProject::SetShowItem(QSID id) {
    m_tree.AddShowItem(BaseOf(id));
    m_modified = true;
    return qsk::kOk;
}

QSSTATUS CProject::GetProjStructDataInfo(unsigned short layer, std::array<std::map<QSID, std::string>, 5>& maps,
                                         bool withData) const {
    if (layer < 1 || layer > kLayerCount) return qsk::kBadLayer;
    for (auto& m : maps) m.clear();
    for (const auto& [base, e] : m_store) {
        const unsigned short l = e.layered ? layer : 0;
        const CFormula* f = e.inst[l].get();
        if (!f || (withData && !IDHasData(base, l))) continue;
        QSID id = base;
        if (e.layered) SetIDLayer(id, layer);
        const int kind = GetIDDOType(base), index = GetIDIndex(base);
        int slot = -1;
        if (kind == 5 || kind == 6) slot = 3;
        else if (kind == 1 || kind == 2) {
            if (e.subgroup == qsk::kNodeAdjustments) slot = 4;
            else if ((index >= 23 && index <= 29) || (index >= 33 && index <= 39)) slot = 2;
            else if (e.subgroup == qsk::kCatInput) slot = 0;
            else slot = 1;
        }
        if (slot >= 0) maps[slot][id] = f->GetIDName(-1);
    }
    return qsk::kOk;
}

// ---------------------------------------------------------------- labels and dates

QSSTATUS CProject::GetLabels(QSStringArray& exposure, QSStringArray& development, QSStringArray& exhibit,
                             std::string& title) const {
    std::string cap;
    GetLabels(exposure, LBL_EXPOSURE, cap, -1);
    GetLabels(development, LBL_DEVELOPMENT, cap, -1);
    GetLabels(exhibit, LBL_EXHIBIT, cap, -1);
    title = m_display.PeriodLabel();
    return qsk::kOk;
}

QSSTATUS CProject::GetLabels(QSStringArray& labels, LABELTYPES kind, std::string& caption, const short& index) const {
    if (const QSSTATUS st = m_display.Labels(m_periods, kind, labels, caption)) return st;
    if (index >= 0) {
        if (index >= static_cast<short>(labels.size())) return qsk::kOutOfRange;
        labels = {labels[index]};
    }
    return qsk::kOk;
}

QSSTATUS CProject::GetObjectLabels(const CDataObject& object, QSStringArray& rows, QSStringArray& cols,
                                   std::string& corner) const {
    std::string cap;
    std::uint16_t nr = 0, nc = 0;
    object.GetMaxRowsCols(nr, nc);
    rows.clear();
    cols.clear();
    corner = object.GetIDLongName();
    switch (object.GetVectorType()) {
    case CDataObject::VT_TRIANGLE:
        GetLabels(rows, LBL_EXPOSURE, cap, -1);
        // Age-to-age factors sit between two ages: "12-24", not "12".
        GetLabels(cols, object.IsDeveloped() ? LBL_EXHIBIT : LBL_DEVELOPMENT, cap, -1);
        break;
    case CDataObject::VT_COLUMN:
        GetLabels(rows, LBL_EXPOSURE, cap, -1);
        cols.push_back(object.GetIDShortName().empty() ? object.GetIDLongName() : object.GetIDShortName());
        break;
    case CDataObject::VT_ROW:
        rows.push_back(object.GetIDShortName().empty() ? object.GetIDLongName() : object.GetIDShortName());
        GetLabels(cols, LBL_DEVELOPMENT, cap, -1);
        break;
    }
    rows.resize(nr);
    cols.resize(nc);
    return qsk::kOk;
}

QSSTATUS CProject::GetExpDate(int& month, int& day, int& year, int index) const {
    const std::vector<double>& dates = m_periods.Dates();
    if (index < 0 || index >= static_cast<int>(dates.size())) return qsk::kOutOfRange;
    CHDate d(dates[index]);
    month = d.Month();
    day = d.Day();
    year = d.Year();
    return qsk::kOk;
}

QSSTATUS CProject::GetExpDate(CHDate& date, int index) const {
    const std::vector<double>& dates = m_periods.Dates();
    if (index < 0 || index >= static_cast<int>(dates.size())) return qsk::kOutOfRange;
    date.SetSerial(dates[index]);
    return qsk::kOk;
}

QSSTATUS CProject::SetExpDate(int month, int day, int year, int index) {
    if (index < 0 || index >= static_cast<int>(m_periods.Dates().size())) return qsk::kOutOfRange;
    CHDate d;
    if (d.SetDate(year, month, day) != 0) return qsk::kFail;
    if (const QSSTATUS st = m_periods.SetDate(index, d.GetSerial())) return st;
    NotifyAllObjects(XR_LAYOUT);
    m_modified = true;
    return qsk::kOk;
}

QSSTATUS CProject::GetDevPeriod(int& months, int index) const {
    const std::vector<int>& ages = m_periods.Ages();
    if (index < 0 || index >= static_cast<int>(ages.size())) return qsk::kOutOfRange;
    months = ages[index];
    return qsk::kOk;
}

QSSTATUS CProject::SetDevPeriod(int months, int index) {
    if (const QSSTATUS st = m_periods.SetAge(index, months)) return st;
    NotifyAllObjects(XR_LAYOUT);
    m_modified = true;
    return qsk::kOk;
}

std::string CProject::GetAllPriorExposureYear(const std::string& label) const {
    if (m_periods.Dates().empty()) return label;
    return std::to_string(CHDate(m_periods.Dates()[0]).Year());
}

QSSTATUS CProject::SetDatesFormat(const std::string& pattern) {
    if (const QSSTATUS st = m_display.SetDatesFormat(pattern)) return st;
    NotifyAllObjects(XR_LAYOUT);
    m_modified = true;
    return qsk::kOk;
}

QSSTATUS CProject::SetExhibitLabelFormat(int format) {
    if (const QSSTATUS st = m_display.SetExhibitLabelFormat(format)) return st;
    m_modified = true;
    return qsk::kOk;
}

std::string CProject::GetSelHistLabel(int index) const { return m_display.HistLabel(index); }

QSSTATUS CProject::SetSelHistLabel(int index, const std::string& text) {
    if (const QSSTATUS st = m_display.SetHistLabel(index, text)) return st;
    m_modified = true;
    return qsk::kOk;
}

QSSTATUS CProject::SetSelHistLabels(const std::vector<std::string>& labels) {
    if (labels.size() > static_cast<std::size_t>(kMaxHistoricals)) return qsk::kOutOfRange;
    m_display.SetHistLabels(labels);
    m_modified = true;
    return qsk::kOk;
}

// ---------------------------------------------------------------- display

QSSTATUS CProject::GetCurrencySymbol(std::string& symbol, int& position) const {
    symbol = m_display.Numbers().currency;
    position = m_display.Numbers().currencyPosition;
    return qsk::kOk;
}

QSSTATUS CProject::SetCurrencySymbol(const std::string& symbol, int position) {
    if (const QSSTATUS st = m_display.SetCurrencySymbol(symbol, position)) return st;
    m_modified = true;
    return qsk::kOk;
}

QSSTATUS CProject::GetNegSymbol(std::string& symbol, int& leading, int& red) const {
    symbol = m_display.Numbers().negSymbol;
    leading = m_display.Numbers().negLeading;
    red = m_display.Numbers().negRed;
    return qsk::kOk;
}

QSSTATUS CProject::SetNegSymbol(const std::string& symbol, int leading, int red) {
    if (const QSSTATUS st = m_display.SetNegSymbol(symbol, leading, red)) return st;
    m_modified = true;
    return qsk::kOk;
}

QSSTATUS CProject::GetThousDecSymbol(char& thousands, char& decimal, int& useThousands) const {
    thousands = m_display.Numbers().thousands;
    decimal = m_display.Numbers().decimal;
    useThousands = m_display.Numbers().useThousands;
    return qsk::kOk;
}

QSSTATUS CProject::SetThousDecSymbol(char thousands, char decimal, int useThousands) {
    if (const QSSTATUS st = m_display.SetThousDecSymbol(thousands, decimal, useThousands)) return st;
    m_modified = true;
    return qsk::kOk;
}
