#include "Placeholders.h"

CSpreadsheetWnd::CSpreadsheetWnd(QWidget* parent) : QWidget(parent) {
    setObjectName("SpreadsheetHost");
    hide();
}

CSpreadsheetWnd* CSpreadsheetWnd::CreateInParent(QWidget* parent) { return new CSpreadsheetWnd(parent); }

