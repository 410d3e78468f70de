// A stand-in for the outside debug-window server, started by bus activation
// in the message library's tests. It records each call of the eight methods
// as "Name" or "Name(argument)" and hands the record back through "Calls".
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

#include "AutomationServer.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qs::automation::AutomationServer server("Ruz_iv.Document");
    QStringList calls;
    for (const char* name : {"AddMessage", "OpenScreen", "CloseScreen", "OpenFile", "CloseFile", "AddFileMessage",
                             "ShutDown", "StartUp"}) {
        const QString method = QString::fromLatin1(name);
        server.Object().AddMethod(method, [&calls, method](qs::automation::AutomationCall& call) {
            calls << (call.args.isEmpty() ? method : method + "(" + call.args.value(0).toString() + ")");
            return QVariant();
        });
    }
    server.Object().AddMethod("Calls", [&calls](qs::automation::AutomationCall&) { return QVariant(calls); });
    QString error;
    if (!server.Start(&error)) {
        std::fprintf(stderr, "fake debug server: %s\n", qPrintable(error));
        return 1;
    }
    return app.exec();
}
