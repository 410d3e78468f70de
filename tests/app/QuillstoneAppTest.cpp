// Start-up and shutdown of the application object, driven in-process with
// scripted message boxes on a machine laid out in temporary folders, and
// out of process for what only another process can show.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <string>

#include "AppRegistry.h"
#include "CLOGFONT.h"
#include "CaptureStderr.h"
#include "FaultboxApi.h"
#include "KernelGlobals.h"
#include "SharedMessageOptions.h"
#include "CDocTemplate.h"
#include "shell/CInstanceHeartbeat.h"
#include "frames/CMainFrame.h"
#include "shell/ConsoleTrace.h"
#include "CQuillstoneApp.h"
#include "startup/Installation.h"
#include "MessageBox.h"
#include "QsCommandIds.h"
#include "QsEnvironment.h"
#include "QsProfile.h"
#include "QsRegistry.h"
#include "shell/ShellRegistration.h"
#include "TestEnvironment.h"
#include "startup/WorkstationSettings.h"

namespace {

namespace fs = std::filesystem;
using qs::fw::MessageBoxScript;

class QuillstoneAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = qs::test::MakeTempDir("app");
        program = root + "/program";
        fs::create_directories(program);
        qs::test::SetEnv("QS_WINDOWS_DIR", root + "/windows");
        qs::test::SetEnv("QS_MACHINE_DIR", root + "/machine");
        qs::test::SetEnv("QS_DATA_DIR", root + "/data");
        qs::test::SetEnv("XDG_DATA_HOME", root + "/xdg");
        qs::test::SetEnv("HOME", root + "/home");
        qs::test::SetEnv("QS_INSTALL_DIR", program);
        qs::test::SetEnv("QS_IPC_NAMESPACE", "qsapp" + std::to_string(::getpid()) + "_" +
                                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        qs::test::UnsetEnv("QS_TERMSERV_QS");
        qs::test::UnsetEnv("QS_VERSION_URL");
        qs::app::Settings() = qs::app::WorkstationSettings{};
    }
    void TearDown() override { qs::test::UnsetEnv("QS_INSTALL_DIR"); }

    // The machine as the installation program leaves it, with the
    // statistics-import library's folder being the build's.
    qs::install::Layout Install(unsigned long mode) {
        qs::install::Options o;
        o.mode = mode;
        o.systemDirectory = qs::test::BinDir();
        qs::install::Layout layout;
        std::vector<std::string> warnings;
        EXPECT_TRUE(qs::install::Install(o, layout, warnings));
        EXPECT_TRUE(warnings.empty()) << warnings.front();
        return layout;
    }
    std::string Windows() const { return root + "/windows"; }

    std::string root, program;
};

TEST_F(QuillstoneAppTest, FirstStartAfterInstallShowsNothingAndFindsEverything) {
    const auto layout = Install(1);
    MessageBoxScript script;
    CQuillstoneApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(script.Count(), 0u) << script.Texts().join(" | ").toStdString();
    EXPECT_EQ(app.m_strEdition, "QUILLSTONE");
    EXPECT_EQ(app.m_nInstallationType, 3);
    EXPECT_EQ(app.ProfilePath(), "qstone5.ini");
    EXPECT_TRUE(app.Lexigrove().IsLoaded());
    EXPECT_EQ(qs::app::Settings().workingDirectory, layout.workingDirectory);
    EXPECT_EQ(qs::app::Settings().filesPath, layout.filesPath);
    EXPECT_EQ(app.m_pszHelpFilePath.toStdString(), layout.helpfilesDirectory + "/Qstone.chm");
    EXPECT_TRUE(app.MainFrame()->isVisible());
    EXPECT_EQ(app.MainFrame()->ResourceId(), 128);
    EXPECT_TRUE(app.Heartbeat().IsRunning());
    EXPECT_NE(app.VersionThread(), nullptr);
    EXPECT_EQ(qs::app::ReadClassesRootDefault(".qs3"), "Quillstone.Document");
    EXPECT_TRUE(fs::exists(qs::app::DesktopEntryPath()));
    EXPECT_EQ(app.ProjectSheet()->m_psh.dwFlags & PSH_NOAPPLYNOW, DWORD(PSH_NOAPPLYNOW));
    EXPECT_NE(app.m_cDecimalSeparator, 0);
    app.ExitInstance();
}

