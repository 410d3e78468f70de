#include "CUltWeightColumnMap.h"

#include "CDataObject.h"
#include "CProject.h"
#include "KernelIds.h"

bool CUltWeightColumnMap::Attach(CProject* project, QSID id, unsigned short layer) {
    if (project == nullptr || id < 1) return false;
    m_pProject = project;
    m_lId = id;
    m_nLayer = layer;
    return true;
}

void CUltWeightColumnMap::Clear() {
    m_bActive = 0;
    m_bWeights = 0;
    m_nWeighted = 0;
    m_Ids.clear();
    m_Info.Clear();
}

bool CUltWeightColumnMap::IsSummaryReport() const {
    return m_pProject != nullptr && m_pProject->IsIDSummaryReport(m_lId);
}

bool CUltWeightColumnMap::Load() {
    if (m_pProject == nullptr) return true;
    if (!IsSummaryReport()) {
        m_bActive = m_bWeights = m_nWeighted = 0;
        return true;
    }
    QSID id = m_lId;
    SetIDLayer(id, m_nLayer);
    Clear();
    QSIDArray available;
    int straight = 0, selectedUltimate = 0, weighted = 0;
    const QSSTATUS status = m_pProject->GetSummaryRptOptions(id, m_nLayer, m_Ids, available, straight, selectedUltimate,
                                                             weighted, m_Info, m_bWeights, nullptr);
    if (status != qsk::kOk) {
        m_bActive = m_bWeights = m_nWeighted = 0;
        return false;
    }
    // Weight columns stand beside the weighted ultimates: only a report that
    // shows its weighted average has weights to show.
    if (m_bWeights != 0 && weighted != 0) {
        m_bActive = 1;
        m_nWeighted = static_cast<int>(m_Ids.size());
    } else {
        m_bActive = 0;
        m_nWeighted = 0;
    }
    return true;
}

int CUltWeightColumnMap::DisplayToDataColumn(int d, bool& isWeight) const {
    isWeight = false;
    if (!IsActive()) return d;
    if (d > 2 * m_nWeighted) return d - m_nWeighted;
    if (d % 2 == 0) {
        isWeight = true;
        return d;
    }
    return d - d / 2;
}

QSID CUltWeightColumnMap::WeightedIdOfColumn(int d) const {
    bool isWeight = false;
    DisplayToDataColumn(d, isWeight);
    const int index = d / 2 - 1;
    if (!isWeight || index < 0 || index >= static_cast<int>(m_Ids.size())) return 0;
    return m_Ids[static_cast<std::size_t>(index)];
}

QString CUltWeightColumnMap::RenumberLabel(const QString& label, int d) {
    const int open = label.lastIndexOf(QLatin1Char('('));
    // A label without a number of its own keeps its text: only a number is
    // replaced, never the name of the column.
    if (open < 0) return label;
    return label.left(open) + QLatin1Char('(') + QString::number(d) + QLatin1Char(')');
}

bool CUltWeightColumnMap::GetColumnLabel(QStringList& labels) const {
    if (!IsActive()) return true;
    const int n = m_nWeighted;
    const int total = static_cast<int>(labels.size()) + n;
    QStringList out;
    out.reserve(total);
    for (int d = 1; d <= total; ++d) {
        bool isWeight = false;
        const int data = DisplayToDataColumn(d, isWeight);
        if (isWeight) {
            QString label = RenumberLabel(out.isEmpty() ? QString() : out.back(), d);
            if (label.startsWith(QStringLiteral("\r\n"))) label.remove(0, 2);
            out.push_back(QStringLiteral("Weights-\n") + label);
            continue;
        }
        QString label = data >= 1 && data <= labels.size() ? labels.at(data - 1) : QString();
        if (d > 1) label = RenumberLabel(label, d);
        out.push_back(label);
    }
    labels = out;
    return false;
}

bool CUltWeightColumnMap::FillWeights(int d, int rows, CDataObject* target) const {
    if (target == nullptr) return false;
    const QSID id = WeightedIdOfColumn(d);
    CKDVUltWeightData data;
    if (id == 0 || !m_Info.GetColData(id, data)) return false;
    const int latest = m_Info.GetNumLatest();
    const int held = data.GetLatestCount();
    for (int r = 0; r < rows; ++r) {
        if (!target->LocationIsValid(r, 0)) continue;
        if (r < rows - latest) {
            target->SetAt(r, 0, data.GetAllOtherData(), 1);
            continue;
        }
        const int k = r - (rows - latest);
        // A latest period without a weight of its own stays blank: a stand-in
        // number would read as a weight.
        if (k < held) target->SetAt(r, 0, data.GetLatestData(k), 1);
        else target->SetCellBlank(r, 0, 1);
    }
    return true;
}
