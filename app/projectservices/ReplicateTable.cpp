// Replicating the current user-defined table or graph into other open
// projects or project files. The new names are tested against every chosen
// target before anything is copied; the Replicate dialog comes back until
// they are free or the user gives up.
#include <QFileInfo>

#include "CProject.h"
#include "CProjectDoc.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ProjectFileNames.h"
#include "ProjectHost.h"
#include "ProjectReplicate.h"
#include "WaitCursor.h"
#include "dialogs/ProjectDialogs.h"
#include "frames/CBusyDialog.h"
#include "frames/StatusWindow.h"
#include "projectservices/ProjectServices.h"

namespace qs::app {

namespace {

constexpr UINT kReplicateCaption = 61468;  // "Replicate"
const char* const kNameCheckTitle = "Checking for Duplicate Names -  Status";

enum PassResult : int { kNamesFree = 0, kAskAgain = 1, kCannotOpen = 2, kCancelled = 3 };

std::string Std(const QString& s) { return s.toStdString(); }
QString FromStd(const std::string& s) { return QString::fromStdString(s); }

bool IsGraphId(QSID id) { return id >= kGraphFlag || GetIDDOType(id) == 8; }

bool IsUserDefined(QSID id) {
    const QSID bare = DelGraphIDOf(id);
    const int kind = GetIDDOType(bare);
    if (IsGraphId(id)) return GetIDIndex(bare) > 500;
    return kind == 2 || kind == 4 || kind == 6;
}

int ActiveCategory(CProjectDoc& doc) {
    if (ServicesHost().activeObject) return ServicesHost().activeObject(doc);
    return doc.m_nCurrentObjectId > 0 ? int(GetCategoryOfID(DelGraphIDOf(doc.m_nCurrentObjectId))) : 0;
}

QString OrDashes(const QString& name) { return name.isEmpty() ? QStringLiteral("  ----  ") : name; }

QString ConflictReport(const QString& name, const QString& shortName, std::uint16_t tableId,
                       const std::string& conflictName, const std::string& conflictShort) {
    return QStringLiteral("NAME: ") + name + QStringLiteral("\nABBREVIATED NAME: ") + OrDashes(shortName) +
           QStringLiteral("\n\nconflicts with \n\n") + QStringLiteral("TABLE ID: %1 \n").arg(unsigned(tableId)) +
           QStringLiteral("NAME: ") + FromStd(conflictName) + QStringLiteral("\nABBREVIATED NAME: ") +
           OrDashes(FromStd(conflictShort)) + QStringLiteral("\n");
}

// The abbreviated name first, then the name: the first taken one is reported.
bool FindTakenName(const CProject& target, const QString& name, const QString& shortName, int category,
                   QString& taken, QString& report) {
    for (const QString& tested : {shortName, name}) {
        if (tested.isEmpty()) continue;
        std::string conflictName, conflictShort;
        std::uint16_t tableId = 65535;
        if (target.IsNameUnique(Std(tested), category, 0, &conflictName, &conflictShort, &tableId)) continue;
        taken = tested;
        report = ConflictReport(name, shortName, tableId, conflictName, conflictShort);
        return true;
    }
    return false;
}

CProjectDoc* OpenProjectByTitle(const QString& title) {
    if (!ServicesHost().openProjects) return nullptr;
    for (CProjectDoc* doc : ServicesHost().openProjects())
        if (doc->GetTitle() == title) return doc;
    return nullptr;
}

// One run of the dialog and the test of its names against every target.
int ReplicateDialogPass(CReplicateDlg& dialog, QString& name, int category, QList<int>& saved) {
    if (!saved.isEmpty()) dialog.m_savedSelection = saved;
    if (dialog.DoModal() != IDOK) return kCancelled;
    name = dialog.m_strNewName;
    const QString shortName = dialog.m_strNewShortName;
    StatusWindowClear();
    int result = kNamesFree;
    if (dialog.m_nBatch == 0) {
        const std::vector<CProjectDoc*> docs =
            ServicesHost().openProjects ? ServicesHost().openProjects() : std::vector<CProjectDoc*>{};
        for (CProjectDoc* doc : docs) {
            if (!dialog.m_destinations.contains(doc->GetTitle()) || doc->GetProject() == nullptr) continue;
            QString taken, report;
            if (!FindTakenName(*doc->GetProject(), name, shortName, category, taken, report)) continue;
            StatusWindowOpen(QString::fromUtf8(kNameCheckTitle));
            StatusWindowWrite(QStringLiteral("\n") + taken + QStringLiteral(" found in \n") + doc->GetTitle() +
                              QStringLiteral("\n"));
            StatusWindowWrite(report);
            result = kAskAgain;
            break;
        }
        if (ServicesHost().refreshNavigator) ServicesHost().refreshNavigator();
    } else {
        const QStringList& paths = dialog.m_destinations;
        CBusyDialog busy(kReplicateCaption);
        busy.m_strCancelCaption = QStringLiteral("Cancel batch");
        if (!busy.Create(nullptr, paths.size() > 1)) return kAskAgain;
        for (const QString& path : paths) {
            busy.SetPosLower();
            busy.PumpMessages();
            if (busy.CheckCancel() && AfxMessageBox(QStringLiteral("Are you sure you want to Cancel?"), MB_YESNO) == IDYES) {
                result = kAskAgain;
                break;
            }
            CProjectDoc* open = ServicesHost().findOpenProject ? ServicesHost().findOpenProject(path) : nullptr;
            std::unique_ptr<CProjectDoc> opened;
            if (open != nullptr) {
                if (ServicesHost().selectInNavigator && !ServicesHost().selectInNavigator(open)) {
                    result = kCannotOpen;
                    break;
                }
            } else {
                opened = OpenProjectWithoutWindow(path);
            }
            CProjectDoc* target = open ? open : opened.get();
            if (target == nullptr || target->GetProject() == nullptr) {
                StatusWindowOpen(QString::fromUtf8(kNameCheckTitle));
                StatusWindowWrite(target == nullptr ? QStringLiteral(" Error: Open file failed! Aborting Process!")
                                                    : QStringLiteral(" Error: Open or create file failed! Aborting Process!"));
                result = kCannotOpen;
                break;
            }
            busy.SetPosLower();
            QString taken, report;
            if (FindTakenName(*target->GetProject(), name, shortName, category, taken, report)) {
                StatusWindowOpen(QString::fromUtf8(kNameCheckTitle));
                StatusWindowWrite(QStringLiteral("   ") + taken + QStringLiteral(" found in \n\r  ") + path +
                                  QStringLiteral("\n"));
                StatusWindowWrite(report);
                result = kAskAgain;
            }
            busy.SetPosUpper();
            opened.reset();  // opened only for the test: closed unchanged
            if (result == kAskAgain) break;
        }
        busy.DestroyWindow();
    }
    if (result == kAskAgain) StatusWindowWrite(QStringLiteral("\r\n The name exists  in one or more files!"));
    saved = dialog.m_savedSelection;
    return result;
}

// The dialog, again and again while a name is taken: false when replication
// may go on with the names handed back, true when the command must stop.
bool RunReplicateDialog(CProjectDoc& doc, CReplicateDlg& dialog, QSID id, int category, QString& shortName,
                        QString& name) {
    CProject& project = *doc.GetProject();
    const int showTableId = project.GetShowTableID();
    project.SetShowTableID(0);
    std::string abbreviation, longName;
    project.GetShortNameFromID(id, abbreviation);
    project.GetLongNameFromID(id, longName);
    dialog.m_strSourceTitle = doc.GetTitle();
    dialog.m_strObject = QStringLiteral(" ") + doc.GetTitle() + QStringLiteral("\n Object Info.") +
                         QStringLiteral("\n Name:  ") + FromStd(longName) + QStringLiteral("\n Abbreviated Name:  ") +
                         FromStd(abbreviation);
    dialog.m_strNewName = FromStd(longName);
    dialog.m_strNewShortName = FromStd(abbreviation);
    QList<int> saved;
    int result = kAskAgain;
    while (result == kAskAgain) result = ReplicateDialogPass(dialog, name, category, saved);
    name = dialog.m_strNewName;
    shortName = dialog.m_strNewShortName;
    project.SetShowTableID(showTableId);
    if (result == kNamesFree) return false;
    if (result == kCannotOpen) doc.ReportMessage(QStringLiteral("Error: Open or create file failed! Aborting Process!"));
    return true;
}

bool ChooseReplicateFiles(QStringList& paths) {
    return ServicesHost().chooseProjectFiles &&
           ServicesHost().chooseProjectFiles(QStringLiteral("Replicate to file(s)"), QStringLiteral("Replicate"), paths);
}

// A project file of an older generation is saved as a new ".qs5" only when
// the user agrees and names it.
bool SaveReplicatedFile(CProjectDoc& target, const QString& path) {
    QString name = path;
    if (!path.endsWith(QLatin1String(".qs5"), Qt::CaseInsensitive)) {
        if (AfxMessageBox(QStringLiteral("The file ") + path + QStringLiteral(" will be saved as .QS5"), MB_OKCANCEL) != IDOK) {
            StatusWindowWrite(QStringLiteral(" Replication cancelled"));
            return true;
        }
        name = QFileInfo(path).path() + QLatin1Char('/') + QFileInfo(path).completeBaseName() + QStringLiteral(".qs5");
        qs::project::ProjectHost& host = qs::project::Host();
        if (!host.chooseSaveFile || !host.chooseSaveFile(name, 61441, 0x804, nullptr)) {
            StatusWindowWrite(QStringLiteral(" Replication cancelled"));
            return true;
        }
        if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".qs5");
    }
    if (!target.OnSaveDocument(name)) {
        StatusWindowWrite(QStringLiteral(" Error: Save Document failed. "));
        return false;
    }
    StatusWindowWrite(QStringLiteral("\tSaved ") + name);
    return true;
}

}  // namespace

