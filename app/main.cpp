#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

#include "CQuillstoneApp.h"
#include "KernelVersion.h"

namespace {

int g_signalPipe[2] = {-1, -1};

void OnTerminate(int) {
    const char c = 1;
    [[maybe_unused]] auto n = ::write(g_signalPipe[1], &c, 1);
}

// SIGTERM and SIGINT end the message loop like the Exit command, so the
// shutdown sequence still runs.
void QuitOnSignals(QApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char c;
        [[maybe_unused]] auto n = ::read(g_signalPipe[0], &c, 1);
        QApplication::quit();
    });
    struct sigaction sa {};
    sa.sa_handler = OnTerminate;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--version") {
            std::printf("Qstone %s (kernel %s)\n", QS_VERSION_TEXT, QsKernelVersion());
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Qstone");
    QApplication::setApplicationVersion(QStringLiteral(QS_VERSION_TEXT));
    QuitOnSignals(app);

    CQuillstoneApp theApp;
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    theApp.SetCommandLine(arguments);
    int code = 0;
    if (theApp.InitInstance()) code = app.exec();
    const int exitCode = theApp.ExitInstance();
    return code ? code : exitCode;
}
