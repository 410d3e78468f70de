#include "CCtrlView.h"

#include <QVBoxLayout>

namespace {
void FillWith(QWidget* view, QWidget* control) {
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(control);
}
}  // namespace

CTreeView::CTreeView() : m_tree(new QTreeWidget(this)) {
    m_tree->setHeaderHidden(true);
    FillWith(this, m_tree);
}

CListView::CListView() : m_list(new QTreeWidget(this)) {
    m_list->setRootIsDecorated(false);
    m_list->setHeaderHidden(true);
    FillWith(this, m_list);
}

CRichEditView::CRichEditView() : m_edit(new QTextEdit(this)) { FillWith(this, m_edit); }

void CRichEditView::SetWordWrap(WordWrapType mode) {
    m_edit->setLineWrapMode(mode == WrapNone ? QTextEdit::NoWrap : QTextEdit::WidgetWidth);
}

CFormView::CFormView(UINT nIDTemplate) : m_nIDTemplate(nIDTemplate) {}

void CFormView::OnInitialUpdate() {
    UpdateData(FALSE);
    CView::OnInitialUpdate();
}

BOOL CFormView::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return dx.m_failed ? FALSE : TRUE;
}
