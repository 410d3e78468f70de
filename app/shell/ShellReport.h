#pragma once
// The application's failure report for the shell's windows: a message box
// while the main window is visible and, while automation drives the program,
// a line in the automation log file (local time "%X  " and the text) with the
// kernel's error flag set.
#include <QString>

namespace qs::app {

void ReportShellFailure(const QString& text);
// The application's interactive flag (true when no application object exists).
bool IsInteractive();

}  // namespace qs::app
