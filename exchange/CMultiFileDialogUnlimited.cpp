#include "CMultiFileDialogUnlimited.h"

#include <QFileInfo>

CMultiFileDialogUnlimited::CMultiFileDialogUnlimited(const QString& okCaption, BOOL bOpenFileDialog,
                                                     const QString& defExt, const QString& fileName, DWORD flags,
                                                     const QString& filter, CWnd* pParentWnd)
    : CFileDialog(bOpenFileDialog, defExt, fileName, flags, filter, pParentWnd),
      m_okCaption(okCaption.left(kMaxCaption)) {
    // The selection is final when the dialog accepts it: that is the last
    // change the copies must follow.
    connect(this, &QFileDialog::filesSelected, this, [this](const QStringList& files) { OnFileNameChange(files); });
    connect(this, &QFileDialog::currentChanged, this, [this](const QString&) { OnFileNameChange(selectedFiles()); });
}

BOOL CMultiFileDialogUnlimited::OnInitDialog() {
    SetOkCaption(m_okCaption);
    return TRUE;
}

void CMultiFileDialogUnlimited::FreeCopies() {
    m_hasCopies = false;
    m_folder.clear();
    m_names.clear();
}

void CMultiFileDialogUnlimited::OnFileNameChange(const QStringList& selected) {
    // The names as the common dialog packs them: the folder, each name, each
    // with its terminator, and a final terminator.
    qsizetype needed = 1;
    QString folder;
    QStringList names;
    for (const QString& path : selected) {
        const QFileInfo info(path);
        if (folder.isEmpty()) folder = info.absolutePath();
        names << info.fileName();
    }
    if (selected.size() == 1) {
        needed += selected.front().size() + 1;
    } else {
        needed += folder.size() + 1;
        for (const QString& n : names) needed += n.size() + 1;
    }
    if (selected.isEmpty() || needed <= qsizetype(m_ofn.nMaxFile)) {
        FreeCopies();
        return;
    }
    m_hasCopies = true;
    m_folder = folder;
    m_names = names;
}

INT_PTR CMultiFileDialogUnlimited::DoModal() {
    FreeCopies();
    OnInitDialog();
    const INT_PTR result = CFileDialog::DoModal();
    if (result == IDCANCEL && CommDlgExtendedError() == FNERR_BUFFERTOOSMALL && m_hasCopies) return IDOK;
    if (result == IDOK) FreeCopies();  // it fitted: the dialog's own list holds it
    return result;
}

POSITION CMultiFileDialogUnlimited::GetStartPosition() const {
    if (!m_hasCopies) return CFileDialog::GetStartPosition();
    return m_names.isEmpty() ? nullptr : reinterpret_cast<POSITION>(std::uintptr_t(1));
}

QString CMultiFileDialogUnlimited::GetNextPathName(POSITION& pos) const {
    if (!m_hasCopies) return CFileDialog::GetNextPathName(pos);
    const qsizetype index = qsizetype(reinterpret_cast<std::uintptr_t>(pos)) - 1;
    const QString path = index >= 0 && index < m_names.size() ? m_folder + QLatin1Char('/') + m_names[index] : QString();
    pos = index + 1 < m_names.size() ? reinterpret_cast<POSITION>(std::uintptr_t(index + 2)) : nullptr;
    return path;
}

QStringList CMultiFileDialogUnlimited::ChosenPaths() const {
    QStringList paths;
    for (POSITION pos = GetStartPosition(); pos != nullptr;) paths << GetNextPathName(pos);
    return paths;
}
