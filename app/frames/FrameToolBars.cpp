#include "frames/FrameToolBars.h"

#include <QApplication>
#include <QWidget>

#include "CFrameWnd.h"
#include "Resources.h"

namespace qs::app {

CToolBar* CreateFrameToolBar(CFrameWnd* frame) {
    if (frame == nullptr) return nullptr;
    auto* bar = new CToolBar;
    if (!bar->CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC,
                       AFX_IDW_TOOLBAR)) {
        delete bar;
        return nullptr;
    }
    bar->setMovable(false);
    return bar;
}

void AddToolBarControl(CToolBar* bar, QWidget* control, int id, int width) {
    CWnd::SetControlId(control, id);
    control->setFont(FrameControlFont());
    if (width > 0) control->setFixedWidth(width);
    bar->addWidget(control);
}

void AddToolBarGap(CToolBar* bar, int width) {
    auto* gap = new QWidget(bar);
    gap->setFixedWidth(width);
    bar->addWidget(gap);
}

QFont FrameControlFont(bool bold) {
    // The face is the program's string 103 when it names one.
    QString face = qs::fw::LoadResourceString(103);
    if (face.isEmpty()) face = QApplication::font().family();
    QFont font(face);
    font.setPixelSize(12);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    font.setFixedPitch(false);
    return font;
}

}  // namespace qs::app
