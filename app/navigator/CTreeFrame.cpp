#include "navigator/CTreeFrame.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QSplitter>

#include "CCmdUI.h"
#include "CDocument.h"
#include "navigator/CPrjListView.h"
#include "navigator/CPrjTreeView.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CQuillstoneApp.h"
#include "CToolBar.h"
#include "SmallViewDialogs.h"  // CViewSelectionDlg
#include "KernelIds.h"
#include "ModalScript.h"
#include "navigator/NavigatorIcons.h"
#include "navigator/NavigatorModel.h"
#include "ProjectHost.h"
#include "WaitCursor.h"
#include "startup/WorkstationSettings.h"

namespace nav = qs::app::nav;
using qs::app::Settings;

CTreeFrame::CTreeFrame() {
    MapCommandRange(32926, 32930, [this](UINT id) { OnCategory(id); });
    MapCommand(33103, [this] { OnCategory(33103); });
    const auto radio = [this](CCmdUI* ui) { ui->SetRadio(nav::CategoryIndexOfCommand(ui->m_nID) == m_nCategory); };
    MapUpdateCommandRange(32926, 32930, radio);
    MapUpdateCommand(33103, radio);

    MapCommand(kCmdRefresh, [this] { RefreshViews(); });
    MapCommand(kCmdViewDataOnly, [this] { OnToggleViewDataOnly(); });
    MapUpdateCommand(kCmdViewDataOnly, [](CCmdUI* ui) { ui->SetCheck(Settings().viewDataOnly != 0); });
    MapCommand(kCmdViewAllOrData, [this] { OnToggleViewDataOnly(); });
    MapUpdateCommand(kCmdViewAllOrData, [](CCmdUI* ui) { ui->SetCheck(Settings().viewDataOnly == 0); });
    MapCommand(kCmdViewEntered, [this] { OnToggleViewEntered(); });
    MapUpdateCommand(kCmdViewEntered, [](CCmdUI* ui) { ui->SetCheck(Settings().viewEntered != 0); });
    MapCommand(kCmdViewCalculated, [this] { OnToggleViewCalculated(); });
    MapUpdateCommand(kCmdViewCalculated, [](CCmdUI* ui) { ui->SetCheck(Settings().viewCalculated != 0); });
    MapCommand(kCmdViewSelection, [this] { OnViewSelection(); });
    MapCommand(kCmdFocusLayerBox, [this] {
        if (m_layerBox) m_layerBox->setFocus();
    });
    // The navigator is neither copied, resized to a table nor closed like an
    // object window.
    for (UINT id : {UINT(ID_CLOSE_ACTIVE_WINDOW), UINT(ID_WINDOW_NEW_FRAME), UINT(ID_RESIZE_WINDOW)}) {
        MapCommand(id, [] {});
        MapUpdateCommand(id, [](CCmdUI* ui) { ui->Enable(FALSE); });
    }
}

int CTreeFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CChildFrame::OnCreate(lpCreateStruct) == -1) return -1;
    // No close entry: the navigator goes with the last project.
    if (QMdiSubWindow* sub = GetSubWindow()) sub->setWindowFlag(Qt::WindowCloseButtonHint, false);
    SetWindowText(QStringLiteral("Navigator"));
    if (QMdiSubWindow* sub = GetSubWindow()) sub->setWindowTitle(QStringLiteral("Navigator"));

    // The toolbar.
    nav::RegisterNavigatorResources();
    m_toolBar = new CToolBar;
    m_toolBar->setParent(this);
    if (!m_toolBar->CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP, kToolBarId) ||
        !m_toolBar->LoadToolBar(kToolBarResource))
        return -1;
    m_toolBar->SetBarStyle(m_toolBar->GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
    m_toolBar->setMovable(false);
    for (QAction* action : m_toolBar->actions())
        if (!action->isSeparator()) action->setIcon(nav::CommandIcon(action->data().toUInt()));

    // The layer box takes the place of the first button.
    m_layerBox = new QComboBox(m_toolBar);
    SetControlId(m_layerBox, IDC_LAYER_BOX);
    m_layerBox->setFixedWidth(kLayerBoxWidth);
    m_layerBox->setMaxVisibleItems(8);
    const QList<QAction*> actions = m_toolBar->actions();
    if (actions.isEmpty()) return -1;
    m_toolBar->insertWidget(actions.front(), m_layerBox);
    m_toolBar->removeAction(actions.front());
    QObject::connect(m_layerBox, &QComboBox::activated, this, [this](int) { OnLayerChange(); });

    // A plain sans-serif font of 12 pixels: the family and pitch decide.
    m_layerFont = QFont(QStringLiteral("/"));
    m_layerFont.setStyleHint(QFont::SansSerif, QFont::PreferDefault);
    m_layerFont.setPixelSize(12);
    m_layerFont.setWeight(QFont::Normal);
    m_layerBox->setFont(m_layerFont);

    // The keyboard reaches the layer box and the category buttons too: Tab
    // goes tree, list, layer box, each button, and back to the tree.
    QWidget* previous = m_layerBox;
    for (QAction* action : m_toolBar->actions()) {
        QWidget* button = m_toolBar->widgetForAction(action);
        if (button == nullptr || button == m_layerBox || action->isSeparator()) continue;
        button->setFocusPolicy(Qt::TabFocus);
        QWidget::setTabOrder(previous, button);
        previous = button;
    }
    if (m_pTree != nullptr) QWidget::setTabOrder(previous, &m_pTree->GetTreeCtrl());
    return 0;
}

