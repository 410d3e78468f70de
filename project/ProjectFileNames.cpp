#include "ProjectFileNames.h"

#include <QDir>
#include <QFileInfo>

namespace qs::project {

QString ProjectExtension(const QString& path) { return path.right(4).toUpper(); }

bool IsStorageExtension(const QString& extension) {
    return extension == QLatin1String(".QS2") || extension == QLatin1String(".QS3") ||
           extension == QLatin1String(".QS4") || extension == QLatin1String(".QS5");
}

OpenKind OpenKindOfPath(const QString& path) {
    const QString ext = path.right(4).toLower();
    if (ext == QLatin1String(".dfl")) return OpenKind::FactorLibrary;
    if (ext == QLatin1String(".pc5")) return OpenKind::Predecessor;
    return OpenKind::Project;
}

namespace {
int LastSeparator(const QString& path) {
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}
}  // namespace

QString SuggestedConvertedName(const QString& path, const QString& projectExtension) {
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > LastSeparator(path) ? path.left(dot) : path;
    return stem + projectExtension;
}

QString TitleToFileName(const QString& title, bool interactive, const QString& defaultExtension,
                        bool folderNotChosen, const QString& filesPath) {
    QString name = title;
    QString stops;
    if (!interactive) {
        if (name.startsWith(QLatin1Char('/'))) name.remove(0, 1);
        name.replace(QLatin1Char('/'), QLatin1Char('_'));
        name.replace(QLatin1Char('('), QLatin1Char('_'));
        name.remove(QLatin1Char(')'));
        stops = QStringLiteral("#%;/\\");
    } else {
        stops = QStringLiteral(" #%;/\\");
    }
    for (int i = 0; i < name.size(); ++i) {
        if (stops.contains(name[i])) {
            name.truncate(i);
            break;
        }
    }
    if (!defaultExtension.isEmpty()) {
        name += defaultExtension;
        if (folderNotChosen && !filesPath.isEmpty()) name = filesPath + QLatin1Char('/') + name;
    }
    return name;
}

QString NormalizeOpenPath(const QString& path) {
    QString p = path;
    if (p.startsWith(QLatin1Char('"'))) p.remove(0, 1);
    const int quote = p.lastIndexOf(QLatin1Char('"'));
    if (quote >= 0) p.truncate(quote);
    if (p.isEmpty()) return p;
    return QDir::cleanPath(QFileInfo(p).absoluteFilePath());
}

QString FolderOfPath(const QString& path) {
    const int sep = LastSeparator(path);
    return sep >= 0 ? path.left(sep) : path;
}

}  // namespace qs::project
