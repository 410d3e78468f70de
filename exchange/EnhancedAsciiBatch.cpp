// Enhanced ASCII files: several projects in one file, each starting with a
// project record, with optional zero padding before the first (the file
// header) and after the last (the footer). Imports split files into their
// projects by scanning lines; exports write one project per file or every
// chosen project into one file.
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <unistd.h>

#include "BatchContexts.h"
#include "CFile.h"
#include "CFileDialog.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "ExchangeStatus.h"
#include "MessageBox.h"

using qs::exchange::BatchBusy;
using qs::exchange::DatScan;

namespace {

// A file written beside its target and renamed over it only when complete.
class StagedFile {
public:
    explicit StagedFile(QString target)
        : m_target(std::move(target)), m_temp(m_target + QStringLiteral(".tmp%1").arg(::getpid())) {}
    ~StagedFile() {
        if (m_file.IsOpen()) m_file.Abort();
        if (!m_committed) std::remove(m_temp.toLocal8Bit().constData());
    }
    bool Open(QString* error) {
        int err = 0;
        if (m_file.Open(m_temp.toStdString(), CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive, &err))
            return true;
        if (error) *error = QString::fromLocal8Bit(std::strerror(err));
        return false;
    }
    CFile& File() { return m_file; }
    void WriteZeros(int count) {
        const std::string zeros(std::size_t(count > 0 ? count : 0), '\0');
        if (!zeros.empty()) m_file.Write(zeros.data(), zeros.size());
    }
    // Closes and renames over the target; false when either fails.
    bool Commit() {
        try {
            m_file.Flush();
            m_file.Close();
        } catch (const std::exception&) {
            return false;
        }
        if (std::rename(m_temp.toLocal8Bit().constData(), m_target.toLocal8Bit().constData()) != 0) return false;
        m_committed = true;
        return true;
    }

private:
    QString m_target;
    QString m_temp;
    CFile m_file;
    bool m_committed = false;
};


// The target title with "---" before its extension, as the long-name
// failure names it.
QString MarkLongName(const QString& title) {
    return title.size() >= 4 ? title.left(title.size() - 4) + QStringLiteral("---") + title.right(4) : title;
}

}  // namespace

namespace qs::exchange {

bool ScanEnhancedAsciiFile(const QString& path, DatScan& scan, QString* error) {
    scan = DatScan{};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error) *error = file.errorString();
        return false;
    }
    // Line starts come from the bytes themselves: a line ends at LF, with
    // or without a CR before it.
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        if (end < 0) end = bytes.size();
        if (end > start && bytes[end - 1] == '\r') --end;
        const QByteArray line = bytes.mid(start, end - start);
        if (line.size() >= 10 && line[8] == '0' && line[9] == '0') {
            QByteArray field = line.mid(10, 8);
            if (const qsizetype blank = field.indexOf(' '); blank >= 0) field.truncate(blank);
            DatProject p;
            p.name = QString::fromLatin1(field).trimmed();
            p.longName = line.size() > 18 && line[18] != '0';
            p.start = std::uint64_t(start);
            if (!scan.projects.empty()) scan.projects.back().end = p.start;
            if (p.name.isEmpty())
                scan.refused << QStringLiteral("the project record at byte %1 has no name").arg(start);
            scan.projects.push_back(p);
        }
        start = next;
    }
    if (!scan.projects.empty()) scan.projects.back().end = std::uint64_t(bytes.size());
    // A nameless project cannot be given a target: it is left out, and the
    // projects around it keep their own byte ranges.
    std::vector<DatProject> named;
    for (const DatProject& p : scan.projects)
        if (!p.name.isEmpty()) named.push_back(p);
    scan.projects.swap(named);
    return true;
}

}  // namespace qs::exchange

// ---------------------------------------------------------------- the object

CEnhancedAsciiBatchContext::CEnhancedAsciiBatchContext(qs::exchange::BatchHost& host)
    : CBatchContext(host), m_importDlg(host.mainWindow), m_exportDlg(host.mainWindow) {}

QString CEnhancedAsciiBatchContext::GetFilter() const {
    return QStringLiteral("Enhanced ASCII Files (*.dat)|*.dat|All Files (*.*)|*.*||");
}

BOOL CEnhancedAsciiBatchContext::GetImportOptions() { return m_importDlg.DoModal() == IDOK; }

BOOL CEnhancedAsciiBatchContext::ChooseFiles() {
    return RunFileDialog(QStringLiteral("Import from Enhanced ASCII Files"), QStringLiteral("Import"),
                         QStringLiteral("dat"), GetFilter());
}

