#pragma once
// The grid child frame: the curve bar on top, the grid below. It cannot be
// closed on its own; it forgets itself in the application when destroyed.
#include "CMDIChildWnd.h"

class CCurveGridBar;
class CCurveGridWnd;

class CGridFrame : public CMDIChildWnd {
public:
    CGridFrame();
    ~CGridFrame() override;

    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    void OnDestroy() override;
    // Closed only with the program, never on its own (its close box, Ctrl+F4).
    void OnClose() override {}
    CCurveGridBar* Bar() const { return m_bar; }
    CCurveGridWnd* Grid() const { return m_grid; }

private:
    CCurveGridBar* m_bar = nullptr;
    CCurveGridWnd* m_grid = nullptr;
};
