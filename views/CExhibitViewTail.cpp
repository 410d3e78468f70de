// The exhibit view's tail-factor analysis commands (New, Edit, Delete). The
// link to the tail program lives here on its own; until it is built the
// commands are routed to the view and stay disabled.
#include "CExhibitView.h"

#include "CCmdUI.h"

void CExhibitView::MapTailCommands() {
    for (UINT id : {UINT(ID_TAILFACTOR_NEW), UINT(ID_TAILFACTOR_EDIT), UINT(ID_TAILFACTOR_DELETE)}) {
        MapCommand(id, [] {});
        MapUpdateCommand(id, [](CCmdUI* ui) { ui->Enable(FALSE); });
    }
}
