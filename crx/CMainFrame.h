#pragma once
// The tail program's main window: an MDI frame holding the graph and grid
// frames. It recalculates the working analysis on MSG_RECALC and refreshes
// both windows, answers the windows' questions (curve shown, precision),
// runs Apply, Cancel, Reset, Copy and Paste, and watches the caller: once
// the caller's window is gone the program ends.
#include "CMDIFrameWnd.h"
#include "CTailFactorAnalysis.h"

class CStatusBar;
class CToolBar;

class CMainFrame : public CMDIFrameWnd {
public:
    static constexpr UINT_PTR kWatchTimer = 8;
    static constexpr UINT kWatchPeriodMs = 1000;

    CMainFrame();
    ~CMainFrame() override;

    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnClose() override;
    // Child frames stay: they are closed only with the program.
    void OnMDIDestroy(CMDIChildWnd* pChild) override;

    void OnApply();
    void OnCancel();
    void OnReset();
    void OnEditCopy();
    void OnEditPaste();
    bool CanPaste() const;

    void TileVertically();
    void BringForward();

    // The close that follows Apply or Cancel: the window goes away; the
    // program ends at once when nobody holds it, else when its caller lets go.
    void CloseWithoutApply();

    // The analysis as the windows see it after a recalculation.
    static int Precision();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    LRESULT OnRecalc();
    CTailFactorAnalysis ResetCurve(int curve) const;

    CToolBar* m_toolBar = nullptr;
    CStatusBar* m_statusBar = nullptr;
    bool m_closing = false;
};
