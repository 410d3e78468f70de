#include "SheetRenderer.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace qs::ss {

Qt::BrushStyle SheetRenderer::PatternBrush(int pattern) {
    static const Qt::BrushStyle kStyles[kPatternCount] = {
        Qt::NoBrush,      Qt::SolidPattern,    Qt::Dense4Pattern, Qt::Dense2Pattern, Qt::Dense6Pattern,
        Qt::HorPattern,   Qt::VerPattern,      Qt::BDiagPattern,  Qt::FDiagPattern,  Qt::CrossPattern,
        Qt::DiagCrossPattern, Qt::Dense5Pattern, Qt::Dense3Pattern, Qt::HorPattern,  Qt::VerPattern,
        Qt::BDiagPattern, Qt::FDiagPattern,    Qt::CrossPattern,  Qt::Dense7Pattern,
    };
    return pattern >= 0 && pattern < kPatternCount ? kStyles[pattern] : Qt::NoBrush;
}

const QFont& SheetRenderer::FontFor(quint32 styleIndex) {
    auto it = m_fonts.find(styleIndex);
    if (it == m_fonts.end()) {
        const FontSpec spec = m_sheet.EffectiveFont(m_sheet.StyleByIndex(styleIndex));
        it = m_fonts.insert(styleIndex, SheetData::ToQFont(spec, m_spec.fontScale));
    }
    return *it;
}

void SheetRenderer::PaintCells(QPainter& p, QPointF origin, const std::vector<int>& rows,
                               const std::vector<int>& cols) {
    std::vector<double> xs(cols.size() + 1), ys(rows.size() + 1);
    xs[0] = origin.x();
    for (size_t i = 0; i < cols.size(); ++i) xs[i + 1] = xs[i] + ColPx(cols[i]);
    ys[0] = origin.y();
    for (size_t i = 0; i < rows.size(); ++i) ys[i + 1] = ys[i] + RowPx(rows[i]);
    const QRectF area(xs.front(), ys.front(), xs.back() - xs.front(), ys.back() - ys.front());
    p.fillRect(area, m_spec.background);

    // Fills first, then grid lines, text and borders, so borders lie on top.
    for (size_t ri = 0; ri < rows.size(); ++ri) {
        if (ys[ri + 1] <= ys[ri]) continue;
        for (size_t ci = 0; ci < cols.size(); ++ci) {
            if (xs[ci + 1] <= xs[ci]) continue;
            const CellStyle& s = m_sheet.StyleAt(rows[ri], cols[ci]);
            if (s.pattern <= 0) continue;
            const QRectF r(xs[ci], ys[ri], xs[ci + 1] - xs[ci], ys[ri + 1] - ys[ri]);
            if (s.pattern == 1) {
                p.fillRect(r, s.patternFg);
            } else {
                p.fillRect(r, s.patternBg);
                p.fillRect(r, QBrush(s.patternFg, PatternBrush(s.pattern)));
            }
        }
    }
    if (m_spec.gridLines) {
        QPen pen(m_spec.gridColor);
        pen.setCosmetic(true);
        p.setPen(pen);
        for (size_t i = 1; i < xs.size(); ++i)
            if (xs[i] > xs[i - 1]) p.drawLine(QLineF(xs[i] - 0.5, area.top(), xs[i] - 0.5, area.bottom()));
        for (size_t i = 1; i < ys.size(); ++i)
            if (ys[i] > ys[i - 1]) p.drawLine(QLineF(area.left(), ys[i] - 0.5, area.right(), ys[i] - 0.5));
    }
    for (size_t ri = 0; ri < rows.size(); ++ri) {
        if (ys[ri + 1] <= ys[ri]) continue;
        for (size_t ci = 0; ci < cols.size(); ++ci) {
            if (xs[ci + 1] <= xs[ci]) continue;
            const Cell* cell = m_sheet.CellAt(rows[ri], cols[ci]);
            if (!cell || cell->kind == CellKind::Empty) continue;
            const quint32 index = m_sheet.ResolvedIndex(rows[ri], cols[ci]);
            PaintText(p, QRectF(xs[ci], ys[ri], xs[ci + 1] - xs[ci], ys[ri + 1] - ys[ri]), rows[ri], cols[ci],
                      m_sheet.StyleByIndex(index), index);
        }
    }
    for (size_t ri = 0; ri < rows.size(); ++ri) {
        for (size_t ci = 0; ci < cols.size(); ++ci) {
            const CellStyle& s = m_sheet.StyleAt(rows[ri], cols[ci]);
            const double x1 = xs[ci], x2 = xs[ci + 1], y1 = ys[ri], y2 = ys[ri + 1];
            if (s.border[SideLeft].style) PaintBorder(p, QLineF(x1, y1, x1, y2), s.border[SideLeft]);
            if (s.border[SideRight].style) PaintBorder(p, QLineF(x2, y1, x2, y2), s.border[SideRight]);
            if (s.border[SideTop].style) PaintBorder(p, QLineF(x1, y1, x2, y1), s.border[SideTop]);
            if (s.border[SideBottom].style) PaintBorder(p, QLineF(x1, y2, x2, y2), s.border[SideBottom]);
        }
    }
}

