#include "CDFLDoc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "CDFLView.h"
#include "CDocTemplate.h"
#include "CFSLib.h"
#include "CFrameWnd.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CWinApp.h"
#include "FactorLibraryHost.h"
#include "KernelGlobals.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "MethodTemplates.h"
#include "ProjectHost.h"
#include "WaitCursor.h"

IMPLEMENT_DYNCREATE(CDFLDoc, CDocument)

using qs::factors::Host;

const char* const CDFLDoc::kMsgReadDictionary = "Error: ReadDictionary!";
const char* const CDFLDoc::kMsgSynchronized =
    "Factor sets have been modified to synchronize them with the user defined selected development factors.\n";

namespace {

// The development exhibits: a factor set's rows are keyed by the exhibit's
// id, which is what the exhibits and the flood fills look them up by.
constexpr int kCategoryExhibits = 5000;
// The characters that make a title a poor proposal for a file name.
const QString kDubiousNameChars = QStringLiteral("#%;/\\");

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

CDocTemplate* LibraryTemplate() {
    if (Host().libraryTemplate) return Host().libraryTemplate();
    if (CWinApp* app = AfxGetApp())
        for (CDocTemplate* t : app->DocTemplates())
            if (t->GetDocClass() == RUNTIME_CLASS(CDFLDoc)) return t;
    return nullptr;
}

CDocTemplate* ProjectTemplate() {
    if (Host().projectTemplate) return Host().projectTemplate();
    if (CWinApp* app = AfxGetApp())
        for (CDocTemplate* t : app->DocTemplates())
            if (t->GetDocClass() == RUNTIME_CLASS(CProjectDoc)) return t;
    return nullptr;
}

}  // namespace

CDFLDoc::CDFLDoc() : m_pFSLib(std::make_unique<CFSLib>()) {
    CWaitCursor wait;
    // A second library takes the lists of the first one open.
    if (CDocTemplate* libraries = LibraryTemplate()) {
        for (CDocument* d : libraries->Documents()) {
            auto* first = dynamic_cast<CDFLDoc*>(d);
            if (first == nullptr || first == this) continue;
            m_strLayerNames = first->m_strLayerNames;
            m_ObjectIds = first->m_ObjectIds;
            m_ObjectNames = first->m_ObjectNames;
            m_ObjectLabels = first->m_ObjectLabels;
            return;
        }
    }
    // Otherwise the project of the last open project document, or a fresh one.
    if (CDocTemplate* projects = ProjectTemplate()) {
        for (CDocument* d : projects->Documents())
            if (auto* doc = dynamic_cast<CProjectDoc*>(d); doc && doc->GetProject()) {
                m_pProjectDoc = doc;
                m_pBorrowedProject = doc->GetProject();
            }
    }
    if (m_pBorrowedProject == nullptr) {
        m_pOwnedProject = std::make_unique<CProject>();
        // The fresh project's dictionary: an annual project of the default
        // shape with the standard exhibits and methods.
        std::uint16_t generation = 5, numExp = 10, firstYear = 2000, interval = 1, numDev = 10, firstAge = 12;
        PRDLENGTH length = PRD_YEAR;
        LAYERNAMES calc1 = GROSS, calc2 = ASSUMED;
        if (m_pOwnedProject->Create(generation, numExp, length, firstYear, interval, numDev, length, firstAge, calc1,
                                    calc2) != 0 ||
            qsmethods::AddStandardExhibitsAndMethods(*m_pOwnedProject) != 0) {
            AfxMessageBoxIfVisible(QString::fromLatin1(kMsgReadDictionary));
            m_pOwnedProject.reset();
            return;
        }
    }
    CProject* project = GetProject();
    for (unsigned short layer = 1; layer <= kLayerCount; ++layer) {
        std::string name;
        project->GetNameLayer(name, layer);
        m_strLayerNames << QString::fromStdString(name);
    }
    if (qs::factors::FileMode() == 1) FillObjectLists();
}

CDFLDoc::~CDFLDoc() = default;

CProject* CDFLDoc::GetProject() const {
    if (m_pOwnedProject) return m_pOwnedProject.get();
    if (m_pProjectDoc == nullptr) return nullptr;
    // The project document may have closed since: only a document still in
    // the project template's list, still holding the same project, counts.
    CDocTemplate* projects = ProjectTemplate();
    if (projects == nullptr) return nullptr;
    for (CDocument* d : projects->Documents())
        if (d == m_pProjectDoc && static_cast<CProjectDoc*>(d)->GetProject() == m_pBorrowedProject)
            return m_pBorrowedProject;
    return nullptr;
}

