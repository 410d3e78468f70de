#pragma once
// A document window inside the main MDI frame. It sits in a QMdiSubWindow;
// closing the sub-window (its close box) goes through WM_CLOSE, and
// MDIDestroy goes through the main frame's OnMDIDestroy.
#include <QMdiSubWindow>
#include <QPointer>

#include "CFrameWnd.h"

class QMdiSubWindow;
class CMDIFrameWnd;

class CMDIChildWnd : public CFrameWnd {
public:
    CMDIChildWnd();
    ~CMDIChildWnd() override;

    // The parent defaults to the application's main window.
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;

    CMDIFrameWnd* GetMDIFrame() const { return m_pMDIFrame; }
    QMdiSubWindow* GetSubWindow() const { return m_subWindow.data(); }
    void MDIActivate();
    void MDIDestroy();
    void MDIMaximize();
    void MDIRestore();

    void ActivateFrame(int nCmdShow = -1) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL DestroyWindow() override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;

private:
    friend class CMDIFrameWnd;
    CMDIFrameWnd* m_pMDIFrame = nullptr;
    QPointer<QMdiSubWindow> m_subWindow;
};
