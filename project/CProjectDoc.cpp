#include "CProjectDoc.h"

#include <QMdiSubWindow>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fstream>

#include "CArchive.h"
#include "CDocTemplate.h"
#include "CException.h"
#include "CommandIds.h"
#include "CFile.h"
#include "CFrameWnd.h"
#include "CMDIChildWnd.h"
#include "CProject.h"
#include "CObjectView.h"
#include "CView.h"
#include "CompoundFile.h"
#include "KernelGlobals.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ObjectViewLink.h"
#include "ProjectFileNames.h"
#include "ProjectCommandTable.h"
#include "CSummaryReportOptionsDlg.h"
#include "WaitCursor.h"

IMPLEMENT_DYNCREATE(CProjectDoc, CDocument)

using qs::project::Host;
using qs::project::ObjectViewKind;
using qs::project::ObjectViewLink;
namespace text = qs::project::text;

namespace {

// Ends a status-bar progress on every exit.
class ProjectProgressScope {
public:
    ProjectProgressScope(CProjectDoc& doc, const QString& caption) : m_doc(doc) { m_doc.BeginStatusProgress(caption); }
    ~ProjectProgressScope() {
        if (!m_ended) m_doc.StepStatusProgress(QString());
    }
    void End(const QString& text) {
        m_doc.StepStatusProgress(text);
        m_ended = true;
    }

private:
    CProjectDoc& m_doc;
    bool m_ended = false;
};

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

bool IsPermissionError(int err) { return err == EACCES || err == EPERM || err == EROFS; }

// True when the file, or the folder a save writes its new copy into, cannot
// be written for want of permission or because the medium is read-only.
bool IsReadOnlyPlace(const QString& path) {
    const std::string local = LocalPath(path);
    if (::access(local.c_str(), W_OK) != 0 && IsPermissionError(errno)) return true;
    const std::string folder = LocalPath(QFileInfo(path).absolutePath());
    return ::access(folder.c_str(), W_OK) != 0 && IsPermissionError(errno);
}

constexpr unsigned kLegacyLockMode = CFile::modeReadWrite | CFile::shareDenyWrite;  // 0x22
constexpr unsigned kLegacyReadMode = CFile::modeRead | CFile::shareDenyNone;        // 0x40

}  // namespace

CProjectDoc::CProjectDoc() {
    m_pProject = new CProject();
    qs::cmd::MapCommandTable<CProjectDoc>(*this, *this, qs::project::ProjectCommands());
    if (Host().mapDocumentCommands) Host().mapDocumentCommands(*this);
}

CProjectDoc::~CProjectDoc() {
    DetachLeftViews(true);
    CWaitCursor wait;
    BeginStatusProgress(QStringLiteral("Closing ") + GetTitle());
    ReleaseDatabase();
    delete m_pProject;
    m_pProject = nullptr;
    StepStatusProgress(GetTitle() + QStringLiteral(" closed."));
    if (m_pLockFile) m_pLockFile->Abort();
    m_pLockFile.reset();
    m_pStorage.reset();
}

// ---------------------------------------------------------------- reports

void CProjectDoc::BeginStatusProgress(const QString& caption) {
    if (Host().beginProgress) Host().beginProgress(caption);
    else if (!caption.isNull() && Host().setStatusMessage) Host().setStatusMessage(caption);
}

void CProjectDoc::StepStatusProgress(const QString& text) {
    if (Host().endProgress) Host().endProgress(text);
    else if (!text.isNull() && Host().setStatusMessage) Host().setStatusMessage(text);
}

// ---------------------------------------------------------------- default styles

namespace {

// The style files installed in the working directory's "Styles" folder (the
// folder's name and the files' names match without regard to case).
QStringList InstalledStyleFiles() {
    QStringList files;
    if (Host().workingDirectory.isEmpty()) return files;
    const QDir working(Host().workingDirectory);
    for (const QString& folder : working.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (folder.compare(QLatin1String("Styles"), Qt::CaseInsensitive) != 0) continue;
        files += QDir(working.filePath(folder)).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    }
    return files;
}

bool IsInstalledStyle(const QStringList& installed, const QString& file) {
    // Only a plain file name can lie in the styles folder.
    if (file.isEmpty() || file.contains(QLatin1Char('/')) || file.contains(QLatin1Char('\\'))) return false;
    for (const QString& entry : installed)
        if (entry.compare(file, Qt::CaseInsensitive) == 0) return true;
    return false;
}

}  // namespace

