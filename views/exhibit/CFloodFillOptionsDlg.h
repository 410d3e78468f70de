#pragma once
// "Flood Fill Options - <node>": how the interpolated selected factors of one
// exhibit are filled: by a first and a second default curve (each a curve and
// the form of the factors it is fitted to), or not at all. The caller sets
// the option, runs DoModal with the node's name and reads GetOption after OK.
#include <QString>

#include "CDialog.h"
#include "FloodFillOptions.h"

class QComboBox;
class QRadioButton;

class CFloodFillOptionsDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 404;
    enum : int {
        IDC_NONE = 1638,
        IDC_CURVE_FIT = 1639,
        IDC_CURVE1 = 1640,
        IDC_CURVE2 = 1641,
        IDC_INPUT1 = 1642,
        IDC_INPUT2 = 1643,
    };

    explicit CFloodFillOptionsDlg(CWnd* pParent = nullptr);

    // The caption becomes "Flood Fill Options - " and the name without its
    // leading blanks.
    INT_PTR DoModal(const QString& nodeName);
    INT_PTR DoModal() override { return DoModal(QString()); }
    BOOL OnInitDialog() override;
    void OnOK() override;

    void SetOption(const CInterpolateSDFFloodFillOption& option) { m_option = option; }
    CInterpolateSDFFloodFillOption GetOption() const { return m_option; }

    void OnNone();
    void OnCurveFit();

    QComboBox* Combo(int id) const;
    QRadioButton* Radio(int id) const;

private:
    void EnableCombos(bool on);
    bool ReadDefault(int curveId, int inputId, CInterpolateSDFFloodFillSelection& out) const;

    CInterpolateSDFFloodFillOption m_option;
    QString m_strTitle;
};
