#pragma once
// "Scaling Factor": the ratio between the rounding bases of count and amount arrays.
#include "CPropertySheet.h"

class CPrjPage4 : public CPropertyPage {
public:
    enum : int { IDD = 1551, IDC_VALUE = 1185 };
    CPrjPage4();

    double m_dScalingFactor = 1.0;

    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_VALUE, m_dScalingFactor); }
};
