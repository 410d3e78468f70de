#include "CBatchJob.h"

#include <QFileInfo>

#include "CArchive.h"
#include "CAtomicFile.h"
#include "CBatchPrintDlg.h"
#include "CException.h"
#include "CFile.h"
#include "CFileDialog.h"
#include "CPrintList.h"
#include "MessageBox.h"
#include "PrintHost.h"

IMPLEMENT_SERIAL(CBatchJob, CObject, 1)

using namespace qs::print;

namespace {

void WriteStrings(CArchive& ar, const QStringList& list) {
    ar.WriteCount(std::size_t(list.size()));
    for (const QString& s : list) ar << s.toStdString();
}

QStringList ReadStrings(CArchive& ar) {
    QStringList list;
    const std::size_t n = ar.ReadCount(1);
    for (std::size_t i = 0; i < n; ++i) list << QString::fromStdString(ar.ReadStringValue());
    return list;
}

QString DialogFolder() { return Host().lastFileFolder.isEmpty() ? WorkingFile(QString()) : Host().lastFileFolder; }

}  // namespace

CBatchJob::CBatchJob(CProjectDoc* owner) : m_pOwner(owner) { LoadDefault(); }

void CBatchJob::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        WriteStrings(ar, m_projectFiles);
        WriteStrings(ar, m_printLists);
        return;
    }
    // Both arrays first, then taken over together.
    QStringList files = ReadStrings(ar);
    QStringList lists = ReadStrings(ar);
    m_projectFiles = std::move(files);
    m_printLists = std::move(lists);
}

void CBatchJob::Copy(const CBatchJob& other) {
    m_pOwner = other.m_pOwner;
    m_projectFiles = other.m_projectFiles;
    m_printLists = other.m_printLists;
    m_strPath = other.m_strPath;
}

BOOL CBatchJob::IsEqual(const CBatchJob& other) const {
    return m_projectFiles == other.m_projectFiles && m_printLists == other.m_printLists;
}

BOOL CBatchJob::EditJob() {
    CBatchPrintDlg dialog(this);
    return dialog.DoModal() == IDOK;
}

QString CBatchJob::DefaultPath() { return WorkingFile(QStringLiteral("Default.pjb")); }

QString CBatchJob::JobTitle(const QString& path) {
    if (path == DefaultPath()) return QStringLiteral("Batch Print");
    if (path.isEmpty()) return QStringLiteral("Create batch");
    return QStringLiteral("Batch - ") + QFileInfo(path).fileName();
}

BOOL CBatchJob::Load(const QString& path) {
    CFile file;
    if (path.isEmpty() || !file.Open(path.toStdString(), CFile::modeRead | CFile::shareDenyNone)) return FALSE;
    CBatchJob read;
    try {
        CArchive ar(&file, CArchive::load, 4096);
        double version = 0;
        ar >> version;
        if (version != 1.0) {
            ar.Abort();
            file.Abort();
            ::AfxMessageBox(QStringLiteral("Unable to recognize format of requested file: ") + QFileInfo(path).fileName(),
                            MB_OK);
            return FALSE;
        }
        read.Serialize(ar);
        ar.Close();
    } catch (const CException&) {
        file.Abort();
        ::AfxMessageBox(QStringLiteral("The batch file %1 is damaged and could not be read.").arg(path),
                        MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    file.Abort();
    m_projectFiles = read.m_projectFiles;
    m_printLists = read.m_printLists;
    m_strPath = path;
    return TRUE;
}

BOOL CBatchJob::Write(const QString& path) {
    CAtomicFile file;
    if (path.isEmpty() || !file.Open(path.toStdString())) {
        ::AfxMessageBox(QStringLiteral("File %1 could not be opened").arg(path), MB_OK);
        return FALSE;
    }
    try {
        CArchive ar(&file, CArchive::store, 4096);
        ar << 1.0;
        Serialize(ar);
        ar.Close();
        file.Commit();
    } catch (const CException&) {
        file.Abort();
        ::AfxMessageBox(QStringLiteral("The batch file could not be written to %1.").arg(path),
                        MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_strPath = path;
    return TRUE;
}

BOOL CBatchJob::Save() {
    if (m_strPath.isEmpty()) return SaveAs();
    if (m_strPath == DefaultPath()) return Write(DefaultPath());
    if (!Write(m_strPath)) return FALSE;
    // Saving a named job also makes it the default job; the job keeps its name.
    const QString named = m_strPath;
    const BOOL result = Write(DefaultPath());
    m_strPath = named;
    return result;
}

BOOL CBatchJob::Open() {
    CFileDialog dialog(TRUE, QStringLiteral("pjb"), QStringLiteral("*.pjb"), OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                       QStringLiteral("Batch Files (*.pjb)|*.pjb||"));
    dialog.setWindowTitle(QStringLiteral("Open Batch file:"));
    dialog.setDirectory(DialogFolder());
    if (dialog.DoModal() != IDOK || dialog.GetPathName().isEmpty()) return FALSE;
    Host().lastFileFolder = QFileInfo(dialog.GetPathName()).absolutePath();
    return Load(dialog.GetPathName());
}

BOOL CBatchJob::SaveAs() {
    CFileDialog dialog(FALSE, QStringLiteral("pjb"), QString(), OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                       QStringLiteral("Batch Files (*.pjb)|*.pjb||"));
    dialog.setWindowTitle(QStringLiteral("Save Batch file:"));
    dialog.setDirectory(DialogFolder());
    if (dialog.DoModal() != IDOK || dialog.GetPathName().isEmpty()) return FALSE;
    return Write(dialog.GetPathName());
}

BOOL CBatchJob::LoadDefault() {
    Load(DefaultPath());
    m_strPath = DefaultPath();
    return TRUE;
}

void CBatchJob::Print() {
    bool go = true;
    for (int f = 0; f < m_projectFiles.size() && go; ++f) {
        bool opened = false;
        CProjectDoc* doc = Host().openProjectForBatch ? Host().openProjectForBatch(m_projectFiles.at(f), opened) : nullptr;
        if (doc == nullptr) continue;
        for (int l = 0; l < m_printLists.size() && go; ++l) {
            std::unique_ptr<CPrintList> list = CPrintList::createNewPrintList(doc);
            if (!list || !list->loadByName(m_printLists.at(l))) continue;
            go = list->print() != FALSE;
        }
        if (opened && Host().closeBatchProject) Host().closeBatchProject(doc);
    }
}
