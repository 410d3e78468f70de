#include "GraphFill.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

#include "CGraph.h"
#include "CGraphIterators.h"
#include "CGraphStyleTable.h"
#include "ChartControl.h"
#include "GraphScale.h"

namespace qs::graphs {

using qs::chart::ChartControl;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

void Fold(double value, double& max, double& min) {
    if (std::isnan(max) || value > max) max = value;
    if (std::isnan(min) || value < min) min = value;
}

}  // namespace

int SeriesTypeCode(int chartType) {
    if (chartType == qs::chart::kChartXY) return kSeriesXY;
    if (chartType == qs::chart::kChartLine) return kSeriesLine;
    return 0;
}

void GraphDrawState::ResetExtremes() { primaryMax = primaryMin = secondaryMax = secondaryMin = kNone; }

QString GraphTitle(const CGraph& graph, const GraphDrawState& state) {
    const QString name = Q(graph.GetIDName(0));
    if (!name.isEmpty()) {
        const QString layer = graph.IsLayerDependent() ? QStringLiteral(" (") + state.layerName + QLatin1Char(')')
                                                       : QString();
        if (state.seriesTitle) return name + QStringLiteral(" for ") + Q(graph.GetSeriesName()) + layer;
        return name + layer;
    }
    QString title = Q(graph.GetData().GetName());
    if (title.isEmpty()) {
        // A graph nobody has titled yet is called after what it draws.
        QStringList tables;
        for (int t = 0; t < graph.GetNumTables(); ++t) tables << Q(graph.TableName(t));
        title = tables.join(QStringLiteral(", "));
        if (graph.IsLayerDependent() && !state.layerName.isEmpty())
            title += QStringLiteral(" (") + state.layerName + QLatin1Char(')');
    }
    if (state.seriesTitle) title += QStringLiteral(" for ") + Q(graph.GetSeriesName());
    return title;
}

int FillChart(ChartControl& chart, CGraph& graph, GraphDrawState& state, const CGraphStyleTable& styles) {
    state.ResetExtremes();
    if (state.printing) ScaleFontsForPrint(chart, state);
    const bool xy = chart.ChartType() == qs::chart::kChartXY;
    const int rows = graph.GetNumDataRows();
    const int columns = graph.GetNumDataColumns() * (xy ? 2 : 1);
    chart.SetDataSize(1, rows, columns);

    QSStringArray labels;
    graph.GetRowLabels(labels);
    for (int r = 0; r < rows && r < int(labels.size()); ++r) chart.SetRowLabel(r + 1, Q(labels[size_t(r)]));

    state.filledTitle = GraphTitle(graph, state);
    chart.SetTitle(state.filledTitle);
    if (const std::string& footnote = graph.GetData().GetFootnote(); !footnote.empty()) chart.SetFootnote(Q(footnote));

    const bool residualPlot = QString::fromStdString(graph.GetStyleName()).toUpper().startsWith(QStringLiteral("DEF_RESPLOT"));
    const int type = SeriesTypeCode(chart.ChartType());
    CDataSeriesIter it(&graph);
    CDataSeriesAdapter* series = nullptr;
    int c = 1, k = 0;
    while (it.GetNext(series)) {
        chart.SetColumnLabel(c, Q(series->GetName()));
        const int number = xy ? k / 2 + 1 : c;  // the series in the chart's collection
        const bool hidden = series->IsHidden();
        const qs::chart::SeriesStyle* style = chart.Series(number);
        const bool secondary = style != nullptr && style->secondaryAxis;
        for (int r = 0; r < rows; ++r) {
            double value = 0.0;
            bool null = series->GetNextPoint(value, labels[size_t(r)]);
            if (type != kSeriesLine && type != kSeriesXY && hidden) null = true;
            if (xy) {
                chart.SetData(r + 1, c, r + 1.0, null);
                chart.SetData(r + 1, c + 1, value, null);
            } else {
                chart.SetData(r + 1, c, value, null);
            }
            if (!null && !hidden) {
                if (secondary) Fold(value, state.secondaryMax, state.secondaryMin);
                else Fold(value, state.primaryMax, state.primaryMin);
            }
        }
        const int styleIndex = k / 2 + 1;
        chart.SetSeriesHidden(number, hidden);
        QColor color = style != nullptr ? style->penColor : QColor(Qt::blue);
        if (type == kSeriesLine || type == kSeriesXY) {
            const int styleNumber = type == kSeriesLine ? c : styleIndex;
            styles.SeriesColor(styleNumber, color);
            // A residual plot shows its points alone.
            chart.SetSeriesPen(number, color, residualPlot ? 0.0 : 1.0);
            styles.SeriesMarkers(chart, number, styleNumber);
        } else {
            styles.SeriesColor(c, color);
            chart.SetSeriesPen(number, color, 1.0);
        }
        c += xy ? 2 : 1;
        k += xy ? 2 : 1;
    }
    ScaleAxes(chart, graph, state);
    if (state.zoom) {
        qs::chart::ValueScale x = chart.AxisScale(qs::chart::AxisX);
        x.automatic = false;
        x.minimum = 1.0;
        x.maximum = std::max(rows, 2);
        x.majorDivisions = std::max(rows - 1, 1);
        chart.SetAxisScale(qs::chart::AxisX, x);
    }
    std::string xTitle;
    graph.GetXAxisLabel(xTitle, xy);
    chart.SetAxisTitle(qs::chart::AxisX, Q(xTitle));
    return 1;
}

