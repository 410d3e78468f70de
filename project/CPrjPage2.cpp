#include "CPrjPage2.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

CPrjPage2::CPrjPage2() : CPropertyPage(IDD, QStringLiteral("Information")) {
    auto* form = new QFormLayout(this);
    const auto edit = [this](int id) {
        auto* e = new QLineEdit(this);
        SetControlId(e, id);
        return e;
    };
    form->addRow(QStringLiteral("Company name:"), edit(IDC_COMPANY));
    form->addRow(QStringLiteral("Description:"), edit(IDC_DESCRIPTION));
    form->addRow(QStringLiteral("As of date:"), edit(IDC_ASOF));
    auto* comment = new QPlainTextEdit(this);
    SetControlId(comment, IDC_COMMENT);
    form->addRow(QStringLiteral("Comment:"), comment);
}

void CPrjPage2::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_COMPANY, m_strCompany);
    DDX_Text(pDX, IDC_DESCRIPTION, m_strDescription);
    DDX_Text(pDX, IDC_ASOF, m_strAsOfDate);
    auto* comment = qobject_cast<QPlainTextEdit*>(GetDlgItem(IDC_COMMENT));
    if (!pDX->m_bSaveAndValidate) {
        comment->setPlainText(m_strComment);
        return;
    }
    const QString text = comment->toPlainText();
    DDV_MaxChars(pDX, text, kMaxComment);
    if (pDX->m_failed) {
        comment->setFocus();
        return;
    }
    m_strComment = text;
}
