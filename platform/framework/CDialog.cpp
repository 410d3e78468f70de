#include "CDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "ModalScript.h"

namespace {
// Which control failed the last exchange (DDV checks come right after their DDX).
int g_lastExchangedControl = 0;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : QDialog(pParentWnd ? pParentWnd->GetWidget() : nullptr), m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {
    AttachWidget(this);
}

CDialog::~CDialog() { DetachWidget(); }

void CDialog::PrepareForShow() {
    if (m_initialised) return;
    m_initialised = true;
    OnInitDialog();
}

INT_PTR CDialog::DoModal() {
    m_initialised = false;
    setModal(true);
    PrepareForShow();
    return qs::fw::RunModal(*this);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    if (nIDTemplate != 0) m_nIDTemplate = nIDTemplate;
    if (pParentWnd != nullptr && parentWidget() == nullptr) setParent(pParentWnd->GetWidget(), windowFlags());
    setModal(false);
    m_initialised = false;
    PrepareForShow();
    show();
    return TRUE;
}

void CDialog::EndDialog(int nResult) {
    if (isModal() || qs::fw::IsModalScripted()) done(nResult);
    else {
        setResult(nResult);
        hide();
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return dx.m_failed ? FALSE : TRUE;
}

QPushButton* CDialog::AddButton(int nID, const QString& text) {
    auto* button = new QPushButton(text, this);
    BindCommandButton(button, nID);
    button->setAutoDefault(false);
    if (nID == IDOK) button->setDefault(true);
    return button;
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (DispatchOwnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    if (nCode == CN_COMMAND && (nID == IDOK || nID == IDCANCEL)) {
        if (pHandlerInfo == nullptr) {
            if (nID == IDOK) OnOK();
            else OnCancel();
        }
        return TRUE;
    }
    return FALSE;
}

void CDialog::OnClose() { OnCancel(); }

BOOL CDialog::DestroyWindow() {
    if (isVisible()) hide();
    return CWnd::DestroyWindow();
}

void CDialog::accept() { OnOK(); }
void CDialog::reject() { OnCancel(); }

void CDataExchange::Fail(int nIDC) {
    m_failed = true;
    if (QWidget* control = m_pDlgWnd ? m_pDlgWnd->GetDlgItem(nIDC) : nullptr) control->setFocus();
}

void DDX_Text(CDataExchange* pDX, int nIDC, QString& value) {
    g_lastExchangedControl = nIDC;
    if (pDX->m_bSaveAndValidate) value = pDX->m_pDlgWnd->GetDlgItemText(nIDC);
    else pDX->m_pDlgWnd->SetDlgItemText(nIDC, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    g_lastExchangedControl = nIDC;
    if (!pDX->m_bSaveAndValidate) {
        pDX->m_pDlgWnd->SetDlgItemText(nIDC, QString::number(value));
        return;
    }
    bool ok = false;
    const int parsed = pDX->m_pDlgWnd->GetDlgItemText(nIDC).trimmed().toInt(&ok);
    if (!ok) {
        AfxMessageBox(QStringLiteral("Please enter an integer."), MB_ICONEXCLAMATION);
        pDX->Fail(nIDC);
        return;
    }
    value = parsed;
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
    g_lastExchangedControl = nIDC;
    if (!pDX->m_bSaveAndValidate) {
        pDX->m_pDlgWnd->SetDlgItemText(nIDC, QString::number(value, 'g', 15));
        return;
    }
    bool ok = false;
    const double parsed = pDX->m_pDlgWnd->GetDlgItemText(nIDC).trimmed().toDouble(&ok);
    if (!ok) {
        AfxMessageBox(QStringLiteral("Please enter a number."), MB_ICONEXCLAMATION);
        pDX->Fail(nIDC);
        return;
    }
    value = parsed;
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    g_lastExchangedControl = nIDC;
    if (pDX->m_bSaveAndValidate) value = int(pDX->m_pDlgWnd->IsDlgButtonChecked(nIDC));
    else pDX->m_pDlgWnd->CheckDlgButton(nIDC, UINT(value));
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    g_lastExchangedControl = nIDC;
    auto* combo = qobject_cast<QComboBox*>(pDX->m_pDlgWnd->GetDlgItem(nIDC));
    if (combo == nullptr) return;
    if (pDX->m_bSaveAndValidate) index = combo->currentIndex();
    else combo->setCurrentIndex(index);
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
    g_lastExchangedControl = nIDC;
    auto* list = qobject_cast<QListWidget*>(pDX->m_pDlgWnd->GetDlgItem(nIDC));
    if (list == nullptr) return;
    if (pDX->m_bSaveAndValidate) index = list->currentRow();
    else list->setCurrentRow(index);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    if (!pDX->m_bSaveAndValidate || pDX->m_failed) return;
    if (value < minVal || value > maxVal) {
        AfxMessageBox(QStringLiteral("Please enter an integer between %1 and %2.").arg(minVal).arg(maxVal),
                      MB_ICONEXCLAMATION);
        pDX->Fail(g_lastExchangedControl);
    }
}

void DDV_MaxChars(CDataExchange* pDX, const QString& value, int nChars) {
    if (!pDX->m_bSaveAndValidate || pDX->m_failed) return;
    if (value.size() > nChars) {
        AfxMessageBox(QStringLiteral("Please enter no more than %1 characters.").arg(nChars), MB_ICONEXCLAMATION);
        pDX->Fail(g_lastExchangedControl);
    }
}
