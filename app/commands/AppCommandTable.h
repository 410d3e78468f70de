#pragma once
// The application's command table and the program's command registry read
// as one: the application's table and the menu entries the active view or a
// frame answers (both here), the project document's
// (project/ProjectCommandTable.cpp) and the project document's whole-project
// services (projectservices/). How to add a command: project/CommandRegistry.h.
// Also the pieces of the application's table that tests reach without a
// running program: the document runner's path and the shell's failure
// reports, and the help topic of Technical Support.
#include <QString>

#include <vector>

#include "CommandRegistry.h"
#include "WindowsTypes.h"

class CCmdTarget;
class CQuillstoneApp;

namespace qs::app {

// The application's own command table.
qs::cmd::CommandTable<CQuillstoneApp> ApplicationCommands();
// Menu entries whose command the active view, its document or a frame
// answers: only their texts live here.
qs::cmd::CommandTable<CCmdTarget> RoutedCommands();

// What the menus and the status bar show of one command.
struct CommandText {
    UINT id = 0;
    const char* menuText = nullptr;
    const char* prompt = nullptr;
};

// The entry of id in any of the tables; null when no table has it.
const CommandText* FindCommand(UINT id);
// Every entry of every table, in the tables' order.
const std::vector<CommandText>& AllCommands();

// The document runner: "runpdf.exe" in the folder the "System Directory"
// setting names; a setting that is missing (null) or is that very name
// stands for the program itself, found on the search path.
QString PdfRunnerPath(const QString& systemDirectory);

// Starts a program as the shell's "open" verb does and gives the shell's
// answer: above 32 when it started, otherwise 2 (no such file), 3 (no such
// folder), 5 (not allowed to run it) or 11 (not a program).
int ShellOpenProgram(const QString& path);

// The message box of a shell answer of 32 or less.
struct ShellFailure {
    QString caption;
    QString text;
};
ShellFailure ShellOpenFailure(int answer, const QString& path);

// The help topic Technical Support shows: the help file, "::/",
// "Customer_Support.htm" and " > mainwin".
QString TechnicalSupportTopic(const QString& helpFilePath);

}  // namespace qs::app
