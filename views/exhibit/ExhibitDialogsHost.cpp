#include "ExhibitDialogsHost.h"

namespace qs::views {

ExhibitDialogsHost& ExhibitHost() {
    static ExhibitDialogsHost host;
    return host;
}

int ApplicationModeValue() { return ExhibitHost().applicationMode ? ExhibitHost().applicationMode() : 0; }

}  // namespace qs::views
