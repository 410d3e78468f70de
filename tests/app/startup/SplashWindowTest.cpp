#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <memory>

#include "frames/CMainFrame.h"
#include "startup/CSplashWindow.h"
#include "MessageBox.h"

namespace {

class SplashWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSplashWindow::Enable(true);
        CSplashWindow::SetCommandLine({});
    }
    void TearDown() override {
        CSplashWindow::Hide();
        CSplashWindow::Enable(false);
        qs::fw::SetMainWindow(nullptr);
    }
    // A main frame that counts the Start commands it receives.
    std::unique_ptr<CMainFrame> MakeFrame() {
        auto frame = std::make_unique<CMainFrame>();
        frame->MapCommand(CSplashWindow::kStartCommand, [this] { ++m_starts; });
        EXPECT_TRUE(frame->LoadFrame());
        qs::fw::SetMainWindow(frame.get());
        frame->show();
        return frame;
    }
    int m_starts = 0;
};

TEST_F(SplashWindowTest, TheFrameShowsItAndAClickEndsItConsumedThenStartRuns) {
    auto frame = MakeFrame();
    ASSERT_NE(CSplashWindow::Instance(), nullptr);
    EXPECT_TRUE(CSplashWindow::Instance()->isVisible());

    // The click would have gone to the frame: the splash takes it.
    int framePresses = 0;
    struct Counter : QObject {
        int* n;
        explicit Counter(int* c) : n(c) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::MouseButtonPress) ++*n;
            return false;
        }
    } counter(&framePresses);
    frame->installEventFilter(&counter);
    QTest::mouseClick(frame.get(), Qt::LeftButton);
    EXPECT_EQ(CSplashWindow::Instance(), nullptr);
    EXPECT_EQ(framePresses, 0);

    EXPECT_EQ(m_starts, 0);  // posted, not sent
    QApplication::processEvents();
    EXPECT_EQ(m_starts, 1);
}

TEST_F(SplashWindowTest, TheTimerEndsItAfterFourSeconds) {
    auto frame = MakeFrame();
    ASSERT_NE(CSplashWindow::Instance(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([] { return CSplashWindow::Instance() == nullptr; }, CSplashWindow::kShowMs + 2000));
    QApplication::processEvents();
    EXPECT_EQ(m_starts, 1);
}

TEST_F(SplashWindowTest, ANamedFileOpensInsteadOfTheStartCommand) {
    CSplashWindow::SetCommandLine({"/home/u/Auto.qs5"});
    auto frame = MakeFrame();
    ASSERT_NE(CSplashWindow::Instance(), nullptr);
    QTest::keyClick(frame.get(), Qt::Key_Space);
    EXPECT_EQ(CSplashWindow::Instance(), nullptr);
    QApplication::processEvents();
    EXPECT_EQ(m_starts, 0);
}

TEST_F(SplashWindowTest, NoSplashForDdeStartsOrWhenDisabled) {
    CSplashWindow::SetCommandLine({"/dde"});
    auto first = MakeFrame();
    EXPECT_EQ(CSplashWindow::Instance(), nullptr);
    first.reset();

    CSplashWindow::SetCommandLine({});
    CSplashWindow::Enable(false);
    auto second = MakeFrame();
    EXPECT_EQ(CSplashWindow::Instance(), nullptr);
}

TEST_F(SplashWindowTest, OnlyOneSplashAtATime) {
    auto frame = MakeFrame();
    CSplashWindow* splash = CSplashWindow::Instance();
    CSplashWindow::Show(frame.get());
    EXPECT_EQ(CSplashWindow::Instance(), splash);
}

TEST(SplashCommandLine, WhatCountsAsWork) {
    EXPECT_FALSE(CSplashWindow::CommandLineNamesWork({}));
    EXPECT_FALSE(CSplashWindow::CommandLineNamesWork({"/Automation"}));
    EXPECT_TRUE(CSplashWindow::CommandLineNamesWork({"/home/u/a.qs5"}));
    EXPECT_TRUE(CSplashWindow::CommandLineNamesWork({"a.qs5"}));
    EXPECT_TRUE(CSplashWindow::CommandLineNamesWork({"/dde"}));
    EXPECT_TRUE(CSplashWindow::CommandLineNamesWork({"/p", "a.qs5"}));
}

}  // namespace