void ScaleAxes(ChartControl& chart, CGraph& graph, const GraphDrawState& state) {
    double limits[2][2] = {{GraphDrawState::kNone, GraphDrawState::kNone}, {GraphDrawState::kNone, GraphDrawState::kNone}};
    if (graph.GetAdjustYAxis() != 0) {
        limits[0][0] = state.primaryMax;
        limits[0][1] = state.primaryMin;
        limits[1][0] = state.secondaryMax;
        limits[1][1] = state.secondaryMin;
    } else {
        QSStringArray labels;
        graph.GetRowLabels(labels);
        const int type = SeriesTypeCode(chart.ChartType());
        if (type == kSeriesLine || type == kSeriesXY) {
            for (int s = 1; s <= graph.GetNumDataColumns(); ++s) {
                const qs::chart::SeriesStyle* style = chart.Series(s);
                if (style != nullptr && style->secondaryAxis) continue;
                graph.GetCompositeMaxMin(s - 1, labels, limits[0][0], limits[0][1]);
            }
        }
    }
    for (int a = 0; a < 2; ++a) {
        const int axis = a == 0 ? qs::chart::AxisY : qs::chart::AxisY2;
        qs::chart::ValueScale scale = chart.AxisScale(axis);
        double max = limits[a][0], min = limits[a][1];
        if (std::isnan(max) || std::isnan(min)) {
            scale.automatic = true;
        } else {
            short divisions = 1;
            NiceScale(min, max, divisions);
            scale.automatic = false;
            scale.minimum = min;
            scale.maximum = max;
            scale.majorDivisions = divisions;
            scale.minorDivisions = 1;
        }
        chart.SetAxisScale(axis, scale);
    }
}

void ScaleFontsForPrint(ChartControl& chart, const GraphDrawState& state) {
    qs::chart::TextSizes t = chart.GetTextSizes();
    // Many graph rows on a page call for smaller type, never larger: a
    // growing size there would overflow the small graphs.
    const auto scaled = [&](double s) {
        if (state.graphRowsPerPage < 5) return std::max(4.0, s - (state.graphsPerPage - 1) * 1.5);
        return std::max(4.0, s / 1.5);
    };
    for (double* s : {&t.title, &t.legend, &t.footnote, &t.axisLabels, &t.axisTitles}) *s = scaled(*s);
    chart.SetTextSizes(t);
}

}  // namespace qs::graphs
