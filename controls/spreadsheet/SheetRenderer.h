#pragma once
// Paints cells and headings of a SheetData into any painter. The screen
// grid and printing share it, so what is printed is what is shown.
#include "SheetData.h"

#include <QHash>
#include <QPainter>

#include <vector>

namespace qs::ss {

struct RenderSpec {
    double pxPerTwipX = 96.0 / 1440.0;  // device pixels per twip, view scale included
    double pxPerTwipY = 96.0 / 1440.0;
    double fontScale = 1.0;             // view or print scale as a factor
    bool gridLines = true;
    QColor gridColor = QColor(0xC0, 0xC0, 0xC0);
    QColor background = Qt::white;
    QColor headingBackground = QColor(0xF0, 0xF0, 0xF0);
};

class SheetRenderer {
public:
    SheetRenderer(const SheetData& sheet, const RenderSpec& spec) : m_sheet(sheet), m_spec(spec) {}

    double ColPx(int col) const { return m_sheet.ColWidth(col) * m_spec.pxPerTwipX; }
    double RowPx(int row) const { return m_sheet.RowHeight(row) * m_spec.pxPerTwipY; }

    // Cells of the given rows and columns, in that order, from `origin`.
    void PaintCells(QPainter& p, QPointF origin, const std::vector<int>& rows, const std::vector<int>& cols);
    // The heading row above the given columns / the heading column beside
    // the given rows, and the corner; `thickness` in device pixels.
    void PaintColHeadings(QPainter& p, QPointF origin, const std::vector<int>& cols, double height,
                          const QList<int>& highlighted = {});
    void PaintRowHeadings(QPainter& p, QPointF origin, const std::vector<int>& rows, double width,
                          const QList<int>& highlighted = {});
    void PaintCorner(QPainter& p, const QRectF& rect);

    static Qt::BrushStyle PatternBrush(int pattern);

private:
    void PaintHeading(QPainter& p, const QRectF& rect, const QString& text, bool highlighted);
    const QFont& FontFor(quint32 styleIndex);
    void PaintText(QPainter& p, const QRectF& cellRect, int row, int col, const CellStyle& style, quint32 styleIndex);
    void PaintBorder(QPainter& p, QLineF line, const BorderSide& side);

    const SheetData& m_sheet;
    RenderSpec m_spec;
    QHash<quint32, QFont> m_fonts;
    QFont m_headingFont;
    bool m_headingFontReady = false;
};

}  // namespace qs::ss
