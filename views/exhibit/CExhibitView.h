#pragma once
// The view of one development-factor exhibit: in one grid, the age-to-age
// factor triangle, its statistics, the factor sets and selection history,
// the tail curves, the selected development factors (the editable Selected
// row) with their cumulative and ratio-to-ultimate rows, and the interpolated
// block with its editable Selected Interpolated row.
//
// Both layout passes (Format: labels, formats, borders; UpdateData: values)
// walk one row plan built from the same conditions, and the plan is kept:
// saving, dropping, clearing and the keys find the Selected and Selected
// Interpolated rows in it rather than recomputing their places.
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "Automation.h"
#include "HResult.h"
#include "CExhibitInterpolationHelper.h"
#include "CObjectView.h"
#include "CObjectViewGrid.h"
#include "MDIChildCloseRule.h"

class CDataObject;
class CExhibit;
class CExhibitView;
class CStatistics;
class CTailFactorAnalysis;
namespace qs::automation {
class RemoteWindow;
}

// The exhibit's grid window: edits only the cells of the two editable rows,
// drops double-clicked factors and rows into them, and keeps the Enter and
// digit keys' rules inside them.
class CExhibitGrid : public CObjectViewGrid {
public:
    explicit CExhibitGrid(CExhibitView* view);

    void OnStartEdit(qs::ss::Notification* n) override;  // 1026
    void OnDblClick(int row, int col) override;          // 1031
    void OnHeadingDblClick(int row, int col) override;   // 1048: a row heading drops the whole row
    void OnKeyDown(qs::ss::Notification* n) override;    // 1045

    // Key-down with the key as a virtual-key code; true when handled here.
    bool HandleKey(int vk, bool shift);

private:
    CExhibitView* m_pExhibit;
};

class CExhibitView : public CObjectView, public IMDIChildCloseRule {
public:
    // What a grid row of the plan shows.
    enum class RowKind {
        Triangle,
        StatName,
        StatRow,
        FactorSet,
        SelHist,
        Tail,
        HandSelected,    // "Selected:" with a line for handwritten selections
        Selected,
        Cumulative,
        Ratio,
        InterpAges,
        InterpResult,
        HandInterpolated,
        SelectedInterp,
        CumulativeInterp,
        RatioInterp,
    };
    struct PlannedRow {
        int row = 0;          // grid row
        RowKind kind = RowKind::Triangle;
        QString label;        // empty: values only, on a row labelled before
        int style = 3;
        bool factorFormat = false;  // the factor triangle's number format, else the default
        int stat = -1, statRow = -1;
        CDataObject* object = nullptr;  // values of objectRow of this object
        int objectRow = 0;
    };
    // Label styles (fonts): 1-4 the data font, 0 and 5 the headings font; 0
    // adds the layer colour, 5 underline in black.
    enum { kStyleLayer = 0, kStyleSheet = 1, kStyleRowLabel = 2, kStyleLabel = 3, kStyleTitle = 4, kStyleSelected = 5 };
    // The editable rows.
    enum { kKindSelected = 0, kKindInterpolated = 1, kKindNone = -1 };

    explicit CExhibitView(QWidget* parent = nullptr);
    ~CExhibitView() override;

    int OnCreate() override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    qs::project::ObjectViewKind ViewKind() const override { return qs::project::ObjectViewKind::Exhibit; }

    BOOL Format(const CPageSetup* pageSetup) override;
    BOOL UpdateData(BOOL bSave) override;
    BOOL SetAt(int row, int col, const QString& text, double value, CFormula* object = nullptr) override;
    BOOL IsEditable() const override;
    BOOL GetDataR(int) override { return OnUpdateData(FALSE); }
    BOOL GetDataC(int) override { return OnUpdateData(FALSE); }
    BOOL GetDataRC(int, int) override { return OnUpdateData(FALSE); }
    void BeginPrinting(QPainter* pDC, CPrintInfo* pInfo) override;
    BOOL NextPart(QPainter* pDC, CPrintInfo* pInfo) override;

