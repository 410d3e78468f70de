#include "ChartControl.h"

#include <QCategoryAxis>
#include <QChart>
#include <QCoreApplication>
#include <QChartView>
#include <QFile>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPainterPath>
#include <QPaintDevice>
#include <QSaveFile>
#include <QScatterSeries>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

#include "ChartEditDialog.h"
#include "ModalScript.h"
#include "MessageBox.h"

namespace qs::chart {

namespace {

bool ValidAxis(int axis) { return axis >= 0 && axis < kAxisCount; }

// A range the axis can draw: finite, and not a single value.
void Widen(double& lo, double& hi) {
    if (!std::isfinite(lo) || !std::isfinite(hi) || lo > hi) {
        lo = 0.0;
        hi = 1.0;
    } else if (lo == hi) {
        const double pad = lo == 0.0 ? 1.0 : std::abs(lo) * 0.1;
        lo -= pad;
        hi += pad;
    }
}

}  // namespace

QImage MarkerImage(const Marker& m, qreal dpr) {
    const int side = std::max(1, int(std::ceil(m.size * dpr)));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(dpr);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = m.size;
    const QRectF box(0.5, 0.5, s - 1.0, s - 1.0);
    const QPointF c = box.center();
    QPen pen(m.outline, std::max(1.0, s / 8.0));
    p.setPen(pen);
    const bool filled = m.style >= MarkerFilledCircle && m.style <= Marker3dBall;
    p.setBrush(filled ? QBrush(m.fill) : Qt::NoBrush);
    auto triangle = [&](bool up) {
        QPolygonF t;
        if (up) t << QPointF(c.x(), box.top()) << box.bottomRight() << box.bottomLeft();
        else t << box.topLeft() << box.topRight() << QPointF(c.x(), box.bottom());
        p.drawPolygon(t);
    };
    auto diamond = [&] {
        p.drawPolygon(QPolygonF{QPointF(c.x(), box.top()), QPointF(box.right(), c.y()), QPointF(c.x(), box.bottom()),
                                QPointF(box.left(), c.y())});
    };
    switch (m.style) {
    case MarkerDash: p.drawLine(QPointF(box.left(), c.y()), QPointF(box.right(), c.y())); break;
    case MarkerPlus:
        p.drawLine(QPointF(box.left(), c.y()), QPointF(box.right(), c.y()));
        p.drawLine(QPointF(c.x(), box.top()), QPointF(c.x(), box.bottom()));
        break;
    case MarkerX:
        p.drawLine(box.topLeft(), box.bottomRight());
        p.drawLine(box.topRight(), box.bottomLeft());
        break;
    case MarkerStar:
        p.drawLine(QPointF(box.left(), c.y()), QPointF(box.right(), c.y()));
        p.drawLine(QPointF(c.x(), box.top()), QPointF(c.x(), box.bottom()));
        p.drawLine(box.topLeft(), box.bottomRight());
        p.drawLine(box.topRight(), box.bottomLeft());
        break;
    case MarkerCircle:
    case MarkerFilledCircle: p.drawEllipse(box); break;
    case MarkerSquare:
    case MarkerFilledSquare: p.drawRect(box); break;
    case MarkerDiamond:
    case MarkerFilledDiamond: diamond(); break;
    case MarkerUpTriangle:
    case MarkerFilledUpTriangle: triangle(true); break;
    case MarkerDownTriangle:
    case MarkerFilledDownTriangle: triangle(false); break;
    case Marker3dBall: {
        QRadialGradient g(c - QPointF(s / 5, s / 5), s / 1.5);
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, m.fill);
        p.setBrush(g);
        p.drawEllipse(box);
        break;
    }
    default: break;  // MarkerNull: nothing
    }
    return image;
}

ChartControl::ChartControl(QWidget* parent) : QWidget(parent) {
    m_chart = new QChart;
    m_chart->setBackgroundRoundness(0);
    m_view = new QChartView(m_chart, this);
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    const Qt::Alignment sides[kAxisCount] = {Qt::AlignBottom, Qt::AlignLeft, Qt::AlignRight};
    for (int a = 0; a < kAxisCount; ++a) {
        m_axes[a] = new QValueAxis;
        m_chart->addAxis(m_axes[a], sides[a]);
    }
    m_xLabels = new QCategoryAxis;
    m_xLabels->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_xLabels->setVisible(false);
    m_chart->addAxis(m_xLabels, Qt::AlignBottom);
    m_footnote = new QGraphicsSimpleTextItem(m_chart);
    connect(m_chart, &QChart::plotAreaChanged, this, [this] {
        PlaceFootnote();
        // Row labels are thinned for the width they have: a resize lays them
        // out again (once the width has really changed, so that the labels'
        // own effect on the plot area cannot start a loop).
        if (m_look.xRowLabels && !m_bPlacingLabels && std::abs(m_chart->size().width() - m_labelsWidth) > 40) {
            m_bPlacingLabels = true;
            ApplyRowLabels();
            m_bPlacingLabels = false;
        }
    });
    m_data.Clear();
    Touch();
}

