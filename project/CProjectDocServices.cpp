// Small services of the project document: its path and title, the close
// question, user-defined objects and the database's graph records, and the
// field names page setups offer.
#include <QFileInfo>

#include "CCmdUI.h"
#include "CDocTemplate.h"
#include "CKDVVantor.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ProjectHost.h"

using qs::project::Host;

namespace {

bool IsGraph(QSID id) { return id >= kGraphFlag || GetIDDOType(id) == 8; }

bool DisplayGraphLockItem() { return Host().displayGraphLockItem && Host().displayGraphLockItem(); }

// A record of the database's graph store: the graph's id in layer 1.
long GraphRecordId(QSID id) {
    QSID record = DelGraphIDOf(id);
    SetIDLayer(record, 1);
    return record;
}

}  // namespace
// ---------------------------------------------------------------- path and title

void CProjectDoc::SetPathName(const QString& path, BOOL bAddToMRU) {
    // The project names its file by the full long name: there are no short
    // names here.
    if (m_pProject != nullptr && !path.isEmpty()) m_pProject->SetFileName(QFileInfo(path).absoluteFilePath().toStdString());
    CDocument::SetPathName(path, bAddToMRU);
    const int showExtension = Host().showExtension ? Host().showExtension() : 1;
    if (showExtension != 0) return;
    QString extension;
    if (m_pDocTemplate) m_pDocTemplate->GetDocString(extension, CDocTemplate::filterExt);
    if (extension.isEmpty()) extension = QStringLiteral(".qs5");
    const QString title = GetTitle();
    if (title.size() < 4) return;
    if (title.right(4).left(3).compare(extension.left(3), Qt::CaseInsensitive) != 0) return;
    const int dot = title.indexOf(QLatin1Char('.'));
    if (dot > 0) SetTitle(title.left(dot));
}

// ---------------------------------------------------------------- duplicate names on load

void CProjectDoc::CheckDuplicateTableNames(const QString& fileName) {
    if (m_pProject == nullptr) return;
    // Older files could hold user tables whose names clash within their
    // category; they are listed for the user to rename.
    QSStringArray names;
    for (QSID first : {1001, 5001, 6001, 7001}) m_pProject->ReportDuplicateNamesForOldQsUserDefined(first, names);
    if (names.empty()) return;
    const auto write = [](const QString& text) {
        if (Host().writeStatusWindow) Host().writeStatusWindow(text);
    };
    const bool visible = Host().statusWindowVisible && Host().statusWindowVisible();
    if (!visible && Host().openStatusWindow &&
        Host().openStatusWindow(QStringLiteral("Checking for Duplicate Names while loading files"))) {
        write(QStringLiteral("\nQuillstone requires that all table names be unique  "));
        write(QStringLiteral("within their input, exhibit, method, or report category."));
        write(QStringLiteral("The following user defined tables were found to have names"));
        write(QStringLiteral("that already exist. Please edit the names of these objects.\n\n\n"));
    }
    write(fileName.toUpper());
    for (const std::string& name : names) write(QString::fromStdString(name));
}

BOOL CProjectDoc::SaveModified() {
    if (!IsModified()) return TRUE;
    QString name = GetPathName();
    if (name.isEmpty()) name = GetTitle();
    if (name.isEmpty()) name = QStringLiteral("Untitled");
    switch (AfxMessageBox(QStringLiteral("Save changes to %1?").arg(name), MB_YESNOCANCEL)) {
    case IDCANCEL: return FALSE;
    case IDYES: return DoFileSave();
    default: return TRUE;
    }
}

// ---------------------------------------------------------------- user-defined objects and graph records

void CProjectDoc::CheckUserDefinedObject(BOOL& flag) const {
    const QSID id = DelGraphIDOf(m_nCurrentObjectId);
    if (IsGraph(m_nCurrentObjectId)) {
        flag = GetIDIndex(id) > 500 ? TRUE : FALSE;
        return;
    }
    const int kind = GetIDDOType(id);
    if (kind != 2 && kind != 4 && kind != 6) flag = FALSE;
}

bool CProjectDoc::IsUserDefinedObject() {
    BOOL flag = TRUE;
    CheckUserDefinedObject(flag);
    return flag == TRUE;
}

CKDVGraph* CProjectDoc::GetGraphStore() const {
    CKDVVantor* vantor = m_pProject ? m_pProject->GetCKDVVantor() : nullptr;
    return vantor ? vantor->GetGraph() : nullptr;
}

