#include <cstdio>
#include <cstring>

#include "CQuillstoneApp.h"
#include "KernelVersion.h"

// The one application object, made before the program's entry point runs.
CQuillstoneApp theApp;

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Qstone %s (kernel %s)\n", QS_VERSION_TEXT, QsKernelVersion());
            return 0;
        }
    }
    theApp.m_bQuitOnSignals = true;
    return AfxWinMain(argc, argv);
}
