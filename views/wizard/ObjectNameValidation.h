#pragma once
// The one check every place that names a project object runs before the
// name reaches the kernel, and the uniqueness check of the table wizard's
// naming pages. Both report a refusal themselves in a message box; callers
// only stop on false.
#include <QString>

#include "KernelTypes.h"

class CProject;

// Trims name in place; refuses an empty name and any character other than
// letters, digits, blanks and + - _ & ( ) (a tab or an asterisk never
// passes) with the refusal's message.
bool ValidateObjectName(QString& name);

namespace qs::views {

// The text of the refusal at character c.
QString InvalidNameCharacterText(QChar c);

// Which name a uniqueness check refused.
enum class NameConflict { None, LongName, ShortName };

// Asks the project whether the long name and then the abbreviated name are
// free for the object objectId (its layer set to 1) in the category. The
// first refusal is reported ("Name already in use. ...") and returned.
NameConflict CheckNameUnique(const CProject& project, const QString& longName, const QString& shortName,
                             QSID objectId, int category);

}  // namespace qs::views
