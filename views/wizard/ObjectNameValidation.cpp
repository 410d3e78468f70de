#include "ObjectNameValidation.h"

#include "CProject.h"
#include "KernelIds.h"
#include "MessageBox.h"

namespace qs::views {

QString InvalidNameCharacterText(QChar c) {
    return QStringLiteral("[ %1 ] is an invalid character in a name.").arg(c) +
           QStringLiteral(" A name must contain the following \ncharacters:  A - Z   a - z   0 - 9  +   -   _   (   "
                          ")   &  [space]");
}

NameConflict CheckNameUnique(const CProject& project, const QString& longName, const QString& shortName,
                             QSID objectId, int category) {
    QSID id = objectId;
    if (id != 0) SetIDLayer(id, 1);
    const struct {
        const QString* name;
        NameConflict kind;
    } asks[] = {{&longName, NameConflict::LongName}, {&shortName, NameConflict::ShortName}};
    for (const auto& ask : asks) {
        if (ask.name->isEmpty()) continue;  // no abbreviated name: nothing to clash
        std::string conflictName, conflictShort;
        std::uint16_t conflictIndex = 0;
        if (project.IsNameUnique(ask.name->toStdString(), category, id, &conflictName, &conflictShort,
                                 &conflictIndex))
            continue;
        QString text = QStringLiteral("Name already in use.  Please use an alternate name.\n");
        text += *ask.name + QStringLiteral("conflicts with \n");
        text += QStringLiteral("TABLE ID: %1 \n").arg(int(conflictIndex));
        text += QStringLiteral("NAME: ") + QString::fromStdString(conflictName) + QStringLiteral("\n");
        text += QStringLiteral("ABBREVIATED NAME: ") +
                (conflictShort.empty() ? QStringLiteral("  ----  ") : QString::fromStdString(conflictShort)) +
                QStringLiteral("\n");
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        return ask.kind;
    }
    return NameConflict::None;
}

}  // namespace qs::views

bool ValidateObjectName(QString& name) {
    name = name.trimmed();
    if (name.isEmpty()) {
        AfxMessageBox(QStringLiteral("Name cannot be empty"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    const auto allowed = [&](int i) {
        const QChar c = name.at(i);
        if (c == QLatin1Char('\t') || c == QLatin1Char('*')) return false;
        if (c.isSpace()) return i != 0 && i != name.size() - 1;
        if (c.isLetterOrNumber()) return true;
        return QStringLiteral("+-_&()").contains(c);
    };
    for (int i = 0; i < name.size(); ++i) {
        if (allowed(i)) continue;
        AfxMessageBox(qs::views::InvalidNameCharacterText(name.at(i)), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}
