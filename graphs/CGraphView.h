#pragma once
// The view of one kernel graph: the one place where a graph is bound to a
// window. It obtains the graph (a working copy) from the project for the
// document's current object and layer, asks for the data source of a new
// graph, hands the graph to the frame's data bar, redraws the chart on the
// graph's events and "XREFRESH", keeps its appearance in style files
// (CGraphViewStyles.cpp), prints (CGraphViewPrint.cpp) and saves the graph
// into its master, under a table or as a new navigator graph.
//
// The frame's graph bar sends its buttons' commands here; the view keeps
// their enabled and checked states.
#include <QByteArray>
#include <QPointer>
#include <QString>

#include <memory>

#include "CGraphAttrEvent.h"
#include "CGraphDataBar.h"
#include "CGraphStyleTable.h"
#include "CView.h"
#include "GraphCloseQuery.h"
#include "GraphFill.h"
#include "GraphPrinting.h"
#include "KernelTypes.h"
#include "MDIChildCloseRule.h"
#include "ObjectViewLink.h"
#include "QsCommandIds.h"

class CGraph;
class CGraphChartWnd;
class CGraphDataBar;
class CPrintInfo;
class CPrintPageState;
class CProject;
class IObjectViewDocument;
class QComboBox;
class QMenu;
class QPainter;
class QPrinter;

// Commands of the graph view and its bar (named in the program's command ids).
enum : UINT {
    ID_GRAPH_VIEW_SOURCE = qs::cmd::kViewSourceData,
    ID_GRAPH_DATA_SOURCE = qs::cmd::kGraphDataSource,
    ID_GRAPH_WIZARD = qs::cmd::kGraphWizard,
    ID_GRAPH_DESIGNER = qs::cmd::kGraphDesigner,
    ID_GRAPH_CHANGE_STYLES = qs::cmd::kGraphChangeStyles,
    ID_GRAPH_DEFAULT_STYLES = qs::cmd::kDefaultStyles,
    ID_GRAPH_SAVE_TO_NAVIGATOR = qs::cmd::kGraphSaveToNavigator,
    IDC_GRAPH_STYLE_LIST = qs::cmd::kGraphStyleList,
    IDC_GRAPH_SAVE_STYLE = qs::cmd::kGraphSaveStyle,
    IDC_GRAPH_LOAD_STYLE = qs::cmd::kGraphLoadStyle,
    IDC_GRAPH_ENABLE_ZOOM = qs::cmd::kGraphEnableZoom,
    IDC_GRAPH_RESET_ZOOM = qs::cmd::kGraphResetZoom,
    IDC_GRAPH_SINGLE_SERIES = qs::cmd::kGraphSingleSeries,
    IDC_GRAPH_ADJUST_Y = qs::cmd::kGraphAdjustYAxis,
    IDC_GRAPH_CLOSE = qs::cmd::kGraphCancel,
    IDC_GRAPH_SAVE = qs::cmd::kGraphSave,
    IDC_GRAPH_DELETE_STYLE = qs::cmd::kGraphDeleteStyle,
    IDC_GRAPH_FILE_LABEL = qs::cmd::kGraphFileLabel,
    IDC_GRAPH_FILE_CHECK = qs::cmd::kGraphFileCheck,
    ID_GRAPH_DATA_BAR = qs::cmd::kGraphDataBar,
};

class CGraphView;
int PrintGraphAlone(CGraphView& view, QPrinter& printer, CPrintPageState& state);