BOOL CEnhancedAsciiBatchContext::GetExportOptions(CProjectDoc* active) {
    m_exportDlg.m_strActiveName = active ? active->GetTitle() : QString();
    if (m_exportDlg.DoModal() != IDOK) return FALSE;
    m_bBatchMode = m_exportDlg.m_nMode;
    m_nFormat = kFormatEnhancedAscii;
    return TRUE;
}

QSSTATUS CEnhancedAsciiBatchContext::ExportFile(CProject& project, const QString& target) {
    StagedFile out(target);
    QString error;
    if (!out.Open(&error)) {
        qs::exchange::ShowFileError(target, error);
        return 1;
    }
    try {
        out.WriteZeros(m_exportDlg.m_nHeaderLength);
        const QSSTATUS status = project.ExportExtAscii(out.File(), m_exportDlg.m_bCumulative);
        if (status != 0) {
            Log(QStringLiteral(" Error: Export failed."));
            return status;
        }
        out.WriteZeros(m_exportDlg.m_nFooterLength);
    } catch (const std::exception& e) {
        qs::exchange::ShowFileError(target, QString::fromLocal8Bit(e.what()));
        return 1;
    }
    if (!out.Commit()) {
        qs::exchange::ShowFileError(target, QStringLiteral("The file could not be written."));
        return 1;
    }
    return 0;
}

