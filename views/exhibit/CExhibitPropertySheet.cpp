#include "CExhibitPropertySheet.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "CAddFactorSetsDlg.h"
#include "CFSLib.h"
#include "CInterpolationOptionsDlg.h"
#include "CProject.h"
#include "ExhibitDefaultsFiles.h"
#include "ExhibitDialogsHost.h"
#include "MessageBox.h"
#include "SpreadsheetControl.h"
#include "ViewSettings.h"

using namespace qs::views;

namespace {

constexpr const char* kTypeNames[] = {"Average", "Linear Trend", "Exponential Curve"};
constexpr int kTypeCodes[] = {1, 2, 4};
constexpr const char* kWeightNames[] = {"", "VOLUME", "TIME", "USER"};
constexpr const char* kOrderRange = "Index has to be a number between 0 - 255 (0 means deactivate)";

bool FileMode() { return qs::views::Settings().fileMode == 1; }

QString TypeText(int code) {
    for (int i = 0; i < 3; ++i)
        if (kTypeCodes[i] == code) return QString::fromLatin1(kTypeNames[i]);
    return {};
}

int TypeIndexOf(const QString& text) {
    for (int i = 0; i < 3; ++i)
        if (text == QLatin1String(kTypeNames[i])) return i;
    return -1;
}

int WeightOf(const QString& text) {
    for (int i = 1; i < 4; ++i)
        if (text == QLatin1String(kWeightNames[i])) return i;
    return 0;
}

// What the grids accept when typed: an integer 0 .. 255; text that is no
// number reads as 0.
bool TypedOrderOk(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok) return true;
    return v >= 0 && v <= 255 && v == std::floor(v);
}

bool AskSaveDefault(const QString& text) {
    return AfxMessageBox(text, MB_YESNO | MB_ICONQUESTION) != IDNO;
}

QPushButton* IdButton(CDialog* page, int id, const QString& text, std::function<void()> action) {
    auto* button = new QPushButton(text, page);
    CWnd::SetControlId(button, id);
    QObject::connect(button, &QPushButton::clicked, page, std::move(action));
    return button;
}

QCheckBox* IdCheck(QWidget* parent, int id, const QString& text) {
    auto* box = new QCheckBox(text, parent);
    CWnd::SetControlId(box, id);
    return box;
}

QRadioButton* IdRadio(QWidget* parent, int id, const QString& text) {
    auto* button = new QRadioButton(text, parent);
    CWnd::SetControlId(button, id);
    return button;
}

// Enter on the grid pages would close the sheet; there it only ends an edit.
class EnterSwallower : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(e)->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter;
    }
};

// The grid with its buttons at the right, as both grid pages lay it out.
OptionsGrid* MakeGrid(CPropertyPage* page, QHBoxLayout* row, int staticId) {
    auto* grid = new OptionsGrid(page);
    grid->CreateInParent(nullptr);
    CWnd::SetControlId(grid, staticId);
    // Wide enough for every column of the statistics (about 90 characters),
    // so the sheet opens with nothing hidden behind a scroll bar.
    grid->setMinimumSize(std::max(420, grid->fontMetrics().averageCharWidth() * 92), 180);
    row->addWidget(grid, 1);
    return grid;
}

}  // namespace

// ---- Statistics ------------------------------------------------------------------------------------------------------

CExhibitPropertyPage1::CExhibitPropertyPage1() : CPropertyPage(kTemplateId, QStringLiteral("Statistics")) {
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    m_grid = MakeGrid(this, row, IDC_GRID);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(IdButton(this, IDC_NEW, QStringLiteral("&New"), [this] { OnNew(); }));
    m_modify = IdButton(this, IDC_MODIFY, QStringLiteral("&Modify"), [this] { OnModify(); });
    m_delete = IdButton(this, IDC_DELETE, QStringLiteral("&Delete"), [this] { OnDelete(); });
    buttons->addWidget(m_modify);
    buttons->addWidget(m_delete);
    buttons->addStretch();
    buttons->addWidget(IdButton(this, IDC_SAVE_DEFAULT, QStringLiteral("&Save as Default..."), [this] { OnSaveAsDefault(); }));
    row->addLayout(buttons);
    layout->addLayout(row);
    m_excludePrior = IdCheck(this, IDC_EXCLUDE_PRIOR, QStringLiteral("Exclude Prior row from all statistics"));
    m_excludePrior->setEnabled(false);
    m_abbreviate = IdCheck(this, IDC_ABBREVIATE, QStringLiteral("Abbreviate Labels"));
    layout->addWidget(m_excludePrior);
    layout->addWidget(m_abbreviate);
    installEventFilter(new EnterSwallower(this));
    m_grid->activeCellMoved = [this] { UpdateButtons(); };
    m_grid->doubleClicked = [this](int row, int) {
        if (row >= 2 && row <= m_grid->DataRows() + 1) OnModify();
    };
    m_grid->checkTyped = [this](const QString& text) { return CheckTypedOrder(text); };
}

