#pragma once
// The graph files an installation starts with: the series style table
// "graphs.rgb" and the default chart styles of the "styles" folder, made
// to read well on screen and on paper (an XY chart whose X axis names the
// rows, axis titles, the legend at the right, readable type).
#include <QByteArray>
#include <QString>
#include <QStringList>

#include "ChartTypes.h"

namespace qs::graphs {

// 49 rows: colours that stay apart on screen and in print, each with a
// marker shape of its own among its neighbours.
QByteArray DefaultStyleTableText();
// The appearance a default style file holds (by its file name).
qs::chart::Appearance DefaultAppearance(const QString& styleFileName);
// The default style files an installation carries.
QStringList DefaultStyleFileNames();
// Writes "graphs.rgb" into workingDirectory and the default style files
// into its "styles" folder wherever a file is missing or empty (a file the
// user changed is kept). False when one could not be written.
bool InstallDefaultGraphFiles(const QString& workingDirectory);

}  // namespace qs::graphs
