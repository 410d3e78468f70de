#pragma once
// The base of every data view: one kernel object of one layer shown in a
// spreadsheet grid. It opens the object with itself as the window the kernel
// notifies, runs the layout (Format) and load/store (UpdateData) protocol of
// the derived views inside a guard that keeps the grid from calling back,
// writes cells with the kernel's cell flags, stores edited cells, follows
// "XREFRESH" and the document's update hints, keeps the caption, and carries
// the edit, view-source, view-formula, zoom and graph commands.
//
// Grid rows and columns count from 1; kernel cells from 0: grid (r, c) is
// kernel (r - 1, c - 1). GetAt, GetDataR/C/RC and refresh positions use
// kernel numbering, SetAt and the grid calls grid numbering.
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>

#include "CView.h"
#include "KernelTypes.h"
#include "ObjectViewLink.h"
#include "SpreadsheetTypes.h"

class CFormula;
class QMenu;
class CPageSetup;
class CPrintInfo;
class CPrintPageState;
class CProject;
class QPainter;
class CSpreadsheetWnd;
class IObjectViewDocument;
namespace qs::ss {
class SpreadsheetControl;
}

// Command ids of the table views.
enum : UINT {
    ID_VIEW_CUMULATIVE = 32797,
    ID_EDIT_CELLNOTE = 32823,
    ID_EDIT_FOOTNOTE = 32824,
    ID_EDIT_DELETE = 32837,
    ID_VIEW_ZOOMIN = 32838,
    ID_VIEW_ZOOMOUT = 32839,
    ID_VIEW_SOURCE = 32844,
    ID_VIEW_CALENDAR = 32877,
    ID_VIEW_FORMULA = 32943,
    ID_VIEW_GRAPH = 32983,
    ID_VIEW_SYNC_NAVIGATOR = 61466,
    ID_FILE_PRINT_ACTIVE = 57608,
    ID_VIEW_NAVIGATOR = 32931,
    ID_TAILFACTOR_NEW = 32967,
    ID_TAILFACTOR_EDIT = 32969,
    ID_TAILFACTOR_DELETE = 32968,
    ID_SET_SDF_FLOODFILL = 33071,
    ID_SET_INTERP_FLOODFILL = 33098,
    ID_RUN_SDF_FLOODFILL = 33072,
    ID_RUN_INTERP_FLOODFILL = 33099,
    ID_EXCLUDE_OUTLIERS = 33101,
    ID_INCLUDE_OUTLIERS = 33102,
};

// The popup menu of the table views.
inline constexpr UINT IDR_OBJECTVIEW_POPUP = 181;

// Document update hints among views.
enum : long {
    HINT_INTERPOLATION_VALUES = 1,
    HINT_CAPTION = 2,
    HINT_RELAYOUT = 3,
    HINT_SCALE = 4,
    HINT_RELAYOUT2 = 5,
    HINT_RELAYOUT3 = 6,
    HINT_CALENDAR = 7,
    HINT_ENTER_MOVES = 8,
};

class CObjectView : public CView, public IKernelWindow, public qs::project::ObjectViewLink {
public:
    explicit CObjectView(QWidget* parent = nullptr);
    ~CObjectView() override;
    // The frame opens the size of the table: the used range at the view's
    // scale, with room for headings and scroll bars, within the main
    // window's client area (never a bare title bar).
    QSize sizeHint() const override;

    // The document the view reads: by default the view's CDocument when it
    // implements IObjectViewDocument; tests may set one directly.
    void SetObjectDocument(IObjectViewDocument* doc) { m_pDoc = doc; }
    IObjectViewDocument* GetObjectDocument() const;
    CProject* GetProject() const;

    // Creation: takes the pending id and layer of the document and opens the
    // object. 0 on success, -1 when the object cannot be opened. Derived
    // views create their grid here (CreateSS) and lay it out.
    virtual int OnCreate();
    BOOL CreateSS(CSpreadsheetWnd* host);
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    // The kernel's refresh ("XREFRESH"): kind, position row * 10000 + column.
    void XRefresh(CFormula* object, int kind, long code) override;
    LRESULT OnRefresh(WPARAM kind, LPARAM position);

