#pragma once
// An in-memory workbook of sheets, written as an .xlsx file. Cells, number
// formats, fonts, alignment, fills, borders, column widths, defined names
// and print header and footer; formatting calls apply to the selection of
// the current sheet, as in the grid. Rows and columns count from 1.
#include "SheetData.h"
#include "SpreadsheetTypes.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace qs::ss {

class Workbook {
public:
    // The file type code of an Excel workbook, the only one written.
    static constexpr int kFileTypeExcel = 4;

    Workbook();  // one sheet, "Sheet1"
    ~Workbook();

    int SheetCount() const { return int(m_sheets.size()); }
    // Inserts `count` sheets before 1-based position `at` (SheetCount()+1 appends).
    int InsertSheets(int at, int count);
    int DeleteSheets(int at, int count);  // at least one sheet stays
    int SetSheetName(int index, const QString& name);
    QString SheetName(int index) const;
    int SetCurrentSheet(int index);
    int CurrentSheet() const { return m_current; }
    SheetData& Sheet(int index) { return *m_sheets[index - 1].data; }

    // --- cells of the current sheet -------------------------------------------
    // The longest text a cell takes; longer texts are refused so that the
    // caller can report and split them.
    static constexpr int kMaxCellText = 255;
    int SetNumber(int row, int col, double value);
    int SetText(int row, int col, const QString& text);
    int GetNumber(int row, int col, double& value) const;
    int GetText(int row, int col, QString& text) const;  // displayed text

    // --- selection and its formats ---------------------------------------------
    int SetSelection(int row1, int col1, int row2, int col2);
    Range Selection() const { return m_selection; }
    // "$A$1:$C$4" for the selection (one cell: "$A$1").
    QString SelectionReference() const;
    int SetSelectionText(const QString& text);  // every selected cell
    int SetNumberFormat(const QString& format);
    int SetFont(const QString& face, double size, bool bold, bool italic, bool underline, bool strikeout,
                const QColor& color);
    int SetAlignment(int horizontal, bool wrap, int vertical);
    int SetPattern(int pattern, const QColor& fg, const QColor& bg);
    int SetBorder(int outline, const QColor& color);  // outline of the selection
    int SetColWidth(int col1, int col2, double chars);  // Excel character units

    // --- book ---------------------------------------------------------------
    // Defined name over a reference such as "Sheet_1!$A$1:$C$4".
    int DefineName(const QString& name, const QString& reference);
    // Header and footer texts with the "&" codes (&L &C &R &P &B ...);
    // at most 255 characters, as the file format allows.
    int SetPrintHeader(const QString& text);
    int SetPrintFooter(const QString& text);

    // Writes the book to `path` (temporary file, then rename, so a failure
    // never leaves a half-written file). Returns false with `error` set.
    bool Write(const QString& path, int fileType = kFileTypeExcel, QString* error = nullptr) const;

private:
    struct SheetEntry {
        QString name;
        std::unique_ptr<SheetData> data;
        std::map<int, double> widths;
        QString header, footer;
    };
    SheetEntry& Current() { return m_sheets[m_current - 1]; }
    const SheetEntry& Current() const { return m_sheets[m_current - 1]; }
    QString UniqueName() const;

    std::vector<SheetEntry> m_sheets;
    int m_current = 1;
    Range m_selection{1, 1, 1, 1};
    std::vector<std::pair<QString, QString>> m_names;
};

}  // namespace qs::ss
