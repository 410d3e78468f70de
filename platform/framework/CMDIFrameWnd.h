#pragma once
// The main window of a multiple-document program: child frames live in a
// QMdiArea. Commands go to the active child frame (its view, its document,
// the child itself) first, then this frame, then the application.
#include <QMdiSubWindow>
#include <QPointer>

#include "CFrameWnd.h"

class QMdiArea;
class QMdiSubWindow;
class CMDIChildWnd;

class CMDIFrameWnd : public CFrameWnd {
public:
    explicit CMDIFrameWnd(QWidget* parent = nullptr);
    ~CMDIFrameWnd() override;

    QMdiArea* GetMDIClient() const { return m_mdiArea; }

    // The active child frame (null when none); *pbMaximized tells whether it is maximised.
    CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const;
    void MDIActivate(CWnd* pWndActivate);
    void MDINext();
    void MDIPrev();
    void MDICascade();
    void MDITile();
    std::vector<CMDIChildWnd*> GetChildFrames() const;

    CFrameWnd* GetActiveFrame() override;
    CView* GetActiveView() const override;
    CDocument* GetActiveDocument() override;

    // A child asked to be destroyed (WM_MDIDESTROY on the MDI client). The
    // default destroys it; a program that keeps some children alive
    // overrides this.
    virtual void OnMDIDestroy(CMDIChildWnd* pChild);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    // The menu bar shows the active child's menu (its template's resource)
    // when one is registered, else the frame's own. The switch waits for the
    // event loop, so a menu command that changes the active child is never
    // running in a menu that goes.
    void UpdateMenuForActiveChild();
    void OnIdleUpdateCmdUI() override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;

private:
    friend class CMDIChildWnd;
    QMdiSubWindow* AddChild(CMDIChildWnd* child);
    void ChildGone(CMDIChildWnd* child);

    void ChooseMenu();

    QMdiArea* m_mdiArea;
    QPointer<QMdiSubWindow> m_activeSub;
    bool m_menuSwitchPending = false;
};