int CProjectDoc::ReloadGraphs() {
    if (m_pProject == nullptr) return 0;
    m_pProject->CleanUpUdoGraphs();
    CKDVGraph* store = GetGraphStore();
    if (store == nullptr) return 0;
    const int result = store->Load();
    if (Host().refreshNavigator) Host().refreshNavigator();
    return result;
}

void CProjectDoc::OnLockGraph() {
    if (qs::project::IsInteractive()) return;
    if (!IsGraph(m_nCurrentObjectId) && GetCategoryOfID(m_nCurrentObjectId) != 8000) return;
    if (GetIDIndex(DelGraphIDOf(m_nCurrentObjectId)) < 501) return;
    CKDVGraph* store = GetGraphStore();
    if (store == nullptr) return;
    // A lock the database refused is no lock: the user must hear of it.
    if (store->RevertRecordLock(GraphRecordId(m_nCurrentObjectId)) < 0)
        ReportMessage(QStringLiteral("The lock of this graph could not be changed."));
}

void CProjectDoc::OnUpdateLockGraph(CCmdUI* ui) {
    const bool enable = !qs::project::IsInteractive() && IsGraph(m_nCurrentObjectId) &&
                        GetIDIndex(DelGraphIDOf(m_nCurrentObjectId)) > 500 && DisplayGraphLockItem();
    ui->Enable(enable);
    if (!enable) return;
    CKDVGraph* store = GetGraphStore();
    if (store == nullptr) return;
    int lock = 0;
    const int result = store->GetRecordLockStatus(GraphRecordId(m_nCurrentObjectId), lock);
    ui->SetCheck(result >= 0 && lock != 0 ? 1 : 0);
}

void CProjectDoc::OnLockGraphCreation() {
    CKDVGraph* store = GetGraphStore();
    if (store == nullptr) return;
    if (store->RevertCreateGraphLock() < 0)
        ReportMessage(QStringLiteral("The lock for creating graphs could not be changed."));
}

void CProjectDoc::OnUpdateLockGraphCreation(CCmdUI* ui) {
    const bool enable = !qs::project::IsInteractive() && DisplayGraphLockItem();
    ui->Enable(enable);
    if (!enable) {
        ui->SetText(QString());
        return;
    }
    CKDVGraph* store = GetGraphStore();
    if (store == nullptr) return;
    int lock = 0;
    const int result = store->GetCreateGraphLockStatus(lock);
    ui->SetCheck(result >= 0 && lock != 0 ? 1 : 0);
}

void CProjectDoc::OnRefreshUserGraphs() { ReloadGraphs(); }

void CProjectDoc::OnUpdateRefreshUserGraphs(CCmdUI* ui) { ui->Enable(!qs::project::IsInteractive()); }

// ---------------------------------------------------------------- print field names

const QStringList& CProjectDoc::GetPrintFieldNames() {
    if (m_bPrintFieldNamesBuilt) return m_printFieldNames;
    m_bPrintFieldNamesBuilt = true;
    m_printFieldNames = {QStringLiteral("As of Date"), QStringLiteral("Comment"),    QStringLiteral("Company Name"),
                         QStringLiteral("Description"), QStringLiteral("Page"),     QStringLiteral("Print Date"),
                         QStringLiteral("Print Time")};
    if (qs::project::IsInteractive()) {
        m_printFieldNames << QStringLiteral("File Date") << QStringLiteral("File Path") << QStringLiteral("File Time")
                          << QStringLiteral("File Name");
    } else {
        m_printFieldNames << QStringLiteral("Evaluation Date") << QStringLiteral("Query")
                          << QStringLiteral("--------------");
        AddCategoryFieldNames(m_printFieldNames);
    }
    return m_printFieldNames;
}

void CProjectDoc::AddCategoryFieldNames(QStringList& names) {
    if (!Host().queryStrings) return;
    std::vector<std::string> classes;
    if (Host().queryStrings(*this,
                            "select CLASS_NAME from CATEGORIES_TBL where IS_SYSTEM <> 1 order by upper(CLASS_NAME)",
                            classes) != 0)
        return;
    for (std::size_t i = 0; i < classes.size(); ++i) {
        if (i > 0) names << QStringLiteral("--");
        const QString name = QString::fromStdString(classes[i]);
        names << name + QStringLiteral(" Type") << name + QStringLiteral(" Type Description");
    }
}
