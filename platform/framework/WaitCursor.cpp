#include "WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
int g_waitCursorDepth = 0;
}

namespace qs::fw {

void DoWaitCursor(int nCode) {
    const bool gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (nCode > 0) {
        if (++g_waitCursorDepth == 1 && gui) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else if (nCode < 0) {
        if (g_waitCursorDepth == 0) return;  // unbalanced off: ignored rather than popping someone else's cursor
        if (--g_waitCursorDepth == 0 && gui) QGuiApplication::restoreOverrideCursor();
    } else if (g_waitCursorDepth > 0 && gui) {
        QGuiApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
    }
}

int WaitCursorDepth() { return g_waitCursorDepth; }

}  // namespace qs::fw
