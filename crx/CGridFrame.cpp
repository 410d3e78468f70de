#include "CGridFrame.h"

#include <QVBoxLayout>

#include "CCrxApp.h"
#include "CCurveGridBar.h"
#include "CCurveGridWnd.h"
#include "CrxMessages.h"

CGridFrame::CGridFrame() {
    MapMessage(MSG_GET_CURVE, [this](WPARAM, LPARAM) -> LRESULT { return m_bar ? m_bar->SendMessage(MSG_GET_CURVE) : 0; });
    MapMessage(MSG_REFRESH_GRID, [this](WPARAM, LPARAM) -> LRESULT {
        if (m_bar) m_bar->PostMessage(MSG_REFRESH_GRID);
        if (m_grid) m_grid->PostMessage(MSG_REFRESH_GRID);
        return 1;
    });
    MapMessage(MSG_CURVE_CHANGED, [this](WPARAM w, LPARAM) -> LRESULT {
        if (m_grid) m_grid->PostMessage(MSG_CURVE_CHANGED, w);
        return 1;
    });
}

CGridFrame::~CGridFrame() { OnDestroy(); }

void CGridFrame::OnDestroy() {
    if (CCrxApp* app = CrxApp(); app && app->m_pGridFrame == this) app->m_pGridFrame = nullptr;
}

BOOL CGridFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext*) {
    auto* client = new QWidget;
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_bar = new CCurveGridBar;
    m_grid = new CCurveGridWnd;
    layout->addWidget(m_bar);
    layout->addWidget(m_grid, 1);
    setCentralWidget(client);
    return TRUE;
}
