#pragma once
// The spreadsheet grid widget: a custom-painted scroll area over a SheetData
// (no widget per cell; one line editor for in-cell editing). Rows and
// columns count from 1; -1 as a row or column in a range means whole
// columns or rows. Operations that can fail return a Status (0 success);
// formatting operations apply to the current selection.
#include "SheetData.h"
#include "SpreadsheetTypes.h"

#include <QAbstractScrollArea>
#include <QList>

#include <memory>
#include <vector>

class QLineEdit;

namespace qs::ss {

class SpreadsheetControl : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit SpreadsheetControl(QWidget* parent = nullptr);
    ~SpreadsheetControl() override;

    // --- set-up -------------------------------------------------------------
    // False until notifications were first enabled: a host sets a new
    // control up once, a joined one keeps the set-up it found.
    bool IsSetUp() const { return m_setUp; }
    // Shares the other control's sheet: both show and edit the same cells.
    int Join(SpreadsheetControl* other);
    SheetData& Sheet() { return *m_sheet; }
    const SheetData& Sheet() const { return *m_sheet; }
    std::shared_ptr<SheetData> SharedSheet() const { return m_sheet; }

    // --- notifications ------------------------------------------------------
    int EnableNotify(int code, bool on);
    int QueryNotify(int code, bool& on) const;
    bool IsNotifyEnabled(int code) const;

    // --- painting and view ----------------------------------------------------
    void SetRedraw(bool on);  // off holds painting; on repaints
    bool Redraw() const { return m_redraw; }
    int SetViewScale(int percent);  // 10..400
    int ViewScale() const { return m_viewScale; }
    void SetAppName(const QString& name) { m_appName = name; }
    QString AppName() const { return m_appName; }
    void SetTitle(const QString& title) { m_title = title; }
    QString Title() const { return m_title; }
    void SetEnterMovesDown(bool on) { m_enterMovesDown = on; }
    bool EnterMovesDown() const { return m_enterMovesDown; }
    void SetGridColor(const QColor& c);
    QColor GridColor() const { return m_gridColor; }
    QColor BackgroundColor() const { return m_background; }
    int SetGridSwitch(int number, bool on);
    bool GridSwitch(int number) const;
    int SetPrintSwitch(int number, bool on);
    bool PrintSwitch(int number) const;

    // --- selection and active cell --------------------------------------------
    int SetSelection(int row1, int col1, int row2, int col2);
    int AddSelection(int row1, int col1, int row2, int col2);
    int GetSelection(int index, int& row1, int& col1, int& row2, int& col2) const;
    int SelectionCount() const { return int(m_selection.size()); }
    const QList<Range>& Selection() const { return m_selection; }
    // Selects headings so that font calls apply to them; all false clears.
    int SelectHeadings(bool corner, bool rows, bool cols);
    bool HeadingsSelected() const { return m_headSel.corner || m_headSel.rows || m_headSel.cols; }
    int SetActiveCell(int row, int col);
    void GetActiveCell(int& row, int& col) const { row = m_activeRow; col = m_activeCol; }
    int ShowCell(int row, int col);  // scrolls the cell into view
    void ShowActiveCell() { ShowCell(m_activeRow, m_activeCol); }
    int TopRow() const { return m_topRow; }
    int LeftCol() const { return m_leftCol; }

    // --- cells ------------------------------------------------------------------
    int SetNumber(int row, int col, double value);
    int SetText(int row, int col, const QString& text);
    int SetEntry(int row, int col, const QString& entry);
    int GetText(int row, int col, QString& text) const;    // displayed text
    int GetEntry(int row, int col, QString& text) const;   // entered text
    int GetNumber(int row, int col, double& value) const;  // 0 for text and empty cells
    void GetSheetBounds(int& row1, int& col1, int& row2, int& col2) const { m_sheet->Bounds(row1, col1, row2, col2); }
    int LastRow() const;
    int LastCol() const;
    int SetMaxRow(int row);
    int SetMaxCol(int col);
    int MaxRow() const { return m_sheet->MaxRow(); }
    int MaxCol() const { return m_sheet->MaxCol(); }

    // --- formats of the selection -------------------------------------------------
    int SetNumberFormat(const QString& format);
    int GetNumberFormat(QString& format) const;  // of the active cell
    int SetFont(const QString& face, double size, bool bold, bool italic, bool underline, bool strikeout,
                const QColor& color);
    int SetDefaultFont(const QString& face, double size);
    FontSpec GetFont() const;  // of the active cell, or the headings' when selected
    int SetPattern(int pattern, const QColor& fg, const QColor& bg);
    int GetPattern(int& pattern, QColor& fg, QColor& bg) const;  // of the active cell
    // Line styles per side of every selected cell and for the outline of the
    // selection; -1 leaves a side unchanged. The shade is accepted and not drawn.
    int SetBorder(int outline, int left, int right, int top, int bottom, int shade, const QColor& outlineColor,
                  const QColor& leftColor, const QColor& rightColor, const QColor& topColor, const QColor& bottomColor);
    int SetAlignment(int horizontal, bool wrap, int vertical, int orientation);
    int Clear(int kind);
    int ClearRange(int row1, int col1, int row2, int col2, int kind);

