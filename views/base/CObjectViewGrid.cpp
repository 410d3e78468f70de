#include "CObjectViewGrid.h"

#include <QKeySequence>

#include "CDocument.h"
#include "CObjectView.h"
#include "MessageBox.h"

using namespace qs::ss;

CObjectViewGrid::CObjectViewGrid(CObjectView* view) : m_pView(view) {}

bool CObjectViewGrid::IsAcceptableEntry(const QString& text) {
    if (text.startsWith(QLatin1Char('='))) return true;
    for (const QChar ch : text)
        if (!ch.isDigit() && ch.isLetter() && !ch.isSpace()) return false;
    return true;
}

void CObjectViewGrid::OnEndEdit(const QString& text, bool& cancel) {
    SpreadsheetControl* ctrl = Ctrl();
    if (ctrl == nullptr || !ctrl->IsNotifyEnabled(SSN_EndEdit)) return;
    ctrl->GetActiveCell(m_nEditRow, m_nEditCol);
    if (!IsAcceptableEntry(text)) {
        cancel = true;
        ::MessageBox(this, QString::fromLatin1(kNumericOnly), QString(), MB_OK);
        return;
    }
    // The entry reaches the object once, from the stored-entry notice that
    // follows, with the number the grid made of it.
    m_bPendingEdit = TRUE;
}

void CObjectViewGrid::OnEntryStored() {
    if (!m_bPendingEdit) return;
    m_bPendingEdit = FALSE;
    SpreadsheetControl* ctrl = Ctrl();
    if (ctrl == nullptr || m_pView == nullptr) return;
    QString text;
    double value = 0.0;
    ctrl->GetText(m_nEditRow, m_nEditCol, text);
    text = text.left(255);
    ctrl->GetNumber(m_nEditRow, m_nEditCol, value);
    BeginWaitCursor();
    m_pView->SetAt(m_nEditRow, m_nEditCol, text, value, nullptr);
    m_pView->OnCellStored(m_nEditRow, m_nEditCol);
    if (m_pView->ViewingInterpolationMethodVar() && m_pView->GetDocument() != nullptr)
        m_pView->GetDocument()->UpdateAllViews(nullptr, 1, nullptr);
    EndWaitCursor();
}

void CObjectViewGrid::OnCancelEdit() { m_bPendingEdit = FALSE; }

namespace {
bool Matches(const Notification& n, QKeySequence::StandardKey key) {
    const QKeyCombination typed(Qt::KeyboardModifiers(n.modifiers & ~Qt::KeypadModifier), Qt::Key(n.key));
    for (const QKeySequence& binding : QKeySequence::keyBindings(key))
        if (binding.count() == 1 && binding[0] == typed) return true;
    return false;
}
}  // namespace

void CObjectViewGrid::OnKeyDown(Notification* n) {
    if (n == nullptr || n->cancel || m_pView == nullptr) return;
    if (Matches(*n, QKeySequence::Copy)) m_pView->OnEditCopy();
    else if (Matches(*n, QKeySequence::Cut)) m_pView->OnEditCut();
    else if (Matches(*n, QKeySequence::Paste)) m_pView->OnEditPaste();
    else if (n->key == Qt::Key_Delete && (n->modifiers & ~Qt::KeypadModifier) == 0) m_pView->OnEditDelete();
    else return;
    n->cancel = true;
}
