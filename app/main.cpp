#include <QApplication>
#include <QMainWindow>
#include <cstdio>
#include <dlfcn.h>

#include "KernelVersion.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Qstone");
    QApplication::setApplicationVersion(QStringLiteral(QS_VERSION_TEXT));
    if (app.arguments().contains("--version")) {
        std::printf("Qstone %s (kernel %s)\n", QS_VERSION_TEXT, QsKernelVersion());
        return 0;
    }
    QMainWindow frame;
    frame.setWindowTitle("Quillstone");
    frame.show();
    if (app.arguments().contains("--quit")) return 0;
    return app.exec();
}