int CEnhancedAsciiBatchContext::BatchExportEnhancedAscii() {
    CFileDialog dialog(FALSE, QStringLiteral("DAT"), QString(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       QStringLiteral("Enhanced ASCII|*.DAT;*.dat|All Files (*.*)|*.*||"), m_host.mainWindow);
    dialog.m_ofn.lpstrInitialDir = m_host.filesPath;
    if (dialog.DoModal() != IDOK || dialog.GetPathName().isEmpty()) {
        AfxMessageBox(QStringLiteral("Enhanced ASCII Batch Export Cancelled! "));
        return 0;
    }
    const QString path = dialog.GetPathName();
    if (m_host.openStatusWindow && !m_host.openStatusWindow(QStringLiteral("Export Status"))) return 0;
    StagedFile out(path);
    QString error;
    if (!out.Open(&error)) {
        qs::exchange::ShowFileError(path, error);
        Log(QStringLiteral(" Error: Open file ") + path);
        return 0;
    }
    std::unique_ptr<BatchBusy> busy =
        m_host.openBusy ? m_host.openBusy(QStringLiteral("Export"), m_listSources.size() > 1) : nullptr;
    if (!busy) return 0;

    const QString targetTitle = FileTitleOf(path);
    bool cancelled = false;
    QString failure;  // the line that ended the run
    try {
        out.WriteZeros(m_exportDlg.m_nHeaderLength);
        for (const QString& source : m_listSources) {
            const QString sourceTitle = FileTitleOf(source);
            Log(QStringLiteral("\r\n Exporting ") + sourceTitle + QStringLiteral(" to ") + targetTitle);
            Status(QStringLiteral("Exporting ") + sourceTitle + QStringLiteral(" to ") + targetTitle);
            if (CancelConfirmed(*busy)) {
                cancelled = true;
                break;
            }
            struct Closer {
                CProjectDoc* doc = nullptr;
                ~Closer() {
                    if (doc) doc->OnCloseDocument();
                }
            } closer;
            CProjectDoc* doc = FindOpenDocument(source);
            if (doc) {
                if (m_host.selectProjectItem && !m_host.selectProjectItem(doc)) {
                    failure = QStringLiteral(" Error: Find Document failed!");
                    break;
                }
            } else {
                doc = OpenInvisible(source);
                closer.doc = doc;
            }
            if (doc == nullptr || doc->GetProject() == nullptr) {
                failure = QStringLiteral(" Error: Open or create file failed!");
                break;
            }
            busy->SetPosLower();
            busy->RegisterProgress();
            const QSSTATUS status = doc->GetProject()->ExportExtAscii(out.File(), m_exportDlg.m_bCumulative);
            busy->UnregisterProgress();
            busy->SetPosUpper();
            if (status != 0) {
                failure = QStringLiteral(" Error: Export failed. Aborting Process!\r\n\t") +
                          qs::exchange::ExportFailureText(status);
                break;
            }
            Log(QStringLiteral("\tExported ") + path);
        }
        if (failure.isEmpty()) out.WriteZeros(m_exportDlg.m_nFooterLength);
    } catch (const std::exception& e) {
        failure = QStringLiteral(" Error: Export failed. Aborting Process!");
        ReportException(QString::fromLocal8Bit(e.what()));
    }
    if (!failure.isEmpty()) {
        // One failed project leaves an empty file: a file missing projects
        // must not pass for the whole batch.
        Log(failure);
        out.File().SetLength(0);
        out.Commit();
        Log(QStringLiteral("\r\n One or more files failed to be exported!"));
        return 0;
    }
    if (!out.Commit()) {
        Log(QStringLiteral(" Error: Open file ") + path);
        Log(QStringLiteral("\r\n One or more files failed to be exported!"));
        return 0;
    }
    Log(cancelled ? QStringLiteral("\r\n Export cancelled: the file holds the projects exported before.")
                  : QStringLiteral("\r\n File(s) successfully exported!"));
    return 0;
}

// ---------------------------------------------------------------- import

void CBatchContext::BatchImportEnhancedAscii() {
    if (m_host.flushStatus) m_host.flushStatus();
    if (!GetImportOptions() || !ChooseFiles()) return;
    m_listTargets.clear();
    m_listDecisions.clear();

    struct Chosen {
        QString path;
        DatScan scan;
    };
    std::vector<Chosen> files;
    for (const QString& path : ChosenFiles()) {
        Chosen c{path, {}};
        QString error;
        if (!qs::exchange::ScanEnhancedAsciiFile(path, c.scan, &error)) {
            qs::exchange::ShowFileError(path, error);
            return;
        }
        const QString folder = QFileInfo(path).absolutePath() + QLatin1Char('/');
        for (const qs::exchange::DatProject& p : c.scan.projects) {
            QString target = folder + p.name + QStringLiteral(".qs5");
            const int decision = CheckImportTarget(target);
            if (decision == kImportCancel) return;
            m_listTargets << target;
            m_listDecisions.push_back(decision);
        }
        files.push_back(std::move(c));
    }
    if (m_host.openStatusWindow && !m_host.openStatusWindow(QStringLiteral("Import Status"))) return;
    std::unique_ptr<BatchBusy> busy =
        m_host.openBusy ? m_host.openBusy(QStringLiteral("Import"), files.size() > 1) : nullptr;
    if (!busy) return;

    bool failed = m_listTargets.isEmpty(), skipped = false;
    std::size_t k = 0;  // the project's place in the targets
    bool stop = false;
    for (const Chosen& c : files) {
        const QString datTitle = FileTitleOf(c.path);
        if (c.scan.projects.empty() && c.scan.refused.isEmpty()) {
            Log(QStringLiteral("\r\n ") + datTitle + QStringLiteral(" holds no project."));
            failed = true;
        }
        for (const QString& why : c.scan.refused) {
            Log(QStringLiteral("\r\n ") + datTitle + QStringLiteral(": ") + why + QStringLiteral("; it is not imported."));
            failed = true;
        }
        for (const qs::exchange::DatProject& p : c.scan.projects) {
            const int decision = m_listDecisions[k];
            const QString target = m_listTargets[int(k)];
            ++k;
            if (decision == kImportSkip) {
                Log(QStringLiteral("\r\n Skip ") + datTitle);
                Status(QStringLiteral("Skip ") + datTitle);
                skipped = true;
                continue;
            }
            bool openFailed = false;
            ImportJob job;
            job.sourceTitle = datTitle;
            job.importedPath = c.path;
            job.target = target;
            job.decision = decision;
            job.defaultCalcedLayers = false;
            job.run = [&](CProject& project, int add) -> QSSTATUS {
                CFile file;
                int err = 0;
                if (!file.Open(c.path.toStdString(), CFile::modeRead | CFile::shareDenyNone, &err)) {
                    qs::exchange::ShowFileError(c.path, QString::fromLocal8Bit(std::strerror(err)));
                    Log(QStringLiteral(" Error: Open file ") + c.path);
                    openFailed = true;
                    return 1;
                }
                file.Seek(std::int64_t(p.start), CFile::begin);
                return project.ImportExtAscii(file, p.end, add, EnhancedAsciiClearSelecteds());
            };
            job.reportFailure = [&](QSSTATUS status) {
                if (openFailed) return;
                if (p.longName) {
                    const QString title = FileTitleOf(target);
                    Log(QStringLiteral("\tImport to ") + MarkLongName(title) +
                        QStringLiteral(" failed as enhanced ascii import does not support long names for qs files."));
                    Status(QStringLiteral("Import failure ") + title);
                } else {
                    Log(QStringLiteral(" Error: Import failed!"));
                }
                Log(QStringLiteral("\t") + qs::exchange::ImportFailureText(status));
            };
            if (!GuardedImport(job, *busy, failed) || openFailed) {
                stop = true;
                break;
            }
        }
        if (stop) break;
    }
    CloseImportLog(failed, skipped);
}
