#pragma once
// The graph child frame: the graph bar on top, the graph below, and which
// curves are drawn. It cannot be closed on its own.
#include "CMDIChildWnd.h"

class CCurveGraphBar;
class CCurveGraphWnd;

class CGraphFrame : public CMDIChildWnd {
public:
    CGraphFrame();
    ~CGraphFrame() override;

    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    void OnDestroy() override;
    // Closed only with the program, never on its own (its close box, Ctrl+F4).
    void OnClose() override {}
    CCurveGraphBar* Bar() const { return m_bar; }
    CCurveGraphWnd* Graph() const { return m_graph; }

private:
    CCurveGraphBar* m_bar = nullptr;
    CCurveGraphWnd* m_graph = nullptr;
    bool m_curveShown[3] = {true, true, true};
};
