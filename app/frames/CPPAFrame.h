#pragma once
// The frame of a payment pattern: a toolbar with the total label and field
// and the hint line, and two flags that the pattern view keeps (modified,
// and whether the data are valid). Closing a modified pattern asks first.
#include <QMdiSubWindow>  // CMDIChildWnd.h keeps a QPointer to one

#include "CPPAView.h"  // IPaymentPatternFrame
#include "frames/CChildFrame.h"

class CToolBar;
class QLabel;
class QLineEdit;

class CPPAFrame : public CChildFrame, public IPaymentPatternFrame {
public:
    enum : UINT {
        IDC_TOTAL_LABEL = 1207,
        IDC_TOTAL = 1209,
        IDC_HINT = 1102,
        ID_PPA_APPLY = 12321,
        kToolBarResource = 227,
    };
    CPPAFrame();

    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnClose() override;

    // Kept by the view.
    void SetModified(bool modified) override { m_bModified = modified; }
    bool IsModified() const override { return m_bModified; }
    void SetDataValid(bool valid) override { m_bDataValid = valid; }
    bool IsDataValid() const override { return m_bDataValid; }
    bool HasHintControls() const override { return m_pHint != nullptr && m_pTotal != nullptr; }
    void SetHintText(const QString& text) override;
    void SetTotalText(const QString& text) override;
    void ShowTotalControls(bool show) override;

    CToolBar* ToolBar() const { return m_pToolBar; }
    QLabel* TotalLabel() const { return m_pTotalLabel; }
    QLineEdit* Total() const { return m_pTotal; }
    QLabel* Hint() const { return m_pHint; }

private:
    CToolBar* m_pToolBar = nullptr;
    QLabel* m_pTotalLabel = nullptr;
    QLineEdit* m_pTotal = nullptr;
    QLabel* m_pHint = nullptr;
    bool m_bModified = false;
    bool m_bDataValid = true;
};
