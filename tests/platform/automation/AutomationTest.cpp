#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <unistd.h>

#include "AutomationClient.h"
#include "AutomationObject.h"
#include "AutomationServer.h"
#include "NameWatch.h"
#include "RemoteWindow.h"
#include "TestEnvironment.h"

namespace {

using namespace qs::automation;

const QString kTestProgId = QStringLiteral("Quillstone.TestServer");

// The client side needs an event loop object for BlockWithGui and watchers.
QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "test_automation";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app =
        QCoreApplication::instance() ? QCoreApplication::instance() : new QCoreApplication(argc, argv);
    return *app;
}

class Automation : public ::testing::Test {
protected:
    void SetUp() override { App(); }
};

TEST_F(Automation, ServiceNamesFromProgIds) {
    EXPECT_EQ(ServiceNameOf("Quillstone.QSEE"), "org.quillstone.Quillstone_QSEE");
    EXPECT_EQ(ServiceNameOf("Crx.CRX_App"), "org.quillstone.Crx_CRX_App");
    EXPECT_EQ(ServiceNameOf("Ruz_iv.Document"), "org.quillstone.Ruz_iv_Document");
    EXPECT_EQ(ServiceNameOf("1x-y"), "org.quillstone._1x_y");
    EXPECT_TRUE(IsAutomationSwitch("-automation"));
    EXPECT_TRUE(IsEmbeddingSwitch("/Embedding"));
    EXPECT_FALSE(IsEmbeddingSwitch("Embedding"));
}

TEST_F(Automation, RegistrationWritesActivationFile) {
    const QString dir = QString::fromStdString(qs::test::MakeTempDir("services"));
    qs::test::SetEnv("QS_DBUS_SERVICE_DIR", dir.toStdString());
    ASSERT_TRUE(RegisterServer("Quillstone.QSEE", "/opt/qs/bin/qstone"));
    const QString file = dir + "/org.quillstone.Quillstone_QSEE.service";
    EXPECT_EQ(QString::fromStdString(qs::test::ReadFile(file.toStdString())),
              "[D-BUS Service]\nName=org.quillstone.Quillstone_QSEE\nExec=/opt/qs/bin/qstone /Automation\n");
    ASSERT_TRUE(RegisterServer("Crx.CRX_App", "/opt/my apps/crx", {"-Embedding"}));
    EXPECT_NE(qs::test::ReadFile((dir + "/org.quillstone.Crx_CRX_App.service").toStdString())
                  .find("Exec=\"/opt/my apps/crx\" -Embedding\n"),
              std::string::npos);
    EXPECT_TRUE(UnregisterServer("Quillstone.QSEE"));
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_TRUE(UnregisterServer("Quillstone.QSEE"));  // already gone is fine
    qs::test::UnsetEnv("QS_DBUS_SERVICE_DIR");
}

TEST_F(Automation, ActivatesServerByProgIdAndCallsMethods) {
    EXPECT_TRUE(IsServerKnown(kTestProgId));
    EXPECT_FALSE(IsServerKnown("Quillstone.NoSuchServer"));
    EXPECT_FALSE(IsServerRunning(kTestProgId));

    AutomationClient none;
    EXPECT_FALSE(none.AttachRunning(kTestProgId));
    EXPECT_FALSE(none.CreateDispatch("Quillstone.NoSuchServer"));

    AutomationClient client;
    QString error;
    ASSERT_TRUE(client.CreateDispatch(kTestProgId, &error)) << error.toStdString();
    EXPECT_TRUE(IsServerRunning(kTestProgId));

    const CallResult pid = client.Call("ProcessId");
    ASSERT_TRUE(pid.ok) << pid.error.toStdString();
    EXPECT_NE(pid.value.toLongLong(), qint64(getpid()));
    EXPECT_TRUE(client.Call("StartedForAutomation").value.toBool());
    EXPECT_EQ(client.Call("Add", {40, 2}).value.toInt(), 42);
    EXPECT_EQ(client.Call("Echo", {QString("Paid \u00e9")}).value.toString(), QString("Paid \u00e9"));

    const CallResult doubled = client.Call("Double", {21});
    ASSERT_TRUE(doubled.ok);
    EXPECT_FALSE(doubled.value.isValid());
    EXPECT_EQ(doubled.byRef.value(0).toInt(), 42);

    const CallResult failed = client.Call("Fail");
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, "refused");
    EXPECT_FALSE(client.Call("NoSuchMethod").ok);
    EXPECT_FALSE(client.Call("Echo", {QVariant()}).ok);

    EXPECT_EQ(client.GetDispatchId("Add"), 1);
    EXPECT_EQ(client.GetDispatchId("Echo"), 2);
    EXPECT_EQ(client.GetDispatchId("Nothing"), -1);

    // A second client attaches to the running instance.
    AutomationClient second;
    ASSERT_TRUE(second.AttachRunning(kTestProgId));
    EXPECT_EQ(second.Call("ProcessId").value, pid.value);

    // Liveness: the server's name goes when it quits.
    NameWatch watch(client.Target().busName);
    QSignalSpy vanished(&watch, &NameWatch::Vanished);
    EXPECT_TRUE(watch.IsAlive());
    EXPECT_TRUE(client.Call("Quit").ok);
    EXPECT_TRUE(vanished.wait(10000) || vanished.count() == 1);
    EXPECT_FALSE(watch.IsAlive());
    EXPECT_FALSE(IsServerRunning(kTestProgId));
}

