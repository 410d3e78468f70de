#pragma once
// The choices of the project's structural commands: append an evaluation,
// remove the latest evaluations, remove the oldest exposure periods,
// compress columns and compress rows. Each dialog only gathers and checks
// the choice; the command changes the project and reports progress itself.
//
// The removal lists are ordered so that the entry at index n names the last
// period removed when the command removes n + 1 periods: the newest
// evaluation first, the oldest exposure period first.
#include <QString>
#include <QStringList>

#include "CDialog.h"

class CProject;
class QComboBox;
class QLabel;
class QButtonGroup;

class CAppendEvalPeriodDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 139;
    enum : int { IDC_DEVELOPMENT = 1037, IDC_EXPOSURE = 1034 };
    explicit CAppendEvalPeriodDlg(CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    int m_bAddDevelopment = 1;
    int m_bAddExposure = 0;
};

class CRemoveEvalPeriodsDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 1555;
    enum : int { IDC_TEXT = 1232, IDC_LIST = 1161 };
    explicit CRemoveEvalPeriodsDlg(CProject* project, CWnd* pParent = nullptr);
    // Refuses (with its message, IDCANCEL) when no evaluation can be removed.
    INT_PTR DoModal() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    QComboBox* List() const { return m_combo; }

    int m_nIndex = 0;
    CProject* m_pProject;

private:
    QComboBox* m_combo;
};

class CRemoveExposurePeriodsDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 275;
    enum : int { IDC_TEXT = 1232, IDC_WARNING = 1432, IDC_LIST = 1161 };
    explicit CRemoveExposurePeriodsDlg(CProject* project, CWnd* pParent = nullptr);
    // Refuses (with its message, IDCANCEL) when only one period is left.
    INT_PTR DoModal() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    QComboBox* List() const { return m_combo; }

    int m_nIndex = 0;
    CProject* m_pProject;

private:
    QComboBox* m_combo;
};

// The lengths a period of the given months can be compressed to.
QStringList CompressionChoices(int currentMonths);

class CCompressColumnsDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 145;
    enum : int { IDC_CURRENT = 1041, IDC_LENGTH = 1065, IDC_LEAVE_FIRST = 1066 };
    explicit CCompressColumnsDlg(CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void OnOK() override;
    QComboBox* List() const { return m_combo; }

    int m_nCurrentLength = 12;
    QString m_strCurrent;
    QString m_strChosen;
    int m_bLeaveFirst = 0;

private:
    QComboBox* m_combo;
};

class CCompressRowsDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 165;
    enum : int {
        IDC_CURRENT = 1042,
        IDC_DEFAULT = 1067,
        IDC_USER = 1068,
        IDC_STOP = 1069,
        IDC_START = 1070,
        IDC_RATIO = 1071,
        IDC_LENGTH = 1072,
    };
    explicit CCompressRowsDlg(CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnDefault();
    void OnUserDefined();
    QComboBox* List() const { return m_combo; }

    int m_nCurrentLength = 12;
    QString m_strCurrent;
    QString m_strChosen;
    unsigned m_nRatio = 0;
    unsigned m_nStartRow = 0;
    unsigned m_nStopRow = 0;

private:
    QComboBox* m_combo;
    QButtonGroup* m_mode;
};
