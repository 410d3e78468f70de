#include "CStatistics.h"

#include <algorithm>

#include "CDataObject.h"

using qs::calc::ColumnStat;
using qs::calc::StatOptions;
using qs::calc::StatType;
using qs::calc::StatWeights;

namespace {

const char* const kStatsLinearTitles[4] = {"Slope", "Y Intercept", "R squared", "Projected"};
const char* const kStatsExpTitles[4] = {"Slope %", "Y Intercept", "R squared", "Projected"};

std::string StatsUnitWord(int months, bool plural, bool abbreviate) {
    switch (months) {
        case 1: return "Mo";
        case 3: return abbreviate ? (plural ? "Qrtrs" : "Qrtr") : (plural ? "Quarters" : "Quarter");
        case 6: return abbreviate ? (plural ? "Half Yrs" : "Half Yr") : (plural ? "Half Years" : "Half Year");
        case 12: return abbreviate ? (plural ? "Yrs" : "Yr") : (plural ? "Years" : "Year");
        default: return plural ? "Intervals" : "Interval";
    }
}

}  // namespace

bool CStatistics::Definition::Decode(const unsigned char* b, size_t count, Definition& d) {
    if (!b || (count != 9 && count != 8)) return false;
    d = Definition{};
    d.order = b[0];
    d.type = (b[1] == 1 || b[1] == 2 || b[1] == 4) ? b[1] : 1;
    d.includeZeros = b[2] != 0;
    d.excludeHighLow = b[3] != 0;
    d.excludeFirst = b[4];
    d.excludeLast = b[5];
    d.useLast = b[6];
    d.weights = b[7] <= 3 ? b[7] : 0;
    d.includeInGraph = count == 9 && b[8] != 0;
    return true;
}

CStatistics::Record CStatistics::Definition::Encode() const {
    return {order,        type,        static_cast<unsigned char>(includeZeros), static_cast<unsigned char>(excludeHighLow),
            excludeFirst, excludeLast, useLast,                                  weights,
            static_cast<unsigned char>(includeInGraph)};
}

StatOptions CStatistics::Definition::ToOptions() const {
    StatOptions o;
    o.type = static_cast<StatType>(type);
    o.includeZeros = includeZeros;
    o.excludeHighLow = excludeHighLow;
    o.excludeFirst = excludeFirst;
    o.excludeLast = excludeLast;
    o.useLast = useLast;
    o.weights = static_cast<StatWeights>(weights);
    return o;
}

std::string CStatistics::Definition::Name(int periodMonths, bool abbreviate) const {
    std::vector<std::string> words;
    if (useLast > 0) words.push_back(std::to_string(useLast) + " " + StatsUnitWord(periodMonths, false, abbreviate));
    if (weights == 1) words.push_back(abbreviate ? "Vol Wtd" : "Volume Weighted");
    if (weights == 2) words.push_back(abbreviate ? "Time Wtd" : "Time Weighted");
    if (weights == 3) words.push_back(abbreviate ? "User Wtd" : "User Weighted");
    if (type == 2) words.push_back("Linear Trend:");
    else if (type == 4) words.push_back(abbreviate ? "Exp Curve:" : "Exponential Curve:");
    else words.push_back(abbreviate ? "Avg" : "Average");
    if (includeZeros) words.push_back(abbreviate ? "Inc Zeros" : "Including Zeros");
    if (excludeHighLow) words.push_back(abbreviate ? "Exc Hi/Lo" : "Excluding High/Low");
    if (excludeFirst > 0)
        words.push_back((abbreviate ? "Exc First " : "Excluding First ") + std::to_string(excludeFirst) + " " +
                        StatsUnitWord(periodMonths, true, abbreviate));
    if (excludeLast > 0)
        words.push_back((abbreviate ? "Exc Last " : "Excluding Last ") + std::to_string(excludeLast) + " " +
                        StatsUnitWord(periodMonths, true, abbreviate));
    std::string name;
    for (const std::string& w : words) name += (name.empty() ? "" : " ") + w;
    return name;
}

void CStatistics::SetDefinitions(const std::vector<Record>& records, int excludePrior, int abbreviate) {
    m_defs.clear();
    for (const Record& r : records) {
        Definition d;
        if (Definition::Decode(r.data(), r.size(), d) && d.order > 0) m_defs.push_back(d);
    }
    std::stable_sort(m_defs.begin(), m_defs.end(),
                     [](const Definition& a, const Definition& b) { return a.order < b.order; });
    m_excludePrior = excludePrior;
    m_abbreviate = abbreviate;
    m_cells.assign(m_defs.size(), std::vector<Cell>(static_cast<size_t>(m_cols)));
}

