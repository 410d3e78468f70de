#include "CMDIFrameWnd.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QAction>

#include "CDocument.h"
#include "CMDIChildWnd.h"
#include "CView.h"
#include "CWinApp.h"
#include "MessageBox.h"
#include "Resources.h"

namespace {

CMDIChildWnd* ChildOf(QMdiSubWindow* sub) { return sub ? dynamic_cast<CMDIChildWnd*>(sub->widget()) : nullptr; }

// The sub-window's close box asks the child frame, which may refuse.
class SubWindowCloseFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            if (CMDIChildWnd* child = ChildOf(qobject_cast<QMdiSubWindow*>(watched))) {
                event->ignore();
                if (child->GetSafeHwnd() != nullptr) child->SendMessage(WM_CLOSE);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

CMDIFrameWnd::CMDIFrameWnd(QWidget* parent) : CFrameWnd(parent), m_mdiArea(new QMdiArea(this)) {
    CWnd::SetControlId(m_mdiArea, 0xE900 - 1);
    setCentralWidget(m_mdiArea);
    QObject::connect(m_mdiArea, &QMdiArea::subWindowActivated, m_mdiArea, [this](QMdiSubWindow* sub) {
        if (sub == nullptr) return;
        CMDIChildWnd* old = ChildOf(m_activeSub.data());
        m_activeSub = sub;
        CMDIChildWnd* now = ChildOf(sub);
        if (old == now) return;
        if (old && old->GetActiveView()) old->GetActiveView()->OnActivateView(FALSE, now ? now->GetActiveView() : nullptr, old->GetActiveView());
        if (now && now->GetActiveView()) now->GetActiveView()->OnActivateView(TRUE, now->GetActiveView(), old ? old->GetActiveView() : nullptr);
        OnUpdateFrameTitle(TRUE);
        UpdateMenuForActiveChild();
    });
    MapCommand(ID_WINDOW_CASCADE, [this] { MDICascade(); });
    MapCommand(ID_WINDOW_TILE_HORZ, [this] { MDITile(); });
    MapCommand(ID_WINDOW_TILE_VERT, [this] { MDITile(); });
    MapCommand(ID_WINDOW_ARRANGE, [this] { MDITile(); });
}

CMDIFrameWnd::~CMDIFrameWnd() = default;

QMdiSubWindow* CMDIFrameWnd::AddChild(CMDIChildWnd* child) {
    auto* sub = new QMdiSubWindow(m_mdiArea);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->setWidget(child);
    sub->installEventFilter(new SubWindowCloseFilter(sub));
    // The window commands' accelerators are the menu's; the sub-window's own
    // system-menu shortcuts would claim the same keys, and a key that two
    // actions claim runs neither.
    if (QMenu* system = sub->systemMenu())
        for (QAction* action : system->actions()) action->setShortcuts({});
    // The sub-window goes with its frame (the frame is deleted once destroyed).
    QObject::connect(child, &QObject::destroyed, sub, [sub] { sub->deleteLater(); });
    // A caption the view sets later shows in the main title too.
    QObject::connect(child, &QWidget::windowTitleChanged, m_mdiArea, [this, child] {
        if (MDIGetActive() == child) OnUpdateFrameTitle(TRUE);
    });
    m_mdiArea->addSubWindow(sub);
    sub->hide();
    return sub;
}

void CMDIFrameWnd::ChildGone(CMDIChildWnd* child) {
    if (ChildOf(m_activeSub.data()) == child) {
        m_activeSub = nullptr;
        // The next visible child becomes the active one.
        for (QMdiSubWindow* sub : m_mdiArea->subWindowList(QMdiArea::ActivationHistoryOrder)) {
            CMDIChildWnd* other = ChildOf(sub);
            if (other && other != child && sub->isVisible()) m_activeSub = sub;
        }
        if (m_activeSub) m_mdiArea->setActiveSubWindow(m_activeSub.data());
    }
    OnUpdateFrameTitle(TRUE);
    UpdateMenuForActiveChild();
}

void CMDIFrameWnd::UpdateMenuForActiveChild() {
    if (m_menuSwitchPending) return;
    m_menuSwitchPending = true;
    QMetaObject::invokeMethod(m_mdiArea, [this] { ChooseMenu(); }, Qt::QueuedConnection);
}

void CMDIFrameWnd::ChooseMenu() {
    m_menuSwitchPending = false;
    UINT id = m_nIDHelp;
    if (CMDIChildWnd* child = MDIGetActive(); child != nullptr && qs::fw::FindMenu(child->GetResourceId()) != nullptr)
        id = child->GetResourceId();
    if (id != GetMenuResourceId() && qs::fw::FindMenu(id) != nullptr) LoadMenu(id);
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const {
    QMdiSubWindow* sub = m_activeSub.data();
    if (sub == nullptr || ChildOf(sub) == nullptr || ChildOf(sub)->GetSafeHwnd() == nullptr) sub = nullptr;
    if (pbMaximized) *pbMaximized = sub && sub->isMaximized();
    return ChildOf(sub);
}

void CMDIFrameWnd::MDIActivate(CWnd* pWndActivate) {
    auto* child = dynamic_cast<CMDIChildWnd*>(pWndActivate);
    if (child == nullptr || child->GetSubWindow() == nullptr) return;
    QMdiSubWindow* sub = child->GetSubWindow();
    if (!sub->isVisible()) {
        child->EnsureUsableSize();
        sub->show();
        child->KeepInsideArea();
    }
    m_mdiArea->setActiveSubWindow(sub);
    if (m_activeSub != sub) {
        // Offscreen or while the main window is inactive the area may not
        // report the change; keep the framework's notion of "active" anyway.
        CMDIChildWnd* old = MDIGetActive();
        m_activeSub = sub;
        if (old && old->GetActiveView()) old->GetActiveView()->OnActivateView(FALSE, child->GetActiveView(), old->GetActiveView());
        if (child->GetActiveView()) child->GetActiveView()->OnActivateView(TRUE, child->GetActiveView(), old ? old->GetActiveView() : nullptr);
        OnUpdateFrameTitle(TRUE);
        UpdateMenuForActiveChild();
    }
}

std::vector<CMDIChildWnd*> CMDIFrameWnd::GetChildFrames() const {
    std::vector<CMDIChildWnd*> children;
    for (QMdiSubWindow* sub : m_mdiArea->subWindowList(QMdiArea::CreationOrder))
        if (CMDIChildWnd* child = ChildOf(sub); child && child->GetSafeHwnd()) children.push_back(child);
    return children;
}

void CMDIFrameWnd::MDINext() {
    const auto children = GetChildFrames();
    std::vector<CMDIChildWnd*> visible;
    for (CMDIChildWnd* c : children)
        if (c->GetSubWindow()->isVisible()) visible.push_back(c);
    if (visible.empty()) return;
    auto it = std::find(visible.begin(), visible.end(), MDIGetActive());
    MDIActivate(it == visible.end() || ++it == visible.end() ? visible.front() : *it);
}

void CMDIFrameWnd::MDIPrev() {
    const auto children = GetChildFrames();
    std::vector<CMDIChildWnd*> visible;
    for (CMDIChildWnd* c : children)
        if (c->GetSubWindow()->isVisible()) visible.push_back(c);
    if (visible.empty()) return;
    auto it = std::find(visible.begin(), visible.end(), MDIGetActive());
    MDIActivate(it == visible.end() || it == visible.begin() ? visible.back() : *(it - 1));
}

void CMDIFrameWnd::MDICascade() { m_mdiArea->cascadeSubWindows(); }
void CMDIFrameWnd::MDITile() { m_mdiArea->tileSubWindows(); }

CFrameWnd* CMDIFrameWnd::GetActiveFrame() {
    CMDIChildWnd* child = MDIGetActive();
    return child ? static_cast<CFrameWnd*>(child) : this;
}

CView* CMDIFrameWnd::GetActiveView() const {
    CMDIChildWnd* child = MDIGetActive();
    return child ? child->GetActiveView() : CFrameWnd::GetActiveView();
}

CDocument* CMDIFrameWnd::GetActiveDocument() {
    CView* view = GetActiveView();
    return view ? view->GetDocument() : nullptr;
}

void CMDIFrameWnd::OnMDIDestroy(CMDIChildWnd* pChild) {
    if (pChild != nullptr) pChild->DestroyWindow();
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CMDIChildWnd* child = MDIGetActive())
        if (child->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    if (DispatchOwnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CMDIFrameWnd::OnIdleUpdateCmdUI() {
    CFrameWnd::OnIdleUpdateCmdUI();
    if (CMDIChildWnd* child = MDIGetActive()) child->OnIdleUpdateCmdUI();
}

void CMDIFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
    if (!(m_dwStyle & FWS_ADDTOTITLE) || !bAddToTitle) return;
    const QString base = qs::fw::LoadResourceString(GetResourceId()).section(u'\n', 0, 0);
    const QString app = base.isEmpty() ? qs::fw::ApplicationName() : base;
    // The title names what the user works on: the active window's caption
    // (views set their own), else its document.
    CMDIChildWnd* child = MDIGetActive();
    QString what = child != nullptr && child->GetSubWindow() != nullptr && child->GetSubWindow()->isVisible()
                       ? child->windowTitle()
                       : QString();
    if (what.isEmpty())
        if (CDocument* doc = GetActiveDocument()) what = doc->GetTitle();
    setWindowTitle(what.isEmpty() ? app : app + QStringLiteral(" - ") + what);
}