void CExhibitPropertyPage1::SetUpGrid() {
    if (m_gridReady) return;
    m_gridReady = true;
    m_grid->SetUpColumns({QStringLiteral("Order"), QStringLiteral("Type"), QStringLiteral("Incl.\r\nZeros"),
                          QStringLiteral("Excl.\r\nHi/Low"), QStringLiteral("Excl.\r\nFirst"),
                          QStringLiteral("Excl.\r\nLast"), QStringLiteral("Use\r\nLast"), QStringLiteral("Weights"),
                          QStringLiteral("Incl.\r\nGraph")},
                         {8, 18, 8, 9, 8, 8, 8, 11, 9});
    FillGrid();
}

void CExhibitPropertyPage1::FillGrid() {
    m_grid->SetDataRows(int(m_defs.size()));
    for (std::size_t i = 0; i < m_defs.size(); ++i) WriteRow(int(i) + 2, m_defs[i]);
}

void CExhibitPropertyPage1::WriteRow(int row, const CStatistics::Record& r) {
    qs::ss::SpreadsheetControl* ctrl = m_grid->Ctrl();
    ctrl->SetNumber(row, 1, r[0]);
    m_grid->SetCellText(row, 2, TypeText(r[1]));
    m_grid->SetCellText(row, 3, r[2] ? QStringLiteral("X") : QString());
    m_grid->SetCellText(row, 4, r[3] ? QStringLiteral("X") : QString());
    ctrl->SetNumber(row, 5, r[4]);
    ctrl->SetNumber(row, 6, r[5]);
    ctrl->SetNumber(row, 7, r[6]);
    m_grid->SetCellText(row, 8, r[7] < 4 ? QString::fromLatin1(kWeightNames[r[7]]) : QString());
    m_grid->SetCellText(row, 9, r[8] ? QStringLiteral("X") : QString());
}

CStatistics::Record CExhibitPropertyPage1::RowRecord(int row) const {
    qs::ss::SpreadsheetControl* ctrl = m_grid->Ctrl();
    auto byte = [&](int col) {
        double v = 0;
        ctrl->GetNumber(row, col, v);
        return static_cast<unsigned char>(std::clamp(std::trunc(v), 0.0, 255.0));
    };
    auto flag = [&](int col) { return static_cast<unsigned char>(m_grid->Text(row, col) == QLatin1String("X")); };
    CStatistics::Record r{};
    r[0] = byte(1);
    const int type = TypeIndexOf(m_grid->Text(row, 2));
    r[1] = static_cast<unsigned char>(type < 0 ? 1 : kTypeCodes[type]);
    r[2] = flag(3);
    r[3] = flag(4);
    r[4] = byte(5);
    r[5] = byte(6);
    r[6] = byte(7);
    r[7] = static_cast<unsigned char>(WeightOf(m_grid->Text(row, 8)));
    r[8] = flag(9);
    return r;
}

BOOL CExhibitPropertyPage1::OnSetActive() {
    SetUpGrid();
    m_excludePrior->setEnabled(m_bPriorRowEnabled != 0);
    m_excludePrior->setChecked(m_bExcludePrior != 0);
    m_abbreviate->setChecked(m_bAbbreviate != 0);
    UpdateButtons();
    QTimer::singleShot(0, m_grid, [grid = m_grid] { grid->Ctrl()->setFocus(); });
    return TRUE;
}

void CExhibitPropertyPage1::ReadGrid() {
    m_grid->SortByOrder();
    m_defs.clear();
    for (int row = 2; row <= m_grid->DataRows() + 1; ++row) m_defs.push_back(RowRecord(row));
}

BOOL CExhibitPropertyPage1::OnKillActive() {
    if (m_grid->Ctrl()->IsEditing()) m_grid->Ctrl()->EndEdit();
    m_bExcludePrior = m_excludePrior->isChecked() ? 1 : 0;
    m_bAbbreviate = m_abbreviate->isChecked() ? 1 : 0;
    ReadGrid();
    return TRUE;
}

void CExhibitPropertyPage1::UpdateButtons() {
    if (m_moving) return;
    const int row = m_grid->ActiveRow();
    const bool data = row >= 2 && row <= m_grid->DataRows() + 1;
    m_modify->setEnabled(data);
    m_delete->setEnabled(data);
    if (data) {
        m_moving = true;
        m_grid->SelectRow(row);
        m_moving = false;
    }
}

bool CExhibitPropertyPage1::CheckTypedOrder(const QString& text) {
    if (TypedOrderOk(text)) return true;
    AfxMessageBox(QString::fromLatin1(kOrderRange), MB_OK);
    return false;
}

void CExhibitPropertyPage1::OnNew() {
    double largest = 0;
    for (int row = 2; row <= m_grid->DataRows() + 1; ++row) {
        double v = 0;
        m_grid->Ctrl()->GetNumber(row, 1, v);
        largest = std::max(largest, v);
    }
    const int row = m_grid->DataRows() + 2;
    m_grid->SetDataRows(m_grid->DataRows() + 1);
    m_grid->Ctrl()->SetNumber(row, 1, largest + 1);
    m_grid->SelectRow(row);
    OnModify();
    // A cancelled editor leaves the row without a type: it goes again.
    if (m_grid->Text(row, 2).isEmpty()) {
        m_grid->Ctrl()->DeleteRows(row, row);
        m_grid->SetDataRows(m_grid->DataRows() - 1);
        m_grid->SelectRow(std::max(1, row - 1));
    }
    UpdateButtons();
}