void CProjectDoc::CheckStyleFile(std::string& name, const char* defaultName) {
    const QStringList installed = InstalledStyleFiles();
    if (IsInstalledStyle(installed, QString::fromStdString(name))) return;
    name = defaultName;
    if (IsInstalledStyle(installed, QString::fromLatin1(defaultName))) return;
    // The default itself is not installed: a graph must not be pointed at a
    // file that is not there when another style is. The other defaults come
    // first, then any installed style file.
    for (int kind = 0; kind < CGraphDefaultStyles::kCount; ++kind) {
        const char* other = CGraphDefaultStyles::DefaultName(kind);
        if (IsInstalledStyle(installed, QString::fromLatin1(other))) {
            name = other;
            return;
        }
    }
    for (const QString& entry : installed)
        if (entry.endsWith(QLatin1String(".rgs"), Qt::CaseInsensitive)) {
            name = entry.toStdString();
            return;
        }
}

void CProjectDoc::LoadDefaultStyles(CGraphDefaultStyles& styles) {
    for (int kind = 0; kind < CGraphDefaultStyles::kCount; ++kind) {
        std::string name = styles.GetStyle(kind);
        CheckStyleFile(name, CGraphDefaultStyles::DefaultName(kind));
        styles.SetStyle(kind, name);
    }
}

void CProjectDoc::ReportMessage(const QString& text) {
    ReportMessageNoError(text);
    if (m_pProject != nullptr && m_pProject->Mode() == RM_DATABASE) gbLogFileContainsError = true;
}

// ---------------------------------------------------------------- archive

void CProjectDoc::Serialize(CArchive& ar) {
    RedrawMainWindow();
    if (ar.IsStoring() && m_bReadOnly) {
        ReportMessage(QString::fromUtf8(text::kReadOnlyStore));
        m_bStoreRefused = true;
        return;
    }
    try {
        int flag = 1;
        if (ar.IsLoading() && !qs::project::IsInteractive() && qs::project::ApplicationMode() == 2) flag = 0;
        m_pProject->Archive(ar, flag);
    } catch (...) {
        if (ar.IsStoring()) ReportMessage(QString::fromUtf8(text::kWriteError));
        throw;
    }
    if (ar.IsLoading()) {
        if (!m_pProject->HasHistoricalUltimates()) m_pProject->CopyCurrentUltimatesToHistoricalUltimates(0);
        m_pProject->WarnRowColOverLimit();
        m_pProject->CheckMethodUltimateIntegrityForFile(GetPathName().toStdString());
    }
}

// ---------------------------------------------------------------- open

bool CProjectDoc::IsStorageExtension(const QString& extension) { return qs::project::IsStorageExtension(extension); }

BOOL CProjectDoc::OnNewDocument() { return CreateProjectFile(QStringLiteral(" - File Properties")); }

