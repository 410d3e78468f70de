// The application's side of the project navigator: where a newly opened
// project goes, showing the navigator and an object in it, and the services
// that views, documents and commands ask of the application about the open
// projects and the navigator's selection.
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include "CCmdUI.h"
#include "CDocTemplate.h"
#include "navigator/CPrjListView.h"
#include "navigator/CPrjTreeView.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CQuillstoneApp.h"
#include "navigator/CTreeFrame.h"
#include "KernelIds.h"
#include "navigator/NavigatorSelection.h"
#include "ProjectHost.h"
#include "QsCommandIds.h"
#include "frames/StatusWindow.h"
#include "ViewSettings.h"
#include "WaitCursor.h"

void CQuillstoneApp::BindNavigator() {
    using App = CQuillstoneApp;
    qs::project::ProjectHost& host = qs::project::Host();
    host.refreshNavigator = [] {
        if (App::Current()) App::Current()->RefreshNavigator();
    };
    host.selectInNavigator = [](CProjectDoc* doc) {
        if (CPrjTreeView* navigator = App::Current() ? App::Current()->GetNavigator() : nullptr)
            navigator->SelectProjectItem(doc, true);
    };
    host.navigatorCategory = [](const CView* view) -> int {
        const CTreeFrame* frame = App::Current() ? App::Current()->NavigatorFrame() : nullptr;
        return frame != nullptr && view != nullptr && view->GetParentFrame() == frame ? int(frame->GetCategoryId()) : 0;
    };
    host.showInNavigator = [](QSID id, unsigned short layer, CProjectDoc* doc) {
        if (App::Current()) App::Current()->SelectNavigatorObject(id, layer, doc, true);
    };
    host.removeFromNavigator = [](CProjectDoc* doc) {
        CPrjTreeView* navigator = App::Current() ? App::Current()->GetNavigator() : nullptr;
        return navigator == nullptr || navigator->RemoveProject(doc);
    };
    qs::views::ViewSettings& views = qs::views::Settings();
    views.selectNavigatorObject = [](long id, unsigned short layer) {
        if (App::Current()) App::Current()->SelectNavigatorObject(QSID(id), layer, nullptr, false);
    };
    views.updateAllProjectViews = [](CView* sender, long hint, CObject* pHint) {
        if (App::Current()) App::Current()->UpdateAllProjectViews(sender, hint, pHint);
    };
}

bool CQuillstoneApp::NavigatorExists() const { return GetNavigator() != nullptr; }

CPrjTreeView* CQuillstoneApp::GetNavigator() const {
    // A navigator whose frame is destroyed (it went with the last project)
    // is gone, even while its widgets wait to be deleted.
    auto* view = static_cast<CPrjTreeView*>(m_pNavigator.data());
    if (view == nullptr) return nullptr;
    CFrameWnd* frame = view->GetParentFrame();
    return frame != nullptr && frame->GetSafeHwnd() != nullptr ? view : nullptr;
}

void CQuillstoneApp::SetNavigator(CPrjTreeView* view) { m_pNavigator = view; }

CTreeFrame* CQuillstoneApp::NavigatorFrame() const {
    CPrjTreeView* navigator = GetNavigator();
    return navigator ? navigator->NavigatorFrame() : nullptr;
}

void CQuillstoneApp::PlaceProjectInNavigator(CProjectDoc* doc) {
    if (doc == nullptr) return;
    CFrameWnd* frame = doc->Views().empty() ? nullptr : doc->Views().front()->GetParentFrame();
    CPrjTreeView* navigator = GetNavigator();
    if (frame != nullptr) {
        if (navigator != nullptr && navigator->NavigatorFrame() != frame) {
            // A later project: only a root item; the frame its opening made goes.
            navigator->AddProject(doc, true);
            frame->PostMessage(WM_CLOSE);
            ShowNavigator();
            return;
        }
        // The first project: its frame becomes the navigator, at the top left
        // of the main window's client area, as wide as its bar and as high as
        // the client area.
        if (auto* treeFrame = dynamic_cast<CTreeFrame*>(frame)) {
            if (navigator == nullptr) SetNavigator(treeFrame->TreeView());
            if (QMdiSubWindow* sub = treeFrame->GetSubWindow()) {
                const QMdiArea* area = sub->mdiArea();
                const int height = area ? area->viewport()->height() : sub->height();
                // At least wide enough that the tree's names and the list's
                // table names can be read, within half the client area.
                const int roomy = std::min(520, area ? area->viewport()->width() / 2 : 520);
                sub->setGeometry(0, 0, std::max(treeFrame->ToolBarWidth() + 30, roomy), std::max(height, 200));
            }
        }
        if (m_pProjectTemplate) m_pProjectTemplate->InitialUpdateFrame(frame, doc, TRUE);
    }
    navigator = GetNavigator();
    if (navigator == nullptr) return;
    navigator->AddProject(doc, true);
    if (navigator->NavigatorFrame()) ShowNavigator();
}

