// The commands on user-defined objects: New runs the table wizard and adds
// what it built, Edit runs it again over the object's definition, Delete
// removes the object once nothing reads it and no window shows it.
#include "CProjectDoc.h"

#include <QStringList>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "CCmdUI.h"
#include "CFormula.h"
#include "CKDVVantor.h"
#include "CMDIFrameWnd.h"
#include "CProject.h"
#include "CTableWizard.h"
#include "KernelGlobals.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ProjectHost.h"
#include "TableDialogs.h"

using qs::project::Host;

namespace {

// Keeps the navigator's layer choice when it shows an object.
constexpr unsigned short kAnyLayer = 0xFFFF;

// The boxes that refuse a user-defined change show no icon and appear even
// while the main window is hidden.
void ShowPlainMessage(const QString& text) {
    MessageBox(qs::fw::MainWindow(), text, qs::fw::ApplicationName(), MB_OK);
}

CKDVUdo* UdoStoreOf(const CProject& project) {
    CKDVVantor* vantor = project.GetCKDVVantor();
    return vantor ? vantor->GetUdo() : nullptr;
}

CKDVSummExportList* SummaryListsOf(const CProject& project) {
    CKDVVantor* vantor = project.GetCKDVVantor();
    return vantor ? vantor->GetSummExportList() : nullptr;
}

// The name the database knows an object by: its short name, else its long one.
std::string UserObjectName(const CFormula& object) {
    std::string name = object.GetIDShortName();
    return name.empty() ? object.GetIDLongName() : name;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

QSID WithLayer(QSID id, unsigned short layer) {
    SetIDLayer(id, layer);
    return id;
}

// Arrays are the objects the database's profiles store data of.
bool IsArrayId(QSID id) {
    const int kind = GetIDDOType(id), type = GetIDDataType(id);
    return ((kind == 1 || kind == 2) && (type == 1 || type == 2 || type == 5 || type == 7)) || (kind == 1 && type == 8);
}

bool IsUserKind(QSID id) {
    const int kind = GetIDDOType(DelGraphIDOf(id));
    return kind == 2 || kind == 4 || kind == 6;
}

// The user-defined object Edit and Delete act on: the active object, unless
// the navigator shows the ultimates, whose entries stand for methods.
bool FindActiveUserObject(CProjectDoc& doc, int& category) {
    category = doc.GetActiveObject();
    if (category == CProjectDoc::kCategoryNone || doc.m_nCurrentObjectId == 0 || !doc.IsUserDefinedObject())
        return false;
    if (!Host().navigatorCategory) return true;
    auto* main = dynamic_cast<CMDIFrameWnd*>(qs::fw::MainWindow());
    const CView* view = main ? main->GetActiveView() : nullptr;
    return view == nullptr || Host().navigatorCategory(view) != CProjectDoc::kCategoryUltimates;
}

// Update handlers run on every idle pass: they look at the active object
// without changing the document's current one, which windows opening
// meanwhile read.
class KeepCurrentObject {
public:
    explicit KeepCurrentObject(CProjectDoc& doc)
        : m_doc(doc), m_id(doc.m_nCurrentObjectId), m_layer(doc.m_nCurrentLayer) {}
    ~KeepCurrentObject() {
        m_doc.m_nCurrentObjectId = m_id;
        m_doc.m_nCurrentLayer = m_layer;
    }
    KeepCurrentObject(const KeepCurrentObject&) = delete;
    KeepCurrentObject& operator=(const KeepCurrentObject&) = delete;

private:
    CProjectDoc& m_doc;
    QSID m_id;
    std::uint16_t m_layer;
};

}  // namespace

// ---------------------------------------------------------------- checks

bool CProjectDoc::CanChangeUserObjects() {
    if (m_pProject == nullptr) return false;
    if (m_pProject->Mode() != RM_DATABASE) return true;
    CKDVUdo* store = UdoStoreOf(*m_pProject);
    if (store != nullptr && !store->CheckIfLoadedUdosAreUptodate()) {
        ShowPlainMessage(QStringLiteral(
            "Another user has made changes to one or more user defined objects.\nYou must exit and return in order to "
            "load the changes made to the user defined objects\nbefore you can make any changes."));
        return false;
    }
    if (m_bUserObjectError != 0) {
        ShowPlainMessage(QStringLiteral(
            "There were errors in previous user defined operations.\nYou must exit and return before you can make any "
            "changes."));
        return false;
    }
    return true;
}

bool CProjectDoc::RunUserObjectTransaction(const std::function<bool()>& storeSteps, const QString& failureText,
                                           bool requireBusyWindow) {
    // The database holds the change once committed: nothing is left to save.
    m_pProject->SetModifiedFlag(false);
    SetModifiedFlag(FALSE);
    std::shared_ptr<void> busy;
    if (Host().openBusyWindow)
        busy = Host().openBusyWindow(QStringLiteral("user defined operation"),
                                     QStringLiteral("Waiting on user defined operation to complete"));
    IKDVDatabaseManager* manager = m_pProject->GetDBManager();
    bool begun = false;
    bool done = busy != nullptr || !requireBusyWindow;
    if (done) {
        begun = manager != nullptr && manager->BeginTransaction() >= 0;
        done = begun && storeSteps() && CanChangeUserObjects() && manager->CommitTransaction() >= 0;
    }
    if (!done) {
        // The project keeps the change, the database does not have it: the
        // user hears of it and no further change is allowed until a restart.
        ShowMessageIfVisible(failureText);
        if (begun) manager->RollbackTransaction();
        m_bUserObjectError = 1;
        return false;
    }
    m_pProject->SetModifiedFlag(false);
    SetModifiedFlag(FALSE);
    m_bUserObjectError = 0;
    return true;
}

// ---------------------------------------------------------------- New

void CProjectDoc::OnUpdateNewTable(CCmdUI* ui) {
    KeepCurrentObject keep(*this);
    if (m_pProject == nullptr || GetActiveObject() == kCategoryGraph) {
        ui->Enable(FALSE);
        return;
    }
    ui->Enable(m_pProject->Mode() != RM_DATABASE || gSecAttribs.activeGroup != 0);
}

void CProjectDoc::RunTableWizard(int category) {
    if (m_pProject == nullptr) return;
    if (m_pProject->Mode() == RM_DATABASE && gSecAttribs.activeGroup == 0) {
        ShowPlainMessage(QStringLiteral("You must log in to a group in which you are a member to perform this task."));
        return;
    }
    if (!CanChangeUserObjects()) return;
    CTableWizardPropSheet wizard(m_pProject, category);
    wizard.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    if (wizard.DoModal() != ID_WIZFINISH) return;
    if (!CanChangeUserObjects()) return;
    if (wizard.m_nCategory == kCategoryGraph) {
        ReportMessage(QStringLiteral("Not implemented in this version!"));
        return;
    }
    QSID id = 0;
    if (wizard.AddToProject(id) != 0) {
        ReportMessage(QStringLiteral("Error Creating User Table!"));
        return;
    }
    CKDVUdo* store = m_pProject->Mode() == RM_DATABASE ? UdoStoreOf(*m_pProject) : nullptr;
    std::vector<long> dependents;
    std::vector<std::string> dependentNames;
    if (store != nullptr && (wizard.m_nCategory == kCategoryExhibit || wizard.m_nCategory == kCategoryMethod))
        store->RetrieveDependentQsidsForExhibitsAndMethods(id, dependents, dependentNames);
    m_pProject->SetShowItem(id);
    SetModifiedFlag(TRUE);
    if (Host().showInNavigator) Host().showInNavigator(id, kAnyLayer, this);
    if (m_pProject->Mode() != RM_DATABASE) return;
    RunUserObjectTransaction(
        [&] {
            return store != nullptr && store->InsertUdoObjectNames({long(id)}) &&
                   (dependents.empty() || store->InsertUdoObjectNames(dependents)) && store->SaveAllUdos();
        },
        QStringLiteral("The user defined table was created correctly but \n there was error while saving the user "
                       "defined table to database"),
        true);
    if (store != nullptr) store->CheckIntegrity();
}

// ---------------------------------------------------------------- Edit

void CProjectDoc::OnUpdateEditTable(CCmdUI* ui) {
    KeepCurrentObject keep(*this);
    int category = kCategoryNone;
    const bool found = FindActiveUserObject(*this, category);
    const bool graph = IsGraphID(m_nCurrentObjectId);
    ui->SetText(graph ? QStringLiteral("R&ename") : QStringLiteral("&Edit"));
    ui->Enable(found && (!graph || Host().renameGraph != nullptr));
}

void CProjectDoc::OnEditTable() {
    int category = kCategoryNone;
    if (!FindActiveUserObject(*this, category)) return;
    if (IsGraphID(m_nCurrentObjectId)) {
        RenameGraph(m_nCurrentObjectId);
        return;
    }
    EditUserObject(category, m_nCurrentObjectId);
}

void CProjectDoc::RenameGraph(QSID id) {
    if (m_pProject == nullptr || !Host().renameGraph) return;
    const QSID graph = DelGraphIDOf(id);
    if (!Host().renameGraph(*this, graph)) return;
    SetModifiedFlag(TRUE);
    UpdateAllViews(nullptr, 2);  // an open window of the graph retitles itself
    // The navigator shows the new name, with the graph selected.
    if (Host().refreshNavigator) Host().refreshNavigator();
    if (Host().showInNavigator) Host().showInNavigator(graph, kAnyLayer, this);
    // The graph records of a database project keep their names in the
    // database, which the enterprise subsystem writes.
}

void CProjectDoc::EditUserObject(int category, QSID id) {
    if (m_pProject == nullptr) return;
    if (m_pProject->IsViewed(id) != 0) {
        ShowMessageIfVisible(QStringLiteral("This Table is open!\nClose all its views before editing."));
        return;
    }
    if (!qs::project::IsInteractive() && !CanChangeUserObjects()) return;
    const bool methodOrReport = category == kCategoryMethod || category == kCategoryReport;
    CTableWizardPropSheet wizard(m_pProject, category, nullptr, methodOrReport ? 2 : 1);
    wizard.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    CFormula* object = nullptr;
    if (m_pProject->BeginEditObject(id, object) != 0 || object == nullptr) {
        ReportMessage(QStringLiteral("Error Editing User Object!(begin)\n"));
        return;
    }
    const bool database = m_pProject->Mode() == RM_DATABASE;
    const std::string oldName = database ? UserObjectName(*object) : std::string();
    wizard.SetEditObject(object);
    if (wizard.DoModal() != ID_WIZFINISH || (!qs::project::IsInteractive() && !CanChangeUserObjects())) {
        m_pProject->EndEditObject(object, 0, 0);
        return;
    }
    const std::string newName = UserObjectName(*object);
    const bool nameChanged = database && !SameNameIgnoringCase(oldName, newName);
    if (m_pProject->EndEditObject(object, 1, wizard.m_bHasSelectedFactors) != 0) {
        // The edit is lost: the user must hear of it, not only the log.
        ReportMessage(QStringLiteral("Error Editing User Object!(end)\n"));
        return;
    }
    SetModifiedFlag(TRUE);
    if (Host().showInNavigator) Host().showInNavigator(id, kAnyLayer, this);
    if (database) SaveEditedUserObject(id, nameChanged, newName);
}

void CProjectDoc::SaveEditedUserObject(QSID id, bool nameChanged, const std::string& newName) {
    CKDVUdo* store = UdoStoreOf(*m_pProject);
    if (store == nullptr) return;
    std::vector<long> dependents;
    std::vector<std::string> dependentNames;
    store->RetrieveDependentQsidsForExhibitsAndMethods(id, dependents, dependentNames);
    const bool saved = RunUserObjectTransaction(
        [&] {
            if (nameChanged) {
                if (!store->UpdateUdoObjectNames({long(id)})) return false;
                if (!dependents.empty() && !store->UpdateUdoObjectNames(dependents)) return false;
                // The profiles' copies of the name follow; they are not part of the check.
                store->EditNamesOfDataObjectsFromProfiles({long(WithLayer(id, 1))}, dependents, newName);
            }
            return store->SaveAllUdos();
        },
        QStringLiteral("The user defined table was edited correctly but \nthere was error while saving it to the "
                       "database."),
        true);
    if (!saved) return;
    store->CheckIntegrity();
    CKDVSummExportList* lists = SummaryListsOf(*m_pProject);
    if (nameChanged && lists != nullptr) {
        lists->UpdateAllSummaryListsIfUdoNameIsModified({long(id)}, {newName});
        lists->UpdateAllSummaryListsIfUdoNameIsModified(dependents, dependentNames);
    }
}

// ---------------------------------------------------------------- Delete

void CProjectDoc::OnUpdateDeleteTable(CCmdUI* ui) {
    KeepCurrentObject keep(*this);
    int category = kCategoryNone;
    ui->Enable(FindActiveUserObject(*this, category));
}

void CProjectDoc::OnDeleteTable() {
    int category = kCategoryNone;
    if (!FindActiveUserObject(*this, category)) return;
    DeleteUserObject(category, m_nCurrentObjectId, TRUE);
}

bool CProjectDoc::CanDeleteUserObject(QSID id) {
    if (m_pProject->HasDependents(id)) {
        QSStringArray names;
        m_pProject->GetDependents(id, names);
        QStringList dependents;
        for (const std::string& name : names) dependents << QString::fromStdString(name);
        CDependentsWarningDlg warning(nullptr, dependents);
        warning.DoModal();
        LogMessage(QStringLiteral("This table is used by formulas in other tables!"));
        return false;
    }
    if (m_pProject->IsViewed(id) != 0) {
        const QString text = QStringLiteral("This Table is open!\nClose all its views before deleting.");
        ShowMessageIfVisible(text);
        LogMessage(text);
        return false;
    }
    return true;
}

void CProjectDoc::DeleteUserObject(int /*category*/, QSID id, BOOL confirm) {
    if (m_pProject == nullptr || !CanDeleteUserObject(id)) return;
    const bool graph = IsGraphID(id);
    if (confirm && AfxMessageBox(graph ? QStringLiteral("Delete Graph?") : QStringLiteral("Delete Table?"),
                                 MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    // Any project that is not the database's is a file project.
    if (m_pProject->Mode() != RM_DATABASE) {
        if (m_pProject->DeleteObject(id) != 0) {
            ReportMessage(QStringLiteral("Error: CProject::DeleteObject\n"));
            return;
        }
        m_nCurrentObjectId = 0;
        SetModifiedFlag(TRUE);
        if (Host().refreshNavigator) Host().refreshNavigator();
        return;
    }
    if (graph) {
        CKDVGraph* graphs = GetGraphStore();
        if (graphs == nullptr || !graphs->DeleteGraphRecord(WithLayer(id, 1))) return;
        if (m_pProject->DeleteObject(WithLayer(id, 0)) != 0) {
            ReportMessage(QStringLiteral("Error: CProject::DeleteObject\n"));
            return;
        }
        m_nCurrentObjectId = 0;
        if (Host().refreshNavigator) Host().refreshNavigator();
        return;
    }
    if (!IsUserKind(id) || !CanChangeUserObjects()) return;
    std::vector<long> dependents;
    std::vector<std::string> dependentNames;
    if (CKDVUdo* store = UdoStoreOf(*m_pProject))
        store->RetrieveDependentQsidsForExhibitsAndMethods(id, dependents, dependentNames);
    if (m_pProject->DeleteObject(id) != 0) {
        ReportMessage(QStringLiteral("Error: CProject::DeleteObject\n"));
        return;
    }
    m_nCurrentObjectId = 0;
    if (Host().refreshNavigator) Host().refreshNavigator();
    DeleteUserObjectFromDatabase(id, dependents, dependentNames);
}

void CProjectDoc::DeleteUserObjectFromDatabase(QSID id, const std::vector<long>& dependents,
                                               const std::vector<std::string>& /*dependentNames*/) {
    CKDVUdo* store = UdoStoreOf(*m_pProject);
    const bool allArrays = std::all_of(dependents.begin(), dependents.end(), [](long d) { return IsArrayId(QSID(d)); });
    const bool saved = RunUserObjectTransaction(
        [&] {
            return store != nullptr && store->DeleteDataObjectsFromProfiles({long(id)}) &&
                   (dependents.empty() || !allArrays || store->DeleteDataObjectsFromProfiles(dependents)) &&
                   store->DeleteUdoObjectNames({long(id)}) &&
                   (dependents.empty() || store->DeleteUdoObjectNames(dependents)) && store->SaveAllUdos();
        },
        QStringLiteral("Error while Deleting User Defined Table"), false);
    if (!saved) return;
    store->CheckIntegrity();
    if (CKDVSummExportList* lists = SummaryListsOf(*m_pProject)) {
        lists->UpdateAllSummaryListsIfUdoIsDeleted({long(id)});
        lists->UpdateAllSummaryListsIfUdoIsDeleted(dependents);
    }
}
