#include "GraphDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <iterator>

namespace qs::graphs {

namespace {

struct Rgb {
    int r, g, b;
};
// Dark enough to read on white paper, apart from one another.
const Rgb kColours[] = {{0, 0, 200},   {200, 0, 0},    {0, 140, 0},   {160, 0, 160}, {0, 140, 160},
                        {200, 110, 0}, {90, 90, 90},   {120, 60, 0},  {0, 90, 200},  {220, 0, 110},
                        {90, 150, 0},  {100, 40, 200}, {0, 0, 0}};
const char* const kMarkers[] = {"VtMarkerStyleFilledCircle",      "VtMarkerStyleFilledSquare",
                                "VtMarkerStyleFilledUpTriangle",  "VtMarkerStyleFilledDiamond",
                                "VtMarkerStyleFilledDownTriangle", "VtMarkerStyleCircle",
                                "VtMarkerStyleSquare",            "VtMarkerStyleUpTriangle",
                                "VtMarkerStyleDiamond",           "VtMarkerStyleX",
                                "VtMarkerStylePlus"};

const char* const kStyleFiles[] = {"DEF_ARR.RGS",  "DEF_ARR2.RGS", "DEF_COL.RGS",  "DEF_EXH.RGS",  "DEF_EXH2.RGS",
                                   "DEF_EXH3.rgs", "DEF_EXH4.RGS", "DEF_MET.RGS",  "DEF_MET2.rgs", "DEF_MET3.RGS",
                                   "DEF_REP.RGS",  "DEF_REP2.rgs", "DEF_REP3.rgs", "DEF_REP4.rgs", "DEF_SDF.RGS",
                                   "zoom.rgs",     "DEF_RESPLOT.rgs"};

bool WriteIfMissing(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (info.exists() && info.size() > 0) return true;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

}  // namespace

QByteArray DefaultStyleTableText() {
    QByteArray text;
    for (int n = 1; n <= 49; ++n) {
        const Rgb& c = kColours[(n - 1) % std::size(kColours)];
        const char* marker = kMarkers[(n - 1) % std::size(kMarkers)];
        text += QByteArray::number(n) + ',' + QByteArray::number(c.r) + ',' + QByteArray::number(c.g) + ',' +
                QByteArray::number(c.b) + ",7," + marker + "\r\n";
    }
    return text;
}

QStringList DefaultStyleFileNames() {
    QStringList names;
    for (const char* f : kStyleFiles) names << QString::fromLatin1(f);
    return names;
}

qs::chart::Appearance DefaultAppearance(const QString& styleFileName) {
    using namespace qs::chart;
    Appearance a;
    a.chartType = kChartXY;
    a.legend = true;
    a.legendPosition = LegendRight;
    a.xRowLabels = true;
    a.text = TextSizes{};  // 12-point title, 9-point labels and legend
    const QString name = styleFileName.toUpper();
    QString yTitle = QStringLiteral("Amount");
    if (name.startsWith(QStringLiteral("DEF_EXH")) || name.startsWith(QStringLiteral("DEF_SDF")))
        yTitle = QStringLiteral("Development Factor");
    else if (name.startsWith(QStringLiteral("DEF_RESPLOT")))
        yTitle = QStringLiteral("Residual");
    a.axes[AxisY].title = yTitle;
    for (AxisStyle& axis : a.axes) {
        axis.scale.automatic = true;
        axis.scale.minorDivisions = 0;
    }
    return a;
}

bool InstallDefaultGraphFiles(const QString& workingDirectory) {
    if (workingDirectory.isEmpty()) return false;
    const QDir working(workingDirectory);
    bool ok = working.exists() || QDir().mkpath(workingDirectory);
    ok = WriteIfMissing(working.filePath(QStringLiteral("graphs.rgb")), DefaultStyleTableText()) && ok;
    QString styles = working.filePath(QStringLiteral("styles"));
    for (const QString& folder : working.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (folder.compare(QLatin1String("styles"), Qt::CaseInsensitive) == 0) styles = working.filePath(folder);
    ok = QDir().mkpath(styles) && ok;
    for (const QString& file : DefaultStyleFileNames())
        ok = WriteIfMissing(QDir(styles).filePath(file), DefaultAppearance(file).ToBytes()) && ok;
    return ok;
}

}  // namespace qs::graphs
