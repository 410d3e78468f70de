#include "CLabelsPropertySheet.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <tuple>

#include "CExhibit.h"
#include "CHDate.h"
#include "CProject.h"
#include "MessageBox.h"
#include "ProjectHost.h"
#include "SpreadsheetControl.h"
#include "WaitCursor.h"

namespace qs::project {

LabelSettings TakeLabelSettings(const CProject& project) {
    LabelSettings s;
    s.periodLabel = project.GetPeriodLabel();
    s.exhibitLabelFormat = project.GetExhibitLabelFormat();
    s.datesFormat = project.GetDatesFormat();
    for (int i = 0;; ++i) {
        LabelSettings::Date d;
        if (project.GetExpDate(d.month, d.day, d.year, i) != 0) break;
        s.exposureDates.push_back(d);
    }
    for (int i = 0;; ++i) {
        int months = 0;
        if (project.GetDevPeriod(months, i) != 0) break;
        s.developmentPeriods.push_back(months);
    }
    for (int i = 0; i < project.GetNumHistLabels(); ++i) s.historyLabels.push_back(project.GetSelHistLabel(i));
    s.modified = project.IsModified();
    return s;
}

namespace {

// Sets each differing entry: first upwards the ones that move down, then
// downwards the ones that move up, so a neighbour never blocks a period.
template <typename T, typename Get, typename Set, typename Less>
void RestoreOrdered(const std::vector<T>& wanted, Get get, Set set, Less less) {
    const int n = static_cast<int>(wanted.size());
    for (int i = 0; i < n; ++i) {
        T now{};
        if (get(now, i) == 0 && !(now == wanted[std::size_t(i)]) && less(wanted[std::size_t(i)], now))
            set(wanted[std::size_t(i)], i);
    }
    for (int i = n - 1; i >= 0; --i) {
        T now{};
        if (get(now, i) == 0 && !(now == wanted[std::size_t(i)])) set(wanted[std::size_t(i)], i);
    }
}

bool Earlier(const LabelSettings::Date& a, const LabelSettings::Date& b) {
    return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
}

}  // namespace

void RestoreLabelSettings(CProject& project, const LabelSettings& s) {
    project.SetPeriodLabel(s.periodLabel);
    project.SetExhibitLabelFormat(s.exhibitLabelFormat);
    project.SetDatesFormat(s.datesFormat);
    RestoreOrdered(
        s.exposureDates,
        [&](LabelSettings::Date& d, int i) { return project.GetExpDate(d.month, d.day, d.year, i); },
        [&](const LabelSettings::Date& d, int i) { project.SetExpDate(d.month, d.day, d.year, i); }, Earlier);
    RestoreOrdered(
        s.developmentPeriods, [&](int& months, int i) { return project.GetDevPeriod(months, i); },
        [&](int months, int i) { project.SetDevPeriod(months, i); }, std::less<int>());
    project.SetSelHistLabels(s.historyLabels);
    if (!s.modified && TakeLabelSettings(project) == s) project.SetModifiedFlag(false);
}

QStringList RowFormatPatterns() {
    static const char* const plain[8] = {"mm'-'dd'-'yyyy", "mm'-'dd'-'yy", "dd'-'mm'-'yyyy", "dd'-'mm'-'yy",
                                         "mm'-'yyyy",      "mm'-'yy",      "yyyy",           "yy"};
    QStringList patterns;
    for (const char* suffix : {"", "'-'f", "'-'q", "'-'m"})
        for (const char* p : plain) patterns << QString::fromLatin1(p) + QString::fromLatin1(suffix);
    return patterns;
}

QString HistoryLine(int index, const QString& label) {
    const int number = index + 1;
    return (number < 10 ? QStringLiteral("  %1. ") : QStringLiteral("%1. ")).arg(number) + label;
}

int HistoryCount(CProject& project) {
    int count = project.GetNumHistLabels();
    project.ForEachObject([&count](QSID, unsigned short, CFormula* object) {
        auto* exhibit = dynamic_cast<CExhibit*>(object);
        std::vector<CDataObject*> history;
        if (exhibit != nullptr && exhibit->HasSelHist() && exhibit->GetSelHist(history) == 0)
            count = std::max(count, static_cast<int>(history.size()));
    });
    return std::min(count, static_cast<int>(CProject::kMaxHistoricals));
}

}  // namespace qs::project

