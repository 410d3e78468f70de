#include "navigator/NavigatorSelection.h"

#include "KernelIds.h"

namespace qs::app {

QSID SelectionStandIn(QSID id) {
    if (SameIDType(id, 301003145) || SameIDType(id, 301003245)) return 301002045;
    // Wide ids of older projects: negative as signed 32-bit values.
    if (SameIDType(id, static_cast<QSID>(0xB36900CEu)) || SameIDType(id, static_cast<QSID>(0xB3690132u)))
        return 301002050;
    return id;
}

NavigatorSelection ResolveNavigatorSelection(const std::vector<OpenProjectState>& openProjects,
                                             const void* navigatorProject, unsigned short navigatorLayer) {
    NavigatorSelection selection;
    selection.layer = navigatorLayer;
    const OpenProjectState* chosen = nullptr;
    for (const OpenProjectState& project : openProjects)
        if (navigatorProject != nullptr && project.document == navigatorProject) chosen = &project;
    if (!chosen && !openProjects.empty()) chosen = &openProjects.front();
    if (!chosen) return selection;
    selection.document = chosen->document;
    // Only the navigator's own project lends its current object.
    if (chosen->document == navigatorProject && chosen->hasCurrentObject) {
        selection.objectId = SelectionStandIn(chosen->currentObjectId);
        selection.layer = chosen->currentLayer;
    }
    return selection;
}

}  // namespace qs::app