    // ---- the protocol of the derived views
    virtual BOOL Format(const CPageSetup* pageSetup);
    virtual BOOL UpdateData(BOOL bSave);
    virtual BOOL GetAt(int row, int col, CFormula* object = nullptr);
    virtual BOOL SetAt(int row, int col, const QString& text, double value, CFormula* object = nullptr);
    virtual BOOL IsEditable() const;
    virtual BOOL GetDataR(int row);
    virtual BOOL GetDataC(int col);
    virtual BOOL GetDataRC(int row, int col);

    // Wrappers: run the protocol inside the guard.
    BOOL OnFormat(const CPageSetup* pageSetup);
    BOOL OnUpdateData(BOOL bSave);
    BOOL OnGetDataR(int row);
    BOOL OnGetDataC(int col);
    BOOL OnGetDataRC(int row, int col);

    BOOL DataFormat(CFormula* object);
    void SetFonts(const CPageSetup* pageSetup);
    virtual void UpdateCaption();

    // One value with its kernel flag byte into a grid host; the grid status.
    static int WriteCell(CSpreadsheetWnd* host, int row, int col, double value, std::uint8_t flags);
    static void MarkCellFlag2(CSpreadsheetWnd* host, int row, int col);
    static void MarkCellFlag8(CSpreadsheetWnd* host, int row, int col);
    static void MarkCellFlag16(CSpreadsheetWnd* host, int row, int col);
    static void ResetCellBorder(CSpreadsheetWnd* host, int row, int col);

    BOOL OpenSourceTable(CFormula* object = nullptr);
    BOOL ShowFormula(CFormula* object = nullptr);
    BOOL ViewingInterpolationMethodVar() const;
    static std::uint32_t GetColorForTextBasedOnLayer(unsigned short layer);

    // ---- cell notes and footnotes (kernel numbering; null object: the view's)
    BOOL EditCellNote(int row, int col, CFormula* object = nullptr);
    void OnEditFootnote();
    // Appends the object's cell notes, under a heading, to the notes text of
    // the job's print page state. TRUE when notes were added.
    BOOL SaveCellNotes(CPrintInfo* pInfo, CFormula* object = nullptr, const QString& name = QString());

