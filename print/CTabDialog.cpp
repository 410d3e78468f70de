#include "CTabDialog.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextEdit>

CTabPageDialog::CTabPageDialog(UINT templateId, QWidget* parent) : CDialog(templateId, nullptr) {
    setParent(parent, Qt::Widget);
}

CTabDialog* CTabPageDialog::Owner() const {
    for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget())
        if (auto* owner = dynamic_cast<CTabDialog*>(w)) return owner;
    return nullptr;
}

void CTabPageDialog::OwnerOK() {
    if (CTabDialog* owner = Owner()) owner->OnOK();
}

void CTabPageDialog::OwnerCancel() {
    if (CTabDialog* owner = Owner()) owner->OnCancel();
}

void CTabPageDialog::NotifyChange() {
    if (CTabDialog* owner = Owner()) owner->UpdateControls();
}

void CTabPageDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    // Multi-line edits take Enter as a line break.
    QWidget* focus = focusWidget();
    const bool multiLine = qobject_cast<QPlainTextEdit*>(focus) != nullptr || qobject_cast<QTextEdit*>(focus) != nullptr;
    if (enter && !multiLine && event->modifiers() == Qt::NoModifier) {
        OwnerOK();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        OwnerCancel();
        return;
    }
    QWidget::keyPressEvent(event);
}

CDialogTabCtrl::CDialogTabCtrl(QWidget* parent) : QTabWidget(parent) {
    CWnd::SetControlId(this, 1644);
    connect(this, &QTabWidget::currentChanged, this, [this](int index) {
        if (index >= 0 && index < PageCount()) Page(index)->setFocus();
    });
}

CDialogTabCtrl::~CDialogTabCtrl() = default;  // the pages are child widgets

void CDialogTabCtrl::AddPage(CTabPageDialog* page, const QString& tab) {
    m_pages.push_back(page);
    addTab(page, tab);
}

void CDialogTabCtrl::RefreshPages() {
    for (CTabPageDialog* page : m_pages) page->Refresh();
}

CTabDialog::CTabDialog(UINT templateId, QWidget* parent) : CDialog(templateId, nullptr) {
    if (parent != nullptr) setParent(parent, windowFlags());
}

BOOL CTabDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_pTabCtrl != nullptr && m_pTabCtrl->PageCount() == 0) {
        m_pTabCtrl->CreatePages();
        m_pTabCtrl->setCurrentIndex(0);
    }
    UpdateControls();
    return TRUE;
}

void CTabDialog::RefreshPages() {
    if (m_pTabCtrl != nullptr) m_pTabCtrl->RefreshPages();
}
