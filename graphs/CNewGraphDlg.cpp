#include "CNewGraphDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "CFormula.h"
#include "CProject.h"
#include "KernelIds.h"
#include "ObjectNameValidation.h"

namespace {
constexpr int kCategoryGraph = 8000;
constexpr int kFirst = 501, kLast = 995;
}  // namespace

CNewGraphDlg::CNewGraphDlg(CProject* project, QSID existingId, CWnd* pParent)
    : CDialog(IDD, pParent), m_pProject(project), m_lExistingId(existingId) {
    setWindowTitle(QStringLiteral("New Graph - Set Object Information"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_pId = new QLineEdit(this);
    m_pName = new QLineEdit(this);
    m_pAbbreviated = new QLineEdit(this);
    m_pName->setMinimumWidth(260);
    m_pName->setMaxLength(128);
    m_pAbbreviated->setMaxLength(64);
    SetControlId(m_pId, IDC_ID_NUMBER);
    SetControlId(m_pName, IDC_GRAPH_NAME);
    SetControlId(m_pAbbreviated, IDC_ABBREVIATED_NAME);
    form->addRow(QStringLiteral("&ID number:"), m_pId);
    form->addRow(QStringLiteral("Graph &Name:"), m_pName);
    form->addRow(QStringLiteral("&Abbreviated Name:"), m_pAbbreviated);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(AddButton(IDOK, QStringLiteral("OK")), QDialogButtonBox::AcceptRole);
    buttons->addButton(AddButton(IDCANCEL, QStringLiteral("Cancel")), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
}

CNewGraphDlg::~CNewGraphDlg() {
    if (m_pObject != nullptr && m_pProject != nullptr) m_pProject->CloseObject(m_pObject, this);
}

BOOL CNewGraphDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_pProject == nullptr) return TRUE;
    if (!IsRename()) {
        std::string next;
        m_nIndex = m_pProject->GetNextAvailIndex(kCategoryGraph, kFirst, next) == qsk::kOk ? std::stoi(next) : kFirst;
        m_pId->setText(QString::number(m_nIndex));
        m_pName->setFocus();
        return TRUE;
    }
    m_pId->setReadOnly(true);
    m_nIndex = GetIDIndex(m_lExistingId);
    m_pId->setText(QString::number(m_nIndex));
    if (m_pObject == nullptr) m_pObject = m_pProject->OpenObject(m_lExistingId, 0, this);
    if (m_pObject != nullptr) {
        m_pName->setText(QString::fromStdString(m_pObject->GetIDLongName()));
        m_pAbbreviated->setText(QString::fromStdString(m_pObject->GetIDShortName()));
    }
    m_pName->setFocus();
    m_pName->selectAll();
    return FALSE;
}

void CNewGraphDlg::Refuse(QLineEdit* edit, const QString& text, UINT type, bool selectAll) {
    AfxMessageBox(text, type);
    edit->setFocus();
    if (selectAll) edit->selectAll();
}

void CNewGraphDlg::OnOK() {
    if (m_pProject == nullptr) return;
    bool numeric = false;
    int index = m_pId->text().trimmed().toInt(&numeric);
    if (!numeric) {
        Refuse(m_pId, QStringLiteral("Please enter an integer."));
        return;
    }
    if (index < kFirst || index > kLast) {
        Refuse(m_pId, QStringLiteral("ID# must be between 501 and 995!"));
        return;
    }
    if (!IsRename() && !m_pProject->IsIndexAvail(kCategoryGraph, std::to_string(index))) {
        std::string next;
        const bool found = m_pProject->GetNextAvailIndex(kCategoryGraph, std::uint16_t(index), next) == qsk::kOk;
        const int offered = found ? std::stoi(next) : 0;
        if (!found || offered < kFirst || offered > kLast) {
            Refuse(m_pId, QStringLiteral("ID# already in use.  Unable to determine\nnext available ID.  Please choose "
                                         "another ID#."));
            return;
        }
        if (AfxMessageBox(QStringLiteral("ID# already in use.\nNext available ID# is %1.\nUse this ID#?").arg(offered),
                          MB_YESNO | MB_ICONERROR) != IDYES) {
            m_pId->setFocus();
            return;
        }
        index = offered;
        m_pId->setText(QString::number(index));
    }
    QString name = m_pName->text();
    if (!ValidateObjectName(name)) {
        m_pName->setFocus();
        return;
    }
    m_pName->setText(name);
    QString abbreviated = m_pAbbreviated->text().trimmed();
    if (!abbreviated.isEmpty() && !ValidateObjectName(abbreviated)) {
        m_pAbbreviated->setFocus();
        return;
    }
    m_pAbbreviated->setText(abbreviated);
    const QSID exclude = IsRename() && m_pObject != nullptr ? m_pObject->GetIDNum() : 0;
    const auto inUse = [](const QString& text) {
        return QStringLiteral("'") + text + QStringLiteral("'") + QStringLiteral(" already in use.  Please use an alternate name.");
    };
    if (!m_pProject->IsNameUnique(name.toStdString(), kCategoryGraph, exclude)) {
        Refuse(m_pName, inUse(name), MB_OK | MB_ICONEXCLAMATION, true);
        return;
    }
    if (!abbreviated.isEmpty() && !m_pProject->IsNameUnique(abbreviated.toStdString(), kCategoryGraph, exclude)) {
        Refuse(m_pAbbreviated, inUse(abbreviated), MB_OK | MB_ICONEXCLAMATION, true);
        return;
    }
    if (IsRename() && m_pObject != nullptr) {
        m_pObject->SetIDLongName(name.toStdString());
        m_pObject->SetIDShortName(abbreviated.toStdString());
        m_pProject->SetModifiedFlag(true);
    }
    m_nIndex = index;
    m_strName = name;
    m_strAbbreviatedName = abbreviated;
    CDialog::OnOK();
}
