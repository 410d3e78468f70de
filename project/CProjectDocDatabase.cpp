// Database mode of the project document: binding to a database manager, the
// user's rights within the system (component permissions, the group query),
// the two flags those checks keep, and a new project made without a dialog.
#include <QWidget>

#include "CKDVVantor.h"
#include "CPrjSheet.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "DatabaseManager.h"
#include "GroupQuery.h"
#include "KernelGlobals.h"
#include "MessageBox.h"
#include "ProjectHost.h"
#include "WaitCursor.h"

using qs::db::DatabaseManager;
using qs::project::Host;

namespace {
constexpr long kInvalidArg = -2147024809L;  // E_INVALIDARG
constexpr long kFail = -2147467259L;        // E_FAIL
constexpr long kNoInterface = -2147467262L; // E_NOINTERFACE
}  // namespace

long CProjectDoc::InitWithDatabaseManager(const std::shared_ptr<IKDVDatabaseManager>* source) {
    qs::db::InstallProjectBinder();
    if (source == nullptr || !*source) return kInvalidArg;
    ReleaseDatabase();
    auto manager = std::dynamic_pointer_cast<DatabaseManager>(*source);
    if (!manager) return kNoInterface;
    m_pDbManager = manager;
    if (m_pProject == nullptr || m_pProject->InitProjectWithDBManager(manager.get()) < 0) {
        m_pDbManager.reset();
        return kFail;
    }
    // The data-access interface is the manager's own; the connection is its
    // logged-in session: the database says who the user is and what the
    // user's group may do.
    m_pDataAccess = manager;
    long result = 0;
    QString why;
    if (!manager->IsLoggedIn() && !manager->Login(&why)) {
        result = kFail;
        m_strDatabaseError = why;
    } else {
        m_pConnection = manager;
        manager->Login().ToKernel(gSecAttribs);
        if (CKDVVantor* vantor = m_pProject->GetCKDVVantor()) {
            m_pUdoStore = vantor->GetUdo();
            m_pSummExportListStore = vantor->GetSummExportList();
            if (m_pUdoStore == nullptr || m_pSummExportListStore == nullptr) result = kFail;
        }
    }
    // A bound document is driven by the scripting server, not by a person;
    // a binding that failed leaves the program as interactive as it was.
    if (result >= 0 && Host().setInteractive) Host().setInteractive(false);
    return result;
}

void CProjectDoc::ReleaseDatabase() {
    if (m_pDbManager && m_pProject != nullptr) {
        if (auto* manager = dynamic_cast<DatabaseManager*>(m_pDbManager.get())) {
            m_pProject->BindDatabase(nullptr, nullptr);
            manager->ReleaseProject(m_pProject);
        }
    }
    m_pConnection.reset();
    m_pDataAccess.reset();
    m_pDbManager.reset();
    m_pUdoStore = nullptr;
    m_pSummExportListStore = nullptr;
}

BOOL CProjectDoc::CheckPermission(long kind, unsigned mask, BOOL& allowed) {
    allowed = FALSE;
    if (!m_pDataAccess || !m_pConnection) {
        allowed = TRUE;
        return TRUE;
    }
    const int level = gSecAttribs.AccessLevel(static_cast<int>(kind));
    return CheckLevelPermission(kind, level, mask, allowed);
}

BOOL CProjectDoc::CheckObjectPermission(long objectId, long kind, unsigned mask, BOOL& allowed) {
    allowed = FALSE;
    if (!m_pDataAccess || !m_pConnection) {
        allowed = TRUE;
        return TRUE;
    }
    return CheckLevelPermission(kind, objectId, mask, allowed);
}

BOOL CProjectDoc::CheckLevelPermission(long kind, long level, unsigned mask, BOOL& allowed) {
    allowed = FALSE;
    if (kind == -1 || level < 0) return TRUE;
    if (level == 0) {
        allowed = TRUE;
        return TRUE;
    }
    std::uint16_t word = 0;
    if (m_pDataAccess->PermissionWord(static_cast<int>(kind), level, gSecAttribs.userId, word) < 0) return FALSE;
    allowed = (word & mask) != 0 ? TRUE : FALSE;
    return TRUE;
}

BOOL CProjectDoc::RefreshTemplateWriteAccess() {
    m_bTemplateWrite = 0;
    BOOL allowed = FALSE;
    if (CheckPermission(qs::db::kKindTemplates, qs::db::kPermissionUpdate, allowed) && allowed) m_bTemplateWrite = 1;
    return TRUE;
}

BOOL CProjectDoc::RefreshGroupQueryFlag(const QString& profile) {
    m_bGroupQuery = 0;
    if (!m_pDataAccess || !m_pConnection) return FALSE;
    QString queryId, query;
    if (m_pDataAccess->GroupQueryId(gSecAttribs.groupId, queryId) < 0) return FALSE;
    if (m_pDataAccess->GroupQueryText(queryId, query) < 0) return FALSE;
    if (gSecAttribs.activeGroup != 0 && qs::db::MatchGroupQuery(profile, query)) m_bGroupQuery = 1;
    return TRUE;
}

long CProjectDoc::GetUdoidFromQsidAndType(long id, int type) {
    return m_pUdoStore != nullptr ? m_pUdoStore->GetUdoidFromQsidAndType(id, type) : -1;
}

BOOL CProjectDoc::CreateNewProject(std::uint16_t numExp, std::uint16_t expLength, std::uint16_t firstYear,
                                   std::uint16_t firstInterval, std::uint16_t numDev, std::uint16_t devLength,
                                   std::uint16_t firstAge, std::uint16_t prior, std::uint16_t calc1,
                                   std::uint16_t calc2) {
    if (!CDocument::OnNewDocument() || m_pProject == nullptr) return FALSE;
    RedrawMainWindow();
    NewProjectStructure s;
    s.generation = 5;
    s.numExp = numExp;
    s.expLength = static_cast<PRDLENGTH>(expLength);
    s.firstYear = firstYear;
    s.firstInterval = firstInterval;
    s.numDev = numDev;
    s.devLength = static_cast<PRDLENGTH>(devLength);
    s.startMonths = firstAge;
    s.includesPrior = prior != 0;
    s.calc1 = static_cast<LAYERNAMES>(calc1);
    s.calc2 = static_cast<LAYERNAMES>(calc2);
    if (!CheckProjectStructure(s)) return FALSE;
    CWaitCursor wait;
    BeginStatusProgress(QStringLiteral("Creating ") + GetTitle());
    BOOL result = FALSE;
    QString closing;
    try {
        m_pProject->SetIncludesPrior(s.includesPrior);
        const QSSTATUS status = m_pProject->Create(s.generation, s.numExp, s.expLength, s.firstYear, s.firstInterval,
                                                   s.numDev, s.devLength, s.startMonths, s.calc1, s.calc2);
        if (status == 0) {
            closing = GetTitle() + QStringLiteral(" successfully created.");
            m_pProject->SetPrintCumulative(1);
            if (Host().setViewDataOnly) Host().setViewDataOnly(false);
            result = TRUE;
        } else {
            ReportMessage(QStringLiteral("Error creating new file."));
        }
    } catch (...) {
        result = FALSE;
    }
    StepStatusProgress(closing);
    return result;
}
