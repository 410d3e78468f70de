#include "frames/CPPAFrame.h"

#include <QLabel>
#include <QLineEdit>

#include "CWinApp.h"
#include "frames/FrameToolBars.h"
#include "MessageBox.h"

CPPAFrame::CPPAFrame() = default;

int CPPAFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CChildFrame::OnCreate(lpCreateStruct) == -1) return -1;
    m_pToolBar = qs::app::CreateFrameToolBar(this);
    if (m_pToolBar == nullptr) return -1;
    m_pTotalLabel = new QLabel(QStringLiteral("Total:"), m_pToolBar);
    qs::app::AddToolBarControl(m_pToolBar, m_pTotalLabel, IDC_TOTAL_LABEL);
    m_pTotal = new QLineEdit(m_pToolBar);
    m_pTotal->setReadOnly(true);
    qs::app::AddToolBarControl(m_pToolBar, m_pTotal, IDC_TOTAL, 100);
    m_pHint = new QLabel(QStringLiteral("Hint"), m_pToolBar);
    qs::app::AddToolBarControl(m_pToolBar, m_pHint, IDC_HINT, 300);
    return 0;
}

void CPPAFrame::OnClose() {
    if (m_bModified) {
        if (m_bDataValid) {
            const int answer = AfxMessageBox(QStringLiteral("Save Payment Pattern data?"), MB_YESNOCANCEL | MB_ICONQUESTION);
            if (answer == IDCANCEL) return;
            if (answer == IDYES)
                if (CWnd* main = AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr)
                    main->SendMessage(WM_COMMAND, ID_PPA_APPLY, 0);
        } else {
            const int answer = AfxMessageBox(QStringLiteral("Data is not valid.\nModifications will not be retained. "
                                                            "Close Payment Pattern window anyway?"),
                                             MB_OKCANCEL | MB_ICONQUESTION);
            if (answer != IDOK) return;
        }
    }
    CChildFrame::OnClose();
}

void CPPAFrame::SetHintText(const QString& text) {
    if (m_pHint != nullptr) m_pHint->setText(text);
}

void CPPAFrame::SetTotalText(const QString& text) {
    if (m_pTotal != nullptr) m_pTotal->setText(text);
}

void CPPAFrame::ShowTotalControls(bool show) {
    if (m_pTotal != nullptr) m_pTotal->setVisible(show);
    if (m_pTotalLabel != nullptr) m_pTotalLabel->setVisible(show);
}
