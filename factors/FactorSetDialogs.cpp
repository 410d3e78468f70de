#include "FactorSetDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "MessageBox.h"

namespace {

QHBoxLayout* OkCancelRow(CDialog* dialog, QPushButton** ok) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    *ok = dialog->AddButton(IDOK, QStringLiteral("OK"));
    row->addWidget(*ok);
    row->addWidget(dialog->AddButton(IDCANCEL, QStringLiteral("Cancel")));
    return row;
}

QLineEdit* IdEdit(QWidget* owner, int id) {
    auto* edit = new QLineEdit(owner);
    CWnd::SetControlId(edit, id);
    return edit;
}

QRadioButton* IdRadio(QWidget* owner, int id, const QString& text) {
    auto* radio = new QRadioButton(text, owner);
    CWnd::SetControlId(radio, id);
    return radio;
}

}  // namespace

// ---------------------------------------------------------------- new / edit factor set

CNewFactorSetDlg::CNewFactorSetDlg(int mode, CWnd* pParent) : CDialog(kTemplateId, pParent), m_nMode(mode) {
    setWindowTitle(QStringLiteral("New Factor Set"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_name = IdEdit(this, IDC_NAME);
    form->addRow(QStringLiteral("&Name"), m_name);
    form->addRow(QStringLiteral("Number of &Development Periods"), IdEdit(this, IDC_NUM_PERIODS));
    m_length = new QComboBox(this);
    CWnd::SetControlId(m_length, IDC_PERIOD_LENGTH);
    m_length->addItems({QStringLiteral("MONTHS"), QStringLiteral("QUARTERS"), QStringLiteral("HALF YEARS"),
                        QStringLiteral("YEARS")});
    form->addRow(QStringLiteral("&Length of Development Periods"), m_length);
    form->addRow(QStringLiteral("&First Development Period"), IdEdit(this, IDC_FIRST_PERIOD));
    layout->addLayout(form);

    m_apply = new QGroupBox(QStringLiteral("Apply"), this);
    CWnd::SetControlId(m_apply, IDC_APPLY);
    auto* applyLayout = new QVBoxLayout(m_apply);
    m_applyChoice = new QButtonGroup(this);
    QRadioButton* toSelected = IdRadio(m_apply, IDC_TO_SELECTED, QStringLiteral("To selected factor set"));
    QRadioButton* toAll = IdRadio(m_apply, IDC_TO_ALL, QStringLiteral("To all factor sets"));
    m_applyChoice->addButton(toSelected, 0);
    m_applyChoice->addButton(toAll, 1);
    m_clear = new QCheckBox(QStringLiteral("Clear existing factor set values"), m_apply);
    CWnd::SetControlId(m_clear, IDC_CLEAR_VALUES);
    applyLayout->addWidget(toSelected);
    applyLayout->addWidget(toAll);
    applyLayout->addWidget(m_clear);
    layout->addWidget(m_apply);
    layout->addLayout(OkCancelRow(this, &m_ok));

    connect(m_name, &QLineEdit::textEdited, this, [this] { OnNameChanged(); });
    connect(toSelected, &QRadioButton::clicked, this, [this] {
        m_bApplyToAll = 0;
        m_name->setEnabled(true);
    });
    connect(toAll, &QRadioButton::clicked, this, [this] {
        // The sets keep their names.
        m_bApplyToAll = 1;
        m_name->setEnabled(false);
    });
}

int CNewFactorSetDlg::IndexOfLength(PRDLENGTH length) {
    switch (length) {
    case PRD_MONTH: return 0;
    case PRD_QUARTER: return 1;
    case PRD_HALFYEAR: return 2;
    case PRD_YEAR: return 3;
    }
    return -1;
}

PRDLENGTH CNewFactorSetDlg::LengthOfIndex(int index) {
    static constexpr PRDLENGTH kLengths[] = {PRD_MONTH, PRD_QUARTER, PRD_HALFYEAR, PRD_YEAR};
    return index >= 0 && index < 4 ? kLengths[index] : PRD_YEAR;
}

BOOL CNewFactorSetDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_name->setMaxLength(61);
    m_ok->setEnabled(m_nMode == kEdit);
    if (m_nMode == kEdit) {
        setWindowTitle(QStringLiteral("Edit Factor Set(s)"));
        m_nPrdLengthIndex = IndexOfLength(m_PrdLength);
    } else {
        setWindowTitle(QStringLiteral("New Factor Set"));
    }
    ShowApplyGroup(m_nMode == kEdit);
    UpdateData(FALSE);
    return TRUE;
}

void CNewFactorSetDlg::ShowApplyGroup(bool show) {
    m_apply->setVisible(show);
    const bool toSelected = !m_strName.isEmpty();
    m_applyChoice->button(toSelected ? 0 : 1)->setChecked(true);
    m_bApplyToAll = toSelected ? 0 : 1;
}

void CNewFactorSetDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_FIRST_PERIOD, m_nFirstDevPrd);
    DDX_Text(pDX, IDC_NAME, m_strName);
    DDX_Text(pDX, IDC_NUM_PERIODS, m_nNumDevPrds);
    DDX_CBIndex(pDX, IDC_PERIOD_LENGTH, m_nPrdLengthIndex);
    DDX_Check(pDX, IDC_CLEAR_VALUES, m_bClearValues);
}

