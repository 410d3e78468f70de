#pragma once
// How a project shows itself: the labels of its periods (dates pattern,
// period word, age-to-age label form, historical selection labels), its
// number display (currency, negatives, separators), fonts, page setup, and
// whether names carry the table number. A project owns one; the setters
// check their input and leave everything as it was when they refuse it.
#include <cstdint>
#include <string>

#include "CLOGFONT.h"
#include "CPageSetup.h"
#include "KernelTypes.h"

class ProjectPeriods;

// Display settings a new project starts with. The workstation keeps them in
// section "Settings" of the application profile ("Currency", "Currency
// Position", "Negative Symbol", "Negative Position", "Negative Red",
// "Thousand Separator", "Decimal Separator", "Use Thousand Separator",
// "Decimals"); the program reads them at start-up with
// CProject::ReadDisplayDefaults and the kernel applies them to every project
// constructed afterwards.
struct QSDisplayDefaults {
    std::string currency = "$";
    int currencyPosition = 1;  // 0 after the number, 1 before
    std::string negSymbol;     // empty: parentheses
    int negLeading = 0;        // 1 leading "-", 0 trailing (with a symbol)
    int negRed = 0;
    char thousands = ',';
    char decimal = '.';
    int useThousands = 1;
    short decimals = 0;
};

class ProjectDisplay {
public:
    static constexpr int kMaxHistoricals = 12;

    // The process-wide defaults of new projects (thread-safe).
    static void SetDefaults(const QSDisplayDefaults& defaults);
    static QSDisplayDefaults GetDefaults();

    // Starts from the process-wide defaults.
    ProjectDisplay() { ResetToDefaults(GetDefaults()); }
    // Number display, fonts and page setup as a new project has them; the
    // labels stay.
    void ResetToDefaults(const QSDisplayDefaults& defaults);

    // ---- labels
    // The row labels of the periods: "Prior" for the all-prior row, else the
    // row's date in the dates pattern; empty for no such row.
    std::string ExposureLabel(const ProjectPeriods& periods, int row) const;
    // All labels of one kind with their caption; kFail for an unknown kind.
    QSSTATUS Labels(const ProjectPeriods& periods, LABELTYPES kind, QSStringArray& labels, std::string& caption) const;
    // The word for a period of that length ("Year", "Half Year", "Quarter", "Month").
    static std::string PeriodWord(PRDLENGTH length);

    const std::string& DatesFormat() const { return m_datesFormat; }
    // kFail for an empty pattern.
    QSSTATUS SetDatesFormat(const std::string& pattern);
    const std::string& PeriodLabel() const { return m_periodLabel; }
    void SetPeriodLabel(const std::string& text) { m_periodLabel = text; }
    // 0: "12-24", 1: "24/12"; anything else kFail.
    int ExhibitLabelFormat() const { return m_exhibitLabelFormat; }
    QSSTATUS SetExhibitLabelFormat(int format);
    const QSStringArray& HistLabels() const { return m_histLabels; }
    void SetHistLabels(const QSStringArray& labels) { m_histLabels = labels; }
    // The labels as a stored project brings them, unchecked.
    void RestoreLabels(const std::string& datesFormat, const std::string& periodLabel, int exhibitLabelFormat,
                       const QSStringArray& histLabels) {
        m_datesFormat = datesFormat;
        m_periodLabel = periodLabel;
        m_exhibitLabelFormat = exhibitLabelFormat;
        m_histLabels = histLabels;
    }
    // Empty for a label never set.
    std::string HistLabel(int index) const;
    // kOutOfRange outside 0 .. kMaxHistoricals - 1; the list grows to index.
    QSSTATUS SetHistLabel(int index, const std::string& text);

    // ---- number display
    const QSDisplayDefaults& Numbers() const { return m_numbers; }
    void SetNumbers(const QSDisplayDefaults& numbers) { m_numbers = numbers; }
    // kFail: a symbol above 4 characters or a position other than 0/1.
    QSSTATUS SetCurrencySymbol(const std::string& symbol, int position);
    // kFail: a symbol above one character.
    QSSTATUS SetNegSymbol(const std::string& symbol, int leading, int red);
    // kFail: no decimal separator, or the same character for both.
    QSSTATUS SetThousDecSymbol(char thousands, char decimal, int useThousands);

    // ---- fonts, page and names
    const CLOGFONT& DataFont() const { return m_dataFont; }
    void SetDataFont(const CLOGFONT& font) { m_dataFont = font; }
    const CLOGFONT& HeadingsFont() const { return m_headingsFont; }
    void SetHeadingsFont(const CLOGFONT& font) { m_headingsFont = font; }
    CPageSetup& PageSetup() { return m_pageSetup; }
    const CPageSetup& PageSetup() const { return m_pageSetup; }
    int ShowTableId() const { return m_showTableId; }
    void SetShowTableId(int on) { m_showTableId = on ? 1 : 0; }

private:
    std::string m_datesFormat;
    std::string m_periodLabel;
    int m_exhibitLabelFormat = 0;
    QSStringArray m_histLabels;

    QSDisplayDefaults m_numbers;
    CLOGFONT m_dataFont;
    CLOGFONT m_headingsFont;
    CPageSetup m_pageSetup;
    int m_showTableId = 1;
};