void CExhibitPropertyPage1::OnModify() {
    const int row = m_grid->ActiveRow();
    if (row < 2 || row > m_grid->DataRows() + 1) return;
    StatisticDefinition def;
    double v = 0;
    m_grid->Ctrl()->GetNumber(row, 1, v);
    def.order = int(v);
    def.typeIndex = TypeIndexOf(m_grid->Text(row, 2));
    def.includeZeros = m_grid->Text(row, 3) == QLatin1String("X");
    def.excludeHighLow = m_grid->Text(row, 4) == QLatin1String("X");
    auto number = [&](int col) {
        double x = 0;
        m_grid->Ctrl()->GetNumber(row, col, x);
        return int(x);
    };
    def.excludeFirst = number(5);
    def.excludeLast = number(6);
    def.useLast = number(7);
    def.weights = WeightOf(m_grid->Text(row, 8));
    def.includeInGraph = m_grid->Text(row, 9) == QLatin1String("X");
    if (!ExhibitHost().editStatistic || !ExhibitHost().editStatistic(def)) return;
    CStatistics::Record r{};
    r[0] = static_cast<unsigned char>(std::clamp(def.order, 0, 255));
    r[1] = static_cast<unsigned char>(def.typeIndex >= 0 && def.typeIndex < 3 ? kTypeCodes[def.typeIndex] : 0);
    r[2] = def.includeZeros ? 1 : 0;
    r[3] = def.excludeHighLow ? 1 : 0;
    r[4] = static_cast<unsigned char>(std::clamp(def.excludeFirst, 0, 255));
    r[5] = static_cast<unsigned char>(std::clamp(def.excludeLast, 0, 255));
    r[6] = static_cast<unsigned char>(std::clamp(def.useLast, 0, 255));
    r[7] = static_cast<unsigned char>(std::clamp(def.weights, 0, 3));
    r[8] = def.includeInGraph ? 1 : 0;
    WriteRow(row, r);
}

void CExhibitPropertyPage1::OnDelete() {
    const int row = m_grid->ActiveRow();
    const int last = m_grid->DataRows() + 1;
    if (row < 2 || row > last) return;
    m_grid->Ctrl()->DeleteRows(row, row);
    m_grid->SetDataRows(m_grid->DataRows() - 1);
    m_grid->SelectRow(row == last ? row - 1 : row);
    UpdateButtons();
    m_grid->Ctrl()->setFocus();
}

void CExhibitPropertyPage1::OnSaveAsDefault() {
    const QString text =
        FileMode() ? QStringLiteral("Do you want to change default for statistics?\nThis default will be loaded with all "
                                    "new files. ")
                   : QStringLiteral("Do you want to change default for statistics?\nThis default will be loaded with all "
                                    "new templates created with [Default Template Settings] option.");
    if (!AskSaveDefault(text)) return;
    ReadGrid();
    defaults::WriteStats(ExhibitHost().workingDirectory, m_defs);
}

// ---- Selections ------------------------------------------------------------------------------------------------------

CExhibitPropertyPage3::CExhibitPropertyPage3() : CPropertyPage(kTemplateId, QStringLiteral("Selections")) {
    auto* layout = new QVBoxLayout(this);
    auto* selected = IdCheck(this, IDC_SELECTED, QStringLiteral("&Selections"));
    layout->addWidget(selected);
    auto* indented = new QVBoxLayout;
    indented->setContentsMargins(24, 0, 0, 0);
    indented->addWidget(IdCheck(this, IDC_AGE, QStringLiteral("&Age-to-ultimate")));
    indented->addWidget(IdCheck(this, IDC_RATIO, QStringLiteral("&Ratio-to-ultimate")));
    layout->addLayout(indented);
    layout->addWidget(IdCheck(this, IDC_BLANK, QStringLiteral("Provide &blank selected line")));
    auto* historical = IdCheck(this, IDC_HISTORICAL, QStringLiteral("&Historical selections"));
    auto* row = new QHBoxLayout;
    row->addWidget(historical);
    m_count = new QLineEdit(this);
    SetControlId(m_count, IDC_COUNT);
    m_count->setMaximumWidth(50);
    row->addWidget(m_count);
    row->addWidget(new QLabel(QStringLiteral("( 1-12 prior periods )"), this));
    row->addStretch();
    layout->addLayout(row);
    layout->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(IdButton(this, IDC_SAVE_DEFAULT, QStringLiteral("&Save as Default..."), [this] { OnSaveAsDefault(); }));
    layout->addLayout(bottom);
    connect(selected, &QCheckBox::clicked, this, [this] { ApplyEnableRules(); });
    connect(historical, &QCheckBox::clicked, this, [this] { ApplyEnableRules(); });
}

