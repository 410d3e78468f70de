#pragma once
// The frame of the input-array update: a toolbar with the array box (1176)
// that the update view fills and draws. While it is open the navigator is
// hidden and the main frame records it; closing it (close box, "Close active
// window", "Finish update") asks whether to save the file after the update.
#include <QMdiSubWindow>  // CMDIChildWnd.h keeps a QPointer to one

#include "frames/CChildFrame.h"

class CToolBar;
class QComboBox;

class CUpdateFrame : public CChildFrame {
public:
    enum : UINT {
        IDC_ARRAY_LIST = 1176,
        ID_FINISH_UPDATE = 32957,
        ID_AS_OF_DATE = qs::cmd::kAsOfDate,
        ID_FILE_SAVE_AS_CMD = qs::cmd::kFileSaveAs,
        kToolBarResource = 223,
    };
    CUpdateFrame();
    ~CUpdateFrame() override;

    QComboBox* ArrayList() const { return m_pArrayList; }
    CToolBar* ToolBar() const { return m_pToolBar; }

    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnClose() override;
    void OnDestroy() override;

private:
    void ForgetAndShowNavigator();

    CToolBar* m_pToolBar = nullptr;
    QComboBox* m_pArrayList = nullptr;
    bool m_bClosing = false;
};

namespace qs::app {
// The navigator's frame among the main frame's children, null when none.
CMDIChildWnd* FindNavigatorFrame();
void ShowNavigatorFrame(bool show);
}  // namespace qs::app