void CNewFactorSetDlg::OnNameChanged() {
    m_strName = m_name->text().trimmed();
    m_ok->setEnabled(!m_strName.isEmpty());
}

void CNewFactorSetDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    m_strName = m_strName.trimmed();
    const auto plain = [this](const char* text) { ::MessageBox(this, QString::fromLatin1(text), QString(), MB_OK); };
    if (m_nPrdLengthIndex < 0) return plain("Choose Development Period Length!");
    if (m_nFirstDevPrd < 0) return plain(" First Devlopment period cannot be negative\n");
    if (m_nNumDevPrds < 0) return plain(" Number of development periods cannot be negative\n");
    if (m_nNumDevPrds < 1 || m_nNumDevPrds > 255) return plain("The number of developments must be between 1 and 255.\n");
    m_PrdLength = LengthOfIndex(m_nPrdLengthIndex);
    EndDialog(IDOK);
}

// ---------------------------------------------------------------- clear factor sets

CClearFactorSetsDlg::CClearFactorSetsDlg(const QString& name, CWnd* pParent)
    : CDialog(kTemplateId, pParent), m_strName(name) {
    setWindowTitle(QStringLiteral("Clear Factor Set(s)"));
    auto* layout = new QVBoxLayout(this);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("Name:"), this));
    m_name = IdEdit(this, IDC_NAME);
    m_name->setReadOnly(true);
    m_name->setText(name);
    nameRow->addWidget(m_name);
    layout->addLayout(nameRow);
    auto* apply = new QGroupBox(QStringLiteral("Apply"), this);
    auto* applyLayout = new QVBoxLayout(apply);
    auto* choice = new QButtonGroup(this);
    QRadioButton* toSelected = IdRadio(apply, IDC_TO_SELECTED, QStringLiteral("To Selected"));
    QRadioButton* toAll = IdRadio(apply, IDC_TO_ALL, QStringLiteral("To All Factor Sets"));
    choice->addButton(toSelected, 0);
    choice->addButton(toAll, 1);
    applyLayout->addWidget(toSelected);
    applyLayout->addWidget(toAll);
    layout->addWidget(apply);
    QPushButton* ok = nullptr;
    layout->addLayout(OkCancelRow(this, &ok));
    connect(toSelected, &QRadioButton::clicked, this, [this] { Choose(0); });
    connect(toAll, &QRadioButton::clicked, this, [this] { Choose(1); });
}

BOOL CClearFactorSetsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const bool toSelected = !m_strName.isEmpty();
    CheckDlgButton(toSelected ? IDC_TO_SELECTED : IDC_TO_ALL, 1);
    m_bApplyToAll = toSelected ? 0 : 1;
    return TRUE;
}

void CClearFactorSetsDlg::Choose(int applyToAll) {
    m_bApplyToAll = applyToAll;
    m_name->setEnabled(applyToAll == 0);
}

// ---------------------------------------------------------------- decimals

CDFLDecimalsDlg::CDFLDecimalsDlg(int decimals, CWnd* pParent) : CDialog(kTemplateId, pParent), m_nDecimals(decimals) {
    setWindowTitle(QStringLiteral("Number of decimals"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("&Decimals:"), this));
    row->addWidget(IdEdit(this, IDC_DECIMALS));
    layout->addLayout(row);
    QPushButton* ok = nullptr;
    layout->addLayout(OkCancelRow(this, &ok));
}

void CDFLDecimalsDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_DECIMALS, m_nDecimals);
    DDV_MinMaxInt(pDX, m_nDecimals, 0, 15);
}

void CDFLDecimalsDlg::OnOK() {
    bool ok = false;
    const int typed = GetDlgItemText(IDC_DECIMALS).trimmed().toInt(&ok);
    if (!ok || typed < 0 || typed > 7) {
        AfxMessageBoxIfVisible(QStringLiteral("Precision out of range"));
        return;
    }
    CDialog::OnOK();
}
