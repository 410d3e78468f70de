// The pipes of one process and the debug-window server: the first pipe
// starts the server, a second joins it, switch changes are re-applied on the
// next message, and dropping the last pipe closes the window and the file
// and shuts the server down. The server is a recording stand-in started by
// bus activation on this test's private bus.
#include <gtest/gtest.h>

#include <QStringList>

#include <string>

#include "AutomationClient.h"
#include "CFaultboxDll.h"
#include "CaptureStderr.h"
#include "FaultboxApi.h"
#include "SharedMessageOptions.h"

namespace {

QStringList ServerCalls() {
    qs::automation::AutomationClient client;
    if (!client.AttachRunning("Ruz_iv.Document")) return {"<not running>"};
    return client.Call("Calls").value.toStringList();
}

TEST(DebugPipe, TalksToTheServerInTheOrderItExpects) {
    CaptureStderr err;
    ASSERT_NE(CFaultboxDll::Instance(), nullptr);
    auto& o = faultbox::SharedOptions();
    o.TraceMsgs = 1;
    o.TraceFile = 1;
    CFaultboxDll::SetMessageFileName("/tmp/trace.dbg");
    const QString line = "TRACE_MSG: one  FILE: p.cpp  LINE: 5  LAST COMPILED: Jan  1 2026 12:00:00\n";

    void** first = RegisterErrorDll();
    TraceMessage(first, "one", "p.cpp", 5, "Jan  1 2026", "12:00:00");
    EXPECT_EQ(ServerCalls(), QStringList({"StartUp", "OpenScreen", "OpenFile(/tmp/trace.dbg)", "AddMessage(" + line + ")",
                                          "AddFileMessage(" + line + ")"}));

    // A second pipe joins the running server: no StartUp.
    void** second = RegisterErrorDll();
    TraceMessage(second, "one", "p.cpp", 5, "Jan  1 2026", "12:00:00");
    EXPECT_EQ(ServerCalls().mid(5), QStringList({"OpenScreen", "OpenFile(/tmp/trace.dbg)", "AddMessage(" + line + ")",
                                                 "AddFileMessage(" + line + ")"}));

    // Changed switches are applied to the newest pipe before the next message.
    o.TraceMsgs = 0;
    CFaultboxDll::Instance()->ChangeToInit();
    TraceMessage(first, "one", "p.cpp", 5, "Jan  1 2026", "12:00:00");
    EXPECT_EQ(ServerCalls().mid(9),
              QStringList({"CloseScreen", "OpenFile(/tmp/trace.dbg)", "AddFileMessage(" + line + ")"}));

    // Dropping a pipe that is not the last one sends nothing; the last one
    // closes both outputs and shuts the server down.
    UnRegisterErrorDll(second);
    EXPECT_EQ(ServerCalls().size(), 12);
    UnRegisterErrorDll(first);
    EXPECT_EQ(ServerCalls().mid(12), QStringList({"CloseScreen", "CloseFile", "ShutDown"}));

    const std::string text = err.Text();
    EXPECT_NE(text.find("init_drv CreateDispatch Passed\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("init_drv CreateDispatch Failed\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("TRACE_MSG: one"), std::string::npos) << "lines went to the server, not the debugger";
}

}  // namespace
