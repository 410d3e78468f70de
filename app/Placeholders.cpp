#include "Placeholders.h"

CMainFrame::CMainFrame() { setObjectName("MainFrame"); }

bool CMainFrame::LoadFrame(int resourceId) {
    m_resourceId = resourceId;
    setWindowTitle(QStringLiteral("Quillstone"));
    resize(1024, 768);
    return true;
}

CSpreadsheetWnd::CSpreadsheetWnd(QWidget* parent) : QWidget(parent) {
    setObjectName("SpreadsheetHost");
    hide();
}

CSpreadsheetWnd* CSpreadsheetWnd::CreateInParent(QWidget* parent) { return new CSpreadsheetWnd(parent); }

CPrjSheet::CPrjSheet() { setObjectName("ProjectSetupSheet"); }

void CPrjSheet::ResetPages(void* /*project*/) { ++m_resets; }

CStatusWindowFrame::CStatusWindowFrame() { setObjectName("StatusWindow"); }