void CQuillstoneApp::ShowNavigator() {
    CTreeFrame* frame = NavigatorFrame();
    if (frame == nullptr) return;
    if (QMdiSubWindow* sub = frame->GetSubWindow(); sub && sub->isMinimized()) sub->showNormal();
    frame->ActivateFrame();
    frame->setFocus();
    // The keyboard goes to the pane the user last worked in (the list at
    // first), so arrows and Enter act at once; but only once the event that
    // got here has been handled: the Enter that chose the file in Open must
    // not reach the list and open its current table as well.
    QTimer::singleShot(0, frame, [frame] {
        if (!frame->isVisible() || (frame->GetSubWindow() && frame->GetSubWindow()->mdiArea() &&
                                    frame->GetSubWindow()->mdiArea()->activeSubWindow() != frame->GetSubWindow()))
            return;
        QWidget* pane = nullptr;
        if (frame->GetActiveView() == frame->TreeView() && frame->TreeView() != nullptr)
            pane = &frame->TreeView()->GetTreeCtrl();
        else if (frame->ListView() != nullptr)
            pane = &frame->ListView()->GetListCtrl();
        if (pane != nullptr) pane->setFocus(Qt::OtherFocusReason);
    });
    if (CMainFrame* main = MainFrame())
        if (QAction* button = main->ToolBar().ButtonAction(qs::cmd::kShowNavigator)) {
            button->setCheckable(true);
            button->setChecked(!main->isMinimized());
        }
}

void CQuillstoneApp::SelectNavigatorObject(QSID id, unsigned short layer, CProjectDoc* doc, bool show) {
    CTreeFrame* frame = NavigatorFrame();
    if (frame == nullptr) return;
    frame->GoToObject(id, layer, doc);
    if (show) ShowNavigator();
}

void CQuillstoneApp::UpdateAllProjectViews(CView* sender, LPARAM hint, CObject* pHint) {
    if (m_pProjectTemplate == nullptr) return;
    const std::vector<CDocument*> docs = m_pProjectTemplate->Documents();
    for (CDocument* doc : docs) doc->UpdateAllViews(sender, hint, pHint);
}

bool CQuillstoneApp::HasOpenDataWindows() const {
    if (m_pProjectTemplate != nullptr)
        for (CDocument* doc : m_pProjectTemplate->Documents())
            for (CView* view : doc->Views())
                if (dynamic_cast<CTreeView*>(view) == nullptr && dynamic_cast<CListView*>(view) == nullptr) return true;
    return qs::app::IsStatusWindowVisible();
}

void CQuillstoneApp::RefreshNavigator() {
    CWaitCursor wait;
    if (CTreeFrame* frame = NavigatorFrame()) frame->SendMessage(WM_COMMAND, CTreeFrame::kCmdRefresh, 0);
}

void CQuillstoneApp::GetProjectDocuments(std::vector<CProjectDoc*>& docs) const {
    if (m_pProjectTemplate == nullptr) return;
    for (CDocument* doc : m_pProjectTemplate->Documents())
        if (auto* project = dynamic_cast<CProjectDoc*>(doc)) docs.push_back(project);
}

void CQuillstoneApp::GetNavigatorSelection(CProjectDoc*& doc, unsigned short& layer, QSID& objectId) const {
    std::vector<CProjectDoc*> docs;
    GetProjectDocuments(docs);
    std::vector<qs::app::OpenProjectState> open;
    for (CProjectDoc* d : docs)
        open.push_back({d, d->m_nCurrentObjectId != 0, d->m_nCurrentObjectId, d->m_nCurrentLayer});
    CPrjTreeView* navigator = GetNavigator();
    CTreeFrame* frame = NavigatorFrame();
    const qs::app::NavigatorSelection selection = qs::app::ResolveNavigatorSelection(
        open, navigator ? navigator->GetCurrentProject() : nullptr,
        static_cast<unsigned short>(frame ? frame->GetSelectedLayer() : 0));
    doc = static_cast<CProjectDoc*>(const_cast<void*>(selection.document));
    layer = selection.layer;
    objectId = selection.objectId;
}

CProject* CQuillstoneApp::GetActiveProject() const {
    CProjectDoc* doc = nullptr;
    unsigned short layer = 0;
    QSID id = 0;
    GetNavigatorSelection(doc, layer, id);
    return doc ? doc->GetProject() : nullptr;
}

void CQuillstoneApp::OnGraph() {
    // A new temporary graph of the navigator's project in its layer.
    CPrjTreeView* navigator = GetNavigator();
    CProjectDoc* doc = navigator ? navigator->GetCurrentProject() : nullptr;
    CTreeFrame* frame = NavigatorFrame();
    if (doc == nullptr || frame == nullptr || doc->GetProject() == nullptr) return;
    const QSID id = doc->GetProject()->GetNextTempGraphID();
    doc->OpenObjectView(id, static_cast<unsigned short>(frame->GetSelectedLayer()), TRUE, TRUE, FALSE);
}
