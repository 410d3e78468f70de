#pragma once
// The chart widget: a data grid drawn as series over three value axes
// (0 X, 1 Y, 2 second Y), with a title, a footnote and a legend, on Qt
// Charts. Callers fill the grid and style the series; the widget draws them,
// tells where a value lands on screen, keeps its appearance in a file or a
// memory block, lets a person edit it in a dialog (AppearanceChanged then
// fires) and draws itself into any painter for printing.
//
// Setters only record; the drawing catches up once control returns to the
// event loop, or at once when a caller asks for a position or renders.
// With the redraw switch off nothing is drawn until it is switched on again.
#include <QWidget>

#include "ChartTypes.h"

class QPainter;

class QChart;
class QChartView;
class QValueAxis;
class QCategoryAxis;
class QGraphicsSimpleTextItem;

namespace qs::chart {

class ChartControl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMemoryLimit = 32000;

    explicit ChartControl(QWidget* parent = nullptr);
    ~ChartControl() override;

    // --- whole chart ---------------------------------------------------------
    void SetChartType(int type);
    int ChartType() const { return m_look.chartType; }
    void SetTitle(const QString& text);
    QString Title() const { return m_look.title; }
    void SetFootnote(const QString& text);
    QString Footnote() const { return m_look.footnote; }
    void SetLegendShown(bool on);
    bool LegendShown() const { return m_look.legend; }
    void SetBackdropColor(const QColor& color);
    QColor BackdropColor() const { return m_look.backdrop; }
    // Point sizes of the title, legend, footnote, axis labels and axis titles.
    void SetTextSizes(const TextSizes& sizes);
    const TextSizes& GetTextSizes() const { return m_look.text; }
    void SetLegendPosition(int position);  // LegendPosition; others are ignored
    // The X axis names row r's value by the grid's row label r.
    void SetXAxisRowLabels(bool on);
    void SetRedraw(bool on);
    bool Redraw() const { return m_redraw; }

    // --- data grid -------------------------------------------------------------
    void ClearData();
    void SetDataSize(int labelLevels, int rows, int columns);
    const DataGrid& Data() const { return m_data; }
    bool SetData(int row, int column, double value, bool null = false);
    bool SetDataNull(int row, int column, bool null = true);
    bool GetData(int row, int column, double* value, bool* null) const { return m_data.GetValue(row, column, value, null); }
    bool SetRowLabel(int row, const QString& text, int level = 1);
    bool SetColumnLabel(int column, const QString& text, int level = 1);

    // --- series (1-based; SeriesCount follows the grid and the chart type) -------
    int SeriesCount() const;
    // Null outside 1..SeriesCount.
    const SeriesStyle* Series(int series) const;
    // The name the legend shows (an XY series: its Y column's label, else its X column's).
    QString SeriesName(int series) const;
    bool SetSeriesSecondaryAxis(int series, bool on);
    bool SetSeriesHidden(int series, bool hidden);
    bool SetSeriesPen(int series, const QColor& color, double width);
    bool SetSeriesMarker(int series, const Marker& marker);
    bool SetPointMarker(int series, int point, const Marker& marker);
    bool SetPointBrush(int series, int point, const QColor& color);

    // --- axes -------------------------------------------------------------------
    bool SetAxisScale(int axis, const ValueScale& scale);
    // The scale as set; a default one for an axis that does not exist.
    ValueScale AxisScale(int axis) const;
    // The range drawn (automatic scales resolved from the data); false for an
    // axis that does not exist.
    bool AxisRange(int axis, double* minimum, double* maximum);
    bool SetAxisTitle(int axis, const QString& title);
    QString AxisTitle(int axis) const;
    bool SetAxisLabelsShown(int axis, bool shown);

    // --- where things are (widget pixels) ------------------------------------------
    QRect PlotRect();
    // The position of the value (x, y) on the X axis and axis yAxis; false
    // when an axis range is empty.
    bool ValueToPosition(double x, double y, QPointF* position, int yAxis = AxisY);
    bool PositionToValue(const QPointF& position, double* x, double* y, int yAxis = AxisY);
    // The position of a data point (series, point = grid row); false when the
    // point is null or its series hidden.
    bool PointPosition(int series, int point, QPointF* position);

    // --- appearance -------------------------------------------------------------------
    const Appearance& GetAppearance() const { return m_look; }
    void SetAppearance(const Appearance& look);
    // Written whole or not at all (a crash never leaves half a file); a file
    // that does not hold a chart appearance leaves the chart unchanged.
    bool SaveToFile(const QString& path, QString* error = nullptr) const;
    bool LoadFromFile(const QString& path, QString* error = nullptr);
    // False (out untouched) when the appearance needs more than limit bytes.
    bool SaveToMemory(QByteArray* out, int limit = kMemoryLimit) const;
    bool RestoreFromMemory(const QByteArray& bytes);

    // The editing dialog: IDOK after the person applied changes (the
    // appearance is then changed and AppearanceChanged emitted), else IDCANCEL.
    int ShowEditor();

    // Draws the chart laid out for target (logical size at 96 dpi) into the painter.
    void Render(QPainter* painter, const QRectF& target);

    // Draws what the setters recorded now (what the event loop would do).
    void SyncNow();

signals:
    void AppearanceChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Touch();
    void Build();
    void ApplyAxes();
    void ApplyTexts();
    void ApplyRowLabels();
    void PlaceFootnote();
    void EnsureSeriesStyles();
    SeriesStyle* MutableSeries(int series);
    bool DataPoint(int series, int point, double* x, double* y) const;
    QValueAxis* AxisObject(int axis) const;

    Appearance m_look;
    DataGrid m_data;
    bool m_redraw = true;
    bool m_dirty = true;
    bool m_syncQueued = false;
    QChart* m_chart = nullptr;
    QChartView* m_view = nullptr;
    QValueAxis* m_axes[kAxisCount] = {};
    // Shown in place of the X axis' numbers when it names rows by their labels.
    QCategoryAxis* m_xLabels = nullptr;
    double m_labelsWidth = 0;       // the chart width the row labels were thinned for
    bool m_bPlacingLabels = false;
    QGraphicsSimpleTextItem* m_footnote = nullptr;
};

// The image a marker style is drawn with (exposed for the editing dialog's preview).
QImage MarkerImage(const Marker& marker, qreal devicePixelRatio = 1.0);

}  // namespace qs::chart
