#pragma once
// Why the kernel refused an import or an export, in a user's words, from its
// status (docs/kernel/exchange.md).
#include <QString>

#include "KernelTypes.h"

namespace qs::exchange {

QString ImportFailureText(QSSTATUS status);
QString ExportFailureText(QSSTATUS status);

// Tells the user a file could not be opened, read or written, and why.
void ShowFileError(const QString& path, const QString& why);

}  // namespace qs::exchange