void SheetRenderer::PaintBorder(QPainter& p, QLineF line, const BorderSide& side) {
    const double unit = std::max(1.0, 15.0 * m_spec.pxPerTwipX);  // one screen pixel at 100%
    QPen pen(side.color);
    pen.setCapStyle(Qt::FlatCap);
    switch (side.style) {
    case SSB_Medium: pen.setWidthF(2 * unit); break;
    case SSB_Thick: pen.setWidthF(3 * unit); break;
    case SSB_Dashed: pen.setWidthF(unit); pen.setStyle(Qt::DashLine); break;
    case SSB_Dotted: pen.setWidthF(unit); pen.setStyle(Qt::DotLine); break;
    case SSB_Hair: pen.setWidthF(unit * 0.5); break;
    case SSB_Double: {
        pen.setWidthF(unit);
        p.setPen(pen);
        const bool vertical = line.x1() == line.x2();
        const QPointF off = vertical ? QPointF(unit, 0) : QPointF(0, unit);
        p.drawLine(line.translated(-off));
        p.drawLine(line.translated(off));
        return;
    }
    default: pen.setWidthF(unit); break;
    }
    p.setPen(pen);
    p.drawLine(line);
}

void SheetRenderer::PaintText(QPainter& p, const QRectF& cellRect, int row, int col, const CellStyle& style,
                              quint32 styleIndex) {
    const FormattedText f = m_sheet.Formatted(row, col);
    if (f.text.isEmpty()) return;
    const QFont& font = FontFor(styleIndex);
    const FontSpec spec = m_sheet.EffectiveFont(style);
    QFontMetricsF fm(font, p.device());
    const double margin = std::max(1.0, 30.0 * m_spec.pxPerTwipX);
    const QRectF inner = cellRect.adjusted(margin, 0, -margin, 0);

    // Pads take the width of their character; the text is drawn in pieces.
    const double space = fm.horizontalAdvance(u' ');
    double width = fm.horizontalAdvance(f.text);
    for (const auto& pad : f.pads) width += fm.horizontalAdvance(pad.width) - space;

    QString text = f.text;
    QList<FormattedText::Pad> pads = f.pads;
    if (f.isNumber && width > inner.width() + 0.5) {
        // A number that does not fit shows as #### rather than a wrong value.
        const int n = std::max(1, int(inner.width() / std::max(1.0, fm.horizontalAdvance(u'#'))));
        text = QString(n, u'#');
        pads.clear();
        width = fm.horizontalAdvance(text);
    }

    int h = style.hAlign;
    if (h == SSH_General) h = f.isNumber ? SSH_Right : SSH_Left;
    double x = inner.left();
    if (h == SSH_Right) x = inner.right() - width;
    else if (h == SSH_Center || h == SSH_CenterAcross) x = inner.left() + (inner.width() - width) / 2;

    double y;
    const double lineHeight = fm.height();
    if (style.vAlign == SSV_Top) y = cellRect.top();
    else if (style.vAlign == SSV_Center) y = cellRect.top() + (cellRect.height() - lineHeight) / 2;
    else y = cellRect.bottom() - lineHeight - std::max(0.0, 15.0 * m_spec.pxPerTwipY);
    const double baseline = y + fm.ascent();

    p.save();
    p.setClipRect(cellRect);
    p.setFont(font);
    p.setPen(f.color ? *f.color : spec.color);
    if (style.wrap && !f.isNumber) {
        p.drawText(inner, int(Qt::TextWordWrap) |
                              (h == SSH_Right ? Qt::AlignRight : h == SSH_Center ? Qt::AlignHCenter : Qt::AlignLeft) |
                              (style.vAlign == SSV_Top ? Qt::AlignTop
                               : style.vAlign == SSV_Center ? Qt::AlignVCenter : Qt::AlignBottom),
                   text);
    } else if (pads.isEmpty()) {
        p.drawText(QPointF(x, baseline), text);
    } else {
        int from = 0;
        for (const auto& pad : pads) {
            const QString piece = text.mid(from, pad.pos - from);
            p.drawText(QPointF(x, baseline), piece);
            x += fm.horizontalAdvance(piece) + fm.horizontalAdvance(pad.width);
            from = pad.pos + 1;
        }
        p.drawText(QPointF(x, baseline), text.mid(from));
    }
    p.restore();
}

