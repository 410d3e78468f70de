// Errors, alerts and traces through the exported functions of this process:
// which outputs each switch and priority lets through, and exactly what
// arrives. No server runs, so the pipe hands every line to the debugger
// output (standard error), prefixed by the library's own debugger line for
// the window or the file path.
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "CaptureStderr.h"
#include "CFaultboxDll.h"
#include "FaultboxApi.h"
#include "MessageBox.h"
#include "QsEnvironment.h"
#include "SharedMessageOptions.h"
#include "TestEnvironment.h"

namespace {

constexpr const char* kScreen = "void CFaultboxDll::OutScreenMessage(LPHANDLE hdbg, LPCSTR lpcstr)\n";
constexpr const char* kFile = "void CFaultboxDll::OutFileMessage(LPHANDLE hdbg, LPCSTR lpcstr)\n";
constexpr const char* kNoPipe = "ERROR: Could not find specified pipe ID for OutMessage\n";
constexpr const char* kDate = "Jan  1 2026";
constexpr const char* kTime = "12:00:00";

void** g_handle = nullptr;

class FaultboxMessages : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Starting the library must not move the host's working directory.
        const auto before = std::filesystem::current_path();
        CaptureStderr quiet;
        g_handle = RegisterErrorDll();
        ASSERT_NE(g_handle, nullptr) << quiet.Text();
        EXPECT_EQ(std::filesystem::current_path(), before);
        // The pipe's one connection attempt happens on its first line.
        auto& o = faultbox::SharedOptions();
        o.TraceMsgs = 1;
        TraceMessage(g_handle, "warm-up", "t.cpp", 1, kDate, kTime);
        const std::string text = quiet.Text();
        EXPECT_NE(text.find("init_drv CreateDispatch Failed\n"), std::string::npos) << text;
    }

    void SetUp() override { faultbox::InitialiseSharedMessageOptions(faultbox::SharedOptions()); }
};

enum class Kind { Error, Alert, Trace };

struct FilterCase {
    const char* name;
    // CErrorsMsgBox, CErrorsDebugWin, AlertMsgBox, AlertDebugWin, TraceMsgs, ErrorFile, AlertFile, TraceFile
    int switches[8];
    char showPriority;
    Kind kind;
    char priority;
    std::string output;   // exactly what reaches the debugger output
    std::string boxText;  // empty: no box
    const char* caption;
    friend std::ostream& operator<<(std::ostream& os, const FilterCase& c) { return os << c.name; }
};

const std::string kErr = "*****ERRORMSG: m FILE: f.cpp LINE: 7 LAST COMPILED: Jan  1 2026 12:00:00\n";
const std::string kTrace = "TRACE_MSG: m  FILE: f.cpp  LINE: 7  LAST COMPILED: Jan  1 2026 12:00:00\n";
const std::string kEntered = "TRACE_MSG: Entered [faultbox.dll] AlertMessage()\n";
std::string AlertOut(const char* word) {
    return std::string("**ALERT:") + word + "m FILE: f.cpp LINE: 7 LAST COMPILED: Jan  1 2026 12:00:00\n";
}
const std::string kBoxTail = "Debug Mode Message\n\nm\n\nFILE: f.cpp\nLINE: 7\nLAST COMPILED: Jan  1 2026 12:00:00\n";

class Filters : public FaultboxMessages, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(Filters, SendExactlyWhatTheSwitchesAllow) {
    const FilterCase& c = GetParam();
    auto& o = faultbox::SharedOptions();
    o.CErrorsMsgBox = c.switches[0];
    o.CErrorsDebugWin = c.switches[1];
    o.AlertMsgBox = c.switches[2];
    o.AlertDebugWin = c.switches[3];
    o.TraceMsgs = c.switches[4];
    o.ErrorFile = c.switches[5];
    o.AlertFile = c.switches[6];
    o.TraceFile = c.switches[7];
    o.ShowPriority = c.showPriority;

    qs::fw::MessageBoxScript boxes;
    CaptureStderr out;
    switch (c.kind) {
    case Kind::Error: ErrorMessage(g_handle, "m", "f.cpp", 7, kDate, kTime, nullptr); break;
    case Kind::Alert: AlertMessage(g_handle, c.priority, "m", "f.cpp", 7, kDate, kTime, nullptr); break;
    case Kind::Trace: TraceMessage(g_handle, "m", "f.cpp", 7, kDate, kTime); break;
    }
    EXPECT_EQ(out.Text(), c.output);
    if (c.boxText.empty()) {
        EXPECT_EQ(boxes.Count(), 0u);
    } else {
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().text.toStdString(), c.boxText);
        EXPECT_EQ(boxes.Last().caption.toStdString(), c.caption);
        EXPECT_EQ(boxes.Last().type, 8192u);  // task-modal, no icon, OK only
    }
}

