#pragma once
// A frame: a QMainWindow holding views, with an optional menu bar (from a
// menu resource), toolbars and status bar. Commands go to the active view
// (and its document) first, then the frame, then the application.
#include <QMainWindow>

#include "CWnd.h"
#include "CommandIds.h"
#include "Resources.h"
#include <QPointer>

class CDocument;
class CDocTemplate;
#include "CView.h"
class CFrameWnd;
class CStatusBar;
class CToolBar;
class QMenu;
class QAction;

struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

struct CREATESTRUCT {
    CCreateContext* lpCreateParams = nullptr;
    CWnd* hwndParent = nullptr;
    DWORD style = 0;
    UINT nIDResource = 0;
    QString lpszName;
};
using LPCREATESTRUCT = CREATESTRUCT*;

class CFrameWnd : public QMainWindow, public CWnd {
public:
    explicit CFrameWnd(QWidget* parent = nullptr);
    ~CFrameWnd() override;

    // Creates the frame: PreCreateWindow, then OnCreate (which makes the
    // view the context asks for); the menu of nIDResource is loaded when one
    // is registered. FALSE when a step fails.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    virtual BOOL PreCreateWindow(CREATESTRUCT&) { return TRUE; }
    // 0 to go on, -1 to fail creation.
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    CView* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);

    virtual CView* GetActiveView() const;
    virtual void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    // The frame whose view is active: itself, or the active MDI child of an MDI frame.
    virtual CFrameWnd* GetActiveFrame() { return this; }
    // Views of this frame, in creation order.
    std::vector<CView*> GetViews() const;

    // Sends the initial update to every view and, when asked, shows the frame.
    virtual void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    virtual void ActivateFrame(int nCmdShow = -1);
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    UINT GetResourceId() const { return m_nIDHelp; }

    // Updates toolbar buttons and status panes through the command route
    // (what an idle pass does for a frame).
    virtual void OnIdleUpdateCmdUI();
    // Runs update handlers for the items of a menu (what opening it does).
    void UpdateMenuItems(QMenu* menu);
    // The frame's menu bar's action for a command id, null when none.
    QAction* FindMenuAction(UINT nID) const;
    // Shows the menu of a resource in the menu bar (replacing the one shown);
    // its shortcuts are the menu's accelerators. An MDI child's menu shows in
    // the main frame instead.
    virtual void LoadMenu(UINT nIDResource);
    UINT GetMenuResourceId() const { return m_nMenuShown; }

    // Status bar and toolbars the frame updates on idle.
    void AddControlBar(CToolBar* bar);
    void SetStatusBar(CStatusBar* bar);
    CStatusBar* GetStatusBar() const { return m_pStatusBar; }
    // Shows a command's prompt (its string resource before "\n") in pane 0.
    void SetMessageText(const QString& text);
    void SetMessageText(UINT nID);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnClose() override;
    BOOL DestroyWindow() override;

    BOOL m_bAutoMenuEnable = TRUE;

protected:
    // The part of a close after the document agreed: the document goes with
    // its last frame, otherwise the frame is destroyed.
    virtual void CloseFrame();
    void closeEvent(QCloseEvent* event) override;
    void AddMenuActions(QMenu* menu, const std::vector<qs::fw::MenuItem>& items);

    QPointer<CView> m_pViewActive;
    UINT m_nIDHelp = 0;
    DWORD m_dwStyle = 0;
    CStatusBar* m_pStatusBar = nullptr;
    std::vector<CToolBar*> m_toolBars;
    bool m_inClose = false;
    UINT m_nMenuShown = 0;
    // Menu commands running now (a command may run another), and the popups
    // a menu load retired meanwhile.
    int m_nMenuCommandDepth = 0;
    std::vector<QPointer<QMenu>> m_retiredMenus;
};
