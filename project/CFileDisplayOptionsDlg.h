#pragma once
// "File Display Options": the number display of an open project (currency
// symbol and its place, negative numbers, thousands separator, decimals)
// with a live sample; the application's read-only cell pattern; and
// "&Default...", which keeps the choice for new files. The project changes
// only on OK.
#include "CDialog.h"
#include "CDisplayDefaults.h"

class CProject;
class QComboBox;
class QPushButton;

namespace qs::ss {
class SpreadsheetControl;
}

class CFileDisplayOptionsDlg : public CDialog {
public:
    enum : int {
        IDD = 102,
        IDC_CURRENCY_SYMBOL = 1005,
        IDC_DECIMALS = 1006,
        IDC_NEGATIVE = 1013,
        IDC_POSITION = 1015,
        IDC_PREVIEW_FRAME = 1021,
        IDC_USE_THOUSANDS = 1113,
        IDC_READ_ONLY_BACKGROUND = 1183,
        IDC_DEFAULT = 1188,
    };
    static constexpr int kMaxSymbol = 4;

    explicit CFileDisplayOptionsDlg(CProject* project, CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    void UpdatePreview();
    void OnSelchangeCurrencySymbol(int index);
    void OnReadOnlyBackground();
    void OnDefault();

    CDisplaySettings m_display;
    qs::ss::SpreadsheetControl* Preview() const { return m_preview; }

private:
    CProject* m_pProject;
    qs::ss::SpreadsheetControl* m_preview;
};