namespace {

// Plain message boxes of the sheet: OK, no icon.
void Tell(QWidget* owner, const QString& text) { MessageBox(owner, text, qs::fw::ApplicationName(), MB_OK); }

}  // namespace

// ---------------------------------------------------------------- Formats

CLabelPropertyPage1::CLabelPropertyPage1(CLabelsPropertySheet& sheet)
    : CPropertyPage(IDD, QStringLiteral("Formats")), m_sheet(sheet) {
    auto* layout = new QVBoxLayout(this);
    auto* patternsLabel = new QLabel(QStringLiteral("&Row formats"), this);
    m_patterns = new QListWidget(this);
    SetControlId(m_patterns, IDC_PATTERNS);
    patternsLabel->setBuddy(m_patterns);
    layout->addWidget(patternsLabel);
    layout->addWidget(m_patterns, 1);
    auto* group = new QGroupBox(QStringLiteral("Developed Format (Exhibits only)"), this);
    auto* groupLayout = new QHBoxLayout(group);
    m_format1224 = new QRadioButton(QStringLiteral("12-24"), group);
    m_format2412 = new QRadioButton(QStringLiteral("24/12"), group);
    SetControlId(m_format1224, IDC_FORMAT_1224);
    SetControlId(m_format2412, IDC_FORMAT_2412);
    groupLayout->addWidget(m_format1224);
    groupLayout->addWidget(m_format2412);
    groupLayout->addStretch(1);
    layout->addWidget(group);
    auto* typeRow = new QHBoxLayout;
    auto* typeLabel = new QLabel(QStringLiteral("&Period type"), this);
    m_periodType = new QLineEdit(this);
    SetControlId(m_periodType, IDC_PERIOD_TYPE);
    typeLabel->setBuddy(m_periodType);
    typeRow->addWidget(typeLabel);
    typeRow->addWidget(m_periodType, 1);
    layout->addLayout(typeRow);

    connect(m_patterns, &QListWidget::currentRowChanged, this, [this](int) {
        if (!m_filling) OnSelectPattern();
    });
    connect(m_format1224, &QRadioButton::clicked, this, [this] { OnDevelopedFormat(0); });
    connect(m_format2412, &QRadioButton::clicked, this, [this] { OnDevelopedFormat(1); });
    connect(m_periodType, &QLineEdit::textEdited, this, [this] { OnPeriodTypeEdited(); });
}

void CLabelPropertyPage1::DoDataExchange(CDataExchange* pDX) {
    if (pDX->m_bSaveAndValidate) {
        m_strPattern = m_patterns->currentItem() ? m_patterns->currentItem()->text() : QString();
        m_nDevelopedFormat = m_format2412->isChecked() ? 1 : 0;
        m_strPeriodType = m_periodType->text();
        return;
    }
    m_filling = true;
    const QList<QListWidgetItem*> match = m_patterns->findItems(m_strPattern, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (match.isEmpty()) {
        m_patterns->setCurrentRow(-1);
        m_patterns->clearSelection();
    } else {
        m_patterns->setCurrentItem(match.first());
    }
    (m_nDevelopedFormat ? m_format2412 : m_format1224)->setChecked(true);
    m_periodType->setText(m_strPeriodType);
    m_filling = false;
}

BOOL CLabelPropertyPage1::OnSetActive() {
    CProject* project = m_sheet.Project();
    m_filling = true;
    m_patterns->clear();
    m_patterns->addItems(qs::project::RowFormatPatterns());
    m_filling = false;
    if (project != nullptr) {
        m_strPattern = QString::fromStdString(project->GetDatesFormat());
        m_strPeriodType = QString::fromStdString(project->GetPeriodLabel());
        m_nDevelopedFormat = project->GetExhibitLabelFormat() ? 1 : 0;
    }
    UpdateData(FALSE);
    return CPropertyPage::OnSetActive();
}

void CLabelPropertyPage1::OnSelectPattern() {
    UpdateData(TRUE);
    CProject* project = m_sheet.Project();
    if (project == nullptr || m_strPattern.isEmpty()) return;
    project->SetDatesFormat(m_strPattern.toStdString());
    m_sheet.RefreshGrid();
}

void CLabelPropertyPage1::OnDevelopedFormat(int format) {
    UpdateData(TRUE);
    if (CProject* project = m_sheet.Project()) project->SetExhibitLabelFormat(format);
    m_sheet.m_bLabelsChanged = 1;
}

void CLabelPropertyPage1::OnPeriodTypeEdited() {
    if (m_sheet.GetActivePage() != this) return;
    UpdateData(TRUE);
    if (CProject* project = m_sheet.Project()) project->SetPeriodLabel(m_strPeriodType.toStdString());
    m_sheet.RefreshGrid();
    m_periodType->setFocus();
}

// ---------------------------------------------------------------- Dates

CLabelPropertyPage2::CLabelPropertyPage2(CLabelsPropertySheet& sheet)
    : CPropertyPage(IDD, QStringLiteral("Dates")), m_sheet(sheet) {
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("E&xposure date (mm/dd/yyyy) or development period"), this);
    m_date = new QLineEdit(this);
    SetControlId(m_date, IDC_DATE);
    label->setBuddy(m_date);
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    row->addWidget(m_date, 1);
    m_apply = new QPushButton(QStringLiteral("&Apply"), this);
    m_apply->setAutoDefault(false);
    BindCommandButton(m_apply, IDC_APPLY);
    row->addWidget(m_apply);
    layout->addLayout(row);
    auto* hint = new QLabel(QStringLiteral("Select a column or row cell from the table.\nChange values in the date field "
                                           "above.\nPress Apply."),
                            this);
    layout->addWidget(hint);
    layout->addStretch(1);
    MapCommand(IDC_APPLY, [this] {
        CWaitCursor wait;
        OnApplyDate();
    });
    connect(m_date, &QLineEdit::textEdited, this, [this] {
        m_bChanged = 1;
        m_apply->setEnabled(true);
    });
}