    // ---- rows
    const std::vector<PlannedRow>& Plan() const { return m_layout.rows; }
    // The first grid row of the Selected and Selected Interpolated blocks; 0 when not shown.
    int GetFirstSelectedRow() const { return m_layout.firstSelectedRow; }
    int GetSelectedInterpRow() const { return m_layout.selectedInterpRow; }
    // The kind of a grid row by its column-1 text; kKindNone when not editable.
    int RowKindOf(int row) const;
    // The target of a kind when it exists and is shown; null otherwise.
    CDataObject* TargetOf(int kind) const;
    // The target cell of grid (row, col) of an editable row; false when not valid.
    bool TargetCell(int row, int col, int& kind, int& targetRow, int& targetCol) const;
    bool IsValidTargetCell(int row, int col) const;
    bool IsValidTriangleCell(int row, int col) const;

    // ---- selection and outlier commands
    void Drop(int row, int col);
    void OnEditCellNote();
    void OnEditClear();
    void OnEditClearAll();
    void OnExcludeOutliers() { HelperForOnExcludeOutliers(true); }
    void OnIncludeOutliers() { HelperForOnExcludeOutliers(false); }
    void HelperForOnExcludeOutliers(bool exclude);
    bool IsCellSelectionValidForOutliers(bool exclude) const;
    void OnSetFloodFill(int kind);
    void ExecuteSDFFloodFill(int kind);
    void OnViewSource();
    // The Clear choice: false on Cancel; notesOnly when only cell notes go.
    virtual bool AskClearChoice(bool& notesOnly);

    // ---- tail-factor analysis in the tail program "crx": one open in the
    // whole application; its answers come back to this view's window.
    void OnTailFactorNew();
    void OnTailFactorEdit();
    void OnTailFactorDelete();
    LRESULT OnTFRefresh(WPARAM wParam, LPARAM lParam);
    LRESULT OnTFGetPrecision(WPARAM wParam, LPARAM lParam);
    // Outcomes of connecting, kept apart from any result code of the bus.
    enum { kTailConnected = 0, kTailAlreadyOpen = 1, kTailFailed = 2 };
    int ConnectTailFactorServer(HRESULT* hr, QString* error);
    // This view's window as the tail program reaches it; null when it cannot be offered.
    qs::automation::WindowHandle TailWindow();
    // The window stays, after telling the user, while this exhibit's tail
    // analysis is out in the tail program: its answer comes back to this view.
    bool KeepOnMDIDestroy() override;
    static constexpr const char* kTailOpenOnClose =
        "Duvi Rozire Vididaze Utility has been opened for this exhibit. Changes made to the Duvi Rozire Vididaze will "
        "be lost if the exhibit is closed before closing the Tail Factor Analyis. Please close CRX application before "
        "closing the exhibit";

    CExhibit* GetExhibit() const { return m_pExhibit; }
    bool GetStatisticsShown() const;
    CDataObject* GetFactorTriangle() const { return m_layout.factors; }
    CDataObject* GetOutliers() const { return m_layout.outliers; }
    CDataObject* GetSDF() const { return m_layout.sdf; }
    CDataObject* GetInterpolateSDF() const { return m_layout.interpSDF; }
    CTailFactorAnalysis* GetTailAnalysis() const { return m_layout.crx; }
    CExhibitGrid* GetGrid() const { return m_pGrid; }
    const CExhibitInterpolationHelper& GetInterpolationHelper() const { return m_helper; }
    // Adds the interpolated rows' notes of ages outside the selections' range.
    QStringList StatusNotes() const override;
    int BeepCount() const { return m_nBeeps; }
    void Beep();

