#pragma once
// What the project document needs of the application that hosts it. The
// application object fills these in at start-up; tests set what they drive.
// Unset hooks fall back to the behaviour of an interactive application with
// no navigator and no status bar.
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KernelTypes.h"
#include "ObjectViewLink.h"  // ObjectViewKind

class CDocTemplate;
class CPageSetup;
class CDocument;
class CProjectDoc;
class CView;
namespace qs::db {
class DatabaseManager;
}

namespace qs::project {

struct ProjectHost {
    // 1 while a person drives the application, 0 under automation.
    std::function<bool()> isInteractive;
    std::function<void(bool)> setInteractive;
    // The scripting server's mode (2 and 3: making a template; 5: closed by Close).
    std::function<int()> applicationMode;
    std::function<void(int)> setApplicationMode;
    // The application's log file (reports under automation).
    std::function<std::string()> logFilePath;
    // The workstation's "Default Show" (0/2 cumulative, 1/3 incremental):
    // how the triangles of a new project are shown. Unset: cumulative.
    std::function<int()> defaultShow;
    // The pending status-bar text.
    std::function<void(const QString&)> setStatusMessage;
    // The view template of a kind of object window; null when none.
    std::function<CDocTemplate*(ObjectViewKind)> viewTemplate;
    // The navigator.
    std::function<void()> refreshNavigator;
    // The navigator's object lists that show this project fill themselves again.
    std::function<void(CProjectDoc&)> refillNavigatorLists;
    std::function<void(CProjectDoc*)> selectInNavigator;
    // False when the navigator could not remove the project.
    std::function<bool(CProjectDoc*)> removeFromNavigator;
    // When the view is the navigator's tree or list: its layer (the layer
    // box's 1-based choice) and selected object, and true. Unset: false.
    std::function<bool(const CView* view, int& layer, QSID& id)> navigatorSelection;
    // The navigator's category (1000 ... 9000) when the view lies in the
    // navigator's frame; 0 for any other view. Unset: 0.
    std::function<int(const CView* view)> navigatorCategory;
    // Shows an object in the navigator: its category, subgroup and entry
    // (layer 0xFFFF keeps the layer box), and brings the navigator forward.
    std::function<void(QSID id, unsigned short layer, CProjectDoc* doc)> showInNavigator;
    // True while the tail-factor program is open (it has told the user).
    std::function<bool()> tailFactorProgramOpen;
    // The project file chooser for a save: name in/out, title string id,
    // extra flags, the template. False on Cancel.
    std::function<bool(QString& name, unsigned titleId, unsigned flags, CDocTemplate* tmpl)> chooseSaveFile;
    // Posts a command (e.g. Save As) to the main window.
    std::function<void(unsigned command, CProjectDoc* doc)> postCommand;
    // The status-bar progress: a progress bar in the main frame's status bar
    // with a caption as the pending status text; ended with a closing text
    // (null: none). Unset: the caption and text only go to setStatusMessage.
    std::function<void(const QString& caption)> beginProgress;
    std::function<void(const QString& text)> endProgress;
    // A busy window (title, message) over the main window while the database
    // works; it closes when the last holder lets go. Null when it cannot be
    // made. Unset: none can be made.
    std::function<std::shared_ptr<void>(const QString& title, const QString& message)> openBusyWindow;
    // The application's status window: whether it shows, opening it under a
    // title (false when it cannot be had), and appending a line. Unset: none.
    std::function<bool()> statusWindowVisible;
    std::function<bool(const QString& title)> openStatusWindow;
    std::function<void(const QString& text)> writeStatusWindow;
    // The setting "Show Extension" (1: titles keep their extension). Unset: 1.
    std::function<int()> showExtension;
    // Renames a user-defined graph (the New Graph dialog in rename mode on
    // the project and the graph's id); true on OK. Unset: graphs cannot be
    // renamed.
    std::function<bool(CProjectDoc& doc, QSID id)> renameGraph;
    // The setting "DisplayGraphLockItem": the graph lock commands are offered. Unset: no.
    std::function<bool()> displayGraphLockItem;
    // Runs a query of the database manager that returns one string per row;
    // 0 on success. Unset: no database answers.
    std::function<int(CProjectDoc& doc, const std::string& query, std::vector<std::string>& rows)> queryStrings;
    // Adds the application's handlers of whole-project commands to a new
    // document's command table (run last in its constructor).
    std::function<void(CProjectDoc&)> mapDocumentCommands;
    // The page setup dialog (the print subsystem's): edits setup in place
    // with the header/footer field names under a title; true on OK. Unset:
    // the project's Page Setup command is not offered.
    std::function<bool(CPageSetup& setup, const QStringList& fieldNames, const QString& title)> editPageSetup;
    // The navigator frame's caption (a database project's template).
    std::function<void(const QString&)> setNavigatorCaption;
    // The application keeps and saves the read-only cell pattern the
    // display options chose (pattern, foreground and background 0x00BBGGRR).
    std::function<void(int pattern, std::uint32_t foreground, std::uint32_t background)> setReadOnlyPattern;

    // The Save Template As dialog: name and description in and out; false on Cancel.
    std::function<bool(QString& name, QString& description)> saveTemplateAsDialog;
    // The profile chooser of Save Data As over the second connection:
    // profile and evaluation date in and out; false on Cancel. Unset: the
    // document's own chooser.
    std::function<bool(qs::db::DatabaseManager& connection, QString& profile, double& date)> chooseProfile;
    // The application setting "View Data Only".
    std::function<void(bool)> setViewDataOnly;

    // Folders, owned here and shared with the application's file commands.
    bool folderNotChosen = true;
    QString lastProjectFolder;
    QString filesPath;  // the "Files Path" setting, no trailing separator
    QString workingDirectory;  // the "Working Directory" setting (the "Styles" folder is below it)
};

ProjectHost& Host();

bool IsInteractive();
int ApplicationMode();

}  // namespace qs::project
