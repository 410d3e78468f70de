#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

#include <sys/resource.h>

#include "CCommandLineInfo.h"
#include "FrameworkFixture.h"
#include "QsProfile.h"

namespace {

using namespace fwtest;

TEST(CommandLine, StandardSwitches) {
    struct Case {
        QStringList args;
        int command;
        bool embedded, automated, splash;
        QString file;
    } cases[] = {
        {{}, CCommandLineInfo::FileNew, false, false, true, ""},
        {{"book.qs5"}, CCommandLineInfo::FileOpen, false, false, true, "book.qs5"},
        {{"-Embedding"}, CCommandLineInfo::FileNew, true, false, false, ""},
        {{"/Automation"}, CCommandLineInfo::FileNew, false, true, false, ""},
        {{"/automation", "x.qs1"}, CCommandLineInfo::FileOpen, false, true, false, "x.qs1"},
        {{"/p", "a.qs1"}, CCommandLineInfo::FilePrint, false, false, true, "a.qs1"},
        {{"/dde"}, CCommandLineInfo::FileDDE, false, false, true, ""},
        {{"/Regserver"}, CCommandLineInfo::AppRegister, false, false, true, ""},
        {{"-Unregserver"}, CCommandLineInfo::AppUnregister, false, false, true, ""},
        {{"/nologo"}, CCommandLineInfo::FileNew, false, false, false, ""},
    };
    for (const Case& c : cases) {
        CCommandLineInfo info;
        info.ParseArguments(c.args);
        const std::string label = c.args.join(' ').toStdString();
        EXPECT_EQ(info.m_nShellCommand, c.command) << label;
        EXPECT_EQ(bool(info.m_bRunEmbedded), c.embedded) << label;
        EXPECT_EQ(bool(info.m_bRunAutomated), c.automated) << label;
        EXPECT_EQ(bool(info.m_bShowSplash), c.splash) << label;
        EXPECT_EQ(info.m_strFileName, c.file) << label;
    }
    CCommandLineInfo printTo;
    printTo.ParseArguments({"/pt", "a.qs1", "Laser", "drv", "LPT1"});
    EXPECT_EQ(printTo.m_nShellCommand, CCommandLineInfo::FilePrintTo);
    EXPECT_EQ(printTo.m_strFileName, "a.qs1");
    EXPECT_EQ(printTo.m_strPrinterName, "Laser");
    EXPECT_EQ(printTo.m_strDriverName, "drv");
    EXPECT_EQ(printTo.m_strPortName, "LPT1");
}

TEST(Application, ShellCommandsOpenOrCreate) {
    TestProgram program;
    CCommandLineInfo none;
    none.m_nShellCommand = CCommandLineInfo::FileNothing;
    EXPECT_TRUE(program.app.ProcessShellCommand(none));
    EXPECT_TRUE(program.tpl->Documents().empty());

    CCommandLineInfo fresh;
    EXPECT_TRUE(program.app.ProcessShellCommand(fresh));
    EXPECT_EQ(program.tpl->Documents().size(), 1u);

    CCommandLineInfo open;
    open.ParseArguments({"a.tbl"});
    EXPECT_TRUE(program.app.ProcessShellCommand(open));
    EXPECT_EQ(Log().back(), "open a.tbl");
    TestDoc::s_failOpen = true;
    EXPECT_FALSE(program.app.ProcessShellCommand(open));

    CCommandLineInfo reg;
    reg.ParseArguments({"/Regserver"});
    EXPECT_FALSE(program.app.ProcessShellCommand(reg));  // registering ends the program
}

TEST(Application, RecentFilesLiveInTheProfile) {
    {
        TestProgram program;
        program.app.m_pszProfileName = "qstone5.ini";
        program.app.LoadStdProfileSettings(2);
        EXPECT_TRUE(program.app.RecentFiles().isEmpty());
        for (const char* name : {"a.tbl", "b.tbl", "c.tbl", "b.tbl"}) program.app.AddToRecentFileList(name);
        EXPECT_EQ(program.app.RecentFiles(),
                  (QStringList{QFileInfo("b.tbl").absoluteFilePath(), QFileInfo("c.tbl").absoluteFilePath()}));
        program.app.ExitInstance();
    }
    EXPECT_EQ(qs::profile::ReadString("qstone5.ini", "Recent File List", "File1"),
              QFileInfo("b.tbl").absoluteFilePath().toStdString());
    TestProgram again;
    again.app.m_pszProfileName = "qstone5.ini";
    again.app.LoadStdProfileSettings(4);
    EXPECT_EQ(again.app.RecentFiles().size(), 2);
    // A recent file that no longer opens leaves the list.
    TestDoc::s_failOpen = true;
    EXPECT_FALSE(again.app.OnOpenRecentFile(ID_FILE_MRU_FILE1));
    EXPECT_EQ(again.app.RecentFiles().size(), 1);

    EXPECT_TRUE(again.app.WriteProfileInt("Settings", "Scale", 120));
    EXPECT_EQ(again.app.GetProfileInt("Settings", "scale", 100), 120);
    EXPECT_EQ(again.app.GetProfileString("Settings", "Missing", "dflt"), "dflt");
}

TEST(Application, MainWindowVisibilityDecidesFailureBoxes) {
    TestProgram program;
    qs::fw::MessageBoxScript boxes;
    EXPECT_EQ(AfxMessageBoxIfVisible("Could not create spreadsheet window."), IDOK);
    EXPECT_EQ(boxes.Count(), 0u);
    program.main->ShowWindow(SW_SHOW);
    AfxMessageBoxIfVisible("Could not create spreadsheet window.");
    EXPECT_EQ(boxes.Count(), 1u);
}

TEST(Application, IdleCallsCountUpUntilDone) {
    struct IdleApp : CWinApp {
        std::vector<LONG> counts;
        BOOL OnIdle(LONG count) override {
            counts.push_back(count);
            return count < 2;
        }
    } app;
    app.RunIdle();
    EXPECT_EQ(app.counts, (std::vector<LONG>{0, 1, 2}));
}

// A program left alone waits: an idle pass that repaints does not start
// the next one, so the loop sleeps until something happens (here one posted
// message), and the process uses next to no processor time meanwhile.
TEST(Application, IdleLoopWaitsWhenNothingHappens) {
    struct IdleApp : CWinApp {
        int passes = 0;
        QWidget* painted = nullptr;
        BOOL OnIdle(LONG count) override {
            if (count == 0 && painted != nullptr) {
                ++passes;
                painted->setWindowTitle(QString::number(passes));
                painted->update();
            }
            return FALSE;
        }
    } app;
    auto* main = new CFrameWnd();
    QPointer<CFrameWnd> alive(main);
    main->show();
    app.m_pMainWnd = main;
    app.painted = main;
    QTimer::singleShot(400, main, [main] { main->PostMessage(WM_USER + 77, 0, 0); });
    QTimer::singleShot(1500, qApp, &QCoreApplication::quit);
    const auto cpuSeconds = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    const double before = cpuSeconds();
    app.Run();
    const double used = cpuSeconds() - before;
    EXPECT_GE(app.passes, 2);
    EXPECT_LE(app.passes, 12) << "idle passes keep starting each other";
    EXPECT_LT(used, 0.75) << "seconds of processor time over 1.5 s of waiting";
    app.m_pMainWnd = nullptr;
    if (alive) main->DestroyWindow();
    FlushDeletes();
}

}  // namespace
