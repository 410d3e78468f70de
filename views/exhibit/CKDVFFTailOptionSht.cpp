#include "CKDVFFTailOptionSht.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

#include "CProject.h"
#include "MessageBox.h"

namespace {

QLabel* Wrapped(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QRadioButton* IdRadio(QWidget* parent, int id, const QString& text) {
    auto* button = new QRadioButton(text, parent);
    CWnd::SetControlId(button, id);
    return button;
}

QLineEdit* IdEdit(QWidget* parent, int id, int width = 70) {
    auto* edit = new QLineEdit(parent);
    CWnd::SetControlId(edit, id);
    edit->setMaximumWidth(width);
    return edit;
}

}  // namespace

// ---- page 1 ----------------------------------------------------------------------------------------------------------

CKDVFFSDFTailOptionPg::CKDVFFSDFTailOptionPg() : CPropertyPage(kTemplateId, QStringLiteral("Tail Factor Option")) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Wrapped(QStringLiteral("The very last cell in the selected development factor array is referred to "
                                             "as the tail factor.  By selecting NONE, it leaves this cell blank."),
                              this));
    auto* none = IdRadio(this, IDC_NONE, QStringLiteral("NONE"));
    auto* specified = IdRadio(this, IDC_SPECIFIED, QStringLiteral("Specified Value (i.e. 1.00)"));
    auto* fit = IdRadio(this, IDC_FIT, QStringLiteral("Calculate by fitting curve through selected development factors"));
    layout->addWidget(none);
    auto* valueRow = new QHBoxLayout;
    valueRow->addWidget(specified);
    m_value = IdEdit(this, IDC_VALUE);
    valueRow->addWidget(m_value);
    valueRow->addStretch();
    layout->addLayout(valueRow);
    layout->addWidget(fit);
    auto* fitBox = new QGridLayout;
    fitBox->setContentsMargins(24, 0, 0, 0);
    m_curve = new QComboBox(this);
    SetControlId(m_curve, IDC_CURVE);
    for (const char* item : {"Inverse Power", "Exponential", "Weibull", "Select curve based on R2"})
        m_curve->addItem(QString::fromLatin1(item));
    auto* curveLabel = new QLabel(QStringLiteral("Curve"), this);
    curveLabel->setBuddy(m_curve);
    fitBox->addWidget(curveLabel, 0, 0);
    fitBox->addWidget(m_curve, 0, 1);
    auto* showAll = new QCheckBox(QStringLiteral("Show all curves in the Exhibit"), this);
    SetControlId(showAll, IDC_SHOW_ALL);
    auto* fill = new QCheckBox(QStringLiteral("Fill missing cell(s) with fitted SDFs"), this);
    SetControlId(fill, IDC_FILL_MISSING);
    fitBox->addWidget(showAll, 1, 0, 1, 2);
    fitBox->addWidget(fill, 2, 0, 1, 2);
    layout->addLayout(fitBox);
    layout->addStretch();
    for (QRadioButton* b : {none, specified, fit}) connect(b, &QRadioButton::clicked, this, [this] { ApplyChoice(); });
}

QRadioButton* CKDVFFSDFTailOptionPg::Radio(int id) const { return qobject_cast<QRadioButton*>(GetDlgItem(id)); }

