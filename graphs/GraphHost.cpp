#include "GraphHost.h"

#include <QDir>

#include "ProjectHost.h"
#include "ViewSettings.h"

namespace qs::graphs {

GraphHost& Host() {
    static GraphHost host;
    return host;
}

QString WorkingDirectory() {
    QString dir = Host().workingDirectory.isEmpty() ? qs::project::Host().workingDirectory : Host().workingDirectory;
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/'))) dir.chop(1);
    return dir;
}

QString StylesFolder() {
    const QDir working(WorkingDirectory());
    for (const QString& folder : working.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (folder.compare(QLatin1String("styles"), Qt::CaseInsensitive) == 0) return working.filePath(folder);
    return working.filePath(QStringLiteral("styles"));
}

bool IsFileMode() { return qs::views::Settings().fileMode == 1; }

}  // namespace qs::graphs
