// Structure operations of CProject: evaluations, exposure and development
// periods, compression, and the copies between current and historical
// ultimates. Each validates first and changes nothing on a failure.
#include <algorithm>

#include "CProject.h"
#include "CellKey.h"

namespace {
void ShiftFirstPeriod(QSStructure& s, int months) { ProjectPeriods::ShiftFirstPeriod(s, months); }
}  // namespace

void CProject::Restructure(const QSStructure& ns, const CellSourceFn& cells, const std::vector<double>* newDates,
                           const std::vector<int>* newAges) {
    struct OldCells {
        CDataObject* obj;
        std::uint16_t cols;
        std::vector<double> values;
        std::vector<std::uint8_t> flags;
        std::map<std::uint32_t, std::string> notes;
    };
    std::vector<OldCells> old;
    for (auto& [id, e] : m_store)
        for (auto& inst : e.inst)
            if (auto* d = dynamic_cast<CDataObject*>(inst.get())) {
                std::uint16_t r = 0, c = 0;
                d->GetMaxRowsCols(r, c);
                old.push_back({d, c, d->Values(), d->Flags(), d->GetNotes()});
            }
    // With the same development structure (newAges) the cells' ages and the labels carry over.
    m_periods.Reshape(ns, newDates, newAges);
    ApplyShapes();
    for (OldCells& o : old) {
        CDataObject* d = o.obj;
        std::uint16_t rows = 0, cols = 0;
        d->GetMaxRowsCols(rows, cols);
        std::vector<double> values(static_cast<std::size_t>(rows) * cols, 0.0);
        std::vector<std::uint8_t> flags(values.size(), CDataObject::CF_BLANK);
        std::map<std::uint32_t, std::string> notes;
        if (!d->IsCalculated()) {
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < cols; ++c) {
                    if (!d->LocationIsValid(r, c)) continue;
                    const auto src = cells(d->GetVectorType(), r, c);
                    double sum = 0.0;
                    bool any = false;
                    std::uint8_t marks = 0;
                    for (auto [orow, ocol] : src) {
                        const std::size_t oi = static_cast<std::size_t>(orow) * o.cols + ocol;
                        if (orow < 0 || ocol < 0 || ocol >= o.cols || oi >= o.flags.size()) continue;
                        if (o.flags[oi] & CDataObject::CF_VALUE) {
                            sum += o.values[oi];
                            any = true;
                        }
                        if (src.size() == 1) marks = o.flags[oi] & ~(CDataObject::CF_VALUE | CDataObject::CF_BLANK);
                    }
                    const std::size_t ni = static_cast<std::size_t>(r) * cols + c;
                    values[ni] = any ? sum : 0.0;
                    flags[ni] = static_cast<std::uint8_t>(marks | (any ? CDataObject::CF_VALUE : CDataObject::CF_BLANK));
                    if (src.size() == 1) {
                        auto it = o.notes.find(CellKey{src[0].first, src[0].second}.Packed());
                        if (it != o.notes.end()) notes[CellKey{r, c}.Packed()] = it->second;
                    }
                }
        }
        d->ReplaceCells(std::move(values), std::move(flags), std::move(notes));
    }
    CFormula::PropagateLayoutChange(m_store.EnteredInstances(m_periods.Structure().calc1, m_periods.Structure().calc2));
    NotifyAllObjects(XR_LAYOUT);
    m_modified = true;
}

void CProject::RestructureByMaps(const QSStructure& ns, const std::vector<int>& rowMap, const std::vector<int>& colMap) {
    const bool sameDev = ns.devLength == m_periods.Structure().devLength && ns.firstDevAge == m_periods.Structure().firstDevAge;
    const std::vector<int> ages = ProjectPeriods::ExtendAges(m_periods.StairAges(), ns.numDev, ns.devLength);
    Restructure(ns, [&](int vt, int r, int c) -> std::vector<std::pair<int, int>> {
        const int orow = vt == CDataObject::VT_ROW ? 0 : (r < static_cast<int>(rowMap.size()) ? rowMap[r] : -1);
        const int ocol = vt == CDataObject::VT_COLUMN ? 0 : (c < static_cast<int>(colMap.size()) ? colMap[c] : -1);
        if (orow < 0 || ocol < 0) return {};
        return {{orow, ocol}};
    }, nullptr, sameDev ? &ages : nullptr);
}

