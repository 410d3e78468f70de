#include "frames/CBSParamsFrame.h"

#include <QComboBox>
#include <QLabel>

#include "frames/FrameToolBars.h"

CBSParamsFrame::CBSParamsFrame() {
    MapCommand(ID_PARAMS_DONE, [this] { SendMessage(WM_CLOSE); });
}

int CBSParamsFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CChildFrame::OnCreate(lpCreateStruct) == -1) return -1;
    m_pToolBar = qs::app::CreateFrameToolBar(this);
    if (m_pToolBar == nullptr) return -1;
    qs::app::AddToolBarControl(m_pToolBar, new QLabel(QStringLiteral("Base Diag."), m_pToolBar), IDC_BASE_DIAG_LABEL);
    m_pBaseDiag = new QComboBox(m_pToolBar);
    qs::app::AddToolBarControl(m_pToolBar, m_pBaseDiag, IDC_BASE_DIAG, 100);
    m_pToolBar->addSeparator();
    qs::app::AddToolBarControl(m_pToolBar, new QLabel(QStringLiteral("Cut off after"), m_pToolBar), IDC_CUT_OFF_LABEL);
    m_pCutOff = new QComboBox(m_pToolBar);
    qs::app::AddToolBarControl(m_pToolBar, m_pCutOff, IDC_CUT_OFF, 100);
    qs::app::AddToolBarGap(m_pToolBar, 30);
    return 0;
}
