#include "dialogs/SmallDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

QLineEdit* Edit(CWnd& dialog, QWidget* parent, int id, int maxLength = 0) {
    auto* edit = new QLineEdit(parent);
    CWnd::SetControlId(edit, id);
    if (maxLength > 0) edit->setMaxLength(maxLength);
    (void)dialog;
    return edit;
}

}  // namespace

// ---------------------------------------------------------------- 278

CSelectNameDlg::CSelectNameDlg(const QStringList& names, CWnd* pParent)
    : CDialog(kTemplateId, pParent), m_names(names), m_list(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("Select new name"));
    SetControlId(m_list, IDC_NAMES);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(Edit(*this, this, IDC_TEXT));
    QPushButton* ok = AddButton(IDOK, QStringLiteral("OK"));
    layout->addWidget(ok, 0, Qt::AlignRight);
    connect(m_list, &QListWidget::currentRowChanged, ok, [ok](int row) { ok->setEnabled(row >= 0); });
}

BOOL CSelectNameDlg::OnInitDialog() {
    m_list->clear();
    m_list->addItems(m_names);
    CDialog::OnInitDialog();
    if (auto* ok = qobject_cast<QPushButton*>(GetDlgItem(IDOK))) ok->setEnabled(m_list->currentRow() >= 0);
    QApplication::beep();  // the name must be changed: draw the user's attention
    return TRUE;
}

void CSelectNameDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_LBIndex(pDX, IDC_NAMES, m_nSelected);
    DDX_Text(pDX, IDC_TEXT, m_strText);
    if (pDX->m_bSaveAndValidate)
        m_strSelected = m_nSelected >= 0 && m_nSelected < m_names.size() ? m_names.at(m_nSelected) : QString();
}

// ---------------------------------------------------------------- 213

CScalingFactorDlg::CScalingFactorDlg(CWnd* pParent) : CDialog(kTemplateId, pParent) {
    setWindowTitle(QStringLiteral("Scaling Factor"));
    auto* layout = new QVBoxLayout(this);
    for (const char* text :
         {"This factor accounts for the fact that you may enter count arrays and amount arrays in different "
          "rounding bases. It is used in calculating averages using both types of data.",
          "For example, if you enter Claims amounts in whole units but you round Paid Losses to thousands, "
          "entering 1000 here allows the Average Paid Loss exhibit to calculate correctly."}) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Value:"), this));
    row->addWidget(Edit(*this, this, IDC_VALUE));
    layout->addLayout(row);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    buttons->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(buttons);
}

void CScalingFactorDlg::DoDataExchange(CDataExchange* pDX) { DDX_Text(pDX, IDC_VALUE, m_dValue); }

void CScalingFactorDlg::OnOK() {
    const double before = m_dValue;
    if (!UpdateData(TRUE)) return;
    if (!(m_dValue > 0.0) || !std::isfinite(m_dValue)) {
        m_dValue = before;
        AfxMessageBox(QString::fromUtf8(kPositive));
        if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(IDC_VALUE))) {
            edit->setFocus();
            edit->selectAll();
        }
        return;
    }
    EndDialog(IDOK);
}

// ---------------------------------------------------------------- 147

CStatisticsDlg::CStatisticsDlg(CWnd* pParent)
    : CDialog(kTemplateId, pParent), m_type(new QComboBox(this)), m_weights(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("Statistics"));
    SetControlId(m_type, IDC_TYPE);
    SetControlId(m_weights, IDC_WEIGHTS);
    auto* grid = new QGridLayout;
    const char* headings[] = {"Order", "Type", "Incl.\nZeros", "Excl.\nHi/Low", "Excl.\nFirst",
                              "Excl.\nLast", "Use\nLast",  "Weights",        "Incl.\nGraph"};
    for (int column = 0; column < 9; ++column) grid->addWidget(new QLabel(QString::fromUtf8(headings[column]), this), 0, column);
    grid->addWidget(Edit(*this, this, IDC_COUNT), 1, 0);
    grid->addWidget(m_type, 1, 1);
    auto check = [this](int id) {
        auto* box = new QCheckBox(this);
        SetControlId(box, id);
        return box;
    };
    // The fields under their headings: the two flags, then the three counts.
    grid->addWidget(check(IDC_CHECK_A), 1, 2);
    grid->addWidget(check(IDC_CHECK_B), 1, 3);
    grid->addWidget(Edit(*this, this, IDC_BYTE_A, 3), 1, 4);
    grid->addWidget(Edit(*this, this, IDC_BYTE_B, 3), 1, 5);
    grid->addWidget(Edit(*this, this, IDC_BYTE_C, 3), 1, 6);
    grid->addWidget(m_weights, 1, 7);
    grid->addWidget(check(IDC_CHECK_C), 1, 8);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    buttons->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(buttons);
}

void CStatisticsDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Check(pDX, IDC_CHECK_A, m_bCheckA);
    DDX_Check(pDX, IDC_CHECK_B, m_bCheckB);
    DDX_Check(pDX, IDC_CHECK_C, m_bCheckC);
    DDX_CBIndex(pDX, IDC_TYPE, m_nType);
    DDX_CBIndex(pDX, IDC_WEIGHTS, m_nWeights);
    DDX_Text(pDX, IDC_BYTE_A, m_nByteA);
    DDV_MinMaxInt(pDX, m_nByteA, 0, 255);
    DDX_Text(pDX, IDC_BYTE_B, m_nByteB);
    DDV_MinMaxInt(pDX, m_nByteB, 0, 255);
    DDX_Text(pDX, IDC_BYTE_C, m_nByteC);
    DDV_MinMaxInt(pDX, m_nByteC, 0, 255);
    DDX_Text(pDX, IDC_COUNT, m_nCount);
}

void CStatisticsDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if ((m_nType == 1 || m_nType == 2) && m_nWeights != 0) {
        AfxMessageBox(QString::fromUtf8(kWeightsRefused));
        if (QWidget* w = GetDlgItem(IDC_WEIGHTS)) w->setFocus();
        return;
    }
    if (m_nCount < 0 || m_nCount > 254) {
        AfxMessageBox(QString::fromUtf8(kCountRange));
        if (QWidget* w = GetDlgItem(IDC_COUNT)) w->setFocus();
        return;
    }
    EndDialog(IDOK);
}