QSSTATUS CProject::RedimProj(std::uint16_t numExp, PRDLENGTH expLength, std::uint16_t firstYear,
                             std::uint16_t firstInterval, std::uint16_t numDev, PRDLENGTH devLength,
                             std::uint16_t firstDevAge, LAYERNAMES calc1, LAYERNAMES calc2) {
    QSStructure ns = m_periods.Structure();
    ns.numExp = numExp;
    ns.expLength = expLength;
    ns.firstYear = firstYear;
    ns.firstInterval = firstInterval;
    ns.numDev = numDev;
    ns.devLength = devLength;
    ns.firstDevAge = firstDevAge;
    ns.calc1 = calc1;
    ns.calc2 = calc2;
    ns.evalExtra = 0;
    const QSSTATUS st = ValidateStructure(ns);
    if (st != qsk::kOk) return st;
    if (!m_created) {
        m_periods.Reset(ns);
        m_display.SetDatesFormat(m_periods.DefaultDatesFormat());
        m_display.SetPeriodLabel("Year");
        BuildTemplate();
        m_created = true;
        return qsk::kOk;
    }
    std::vector<int> rowMap(numExp), colMap(numDev);
    for (int r = 0; r < numExp; ++r) rowMap[r] = r < m_periods.Structure().numExp ? r : -1;
    for (int c = 0; c < numDev; ++c) colMap[c] = c < m_periods.Structure().numDev ? c : -1;
    const bool relationsChange = ns.calc1 != m_periods.Structure().calc1 || ns.calc2 != m_periods.Structure().calc2;
    RestructureByMaps(ns, rowMap, colMap);
    if (relationsChange) ApplyLayerRelations();
    m_display.SetDatesFormat(m_periods.DefaultDatesFormat());
    return qsk::kOk;
}

int CProject::GetEvaluationCount() const {
    return (m_periods.Structure().numExp - (m_periods.Structure().prior ? 1 : 0)) + m_periods.Structure().evalExtra / m_periods.Structure().expLength;
}

QSSTATUS CProject::AppendNewEvaluation(int& growRows, int& growColumns, int& clearSelected, int& count) {
    if (count < 1) return qsk::kFail;
    QSStructure ns = m_periods.Structure();
    for (int i = 0; i < count; ++i) {
        if (growRows) ++ns.numExp;
        else ns.evalExtra = static_cast<std::uint16_t>(ns.evalExtra + ns.expLength);
        if (growColumns) ++ns.numDev;
    }
    if (ValidateStructure(ns) != qsk::kOk || ns.evalExtra > 1200) return qsk::kFail;
    std::vector<int> rowMap(ns.numExp), colMap(ns.numDev);
    for (int r = 0; r < ns.numExp; ++r) rowMap[r] = r < m_periods.Structure().numExp ? r : -1;
    for (int c = 0; c < ns.numDev; ++c) colMap[c] = c < m_periods.Structure().numDev ? c : -1;
    const std::vector<double> keepDates = m_periods.Dates();
    RestructureByMaps(ns, rowMap, colMap);
    // Entered dates of existing periods stay.
    std::vector<double> dates = m_periods.Dates();
    for (std::size_t i = 0; i < keepDates.size() && i < dates.size(); ++i) dates[i] = keepDates[i];
    m_periods.SetDates(std::move(dates));
    if (clearSelected) {
        // Selected factors and method variables start afresh for the new evaluation.
        // The user's own tables (indexes from 501) hold entered data, never
        // selections, so they are kept.
        for (auto& [id, e] : m_store) {
            const int index = GetIDIndex(id);
            const bool methodVar = (GetIDDOType(id) == 1 || GetIDDOType(id) == 2) && GetIDDataType(id) == 0 &&
                                   index > 103 && index < qsk::kFirstUserIndex && e.subgroup != qsk::kNodeAdjustments;
            if (!methodVar && e.subgroup != qsk::kCatSDF) continue;
            for (auto& inst : e.inst)
                if (auto* d = dynamic_cast<CDataObject*>(inst.get()); d && !d->IsCalculated()) d->RemoveAll();
        }
    }
    return qsk::kOk;
}

QSSTATUS CProject::RemoveLastEvaluation(int& count) {
    if (count < 1) return qsk::kFail;
    QSStructure ns = m_periods.Structure();
    for (int i = 0; i < count; ++i) {
        if (ns.evalExtra >= ns.expLength) ns.evalExtra = static_cast<std::uint16_t>(ns.evalExtra - ns.expLength);
        else if (ns.numExp - (ns.prior ? 1 : 0) > 1) --ns.numExp;
        else return qsk::kFail;
    }
    if (ValidateStructure(ns) != qsk::kOk) return qsk::kFail;
    std::vector<int> rowMap(ns.numExp), colMap(ns.numDev);
    for (int r = 0; r < ns.numExp; ++r) rowMap[r] = r;
    for (int c = 0; c < ns.numDev; ++c) colMap[c] = c;
    const std::vector<double> keepDates(m_periods.Dates().begin(), m_periods.Dates().begin() + ns.numExp);
    RestructureByMaps(ns, rowMap, colMap);
    m_periods.SetDates(keepDates);
    return qsk::kOk;
}

