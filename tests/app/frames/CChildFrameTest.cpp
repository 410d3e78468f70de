#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QMdiSubWindow>

#include "frames/CChildFrame.h"
#include "CDocTemplate.h"
#include "CDocument.h"
#include "CMDIFrameWnd.h"
#include "CView.h"
#include "CWinApp.h"
#include "Resources.h"

namespace {

class ChildFrameTableView : public CView {};
class ChildFrameInfoView : public CView {};
class ChildFrameDoc : public CDocument {};

void FlushChildFrameDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// A main frame with one template per view kind; every frame is a CChildFrame.
class ChildFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        qs::fw::RegisterString(129, "\nTable\nTable\n\n\n\nTable");
        main = new CMDIFrameWnd();
        ASSERT_TRUE(main->LoadFrame(128));
        app.m_pMainWnd = main;
        main->show();
        tables = new CMultiDocTemplate(129, RUNTIME_CLASS(ChildFrameDoc), RUNTIME_CLASS(CChildFrame),
                                       RUNTIME_CLASS(ChildFrameTableView));
        app.AddDocTemplate(tables);
        infos = new CMultiDocTemplate(129, RUNTIME_CLASS(ChildFrameDoc), RUNTIME_CLASS(CChildFrame),
                                      RUNTIME_CLASS(ChildFrameInfoView));
        app.AddDocTemplate(infos);
        CChildFrame::SetIsInfoView([](const CView* v) { return dynamic_cast<const ChildFrameInfoView*>(v); });
        CChildFrame::SetOpenNewObjectFrame([this](CDocument* doc, CChildFrame* old) {
            calls.push_back({doc, old, CChildFrame::IsRefitInProgress()});
            return openSucceeds;
        });
    }
    void TearDown() override {
        CChildFrame::SetIsInfoView(nullptr);
        CChildFrame::SetOpenNewObjectFrame(nullptr);
        app.CloseAllDocuments(TRUE);
        if (app.m_pMainWnd) app.m_pMainWnd->DestroyWindow();
        FlushChildFrameDeletes();
        qs::fw::ClearResources();
    }
    CChildFrame* Open(CMultiDocTemplate* tpl, CDocument*& doc) {
        doc = tpl->OpenDocumentFile(nullptr);
        return doc ? dynamic_cast<CChildFrame*>(doc->Views().front()->GetParentFrame()) : nullptr;
    }

    struct Call {
        CDocument* doc;
        CChildFrame* old;
        bool refitting;
    };
    CWinApp app{"Quillstone"};
    CMDIFrameWnd* main = nullptr;
    CMultiDocTemplate* tables = nullptr;
    CMultiDocTemplate* infos = nullptr;
    std::vector<Call> calls;
    bool openSucceeds = true;
};

TEST_F(ChildFrameTest, CaptionIsTheViewsOwn) {
    CDocument* doc = nullptr;
    CChildFrame* frame = Open(tables, doc);
    ASSERT_NE(frame, nullptr);
    frame->setWindowTitle("Paid Losses - Net");
    frame->OnUpdateFrameTitle(TRUE);
    EXPECT_EQ(frame->windowTitle(), "Paid Losses - Net");
}

TEST_F(ChildFrameTest, NewWindowAndResizeAskTheDocumentExceptOnInformationViews) {
    CDocument* doc = nullptr;
    CChildFrame* frame = Open(tables, doc);
    ASSERT_NE(frame, nullptr);
    frame->RouteCommand(CChildFrame::ID_WINDOW_NEW_FRAME);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].doc, doc);
    EXPECT_EQ(calls[0].old, nullptr);

    // A failed re-fit keeps the frame.
    openSucceeds = false;
    frame->RouteCommand(CChildFrame::ID_RESIZE_WINDOW);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].old, frame);
    EXPECT_TRUE(calls[1].refitting);
    EXPECT_FALSE(CChildFrame::IsRefitInProgress());
    EXPECT_NE(frame->GetSafeHwnd(), nullptr);

    // An information view: New Window does nothing, Resize only restores.
    CDocument* infoDoc = nullptr;
    CChildFrame* info = Open(infos, infoDoc);
    ASSERT_NE(info, nullptr);
    info->MDIMaximize();
    info->RouteCommand(CChildFrame::ID_WINDOW_NEW_FRAME);
    info->RouteCommand(CChildFrame::ID_RESIZE_WINDOW);
    EXPECT_EQ(calls.size(), 2u);
    EXPECT_FALSE(info->GetSubWindow()->isMaximized());
    EXPECT_NE(info->GetSafeHwnd(), nullptr);
}

TEST_F(ChildFrameTest, SuccessfulRefitAndCloseCommandCloseTheFrame) {
    CDocument* doc = nullptr;
    CChildFrame* frame = Open(tables, doc);
    ASSERT_NE(frame, nullptr);
    QPointer<CChildFrame> watched = frame;
    frame->RouteCommand(CChildFrame::ID_RESIZE_WINDOW);
    FlushChildFrameDeletes();
    EXPECT_TRUE(watched.isNull() || watched->GetSafeHwnd() == nullptr);

    CDocument* other = nullptr;
    CChildFrame* second = Open(tables, other);
    ASSERT_NE(second, nullptr);
    QPointer<CChildFrame> watchedSecond = second;
    second->RouteCommand(CChildFrame::ID_CLOSE_ACTIVE_WINDOW);
    FlushChildFrameDeletes();
    EXPECT_TRUE(watchedSecond.isNull() || watchedSecond->GetSafeHwnd() == nullptr);
}

}  // namespace
