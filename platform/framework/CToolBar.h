#pragma once
// A toolbar of command buttons (ids from a toolbar resource or given
// directly). A click routes the command through the frame; on idle each
// button is enabled, disabled or checked by its update handler.
#include <QToolBar>

#include "CWnd.h"
#include "CommandIds.h"

class CFrameWnd;
class QAction;

enum : DWORD {
    CBRS_ALIGN_TOP = 0x1000,
    CBRS_ALIGN_BOTTOM = 0x4000,
    CBRS_TOP = 0x1000 | 0x0100,
    CBRS_BOTTOM = 0x4000 | 0x0200,
    CBRS_TOOLTIPS = 0x0010,
    CBRS_FLYBY = 0x0020,
    CBRS_SIZE_DYNAMIC = 0x0080,
    TBSTYLE_FLAT = 0x0800,
};

class CToolBar : public QToolBar, public CWnd {
public:
    CToolBar();
    ~CToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, UINT nID = AFX_IDW_TOOLBAR);
    // FALSE when no toolbar resource of that id is registered.
    BOOL LoadToolBar(UINT nIDResource);
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
    DWORD GetBarStyle() const { return m_barStyle; }
    void SetBarStyle(DWORD dwStyle) { m_barStyle = dwStyle; }

    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    QAction* ButtonAction(UINT nID) const;

    void UpdateButtons(CFrameWnd* frame, BOOL bDisableIfNoHandler);

private:
    QAction* AddButton(UINT id, const QString& text, const QString& iconPath);
    CFrameWnd* m_frame = nullptr;
    DWORD m_barStyle = 0;
};
