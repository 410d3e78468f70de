#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>

#include "CCrxApp.h"
#include "KernelVersion.h"

// The one application object, made before the program's entry point runs.
CCrxApp theApp;

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("crx %s (kernel %s)\n", QS_VERSION_TEXT, QsKernelVersion());
            return 0;
        }
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    // Registering needs no window system: an installer may run it headless.
    const auto command = CCrxApp::FindServerCommand(arguments.join(QLatin1Char(' ')));
    if (command != CCrxApp::ServerCommand::None) {
        QCoreApplication core(argc, argv);
        const bool ok = CCrxApp::UpdateRegistration(command == CCrxApp::ServerCommand::Register,
                                                    QCoreApplication::applicationFilePath());
        if (!ok) std::fprintf(stderr, "crx: the registration could not be %s\n", command == CCrxApp::ServerCommand::Register ? "written" : "removed");
        return ok ? 0 : 1;
    }
    return AfxWinMain(argc, argv);
}