BOOL CTreeFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) {
    if (pContext == nullptr || pContext->m_pNewViewClass == nullptr) return FALSE;
    CObject* object = pContext->m_pNewViewClass->CreateObject();
    m_pTree = dynamic_cast<CPrjTreeView*>(object);
    if (m_pTree == nullptr) {
        delete object;
        return FALSE;
    }
    m_splitter = new QSplitter(Qt::Horizontal, this);
    SetControlId(m_splitter, kSplitterId);
    m_pList = new CPrjListView;
    m_splitter->addWidget(m_pTree);
    m_splitter->addWidget(m_pList);
    SetControlId(m_pTree, AFX_IDW_PANE_FIRST);
    SetControlId(m_pList, AFX_IDW_PANE_FIRST + 1);
    // The tree pane starts at a useful width rather than closed.
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setSizes({kTreePaneWidth, std::max(kTreePaneWidth, width() - kTreePaneWidth)});
    // When the frame grows the list takes the room; the tree keeps its width.
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);
    if (pContext->m_pCurrentDoc != nullptr) {
        pContext->m_pCurrentDoc->AddView(m_pTree);
        pContext->m_pCurrentDoc->AddView(m_pList);
    }
    for (QWidget* control : {static_cast<QWidget*>(&m_pTree->GetTreeCtrl()),
                             static_cast<QWidget*>(&m_pList->GetListCtrl())})
        control->installEventFilter(this);
    SetActiveView(m_pList, FALSE);
    return TRUE;
}

void CTreeFrame::OnClose() {
    // The navigator itself stays; other project frames (those that opening a
    // further project made) close as usual.
    CQuillstoneApp* app = CQuillstoneApp::Current();
    if (app != nullptr && m_pTree != nullptr && app->GetNavigator() == m_pTree) return;
    // A second navigator frame of a project the navigator keeps open: it
    // goes without asking, the document stays.
    CDocument* doc = GetActiveDocument();
    if (doc != nullptr && !doc->m_bAutoDelete) {
        DestroyWindow();
        return;
    }
    CChildFrame::OnClose();
}

bool CTreeFrame::eventFilter(QObject* watched, QEvent* event) {
    if (m_pTree == nullptr || m_pList == nullptr) return CChildFrame::eventFilter(watched, event);
    QWidget* tree = &m_pTree->GetTreeCtrl();
    QWidget* list = &m_pList->GetListCtrl();
    if (watched == tree || watched == list) {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Tab &&
            static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
            if (watched == list && m_layerBox != nullptr) {
                m_layerBox->setFocus(Qt::TabFocusReason);
                return true;
            }
            SetActiveView(m_pList, FALSE);
            list->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (event->type() == QEvent::FocusIn) {
            SetActiveView(watched == tree ? static_cast<CView*>(m_pTree) : static_cast<CView*>(m_pList), FALSE);
            if (watched == list) m_pList->RefreshIfOutOfDate();
            if (qs::project::Host().setStatusMessage) qs::project::Host().setStatusMessage(QStringLiteral(" "));
        }
    }
    return CChildFrame::eventFilter(watched, event);
}

