#pragma once
// The view of a method or report: one grid column per column of the method,
// one row per exposure period, then the summary rows the method keeps
// (total, average, linear and exponential fit), all computed by the kernel.
//
// A summary report adds the behaviour of its one entered column, the
// selected ultimate: typing into it, dropping a whole source column into it
// (double-click on the source's heading) or one cell (double-click on the
// cell), clearing it, its cell notes, and the ultimates flood fill. When the
// report shows weights, a weight column stands beside each weighted
// ultimate (CUltWeightColumnMap); weight columns are never written back.
#include <QStringList>

#include <vector>

#include "CObjectView.h"
#include "CObjectViewGrid.h"
#include "CUltWeightColumnMap.h"

class CDataObject;
class CMethod;
class CMethodView;

// Command ids the method view adds.
enum : UINT {
    ID_SHOW_ATTACHED_REPORTS = 32944,
    ID_SET_ULT_FLOODFILL = 33051,
    ID_RUN_ULT_FLOODFILL = 33052,
};

// The method's grid window: locks every cell that is not in an entered
// column, turns double-clicks into drops and note edits, and clears the
// flood-fill marks of an ultimate cell the user types into.
class CMethodGrid : public CObjectViewGrid {
public:
    explicit CMethodGrid(CMethodView* view);

    void OnDblClick(int row, int col) override;          // 1031
    void OnHeadingDblClick(int row, int col) override;   // 1048
    void OnStartEdit(qs::ss::Notification* n) override;  // 1026
    void OnKeyDown(qs::ss::Notification* n) override;    // 1045

    // Row 0 is the column heading.
    void OnCellDoubleClick(int row, int col);
    // The active cell may not be edited.
    bool IsCellLocked() const;
    // Key-down with a virtual-key code.
    void HandleKey(int vk);

private:
    CMethodView* m_pMethodView;
};

class CMethodView : public CObjectView {
public:
    explicit CMethodView(QWidget* parent = nullptr);
    ~CMethodView() override;

    qs::project::ObjectViewKind ViewKind() const override { return qs::project::ObjectViewKind::Method; }
    void SetKernelLink(CFormula* object) override;

    int OnCreate() override;
    void OnInitialUpdate() override;
    BOOL Format(const CPageSetup* pageSetup) override;
    BOOL UpdateData(BOOL bSave) override;
    BOOL SetAt(int row, int col, const QString& text, double value, CFormula* object = nullptr) override;
    BOOL IsEditable() const override;
    void PreparePrinting(CPrintInfo* pInfo) override;
    void BeginPrinting(QPainter* pDC, CPrintInfo* pInfo) override;

    BOOL SummaryReportFormat(const CPageSetup* pageSetup);
    BOOL SummaryReportUpdateData(BOOL bSave);

    // The entered column of a summary report (the first column that is not
    // read-only); null for any other method.
    CDataObject* GetUltimateObject() const;
    // The display column of the ultimate; 0 when there is none.
    int GetUltimateColumn() const;
    // The data object shown in display column d (null for a weight column).
    CDataObject* DataObjectOfColumn(int d, bool* isWeight = nullptr) const;
    // Rows of the exposure periods (the first data object's).
    int GetPeriodRows() const { return m_nPeriodRows; }
    // The widest piece of a label split at line breaks, with two blanks.
    QString PrepareLongName(const QString& label) const;
    // The rule of underscores that replaces "-----" in a printed heading:
    // count is the smallest run at least as wide as the column (255 when
    // none), less three, never below zero.
    static QString HeadingRule(int count);

    // ---- commands
    void OnViewSourceData();
    void OnViewFormula();
    void OnEditClear();
    void OnEditClearAll();
    void OnEditCellNote();
    void OnShowAttachedReports();
    void OnExecuteUltimatesFloodFill();
    void ClearUltimateFloodFillMarks();
    // Drops the source column shown in display column d into the ultimate
    // (asks first). FALSE when nothing was dropped.
    BOOL DropColumn(int d);
    // Copies one source cell into the ultimate.
    BOOL DropCell(int row, int d);
    // Removes the flood-fill marks of the ultimate's cell in grid row row.
    void ClearCellMarks(int row);

    CMethod* GetMethod() const { return m_pMethod; }
    CMethodGrid* GetGrid() const { return m_pGrid; }
    const CUltWeightColumnMap& GetColumnMap() const { return m_ColumnMap; }
    // Resource of the frame icon chosen at creation (174 or 134).
    int GetIconId() const { return m_nIconId; }

private:
    void MapMethodCommands();
    BOOL LayoutGrid(const CPageSetup* pageSetup);
    BOOL LoadSummaryRows();
    BOOL FillWeightColumn(int d);
    void FitToContents();
    // The data object of the active cell's column.
    CDataObject* ActiveDataObject() const;
    bool IsDatabaseMode() const;

    CMethod* m_pMethod = nullptr;
    CMethodGrid* m_pGrid = nullptr;
    CUltWeightColumnMap m_ColumnMap;
    int m_nIconId = 0;
    int m_nPeriodRows = 0;
    int m_nDisplayCols = 0;
    int m_nTotalRow = 0;    // grid rows of the summary blocks (0: none)
    int m_nAverageRow = 0;
    int m_nLTrendRow = 0;   // the "Slope" row
    int m_nExpRow = 0;      // the "Trend (%)" row
    std::vector<int> m_headingWidths;  // per display column, twips
};
