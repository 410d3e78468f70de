#pragma once
// The frame of a graph (and of the two automation documents): the graph
// dialog bar across the top and the graph data side bar. It closes only
// when its graph view agrees.
#include <QMdiSubWindow>  // CMDIChildWnd.h keeps a QPointer to one

#include <functional>

#include "GraphCloseQuery.h"
#include "QsCommandIds.h"
#include "frames/CChildFrame.h"

class QComboBox;
class QDockWidget;
class QWidget;

class CGraphFrame : public CChildFrame {
public:
    enum : UINT {
        IDD_GRAPH_BAR = 451,
        IDC_GRAPH_STYLE = qs::cmd::kGraphStyleList,
        IDC_SAVE_STYLE = qs::cmd::kGraphSaveStyle,
        IDC_LOAD_STYLE = qs::cmd::kGraphLoadStyle,
        IDC_ENABLE_ZOOM = qs::cmd::kGraphEnableZoom,
        IDC_RESET_ZOOM = qs::cmd::kGraphResetZoom,
        IDC_SINGLE_SERIES = qs::cmd::kGraphSingleSeries,
        IDC_ADJUST_Y_AXIS = qs::cmd::kGraphAdjustYAxis,
        IDC_GRAPH_CANCEL = qs::cmd::kGraphCancel,
        IDC_GRAPH_SAVE = qs::cmd::kGraphSave,
        IDC_DELETE_STYLE = qs::cmd::kGraphDeleteStyle,
        IDC_FILE_CHECK = qs::cmd::kGraphFileCheck,
        ID_GRAPH_DATA_BAR = qs::cmd::kGraphDataBar,
    };
    CGraphFrame();

    // Makes the side bar (title, parent frame, control id); null when it
    // cannot be made. The graph code installs its own; the default is an
    // empty dock.
    using DataBarFactory = std::function<QDockWidget*(const QString& title, CGraphFrame* frame, UINT id)>;
    static void SetDataBarFactory(DataBarFactory factory);

    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnClose() override;
    // A graph window first shows large enough for its bar, its chart's
    // titles and legend and its data bar (within the main window's area).
    void ActivateFrame(int nCmdShow = -1) override;

    QWidget* DialogBar() const { return m_pDialogBar; }
    QComboBox* StyleList() const { return m_pStyleList; }
    QDockWidget* DataBar() const { return m_pDataBar; }

private:
    QWidget* m_pDialogBar = nullptr;
    QComboBox* m_pStyleList = nullptr;
    QDockWidget* m_pDataBar = nullptr;
    bool m_bClosing = false;
    bool m_bSized = false;
};
