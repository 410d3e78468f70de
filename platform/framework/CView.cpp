#include "CView.h"

#include <QPainter>

#include "CDocument.h"
#include "CFrameWnd.h"

CView::CView(QWidget* parent) : QWidget(parent) {
    AttachWidget(this);
    SetAutoDelete(true);
}

CView::~CView() {
    if (m_pDocument != nullptr) m_pDocument->RemoveView(this);
    DetachWidget();
}

CFrameWnd* CView::GetParentFrame() const {
    for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget())
        if (auto* frame = dynamic_cast<CFrameWnd*>(w)) return frame;
    return nullptr;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CObject*) { update(); }

void CView::OnActivateView(BOOL, CView*, CView*) {}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (DispatchOwnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    return m_pDocument != nullptr && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

LRESULT CView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITIALUPDATE) {
        OnInitialUpdate();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    OnDraw(&painter);
}