void SheetRenderer::PaintHeading(QPainter& p, const QRectF& rect, const QString& text, bool highlighted) {
    if (!m_headingFontReady) {
        m_headingFont = SheetData::ToQFont(m_sheet.HeadingFont(), m_spec.fontScale);
        m_headingFontReady = true;
    }
    p.fillRect(rect, highlighted ? QColor(0xD0, 0xD8, 0xE8) : m_spec.headingBackground);
    QPen pen(QColor(0x90, 0x90, 0x90));
    pen.setCosmetic(true);
    p.setPen(pen);
    p.drawLine(QLineF(rect.right() - 0.5, rect.top(), rect.right() - 0.5, rect.bottom()));
    p.drawLine(QLineF(rect.left(), rect.bottom() - 0.5, rect.right(), rect.bottom() - 0.5));
    if (text.isEmpty()) return;
    p.save();
    p.setClipRect(rect);
    p.setFont(m_headingFont);
    p.setPen(m_sheet.HeadingFont().color);
    p.drawText(rect, Qt::AlignCenter, text);
    p.restore();
}

void SheetRenderer::PaintColHeadings(QPainter& p, QPointF origin, const std::vector<int>& cols, double height,
                                     const QList<int>& highlighted) {
    double x = origin.x();
    for (int c : cols) {
        const double w = ColPx(c);
        if (w > 0) PaintHeading(p, QRectF(x, origin.y(), w, height), m_sheet.ColHeading(c), highlighted.contains(c));
        x += w;
    }
}

void SheetRenderer::PaintRowHeadings(QPainter& p, QPointF origin, const std::vector<int>& rows, double width,
                                     const QList<int>& highlighted) {
    double y = origin.y();
    for (int r : rows) {
        const double h = RowPx(r);
        if (h > 0) PaintHeading(p, QRectF(origin.x(), y, width, h), m_sheet.RowHeading(r), highlighted.contains(r));
        y += h;
    }
}

void SheetRenderer::PaintCorner(QPainter& p, const QRectF& rect) {
    PaintHeading(p, rect, m_sheet.CornerHeading(), false);
}

}  // namespace qs::ss