void CLabelPropertyPage2::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, IDC_DATE, m_strDate); }

BOOL CLabelPropertyPage2::OnSetActive() {
    m_bChanged = 0;
    m_apply->setEnabled(false);
    return CPropertyPage::OnSetActive();
}

BOOL CLabelPropertyPage2::OnKillActive() {
    if (m_bChanged) {
        if (AfxMessageBox(QStringLiteral("Do you want to ignore changes to the Exposure Date?"),
                          MB_YESNO | MB_ICONQUESTION) == IDNO) {
            m_date->setFocus();
            return FALSE;
        }
        m_bChanged = 0;
    }
    return CPropertyPage::OnKillActive();
}

void CLabelPropertyPage2::ShowSelection(const QString& text) {
    m_strDate = text;
    m_date->setText(text);
}

void CLabelPropertyPage2::Refused(const QString& text) {
    Tell(this, text);
    m_date->setFocus();
}

bool CLabelPropertyPage2::OnApplyDate() {
    UpdateData(TRUE);
    CProject* project = m_sheet.Project();
    if (m_strDate.isEmpty()) {
        Refused(QStringLiteral("Error - No input."));
        return false;
    }
    if (m_sheet.m_nSelectionKind == CLabelsPropertySheet::kSelectNone || project == nullptr) {
        Refused(QStringLiteral("Error - No valid selection in Table."));
        return false;
    }
    const int index = m_sheet.m_nSelectedIndex;
    if (m_sheet.m_nSelectionKind == CLabelsPropertySheet::kSelectColumn) {
        // A development period is a whole number of months, later than the
        // period before it and earlier than the one after it.
        bool number = false;
        const int months = m_strDate.trimmed().toInt(&number);
        if (!number || months < 1) {
            Refused(QStringLiteral("Please enter the development period as a whole number of months."));
            return false;
        }
        if (project->SetDevPeriod(months, index) != 0) {
            Refused(QStringLiteral("The development period must be more months than the one before it and fewer "
                                   "than the one after it."));
            return false;
        }
    } else {
        const QString text = m_strDate.trimmed();
        if (text.size() < 4 || !std::all_of(text.end() - 4, text.end(), [](QChar c) { return c.isDigit(); })) {
            Refused(QStringLiteral("Please enter four digit year format."));
            return false;
        }
        const std::string bytes = text.toStdString();
        CHDate date;
        const int bits = date.Parse(bytes.c_str(), int(bytes.size()), 0);
        if (bits & 64) {
            Refused(QStringLiteral("Invalid date specified."));
            return false;
        }
        if (bits != 0) {
            QString message = QStringLiteral("NEW DATE NOT SET -- input error(s) follow...\r\n");
            if (bits & 128) message += QStringLiteral("Day of week does not correspond to date\r\n");
            if (bits & 2) message += QStringLiteral("Month out of range.\r\n");
            if (bits & 4) message += QStringLiteral("Day out of range.\r\n");
            Refused(message);
            return false;
        }
        char shown[81] = {};
        date.Format(shown, 80, kDisplayPattern);
        ShowSelection(QString::fromLatin1(shown));
        if (project->SetExpDate(date.Month(), date.Day(), date.Year(), index) != 0) {
            // The kernel keeps exposure periods in order.
            Refused(QStringLiteral("The date must come after the exposure period before it and before the one "
                                   "after it."));
            return false;
        }
    }
    m_sheet.RefreshGrid();
    m_bChanged = 0;
    m_apply->setEnabled(false);
    return true;
}

