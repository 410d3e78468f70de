#pragma once
// The small toolbars of the object frames: top-docked, with tool tips,
// fly-by text and dynamic sizing, holding controls that the frame's view
// reads and writes (found by control id through the frame).
#include <QFont>
#include <QString>

#include "CToolBar.h"

class CFrameWnd;
class QWidget;

namespace qs::app {

// Creates the frame's toolbar (id AFX_IDW_TOOLBAR); null when it cannot be made.
CToolBar* CreateFrameToolBar(CFrameWnd* frame);
// Adds a control at the end of the toolbar with its id; width <= 0 keeps the
// control's own width.
void AddToolBarControl(CToolBar* bar, QWidget* control, int id, int width = 0);
// A fixed gap of the given width.
void AddToolBarGap(CToolBar* bar, int width);
// The controls' font: variable pitch, sans serif, 12 pixels, normal or bold.
QFont FrameControlFont(bool bold = false);

}  // namespace qs::app
