#include "SpreadsheetPrinter.h"

#include "SheetRenderer.h"
#include "SpreadsheetControl.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace qs::ss {

int SpreadsheetPrinter::Scale() const {
    const int s = m_control.PrintScale();
    return s > 0 ? s : 100;
}

double SpreadsheetPrinter::PxPerTwip(int dpi) const { return dpi * Scale() / 100.0 / 1440.0; }

namespace {

struct PrintFrame {
    double headW = 0, headH = 0, titleW = 0, titleH = 0;
};

PrintFrame FrameOf(const SpreadsheetControl& control, double k) {
    const SheetData& sheet = control.Sheet();
    PrintFrame f;
    if (control.PrintSwitch(SSP_RowHeadings)) f.headW = sheet.HeadingColWidth() * k;
    if (control.PrintSwitch(SSP_ColHeadings)) f.headH = sheet.HeadingRowHeight() * k;
    for (int r = 1; r <= control.FixedRows(); ++r) f.titleH += sheet.RowHeight(r) * k;
    for (int c = 1; c <= control.FixedCols(); ++c) f.titleW += sheet.ColWidth(c) * k;
    return f;
}

}  // namespace

SpreadsheetPrinter::Part SpreadsheetPrinter::MeasurePart(const QPaintDevice& device, QSizeF available, int firstRow,
                                                         int firstCol, int lastRow, int lastCol) const {
    const SheetData& sheet = m_control.Sheet();
    const double kx = PxPerTwip(device.logicalDpiX()), ky = PxPerTwip(device.logicalDpiY());
    const PrintFrame fx = FrameOf(m_control, kx), fy = FrameOf(m_control, ky);
    Part part;
    part.firstRow = firstRow;
    part.firstCol = firstCol;
    double w = fx.headW + fx.titleW;
    for (int c = firstCol; c <= lastCol; ++c) {
        const double next = w + sheet.ColWidth(c) * kx;
        if (next > available.width()) break;
        w = next;
        ++part.cols;
    }
    double h = fy.headH + fy.titleH;
    for (int r = firstRow; r <= lastRow; ++r) {
        const double next = h + sheet.RowHeight(r) * ky;
        if (next > available.height()) break;
        h = next;
        ++part.rows;
    }
    part.size = QSizeF(w, h);
    return part;
}

QSizeF SpreadsheetPrinter::PrintPart(QPainter& painter, QPointF topLeft, int firstRow, int firstCol, int rows,
                                     int cols) const {
    const SheetData& sheet = m_control.Sheet();
    const QPaintDevice* device = painter.device();
    RenderSpec spec;
    spec.pxPerTwipX = PxPerTwip(device->logicalDpiX());
    spec.pxPerTwipY = PxPerTwip(device->logicalDpiY());
    spec.fontScale = Scale() / 100.0;
    spec.gridLines = m_control.PrintSwitch(SSP_GridLines);
    spec.gridColor = m_control.GridColor();
    spec.headingBackground = Qt::white;
    SheetRenderer renderer(sheet, spec);
    std::vector<int> rowList, colList;
    for (int r = 1; r <= m_control.FixedRows() && r < firstRow; ++r) rowList.push_back(r);
    for (int r = firstRow; r < firstRow + rows && r <= kMaxRows; ++r) rowList.push_back(r);
    for (int c = 1; c <= m_control.FixedCols() && c < firstCol; ++c) colList.push_back(c);
    for (int c = firstCol; c < firstCol + cols && c <= kMaxCols; ++c) colList.push_back(c);

    const PrintFrame fx = FrameOf(m_control, spec.pxPerTwipX), fy = FrameOf(m_control, spec.pxPerTwipY);
    const QPointF cells(topLeft.x() + fx.headW, topLeft.y() + fy.headH);
    painter.save();
    renderer.PaintCells(painter, cells, rowList, colList);
    if (fy.headH > 0) renderer.PaintColHeadings(painter, QPointF(cells.x(), topLeft.y()), colList, fy.headH);
    if (fx.headW > 0) renderer.PaintRowHeadings(painter, QPointF(topLeft.x(), cells.y()), rowList, fx.headW);
    if (fx.headW > 0 && fy.headH > 0) renderer.PaintCorner(painter, QRectF(topLeft, QSizeF(fx.headW, fy.headH)));
    painter.restore();
    double w = fx.headW, h = fy.headH;
    for (int c : colList) w += renderer.ColPx(c);
    for (int r : rowList) h += renderer.RowPx(r);
    return QSizeF(w, h);
}

int SpreadsheetPrinter::PrintRange(QPrinter& printer, int row1, int col1, int row2, int col2) const {
    row1 = std::max(row1, m_control.FixedRows() + 1);
    col1 = std::max(col1, m_control.FixedCols() + 1);
    QPainter painter;
    if (!painter.begin(&printer)) return -1;
    const QSizeF page = printer.pageLayout().paintRectPixels(printer.resolution()).size();
    int pages = 0;
    auto printAt = [&](int r, int c, int& rowsDone, int& colsDone) {
        Part part = MeasurePart(printer, page, r, c, row2, col2);
        // A row or column larger than the page is printed cut rather than
        // looping forever.
        part.rows = std::max(1, part.rows);
        part.cols = std::max(1, part.cols);
        if (pages > 0) printer.newPage();
        PrintPart(painter, QPointF(0, 0), r, c, part.rows, part.cols);
        ++pages;
        rowsDone = part.rows;
        colsDone = part.cols;
    };
    if (m_control.PrintOrder() == 0) {
        for (int c = col1; c <= col2;) {
            int colsDone = 1;
            for (int r = row1; r <= row2;) {
                int rowsDone = 1;
                printAt(r, c, rowsDone, colsDone);
                r += rowsDone;
            }
            c += colsDone;
        }
    } else {
        for (int r = row1; r <= row2;) {
            int rowsDone = 1;
            for (int c = col1; c <= col2;) {
                int colsDone = 1;
                printAt(r, c, rowsDone, colsDone);
                c += colsDone;
            }
            r += rowsDone;
        }
    }
    painter.end();
    return pages;
}

}  // namespace qs::ss
