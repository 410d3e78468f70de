#include "CGraphView.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDockWidget>
#include <QMenu>
#include <QPointer>
#include <QResizeEvent>

#include <memory>

#include "CChooseGraphElementsDlg.h"
#include "CCmdUI.h"
#include "CDocument.h"
#include "CFrameWnd.h"
#include "CGraph.h"
#include "CGraphChartWnd.h"
#include "CGraphDataBar.h"
#include "CGraphIterators.h"
#include "CNewGraphDlg.h"
#include "CProject.h"
#include "CSelectDataSourceDlg.h"
#include "CSourceTablesDlg.h"
#include "CommandIds.h"
#include "GraphHost.h"
#include "IObjectViewDocument.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "ProjectHost.h"

using qs::chart::kChartLine;
using qs::chart::kChartXY;

namespace {

constexpr QSID kGraphIdFloor = 1000000000;
const char* const kSaved = "Your data settings have been saved.";

// Commands that mean nothing in a graph window.
constexpr UINT kAlwaysDisabled[] = {57648, 32962, 32827, 32983, 32815, 32816, 32933};

QString Q(const std::string& s) { return QString::fromStdString(s); }

bool IsTableGraphId(QSID id) { return id < kGraphIdFloor && GetIDDOType(id) != 8; }

}  // namespace

CGraphView::CGraphView(QWidget* parent) : CView(parent) {
    m_pChart = new CGraphChartWnd(this);
    m_pChart->onContextMenu = [this](const QPoint& p) { ShowContextMenu(p); };
    m_pChart->onZoomed = [this] { UpdateBarControls(); };
    QObject::connect(m_pChart, &qs::chart::ChartControl::AppearanceChanged, this, [this] { m_bStyleChanged = true; });

    const auto checked = [this](UINT id, bool fallback) {
        auto* button = qobject_cast<QAbstractButton*>(FrameControl(int(id)));
        return button != nullptr && button->isCheckable() ? button->isChecked() : fallback;
    };
    MapCommand(ID_GRAPH_VIEW_SOURCE, [this] { OnViewSourceData(); });
    MapCommand(ID_GRAPH_DATA_SOURCE, [this] { OnDataSource(); });
    MapCommand(ID_GRAPH_WIZARD, [this] { OnWizard(); });
    MapCommand(ID_GRAPH_DESIGNER, [this] { OnDesigner(); });
    MapCommand(ID_GRAPH_CHANGE_STYLES, [] {});
    MapCommand(ID_GRAPH_SAVE_TO_NAVIGATOR, [this] { OnSaveToNavigator(); });
    MapCommand(IDC_GRAPH_SAVE_STYLE, [this] { OnSaveStyle(); });
    MapCommand(IDC_GRAPH_LOAD_STYLE, [this] {
        OnLoadStyle();
        RefreshGraph(FALSE);
    });
    MapCommand(IDC_GRAPH_ENABLE_ZOOM, [this, checked] { OnEnableZoom(checked(IDC_GRAPH_ENABLE_ZOOM, !m_bZoom)); });
    MapCommand(IDC_GRAPH_RESET_ZOOM, [this] { OnResetZoom(); });
    MapCommand(IDC_GRAPH_SINGLE_SERIES, [this, checked] {
        OnSingleSeries(checked(IDC_GRAPH_SINGLE_SERIES, m_pGraph != nullptr && !m_pGraph->IsGraphMultiTables()));
    });
    MapCommand(IDC_GRAPH_ADJUST_Y, [this, checked] {
        OnAdjustYAxis(checked(IDC_GRAPH_ADJUST_Y, m_pGraph != nullptr && m_pGraph->GetAdjustYAxis() == 0));
    });
    MapCommand(IDC_GRAPH_CLOSE, [this] { OnCloseWithoutQuestions(); });
    MapCommand(IDC_GRAPH_SAVE, [this] { OnSaveGraph(); });
    MapCommand(ID_FILE_PRINT, [this] { OnPrintGraph(); });
    MapCommand(ID_FILE_PRINT_DIRECT, [this] { OnPrintGraph(); });

    for (UINT id : kAlwaysDisabled) MapUpdateCommand(id, [](CCmdUI* ui) { ui->Enable(FALSE); });
    MapUpdateCommand(ID_GRAPH_SAVE_TO_NAVIGATOR, [this](CCmdUI* ui) {
        ui->Enable(m_pGraph != nullptr && (m_bUnsaved || m_pGraph->ShouldSaveAsNewGraph()));
    });
    for (UINT id : {UINT(ID_GRAPH_WIZARD), UINT(ID_GRAPH_DESIGNER), UINT(IDC_GRAPH_SAVE_STYLE),
                    UINT(IDC_GRAPH_LOAD_STYLE), UINT(ID_FILE_PRINT_DIRECT), UINT(ID_FILE_PRINT)})
        MapUpdateCommand(id, [this](CCmdUI* ui) { ui->Enable(m_pGraph != nullptr && !m_bZoom); });
    MapUpdateCommand(IDC_GRAPH_ENABLE_ZOOM, [this](CCmdUI* ui) {
        ui->Enable(m_pChart->ChartType() == kChartLine || m_pChart->ChartType() == kChartXY);
        ui->SetCheck(m_bZoom ? 1 : 0);
    });
    MapUpdateCommand(IDC_GRAPH_RESET_ZOOM, [this](CCmdUI* ui) {
        ui->Enable(m_pChart->ChartType() == kChartXY && !m_pChart->AxisScale(qs::chart::AxisY).automatic);
    });
    MapUpdateCommand(IDC_GRAPH_ADJUST_Y, [this](CCmdUI* ui) {
        ui->Enable(m_pChart->ChartType() == kChartLine || m_pChart->ChartType() == kChartXY);
        ui->SetCheck(m_pGraph != nullptr && m_pGraph->GetAdjustYAxis() != 0 ? 1 : 0);
    });
    MapUpdateCommand(IDC_GRAPH_SINGLE_SERIES, [this](CCmdUI* ui) {
        ui->Enable(m_pGraph != nullptr && m_pGraph->CanForceComposite());
        ui->SetCheck(m_pGraph != nullptr && m_pGraph->IsGraphMultiTables() ? 1 : 0);
    });
}

