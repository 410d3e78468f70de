#include "frames/CUpdateFrame.h"

#include <QComboBox>

#include "frames/CMainFrame.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CWinApp.h"
#include "frames/FrameToolBars.h"
#include "MessageBox.h"

namespace {

CMainFrame* UpdateFrameMain() {
    CWinApp* app = AfxGetApp();
    return app ? dynamic_cast<CMainFrame*>(app->m_pMainWnd) : nullptr;
}

// Resource ids of the project template's frame (standard / enterprise):
// only the navigator is made from it.
constexpr UINT kNavigatorIds[] = {224, 326};

}  // namespace

namespace qs::app {

CMDIChildWnd* FindNavigatorFrame() {
    CMainFrame* main = UpdateFrameMain();
    if (main == nullptr) return nullptr;
    for (CMDIChildWnd* child : main->GetChildFrames())
        for (UINT id : kNavigatorIds)
            if (child->GetResourceId() == id) return child;
    return nullptr;
}

void ShowNavigatorFrame(bool show) {
    CMDIChildWnd* navigator = FindNavigatorFrame();
    if (navigator == nullptr) return;
    QWidget* window = navigator->GetSubWindow() ? static_cast<QWidget*>(navigator->GetSubWindow()) : navigator;
    window->setVisible(show);
}

}  // namespace qs::app

using qs::app::ShowNavigatorFrame;

CUpdateFrame::CUpdateFrame() {
    MapCommand(ID_FINISH_UPDATE, [this] { SendMessage(WM_CLOSE); });
}

CUpdateFrame::~CUpdateFrame() {
    if (CMainFrame* main = UpdateFrameMain(); main && main->m_pUpdateFrame == this) main->m_pUpdateFrame = nullptr;
}

int CUpdateFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CChildFrame::OnCreate(lpCreateStruct) == -1) return -1;
    m_pToolBar = qs::app::CreateFrameToolBar(this);
    if (m_pToolBar == nullptr) return -1;
    m_pArrayList = new QComboBox(m_pToolBar);
    m_pArrayList->setObjectName(QStringLiteral("Array list"));
    m_pArrayList->setMaxVisibleItems(100 / qMax(1, m_pArrayList->fontMetrics().height()) + 1);
    qs::app::AddToolBarControl(m_pToolBar, m_pArrayList, IDC_ARRAY_LIST, 300);
    qs::app::AddToolBarGap(m_pToolBar, 12);
    ShowNavigatorFrame(false);
    if (CMainFrame* main = UpdateFrameMain()) main->m_pUpdateFrame = this;
    return 0;
}

void CUpdateFrame::ForgetAndShowNavigator() {
    if (CMainFrame* main = UpdateFrameMain(); main && main->m_pUpdateFrame == this) main->m_pUpdateFrame = nullptr;
    ShowNavigatorFrame(true);
}

void CUpdateFrame::OnClose() {
    if (m_bClosing) {
        CChildFrame::OnClose();
        return;
    }
    const int answer = AfxMessageBox(QStringLiteral("Save file after update?"), MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) return;
    CWnd* main = AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr;
    auto* doc = dynamic_cast<CProjectDoc*>(GetActiveDocument());
    if (answer == IDYES) {
        if (main) main->SendMessage(WM_COMMAND, ID_AS_OF_DATE, 0);
        ForgetAndShowNavigator();
        m_bClosing = true;
        CChildFrame::OnClose();
        if (main) main->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS_CMD, 0);
        return;
    }
    const int sure = AfxMessageBox(QStringLiteral("Because the update operation cannot be undone, the file will be "
                                                  "closed without saving. Are you sure?"),
                                   MB_YESNO | MB_ICONQUESTION);
    ForgetAndShowNavigator();
    if (sure != IDYES || doc == nullptr) {
        m_bClosing = true;
        CChildFrame::OnClose();
        return;
    }
    // The update's changes are dropped with the file: neither the document
    // nor its project counts as changed, so closing asks nothing.
    doc->SetModifiedFlag(FALSE);
    if (CProject* project = doc->GetProject()) project->SetModifiedFlag(false);
    doc->OnFileClose();
}

void CUpdateFrame::OnDestroy() {
    // A frame destroyed without its close (the document closing, the open
    // look-up replacing it) must not stay recorded in the main frame.
    if (CMainFrame* main = UpdateFrameMain(); main && main->m_pUpdateFrame == this) {
        main->m_pUpdateFrame = nullptr;
        ShowNavigatorFrame(true);
    }
    CChildFrame::OnDestroy();
}