TEST_F(QuillstoneAppTest, TemplatesFollowTheEditionsResources) {
    struct Case {
        unsigned long mode;
        const char* edition;
        int type;
        int projectResource, viewResource, frameResource;
        bool scriptingServer;
    };
    for (const Case& c : {Case{1, "QUILLSTONE", 3, 224, 129, 128, false}, Case{2, "QSEE", 2, 326, 328, 326, true}}) {
        SetUp();
        Install(c.mode);
        MessageBoxScript script;
        CQuillstoneApp app;
        ASSERT_TRUE(app.InitInstance()) << c.mode;
        EXPECT_EQ(script.Count(), 0u) << script.Texts().join(" | ").toStdString();
        EXPECT_EQ(app.m_strEdition, c.edition);
        EXPECT_EQ(app.m_nInstallationType, c.type);
        EXPECT_EQ(app.MainFrame()->ResourceId(), c.frameResource);
        // Project, factor library, then the nine views; the servers are kept apart.
        ASSERT_EQ(app.DocTemplates().size(), 11u);
        EXPECT_EQ(app.DocTemplates()[0], static_cast<CDocTemplate*>(app.m_pProjectTemplate));
        EXPECT_EQ(app.DocTemplates()[1], static_cast<CDocTemplate*>(app.m_pDFLTemplate));
        EXPECT_EQ(app.DocTemplates()[6], static_cast<CDocTemplate*>(app.m_pInfoTemplate));
        EXPECT_EQ(app.DocTemplates()[10], static_cast<CDocTemplate*>(app.m_pGraphTemplate));
        EXPECT_EQ(app.m_pProjectTemplate->GetResourceId(), c.projectResource);
        EXPECT_EQ(app.m_pTriangleTemplate->GetResourceId(), c.viewResource);
        EXPECT_EQ(app.m_pInfoTemplate->GetResourceId(), c.scriptingServer ? 328 : 128);
        EXPECT_EQ(app.m_pUpdateTriangleTemplate->GetResourceId(), c.scriptingServer ? 328 : 251);
        EXPECT_EQ(app.m_pAutomationTemplate != nullptr, c.scriptingServer);
        EXPECT_EQ(app.m_pStandaloneTemplate != nullptr, !c.scriptingServer);
        EXPECT_STREQ(app.m_pGraphTemplate->GetViewClass()->m_lpszClassName, "CGraphView");
        EXPECT_STREQ(app.m_pUpdateTriangleTemplate->GetFrameClass()->m_lpszClassName, "CUpdateFrame");
        // The enterprise edition neither checks versions nor registers file types.
        EXPECT_EQ(app.VersionThread() != nullptr, !c.scriptingServer);
        app.ExitInstance();
        EXPECT_EQ(app.m_pAutomationTemplate, nullptr);
    }
}

