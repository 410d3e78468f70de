#pragma once
// "Interpolation": one interpolation selection of the exhibit options'
// interpolation page: its order (1 to 254), the curve fitted and the form of
// the factors it is fitted to. The caller sets m_selection before DoModal
// and reads it after OK; Cancel leaves the caller's copy untouched.
#include "CDialog.h"
#include "CInterpolateSelection.h"

class QComboBox;
class QLineEdit;

class CInterpolationOptionsDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 400;
    enum : int { IDC_CURVE = 1630, IDC_INPUT = 1631, IDC_ORDER = 1633 };

    explicit CInterpolationOptionsDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

    CInterpolateSelection m_selection;

    QLineEdit* OrderEdit() const { return m_order; }
    QComboBox* CurveCombo() const { return m_curve; }
    QComboBox* InputCombo() const { return m_input; }

private:
    QLineEdit* m_order = nullptr;
    QComboBox* m_curve = nullptr;
    QComboBox* m_input = nullptr;
};
