#include <QFileInfo>
#include <QFileDialog>
#include <QMdiSubWindow>
#include <gtest/gtest.h>

#include "FrameworkFixture.h"
#include "ModalScript.h"

namespace {

using namespace fwtest;

TEST(Documents, NewDocumentGetsFrameViewTitleAndInitialUpdate) {
    TestProgram program;
    CDocument* doc = program.tpl->OpenDocumentFile(nullptr);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(Log(), (std::vector<std::string>{"new"}));
    EXPECT_EQ(doc->GetTitle(), "Table1");
    EXPECT_TRUE(doc->GetPathName().isEmpty());
    EXPECT_EQ(doc->GetDocTemplate(), program.tpl);
    TestView* view = TestProgram::FirstView(doc);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetDocument(), doc);
    EXPECT_EQ(view->m_initialUpdates, 1);
    auto* frame = dynamic_cast<TestChildFrame*>(view->GetParentFrame());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetActiveView(), view);
    EXPECT_EQ(program.main->MDIGetActive(), frame);
    EXPECT_EQ(program.main->GetActiveDocument(), doc);
    EXPECT_TRUE(frame->GetSubWindow()->isVisibleTo(program.main));

    EXPECT_EQ(program.tpl->OpenDocumentFile(nullptr)->GetTitle(), "Table2");
    POSITION pos = program.tpl->GetFirstDocPosition();
    std::vector<CDocument*> docs;
    while (pos) docs.push_back(program.tpl->GetNextDoc(pos));
    ASSERT_EQ(docs.size(), 2u);
    EXPECT_EQ(docs[0], doc);
}

TEST(Documents, OpenSetsPathAndRecentListFailureLeavesNothing) {
    TestProgram program;
    program.app.LoadStdProfileSettings(4);
    const QString path = QFileInfo("claims.tbl").absoluteFilePath();
    CDocument* doc = program.tpl->OpenDocumentFile(path, FALSE);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetPathName(), path);
    EXPECT_EQ(doc->GetTitle(), "claims.tbl");
    EXPECT_EQ(program.app.RecentFiles(), QStringList{path});
    // Not made visible.
    auto* frame = dynamic_cast<CMDIChildWnd*>(TestProgram::FirstView(doc)->GetParentFrame());
    EXPECT_FALSE(frame->GetSubWindow()->isVisibleTo(program.main));

    TestDoc::s_failOpen = true;
    const int alive = TestDoc::s_alive;
    EXPECT_EQ(program.tpl->OpenDocumentFile("broken.tbl"), nullptr);
    FlushDeletes();
    EXPECT_EQ(TestDoc::s_alive, alive);
    EXPECT_EQ(program.tpl->Documents().size(), 1u);
    EXPECT_EQ(program.main->GetChildFrames().size(), 1u);
}

TEST(Documents, UpdateAllViewsSkipsSenderAndKeepsOrder) {
    TestProgram program;
    CDocument* doc = program.tpl->OpenDocumentFile(nullptr);
    TestView* first = TestProgram::FirstView(doc);
    // A second window on the same document.
    CFrameWnd* second = program.tpl->CreateNewFrame(doc, nullptr);
    ASSERT_NE(second, nullptr);
    program.tpl->InitialUpdateFrame(second, doc);
    ASSERT_EQ(doc->Views().size(), 2u);
    auto* other = dynamic_cast<TestView*>(doc->Views()[1]);

    doc->UpdateAllViews(first, 7);
    doc->UpdateAllViews(nullptr, 8);
    EXPECT_EQ(first->m_hints, (std::vector<LPARAM>{0, 8}));  // 0 from the initial update
    EXPECT_EQ(other->m_hints, (std::vector<LPARAM>{0, 7, 8}));
}

TEST(Documents, ClosingFramesAndDocuments) {
    TestProgram program;
    CDocument* doc = program.tpl->OpenDocumentFile(nullptr);
    CFrameWnd* first = TestProgram::FirstView(doc)->GetParentFrame();
    CFrameWnd* second = program.tpl->CreateNewFrame(doc, nullptr);
    program.tpl->InitialUpdateFrame(second, doc);
    doc->SetModifiedFlag();

    qs::fw::MessageBoxScript boxes;
    // Closing one of two frames asks nothing and keeps the document.
    second->SendMessage(WM_CLOSE);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(doc->Views().size(), 1u);
    FlushDeletes();

    // The last frame asks to save: Cancel keeps everything.
    boxes.Answer(IDCANCEL);
    first->SendMessage(WM_CLOSE);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, "Save changes to Table1?");
    EXPECT_EQ(boxes.Last().buttons, (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(program.tpl->Documents().size(), 1u);

    // No: the document closes without saving and deletes itself.
    boxes.Answer(IDNO);
    first->SendMessage(WM_CLOSE);
    FlushDeletes();
    EXPECT_TRUE(program.tpl->Documents().empty());
    EXPECT_EQ(Log().back(), "doc deleted");
    EXPECT_EQ(std::count(Log().begin(), Log().end(), std::string("save Table1")), 0);
    EXPECT_TRUE(program.main->GetChildFrames().empty());
}

TEST(Documents, SaveOnCloseAsksForNameAndStopsOnFailure) {
    TestProgram program;
    CDocument* doc = program.tpl->OpenDocumentFile(nullptr);
    doc->SetModifiedFlag();
    qs::fw::MessageBoxScript boxes{IDYES, IDYES};
    qs::fw::ModalScript dialogs;
    const QString target = QFileInfo("saved.tbl").absoluteFilePath();
    // The file chooser is a dialog like any other.
    dialogs.Then([](QDialog& d) { d.reject(); });
    EXPECT_FALSE(doc->SaveModified());  // the name was not given
    dialogs.Then([&target](QDialog& d) {
        d.setProperty("chosen", target);
        dynamic_cast<QFileDialog&>(d).selectFile(target);
        d.accept();
    });
    TestDoc::s_failSave = false;
    EXPECT_TRUE(doc->SaveModified());
    EXPECT_EQ(doc->GetPathName(), target);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(Log().back(), "save " + target.toStdString());

    // A failing save keeps the document open and modified.
    doc->SetModifiedFlag();
    TestDoc::s_failSave = true;
    boxes.Answer(IDYES);
    TestProgram::FirstView(doc)->GetParentFrame()->SendMessage(WM_CLOSE);
    EXPECT_EQ(program.tpl->Documents().size(), 1u);
    EXPECT_TRUE(doc->IsModified());
}

TEST(Documents, FileCloseCommandAndCloseAll) {
    TestProgram program;
    CDocument* a = program.tpl->OpenDocumentFile(nullptr);
    program.tpl->OpenDocumentFile(nullptr);
    program.main->MDIActivate(TestProgram::FirstView(a)->GetParentFrame());
    EXPECT_TRUE(program.main->RouteCommand(ID_FILE_CLOSE));
    FlushDeletes();
    ASSERT_EQ(program.tpl->Documents().size(), 1u);
    EXPECT_EQ(program.tpl->Documents().front()->GetTitle(), "Table2");
    program.app.CloseAllDocuments(FALSE);
    FlushDeletes();
    EXPECT_TRUE(program.tpl->Documents().empty());
    EXPECT_TRUE(program.main->GetChildFrames().empty());
}

}  // namespace