QSSTATUS CProject::AppendExposurePeriod(int& count, int kind) {
    if (count < 1 || (kind != 0 && kind != 2)) return qsk::kFail;
    if (kind == 0 && (m_periods.Structure().prior || count != 1)) return qsk::kFail;
    QSStructure ns = m_periods.Structure();
    const int prior = m_periods.Structure().prior ? 1 : 0;
    ns.numExp = static_cast<std::uint16_t>(ns.numExp + count);
    if (kind == 0) ns.prior = true;
    ShiftFirstPeriod(ns, -count * ns.expLength);
    if (ValidateStructure(ns) != qsk::kOk) return qsk::kFail;
    // New rows stand before the oldest period (after the prior row), or are
    // the new prior row itself.
    const int insertAt = kind == 0 ? 0 : prior;
    std::vector<int> rowMap(ns.numExp), colMap(ns.numDev);
    for (int r = 0; r < ns.numExp; ++r)
        rowMap[r] = r < insertAt ? r : (r < insertAt + count ? -1 : r - count);
    for (int c = 0; c < ns.numDev; ++c) colMap[c] = c;
    RestructureByMaps(ns, rowMap, colMap);
    return qsk::kOk;
}

QSSTATUS CProject::RemoveExposurePeriod(int& count, int kind) {
    if (count < 1 || (kind != 1 && kind != 2)) return qsk::kFail;
    if (kind == 1 && (!m_periods.Structure().prior || count != 1)) return qsk::kFail;
    const int prior = m_periods.Structure().prior ? 1 : 0;
    if (kind == 2 && m_periods.Structure().numExp - prior - count < 1) return qsk::kFail;
    QSStructure ns = m_periods.Structure();
    ns.numExp = static_cast<std::uint16_t>(ns.numExp - count);
    if (kind == 1) ns.prior = false;
    ShiftFirstPeriod(ns, count * ns.expLength);
    if (ValidateStructure(ns) != qsk::kOk) return qsk::kFail;
    const int removeAt = kind == 1 ? 0 : prior;
    std::vector<int> rowMap(ns.numExp), colMap(ns.numDev);
    for (int r = 0; r < ns.numExp; ++r) rowMap[r] = r < removeAt ? r : r + count;
    for (int c = 0; c < ns.numDev; ++c) colMap[c] = c;
    RestructureByMaps(ns, rowMap, colMap);
    return qsk::kOk;
}

QSSTATUS CProject::AppendDevelopmentPeriod(int& count) {
    if (count < 1) return qsk::kFail;
    QSStructure ns = m_periods.Structure();
    ns.numDev = static_cast<std::uint16_t>(ns.numDev + count);
    if (ValidateStructure(ns) != qsk::kOk) return qsk::kFail;
    std::vector<int> rowMap(ns.numExp), colMap(ns.numDev);
    for (int r = 0; r < ns.numExp; ++r) rowMap[r] = r;
    for (int c = 0; c < ns.numDev; ++c) colMap[c] = c < m_periods.Structure().numDev ? c : -1;
    const std::vector<double> keepDates = m_periods.Dates();
    RestructureByMaps(ns, rowMap, colMap);
    m_periods.SetDates(keepDates);
    return qsk::kOk;
}

QSSTATUS CProject::CompressRows(int newLength, int& startRow, int& stopRow, int& ratio) {
    const int e = m_periods.Structure().expLength;
    if ((newLength != 3 && newLength != 6 && newLength != 12) || newLength <= e || newLength % e) return 1;
    const int r = newLength / e;
    if (ratio != 0 && ratio != r) return 1;
    const int prior = m_periods.Structure().prior ? 1 : 0;
    const int periods = m_periods.Structure().numExp - prior;
    const int missing = (r - periods % r) % r;
    if (missing) return (prior && missing == 1) ? 2000 : static_cast<QSSTATUS>(missing + 1);
    QSStructure ns = m_periods.Structure();
    ns.numExp = static_cast<std::uint16_t>(prior + periods / r);
    ns.expLength = static_cast<PRDLENGTH>(newLength);
    // Groups keep the start date of their oldest period.
    std::vector<double> dates;
    if (prior) dates.push_back(m_periods.Dates()[0]);
    for (int g = 0; g < periods / r; ++g) dates.push_back(m_periods.Dates()[prior + g * r]);
    const CHDate firstDate(dates[0]);
    ns.firstYear = static_cast<std::uint16_t>(firstDate.Year());
    ns.firstInterval = static_cast<std::uint16_t>((firstDate.Month() - 1) / newLength + 1);
    if (ValidateStructure(ns) != qsk::kOk) return 1;
    const std::vector<int> ages = m_periods.StairAges();
    auto colAtAge = [&](int age) {
        // The newest column at or before the age (cumulative values hold between ages).
        int best = -1;
        for (int c = 0; c < static_cast<int>(ages.size()); ++c)
            if (ages[c] <= age) best = c;
        return best;
    };
    Restructure(ns, [&](int vt, int row, int col) -> std::vector<std::pair<int, int>> {
        if (vt == CDataObject::VT_ROW) return {{0, col}};
        if (prior && row == 0) return {{0, vt == CDataObject::VT_COLUMN ? 0 : col}};
        const int g = row - prior;
        std::vector<std::pair<int, int>> src;
        for (int k = 0; k < r; ++k) {
            const int orow = prior + g * r + k;
            if (vt == CDataObject::VT_COLUMN) {
                src.emplace_back(orow, 0);
                continue;
            }
            // Period k of the group starts k periods later: at the group's age
            // a it is a - k * e months old.
            const int oc = colAtAge(ages[col] - k * e);
            if (oc >= 0) src.emplace_back(orow, oc);
        }
        return src;
    }, &dates, &ages);
    m_display.SetDatesFormat(m_periods.DefaultDatesFormat());
    startRow = 0;
    stopRow = ns.numExp - 1;
    ratio = r;
    return 0;
}