QCheckBox* CExhibitPropertyPage3::Check(int id) const { return qobject_cast<QCheckBox*>(GetDlgItem(id)); }

void CExhibitPropertyPage3::DoDataExchange(CDataExchange* pDX) {
    DDX_Check(pDX, IDC_SELECTED, m_bShowSelected);
    DDX_Check(pDX, IDC_RATIO, m_bShowRatio);
    DDX_Check(pDX, IDC_AGE, m_bShowAge);
    DDX_Check(pDX, IDC_BLANK, m_bShowBlank);
    DDX_Check(pDX, IDC_HISTORICAL, m_bShowHistorical);
    if (!pDX->m_bSaveAndValidate) {
        m_count->setText(m_bShowHistorical ? QString::number(m_nHistoricalCount) : QString());
        return;
    }
    if (!m_bShowHistorical) {
        m_nHistoricalCount = 0;
        return;
    }
    int count = 0;
    DDX_Text(pDX, IDC_COUNT, count);
    if (pDX->m_failed) return;
    DDV_MinMaxInt(pDX, count, 1, 12);
    if (!pDX->m_failed) m_nHistoricalCount = count;
}

void CExhibitPropertyPage3::ApplyEnableRules() {
    const bool selected = Check(IDC_SELECTED)->isChecked();
    for (int id : {IDC_AGE, IDC_RATIO}) {
        if (!selected) Check(id)->setChecked(false);
        Check(id)->setEnabled(selected);
    }
    const bool historical = Check(IDC_HISTORICAL)->isChecked();
    if (!historical) m_count->clear();
    m_count->setEnabled(historical);
}

BOOL CExhibitPropertyPage3::OnSetActive() {
    ApplyEnableRules();
    return TRUE;
}

BOOL CExhibitPropertyPage3::OnKillActive() { return UpdateData(TRUE); }

void CExhibitPropertyPage3::OnSaveAsDefault() {
    const QString text =
        FileMode() ? QStringLiteral("Do you want to change default for selections?\nThis change will only affect all new "
                                    "files. It will not affect the current file.")
                   : QStringLiteral("Do you want to change default for selections?\nThis change will only affect all new "
                                    "templates. It will not affect the current template.");
    if (!AskSaveDefault(text)) return;
    if (!UpdateData(TRUE)) return;
    defaults::WriteSelections(ExhibitHost().workingDirectory, {m_bShowSelected, m_bShowRatio, m_bShowAge, m_bShowBlank,
                                                               m_bShowHistorical, m_nHistoricalCount});
}

// ---- Interpolation ---------------------------------------------------------------------------------------------------

CExhibitInterpolationPropertyPage::CExhibitInterpolationPropertyPage()
    : CPropertyPage(kTemplateId, QStringLiteral("Interpolation")) {
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    m_grid = MakeGrid(this, row, IDC_GRID);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(IdButton(this, IDC_NEW, QStringLiteral("&New"), [this] { OnNew(); }));
    buttons->addWidget(IdButton(this, IDC_MODIFY, QStringLiteral("&Modify"), [this] { OnModify(); }));
    buttons->addWidget(IdButton(this, IDC_DELETE, QStringLiteral("&Delete"), [this] { OnDelete(); }));
    buttons->addStretch();
    buttons->addWidget(IdButton(this, IDC_SAVE_DEFAULT, QStringLiteral("&Save as Default..."), [this] { OnSaveAsDefault(); }));
    row->addLayout(buttons);
    layout->addLayout(row);
    auto* options = new QHBoxLayout;
    auto* period = new QGroupBox(QStringLiteral("Period"), this);
    auto* periodBox = new QVBoxLayout(period);
    periodBox->addWidget(IdRadio(period, IDC_ACCIDENT, QStringLiteral("A&ccident")));
    periodBox->addWidget(IdRadio(period, IDC_POLICY, QStringLiteral("P&olicy")));
    auto* adjustment = new QGroupBox(QStringLiteral("Adjustment"), this);
    auto* adjustmentBox = new QVBoxLayout(adjustment);
    adjustmentBox->addWidget(IdRadio(adjustment, IDC_FULL_PERIOD, QStringLiteral("&Full period ultimate")));
    adjustmentBox->addWidget(IdRadio(adjustment, IDC_PARTIAL_PERIOD, QStringLiteral("&Partial period ultimate")));
    options->addWidget(period);
    options->addWidget(adjustment);
    auto* checks = new QVBoxLayout;
    checks->addWidget(IdCheck(this, IDC_DISPLAY, QStringLiteral("Display &interpolation on exhibits")));
    checks->addWidget(IdCheck(this, IDC_ABBREVIATE, QStringLiteral("A&bbreviate labels")));
    checks->addWidget(IdCheck(this, IDC_USE_IN_METHODS, QStringLiteral("&Use interpolated factors in methods")));
    options->addLayout(checks);
    layout->addLayout(options);
    installEventFilter(new EnterSwallower(this));
    m_grid->doubleClicked = [this](int row, int) {
        if (row >= 2 && row <= m_grid->DataRows() + 1) OnModify();
    };
    m_grid->checkTyped = [](const QString& text) {
        if (TypedOrderOk(text)) return true;
        AfxMessageBox(QString::fromLatin1(kOrderRange), MB_OK);
        return false;
    };
}