// ---------------------------------------------------------------- Historical factors

CLabelPropertyPage3::CLabelPropertyPage3(CLabelsPropertySheet& sheet)
    : CPropertyPage(IDD, QStringLiteral("Historical factors")), m_sheet(sheet) {
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("&Historical factors(max allowed 12)"), this);
    m_list = new QListWidget(this);
    SetControlId(m_list, IDC_HISTORY);
    title->setBuddy(m_list);
    layout->addWidget(title);
    layout->addWidget(m_list, 1);
    auto* editLabel = new QLabel(QStringLiteral("&Edit selected historical label"), this);
    m_edit = new QLineEdit(this);
    SetControlId(m_edit, IDC_EDIT);
    editLabel->setBuddy(m_edit);
    layout->addWidget(editLabel);
    layout->addWidget(m_edit);
    layout->addWidget(new QLabel(QStringLiteral("Note: Empty historicals are not displayed on Exhibit"), this));
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) OnSelectLabel(row);
    });
    connect(m_edit, &QLineEdit::textEdited, this, [this](const QString& text) { OnLabelEdited(text); });
}

BOOL CLabelPropertyPage3::OnSetActive() {
    m_labels.clear();
    if (CProject* project = m_sheet.Project()) {
        const int count = qs::project::HistoryCount(*project);
        for (int i = 0; i < count; ++i) m_labels << QString::fromStdString(project->GetSelHistLabel(i));
    }
    const QSignalBlocker block(m_list);
    m_list->clear();
    for (int i = 0; i < m_labels.size(); ++i) m_list->addItem(qs::project::HistoryLine(i, m_labels[i]));
    if (m_nCurrent >= m_labels.size()) m_nCurrent = 0;
    m_list->setCurrentRow(m_labels.isEmpty() ? -1 : m_nCurrent);
    m_strEdit = m_labels.isEmpty() ? QString() : m_labels[m_nCurrent];
    m_edit->setText(m_strEdit);
    m_edit->setEnabled(!m_labels.isEmpty());
    return CPropertyPage::OnSetActive();
}

void CLabelPropertyPage3::OnSelectLabel(int index) {
    if (index < 0 || index >= m_labels.size()) return;
    m_nCurrent = index;
    m_strEdit = m_labels[index];
    m_edit->setText(m_strEdit);
}

void CLabelPropertyPage3::OnLabelEdited(const QString& text) {
    if (m_nCurrent < 0 || m_nCurrent >= m_labels.size()) return;
    m_strEdit = text;
    m_labels[m_nCurrent] = text;
    if (QListWidgetItem* item = m_list->item(m_nCurrent)) item->setText(qs::project::HistoryLine(m_nCurrent, text));
    m_bChanged = 1;
}

BOOL CLabelPropertyPage3::OnKillActive() {
    if (m_bChanged) {
        if (CProject* project = m_sheet.Project())
            for (int i = 0; i < m_labels.size(); ++i) project->SetSelHistLabel(i, m_labels[i].toStdString());
        m_sheet.m_bLabelsChanged = 1;
        m_bChanged = 0;
    }
    return CPropertyPage::OnKillActive();
}

// ---------------------------------------------------------------- the sheet

