#include "CBatchContext.h"

#include <QFileInfo>

#include <exception>

#include "CArchive.h"
#include "CDocTemplate.h"
#include "CMultiFileDialog.h"
#include "CPrjSheet.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CompoundFile.h"
#include "ExchangeOptionDialogs.h"
#include "ExchangeStatus.h"
#include "MessageBox.h"
#include "TableDialogs.h"
#include "WaitCursor.h"

using qs::exchange::BatchBusy;

namespace {

constexpr DWORD kOfnNoReadOnlyReturn = 0x00008000;
const char* const kProjectFilter = "Quillstone Files (*.qs5)|*.qs5|All Files (*.*)|*.*||";

bool SamePath(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool ListHolds(const QStringList& list, const QString& path) {
    for (const QString& p : list)
        if (SamePath(p, path)) return true;
    return false;
}

// The path with its own extension (if any) replaced.
QString ReplaceExtension(const QString& path, const QString& extension) {
    const int dot = int(path.lastIndexOf(QLatin1Char('.')));
    const int slash = int(path.lastIndexOf(QLatin1Char('/')));
    return (dot > slash ? path.left(dot) : path) + extension;
}

}  // namespace

QString FileTitleOf(const QString& path) { return QFileInfo(path).fileName().left(256); }

// The project a file's import goes into, and its return: views of a
// document the user had open come back, a document opened for the import is
// closed, a project made for it is freed, whichever way the work ends.
struct CBatchContext::ImportTarget {
    CProjectDoc* doc = nullptr;
    bool alreadyOpen = false;
    bool openedHere = false;
    std::unique_ptr<CProject> created;

    CProject* Project() const { return created ? created.get() : doc ? doc->GetProject() : nullptr; }

