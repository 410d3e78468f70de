#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDockWidget>
#include <QEvent>
#include <QAction>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>

#include <memory>

#include "frames/CBSParamsFrame.h"
#include "frames/CChildSpltFrame.h"
#include "CDocTemplate.h"
#include "frames/CGraphFrame.h"
#include "frames/CMainFrame.h"
#include "frames/CPPAFrame.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "startup/CSplashWindow.h"
#include "frames/CUpdateFrame.h"
#include "CView.h"
#include "CWinApp.h"
#include "MessageBox.h"
#include "ProjectHost.h"

namespace {

class FramesPlainView : public CView {};

// A graph view that answers the may-close question as told.
class FramesGraphView : public CView, public IGraphCloseQuery {
public:
    static bool s_mayClose;
    static int s_asked;
    bool CanCloseGraph() override {
        ++s_asked;
        return s_mayClose;
    }
};
bool FramesGraphView::s_mayClose = true;
int FramesGraphView::s_asked = 0;

// Records the commands that reach the main frame.
class FramesMainFrame : public CMainFrame {
public:
    std::vector<UINT> commands;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* info) override {
        if (nCode == CN_COMMAND && pExtra == nullptr && info == nullptr &&
            (nID == CUpdateFrame::ID_AS_OF_DATE || nID == CUpdateFrame::ID_FILE_SAVE_AS_CMD ||
             nID == CPPAFrame::ID_PPA_APPLY)) {
            commands.push_back(nID);
            return TRUE;
        }
        return CMainFrame::OnCmdMsg(nID, nCode, pExtra, info);
    }
    std::vector<std::pair<UINT, WPARAM>> menuMessages;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_INITMENUPOPUP || message == WM_MENUSELECT) menuMessages.emplace_back(message, wParam);
        return CMainFrame::WindowProc(message, wParam, lParam);
    }
};

void FlushFrameDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

bool Gone(const QPointer<QWidget>& w) { return w.isNull() || dynamic_cast<CWnd*>(w.data())->GetSafeHwnd() == nullptr; }

class ObjectFramesTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSplashWindow::Enable(false);
        main = new FramesMainFrame();
        ASSERT_TRUE(main->LoadFrame());
        app.m_pMainWnd = main;
        qs::fw::SetMainWindow(main);
        main->show();
        auto make = [this](UINT id, const CRuntimeClass* frame, const CRuntimeClass* view) {
            auto* t = new CMultiDocTemplate(id, RUNTIME_CLASS(CProjectDoc), frame, view);
            app.AddDocTemplate(t);
            return t;
        };
        navigatorTemplate = make(224, RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(FramesPlainView));
        updateTemplate = make(251, RUNTIME_CLASS(CUpdateFrame), RUNTIME_CLASS(FramesPlainView));
        ppaTemplate = make(129, RUNTIME_CLASS(CPPAFrame), RUNTIME_CLASS(FramesPlainView));
        paramsTemplate = make(129, RUNTIME_CLASS(CBSParamsFrame), RUNTIME_CLASS(FramesPlainView));
        graphTemplate = make(129, RUNTIME_CLASS(CGraphFrame), RUNTIME_CLASS(FramesGraphView));
        splitTemplate = make(129, RUNTIME_CLASS(CChildSpltFrame), RUNTIME_CLASS(FramesPlainView));
        // The project stays open when its windows close, as the navigator keeps it.
        doc = new CProjectDoc;
        doc->m_bAutoDelete = FALSE;
        navigatorTemplate->AddDocument(doc);
        navigator = Open(navigatorTemplate);
        FramesGraphView::s_mayClose = true;
        FramesGraphView::s_asked = 0;
    }
    void TearDown() override {
        qs::project::Host() = {};
        app.CloseAllDocuments(TRUE);
        delete doc;  // kept by the test past its windows (not auto-deleted)
        qs::fw::SetMainWindow(nullptr);
        if (app.m_pMainWnd) app.m_pMainWnd->DestroyWindow();
        FlushFrameDeletes();
    }
    template <typename Frame = CFrameWnd>
    Frame* Open(CMultiDocTemplate* tmpl) {
        CFrameWnd* frame = tmpl->CreateNewFrame(doc, nullptr);
        if (frame == nullptr) return nullptr;
        tmpl->InitialUpdateFrame(frame, doc, TRUE);
        return dynamic_cast<Frame*>(frame);
    }
    bool NavigatorVisible() const {
        auto* child = dynamic_cast<CMDIChildWnd*>(navigator);
        return child && child->GetSubWindow()->isVisible();
    }

    CWinApp app{"Quillstone"};
    FramesMainFrame* main = nullptr;
    CMultiDocTemplate *navigatorTemplate = nullptr, *updateTemplate = nullptr, *ppaTemplate = nullptr,
                      *paramsTemplate = nullptr, *graphTemplate = nullptr, *splitTemplate = nullptr;
    CProjectDoc* doc = nullptr;
    CFrameWnd* navigator = nullptr;
};

