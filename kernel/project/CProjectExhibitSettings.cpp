// CProject: the project-wide exhibit settings (ExhibitSettings.h).
#include <algorithm>
#include <set>

#include "CExhibit.h"
#include "CProject.h"

namespace {
constexpr int kInterpolatedAgesIndex = 804;

QSSTATUS SetSwitch(int& target, int on, bool& modified) {
    const int v = on ? 1 : 0;
    if (target != v) modified = true;
    target = v;
    return qsk::kOk;
}
}  // namespace

void CProject::ApplyStatsDefsToExhibits() {
    const QSExhibitSettings& s = m_exhibitSettings;
    for (auto& [id, e] : m_store)
        for (auto& inst : e.inst)
            if (auto* ex = dynamic_cast<CExhibit*>(inst.get()); ex && ex->HasStatistics())
                ex->SetStatsDefs(s.statsDefs, s.excludePrior, s.abbreviate);
}

QSSTATUS CProject::GetStatsCount(unsigned short& count) const {
    count = static_cast<unsigned short>(m_exhibitSettings.statsDefs.size());
    return qsk::kOk;
}

QSSTATUS CProject::GetStatsDefs(std::vector<CStatistics::Record>& records, int& excludePrior, int& abbreviate) const {
    records = m_exhibitSettings.statsDefs;
    excludePrior = m_exhibitSettings.excludePrior;
    abbreviate = m_exhibitSettings.abbreviate;
    return qsk::kOk;
}

QSSTATUS CProject::SetStatsDefs(const std::vector<CStatistics::Record>& records, int excludePrior, int abbreviate) {
    m_exhibitSettings.statsDefs = records;
    m_exhibitSettings.excludePrior = excludePrior ? 1 : 0;
    m_exhibitSettings.abbreviate = abbreviate ? 1 : 0;
    ApplyStatsDefsToExhibits();
    m_modified = true;
    return qsk::kOk;
}

QSSTATUS CProject::SetExhibitShowSDF(const int& on) { return SetSwitch(m_exhibitSettings.showSDF, on, m_modified); }
QSSTATUS CProject::SetExhibitShowCumSDF(const int& on) { return SetSwitch(m_exhibitSettings.showCumSDF, on, m_modified); }
QSSTATUS CProject::SetExhibitShowRatioSDF(const int& on) {
    return SetSwitch(m_exhibitSettings.showRatioSDF, on, m_modified);
}
QSSTATUS CProject::SetExhibitShowBlankSDF(const int& on) {
    return SetSwitch(m_exhibitSettings.showBlankSDF, on, m_modified);
}
QSSTATUS CProject::SetExhibitShowSelHist(const int& on) { return SetSwitch(m_exhibitSettings.showSelHist, on, m_modified); }

QSSTATUS CProject::GetExhibitViewSelHistCount(unsigned short& count) const {
    count = m_exhibitSettings.selHistCount;
    return qsk::kOk;
}

QSSTATUS CProject::SetExhibitViewSelHistCount(const unsigned short& count) {
    if (count > kMaxHistoricals) return qsk::kFail;
    if (m_exhibitSettings.selHistCount != count) m_modified = true;
    m_exhibitSettings.selHistCount = count;
    return qsk::kOk;
}

QSSTATUS CProject::GetExhibitStatsLists(QSIDArray& with, QSIDArray& offered) const {
    with.clear();
    offered.clear();
    for (const auto& [id, e] : m_store) {
        const CExhibit* ex = nullptr;
        for (const auto& inst : e.inst)
            if ((ex = dynamic_cast<const CExhibit*>(inst.get()))) break;
        if (!ex) continue;
        offered.push_back(id);
        if (ex->HasStatistics()) with.push_back(id);
    }
    return qsk::kOk;
}

QSSTATUS CProject::SetExhibitStatsLists(const QSIDArray& with, const QSIDArray& without) {
    auto exhibitOf = [&](QSID id) -> ObjectEntry* {
        ObjectEntry* e = FindEntry(id);
        if (!e) return nullptr;
        for (auto& inst : e->inst)
            if (dynamic_cast<CExhibit*>(inst.get())) return e;
        return nullptr;
    };
    for (const QSIDArray* list : {&with, &without})
        for (QSID id : *list)
            if (!exhibitOf(id)) return qsk::kUnknownId;
    const QSExhibitSettings& s = m_exhibitSettings;
    for (const QSIDArray* list : {&without, &with}) {
        const bool on = list == &with;
        for (QSID id : *list)
            for (auto& inst : exhibitOf(id)->inst) {
                auto* ex = dynamic_cast<CExhibit*>(inst.get());
                if (!ex || ex->HasStatistics() == on) continue;
                if (on) ex->SetStatsDefs(s.statsDefs, s.excludePrior, s.abbreviate);
                ex->SetHasStatistics(on);
                ex->NotifyAll(XR_LAYOUT, 0);
                m_modified = true;
            }
    }
    return qsk::kOk;
}

