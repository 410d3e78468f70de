// The library loaded by a second process with dlopen, as client programs
// load it: start-up from the options file, every export found by name, and
// switches changed in one process reaching another that is already running.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <future>
#include <string>
#include <sys/wait.h>
#include <thread>

#include "CDebugOptionsDlg.h"
#include "CaptureStderr.h"
#include "FaultboxApi.h"
#include "ModalScript.h"
#include "QsEnvironment.h"
#include "TestEnvironment.h"

namespace {

struct ClientRun {
    int exitCode = -1;
    std::string out;  // the client's own results
    std::string err;  // the library's debugger output
};

// Runs the client program with `arguments`; `environment` is prepended to
// the command ("NAME=value ...").
ClientRun RunClient(const std::string& arguments, const std::string& environment = std::string()) {
    const std::string errPath = qs::test::MakeTempDir("client") + "/err.txt";
    const std::string command =
        environment + " " + qs::test::BinDir() + "/faultbox_client " + arguments + " 2>" + errPath;
    ClientRun r;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return r;
    std::array<char, 512> buf{};
    while (std::fgets(buf.data(), buf.size(), p)) r.out += buf.data();
    const int status = ::pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = qs::test::ReadFile(errPath);
    return r;
}

std::string Ini() { return qs::env::WindowsDirectory() + "/system.ini"; }

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(FaultboxProcess, EveryExportWorksFromAProcessThatLoadsTheLibrary) {
    // A key present with an empty value counts as on.
    qs::test::WriteFile(Ini(), "[PCraftr Error Display Driver]\nTraceMsgs=\nTraceFile=0\nCErrorsDebugWin=1\n"
                               "ShowPriority=0\n");
    ClientRun r = RunClient("exports register trace hello error oops alert 1 filtered driver drv boot 1 unregister close");
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "exports ok\nhandle ok\nboot=1\n");
    const char* expectedInOrder[] = {
        "CFaultboxDll::CFaultboxDll()\n",
        "BOOL CFaultboxDll::InitInstance(): Beginning\n",
        "BOOL CFaultboxDll::InitInstance(): Finished Successfully\n",
        ": Success! Pipe Created\n",
        "init_drv CreateDispatch Failed\n",
        "TRACE_MSG: hello  FILE: client.cpp  LINE: 42  LAST COMPILED: Jan  1 2026 12:00:00\n",
        "*****ERRORMSG: oops FILE: client.cpp LINE: 42 LAST COMPILED: Jan  1 2026 12:00:00\n",
        "TRACE_MSG: Entered [faultbox.dll] AlertMessage()\n",
        "PCrftFaultbox: drv\tlParam1 = 00000001, lParam2 = 00000002\n\r",
        ": Pipe Deleted Successfully\n",
        "void CFaultboxDll::CloseErrorDll()\n",
        "int CFaultboxDll::ExitInstance()\n",
        "CFaultboxDll::~CFaultboxDll()\n",
    };
    std::size_t at = 0;
    for (const char* line : expectedInOrder) {
        std::size_t found = r.err.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << r.err;
        at = found + 1;
    }
    EXPECT_FALSE(Contains(r.err, "**ALERT:"));  // priority '0' shows no alert
    EXPECT_TRUE(Contains(qs::test::ReadFile(Ini()), "drivers= faultbox.dll"));
}

TEST(FaultboxProcess, MissingOptionsFileTurnsEverythingOff) {
    std::filesystem::remove(Ini());
    ClientRun r = RunClient("register trace silent error silent alert 1 silent driver silent");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(Contains(r.err, "silent")) << r.err;
}

TEST(FaultboxProcess, FailedStartUpLeavesTheLibraryInert) {
    const std::string missing = qs::test::MakeTempDir("gone") + "/no-such-windows";
    ClientRun r = RunClient("register trace lost boot 1", "QS_WINDOWS_DIR=" + missing);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "handle null\nboot=0\n");
    EXPECT_TRUE(Contains(r.err, "Given Windows System directory does not exist!")) << r.err;
    EXPECT_TRUE(Contains(r.err, "Failed to get system information in Errordll module!")) << r.err;
    EXPECT_TRUE(Contains(r.err, "Failed to perform system intialization in Errordll module!")) << r.err;
    EXPECT_FALSE(Contains(r.err, "InitInstance(): Beginning")) << r.err;
    EXPECT_FALSE(Contains(r.err, "lost")) << r.err;
}

TEST(FaultboxProcess, TerminalServerUsersShareTheMachineOptions) {
    // The user's own Windows directory exists and holds a system.ini of its
    // own; the options still come from the machine's.
    const std::string system = qs::test::MakeTempDir("system");
    const std::string root = qs::test::MakeTempDir("rootdrive");
    std::filesystem::create_directories(root + "/Windows");
    qs::test::WriteFile(qs::env::WindowsDirectory() + "/Qstone5.ini", "[Settings]\nSystem Directory=" + system + "\n");
    qs::test::WriteFile(root + "/Windows/system.ini", "[PCraftr Error Display Driver]\nTraceMsgs=0\n");
    qs::test::WriteFile(Ini(), "[PCraftr Error Display Driver]\nTraceMsgs=1\n");
    ClientRun r = RunClient("register trace shared", "QS_TERMSERV_QS=YES ROOTDRIVE=" + root);
    EXPECT_EQ(r.out, "handle ok\n") << r.err;
    EXPECT_TRUE(Contains(r.err, "TRACE_MSG: shared  FILE: client.cpp")) << r.err;
}

TEST(FaultboxProcess, OptionsProgramFindsTheAppletByName) {
    const std::string out = [] {
        std::string text;
        FILE* p = ::popen((qs::test::BinDir() + "/faultboxcpl --list 2>/dev/null").c_str(), "r");
        std::array<char, 256> buf{};
        while (p && std::fgets(buf.data(), buf.size(), p)) text += buf.data();
        if (p) ::pclose(p);
        return text;
    }();
    EXPECT_EQ(out, "PCRFT Err Hndlr\tPCraftr Error Handler Configuration\n");
}

TEST(FaultboxProcess, SwitchesChangedByTheAppletReachARunningProcess) {
    std::filesystem::remove(Ini());
    {
        CaptureStderr quiet;
        ASSERT_NE(RegisterErrorDll(), nullptr);  // this process has the library started
    }
    const std::string dir = qs::test::MakeTempDir("handshake");
    const std::string ready = dir + "/ready", go = dir + "/go";
    // The client starts with every switch off (no options file), says so,
    // and traces only after this process has changed the switches.
    auto client = std::async(std::launch::async, [&] {
        return RunClient("register trace before touch " + ready + " wait " + go + " trace after");
    });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!std::filesystem::exists(ready) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(std::filesystem::exists(ready));

    qs::fw::ModalScript script;
    script.Then<CDebugOptionsDlg>([](CDebugOptionsDlg& dlg) {
        dlg.findChild<QCheckBox*>(QString::number(CDebugOptionsDlg::IDC_TRACE_DEBUGWIN))->setChecked(true);
        dlg.accept();
    });
    {
        CaptureStderr quiet;
        EXPECT_EQ(CPlApplet(nullptr, CPL_DBLCLK, 0, 0), 0);
    }
    EXPECT_TRUE(script.AllHandled());
    qs::test::WriteFile(go, "go");

    ClientRun r = client.get();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(Contains(r.err, "TRACE_MSG: before")) << r.err;
    EXPECT_TRUE(Contains(r.err, "TRACE_MSG: after  FILE: client.cpp")) << r.err;
}

}  // namespace
