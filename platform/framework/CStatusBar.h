#pragma once
// The status bar: panes addressed by index, each with a command id (the
// indicator), a style and a width. Pane text comes from SetPaneText or from
// the pane's update handler on idle; a disabled pane shows no text. A pane
// with id ID_SEPARATOR (normally pane 0) is the message pane and stretches.
#include <QRect>
#include <QStatusBar>

#include <vector>

#include "CWnd.h"
#include "CommandIds.h"

class CFrameWnd;
class QLabel;

enum : UINT {
    SBPS_NORMAL = 0x0000,
    SBPS_NOBORDERS = 0x0100,
    SBPS_POPOUT = 0x0200,
    SBPS_DISABLED = 0x04000000,
    SBPS_STRETCH = 0x08000000,
};

class CStatusBar : public QStatusBar, public CWnd {
public:
    CStatusBar();
    ~CStatusBar() override;

    // Becomes the status bar of pParentWnd (a frame).
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE, UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id; a registered string for an id is its initial text.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    int GetCount() const { return int(m_panes.size()); }
    int CommandToIndex(UINT nIDFind) const;  // -1 when absent
    UINT GetItemID(int nIndex) const;
    BOOL SetPaneText(int nIndex, const QString& text, BOOL bUpdate = TRUE);
    QString GetPaneText(int nIndex) const;
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);
    // The pane's rectangle in the bar's coordinates (for a control placed over panes).
    void GetItemRect(int nIndex, QRect* rect) const;
    QLabel* PaneLabel(int nIndex) const;

    // Runs the update handlers of the panes through the frame's route.
    void UpdatePanes(CFrameWnd* frame);

private:
    struct Pane {
        UINT id;
        UINT style;
        int width;
        QLabel* label;
        QString text;
    };
    void ApplyPane(Pane& pane);
    std::vector<Pane> m_panes;
};
