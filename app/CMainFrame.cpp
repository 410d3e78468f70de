#include "CMainFrame.h"

CMainFrame::CMainFrame() {
    setObjectName("MainFrame");
    setWindowTitle(QStringLiteral("Quillstone"));
    resize(1024, 768);
}