ChartControl::~ChartControl() = default;

void ChartControl::Touch() {
    m_dirty = true;
    if (!m_redraw || m_syncQueued) return;
    m_syncQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_syncQueued = false;
        if (m_redraw) SyncNow();
    });
}

void ChartControl::SyncNow() {
    if (!m_dirty) return;
    m_dirty = false;
    Build();
}

void ChartControl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_redraw) SyncNow();
}

void ChartControl::SetChartType(int type) {
    m_look.chartType = type;
    EnsureSeriesStyles();
    Touch();
}
void ChartControl::SetTitle(const QString& text) {
    m_look.title = text;
    Touch();
}
void ChartControl::SetFootnote(const QString& text) {
    m_look.footnote = text;
    Touch();
}
void ChartControl::SetLegendShown(bool on) {
    m_look.legend = on;
    Touch();
}
void ChartControl::SetBackdropColor(const QColor& color) {
    m_look.backdrop = color;
    Touch();
}
void ChartControl::SetTextSizes(const TextSizes& sizes) {
    m_look.text = sizes;
    Touch();
}
void ChartControl::SetLegendPosition(int position) {
    if (position < LegendTop || position > LegendRight) return;
    m_look.legendPosition = position;
    Touch();
}
void ChartControl::SetXAxisRowLabels(bool on) {
    m_look.xRowLabels = on;
    Touch();
}
void ChartControl::SetRedraw(bool on) {
    m_redraw = on;
    m_view->setUpdatesEnabled(on);
    if (on) {
        SyncNow();
        m_view->viewport()->update();
    }
}

void ChartControl::ClearData() {
    m_data.Clear();
    Touch();
}
void ChartControl::SetDataSize(int labelLevels, int rows, int columns) {
    m_data.SetSize(labelLevels, rows, columns);
    EnsureSeriesStyles();
    Touch();
}
bool ChartControl::SetData(int row, int column, double value, bool null) {
    if (!m_data.SetValue(row, column, value, null || !std::isfinite(value))) return false;
    Touch();
    return true;
}
bool ChartControl::SetDataNull(int row, int column, bool null) {
    if (!m_data.SetNull(row, column, null)) return false;
    Touch();
    return true;
}
bool ChartControl::SetRowLabel(int row, const QString& text, int level) {
    if (!m_data.SetRowLabel(row, level, text)) return false;
    Touch();
    return true;
}
bool ChartControl::SetColumnLabel(int column, const QString& text, int level) {
    if (!m_data.SetColumnLabel(column, level, text)) return false;
    Touch();
    return true;
}

int ChartControl::SeriesCount() const {
    return m_look.chartType == kChartXY ? m_data.Columns() / 2 : m_data.Columns();
}

void ChartControl::EnsureSeriesStyles() {
    // Styles beyond the data are kept: a style file may style more series
    // than the data of the moment fills.
    for (int s = int(m_look.series.size()) + 1; s <= SeriesCount(); ++s) {
        SeriesStyle st;
        st.penColor = DefaultSeriesColor(s);
        st.marker.outline = st.marker.fill = st.penColor;
        m_look.series.push_back(st);
    }
}

const SeriesStyle* ChartControl::Series(int series) const {
    if (series < 1 || series > SeriesCount() || series > int(m_look.series.size())) return nullptr;
    return &m_look.series[size_t(series - 1)];
}
SeriesStyle* ChartControl::MutableSeries(int series) {
    if (series < 1 || series > SeriesCount()) return nullptr;
    EnsureSeriesStyles();
    return &m_look.series[size_t(series - 1)];
}

