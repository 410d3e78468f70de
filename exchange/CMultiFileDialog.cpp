#include "CMultiFileDialog.h"

#include <limits>

CMultiFileDialog::CMultiFileDialog(const QString& okCaption, BOOL bOpenFileDialog, const QString& defExt,
                                   const QString& fileName, DWORD flags, const QString& filter, CWnd* pParentWnd)
    : CFileDialog(bOpenFileDialog, defExt, fileName, flags, filter, pParentWnd),
      m_okCaption(okCaption.left(kMaxCaption)) {}

INT_PTR CMultiFileDialog::DoModal() {
    // A fixed name buffer would turn a long selection into a silent Cancel;
    // the names are held as a list instead, so any selection fits.
    m_ofn.nMaxFile = std::numeric_limits<DWORD>::max();
    OnInitDialog();
    return CFileDialog::DoModal();
}

BOOL CMultiFileDialog::OnInitDialog() {
    SetOkCaption(m_okCaption);
    return TRUE;
}