    static constexpr int VK_RETURN = 0x0D;
    static constexpr int VK_INSERT = 0x2D;
    static constexpr int VK_9 = 0x39;
    // "______": the line of a handwritten selection.
    static constexpr const char* kHandLine = "______";

private:
    // What one pass derives from the exhibit and the project's display
    // switches: the objects shown, the row plan and the grid's extent.
    // PlanRows rebuilds it whole at the start of every pass (layout and
    // data); the views read it between passes.
    struct Layout {
        CDataObject* factors = nullptr;
        CDataObject* outliers = nullptr;
        CStatistics* statistics = nullptr;
        std::vector<CDataObject*> dfs;
        std::vector<CDataObject*> selHist;
        bool hasDFList = false, hasSelHistList = false;
        CDataObject* sdf = nullptr;
        CDataObject* cumSDF = nullptr;
        CDataObject* ratioSDF = nullptr;
        CTailFactorAnalysis* crx = nullptr;
        std::unique_ptr<CDataObject> crxRows;  // the analysis's curve rows
        bool interpolated = false;
        CDataObject* interpSDF = nullptr;
        CDataObject* interpCumSDF = nullptr;
        CDataObject* interpRatioSDF = nullptr;
        // Read for the pass: the periods and the SDF copies the interpolation
        // helper borrows.
        std::unique_ptr<CDataObject> currentPeriods;
        std::unique_ptr<CDataObject> interpolatePeriods;
        std::unique_ptr<CDataObject> cumCopy;
        std::unique_ptr<CDataObject> ratioCopy;
        int firstSelectedRow = 0;  // grid rows of the editable blocks; 0 when not shown
        int selectedInterpRow = 0;
        std::uint16_t selectedRows = 0, selectedCols = 0;
        std::uint16_t interpRows = 0, interpCols = 0;
        int triangleRows = 0, triangleCols = 0;
        int maxCol = 0, lastRow = 0;
        std::vector<PlannedRow> rows;
    };
    // The project's display switches and label options, read once a pass.
    struct PlanOptions;
    static PlanOptions ReadPlanOptions(CProject& project, CExhibit& exhibit);
    // Where the plan has got to: the last grid row used and the widest row.
    struct PlanCursor {
        int row = 0;
        int maxCols = 0;
    };

    // Rebuilds the layout: the objects shown, then the rows block by block
    // (runs the interpolation helper); both passes call it.
    bool PlanRows();
    void FindShownObjects(const PlanOptions& options);
    PlanCursor PlanTriangle();
    void PlanStatistics(PlanCursor& at, const PlanOptions& options);
    void PlanObjectRows(PlanCursor& at, const std::vector<CDataObject*>& list, RowKind kind);
    void PlanTailCurves(PlanCursor& at, const PlanOptions& options);
    void PlanSelected(PlanCursor& at, const PlanOptions& options);
    void Interpolate();
    void PlanInterpolated(PlanCursor& at, const PlanOptions& options);
    void AddRow(int gridRow, RowKind kind, const QString& label, CDataObject* object, int objectRow = 0);
    void ApplyStyle(int r1, int c1, int r2, int c2, int style);
    void StrikeCells(int r1, int c1, int r2, int c2, bool strike);
    int WriteObjectRow(int gridRow, CDataObject* object, int objectRow, int firstCol = 2);
    // Writes grid cell (row, col) or the whole row (into the target of kind).
    bool DropCell(int kind, int row, int col);
    bool DropRow(int kind, int row);
    void ClearTargetFlags(CDataObject* target, int targetCol, bool outline);
    void MapExhibitCommands();
    void MapTailCommands();
    void SendTailAnalysis(const CTailFactorAnalysis& analysis);
    // Ends the shared connection when this view holds it.
    void ReleaseTailFactorServer();
    void ClearAdjustedCutoffMark();
    bool FileMode() const;
    int ShowSDF() const;
    QSID IdWithLayer() const;
    int MaxSelectedCols(int kind) const;

    CExhibit* m_pExhibit = nullptr;
    Layout m_layout;
    int m_bPrinting = 0;
    std::unique_ptr<qs::automation::RemoteWindow> m_pTailWindow;
    CExhibitGrid* m_pGrid = nullptr;
    CExhibitInterpolationHelper m_helper;
    std::uint32_t m_layerColour = 0;
    int m_nBeeps = 0;
};