    ~ImportTarget() { Release(); }
    void Release() {
        if (doc && alreadyOpen) doc->ReopenObjectViews();
        if (doc && openedHere) doc->OnCloseDocument();
        doc = nullptr;
        alreadyOpen = openedHere = false;
        created.reset();
    }
};

CBatchContext::CBatchContext(qs::exchange::BatchHost& host) : m_host(host) {
    if (m_host.setBatchRunning) m_host.setBatchRunning(true);
}

CBatchContext::~CBatchContext() {
    if (m_host.setBatchRunning) m_host.setBatchRunning(false);
}

// ---------------------------------------------------------------- services

void CBatchContext::Log(const QString& text) const {
    if (m_host.writeStatus) m_host.writeStatus(text);
}

void CBatchContext::Status(const QString& text) const {
    if (m_host.setStatusMessage) m_host.setStatusMessage(text);
}

bool CBatchContext::CancelConfirmed(BatchBusy& busy) const {
    if (!busy.CheckCancel()) return false;
    return AfxMessageBox(QStringLiteral("Are you sure you want to Cancel?"), MB_YESNO) == IDYES;
}

CProjectDoc* CBatchContext::FindOpenDocument(const QString& path) const {
    if (m_host.projectTemplate == nullptr) return nullptr;
    const QString full = QFileInfo(path).absoluteFilePath();
    for (CDocument* doc : m_host.projectTemplate->Documents())
        if (!doc->GetPathName().isEmpty() && QFileInfo(doc->GetPathName()).absoluteFilePath() == full)
            return dynamic_cast<CProjectDoc*>(doc);
    return nullptr;
}

CProjectDoc* CBatchContext::OpenInvisible(const QString& path) const {
    if (m_host.projectTemplate == nullptr || !QFileInfo::exists(path)) return nullptr;
    return dynamic_cast<CProjectDoc*>(m_host.projectTemplate->OpenDocumentFile(path, FALSE));
}

QString CBatchContext::ImportDialogFolder() const {
    return m_host.useFilesPath ? m_host.filesPath : m_host.lastProjectFolder;
}

QString CBatchContext::AskRename(const QString& target, const QString& defExt, const QString& filter) const {
    CFileDialog dialog(FALSE, defExt, target, OFN_EXPLORER | kOfnNoReadOnlyReturn | OFN_HIDEREADONLY, filter,
                       m_host.mainWindow);
    dialog.m_ofn.lpstrInitialDir = ImportDialogFolder();
    if (dialog.DoModal() != IDOK || dialog.GetPathName().isEmpty()) return target;
    return dialog.GetPathName();
}

void CBatchContext::ReportException(const QString& what) const {
    AfxMessageBox(what.isEmpty() ? QStringLiteral("An unexpected error stopped the run.") : what, MB_ICONSTOP);
}

QString CBatchContext::ImportTargetOf(const QString& source) const {
    QString extension = QStringLiteral(".qs5");
    if (m_host.projectTemplate) {
        QString ext;
        if (m_host.projectTemplate->GetDocString(ext, CDocTemplate::filterExt) && !ext.isEmpty()) extension = ext;
    }
    return ReplaceExtension(source, extension);
}

QString CBatchContext::ExportTargetOf(const QString& source) const { return ReplaceExtension(source, GetExtension()); }

// ---------------------------------------------------------------- choosing files

BOOL CBatchContext::RunFileDialog(const QString& title, const QString& okCaption, const QString& defExt,
                                  const QString& filter) {
    m_pFileDialog = std::make_unique<CMultiFileDialog>(
        okCaption, TRUE, defExt, QString(), OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY,
        filter, m_host.mainWindow);
    m_pFileDialog->m_ofn.lpstrTitle = title;
    m_pFileDialog->m_ofn.lpstrInitialDir = m_host.filesPath;
    return m_pFileDialog->DoModal() == IDOK;
}

QStringList CBatchContext::ChosenFiles() const {
    QStringList paths;
    if (!m_pFileDialog) return paths;
    for (POSITION pos = m_pFileDialog->GetStartPosition(); pos != nullptr;) paths << m_pFileDialog->GetNextPathName(pos);
    return paths;
}

int CBatchContext::CountChosenFiles() const { return int(ChosenFiles().size()); }

BOOL CBatchContext::ChooseExportFiles() {
    m_listSources.clear();
    if (m_bBatchMode == 1) {
        QStringList paths;
        if (!m_host.chooseExportSources || !m_host.chooseExportSources(paths) || paths.isEmpty()) return FALSE;
        m_listSources = paths;
        return TRUE;
    }
    CProjectDoc* doc = m_host.activeDocument ? m_host.activeDocument() : nullptr;
    if (doc == nullptr) return FALSE;
    QString path = doc->GetPathName();
    while (path.isEmpty()) {
        if (AfxMessageBox(QStringLiteral("Current Document needs a file name for exporting.\r\nSave to file?"),
                          MB_OKCANCEL) != IDOK)
            return FALSE;
        if (!m_host.saveDocumentAs) return FALSE;
        m_host.saveDocumentAs(doc);
        path = doc->GetPathName();
    }
    m_listSources << path;
    return TRUE;
}

// ---------------------------------------------------------------- targets

int CBatchContext::CheckImportTarget(QString& target) {
    for (;;) {
        CImportConflictDlg dialog(m_host.mainWindow);
        if (ListHolds(m_listTargets, target)) {
            dialog.m_strMessage = QStringLiteral(
                                      "%1 is referenced again.\nPlease select an option to perform when processing "
                                      "this part of the import file.")
                                      .arg(target);
            dialog.m_bAllowAdd = 1;
        } else if (!QFileInfo::exists(target)) {
            return kImportNew;
        } else {
            dialog.m_strMessage = QStringLiteral("%1\nFile already exists.").arg(target);
            dialog.m_bAllowAdd = CanAddToExisting() ? 1 : 0;
        }
        const int decision = int(dialog.DoModal());
        if (decision != kImportRename) return decision;
        target = AskRename(target, QStringLiteral("qs5"), QString::fromLatin1(kProjectFilter));
    }
}

int CBatchContext::CheckExportTarget(QString& target) {
    for (;;) {
        CExportFileExistsDlg dialog(m_host.mainWindow);
        if (ListHolds(m_listTargets, target)) {
            dialog.m_strMessage = QStringLiteral(
                                      "%1 is referenced again.\nPlease select an option to perform when processing "
                                      "this part of the export.")
                                      .arg(target);
        } else if (!QFileInfo::exists(target)) {
            return kExportWrite;
        } else {
            dialog.m_strMessage = QStringLiteral("%1\nFile already exists.").arg(target);
        }
        const int decision = int(dialog.DoModal());
        if (decision != kExportRename) return decision;
        target = AskRename(target, GetExtension().mid(1), GetFilter());
    }
}

// ---------------------------------------------------------------- new project files

BOOL CBatchContext::WriteNewProjectFile(CProject& project, const QString& path) {
    CompoundFile storage;
    if (storage.Create(path.toStdString()) != CompoundFile::OpenResult::Ok) return FALSE;
    QSSTATUS status = 0;
    try {
        CWaitCursor wait;
        std::vector<std::uint8_t> bytes;
        CArchive ar(bytes, CArchive::store);
        status = project.Archive(ar, 1);
        ar.Close();
        if (status != 0 && status != 4) {
            static const char* const reasons[] = {
                "", "\nAn error occurred during file load.", "\nThis is an unsupported file format.",
                "\nAn error occured while loading file.\nTry closing other applications and or files and try again.",
                "", "\nAn error occurred during conversion of the PC5 file."};
            const QString reason = status < 6 ? QString::fromLatin1(reasons[status]) : QString();
            AfxMessageBox(QStringLiteral("\nUnable to open file: ") + path + reason);
            return FALSE;
        }
        if (!storage.WriteStream("QS1", std::move(bytes))) return FALSE;
        if (project.GraphList().empty())
            storage.RemoveStream("GraphData");
        else if (!storage.WriteStream("GraphData", project.SaveGraphData()))
            return FALSE;
        if (!storage.WriteStream("DefGraphStyles", project.SaveDefGraphStyles())) return FALSE;
    } catch (const std::exception& e) {
        ReportException(QString::fromLocal8Bit(e.what()));
        return FALSE;
    }
    // Nothing reaches the disk unless every stream was made.
    return storage.Commit() ? TRUE : FALSE;
}

// ---------------------------------------------------------------- import

void CBatchContext::CloseImportLog(bool failed, bool skipped) const {
    if (failed)
        Log(QStringLiteral("\r\n One or more files failed to be imported!"));
    else if (skipped)
        Log(QStringLiteral("\r\n One or more files were skipped!"));
    else
        Log(QStringLiteral("\r\n File(s) successfully imported!"));
}

void CBatchContext::BatchImport() {
    if (m_host.flushStatus) m_host.flushStatus();
    if (!GetImportOptions() || !ChooseFiles()) return;
    m_listTargets.clear();
    m_listDecisions.clear();
    const QStringList sources = ChosenFiles();
    for (const QString& source : sources) {
        QString target = ImportTargetOf(source);
        const int decision = CheckImportTarget(target);
        if (decision == kImportCancel) return;
        m_listTargets << target;
        m_listDecisions.push_back(decision);
    }
    if (m_host.openStatusWindow && !m_host.openStatusWindow(QStringLiteral("Import Status"))) return;
    std::unique_ptr<BatchBusy> busy =
        m_host.openBusy ? m_host.openBusy(QStringLiteral("Import"), sources.size() > 1) : nullptr;
    if (!busy) return;

    bool failed = false, skipped = false;
    for (int i = 0; i < int(sources.size()); ++i) {
        const QString& source = sources[i];
        if (m_listDecisions[i] == kImportSkip) {
            Log(QStringLiteral("\r\n Skip ") + FileTitleOf(source));
            Status(QStringLiteral("Skip ") + FileTitleOf(source));
            skipped = true;
            continue;
        }
        ImportJob job;
        job.sourceTitle = FileTitleOf(source);
        job.importedPath = source;
        job.target = m_listTargets[i];
        job.decision = m_listDecisions[i];
        job.run = [this, &source](CProject& project, int add) { return ImportFile(project, source, add); };
        job.reportFailure = [this](QSSTATUS status) {
            Log(QStringLiteral(" Error: Import failed!"));
            Log(QStringLiteral("\t") + qs::exchange::ImportFailureText(status));
        };
        if (!GuardedImport(job, *busy, failed)) break;
    }
    CloseImportLog(failed, skipped);
}

bool CBatchContext::GuardedImport(const ImportJob& job, BatchBusy& busy, bool& failed) {
    try {
        return ImportOne(job, busy, failed);
    } catch (const std::exception& e) {
        failed = true;
        ReportException(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        failed = true;
        ReportException(QString());
    }
    return false;
}

bool CBatchContext::ImportOne(const ImportJob& job, BatchBusy& busy, bool& failed) {
    const QString& target = job.target;
    const QString targetTitle = FileTitleOf(target);
    Log(QStringLiteral("\r\n Importing ") + job.sourceTitle + QStringLiteral(" to ") + targetTitle);
    Status(QStringLiteral("Importing ") + job.sourceTitle + QStringLiteral(" to ") + targetTitle);
    if (CancelConfirmed(busy)) return false;
    if (m_host.redrawMainWindow) m_host.redrawMainWindow();

    ImportTarget t;
    if (CProjectDoc* open = FindOpenDocument(target)) {
        open->CloseObjectViews(FALSE);
        t.doc = open;
        t.alreadyOpen = true;
    } else if (QFileInfo::exists(target)) {
        // An existing target that cannot be opened is never written over:
        // it may be held by another program or be a file of another kind.
        t.doc = OpenInvisible(target);
        t.openedHere = t.doc != nullptr;
        if (t.doc == nullptr || t.doc->GetProject() == nullptr) {
            failed = true;
            Log(QStringLiteral(" Error: Open or create file failed!"));
            return false;
        }
        Log(QStringLiteral("\tOpen file ") + target);
    }
    // A target named twice whose first import never wrote it is made anew too.
    if (t.doc == nullptr) {
        t.created = std::make_unique<CProject>();
        if (const CPrjSheet* sheet = CPrjSheet::NewProjectSheet(); sheet != nullptr && job.defaultCalcedLayers)
            t.created->SetCalcedLayers(CPrjPage3::Relation1Layer(sheet->m_Page3.m_nRelation1),
                                       CPrjPage3::Relation2Layer(sheet->m_Page3.m_nRelation2));
    }
    CProject* project = t.Project();
    if (project == nullptr) {
        failed = true;
        Log(QStringLiteral(" Error: Open or create file failed!"));
        return false;
    }

    busy.RegisterProgress();
    QSSTATUS status = 0;
    try {
        status = job.run(*project, job.decision == kImportAdd ? 1 : 0);
    } catch (...) {
        busy.UnregisterProgress();
        throw;
    }
    busy.UnregisterProgress();
    if (status != 0) {
        failed = true;
        job.reportFailure(status);
    } else {
        Log(QStringLiteral("\tImported ") + job.importedPath);
    }

    bool saved = false;
    const bool wasOpen = t.alreadyOpen;
    if (status == 0 && !t.alreadyOpen) {
        const BOOL ok = t.openedHere ? t.doc->DoSave(target, TRUE) : WriteNewProjectFile(*t.created, target);
        if (ok) {
            saved = true;
            Log(QStringLiteral("\tSaved ") + target);
        } else {
            failed = true;
            Log(QStringLiteral(" Error: Save Document failed!"));
        }
    }
    t.Release();
    if (saved && !wasOpen && !failed && m_listTargets.size() == 1) {
        Log(QStringLiteral("\r\n Opening File for editing."));
        if (m_host.openForEditing) m_host.openForEditing(target);
    }
    return true;
}

// ---------------------------------------------------------------- export

void CBatchContext::BatchExport() {
    CProjectDoc* active = m_host.activeDocument ? m_host.activeDocument() : nullptr;
    if (!GetExportOptions(active) || !ChooseExportFiles()) return;
    if (m_bBatchMode == 1 && m_nFormat == kFormatEnhancedAscii) {
        ExportAllToOneFile();
        return;
    }
    m_listTargets.clear();
    m_listDecisions.clear();
    for (const QString& source : m_listSources) {
        QString target = ExportTargetOf(source);
        const int decision = CheckExportTarget(target);
        if (decision == kExportCancel) return;
        m_listTargets << target;
        m_listDecisions.push_back(decision);
    }
    if (m_host.openStatusWindow && !m_host.openStatusWindow(QStringLiteral("Export Status"))) return;
    std::unique_ptr<BatchBusy> busy =
        m_host.openBusy ? m_host.openBusy(QStringLiteral("Export"), m_listSources.size() > 1) : nullptr;
    if (!busy) return;

    const bool profiles = m_host.fileProjects == 0;
    const QString profileName = active && active->GetProject() ? QString::fromStdString(active->GetProject()->GetProfileName())
                                                               : QString();
    bool failed = false, skipped = false;
    for (int i = 0; i < int(m_listSources.size()); ++i) {
        const QString& source = m_listSources[i];
        const QString sourceTitle = FileTitleOf(source), targetTitle = FileTitleOf(m_listTargets[i]);
        if (m_listDecisions[i] == kExportSkip) {
            Log(QStringLiteral("\r\n Skip ") + sourceTitle);
            Status(QStringLiteral("Skip ") + sourceTitle);
            skipped = true;
            continue;
        }
        const QString what = profiles ? QStringLiteral("Exporting Profile ") + profileName
                                      : QStringLiteral("Exporting ") + sourceTitle;
        Log(QStringLiteral("\r\n ") + what + QStringLiteral(" to ") + targetTitle);
        Status(what + QStringLiteral(" to ") + targetTitle);
        if (CancelConfirmed(*busy)) break;
        busy->RegisterProgress();
        bool goOn = false;
        try {
            goOn = ExportOne(source, m_listTargets[i], failed);
        } catch (const std::exception& e) {
            failed = true;
            ReportException(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            failed = true;
            ReportException(QString());
        }
        busy->UnregisterProgress();
        if (!goOn) break;
    }
    if (profiles)
        Log(failed    ? QStringLiteral("\r\n Failed to export profile data!")
            : skipped ? QStringLiteral("\r\n Profile was skipped!")
                      : QStringLiteral("\r\n Profile data successfully exported!"));
    else
        Log(failed    ? QStringLiteral("\r\n One or more files failed to be exported!")
            : skipped ? QStringLiteral("\r\n One or more files were skipped!")
                      : QStringLiteral("\r\n File(s) successfully exported!"));
}

bool CBatchContext::ExportOne(const QString& source, const QString& target, bool& failed) {
    // A document the run opens is closed again, however the export ends.
    struct Closer {
        CProjectDoc* doc = nullptr;
        ~Closer() {
            if (doc) doc->OnCloseDocument();
        }
    } closer;
    CProjectDoc* doc = FindOpenDocument(source);
    if (doc) {
        if (m_host.selectProjectItem && !m_host.selectProjectItem(doc)) {
            failed = true;
            return false;
        }
    } else {
        doc = OpenInvisible(source);
        if (doc == nullptr) {
            failed = true;
            Log(QStringLiteral(" Error: Open file failed!"));
            return false;
        }
        closer.doc = doc;
        Log(QStringLiteral("\tOpen file ") + source);
    }
    if (doc->GetProject() == nullptr) {
        failed = true;
        Log(QStringLiteral(" Error: Open or create file failed!"));
        return false;
    }
    const QSSTATUS status = ExportFile(*doc->GetProject(), target);
    if (status != 0) {
        failed = true;
        Log(QStringLiteral(" Error: Export failed!"));
        Log(QStringLiteral("\t") + qs::exchange::ExportFailureText(status));
    } else {
        Log(QStringLiteral("\tExported ") + target);
    }
    return true;
}