TEST_F(ObjectFramesTest, ToolbarsCarryTheirControlsById) {
    auto* update = Open<CUpdateFrame>(updateTemplate);
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(update->GetDlgItem(CUpdateFrame::IDC_ARRAY_LIST), update->ArrayList());
    EXPECT_EQ(update->ArrayList()->width(), 300);

    auto* ppa = Open<CPPAFrame>(ppaTemplate);
    ASSERT_NE(ppa, nullptr);
    EXPECT_EQ(ppa->GetDlgItemText(CPPAFrame::IDC_TOTAL_LABEL), "Total:");
    EXPECT_TRUE(ppa->Total()->isReadOnly());
    EXPECT_EQ(ppa->GetDlgItemText(CPPAFrame::IDC_HINT), "Hint");

    auto* params = Open<CBSParamsFrame>(paramsTemplate);
    ASSERT_NE(params, nullptr);
    EXPECT_EQ(params->GetDlgItemText(CBSParamsFrame::IDC_BASE_DIAG_LABEL), "Base Diag.");
    EXPECT_EQ(params->GetDlgItemText(CBSParamsFrame::IDC_CUT_OFF_LABEL), "Cut off after");
    EXPECT_NE(params->GetDlgItem(CBSParamsFrame::IDC_BASE_DIAG), nullptr);
    EXPECT_NE(params->GetDlgItem(CBSParamsFrame::IDC_CUT_OFF), nullptr);

    auto* graph = Open<CGraphFrame>(graphTemplate);
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->GetDlgItem(CGraphFrame::IDC_GRAPH_STYLE), graph->StyleList());
    EXPECT_EQ(graph->GetDlgItemText(CGraphFrame::IDC_RESET_ZOOM), "Reset Zoom");
    EXPECT_EQ(graph->DataBar()->windowTitle(), "Sidebar");
}

TEST_F(ObjectFramesTest, UpdateFrameHidesTheNavigatorAndAsksBeforeClosing) {
    QPointer<QWidget> update = Open<CUpdateFrame>(updateTemplate);
    ASSERT_TRUE(update);
    EXPECT_EQ(main->m_pUpdateFrame, update.data());
    EXPECT_FALSE(NavigatorVisible());

    {  // Cancel: nothing happens, whichever way the close came.
        qs::fw::MessageBoxScript boxes{IDCANCEL, IDCANCEL, IDCANCEL};
        dynamic_cast<CMDIChildWnd*>(update.data())->GetSubWindow()->close();
        dynamic_cast<CWnd*>(update.data())->SendMessage(WM_COMMAND, CChildFrame::ID_CLOSE_ACTIVE_WINDOW);
        dynamic_cast<CWnd*>(update.data())->SendMessage(WM_COMMAND, CUpdateFrame::ID_FINISH_UPDATE);
        ASSERT_EQ(boxes.Count(), 3u);
        EXPECT_EQ(boxes.Last().text, "Save file after update?");
        EXPECT_EQ(boxes.Last().type & MB_TYPEMASK, UINT(MB_YESNOCANCEL));
    }
    EXPECT_FALSE(Gone(update));
    EXPECT_EQ(main->m_pUpdateFrame, update.data());

    // Yes: "As Of Date", the frame goes, the navigator returns, then Save As.
    qs::fw::MessageBoxScript boxes{IDYES};
    dynamic_cast<CWnd*>(update.data())->SendMessage(WM_COMMAND, CUpdateFrame::ID_FINISH_UPDATE);
    EXPECT_EQ(main->commands, (std::vector<UINT>{CUpdateFrame::ID_AS_OF_DATE, CUpdateFrame::ID_FILE_SAVE_AS_CMD}));
    EXPECT_TRUE(Gone(update));
    EXPECT_EQ(main->m_pUpdateFrame, nullptr);
    EXPECT_TRUE(NavigatorVisible());
    EXPECT_EQ(navigatorTemplate->Documents().size(), 1u);  // the project stays open
}

