#include "CMultiFileDialog.h"

CMultiFileDialog::CMultiFileDialog(const QString& okText, BOOL bOpenFileDialog, const QString& defExt,
                                   const QString& fileName, DWORD flags, const QString& filter, CWnd* pParentWnd)
    : CFileDialog(bOpenFileDialog, defExt, fileName, flags, filter, pParentWnd), m_okText(okText.left(255)) {
    m_ofn.nMaxFile = kBufferChars;
}

INT_PTR CMultiFileDialog::DoModal() {
    OnInitDialog();
    return CFileDialog::DoModal();
}

BOOL CMultiFileDialog::OnInitDialog() {
    SetOkCaption(m_okText);
    return TRUE;
}
