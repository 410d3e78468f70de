#pragma once
// "Structure": the exposure and development periods of a project. The
// structure can only be chosen when a project is created; a sheet filled from
// an existing project shows it locked.
#include <QString>

#include "CPropertySheet.h"

class CPrjPage1 : public CPropertyPage {
public:
    enum : int {
        IDD = 186,
        IDC_NUM_DEV = 1004,
        IDC_DEV_LENGTH = 1002,
        IDC_NUM_EXP = 1009,
        IDC_FIRST_YEAR = 1017,
        IDC_FIRST_INTERVAL = 1019,
        IDC_EXP_LENGTH = 1023,
        IDC_START_MONTHS = 1029,
        IDC_PRIOR = 1363,
        IDC_EVAL_DATE = 1370,
        IDC_EVAL_LABEL = 1371,
    };
    explicit CPrjPage1(int showEvalDate = 0);

    // List index 0..3 of a period length in months (1, 3, 6, 12); -1 for any other length.
    static int LengthIndexOf(int months);
    // Period length in months of a list index; 0 outside 0..3.
    static int LengthOfIndex(int index);

    unsigned m_nNumExp = 7;
    int m_nExpLength = 3;
    unsigned m_nFirstYear = 1990;
    unsigned m_nFirstInterval = 1;
    int m_bIncludesPrior = 0;
    unsigned m_nNumDev = 7;
    int m_nDevLength = 3;
    unsigned m_nStartMonths = 12;
    int m_bShowEvalDate = 0;
    QString m_strEvalDate;
    int m_bLocked = 0;
    int m_bTemplate = 0;  // the scripting server makes a template

    BOOL OnInitDialog() override;
    BOOL OnKillActive() override;
    void DoDataExchange(CDataExchange* pDX) override;
};
