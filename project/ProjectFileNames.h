#pragma once
// Names of project files: the generation an extension stands for, the file a
// path is opened as, and the names a save or a conversion suggests.
#include <QString>

namespace qs::project {

// A path's extension as the project files compare it: its last four
// characters, upper-cased (".QS5"; "QS5 " for a name ending in a blank).
QString ProjectExtension(const QString& path);
// True for the compound generations ".QS2" to ".QS5" (exact comparison of an
// already upper-cased extension).
bool IsStorageExtension(const QString& extension);

enum class OpenKind { Project, FactorLibrary, Predecessor };
// How a path is opened: ".dfl" a factor library, ".pc5" a predecessor file
// that is converted, anything else a project. The dot is required, so a
// name merely ending in those letters opens as a project.
OpenKind OpenKindOfPath(const QString& path);

// The ".qs5" name suggested for a converted predecessor file: the path with
// its extension (only the file name's own) replaced.
QString SuggestedConvertedName(const QString& path, const QString& projectExtension = QStringLiteral(".qs5"));

// The file name a save suggests from a document title (no path given and no
// path name yet). Under automation slashes and opening parentheses become
// underscores and closing ones go; a person's title is cut at its first
// blank. The default extension follows, and the "Files Path" folder leads
// while no folder has been chosen.
QString TitleToFileName(const QString& title, bool interactive, const QString& defaultExtension,
                        bool folderNotChosen, const QString& filesPath);

// The absolute path an open compares: one leading double quote skipped, the
// text cut at its last double quote, then made absolute.
QString NormalizeOpenPath(const QString& path);

// The folder part of a path (up to its last separator); the whole path when
// it has none.
QString FolderOfPath(const QString& path);

}  // namespace qs::project
