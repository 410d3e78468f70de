#include "CGraphChartWnd.h"

#include <QChartView>
#include <QMouseEvent>
#include <QRubberBand>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "GraphScale.h"
#include "MessageBox.h"

using namespace qs::chart;

CGraphChartWnd::CGraphChartWnd(QWidget* parent) : ChartControl(parent) {
    if (auto* view = findChild<QChartView*>()) {
        view->viewport()->installEventFilter(this);
        view->viewport()->setMouseTracking(true);
        view->setRubberBand(QChartView::NoRubberBand);
    }
    m_pBand = new QRubberBand(QRubberBand::Rectangle, this);
    m_pBand->hide();
}

CGraphChartWnd::~CGraphChartWnd() = default;

bool CGraphChartWnd::LoadStyleFile(const QString& path, bool userFile) {
    if (LoadFromFile(path)) return true;
    const QString first = userFile ? QStringLiteral("The file %1 not found.\n").arg(path)
                                   : QStringLiteral("The temporary file %1 not found.\n").arg(path);
    AfxMessageBox(first + QStringLiteral("Quillstone was unable to load the style for this graph.\n") +
                      QStringLiteral("Graph will be created with default style"),
                  MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool CGraphChartWnd::SaveStyleFile(const QString& path, bool userFile) {
    if (SaveToFile(path)) {
        if (userFile) AfxMessageBox(QStringLiteral("Graph style saved successfully."), MB_OK | MB_ICONINFORMATION);
        return true;
    }
    const QString text = userFile ? QStringLiteral("Quillstone was unable to save the style for this graph.\n") +
                                        QStringLiteral("The file %1 could not be created.").arg(path)
                                  : QStringLiteral("QSEE was unable to save the style for this graph.\n") +
                                        QStringLiteral("The temporary file %1 could not be created.").arg(path);
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool CGraphChartWnd::eventFilter(QObject* watched, QEvent* event) {
    auto* viewport = qobject_cast<QWidget*>(watched);
    if (viewport == nullptr) return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        const QPoint p = viewport->mapTo(this, e->position().toPoint());
        if (e->button() == Qt::RightButton) {
            OnRButtonDown(p);
            return true;
        }
        if (e->button() == Qt::LeftButton && m_bZoomEnabled) {
            OnLButtonDown(p);
            return true;
        }
        return false;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (!m_bDragging) return false;
        OnMouseMove(viewport->mapTo(this, e->position().toPoint()), e->buttons() & Qt::LeftButton);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton || !m_bDragging) return false;
        OnLButtonUp(viewport->mapTo(this, e->position().toPoint()));
        return true;
    }
    default: return false;
    }
}

void CGraphChartWnd::OnRButtonDown(const QPoint& point) {
    if (onContextMenu) onContextMenu(mapToGlobal(point));
}

void CGraphChartWnd::OnLButtonDown(const QPoint& point) {
    if (!m_bZoomEnabled) return;
    m_ptStart = m_ptEnd = point;
    m_rectLast = QRect();
    m_bBandDrawn = false;
    m_bDragging = true;
}

void CGraphChartWnd::OnMouseMove(const QPoint& point, bool leftHeld) {
    if (!m_bDragging || !leftHeld) return;
    m_ptEnd = point;
    m_rectLast = QRect(m_ptStart, m_ptEnd).normalized();
    m_pBand->setGeometry(m_rectLast);
    m_pBand->show();
    m_bBandDrawn = true;
}

void CGraphChartWnd::OnLButtonUp(const QPoint& point) {
    if (!m_bDragging) return;
    m_bDragging = false;
    m_ptEnd = point;
    m_pBand->hide();
    m_bBandDrawn = false;
    // The band's size is the distance dragged (a QRect counts both edges).
    const int width = std::abs(m_ptEnd.x() - m_ptStart.x()), height = std::abs(m_ptEnd.y() - m_ptStart.y());
    if (ChartType() == kChartXY && width > 10 && height > 10)
        ZoomToBand(QRect(QPoint(std::min(m_ptStart.x(), m_ptEnd.x()), std::min(m_ptStart.y(), m_ptEnd.y())),
                         QSize(width, height)));
}

void CGraphChartWnd::ZoomToBand(const QRect& band) {
    m_rectPlot = PlotRect();
    if (m_rectPlot.width() <= 0 || m_rectPlot.height() <= 0) return;
    AxisRange(AxisX, &m_dXMin, &m_dXMax);
    AxisRange(AxisY, &m_dYMin, &m_dYMax);
    const double left = m_rectPlot.left(), right = m_rectPlot.left() + m_rectPlot.width();
    const double top = m_rectPlot.top(), bottom = m_rectPlot.top() + m_rectPlot.height();
    const auto xAt = [&](double px) { return m_dXMin + (px - left) / (right - left) * (m_dXMax - m_dXMin); };
    const auto yAt = [&](double py) { return m_dYMin + (bottom - py) / (bottom - top) * (m_dYMax - m_dYMin); };
    double x0 = std::floor(xAt(band.left())), x1 = std::ceil(xAt(band.left() + band.width()));
    double y0 = yAt(band.top() + band.height()), y1 = yAt(band.top());
    if (x1 <= x0) x1 = x0 + 1.0;
    short divisions = 1;
    qs::graphs::NiceScale(y0, y1, divisions);
    ValueScale x = AxisScale(AxisX), y = AxisScale(AxisY);
    x.automatic = y.automatic = false;
    x.minimum = x0;
    x.maximum = x1;
    x.majorDivisions = int(x1 - x0);
    y.minimum = y0;
    y.maximum = y1;
    y.majorDivisions = divisions;
    SetAxisScale(AxisX, x);
    SetAxisScale(AxisY, y);
    SyncNow();
    update();
    if (onZoomed) onZoomed();
}
