#pragma once
// The frame of the diagonal and cut-off adjustment: a toolbar with the base
// diagonal and cut-off lists that its view fills and reads; "Done" closes it.
#include <QMdiSubWindow>  // CMDIChildWnd.h keeps a QPointer to one

#include "frames/CChildFrame.h"

class CToolBar;
class QComboBox;

class CBSParamsFrame : public CChildFrame {
public:
    enum : UINT {
        IDC_BASE_DIAG_LABEL = 32973,
        IDC_BASE_DIAG = 32974,
        IDC_CUT_OFF_LABEL = 32975,
        IDC_CUT_OFF = 32972,
        ID_PARAMS_DONE = 32979,
        kToolBarResource = 228,
    };
    CBSParamsFrame();

    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;

    CToolBar* ToolBar() const { return m_pToolBar; }
    QComboBox* BaseDiagonal() const { return m_pBaseDiag; }
    QComboBox* CutOff() const { return m_pCutOff; }

private:
    CToolBar* m_pToolBar = nullptr;
    QComboBox* m_pBaseDiag = nullptr;
    QComboBox* m_pCutOff = nullptr;
};
