#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "KernelVersion.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("crx");
    QApplication::setApplicationVersion(QStringLiteral(QS_VERSION_TEXT));
    if (app.arguments().contains("--version")) {
        std::printf("crx %s (kernel %s)\n", QS_VERSION_TEXT, QsKernelVersion());
        return 0;
    }
    return 0;
}
