#pragma once
// The tail factor of a Statistics flood-fill rule: page 1 chooses none, a
// specified value or a curve fitted through the selected factors; page 2,
// present only while a curve is chosen, sets the curve's cutoff, the points
// left out and the c parameter. The sheet works on a copy; WriteResults puts
// the pages' results into the caller's tail option after the sheet was not
// cancelled. Page 2's results go back only when page 2 was shown, so a rule's
// curve parameters survive a visit that never opened it.
#include <QString>

#include "CPropertySheet.h"
#include "FloodFillOptions.h"

class CProject;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

class CKDVFFSDFTailOptionPg : public CPropertyPage {
public:
    static constexpr UINT kTemplateId = 322;
    enum : int {
        IDC_NONE = 1429,
        IDC_SPECIFIED = 1397,
        IDC_FIT = 1400,
        IDC_VALUE = 1121,
        IDC_CURVE = 1399,
        IDC_SHOW_ALL = 1404,
        IDC_FILL_MISSING = 1568,
    };
    CKDVFFSDFTailOptionPg();

    BOOL OnInitDialog() override;
    BOOL OnKillActive() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // Enables the fields of the choice and adds or removes page 2.
    void ApplyChoice();
    void WriteResult(CFFTailOption& out) const;

    int m_nChoice = 0;  // 0 none, 1 specified value, 2 fitted curve
    double m_dValue = 1.0;
    int m_nCurve = 0;
    int m_bShowAll = 0;
    int m_bFillMissing = 0;
    CFFTailOption m_option;

    QRadioButton* Radio(int id) const;
    QLineEdit* ValueEdit() const { return m_value; }
    QComboBox* CurveCombo() const { return m_curve; }

private:
    QLineEdit* m_value = nullptr;
    QComboBox* m_curve = nullptr;
};

class CKDVFFSDFTailCurveParamPg : public CPropertyPage {
public:
    static constexpr UINT kTemplateId = 323;
    enum : int {
        IDC_VARIABLE = 1401,
        IDC_FIXED = 1402,
        IDC_VARIABLE_VALUE = 1403,
        IDC_FIXED_VALUE = 1404,
        IDC_EXCLUDE_FIRST = 1405,
        IDC_EXCLUDE_LAST = 1406,
        IDC_C = 1407,
    };
    static constexpr const char* kVariableTooSmall = "The specified Variable Cutoff value is too small.";
    static constexpr const char* kFixedTooSmall = "The specified Fixed Cutoff value is too small.";

    CKDVFFSDFTailCurveParamPg();

    BOOL OnInitDialog() override;
    BOOL OnKillActive() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void ApplyChoice();
    // The cutoff must lie beyond the project's last development age: a
    // variable cutoff at least one period beyond it, a fixed one (years) not
    // before it. False after the message.
    bool CheckCutoff();
    void WriteResult(CFFCRXSetting& out) const;

    int m_nChoice = -1;  // 0 variable, 1 fixed, -1 none chosen
    int m_nVariable = 0;
    int m_nFixed = 0;
    int m_nExcludeFirst = 0;
    int m_nExcludeLast = 0;
    float m_fC = 0.0f;
    CFFCRXSetting m_setting;
    CProject* m_pProject = nullptr;

    QRadioButton* Radio(int id) const;
    QLineEdit* Edit(int id) const;
    bool WasShown() const { return m_bShown; }
};

class CKDVFFTailOptionSht : public CPropertySheet {
public:
    CKDVFFTailOptionSht(const CFFTailOption& option, const QString& caption, CWnd* parent = nullptr,
                        UINT firstPage = 0);

    void SetProject(CProject* project) { m_page2.m_pProject = project; }
    BOOL OnInitDialog() override;
    // Page 1's result, then page 2's when it was shown.
    void WriteResults(CFFTailOption& out) const;

    CFFTailOption m_option;
    CKDVFFSDFTailOptionPg m_page1;
    CKDVFFSDFTailCurveParamPg m_page2;
};
