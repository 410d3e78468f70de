#include "navigator/CPrjTreeView.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QPainter>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "CDocTemplate.h"
#include "navigator/CPrjListView.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CQuillstoneApp.h"
#include "navigator/CTreeFrame.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "navigator/NavigatorIcons.h"
#include "WaitCursor.h"
#include "startup/WorkstationSettings.h"

namespace nav = qs::app::nav;

namespace {

// Root items carry their document; the other items the node's id.
constexpr int kIdRole = Qt::UserRole;
constexpr int kRootRole = Qt::UserRole + 1;
// Subgroups nest a few levels; a kernel answer that loops must not hang the tree.
constexpr int kMaxSubgroupDepth = 32;

// The open project documents, in the template's order.
std::vector<CDocument*> NavigatorDocuments(const CDocument* current) {
    if (CQuillstoneApp* app = CQuillstoneApp::Current(); app && app->m_pProjectTemplate)
        return app->m_pProjectTemplate->Documents();
    if (current && current->GetDocTemplate()) return current->GetDocTemplate()->Documents();
    return {};
}

const CProjectDoc* RootDocument(const QTreeWidgetItem* root) {
    return reinterpret_cast<const CProjectDoc*>(root->data(0, kIdRole).value<quintptr>());
}

bool IsRoot(const QTreeWidgetItem* item) { return item && item->data(0, kRootRole).toBool(); }

void SetDropMark(QTreeWidgetItem* item, bool on) {
    if (item == nullptr) return;
    if (on)
        item->setBackground(0, QApplication::palette().brush(QPalette::Highlight));
    else
        item->setBackground(0, QBrush());
}

}  // namespace

CPrjTreeView::CPrjTreeView() {
    for (int i = 0; i < nav::kCategoryCount; ++i) m_saved[i] = {nav::CategoryIdOfIndex(i), nullptr};
    QTreeWidget& tree = GetTreeCtrl();
    tree.setRootIsDecorated(true);
    tree.setItemsExpandable(true);
    tree.setSelectionMode(QAbstractItemView::SingleSelection);
    tree.setIconSize(QSize(16, 16));
    QObject::connect(&tree, &QTreeWidget::currentItemChanged, this,
                     [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnSelectionChanged(current); });
    tree.viewport()->installEventFilter(this);
}

