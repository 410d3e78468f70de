#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <atomic>
#include <memory>
#include <thread>

#include "frames/CBusyDialog.h"
#include "CInfoView.h"
#include "CMDIChildWnd.h"
#include "frames/CMainFrame.h"
#include "CQuillstoneApp.h"
#include "startup/CSplashWindow.h"
#include "MessageBox.h"
#include "shell/ShellOpenChannel.h"
#include "frames/StatusWindow.h"

namespace {

// A data view whose spreadsheet's current cell shows a fixed text.
class FakeDataView : public CView, public IDataViewCurrentCell {
public:
    static QString s_cell;
    bool CurrentCellText(QString* text) const override {
        *text = s_cell;
        return true;
    }
};
QString FakeDataView::s_cell;

class PlainView : public CView {};

// A view that keeps its frame while it has open requests: each close request
// releases one, and the window goes with the last.
class PinnedView : public CView, public IMDIChildCloseRule {
public:
    bool KeepOnMDIDestroy() override {
        ++asked;
        return --openRequests > 0;
    }
    int openRequests = 3;
    int asked = 0;
};

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSplashWindow::Enable(false);
        m_frame = std::make_unique<CMainFrame>();
        ASSERT_TRUE(m_frame->LoadFrame());
        qs::fw::SetMainWindow(m_frame.get());
        m_frame->show();
    }
    void TearDown() override {
        qs::app::ForgetStatusWindow();
        qs::app::SetShellOpenHandler(nullptr);
        qs::fw::SetMainWindow(nullptr);
        m_frame.reset();
    }

    template <typename View>
    CMDIChildWnd* OpenChild(const QString& title) {
        auto* child = new CMDIChildWnd;
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(View);
        EXPECT_TRUE(child->LoadFrame(0, WS_OVERLAPPEDWINDOW, m_frame.get(), &context));
        child->InitialUpdateFrame(nullptr, TRUE);
        child->GetSubWindow()->setWindowTitle(title);
        child->ActivateFrame();
        if (!child->GetViews().empty()) child->SetActiveView(child->GetViews().front());
        return child;
    }

    QString Pane(int index) { return m_frame->StatusBar().GetPaneText(index); }

    std::unique_ptr<CMainFrame> m_frame;
};

TEST_F(MainFrameTest, StatusBarHasTheSixPanesAndTheToolbarIsLoaded) {
    CStatusBar& bar = m_frame->StatusBar();
    ASSERT_EQ(bar.GetCount(), 6);
    const UINT ids[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL, 33120, 112};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(bar.GetItemID(i), ids[i]) << i;
    EXPECT_EQ(Pane(4), " ");
    EXPECT_GT(m_frame->ToolBar().actions().size(), 0);

    const struct {
        UINT id;
        int index;
    } cases[] = {{ID_SEPARATOR, 0}, {59137, 1}, {59138, 2}, {59139, 3}, {33120, 4}, {112, -1}, {4242, -1}};
    for (const auto& c : cases) EXPECT_EQ(CMainFrame::FindIndicatorIndex(c.id), c.index) << c.id;
}

