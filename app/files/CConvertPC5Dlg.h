#pragma once
// "Convert PC5 Files": where a predecessor file's direct/assumed data go
// (the Gross or the Direct layer) and whether the Assumed layer becomes
// calculated. It shows and stores the kernel's process-wide conversion
// settings, which the conversion of the next opened file uses.
#include "CDialog.h"

class CConvertPC5Dlg : public CDialog {
public:
    enum : UINT {
        kTemplateId = 292,
        IDC_LAYER_GROSS = 1286,
        IDC_LAYER_DIRECT = 1287,
        IDC_ASSUMED_CALCULATED = 1172,
    };
    CConvertPC5Dlg();

    BOOL OnInitDialog() override;
    void OnOK() override;
};