    // ---- printing in parts. The painter is null in BeginPrinting (the
    // document has not started); device measures come from the print
    // information's printer. The page state is the print information's user data.
    virtual BOOL NextPart(QPainter* pDC, CPrintInfo* pInfo);
    virtual void PreparePrinting(CPrintInfo* pInfo);
    virtual void BeginPrinting(QPainter* pDC, CPrintInfo* pInfo);
    virtual void PrintTitle(QPainter* pDC, CPrintInfo* pInfo);
    virtual void PrintFootnote(QPainter* pDC, CPrintInfo* pInfo);
    virtual void Print(QPainter* pDC, CPrintInfo* pInfo);
    virtual void EndPrinting(QPainter* pDC, CPrintInfo* pInfo);
    BOOL OnNextPart(QPainter* pDC, CPrintInfo* pInfo);
    void CalculatePartSize(QPainter* pDC, CPrintInfo* pInfo);
    int GetFootnoteOffset(QPainter* pDC, CPrintInfo* pInfo);
    virtual void OnPrepareDC(QPainter* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(QPainter* pDC, CPrintInfo* pInfo);
    // Puts the screen layout back after a print job changed the grid
    // (heading row and column, switches, print scale); the print driver calls it.
    void RestoreScreenAfterPrinting();

    // ---- commands
    void OnEditCopy();
    void OnEditCut();
    void OnEditDelete();
    // Paste checks every pasted cell as typing does (a number, empty or
    // "#N/A", in a cell that takes data) and refuses the whole paste with one
    // message naming the bad cells; otherwise each cell goes through SetAt.
    void OnEditPaste();
    BOOL CanPaste() const;
    // Grid cells (grid numbering) that take typed or pasted data.
    virtual BOOL IsEditableCell(int row, int col);
    // Lays the grid out again and loads it from the object.
    void ReloadFromObject();
    // A typed entry was stored in grid cell (row, col).
    virtual void OnCellStored(int /*row*/, int /*col*/) {}
    // The note of the kernel cell under grid (row, col), for the note's
    // tooltip; empty when the cell has none.
    virtual QString CellNoteAt(int row, int col) const;
    void OnZoomIn();
    void OnZoomOut();
    void OnShowGraph();

    // ---- context menu (right button, Shift+F10)
    // The popup of menu 181 as the view shows it: in file mode without the
    // two flood-fill submenus; items enabled as the command route says.
    // Each item sends its command to the view's top-level window.
    QMenu* BuildContextMenu(QWidget* parent);
    void ShowContextMenu(const QPoint& globalPos);
    // Where commands of the popup go: the first ancestor window that is not
    // a child window (the main frame), else the view.
    CWnd* CommandTarget();

    // ---- what the project document asks of an object window
    qs::project::ObjectViewKind ViewKind() const override { return qs::project::ObjectViewKind::None; }
    QSID ViewObjectId() const override { return m_lObjectID; }
    unsigned short ViewLayer() const override { return m_nLayer; }
    CFormula* KernelLink() const override { return m_pObject; }
    // Detaching (null) leaves the object to the document; the view no longer closes it.
    void SetKernelLink(CFormula* object) override { m_pObject = object; }
    IKernelWindow* KernelWindow() override { return this; }
    void RefreshAfterReattach() override;

    // ---- state
    CFormula* GetObject() const { return m_pObject; }
    QSID GetObjectID() const { return m_lObjectID; }
    unsigned short GetLayer() const { return m_nLayer; }
    CSpreadsheetWnd* GetHost() const { return m_pSS; }
    qs::ss::SpreadsheetControl* GetCtrl() const;
    const QString& GetFootnote() const { return m_strFootnote; }
    // The frame caption as last set by UpdateCaption.
    const QString& GetCaption() const { return m_strCaption; }
    // The small icon of the view's frame (an id of ViewIcons.h); 0 until set.
    void SetFrameIcon(int iconId);
    int GetFrameIconId() const { return m_nFrameIconId; }

    // The grid's extent: a selection of all of it is the whole sheet.
    static constexpr int kMaxGridRows = qs::ss::kMaxRows;
    static constexpr int kMaxGridCols = qs::ss::kMaxCols;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    // A message box for a failed call (owned by the view).
    void ReportError(const QString& text);
    // What the status line shows after the footnote: the kernel's messages
    // about the object (a method's totals that leave out periods); a view
    // adds its own.
    virtual QStringList StatusNotes() const;
    // Shows the footnote and the notes in the status line.
    void ShowFootnoteStatus();

    QString m_strFootnote;
    CSpreadsheetWnd* m_pSS = nullptr;
    unsigned short m_nLayer = 0;
    QSID m_lObjectID = 0;
    CFormula* m_pObject = nullptr;

private:
    bool ReadPastedNumber(const QString& text, double& value) const;
    void MapCommands();
    void MapNoteCommands();
    // The usable rectangle of a page for the job's page state (device units).
    static QRect UsableRect(const CPrintPageState& state);
    bool StopPrintingTooBig(CPrintInfo* pInfo);

    // What printing changed on the grid, for RestoreScreenAfterPrinting.
    struct PrintScreenState {
        bool saved = false;
        bool headingsInserted = false;
        bool selChangeNotify = true;
        int fixedRows = 0, fixedCols = 0, printScale = 100;
        bool gridSwitches[10] = {};
        bool printSwitches[3] = {};
    } m_printScreen;
    int m_nPartsOnPage = 0;

    IObjectViewDocument* m_pDoc = nullptr;
    // The project the object was opened in: the view closes the object there
    // even after it has left its document.
    CProject* m_pOpenedIn = nullptr;
    QString m_strCaption;
    int m_nFrameIconId = 0;
};
