#pragma once
// The one message of a command whose work this version of the program does
// not do yet: the command is in its menus and enabled by its rule, and
// running it says so plainly instead of doing nothing.
#include <QString>

namespace qs::project {

// "<name>" is not available in this version of Quillstone yet.
QString CommandNotAvailableText(const QString& commandName);
// Shows that text in a message box (information icon, OK).
void ShowCommandNotAvailable(const QString& commandName);

}  // namespace qs::project