CPrjTreeView::~CPrjTreeView() {
    if (CQuillstoneApp* app = CQuillstoneApp::Current(); app && app->GetNavigator() == this) app->SetNavigator(nullptr);
    if (IsDragging() && QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    delete m_dragImage.data();
}

CProjectDoc* CPrjTreeView::GetCurrentProject() const { return dynamic_cast<CProjectDoc*>(GetDocument()); }

CTreeFrame* CPrjTreeView::NavigatorFrame() const { return dynamic_cast<CTreeFrame*>(GetParentFrame()); }

CPrjListView* CPrjTreeView::ListView() const {
    CTreeFrame* frame = NavigatorFrame();
    return frame ? frame->ListView() : nullptr;
}

void CPrjTreeView::OnInitialUpdate() {
    if (CQuillstoneApp* app = CQuillstoneApp::Current(); app && !app->NavigatorExists()) app->SetNavigator(this);
    CTreeView::OnInitialUpdate();
}

QSID CPrjTreeView::ItemId(const QTreeWidgetItem* item) {
    if (item == nullptr || IsRoot(item)) return 0;
    return item->data(0, kIdRole).toInt();
}

QTreeWidgetItem* CPrjTreeView::FindRootItem(const CProjectDoc* doc) const {
    if (doc == nullptr) return nullptr;
    QTreeWidget& tree = GetTreeCtrl();
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        if (RootDocument(tree.topLevelItem(i)) == doc) return tree.topLevelItem(i);
    return nullptr;
}

QTreeWidgetItem* CPrjTreeView::FindNodeItem(QTreeWidgetItem* below, QSID id) const {
    if (below == nullptr) return nullptr;
    for (int i = 0; i < below->childCount(); ++i) {
        QTreeWidgetItem* child = below->child(i);
        if (ItemId(child) == id) return child;
        if (QTreeWidgetItem* found = FindNodeItem(child, id)) return found;
    }
    return nullptr;
}

CProjectDoc* CPrjTreeView::ProjectOfItem(const QTreeWidgetItem* item) const {
    if (item == nullptr) return nullptr;
    while (item->parent() != nullptr) item = item->parent();
    const CProjectDoc* doc = RootDocument(item);
    // Only a document that is still open counts.
    for (CDocument* open : NavigatorDocuments(GetDocument()))
        if (open == doc) return dynamic_cast<CProjectDoc*>(open);
    return nullptr;
}

QSID CPrjTreeView::GetSelectedNode() const { return ItemId(GetTreeCtrl().currentItem()); }

void CPrjTreeView::ApplyTextColor() {
    CTreeFrame* frame = NavigatorFrame();
    QPalette palette = GetTreeCtrl().palette();
    palette.setColor(QPalette::Text, frame ? frame->LayerTextColor() : QColor(Qt::black));
    GetTreeCtrl().setPalette(palette);
    GetTreeCtrl().viewport()->update();
}

void CPrjTreeView::InsertSubgroups(QTreeWidgetItem* parent, CProject* project, QSID node) {
    int depth = 0;
    for (const QTreeWidgetItem* p = parent; p; p = p->parent()) ++depth;
    if (project == nullptr || depth > kMaxSubgroupDepth) return;
    QSStringArray names;
    QSIDArray ids;
    // A failed answer leaves the node empty.
    if (project->GetNodeSubGroups(node, names, ids) != 0 || names.size() != ids.size()) return;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        auto* item = new QTreeWidgetItem(parent);
        item->setText(0, QString::fromStdString(names[i]));
        item->setData(0, kIdRole, ids[i]);
        item->setIcon(0, nav::TreeItemIcon(nav::TreeIcon::Subgroup));
        InsertSubgroups(item, project, ids[i]);
    }
}

void CPrjTreeView::AddProject(CProjectDoc* doc, bool selectFirst) {
    if (doc == nullptr) return;
    QTreeWidget& tree = GetTreeCtrl();
    if (CProject* project = doc->GetProject()) project->SetShowTableID(qs::app::Settings().showTableId ? 1 : 0);
    RefillLayerBox();
    if (FindRootItem(doc) != nullptr) {
        if (selectFirst) SelectProjectItem(doc, true);
        return;
    }
    auto* root = new QTreeWidgetItem;
    QString text = doc->GetTitle();
    if (doc->IsReadOnly()) text += QStringLiteral(" (Read Only)");
    root->setText(0, text);
    root->setData(0, kIdRole, QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(doc)));
    root->setData(0, kRootRole, true);
    root->setIcon(0, nav::TreeItemIcon(nav::TreeIcon::Project));
    tree.addTopLevelItem(root);

    CTreeFrame* frame = NavigatorFrame();
    const int index = frame ? frame->GetCategoryIndex() : 0;
    const QSID category = nav::CategoryIdOfIndex(index);
    auto* node = new QTreeWidgetItem(root);
    node->setText(0, QString::fromLatin1(nav::kCategories[index].text));
    node->setData(0, kIdRole, category);
    node->setIcon(0, nav::TreeItemIcon(nav::TreeIcon::Category));
    InsertSubgroups(node, doc->GetProject(), category);

    root->setExpanded(true);
    // The category itself is selected, so the list shows its tables at once
    // (its first subgroup is often empty).
    if (selectFirst && category == qsk::kCatInput) {
        tree.setCurrentItem(node);
        tree.scrollToItem(node);
    }
    ApplyTextColor();
}