bool ChartControl::SetSeriesSecondaryAxis(int series, bool on) {
    SeriesStyle* st = MutableSeries(series);
    if (!st) return false;
    st->secondaryAxis = on;
    Touch();
    return true;
}
bool ChartControl::SetSeriesHidden(int series, bool hidden) {
    SeriesStyle* st = MutableSeries(series);
    if (!st) return false;
    st->hidden = hidden;
    Touch();
    return true;
}
bool ChartControl::SetSeriesPen(int series, const QColor& color, double width) {
    SeriesStyle* st = MutableSeries(series);
    if (!st || !std::isfinite(width) || width < 0) return false;
    st->penColor = color;
    st->penWidth = width;
    Touch();
    return true;
}
bool ChartControl::SetSeriesMarker(int series, const Marker& marker) {
    SeriesStyle* st = MutableSeries(series);
    if (!st || marker.style < 0 || marker.style >= kMarkerStyleCount || !(marker.size >= 0)) return false;
    st->marker = marker;
    Touch();
    return true;
}
bool ChartControl::SetPointMarker(int series, int point, const Marker& marker) {
    SeriesStyle* st = MutableSeries(series);
    if (!st || point < 1 || point > m_data.Rows() || marker.style < 0 || marker.style >= kMarkerStyleCount ||
        !(marker.size >= 0))
        return false;
    st->pointMarkers[point] = marker;
    Touch();
    return true;
}
bool ChartControl::SetPointBrush(int series, int point, const QColor& color) {
    SeriesStyle* st = MutableSeries(series);
    if (!st || point < 1 || point > m_data.Rows()) return false;
    st->pointBrushes[point] = color;
    Touch();
    return true;
}

bool ChartControl::SetAxisScale(int axis, const ValueScale& scale) {
    if (!ValidAxis(axis) || !std::isfinite(scale.minimum) || !std::isfinite(scale.maximum) ||
        scale.majorDivisions < 0 || scale.minorDivisions < 0)
        return false;
    m_look.axes[size_t(axis)].scale = scale;
    Touch();
    return true;
}
ValueScale ChartControl::AxisScale(int axis) const {
    return ValidAxis(axis) ? m_look.axes[size_t(axis)].scale : ValueScale{};
}
bool ChartControl::AxisRange(int axis, double* minimum, double* maximum) {
    if (!ValidAxis(axis)) return false;
    SyncNow();
    if (minimum) *minimum = m_axes[axis]->min();
    if (maximum) *maximum = m_axes[axis]->max();
    return true;
}
bool ChartControl::SetAxisTitle(int axis, const QString& title) {
    if (!ValidAxis(axis)) return false;
    m_look.axes[size_t(axis)].title = title;
    Touch();
    return true;
}
QString ChartControl::AxisTitle(int axis) const { return ValidAxis(axis) ? m_look.axes[size_t(axis)].title : QString(); }
bool ChartControl::SetAxisLabelsShown(int axis, bool shown) {
    if (!ValidAxis(axis)) return false;
    m_look.axes[size_t(axis)].labelsShown = shown;
    Touch();
    return true;
}

QString ChartControl::SeriesName(int series) const {
    if (m_look.chartType != kChartXY) return m_data.ColumnLabel(series);
    // An XY series is named by its Y column, or else by its X column.
    const QString y = m_data.ColumnLabel(2 * series);
    return y.isEmpty() ? m_data.ColumnLabel(2 * series - 1) : y;
}

QValueAxis* ChartControl::AxisObject(int axis) const { return ValidAxis(axis) ? m_axes[axis] : nullptr; }

bool ChartControl::DataPoint(int series, int point, double* x, double* y) const {
    bool nx = true, ny = true;
    if (m_look.chartType == kChartXY) {
        if (!m_data.GetValue(point, 2 * series - 1, x, &nx) || !m_data.GetValue(point, 2 * series, y, &ny)) return false;
    } else {
        nx = false;
        *x = point;
        if (!m_data.GetValue(point, series, y, &ny)) return false;
    }
    return !nx && !ny;
}

