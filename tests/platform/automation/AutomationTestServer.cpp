// The server the automation tests start by ProgID "Quillstone.TestServer".
#include <QCoreApplication>
#include <QTimer>

#include <memory>
#include <unistd.h>

#include "AutomationClient.h"
#include "AutomationServer.h"
#include "NameWatch.h"
#include "RemoteWindow.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bool automated = false;
    for (const QString& arg : app.arguments().mid(1)) automated |= qs::automation::IsAutomationSwitch(arg);

    qs::automation::AutomationServer server(QStringLiteral("Quillstone.TestServer"));
    auto& object = server.Object();
    object.AddMethod("Add", [](qs::automation::AutomationCall& call) {
        return QVariant(call.args.value(0).toInt() + call.args.value(1).toInt());
    });
    object.AddMethod("Echo", [](qs::automation::AutomationCall& call) { return call.args.value(0); });
    object.AddMethod("StartedForAutomation", [automated](qs::automation::AutomationCall&) { return QVariant(automated); });
    object.AddMethod("ProcessId", [](qs::automation::AutomationCall&) { return QVariant(qint64(getpid())); });
    // By-reference: doubles the first argument in place, no result.
    object.AddMethod("Double", [](qs::automation::AutomationCall& call) {
        call.args[0] = call.args.value(0).toInt() * 2;
        return QVariant();
    });
    object.AddMethod("Fail", [](qs::automation::AutomationCall& call) {
        call.Fail("refused");
        return QVariant();
    });
    // Calls back the window handle the caller passed and returns its answer + 1.
    object.AddMethod("AskCaller", [](qs::automation::AutomationCall& call) {
        const auto handle = qs::automation::WindowHandle::FromString(call.args.value(0).toString());
        const auto answer = qs::automation::AutomationClient(handle).Call("GetPrecision");
        if (!answer.ok) {
            call.Fail("call-back failed: " + answer.error);
            return QVariant();
        }
        return QVariant(answer.value.toInt() + 1);
    });
    // Liveness: watches the caller's connection.
    auto vanished = std::make_shared<bool>(false);
    auto watch = std::make_shared<std::unique_ptr<qs::automation::NameWatch>>();
    object.AddMethod("WatchCaller", [vanished, watch](qs::automation::AutomationCall& call) {
        *watch = std::make_unique<qs::automation::NameWatch>(call.callerBusName);
        QObject::connect(watch->get(), &qs::automation::NameWatch::Vanished, [vanished] { *vanished = true; });
        return QVariant(call.callerBusName);
    });
    object.AddMethod("CallerVanished", [vanished](qs::automation::AutomationCall&) { return QVariant(*vanished); });
    // Window messages back to the caller's exported window.
    object.AddMethod("SendToWindow", [](qs::automation::AutomationCall& call) {
        const auto window = qs::automation::WindowHandle::FromString(call.args.value(0).toString());
        bool ok = false;
        const auto result = qs::automation::SendWindowMessage(window, call.args.value(1).toUInt(),
                                                              call.args.value(2).toULongLong(), 0, &ok);
        if (!ok) call.Fail("window gone");
        return QVariant(qint64(result));
    });
    object.AddMethod("PostToWindow", [](qs::automation::AutomationCall& call) {
        const auto window = qs::automation::WindowHandle::FromString(call.args.value(0).toString());
        bool all = true;
        for (int i = 0; i < call.args.value(2).toInt(); ++i)
            all &= qs::automation::PostWindowMessage(window, call.args.value(1).toUInt(), std::uintptr_t(i));
        return QVariant(all);
    });
    object.AddMethod("Quit", [](qs::automation::AutomationCall&) {
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return QVariant(true);
    });

    QString error;
    if (!server.Start(&error)) {
        qWarning("test server: %s", qPrintable(error));
        return 1;
    }
    return app.exec();
}
