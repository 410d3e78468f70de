#pragma once
// A document window inside the main MDI frame. It sits in a QMdiSubWindow.
// Every close (its close box, WM_CLOSE, a close command) and MDIDestroy ask
// the main frame's OnMDIDestroy, which may keep or hide the window; only a
// window the main frame lets go is destroyed (and its document closed when
// this was the document's last frame). A document that closes destroys its
// frames without asking.
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
    // Gives a window that has no usable size yet a share of the client area.
    void EnsureUsableSize();
    // Moves the window back inside the client area when its placement left
    // part of it beyond the right or bottom edge.
    void KeepInsideArea();

    void ActivateFrame(int nCmdShow = -1) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL DestroyWindow() override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    // A child's menu is the main frame's to show while the child is active.
    void LoadMenu(UINT) override {}

protected:
    void CloseFrame() override;

private:
    friend class CMDIFrameWnd;
    CMDIFrameWnd* m_pMDIFrame = nullptr;
    QPointer<QMdiSubWindow> m_subWindow;
    // Set while a close waits for the main frame's answer: the destroy that
    // the main frame then asks for finishes the close.
    bool m_bClosingThroughClient = false;
};