void ChartControl::Build() {
    m_chart->removeAllSeries();
    m_chart->setTitle(m_look.title);
    m_chart->setBackgroundBrush(m_look.backdrop);
    m_chart->legend()->setVisible(m_look.legend);
    static const Qt::Alignment legendSides[] = {Qt::AlignTop, Qt::AlignBottom, Qt::AlignLeft, Qt::AlignRight};
    m_chart->legend()->setAlignment(legendSides[m_look.legendPosition]);
    m_footnote->setText(m_look.footnote);
    ApplyTexts();
    m_chart->setMargins(QMargins(4, 4, 4, m_look.footnote.isEmpty() ? 4 : 4 + int(m_footnote->boundingRect().height())));
    EnsureSeriesStyles();

    const qreal dpr = devicePixelRatioF();
    for (int s = 1; s <= SeriesCount(); ++s) {
        const SeriesStyle& st = m_look.series[size_t(s - 1)];
        if (st.hidden) continue;
        QValueAxis* yAxis = m_axes[st.secondaryAxis ? AxisY2 : AxisY];
        auto* line = new QLineSeries;
        line->setName(SeriesName(s));
        QPen pen(st.penColor, st.penWidth);
        if (st.penWidth <= 0) pen = Qt::NoPen;
        line->setPen(pen);
        // Markers come in groups of equal look. The common case, every point
        // marked alike, is drawn by the line itself; other groups each become
        // a scatter series drawn with that look's image (a scatter series
        // costs a graphics item per point, a line's markers nothing extra).
        QList<QPointF> points;
        points.reserve(m_data.Rows());
        std::vector<std::pair<Marker, QList<QPointF>>> groups;
        for (int p = 1; p <= m_data.Rows(); ++p) {
            double x = 0, y = 0;
            if (!DataPoint(s, p, &x, &y)) continue;
            points.append(QPointF(x, y));
            const Marker m = st.MarkerOf(p);
            if (!m.visible || m.style == MarkerNull || m.size <= 0) continue;
            auto it = std::find_if(groups.begin(), groups.end(), [&m](const auto& g) { return g.first == m; });
            if (it == groups.end()) it = groups.insert(groups.end(), {m, {}});
            it->second.append(QPointF(x, y));
        }
        line->replace(points);
        if (groups.size() == 1 && groups.front().second.size() == points.size()) {
            line->setMarkerSize(groups.front().first.size);
            line->setLightMarker(MarkerImage(groups.front().first, dpr));
            line->setPointsVisible(true);
            groups.clear();
        }
        m_chart->addSeries(line);
        line->attachAxis(m_axes[AxisX]);
        line->attachAxis(yAxis);
        for (const auto& [m, marked] : groups) {
            auto* scatter = new QScatterSeries;
            scatter->append(marked);
            scatter->setMarkerSize(m.size);
            scatter->setLightMarker(MarkerImage(m, dpr));
            m_chart->addSeries(scatter);
            scatter->attachAxis(m_axes[AxisX]);
            scatter->attachAxis(yAxis);
            for (QLegendMarker* lm : m_chart->legend()->markers(scatter)) lm->setVisible(false);
        }
    }
    ApplyAxes();
    ApplyRowLabels();
    PlaceFootnote();
}

void ChartControl::ApplyTexts() {
    const TextSizes& t = m_look.text;
    const auto sized = [](QFont f, double points, bool bold = false) {
        f.setPointSizeF(points);
        f.setBold(bold);
        return f;
    };
    m_chart->setTitleFont(sized(m_chart->titleFont(), t.title, true));
    m_chart->legend()->setFont(sized(m_chart->legend()->font(), t.legend));
    m_footnote->setFont(sized(m_footnote->font(), t.footnote));
    for (QValueAxis* axis : {m_axes[AxisX], m_axes[AxisY], m_axes[AxisY2], static_cast<QValueAxis*>(m_xLabels)}) {
        axis->setLabelsFont(sized(axis->labelsFont(), t.axisLabels));
        axis->setTitleFont(sized(axis->titleFont(), t.axisTitles, true));
    }
}

void ChartControl::ApplyRowLabels() {
    // The labels axis stands in for the X axis' numbers: same range, same
    // title, the row labels at their rows, every k-th one where they would crowd.
    QValueAxis* x = m_axes[AxisX];
    for (const QString& label : m_xLabels->categoriesLabels()) m_xLabels->remove(label);
    bool labelled = m_look.xRowLabels && m_data.Rows() > 0;
    for (int r = 1; labelled && r <= m_data.Rows(); ++r) labelled = !m_data.RowLabel(r).isEmpty();
    // The X axis is always drawn (ApplyAxes); with row labels the labels
    // axis is drawn in its place.
    m_xLabels->setVisible(labelled);
    if (!labelled) return;
    m_xLabels->setRange(x->min(), x->max());
    m_xLabels->setTitleText(x->titleText());
    m_xLabels->setLabelsVisible(x->labelsVisible());
    m_xLabels->setMinorTickCount(0);
    m_xLabels->setStartValue(std::min(x->min(), 0.0));
    x->setVisible(false);
    int longest = 1;
    for (int r = 1; r <= m_data.Rows(); ++r) longest = std::max(longest, int(m_data.RowLabel(r).size()));
    const QFontMetricsF metrics(m_xLabels->labelsFont());
    const double labelWidth = metrics.horizontalAdvance(QString(longest, QLatin1Char('0'))) + 12.0;
    m_labelsWidth = m_chart->size().width();
    const double width = std::max(100.0, m_labelsWidth * 0.8);
    const double visibleRows = std::max(1.0, std::min(double(m_data.Rows()), x->max() - x->min() + 1.0));
    const int step = std::max(1, int(std::ceil(visibleRows * labelWidth / width)));
    QString previous;
    for (int r = 1; r <= m_data.Rows(); r += step) {
        // Rows outside the drawn range would pile up at its edge.
        if (r < x->min() - 1e-9 || r > x->max() + 1e-9) continue;
        const QString label = m_data.RowLabel(r);
        // A category's label is its key: a repeated label is left out.
        if (label == previous || m_xLabels->categoriesLabels().contains(label)) continue;
        m_xLabels->append(label, r);
        previous = label;
    }
}

