#include "CSpreadsheetWnd.h"

#include <QResizeEvent>

using namespace qs::ss;

CSpreadsheetWnd::CSpreadsheetWnd(QWidget* parent) : QWidget(parent) { AttachWidget(this); }

CSpreadsheetWnd::~CSpreadsheetWnd() { DetachWidget(); }

BOOL CSpreadsheetWnd::CreateInParent(QWidget* parent) {
    if (m_bCreated) return TRUE;
    if (parent != nullptr) {
        setParent(parent);
        setGeometry(parent->rect());
    }
    m_pCtrl = new SpreadsheetControl(this);
    m_pCtrl->setGeometry(rect());
    m_bCreated = TRUE;
    if (!m_pCtrl->IsSetUp()) {
        for (int code : {SSN_Click, SSN_DblClick, SSN_HeadingClick, SSN_HeadingDblClick, SSN_KeyDown, SSN_KeyUp,
                         SSN_StartEdit, SSN_CancelEdit, SSN_EndEdit, SSN_EditChange, SSN_EntryStored, SSN_SelChange,
                         SSN_Modified, SSN_SetFocus})
            m_pCtrl->EnableNotify(code, true);
        QObject::connect(m_pCtrl, &SpreadsheetControl::Notified, this,
                         [this](int code, int row, int col, Notification* n) { Route(code, row, col, n); },
                         Qt::DirectConnection);
    }
    OnControlCreated();
    if (parent != nullptr) show();
    return TRUE;
}

void CSpreadsheetWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_pCtrl != nullptr) m_pCtrl->setGeometry(rect());
}

void CSpreadsheetWnd::Route(int code, int row, int col, Notification* n) {
    switch (code) {
    case SSN_Click: OnClick(row, col); break;
    case SSN_DblClick: OnDblClick(row, col); break;
    case SSN_HeadingClick: OnHeadingClick(row, col); break;
    case SSN_HeadingDblClick: OnHeadingDblClick(row, col); break;
    case SSN_KeyDown: OnKeyDown(n); break;
    case SSN_KeyUp: OnKeyUp(n); break;
    case SSN_StartEdit: OnStartEdit(n); break;
    case SSN_CancelEdit: OnCancelEdit(); break;
    case SSN_EndEdit: {
        bool cancel = false;
        OnEndEdit(n != nullptr ? n->text : QString(), cancel);
        if (n != nullptr && cancel) n->cancel = true;
        break;
    }
    case SSN_EditChange: OnEditChange(); break;
    case SSN_EntryStored: OnEntryStored(); break;
    case SSN_SelChange: OnSelChange(); break;
    case SSN_Modified: OnModified(); break;
    case SSN_SetFocus: m_pCtrl->setFocus(); break;
    default: break;
    }
}