QCheckBox* CExhibitInterpolationPropertyPage::Check(int id) const { return qobject_cast<QCheckBox*>(GetDlgItem(id)); }
QRadioButton* CExhibitInterpolationPropertyPage::Radio(int id) const {
    return qobject_cast<QRadioButton*>(GetDlgItem(id));
}

void CExhibitInterpolationPropertyPage::FillGrid() {
    if (!m_gridReady) {
        m_gridReady = true;
        m_grid->SetUpColumns({QStringLiteral("Order"), QStringLiteral("Curve Fit"), QStringLiteral("Input")}, {16, 32, 32});
    }
    m_grid->SetDataRows(int(m_selections.size()));
    for (std::size_t i = 0; i < m_selections.size(); ++i) {
        const int row = int(i) + 2;
        m_grid->Ctrl()->SetNumber(row, 1, m_selections[i].GetOrder());
        m_grid->SetCellText(row, 2, QString::fromStdString(CInterpolationUtil::GetCurveLabel(m_selections[i].GetCurveType(), 0)));
        m_grid->SetCellText(row, 3, QString::fromStdString(CInterpolationUtil::GetInputLabel(m_selections[i].GetInputType(), 0)));
    }
}

BOOL CExhibitInterpolationPropertyPage::OnSetActive() {
    if (!m_gridReady) FillGrid();
    Radio(IDC_ACCIDENT)->setChecked(m_period == PERIOD_ACCIDENT);
    Radio(IDC_POLICY)->setChecked(m_period != PERIOD_ACCIDENT);
    Radio(IDC_FULL_PERIOD)->setChecked(m_adjustment == ADJ_FULL_PERIOD_ULTIMATE);
    Radio(IDC_PARTIAL_PERIOD)->setChecked(m_adjustment != ADJ_FULL_PERIOD_ULTIMATE);
    Check(IDC_DISPLAY)->setChecked(m_bDisplay != 0);
    Check(IDC_ABBREVIATE)->setChecked(m_bAbbreviate != 0);
    Check(IDC_USE_IN_METHODS)->setChecked(m_bUseInMethods != 0);
    QTimer::singleShot(0, m_grid, [grid = m_grid] { grid->Ctrl()->setFocus(); });
    return TRUE;
}

void CExhibitInterpolationPropertyPage::ReadGrid() {
    if (!m_gridReady) return;
    if (m_grid->Ctrl()->IsEditing()) m_grid->Ctrl()->EndEdit();
    m_grid->SortByOrder();
    m_selections.clear();
    for (int row = 2; row <= m_grid->DataRows() + 1; ++row) {
        double order = 0;
        m_grid->Ctrl()->GetNumber(row, 1, order);
        CInterpolateSelection s;
        s.SetOrder(int(order));
        ENUM_CURVE_TYPE curve = s.GetCurveType();
        if (CInterpolationUtil::GetCurveType(m_grid->Text(row, 2).toStdString(), &curve)) s.SetCurveType(curve);
        ENUM_INPUT_TYPE input = s.GetInputType();
        if (CInterpolationUtil::GetInputType(m_grid->Text(row, 3).toStdString(), &input)) s.SetInputType(input);
        m_selections.push_back(s);
    }
    m_period = Radio(IDC_ACCIDENT)->isChecked() ? PERIOD_ACCIDENT : PERIOD_POLICY;
    m_adjustment = Radio(IDC_FULL_PERIOD)->isChecked() ? ADJ_FULL_PERIOD_ULTIMATE : ADJ_PARTIAL_PERIOD_ULTIMATE;
    m_bDisplay = Check(IDC_DISPLAY)->isChecked() ? 1 : 0;
    m_bAbbreviate = Check(IDC_ABBREVIATE)->isChecked() ? 1 : 0;
    m_bUseInMethods = Check(IDC_USE_IN_METHODS)->isChecked() ? 1 : 0;
}

BOOL CExhibitInterpolationPropertyPage::OnKillActive() {
    ReadGrid();
    return TRUE;
}

