#include "CCurveGraphWnd.h"

#include <QContextMenuEvent>
#include <QGraphicsView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <cmath>

#include "CCrxApp.h"
#include "CGraphFrame.h"
#include "CMainFrame.h"
#include "ChartControl.h"
#include "CrxDialogs.h"
#include "CrxMessages.h"
#include "CrxNumbers.h"

using qs::chart::ChartControl;
using qs::chart::ValueScale;

namespace {

// More divisions than this cannot be told apart on screen.
constexpr int kMaxDivisions = 50;

int CurveShown() {
    CMainFrame* frame = CrxApp()->MainFrame();
    const LRESULT c = frame ? frame->SendMessage(MSG_GET_CURVE) : -1;
    return c >= 0 && c < kCurveCount ? int(c) : 0;
}

bool CurveDrawn(int curve) {
    CGraphFrame* frame = CrxApp()->m_pGraphFrame;
    return !frame || frame->SendMessage(MSG_IS_CURVE_SHOWN, WPARAM(curve)) != 0;
}

QString PointText(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%f", v);
    return crx::TrimNumber(QString::fromLatin1(buffer), crx::NumberLocale{});
}

}  // namespace

QColor CurveColor(int curve) {
    switch (curve) {
    case 0: return QColor(0, 0, 255);
    case 1: return QColor(0, 255, 0);
    default: return QColor(255, 0, 255);
    }
}

CPointMarkerWnd::CPointMarkerWnd(int point, QWidget* parent) : QWidget(parent), m_point(point) {
    AttachWidget(this);
    setFixedSize(6, 6);
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::PointingHandCursor);
    hide();
    MapCommand(ID_POINT_EXCLUDE, [this] { OnExclude(); });
    MapCommand(ID_POINT_MODIFY, [this] { OnModify(); });
}

CPointMarkerWnd::~CPointMarkerWnd() { DetachWidget(); }

void CPointMarkerWnd::SetLabel(const QString& label) {
    m_label = label.left(80);
    setToolTip(m_label);
    setWindowTitle(m_label);
}

void CPointMarkerWnd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(QColor(255, 0, 0), 2));
    p.drawLine(rect().topLeft(), rect().bottomRight());
    p.drawLine(rect().topRight(), rect().bottomLeft());
}

void CPointMarkerWnd::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* exclude = menu.addAction(QStringLiteral("Exclude"));
    QAction* modify = menu.addAction(QStringLiteral("Modify"));
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == exclude) RouteCommand(ID_POINT_EXCLUDE);
    else if (chosen == modify) RouteCommand(ID_POINT_MODIFY);
}

void CPointMarkerWnd::OnExclude() {
    CTailFactorAnalysis w = CrxApp()->GetWorking();
    for (int c = 0; c < kCurveCount; ++c) w.SetExclude(c, m_point, true);
    CrxApp()->SetWorking(w);
    CrxApp()->MainFrame()->PostMessage(MSG_RECALC);
}

void CPointMarkerWnd::OnModify() {
    CTailFactorAnalysis w = CrxApp()->GetWorking();
    CModifyPointDlg dialog(w.GetEffectiveValue(CurveShown(), m_point), this);
    if (dialog.DoModal() != IDOK) return;
    for (int c = 0; c < kCurveCount; ++c) w.SetValue(c, false, m_point, dialog.m_newValue);
    CrxApp()->SetWorking(w);
    CrxApp()->MainFrame()->PostMessage(MSG_RECALC);
}