const std::string S = kScreen;
const std::string F = kFile;

INSTANTIATE_TEST_SUITE_P(
    Table, Filters,
    ::testing::Values(
        FilterCase{"AllOffError", {0, 0, 0, 0, 0, 0, 0, 0}, '3', Kind::Error, '1', "", "", ""},
        FilterCase{"AllOffAlert", {0, 0, 0, 0, 0, 0, 0, 0}, '3', Kind::Alert, '1', "", "", ""},
        FilterCase{"AllOffTrace", {0, 0, 0, 0, 0, 0, 0, 0}, '3', Kind::Trace, '1', "", "", ""},
        FilterCase{"ErrorBoxOnly", {1, 0, 0, 0, 0, 0, 0, 0}, '0', Kind::Error, '1', "", "ERRORMSG: " + kBoxTail,
                   "ERROR MESSAGE BOX"},
        FilterCase{"ErrorWindowAndFile", {0, 1, 0, 0, 0, 1, 0, 0}, '0', Kind::Error, '1', S + kErr + F + kErr, "", ""},
        FilterCase{"ErrorFileOnly", {0, 0, 0, 0, 0, 1, 0, 0}, '0', Kind::Error, '1', F + kErr, "", ""},
        FilterCase{"ErrorIgnoresAlertAndTraceSwitches", {0, 0, 1, 1, 1, 0, 1, 1}, '3', Kind::Error, '1', "", "", ""},
        FilterCase{"AlertEnteredLineEvenWhenFiltered", {0, 0, 0, 0, 1, 0, 0, 0}, '3', Kind::Alert, '1',
                   S + kEntered, "", ""},
        FilterCase{"AlertEnteredLineBeforePriorityFilter", {0, 0, 0, 1, 1, 0, 0, 0}, '0', Kind::Alert, '1',
                   S + kEntered, "", ""},
        FilterCase{"PriorityZeroShowsNoAlert", {0, 0, 1, 1, 0, 0, 1, 0}, '0', Kind::Alert, '1', "", "", ""},
        FilterCase{"PriorityTwoPassesWarning", {0, 0, 0, 1, 0, 0, 0, 0}, '2', Kind::Alert, '2',
                   S + AlertOut("WARNING - "), "", ""},
        FilterCase{"PriorityTwoStopsInformational", {0, 0, 0, 1, 0, 0, 0, 0}, '2', Kind::Alert, '3', "", "", ""},
        FilterCase{"PriorityThreePassesCritical", {0, 0, 0, 0, 0, 0, 1, 0}, '3', Kind::Alert, '1',
                   F + AlertOut("CRITICAL - "), "", ""},
        FilterCase{"PriorityThreePassesInformational", {0, 0, 0, 1, 0, 0, 1, 0}, '3', Kind::Alert, '3',
                   S + AlertOut("INFORMATIONAL - ") + F + AlertOut("INFORMATIONAL - "), "", ""},
        FilterCase{"OddPriorityPassesWithoutWord", {0, 0, 1, 1, 0, 0, 0, 0}, '3', Kind::Alert, '0', S + AlertOut(""),
                   "ALERT: " + kBoxTail, "ALERT MESSAGE BOX"},
        FilterCase{"AlertBoxWithWord", {0, 0, 1, 0, 0, 0, 0, 0}, '1', Kind::Alert, '1', "",
                   "ALERT: CRITICAL " + kBoxTail, "ALERT MESSAGE BOX"},
        FilterCase{"TraceWindow", {0, 0, 0, 0, 1, 0, 0, 0}, '0', Kind::Trace, '1', S + kTrace, "", ""},
        FilterCase{"TraceFileOnly", {0, 0, 0, 0, 0, 0, 0, 1}, '0', Kind::Trace, '1', F + kTrace, "", ""},
        FilterCase{"TraceIgnoresOtherSwitches", {1, 1, 1, 1, 0, 1, 1, 0}, '3', Kind::Trace, '1', "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FaultboxMessages, LongErrorReachesWindowAndFileAsItsLast250Characters) {
    auto& o = faultbox::SharedOptions();
    o.CErrorsMsgBox = o.CErrorsDebugWin = o.ErrorFile = 1;
    const std::string message = std::string(150, 'a') + std::string(150, 'z');
    const std::string line = "*****ERRORMSG: " + message + " FILE: f.cpp LINE: 7 LAST COMPILED: Jan  1 2026 12:00:00\n";
    const std::string cut = line.substr(line.size() - 250);
    qs::fw::MessageBoxScript boxes;
    CaptureStderr out;
    ErrorMessage(g_handle, message.c_str(), "f.cpp", 7, kDate, kTime, nullptr);
    EXPECT_EQ(out.Text(), S + cut + F + cut);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_NE(boxes.Last().text.toStdString().find(message), std::string::npos);  // the box shows it whole
}

TEST_F(FaultboxMessages, UnknownHandleLosesTheLineButNotTheBox) {
    auto& o = faultbox::SharedOptions();
    o.CErrorsMsgBox = o.CErrorsDebugWin = o.ErrorFile = 1;
    int notAPipe = 0;
    qs::fw::MessageBoxScript boxes;
    CaptureStderr out;
    ErrorMessage(reinterpret_cast<void**>(&notAPipe), "m", "f.cpp", 7, kDate, kTime, nullptr);
    EXPECT_EQ(out.Text(), S + kNoPipe + F + kNoPipe);
    EXPECT_EQ(boxes.Count(), 1u);
}

TEST_F(FaultboxMessages, PipesRegisterAndUnregister) {
    CaptureStderr out;
    void** second = RegisterErrorDll();
    ASSERT_NE(second, nullptr);
    UnRegisterErrorDll(second);
    UnRegisterErrorDll(second);  // gone now
    CloseErrorDll();
    FilterDllMsg(nullptr);
    ProcessDllIdle();
    EXPECT_EQ(out.Text(),
              "LPHANDLE CFaultboxDll::RegisterErrorDll()\n"
              "CDebugMessagePipe::CDebugMessagePipe()\n"
              ": Success! Pipe Created\n"
              "void CFaultboxDll::UnRegisterErrorDll(LPHANDLE hdbg)\n"
              "CDebugMessagePipe::~CDebugMessagePipe()\n"
              ": Pipe Deleted Successfully\n"
              "void CFaultboxDll::UnRegisterErrorDll(LPHANDLE hdbg)\n"
              ": ERROR;Pipe not found for UnRegister call\n"
              "void CFaultboxDll::CloseErrorDll()\n");
    EXPECT_EQ(FilterDllMsg(nullptr), 1);
}

TEST_F(FaultboxMessages, DriverMessagesFollowTheTraceSwitch) {
    auto& o = faultbox::SharedOptions();
    {
        CaptureStderr out;
        DebugDriverMessage("quiet", 1, 2);
        EXPECT_EQ(out.Text(), "");
    }
    o.TraceMsgs = 1;
    CaptureStderr out;
    DebugDriverMessage("loud", 1, 2);
    EXPECT_EQ(out.Text(), "PCrftFaultbox: loud\tlParam1 = 00000001, lParam2 = 00000002\n\r");
}

// The drivers line of section "boot" in the options file.
class BootDrivers : public FaultboxMessages {
protected:
    std::string Ini() const { return qs::env::WindowsDirectory() + "/system.ini"; }
};

TEST_F(BootDrivers, LongLinesAndLookAlikesSurviveAndNothingIsWrittenWithoutAChange) {
    const std::string longLine = std::string(190, 'a') + ".drv xfaultbox.dll " + std::string(60, 'b') + ".drv";
    qs::test::WriteFile(Ini(), "[boot]\ndrivers=" + longLine + "\n");
    EXPECT_EQ(UpdateBootDrivers(1), 1);
    EXPECT_EQ(qs::test::ReadFile(Ini()), "[boot]\ndrivers=" + longLine + " faultbox.dll\n");
    EXPECT_EQ(UpdateBootDrivers(1), 1);  // one entry, not two
    EXPECT_EQ(qs::test::ReadFile(Ini()), "[boot]\ndrivers=" + longLine + " faultbox.dll\n");
    EXPECT_EQ(UpdateBootDrivers(0), 1);
    EXPECT_EQ(qs::test::ReadFile(Ini()), "[boot]\ndrivers=" + longLine + "\n");

    // Without the entry, removing leaves the file as it was, down to its
    // spelling, and does not make a missing file.
    qs::test::WriteFile(Ini(), "; kept\n[BOOT]\nDrivers = mmsystem.dll\n");
    EXPECT_EQ(UpdateBootDrivers(0), 1);
    EXPECT_EQ(qs::test::ReadFile(Ini()), "; kept\n[BOOT]\nDrivers = mmsystem.dll\n");
    std::filesystem::remove(Ini());
    EXPECT_EQ(UpdateBootDrivers(0), 1);
    EXPECT_FALSE(std::filesystem::exists(Ini()));
}

}  // namespace
