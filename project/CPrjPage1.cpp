#include "CPrjPage1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr int kPeriodMonths[4] = {1, 3, 6, 12};

QComboBox* MakeLengthList(QWidget* parent, int id) {
    auto* box = new QComboBox(parent);
    box->addItems({QStringLiteral("MONTHS"), QStringLiteral("QUARTERS"), QStringLiteral("HALF YEARS"),
                   QStringLiteral("YEARS")});
    CWnd::SetControlId(box, id);
    return box;
}

QLineEdit* MakeEdit(QWidget* parent, int id) {
    auto* edit = new QLineEdit(parent);
    CWnd::SetControlId(edit, id);
    return edit;
}

// The unsigned members go through the framework's integer exchange.
void ExchangeUnsigned(CDataExchange* pDX, int id, unsigned& value) {
    int v = int(value);
    DDX_Text(pDX, id, v);
    if (pDX->m_bSaveAndValidate && !pDX->m_failed) value = unsigned(v);
}

}  // namespace

CPrjPage1::CPrjPage1(int showEvalDate) : CPropertyPage(IDD, QStringLiteral("Structure")), m_bShowEvalDate(showEvalDate) {
    auto* layout = new QVBoxLayout(this);
    auto* rows = new QGroupBox(QStringLiteral("Rows"), this);
    auto* rowForm = new QFormLayout(rows);
    rowForm->addRow(QStringLiteral("Number of exposure periods:"), MakeEdit(rows, IDC_NUM_EXP));
    rowForm->addRow(QStringLiteral("Length of exposure periods:"), MakeLengthList(rows, IDC_EXP_LENGTH));
    rowForm->addRow(QStringLiteral("Year of first exposure period:"), MakeEdit(rows, IDC_FIRST_YEAR));
    rowForm->addRow(QStringLiteral("Interval of first exposure period:"), MakeEdit(rows, IDC_FIRST_INTERVAL));
    auto* prior = new QCheckBox(rows);
    SetControlId(prior, IDC_PRIOR);
    rowForm->addRow(QStringLiteral("First exposure period includes prior:"), prior);
    layout->addWidget(rows);

    auto* cols = new QGroupBox(QStringLiteral("Columns"), this);
    auto* colForm = new QFormLayout(cols);
    colForm->addRow(QStringLiteral("Number of development periods:"), MakeEdit(cols, IDC_NUM_DEV));
    colForm->addRow(QStringLiteral("Length of development periods:"), MakeLengthList(cols, IDC_DEV_LENGTH));
    colForm->addRow(QStringLiteral("Starting period in months:"), MakeEdit(cols, IDC_START_MONTHS));
    layout->addWidget(cols);

    auto* evalForm = new QFormLayout;
    auto* evalLabel = new QLabel(QStringLiteral("Evaluation Date: "), this);
    SetControlId(evalLabel, IDC_EVAL_LABEL);
    evalForm->addRow(evalLabel, MakeEdit(this, IDC_EVAL_DATE));
    layout->addLayout(evalForm);
    layout->addStretch();
}

int CPrjPage1::LengthIndexOf(int months) {
    for (int i = 0; i < 4; ++i)
        if (kPeriodMonths[i] == months) return i;
    return -1;
}

int CPrjPage1::LengthOfIndex(int index) { return index >= 0 && index < 4 ? kPeriodMonths[index] : 0; }

BOOL CPrjPage1::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    for (int id : {IDC_NUM_EXP, IDC_EXP_LENGTH, IDC_FIRST_YEAR, IDC_FIRST_INTERVAL, IDC_PRIOR, IDC_NUM_DEV,
                   IDC_DEV_LENGTH, IDC_START_MONTHS})
        if (QWidget* w = GetDlgItem(id)) w->setEnabled(!m_bLocked);
    QWidget* label = GetDlgItem(IDC_EVAL_LABEL);
    QWidget* edit = GetDlgItem(IDC_EVAL_DATE);
    label->setVisible(m_bShowEvalDate);
    edit->setVisible(m_bShowEvalDate);
    if (m_bShowEvalDate) {
        SetDlgItemText(IDC_EVAL_DATE, m_strEvalDate);
        edit->setEnabled(!m_bLocked);
    }
    return TRUE;
}

BOOL CPrjPage1::OnKillActive() { return UpdateData(TRUE); }

void CPrjPage1::DoDataExchange(CDataExchange* pDX) {
    // The first failed check ends the exchange: one message, focus on its control.
    const auto failed = [pDX] { return pDX->m_bSaveAndValidate && pDX->m_failed; };
    ExchangeUnsigned(pDX, IDC_NUM_EXP, m_nNumExp);
    DDV_MinMaxInt(pDX, int(m_nNumExp), 1, 255);
    if (failed()) return;
    DDX_CBIndex(pDX, IDC_EXP_LENGTH, m_nExpLength);
    ExchangeUnsigned(pDX, IDC_FIRST_YEAR, m_nFirstYear);
    if (failed()) return;
    if (pDX->m_bSaveAndValidate && (m_nFirstYear < 1900 || m_nFirstYear > 9999)) {
        AfxMessageBox(QStringLiteral("Please enter year between %1 and %2").arg(1900).arg(9999), MB_ICONEXCLAMATION);
        pDX->Fail(IDC_FIRST_YEAR);
        return;
    }
    ExchangeUnsigned(pDX, IDC_FIRST_INTERVAL, m_nFirstInterval);
    if (failed()) return;
    DDX_Check(pDX, IDC_PRIOR, m_bIncludesPrior);
    ExchangeUnsigned(pDX, IDC_NUM_DEV, m_nNumDev);
    DDV_MinMaxInt(pDX, int(m_nNumDev), 1, 255);
    if (failed()) return;
    DDX_CBIndex(pDX, IDC_DEV_LENGTH, m_nDevLength);
    ExchangeUnsigned(pDX, IDC_START_MONTHS, m_nStartMonths);
    if (failed() || !pDX->m_bSaveAndValidate) return;
    // The rules the new project must meet, checked while the sheet is still
    // open, with what would be allowed.
    const int expMonths = LengthOfIndex(m_nExpLength), devMonths = LengthOfIndex(m_nDevLength);
    if (expMonths <= 0 || devMonths <= 0) return;
    if (expMonths < devMonths) {
        AfxMessageBox(QStringLiteral("Not enough exposure periods!\nAn exposure period (%1 months) cannot be shorter "
                                     "than a development period (%2 months).")
                          .arg(expMonths)
                          .arg(devMonths),
                      MB_ICONEXCLAMATION);
        pDX->Fail(IDC_EXP_LENGTH);
        return;
    }
    if ((int(m_nNumExp) - 1) * expMonths >= int(m_nNumDev) * devMonths) {
        const int least = (int(m_nNumExp) - 1) * expMonths / devMonths + 1;
        AfxMessageBox(QStringLiteral("Invalid number of development periods!\nThe development periods must reach past "
                                     "the start of the last exposure period: with %1 exposure periods of %2 months, "
                                     "enter at least %3 development periods of %4 months (at most 255).")
                          .arg(m_nNumExp)
                          .arg(expMonths)
                          .arg(least)
                          .arg(devMonths),
                      MB_ICONEXCLAMATION);
        pDX->Fail(IDC_NUM_DEV);
    }
}
