#include "ViewIcons.h"

#include <QPainter>
#include <QPixmap>

namespace qs::views {

QIcon FrameIcon(int iconId) {
    QColor fill;
    bool user = false;
    switch (iconId) {
    case kIconUserTable: user = true; [[fallthrough]];
    case kIconTable: fill = QColor(70, 110, 190); break;
    case kIconUserExhibit: user = true; [[fallthrough]];
    case kIconExhibit: fill = QColor(40, 140, 80); break;
    case kIconUserMethod: user = true; [[fallthrough]];
    case kIconMethod: fill = QColor(160, 100, 40); break;
    case kIconUserScalar: user = true; [[fallthrough]];
    case kIconScalar: fill = QColor(120, 70, 160); break;
    default: return QIcon();
    }
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    // A small sheet of cells: a coloured heading row over white cells.
    p.setPen(fill.darker(150));
    p.setBrush(Qt::white);
    p.drawRect(1, 2, 13, 11);
    p.fillRect(2, 3, 12, 3, fill);
    p.drawLine(1, 9, 14, 9);
    p.drawLine(6, 6, 6, 13);
    p.drawLine(10, 6, 10, 13);
    if (user) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 140, 20));
        p.drawEllipse(QRect(10, 9, 6, 6));
    }
    p.end();
    return QIcon(pixmap);
}

}  // namespace qs::views
