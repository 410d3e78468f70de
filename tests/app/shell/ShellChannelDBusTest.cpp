#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <memory>

#include "TestEnvironment.h"
#include "frames/CMainFrame.h"
#include "CQuillstoneApp.h"
#include "startup/CSplashWindow.h"
#include "shell/ShellOpenChannel.h"

namespace {

// The second start of the program: a small client program beside the tests
// that sends the command and prints the running instance's answer.
int RunSecondInstance(const QString& command) {
    QProcess second;
    second.start(QString::fromStdString(qs::test::BinDir()) + QStringLiteral("/qs_shell_channel_client"), {command});
    EXPECT_TRUE(second.waitForStarted(5000));
    // The running instance must keep its event loop turning to answer.
    EXPECT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 30000));
    const QString out = QString::fromUtf8(second.readAllStandardOutput());
    const qsizetype at = out.indexOf("RESULT=");
    return at < 0 ? -100 : out.mid(at + 7).section(u'\n', 0, 0).trimmed().toInt();
}

TEST(ShellChannel, ASecondStartOpensTheFileInTheRunningInstanceAndLearnsTheResult) {
    EXPECT_EQ(RunSecondInstance(qs::app::ShellOpenCommand("/data/a.qs5")), qs::app::kShellCommandNoInstance);

    CSplashWindow::Enable(false);
    CMainFrame frame;
    ASSERT_TRUE(frame.LoadFrame());
    ASSERT_TRUE(frame.IsShellChannelStarted());
    QStringList opened;
    bool succeed = true;
    qs::app::SetShellOpenHandler([&](const QString& path) {
        opened << path;
        return succeed;
    });

    EXPECT_EQ(RunSecondInstance(qs::app::ShellOpenCommand("/data/Auto Liability.qs5")), qs::app::kShellCommandDone);
    EXPECT_EQ(opened, QStringList{"/data/Auto Liability.qs5"});

    succeed = false;  // the answer is the open's real result
    EXPECT_EQ(RunSecondInstance(qs::app::ShellOpenCommand("/data/bad.qs5")), qs::app::kShellCommandFailed);

    // Under automation the caller is told at once instead of waiting forever.
    CQuillstoneApp app;
    app.m_bInteractive = FALSE;
    opened.clear();
    EXPECT_EQ(RunSecondInstance(qs::app::ShellOpenCommand("/data/c.qs5")), qs::app::kShellCommandRefused);
    EXPECT_TRUE(opened.isEmpty());
    qs::app::SetShellOpenHandler(nullptr);
}

}  // namespace