    // --- sizes: twips (1/1440 inch) at 100%, or characters of the default font -----
    int SetColWidth(int col1, int col2, int twips);
    int SetColWidthChars(int col1, int col2, double chars);
    int GetColWidth(int col) const;
    double GetColWidthChars(int col) const;
    int SetRowHeight(int row1, int row2, int twips);
    int GetRowHeight(int row) const;
    int SetColHidden(int col1, int col2, bool hidden);
    int SetRowHidden(int row1, int row2, bool hidden);
    int FitColWidths(int col1, int col2);
    int FitRowHeights(int row1, int row2);
    int SetHeadingRowHeight(int twips);
    int SetHeadingColWidth(int twips);
    int HeadingRowHeight() const { return m_sheet->HeadingRowHeight(); }
    int HeadingColWidth() const { return m_sheet->HeadingColWidth(); }
    // Position of cell (1,1) in twips: the shown headings' size.
    QSize HeadingSize() const;
    // Size in twips of a range (hidden rows and columns count 0).
    QSize MeasureRange(int row1, int col1, int row2, int col2) const;

    // --- headings -------------------------------------------------------------------
    int SetRowHeadingText(int row, const QString& text);
    int SetColHeadingText(int col, const QString& text);
    void SetCornerText(const QString& text) { m_sheet->SetCornerHeading(text); }
    QString RowHeadingText(int row) const { return m_sheet->RowHeading(row); }
    QString ColHeadingText(int col) const { return m_sheet->ColHeading(col); }
    QString CornerText() const { return m_sheet->CornerHeading(); }

    // --- structure ----------------------------------------------------------------------
    int InsertRows(int row1, int row2);
    int InsertCols(int col1, int col2);
    int DeleteRows(int row1, int row2);
    int DeleteCols(int col1, int col2);

    // --- clipboard and editing ------------------------------------------------------------
    // The first selected range clipped to the used area, cells' displayed
    // texts joined by tabs, rows by line feeds, nothing after the last.
    QString SelectionText() const;
    int EditCopy();
    int EditCut();
    int EditPaste();
    bool CanEditPaste() const;
    // Pastes tab/line-feed text at the first selected range's top-left cell.
    int PasteText(const QString& text);
    int StartEdit(const QString& initial = QString(), bool replace = false);
    int EndEdit();  // commits a pending in-cell edit
    void CancelEdit();  // abandons it, the cell unchanged
    bool IsEditing() const;
    QLineEdit* Editor() const { return m_editor; }

    // --- printing settings (used by SpreadsheetPrinter) -----------------------------------
    int SetPrintScale(int percent);
    int PrintScale() const { return m_printScale; }
    int SetFixedRows(int count);   // title rows: frozen on screen, repeated in print
    int SetFixedCols(int count);
    int FixedRows() const { return m_fixedRows; }
    int FixedCols() const { return m_fixedCols; }
    void SetPrintOrder(int order) { m_printOrder = order; }  // 0 down then across
    int PrintOrder() const { return m_printOrder; }

    // Cell under a viewport point: row 0 for the column headings, col 0
    // for the row headings; false outside.
    bool HitTest(const QPoint& viewportPos, int& row, int& col) const;
    QRect CellRect(int row, int col) const;  // viewport pixels, empty when not shown

signals:
    // Sent for each enabled notification; handlers connected directly may
    // set detail->cancel where the code allows it.
    void Notified(int code, int row, int col, qs::ss::Notification* detail);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool) override { return false; }  // Tab moves between cells

private:
    bool Send(Notification& n);  // true when cancelled
    bool Send(int code, int row, int col);
    void ConnectSheet();
    void OnSheetChanged();
    void UpdateScrollBars();
    double PxPerTwipX() const;
    double PxPerTwipY() const;
    double HeadingWidthPx() const;
    double HeadingHeightPx() const;
    std::vector<int> VisibleRows(double height) const;
    std::vector<int> VisibleCols(double width) const;
    int ApplyToSelection(const std::function<void(CellStyle&)>& change);
    void MoveActive(int dRow, int dCol, bool extend);
    void SelectFromUser(const Range& r, bool add);
    bool CommitEdit();
    // A heading edge under the point: the column (or row) whose far edge it is.
    bool ResizeTarget(const QPoint& pos, bool& column, int& index) const;
    void PlaceEditor();
    bool EditingAllowed() const { return m_switches[SSG_AllowEditing - 1]; }

    std::shared_ptr<SheetData> m_sheet;
    QMetaObject::Connection m_sheetConnection;
    bool m_setUp = false;
    bool m_notify[kLastNotify - kFirstNotify + 1] = {};
    bool m_redraw = true;
    bool m_pendingLayout = false;
    int m_viewScale = 100;
    QString m_appName, m_title;
    bool m_enterMovesDown = true;
    QColor m_gridColor = QColor(0xC0, 0xC0, 0xC0);
    QColor m_background = Qt::white;
    bool m_switches[kGridSwitchCount] = {false, false, false, true, true, true, true, true, true, true};
    bool m_printSwitches[kPrintSwitchCount] = {true, true, true};

    QList<Range> m_selection;
    struct { bool corner = false, rows = false, cols = false; } m_headSel;
    int m_activeRow = 1, m_activeCol = 1;
    int m_anchorRow = 1, m_anchorCol = 1;
    int m_topRow = 1, m_leftCol = 1;
    bool m_placedOnScreen = false;  // scrolled for the first real size once
    bool m_dragging = false;
    struct {
        bool active = false, column = false;
        int index = 0, startPos = 0, startSize = 0;
    } m_resize;

    int m_printScale = 100;
    int m_fixedRows = 0, m_fixedCols = 0;
    int m_printOrder = 0;

    QLineEdit* m_editor = nullptr;
    int m_editRow = 0, m_editCol = 0;
    bool m_committing = false;
    bool m_forwardingKey = false;  // a key is on its way to the editor
    bool m_editByTyping = false;  // begun by a typed character, not by F2
    bool m_destroying = false;
};

// The setting by its own name, for callers that read like the host code.
inline void SSSetEnterMovesDown(SpreadsheetControl* control, bool on) { control->SetEnterMovesDown(on); }

}  // namespace qs::ss
