#pragma once
// Prints ranges of a SpreadsheetControl into a painter at the control's
// print scale, with its fixed rows and columns repeated as titles on every
// part, and measures which rows and columns fit a page.
#include <QPointF>
#include <QSizeF>

class QPainter;
class QPaintDevice;
class QPrinter;

namespace qs::ss {

class SpreadsheetControl;

class SpreadsheetPrinter {
public:
    explicit SpreadsheetPrinter(const SpreadsheetControl& control) : m_control(control) {}

    // The scale used: the control's print scale, 100 when 0.
    int Scale() const;
    // Device pixels per twip on a device of `dpi` at the print scale.
    double PxPerTwip(int dpi) const;

    struct Part {
        int firstRow = 0, firstCol = 0;
        int rows = 0, cols = 0;  // 0 when not even one fits
        QSizeF size;             // device pixels, headings and titles included
    };
    // How many rows from firstRow (up to lastRow) and columns from firstCol
    // (up to lastCol) fit in `available` device pixels together with the
    // shown headings and the title rows and columns.
    Part MeasurePart(const QPaintDevice& device, QSizeF available, int firstRow, int firstCol, int lastRow,
                     int lastCol) const;
    // Paints headings, titles and the part at topLeft; returns its size.
    QSizeF PrintPart(QPainter& painter, QPointF topLeft, int firstRow, int firstCol, int rows, int cols) const;
    // Prints a whole range in parts, one part per page, in the control's
    // print order (0: down, then across). Returns the number of pages, or
    // -1 when the printer cannot be opened.
    int PrintRange(QPrinter& printer, int row1, int col1, int row2, int col2) const;

private:
    const SpreadsheetControl& m_control;
};

}  // namespace qs::ss