QSSTATUS CProject::CompressColumns(int newLength, int leaveFirst, int& count) {
    const int d = m_periods.Structure().devLength;
    if ((newLength != 3 && newLength != 6 && newLength != 12) || newLength <= d || newLength % d) return 1;
    std::vector<int> keep;
    for (int c = 0; c < m_periods.Structure().numDev; ++c)
        if (m_periods.StairAges()[c] % newLength == 0 || (leaveFirst && c == 0)) keep.push_back(c);
    if (keep.empty()) return 1;
    if (static_cast<int>(keep.size()) < m_periods.Structure().numExp) return 2;
    QSStructure ns = m_periods.Structure();
    ns.numDev = static_cast<std::uint16_t>(keep.size());
    ns.devLength = static_cast<PRDLENGTH>(newLength);
    ns.firstDevAge = static_cast<std::uint16_t>(m_periods.StairAges()[keep[0]]);
    if (ValidateStructure(ns) != qsk::kOk) return 1;
    std::vector<int> ages, labels;
    for (int c : keep) {
        ages.push_back(m_periods.StairAges()[c]);
        labels.push_back(m_periods.Ages()[c]);
    }
    std::vector<int> rowMap(ns.numExp);
    for (int r = 0; r < ns.numExp; ++r) rowMap[r] = r;
    const std::vector<double> dates = m_periods.Dates();
    Restructure(ns, [&](int vt, int row, int col) -> std::vector<std::pair<int, int>> {
        if (vt == CDataObject::VT_COLUMN) return {{row, 0}};
        return {{vt == CDataObject::VT_ROW ? 0 : row, keep[col]}};
    }, &dates, &ages);
    m_periods.SetAges(labels);
    count = 1;
    return 0;
}

QSSTATUS CProject::CopyCurrentUltimatesToHistoricalUltimates(int /*growRows*/) { return CopyUltimates(true); }

QSSTATUS CProject::CopyHistoricalUltimatesToCurrentUltimates(int /*flag*/) { return CopyUltimates(false); }

// Copies the selected ultimates over the historical ones (or back), table by
// table on every entered layer; the target keeps its own notes.
QSSTATUS CProject::CopyUltimates(bool toHistorical) {
    std::vector<CFormula*> changed;
    for (int k = 0; k < kUltimateCount; ++k) {
        const QSID sel = MakeID(1, 1, 0, 0, kFirstSelectedUltimate + k);
        const QSID hist = MakeID(1, 1, 0, 0, kFirstHistoricalUltimate + k);
        for (unsigned short l = 1; l <= kLayerCount; ++l) {
            if (IsLayerCalculated(l)) continue;
            CDataObject* from = FindDataObject(toHistorical ? sel : hist, l);
            CDataObject* to = FindDataObject(toHistorical ? hist : sel, l);
            if (!from || !to || from->Values().size() != to->Values().size()) continue;
            to->ReplaceCells(from->Values(), from->Flags(), to->GetNotes());
            to->NotifyAll(XR_RELOAD, 0);
            changed.push_back(to);
        }
    }
    CFormula::PropagateChanges(changed);
    m_modified = true;
    return qsk::kOk;
}

bool CProject::HasHistoricalUltimates() const {
    for (int k = 0; k < kUltimateCount; ++k)
        for (unsigned short l = 1; l <= kLayerCount; ++l)
            if (IDHasData(MakeID(1, 1, 0, 0, kFirstHistoricalUltimate + k), l)) return true;
    return false;
}