bool ReplicateObject(CProjectDoc& doc, CProject& target, const QString& name, const QString& shortName) {
    CProject& source = *doc.GetProject();
    const QSID id = DelGraphIDOf(doc.m_nCurrentObjectId);
    CFormula* copy = nullptr;
    if (source.DuplicateObject(id, Std(name), Std(shortName), copy) != 0 || copy == nullptr) {
        doc.ReportMessage(QStringLiteral("Error Replicating Table!\n"));
        return false;
    }
    QSStringArray missing;
    GetReplicateMissingSources(source, id, target, missing);
    if (!missing.empty()) {
        delete copy;
        QString names;
        for (const std::string& n : missing) names += (names.isEmpty() ? QString() : QStringLiteral(", ")) + FromStd(n);
        doc.ReportMessage(QStringLiteral("Error Replicating Table!\nTables not found in the target file: ") + names);
        return false;
    }
    QSID newId = 0;
    if (AddReplicatedObject(target, source, id, copy, newId) != 0) {
        doc.ReportMessage(QStringLiteral("Error Replicating Object!"));
        return false;
    }
    return true;
}

void ReplicateToFiles(CProjectDoc& doc, const QStringList& paths, const QString& name, const QString& shortName) {
    StatusWindowOpen(QStringLiteral("Replication Status"));
    CBusyDialog busy(kReplicateCaption);
    busy.m_strCancelCaption = QStringLiteral("Cancel batch");
    const bool busyUp = busy.Create(nullptr, true);
    bool anyError = false;
    for (int i = 0; i < paths.size(); ++i) {
        const QString& path = paths.at(i);
        StatusWindowWrite(QStringLiteral("\r\n Replicating to ") + path);
        if (busyUp) {
            busy.SetMessage(QStringLiteral("Replicating to ") + path);
            busy.SetPos(paths.isEmpty() ? 0 : int(i * 100 / paths.size()));
            busy.PumpMessages();
            if (busy.CheckCancel() && AfxMessageBox(QStringLiteral("Are you sure you want to Cancel?"), MB_YESNO) == IDYES) {
                StatusWindowWrite(QStringLiteral(" Replication cancelled"));
                break;
            }
        }
        CProjectDoc* open = ServicesHost().findOpenProject ? ServicesHost().findOpenProject(path) : nullptr;
        std::unique_ptr<CProjectDoc> opened;
        if (open != nullptr) {
            if (ServicesHost().selectInNavigator && !ServicesHost().selectInNavigator(open)) {
                StatusWindowWrite(QStringLiteral(" Error: Open or create file failed! Aborting Process!"));
                anyError = true;
                break;
            }
        } else {
            StatusWindowWrite(QStringLiteral("\tOpen File ") + path);
            opened = OpenProjectWithoutWindow(path);
            if (!opened || opened->GetProject() == nullptr) {
                StatusWindowWrite(QStringLiteral(" Error: Open file failed! Aborting Process!"));
                anyError = true;
                break;
            }
        }
        CProjectDoc* target = open ? open : opened.get();
        if (ReplicateObject(doc, *target->GetProject(), name, shortName)) {
            StatusWindowWrite(QStringLiteral("\tTable replicated to ") + path);
            target->GetProject()->CheckMethodUltimateIntegrityForFile(Std(path));
            if (opened && !SaveReplicatedFile(*opened, path)) anyError = true;
            if (open) open->SetModifiedFlag(TRUE);
        } else {
            StatusWindowWrite(QStringLiteral(" Error: Replicating table to ") + path);
            anyError = true;
        }
        opened.reset();
    }
    StatusWindowWrite(anyError ? QStringLiteral("\r\n Replication failed in one or more files!")
                               : QStringLiteral("\r\n Operation completed successfully."));
    if (busyUp) busy.DestroyWindow();
    if (ServicesHost().refreshNavigator) ServicesHost().refreshNavigator();
}

