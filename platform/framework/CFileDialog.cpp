#include "CFileDialog.h"

#include <QFileInfo>

#include "ModalScript.h"

namespace {
DWORD g_lastFileDialogError = 0;
}

DWORD CommDlgExtendedError() { return g_lastFileDialogError; }

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const QString& lpszDefExt, const QString& lpszFileName, DWORD dwFlags,
                         const QString& lpszFilter, CWnd* pParentWnd)
    : QFileDialog(pParentWnd ? pParentWnd->GetWidget() : nullptr), m_bOpenFileDialog(bOpenFileDialog), m_defExt(lpszDefExt) {
    AttachWidget(this);
    m_ofn.Flags = dwFlags;
    setOption(QFileDialog::DontUseNativeDialog, true);
    const QStringList filters = ConvertFilter(lpszFilter);
    if (!filters.isEmpty()) setNameFilters(filters);
    if (!lpszFileName.isEmpty()) selectFile(lpszFileName);
}

CFileDialog::~CFileDialog() { DetachWidget(); }

QStringList CFileDialog::ConvertFilter(const QString& filter) {
    QStringList parts = filter.split(u'|');
    while (!parts.isEmpty() && parts.back().isEmpty()) parts.removeLast();
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        if (patterns.trimmed() == QLatin1String("*.*")) patterns = QStringLiteral("*");
        // Descriptions usually show their patterns already ("Factor Library
        // (*.dfl)"): those are taken as they stand, not shown twice.
        QString description = parts[i].trimmed();
        const QString shown = QStringLiteral("(") + parts[i + 1].trimmed() + u')';
        if (description.endsWith(shown)) description = description.left(description.size() - shown.size()).trimmed();
        result << description + QStringLiteral(" (") + patterns.trimmed() + u')';
    }
    return result;
}

INT_PTR CFileDialog::DoModal() {
    g_lastFileDialogError = 0;
    m_chosen.clear();
    setAcceptMode(m_bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    if (m_bOpenFileDialog)
        setFileMode((m_ofn.Flags & OFN_ALLOWMULTISELECT) ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    else
        setFileMode(QFileDialog::AnyFile);
    setOption(QFileDialog::DontConfirmOverwrite, !(m_ofn.Flags & OFN_OVERWRITEPROMPT));
    setOption(QFileDialog::ReadOnly, (m_ofn.Flags & OFN_READONLY) != 0);
    if (!m_defExt.isEmpty()) setDefaultSuffix(m_defExt.startsWith(u'.') ? m_defExt.mid(1) : m_defExt);
    if (!m_ofn.lpstrTitle.isEmpty()) setWindowTitle(m_ofn.lpstrTitle);
    if (!m_ofn.lpstrInitialDir.isEmpty()) setDirectory(m_ofn.lpstrInitialDir);
    if (m_ofn.nFilterIndex >= 1 && m_ofn.nFilterIndex <= nameFilters().size())
        selectNameFilter(nameFilters()[m_ofn.nFilterIndex - 1]);

    if (qs::fw::RunModal(*this) != IDOK) return IDCANCEL;
    const QStringList files = selectedFiles();
    if (files.isEmpty()) return IDCANCEL;
    // The packed form: folder, then each name, each NUL-terminated, and a final NUL.
    qsizetype needed = 1;
    if (files.size() == 1) {
        needed += files.front().size() + 1;
    } else {
        needed += QFileInfo(files.front()).absolutePath().size() + 1;
        for (const QString& f : files) needed += QFileInfo(f).fileName().size() + 1;
    }
    if (needed > qsizetype(m_ofn.nMaxFile)) {
        g_lastFileDialogError = FNERR_BUFFERTOOSMALL;
        return IDCANCEL;
    }
    m_chosen = files;
    m_ofn.nFilterIndex = int(nameFilters().indexOf(selectedNameFilter())) + 1;
    return IDOK;
}

QString CFileDialog::GetPathName() const { return m_chosen.isEmpty() ? QString() : m_chosen.front(); }
QString CFileDialog::GetFileName() const { return QFileInfo(GetPathName()).fileName(); }
QString CFileDialog::GetFileExt() const { return QFileInfo(GetPathName()).suffix(); }
QString CFileDialog::GetFileTitle() const { return QFileInfo(GetPathName()).completeBaseName(); }
QString CFileDialog::GetFolderPath() const { return m_chosen.isEmpty() ? QString() : QFileInfo(GetPathName()).absolutePath(); }

POSITION CFileDialog::GetStartPosition() const {
    return m_chosen.isEmpty() ? nullptr : reinterpret_cast<POSITION>(std::uintptr_t(1));
}

QString CFileDialog::GetNextPathName(POSITION& pos) const {
    const qsizetype index = qsizetype(reinterpret_cast<std::uintptr_t>(pos)) - 1;
    const QString path = index >= 0 && index < m_chosen.size() ? m_chosen[index] : QString();
    pos = index + 1 < m_chosen.size() ? reinterpret_cast<POSITION>(std::uintptr_t(index + 2)) : nullptr;
    return path;
}

void CFileDialog::SetOkCaption(const QString& text) {
    if (!text.isEmpty()) setLabelText(QFileDialog::Accept, text);
}
