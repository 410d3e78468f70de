#pragma once
// The grid's contents: cells, interned styles (cell, row, column and sheet
// levels), row heights and column widths in twips, hidden rows and columns
// and heading texts. Controls joined to the same sheet share one SheetData.
#include "NumberFormat.h"
#include "SpreadsheetTypes.h"

#include <QFont>
#include <QHash>
#include <QObject>

#include <algorithm>
#include <functional>
#include <vector>

namespace qs::ss {

enum class CellKind : quint8 { Empty, Number, Text };

struct Cell {
    double number = 0.0;
    QString text;
    quint32 style = 0;  // 0: inherit from row, column, sheet
    CellKind kind = CellKind::Empty;
};

class SheetData : public QObject {
    Q_OBJECT
public:
    SheetData();

    // --- cells ---------------------------------------------------------
    const Cell* CellAt(int row, int col) const;
    void SetNumber(int row, int col, double value);
    void SetText(int row, int col, const QString& text);
    // Stores a typed or pasted entry: a number when the text reads as one,
    // else text; empty text empties the cell.
    void SetEntry(int row, int col, const QString& entry);
    void ClearValue(int row, int col);
    // Text as displayed (number format applied, pads as blanks).
    QString DisplayText(int row, int col) const;
    FormattedText Formatted(int row, int col) const;
    // Text as entered: a number in General, or the text.
    QString EntryText(int row, int col) const;
    // Every stored cell (values and styled blanks), rows then columns.
    void ForEachCell(const std::function<void(int row, int col, const Cell& cell)>& visit) const;
    // Used area: cells holding a value. All four are 0 on an empty sheet.
    void Bounds(int& row1, int& col1, int& row2, int& col2) const;

    // Parses an entry the way the grid reads typed text: blanks trimmed,
    // thousands commas, a leading "-" or enclosing "( )" for negatives and a
    // trailing "%" are understood. Returns false for anything else.
    static bool ParseEntry(const QString& text, double& value);

    // --- styles ----------------------------------------------------------
    const CellStyle& StyleAt(int row, int col) const;
    quint32 ResolvedIndex(int row, int col) const;  // the style a cell shows
    const CellStyle& StyleByIndex(quint32 index) const { return m_styles[index]; }
    // Applies a change to every cell of the range; whole rows, columns and
    // the whole sheet are changed at their own level, not cell by cell.
    void ModifyStyle(const Range& range, const std::function<void(CellStyle&)>& change);
    void ResetStyle(const Range& range);  // back to the sheet's default look
    const NumberFormat& FormatFor(const QString& format) const;

    const FontSpec& DefaultFont() const { return m_defaultFont; }
    void SetDefaultFont(const FontSpec& font);
    FontSpec EffectiveFont(const CellStyle& s) const { return s.hasFont ? s.font : m_defaultFont; }
    const FontSpec& HeadingFont() const { return m_headingFont; }
    void SetHeadingFont(const FontSpec& font);

    // --- sizes, twips at 100% ----------------------------------------------
    int ColWidth(int col) const;    // 0 when hidden
    int RowHeight(int row) const;   // 0 when hidden
    int StoredColWidth(int col) const;  // ignores hiding
    int StoredRowHeight(int row) const;
    void SetColWidth(int col1, int col2, int twips);
    void SetRowHeight(int row1, int row2, int twips);
    void SetColHidden(int col1, int col2, bool hidden);
    void SetRowHidden(int row1, int row2, bool hidden);
    bool ColHidden(int col) const { return m_colHidden[col - 1]; }
    bool RowHidden(int row) const { return m_rowHidden[row - 1]; }
    int DefaultColWidth() const;
    int DefaultRowHeight() const;
    // Width of the digit 0 of the default font, in twips: the unit of
    // widths given in characters.
    int CharWidthTwips() const;
    int HeadingRowHeight() const { return m_headingRowHeight >= 0 ? m_headingRowHeight : DefaultRowHeight(); }
    int HeadingColWidth() const;
    void SetHeadingRowHeight(int twips) { m_headingRowHeight = twips; emit Changed(); }
    void SetHeadingColWidth(int twips) { m_headingColWidth = twips; emit Changed(); }
    // Autofit: widths and heights from the contents (headings of the
    // columns included when shown), hidden ones untouched.
    void FitColWidths(int col1, int col2, int minRow = 1, int maxRow = kMaxRows);
    void FitRowHeights(int row1, int row2);
    // Size of the text of a cell at 100%, in twips.
    QSizeF TextSizeTwips(int row, int col) const;

