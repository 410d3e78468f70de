#pragma once
// "Labels": how a project labels its periods. Three pages edit the row date
// pattern, the exhibits' developed format and the period word ("Formats"),
// the date of one exposure period or the age of one development period
// picked in the preview grid ("Dates", only while a person drives the
// program), and the labels of the historical factors ("Historical
// factors"). A preview grid beside the pages shows the project's row and
// column labels as they are now.
//
// Changes reach the project while the sheet is open (historical labels when
// their page is left); the sheet keeps nothing to undo them. Its caller
// takes LabelSettings before and restores them after a Cancel when
// m_bLabelsChanged is set.
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

#include "CPropertySheet.h"

class CProject;
class CLabelsPropertySheet;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace qs::ss {
class SpreadsheetControl;
}

namespace qs::project {

// Everything the labels sheet can change, as the kernel gives it.
struct LabelSettings {
    struct Date {
        int month = 0, day = 0, year = 0;
        bool operator==(const Date&) const = default;
    };
    std::string periodLabel;
    int exhibitLabelFormat = 0;
    std::string datesFormat;
    std::vector<Date> exposureDates;     // from exposure period 0
    std::vector<int> developmentPeriods;  // months, from development period 0
    std::vector<std::string> historyLabels;  // every label the project holds (at most 12)
    bool modified = false;  // the project's modified flag when taken
    bool operator==(const LabelSettings& o) const {
        return periodLabel == o.periodLabel && exhibitLabelFormat == o.exhibitLabelFormat &&
               datesFormat == o.datesFormat && exposureDates == o.exposureDates &&
               developmentPeriods == o.developmentPeriods && historyLabels == o.historyLabels;
    }
};

LabelSettings TakeLabelSettings(const CProject& project);
// Writes every setting back. The kernel keeps periods in order, so each list
// is restored in passes (down, then up) that never put a period out of
// order; a project that was unchanged when taken is unchanged again.
void RestoreLabelSettings(CProject& project, const LabelSettings& settings);

// The 32 row date patterns, in list order.
QStringList RowFormatPatterns();
// A line of the historical factors' list: "  1. text" .. "  9. ", "10. ".
QString HistoryLine(int index, const QString& label);
// The historical factors the project has: its labels, or the most
// historical selections an exhibit holds when that is more (at most 12).
int HistoryCount(CProject& project);

}  // namespace qs::project

class CLabelPropertyPage1 : public CPropertyPage {
public:
    enum : int { IDD = 126, IDC_PATTERNS = 1085, IDC_FORMAT_1224 = 1086, IDC_FORMAT_2412 = 1087, IDC_PERIOD_TYPE = 1046 };
    explicit CLabelPropertyPage1(CLabelsPropertySheet& sheet);
    BOOL OnSetActive() override;
    void DoDataExchange(CDataExchange* pDX) override;

    void OnSelectPattern();
    void OnDevelopedFormat(int format);
    void OnPeriodTypeEdited();

    QString m_strPattern;
    int m_nDevelopedFormat = 0;  // 0 "12-24", 1 "24/12"
    QString m_strPeriodType;

    QListWidget* Patterns() const { return m_patterns; }
    QLineEdit* PeriodType() const { return m_periodType; }
    QRadioButton* FormatButton(int format) const { return format ? m_format2412 : m_format1224; }

private:
    CLabelsPropertySheet& m_sheet;
    QListWidget* m_patterns;
    QRadioButton* m_format1224;
    QRadioButton* m_format2412;
    QLineEdit* m_periodType;
    bool m_filling = false;
};

class CLabelPropertyPage2 : public CPropertyPage {
public:
    enum : int { IDD = 127, IDC_DATE = 1046, IDC_APPLY = 1087 };
    static constexpr const char* kDisplayPattern = "m'/'d'/'yyyy";
    explicit CLabelPropertyPage2(CLabelsPropertySheet& sheet);
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void DoDataExchange(CDataExchange* pDX) override;

    // The date field after a click in the preview grid.
    void ShowSelection(const QString& text);
    // Apply: stores the field's date or development period; false (with a
    // message) when it is refused.
    bool OnApplyDate();

    QString m_strDate;
    int m_bChanged = 0;

    QLineEdit* DateField() const { return m_date; }
    QPushButton* ApplyButton() const { return m_apply; }

private:
    void Refused(const QString& text);
    CLabelsPropertySheet& m_sheet;
    QLineEdit* m_date;
    QPushButton* m_apply;
};

class CLabelPropertyPage3 : public CPropertyPage {
public:
    enum : int { IDD = 1556, IDC_HISTORY = 1675, IDC_EDIT = 1676 };
    explicit CLabelPropertyPage3(CLabelsPropertySheet& sheet);
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    void OnSelectLabel(int index);
    void OnLabelEdited(const QString& text);

    QStringList m_labels;
    QString m_strEdit;
    int m_bChanged = 0;
    int m_nCurrent = 0;

    QListWidget* List() const { return m_list; }
    QLineEdit* Edit() const { return m_edit; }

private:
    CLabelsPropertySheet& m_sheet;
    QListWidget* m_list;
    QLineEdit* m_edit;
};

class CLabelsPropertySheet : public CPropertySheet {
public:
    static constexpr UINT kCaptionId = 125;
    enum : int { kSelectNone = 0, kSelectRow = 1, kSelectColumn = 2 };

    explicit CLabelsPropertySheet(CProject* project, CWnd* pParent = nullptr);
    ~CLabelsPropertySheet() override;

    BOOL OnInitDialog() override;
    // Fills the preview grid from the project's labels and marks the labels changed.
    void RefreshGrid();
    // A click in the preview grid (headings are row 0 and column 0).
    void OnGridClick(int row, int col);

    CProject* Project() const { return m_pProject; }
    qs::ss::SpreadsheetControl* Grid() const { return m_pGrid; }

    CLabelPropertyPage1 m_page1;
    CLabelPropertyPage2 m_page2;
    CLabelPropertyPage3 m_page3;

    int m_bLabelsChanged = 0;
    int m_nSelectionKind = kSelectNone;
    unsigned short m_nSelectedIndex = 0;
    bool m_bSwallowButtonUp = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillGrid();
    CProject* m_pProject;
    qs::ss::SpreadsheetControl* m_pGrid;
    bool m_bGridPlaced = false;
};
