#include "CUltFloodFillOptionDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "CProject.h"
#include "MessageBox.h"

const std::array<CUltFloodFillOptionDlg::KindInfo, CUltFloodFillOptionDlg::kKinds>& CUltFloodFillOptionDlg::Kinds() {
    static const std::array<KindInfo, kKinds> kinds = {{
        {301003012, 101000010, IDC_ALAE, IDC_CHECK_ALAE, "ALAE", "Ultimate ALAE Estimates:", "Incurred ALAE"},
        {301003021, 101000019, IDC_CLAIMS, IDC_CHECK_CLAIMS, "Claims", "Ultimate Claims Estimates:", "Reported Claims"},
        {301003003, 101000011, IDC_LOSS, IDC_CHECK_LOSS, "Loss", "Ultimate Loss Estimates:", "Incurred Loss"},
        {301003028, 101000020, IDC_SS, IDC_CHECK_SS, "S&S", "Ultimate S&&S Estimates:", "S&&S Received"},
        {301003056, 101000040, IDC_PREMIUM, IDC_CHECK_PREMIUM, "Premium", "Ultimate Premium Estimates:",
         "Written Premiums"},
    }};
    return kinds;
}

std::function<unsigned short()>& CUltFloodFillOptionDlg::NavigatorLayer() {
    static std::function<unsigned short()> hook;
    return hook;
}

CUltFloodFillOptionDlg::CUltFloodFillOptionDlg(CProject* project, CWnd* pParent)
    : CDialog(kTemplateId, pParent), m_pProject(project) {
    setWindowTitle(QStringLiteral("Ultimate Flood Fill Option"));
    auto* layout = new QVBoxLayout(this);
    auto* layerRow = new QHBoxLayout;
    m_layerCombo = new QComboBox(this);
    SetControlId(m_layerCombo, IDC_LAYER);
    auto* layerLabel = new QLabel(QStringLiteral("&Layer:"), this);
    layerLabel->setBuddy(m_layerCombo);
    layerRow->addWidget(layerLabel);
    layerRow->addWidget(m_layerCombo, 1);
    layout->addLayout(layerRow);

    auto* selected = new QGroupBox(QStringLiteral("Default selected ultimate:"), this);
    auto* selectedGrid = new QGridLayout(selected);
    auto* minimum = new QGroupBox(QStringLiteral("Default minimum ultimate:"), this);
    auto* minimumBox = new QVBoxLayout(minimum);
    for (int k = 0; k < kKinds; ++k) {
        const KindInfo& info = Kinds()[std::size_t(k)];
        m_minimumIds[std::size_t(k)] = info.minimumId;
        auto* combo = new QComboBox(this);
        combo->setMinimumContentsLength(24);
        SetControlId(combo, info.comboId);
        auto* label = new QLabel(QString::fromLatin1(info.comboLabel), this);
        label->setBuddy(combo);
        selectedGrid->addWidget(label, k, 0);
        selectedGrid->addWidget(combo, k, 1);
        auto* check = new QCheckBox(QString::fromLatin1(info.checkLabel), this);
        SetControlId(check, info.checkId);
        minimumBox->addWidget(check);
        m_combos[std::size_t(k)] = combo;
        m_checks[std::size_t(k)] = check;
        connect(check, &QCheckBox::clicked, this, [this, k] { OnCheckClicked(k); });
        connect(combo, &QComboBox::currentIndexChanged, this, [this] {
            if (!m_bFilling) UpdateCheckStates();
        });
    }
    auto* groups = new QHBoxLayout;
    groups->addWidget(selected, 2);
    groups->addWidget(minimum, 1);
    layout->addLayout(groups);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(IDOK, QStringLiteral("OK")));
    buttons->addWidget(AddButton(IDCANCEL, QStringLiteral("Cancel")));
    layout->addLayout(buttons);
    connect(m_layerCombo, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_bFilling) OnLayerChanged();
    });
}

CUltFloodFillOptionDlg::~CUltFloodFillOptionDlg() {
    for (int k = 0; k < kKinds; ++k) ClearItems(k);
}

void CUltFloodFillOptionDlg::ClearItems(int kind) {
    for (CKDVUltFloodFillData* item : m_items[std::size_t(kind)]) delete item;
    m_items[std::size_t(kind)].clear();
}

BOOL CUltFloodFillOptionDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    unsigned short layer = m_nOpenLayer;
    if (layer == 0 && NavigatorLayer()) layer = NavigatorLayer()();
    if (layer < 1 || layer > 5) layer = 1;
    m_nLayer = layer;
    m_bFilling = true;
    m_layerCombo->clear();
    unsigned short count = 0;
    if (m_pProject != nullptr) m_pProject->GetLayerCount(count);
    if (count >= 2) {
        for (unsigned short l = 1; l <= count; ++l) {
            std::string name;
            m_pProject->GetNameLayer(name, l);
            m_layerCombo->addItem(QString::fromStdString(name), int(l));
            if (l == m_nLayer) m_layerCombo->setCurrentIndex(m_layerCombo->count() - 1);
        }
    }
    m_bFilling = false;
    RefillCombos();
    return TRUE;
}

