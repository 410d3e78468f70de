#include "navigator/CPrjListView.h"

#include "QsCommandIds.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QTreeWidget>

#include "navigator/CPrjTreeView.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CQuillstoneApp.h"
#include "navigator/CTreeFrame.h"
#include "KernelIds.h"
#include "QsCommandIds.h"
#include "navigator/NavigatorIcons.h"
#include "ViewSettings.h"
#include "startup/WorkstationSettings.h"

namespace nav = qs::app::nav;
using qs::fw::MenuItem;

namespace {

constexpr int kObjectRole = Qt::UserRole;

UINT RunPopupMenu(const MenuItem& popup, const QPoint& globalPos, CFrameWnd* updater) {
    QMenu menu;
    for (const MenuItem& item : popup.items) {
        if (item.separator) {
            menu.addSeparator();
            continue;
        }
        menu.addAction(item.text)->setData(item.id);
    }
    // The items are enabled as the commands' update handlers say.
    if (updater != nullptr) updater->UpdateMenuItems(&menu);
    QAction* chosen = menu.exec(globalPos);
    return chosen ? chosen->data().toUInt() : 0;
}

CPrjListView::PopupChooser& ListPopupChooser() {
    static CPrjListView::PopupChooser chooser;
    return chooser;
}

}  // namespace

namespace qs::app::nav {

void RegisterNavigatorResources() {
    using qs::fw::ToolButton;
    for (const auto& [id, text] : std::initializer_list<std::pair<UINT, const char*>>{
             {32926, "View input data\nInput Data"},
             {32927, "View exhibits\nExhibits"},
             {32928, "View methods\nMethods"},
             {32929, "View reports\nReports"},
             {32930, "View selected ultimates\nUltimates"},
             {33103, "View graphs\nGraphs"},
             {32882, "Refresh the Navigator\nRefresh"},
             {32879, "View only tables with data\nData only"},
             {32958, "View all tables or view only tables with data\nAll tables"},
             {32881, "View entered arrays\nEntered"},
             {32880, "View calculated arrays\nCalculated"},
             {32932, "View Calculated/Entered/Data Only tables in Navigator\nView"},
         })
        if (!qs::fw::HasResourceString(id)) qs::fw::RegisterString(id, QString::fromLatin1(text));
    if (!qs::fw::FindToolBar(CTreeFrame::kToolBarResource)) {
        std::vector<ToolButton> buttons;
        for (UINT id : {0u, 0u, 32926u, 32927u, 32928u, 32929u, 32930u, 33103u, 0u, 32958u, 32881u, 32880u})
            buttons.push_back(ToolButton{id, QString(), QString()});
        qs::fw::RegisterToolBar(CTreeFrame::kToolBarResource, buttons);
    }
    if (!qs::fw::FindMenu(CPrjListView::kContextMenu)) {
        qs::fw::RegisterMenu(CPrjListView::kContextMenu,
                             {MenuItem(QStringLiteral("Table"), {MenuItem(QStringLiteral("&Open\tEnter"), CPrjListView::kCmdOpenObject),
                                                                 MenuItem::Separator(),
                                                                 MenuItem(QStringLiteral("&Edit"), qs::cmd::kEditTable),
                                                                 MenuItem(QStringLiteral("&Delete"), qs::cmd::kDeleteTable),
                                                                 MenuItem(QStringLiteral("&Replicate"), qs::cmd::kReplicateTable)}),
                              MenuItem(QStringLiteral("Graph"), {MenuItem(QStringLiteral("&Open\tEnter"), CPrjListView::kCmdOpenObject),
                                                                 MenuItem::Separator(),
                                                                 MenuItem(QStringLiteral("R&ename"), qs::cmd::kEditTable),
                                                                 MenuItem(QStringLiteral("&Delete"), qs::cmd::kDeleteTable),
                                                                 MenuItem(QStringLiteral("&Replicate"), qs::cmd::kReplicateTable),
                                                                 MenuItem(QStringLiteral("Lock/Unlock Graph"), qs::cmd::kLockGraph)})});
    }
}

}  // namespace qs::app::nav

CPrjListView::CPrjListView() {
    for (int& index : m_savedIndex) index = -1;
    QTreeWidget& list = GetListCtrl();
    list.setColumnCount(1);
    list.setHeaderLabels({QStringLiteral("Table Name")});
    list.setHeaderHidden(true);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setIconSize(QSize(16, 16));
    list.setSortingEnabled(true);
    list.sortByColumn(0, Qt::AscendingOrder);
    // The selection stays visible while the tree has the focus.
    QPalette palette = list.palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    list.setPalette(palette);
    list.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem*, int) { OpenSelectedObject(); });
    QObject::connect(&list, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        ShowContextMenu(GetListCtrl().viewport()->mapToGlobal(pos));
    });
    list.installEventFilter(this);
    list.viewport()->installEventFilter(this);
    MapCommand(kCmdOpenObject, [this] { OpenSelectedObject(); });
    MapUpdateCommand(kCmdOpenObject, [this](CCmdUI* ui) { ui->Enable(!GetListCtrl().selectedItems().isEmpty()); });
}

