// The second start of the program, as the shell channel test needs it: sends
// the command given as the only argument to the running instance and prints
// "RESULT=<answer>" for the test to read.
#include <QCoreApplication>

#include <cstdio>

#include "shell/ShellOpenChannel.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <command>\n", argv[0]);
        return 2;
    }
    const int result = qs::app::RequestShellCommand(QString::fromLocal8Bit(argv[1]), 20000);
    std::printf("RESULT=%d\n", result);
    std::fflush(stdout);
    return 0;
}
