#pragma once
// The chart window of a graph view: the chart widget with the graph's
// style files (their messages to the user), rubber-band zooming and the
// right-click menu request.
//
// Zoom: while zoom is enabled, a band dragged with the left button over an
// XY chart, more than 10 pixels wide and high, becomes the axes' fixed
// ranges: the X range widened to whole rows, the Y range to its nice scale.
#include <QPoint>
#include <QRect>

#include <functional>

#include "ChartControl.h"

class QRubberBand;

class CGraphChartWnd : public qs::chart::ChartControl {
    Q_OBJECT
public:
    explicit CGraphChartWnd(QWidget* parent = nullptr);
    ~CGraphChartWnd() override;

    // userFile: a style file the user named (a failure names the file), else
    // the temporary style file. A failed load or save is reported here.
    bool LoadStyleFile(const QString& path, bool userFile);
    bool SaveStyleFile(const QString& path, bool userFile);

    void SetZoomEnabled(bool on) { m_bZoomEnabled = on; }
    bool IsZoomEnabled() const { return m_bZoomEnabled; }
    bool IsDragging() const { return m_bDragging; }

    // The mouse as the chart's viewport sees it (tests play a person with
    // them): positions in this widget's pixels.
    void OnLButtonDown(const QPoint& point);
    void OnMouseMove(const QPoint& point, bool leftHeld);
    void OnLButtonUp(const QPoint& point);
    void OnRButtonDown(const QPoint& point);

    // Called with the screen position of a right click (the view's menu).
    std::function<void(const QPoint& globalPos)> onContextMenu;
    // Called after a band zoomed the chart.
    std::function<void()> onZoomed;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ZoomToBand(const QRect& band);

    bool m_bDragging = false;
    QPoint m_ptStart, m_ptEnd;
    QRect m_rectLast;
    bool m_bBandDrawn = false;
    bool m_bZoomEnabled = false;
    // What the last band read from the chart.
    QRect m_rectPlot;
    double m_dXMin = 0, m_dYMin = 0, m_dXMax = 0, m_dYMax = 0;
    QRubberBand* m_pBand = nullptr;
};