void OnReplicateTable(CProjectDoc& doc) {
    if (doc.GetProject() == nullptr) return;
    const int category = ActiveCategory(doc);
    const QSID id = DelGraphIDOf(doc.m_nCurrentObjectId);
    if (category == 0 || id == 0 || id == -1) return;
    if (doc.GetProject()->IsIDSummaryReport(id)) {
        doc.ReportMessage(QStringLiteral("This report cannot be replicated."));
        return;
    }
    // The database form (shared user-defined objects and graph records)
    // belongs to the database mode of the document.
    if (!qs::project::IsInteractive()) return;
    if (!IsUserDefined(id)) {
        doc.ReportMessage(QStringLiteral("Only user defined tables and graphs can be replicated."));
        return;
    }
    CReplicateDlg dialog;
    if (ServicesHost().openProjects)
        for (CProjectDoc* open : ServicesHost().openProjects()) dialog.m_projectTitles << open->GetTitle();
    dialog.m_chooseFiles = ChooseReplicateFiles;
    QString name, shortName;
    if (RunReplicateDialog(doc, dialog, id, category, shortName, name)) return;
    StatusWindowClear();
    CWaitCursor wait;
    if (dialog.m_nBatch == 1) {
        ReplicateToFiles(doc, dialog.m_destinations, name, shortName);
        return;
    }
    // Every chosen project receives the copy.
    for (const QString& title : dialog.m_destinations) {
        CProjectDoc* target = OpenProjectByTitle(title);
        if (target == nullptr || target->GetProject() == nullptr) continue;
        if (ReplicateObject(doc, *target->GetProject(), name, shortName)) {
            target->SetModifiedFlag(TRUE);
            target->GetProject()->CheckMethodUltimateIntegrityForFile(Std(target->GetPathName()));
        }
    }
    if (ServicesHost().refreshNavigator) ServicesHost().refreshNavigator();
}

}  // namespace qs::app
