#pragma once
// The navigator's tree: one root item per open project (its document), under
// it the node of the frame's category and, nested, the subgroups the kernel
// gives for each node. The tree and the list are views of the project whose
// root item is selected, and move to another project with the selection.
// Objects are moved between subgroups by dragging onto a subgroup (from the
// tree or from the list); the kernel decides whether a move is allowed.
#include <QLabel>
#include <QPointer>

#include "CCtrlView.h"
#include "KernelTypes.h"
#include "navigator/NavigatorModel.h"

class CPrjListView;
class CProject;
class CProjectDoc;
class CTreeFrame;
class QIcon;
class QTreeWidgetItem;

class CPrjTreeView : public CTreeView {
public:
    // The message a refused kernel move shows.
    static constexpr const char* kMoveError = "Error: MoveIDToSubGroup\n";

    CPrjTreeView();
    ~CPrjTreeView() override;

    CProjectDoc* GetCurrentProject() const;
    CTreeFrame* NavigatorFrame() const;
    CPrjListView* ListView() const;

    void AddProject(CProjectDoc* doc, bool selectFirst);
    bool SelectProjectItem(CProjectDoc* doc, bool ensureVisible);
    // False only when the project's items could not be taken out.
    bool RemoveProject(CProjectDoc* doc);
    void FillTree();
    // Selects a node of the project (null: the current one); false when the
    // project or the node has no item.
    bool SelectNode(QSID node, CProjectDoc* doc, bool expand);
    void SaveSelection(int category);
    void RestoreSelection(int category);
    void RefillLayerBox();

    // The selected node's id; 0 when nothing or a root item is selected.
    QSID GetSelectedNode() const;
    QTreeWidgetItem* FindRootItem(const CProjectDoc* doc) const;
    QTreeWidgetItem* FindNodeItem(QTreeWidgetItem* below, QSID id) const;
    // The project document above an item; null when its root holds none.
    CProjectDoc* ProjectOfItem(const QTreeWidgetItem* item) const;
    static QSID ItemId(const QTreeWidgetItem* item);

    // Dragging. Begin from a tree item or (from the list) an object of a
    // project; Over answers whether a drop on target is allowed (and marks
    // it); Drop ends the drag and carries out the move.
    bool BeginDrag(QTreeWidgetItem* item);
    bool BeginDragObject(QSID id, CProjectDoc* doc, const QString& text = QString(), const QIcon& icon = QIcon());
    // The drag image follows the cursor (screen position).
    void MoveDragImage(const QPoint& globalPos);
    QWidget* DragImage() const { return m_dragImage.data(); }
    bool DragOver(QTreeWidgetItem* target);
    void Drop(QTreeWidgetItem* target);
    void CancelDrag();
    bool IsDragging() const { return m_dragId != 0; }

    void OnInitialUpdate() override;
    // The text colour of the layer, after every fill.
    void ApplyTextColor();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnSelectionChanged(QTreeWidgetItem* current);
    void AttachViewsTo(CProjectDoc* doc);
    void InsertSubgroups(QTreeWidgetItem* parent, CProject* project, QSID node);
    void EndDragFeedback();

    bool m_bRedraw = true;
    struct SavedNode {
        QSID node;
        const CProjectDoc* project;  // compared only; the project may be gone
    };
    SavedNode m_saved[qs::app::nav::kCategoryCount];

    QSID m_dragId = 0;
    const CProjectDoc* m_dragProject = nullptr;
    QTreeWidgetItem* m_dragItem = nullptr;  // null for a drag from the list
    QTreeWidgetItem* m_dropTarget = nullptr;
    bool m_dropAllowed = false;
    QPoint m_pressPos;
    QTreeWidgetItem* m_pressItem = nullptr;
    QPointer<QLabel> m_dragImage;
};
