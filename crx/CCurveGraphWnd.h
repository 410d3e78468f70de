#pragma once
// The graph window: the fitted incremental factors of the three curves over
// the chart, a red cross per point of the curve shown (its coordinates as
// tool tip, Exclude and Modify in its context menu), and zoom by dragging a
// rectangle over the plot.
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <memory>
#include <vector>

#include "CTailFactorAnalysis.h"
#include "CWnd.h"

class QRubberBand;
namespace qs::chart {
class ChartControl;
}

// Curve colours: Inverse Power blue, Exponential green, Weibull magenta.
QColor CurveColor(int curve);

class CPointMarkerWnd : public QWidget, public CWnd {
public:
    CPointMarkerWnd(int point, QWidget* parent);
    ~CPointMarkerWnd() override;
    int Point() const { return m_point; }
    void SetLabel(const QString& label);
    QString Label() const { return m_label; }

    void OnExclude();
    void OnModify();

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    int m_point;
    QString m_label;
};

class CCurveGraphWnd : public QWidget, public CWnd {
public:
    struct Ranges {
        double xMin = 0, xMax = 1;
        int xDivisions = 10;
        double yMin = 0, yMax = 1;
        int yDivisions = 10;
    };
    // The ranges the graph takes when no zoom is kept.
    static Ranges AutomaticRanges(const CTailFactorAnalysis& analysis);

    explicit CCurveGraphWnd(QWidget* parent = nullptr);
    ~CCurveGraphWnd() override;

    qs::chart::ChartControl* Chart() const { return m_chart; }
    const std::vector<std::unique_ptr<CPointMarkerWnd>>& Markers() const { return m_markers; }
    QRect ZoomRect() const { return m_zoom; }

    // Redraws curves and markers from the working analysis (the automatic
    // ranges unless a zoom is kept).
    void Refresh();
    void ResetZoom();
    // Lays the curves and markers out for the chart's current ranges.
    void Relayout();

    // The zoom drag, in this window's pixels (public so tests can drag).
    void OnLeftDown(const QPoint& p);
    void OnMouseMove(const QPoint& p, bool leftDown);
    void OnLeftUp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ApplyRanges(const Ranges& r);
    void EnsureMarkers(int count);

    qs::chart::ChartControl* m_chart;
    QRubberBand* m_band;
    std::vector<std::unique_ptr<CPointMarkerWnd>> m_markers;
    QRect m_plot;
    QRect m_zoom;
    QPoint m_dragStart;
    bool m_tracking = true;
    bool m_dragging = false;
    bool m_relayoutQueued = false;
};
