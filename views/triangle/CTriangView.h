#pragma once
// The view of a triangle or vector data object: rows are exposure periods,
// columns development ages, or, in the calendar layout, calendar periods
// (each row shifted right so its last cell stands in the last column, with
// a "Total" row of column sums). Adds the Cumulative/Incremental command,
// Clear and Clear All, and keyboard navigation over the valid cells.
#include "CObjectView.h"
#include "CObjectViewGrid.h"

class CDataObject;
class CTriangView;

// The triangle's grid window: refuses edits outside the triangle, opens the
// cell note on a double click, shows the cell's labels on selection change
// and moves the active cell by the view's navigation rules.
class CTriangGrid : public CObjectViewGrid {
public:
    explicit CTriangGrid(CTriangView* view);

    void OnSelChange() override;        // 1025
    void OnStartEdit(qs::ss::Notification* n) override;  // 1026
    void OnDblClick(int row, int col) override;          // 1031
    void OnKeyDown(qs::ss::Notification* n) override;    // 1045

    // Key-down with the key as a virtual-key code; true when handled here
    // (the grid's own handling is then skipped).
    bool HandleKey(int vk, bool shift);

private:
    CTriangView* m_pTriang;
};

class CTriangView : public CObjectView {
public:
    explicit CTriangView(QWidget* parent = nullptr);
    ~CTriangView() override;

    int OnCreate() override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    qs::project::ObjectViewKind ViewKind() const override { return qs::project::ObjectViewKind::Table; }
    // Leaving the view (another window becomes active, or this one closes)
    // after a refresh: an object the user emptied is uninitialized again.
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;
    void BeforeDetach() override;
    // When any object was refreshed and no cell of this view's object holds
    // anything, the object returns to the uninitialized state; true when it did.
    bool UninitializeIfEmpty();
    void SetKernelLink(CFormula* object) override;
    void RememberCumulative() override;
    void RestoreCumulative() override;

    BOOL Format(const CPageSetup* pageSetup) override;
    BOOL UpdateData(BOOL bSave) override;
    BOOL GetAt(int row, int col, CFormula* object = nullptr) override;
    BOOL SetAt(int row, int col, const QString& text, double value, CFormula* object = nullptr) override;
    BOOL GetDataR(int row) override;
    BOOL GetDataC(int col) override;
    BOOL GetDataRC(int row, int col) override;

    // Printing with the job's calendar and cumulative choices.
    void PreparePrinting(CPrintInfo* pInfo) override;
    void BeginPrinting(QPainter* pDC, CPrintInfo* pInfo) override;
    BOOL NextPart(QPainter* pDC, CPrintInfo* pInfo) override;
    void EndPrinting(QPainter* pDC, CPrintInfo* pInfo) override;

    // Key navigation: key is a virtual-key code (VK_RETURN, VK_TAB, ...);
    // row and col are grid numbering, in and out. 1 handled (moved or
    // beeped), 0 leave the key to the grid.
    virtual int MoveActiveCell(int key, bool shift, int& row, int& col, int mode);
    // Cells in kernel rows, grid-relative columns (0-based): the calendar
    // layout maps the column to the object's.
    virtual BOOL IsValidLocation(int row, int col);
    BOOL IsEditableCell(int row, int col) override { return IsValidLocation(row - 1, col - 1); }
    virtual BOOL GetNumRowsInCol(int col, std::uint16_t& rows);
    virtual double GetColumnTotal(int col);

    // Fits columns col1..col2 to their figures (when fit), but never
    // narrower than a readable figure or their label.
    void KeepColumnsReadable(int col1, int col2, bool fit);
    void OnCellStored(int, int col) override { KeepColumnsReadable(col, col, true); }

    void OnViewCumulative();
    void OnEditClear();
    void OnEditClearAll();
    // The note of the active cell (command 32823).
    void OnEditCellNote();
    // The Clear choice: false on Cancel; notesOnly when only cell notes go.
    virtual bool AskClearChoice(bool& notesOnly);

    CDataObject* GetTO() const { return m_pTO; }
    int IsCalendar() const { return m_bCalendar; }
    CTriangGrid* GetGrid() const { return m_pGrid; }
    // Number of beeps of refused key moves (for tests and the status bar).
    int BeepCount() const { return m_nBeeps; }

    // Object column of a grid column (1-based) in object row row (0-based);
    // -1 when the row's length cannot be read.
    int ObjectColumnOf(int row, int gridCol) const;
    QString CellNoteAt(int row, int col) const override;
    // Clears the flood-fill-minimum mark of the active cell and its border.
    void ClearActiveFloodFillMark(int row, int col);

    static constexpr int VK_TAB = 0x09;
    static constexpr int VK_RETURN = 0x0D;
    static constexpr int VK_INSERT = 0x2D;
    static constexpr int VK_DELETE = 0x2E;
    static constexpr int VK_9 = 0x39;

protected:
    // For views that open their objects themselves: the grid, and the layout flag.
    BOOL CreateTriangGrid();
    void SetCalendarFlag(int on) { m_bCalendar = on; }

private:
    void Beep();
    bool MaxRowsCols(std::uint16_t& rows, std::uint16_t& cols, bool report = true) const;
    std::uint16_t RowLength(int row) const;
    // Columns by which successive rows shrink.
    int Interval() const;
    void MapTriangCommands();

    CDataObject* m_pTO = nullptr;
    int m_bCalendar = 0;
    int m_nSavedCumulative = 0;
    int m_nSavedCalendar = 0;
    CTriangGrid* m_pGrid = nullptr;
    int m_nBeeps = 0;
};