CGraphView::~CGraphView() {
    if (m_pGraph != nullptr) {
        m_pGraph->RemoveEventReceiver(this);
        if (m_pDataBar != nullptr && m_pDataBar->GetGraph() == m_pGraph) m_pDataBar->SetGraph(nullptr);
        if (CProject* project = GetProject()) project->ReleaseGraphObject(m_pGraph, this);
        m_pGraph = nullptr;
    }
}

IObjectViewDocument* CGraphView::GetObjectDocument() const {
    if (m_pDoc != nullptr) return m_pDoc;
    return dynamic_cast<IObjectViewDocument*>(GetDocument());
}

CProject* CGraphView::GetProject() const {
    IObjectViewDocument* doc = GetObjectDocument();
    return doc != nullptr ? doc->GetProject() : nullptr;
}

QString CGraphView::LayerName() const {
    std::string name;
    if (CProject* project = GetProject())
        project->GetNameLayer(name, m_pGraph != nullptr ? m_pGraph->GetViewLayer() : m_nLayer);
    return Q(name);
}

QWidget* CGraphView::FrameControl(int id) const {
    CFrameWnd* frame = GetParentFrame();
    return frame != nullptr ? frame->GetDlgItem(id) : nullptr;
}

QComboBox* CGraphView::StyleList() const { return qobject_cast<QComboBox*>(FrameControl(IDC_GRAPH_STYLE_LIST)); }

// ---------------------------------------------------------------- life

