#include "ProjectPeriods.h"

#include <algorithm>

#include "CHDate.h"

namespace {
bool PeriodsValidLength(int months) { return months == 1 || months == 3 || months == 6 || months == 12; }
}  // namespace

bool ProjectPeriods::ValidCalcedLayers(LAYERNAMES calc1, LAYERNAMES calc2) {
    const bool c1 = calc1 == NET || calc1 == CEDED || calc1 == GROSS;
    const bool c2 = calc2 == DIRECT || calc2 == ASSUMED || calc2 == GROSS;
    return c1 && c2 && !(calc1 == GROSS && calc2 == GROSS);
}

QSSTATUS ProjectPeriods::Validate(const QSStructure& s) {
    if (s.numExp < 1 || s.numExp > 999 || s.numDev < 1 || s.numDev > 999) return qsk::kFail;
    if (!PeriodsValidLength(s.expLength) || !PeriodsValidLength(s.devLength)) return qsk::kFail;
    if (s.firstYear > 9999 || s.firstInterval < 1 || s.firstInterval > 12 / s.expLength) return qsk::kFail;
    if (s.firstDevAge < 1 || s.firstDevAge > 1200) return qsk::kFail;
    if (!ValidCalcedLayers(s.calc1, s.calc2)) return qsk::kBadLayer;
    if (s.prior && s.numExp < 2) return qsk::kFail;
    return qsk::kOk;
}

void ProjectPeriods::ShiftFirstPeriod(QSStructure& s, int months) {
    int total = s.firstYear * 12 + (s.firstInterval - 1) * s.expLength + months;
    if (total < 0) total = 0;
    s.firstYear = static_cast<std::uint16_t>(total / 12);
    s.firstInterval = static_cast<std::uint16_t>((total % 12) / s.expLength + 1);
}

std::vector<int> ProjectPeriods::ExtendAges(const std::vector<int>& ages, int count, int step) {
    std::vector<int> r(ages.begin(), ages.begin() + std::min<std::size_t>(ages.size(), static_cast<std::size_t>(count)));
    while (static_cast<int>(r.size()) < count) r.push_back(r.empty() ? step : r.back() + step);
    return r;
}

void ProjectPeriods::Reset(const QSStructure& s) {
    m_s = s;
    m_dates.assign(m_s.numExp, 0.0);
    CHDate first;
    first.SetDate(m_s.firstYear, (m_s.firstInterval - 1) * m_s.expLength + 1, 1);
    for (int i = 0; i < m_s.numExp; ++i) {
        CHDate d = first;
        const short n = static_cast<short>(i * m_s.expLength);
        d.AddMonths(&n);
        m_dates[i] = d.GetSerial();
    }
    m_ages.assign(m_s.numDev, 0);
    for (int c = 0; c < m_s.numDev; ++c) m_ages[c] = m_s.firstDevAge + c * m_s.devLength;
    m_stairAges = m_ages;
}

void ProjectPeriods::Reshape(const QSStructure& s, const std::vector<double>* newDates,
                             const std::vector<int>* newAges) {
    const std::vector<int> oldLabels = m_ages;
    Reset(s);
    if (newDates && newDates->size() == s.numExp) m_dates = *newDates;
    if (newAges && newAges->size() == s.numDev) {
        m_stairAges = *newAges;
        m_ages = ExtendAges(oldLabels, s.numDev, s.devLength);
    }
}

std::vector<std::uint16_t> ProjectPeriods::Staircase() const {
    // A row sees the ages up to the evaluation: from the start of its period
    // to the end of the newest period, plus any evaluations appended without
    // a new row. The all-prior row sees every age.
    std::vector<std::uint16_t> lens(m_s.numExp, 0);
    for (int i = 0; i < m_s.numExp; ++i) {
        const int months = (m_s.numExp - i) * m_s.expLength + m_s.evalExtra;
        std::uint16_t n = 0;
        for (int c = 0; c < m_s.numDev; ++c)
            if (m_stairAges[c] <= months || (m_s.prior && i == 0 && c < m_s.numDev)) n = static_cast<std::uint16_t>(c + 1);
        lens[i] = n;
    }
    return lens;
}

std::string ProjectPeriods::DefaultDatesFormat() const {
    switch (m_s.expLength) {
    case PRD_HALFYEAR: return "yyyy'-'f";
    case PRD_QUARTER: return "yyyy'-'q";
    case PRD_MONTH: return "yyyy'-'m";
    default: return "yyyy";
    }
}

int ProjectPeriods::EvaluationCount() const {
    return (m_s.numExp - (m_s.prior ? 1 : 0)) + m_s.evalExtra / m_s.expLength;
}

QSSTATUS ProjectPeriods::SetDate(int index, double serial) {
    if (index < 0 || index >= static_cast<int>(m_dates.size())) return qsk::kOutOfRange;
    if (index > 0 && serial <= m_dates[index - 1]) return qsk::kFail;
    if (index + 1 < static_cast<int>(m_dates.size()) && serial >= m_dates[index + 1]) return qsk::kFail;
    m_dates[index] = serial;
    return qsk::kOk;
}

QSSTATUS ProjectPeriods::SetAge(int index, int months) {
    if (index < 0 || index >= static_cast<int>(m_ages.size()) || months < 1) return qsk::kOutOfRange;
    if (index > 0 && months <= m_ages[index - 1]) return qsk::kFail;
    if (index + 1 < static_cast<int>(m_ages.size()) && months >= m_ages[index + 1]) return qsk::kFail;
    m_ages[index] = months;
    return qsk::kOk;
}