BOOL CProjectDoc::ReadStorageStream(const std::string& name, const std::function<void(CArchive&)>& serialize) {
    if (!m_pStorage) return FALSE;
    std::vector<uint8_t> bytes;
    if (!m_pStorage->ReadStream(name, bytes)) return FALSE;
    try {
        CWaitCursor wait;
        if (!bytes.empty()) {
            CArchive ar(bytes, CArchive::load);
            ar.m_pDocument = this;
            serialize(ar);
            ar.Close();
        }
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

BOOL CProjectDoc::WriteStorageStream(const std::string& name, const std::function<void(CArchive&)>& serialize) {
    if (!m_pStorage) return FALSE;
    std::vector<uint8_t> bytes;
    m_bStoreRefused = false;
    try {
        CArchive ar(bytes, CArchive::store);
        ar.m_pDocument = this;
        serialize(ar);
        ar.Close();
    } catch (...) {
        return FALSE;
    }
    // A document that refused to store itself has written nothing: that is
    // no success.
    if (m_bStoreRefused) return FALSE;
    if (!m_pStorage->WriteStream(name, std::move(bytes))) return FALSE;
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CProjectDoc::OnOpenDocument(const QString& path) {
    if (m_pProject == nullptr) return FALSE;
    ProjectProgressScope progress(*this, QStringLiteral("Loading ") + path);
    CWaitCursor wait;
    bool lockedByOther = false;
    // A file that cannot be saved in place opens read-only at once, and the
    // user hears why.
    const bool readOnlyPlace = IsReadOnlyPlace(path);
    if (IsStorageExtension(qs::project::ProjectExtension(path))) {
        auto storage = std::make_unique<CompoundFile>();
        if (readOnlyPlace ||
            storage->Open(LocalPath(path), CompoundFile::Mode::ReadWrite) != CompoundFile::OpenResult::Ok) {
            const CompoundFile::OpenResult r = storage->Open(LocalPath(path), CompoundFile::Mode::ReadOnly);
            if (r != CompoundFile::OpenResult::Ok) {
                ReportMessage(QStringLiteral("\nUnable to open file: ") + path + QLatin1Char('\n') + OpenFailureText(int(r)));
                return FALSE;
            }
            m_bReadOnly = TRUE;
            lockedByOther = true;
        }
        m_pStorage = std::move(storage);
        SetModifiedFlag(TRUE);
        if (!ReadStorageStream("QS1", [this](CArchive& ar) { Serialize(ar); })) {
            ReportMessage(QStringLiteral("\nUnable to open file: ") + path +
                          QStringLiteral("\nThe project inside the file is damaged or was not written by Quillstone."));
            return FALSE;
        }
        // The graph streams are optional, but one that is there and cannot be
        // read would be dropped by the next save: keep the file from being
        // overwritten and tell the user.
        bool graphsRead = true;
        const auto readGraphs = [&](const char* name, QSSTATUS (CProject::*load)(const std::uint8_t*, std::size_t)) {
            std::vector<uint8_t> bytes;
            if (!m_pStorage->ReadStream(name, bytes) || bytes.empty()) return;
            if ((m_pProject->*load)(bytes.data(), bytes.size()) != 0) graphsRead = false;
        };
        readGraphs("GraphData", &CProject::LoadGraphData);
        readGraphs("DefGraphStyles", &CProject::LoadDefGraphStyles);
        if (!graphsRead) {
            ReportMessage(QString::fromUtf8(text::kGraphsUnreadable));
            m_bReadOnly = TRUE;
        }
        LoadDefaultStyles(m_pProject->GetGraphDefaultStyles());
        SetModifiedFlag(FALSE);
    } else if (readOnlyPlace || !LoadLegacyFile(path)) {
        if (!LoadLegacyFileReadOnly(path)) return FALSE;
        lockedByOther = true;
    }
    if (lockedByOther && m_bReadOnly)
        ReportMessage(QString::fromUtf8(readOnlyPlace ? text::kReadOnlyPlace : text::kInUse));

    const QSSTATUS status = m_pProject->GetLoadStatus();
    if (status == 0 || status == 4) {
        // What loading itself completed (default graph styles from the style
        // files) is no change of the user's: a project just opened is unchanged.
        m_pProject->SetModifiedFlag(false);
        progress.End(path + QStringLiteral(" loaded."));
        m_pProject->SetFileName(path.toStdString());
        return TRUE;
    }
    QString why;
    switch (status) {
    case 1: why = QStringLiteral("\nAn error occurred during file load."); break;
    case 2: why = QStringLiteral("\nThis is an unsupported file format."); break;
    case 3:
        why = QStringLiteral("\nAn error occured while loading file.\nTry closing other applications and or files and try again.");
        break;
    case 5: why = QStringLiteral("\nAn error occurred during conversion of the PC5 file."); break;
    default: break;
    }
    ReportMessage(QStringLiteral("\nUnable to open file: ") + path + why);
    return FALSE;
}

namespace {
// Reads a whole legacy file into the document; false after an exception.
bool ReadLegacyArchive(CProjectDoc& doc, CFile& file) {
    try {
        if (file.GetLength() != 0) {
            CArchive ar(&file, CArchive::load, 4096);
            ar.m_pDocument = &doc;
            doc.Serialize(ar);
            ar.Close();
        }
        file.Close();
    } catch (...) {
        file.Abort();
        doc.DeleteContents();
        AfxMessageBoxIfVisible(QStringLiteral("Failed to open document."), MB_OK);
        return false;
    }
    return true;
}
}  // namespace

BOOL CProjectDoc::LoadLegacyFile(const QString& path) {
    auto file = std::make_unique<CFile>();
    if (!file->Open(LocalPath(path), kLegacyLockMode)) return FALSE;
    DeleteContents();
    SetModifiedFlag(TRUE);
    if (!ReadLegacyArchive(*this, *file)) return FALSE;
    SetModifiedFlag(FALSE);
    m_pLockFile = std::make_unique<CFile>();
    if (!m_pLockFile->Open(LocalPath(path), kLegacyLockMode)) {
        m_pLockFile.reset();
        ReportMessage(QStringLiteral("Unable to open a file to enable file locking."));
        return FALSE;
    }
    return TRUE;
}

BOOL CProjectDoc::LoadLegacyFileReadOnly(const QString& path) {
    auto file = std::make_unique<CFile>();
    if (!file->Open(LocalPath(path), kLegacyReadMode)) {
        ReportMessage(QStringLiteral("File %1 could not be opened.").arg(path));
        return FALSE;
    }
    if (!ReadLegacyArchive(*this, *file)) return FALSE;
    SetModifiedFlag(FALSE);
    m_bReadOnly = TRUE;
    return TRUE;
}

// ---------------------------------------------------------------- save

bool CProjectDoc::WriteProjectStreams(CompoundFile& storage) {
    // WriteStorageStream works on m_pStorage; point it at the target for the
    // duration of the writes.
    std::unique_ptr<CompoundFile> held;
    const bool borrowed = m_pStorage.get() != &storage;
    if (borrowed) {
        held = std::move(m_pStorage);
        m_pStorage.reset(&storage);
    }
    bool ok = WriteStorageStream("QS1", [this](CArchive& ar) { Serialize(ar); }) != FALSE;
    const auto writeRaw = [&](const char* name, std::vector<std::uint8_t> bytes) {
        return WriteStorageStream(name, [&](CArchive& ar) { ar.Write(bytes.data(), bytes.size()); }) != FALSE;
    };
    if (m_pProject->GraphList().empty()) {
        m_pStorage->RemoveStream("GraphData");
        if (ok) ok = writeRaw("DefGraphStyles", m_pProject->SaveDefGraphStyles());
    } else if (ok) {
        ok = writeRaw("GraphData", m_pProject->SaveGraphData());
        if (ok) ok = writeRaw("DefGraphStyles", m_pProject->SaveDefGraphStyles());
    }
    if (borrowed) {
        (void)m_pStorage.release();
        m_pStorage = std::move(held);
    }
    return ok;
}

BOOL CProjectDoc::OnSaveDocument(const QString& path) {
    if (Host().setStatusMessage) Host().setStatusMessage(QStringLiteral("Saving ") + path);
    const bool interactive = qs::project::IsInteractive();
    if (qs::project::ProjectExtension(path) != QLatin1String(".QS5")) {
        if (interactive) {
            AfxMessageBoxIfVisible(QStringLiteral("Attention!\nExport File saved will be in Quillstone 5 format!"));
            return FALSE;
        }
        if (AfxMessageBox(QStringLiteral("This file will be saved to a new file using the QS5 format, to retain "
                                         "historical ultimates,\ntail factor information, and certain other user "
                                         "defined data not supported by previous \nformats. Continue?"),
                          MB_OKCANCEL) != IDOK)
            return FALSE;
        if (Host().postCommand) Host().postCommand(qs::cmd::kFileSaveAs, this);
        return TRUE;
    }

    std::unique_ptr<CompoundFile> created;
    const bool samePath = path.compare(GetPathName(), Qt::CaseInsensitive) == 0;
    if (samePath && m_pStorage) {
        if (m_bReadOnly) {
            if (interactive)
                AfxMessageBoxIfVisible(QString::fromUtf8(text::kCannotSaveReadOnly));
            else
                ReportMessage(QString::fromUtf8(text::kCannotSaveReadOnlyAuto));
            return FALSE;
        }
    } else {
        created = std::make_unique<CompoundFile>();
        const QFileInfo target(path);
        if (!target.absoluteDir().exists()) {
            ReportSaveFailure(path, QStringLiteral("The folder %1 does not exist.").arg(target.absolutePath()));
            return FALSE;
        }
        const CompoundFile::OpenResult r = created->Create(LocalPath(path));
        if (r != CompoundFile::OpenResult::Ok) {
            if (r == CompoundFile::OpenResult::AccessDenied || r == CompoundFile::OpenResult::LockedByOther)
                AfxMessageBoxIfVisible(QStringLiteral("Access Denied!"));
            else
                ReportSaveFailure(path, OpenFailureText(int(r)));
            return FALSE;
        }
    }
    CompoundFile& target = created ? *created : *m_pStorage;
    // A document that refuses to store (read-only) must not count as saved
    // under a new name; the flag is cleared only once the new file is written.
    const BOOL wasReadOnly = m_bReadOnly;
    if (created) m_bReadOnly = FALSE;
    // Nothing reaches the disk unless every stream was written: the file
    // keeps its last committed content otherwise.
    if (!WriteProjectStreams(target) || !target.Commit()) {
        target.Revert();
        m_bReadOnly = wasReadOnly;
        SetModifiedFlag(TRUE);
        // A refused store has told the user already.
        if (!m_bStoreRefused) ReportSaveFailure(path, QStringLiteral("The file could not be written; it is as it was."));
        return FALSE;
    }
    if (created) {
        m_pStorage = std::move(created);
        // A converted legacy file loses its lock once the new file holds the project.
        if (m_pLockFile) m_pLockFile->Abort();
        m_pLockFile.reset();
    }
    m_pProject->SetModifiedFlag(false);
    if (Host().folderNotChosen) {
        Host().lastProjectFolder = qs::project::FolderOfPath(path);
        Host().folderNotChosen = false;
    }
    if (Host().setStatusMessage) Host().setStatusMessage(QStringLiteral("Saved ") + path);
    return TRUE;
}

BOOL CProjectDoc::DoSave(const QString& path, BOOL bReplace) {
    const bool interactive = qs::project::IsInteractive();
    QString name = path;
    if (name.isEmpty()) {
        name = GetPathName();
        if (name.isEmpty() && bReplace) {
            QString ext;
            if (m_pDocTemplate) m_pDocTemplate->GetDocString(ext, CDocTemplate::filterExt);
            name = qs::project::TitleToFileName(GetTitle(), interactive, ext, Host().folderNotChosen,
                                                Host().filesPath);
        }
    }
    if (path.isEmpty()) {
        for (;;) {
            const unsigned titleId = !interactive ? 33091u : (bReplace ? 61441u : 61444u);
            if (!Host().chooseSaveFile || !Host().chooseSaveFile(name, titleId, 0x804, m_pDocTemplate)) return FALSE;
            if (!interactive && !name.endsWith(QLatin1String(".qs5"), Qt::CaseInsensitive)) name += ".qs5";
            // A name typed without an extension is a project file.
            if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".qs5");
            // A folder that is not there: say so and ask again.
            if (!QFileInfo(name).absoluteDir().exists()) {
                ReportMessage(QStringLiteral("Unable to save ") + name + QStringLiteral("\nThe folder ") +
                              QFileInfo(name).absolutePath() + QStringLiteral(" does not exist."));
                if (!interactive) return FALSE;
                continue;
            }
            bool clash = false;
            if (m_pDocTemplate) {
                for (CDocument* other : m_pDocTemplate->Documents())
                    if (other != this && other->GetPathName() == name) clash = true;
            }
            if (!clash) break;
            ReportMessage(QString::fromUtf8(text::kSameNameAsOpen));
        }
    }

    CWaitCursor wait;
    const QString ext = qs::project::ProjectExtension(name);
    if (ext != QLatin1String(".QS5")) {
        QString question;
        if (!interactive)
            question = QStringLiteral("Attention!\n\nExport File must be saved in Quillstone 5\nformat using the .qs5 extension!");
        else if (ext == QLatin1String(".QS1") || ext == QLatin1String(".QS2"))
            question = QStringLiteral("This file will be saved to a new file using the QS5 format, to retain historical "
                                      "ultimates, \ntail factor information, and certain other user defined data not "
                                      "supported by previous \nformats. Continue?");
        else
            question = QStringLiteral("This file will be saved to a new file using the QS5 format to retain data not "
                                      "supported by previous formats. Continue?");
        if (AfxMessageBox(question, MB_OKCANCEL) == IDOK) {
            if (Host().selectInNavigator) Host().selectInNavigator(this);
            if (Host().postCommand) Host().postCommand(qs::cmd::kFileSaveAs, this);
            return TRUE;
        }
        // Under automation Cancel still exports: an older compound generation
        // as such, anything else through the legacy save.
        if (interactive) return FALSE;
        if (!IsStorageExtension(ext)) return SaveLegacy(name, !path.isEmpty(), bReplace);
    }
    if (!OnSaveDocument(name)) return FALSE;
    if (interactive && bReplace) {
        SetPathName(name);
        if (Host().refreshNavigator) Host().refreshNavigator();
        UpdateAllViews(nullptr, 2);
        // The navigator's refresh clears the status bar: confirm the save last.
        if (Host().setStatusMessage) Host().setStatusMessage(QStringLiteral("Saved ") + name);
    }
    return TRUE;
}

void CProjectDoc::Relock(const QString& path) {
    if (m_bReadOnly || m_pLockFile || path.isEmpty()) return;
    m_pLockFile = std::make_unique<CFile>();
    if (!m_pLockFile->Open(LocalPath(path), kLegacyLockMode)) {
        m_pLockFile.reset();
        ReportMessage(QStringLiteral("Unable to re-open file:\n") + path +
                      QStringLiteral("\nto enable file locking. File will be marked as read-only."));
        m_bReadOnly = TRUE;
        if (Host().refreshNavigator) Host().refreshNavigator();
    }
}

BOOL CProjectDoc::SaveLegacy(QString name, bool pathGiven, BOOL bReplace) {
    // The file this document held locked; it is locked again whenever the
    // save does not go through.
    QString remembered;
    if (!m_bReadOnly) {
        if (m_pLockFile) {
            remembered = QFile::decodeName(QByteArray::fromStdString(m_pLockFile->GetFilePath()));
            m_pLockFile->Abort();
            m_pLockFile.reset();
        } else if (pathGiven) {
            ReportMessage(QStringLiteral(
                "Cannot save this file with this name.\nQuillstone is missing the pointer that enables file locking "
                "on this file.\nTo ensure integrity Quillstone is switching file open status to read only.\nPlease "
                "verify that the file still exists.\nTo save this file, use File SaveAs and choose a new name."));
            m_bReadOnly = TRUE;
            if (Host().refreshNavigator) Host().refreshNavigator();
            return FALSE;
        } else {
            remembered = name;
        }
    }
    const bool existedBefore = !name.isEmpty() && QFileInfo::exists(name);
    if (!name.isEmpty()) {
        if (!existedBefore) {
            m_bReadOnly = FALSE;
        } else if (name != GetPathName()) {
            CFile test;
            if (!test.Open(LocalPath(name), kLegacyLockMode)) {
                ReportMessage(QStringLiteral("The file:\n") + name +
                              QStringLiteral("\nis already open by either another application or another "
                                             "user.\nPlease try saving with a different name."));
                Relock(remembered);
                return FALSE;
            }
            test.Close();
            m_bReadOnly = FALSE;
        }
    }
    if (m_bReadOnly) {
        ReportMessage(QStringLiteral("This file has been opened as read-only.\nSelect a new name to save this file."));
        return FALSE;
    }
    if (!OnSaveDocument(name)) {
        // Only a file this save made goes; a file that was there before
        // (the project's own, say) is never deleted.
        if (!pathGiven && !existedBefore) QFile::remove(name);
        Relock(remembered);
        return FALSE;
    }
    const QFileInfo saved(name);
    if (!saved.exists() || saved.size() == 0) {
        ReportMessage(QStringLiteral("An error was detected while saving your file.  Please save again to another "
                                     "location."));
        Relock(remembered);
        return FALSE;
    }
    if (bReplace) {
        SetPathName(name);
        if (Host().refreshNavigator) Host().refreshNavigator();
        UpdateAllViews(nullptr, 2);
    }
    Relock(name);
    return TRUE;
}

// ---------------------------------------------------------------- object windows

ObjectViewKind CProjectDoc::ChooseObjectView(QSID id, QSID specialObjectId) {
    const bool graph = id >= kGraphFlag || GetIDDOType(id) == 8;
    if (id == 0) return ObjectViewKind::Info;
    if (graph) return ObjectViewKind::Graph;
    if (id == -1) return ObjectViewKind::Update;
    const QSID bare = DelGraphIDOf(id);
    const int kind = GetIDDOType(bare), type = GetIDDataType(bare), index = GetIDIndex(bare);
    const auto same = [&](QSID other) {
        return GetIDDOType(other) == kind && GetIDDataType(other) == type && GetIDIndex(other) == index;
    };
    if (specialObjectId != 0 && same(specialObjectId)) return ObjectViewKind::PPA;
    if (kind == 5 || kind == 6) return ObjectViewKind::Scalar;
    if (same(101010494) || same(101010497)) return ObjectViewKind::Params;
    if (((type == 0 || type == 1 || type == 7 || type == 8) && (kind == 1 || kind == 2)) || type == 6)
        return ObjectViewKind::Table;
    if (type == 1 && (kind == 3 || kind == 4)) return ObjectViewKind::Exhibit;
    if ((type == 2 || type == 3) && (kind == 3 || kind == 4)) return ObjectViewKind::Method;
    return ObjectViewKind::None;
}

QSID CProjectDoc::SpecialObjectID() const { return m_pProject != nullptr ? m_pProject->GetPayPatternID() : 0; }

bool CProjectDoc::IsSpecialObject(QSID id) const {
    const QSID special = SpecialObjectID();
    return special != 0 && SameIDType(DelGraphIDOf(id), special);
}

CFrameWnd* CProjectDoc::OpenObjectView(QSID id, unsigned short layer, BOOL activateExisting, BOOL makeVisible,
                                       BOOL skipSummaryOptions) {
    const bool graph = id >= kGraphFlag || GetIDDOType(id) == 8;
    m_nCurrentObjectId = DelGraphIDOf(id);
    m_nCurrentLayer = layer;
    const ObjectViewKind kind = ChooseObjectView(id, SpecialObjectID());
    if (kind == ObjectViewKind::None) return nullptr;
    CDocTemplate* tmpl = Host().viewTemplate ? Host().viewTemplate(kind) : nullptr;
    if (tmpl == nullptr) return nullptr;
    if (activateExisting || graph) {
        if (CFrameWnd* open = FindOpenObjectFrame(activateExisting, makeVisible, graph)) return open;
    }
    m_pNextViewLink = nullptr;
    m_pNextViewSheet = nullptr;
    if (!skipSummaryOptions && !graph && m_pProject != nullptr && m_pProject->IsIDSummaryReport(id)) {
        // The report is laid out from its options: the user confirms them first.
        CSummaryReportOptionsDlg options;
        options.m_pProject = m_pProject;
        options.m_lReportId = id;
        options.m_nLayer = layer;
        if (options.DoModal() != IDOK) return nullptr;
        // A selected-ultimate column adds a table the navigator lists.
        if (options.m_bSelectedUltimate && Host().refillNavigatorLists) Host().refillNavigatorLists(*this);
    }
    CWaitCursor wait;
    CFrameWnd* frame = CreateObjectFrame(*tmpl, nullptr);
    if (frame == nullptr) return nullptr;
    tmpl->InitialUpdateFrame(frame, this, makeVisible);
    return frame;
}

CFrameWnd* CProjectDoc::OpenNewObjectFrame(CFrameWnd* oldFrame) {
    ObjectViewKind kind = ObjectViewKind::None;
    switch (GetActiveObject()) {
    case kCategoryInput: {
        const QSID id = m_nCurrentObjectId;
        const bool params = SameIDType(id, 101010494) || SameIDType(id, 101010497);
        kind = params ? ObjectViewKind::Params : ObjectViewKind::Table;
        break;
    }
    case kCategoryExhibit: kind = ObjectViewKind::Exhibit; break;
    case kCategoryScalar: kind = ObjectViewKind::Scalar; break;
    case kCategoryMethod:
    case kCategoryReport: kind = ObjectViewKind::Method; break;
    default: return nullptr;
    }
    CDocTemplate* tmpl = Host().viewTemplate ? Host().viewTemplate(kind) : nullptr;
    if (tmpl == nullptr) return nullptr;
    m_pNextViewLink = nullptr;
    m_pNextViewSheet = nullptr;
    CWaitCursor wait;
    CFrameWnd* frame = CreateObjectFrame(*tmpl, oldFrame);
    if (frame == nullptr) return nullptr;
    // In place of the old frame: the same upper left corner.
    auto* oldChild = dynamic_cast<CMDIChildWnd*>(oldFrame);
    auto* newChild = dynamic_cast<CMDIChildWnd*>(frame);
    if (oldChild != nullptr && newChild != nullptr && oldChild->GetSubWindow() && newChild->GetSubWindow())
        newChild->GetSubWindow()->move(oldChild->GetSubWindow()->pos());
    tmpl->InitialUpdateFrame(frame, this, TRUE);
    return frame;
}

CFrameWnd* CProjectDoc::CreateObjectFrame(CDocTemplate& tmpl, CFrameWnd* other) {
    // A frame that fails must not take the document with it.
    const BOOL autoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    CFrameWnd* frame = tmpl.CreateNewFrame(this, other);
    if (frame != nullptr) {
        // The object views open their kernel object as they are created.
        for (CView* view : frame->GetViews()) {
            auto* objectView = dynamic_cast<ObjectViewLink*>(view);
            if (objectView != nullptr && objectView->OnCreate() != 0) {
                frame->DestroyWindow();
                frame = nullptr;
                break;
            }
        }
    }
    m_bAutoDelete = autoDelete;
    return frame;
}

void CProjectDoc::OnChangedViewList() {
    DetachLeftViews(false);
    m_knownViews = m_views;
    CDocument::OnChangedViewList();
}

void CProjectDoc::DetachLeftViews(bool all) {
    for (CView* view : m_knownViews) {
        if (!all && std::find(m_views.begin(), m_views.end(), view) != m_views.end()) continue;
        auto* link = dynamic_cast<ObjectViewLink*>(view);
        if (link == nullptr) continue;
        if (CFormula* object = link->KernelLink()) {
            if (!all) link->BeforeDetach();
            if (m_pProject != nullptr) m_pProject->CloseObject(object, link->KernelWindow());
            link->SetKernelLink(nullptr);
        }
    }
    if (all) m_knownViews.clear();
}

CFrameWnd* CProjectDoc::FindOpenObjectFrame(BOOL activate, BOOL makeVisible, BOOL graph) {
    if (!activate && !graph) return nullptr;
    const std::vector<CView*> views = m_views;
    for (CView* view : views) {
        auto* link = dynamic_cast<ObjectViewLink*>(view);
        if (link == nullptr) continue;
        CFrameWnd* frame = view->GetParentFrame();
        if (frame == nullptr) continue;
        const ObjectViewKind kind = link->ViewKind();
        if (kind == ObjectViewKind::Update && m_nCurrentObjectId == -1) {
            frame->DestroyWindow();
            continue;
        }
        const bool isGraph = kind == ObjectViewKind::Graph;
        if (graph != isGraph) continue;
        const bool same = (DelGraphIDOf(link->ViewObjectId()) == m_nCurrentObjectId &&
                           link->ViewLayer() == m_nCurrentLayer) ||
                          (!graph && kind == ObjectViewKind::Info && m_nCurrentObjectId == 0);
        if (!same) continue;
        if (!graph || activate) {
            frame->ActivateFrame(makeVisible ? 1 : 0);
        } else {
            link->AddOpenRef();
        }
        return frame;
    }
    return nullptr;
}

void CProjectDoc::CloseObjectViews(BOOL closeUserTypes) {
    const std::vector<CView*> views = m_views;
    for (CView* view : views) {
        auto* link = dynamic_cast<ObjectViewLink*>(view);
        if (link == nullptr) continue;
        try {
            const QSID id = DelGraphIDOf(link->ViewObjectId());
            const int kind = GetIDDOType(id);
            CFrameWnd* frame = view->GetParentFrame();
            // Windows whose layout the change may invalidate close: user
            // objects when asked, summary reports, the update pass and the
            // payment pattern (tables and graphs alike). The others let go of
            // their kernel object and stay open to be re-attached.
            const bool close = (closeUserTypes && (kind == 2 || kind == 4 || kind == 6)) ||
                               (m_pProject != nullptr && m_pProject->IsIDSummaryReport(id)) ||
                               link->ViewKind() == ObjectViewKind::Update || IsSpecialObject(id);
            if (close) {
                if (frame) frame->DestroyWindow();
            } else if (CFormula* object = link->KernelLink()) {
                if (link->ViewKind() == ObjectViewKind::Table) link->RememberCumulative();
                m_pProject->CloseObject(object, link->KernelWindow());
                link->SetKernelLink(nullptr);
            }
        } catch (...) {
            // one view's failure does not stop the others from letting go
        }
    }
}

void CProjectDoc::ReopenObjectViews() {
    const std::vector<CView*> views = m_views;
    for (CView* view : views) {
        if (view == nullptr) return;
        auto* link = dynamic_cast<ObjectViewLink*>(view);
        if (link == nullptr || link->KernelLink() != nullptr) continue;
        CFormula* object = m_pProject->OpenObject(link->ViewObjectId(), link->ViewLayer(),
                                                  link->KernelWindow());
        if (object == nullptr) continue;
        link->SetKernelLink(object);
        if (link->ViewKind() == ObjectViewKind::Table) link->RestoreCumulative();
        link->RefreshAfterReattach();
    }
    if (Host().refreshNavigator) Host().refreshNavigator();
}

QString CProjectDoc::OpenFailureText(int result) {
    switch (static_cast<CompoundFile::OpenResult>(result)) {
    case CompoundFile::OpenResult::NotFound: return QStringLiteral("The file does not exist.");
    case CompoundFile::OpenResult::NotCompound: return QStringLiteral("This is not a Quillstone project file.");
    case CompoundFile::OpenResult::Damaged: return QStringLiteral("The file is damaged.");
    case CompoundFile::OpenResult::LockedByOther: return QStringLiteral("The file is in use by another user or program.");
    case CompoundFile::OpenResult::AccessDenied: return QStringLiteral("Access denied.");
    default: return QStringLiteral("The file cannot be read or written.");
    }
}

void CProjectDoc::ReportSaveFailure(const QString& path, const QString& why) {
    if (Host().setStatusMessage) Host().setStatusMessage(QStringLiteral("Not saved: ") + path);
    ReportMessage(QStringLiteral("Unable to save ") + path + QStringLiteral("\n") + why);
}

BOOL CProjectDoc::IsModified() {
    return CDocument::IsModified() || (m_pProject != nullptr && m_pProject->IsModified()) ? TRUE : FALSE;
}

void CProjectDoc::OnFileClose() {
    if (Host().tailFactorProgramOpen && Host().tailFactorProgramOpen()) return;
    if (m_pProject && m_pProject->IsModified()) SetModifiedFlag(TRUE);
    if (!SaveModified()) return;
    if (Host().removeFromNavigator && !Host().removeFromNavigator(this)) {
        ReportMessage(QStringLiteral("Error: CPrjTreeView::RemoveProject\n"));
        return;
    }
    m_bAutoDelete = TRUE;
    if (Host().setApplicationMode) Host().setApplicationMode(5);
    OnCloseDocument();
}