void CKDVFFSDFTailOptionPg::DoDataExchange(CDataExchange* pDX) {
    if (pDX->m_bSaveAndValidate) {
        m_nChoice = Radio(IDC_FIT)->isChecked() ? 2 : Radio(IDC_SPECIFIED)->isChecked() ? 1 : 0;
    } else {
        Radio(IDC_NONE)->setChecked(m_nChoice == 0);
        Radio(IDC_SPECIFIED)->setChecked(m_nChoice == 1);
        Radio(IDC_FIT)->setChecked(m_nChoice == 2);
    }
    DDX_Text(pDX, IDC_VALUE, m_dValue);
    if (pDX->m_failed) return;
    if (pDX->m_bSaveAndValidate && (m_dValue < 0.0 || m_dValue > 1000.0)) {
        AfxMessageBox(QStringLiteral("Please enter a number between 0 and 1000."), MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail(IDC_VALUE);
        return;
    }
    DDX_Check(pDX, IDC_SHOW_ALL, m_bShowAll);
    DDX_Check(pDX, IDC_FILL_MISSING, m_bFillMissing);
}

BOOL CKDVFFSDFTailOptionPg::OnInitDialog() {
    const int type = m_option.m_type;
    if (type >= CFFTailOption::INVERSE_POWER && type <= CFFTailOption::BEST_R2) {
        m_nChoice = 2;
        m_nCurve = type;
        m_bShowAll = m_option.m_showAllCurves ? 1 : 0;
        m_bFillMissing = m_option.m_fillMissing ? 1 : 0;
    } else if (type == CFFTailOption::SPECIFIED) {
        m_nChoice = 1;
        m_dValue = m_option.m_specified;
    } else if (type == CFFTailOption::NONE) {
        m_nChoice = 0;
    }
    CPropertyPage::OnInitDialog();
    m_curve->setCurrentIndex(m_nCurve);
    ApplyChoice();
    return TRUE;
}

void CKDVFFSDFTailOptionPg::ApplyChoice() {
    m_nChoice = Radio(IDC_FIT)->isChecked() ? 2 : Radio(IDC_SPECIFIED)->isChecked() ? 1 : 0;
    m_value->setEnabled(m_nChoice == 1);
    for (int id : {int(IDC_CURVE), int(IDC_SHOW_ALL), int(IDC_FILL_MISSING)}) GetDlgItem(id)->setEnabled(m_nChoice == 2);
    auto* sheet = dynamic_cast<CKDVFFTailOptionSht*>(GetSheet());
    if (sheet == nullptr) return;
    if (m_nChoice == 2 && sheet->GetPageCount() == 1) sheet->AddPage(&sheet->m_page2);
    else if (m_nChoice != 2 && sheet->GetPageCount() == 2) sheet->RemovePage(1);
}

BOOL CKDVFFSDFTailOptionPg::OnKillActive() {
    if (!UpdateData(TRUE)) return FALSE;
    m_nCurve = m_curve->currentIndex();
    return TRUE;
}

void CKDVFFSDFTailOptionPg::WriteResult(CFFTailOption& out) const {
    switch (m_nChoice) {
    case 0:
    case 1:
        out.m_type = m_nChoice == 0 ? CFFTailOption::NONE : CFFTailOption::SPECIFIED;
        out.m_specified = m_dValue;
        out.m_showAllCurves = false;
        out.m_fillMissing = false;
        break;
    default:
        out.m_type = m_nCurve < 0 ? CFFTailOption::INVERSE_POWER : m_nCurve;
        out.m_showAllCurves = m_bShowAll != 0;
        out.m_fillMissing = m_bFillMissing != 0;
        break;
    }
}

// ---- page 2 ----------------------------------------------------------------------------------------------------------

CKDVFFSDFTailCurveParamPg::CKDVFFSDFTailCurveParamPg()
    : CPropertyPage(kTemplateId, QStringLiteral("Tail Factor Parameters")) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Wrapped(QStringLiteral("This option will automatically default the cutoff to 10 periods beyond the "
                                             "latest development period. You can change the variable cutoff age below "
                                             "or apply a fixed cutoff age (in years)."),
                              this));
    auto* cutoffs = new QGridLayout;
    auto* variable = IdRadio(this, IDC_VARIABLE, QStringLiteral("Variable Cutoff:"));
    auto* fixed = IdRadio(this, IDC_FIXED, QStringLiteral("Fixed Cutoff:"));
    cutoffs->addWidget(variable, 0, 0);
    cutoffs->addWidget(IdEdit(this, IDC_VARIABLE_VALUE), 0, 1);
    cutoffs->addWidget(new QLabel(QStringLiteral("periods beyond latest development period"), this), 0, 2);
    cutoffs->addWidget(fixed, 1, 0);
    cutoffs->addWidget(IdEdit(this, IDC_FIXED_VALUE), 1, 1);
    cutoffs->addWidget(new QLabel(QStringLiteral("years"), this), 1, 2);
    cutoffs->setColumnStretch(2, 1);
    layout->addLayout(cutoffs);
    layout->addWidget(Wrapped(QStringLiteral("This option will automatically exclude any development factors <= 1.00.  You "
                                             "can exclude additional points at either the beginning or end of your fit by "
                                             "entering the number of development periods below:"),
                              this));
    auto* excludes = new QGridLayout;
    excludes->addWidget(new QLabel(QStringLiteral("Exclude First "), this), 0, 0);
    excludes->addWidget(IdEdit(this, IDC_EXCLUDE_FIRST), 0, 1);
    excludes->addWidget(new QLabel(QStringLiteral("development periods"), this), 0, 2);
    excludes->addWidget(new QLabel(QStringLiteral("Exclude Last"), this), 1, 0);
    excludes->addWidget(IdEdit(this, IDC_EXCLUDE_LAST), 1, 1);
    excludes->addWidget(new QLabel(QStringLiteral("development periods"), this), 1, 2);
    excludes->setColumnStretch(2, 1);
    layout->addLayout(excludes);
    layout->addWidget(Wrapped(QStringLiteral("This option will automatically default the c-parameter to zero. You may vary "
                                             "this parameter below to attempt to improve your fit for the earlier periods."),
                              this));
    auto* cRow = new QHBoxLayout;
    cRow->addWidget(new QLabel(QStringLiteral("c  = "), this));
    cRow->addWidget(IdEdit(this, IDC_C));
    cRow->addStretch();
    layout->addLayout(cRow);
    layout->addStretch();
    for (QRadioButton* b : {variable, fixed}) connect(b, &QRadioButton::clicked, this, [this] { ApplyChoice(); });
}

