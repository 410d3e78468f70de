#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>
#include <QMdiSubWindow>
#include <QPlainTextEdit>

#include <cstdio>
#include <memory>

#include "CInfoView.h"
#include "CMDIChildWnd.h"
#include "frames/CMainFrame.h"
#include "CQuillstoneApp.h"
#include "startup/CSplashWindow.h"
#include "MessageBox.h"
#include "frames/StatusWindow.h"
#include "TestEnvironment.h"

namespace {

class StatusWindowTest : public ::testing::Test {
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
        qs::fw::SetMainWindow(nullptr);
        m_frame.reset();
    }
    QString Text() { return qs::app::StatusWindowView()->GetText(); }
    std::unique_ptr<CMainFrame> m_frame;
};

TEST_F(StatusWindowTest, LineEndsAreNormalised) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"one", "one\r\n"},
        {"one\ntwo", "one\r\ntwo\r\n"},
        {"one\r\ntwo\n", "one\r\ntwo\r\n\r\n"},
        {"", "\r\n"},
        {"a\rb", "a\rb\r\n"},  // a lone carriage return is left alone
    };
    for (const auto& c : cases) EXPECT_EQ(qs::app::NormaliseStatusLines(c.in), c.out) << c.in;
}

TEST_F(StatusWindowTest, OpenWriteClearAndReopen) {
    ASSERT_TRUE(qs::app::CreateStatusWindow(m_frame.get()));
    EXPECT_FALSE(qs::app::IsStatusWindowVisible());

    StatusWindowWrite("before any open");  // appends, shows nothing
    EXPECT_FALSE(qs::app::IsStatusWindowVisible());
    EXPECT_EQ(Text(), "before any open\r\n");

    const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    ASSERT_TRUE(StatusWindowOpen("Project Comparison"));
    EXPECT_TRUE(qs::app::IsStatusWindowVisible());
    EXPECT_EQ(qs::app::StatusWindowFrame()->GetSubWindow()->windowTitle(), "Project Comparison");
    EXPECT_EQ(Text(), "Project Comparison DATE:\t" + date + "\r\n");

    StatusWindowWrite("Table 1\nTable 2");
    StatusWindowWrite("Done");
    EXPECT_EQ(Text(), "Project Comparison DATE:\t" + date + "\r\nTable 1\r\nTable 2\r\nDone\r\n");
    EXPECT_EQ(qs::app::StatusWindowView()->Editor()->document()->blockCount(), 5);  // each line its own

    ASSERT_TRUE(StatusWindowOpen("Summary"));  // a second open starts over
    EXPECT_EQ(Text(), "Summary DATE:\t" + date + "\r\n");

    EXPECT_TRUE(StatusWindowClear());
    EXPECT_EQ(Text(), "");
    EXPECT_FALSE(qs::app::IsStatusWindowVisible());
}

TEST_F(StatusWindowTest, TheCloseBoxOnlyHidesIt) {
    CMDIChildWnd* frame = qs::app::CreateStatusWindow(m_frame.get());
    ASSERT_TRUE(StatusWindowOpen("Import"));
    StatusWindowWrite("Company 12");
    frame->SendMessage(WM_CLOSE);
    EXPECT_FALSE(qs::app::IsStatusWindowVisible());
    EXPECT_NE(frame->GetSafeHwnd(), nullptr);
    EXPECT_TRUE(Text().endsWith("Company 12\r\n"));  // the log survives the close
}

TEST_F(StatusWindowTest, WithoutAWindowOpenAndClearReportTheFailure) {
    qs::fw::MessageBoxScript boxes{IDOK, IDOK};
    StatusWindowWrite("nowhere to go");  // no report
    EXPECT_FALSE(StatusWindowOpen("Report"));
    EXPECT_FALSE(StatusWindowClear());
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Cannot create or activate status window.\nOperation aborted.");
}

TEST_F(StatusWindowTest, UnderAutomationTheFailureGoesToTheLogFile) {
    CQuillstoneApp app;
    app.m_bInteractive = FALSE;
    app.m_strLogFilePath = qs::test::MakeTempDir() + "/run.log";
    gbLogFileContainsError = false;
    m_frame->hide();  // nobody to see a box
    qs::fw::MessageBoxScript boxes;
    EXPECT_FALSE(StatusWindowOpen("Batch"));
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_TRUE(gbLogFileContainsError);
    const std::string log = qs::test::ReadFile(app.m_strLogFilePath);
    EXPECT_EQ(log.front(), '\n');
    EXPECT_NE(log.find("  Cannot create or activate status window.\nOperation aborted."), std::string::npos);
    gbLogFileContainsError = false;
}

}  // namespace
