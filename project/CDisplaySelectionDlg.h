#pragma once
// "Display Selection Settings": which objects of a project a navigator set
// to "Only selected tables" shows. A tab per category (input data,
// exhibits, methods, reports, ultimates, graphs), the category's tree of
// object groups, and the objects of the chosen group with a check box each.
// The choice (the project's show list, layer-neutral ids) reaches the
// project only on OK.
#include <string>
#include <utility>
#include <vector>

#include "CDialog.h"
#include "KernelTypes.h"

class CProject;
class QListWidget;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;

class CDisplaySelectionDlg : public CDialog {
public:
    enum : int { IDD = 330, IDC_TREE = 1410, IDC_GRID = 1416, IDC_SELECT_ALL = 3, IDC_UNSELECT_ALL = 4 };

    explicit CDisplaySelectionDlg(CProject* project, CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

    // The id base and the tree's root text of a category (1 .. 6).
    static QSID CategoryBase(int category);
    static QString CategoryText(int category);

    void SetCategory(int category);
    void FillTree();
    // The objects of the selected node, sorted by name.
    void FillGrid();
    // A check box of the grid changed: the object (found by its name) joins
    // or leaves the show list.
    void OnObjectChecked(int row, bool checked);
    void SelectAll(bool select);

    int m_nCategory = 1;
    QSIDArray m_showList;
    std::vector<std::pair<QSID, std::string>> m_rows;

    QTreeWidget* Tree() const { return m_tree; }
    QListWidget* Grid() const { return m_grid; }
    QTabBar* Categories() const { return m_tabs; }
    // The node of the tree item selected (0 when none).
    QSID SelectedNode() const;

private:
    void AddChildren(QTreeWidgetItem* parent, QSID node);
    void Show(QSID id, bool shown);
    bool IsShown(QSID id) const;

    CProject* m_pProject;
    QTabBar* m_tabs;
    QTreeWidget* m_tree;
    QListWidget* m_grid;
    bool m_filling = false;
};

namespace qs::project {
// The View dialog's "Select...": the dialog on a project (nothing without one).
void RunDisplaySelection(CProject* project, CWnd* parent);
}  // namespace qs::project