CCurveGraphWnd::Ranges CCurveGraphWnd::AutomaticRanges(const CTailFactorAnalysis& a) {
    Ranges r;
    double cutoff = 0.0;
    for (int c = 0; c < kCurveCount; ++c)
        if (std::isfinite(a.GetCutoff(c))) cutoff = std::max(cutoff, a.GetCutoff(c));
    r.xMin = 0.0;
    r.xMax = std::max(1.0, std::ceil(cutoff));
    r.xDivisions = 10;
    if (a.GetFitNegative()) {
        r.yMin = 0.0;
        r.yMax = 1.1;
        r.yDivisions = 11;
        return r;
    }
    // The first actual value sets the top; when there is none above 1 (no
    // points, or an invalid first point) the largest usable value does, and
    // failing that the range is 1 to 2.
    double top = a.GetNumPoints() > 0 ? a.GetValue(0, true, 0) : 0.0;
    if (!(top > 1.0) || !std::isfinite(top)) {
        top = 0.0;
        for (int i = 0; i < a.GetNumPoints(); ++i) {
            const double v = a.GetEffectiveValue(0, i);
            if (std::isfinite(v) && v > 1.0) top = std::max(top, v);
        }
    }
    const double tenths = top > 1.0 ? std::ceil(10.0 * top) : 20.0;
    r.yMin = 1.0;
    r.yMax = tenths * 0.1;
    // Counted in whole tenths: (1.7 - 1) * 10 truncated would give 6.
    r.yDivisions = std::clamp(int(tenths) - 10, 1, kMaxDivisions);
    return r;
}

CCurveGraphWnd::CCurveGraphWnd(QWidget* parent) : QWidget(parent) {
    AttachWidget(this);
    SetControlId(this, 0xE900);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_chart = new ChartControl(this);
    layout->addWidget(m_chart);
    m_chart->SetChartType(qs::chart::kChartXY);
    m_chart->SetTitle(QStringLiteral("Duvi Rozire Vididaze Graph"));
    m_chart->SetLegendShown(false);
    m_chart->SetBackdropColor(Qt::white);
    m_chart->SetAxisTitle(qs::chart::AxisX, QStringLiteral("Age"));
    m_band = new QRubberBand(QRubberBand::Rectangle, m_chart);
    if (auto* view = m_chart->findChild<QGraphicsView*>()) {
        view->viewport()->installEventFilter(this);
        view->viewport()->setMouseTracking(true);
    }
    setFocusPolicy(Qt::StrongFocus);
    MapMessage(MSG_REFRESH_GRAPH, [this](WPARAM, LPARAM) -> LRESULT {
        Refresh();
        return 1;
    });
    MapMessage(MSG_RESET_ZOOM, [this](WPARAM, LPARAM) -> LRESULT {
        ResetZoom();
        return 1;
    });
    EnsureMarkers(CrxApp()->GetWorking().GetNumPoints());
    Refresh();
}

CCurveGraphWnd::~CCurveGraphWnd() {
    m_markers.clear();
    DetachWidget();
}

void CCurveGraphWnd::EnsureMarkers(int count) {
    if (int(m_markers.size()) > count) m_markers.resize(size_t(count));
    for (int i = int(m_markers.size()); i < count; ++i)
        m_markers.push_back(std::make_unique<CPointMarkerWnd>(i, m_chart));
}

void CCurveGraphWnd::ApplyRanges(const Ranges& r) {
    m_chart->SetAxisScale(qs::chart::AxisX, ValueScale{false, r.xMin, r.xMax, r.xDivisions, 0});
    m_chart->SetAxisScale(qs::chart::AxisY, ValueScale{false, r.yMin, r.yMax, r.yDivisions, 0});
}

void CCurveGraphWnd::Refresh() {
    // A new analysis may bring a different number of points.
    EnsureMarkers(CrxApp()->GetWorking().GetNumPoints());
    if (m_zoom.isEmpty()) ApplyRanges(AutomaticRanges(CrxApp()->GetWorking()));
    Relayout();
}

void CCurveGraphWnd::ResetZoom() {
    m_zoom = QRect();
    Refresh();
}

