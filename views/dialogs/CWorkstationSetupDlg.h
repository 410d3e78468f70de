#pragma once
// "Workstation Setup": the user's display options. The application fills the
// members from its workstation settings before DoModal and commits them
// after OK; Cancel leaves its settings as they were. The default layer and
// the layer colours are edited as pending values that become the committed
// ones only on OK.
#include <QKeySequence>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

#include "CDialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;

class CWorkstationSetupDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 203;
    static constexpr UINT kAcceleratorTable = 341;
    enum : int {
        IDC_AUTO_OPEN = 1141,
        IDC_SHOW_TABLE_ID = 1140,
        IDC_ENTER_MOVES = 1181,
        IDC_DATA_PATH = 1144,
        IDC_BROWSE = 1206,
        IDC_SHOW_START = 1208,
        IDC_DEFAULT_SHOW = 1225,
        IDC_LAYER_COLORS = 1443,
        IDC_FULL_PRECISION = 1169,
        IDC_DEFAULT_LAYER = 1595,
        IDC_CHOOSE_COLORS = 1594,
        IDC_READONLY_BACKGROUND = 1183,
        IDC_DEFAULT_BACKGROUND = 1437,
    };
    static constexpr const char* kResetBackground =
        "This action will reset your read-only background.  Are you sure?";
    using Colors = std::array<std::uint32_t, 5>;

    explicit CWorkstationSetupDlg(CWnd* pParent = nullptr);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    // The accelerator table the dialog translates before its own keys; loaded
    // once at start-up, when the edition is known. Each entry sends its
    // command to the dialog.
    struct Accelerator {
        QKeySequence keys;
        UINT command;
    };
    static void LoadAccelerators();
    static const std::vector<Accelerator>& Accelerators();
    static bool AcceleratorsLoaded();

    // The buttons' actions.
    void OnChooseLayerColors();
    void OnBrowseDataPath();
    void OnReadOnlyBackground();
    void OnDefaultBackground();

    // The settings (committed values).
    int m_bAutoOpenMru = 0;
    int m_bShowTableId = 0;
    int m_nEnterMoves = 0;        // 0 Down .. 4 No Movement
    QString m_strDataPath;
    int m_bShowStartDialog = 1;
    int m_nDefaultShow = 0;       // 0 Cumulative, 1 Incremental (2, 3: calendar, kept)
    int m_bShowLayerColors = 0;
    int m_bColumnSumFullPrecision = 0;
    int m_nDefaultLayer = 1;      // 1..5
    Colors m_layerColors{};
    int m_nPattern = 4;
    std::uint32_t m_nPatternFg = 65535;
    std::uint32_t m_nPatternBg = 16777215;
    // The navigator's table filter (the View dialog's flags).
    int m_bViewEntered = 1;
    int m_bViewCalculated = 1;
    int m_bViewDataOnly = 0;
    int m_bViewSelectedTables = 0;

    // Pending until OK.
    int m_nPendingLayer = 1;
    Colors m_pendingColors{};

    QComboBox* DefaultLayerList() const { return m_defaultLayer; }
    QComboBox* EnterMovesList() const { return m_enterMoves; }
    QComboBox* DefaultShowList() const { return m_defaultShow; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void OnDefaultLayerChanged();
    void TranslateAccelerator(UINT command);
    // The read-only pattern through a hidden grid: fg/bg set on its sheet,
    // optionally the grid's pattern dialog, the values read back.
    void ApplyPatternThroughGrid(bool askUser, int pattern, std::uint32_t fg, std::uint32_t bg);

    QComboBox* m_enterMoves;
    QComboBox* m_defaultShow;
    QComboBox* m_defaultLayer;
    QLineEdit* m_dataPath;
    QPushButton* m_readOnlyBackground;
};

// The pattern dialog of the spreadsheet control: fill pattern, foreground
// and background colour of the selected cells.
class CSpreadsheetPatternDlg : public CDialog {
public:
    enum : int { IDC_PATTERN = 100, IDC_FOREGROUND = 101, IDC_BACKGROUND = 102 };
    explicit CSpreadsheetPatternDlg(CWnd* pParent = nullptr);
    void DoDataExchange(CDataExchange* pDX) override;

    int m_nPattern = 0;
    std::uint32_t m_nForeground = 0;
    std::uint32_t m_nBackground = 0xFFFFFF;

    // Colour choosers for the two buttons (QColorDialog, drivable by a ModalScript).
    void ChooseColor(std::uint32_t& colour);
};
