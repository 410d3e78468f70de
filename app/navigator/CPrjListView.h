#pragma once
// The navigator's list: the objects of the node selected in the tree, in
// name order, each with the icon of its kernel status in the chosen layer.
// A double click or Enter opens the selected object; the context menu edits,
// deletes or replicates it through the project's commands.
#include <functional>
#include <vector>

#include "CCtrlView.h"
#include "KernelTypes.h"
#include "navigator/NavigatorModel.h"
#include "Resources.h"

class CProjectDoc;
class CPrjTreeView;
class CTreeFrame;
class QTreeWidgetItem;

class CPrjListView : public CListView {
public:
    static constexpr UINT kContextMenu = 397;
    // The context menu's first entry: opens the selected object as a double
    // click or Enter does.
    static constexpr UINT kCmdOpenObject = 33121;

    CPrjListView();

    CProjectDoc* GetCurrentProject() const;
    CTreeFrame* NavigatorFrame() const;

    void FillProjectList();
    // False when no item holds the id.
    bool SelectObject(QSID id, bool ensureVisible);
    void SaveSelection(int category);
    void RestoreSelection(int category);
    // Opens the selected object in the selected layer; false when nothing
    // is selected or no layer is chosen.
    bool OpenSelectedObject();
    QSID GetSelectedObject() const;
    QTreeWidgetItem* FindItem(QSID id) const;

    // The popup the context menu shows for the current selection.
    const qs::fw::MenuItem* ContextPopup() const;
    // Shows the context menu at a screen position and sends the chosen
    // command to the document.
    void ShowContextMenu(const QPoint& globalPos);
    // How the popup is shown: the chosen command id, 0 for none. Tests
    // replace it; the default runs the menu at the position.
    using PopupChooser = std::function<UINT(const qs::fw::MenuItem& popup, const QPoint& globalPos)>;
    static void SetPopupChooser(PopupChooser chooser);

    // The table views mark the list out of date; activation refills it.
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;
    void RefreshIfOutOfDate();
    void ApplyTextColor();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_savedIndex[qs::app::nav::kCategoryCount];
    QPoint m_pressPos;
    QSID m_pressId = 0;
    bool m_dragging = false;
};

namespace qs::app::nav {
// Registers the navigator's toolbar and context menu unless the program
// already has its own.
void RegisterNavigatorResources();
}  // namespace qs::app::nav
