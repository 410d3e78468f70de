#include "CToolBar.h"

#include <QAction>
#include <QIcon>

#include "CFrameWnd.h"
#include "CommandIds.h"
#include "Resources.h"

CToolBar::CToolBar() { AttachWidget(this); }

CToolBar::~CToolBar() { DetachWidget(); }

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) { return CreateEx(pParentWnd, 0, dwStyle, nID); }

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD, DWORD dwStyle, UINT nID) {
    m_frame = dynamic_cast<CFrameWnd*>(pParentWnd);
    if (m_frame == nullptr) return FALSE;
    SetControlId(this, int(nID));
    m_barStyle = dwStyle;
    m_frame->addToolBar((dwStyle & CBRS_ALIGN_BOTTOM) ? Qt::BottomToolBarArea : Qt::TopToolBarArea, this);
    m_frame->AddControlBar(this);
    setVisible((dwStyle & WS_VISIBLE) != 0);
    return TRUE;
}

QAction* CToolBar::AddButton(UINT id, const QString& text, const QString& iconPath) {
    if (id == ID_SEPARATOR) return addSeparator();
    QString label = text;
    const QString resource = qs::fw::LoadResourceString(id);
    if (label.isEmpty()) label = resource.section(u'\n', 1, 1);  // the tool tip part
    if (label.isEmpty()) label = resource.section(u'\n', 0, 0);
    QAction* action = iconPath.isEmpty() ? addAction(label) : addAction(QIcon(iconPath), label);
    action->setData(id);
    action->setToolTip(label);
    QObject::connect(action, &QAction::triggered, this, [this, id] {
        if (m_frame) m_frame->SendMessage(WM_COMMAND, id, 0);
    });
    QObject::connect(action, &QAction::hovered, this, [this, id] {
        if (m_frame && (m_barStyle & CBRS_FLYBY)) m_frame->SetMessageText(id);
    });
    return action;
}

BOOL CToolBar::LoadToolBar(UINT nIDResource) {
    const std::vector<qs::fw::ToolButton>* buttons = qs::fw::FindToolBar(nIDResource);
    if (buttons == nullptr) return FALSE;
    clear();
    for (const qs::fw::ToolButton& button : *buttons) AddButton(button.id, button.text, button.iconPath);
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount) {
    clear();
    for (int i = 0; i < nIDCount; ++i) AddButton(lpIDArray ? lpIDArray[i] : ID_SEPARATOR, QString(), QString());
    return TRUE;
}

int CToolBar::CommandToIndex(UINT nIDFind) const {
    const auto list = actions();
    for (int i = 0; i < list.size(); ++i)
        if (!list[i]->isSeparator() && list[i]->data().toUInt() == nIDFind) return i;
    return -1;
}

UINT CToolBar::GetItemID(int nIndex) const {
    const auto list = actions();
    if (nIndex < 0 || nIndex >= list.size() || list[nIndex]->isSeparator()) return ID_SEPARATOR;
    return list[nIndex]->data().toUInt();
}

QAction* CToolBar::ButtonAction(UINT nID) const {
    const int index = CommandToIndex(nID);
    return index < 0 ? nullptr : actions()[index];
}

void CToolBar::UpdateButtons(CFrameWnd* frame, BOOL bDisableIfNoHandler) {
    const auto list = actions();
    for (int i = 0; i < list.size(); ++i) {
        QAction* action = list[i];
        // A control placed on the bar (a layer box) has no command: an update
        // would disable it, and it could never be opened.
        if (action->isSeparator() || action->data().toUInt() == 0) continue;
        CCmdUI ui;
        ui.m_nID = action->data().toUInt();
        ui.m_nIndex = UINT(i);
        ui.m_pOther = this;
        ui.DoUpdate(frame, bDisableIfNoHandler);
        action->setEnabled(ui.m_bEnableChanged ? ui.m_enabled : true);
        if (ui.m_check) {
            action->setCheckable(true);
            action->setChecked(*ui.m_check != 0);
        }
    }
}