int CGraphView::OnCreate() {
    IObjectViewDocument* doc = GetObjectDocument();
    CProject* project = GetProject();
    if (doc == nullptr || project == nullptr) return -1;
    m_lObjectId = doc->GetPendingObjectID();
    m_nLayer = doc->GetPendingLayer();
    m_pGraph = project->GetGraphObject(m_lObjectId, this, m_nLayer);
    if (m_pGraph == nullptr) return -1;
    if (GetIDDOType(m_lObjectId) == 8 && GetIDInstance(m_lObjectId) == 0) {
        CGraphTableInserter& inserter = m_pGraph->GetTableInserter();
        CSelectDataSourceDlg dialog(project, nullptr, &inserter, this);
        if (dialog.DoModal() != IDOK) {
            inserter.Cancel();
            return -1;
        }
        inserter.Finalize();
        m_bUnsaved = true;
    } else {
        m_bUnsaved = IsTableGraphId(m_lObjectId);
    }
    if (auto* dock = qobject_cast<QDockWidget*>(FrameControl(ID_GRAPH_DATA_BAR))) m_pDataBar = qs::graphs::DataBarOf(dock);
    if (m_pDataBar != nullptr) {
        m_pDataBar->SetGraph(m_pGraph);
        m_pDataBar->onAddTables = [this] { OnDataSource(); };
    }
    m_pGraph->SetEventReceiver(this);
    return 0;
}

void CGraphView::OnInitialUpdate() {
    CView::OnInitialUpdate();
    if (m_pGraph == nullptr) return;
    // The database controls stay hidden while styles live in files.
    for (int id : {IDC_GRAPH_DELETE_STYLE, IDC_GRAPH_FILE_LABEL, IDC_GRAPH_FILE_CHECK})
        if (QWidget* w = FrameControl(id)) w->setVisible(false);
    if (m_pGraph->GetStyleName().empty()) {
        // Naming the default style is no change of the user's (a new graph
        // stays as unsaved as it was).
        const bool dirty = m_pGraph->IsDirty();
        m_pGraph->SetStyleName(kDefaultStyle.toStdString());
        m_pGraph->SetDirty(dirty);
    }
    LoadStyle(StyleAutomatic);
    RefreshGraph(FALSE);
    FillStyleList();
    m_bStyleChanged = false;
    m_bInitialised = true;
    if (QComboBox* list = StyleList()) {
        QObject::disconnect(list, &QComboBox::activated, this, nullptr);
        QObject::connect(list, &QComboBox::activated, this, [this, list](int index) {
            OnStyleSelected(list->itemText(index));
        });
    }
    UpdateBarControls();
}

void CGraphView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) {
    CView::OnUpdate(pSender, lHint, pHint);
    if (m_pGraph == nullptr) return;
    if (const CGraph* master = m_pGraph->GetMaster(); master != nullptr && master->HasName() &&
        (master->GetIDLongName() != m_pGraph->GetIDLongName() || master->GetIDShortName() != m_pGraph->GetIDShortName())) {
        m_pGraph->SetIDLongName(master->GetIDLongName());
        m_pGraph->SetIDShortName(master->GetIDShortName());
        // The chart's title is the graph's name too.
        if (m_bInitialised) RefreshGraph(FALSE);
        return;
    }
    SetFrameTitle();
}

void CGraphView::resizeEvent(QResizeEvent* event) {
    CView::resizeEvent(event);
    m_pChart->setGeometry(0, 0, event->size().width(), event->size().height());
}

int CGraphView::RefreshGraph(BOOL /*fromEvent*/) {
    if (m_pGraph == nullptr) return 0;
    m_draw.ResetExtremes();
    m_bRefreshing = true;
    if (!m_bZoom) RestoreAppearance();
    m_draw.zoom = m_bZoom;
    m_draw.layerName = LayerName();
    const int result = qs::graphs::FillChart(*m_pChart, *m_pGraph, m_draw, m_styles);
    m_bRefreshing = false;
    SetFrameTitle();
    if (const QSID id = m_pGraph->GetGraphID(); id != 0) m_lObjectId = DelGraphIDOf(id);
    UpdateBarControls();
    return result;
}

void CGraphView::RestoreAppearance() {
    if (!m_savedAppearance.isEmpty()) m_pChart->RestoreFromMemory(m_savedAppearance);
    else LoadStyle(StyleAutomatic);
}

