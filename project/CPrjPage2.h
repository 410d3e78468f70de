#pragma once
// "Information": the project's descriptive texts.
#include <QString>

#include "CPropertySheet.h"

class CPrjPage2 : public CPropertyPage {
public:
    enum : int { IDD = 187, IDC_COMPANY = 1046, IDC_DESCRIPTION = 1137, IDC_ASOF = 1138, IDC_COMMENT = 1140 };
    static constexpr int kMaxComment = 255;
    CPrjPage2();

    QString m_strCompany;
    QString m_strDescription;
    QString m_strAsOfDate;
    QString m_strComment;

    void DoDataExchange(CDataExchange* pDX) override;
};