QRadioButton* CKDVFFSDFTailCurveParamPg::Radio(int id) const { return qobject_cast<QRadioButton*>(GetDlgItem(id)); }
QLineEdit* CKDVFFSDFTailCurveParamPg::Edit(int id) const { return qobject_cast<QLineEdit*>(GetDlgItem(id)); }

void CKDVFFSDFTailCurveParamPg::DoDataExchange(CDataExchange* pDX) {
    if (pDX->m_bSaveAndValidate) {
        m_nChoice = Radio(IDC_VARIABLE)->isChecked() ? 0 : Radio(IDC_FIXED)->isChecked() ? 1 : -1;
    } else {
        // Exclusive groups cannot show "none chosen" otherwise.
        for (int id : {int(IDC_VARIABLE), int(IDC_FIXED)}) Radio(id)->setAutoExclusive(false);
        Radio(IDC_VARIABLE)->setChecked(m_nChoice == 0);
        Radio(IDC_FIXED)->setChecked(m_nChoice == 1);
        for (int id : {int(IDC_VARIABLE), int(IDC_FIXED)}) Radio(id)->setAutoExclusive(true);
    }
    const struct {
        int id;
        int* value;
    } ints[] = {{IDC_VARIABLE_VALUE, &m_nVariable},
                {IDC_FIXED_VALUE, &m_nFixed},
                {IDC_EXCLUDE_FIRST, &m_nExcludeFirst},
                {IDC_EXCLUDE_LAST, &m_nExcludeLast}};
    for (const auto& f : ints) {
        DDX_Text(pDX, f.id, *f.value);
        if (pDX->m_failed) return;
        DDV_MinMaxInt(pDX, *f.value, 0, 1000);
        if (pDX->m_failed) return;
    }
    double c = m_fC;
    DDX_Text(pDX, IDC_C, c);
    if (pDX->m_failed) return;
    if (pDX->m_bSaveAndValidate) {
        if (c < -1000.0 || c > 1000.0) {
            AfxMessageBox(QStringLiteral("Please enter a number between -1000 and 1000."), MB_OK | MB_ICONEXCLAMATION);
            pDX->Fail(IDC_C);
            return;
        }
        m_fC = float(c);
    }
}