void ChartControl::ApplyAxes() {
    bool secondaryUsed = false;
    for (int s = 1; s <= SeriesCount(); ++s) secondaryUsed |= m_look.series[size_t(s - 1)].secondaryAxis;
    for (int a = 0; a < kAxisCount; ++a) {
        const AxisStyle& style = m_look.axes[size_t(a)];
        QValueAxis* axis = m_axes[a];
        axis->setTitleText(style.title);
        axis->setLabelsVisible(style.labelsShown);
        axis->setVisible(a != AxisY2 || secondaryUsed);
        double lo = style.scale.minimum, hi = style.scale.maximum;
        if (style.scale.automatic) {
            lo = std::numeric_limits<double>::infinity();
            hi = -lo;
            for (int s = 1; s <= SeriesCount(); ++s) {
                const SeriesStyle& st = m_look.series[size_t(s - 1)];
                if (st.hidden || (a != AxisX && st.secondaryAxis != (a == AxisY2))) continue;
                for (int p = 1; p <= m_data.Rows(); ++p) {
                    double x = 0, y = 0;
                    if (!DataPoint(s, p, &x, &y)) continue;
                    const double v = a == AxisX ? x : y;
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                }
            }
            Widen(lo, hi);
            axis->setRange(lo, hi);
            axis->applyNiceNumbers();
        } else {
            Widen(lo, hi);
            axis->setRange(lo, hi);
            axis->setTickCount(std::max(2, style.scale.majorDivisions + 1));
        }
        axis->setMinorTickCount(style.scale.minorDivisions);
        // As many decimals as the step between labels needs: 5000, not 5000.0.
        const double step = (axis->max() - axis->min()) / std::max(1, axis->tickCount() - 1);
        int decimals = 0;
        while (decimals < 6 && std::isfinite(step) && step > 0 &&
               std::abs(step * std::pow(10.0, decimals) - std::round(step * std::pow(10.0, decimals))) > 1e-6)
            ++decimals;
        axis->setLabelFormat(QStringLiteral("%.") + QString::number(decimals) + QStringLiteral("f"));
    }
}

void ChartControl::PlaceFootnote() {
    const QRectF r = m_chart->rect();
    const QRectF b = m_footnote->boundingRect();
    m_footnote->setPos(r.left() + 8, r.bottom() - b.height() - 4);
}

QRect ChartControl::PlotRect() {
    SyncNow();
    // New axis labels change the margins they need, which moves the plot
    // again: lay out until it stays.
    for (int pass = 0; pass < 4 && m_chart->layout(); ++pass) {
        const QRectF before = m_chart->plotArea();
        QCoreApplication::sendPostedEvents(m_chart, QEvent::LayoutRequest);
        m_chart->layout()->activate();
        if (m_chart->plotArea() == before) break;
    }
    // Corner to corner, so that left + width is the right edge exactly.
    const QRectF area = m_chart->plotArea();
    const QPoint a = m_view->mapTo(this, m_view->mapFromScene(m_chart->mapToScene(area.topLeft())));
    const QPoint b = m_view->mapTo(this, m_view->mapFromScene(m_chart->mapToScene(area.bottomRight())));
    return QRect(a, QSize(b.x() - a.x(), b.y() - a.y()));
}

