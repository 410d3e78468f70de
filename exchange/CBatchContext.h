#pragma once
// Whole projects moved between project files and the outside formats, one
// or many files at a time. A command makes the object of its format on the
// stack, calls one driver and lets it go:
//   BatchImport               Lotus, ASCII, predecessor conversion
//   BatchImportEnhancedAscii  enhanced ASCII (several projects per file)
//   BatchExport               Lotus, ASCII, enhanced ASCII (one file per
//                             project, or all into one file in batch mode)
// The kernel reads and writes the formats; this class owns the order of
// work around each call: options, choice of files, what happens to each
// target, opening and saving documents, the status log, Cancel and every
// message. All outcome goes to the status window.
//
// Every path out of a file's work gives the views of a document the user
// had open back, closes the documents the run opened and frees the projects
// it made, and every run that got as far as its status window ends with its
// closing line.
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

#include "BatchHost.h"
#include "KernelTypes.h"
#include "WindowsTypes.h"

class CMultiFileDialog;
class CProject;
class CProjectDoc;

class CBatchContext {
public:
    // What happens to one import target.
    enum ImportDecision : int { kImportNew = 0, kImportAdd = 1, kImportReplace = 2, kImportRename = 3,
                                kImportSkip = 4, kImportCancel = 5 };
    // What happens to one export target.
    enum ExportDecision : int { kExportWrite = 0, kExportRename = 1, kExportSkip = 2, kExportCancel = 3 };
    // Export format codes.
    enum Format : int { kFormatAscii = 0, kFormatEnhancedAscii = 1, kFormatLotus = 2 };

    explicit CBatchContext(qs::exchange::BatchHost& host);
    virtual ~CBatchContext();
    CBatchContext(const CBatchContext&) = delete;
    CBatchContext& operator=(const CBatchContext&) = delete;

    void BatchImport();
    void BatchExport();
    void BatchImportEnhancedAscii();

    virtual QString GetExtension() const { return QString(); }
    virtual QString GetFilter() const { return QString(); }
    virtual BOOL GetImportOptions() { return TRUE; }
    virtual BOOL ChooseFiles() { return FALSE; }
    virtual BOOL GetExportOptions(CProjectDoc* /*active*/) { return TRUE; }
    // The kernel's status, 0 for success.
    virtual QSSTATUS ImportFile(CProject& /*project*/, const QString& /*source*/, int /*add*/) { return 0; }
    virtual QSSTATUS ExportFile(CProject& /*project*/, const QString& /*target*/) { return 0; }
    virtual int ExportAllToOneFile() { return 0; }
    virtual BOOL CanAddToExisting() const { return TRUE; }

    BOOL ChooseExportFiles();
    int CountChosenFiles() const;
    // The decision for a target; a rename replaces target.
    int CheckImportTarget(QString& target);
    int CheckExportTarget(QString& target);
    // Writes a project that has no document into a new project file.
    BOOL WriteNewProjectFile(CProject& project, const QString& path);

    // The target of an import source: its path with the project files'
    // extension in place of its own; of an export source: with the format's.
    QString ImportTargetOf(const QString& source) const;
    QString ExportTargetOf(const QString& source) const;
    // The paths chosen in the file dialog, in its order.
    QStringList ChosenFiles() const;

    std::unique_ptr<CMultiFileDialog> m_pFileDialog;
    QStringList m_listSources;
    int m_bBatchMode = 0;
    int m_nFormat = 0;
    QStringList m_listTargets;
    std::vector<int> m_listDecisions;

protected:
    // The open dialog of ChooseFiles; true on OK.
    BOOL RunFileDialog(const QString& title, const QString& okCaption, const QString& defExt, const QString& filter);
    // Writes one line to the status window, when there is one.
    void Log(const QString& text) const;
    void Status(const QString& text) const;
    // "Are you sure you want to Cancel?" after the busy window's Cancel; true
    // when the run is to end.
    bool CancelConfirmed(qs::exchange::BatchBusy& busy) const;
    // A project document that has the path open, null when none.
    CProjectDoc* FindOpenDocument(const QString& path) const;
    // Opens a project file without a window; null when it cannot be opened.
    CProjectDoc* OpenInvisible(const QString& path) const;
    // Asks for another name for a target: the save dialog with the preset
    // name; the preset comes back when the user cancels.
    QString AskRename(const QString& target, const QString& defExt, const QString& filter) const;
    QString ImportDialogFolder() const;
    // Shows what an unexpected failure said.
    void ReportException(const QString& what) const;

    qs::exchange::BatchHost& m_host;

private:
    struct ImportTarget;
    // One import into one target: the document found, opened or made, the
    // kernel's call, the save, the return of the views and documents, and
    // opening the file for editing when it is the run's only target.
    struct ImportJob {
        QString sourceTitle;   // for the log
        QString importedPath;  // "Imported <path>"
        QString target;
        int decision = 0;
        // A new project takes the calculated layers of the set-up sheet.
        bool defaultCalcedLayers = true;
        std::function<QSSTATUS(CProject& project, int add)> run;
        // Writes why the call failed.
        std::function<void(QSSTATUS status)> reportFailure;
    };
    // False when the run must end (the user cancelled, or a target could
    // not be had).
    bool ImportOne(const ImportJob& job, qs::exchange::BatchBusy& busy, bool& failed);
    // Runs ImportOne, turning an unexpected failure into a report and the
    // end of the run.
    bool GuardedImport(const ImportJob& job, qs::exchange::BatchBusy& busy, bool& failed);
    bool ExportOne(const QString& source, const QString& target, bool& failed);
    // The closing line of an import.
    void CloseImportLog(bool failed, bool skipped) const;

protected:
    // The clear flag of an enhanced ASCII import.
    virtual int EnhancedAsciiClearSelecteds() const { return 0; }
};

// The file's name with its extension, at most 256 characters.
QString FileTitleOf(const QString& path);