// Edition and installation type from the files beside the program when the
// registry gives no mode.
TEST_F(QuillstoneAppTest, DetectsTheInstallationFromItsFiles) {
    struct Case {
        const char* name;
        std::vector<std::string> files;  // relative to the program folder; "dir:" makes a folder
        const char* programSubdir;
        const char* edition;
        int type;
        int applicationMode;
    };
    const Case cases[] = {
        {"client", {}, "", "QUILLSTONE", 3, 0},
        {"full", {"SYSDEFS.PC"}, "", "QUILLSTONE", 1, 0},
        {"network client", {"NETWORK.PC"}, "", "QUILLSTONE NETWORK", 6, 0},
        {"network full", {"SYSDEFS.PC", "NETWORK.PC"}, "", "QUILLSTONE NETWORK", 5, 0},
        {"enterprise full", {"sysdefs.pc", "dir:../../Presentation/VantorSnapin"}, "qs2000/BIN", "QSEE", 2, 16},
        {"snap-in is a file", {"SYSDEFS.PC", "file:../../Presentation/VantorSnapin"}, "QS2000/bin", "QUILLSTONE", 1, 0},
    };
    for (const Case& c : cases) {
        SetUp();
        const std::string dir = program + (*c.programSubdir ? std::string("/") + c.programSubdir : "");
        fs::create_directories(dir);
        qs::test::SetEnv("QS_INSTALL_DIR", dir);
        fs::create_directories(Windows());
        for (const std::string& f : c.files) {
            if (f.rfind("dir:", 0) == 0) fs::create_directories(dir + "/" + f.substr(4));
            else if (f.rfind("file:", 0) == 0) {
                fs::create_directories(fs::path(dir + "/" + f.substr(5)).parent_path());
                qs::test::WriteFile(dir + "/" + f.substr(5), "x");
            } else qs::test::WriteFile(dir + "/" + f, "x");
        }
        // Profiles for both editions; registry mode stays unset.
        const auto layout = Install(1);
        fs::copy_file(layout.profile, Windows() + "/qstoneee.ini");
        qs::app::WriteInstallationMode(0);

        MessageBoxScript script;
        CQuillstoneApp app;
        ASSERT_TRUE(app.InitInstance()) << c.name << ": " << script.Texts().join(" | ").toStdString();
        EXPECT_EQ(script.Count(), 0u) << c.name << ": " << script.Texts().join(" | ").toStdString();
        EXPECT_EQ(app.m_strEdition, c.edition) << c.name;
        EXPECT_EQ(app.m_nInstallationType, c.type) << c.name;
        EXPECT_EQ(app.m_nApplicationMode, c.applicationMode) << c.name;
        EXPECT_EQ(fs::path(app.ProfilePath()).filename(), c.type == 2 ? "qstoneee.ini" : "qstone5.ini") << c.name;
        EXPECT_EQ(fs::path(app.ProfilePath()).parent_path(), Windows()) << c.name;
        app.ExitInstance();
    }
}

TEST_F(QuillstoneAppTest, MissingProfileStopsWithTheSetupMessages) {
    qs::app::WriteInstallationMode(0);
    fs::create_directories(Windows());
    MessageBoxScript script;
    CQuillstoneApp app;
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(script.Texts(), (QStringList{QString::fromStdString("Unable to locate [" + Windows() + "/Qstone5.ini] "),
                                           "Unable to perform system intialization.",
                                           "Unable to configure installation type.\nAborting the application!"}));
    EXPECT_EQ(script.Boxes()[0].caption, "Unable to locate");
    EXPECT_EQ(script.Boxes()[2].icon, unsigned(MB_ICONSTOP));
    app.ExitInstance();
}

TEST_F(QuillstoneAppTest, BrokenProfileReportsMissingDirectoriesAndGoesOn) {
    Install(1);
    const std::string profile = Windows() + "/qstone5.ini";
    qs::profile::DeleteKey(profile, "Settings", "System Directory");
    qs::profile::DeleteKey(profile, "Settings", "Working Directory");
    MessageBoxScript script;
    CQuillstoneApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(script.Texts(), (QStringList{"Unable to load the 'System Directory' from the INI file.",
                                           "Unable to load the 'Working Directory' from the INI file."}));
    EXPECT_FALSE(app.Lexigrove().IsLoaded());
    app.ExitInstance();
}

TEST_F(QuillstoneAppTest, StatisticsLibraryLoadsFromTheCleanedSystemDirectory) {
    Install(1);
    const std::string profile = Windows() + "/qstone5.ini";
    qs::profile::WriteString(profile, "Settings", "System Directory", qs::test::BinDir() + "//");
    MessageBoxScript script;
    CQuillstoneApp app;
    ASSERT_TRUE(app.InitInstance());
    ASSERT_TRUE(app.Lexigrove().IsLoaded());
    EXPECT_EQ(app.Lexigrove().LoadedPath(), qs::test::BinDir() + "/libLexgrv.so");
    EXPECT_EQ(qs::app::Settings().systemDirectory, qs::test::BinDir());
    app.ExitInstance();
    EXPECT_FALSE(app.Lexigrove().IsLoaded());
}

