#pragma once
// "Display": how the project's numbers are shown, with a preview grid and
// "Save as Default..." into the defaults file of new projects.
#include "CDisplayDefaults.h"
#include "CPropertySheet.h"

namespace qs::ss {
class SpreadsheetControl;
}

class CPrjPage5 : public CPropertyPage {
public:
    enum : int {
        IDD = 1550,
        IDC_CURRENCY_SYMBOL = 1005,
        IDC_DECIMALS = 1006,
        IDC_NEGATIVE = 1013,
        IDC_POSITION = 1015,
        IDC_PREVIEW_FRAME = 1021,
        IDC_USE_THOUSANDS = 1113,
        IDC_SAVE_DEFAULT = 1188,
    };
    static constexpr int kMaxSymbol = 4;
    CPrjPage5();

    CDisplaySettings m_display;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void UpdatePreview();
    void OnSelchangeCurrencySymbol(int index);
    void OnSaveAsDefault();
    // Loads (FALSE) or stores (TRUE) the defaults file; 1 when it could be
    // opened, else 0 with the page unchanged.
    int SerializeDefaults(BOOL bStore);

    qs::ss::SpreadsheetControl* Preview() const { return m_preview; }

private:
    qs::ss::SpreadsheetControl* m_preview = nullptr;
};
