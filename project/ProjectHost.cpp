#include "ProjectHost.h"

namespace qs::project {

ProjectHost& Host() {
    static ProjectHost host;
    return host;
}

bool IsInteractive() { return !Host().isInteractive || Host().isInteractive(); }

int ApplicationMode() { return Host().applicationMode ? Host().applicationMode() : 0; }

}  // namespace qs::project