CProjectDoc* CPrjListView::GetCurrentProject() const { return dynamic_cast<CProjectDoc*>(GetDocument()); }

CTreeFrame* CPrjListView::NavigatorFrame() const { return dynamic_cast<CTreeFrame*>(GetParentFrame()); }

void CPrjListView::ApplyTextColor() {
    CTreeFrame* frame = NavigatorFrame();
    QTreeWidget& list = GetListCtrl();
    QPalette palette = list.palette();
    palette.setColor(QPalette::Text, frame ? frame->LayerTextColor() : QColor(Qt::black));
    list.setPalette(palette);
    list.viewport()->update();
}

void CPrjListView::FillProjectList() {
    CProjectDoc* doc = GetCurrentProject();
    CProject* project = doc ? doc->GetProject() : nullptr;
    CTreeFrame* frame = NavigatorFrame();
    CPrjTreeView* tree = frame ? frame->TreeView() : nullptr;
    QTreeWidget& list = GetListCtrl();
    if (project == nullptr || tree == nullptr) return;
    list.clear();
    // No node (a project's own item): the list stays empty rather than
    // showing the objects of a node of another project.
    const QSID node = tree->GetSelectedNode();
    if (node == 0) return;
    int width = list.viewport()->width() + 150;
    if (width < 0 && QApplication::primaryScreen()) width = QApplication::primaryScreen()->size().width();
    list.setColumnWidth(0, width);

    const unsigned short layer = static_cast<unsigned short>(frame->GetSelectedLayer());
    const qs::app::WorkstationSettings& s = qs::app::Settings();
    QSStringArray names;
    QSIDArray ids;
    if (project->GetNodeObjects(node, names, ids, layer, s.viewDataOnly, s.viewEntered, s.viewCalculated,
                                s.viewSelectedTables) == 0 &&
        names.size() == ids.size()) {
        list.setSortingEnabled(false);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            auto* item = new QTreeWidgetItem(&list);
            item->setText(0, QString::fromStdString(names[i]));
            item->setData(0, kObjectRole, ids[i]);
            item->setIcon(0, nav::StatusIcon(project->GetIDStatus(ids[i], layer)));
        }
        list.setSortingEnabled(true);
        list.sortByColumn(0, Qt::AscendingOrder);
    }
    ApplyTextColor();
}

QTreeWidgetItem* CPrjListView::FindItem(QSID id) const {
    QTreeWidget& list = GetListCtrl();
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        if (list.topLevelItem(i)->data(0, kObjectRole).toInt() == id) return list.topLevelItem(i);
    // The list's ids carry the layer shown; any layer of the object will do.
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        if (GetLayerNeutralID(list.topLevelItem(i)->data(0, kObjectRole).toInt()) == GetLayerNeutralID(id))
            return list.topLevelItem(i);
    return nullptr;
}

bool CPrjListView::SelectObject(QSID id, bool ensureVisible) {
    QTreeWidgetItem* item = FindItem(id);
    if (item == nullptr) return false;
    GetListCtrl().setCurrentItem(item);
    if (ensureVisible) GetListCtrl().scrollToItem(item);
    return true;
}

QSID CPrjListView::GetSelectedObject() const {
    const QList<QTreeWidgetItem*> selected = GetListCtrl().selectedItems();
    return selected.isEmpty() ? 0 : selected.front()->data(0, kObjectRole).toInt();
}

void CPrjListView::SaveSelection(int category) {
    if (category < 0 || category >= nav::kCategoryCount) return;
    const QList<QTreeWidgetItem*> selected = GetListCtrl().selectedItems();
    m_savedIndex[category] = selected.isEmpty() ? -1 : GetListCtrl().indexOfTopLevelItem(selected.front());
}

void CPrjListView::RestoreSelection(int category) {
    if (category < 0 || category >= nav::kCategoryCount) return;
    const int index = m_savedIndex[category];
    QTreeWidget& list = GetListCtrl();
    if (index < 0 || index >= list.topLevelItemCount()) return;
    list.setCurrentItem(list.topLevelItem(index));
    list.scrollToItem(list.topLevelItem(index));
}

