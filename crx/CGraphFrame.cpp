#include "CGraphFrame.h"

#include <QVBoxLayout>

#include "CCrxApp.h"
#include "CCurveGraphBar.h"
#include "CCurveGraphWnd.h"
#include "CrxMessages.h"

CGraphFrame::CGraphFrame() {
    MapMessage(MSG_REFRESH_GRAPH, [this](WPARAM, LPARAM) -> LRESULT {
        if (m_graph) m_graph->PostMessage(MSG_REFRESH_GRAPH);
        if (m_bar) m_bar->PostMessage(MSG_REFRESH_GRAPH);
        return 1;
    });
    MapMessage(MSG_IS_CURVE_SHOWN, [this](WPARAM c, LPARAM) -> LRESULT { return c < 3 && m_curveShown[c]; });
    MapMessage(MSG_TOGGLE_CURVE, [this](WPARAM c, LPARAM) -> LRESULT {
        if (c < 3) m_curveShown[c] = !m_curveShown[c];
        if (m_graph) m_graph->Relayout();
        return 1;
    });
    MapMessage(MSG_RESET_ZOOM, [this](WPARAM, LPARAM) -> LRESULT {
        if (m_graph) m_graph->PostMessage(MSG_RESET_ZOOM);
        return 1;
    });
}

CGraphFrame::~CGraphFrame() { OnDestroy(); }

void CGraphFrame::OnDestroy() {
    if (CCrxApp* app = CrxApp(); app && app->m_pGraphFrame == this) app->m_pGraphFrame = nullptr;
}

BOOL CGraphFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext*) {
    auto* client = new QWidget;
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_bar = new CCurveGraphBar;
    m_graph = new CCurveGraphWnd;
    layout->addWidget(m_bar);
    layout->addWidget(m_graph, 1);
    setCentralWidget(client);
    return TRUE;
}
