#include "CGraphStyleTable.h"

#include <QFile>
#include <QList>

#include <cstdlib>
#include <iterator>

#include "ChartControl.h"
#include "GraphHost.h"
#include "MessageBox.h"

namespace {

struct SharedTable {
    int handles = 0;
    int loads = 0;
    std::map<int, GraphStyleRecord> records;
};

SharedTable& Shared() {
    static SharedTable table;
    return table;
}

const char* const kMarkerNames[] = {
    "VtMarkerStyleDash",           "VtMarkerStylePlus",          "VtMarkerStyleX",
    "VtMarkerStyleStar",           "VtMarkerStyleCircle",        "VtMarkerStyleSquare",
    "VtMarkerStyleDiamond",        "VtMarkerStyleUpTriangle",    "VtMarkerStyleDownTriangle",
    "VtMarkerStyleFilledCircle",   "VtMarkerStyleFilledSquare",  "VtMarkerStyleFilledDiamond",
    "VtMarkerStyleFilledUpTriangle", "VtMarkerStyleFilledDownTriangle", "VtMarkerStyle3dBall",
    "VtMarkerStyleNull"};

// The standard conversion: leading blanks skipped, an optional sign, the
// digits up to the first other character; 0 without a number.
long LeadingInteger(const QByteArray& token) { return std::strtol(token.constData(), nullptr, 10); }

void Load(SharedTable& table) {
    ++table.loads;
    table.records.clear();
    const QString path = CGraphStyleTable::FilePath();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        AfxMessageBox(QStringLiteral("File %1 could not be opened. Please verify the paths in workstation settings "
                                     "are correct.")
                          .arg(path),
                      MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    table.records = CGraphStyleTable::Parse(file.readAll());
}

}  // namespace

CGraphStyleTable::CGraphStyleTable() {
    SharedTable& table = Shared();
    if (table.handles++ == 0) Load(table);
}

CGraphStyleTable::~CGraphStyleTable() {
    SharedTable& table = Shared();
    if (--table.handles == 0) table.records.clear();
}

int CGraphStyleTable::RecordNumber(int styleNumber) { return (styleNumber - 1) % kCycle + 1; }

const GraphStyleRecord* CGraphStyleTable::Find(int styleNumber) const {
    const auto& records = Shared().records;
    const auto it = records.find(RecordNumber(styleNumber));
    return it == records.end() ? nullptr : &it->second;
}

bool CGraphStyleTable::SeriesColor(int styleNumber, QColor& color) const {
    const GraphStyleRecord* r = Find(styleNumber);
    if (r == nullptr) return false;
    color = QColor(r->red, r->green, r->blue);
    return true;
}

void CGraphStyleTable::SeriesMarkers(qs::chart::ChartControl& chart, int series, int styleNumber) const {
    const GraphStyleRecord* r = Find(styleNumber);
    const qs::chart::SeriesStyle* style = chart.Series(series);
    if (r == nullptr || style == nullptr) return;
    qs::chart::Marker marker;
    marker.visible = true;
    marker.style = r->marker;
    marker.size = r->width;
    SeriesColor(styleNumber, marker.outline);
    marker.fill = marker.outline;
    // Every point of the series: the series' marker stands for the points
    // without one of their own, and the points a style file marked get it too
    // (only the points there are: the series has no point past its last row).
    chart.SetSeriesMarker(series, marker);
    std::vector<int> marked;
    for (const auto& entry : style->pointMarkers) marked.push_back(entry.first);
    for (int point : marked) chart.SetPointMarker(series, point, marker);
}

int CGraphStyleTable::MarkerNumber(const std::string& name) {
    for (int i = 0; i < int(std::size(kMarkerNames)); ++i)
        if (name == kMarkerNames[i]) return i;
    return 15;
}

std::map<int, GraphStyleRecord> CGraphStyleTable::Parse(const QByteArray& text) {
    QList<QByteArray> tokens;
    QByteArray token;
    for (const char ch : text) {
        if (ch == ',' || ch == '\n' || ch == '\r') {
            if (!token.isEmpty()) tokens << token;
            token.clear();
        } else {
            token += ch;
        }
    }
    if (!token.isEmpty()) tokens << token;
    std::map<int, GraphStyleRecord> records;
    for (qsizetype i = 0; i + 6 <= tokens.size(); i += 6) {
        GraphStyleRecord r;
        r.red = static_cast<unsigned char>(LeadingInteger(tokens[i + 1]));
        r.green = static_cast<unsigned char>(LeadingInteger(tokens[i + 2]));
        r.blue = static_cast<unsigned char>(LeadingInteger(tokens[i + 3]));
        r.width = std::strtod(tokens[i + 4].constData(), nullptr);
        r.marker = MarkerNumber(tokens[i + 5].toStdString());
        records[static_cast<int>(LeadingInteger(tokens[i]))] = r;
    }
    return records;
}

QString CGraphStyleTable::FilePath() { return qs::graphs::WorkingDirectory() + QStringLiteral("/graphs.rgb"); }

int CGraphStyleTable::LoadCount() { return Shared().loads; }
int CGraphStyleTable::HandleCount() { return Shared().handles; }