void CStatistics::Compute(const qs::calc::TriangleRef& f, const qs::calc::TriangleRef* cum,
                          const unsigned char* outliers, const double* userWeights, bool hasPriorRow,
                          const std::vector<unsigned char>* columns) {
    const int cols = f.cols > 0 ? f.cols : 0;
    const bool partial = columns && cols == m_cols && static_cast<int>(columns->size()) == cols &&
                         m_cells.size() == m_defs.size();
    m_cols = cols;
    const int n = f.rows > 0 ? f.rows : 0;
    if (!partial) m_cells.assign(m_defs.size(), std::vector<Cell>(static_cast<size_t>(m_cols)));
    std::vector<double> factor(n), volume(n), weight(n);
    std::vector<unsigned char> usable(n);
    const bool dropPrior = hasPriorRow && m_excludePrior != 0;
    for (int k = 0; k < m_cols; ++k) {
        if (partial && !(*columns)[k]) continue;
        int projectRow = 0;
        for (int i = 0; i < n; ++i) {
            const bool has = f.Has(i, k);
            if (has) projectRow = i + 1;
            factor[i] = has ? f.At(i, k) : 0.0;
            usable[i] = has && !(outliers && (outliers[static_cast<size_t>(i) * f.cols + k] & qs::calc::kCellHasValue)) &&
                        !(dropPrior && i == 0);
            volume[i] = (cum && i < cum->rows && k < cum->cols && cum->Has(i, k)) ? cum->At(i, k) : 0.0;
            weight[i] = userWeights ? userWeights[static_cast<size_t>(i) * f.cols + k] : 1.0;
        }
        for (size_t s = 0; s < m_defs.size(); ++s) {
            const ColumnStat st = qs::calc::ComputeColumnStat(m_defs[s].ToOptions(), n, factor.data(), usable.data(),
                                                              cum ? volume.data() : nullptr, weight.data(), projectRow);
            Cell& cell = m_cells[s][k];
            cell = Cell{};
            cell.valid = st.valid;
            if (!st.valid) continue;
            if (m_defs[s].type == 1) {
                cell.row[0] = st.value;
            } else {
                cell.row[0] = m_defs[s].type == 4 ? st.slopePercent : st.slope;
                cell.row[1] = st.intercept;
                cell.row[2] = st.rSquared;
                cell.row[3] = st.projected;
            }
        }
    }
}

unsigned short CStatistics::GetNumStats(unsigned short& count) const {
    count = static_cast<unsigned short>(m_defs.size());
    return 0;
}

unsigned short CStatistics::GetMaxCols(unsigned short& cols) const {
    cols = static_cast<unsigned short>(m_cols);
    return 0;
}

unsigned short CStatistics::GetStatName(const unsigned short& stat, std::string& name, int abbreviate) const {
    if (stat >= m_defs.size()) return 1;
    name = m_defs[stat].Name(m_periodMonths, abbreviate != 0);
    return 0;
}

unsigned short CStatistics::GetNumRows(const unsigned short& stat, unsigned short& rows) const {
    if (stat >= m_defs.size()) return 1;
    rows = m_defs[stat].type == 1 ? 1 : 4;
    return 0;
}

unsigned short CStatistics::GetRowTitle(const unsigned short& stat, const unsigned short& row,
                                        std::string& title) const {
    unsigned short rows = 0;
    if (GetNumRows(stat, rows) != 0 || row >= rows) return 1;
    const unsigned char type = m_defs[stat].type;
    title = type == 1 ? "" : (type == 4 ? kStatsExpTitles[row] : kStatsLinearTitles[row]);
    return 0;
}

bool CStatistics::IsStatLTrend(const unsigned short& stat) const {
    return stat < m_defs.size() && m_defs[stat].type == 2;
}

bool CStatistics::IsStatExpCurve(const unsigned short& stat) const {
    return stat < m_defs.size() && m_defs[stat].type == 4;
}

bool CStatistics::IsStatInGraph(const unsigned short& stat) const {
    return stat < m_defs.size() && m_defs[stat].includeInGraph;
}

unsigned short CStatistics::GetAt(const unsigned short& stat, const unsigned short& row, const unsigned short& col,
                                  double& value, char& flag) const {
    unsigned short rows = 0;
    if (GetNumRows(stat, rows) != 0 || row >= rows || col >= m_cols) return 1;
    const Cell& c = m_cells[stat][col];
    value = c.valid ? c.row[row] : 0.0;
    flag = c.valid ? 0 : 4;
    return 0;
}

void CStatistics::Compute(const CDataObject& factors, const CDataObject* cumulative, const CDataObject* outliers,
                          bool hasPriorRow, const std::vector<unsigned char>* columns,
                          const CDataObject* userWeights) {
    std::uint16_t rows = 0, cols = 0;
    factors.GetMaxRowsCols(rows, cols);
    const qs::calc::TriangleRef f{factors.Values().data(), factors.Flags().data(), rows, cols, cols};
    qs::calc::TriangleRef cum;
    if (cumulative) {
        std::uint16_t cr = 0, cc = 0;
        cumulative->GetMaxRowsCols(cr, cc);
        cum = {cumulative->Values().data(), cumulative->Flags().data(), cr, cc, cc};
    }
    // A data object's cells past a row's length stay blank, so its flag bytes
    // serve as the outlier marks when the shapes agree.
    const unsigned char* marks = nullptr;
    std::vector<unsigned char> copied;
    if (outliers) {
        std::uint16_t orows = 0, ocols = 0;
        outliers->GetMaxRowsCols(orows, ocols);
        if (orows == rows && ocols == cols) {
            marks = outliers->Flags().data();
        } else {
            copied.assign(static_cast<size_t>(rows) * cols, 0);
            for (int r = 0; r < std::min<int>(rows, orows); ++r)
                for (int c = 0; c < std::min<int>(cols, ocols); ++c)
                    copied[static_cast<size_t>(r) * cols + c] = outliers->RawFlags(r, c) & CDataObject::CF_VALUE;
            marks = copied.data();
        }
    }
    // The user's weights at the factors' places; 1 where none is held.
    std::vector<double> weights;
    if (userWeights) {
        std::uint16_t wr = 0, wc = 0;
        userWeights->GetMaxRowsCols(wr, wc);
        weights.assign(static_cast<size_t>(rows) * cols, 1.0);
        for (int r = 0; r < std::min<int>(rows, wr); ++r)
            for (int c = 0; c < std::min<int>(cols, wc); ++c)
                if (userWeights->LocationIsValid(r, c) && (userWeights->RawFlags(r, c) & CDataObject::CF_VALUE))
                    weights[static_cast<size_t>(r) * cols + c] = userWeights->RawValue(r, c);
    }
    Compute(f, cumulative ? &cum : nullptr, marks, userWeights ? weights.data() : nullptr, hasPriorRow, columns);
}