bool CPrjTreeView::SelectProjectItem(CProjectDoc* doc, bool ensureVisible) {
    QTreeWidgetItem* root = FindRootItem(doc);
    if (root == nullptr) return false;
    QTreeWidget& tree = GetTreeCtrl();
    if (tree.currentItem() == root)
        OnSelectionChanged(root);
    else
        tree.setCurrentItem(root);
    if (ensureVisible) tree.scrollToItem(root);
    return true;
}

bool CPrjTreeView::RemoveProject(CProjectDoc* doc) {
    QTreeWidgetItem* root = FindRootItem(doc);
    // A project the navigator never showed leaves nothing behind.
    if (root == nullptr) return true;
    // A drag keeps items of the tree; they are about to go.
    CancelDrag();
    m_pressItem = nullptr;
    QTreeWidget& tree = GetTreeCtrl();
    {
        const QSignalBlocker block(&tree);
        delete root;
        tree.setCurrentItem(nullptr);
    }
    for (CDocument* open : NavigatorDocuments(GetDocument())) {
        auto* other = dynamic_cast<CProjectDoc*>(open);
        if (other != nullptr && other != doc && FindRootItem(other) != nullptr) {
            SelectProjectItem(other, false);
            return true;
        }
    }
    if (CPrjListView* list = ListView()) list->GetListCtrl().clear();
    return true;
}

void CPrjTreeView::FillTree() {
    CWaitCursor wait;
    CancelDrag();
    m_pressItem = nullptr;
    QTreeWidget& tree = GetTreeCtrl();
    const bool wasVisible = tree.isVisibleTo(this);
    tree.hide();
    m_bRedraw = false;
    {
        const QSignalBlocker block(&tree);
        for (CDocument* open : NavigatorDocuments(GetDocument())) {
            auto* doc = dynamic_cast<CProjectDoc*>(open);
            if (QTreeWidgetItem* root = FindRootItem(doc)) {
                delete root;
                AddProject(doc, false);
            }
        }
        // The caller restores the selection; starting from none makes sure
        // the selection it sets is seen as a change.
        tree.setCurrentItem(nullptr);
        tree.clearSelection();
    }
    m_bRedraw = true;
    if (wasVisible) tree.show();
    ApplyTextColor();
    if (CTreeFrame* frame = NavigatorFrame()) frame->ApplyLayerColor();
}

bool CPrjTreeView::SelectNode(QSID node, CProjectDoc* doc, bool expand) {
    QTreeWidgetItem* root = FindRootItem(doc ? doc : GetCurrentProject());
    QTreeWidgetItem* item = FindNodeItem(root, node);
    if (item == nullptr) return false;
    QTreeWidget& tree = GetTreeCtrl();
    if (tree.currentItem() == item)
        OnSelectionChanged(item);
    else
        tree.setCurrentItem(item);
    if (expand) item->setExpanded(true);
    tree.scrollToItem(item);
    return true;
}

void CPrjTreeView::SaveSelection(int category) {
    if (category < 0 || category >= nav::kCategoryCount) return;
    QTreeWidgetItem* item = GetTreeCtrl().currentItem();
    if (item == nullptr) return;
    const QSID node = IsRoot(item) ? nav::CategoryIdOfIndex(category) : ItemId(item);
    m_saved[category] = {node, ProjectOfItem(item)};
}

void CPrjTreeView::RestoreSelection(int category) {
    if (category < 0 || category >= nav::kCategoryCount) return;
    const SavedNode saved = m_saved[category];
    CProjectDoc* doc = GetCurrentProject();
    for (CDocument* open : NavigatorDocuments(GetDocument()))
        if (open == saved.project && FindRootItem(saved.project) != nullptr) doc = dynamic_cast<CProjectDoc*>(open);
    if (SelectNode(saved.node, doc, true)) return;
    if (SelectNode(nav::CategoryIdOfIndex(category), doc, true)) return;
    if (CPrjListView* list = ListView()) list->GetListCtrl().clear();
}

