#include "CMDIChildWnd.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include "CDocument.h"
#include "CMDIFrameWnd.h"
#include "CView.h"
#include "CWinApp.h"

CMDIChildWnd::CMDIChildWnd() = default;

CMDIChildWnd::~CMDIChildWnd() = default;

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
    if (pParentWnd == nullptr && AfxGetApp() != nullptr) pParentWnd = AfxGetApp()->m_pMainWnd;
    m_pMDIFrame = dynamic_cast<CMDIFrameWnd*>(pParentWnd);
    if (m_pMDIFrame == nullptr) return FALSE;
    m_subWindow = m_pMDIFrame->AddChild(this);
    if (!CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext)) {
        m_subWindow->setWidget(nullptr);
        delete m_subWindow.data();
        return FALSE;
    }
    return TRUE;
}

void CMDIChildWnd::EnsureUsableSize() {
    // A window first shown without a size of its own would be a bare title
    // bar (and would restore to one after being maximised): give it a
    // usable share of the client area.
    if (!m_subWindow || m_subWindow->mdiArea() == nullptr) return;
    const QSize area = m_subWindow->mdiArea()->viewport()->size();
    const QSize usable(std::min(640, std::max(320, area.width() * 2 / 3)),
                       std::min(440, std::max(220, area.height() * 2 / 3)));
    const QSize size = m_subWindow->size();
    if (size.width() < usable.width() / 2 || size.height() < usable.height() / 2)
        m_subWindow->resize(size.expandedTo(usable).boundedTo(area.expandedTo(QSize(320, 220))));
}

void CMDIChildWnd::KeepInsideArea() {
    if (!m_subWindow || m_subWindow->mdiArea() == nullptr || m_subWindow->isMaximized()) return;
    const QSize area = m_subWindow->mdiArea()->viewport()->size();
    const QRect r = m_subWindow->geometry();
    const int x = std::max(0, std::min(r.x(), area.width() - r.width()));
    const int y = std::max(0, std::min(r.y(), area.height() - r.height()));
    if (x != r.x() || y != r.y()) m_subWindow->move(x, y);
}

void CMDIChildWnd::MDIActivate() {
    if (m_pMDIFrame) m_pMDIFrame->MDIActivate(this);
}

void CMDIChildWnd::MDIDestroy() {
    if (m_pMDIFrame) m_pMDIFrame->OnMDIDestroy(this);
    else DestroyWindow();
}

void CMDIChildWnd::MDIMaximize() {
    if (m_subWindow) m_subWindow->showMaximized();
}

void CMDIChildWnd::MDIRestore() {
    if (m_subWindow) m_subWindow->showNormal();
}

void CMDIChildWnd::ActivateFrame(int nCmdShow) {
    if (!m_subWindow) return CFrameWnd::ActivateFrame(nCmdShow);
    show();
    if (nCmdShow == SW_HIDE) {
        m_subWindow->hide();
        return;
    }
    if (!m_subWindow->isMaximized()) EnsureUsableSize();
    if (nCmdShow == SW_SHOWMAXIMIZED) m_subWindow->showMaximized();
    else {
        m_subWindow->show();
        KeepInsideArea();
    }
    MDIActivate();
}

BOOL CMDIChildWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    // The view (and its document), then this frame; the main frame and the
    // application come after, from the main frame's own routing.
    if (CView* view = GetActiveView())
        if (view->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return DispatchOwnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CMDIChildWnd::CloseFrame() {
    if (m_pMDIFrame == nullptr || m_bClosingThroughClient) {
        CFrameWnd::CloseFrame();
        return;
    }
    // The main frame decides; its DestroyWindow call comes back here with the
    // flag set and finishes the close.
    m_bClosingThroughClient = true;
    QPointer<QWidget> alive(this);
    m_pMDIFrame->OnMDIDestroy(this);
    if (alive) m_bClosingThroughClient = false;
}

BOOL CMDIChildWnd::DestroyWindow() {
    if (GetSafeHwnd() == nullptr) return FALSE;
    if (m_bClosingThroughClient) {
        // The main frame let the window go: finish the close, which destroys
        // this window through here again.
        m_bClosingThroughClient = false;
        CFrameWnd::CloseFrame();
        return GetSafeHwnd() == nullptr;
    }
    CMDIFrameWnd* frame = m_pMDIFrame;
    QPointer<QMdiSubWindow> sub = m_subWindow;
    const BOOL done = CFrameWnd::DestroyWindow();
    if (sub) sub->hide();
    if (frame) frame->ChildGone(this);
    return done;
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
    if (!(m_dwStyle & FWS_ADDTOTITLE) || !bAddToTitle) return;
    CDocument* doc = GetActiveDocument();
    const QString title = doc ? doc->GetTitle() : windowTitle();
    setWindowTitle(title);
    if (m_subWindow) m_subWindow->setWindowTitle(title);
    if (m_pMDIFrame) m_pMDIFrame->OnUpdateFrameTitle(TRUE);
}