// Runs the options dialog on a grid row; the row is written on OK and the
// grid read back (sorted).
void CExhibitInterpolationPropertyPage::RunEditor(int row, bool isNew) {
    CInterpolationOptionsDlg dialog(this);
    double order = 0;
    m_grid->Ctrl()->GetNumber(row, 1, order);
    CInterpolateSelection s;
    s.SetOrder(int(order));
    if (!isNew) {
        ENUM_CURVE_TYPE curve = s.GetCurveType();
        if (CInterpolationUtil::GetCurveType(m_grid->Text(row, 2).toStdString(), &curve)) s.SetCurveType(curve);
        ENUM_INPUT_TYPE input = s.GetInputType();
        if (CInterpolationUtil::GetInputType(m_grid->Text(row, 3).toStdString(), &input)) s.SetInputType(input);
    }
    dialog.m_selection = s;
    if (dialog.DoModal() == IDOK) {
        const CInterpolateSelection& chosen = dialog.m_selection;
        m_grid->Ctrl()->SetNumber(row, 1, chosen.GetOrder());
        m_grid->SetCellText(row, 2, QString::fromStdString(CInterpolationUtil::GetCurveLabel(chosen.GetCurveType(), 0)));
        m_grid->SetCellText(row, 3, QString::fromStdString(CInterpolationUtil::GetInputLabel(chosen.GetInputType(), 0)));
    }
    if (m_grid->Text(row, 2).isEmpty()) {
        m_grid->Ctrl()->DeleteRows(row, row);
        m_grid->SetDataRows(m_grid->DataRows() - 1);
    }
    ReadGrid();
    FillGrid();
}

void CExhibitInterpolationPropertyPage::OnNew() {
    if (!m_gridReady) FillGrid();
    double largest = 0;
    for (int row = 2; row <= m_grid->DataRows() + 1; ++row) {
        double v = 0;
        m_grid->Ctrl()->GetNumber(row, 1, v);
        largest = std::max(largest, v);
    }
    const int row = m_grid->DataRows() + 2;
    m_grid->SetDataRows(m_grid->DataRows() + 1);
    m_grid->Ctrl()->SetNumber(row, 1, largest + 1);
    m_grid->SelectRow(row);
    RunEditor(row, true);
}

void CExhibitInterpolationPropertyPage::OnModify() {
    const int row = m_grid->ActiveRow();
    if (row < 2 || row > m_grid->DataRows() + 1) {
        AfxMessageBox(QStringLiteral("Please select a row to modify."), MB_OK);
        return;
    }
    RunEditor(row, false);
}

void CExhibitInterpolationPropertyPage::OnDelete() {
    const int row = m_grid->ActiveRow();
    const int last = m_grid->DataRows() + 1;
    if (row < 2 || row > last) return;
    m_grid->Ctrl()->DeleteRows(row, row);
    m_grid->SetDataRows(m_grid->DataRows() - 1);
    m_grid->SelectRow(row == last ? row - 1 : row);
    m_grid->Ctrl()->setFocus();
    ReadGrid();
}

void CExhibitInterpolationPropertyPage::OnSaveAsDefault() {
    const QString text =
        FileMode() ? QStringLiteral("Do you want to change default for selections?\nThis default will be loaded with all "
                                    "new files. ")
                   : QStringLiteral("Do you want to change default for selections?\nThis default will be loaded with all "
                                    "new templates created with [Default Template Settings] option.");
    if (!AskSaveDefault(text)) return;
    ReadGrid();
    defaults::InterpolationDefaults d;
    d.selections = m_selections;
    d.display = m_bDisplay;
    d.useInMethods = m_bUseInMethods;
    d.abbreviate = m_bAbbreviate;
    d.period = m_period;
    d.adjustment = m_adjustment;
    defaults::WriteInterpolation(ExhibitHost().workingDirectory, d);
}

// ---- Factor Sets -----------------------------------------------------------------------------------------------------

CExhibitPropertyPage2::CExhibitPropertyPage2() : CPropertyPage(kTemplateId, QStringLiteral("Factor Sets")) {
    auto* layout = new QVBoxLayout(this);
    m_list = new QTreeWidget(this);
    SetControlId(m_list, IDC_LIST);
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("Library Description"), QStringLiteral("Development Factor Name")});
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_add = IdButton(this, IDC_ADD, QStringLiteral("&Add"), [this] { OnAdd(); });
    buttons->addWidget(m_add);
    buttons->addWidget(IdButton(this, IDC_REMOVE, QStringLiteral("&Remove"), [this] { OnRemove(); }));
    layout->addLayout(buttons);
}

BOOL CExhibitPropertyPage2::OnSetActive() {
    const int w = std::max(m_list->viewport()->width(), 300);
    m_list->setColumnWidth(0, w / 2 - 5);
    m_list->setColumnWidth(1, w / 2);
    m_add->setEnabled(m_pProject != nullptr && m_pProject->CanUseFS() != 0);
    FillList();
    return TRUE;
}

void CExhibitPropertyPage2::FillList() {
    m_list->clear();
    for (std::size_t i = 0; i < m_sets.size(); ++i) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, i < std::size_t(m_libraryDescriptions.size()) ? m_libraryDescriptions[qsizetype(i)] : QString());
        item->setText(1, QString::fromStdString(m_sets[i].GetName()));
    }
}

void CExhibitPropertyPage2::OnAdd() {
    if (m_pProject == nullptr || m_pProject->CanUseFS() == 0) return;
    CAddFactorSetsDlg dialog(m_pProject, 0, this, false, true);
    if (dialog.DoModal() != IDOK) return;
    CFSLib* library = dialog.GetLibrary();
    if (library != nullptr && !dialog.GetChosenNames().isEmpty()) {
        for (const QString& name : dialog.GetChosenNames()) {
            CFactorSet* set = nullptr;
            library->GetFactorSet(name.toStdString(), set);
            if (set == nullptr) break;
            m_libraryNames << dialog.GetLibraryName();
            m_libraryDescriptions << dialog.GetLibraryDescription();
            m_sets.push_back(*set);
        }
    }
    FillList();
}