TEST_F(ObjectFramesTest, UpdateFrameNoKeepsOrClosesTheProject) {
    QPointer<QWidget> update = Open<CUpdateFrame>(updateTemplate);
    ASSERT_TRUE(update);
    {  // No, then not sure: only the window goes.
        qs::fw::MessageBoxScript boxes{IDNO, IDNO};
        dynamic_cast<CWnd*>(update.data())->SendMessage(WM_CLOSE);
        ASSERT_EQ(boxes.Count(), 2u);
        EXPECT_TRUE(boxes.Last().text.startsWith("Because the update operation cannot be undone"));
    }
    EXPECT_TRUE(Gone(update));
    EXPECT_EQ(main->m_pUpdateFrame, nullptr);
    EXPECT_TRUE(NavigatorVisible());
    EXPECT_EQ(navigatorTemplate->Documents().size(), 1u);
    EXPECT_TRUE(main->commands.empty());

    // No, then sure: the project closes unsaved, with no save question.
    update = Open<CUpdateFrame>(updateTemplate);
    doc->GetProject()->SetModifiedFlag(true);
    doc->SetModifiedFlag(TRUE);
    qs::fw::MessageBoxScript boxes{IDNO, IDYES};
    dynamic_cast<CWnd*>(update.data())->SendMessage(WM_CLOSE);
    EXPECT_EQ(boxes.Count(), 2u);
    EXPECT_TRUE(navigatorTemplate->Documents().empty());
    EXPECT_EQ(main->m_pUpdateFrame, nullptr);
    doc = nullptr;
}

TEST_F(ObjectFramesTest, UpdateFrameDestroyedWithoutItsCloseIsForgotten) {
    QPointer<QWidget> update = Open<CUpdateFrame>(updateTemplate);
    ASSERT_TRUE(update);
    dynamic_cast<CWnd*>(update.data())->DestroyWindow();
    EXPECT_EQ(main->m_pUpdateFrame, nullptr);
    EXPECT_TRUE(NavigatorVisible());
}

