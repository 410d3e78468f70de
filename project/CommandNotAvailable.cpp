#include "CommandNotAvailable.h"

#include "MessageBox.h"

namespace qs::project {

QString CommandNotAvailableText(const QString& commandName) {
    return QStringLiteral("\"%1\" is not available in this version of Quillstone yet.").arg(commandName);
}

void ShowCommandNotAvailable(const QString& commandName) {
    AfxMessageBox(CommandNotAvailableText(commandName), MB_OK | MB_ICONINFORMATION);
}

}  // namespace qs::project
