#include "shell/QuitOnSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace qs::app {

namespace {

int g_quitSignalPipe[2] = {-1, -1};

void OnQuitSignal(int) {
    const char c = 1;
    [[maybe_unused]] auto n = ::write(g_quitSignalPipe[1], &c, 1);
}

}  // namespace

void InstallQuitOnSignals() {
    if (g_quitSignalPipe[0] >= 0 || !QCoreApplication::instance()) return;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_quitSignalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(g_quitSignalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char c;
        [[maybe_unused]] auto n = ::read(g_quitSignalPipe[0], &c, 1);
        QCoreApplication::quit();
    });
    struct sigaction sa {};
    sa.sa_handler = OnQuitSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
}

}  // namespace qs::app