void CGraphView::SaveAppearanceToMemory(bool keepExisting) {
    if (keepExisting && !m_savedAppearance.isEmpty()) return;
    QByteArray bytes;
    if (m_pChart->SaveToMemory(&bytes)) m_savedAppearance = bytes;
}

void CGraphView::SetFrameTitle() {
    if (m_pGraph == nullptr) return;
    QString title;
    if (m_pGraph->HasName())
        title = Q(m_pGraph->GetIDName(-1)).trimmed() + QStringLiteral(" (") + LayerName() + QLatin1Char(')');
    else
        title = QStringLiteral("Graph of ") + qs::graphs::GraphTitle(*m_pGraph, m_draw);
    if (qs::graphs::IsFileMode())
        if (IObjectViewDocument* doc = GetObjectDocument()) title = doc->GetDocumentTitle() + QStringLiteral(": ") + title;
    m_strTitle = title;
    if (CFrameWnd* frame = GetParentFrame()) frame->SetWindowText(title);
}

void CGraphView::MarkProjectModified() {
    if (!qs::graphs::IsFileMode()) return;
    if (CProject* project = GetProject()) project->SetModifiedFlag(true);
}

void CGraphView::OnGraphModified(CGraph*) { MarkProjectModified(); }

void CGraphView::XRefresh(CFormula*, int, long) { OnXRefresh(); }

void CGraphView::OnXRefresh() {
    if (m_bRefreshing || m_pGraph == nullptr) return;
    m_bRefreshing = true;
    m_pGraph->RecatalogAndRefresh();
    m_bRefreshing = false;
    RefreshGraph(FALSE);
}

void CGraphView::SetKernelLink(CFormula* object) {
    if (object != nullptr)
        if (CProject* project = GetProject()) project->CloseObject(object, this);
}

void CGraphView::RefreshAfterReattach() {
    if (m_pGraph != nullptr) m_pGraph->RecatalogAndRefresh();
}

void CGraphView::UpdateBarControls() {
    CFrameWnd* frame = GetParentFrame();
    if (frame == nullptr) return;
    for (UINT id : {UINT(IDC_GRAPH_SAVE_STYLE), UINT(IDC_GRAPH_LOAD_STYLE), UINT(IDC_GRAPH_ENABLE_ZOOM),
                    UINT(IDC_GRAPH_RESET_ZOOM), UINT(IDC_GRAPH_ADJUST_Y), UINT(IDC_GRAPH_SINGLE_SERIES)}) {
        QWidget* control = FrameControl(int(id));
        if (control == nullptr) continue;
        CCmdUI ui;
        ui.m_nID = id;
        ui.DoUpdate(this, FALSE);
        if (ui.m_bEnableChanged) control->setEnabled(ui.m_enabled);
        if (auto* button = qobject_cast<QAbstractButton*>(control); button && ui.m_check && button->isCheckable()) {
            const QSignalBlocker block(button);
            button->setChecked(*ui.m_check != 0);
        }
    }
    if (QComboBox* list = StyleList()) list->setEnabled(!m_bZoom);
}

// ---------------------------------------------------------------- commands

void CGraphView::OnDataSource() {
    CProject* project = GetProject();
    if (m_pGraph == nullptr || project == nullptr) return;
    CTableIterator tables(m_pGraph);
    CGraphTableInserter& inserter = m_pGraph->GetTableInserter();
    CSelectDataSourceDlg dialog(project, &tables, &inserter, this);
    if (dialog.DoModal() != IDOK) {
        inserter.Cancel();
        return;
    }
    SaveAppearanceToMemory(true);
    inserter.Finalize();
    if (GetIDInstance(m_lObjectId) == 0 || GetIDIndex(m_lObjectId) < 501) m_bUnsaved = true;
    UpdateBarControls();
}

