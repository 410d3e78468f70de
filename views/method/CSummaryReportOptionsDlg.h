#pragma once
// "Summary Report options": which tables a summary report gathers, in
// report order, and which derived columns it shows (straight average,
// selected ultimate, weighted average with its weights). The project
// document runs it before it opens a summary report's window. The caller
// sets the project, the report id and the layer; OK stores the options in
// the kernel, Cancel stores nothing.
#include <vector>

#include "CDialog.h"
#include "CKDVUltWeightData.h"
#include "KernelTypes.h"

class CProject;
class QCheckBox;
class QPushButton;
class QTreeWidget;

class CSummaryReportOptionsDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 218;
    enum : int {
        IDC_AVAILABLE = 1129,
        IDC_SELECTED = 1118,
        IDC_ADD = 1130,
        IDC_DEL = 1088,
        IDC_STRAIGHT_AVERAGE = 1173,
        IDC_SELECTED_ULTIMATE = 1174,
        IDC_WEIGHTED_AVERAGE = 1175,
        IDC_SELECT_WEIGHTS = 1345,
        IDC_DISPLAY_WEIGHTS = 1605,
    };

    explicit CSummaryReportOptionsDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* pDX) override;

    // Moves the chosen entries of one list to the end of the other.
    void OnAdd();
    void OnDel();
    // The weight settings of the selected tables; false when fewer than two
    // are selected or the weights dialog was cancelled.
    bool OnSelectWeights();

    QTreeWidget* AvailableList() const { return m_available; }
    QTreeWidget* SelectedList() const { return m_selected; }
    QCheckBox* WeightedAverageBox() const { return m_weightedBox; }
    QPushButton* SelectWeightsButton() const { return m_selectWeights; }
    QCheckBox* DisplayWeightsBox() const { return m_displayWeightsBox; }
    QCheckBox* SelectedUltimateBox() const { return m_selectedUltimateBox; }
    QCheckBox* StraightAverageBox() const { return m_straightBox; }
    const QSIDArray& SelectedIds() const { return m_SelectedIds; }
    const CKDVUltWeightDataInfo& Weights() const { return m_Weights; }

    CProject* m_pProject = nullptr;
    QSID m_lReportId = 0;
    unsigned short m_nLayer = 1;
    int m_bStraightAverage = 1;
    int m_bSelectedUltimate = 1;
    int m_bWeightedAverage = 0;
    int m_bDisplayWeights = 0;

private:
    void Move(QTreeWidget* from, QTreeWidget* to);
    void EnableWeightControls();
    QSIDArray ListIds(const QTreeWidget* list) const;

    QSIDArray m_SelectedIds;
    QSIDArray m_SelectedCopy;
    QSIDArray m_AvailableIds;
    std::vector<bool> m_Flags;
    CKDVUltWeightDataInfo m_Weights;

    QTreeWidget* m_available;
    QTreeWidget* m_selected;
    QCheckBox* m_straightBox;
    QCheckBox* m_selectedUltimateBox;
    QCheckBox* m_weightedBox;
    QPushButton* m_selectWeights;
    QCheckBox* m_displayWeightsBox;
};
