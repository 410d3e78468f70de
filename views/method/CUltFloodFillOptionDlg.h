#pragma once
// "Ultimate Flood Fill Option": per layer and estimate kind (ALAE, claims,
// loss, S&S, premium) the estimate the ultimates flood fill takes as the
// selected ultimate, and whether the kind's default input array is the
// minimum ultimate. Choices made on one layer are kept while the user moves
// to another; OK writes every layer visited, Cancel writes nothing.
#include <QString>

#include <array>
#include <map>
#include <vector>

#include "CDialog.h"
#include "FloodFillOptions.h"
#include "KernelTypes.h"

class CProject;
class QCheckBox;
class QComboBox;

class CUltFloodFillOptionDlg : public CDialog {
public:
    static constexpr UINT kTemplateId = 317;
    enum : int {
        IDC_LAYER = 1361,
        IDC_ALAE = 1362,
        IDC_CLAIMS = 1163,
        IDC_LOSS = 1164,
        IDC_SS = 1165,
        IDC_PREMIUM = 1166,
        IDC_CHECK_ALAE = 1368,
        IDC_CHECK_CLAIMS = 1365,
        IDC_CHECK_LOSS = 1366,
        IDC_CHECK_SS = 1367,
        IDC_CHECK_PREMIUM = 1369,
    };
    // The kinds in the dialog's order.
    enum Kind { kALAE = 0, kClaims, kLoss, kSS, kPremium, kKinds };
    struct KindInfo {
        QSID kindId;
        QSID minimumId;
        int comboId;
        int checkId;
        const char* word;     // "Please first choose a valid %s estimate!"
        const char* comboLabel;
        const char* checkLabel;
    };
    static const std::array<KindInfo, kKinds>& Kinds();

    CUltFloodFillOptionDlg(CProject* project, CWnd* pParent = nullptr);
    ~CUltFloodFillOptionDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override;

    // The layer the dialog opens on (the navigator's); set before DoModal.
    // 0: the layer the navigator hook gives, else Net.
    unsigned short m_nOpenLayer = 0;

    void OnLayerChanged();
    // The user ticked or unticked a kind's check box.
    void OnCheckClicked(int kind);
    void UpdateCheckStates();

    QComboBox* LayerCombo() const { return m_layerCombo; }
    QComboBox* Combo(int kind) const { return m_combos[std::size_t(kind)]; }
    QCheckBox* Check(int kind) const { return m_checks[std::size_t(kind)]; }
    unsigned short CurrentLayer() const { return m_nLayer; }

    // How the dialog finds the navigator's layer (the application sets it).
    static std::function<unsigned short()>& NavigatorLayer();

private:
    struct LayerRecord {
        std::array<int, kKinds> index{};  // -1: nothing chosen
        std::array<int, kKinds> check{};
    };
    void RefillCombos();
    void StoreRecord();
    void ClearItems(int kind);
    bool WriteLayer(unsigned short layer);

    CProject* m_pProject;
    unsigned short m_nLayer = 1;
    std::array<QSID, kKinds> m_minimumIds{};
    std::array<int, kKinds> m_checkValues{};
    std::map<unsigned short, LayerRecord> m_records;
    std::array<std::vector<CKDVUltFloodFillData*>, kKinds> m_items;
    QComboBox* m_layerCombo = nullptr;
    std::array<QComboBox*, kKinds> m_combos{};
    std::array<QCheckBox*, kKinds> m_checks{};
    bool m_bFilling = false;
};