void CGraphView::OnViewSourceData() {
    CProject* project = GetProject();
    IObjectViewDocument* doc = GetObjectDocument();
    if (m_pGraph == nullptr || project == nullptr || doc == nullptr) return;
    CTableIterator tables(m_pGraph);
    if (tables.GetCount() == 0) return;
    QSID id = 0;
    unsigned short layer = 0;
    if (tables.GetCount() == 1) {
        CTableAdapter* only = nullptr;
        tables.GetNext(only);
        id = static_cast<QSID>(only->GetID());
        layer = GetIDLayer(id);
    } else {
        CSourceTablesDlg dialog(this);
        dialog.m_pProject = project;
        dialog.m_pObject = m_pGraph;
        if (dialog.DoModal() != IDOK) return;
        id = dialog.m_lChosenId;
        layer = dialog.m_nChosenLayer;
    }
    SetIDLayer(id, 0);
    SetIDInstance(id, 1);
    if (layer == 0) layer = m_pGraph->GetViewLayer();
    doc->OpenObjectWindow(id, layer, 1, 1, 0);
}

void CGraphView::OnDesigner() {
    if (m_pGraph == nullptr || m_bZoom) return;
    const int oldType = m_pChart->ChartType();
    if (m_pChart->ShowEditor() != IDOK) return;
    SaveAppearanceToMemory(false);
    if (m_pChart->ChartType() != oldType && (oldType == kChartXY || m_pChart->ChartType() == kChartXY))
        RefreshGraph(FALSE);
}

void CGraphView::OnEnableZoom(bool on) {
    if (m_pGraph == nullptr) return;
    if (on && !m_bZoom) {
        // Zooming works on an XY chart whose Y axis follows the data.
        SaveAppearanceToMemory(true);
        m_pChart->ClearData();
        m_pChart->SetChartType(kChartXY);
        qs::chart::ValueScale y = m_pChart->AxisScale(qs::chart::AxisY);
        y.automatic = true;
        m_pChart->SetAxisScale(qs::chart::AxisY, y);
    }
    m_bZoom = on;
    m_pChart->SetZoomEnabled(on);
    RefreshGraph(FALSE);
}

void CGraphView::OnResetZoom() {
    if (m_pGraph == nullptr) return;
    qs::chart::ValueScale y = m_pChart->AxisScale(qs::chart::AxisY);
    y.automatic = true;
    m_pChart->SetAxisScale(qs::chart::AxisY, y);
    // One row or none still makes a drawable axis of one division.
    const int rows = m_pGraph->GetNumDataRows();
    qs::chart::ValueScale x = m_pChart->AxisScale(qs::chart::AxisX);
    x.automatic = false;
    x.minimum = 1.0;
    x.maximum = rows > 1 ? double(rows) : 2.0;
    x.majorDivisions = rows > 1 ? rows - 1 : 1;
    m_pChart->SetAxisScale(qs::chart::AxisX, x);
    UpdateBarControls();
}

void CGraphView::OnSingleSeries(bool on) {
    if (m_pGraph == nullptr) return;
    m_pGraph->SetCompositeMode(on ? 1 : 2, true);
    UpdateBarControls();
}

void CGraphView::OnAdjustYAxis(bool on) {
    if (m_pGraph == nullptr) return;
    m_pGraph->SetAdjustYAxis(on ? 1 : 0);
    qs::graphs::ScaleAxes(*m_pChart, *m_pGraph, m_draw);
    UpdateBarControls();
}

void CGraphView::OnCloseWithoutQuestions() {
    m_bCloseWithoutQuestions = true;
    if (CFrameWnd* frame = GetParentFrame()) frame->PostMessage(WM_CLOSE);
}

void CGraphView::ShowContextMenu(const QPoint& globalPos) {
    std::unique_ptr<QMenu> menu(BuildContextMenu(this));
    menu->exec(globalPos);
}