// One instance per edition family; the refused one writes nothing and gives
// its count back, so the running one stays the last and writes at its exit.
TEST_F(QuillstoneAppTest, SecondInstanceOfAFamilyIsRefused) {
    const auto layout = Install(1);
    const std::string profile = Windows() + "/qstone5.ini";
    MessageBoxScript script;
    CQuillstoneApp first;
    ASSERT_TRUE(first.InitInstance());

    const std::string before = qs::test::ReadFile(profile);
    {
        CQuillstoneApp second;
        EXPECT_FALSE(second.InitInstance());
        EXPECT_EQ(script.Texts(), QStringList{"Application is running."});
        second.ExitInstance();
    }
    EXPECT_EQ(qs::test::ReadFile(profile), before);

    // The enterprise family runs beside it.
    qs::app::WriteInstallationMode(2);
    fs::copy_file(profile, Windows() + "/qstoneee.ini");
    {
        CQuillstoneApp enterprise;
        EXPECT_TRUE(enterprise.InitInstance());
        EXPECT_EQ(script.Count(), 1u);
        enterprise.ExitInstance();
    }
    EXPECT_EQ(qs::profile::ReadString(profile, "Settings", "Scale"), "");

    qs::app::Settings().scale = 150;  // changed while running
    first.ExitInstance();
    EXPECT_EQ(qs::profile::ReadString(profile, "Settings", "Scale"), "150");
    // And the family is free again.
    qs::app::WriteInstallationMode(1);
    CQuillstoneApp third;
    EXPECT_TRUE(third.InitInstance());
    third.ExitInstance();
}

TEST_F(QuillstoneAppTest, ExitWritesTheSettingsInTheirOrder) {
    Install(1);
    const std::string profile = Windows() + "/qstone5.ini";
    qs::profile::WriteString(profile, "Settings", "Show Table ID#", "yes please");
    qs::profile::WriteString(profile, "Settings", "Files Path", root + "/data/Projects//");
    qs::profile::WriteString(profile, "Settings", "DisplayGraphLockItem", "1");
    qs::profile::WriteString(profile, "LayerColors", "Gross", "300,0,0,");
    MessageBoxScript script;
    CQuillstoneApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_TRUE(qs::app::Settings().showTableId);
    EXPECT_TRUE(qs::app::Settings().displayGraphLockItem);
    EXPECT_EQ(qs::app::Settings().filesPath, root + "/data/Projects");
    EXPECT_EQ(qs::app::Settings().layerColors[1], 44u);
    app.ExitInstance();

    // Keys that were in the file keep their place; the others follow in the
    // write-back order.
    EXPECT_EQ(qs::profile::Keys(profile, "Settings"),
              (std::vector<std::string>{"System Directory", "Working Directory", "Files Path", "Helpfiles Directory",
                                        "Show Table ID#", "DisplayGraphLockItem", "Scale",
                                        "Show Differnt Colors For Layers", "DefaultLayer", "ColumnSumFullPrecision",
                                        "Auto Open MRU File", "Enter Moves", "Default Show", "View Data Only",
                                        "View Calculated", "View Entered", "View Selected Tables", "Pattern",
                                        "Pattern ROFG", "Pattern ROBG", "Show Start Dialog", "LexigrovePath"}));
    EXPECT_EQ(qs::profile::Keys(profile, "LayerColors"),
              (std::vector<std::string>{"Gross", "Net", "Ceded", "Direct", "Assumed"}));
    EXPECT_EQ(qs::profile::ReadString(profile, "Settings", "Show Table ID#"), "Yes");
    EXPECT_EQ(qs::profile::ReadString(profile, "Settings", "Files Path"), root + "/data/Projects");
    EXPECT_EQ(qs::profile::ReadString(profile, "LayerColors", "Gross"), "44,0,0,");
    EXPECT_EQ(qs::profile::ReadString(profile, "Settings", "Auto Open MRU File"), "No");
    EXPECT_EQ(qs::profile::ReadString(profile, "Settings", "System Directory"), qs::test::BinDir());
}

