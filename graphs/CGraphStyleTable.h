#pragma once
// The series styles every graph view draws with: colour, marker shape and
// marker size by style number, read from "graphs.rgb" in the working
// directory. There is one table in the process; each CGraphStyleTable is a
// handle on it. The first handle reads the file, the last one frees the
// table, and a later first handle reads it again.
//
// "graphs.rgb" is plain text split into tokens at every ",", line feed and
// carriage return (empty tokens vanish, blanks stay part of a token), taken
// six at a time: record number, red, green, blue, width (the marker size),
// marker name ("VtMarkerStyleDash" ... "VtMarkerStyleNull", exactly; any
// other text is 15, no marker). A later row of a number replaces an earlier
// one; tokens that do not complete a row are ignored. Style number n uses
// record ((n - 1) mod 49) + 1, so styles cycle through records 1..49.
#include <QByteArray>
#include <QColor>
#include <QString>

#include <map>
#include <string>

namespace qs::chart {
class ChartControl;
}

struct GraphStyleRecord {
    unsigned char red = 0, green = 0, blue = 0;
    double width = 0.0;  // the marker size
    int marker = 15;     // 0..15, as the chart numbers marker styles
};

class CGraphStyleTable {
public:
    static constexpr int kCycle = 49;

    CGraphStyleTable();
    ~CGraphStyleTable();
    CGraphStyleTable(const CGraphStyleTable&) = delete;
    CGraphStyleTable& operator=(const CGraphStyleTable&) = delete;

    // The record a style number uses (the remainder keeps the sign of n - 1,
    // so 0 and below name records that are never in the file).
    static int RecordNumber(int styleNumber);
    // Null when the table has no record for the style number.
    const GraphStyleRecord* Find(int styleNumber) const;
    // The record's colour into color; false (color untouched) without one.
    bool SeriesColor(int styleNumber, QColor& color) const;
    // Every data point of the series shows the record's marker (its style,
    // its width as size, its colour as outline and fill); nothing changes
    // without a record.
    void SeriesMarkers(qs::chart::ChartControl& chart, int series, int styleNumber) const;

    static int MarkerNumber(const std::string& name);
    static std::map<int, GraphStyleRecord> Parse(const QByteArray& text);

    // The file the first handle reads: the working directory's "graphs.rgb".
    static QString FilePath();
    // How often the file has been read in this process, and the live handles.
    static int LoadCount();
    static int HandleCount();
};
