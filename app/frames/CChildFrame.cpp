#include "frames/CChildFrame.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QMenu>

#include "CDocument.h"
#include "CInfoView.h"
#include "frames/CMainFrame.h"
#include "CWinApp.h"
#include "CView.h"

namespace {

CChildFrame::OpenNewObjectFrameFn& ChildFrameOpener() {
    static CChildFrame::OpenNewObjectFrameFn fn;
    return fn;
}

CChildFrame::IsInfoViewFn& ChildFrameInfoTest() {
    static CChildFrame::IsInfoViewFn fn;
    return fn;
}

bool g_childFrameRefitting = false;
bool g_childFrameSystemMenuSelected = false;

CWnd* ChildFrameMainWindow() { return AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr; }

}  // namespace

CChildFrame::CChildFrame() {
    MapCommand(ID_WINDOW_NEW_FRAME, [this] { OnWindowNew(); });
    MapCommand(ID_RESIZE_WINDOW, [this] { OnResizeWindow(); });
    MapCommand(ID_CLOSE_ACTIVE_WINDOW, [this] { OnCloseActiveWindow(); });
    MapMessage(WM_INITMENUPOPUP, [this](WPARAM w, LPARAM l) {
        OnInitMenuPopup(w, l);
        return LRESULT(0);
    });
    MapMessage(WM_MENUSELECT, [this](WPARAM w, LPARAM l) {
        OnMenuSelect(w, l);
        return LRESULT(0);
    });
    MapMessage(WM_SIZE, [this](WPARAM w, LPARAM) {
        OnSize(UINT(w));
        return LRESULT(0);
    });
}

bool CChildFrame::LastSelectionInSystemMenu() { return g_childFrameSystemMenuSelected; }

int CChildFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CMDIChildWnd::OnCreate(lpCreateStruct) == -1) return -1;
    QMdiSubWindow* sub = GetSubWindow();
    if (sub == nullptr) return 0;
    // The sub-window's system menu and its state changes reach the frame as
    // the window messages they stand for.
    if (QMenu* menu = sub->systemMenu()) {
        const LPARAM handle = reinterpret_cast<LPARAM>(menu);
        QObject::connect(menu, &QMenu::aboutToShow, this, [this, handle] {
            SendMessage(WM_INITMENUPOPUP, WPARAM(handle), LPARAM(MAKELONG(0, TRUE)));
        });
        QObject::connect(menu, &QMenu::hovered, this, [this, handle, menu](QAction* action) {
            const WORD item = WORD(menu->actions().indexOf(action) + 1);
            SendMessage(WM_MENUSELECT, MAKELONG(item, WORD(MF_SYSMENU)), handle);
        });
    }
    // Connected to this frame, which goes before its sub-window.
    QObject::connect(sub, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates, Qt::WindowStates now) {
        SendMessage(WM_SIZE, (now & Qt::WindowMinimized) ? SIZE_MINIMIZED : SIZE_RESTORED, 0);
    });
    return 0;
}

void CChildFrame::OnInitMenuPopup(WPARAM wParam, LPARAM lParam) {
    if (CWnd* main = ChildFrameMainWindow()) main->PostMessage(WM_INITMENUPOPUP, wParam, lParam);
}

void CChildFrame::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
    const WORD flags = HIWORD(wParam);
    const bool systemMenu = flags != 0xFFFF && (flags & MF_SYSMENU) != 0;
    if (systemMenu || g_childFrameSystemMenuSelected)
        if (CWnd* main = ChildFrameMainWindow()) main->PostMessage(WM_MENUSELECT, wParam, lParam);
    g_childFrameSystemMenuSelected = systemMenu;
}

void CChildFrame::OnSize(UINT nType) {
    auto* main = dynamic_cast<CMainFrame*>(ChildFrameMainWindow());
    if (main == nullptr) return;
    if (QAction* button = main->ToolBar().ButtonAction(ID_VIEW_NAVIGATOR)) {
        button->setCheckable(true);
        button->setChecked(nType != SIZE_MINIMIZED);
    }
}

void CChildFrame::SetOpenNewObjectFrame(OpenNewObjectFrameFn fn) { ChildFrameOpener() = std::move(fn); }
void CChildFrame::SetIsInfoView(IsInfoViewFn fn) { ChildFrameInfoTest() = std::move(fn); }
bool CChildFrame::IsRefitInProgress() { return g_childFrameRefitting; }

BOOL CChildFrame::PreCreateWindow(CREATESTRUCT& cs) {
    // The views write their own captions.
    cs.style &= ~DWORD(FWS_ADDTOTITLE);
    return CMDIChildWnd::PreCreateWindow(cs);
}

bool CChildFrame::ActiveViewIsInfoView() const {
    const CView* view = GetActiveView();
    if (!view) return false;
    return ChildFrameInfoTest() ? ChildFrameInfoTest()(view) : dynamic_cast<const CInfoView*>(view) != nullptr;
}

void CChildFrame::OnWindowNew() {
    if (ActiveViewIsInfoView()) return;
    CView* view = GetActiveView();
    CDocument* document = view ? view->GetDocument() : nullptr;
    if (document && ChildFrameOpener()) ChildFrameOpener()(document, nullptr);
}

void CChildFrame::OnResizeWindow() {
    MDIRestore();
    if (ActiveViewIsInfoView()) return;
    CView* view = GetActiveView();
    CDocument* document = view ? view->GetDocument() : nullptr;
    if (!document || !ChildFrameOpener()) return;
    g_childFrameRefitting = true;
    const bool opened = ChildFrameOpener()(document, this);
    g_childFrameRefitting = false;
    if (opened) SendMessage(WM_CLOSE);
}

void CChildFrame::OnCloseActiveWindow() { SendMessage(WM_CLOSE); }
