// The ".lst" file of a print list: an 18-byte header ("print_id_list 3.0"
// and a NUL; "1.0" and "2.0" files are read too), then the list's body
// (CPrintListData.h). Written through a temporary file and a rename, so a
// failed save leaves the old file as it was.
#include <QDir>
#include <QFileInfo>

#include <cstring>

#include "CArchive.h"
#include "CAtomicFile.h"
#include "CEditPageSetup.h"
#include "CException.h"
#include "CFile.h"
#include "CFileDialog.h"
#include "CPrintList.h"
#include "CPrintListDlg.h"
#include "MessageBox.h"
#include "PrintHost.h"

using namespace qs::print;

namespace {

constexpr std::size_t kHeaderSize = 18;
constexpr const char* kHeader1 = "print_id_list 1.0";
constexpr const char* kHeader2 = "print_id_list 2.0";
constexpr const char* kHeader3 = "print_id_list 3.0";

void Tell(const QString& text) { ::AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION); }

QString DialogFolder() {
    return Host().lastFileFolder.isEmpty() ? WorkingFile(QString()) : Host().lastFileFolder;
}

}  // namespace

BOOL CPrintList::readFile(const QString& path) {
    CFile file;
    if (path.isEmpty() || !file.Open(path.toStdString(), CFile::modeRead | CFile::shareDenyNone)) return FALSE;
    CPrintListData read;
    read.assignData(*this);
    try {
        CArchive ar(&file, CArchive::load, 4096);
        char header[kHeaderSize + 1] = {};
        ar.ReadExact(header, kHeaderSize);
        if (std::strcmp(header, kHeader1) == 0) {
            read.SerializeVersion1(ar);
        } else if (std::strcmp(header, kHeader2) == 0) {
            read.Serialize(ar);
        } else if (std::strcmp(header, kHeader3) == 0) {
            PageSetupVersionScope version(1);
            read.Serialize(ar);
        } else {
            ar.Abort();
            file.Abort();
            ::AfxMessageBox(QStringLiteral("Unable to recognize format of requested file: ") + path, MB_OK);
            return FALSE;
        }
        ar.Close();
    } catch (const CException&) {
        file.Abort();
        // Nothing of a damaged file is taken over.
        Tell(QStringLiteral("The print list file %1 is damaged and could not be read.").arg(path));
        return FALSE;
    }
    file.Abort();
    assignData(read);
    return TRUE;
}

BOOL CPrintList::writeFile(const QString& path) const {
    CAtomicFile file;
    if (path.isEmpty() || !file.Open(path.toStdString())) {
        Tell(QStringLiteral("File %1 could not be opened").arg(path));
        return FALSE;
    }
    try {
        CArchive ar(&file, CArchive::store, 4096);
        char header[kHeaderSize] = {};
        std::memcpy(header, kHeader3, std::strlen(kHeader3));
        ar.Write(header, kHeaderSize);
        // Page setups are written at the kernel's default layout version.
        CPageSetup::SetVersion(0);
        CPrintListData body;
        body.assignData(*this);
        body.Serialize(ar);
        ar.Close();
        file.Commit();
    } catch (const CException&) {
        file.Abort();
        Tell(QStringLiteral("The print list could not be written to %1.").arg(path));
        return FALSE;
    }
    return TRUE;
}

QString CPrintList::chooseToOpen() {
    CFileDialog dialog(TRUE, QStringLiteral("lst"), QStringLiteral("*.lst"), OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                       QStringLiteral("Print List Files (*.lst)|*.lst||"));
    dialog.setWindowTitle(QStringLiteral("Open Print List file:"));
    dialog.setDirectory(DialogFolder());
    if (dialog.DoModal() != IDOK) return QString();
    const QString path = dialog.GetPathName();
    if (!path.isEmpty()) Host().lastFileFolder = QFileInfo(path).absolutePath();
    return path;
}

QString CPrintList::askSavePath() const {
    const QString initial = m_strName.isEmpty() ? QString() : QFileInfo(m_strName).completeBaseName();
    CFileDialog dialog(FALSE, QStringLiteral("lst"), initial, OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY,
                       QStringLiteral("Print List Files (*.lst)|*.lst||"));
    dialog.setWindowTitle(QStringLiteral("Save Print List file:"));
    dialog.setDirectory(DialogFolder());
    if (dialog.DoModal() != IDOK) return QString();
    return dialog.GetPathName();
}

// ---- CFilePrintList -------------------------------------------------------------------

BOOL CFilePrintList::edit() {
    CPrintListDlg dialog(this);
    return dialog.DoModal() == IDOK ? TRUE : FALSE;
}

BOOL CFilePrintList::loadByName(const QString& path) {
    if (!readFile(path)) return FALSE;
    // An unnamed list stays unnamed, so a later save asks for a path.
    if (!m_strName.isEmpty()) m_strName = path;
    return TRUE;
}

BOOL CFilePrintList::open() {
    const QString path = chooseToOpen();
    if (path.isEmpty()) return FALSE;
    return loadByName(path);
}

BOOL CFilePrintList::save() {
    if (m_strName.isEmpty()) return saveAs();
    if (m_strName == defaultFileName()) return writeFile(m_strName);
    if (!writeFile(m_strName)) return FALSE;
    return writeFile(defaultFileName());
}

BOOL CFilePrintList::saveAs() {
    const QString path = askSavePath();
    if (path.isEmpty()) return FALSE;
    if (!writeFile(path)) return FALSE;
    m_strName = path;
    return TRUE;
}

std::unique_ptr<CPrintList> CFilePrintList::clone() const {
    auto copy = std::make_unique<CFilePrintList>(m_pDocument);
    *copy = *this;
    return copy;
}