void CPrjTreeView::RefillLayerBox() {
    if (!m_bRedraw) return;
    CTreeFrame* frame = NavigatorFrame();
    QComboBox* box = frame ? frame->LayerBox() : nullptr;
    if (box == nullptr) return;
    int selection = box->currentIndex();
    const QSignalBlocker block(box);
    box->clear();
    CProjectDoc* doc = GetCurrentProject();
    CProject* project = doc ? doc->GetProject() : nullptr;
    unsigned short count = 0;
    if (project != nullptr && project->GetLayerCount(count) == 0) {
        for (unsigned short layer = 1; layer <= count; ++layer) {
            std::string name;
            if (project->GetNameLayer(name, layer) != 0) break;
            box->addItem(QString::fromStdString(name));
        }
    }
    if (selection < 0) {
        int layer = qs::app::Settings().workingDefaultLayer;
        if (layer < 1 || layer > qs::app::kLayerCount) layer = 1;
        selection = layer - 1;
    }
    box->setCurrentIndex(selection < box->count() ? selection : -1);
    frame->ApplyLayerColor();
}

void CPrjTreeView::OnSelectionChanged(QTreeWidgetItem* current) {
    if (current == nullptr) return;
    CProjectDoc* doc = ProjectOfItem(current);
    if (doc == nullptr) return;
    if (doc != GetCurrentProject()) {
        AttachViewsTo(doc);
        RefillLayerBox();
        if (CTreeFrame* frame = NavigatorFrame()) frame->OnUpdateFrameTitle(TRUE);
    }
    if (CPrjListView* list = ListView()) list->FillProjectList();
}

void CPrjTreeView::AttachViewsTo(CProjectDoc* doc) {
    // Adding a view to a document takes it from the one it had.
    doc->AddView(this);
    if (CPrjListView* list = ListView()) doc->AddView(list);
}

// ---------------------------------------------------------------- dragging

bool CPrjTreeView::BeginDrag(QTreeWidgetItem* item) {
    if (item == nullptr || IsRoot(item)) return false;
    if (!BeginDragObject(ItemId(item), ProjectOfItem(item), item->text(0), item->icon(0))) return false;
    m_dragItem = item;
    return true;
}

bool CPrjTreeView::BeginDragObject(QSID id, CProjectDoc* doc, const QString& text, const QIcon& icon) {
    CancelDrag();
    if (doc == nullptr || nav::KindOf(id) == nav::ObjectKind::Subgroup) return false;
    m_dragId = id;
    m_dragProject = doc;
    m_dragItem = nullptr;
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    // The picture of the dragged item: its icon and name, half transparent.
    if (!text.isEmpty()) {
        QPixmap picture(QSize(20 + QFontMetrics(font()).horizontalAdvance(text) + 4, 18));
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setOpacity(0.7);
        icon.paint(&painter, QRect(1, 1, 16, 16));
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(QRect(20, 0, picture.width() - 20, 18), Qt::AlignVCenter | Qt::AlignLeft, text);
        painter.end();
        m_dragImage = new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput);
        m_dragImage->setAttribute(Qt::WA_TranslucentBackground);
        m_dragImage->setAttribute(Qt::WA_DeleteOnClose);
        m_dragImage->setPixmap(picture);
        m_dragImage->resize(picture.size());
        MoveDragImage(QCursor::pos());
        m_dragImage->show();
    }
    return true;
}

void CPrjTreeView::MoveDragImage(const QPoint& globalPos) {
    // The hot spot sits 8 pixels into the picture.
    if (m_dragImage) m_dragImage->move(globalPos - QPoint(8, 8));
}

bool CPrjTreeView::DragOver(QTreeWidgetItem* target) {
    if (!IsDragging()) return false;
    if (target != m_dropTarget) {
        SetDropMark(m_dropTarget, false);
        m_dropTarget = target;
        SetDropMark(m_dropTarget, true);
    }
    m_dropAllowed = false;
    // Only within the dragged object's own project.
    CProjectDoc* doc = target ? ProjectOfItem(target) : nullptr;
    if (target != nullptr && !IsRoot(target) && doc == m_dragProject && doc->GetProject() != nullptr) {
        const QSID targetId = ItemId(target);
        const bool canMove = nav::KindOf(targetId) == nav::ObjectKind::Subgroup &&
                             doc->GetProject()->CanMoveIDToSubgroup(m_dragId, targetId);
        m_dropAllowed = nav::ClassifyDrop(m_dragId, targetId, canMove) != nav::DropAction::Refused;
    }
    QApplication::changeOverrideCursor(m_dropAllowed ? Qt::ArrowCursor : Qt::ForbiddenCursor);
    return m_dropAllowed;
}

