#pragma once
// Drawing a kernel graph into the chart widget: the data grid (rows = the
// graph's point labels, one column per series, two in an XY chart: the row
// number, then the value), the series' names, hidden flags, pens and
// markers from the style table, the chart's title and footnote, the X axis'
// title and the Y axes' scales.
#include <QString>

#include <limits>

class CGraph;
class CGraphStyleTable;
namespace qs::chart {
class ChartControl;
}

namespace qs::graphs {

// Series type codes of the chart's series as the fill tells them apart:
// the series of a line chart (6) and of an XY chart (11) take their colour
// and markers from the style table; any other kind only its colour.
inline constexpr int kSeriesLine = 6;
inline constexpr int kSeriesXY = 11;
int SeriesTypeCode(int chartType);

// What the fill reads and gathers besides the graph and the chart.
struct GraphDrawState {
    static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    // Extremes of the values drawn on each Y axis (NaN: none yet).
    double primaryMax = kNone, primaryMin = kNone;
    double secondaryMax = kNone, secondaryMin = kNone;
    bool printing = false;     // a print job fills the chart
    bool seriesTitle = false;  // the title names the series printed
    bool zoom = false;         // zoom mode: the X axis shows every row
    QString layerName;         // the name of the layer the graph is shown in
    int graphsPerPage = 1;     // printing: graphs on one page
    int graphRowsPerPage = 1;  // printing: rows of graphs on one page
    // The title the last fill gave the chart.
    QString filledTitle;

    void ResetExtremes();
};

// The chart's title: the graph's name (with " for " and the series name
// when the series title flag is set, and the layer's name when the graph
// depends on it), else the graph's own title text, else the names of its
// tables.
QString GraphTitle(const CGraph& graph, const GraphDrawState& state);

// Fills the chart from the graph; returns 1. Every fill starts from fresh
// extremes: both pairs describe the data drawn now.
int FillChart(qs::chart::ChartControl& chart, CGraph& graph, GraphDrawState& state, const CGraphStyleTable& styles);

// The Y axes' scales: the drawn extremes with "Adjust Y-Axis", else the
// kernel's range of every choice of the primary axis' series; a limit that
// is NaN leaves the axis automatic, otherwise the nice scale applies.
void ScaleAxes(qs::chart::ChartControl& chart, CGraph& graph, const GraphDrawState& state);

// Print sizes of the chart's texts for a page holding several graphs: with
// fewer than five rows of graphs each size shrinks by 1.5 points per extra
// graph on the page (never below 4); with five or more rows by a third.
void ScaleFontsForPrint(qs::chart::ChartControl& chart, const GraphDrawState& state);

}  // namespace qs::graphs
