#include "ProjectDisplay.h"

#include <mutex>

#include "CHDate.h"
#include "ProjectPeriods.h"

namespace {
std::mutex gDisplayDefaultsMutex;
QSDisplayDefaults gDisplayDefaults;
}  // namespace

void ProjectDisplay::SetDefaults(const QSDisplayDefaults& defaults) {
    std::lock_guard<std::mutex> lock(gDisplayDefaultsMutex);
    gDisplayDefaults = defaults;
}

QSDisplayDefaults ProjectDisplay::GetDefaults() {
    std::lock_guard<std::mutex> lock(gDisplayDefaultsMutex);
    return gDisplayDefaults;
}

void ProjectDisplay::ResetToDefaults(const QSDisplayDefaults& defaults) {
    m_numbers = defaults;
    m_dataFont = CPageSetup::DefaultFont(80, false);
    m_headingsFont = CPageSetup::DefaultFont(80, true);
    m_pageSetup = CPageSetup();
}

// ---------------------------------------------------------------- labels

std::string ProjectDisplay::PeriodWord(PRDLENGTH length) {
    return length == 12 ? "Year" : length == 6 ? "Half Year" : length == 3 ? "Quarter" : "Month";
}

std::string ProjectDisplay::ExposureLabel(const ProjectPeriods& periods, int row) const {
    if (periods.Structure().prior && row == 0) return "Prior";
    const std::vector<double>& dates = periods.Dates();
    if (row < 0 || row >= static_cast<int>(dates.size())) return {};
    return CHDate(dates[row]).Format(m_datesFormat);
}

QSSTATUS ProjectDisplay::Labels(const ProjectPeriods& periods, LABELTYPES kind, QSStringArray& labels,
                                std::string& caption) const {
    const QSStructure& s = periods.Structure();
    const std::vector<int>& ages = periods.Ages();
    labels.clear();
    switch (kind) {
    case LBL_EXPOSURE:
        for (int r = 0; r < s.numExp; ++r) labels.push_back(ExposureLabel(periods, r));
        caption = m_periodLabel;
        break;
    case LBL_DEVELOPMENT:
        for (int a : ages) labels.push_back(std::to_string(a));
        caption = "Age";
        break;
    case LBL_EXHIBIT:
        for (std::size_t c = 0; c < ages.size(); ++c) {
            if (c + 1 < ages.size()) {
                const std::string a = std::to_string(ages[c]), b = std::to_string(ages[c + 1]);
                labels.push_back(m_exhibitLabelFormat ? b + "/" + a : a + "-" + b);
            } else {
                labels.push_back(std::to_string(ages[c]) + "-Ult");
            }
        }
        caption = "Age";
        break;
    case LBL_HISTORICAL:
        labels = m_histLabels;
        caption = "Historical";
        break;
    case LBL_CALENDAR: {
        // One label per evaluation diagonal, oldest first: the period the
        // diagonal closes.
        const int count = s.numExp + s.evalExtra / s.expLength;
        CHDate first(periods.Dates().empty() ? 0.0 : periods.Dates()[0]);
        for (int k = 0; k < count; ++k) {
            CHDate d = first;
            const short n = static_cast<short>(k * s.expLength);
            d.AddMonths(&n);
            labels.push_back(d.Format(m_datesFormat));
        }
        caption = "Calendar " + m_periodLabel;
        break;
    }
    default: return qsk::kFail;
    }
    return qsk::kOk;
}

QSSTATUS ProjectDisplay::SetDatesFormat(const std::string& pattern) {
    if (pattern.empty()) return qsk::kFail;
    m_datesFormat = pattern;
    return qsk::kOk;
}

QSSTATUS ProjectDisplay::SetExhibitLabelFormat(int format) {
    if (format != 0 && format != 1) return qsk::kFail;
    m_exhibitLabelFormat = format;
    return qsk::kOk;
}

std::string ProjectDisplay::HistLabel(int index) const {
    return index >= 0 && index < static_cast<int>(m_histLabels.size()) ? m_histLabels[index] : std::string();
}

QSSTATUS ProjectDisplay::SetHistLabel(int index, const std::string& text) {
    if (index < 0 || index >= kMaxHistoricals) return qsk::kOutOfRange;
    if (index >= static_cast<int>(m_histLabels.size())) m_histLabels.resize(index + 1);
    m_histLabels[index] = text;
    return qsk::kOk;
}

// ---------------------------------------------------------------- number display

QSSTATUS ProjectDisplay::SetCurrencySymbol(const std::string& symbol, int position) {
    if (symbol.size() > 4 || (position != 0 && position != 1)) return qsk::kFail;
    m_numbers.currency = symbol;
    m_numbers.currencyPosition = position;
    return qsk::kOk;
}

QSSTATUS ProjectDisplay::SetNegSymbol(const std::string& symbol, int leading, int red) {
    if (symbol.size() > 1) return qsk::kFail;
    m_numbers.negSymbol = symbol;
    m_numbers.negLeading = leading ? 1 : 0;
    m_numbers.negRed = red ? 1 : 0;
    return qsk::kOk;
}

QSSTATUS ProjectDisplay::SetThousDecSymbol(char thousands, char decimal, int useThousands) {
    if (decimal == 0 || thousands == decimal) return qsk::kFail;
    m_numbers.thousands = thousands;
    m_numbers.decimal = decimal;
    m_numbers.useThousands = useThousands ? 1 : 0;
    return qsk::kOk;
}
