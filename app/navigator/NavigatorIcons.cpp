#include "navigator/NavigatorIcons.h"

#include <QPainter>
#include <QPixmap>

namespace qs::app::nav {

namespace {

constexpr int kIconSize = 16;

QPixmap BlankPixmap() {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A small sheet of cells: the picture of a table.
void DrawSheet(QPainter& p, const QColor& fill, const QColor& line) {
    p.setPen(line);
    p.setBrush(fill);
    p.drawRect(1, 2, 13, 11);
    p.drawLine(1, 5, 14, 5);
    p.drawLine(1, 9, 14, 9);
    p.drawLine(6, 2, 6, 13);
    p.drawLine(10, 2, 10, 13);
}

void DrawFolder(QPainter& p, const QColor& fill) {
    p.setPen(fill.darker(160));
    p.setBrush(fill);
    p.drawRect(1, 4, 13, 9);
    p.drawRect(1, 2, 5, 2);
}

QIcon LetterIcon(const QString& letters, const QColor& fill) {
    QPixmap pixmap = BlankPixmap();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(fill.darker(150));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    QFont font = p.font();
    font.setPixelSize(letters.size() > 1 ? 7 : 10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, kIconSize, kIconSize), Qt::AlignCenter, letters);
    return QIcon(pixmap);
}

}  // namespace

QIcon TreeItemIcon(TreeIcon kind) {
    QPixmap pixmap = BlankPixmap();
    QPainter p(&pixmap);
    switch (kind) {
    case TreeIcon::Project:
        p.setPen(QColor(40, 60, 120));
        p.setBrush(QColor(90, 120, 200));
        p.drawRect(2, 1, 11, 13);
        p.setPen(Qt::white);
        p.drawLine(4, 5, 11, 5);
        p.drawLine(4, 8, 11, 8);
        p.drawLine(4, 11, 9, 11);
        break;
    case TreeIcon::Category: DrawFolder(p, QColor(230, 180, 60)); break;
    case TreeIcon::Subgroup: DrawFolder(p, QColor(250, 220, 120)); break;
    }
    return QIcon(pixmap);
}

QIcon StatusIcon(int status) {
    QPixmap pixmap = BlankPixmap();
    QPainter p(&pixmap);
    switch (status) {
    case 0: DrawSheet(p, Qt::white, QColor(120, 120, 120)); break;
    case 1: DrawSheet(p, QColor(170, 200, 250), QColor(30, 70, 160)); break;
    case 2:
        DrawSheet(p, QColor(180, 230, 170), QColor(30, 120, 40));
        break;
    default:
        DrawSheet(p, QColor(230, 230, 230), QColor(170, 170, 170));
        p.setPen(QPen(QColor(190, 40, 40), 2));
        p.drawLine(3, 3, 12, 12);
        p.drawLine(12, 3, 3, 12);
        break;
    }
    return QIcon(pixmap);
}

QIcon CommandIcon(UINT command) {
    switch (command) {
    case 32926: return LetterIcon(QStringLiteral("I"), QColor(50, 90, 170));
    case 32927: return LetterIcon(QStringLiteral("E"), QColor(40, 130, 80));
    case 32928: return LetterIcon(QStringLiteral("M"), QColor(150, 80, 30));
    case 32929: return LetterIcon(QStringLiteral("R"), QColor(110, 60, 140));
    case 32930: return LetterIcon(QStringLiteral("U"), QColor(170, 40, 60));
    case 33103: return LetterIcon(QStringLiteral("G"), QColor(30, 120, 140));
    case 32958: return LetterIcon(QStringLiteral("D"), QColor(90, 90, 90));
    case 32881: return LetterIcon(QStringLiteral("En"), QColor(90, 90, 90));
    case 32880: return LetterIcon(QStringLiteral("Ca"), QColor(90, 90, 90));
    default: return QIcon();
    }
}

}  // namespace qs::app::nav
