#pragma once
// "Choose Layer Colors": the text colours of the five layers (Net, Gross,
// Ceded, Direct, Assumed) as colour values 0x00BBGGRR. The caller gives the
// colours to the constructor and takes them back after OK.
#include <array>
#include <cstdint>

#include "CDialog.h"

class QComboBox;
class QLineEdit;

class CLayerColorsDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 393;
    enum : int { IDC_LAYER = 1595, IDC_SWATCH = 1593, IDC_CHANGE = 1594, IDC_RESTORE = 1596 };
    using Colors = std::array<std::uint32_t, 5>;
    // Net black, Gross dark green, Ceded brown, Direct dark blue, Assumed purple.
    static constexpr Colors kDefaultColors = {0, 25600, 26265, 6553600, 6684774};

    explicit CLayerColorsDlg(const Colors& colors, CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;

    // "Change Color": the colour chooser for the selected layer.
    void OnChangeColor();
    // "Restore Defaults".
    void OnRestoreDefaults();

    QComboBox* LayerList() const { return m_layer; }
    // The swatch's colour (the selected layer's).
    std::uint32_t SwatchColor() const;

    Colors m_colors;

private:
    void PaintSwatch();

    QComboBox* m_layer;
    QLineEdit* m_swatch;
};