TEST_F(ObjectFramesTest, PaymentPatternAsksOnlyWhenModified) {
    struct Case {
        const char* name;
        bool modified, valid;
        int answer;
        bool closes, applies;
        const char* question;
    } cases[] = {
        {"untouched", false, true, 0, true, false, nullptr},
        {"valid, yes", true, true, IDYES, true, true, "Save Payment Pattern data?"},
        {"valid, no", true, true, IDNO, true, false, "Save Payment Pattern data?"},
        {"valid, cancel", true, true, IDCANCEL, false, false, "Save Payment Pattern data?"},
        {"invalid, ok", true, false, IDOK, true, false, "Data is not valid.\nModifications will not be retained. Close Payment Pattern window anyway?"},
        {"invalid, cancel", true, false, IDCANCEL, false, false, "Data is not valid.\nModifications will not be retained. Close Payment Pattern window anyway?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        main->commands.clear();
        auto* frame = Open<CPPAFrame>(ppaTemplate);
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(frame->IsDataValid());  // valid from creation
        frame->SetModified(c.modified);
        frame->SetDataValid(c.valid);
        QPointer<QWidget> watched = frame;
        qs::fw::MessageBoxScript boxes;
        if (c.answer) boxes.Answer(c.answer);
        frame->SendMessage(WM_CLOSE);
        EXPECT_EQ(boxes.Count(), c.question ? 1u : 0u);
        if (c.question && boxes.Count()) {
            EXPECT_EQ(boxes.Last().text, c.question);
        }
        EXPECT_EQ(Gone(watched), c.closes);
        EXPECT_EQ(main->commands.size(), c.applies ? 1u : 0u);
        if (!Gone(watched)) frame->DestroyWindow();
    }
}

TEST_F(ObjectFramesTest, ParamsDoneAndGraphCloseRules) {
    QPointer<QWidget> params = Open<CBSParamsFrame>(paramsTemplate);
    dynamic_cast<CWnd*>(params.data())->SendMessage(WM_COMMAND, CBSParamsFrame::ID_PARAMS_DONE);
    EXPECT_TRUE(Gone(params));

    QPointer<QWidget> graph = Open<CGraphFrame>(graphTemplate);
    FramesGraphView::s_mayClose = false;
    dynamic_cast<CMDIChildWnd*>(graph.data())->GetSubWindow()->close();
    EXPECT_EQ(FramesGraphView::s_asked, 1);
    EXPECT_FALSE(Gone(graph));
    FramesGraphView::s_mayClose = true;
    dynamic_cast<CWnd*>(graph.data())->SendMessage(WM_COMMAND, CChildFrame::ID_CLOSE_ACTIVE_WINDOW);
    EXPECT_EQ(FramesGraphView::s_asked, 2);
    EXPECT_TRUE(Gone(graph));
}

TEST_F(ObjectFramesTest, SplitterFrameGrowsToTwoByTwo) {
    auto* frame = Open<CChildSpltFrame>(splitTemplate);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetRowCount(), 1);
    EXPECT_EQ(frame->GetPane(0, 0)->GetDlgCtrlID(), int(AFX_IDW_PANE_FIRST));
    EXPECT_TRUE(frame->SplitColumn());
    EXPECT_TRUE(frame->SplitRow());
    EXPECT_FALSE(frame->SplitRow());
    EXPECT_FALSE(frame->SplitColumn());
    EXPECT_EQ(frame->GetRowCount(), 2);
    EXPECT_EQ(frame->GetColumnCount(), 2);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) {
            ASSERT_NE(frame->GetPane(r, c), nullptr);
            EXPECT_EQ(frame->GetPane(r, c)->GetDocument(), doc);
            EXPECT_EQ(frame->GetPane(r, c)->minimumSize(), QSize(10, 10));
        }
}

TEST_F(ObjectFramesTest, SystemMenuReachesTheMainFrameAndMinimisingReleasesTheNavigatorButton) {
    auto* frame = Open<CChildFrame>(ppaTemplate);
    ASSERT_NE(frame, nullptr);
    main->menuMessages.clear();
    const WPARAM sysItem = MAKELONG(3, CChildFrame::MF_SYSMENU), item = MAKELONG(5, 0), other = MAKELONG(6, 0);
    frame->SendMessage(WM_INITMENUPOPUP, 0, MAKELONG(0, TRUE));
    frame->SendMessage(WM_MENUSELECT, sysItem, 0);
    frame->SendMessage(WM_MENUSELECT, item, 0);   // the first after a system-menu selection goes on
    frame->SendMessage(WM_MENUSELECT, other, 0);  // later ones stay with the child
    QCoreApplication::processEvents();
    const std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_INITMENUPOPUP, 0}, {WM_MENUSELECT, sysItem}, {WM_MENUSELECT, item}};
    EXPECT_EQ(main->menuMessages, expected);
    EXPECT_FALSE(CChildFrame::LastSelectionInSystemMenu());

    QAction* navigatorButton = main->ToolBar().ButtonAction(CChildFrame::ID_VIEW_NAVIGATOR);
    ASSERT_NE(navigatorButton, nullptr);
    frame->GetSubWindow()->showMinimized();
    EXPECT_FALSE(navigatorButton->isChecked());
    frame->GetSubWindow()->showNormal();
    EXPECT_TRUE(navigatorButton->isChecked());
}

}  // namespace
