#pragma once
// The current project and object as the application's commands see them:
// the navigator's project when it is open (else the first open project), the
// navigator's layer, and that project's current object. Two pairs of objects
// stand for another: the commands work on the object they stand for.
#include <vector>

#include "KernelTypes.h"

namespace qs::app {

// What the resolution needs of an open project document.
struct OpenProjectState {
    const void* document = nullptr;  // the project document (identity only)
    bool hasCurrentObject = false;
    QSID currentObjectId = 0;
    unsigned short currentLayer = 0;
};

struct NavigatorSelection {
    const void* document = nullptr;  // null when no project is open
    unsigned short layer = 0;
    QSID objectId = 0;
};

// openProjects in the template's order; navigatorProject the navigator's
// current project (may be null or closed); navigatorLayer its layer box.
NavigatorSelection ResolveNavigatorSelection(const std::vector<OpenProjectState>& openProjects,
                                             const void* navigatorProject, unsigned short navigatorLayer);

// The object a selected id stands for (compared by kind, data type and index).
QSID SelectionStandIn(QSID id);

}  // namespace qs::app
