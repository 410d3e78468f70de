#include <cstdio>
#include <cstring>

#include "CZerofillApp.h"
#include "KernelVersion.h"

// The one application object, made before the program's entry point runs.
CZerofillApp theApp;

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("zerofill %s (kernel %s)\n", QS_VERSION_TEXT, QsKernelVersion());
            return 0;
        }
    }
    return AfxWinMain(argc, argv);
}
