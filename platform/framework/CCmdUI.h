#pragma once
// The state an update handler gives a command's user-interface item (menu
// item, tool button, status pane). The framework reads it back and applies
// it; a handler that does not touch a field leaves it as it was.
#include <QString>

#include <optional>

#include "WindowsTypes.h"

class CCmdTarget;

class CCmdUI {
public:
    UINT m_nID = 0;
    UINT m_nIndex = 0;          // position of the item (pane index for a status bar)
    void* m_pOther = nullptr;   // the bar or menu holding the item, when any

    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL bOn = TRUE) { m_enabled = bOn != FALSE; m_bEnableChanged = TRUE; }
    virtual void SetCheck(int nCheck = 1) { m_check = nCheck; }
    virtual void SetRadio(BOOL bOn = TRUE) { m_check = bOn ? 1 : 0; }
    virtual void SetText(const QString& text) { m_text = text; }

    // Routes this item through target; with no update handler anywhere on the
    // route and disableIfNoHandler, an item whose command nobody handles is
    // disabled. True when an update handler ran.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

    // What the handler asked for.
    BOOL m_bEnableChanged = FALSE;
    bool m_enabled = true;
    std::optional<int> m_check;
    std::optional<QString> m_text;
};
