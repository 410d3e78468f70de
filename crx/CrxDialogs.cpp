#include "CrxDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "CrxAbout.h"
#include "CrxNumbers.h"
#include "MessageBox.h"

namespace {

QHBoxLayout* OkCancel(CDialog* dialog) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(dialog->AddButton(IDOK, QStringLiteral("OK")));
    row->addWidget(dialog->AddButton(IDCANCEL, QStringLiteral("Cancel")));
    return row;
}

}  // namespace

CApplyDlg::CApplyDlg(CWnd* pParent) : CDialog(131, pParent) {
    setWindowTitle(QStringLiteral("Saving..."));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Please select which curves you would like to see on your exhibit.")));
    const char* names[] = {"Inverse Power", "Exponential", "Weibull"};
    for (int i = 0; i < 3; ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(names[i]));
        SetControlId(box, 1000 + i);
        layout->addWidget(box);
    }
    layout->addLayout(OkCancel(this));
}

void CApplyDlg::DoDataExchange(CDataExchange* pDX) {
    for (int i = 0; i < 3; ++i) DDX_Check(pDX, 1000 + i, m_curves[i]);
}

CValueDlg::CValueDlg(Kind kind, const QString& initialText, double initialAge, CWnd* pParent)
    : CDialog(135, pParent), m_kind(kind), m_text(initialText), m_initialAge(initialAge) {
    m_prompt = kind == Constant ? QStringLiteral("Set Constant value:") : QStringLiteral("Set Cutoff value:");
    setWindowTitle(m_prompt);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(m_prompt));
    auto* edit = new QLineEdit;
    SetControlId(edit, 1019);
    layout->addWidget(edit);
    layout->addLayout(OkCancel(this));
}

BOOL CValueDlg::OnInitDialog() {
    SetDlgItemText(1019, m_text);
    if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(1019))) edit->selectAll();
    return TRUE;
}

void CValueDlg::OnOK() {
    const QString typed = GetDlgItemText(1019);
    auto refuse = [this](const char* text) { MessageBox(QString::fromUtf8(text), windowTitle(), MB_OK | MB_ICONINFORMATION); };
    QString cleaned;
    switch (crx::CheckValueText(typed, &cleaned)) {
    case crx::ValueText::Empty: return refuse(crx::kMsgEmpty);
    case crx::ValueText::NotNumeric: return refuse(crx::kMsgNotNumeric);
    case crx::ValueText::Ok: break;
    }
    const double x = crx::ParseNumber(cleaned);
    if (m_kind == Constant && !(m_initialAge + x > 0)) return refuse(crx::kMsgConstantTooSmall);
    if (m_kind == Cutoff && x > 255) return refuse(crx::kMsgCutoffTooLarge);
    m_text = cleaned;
    m_value = x;
    EndDialog(IDOK);
}

CModifyPointDlg::CModifyPointDlg(double oldValue, CWnd* pParent) : CDialog(132, pParent), m_oldValue(oldValue) {
    setWindowTitle(QStringLiteral("Modify Point"));
    auto* form = new QFormLayout;
    auto* oldEdit = new QLineEdit;
    oldEdit->setReadOnly(true);
    SetControlId(oldEdit, 1003);
    auto* newEdit = new QLineEdit;
    SetControlId(newEdit, 1004);
    form->addRow(QStringLiteral("Old Value (Y):"), oldEdit);
    form->addRow(QStringLiteral("New Value (Y):"), newEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(OkCancel(this));
}

void CModifyPointDlg::DoDataExchange(CDataExchange* pDX) {
    // Both values travel as single-precision numbers.
    double old = float(m_oldValue);
    DDX_Text(pDX, 1003, old);
    DDX_Text(pDX, 1004, m_newValue);
    if (pDX->m_bSaveAndValidate) m_newValue = float(m_newValue);
}

CAboutDlg::CAboutDlg(CWnd* pParent) : CDialog(100, pParent) {
    setWindowTitle(QStringLiteral("About Duvi Rozire Vididaze"));
    auto* grid = new QGridLayout(this);
    auto* icon = new QLabel;
    icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
    grid->addWidget(icon, 0, 0, Qt::AlignTop);
    auto* text = new QVBoxLayout;
    text->addWidget(new QLabel(QStringLiteral("Duvi Rozire Vididaze Utility")));
    for (const char* t :
         {"Quillstone is a tool, which, in combination with other information and methodologies, is intended to "
          "assist the professional in estimating ultimate losses and establishing loss reserves.",
          "However, Quillstone is not a substitute for professional judgement.  Its effective performance requires the "
          "application of the user's sound business judgement and the input of accurate data, in conjunction with "
          "astute financial choices."}) {
        auto* label = new QLabel(QString::fromUtf8(t));
        label->setWordWrap(true);
        label->setMinimumWidth(380);
        text->addWidget(label);
    }
    grid->addLayout(text, 0, 1);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    grid->addLayout(row, 1, 0, 1, 2);
}

void CrxShowAbout(CWnd* parent) {
    CAboutDlg dialog(parent);
    dialog.DoModal();
}
