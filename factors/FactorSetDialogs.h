#pragma once
// The small dialogs of the factor-library view: the shape of a new factor
// set or of changes to existing sets, which sets to clear, and the number of
// decimals. They only collect and check input; the view applies it.
#include <QString>

#include "CDialog.h"
#include "KernelTypes.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QCheckBox;

class CNewFactorSetDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 132;
    enum : int {
        IDC_NAME = 1007,
        IDC_NUM_PERIODS = 1004,
        IDC_PERIOD_LENGTH = 1002,
        IDC_FIRST_PERIOD = 1029,
        IDC_APPLY = 1717,
        IDC_TO_SELECTED = 1718,
        IDC_TO_ALL = 1719,
        IDC_CLEAR_VALUES = 1720,
    };
    enum Mode : int { kNew = 0, kEdit = 1 };

    explicit CNewFactorSetDlg(int mode, CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    int m_nFirstDevPrd = 12;
    QString m_strName;
    int m_nNumDevPrds = 7;
    int m_nPrdLengthIndex = 3;
    PRDLENGTH m_PrdLength = PRD_YEAR;
    int m_bClearValues = 0;
    int m_bApplyToAll = 0;

    static int IndexOfLength(PRDLENGTH length);
    static PRDLENGTH LengthOfIndex(int index);

    QPushButton* OkButton() const { return m_ok; }

private:
    void OnNameChanged();
    void ShowApplyGroup(bool show);

    int m_nMode;
    QLineEdit* m_name = nullptr;
    QComboBox* m_length = nullptr;
    QPushButton* m_ok = nullptr;
    QGroupBox* m_apply = nullptr;
    QButtonGroup* m_applyChoice = nullptr;
    QCheckBox* m_clear = nullptr;
};

class CClearFactorSetsDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 456;
    enum : int { IDC_NAME = 1007, IDC_TO_SELECTED = 1722, IDC_TO_ALL = 1721 };

    explicit CClearFactorSetsDlg(const QString& name, CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;

    QString m_strName;
    int m_bApplyToAll = 0;

private:
    void Choose(int applyToAll);
    QLineEdit* m_name = nullptr;
};

class CDFLDecimalsDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 255;
    enum : int { IDC_DECIMALS = 1046 };

    explicit CDFLDecimalsDlg(int decimals, CWnd* pParent = nullptr);
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    int m_nDecimals;
};
