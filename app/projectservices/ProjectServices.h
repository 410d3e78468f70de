#pragma once
// Whole-project services of an open project document: the text reports and
// the comparison with other files, adding and subtracting other project
// files, replicating a table into other project files, and the small
// project commands (scaling factor, as-of date, moving a layer, appending an
// evaluation, copying factors). They work on a CProjectDoc and report in the
// status window; what they need of the running program comes through
// ServicesHost(), which the application fills in and tests replace.
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "CommandRegistry.h"

class CDocument;
class CFSLib;
class CProject;
class CProjectDoc;
class CQuillstoneApp;

namespace qs::app {

// A factor set chosen in a development factor library: the library read by
// the chooser (from its ".dfl" file, or the database's when the path is
// empty) and the set's name.
struct FactorSetChoice {
    std::shared_ptr<CFSLib> library;
    QString libraryPath;
    long libraryId = 0;
    QString setName;
};

struct ProjectServicesHost {
    // The project-file chooser (open, existing files, several): false on Cancel.
    std::function<bool(const QString& title, const QString& okCaption, QStringList& paths)> chooseProjectFiles;
    // The open project document of a path, or null.
    std::function<CProjectDoc*(const QString& path)> findOpenProject;
    // Every open project document, in the order they were opened.
    std::function<std::vector<CProjectDoc*>()> openProjects;
    std::function<void()> refreshNavigator;
    // Makes the project the navigator's current one; false when it cannot.
    std::function<bool(CProjectDoc*)> selectInNavigator;
    // Makes the object the user works on (the navigator's selection or the
    // active window's object) the document's current object and layer, and
    // returns its category (0 none). Unset: the document's current object.
    std::function<int(CProjectDoc&)> activeObject;
    // Windows of projects other than the navigator, and closing them all.
    std::function<bool()> hasOpenWindows;
    std::function<void()> closeAllWindows;
    // The factor dialogs the copy commands run: the selected-factor columns
    // (caption given), a statistic with its columns, and a factor set. False
    // on Cancel. Unset: the commands do nothing.
    std::function<bool(CProjectDoc&, const QString& caption, std::vector<std::int32_t>& columns)> chooseSelectedColumns;
    std::function<bool(CProjectDoc&, std::vector<std::uint8_t>& statistic, std::vector<std::int32_t>& columns)>
        chooseStatistics;
    std::function<bool(CProjectDoc&, FactorSetChoice& choice)> chooseFactorSet;
    // The open factor-library document of a ".dfl" path, or null.
    std::function<CDocument*(const QString& path)> findOpenLibrary;
};

ProjectServicesHost& ServicesHost();

// The copy commands' dialogs: Fill Selecteds with Statistics, Fill Selecteds
// with Factor Set (captioned by the command) and Add Development Factor Sets
// choosing one set (FactorChoosers.cpp).
void BindFactorChoosers(ProjectServicesHost& host);

// Fills the host from the application and routes the commands below to
// every project document made from now on.
void BindProjectServices(CQuillstoneApp& app);
// The command table of these services: entries of the project document's
// commands whose work needs the running program (see CommandRegistry.h).
qs::cmd::CommandTable<CProjectDoc> ProjectServiceCommands();

// Opens a project file into a document of its own, with no window and not
// among the program's open documents; null after the document has told the
// user why. The caller closes it by destroying it.
std::unique_ptr<CProjectDoc> OpenProjectWithoutWindow(const QString& path);

// ---- text reports
// The working directory + "/PrjInfo.txt" and + "/CmpPrj.txt".
QString ProjectInfoPath();
QString CompareReportPath();
// The kernel's report of one kind (INFOTYPE 1..4) into a new text file at
// path; false when the file cannot be made (the user is told) or the kernel
// failed (reported through the document).
bool WriteProjectInfo(CProjectDoc& doc, const QString& path, int kind);
// Appends a text file to the status window, every line ending made "\r\n".
bool LoadTextFileIntoView(const QString& path);
bool CompareWithProject(CProjectDoc& doc, const CProject& other, std::FILE* file);
// The four report commands (kind 1..4) and the comparison command.
void RunProjectReport(CProjectDoc& doc, int kind);
void OnCompareProjects(CProjectDoc& doc);

// ---- adding and subtracting other project files
// 1 with the first structure error's text when other cannot be added to or
// subtracted from the document's project; otherwise 0 with the warnings
// (possibly none).
int CheckStructureMatch(const CProject& project, const CProject& other, QString& text);
// Adds (operation 0) or subtracts (1) the chosen project files into the
// document's project, one after the other, and saves the changed project
// after each; the chosen files are never written.
void ApplyFileArithmetic(CProjectDoc& doc, int operation);

// ---- small whole-project commands
void OnFileProperties(CProjectDoc& doc);
// The scaling factor: a number above 0.
void OnScalingFactor(CProjectDoc& doc);
void OnAddNewEvaluation(CProjectDoc& doc);
void OnAsOfDate(CProjectDoc& doc);
void OnMoveLayer(CProjectDoc& doc);
void OnCopySelectedsToFactorSet(CProjectDoc& doc);
void OnCopyStatisticsToSelecteds(CProjectDoc& doc);
void OnCopyFactorSetToSelecteds(CProjectDoc& doc);

// ---- replicating a table into other project files
// The current user-defined table or graph into the chosen open projects or
// project files.
void OnReplicateTable(CProjectDoc& doc);
// The copy of the document's current object into target under new names;
// false after the failure report.
bool ReplicateObject(CProjectDoc& doc, CProject& target, const QString& name, const QString& shortName);
// Batch mode: into each file in turn, saving and closing what it opened.
void ReplicateToFiles(CProjectDoc& doc, const QStringList& paths, const QString& name, const QString& shortName);

}  // namespace qs::app