TEST_F(Automation, ServerCallsBackIntoTheWaitingCaller) {
    // Our "window": an exported object the server calls while we wait.
    AutomationObject window;
    int asked = 0;
    window.AddMethod("GetPrecision", [&asked](AutomationCall&) {
        ++asked;
        return QVariant(6);
    });
    ASSERT_TRUE(window.Export("/org/quillstone/test/Window"));
    const WindowHandle handle = LocalWindowHandle(window.Path());
    EXPECT_TRUE(IsWindow(handle));

    AutomationClient client;
    ASSERT_TRUE(client.CreateDispatch(kTestProgId));
    const CallResult answer = client.Call("AskCaller", {handle.ToString()});
    ASSERT_TRUE(answer.ok) << answer.error.toStdString();
    EXPECT_EQ(answer.value.toInt(), 7);
    EXPECT_EQ(asked, 1);

    window.Unexport();
    const CallResult gone = client.Call("AskCaller", {handle.ToString()});
    EXPECT_FALSE(gone.ok);
    client.Call("Quit");
}

TEST_F(Automation, ServerSeesCallerConnectionVanish) {
    AutomationClient client;
    ASSERT_TRUE(client.CreateDispatch(kTestProgId));

    // A second connection plays a client process that goes away.
    {
        QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "vanishing");
        ASSERT_TRUE(other.isConnected());
        QDBusMessage call = QDBusMessage::createMethodCall(client.Target().busName, client.Target().path,
                                                           kInterface, "Invoke");
        call << QString("WatchCaller") << QVariant::fromValue(QVariantList{});
        const QDBusMessage reply = other.call(call);
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        EXPECT_TRUE(IsWindow({other.baseService(), "/"}));
    }
    EXPECT_FALSE(client.Call("CallerVanished").value.toBool());
    QDBusConnection::disconnectFromBus("vanishing");
    bool seen = false;
    for (int i = 0; i < 100 && !seen; ++i) {
        QTest::qWait(50);
        seen = client.Call("CallerVanished").value.toBool();
    }
    EXPECT_TRUE(seen);
    client.Call("Quit");
}

TEST_F(Automation, LocalCallsAndWindowHandleText) {
    AutomationObject object;
    object.AddMethod("Twice", [](AutomationCall& call) { return QVariant(call.args.value(0).toInt() * 2); });
    QVariantList args{4};
    QString error;
    EXPECT_EQ(object.CallLocal("Twice", args, &error).toInt(), 8);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_FALSE(object.CallLocal("Thrice", args, &error).isValid());
    EXPECT_FALSE(error.isEmpty());

    const WindowHandle h{":1.42", "/a/b"};
    EXPECT_EQ(WindowHandle::FromString(h.ToString()), h);
    EXPECT_TRUE(WindowHandle::FromString("junk").IsNull());
    EXPECT_FALSE(IsWindow({":1.99999", "/"}));
    EXPECT_FALSE(IsWindow({}));
}

TEST_F(Automation, WindowMessagesCrossProcesses) {
    std::vector<std::uintptr_t> posted;
    RemoteWindow window(
        [](unsigned message, std::uintptr_t w, std::intptr_t) { return std::intptr_t(message == 0xC123 ? w * 2 : -1); },
        [&posted](unsigned, std::uintptr_t w, std::intptr_t) {
            posted.push_back(w);
            return true;
        });
    ASSERT_TRUE(window.Export("/org/quillstone/windows/1"));
    const QString handle = window.Handle().ToString();
    AutomationClient client;
    ASSERT_TRUE(client.CreateDispatch(kTestProgId));

    const CallResult sent = client.Call("SendToWindow", {handle, 0xC123, 21});
    ASSERT_TRUE(sent.ok) << sent.error.toStdString();
    EXPECT_EQ(sent.value.toLongLong(), 42);

    EXPECT_TRUE(client.Call("PostToWindow", {handle, 0xC124, 5}).value.toBool());
    QTRY_COMPARE_WITH_TIMEOUT(posted.size(), std::size_t(5), 5000);
    EXPECT_EQ(posted, (std::vector<std::uintptr_t>{0, 1, 2, 3, 4}));

    window.Unexport();
    EXPECT_FALSE(client.Call("SendToWindow", {handle, 0xC123, 1}).ok);
    client.Call("Quit");
}

}  // namespace