void CExhibitPropertyPage2::OnRemove() {
    std::vector<int> rows;
    for (QTreeWidgetItem* item : m_list->selectedItems()) rows.push_back(m_list->indexOfTopLevelItem(item));
    std::sort(rows.rbegin(), rows.rend());
    // The three arrays stay index-aligned: a set keeps its own library's
    // name and description whatever the edition.
    for (int row : rows) {
        if (row < 0 || row >= int(m_sets.size())) continue;
        m_sets.erase(m_sets.begin() + row);
        if (row < m_libraryDescriptions.size()) m_libraryDescriptions.removeAt(row);
        if (row < m_libraryNames.size()) m_libraryNames.removeAt(row);
    }
    FillList();
}

// ---- Exhibit Statistics Options --------------------------------------------------------------------------------------

CExhibitPropertyPage4::CExhibitPropertyPage4()
    : CPropertyPage(kTemplateId, QStringLiteral("Exhibit Statistics Options")) {
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Exhibits without statistics"), this));
    m_without = SortedReportList(this, {QStringLiteral("Table Name")});
    SetControlId(m_without, IDC_WITHOUT);
    left->addWidget(m_without, 1);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(IdButton(this, IDC_ADD, QStringLiteral(" >>&Add"), [this] { OnAdd(); }));
    middle->addWidget(IdButton(this, IDC_DEL, QStringLiteral("<<&Del"), [this] { OnDel(); }));
    middle->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Exhibits with statistics"), this));
    m_with = SortedReportList(this, {QStringLiteral("Table Name")});
    SetControlId(m_with, IDC_WITH);
    right->addWidget(m_with, 1);
    row->addLayout(left, 1);
    row->addLayout(middle);
    row->addLayout(right, 1);
    layout->addLayout(row, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(IdButton(this, IDC_SAVE_DEFAULT, QStringLiteral("&Save as Default..."), [this] { OnSaveAsDefault(); }));
    layout->addLayout(bottom);
    connect(m_without, &QTreeWidget::itemDoubleClicked, this, [this] { OnAdd(); });
    connect(m_with, &QTreeWidget::itemDoubleClicked, this, [this] { OnDel(); });
}

BOOL CExhibitPropertyPage4::OnSetActive() {
    if (m_filled) return TRUE;
    m_filled = true;
    for (QSID id : m_second) {
        std::string name;
        if (m_pProject != nullptr) m_pProject->GetNameFromID(id, name);
        auto* item = new QTreeWidgetItem(m_without);
        item->setText(0, QString::fromStdString(name));
        item->setData(0, Qt::UserRole, qlonglong(id));
    }
    m_without->clearSelection();
    for (QSID id : m_withStats)
        for (int i = 0; i < m_without->topLevelItemCount(); ++i)
            if (m_without->topLevelItem(i)->data(0, Qt::UserRole).toLongLong() == id)
                m_without->topLevelItem(i)->setSelected(true);
    OnAdd();
    return TRUE;
}

void CExhibitPropertyPage4::OnAdd() { MoveSelectedRows(m_without, m_with); }
void CExhibitPropertyPage4::OnDel() { MoveSelectedRows(m_with, m_without); }

void CExhibitPropertyPage4::ReadLists() {
    m_withStats.clear();
    for (long id : RowIds(m_with)) m_withStats.push_back(QSID(id));
    m_second.clear();
    for (long id : RowIds(m_without)) m_second.push_back(QSID(id));
}

BOOL CExhibitPropertyPage4::OnKillActive() {
    if (m_filled) ReadLists();
    return TRUE;
}

void CExhibitPropertyPage4::OnSaveAsDefault() {
    const QString text =
        FileMode() ? QStringLiteral("Do you want to change default for statistics?\nThis default will be loaded with all "
                                    "new files. ")
                   : QStringLiteral("Do you want to change default for exhibit statistics?\nThis default will be loaded "
                                    "with all new templates created with [Default Template Settings] option.");
    if (!AskSaveDefault(text)) return;
    if (!UpdateData(TRUE)) return;
    if (m_filled) ReadLists();
    defaults::WriteExhibitStats(ExhibitHost().workingDirectory, m_withStats);
}

// ---- the sheet -------------------------------------------------------------------------------------------------------

CExhibitPropertySheet::CExhibitPropertySheet(CWnd* parent) : CPropertySheet(QStringLiteral("Exhibit Options"), parent) {
    AddPage(&m_page1);
    AddPage(&m_page3);
    AddPage(&m_pageInterpolation);
    AddPage(&m_page2);
    AddPage(&m_page4);
}

void CExhibitPropertySheet::LoadFromProject(CProject* project) {
    if (project == nullptr) return;
    unsigned short count = 0;
    project->GetStatsCount(count);
    m_page1.m_defs.assign(count, CStatistics::Record{});
    project->GetStatsDefs(m_page1.m_defs, m_page1.m_bExcludePrior, m_page1.m_bAbbreviate);
    const int mode = ApplicationModeValue();
    if (project->Mode() == RM_FILE && (mode == 2 || mode == 3)) m_page1.m_bPriorRowEnabled = 1;
    else m_page1.m_bPriorRowEnabled = project->GetIncludesPrior() ? 1 : 0;

    QSStringArray names, descriptions;
    project->GetFSList(m_page2.m_sets, names, descriptions);
    m_page2.m_libraryNames.clear();
    m_page2.m_libraryDescriptions.clear();
    for (const std::string& n : names) m_page2.m_libraryNames << QString::fromStdString(n);
    for (const std::string& d : descriptions) m_page2.m_libraryDescriptions << QString::fromStdString(d);
    m_page2.m_pProject = project;

    project->GetExhibitShowSDF(m_page3.m_bShowSelected);
    project->GetExhibitShowCumSDF(m_page3.m_bShowAge);
    project->GetExhibitShowRatioSDF(m_page3.m_bShowRatio);
    project->GetExhibitShowBlankSDF(m_page3.m_bShowBlank);
    project->GetExhibitShowSelHist(m_page3.m_bShowHistorical);
    unsigned short history = 0;
    project->GetExhibitViewSelHistCount(history);
    m_page3.m_nHistoricalCount = history;

    project->GetExhibitStatsLists(m_page4.m_withStats, m_page4.m_second);
    m_page4.m_pProject = project;

    project->GetInterpolationSelections(m_pageInterpolation.m_selections, &m_pageInterpolation.m_period,
                                        &m_pageInterpolation.m_bDisplay, &m_pageInterpolation.m_bAbbreviate,
                                        &m_pageInterpolation.m_bUseInMethods, &m_pageInterpolation.m_adjustment);
    m_pageInterpolation.m_pProject = project;
}

bool CExhibitPropertySheet::StoreToProject(CProject* project) {
    if (project == nullptr) return true;
    QStringList failed;
    auto check = [&](QSSTATUS status, const char* call) {
        if (status != qsk::kOk) failed << QString::fromLatin1(call);
    };
    check(project->SetStatsDefs(m_page1.m_defs, m_page1.m_bExcludePrior, m_page1.m_bAbbreviate), "CProject::SetStatsDefs");
    QSStringArray names, descriptions;
    for (const QString& n : m_page2.m_libraryNames) names.push_back(n.toStdString());
    for (const QString& d : m_page2.m_libraryDescriptions) descriptions.push_back(d.toStdString());
    check(project->SetFSList(m_page2.m_sets, names, descriptions), "CProject::SetFSList");
    check(project->SetExhibitShowSDF(m_page3.m_bShowSelected), "CProject::SetExhibitShowSDF");
    check(project->SetExhibitShowCumSDF(m_page3.m_bShowAge), "CProject::SetExhibitShowCumSDF");
    check(project->SetExhibitShowRatioSDF(m_page3.m_bShowRatio), "CProject::SetExhibitShowRatioSDF");
    check(project->SetExhibitShowBlankSDF(m_page3.m_bShowBlank), "CProject::SetExhibitShowBlankSDF");
    check(project->SetExhibitShowSelHist(m_page3.m_bShowHistorical), "CProject::SetExhibitShowSelHist");
    check(project->SetExhibitViewSelHistCount(static_cast<unsigned short>(m_page3.m_nHistoricalCount)),
          "CProject::SetExhibitViewSelHistCount");
    // Exhibits offered but not given statistics are the ones without.
    QSIDArray without;
    for (QSID id : m_page4.m_second)
        if (std::find(m_page4.m_withStats.begin(), m_page4.m_withStats.end(), id) == m_page4.m_withStats.end())
            without.push_back(id);
    check(project->SetExhibitStatsLists(m_page4.m_withStats, without), "CProject::SetExhibitStatsLists");
    const CExhibitInterpolationPropertyPage& ip = m_pageInterpolation;
    check(project->SetInterpolationSelections(ip.m_selections, ip.m_period, ip.m_bDisplay, ip.m_bAbbreviate,
                                              ip.m_bUseInMethods, ip.m_adjustment),
          "CProject::SetInterpolationSelections");
    if (failed.isEmpty()) return true;
    QString text;
    for (const QString& call : failed) text += QStringLiteral("Error: ") + call + QLatin1Char('\n');
    AfxMessageBox(text, MB_OK | MB_ICONSTOP);
    return false;
}

namespace qs::views {

bool RunExhibitOptions(CProject* project, CWnd* parent) {
    if (project == nullptr) return false;
    CExhibitPropertySheet sheet(parent);
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    sheet.LoadFromProject(project);
    if (sheet.DoModal() != IDOK) return false;
    sheet.StoreToProject(project);
    return true;
}

}  // namespace qs::views
