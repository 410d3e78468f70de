#pragma once
// "Select Data Source": the project tables a graph draws from, each with a
// layer ("Current" is the layer the graph is shown in), in order. The tabs
// pick a category, the tree its subgroups, the list the tables of the
// chosen node; Select adds the chosen tables with the chosen layer (a table
// already listed with that layer is skipped), Unselect and Clear All remove,
// the arrows reorder. On OK the graph's table inserter receives every listed
// id from top to bottom; the caller finalizes it. Cancel changes nothing.
#include <vector>

#include "CDialog.h"
#include "KernelTypes.h"

class CProject;
class CTableIterator;
class CGraphTableInserter;
class QButtonGroup;
class QListWidget;
class QPushButton;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;

class CSelectDataSourceDlg : public CDialog {
public:
    enum : UINT {
        IDD = 445,
        IDC_TABS = 1644,
        IDC_TREE = 1677,
        IDC_OBJECTS = 1104,
        IDC_SELECTED = 1687,
        IDC_CURRENT = 1678,
        IDC_NET = 1679,
        IDC_DIRECT = 1680,
        IDC_CEDED = 1681,
        IDC_ASSUMED = 1682,
        IDC_GROSS = 1683,
        IDC_SELECT = 1684,
        IDC_UNSELECT = 1685,
        IDC_CLEAR_ALL = 1686,
        IDC_UP = 1699,
        IDC_DOWN = 1700,
    };

    CSelectDataSourceDlg(CProject* project, CTableIterator* current, CGraphTableInserter* inserter,
                         CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

    // The layer's name as the list shows it ("Unknown" past Assumed).
    static QString LayerName(unsigned short layer);

    // What a person works with (tests play one through them).
    void ShowTab(int tab);                  // 0 Inputs .. 4 Ultimates
    bool SelectNode(QSID node);             // the tree node, when shown
    bool ChooseObjects(const std::vector<QSID>& ids);  // select these in the object list
    void SetLayer(unsigned short layer);    // the layer buttons
    void OnSelect();
    void OnUnselect();
    void OnClearAll();
    void OnMove(int delta);
    std::vector<QSID> SelectedIds() const;
    QTreeWidget* SelectedList() const { return m_pSelected; }
    QListWidget* ObjectList() const { return m_pObjects; }
    QTreeWidget* Tree() const { return m_pTree; }

private:
    void BuildTree();
    void AddSubgroups(QTreeWidgetItem* parent, QSID node, int depth);
    void FillObjects(QSID node);
    void AddSelected(QSID id, const QString& name);
    void UpdateButtons();
    unsigned short ChosenLayer() const;

    CProject* m_pProject;
    CTableIterator* m_pCurrent;
    CGraphTableInserter* m_pInserter;
    QTabBar* m_pTabs;
    QTreeWidget* m_pTree;
    QListWidget* m_pObjects;
    QTreeWidget* m_pSelected;
    QButtonGroup* m_pLayers;
    QPushButton* m_pSelect;
    QPushButton* m_pUnselect;
    QPushButton* m_pClearAll;
    QPushButton* m_pUp;
    QPushButton* m_pDown;
};