void CUltFloodFillOptionDlg::RefillCombos() {
    if (m_pProject == nullptr) return;
    m_bFilling = true;
    for (int k = 0; k < kKinds; ++k) {
        QComboBox* combo = m_combos[std::size_t(k)];
        combo->clear();
        ClearItems(k);
        unsigned short layer = m_nLayer;
        CKDVUltFloodFillData chosen;
        QSID minimumId = 0;
        int check = 0;
        std::vector<CKDVUltFloodFillData*> candidates;
        if (!m_pProject->GetUltFloodFillOption(Kinds()[std::size_t(k)].kindId, layer, candidates, chosen, minimumId,
                                               check)) {
            for (CKDVUltFloodFillData* c : candidates) delete c;
            continue;
        }
        m_items[std::size_t(k)] = candidates;
        int selectedIndex = -1;
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            combo->addItem(QString::fromStdString(candidates[i]->GetName()), int(i));
            if (*candidates[i] == chosen) selectedIndex = int(i);
        }
        combo->setCurrentIndex(selectedIndex);
        m_checkValues[std::size_t(k)] = check;
        // Choices made earlier on this layer win over the kernel's.
        if (auto found = m_records.find(m_nLayer); found != m_records.end()) {
            const int stored = found->second.index[std::size_t(k)];
            if (stored >= 0 && stored < combo->count()) combo->setCurrentIndex(stored);
            m_checkValues[std::size_t(k)] = found->second.check[std::size_t(k)];
        }
        m_checks[std::size_t(k)]->setChecked(m_checkValues[std::size_t(k)] != 0);
    }
    m_bFilling = false;
    UpdateCheckStates();
}

void CUltFloodFillOptionDlg::UpdateCheckStates() {
    for (int k = 0; k < kKinds; ++k) {
        const bool valid = m_combos[std::size_t(k)]->currentIndex() > 0;
        QCheckBox* check = m_checks[std::size_t(k)];
        // A minimum needs an estimate to raise: without one the box is off.
        if (!valid && check->isChecked()) {
            check->setChecked(false);
            m_checkValues[std::size_t(k)] = 0;
        }
        check->setEnabled(valid);
    }
}

void CUltFloodFillOptionDlg::OnCheckClicked(int kind) {
    QCheckBox* check = m_checks[std::size_t(kind)];
    if (check->isChecked() && m_combos[std::size_t(kind)]->currentIndex() <= 0) {
        check->setChecked(false);
        ::MessageBox(this,
                     QStringLiteral("Please first choose a valid %1 estimate!")
                         .arg(QString::fromLatin1(Kinds()[std::size_t(kind)].word)),
                     QString(), MB_OK | MB_ICONEXCLAMATION);
    }
    m_checkValues[std::size_t(kind)] = check->isChecked() ? 1 : 0;
}

void CUltFloodFillOptionDlg::StoreRecord() {
    LayerRecord& record = m_records[m_nLayer];
    for (int k = 0; k < kKinds; ++k) {
        const int index = m_combos[std::size_t(k)]->currentIndex();
        if (index >= 0) record.index[std::size_t(k)] = index;
        else record.index[std::size_t(k)] = -1;
        record.check[std::size_t(k)] = m_checks[std::size_t(k)]->isChecked() ? 1 : 0;
    }
}

void CUltFloodFillOptionDlg::OnLayerChanged() {
    const int index = m_layerCombo->currentIndex();
    if (index < 0) return;
    StoreRecord();
    m_nLayer = static_cast<unsigned short>(m_layerCombo->itemData(index).toInt());
    RefillCombos();
}

bool CUltFloodFillOptionDlg::WriteLayer(unsigned short layer) {
    const LayerRecord& record = m_records[layer];
    bool ok = true;
    for (int k = 0; k < kKinds; ++k) {
        const KindInfo& info = Kinds()[std::size_t(k)];
        unsigned short l = layer;
        CKDVUltFloodFillData current, chosen;
        QSID minimumId = 0;
        int check = 0;
        std::vector<CKDVUltFloodFillData*> candidates;
        if (m_pProject->GetUltFloodFillOption(info.kindId, l, candidates, current, minimumId, check)) {
            const int index = record.index[std::size_t(k)];
            if (index >= 0 && index < int(candidates.size())) chosen = *candidates[std::size_t(index)];
        }
        for (CKDVUltFloodFillData* c : candidates) delete c;
        l = layer;
        // An estimate-less kind cannot keep a minimum.
        const int checkValue = chosen.IsEmpty() ? 0 : record.check[std::size_t(k)];
        if (!m_pProject->SetUltFloodFillOption(info.kindId, l, chosen, m_minimumIds[std::size_t(k)], checkValue)) {
            ok = false;
            ::MessageBox(this,
                         QStringLiteral("Flood Fill Ultimate %1 Data could not be saved").arg(QString::fromLatin1(info.word)),
                         QString(), MB_OK | MB_ICONEXCLAMATION);
        }
    }
    return ok;
}

void CUltFloodFillOptionDlg::OnOK() {
    if (m_pProject == nullptr) {
        CDialog::OnOK();
        return;
    }
    StoreRecord();
    // The current layer first, then the others the user visited.
    WriteLayer(m_nLayer);
    for (const auto& [layer, record] : m_records) {
        (void)record;
        if (layer != m_nLayer) WriteLayer(layer);
    }
    CDialog::OnOK();
}