QString CDFLDoc::ObjectLabel(QSID id, const QString& name) {
    return QStringLiteral("%1 - %2").arg(GetIDIndex(id), 3).arg(name);
}

void CDFLDoc::FillObjectLists() {
    CProject* project = GetProject();
    if (project == nullptr) return;
    m_ObjectIds.clear();
    m_ObjectNames.clear();
    m_ObjectLabels.clear();
    // Names without table numbers: the labels add them in their own form.
    const int showIds = project->GetShowTableID();
    project->SetShowTableID(0);
    QSID id = 0;
    std::string name;
    for (QSSTATUS st = project->GetFirst(kCategoryExhibits, id, name); st == 0;
         st = project->GetNext(kCategoryExhibits, id, name)) {
        const QString text = QString::fromStdString(name);
        m_ObjectIds.push_back(id);
        m_ObjectNames << text;
        m_ObjectLabels << ObjectLabel(id, text);
    }
    project->SetShowTableID(showIds);
}

// ---------------------------------------------------------------- files

BOOL CDFLDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument()) return FALSE;
    m_pFSLib = std::make_unique<CFSLib>();
    return TRUE;
}

BOOL CDFLDoc::OnOpenDocument(const QString& path) {
    if (m_pDBManager != nullptr) return OpenFromDatabase(path);
    m_bOpened = 1;
    CWaitCursor wait;
    // Read into a library of its own, so a refused file changes nothing.
    auto library = std::make_unique<CFSLib>();
    const QSSTATUS status = library->LoadFile(LocalPath(path));
    if (status != 0) {
        const QString name = QFileInfo(path).fileName();
        QString text;
        if (status == CFSLib::kNewer)
            text = QStringLiteral("The factor library %1 was written by a newer version of Quillstone and cannot be opened.")
                       .arg(name);
        else if (status == CFSLib::kDamaged)
            text = QStringLiteral("The file %1 is not a factor library, or it is damaged. It was not opened.").arg(name);
        else
            text = QStringLiteral("The factor library %1 cannot be opened: the file cannot be read.").arg(path);
        AfxMessageBoxIfVisible(text, MB_OK | MB_ICONSTOP);
        return FALSE;
    }
    m_pFSLib = std::move(library);
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDFLDoc::OnSaveDocument(const QString& path) {
    CWaitCursor wait;
    const QSSTATUS status = m_pFSLib->SaveFile(LocalPath(path));
    if (status != 0) {
        AfxMessageBoxIfVisible(QStringLiteral("The factor library could not be saved to %1. The file on disk was "
                                              "left as it was.")
                                   .arg(path),
                               MB_OK | MB_ICONSTOP);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

QString CDFLDoc::NameFromTitle(const QString& title) {
    const int dot = title.indexOf(QLatin1String(".dfl"));
    return dot < 0 ? title : title.left(dot);
}

QString CDFLDoc::LibraryNameFromTitle() const { return NameFromTitle(GetTitle()); }

BOOL CDFLDoc::DoSave(const QString& path, BOOL bReplace) { return DoSaveAs(path, bReplace); }

BOOL CDFLDoc::DoFileSave() {
    for (CView* view : m_views)
        if (auto* library = dynamic_cast<CDFLView*>(view)) return library->SaveLibrary(false);
    return DoSaveAs(m_strPathName, TRUE);
}

BOOL CDFLDoc::DoSaveAs(const QString& path, BOOL bReplace, BOOL) {
    QString target = path;
    if (target.isEmpty()) {
        // Only the title is a proposal; a full path always holds separators
        // and must not send every save through the chooser.
        QString proposal = GetTitle();
        const int bad = [&] {
            for (int i = 0; i < proposal.size(); ++i)
                if (kDubiousNameChars.contains(proposal.at(i))) return i;
            return -1;
        }();
        if (bad >= 0) proposal.truncate(bad);
        QString ext;
        if (m_pDocTemplate) m_pDocTemplate->GetDocString(ext, CDocTemplate::filterExt);
        if (ext.isEmpty()) ext = QStringLiteral(".dfl");
        if (!proposal.endsWith(ext, Qt::CaseInsensitive)) proposal += ext;
        // A new library starts in the "Files Path" folder, a saved one in its own.
        const QString folder = m_strPathName.isEmpty() ? qs::project::Host().filesPath
                                                       : QFileInfo(m_strPathName).absolutePath();
        if (!folder.isEmpty()) proposal = QDir(folder).filePath(proposal);
        CWinApp* app = AfxGetApp();
        if (app == nullptr || !app->DoPromptFileName(proposal, QStringLiteral("Save As"), FALSE, m_pDocTemplate))
            return FALSE;
        target = proposal;
        // A chosen file becomes the document's file.
        bReplace = TRUE;
    }
    CWaitCursor wait;
    // The kernel writes through a temporary file, so a failed save leaves no
    // partly written file behind.
    if (!OnSaveDocument(target)) return FALSE;
    if (bReplace) SetPathName(target);
    return TRUE;
}

// ---------------------------------------------------------------- database side

long CDFLDoc::AttachDatabaseManager(IKDVDatabaseManager* manager) {
    constexpr long kInvalidArg = 0x80070057L;
    constexpr long kFail = 0x80004005L;
    if (manager == nullptr) return kInvalidArg;
    m_pDBManager = nullptr;
    qs::factors::IFactorLibraryStore* store = Host().store;
    // A binding the library refuses leaves the document without a manager
    // and reports failure: nothing may go on to use a released manager.
    if (store == nullptr || store->InitProjectWithDBManager(*m_pFSLib, manager) < 0) return kFail;
    m_pDBManager = manager;
    if (Host().setFileMode) Host().setFileMode(0);
    if (!LoadUserDefinedFactors())
        AfxMessageBoxIfVisible(QStringLiteral("Error while reading user defined Selected Development Factors\n"));
    FillObjectLists();
    return 0;
}

bool CDFLDoc::LoadUserDefinedFactors() {
    // The stored stream of the user-defined factors is the database
    // manager's; none is there in this build.
    return GetProject() != nullptr && m_pDBManager != nullptr;
}

BOOL CDFLDoc::GetDBManager(IKDVDatabaseManager** manager) const {
    if (m_pDBManager == nullptr || manager == nullptr) return FALSE;
    *manager = m_pDBManager;
    return TRUE;
}

BOOL CDFLDoc::OpenFromDatabase(const QString& name) {
    m_bOpened = 1;
    if (name.isEmpty()) {
        AfxMessageBoxIfVisible(QStringLiteral("Libaray must have a name"));
        return FALSE;
    }
    qs::factors::IFactorLibraryStore* store = Host().store;
    const QString failed = QStringLiteral("Failed to open %1").arg(name);
    if (store == nullptr || !store->GetDFLfromDB(*m_pFSLib, name.toStdString()) ||
        !store->LoadFactorSetsFromDB(*m_pFSLib, m_pFSLib->GetID())) {
        AfxMessageBoxIfVisible(failed);
        qs::factors::AppendLogLine(failed);
        gbLogFileContainsError = true;
        return FALSE;
    }
    m_pFSLib->SetName(name.toStdString());
    return TRUE;
}

BOOL CDFLDoc::SaveToDatabase(bool update) {
    const std::string name = GetTitle().toStdString();
    qs::factors::IFactorLibraryStore* store = Host().store;
    bool stored = false;
    if (store != nullptr) {
        if (update) {
            const long id = m_pFSLib->GetID();
            stored = store->UpdateDFLinDB(*m_pFSLib, id, name) && store->StoreFactorSetsToDB(*m_pFSLib, id);
        } else {
            long id = -1;
            // The new record's id is kept only when the factor sets were
            // stored with it; otherwise the document stays as it was.
            if (store->InsertDFLinDB(*m_pFSLib, &id, store->LoggedInUserId(), name) &&
                store->StoreFactorSetsToDB(*m_pFSLib, id)) {
                m_pFSLib->SetID(id);
                stored = true;
            }
        }
    }
    if (stored) {
        SetModifiedFlag(FALSE);
        return TRUE;
    }
    const QString text = QStringLiteral("Unable to save ") + GetTitle();
    AfxMessageBoxIfVisible(text);
    if (qs::factors::FileMode() == 0) qs::factors::AppendLogLine(text);
    return FALSE;
}

BOOL CDFLDoc::CheckUserRight(int category, int right, int& answer, int) {
    if (m_pDBManager == nullptr || Host().store == nullptr) {
        answer = 1;
        return TRUE;
    }
    return Host().store->CheckUserRight(category, right, answer) ? TRUE : FALSE;
}

void CDFLDoc::SynchronizeFactorSets() {
    qs::factors::IFactorLibraryStore* store = Host().store;
    bool changed = false;
    if (store != nullptr && store->CleanupUdSdfsInEachFactorSet(*m_pFSLib, GetProject(), changed) && changed) {
        SetModifiedFlag(TRUE);
        AfxMessageBox(QString::fromLatin1(kMsgSynchronized));
    }
}
