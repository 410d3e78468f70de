#include "ChartTypes.h"

#include <QDataStream>
#include <QIODevice>

#include <algorithm>
#include <iterator>

namespace qs::chart {

namespace {

constexpr char kTag[] = "QSCHART";
// Version 2 added the text sizes, the legend's position and the X axis'
// row labels; version 1 bytes read with their defaults.
constexpr quint16 kVersion = 2;

// Counts above these cannot come from a real chart; a damaged count must not
// make the reader allocate without bound.
constexpr quint32 kMaxSeries = 4096;
constexpr quint32 kMaxPointEntries = 1u << 20;

void Write(QDataStream& s, const Marker& m) {
    s << m.visible << qint32(m.style) << m.size << m.outline << m.fill;
}
void Read(QDataStream& s, Marker& m) {
    qint32 style = 0;
    s >> m.visible >> style >> m.size >> m.outline >> m.fill;
    m.style = (style >= 0 && style < kMarkerStyleCount) ? style : MarkerNull;
}

}  // namespace

Marker SeriesStyle::MarkerOf(int point) const {
    Marker m = marker;
    if (auto it = pointMarkers.find(point); it != pointMarkers.end()) m = it->second;
    if (auto it = pointBrushes.find(point); it != pointBrushes.end()) m.fill = it->second;
    return m;
}

QColor DefaultSeriesColor(int series) {
    static const QColor palette[] = {QColor(0, 0, 255),   QColor(255, 0, 0),   QColor(0, 160, 0),
                                     QColor(255, 0, 255), QColor(0, 160, 160), QColor(160, 100, 0),
                                     QColor(0, 0, 0),     QColor(255, 140, 0)};
    const int n = int(std::size(palette));
    return palette[((series - 1) % n + n) % n];
}

QByteArray Appearance::ToBytes() const {
    QByteArray body;
    {
        QDataStream s(&body, QIODevice::WriteOnly);
        s.setVersion(QDataStream::Qt_6_4);
        s << qint32(chartType) << title << footnote << legend << backdrop;
        for (const AxisStyle& a : axes)
            s << a.scale.automatic << a.scale.minimum << a.scale.maximum << qint32(a.scale.majorDivisions)
              << qint32(a.scale.minorDivisions) << a.title << a.labelsShown;
        s << quint32(series.size());
        for (const SeriesStyle& st : series) {
            s << st.secondaryAxis << st.hidden << st.penColor << st.penWidth;
            Write(s, st.marker);
            s << quint32(st.pointMarkers.size());
            for (const auto& [point, m] : st.pointMarkers) {
                s << qint32(point);
                Write(s, m);
            }
            s << quint32(st.pointBrushes.size());
            for (const auto& [point, c] : st.pointBrushes) s << qint32(point) << c;
        }
        s << text.title << text.legend << text.footnote << text.axisLabels << text.axisTitles << qint32(legendPosition)
          << xRowLabels;
    }
    QByteArray out(kTag, int(sizeof kTag - 1));
    QDataStream s(&out, QIODevice::WriteOnly | QIODevice::Append);
    s << kVersion << body << quint16(qChecksum(body));
    return out;
}

bool Appearance::FromBytes(const QByteArray& bytes, Appearance* out) {
    const int tagLength = int(sizeof kTag - 1);
    if (!bytes.startsWith(QByteArray(kTag, tagLength))) return false;
    QDataStream outer(bytes.mid(tagLength));
    quint16 version = 0, checksum = 0;
    QByteArray body;
    outer >> version >> body >> checksum;
    if (outer.status() != QDataStream::Ok || version < 1 || version > kVersion || !outer.atEnd()) return false;
    if (quint16(qChecksum(body)) != checksum) return false;

    Appearance a;
    QDataStream s(body);
    s.setVersion(QDataStream::Qt_6_4);
    qint32 type = 0;
    s >> type >> a.title >> a.footnote >> a.legend >> a.backdrop;
    a.chartType = type;
    for (AxisStyle& ax : a.axes) {
        qint32 major = 0, minor = 0;
        s >> ax.scale.automatic >> ax.scale.minimum >> ax.scale.maximum >> major >> minor >> ax.title >> ax.labelsShown;
        ax.scale.majorDivisions = major;
        ax.scale.minorDivisions = minor;
    }
    quint32 count = 0;
    s >> count;
    if (count > kMaxSeries) return false;
    a.series.resize(count);
    for (SeriesStyle& st : a.series) {
        s >> st.secondaryAxis >> st.hidden >> st.penColor >> st.penWidth;
        Read(s, st.marker);
        quint32 n = 0;
        s >> n;
        if (n > kMaxPointEntries || s.status() != QDataStream::Ok) return false;
        for (quint32 i = 0; i < n; ++i) {
            qint32 point = 0;
            Marker m;
            s >> point;
            Read(s, m);
            st.pointMarkers[point] = m;
        }
        s >> n;
        if (n > kMaxPointEntries || s.status() != QDataStream::Ok) return false;
        for (quint32 i = 0; i < n; ++i) {
            qint32 point = 0;
            QColor c;
            s >> point >> c;
            st.pointBrushes[point] = c;
        }
    }
    if (version >= 2) {
        qint32 legendPosition = 0;
        s >> a.text.title >> a.text.legend >> a.text.footnote >> a.text.axisLabels >> a.text.axisTitles >>
            legendPosition >> a.xRowLabels;
        a.legendPosition = legendPosition >= LegendTop && legendPosition <= LegendRight ? legendPosition : LegendTop;
        for (double* size : {&a.text.title, &a.text.legend, &a.text.footnote, &a.text.axisLabels, &a.text.axisTitles})
            if (!(*size >= 1.0 && *size <= 200.0)) return false;
    }
    if (s.status() != QDataStream::Ok || !s.atEnd()) return false;
    *out = std::move(a);
    return true;
}

void DataGrid::Clear() {
    m_levels = 1;
    m_rows = m_columns = 0;
    m_values.clear();
    m_nulls.clear();
    m_rowLabels.assign(1, {});
    m_columnLabels.assign(1, {});
}

void DataGrid::SetSize(int labelLevels, int rows, int columns) {
    labelLevels = std::max(1, labelLevels);
    rows = std::max(0, rows);
    columns = std::max(0, columns);
    std::vector<double> values(size_t(rows) * size_t(columns), 0.0);
    std::vector<bool> nulls(values.size(), true);
    for (int r = 0; r < std::min(rows, m_rows); ++r)
        for (int c = 0; c < std::min(columns, m_columns); ++c) {
            values[size_t(r) * columns + c] = m_values[size_t(r) * m_columns + c];
            nulls[size_t(r) * columns + c] = m_nulls[size_t(r) * m_columns + c];
        }
    m_values = std::move(values);
    m_nulls = std::move(nulls);
    m_rowLabels.resize(size_t(labelLevels));
    m_columnLabels.resize(size_t(labelLevels));
    for (QStringList& l : m_rowLabels) l.resize(rows);
    for (QStringList& l : m_columnLabels) l.resize(columns);
    m_levels = labelLevels;
    m_rows = rows;
    m_columns = columns;
}

bool DataGrid::SetValue(int row, int column, double value, bool null) {
    if (!InGrid(row, column)) return false;
    const size_t i = size_t(row - 1) * m_columns + (column - 1);
    m_values[i] = null ? 0.0 : value;
    m_nulls[i] = null;
    return true;
}

bool DataGrid::SetNull(int row, int column, bool null) {
    if (!InGrid(row, column)) return false;
    const size_t i = size_t(row - 1) * m_columns + (column - 1);
    m_nulls[i] = null;
    if (null) m_values[i] = 0.0;
    return true;
}

bool DataGrid::GetValue(int row, int column, double* value, bool* null) const {
    if (!InGrid(row, column)) return false;
    const size_t i = size_t(row - 1) * m_columns + (column - 1);
    if (value) *value = m_values[i];
    if (null) *null = m_nulls[i];
    return true;
}

bool DataGrid::SetRowLabel(int row, int level, const QString& text) {
    if (row < 1 || row > m_rows || level < 1 || level > m_levels) return false;
    m_rowLabels[size_t(level - 1)][row - 1] = text;
    return true;
}

bool DataGrid::SetColumnLabel(int column, int level, const QString& text) {
    if (column < 1 || column > m_columns || level < 1 || level > m_levels) return false;
    m_columnLabels[size_t(level - 1)][column - 1] = text;
    return true;
}

QString DataGrid::RowLabel(int row, int level) const {
    if (row < 1 || row > m_rows || level < 1 || level > m_levels) return {};
    return m_rowLabels[size_t(level - 1)].value(row - 1);
}

QString DataGrid::ColumnLabel(int column, int level) const {
    if (column < 1 || column > m_columns || level < 1 || level > m_levels) return {};
    return m_columnLabels[size_t(level - 1)].value(column - 1);
}

}  // namespace qs::chart