int CTreeFrame::GetSelectedLayer() const {
    if (m_layerBox == nullptr || m_layerBox->currentIndex() < 0) return 0;
    return m_layerBox->currentIndex() + 1;
}

QSID CTreeFrame::GetSelectedListObject() const { return m_pList ? m_pList->GetSelectedObject() : 0; }

QSID CTreeFrame::GetCategoryId() const { return nav::CategoryIdOfIndex(m_nCategory); }

int CTreeFrame::ToolBarWidth() const { return m_toolBar ? m_toolBar->sizeHint().width() : 0; }

QColor CTreeFrame::LayerTextColor() const {
    const int layer = GetSelectedLayer();
    if (!Settings().showDifferentLayerColors || layer < 1 || layer > qs::app::kLayerCount) return Qt::black;
    const qs::app::COLORREF c = Settings().workingLayerColors[layer - 1];
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

void CTreeFrame::ApplyLayerColor() {
    if (m_layerBox) {
        QPalette palette = m_layerBox->palette();
        palette.setColor(QPalette::Text, LayerTextColor());
        palette.setColor(QPalette::ButtonText, LayerTextColor());
        m_layerBox->setPalette(palette);
    }
    if (m_pTree) m_pTree->ApplyTextColor();
    if (m_pList) m_pList->ApplyTextColor();
}

void CTreeFrame::SwitchCategory(int index) {
    if (m_pTree == nullptr || m_pList == nullptr) return;
    m_pTree->SaveSelection(m_nCategory);
    m_pList->SaveSelection(m_nCategory);
    m_nCategory = index;
    m_pTree->FillTree();
    m_pTree->RestoreSelection(index);
    m_pList->RestoreSelection(index);
}

void CTreeFrame::OnCategory(UINT command) {
    const int index = nav::CategoryIndexOfCommand(command);
    if (index >= 0) SwitchCategory(index);
}

void CTreeFrame::RefreshViews() { SwitchCategory(m_nCategory); }

void CTreeFrame::OnLayerChange() {
    RefreshViews();
    ApplyLayerColor();
}

void CTreeFrame::RefillList() {
    if (m_pList) m_pList->FillProjectList();
}

void CTreeFrame::OnToggleViewDataOnly() {
    Settings().viewDataOnly = Settings().viewDataOnly ? 0 : 1;
    RefillList();
}

void CTreeFrame::OnToggleViewEntered() {
    Settings().viewEntered = Settings().viewEntered ? 0 : 1;
    RefillList();
}

void CTreeFrame::OnToggleViewCalculated() {
    Settings().viewCalculated = Settings().viewCalculated ? 0 : 1;
    RefillList();
}

void CTreeFrame::OnViewSelection() {
    CViewSelectionDlg dialog(this);
    dialog.m_bEntered = Settings().viewEntered;
    dialog.m_bCalculated = Settings().viewCalculated;
    dialog.m_bWithData = Settings().viewDataOnly;
    dialog.m_bSelectedOnly = Settings().viewSelectedTables;
    if (dialog.DoModal() != IDOK) return;
    Settings().viewEntered = dialog.m_bEntered;
    Settings().viewCalculated = dialog.m_bCalculated;
    Settings().viewDataOnly = dialog.m_bWithData;
    Settings().viewSelectedTables = dialog.m_bSelectedOnly;
    RefillList();
}

void CTreeFrame::GoToObject(QSID id, unsigned short layer, CProjectDoc* project) {
    if (m_pTree == nullptr || m_pList == nullptr) return;
    CWaitCursor wait;
    if (m_layerBox && layer >= 1 && int(layer) <= m_layerBox->count()) m_layerBox->setCurrentIndex(layer - 1);
    CProjectDoc* doc = project ? project : m_pTree->GetCurrentProject();
    if (doc == nullptr || !m_pTree->SelectProjectItem(doc, true) || doc->GetProject() == nullptr) return;
    const QSID subgroup = doc->GetProject()->GetSubgroupFromID(id);
    m_pTree->SaveSelection(m_nCategory);
    m_pList->SaveSelection(m_nCategory);
    m_nCategory = nav::CategoryIndexOfObject(id, subgroup);
    m_pTree->FillTree();
    if (!m_pTree->SelectNode(subgroup, doc, true)) m_pTree->SelectNode(GetCategoryId(), doc, true);
    m_pList->SelectObject(id, true);
    ApplyLayerColor();
}
