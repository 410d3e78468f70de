#pragma once
// The project navigator's frame: a toolbar with the layer box and the
// category and filter buttons over a splitter that holds the project tree
// (left) and the object list of the selected node (right). The category
// shown and the layer chosen here decide what both panes show.
#include <QFont>
#include <QMdiSubWindow>  // CMDIChildWnd.h keeps a QPointer to one
#include <QPointer>

#include "frames/CChildFrame.h"
#include "KernelTypes.h"

class CPrjListView;
class CPrjTreeView;
class CProjectDoc;
class CToolBar;
class QComboBox;
class QSplitter;

class CTreeFrame : public CChildFrame {
public:
    enum : UINT {
        IDC_LAYER_BOX = 1180,
        kToolBarResource = 221,
        kToolBarId = 59392,
        kSplitterId = 59648,
        kCmdRefresh = 32882,
        kCmdViewDataOnly = 32879,
        kCmdViewAllOrData = 32958,
        kCmdViewEntered = 32881,
        kCmdViewCalculated = 32880,
        kCmdViewSelection = 32932,
        kCmdFocusLayerBox = 32772,
    };
    static constexpr int kLayerBoxWidth = 100;
    static constexpr int kTreePaneWidth = 190;

    CTreeFrame();

    // 1-5, 0 when the layer box has no selection.
    int GetSelectedLayer() const;
    // The id of the object selected in the list, 0 when none.
    QSID GetSelectedListObject() const;
    // The category id of the current index, 0 when out of range.
    QSID GetCategoryId() const;
    int GetCategoryIndex() const { return m_nCategory; }
    // Refills tree and list, keeping the selections of the current category.
    void RefreshViews();
    // Shows the object: its layer, its project (null: the current one), its
    // category, its subgroup in the tree and the object in the list.
    void GoToObject(QSID id, unsigned short layer, CProjectDoc* project);

    // Frame commands, also reached through WM_COMMAND.
    void OnCategory(UINT command);
    void OnLayerChange();
    void OnToggleViewDataOnly();
    void OnToggleViewEntered();
    void OnToggleViewCalculated();
    void OnViewSelection();

    CPrjTreeView* TreeView() const { return m_pTree; }
    CPrjListView* ListView() const { return m_pList; }
    QComboBox* LayerBox() const { return m_layerBox; }
    CToolBar* FrameToolBar() const { return m_toolBar; }
    QSplitter* Splitter() const { return m_splitter; }
    // The width of the layer and category bar.
    int ToolBarWidth() const;

    // The text colour of the current layer (black unless layers are coloured).
    QColor LayerTextColor() const;
    void ApplyLayerColor();

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    void OnClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RefillList();
    void SwitchCategory(int index);

    CToolBar* m_toolBar = nullptr;
    QComboBox* m_layerBox = nullptr;
    QFont m_layerFont;
    QSplitter* m_splitter = nullptr;
    int m_nCategory = 0;
    CPrjTreeView* m_pTree = nullptr;
    CPrjListView* m_pList = nullptr;
};
