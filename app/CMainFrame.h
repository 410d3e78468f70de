#pragma once
// The program's MDI main frame. Its menus, toolbars, status bar and progress
// protocol come with the main frame's own work; start-up only loads it.
#include <QMdiSubWindow>  // CMDIFrameWnd.h keeps a QPointer to one

#include "CMDIFrameWnd.h"

class CMainFrame : public CMDIFrameWnd {
public:
    CMainFrame();
    int ResourceId() const { return m_nIDHelp; }
};