QMenu* CGraphView::BuildContextMenu(QWidget* parent) {
    CFrameWnd* frame = GetParentFrame();
    CCmdTarget* route = frame != nullptr ? static_cast<CCmdTarget*>(frame) : static_cast<CCmdTarget*>(this);
    auto* graph = new QMenu(QStringLiteral("&Graph"), parent);
    const struct {
        UINT id;
        const char* text;
    } items[] = {{ID_GRAPH_WIZARD, "&Wizard"},
                 {ID_GRAPH_DESIGNER, "&Designer"},
                 {ID_GRAPH_DATA_SOURCE, "Data S&ource"},
                 {ID_GRAPH_DEFAULT_STYLES, "De&fault Styles"},
                 {ID_GRAPH_SAVE_TO_NAVIGATOR, "&Save To Navigator"}};
    for (const auto& item : items) {
        QAction* action = graph->addAction(QString::fromLatin1(item.text));
        CCmdUI ui;
        ui.m_nID = item.id;
        ui.DoUpdate(route, TRUE);
        action->setEnabled(!ui.m_bEnableChanged || ui.m_enabled);
        const UINT id = item.id;
        QObject::connect(action, &QAction::triggered, this, [route, id] {
            if (auto* wnd = dynamic_cast<CWnd*>(route)) wnd->SendMessage(WM_COMMAND, id, 0);
        });
    }
    return graph;
}

// ---------------------------------------------------------------- saving the graph

bool CGraphView::SaveIntoMaster(QSID id) {
    if (!m_pGraph->SaveToMaster(id)) {
        AfxMessageBox(QStringLiteral("Error: SaveToMaster"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    AfxMessageBox(QString::fromLatin1(kSaved), MB_OK | MB_ICONINFORMATION);
    return true;
}

void CGraphView::OnSaveGraph() {
    if (m_pGraph == nullptr) return;
    if (!m_bUnsaved && !m_pGraph->ShouldSaveAsNewGraph()) {
        SaveIntoMaster(-1);
    } else if (IsTableGraphId(m_lObjectId)) {
        if (SaveIntoMaster(m_lObjectId)) m_bUnsaved = false;
    } else {
        OnSaveToNavigator();
    }
    UpdateBarControls();
}

void CGraphView::OnSaveToNavigator() {
    CProject* project = GetProject();
    if (m_pGraph == nullptr || project == nullptr) return;
    if (!qs::graphs::IsFileMode()) {
        // Graphs of a database project are kept in its graph records, which
        // this program does not write yet.
        AfxMessageBox(QStringLiteral("Graphs cannot be saved to the database in this version."), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CNewGraphDlg dialog(project, 0, this);
    if (dialog.DoModal() != IDOK) return;
    if (project->SaveGraphToNavigator(m_pGraph, dialog.m_nIndex, dialog.m_strName.toStdString(),
                                      dialog.m_strAbbreviatedName.toStdString(), dialog.m_nNode) != qsk::kOk) {
        AfxMessageBox(QStringLiteral("Error: SaveGraphToNavigator"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_bUnsaved = false;
    m_lObjectId = DelGraphIDOf(m_pGraph->GetGraphID());
    if (auto& refresh = qs::project::Host().refreshNavigator) refresh();
    OnGraphChanged(m_pGraph);
    AfxMessageBox(QString::fromLatin1(kSaved), MB_OK | MB_ICONINFORMATION);
}

bool CGraphView::CanCloseGraph() {
    if (m_bCloseWithoutQuestions || m_pGraph == nullptr) return true;
    if (m_bStyleChanged &&
        AfxMessageBox(QStringLiteral("Would you like to save your changes to the graph style?"), MB_YESNO) == IDYES)
        OnSaveStyle();
    // A title or footnote the user wrote in the designer stays with the graph.
    CGraphData& data = m_pGraph->GetData();
    const QString title = m_pChart->Title(), footnote = m_pChart->Footnote();
    if (title != m_draw.filledTitle || footnote != Q(data.GetFootnote())) {
        if (title != m_draw.filledTitle) data.SetName(title.toStdString());
        data.SetFootnote(footnote.toStdString());
        data.SetStatus(0);
    }
    if (m_pGraph->IsDirty()) {
        const int answer =
            AfxMessageBox(QStringLiteral("Would you like to save changes to this graph?"), MB_YESNOCANCEL);
        if (answer == IDCANCEL) return false;
        if (answer == IDYES) OnSaveGraph();
    }
    return true;
}