void CCurveGraphWnd::Relayout() {
    const CTailFactorAnalysis w = CrxApp()->GetWorking();
    m_plot = m_chart->PlotRect();
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    m_chart->AxisRange(qs::chart::AxisX, &x0, &x1);
    m_chart->AxisRange(qs::chart::AxisY, &y0, &y1);

    // Each curve is one series sampled once per pixel column; values off
    // the Y range are left out, and the line joins across them.
    const int samples = std::max(2, m_plot.width());
    m_chart->SetRedraw(false);
    m_chart->SetDataSize(1, samples, 2 * kCurveCount);
    for (int c = 0; c < kCurveCount; ++c) {
        m_chart->SetSeriesPen(c + 1, CurveColor(c), 2.0);
        m_chart->SetSeriesHidden(c + 1, !CurveDrawn(c));
        for (int i = 0; i < samples; ++i) {
            const double x = x0 + (x1 - x0) * i / (samples - 1);
            const double y = w.GetIncFactor(c, x);
            m_chart->SetData(i + 1, 2 * c + 1, x);
            if (std::isfinite(y) && y >= y0 && y <= y1) m_chart->SetData(i + 1, 2 * c + 2, y);
            else m_chart->SetDataNull(i + 1, 2 * c + 2);
        }
    }
    m_chart->SetRedraw(true);

    const int shown = CurveShown();
    for (const auto& marker : m_markers) {
        const int i = marker->Point();
        QPointF at;
        const double x = w.GetAge(i), y = w.GetEffectiveValue(shown, i);
        const bool inside = i < w.GetNumPoints() && !w.GetExclude(shown, i) && x >= x0 && x <= x1 && y >= y0 &&
                            y <= y1 && m_chart->ValueToPosition(x, y, &at);
        if (!inside) {
            marker->hide();
            continue;
        }
        marker->move(int(std::lround(at.x())) - 3, int(std::lround(at.y())) - 3);
        marker->SetLabel(QStringLiteral("(%1, %2)").arg(PointText(x), PointText(y)));
        marker->show();
        marker->raise();
    }
}

void CCurveGraphWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_relayoutQueued) return;
    m_relayoutQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_relayoutQueued = false;
        Relayout();
    });
}

void CCurveGraphWnd::OnLeftDown(const QPoint& p) {
    m_dragStart = p;
    m_dragging = true;
    m_zoom = QRect();
}

void CCurveGraphWnd::OnMouseMove(const QPoint& p, bool leftDown) {
    if (!leftDown || !m_dragging) {
        if (!m_tracking) {
            m_tracking = true;
            update();
        }
        return;
    }
    const QRect r(QPoint(std::min(p.x(), m_dragStart.x()), std::min(p.y(), m_dragStart.y())),
                  QSize(std::abs(p.x() - m_dragStart.x()), std::abs(p.y() - m_dragStart.y())));
    if (!m_plot.adjusted(0, 0, 1, 1).contains(r)) {
        m_tracking = false;
        m_band->hide();
        return;
    }
    if (!m_tracking) {
        m_tracking = true;
        return;
    }
    m_zoom = r;
    m_band->setGeometry(r);
    m_band->show();
}

void CCurveGraphWnd::OnLeftUp() {
    m_band->hide();
    m_dragging = false;
    m_tracking = true;
    if (m_zoom.width() <= 10 || m_zoom.height() <= 10) {
        m_zoom = QRect();
        return;
    }
    double left = 0, right = 0, top = 0, bottom = 0;
    m_chart->PositionToValue(QPointF(m_zoom.left(), m_zoom.top() + m_zoom.height()), &left, &bottom);
    m_chart->PositionToValue(QPointF(m_zoom.left() + m_zoom.width(), m_zoom.top()), &right, &top);
    Ranges r;
    r.xMin = left;
    r.xMax = right;
    r.yMin = bottom;
    r.yMax = top;
    r.xDivisions = r.yDivisions = 4;
    ApplyRanges(r);
    Relayout();
}

bool CCurveGraphWnd::eventFilter(QObject* watched, QEvent* event) {
    auto* view = m_chart->findChild<QGraphicsView*>();
    if (!view || watched != view->viewport()) return QWidget::eventFilter(watched, event);
    auto toChart = [&](QMouseEvent* e) { return view->viewport()->mapTo(m_chart, e->position().toPoint()); };
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton) OnLeftDown(toChart(e));
        return true;  // the right button on the chart itself does nothing
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        OnMouseMove(toChart(e), e->buttons() & Qt::LeftButton);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton) OnLeftUp();
        return true;
    }
    default: return QWidget::eventFilter(watched, event);
    }
}