TEST_F(MainFrameTest, DatePaneShowsTodayOrTheGroupedCurrentCell) {
    m_frame->OnIdleUpdateCmdUI();
    EXPECT_EQ(Pane(5), QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    EXPECT_EQ(Pane(4), "");  // no data view: the free pane is emptied

    OpenChild<FakeDataView>("Paid Losses");
    const QString group = QLocale::system().groupSeparator().left(1);
    FakeDataView::s_cell = "1234567.5";
    m_frame->OnIdleUpdateCmdUI();
    EXPECT_EQ(Pane(5), "1" + group + "234" + group + "567.5");
    FakeDataView::s_cell = "";
    m_frame->OnIdleUpdateCmdUI();
    EXPECT_EQ(Pane(5), QString(12, u' '));
    UINT id = 0, style = 0;
    int width = 0;
    m_frame->StatusBar().GetPaneInfo(5, id, style, width);
    EXPECT_EQ(id, 112u);
    EXPECT_EQ(width, QFontMetrics(m_frame->StatusBar().font()).horizontalAdvance(QString(12, u' ')));
}

// A long operation as the program's commands run one: a bar over panes 1-4,
// a range, one step per item with a status line, and the idle flush after.
TEST_F(MainFrameTest, ProgressProtocolOfALongOperation) {
    CStatusBar& bar = m_frame->StatusBar();
    QRect first, last;
    bar.GetItemRect(1, &first);
    bar.GetItemRect(4, &last);
    auto* progress = new QProgressBar(&bar);
    progress->setGeometry(first.united(last));
    progress->setRange(0, 10);
    SetProgressCtrl(progress);
    EXPECT_FALSE(progress->isVisible());  // hidden until the range arrives

    m_frame->SendMessage(WM_USER + 3, 3);
    EXPECT_TRUE(progress->isVisible());
    EXPECT_EQ(progress->maximum(), 3);
    EXPECT_EQ(progress->value(), 0);

    const QStringList items = {"Importing A", "Importing B", "Importing C", "Importing D"};
    CBusyDialog* busy = nullptr;
    for (const QString& item : items) {
        SetStatusMessage(item);
        m_frame->SendMessage(WM_USER + 2);
        busy = busy ? busy : CBusyDialog::Current();
        ASSERT_EQ(CBusyDialog::Current(), busy);  // one busy dialog for the whole loop
        EXPECT_EQ(busy->Message(), item);
        EXPECT_TRUE(m_frame->PendingStatusText().isEmpty());
    }
    EXPECT_EQ(progress->value(), 3);  // the fourth step finds no steps left
    EXPECT_FALSE(busy->IsCancelShown());
    EXPECT_FALSE(m_frame->isEnabled());

    SetStatusMessageIfNotBusy("ignored while busy");
    EXPECT_TRUE(m_frame->PendingStatusText().isEmpty());

    ClearProgressCtrl();
    delete progress;
    SetStatusMessage("Import finished");
    m_frame->SendMessage(WM_USER);
    EXPECT_EQ(CBusyDialog::Current(), nullptr);
    EXPECT_TRUE(m_frame->isEnabled());
    EXPECT_EQ(Pane(0), "Import finished");

    SetStatusMessageIfNotBusy("Ready");
    m_frame->SendMessage(WM_USER);
    EXPECT_EQ(Pane(0), "Ready");
}

TEST_F(MainFrameTest, ZeroStepsAndNoControlChangeNothingButTheBusyDialogStillComes) {
    m_frame->SendMessage(WM_USER + 3, 5);  // no control registered
    m_frame->SendMessage(WM_USER + 2);
    EXPECT_NE(CBusyDialog::Current(), nullptr);
    m_frame->SendMessage(WM_USER);

    QProgressBar progress;
    SetProgressCtrl(&progress);
    m_frame->SendMessage(WM_USER + 3, 0);
    m_frame->SendMessage(WM_USER + 2);
    m_frame->SendMessage(WM_USER + 2);
    EXPECT_EQ(progress.value(), 0);
    m_frame->SendMessage(WM_USER);
    ClearProgressCtrl();
}

// An operation with its own busy dialog and Cancel button: the steps share
// it, the idle flush leaves it to its operation, and a frame-made dialog
// under it goes without re-enabling the frame while the operation works.
TEST_F(MainFrameTest, AnOperationsOwnBusyDialogWithCancel) {
    m_frame->SendMessage(WM_USER + 2);  // the frame's own dialog is up
    ASSERT_NE(CBusyDialog::Current(), nullptr);
    {
        CBusyDialog export_(61465);
        ASSERT_TRUE(export_.Create(m_frame.get(), true));
        EXPECT_EQ(CBusyDialog::Current(), &export_);
        m_frame->SendMessage(WM_USER);  // the frame's own goes; the export's stays
        EXPECT_EQ(CBusyDialog::Current(), &export_);
        EXPECT_EQ(CBusyDialog::Count(), 1);
        EXPECT_FALSE(m_frame->isEnabled());

        int done = 0;
        for (int item = 0; item < 10; ++item) {
            SetStatusMessage(QStringLiteral("Table %1").arg(item));
            m_frame->SendMessage(WM_USER + 2);
            EXPECT_EQ(CBusyDialog::Current(), &export_);
            if (item == 2) qobject_cast<QPushButton*>(export_.GetDlgItem(IDCANCEL))->click();
            if (export_.CheckCancel()) break;
            ++done;
        }
        EXPECT_EQ(done, 2);
        EXPECT_EQ(export_.Message(), "Table 2");
    }
    EXPECT_TRUE(m_frame->isEnabled());
    EXPECT_EQ(CBusyDialog::Current(), nullptr);
}

// The status line's text travels in the first parameter, from this thread or
// sent from a worker (read before the send returns).
TEST_F(MainFrameTest, StatusLineMessageGoesToTheStatusWindow) {
    ASSERT_TRUE(qs::app::CreateStatusWindow(m_frame.get()));
    const auto log = [] { return qs::app::StatusWindowView()->GetText(); };
    const QByteArray line = QStringLiteral("Exported 3 tables \u2013 ok").toUtf8();
    m_frame->SendMessage(WM_USER + 4, reinterpret_cast<WPARAM>(line.constData()), 0);
    EXPECT_TRUE(log().endsWith("Exported 3 tables \u2013 ok\r\n"));

    std::atomic<bool> sent{false};
    std::thread worker([&] {
        const QByteArray text("Imported 2 companies");
        ::SendMessage(m_frame->GetSafeHwnd(), WM_USER + 4, reinterpret_cast<WPARAM>(text.constData()), 0);
        sent = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(sent.load(), 5000);
    worker.join();
    EXPECT_TRUE(log().endsWith("Imported 2 companies\r\n"));

    // A pointer in the second parameter is no status line.
    const QString before = log();
    m_frame->SendMessage(WM_USER + 4, 0, reinterpret_cast<LPARAM>(line.constData()));
    EXPECT_EQ(log(), before);
}

TEST_F(MainFrameTest, BatchMessagesRunTheApplicationsHandlers) {
    int continued = 0, exited = 0;
    CMainFrame::SetBatchHandlers([&] { ++continued; }, [&] { ++exited; });
    m_frame->SendMessage(WM_USER + 5);
    m_frame->SendMessage(WM_USER + 6);
    m_frame->SendMessage(WM_USER + 6);
    EXPECT_EQ(continued, 1);
    EXPECT_EQ(exited, 2);
    CMainFrame::SetBatchHandlers(nullptr, nullptr);
}

TEST_F(MainFrameTest, CloseIsRefusedWhileTheTailFactorProgramIsUp) {
    QWidget tailFactor;
    tailFactor.setWindowTitle("Duvi Rozire Vididaze");
    tailFactor.show();
    qs::fw::MessageBoxScript boxes{IDOK};
    EXPECT_EQ(m_frame->SendMessage(WM_CLOSE), 1);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text,
              "Please close the Duvi Rozire Vididaze application prior to performing this command.");
    EXPECT_TRUE(boxes.Last().type & MB_SETFOREGROUND);
    EXPECT_NE(m_frame->GetSafeHwnd(), nullptr);

    tailFactor.hide();
    EXPECT_EQ(m_frame->SendMessage(WM_CLOSE), 0);
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(m_frame->GetSafeHwnd(), nullptr);
}

TEST_F(MainFrameTest, MDIClientDecidesWhichChildrenReallyGo) {
    CMDIChildWnd* status = qs::app::CreateStatusWindow(m_frame.get());
    ASSERT_TRUE(status);
    QPointer<QWidget> plain = OpenChild<PlainView>("Plain");
    QPointer<QWidget> pinned = OpenChild<PinnedView>("Pinned");
    auto* emptyFrame = new CMDIChildWnd;  // a frame whose view never came
    ASSERT_TRUE(emptyFrame->LoadFrame(0, WS_OVERLAPPEDWINDOW, m_frame.get(), nullptr));
    QPointer<QWidget> empty = emptyFrame;

    StatusWindowOpen("Report");
    ASSERT_EQ(m_frame->MDIGetActive(), status);
    status->MDIDestroy();
    EXPECT_NE(status->GetSafeHwnd(), nullptr);  // hidden, not destroyed
    EXPECT_FALSE(qs::app::IsStatusWindowVisible());
    EXPECT_NE(m_frame->MDIGetActive(), status);
    EXPECT_TRUE(StatusWindowOpen("Again"));
    EXPECT_TRUE(qs::app::IsStatusWindowVisible());

    // The close box and WM_CLOSE take the same road as MDIDestroy.
    status->GetSubWindow()->close();
    EXPECT_NE(status->GetSafeHwnd(), nullptr);
    EXPECT_FALSE(qs::app::IsStatusWindowVisible());
    EXPECT_TRUE(StatusWindowOpen("Once more"));
    status->SendMessage(WM_CLOSE);
    EXPECT_NE(status->GetSafeHwnd(), nullptr);
    EXPECT_FALSE(qs::app::IsStatusWindowVisible());

    // The view's rule decides for every road a close takes; the window goes
    // once the rule lets it.
    auto* pinnedFrame = dynamic_cast<CMDIChildWnd*>(pinned.data());
    auto* pinnedView = dynamic_cast<PinnedView*>(pinnedFrame->GetActiveView());
    ASSERT_NE(pinnedView, nullptr);
    pinnedFrame->MDIDestroy();
    EXPECT_NE(pinnedFrame->GetSafeHwnd(), nullptr);
    pinnedFrame->GetSubWindow()->close();
    EXPECT_NE(pinnedFrame->GetSafeHwnd(), nullptr);
    EXPECT_TRUE(pinnedFrame->GetSubWindow()->isVisible());
    EXPECT_EQ(pinnedView->asked, 2);
    pinnedFrame->SendMessage(WM_CLOSE);
    EXPECT_EQ(pinned ? pinnedFrame->GetSafeHwnd() : nullptr, nullptr);

    dynamic_cast<CMDIChildWnd*>(plain.data())->MDIDestroy();
    EXPECT_EQ(plain ? dynamic_cast<CWnd*>(plain.data())->GetSafeHwnd() : nullptr, nullptr);

    emptyFrame->MDIDestroy();  // closes although it has no active view
    EXPECT_EQ(empty ? emptyFrame->GetSafeHwnd() : nullptr, nullptr);
}

TEST_F(MainFrameTest, CtrlF10MaximizesAndCtrlF5RestoresTheActiveWindow) {
    QPointer<QWidget> plain = OpenChild<PlainView>("Plain");
    ASSERT_TRUE(plain);
    auto* child = dynamic_cast<CMDIChildWnd*>(plain.data());
    ASSERT_NE(child, nullptr);
    m_frame->MDIActivate(child);
    const auto press = [&](const char* keys) {
        for (QAction* action : m_frame->actions())
            if (action->shortcut() == QKeySequence(QString::fromLatin1(keys))) {
                action->trigger();
                return true;
            }
        return false;
    };
    ASSERT_TRUE(press("Ctrl+F10"));
    EXPECT_TRUE(child->GetSubWindow()->isMaximized());
    ASSERT_TRUE(press("Ctrl+F5"));
    EXPECT_FALSE(child->GetSubWindow()->isMaximized());
}

TEST_F(MainFrameTest, AWindowPlacedPartlyOutsideTheClientAreaComesBackInside) {
    QPointer<QWidget> plain = OpenChild<PlainView>("Plain");
    auto* child = dynamic_cast<CMDIChildWnd*>(plain.data());
    ASSERT_NE(child, nullptr);
    QMdiSubWindow* sub = child->GetSubWindow();
    const QSize area = sub->mdiArea()->viewport()->size();
    ASSERT_GT(area.width(), 300);
    sub->setGeometry(area.width() - 50, area.height() - 20, 300, 150);
    child->KeepInsideArea();
    EXPECT_LE(sub->geometry().right(), area.width());
    EXPECT_LE(sub->geometry().bottom(), area.height());
    EXPECT_EQ(sub->size(), QSize(300, 150));
}

TEST_F(MainFrameTest, ShellOpenRunsBeforeTheAnswerAndIsRefusedUnderAutomation) {
    QStringList opened;
    bool succeed = true;
    qs::app::SetShellOpenHandler([&](const QString& path) {
        opened << path;
        return succeed;
    });
    EXPECT_EQ(m_frame->OnShellCommand(qs::app::ShellOpenCommand("/data/Auto 2024.qs5")), qs::app::kShellCommandDone);
    EXPECT_EQ(opened, QStringList{"/data/Auto 2024.qs5"});
    succeed = false;
    EXPECT_EQ(m_frame->OnShellCommand(qs::app::ShellOpenCommand("/data/missing.qs5")), qs::app::kShellCommandFailed);
    EXPECT_EQ(m_frame->OnShellCommand("[print(\"/data/a.qs5\")]"), qs::app::kShellCommandFailed);
    EXPECT_EQ(m_frame->OnShellCommand("garbage"), qs::app::kShellCommandFailed);

    CQuillstoneApp app;
    app.m_bInteractive = FALSE;
    opened.clear();
    succeed = true;
    EXPECT_EQ(m_frame->OnShellCommand(qs::app::ShellOpenCommand("/data/a.qs5")), qs::app::kShellCommandRefused);
    m_frame->OnDropFiles({"/data/b.qs5"});
    EXPECT_TRUE(opened.isEmpty());
    app.m_bInteractive = TRUE;
    m_frame->OnDropFiles({"/data/b.qs5", "/data/c.dfl"});
    EXPECT_EQ(opened, (QStringList{"/data/b.qs5", "/data/c.dfl"}));
}

TEST_F(MainFrameTest, MenuPromptsWidenPaneZeroUntilTheMenuCloses) {
    UINT id = 0, style = 0;
    int width = 0;
    m_frame->StatusBar().GetPaneInfo(0, id, style, width);
    QMenu menu;
    m_frame->SendMessage(WM_INITMENUPOPUP);  // not browsing yet: nothing saved
    EXPECT_FALSE(m_frame->IsMenuActive());

    m_frame->SendMessage(WM_MENUSELECT, 57601, reinterpret_cast<LPARAM>(&menu));
    EXPECT_TRUE(m_frame->IsMenuActive());
    m_frame->SendMessage(WM_INITMENUPOPUP);
    UINT id2 = 0, style2 = 0;
    int width2 = 0;
    m_frame->StatusBar().GetPaneInfo(0, id2, style2, width2);
    EXPECT_EQ(width2, 16384);
    EXPECT_EQ(style2, UINT(SBPS_NOBORDERS | SBPS_STRETCH));

    m_frame->SendMessage(WM_MENUSELECT, WPARAM(0xFFFF) << 16, 0);
    m_frame->StatusBar().GetPaneInfo(0, id2, style2, width2);
    EXPECT_EQ(width2, width);
    EXPECT_EQ(style2, style);
    EXPECT_FALSE(m_frame->IsMenuActive());

    m_frame->SendMessage(WM_MENUSELECT, WPARAM(0xFFFF) << 16, 0);  // a close with nothing saved
    EXPECT_TRUE(m_frame->IsMenuActive());
}

}  // namespace