BOOL CKDVFFSDFTailCurveParamPg::OnInitDialog() {
    if (m_setting.m_cutoffIsVariable) {
        m_nChoice = 0;
        m_nVariable = int(std::lround(m_setting.m_cutoff));
    } else {
        m_nChoice = 1;
        m_nFixed = int(std::lround(m_setting.m_cutoff));
    }
    m_nExcludeFirst = m_setting.m_excludeFirst;
    m_nExcludeLast = m_setting.m_excludeLast;
    m_fC = float(m_setting.m_c);
    CPropertyPage::OnInitDialog();
    ApplyChoice();
    return TRUE;
}

void CKDVFFSDFTailCurveParamPg::ApplyChoice() {
    Edit(IDC_VARIABLE_VALUE)->setEnabled(Radio(IDC_VARIABLE)->isChecked());
    Edit(IDC_FIXED_VALUE)->setEnabled(Radio(IDC_FIXED)->isChecked());
}

bool CKDVFFSDFTailCurveParamPg::CheckCutoff() {
    if (m_pProject == nullptr || m_nChoice < 0) return true;
    std::uint16_t generation = 5, numExp = 0, firstYear = 0, firstInterval = 0, n = 0, a = 0;
    PRDLENGTH e{}, d{};
    if (m_pProject->GetInfoProject(generation, numExp, e, firstYear, firstInterval, n, d, a) != 0 || n == 0) return true;
    // The last development age in months; the variable cutoff counts
    // development periods beyond it, the fixed one is an age in years.
    const double lastAgeMonths = double(n - 1) * double(d) + double(a);
    if (m_nChoice == 0) {
        if (m_nVariable < 1) {
            AfxMessageBox(QString::fromLatin1(kVariableTooSmall), MB_OK);
            return false;
        }
    } else if (lastAgeMonths / 12.0 > double(m_nFixed)) {
        AfxMessageBox(QString::fromLatin1(kFixedTooSmall), MB_OK);
        return false;
    }
    return true;
}

BOOL CKDVFFSDFTailCurveParamPg::OnKillActive() {
    if (!UpdateData(TRUE)) return FALSE;
    return CheckCutoff() ? TRUE : FALSE;
}

void CKDVFFSDFTailCurveParamPg::WriteResult(CFFCRXSetting& out) const {
    if (m_nChoice == 0) {
        out.m_cutoffIsVariable = true;
        out.m_cutoff = m_nVariable;
    } else if (m_nChoice == 1) {
        out.m_cutoffIsVariable = false;
        out.m_cutoff = m_nFixed;
    }
    out.m_excludeFirst = m_nExcludeFirst;
    out.m_excludeLast = m_nExcludeLast;
    out.m_c = double(m_fC);
}

// ---- the sheet -------------------------------------------------------------------------------------------------------

CKDVFFTailOptionSht::CKDVFFTailOptionSht(const CFFTailOption& option, const QString& caption, CWnd* parent,
                                         UINT firstPage)
    : CPropertySheet(caption, parent, firstPage), m_option(option) {
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
    AddPage(&m_page1);
    AddPage(&m_page2);
}

BOOL CKDVFFTailOptionSht::OnInitDialog() {
    m_page1.m_option = m_option;
    m_page2.m_setting = m_option.GetTailSettings();
    return CPropertySheet::OnInitDialog();
}

void CKDVFFTailOptionSht::WriteResults(CFFTailOption& out) const {
    m_page1.WriteResult(out);
    if (m_page2.WasShown()) m_page2.WriteResult(out.GetTailSettings());
}