CLabelsPropertySheet::CLabelsPropertySheet(CProject* project, CWnd* pParent)
    : CPropertySheet(QStringLiteral("Labels"), pParent), m_page1(*this), m_page2(*this), m_page3(*this),
      m_pProject(project), m_pGrid(new qs::ss::SpreadsheetControl(this)) {
    AddPage(&m_page1);
    if (qs::project::IsInteractive()) AddPage(&m_page2);
    AddPage(&m_page3);
    m_pGrid->setMinimumSize(320, 260);
    m_pGrid->SetGridSwitch(qs::ss::SSG_AllowEditing, false);
    m_pGrid->EnableNotify(qs::ss::SSN_Click, true);
    m_pGrid->EnableNotify(qs::ss::SSN_HeadingClick, true);
    connect(m_pGrid, &qs::ss::SpreadsheetControl::Notified, this,
            [this](int code, int row, int col, qs::ss::Notification*) {
                if (code == qs::ss::SSN_Click || code == qs::ss::SSN_HeadingClick) OnGridClick(row, col);
            });
    // Enter never closes the sheet, wherever the focus is.
    qApp->installEventFilter(this);
}

CLabelsPropertySheet::~CLabelsPropertySheet() { qApp->removeEventFilter(this); }

BOOL CLabelsPropertySheet::OnInitDialog() {
    CPropertySheet::OnInitDialog();
    // The preview stands beside the pages.
    if (auto* box = qobject_cast<QBoxLayout*>(layout()); box != nullptr && !m_bGridPlaced) {
        m_bGridPlaced = true;
        if (auto* tabs = findChild<QTabWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            const int at = box->indexOf(tabs);
            box->removeWidget(tabs);
            auto* row = new QHBoxLayout;
            row->addWidget(tabs);
            row->addWidget(m_pGrid, 1);
            box->insertLayout(at < 0 ? 0 : at, row, 1);
        }
    }
    m_pGrid->SetDefaultFont(QStringLiteral("Arial"), 8);
    FillGrid();
    return TRUE;
}

void CLabelsPropertySheet::FillGrid() {
    if (m_pProject == nullptr) return;
    QSStringArray exposure, development, exhibit;
    std::string title;
    m_pProject->GetLabels(exposure, development, exhibit, title);
    m_pGrid->SetRedraw(false);
    m_pGrid->SetMaxRow(int(exposure.size()));
    m_pGrid->SetMaxCol(int(development.size()));
    m_pGrid->SetCornerText(QString::fromStdString(title));
    for (int r = 0; r < int(exposure.size()); ++r)
        m_pGrid->SetRowHeadingText(r + 1, QString::fromStdString(exposure[std::size_t(r)]));
    for (int c = 0; c < int(development.size()); ++c)
        m_pGrid->SetColHeadingText(c + 1, QString::fromStdString(development[std::size_t(c)]));
    m_pGrid->SetRedraw(true);
}

void CLabelsPropertySheet::RefreshGrid() {
    FillGrid();
    m_bLabelsChanged = 1;
}

void CLabelsPropertySheet::OnGridClick(int row, int col) {
    QString text;
    if (col == 0 && row > 0) {
        m_nSelectionKind = kSelectRow;
        m_nSelectedIndex = static_cast<unsigned short>(row - 1);
        int month = 0, day = 0, year = 0;
        CHDate date;
        if (m_pProject && m_pProject->GetExpDate(month, day, year, row - 1) == 0 && date.SetDate(year, month, day) == 0) {
            char shown[51] = {};
            date.Format(shown, 50, CLabelPropertyPage2::kDisplayPattern);
            text = QString::fromLatin1(shown);
        }
    } else if (row == 0 && col > 0) {
        m_nSelectionKind = kSelectColumn;
        m_nSelectedIndex = static_cast<unsigned short>(col - 1);
        int months = 0;
        if (m_pProject && m_pProject->GetDevPeriod(months, col - 1) == 0) text = QString::number(months);
    } else {
        m_nSelectionKind = kSelectNone;
    }
    if (GetPageIndex(&m_page2) >= 0) m_page2.ShowSelection(text);
    m_bSwallowButtonUp = true;
}

bool CLabelsPropertySheet::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) return CPropertySheet::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    // A click in the grid may leave a stray button release for OK; it must
    // not be taken for a click of its own.
    QPushButton* ok = Button(PSBTN_OK);
    if (ok != nullptr && watched == ok && m_bSwallowButtonUp) {
        if (event->type() == QEvent::MouseButtonPress) m_bSwallowButtonUp = false;
        else if (event->type() == QEvent::MouseButtonRelease) {
            m_bSwallowButtonUp = false;
            return true;
        }
    }
    return CPropertySheet::eventFilter(watched, event);
}