bool ChartControl::ValueToPosition(double x, double y, QPointF* position, int yAxis) {
    if (yAxis != AxisY && yAxis != AxisY2) return false;
    SyncNow();
    const QRect plot = PlotRect();
    const double x0 = m_axes[AxisX]->min(), x1 = m_axes[AxisX]->max();
    const double y0 = m_axes[yAxis]->min(), y1 = m_axes[yAxis]->max();
    if (!(x1 > x0) || !(y1 > y0) || plot.width() <= 0 || plot.height() <= 0 || !std::isfinite(x) || !std::isfinite(y))
        return false;
    // The plot rectangle's pixels run from left to left + width - 1.
    const QRectF area(plot);
    position->setX(area.left() + (x - x0) / (x1 - x0) * area.width());
    position->setY((area.top() + area.height()) - (y - y0) / (y1 - y0) * area.height());
    return true;
}

bool ChartControl::PositionToValue(const QPointF& position, double* x, double* y, int yAxis) {
    if (yAxis != AxisY && yAxis != AxisY2) return false;
    const QRect plot = PlotRect();
    if (plot.width() <= 0 || plot.height() <= 0) return false;
    const double x0 = m_axes[AxisX]->min(), x1 = m_axes[AxisX]->max();
    const double y0 = m_axes[yAxis]->min(), y1 = m_axes[yAxis]->max();
    const QRectF area(plot);
    if (x) *x = x0 + (x1 - x0) * (position.x() - area.left()) / area.width();
    if (y) *y = y0 + (y1 - y0) * ((area.top() + area.height()) - position.y()) / area.height();
    return true;
}

bool ChartControl::PointPosition(int series, int point, QPointF* position) {
    const SeriesStyle* st = Series(series);
    double x = 0, y = 0;
    if (!st || st->hidden || !DataPoint(series, point, &x, &y)) return false;
    return ValueToPosition(x, y, position, st->secondaryAxis ? AxisY2 : AxisY);
}

void ChartControl::SetAppearance(const Appearance& look) {
    m_look = look;
    for (AxisStyle& a : m_look.axes) Widen(a.scale.minimum, a.scale.maximum);
    EnsureSeriesStyles();
    Touch();
}

bool ChartControl::SaveToFile(const QString& path, QString* error) const {
    QSaveFile file(path);
    const QByteArray bytes = m_look.ToBytes();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

bool ChartControl::LoadFromFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    Appearance look;
    if (!Appearance::FromBytes(file.readAll(), &look)) {
        if (error) *error = QStringLiteral("%1 is not a chart style file or is damaged.").arg(path);
        return false;
    }
    SetAppearance(look);
    return true;
}

bool ChartControl::SaveToMemory(QByteArray* out, int limit) const {
    const QByteArray bytes = m_look.ToBytes();
    if (bytes.size() > limit) return false;
    *out = bytes;
    return true;
}

bool ChartControl::RestoreFromMemory(const QByteArray& bytes) {
    Appearance look;
    if (bytes.size() > kMemoryLimit || !Appearance::FromBytes(bytes, &look)) return false;
    SetAppearance(look);
    return true;
}

int ChartControl::ShowEditor() {
    QStringList names;
    for (int s = 1; s <= SeriesCount(); ++s) names << SeriesName(s);
    ChartEditDialog dialog(m_look, SeriesCount(), this, names);
    if (qs::fw::RunModal(dialog) != IDOK) return IDCANCEL;
    SetAppearance(dialog.Result());
    emit AppearanceChanged();
    return IDOK;
}

void ChartControl::Render(QPainter* painter, const QRectF& target) {
    if (!painter || target.isEmpty()) return;
    SyncNow();
    // Lay the chart out at the target's size in screen pixels, so fonts and
    // pens keep their proportions on a printer, then scale it into place.
    const double dpi = painter->device() ? painter->device()->logicalDpiX() : 96.0;
    const double scale = dpi > 0 ? 96.0 / dpi : 1.0;
    const QRectF logical(QPointF(0, 0), target.size() * scale);
    const QRectF old = m_chart->geometry();
    // A chart drawn at the size it has on screen needs no second layout.
    const bool relayout = old != logical;
    if (relayout) {
        m_chart->setGeometry(logical);
        if (m_chart->layout()) m_chart->layout()->activate();
        PlaceFootnote();
    }
    m_chart->scene()->render(painter, target, m_chart->mapRectToScene(logical), Qt::IgnoreAspectRatio);
    if (relayout) {
        m_chart->setGeometry(old);
        if (m_chart->layout()) m_chart->layout()->activate();
        PlaceFootnote();
    }
}

}  // namespace qs::chart