// An installation that only runs as an automation server refuses a user's
// start after taking its count; the user's settings must survive that.
TEST_F(QuillstoneAppTest, RefusedEnterpriseClientLeavesTheUsersSettingsAlone) {
    qs::test::WriteFile(program + "/QuillstoneEnterpriseSnapin.dll", "x");
    const std::string profile = Windows() + "/qstoneee.ini";
    fs::create_directories(Windows());
    const std::string text = "[Settings]\nFiles Path=/projects/mine\n[LayerColors]\nNet=255,0,0,\n";
    qs::test::WriteFile(profile, text);
    MessageBoxScript script;
    {
        CQuillstoneApp app;
        EXPECT_FALSE(app.InitInstance());
        EXPECT_EQ(app.m_nInstallationType, 4);
        EXPECT_EQ(script.Texts(), QStringList{"This program only runs as a part of Quillstone Enterprise Edition!"});
        app.ExitInstance();
    }
    EXPECT_EQ(qs::test::ReadFile(profile), text);

    // Started for automation it runs.
    CQuillstoneApp server;
    server.SetCommandLine({"/Automation"});
    EXPECT_TRUE(server.InitInstance());
    EXPECT_FALSE(server.MainFrame()->isVisible());
    server.ExitInstance();
}

TEST_F(QuillstoneAppTest, UnknownRegistryModeRunsWithoutEditionOrCounter) {
    Install(3);
    MessageBoxScript script;
    CQuillstoneApp first, second;
    ASSERT_TRUE(first.InitInstance());
    EXPECT_EQ(first.m_nInstallationType, 0);
    EXPECT_EQ(first.m_strEdition, "");
    EXPECT_EQ(first.m_pAutomationTemplate, nullptr);
    EXPECT_EQ(first.m_pStandaloneTemplate, nullptr);
    EXPECT_EQ(qs::app::ReadClassesRootDefault(".qs5"), "");
    // No single-instance check.
    EXPECT_TRUE(second.InitInstance());
    second.ExitInstance();
    first.ExitInstance();
    // The default profile was read (and reported missing), nothing written.
    EXPECT_FALSE(fs::exists(Windows() + "/Qstone.ini"));
    EXPECT_EQ(script.Texts().count("Unable to load the 'System Directory' from the INI file."), 2);
}

TEST_F(QuillstoneAppTest, TerminalServerUserGetsOwnFoldersOnce) {
    const auto layout = Install(1);
    qs::app::WriteInstallationMode(0);
    qs::test::WriteFile(layout.workingDirectory + "/stats.def", "machine stats");
    qs::test::WriteFile(layout.workingDirectory + "/styles/DEF_ARR.RGS", "machine style");
    fs::create_directories(layout.workingDirectory + "/data");
    qs::test::WriteFile(layout.workingDirectory + "/data/sample.qs5", "sample");
    qs::profile::WriteString(layout.profile, "Settings", "Dictionary Path", root + "/dict/");
    fs::create_directories(root + "/dict");
    fs::create_directories(root + "/home/Windows");
    qs::test::SetEnv("QS_TERMSERV_QS", "YES");

    const std::string userWork = root + "/home/QUILLSTONE";
    for (int run = 0; run < 2; ++run) {
        MessageBoxScript script;
        CQuillstoneApp app;
        ASSERT_TRUE(app.InitInstance()) << script.Texts().join(" | ").toStdString();
        EXPECT_EQ(script.Count(), 0u) << script.Texts().join(" | ").toStdString();
        EXPECT_TRUE(app.m_bTerminalServer);
        EXPECT_EQ(app.ProfilePath(), root + "/home/Windows/qstone5.ini");
        EXPECT_EQ(qs::app::Settings().workingDirectory, userWork);
        EXPECT_EQ(qs::app::Settings().filesPath, userWork + "/Data");
        EXPECT_EQ(qs::profile::ReadString(app.ProfilePath(), "Settings", "Dictionary Path"), root + "/dict");
        EXPECT_EQ(qs::profile::ReadString(app.ProfilePath(), "TERMINAL SERVER", "Initialization Done"), "YES");
        EXPECT_EQ(qs::test::ReadFile(userWork + "/Data/sample.qs5"), "sample");
        if (run == 0) {
            EXPECT_EQ(qs::test::ReadFile(userWork + "/stats.def"), "machine stats");
            // The user's own changes must survive the next start.
            qs::test::WriteFile(userWork + "/stats.def", "mine");
            qs::test::WriteFile(userWork + "/styles/DEF_ARR.RGS", "my style");
        } else {
            EXPECT_EQ(qs::test::ReadFile(userWork + "/stats.def"), "mine");
            EXPECT_EQ(qs::test::ReadFile(userWork + "/styles/DEF_ARR.RGS"), "my style");
        }
        app.ExitInstance();
    }
    // The machine's profile is untouched by the users' runs.
    EXPECT_EQ(qs::profile::ReadString(layout.profile, "Settings", "Scale"), "");
}