bool CPrjListView::OpenSelectedObject() {
    CTreeFrame* frame = NavigatorFrame();
    CProjectDoc* doc = GetCurrentProject();
    const QList<QTreeWidgetItem*> selected = GetListCtrl().selectedItems();
    const int layer = frame ? frame->GetSelectedLayer() : 0;
    if (doc == nullptr || selected.isEmpty() || layer == 0) return false;
    doc->OpenObjectView(selected.front()->data(0, kObjectRole).toInt(), static_cast<unsigned short>(layer));
    return true;
}

const MenuItem* CPrjListView::ContextPopup() const {
    nav::RegisterNavigatorResources();
    const std::vector<MenuItem>* menu = qs::fw::FindMenu(kContextMenu);
    if (menu == nullptr || menu->empty()) return nullptr;
    const bool selected = !GetListCtrl().selectedItems().isEmpty();
    CQuillstoneApp* app = CQuillstoneApp::Current();
    const bool interactive = app == nullptr || app->m_bInteractive != 0;
    const bool graph = selected && nav::IsGraphObject(GetSelectedObject());
    if (graph && !interactive && menu->size() > 1) return &(*menu)[1];
    return &menu->front();
}

void CPrjListView::SetPopupChooser(PopupChooser chooser) { ListPopupChooser() = std::move(chooser); }

void CPrjListView::ShowContextMenu(const QPoint& globalPos) {
    const MenuItem* popup = ContextPopup();
    CProjectDoc* doc = GetCurrentProject();
    if (popup == nullptr || doc == nullptr) return;
    const UINT command = ListPopupChooser() ? ListPopupChooser()(*popup, globalPos)
                                            : RunPopupMenu(*popup, globalPos, NavigatorFrame());
    if (command == kCmdOpenObject) {
        OpenSelectedObject();
        return;
    }
    // The document may have gone while the menu was up.
    if (command != 0 && GetCurrentProject() == doc) doc->OnCmdMsg(command, CN_COMMAND, nullptr, nullptr);
}

void CPrjListView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) {
    CListView::OnActivateView(bActivate, pActivateView, pDeactiveView);
    if (bActivate) RefreshIfOutOfDate();
}

void CPrjListView::RefreshIfOutOfDate() {
    if (!g_bObjectRefreshed) return;
    g_bObjectRefreshed = 0;
    const bool hadSelection = !GetListCtrl().selectedItems().isEmpty();
    const QSID selected = GetSelectedObject();
    FillProjectList();
    if (hadSelection) SelectObject(selected, true);
}

bool CPrjListView::eventFilter(QObject* watched, QEvent* event) {
    QTreeWidget& list = GetListCtrl();
    if (watched == &list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Enter opens the selection; with nothing to open the list's own
        // key handling runs.
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && OpenSelectedObject()) return true;
        return CListView::eventFilter(watched, event);
    }
    if (watched != list.viewport()) return CListView::eventFilter(watched, event);
    CTreeFrame* frame = NavigatorFrame();
    CPrjTreeView* tree = frame ? frame->TreeView() : nullptr;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        m_dragging = false;
        if (mouse->button() == Qt::LeftButton) {
            m_pressPos = mouse->position().toPoint();
            QTreeWidgetItem* item = list.itemAt(m_pressPos);
            m_pressId = item ? item->data(0, kObjectRole).toInt() : 0;
        }
        break;
    }
    case QEvent::MouseMove: {
        // An object dragged out of the list onto a subgroup of the tree.
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (tree == nullptr) break;
        if (m_dragging) {
            QWidget* port = tree->GetTreeCtrl().viewport();
            const QPoint at = port->mapFromGlobal(mouse->globalPosition().toPoint());
            tree->MoveDragImage(mouse->globalPosition().toPoint());
            tree->DragOver(port->rect().contains(at) ? tree->GetTreeCtrl().itemAt(at) : nullptr);
            return true;
        }
        if ((mouse->buttons() & Qt::LeftButton) && m_pressId != 0 &&
            (mouse->position().toPoint() - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
            QTreeWidgetItem* pressed = FindItem(m_pressId);
            m_dragging = tree->BeginDragObject(m_pressId, GetCurrentProject(), pressed ? pressed->text(0) : QString(),
                                               pressed ? pressed->icon(0) : QIcon());
            m_pressId = 0;
            if (m_dragging) return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        m_pressId = 0;
        if (m_dragging && tree != nullptr) {
            m_dragging = false;
            QWidget* port = tree->GetTreeCtrl().viewport();
            const QPoint at = port->mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            tree->Drop(port->rect().contains(at) ? tree->GetTreeCtrl().itemAt(at) : nullptr);
            return true;
        }
        break;
    default: break;
    }
    return CListView::eventFilter(watched, event);
}