void CPrjTreeView::EndDragFeedback() {
    SetDropMark(m_dropTarget, false);
    m_dropTarget = nullptr;
    if (m_dragImage) m_dragImage->close();
    if (IsDragging() && QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

void CPrjTreeView::CancelDrag() {
    EndDragFeedback();
    m_dragId = 0;
    m_dragProject = nullptr;
    m_dragItem = nullptr;
    m_dropAllowed = false;
}

void CPrjTreeView::Drop(QTreeWidgetItem* target) {
    if (!IsDragging()) return;
    // The drop goes by what the last move showed (a release without a move
    // over the target is judged now).
    if (target != m_dropTarget) DragOver(target);
    const bool allowed = m_dropAllowed;
    const QSID dragged = m_dragId;
    QTreeWidgetItem* item = m_dragItem;
    CProjectDoc* doc = target ? ProjectOfItem(target) : nullptr;
    CancelDrag();
    if (target == nullptr || target == item || !allowed || doc == nullptr) return;

    CProject* project = doc->GetProject();
    const QSID targetId = ItemId(target);
    QTreeWidgetItem* newParent = nullptr;
    int position = -1;
    QSID subgroup = 0;
    if (nav::KindOf(targetId) == nav::ObjectKind::Subgroup) {
        newParent = target;
        subgroup = targetId;
    } else {
        if (!nav::SameObjectKind(dragged, targetId) || target->parent() == nullptr) return;
        newParent = target->parent();
        subgroup = ItemId(newParent);
    }
    // An object dropped beside one of its own subgroup stays in it: the
    // kernel has nothing to move.
    const bool move = project->GetSubgroupFromID(dragged) != subgroup;
    if (move && project->MoveIDToSubGroup(dragged, subgroup) != 0) {
        AfxMessageBox(QString::fromLatin1(kMoveError));
        // The tree shows what the kernel holds, not where the item was dropped.
        if (CTreeFrame* frame = NavigatorFrame())
            frame->RefreshViews();
        else
            FillTree();
        return;
    }
    if (item != nullptr) {
        if (QTreeWidgetItem* oldParent = item->parent()) oldParent->removeChild(item);
        if (newParent == target) {
            newParent->addChild(item);
        } else {
            position = newParent->indexOfChild(target) + 1;
            newParent->insertChild(position, item);
        }
    }
    if (move) doc->SetModifiedFlag(TRUE);
    // The object left the node the list shows (a drag from the list).
    if (CPrjListView* list = ListView()) list->FillProjectList();
}

bool CPrjTreeView::eventFilter(QObject* watched, QEvent* event) {
    QTreeWidget& tree = GetTreeCtrl();
    if (watched != tree.viewport()) return CTreeView::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_pressPos = mouse->position().toPoint();
            m_pressItem = tree.itemAt(m_pressPos);
        }
        break;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint pos = mouse->position().toPoint();
        if (IsDragging()) {
            MoveDragImage(mouse->globalPosition().toPoint());
            DragOver(tree.itemAt(pos));
            return true;
        }
        if ((mouse->buttons() & Qt::LeftButton) && m_pressItem != nullptr &&
            (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
            QTreeWidgetItem* pressed = m_pressItem;
            m_pressItem = nullptr;
            if (BeginDrag(pressed)) return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        m_pressItem = nullptr;
        if (IsDragging()) {
            Drop(tree.itemAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
            return true;
        }
        break;
    default: break;
    }
    return CTreeView::eventFilter(watched, event);
}