class CGraphView : public CView,
                   public CGraphAttrEvent,
                   public IKernelWindow,
                   public qs::project::ObjectViewLink,
                   public IMDIChildCloseRule,
                   public IGraphCloseQuery {
public:
    static inline const QString kDefaultStyle = QStringLiteral("<Default Style>");

    explicit CGraphView(QWidget* parent = nullptr);
    ~CGraphView() override;
    // A new graph window opens large enough for its titles, axes and legend
    // to read at their normal sizes.
    QSize sizeHint() const override { return QSize(820, 560); }

    // ---- document
    void SetObjectDocument(IObjectViewDocument* doc) { m_pDoc = doc; }
    IObjectViewDocument* GetObjectDocument() const;
    CProject* GetProject() const;

    // ---- life
    // Creation: binds the graph of the document's current object and layer;
    // a new graph first asks for its data source. 0, or -1 when the graph
    // cannot be had or the user cancelled (no window is made).
    int OnCreate() override;
    void OnInitialUpdate() override;
    // A document update: the kept graph may have been renamed; the window
    // takes its names and retitles itself.
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    // Reloads the chart; returns the fill's result (1), 0 without a graph.
    int RefreshGraph(BOOL fromEvent);
    void AddOpenRef() override { ++m_nOpenCount; }
    int ReleaseOpenRef() { return --m_nOpenCount; }
    int OpenCount() const { return m_nOpenCount; }
    bool CanCloseGraph() override;
    bool KeepOnMDIDestroy() override { return ReleaseOpenRef() != 0; }

    // ---- what the project document asks of an object window
    qs::project::ObjectViewKind ViewKind() const override { return qs::project::ObjectViewKind::Graph; }
    QSID ViewObjectId() const override { return m_lObjectId; }
    unsigned short ViewLayer() const override { return m_nLayer; }
    // The view holds its graph itself: an object the document re-attaches
    // after a structural change is let go at once and the graph recatalogued.
    void SetKernelLink(CFormula* object) override;
    IKernelWindow* KernelWindow() override { return this; }
    void RefreshAfterReattach() override;

    // ---- kernel events
    void OnGraphChanged(CGraph*) override { RefreshGraph(TRUE); }
    void OnGraphModified(CGraph*) override;
    void XRefresh(CFormula* object, int kind, long code) override;
    void OnXRefresh();

    // ---- commands
    void OnDataSource();
    void OnViewSourceData();
    void OnWizard() { OnDesigner(); }
    void OnDesigner();
    void OnSaveToNavigator();
    void OnSaveGraph();
    void OnEnableZoom(bool on);
    void OnResetZoom();
    void OnSingleSeries(bool on);
    void OnAdjustYAxis(bool on);
    void OnCloseWithoutQuestions();
    void ShowContextMenu(const QPoint& globalPos);
    // The right-click menu "&Graph": Wizard, Designer, Data Source, Default
    // Styles, Save To Navigator, enabled as the command route says; each item
    // sends its command to the frame.
    QMenu* BuildContextMenu(QWidget* parent);
    // Prints the graph alone on a chosen printer, or into a PDF file the
    // user names when no printer is installed.
    void OnPrintGraph();

    // ---- styles (CGraphViewStyles.cpp)
    enum StyleMode { StyleFile = 0, StyleDatabase = 1, StyleAutomatic = 2 };
    // True when the named style (or, failing that, the default) was loaded.
    bool LoadStyle(int mode);
    // The save and load dialogs; path given: no dialog (what the user chose).
    void OnSaveStyle();
    bool SaveStyleToFile(const QString& path);
    void OnLoadStyle();
    bool LoadStyleFromFile(const QString& path);
    void FillStyleList();
    void OnStyleSelected(const QString& name);
    // The style name the graph keeps for a file chosen in a dialog: the file
    // name when it lies in the styles folder, else the full path.
    static QString StyleNameForPath(const QString& path);
    // The default style name of the graph's data, when its file is installed.
    QString DefaultStyleName() const;
    // Protected default style names (compared without case).
    static bool IsProtectedStyle(const QString& name);

    // ---- printing (CGraphViewPrint.cpp): the hooks a print list's item calls
    int BeginPrint(QPainter* dc, CPrintInfo* info);
    void PrintPage(QPainter* dc, CPrintInfo* info);
    int EndPrint(QPainter* dc, CPrintInfo* info);

    // ---- state
    CGraph* GetGraph() const { return m_pGraph; }
    CGraphChartWnd* Chart() const { return m_pChart; }
    CGraphDataBar* DataBar() const { return m_pDataBar; }
    bool IsZoomOn() const { return m_bZoom; }
    bool IsUnsaved() const { return m_bUnsaved; }
    bool StyleChanged() const { return m_bStyleChanged; }
    const qs::graphs::GraphDrawState& DrawState() const { return m_draw; }
    QString TitleText() const { return m_strTitle; }
    // Brings the graph bar's controls up to date (enabled, checked, shown).
    void UpdateBarControls();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend struct GraphPrinting;
    QWidget* FrameControl(int id) const;
    QComboBox* StyleList() const;
    void SaveAppearanceToMemory(bool keepExisting);
    void DropSavedAppearance() { m_savedAppearance.clear(); }
    void RestoreAppearance();
    void SetFrameTitle();
    bool SaveIntoMaster(QSID id);
    bool AskSaveStyle();
    void MarkProjectModified();
    QString LayerName() const;

    // printing
    bool SelectSeriesForPrint(CPrintPageState& state);
    bool AdvancePhase(CPrintPageState& state);
    bool PhaseHasMore(CPrintPageState& state);
    void RefillForPrint();
    friend int PrintGraphAlone(CGraphView& view, QPrinter& printer, CPrintPageState& state);

    IObjectViewDocument* m_pDoc = nullptr;
    int m_nOpenCount = 1;
    CGraphChartWnd* m_pChart = nullptr;
    QPointer<CGraphDataBar> m_pDataBar;
    unsigned short m_nLayer = 0;
    QSID m_lObjectId = 0;
    CGraph* m_pGraph = nullptr;
    bool m_bStyleChanged = false;
    QByteArray m_savedAppearance;  // the chart's appearance saved to memory; empty = none
    bool m_bCloseWithoutQuestions = false;
    qs::graphs::GraphDrawState m_draw;
    int m_nGraphsAcross = 1;
    int m_nSeriesCount = 100;
    bool m_bCurrentViewOnly = false;
    bool m_bDirtyAtPrintStart = false;
    bool m_bDirectPrint = false;
    GraphSeriesProgress m_print;
    bool m_bRefreshing = false;
    bool m_bUnsaved = false;
    bool m_bZoom = false;
    bool m_bInitialised = false;
    QString m_strTitle;
    CGraphStyleTable m_styles;
};