TEST_F(QuillstoneAppTest, InstallationKeepsTheUsersFoldersOnASecondRun) {
    auto layout = Install(1);
    const std::string mine = root + "/my-projects";
    fs::create_directories(mine);
    qs::profile::WriteString(layout.profile, "Settings", "Files Path", mine);
    layout = Install(1);
    EXPECT_EQ(layout.filesPath, mine);
    EXPECT_EQ(qs::profile::ReadString(layout.profile, "Settings", "Files Path"), mine);
    // A folder that disappeared is laid out again.
    fs::remove_all(layout.workingDirectory);
    layout = Install(1);
    EXPECT_TRUE(fs::exists(layout.workingDirectory + "/styles/DEF_SDF.RGS"));
    EXPECT_TRUE(fs::exists(layout.workingDirectory + "/graphs.rgb"));
}

TEST_F(QuillstoneAppTest, ExitWaitsForTheTailFactorProgramAndHelpNamesAMissingFile) {
    const auto layout = Install(1);
    MessageBoxScript script;
    CQuillstoneApp app;
    ASSERT_TRUE(app.InitInstance());
    {
        QWidget crx;
        crx.setWindowTitle("Duvi Rozire Vididaze");
        EXPECT_TRUE(app.OnCmdMsg(qs::cmd::kAppExit, CN_COMMAND, nullptr, nullptr));
        EXPECT_EQ(script.Texts(),
                  QStringList{"Please close the Duvi Rozire Vididaze application prior to performing this command."});
        EXPECT_NE(app.m_pMainWnd, nullptr);
    }
    app.OnCmdMsg(qs::cmd::kHelpContents, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(script.Last().text, QString::fromStdString("Cannot find the help file " + layout.helpfilesDirectory +
                                                         "/Qstone.chm."));
    app.OnCmdMsg(qs::cmd::kAppExit, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(script.Count(), 2u);
    app.ExitInstance();
}

// Under automation a start-up failure also goes to the log file, and the
// kernel learns that the log holds an error even when the file cannot be written.
TEST_F(QuillstoneAppTest, StartupErrorsUnderAutomationGoToTheLogFile) {
    MessageBoxScript script;
    CQuillstoneApp app;
    const std::string log = root + "/run.log";
    qs::test::WriteFile(log, "earlier");
    app.m_bInteractive = FALSE;
    app.m_strLogFilePath = log;
    gbLogFileContainsError = false;
    app.ReportStartupError("Unable to load the 'System Directory' from the INI file.");
    const std::string text = qs::test::ReadFile(log);
    EXPECT_EQ(text.rfind("earlier\n", 0), 0u) << text;
    EXPECT_NE(text.find("  Unable to load the 'System Directory' from the INI file."), std::string::npos) << text;
    EXPECT_TRUE(gbLogFileContainsError);
    EXPECT_EQ(script.Count(), 1u);

    gbLogFileContainsError = false;
    app.m_strLogFilePath = root + "/no/such/folder/run.log";
    app.ReportStartupError("Could not create spreadsheet window.\nPlease check that all DLLs are in place.", true);
    EXPECT_TRUE(gbLogFileContainsError);
    EXPECT_EQ(script.Count(), 1u);  // no visible main window: no box
}

// While the application runs, the kernel's trace handle is a pipe of the
// message library: a trace sent with it reaches the library's output (the
// debugger output, no debug-window server running here) and is no unknown
// handle. The handle goes back at exit.
TEST_F(QuillstoneAppTest, KernelTracesReachTheMessageLibrary) {
    Install(1);
    MessageBoxScript script;
    CQuillstoneApp app;
    ASSERT_TRUE(app.InitInstance());
    ASSERT_NE(hdbg, nullptr);
    faultbox::SharedMessageOptions& options = faultbox::SharedOptions();
    const faultbox::SharedMessageOptions saved = options;
    options.TraceMsgs = 1;
    std::string out;
    {
        CaptureStderr capture;
        TraceMessage(static_cast<void**>(hdbg), "CKDVData::Load()", "kernel.cpp", 12, "Jan  1 2026", "12:00:00");
        out = capture.Text();
    }
    options = saved;
    EXPECT_NE(out.find("TRACE_MSG: CKDVData::Load()  FILE: kernel.cpp  LINE: 12  LAST COMPILED: Jan  1 2026 12:00:00"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("Could not find specified pipe ID"), std::string::npos) << out;
    app.ExitInstance();
    EXPECT_EQ(hdbg, nullptr);
    EXPECT_EQ(script.Count(), 0u) << script.Texts().join(" | ").toStdString();
}

// A font record that cannot be read whole is shown to the user once.
TEST_F(QuillstoneAppTest, DamagedFontRecordIsShownToTheUser) {
    Install(1);
    MessageBoxScript script;
    CQuillstoneApp app;
    ASSERT_TRUE(app.InitInstance());
    CLOGFONT font;
    const std::uint8_t truncated[30] = {};
    EXPECT_FALSE(font.Load(truncated, sizeof truncated));
    ASSERT_EQ(script.Count(), 1u);
    EXPECT_EQ(script.Last().text, "void CLOGFONT::Serialize( CArchive& ar):CArchive Exception Error!");
    app.ExitInstance();
}

TEST_F(QuillstoneAppTest, ConsoleTraceFollowsTheMachineKey) {
    const std::string dir = qs::test::MakeTempDir("console");
    qs::registry::WriteDword(HKEY_LOCAL_MACHINE, qs::app::kConsoleKey, "IsEnable", 1);
    qs::registry::WriteString(HKEY_LOCAL_MACHINE, qs::app::kConsoleKey, "Directory", dir);
    qs::trace::InitConsoleTrace();
    { CTraceScope scope("CMethodView::~CMethodView()"); }
    qs::trace::CloseConsoleTrace();
    EXPECT_EQ(qs::test::ReadFile(dir + "/console.txt"), "1000 CMethodView::~CMethodView()\n1000 CMethodView::~CMethodView()\n\n");
    qs::registry::WriteDword(HKEY_LOCAL_MACHINE, qs::app::kConsoleKey, "IsEnable", 0);
    qs::trace::InitConsoleTrace();
    EXPECT_FALSE(qs::trace::IsConsoleTraceEnabled());
}

// Out of process: the heartbeat of a running qstone is visible here, a
// killed instance does not block the next start, and a second one is refused.
TEST_F(QuillstoneAppTest, ProgramInstancesAcrossProcesses) {
    Install(1);
    qs::test::UnsetEnv("QS_INSTALL_DIR");
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString qstone = QString::fromStdString(qs::test::BinDir() + "/qstone");
    const std::string block = CInstanceHeartbeat::BlockName(1, qs::env::UserName());

    auto startAndWaitForHeartbeat = [&](QProcess& p) {
        p.setProcessEnvironment(env);
        p.start(qstone, {});
        EXPECT_TRUE(p.waitForStarted(5000));
        std::uint32_t pid = 0, tick = 0;
        return QTest::qWaitFor(
            [&] { return CInstanceHeartbeat::ReadRecord(block, pid, tick) && pid == std::uint32_t(p.processId()); },
            10000);
    };

    QProcess first;
    ASSERT_TRUE(startAndWaitForHeartbeat(first));
    ::kill(pid_t(first.processId()), SIGKILL);
    first.waitForFinished(5000);

    QProcess second;
    ASSERT_TRUE(startAndWaitForHeartbeat(second)) << second.readAllStandardError().toStdString();

    QProcess refused;
    refused.setProcessEnvironment(env);
    refused.start(qstone, {});
    ASSERT_TRUE(refused.waitForFinished(10000));
    EXPECT_TRUE(refused.readAllStandardError().contains("Application is running."));

    second.terminate();  // the Exit road: the last instance writes the settings
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_EQ(qs::profile::ReadString(root + "/windows/qstone5.ini", "Settings", "Scale"), "100");
}

}  // namespace
