#pragma once
// What a chart is made of, apart from the widget that draws it: the data
// grid, and the appearance (type, titles, legend, axes, series styles) that
// style files and memory blocks keep. Rows, columns, series and points count
// from 1, as the chart's callers number them.
#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>

#include <array>
#include <map>
#include <vector>

namespace qs::chart {

// Chart type 16 is the XY chart: series k takes grid columns 2k-1 (X) and
// 2k (Y). Any other type draws each grid column as one series over the rows.
inline constexpr int kChartXY = 16;
inline constexpr int kChartLine = 3;

enum Axis : int { AxisX = 0, AxisY = 1, AxisY2 = 2 };
inline constexpr int kAxisCount = 3;

// Marker styles, numbered as style tables name them.
enum MarkerStyle : int {
    MarkerDash = 0, MarkerPlus = 1, MarkerX = 2, MarkerStar = 3, MarkerCircle = 4, MarkerSquare = 5,
    MarkerDiamond = 6, MarkerUpTriangle = 7, MarkerDownTriangle = 8, MarkerFilledCircle = 9,
    MarkerFilledSquare = 10, MarkerFilledDiamond = 11, MarkerFilledUpTriangle = 12,
    MarkerFilledDownTriangle = 13, Marker3dBall = 14, MarkerNull = 15,
};
inline constexpr int kMarkerStyleCount = 16;

struct Marker {
    bool visible = false;
    int style = MarkerFilledCircle;  // 0..15; other numbers are kept as 15
    double size = 6.0;               // pixels at screen resolution
    QColor outline = Qt::black;
    QColor fill = Qt::black;
    bool operator==(const Marker&) const = default;
};

// An axis' value scale. With automatic on, the drawn range comes from the
// data; minimum, maximum and the divisions are what a caller set last.
struct ValueScale {
    bool automatic = true;
    double minimum = 0.0;
    double maximum = 1.0;
    int majorDivisions = 5;
    int minorDivisions = 0;
    bool operator==(const ValueScale&) const = default;
};

struct AxisStyle {
    ValueScale scale;
    QString title;
    bool labelsShown = true;
    bool operator==(const AxisStyle&) const = default;
};

// Point sizes of the chart's texts (at 96 dpi on screen; a printed chart
// keeps their proportion to the page).
struct TextSizes {
    double title = 12.0;
    double legend = 9.0;
    double footnote = 8.0;
    double axisLabels = 9.0;
    double axisTitles = 10.0;
    bool operator==(const TextSizes&) const = default;
};

enum LegendPosition : int { LegendTop = 0, LegendBottom = 1, LegendLeft = 2, LegendRight = 3 };

struct SeriesStyle {
    bool secondaryAxis = false;
    bool hidden = false;
    QColor penColor = Qt::blue;
    double penWidth = 1.0;
    Marker marker;                        // every point without one of its own
    std::map<int, Marker> pointMarkers;   // by point (row), 1-based
    std::map<int, QColor> pointBrushes;   // by point; fills that point's marker
    bool operator==(const SeriesStyle&) const = default;

    Marker MarkerOf(int point) const;     // the point's marker, its brush applied
};

struct Appearance {
    int chartType = kChartXY;
    QString title;
    QString footnote;
    bool legend = true;
    QColor backdrop = Qt::white;
    std::array<AxisStyle, kAxisCount> axes;
    std::vector<SeriesStyle> series;      // index = series - 1
    TextSizes text;
    int legendPosition = LegendTop;
    // The X axis names its values by the data grid's row labels (value r is
    // row r), thinned out so that they do not overlap.
    bool xRowLabels = false;
    bool operator==(const Appearance&) const = default;

    // The bytes a style file or memory block holds: a tag, a version, the
    // fields and a checksum. FromBytes leaves *out alone and returns false
    // for anything else (short, damaged or foreign bytes).
    QByteArray ToBytes() const;
    static bool FromBytes(const QByteArray& bytes, Appearance* out);
};

// The pen colour a new series gets (a palette that keeps neighbours apart).
QColor DefaultSeriesColor(int series);

class DataGrid {
public:
    void Clear();
    // Keeps the values that still fit; new cells are null.
    void SetSize(int labelLevels, int rows, int columns);
    int LabelLevels() const { return m_levels; }
    int Rows() const { return m_rows; }
    int Columns() const { return m_columns; }

    // False (nothing changed) outside the grid.
    bool SetValue(int row, int column, double value, bool null = false);
    bool SetNull(int row, int column, bool null = true);
    // False outside the grid; a null cell reads value 0 and *null true.
    bool GetValue(int row, int column, double* value, bool* null) const;
    bool SetRowLabel(int row, int level, const QString& text);
    bool SetColumnLabel(int column, int level, const QString& text);
    QString RowLabel(int row, int level = 1) const;
    QString ColumnLabel(int column, int level = 1) const;

private:
    bool InGrid(int row, int column) const { return row >= 1 && row <= m_rows && column >= 1 && column <= m_columns; }
    int m_levels = 1, m_rows = 0, m_columns = 0;
    std::vector<double> m_values;      // row-major
    std::vector<bool> m_nulls;
    std::vector<QStringList> m_rowLabels;     // [level - 1][row - 1]
    std::vector<QStringList> m_columnLabels;  // [level - 1][column - 1]
};

}  // namespace qs::chart
