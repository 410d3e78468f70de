#include "CDFLGrid.h"

#include <QMenu>

#include "CDFLView.h"
#include "CFrameWnd.h"
#include "CommandIds.h"
#include "FactorLibraryHost.h"
#include "MessageBox.h"
#include "SpreadsheetControl.h"
#include "WaitCursor.h"

using qs::ss::SpreadsheetControl;

CDFLGrid::CDFLGrid(CDFLView* view, QWidget* parent) : CSpreadsheetWnd(parent), m_pView(view) {}

CDFLGrid::~CDFLGrid() {
    // The control goes first, so a pending edit cannot call into a view
    // that is being destroyed.
    if (Ctrl() != nullptr) Ctrl()->EnableNotify(qs::ss::SSN_EndEdit, false);
}

void CDFLGrid::SetUp(int decimals) {
    SpreadsheetControl* ctrl = Ctrl();
    if (ctrl == nullptr) return;
    ctrl->SetMaxRow(1);
    ctrl->SetRowHeadingText(1, QString());
    ApplyEnterMoves();
    m_pView->SetDecimals(decimals);
    ctrl->SetSelection(1, 1, 1, 1);
    ctrl->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(ctrl, &QWidget::customContextMenuRequested, this,
                     [this](const QPoint&) { ShowContextMenu(QPoint(5, 5)); });
}

void CDFLGrid::ApplyEnterMoves() {
    if (Ctrl() == nullptr) return;
    const int enterMoves = qs::factors::Host().enterMoves ? qs::factors::Host().enterMoves() : 0;
    qs::ss::SSSetEnterMovesDown(Ctrl(), enterMoves != 4);
}

void CDFLGrid::OnKeyDown(qs::ss::Notification* n) {
    if (n == nullptr) return;
    if (m_bEditPermission == 0) {
        AfxMessageBox(QStringLiteral("You have not been granted permission to perform this task on this component.\n"
                                     "See component's Access Properties for more information."));
        n->cancel = true;
        return;
    }
    if (n->key == Qt::Key_F10 && (n->modifiers & Qt::ShiftModifier)) {
        ShowContextMenu(QPoint(5, 5));
        n->cancel = true;
    }
}

void CDFLGrid::ShowContextMenu(const QPoint& pos) {
    if (m_bEditPermission == 0) return;
    QMenu menu(this);
    const std::pair<const char*, UINT> items[] = {
        {"Cu&t\tCtrl+X", ID_EDIT_CUT}, {"&Copy\tCtrl+C", ID_EDIT_COPY}, {"&Paste\tCtrl+V", ID_EDIT_PASTE}};
    for (const auto& [text, id] : items) {
        QAction* action = menu.addAction(QString::fromLatin1(text));
        QObject::connect(action, &QAction::triggered, this, [this, id] {
            // The frame routes the command to the view.
            if (CFrameWnd* frame = m_pView->GetParentFrame()) frame->RouteCommand(id);
            else m_pView->RouteCommand(id);
        });
    }
    menu.exec(mapToGlobal(pos));
}

void CDFLGrid::OnEndEdit(const QString& text, bool& cancel) {
    SpreadsheetControl* ctrl = Ctrl();
    if (ctrl == nullptr || !ctrl->IsNotifyEnabled(qs::ss::SSN_EndEdit)) return;
    CWaitCursor wait;
    ctrl->EnableNotify(qs::ss::SSN_EndEdit, false);
    // Every typed text is checked, "=..." too: a factor row holds numbers
    // only, and text that is none must not be stored as whatever number
    // could be dug out of it.
    const QString problem = CDFLView::CheckFactorText(text, false);
    if (!problem.isEmpty()) {
        cancel = true;
        ctrl->EnableNotify(qs::ss::SSN_EndEdit, true);
        ::MessageBox(this, problem, QString(), MB_OK);
        return;
    }
    int row = 1, col = 1;
    ctrl->GetActiveCell(row, col);
    m_nEditRow = row;
    m_nEditCol = col;
    m_pView->WriteFactorCell(row - 1, col - 1, text, 0.0);
    m_bPendingEdit = TRUE;
    ctrl->EnableNotify(qs::ss::SSN_EndEdit, true);
}

void CDFLGrid::OnEntryStored() {
    if (!m_bPendingEdit) return;
    m_bPendingEdit = FALSE;
    SpreadsheetControl* ctrl = Ctrl();
    QString text;
    double value = 0.0;
    ctrl->GetEntry(m_nEditRow, m_nEditCol, text);
    ctrl->GetNumber(m_nEditRow, m_nEditCol, value);
    m_pView->WriteFactorCell(m_nEditRow - 1, m_nEditCol - 1, text, value);
    m_pView->ShowFactors(FALSE);
}
