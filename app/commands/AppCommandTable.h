#pragma once
// The pieces of the application's command table that tests reach without a
// running program: the document runner's path and the shell's failure
// reports, and the help topic of Technical Support.
#include <QString>

#include "WindowsTypes.h"

namespace qs::app {

// Commands of the application's table that have no other home.
inline constexpr UINT kCmdTechnicalSupport = 32829;
inline constexpr UINT kCmdNewFactorLibrary = 32892;
inline constexpr UINT kCmdRunPdf = 33088;
inline constexpr UINT kCmdSaveUpdate = 57603;
inline constexpr UINT kCmdFramePrintSetup = 57606;
inline constexpr UINT kCmdBatchCancel = 33092;
inline constexpr UINT kCmdBatchContinue = 33067;
inline constexpr UINT kCmdBatchExit = 33093;

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
