#pragma once
// Three small dialogs other subsystems open: "Select new name" (278),
// "Scaling Factor" (213) and "Statistics" (147).
#include <QString>
#include <QStringList>

#include "CDialog.h"

class QComboBox;
class QListWidget;

class CSelectNameDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 278;
    enum : int { IDC_NAMES = 1129, IDC_TEXT = 1229 };

    explicit CSelectNameDlg(const QStringList& names, CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    QStringList m_names;
    QString m_strSelected;  // the chosen name after OK
    QString m_strText;      // the edit field
    int m_nSelected = -1;

private:
    QListWidget* m_list;
};

class CScalingFactorDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 213;
    enum : int { IDC_VALUE = 1185 };

    static constexpr const char* kPositive = "The scaling factor must be a number greater than 0.";

    explicit CScalingFactorDlg(CWnd* pParent = nullptr);
    void DoDataExchange(CDataExchange* pDX) override;
    // Averages divide by the factor: only a number above 0 is taken.
    void OnOK() override;

    double m_dValue = 0.0;
};

class CStatisticsDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 147;
    enum : int {
        IDC_CHECK_A = 1031,
        IDC_CHECK_B = 1030,
        IDC_CHECK_C = 1708,
        IDC_TYPE = 1039,
        IDC_WEIGHTS = 1038,
        IDC_BYTE_A = 1032,
        IDC_BYTE_B = 1033,
        IDC_BYTE_C = 1036,
        IDC_COUNT = 1141,
    };
    static constexpr const char* kWeightsRefused = "Weights are not allowed on linear trends or exponential curves.";
    static constexpr const char* kCountRange = "Please select an integer from 0 to 254";

    explicit CStatisticsDlg(CWnd* pParent = nullptr);
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    // The callers fill the two lists.
    QComboBox* TypeList() const { return m_type; }
    QComboBox* WeightsList() const { return m_weights; }

    int m_bCheckA = 0, m_bCheckB = 0, m_bCheckC = 0;
    int m_nType = -1, m_nWeights = -1;
    int m_nByteA = 0, m_nByteB = 0, m_nByteC = 0;  // one byte each
    int m_nCount = 0;

private:
    QComboBox* m_type;
    QComboBox* m_weights;
};