int CProject::GetInterpolationSelections(std::vector<CInterpolateSelection>& selections, ENUM_PERIOD* period,
                                         int* display, int* abbreviate, int* useInMethods,
                                         ENUM_ADJ_UNEARNED_EXPOSURE* adjustment) const {
    const QSExhibitSettings& s = m_exhibitSettings;
    selections = s.interpolation;
    if (period) *period = s.period;
    if (display) *display = s.interpDisplay;
    if (abbreviate) *abbreviate = s.interpAbbreviate;
    if (useInMethods) *useInMethods = s.interpUseInMethods;
    if (adjustment) *adjustment = s.adjustment;
    return 1;
}

QSSTATUS CProject::SetInterpolationSelections(const std::vector<CInterpolateSelection>& selections,
                                              ENUM_PERIOD period, int display, int abbreviate, int useInMethods,
                                              ENUM_ADJ_UNEARNED_EXPOSURE adjustment) {
    for (const CInterpolateSelection& sel : selections)
        if (CInterpolationUtil::GetCurveIndices(sel.GetCurveType()) < 0 ||
            CInterpolationUtil::GetInputIndices(sel.GetInputType()) < 0)
            return qsk::kFail;
    if ((period != PERIOD_ACCIDENT && period != PERIOD_POLICY) ||
        (adjustment != ADJ_FULL_PERIOD_ULTIMATE && adjustment != ADJ_PARTIAL_PERIOD_ULTIMATE))
        return qsk::kFail;
    QSExhibitSettings& s = m_exhibitSettings;
    // Kept in ascending order, as the views list them.
    s.interpolation = selections;
    std::stable_sort(s.interpolation.begin(), s.interpolation.end(),
                     [](const CInterpolateSelection& a, const CInterpolateSelection& b) {
                         return a.GetOrder() < b.GetOrder();
                     });
    s.period = period;
    s.interpDisplay = display ? 1 : 0;
    s.interpAbbreviate = abbreviate ? 1 : 0;
    s.interpUseInMethods = useInMethods ? 1 : 0;
    s.adjustment = adjustment;
    m_modified = true;
    return qsk::kOk;
}

QSSTATUS CProject::GetCurrentPeriods(CDataObject*& periods, unsigned short layer) const {
    periods = nullptr;
    if (layer > kLayerCount || m_periods.Ages().empty()) return qsk::kFail;
    auto row = std::make_unique<CDataObject>();
    row->SetShape(1, static_cast<std::uint16_t>(m_periods.Ages().size()), CDataObject::VT_ROW);
    for (size_t k = 0; k < m_periods.Ages().size(); ++k) row->SetAt(0, static_cast<int>(k), m_periods.Ages()[k]);
    row->SetIDLongName("Development Ages");
    periods = row.release();
    return qsk::kOk;
}

QSSTATUS CProject::GetInterpolatePeriods(CDataObject*& periods, unsigned short layer) const {
    periods = nullptr;
    const CDataObject* ages = FindDataObject(MakeID(1, 1, 0, 0, kInterpolatedAgesIndex), layer ? layer : 1);
    if (!ages) return qsk::kUnknownId;
    std::vector<double> held;
    for (size_t i = 0; i < ages->Values().size(); ++i)
        if ((ages->Flags()[i] & CDataObject::CF_VALUE) && ages->Values()[i] > 0) held.push_back(ages->Values()[i]);
    if (held.empty()) return qsk::kFail;
    auto row = std::make_unique<CDataObject>();
    row->SetShape(1, static_cast<std::uint16_t>(held.size()), CDataObject::VT_ROW);
    for (size_t k = 0; k < held.size(); ++k) row->SetAt(0, static_cast<int>(k), held[k]);
    row->SetIDLongName(ages->GetIDLongName());
    periods = row.release();
    return qsk::kOk;
}

QSSTATUS CProject::GetFSList(std::vector<CFactorSet>& sets, QSStringArray& libraries,
                             QSStringArray& descriptions) const {
    sets.clear();
    libraries.clear();
    descriptions.clear();
    for (const QSFactorSetRef& f : m_exhibitSettings.factorSets) {
        sets.push_back(f.set);
        libraries.push_back(f.library);
        descriptions.push_back(f.description);
    }
    return qsk::kOk;
}

QSSTATUS CProject::SetFSList(const std::vector<CFactorSet>& sets, const QSStringArray& libraries,
                             const QSStringArray& descriptions) {
    if (libraries.size() != sets.size() || descriptions.size() != sets.size()) return qsk::kFail;
    std::vector<QSFactorSetRef> list;
    for (size_t i = 0; i < sets.size(); ++i) list.push_back({libraries[i], descriptions[i], sets[i]});
    m_exhibitSettings.factorSets = std::move(list);
    m_modified = true;
    // The exhibits' factor-set rows follow the list.
    for (auto& [id, e] : m_store)
        for (auto& inst : e.inst)
            if (auto* ex = dynamic_cast<CExhibit*>(inst.get())) ex->NotifyAll(XR_LAYOUT, 0);
    return qsk::kOk;
}
