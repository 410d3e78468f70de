#include "ExchangeStatus.h"

#include "MessageBox.h"

namespace qs::exchange {

namespace {
QString Common(QSSTATUS status, bool import) {
    switch (status) {
    case 1: return import ? QStringLiteral("The file cannot be opened or read.")
                          : QStringLiteral("The file cannot be written.");
    case 5: return QStringLiteral("The predecessor file could not be converted.");
    case 20: return QStringLiteral("The file is not of this format, or it is damaged or cut short.");
    case 21: return QStringLiteral("The file's project structure is invalid or differs from the project's.");
    case 22: return QStringLiteral("A table of the file cannot be written into the project.");
    case 23:
        return import ? QStringLiteral("A value or the structure does not fit the record layout, or a value is "
                                       "not a finite number.")
                      : QStringLiteral("The project does not fit the format: a value or the structure does not "
                                       "fit the record layout, or the worksheet would be too large.");
    default: break;
    }
    return QStringLiteral("The kernel reported status %1.").arg(status);
}
}  // namespace

QString ImportFailureText(QSSTATUS status) { return Common(status, true) + QStringLiteral(" Nothing was changed."); }
QString ExportFailureText(QSSTATUS status) { return Common(status, false); }

void ShowFileError(const QString& path, const QString& why) {
    AfxMessageBox(QStringLiteral("%1 could not be accessed.\n%2").arg(path, why), MB_ICONEXCLAMATION);
}

}  // namespace qs::exchange