    // --- headings ----------------------------------------------------------
    QString RowHeading(int row) const;
    QString ColHeading(int col) const;
    QString CornerHeading() const { return m_corner; }
    void SetRowHeading(int row, const QString& text);
    void SetColHeading(int col, const QString& text);
    void SetCornerHeading(const QString& text);
    static QString ColumnLetters(int col);

    // --- extent ----------------------------------------------------------
    int MaxRow() const { return m_maxRow; }
    int MaxCol() const { return m_maxCol; }
    void SetMaxRow(int row);
    void SetMaxCol(int col);

    // --- structure -----------------------------------------------------
    void InsertRows(int row1, int row2);
    void InsertCols(int col1, int col2);
    void DeleteRows(int row1, int row2);
    void DeleteCols(int col1, int col2);
    void Clear(const Range& range, int kind);

    // Converts a spec into a QFont at the given point-size factor.
    static QFont ToQFont(const FontSpec& spec, double scale = 1.0);

    // Call around many changes: one Changed() at the end.
    void BeginUpdate() { ++m_batch; }
    void EndUpdate();

signals:
    void Changed();

private:
    Cell& Touch(int row, int col);
    quint32 Intern(const CellStyle& s);
    void Notify();
    void InvalidateMetrics() { m_charWidth = -1; }

    // One row's stored cells. Columns from 1 up to a row's dense end are
    // kept in a plain array (rows are written mostly left to right, without
    // gaps); cells beyond it and far from it, in a sorted tail, so a wide
    // sheet keeps only the cells written or styled, not every column up to
    // a row's last one.
    struct RowCells {
        std::vector<Cell> dense;    // columns 1..dense.size()
        std::vector<int> tailCols;  // ascending, each beyond dense.size()
        std::vector<Cell> tail;     // tail[i] is column tailCols[i]

        const Cell* Find(int col) const;
        Cell& Get(int col);
        void InsertCols(int col1, int n);  // columns from col1 move right by n
        void DeleteCols(int col1, int col2);
        // Calls f(col, cell) for the stored cells of columns col1..col2, in order.
        template <typename Self, typename F>
        static void Visit(Self& self, int col1, int col2, F&& f) {
            const int denseEnd = std::min<int>(col2, int(self.dense.size()));
            for (int c = std::max(1, col1); c <= denseEnd; ++c) f(c, self.dense[size_t(c - 1)]);
            const auto first = std::lower_bound(self.tailCols.begin(), self.tailCols.end(), col1);
            for (auto it = first; it != self.tailCols.end() && *it <= col2; ++it)
                f(*it, self.tail[size_t(it - self.tailCols.begin())]);
        }
    };
    std::vector<RowCells> m_rows;  // m_rows[row-1], rows grow on demand
    std::vector<CellStyle> m_styles;        // 0 unused; 1 the default look
    QHash<QByteArray, quint32> m_styleIndex;
    std::vector<quint32> m_rowStyle, m_colStyle;
    quint32 m_sheetStyle = 1;
    std::vector<int> m_rowHeight, m_colWidth;  // -1: default
    std::vector<bool> m_rowHidden, m_colHidden;
    QHash<int, QString> m_rowHeadings, m_colHeadings;
    QString m_corner;
    FontSpec m_defaultFont, m_headingFont;
    int m_headingRowHeight = -1, m_headingColWidth = -1;
    int m_maxRow = kMaxRows, m_maxCol = kMaxCols;
    mutable int m_charWidth = -1;
    mutable int m_defaultRowHeight = -1;
    mutable QHash<QString, NumberFormat> m_formats;
    int m_batch = 0;
    bool m_dirty = false;
};

}  // namespace qs::ss
