#include <cstdio>
#include <cstring>

#include "KernelVersion.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("zerofill %s (kernel %s)\n", QS_VERSION_TEXT, QsKernelVersion());
            return 0;
        }
    }
    return 0;
}
