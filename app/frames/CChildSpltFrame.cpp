#include "frames/CChildSpltFrame.h"

#include <QSplitter>

#include "CDocument.h"
#include "CView.h"

CChildSpltFrame::CChildSpltFrame() = default;

BOOL CChildSpltFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) {
    if (pContext == nullptr || pContext->m_pNewViewClass == nullptr) return FALSE;
    m_context = *pContext;
    m_pRows = new QSplitter(Qt::Vertical, this);
    m_pRows->setChildrenCollapsible(false);
    setCentralWidget(m_pRows);
    auto* row = new QSplitter(Qt::Horizontal, m_pRows);
    row->setChildrenCollapsible(false);
    CView* first = MakePaneView(row);
    if (first == nullptr) return FALSE;
    SetControlId(first, int(AFX_IDW_PANE_FIRST));
    return TRUE;
}

CView* CChildSpltFrame::MakePaneView(QSplitter* row) {
    CObject* object = m_context.m_pNewViewClass->CreateObject();
    auto* view = dynamic_cast<CView*>(object);
    if (view == nullptr) {
        delete object;
        return nullptr;
    }
    view->setMinimumSize(kMinPane, kMinPane);
    row->addWidget(view);
    if (m_context.m_pCurrentDoc != nullptr) m_context.m_pCurrentDoc->AddView(view);
    return view;
}

int CChildSpltFrame::GetRowCount() const { return m_pRows ? m_pRows->count() : 0; }

int CChildSpltFrame::GetColumnCount() const {
    return m_pRows && m_pRows->count() > 0 ? static_cast<QSplitter*>(m_pRows->widget(0))->count() : 0;
}

CView* CChildSpltFrame::GetPane(int row, int column) const {
    if (m_pRows == nullptr || row < 0 || row >= m_pRows->count()) return nullptr;
    auto* line = static_cast<QSplitter*>(m_pRows->widget(row));
    return column >= 0 && column < line->count() ? dynamic_cast<CView*>(line->widget(column)) : nullptr;
}

bool CChildSpltFrame::SplitRow() {
    if (m_pRows == nullptr || GetRowCount() >= kMaxRows) return false;
    const int columns = GetColumnCount();
    auto* row = new QSplitter(Qt::Horizontal, m_pRows);
    row->setChildrenCollapsible(false);
    for (int c = 0; c < columns; ++c)
        if (MakePaneView(row) == nullptr) return false;
    return true;
}

bool CChildSpltFrame::SplitColumn() {
    if (m_pRows == nullptr || GetColumnCount() >= kMaxColumns) return false;
    for (int r = 0; r < GetRowCount(); ++r)
        if (MakePaneView(static_cast<QSplitter*>(m_pRows->widget(r))) == nullptr) return false;
    return true;
}
