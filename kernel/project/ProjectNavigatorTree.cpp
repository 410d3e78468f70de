#include "ProjectNavigatorTree.h"

#include <algorithm>

#include "KernelIds.h"

void ProjectNavigatorTree::AddStandardNodes() {
    Add(qsk::kCatInput, 0, "Input Data");
    Add(qsk::kNodeUserInput, qsk::kCatInput, "User Defined Input");
    Add(qsk::kNodeAdjustments, qsk::kCatInput, "Data Adjustments");
    Add(qsk::kNodeMethodInput, qsk::kCatInput, "Method Input Data");
    Add(qsk::kCatSDF, 0, "Selected Development Factors");
    Add(qsk::kCatCalcUlt, 0, "Calculated Ultimates");
    Add(qsk::kCatScalar, 0, "Scalars");
    Add(qsk::kCatExhibit, 0, "Exhibits");
    Add(5001, qsk::kCatExhibit, "Paid Exhibits");
    Add(5022, qsk::kCatExhibit, "Incurred Exhibits");
    Add(5032, qsk::kCatExhibit, "Claims Exhibits");
    Add(5042, qsk::kCatExhibit, "Salvage and Subrogation Exhibits");
    Add(5050, qsk::kCatExhibit, "Premium Exhibits");
    Add(5060, qsk::kCatExhibit, "User Defined Exhibits");
    Add(qsk::kCatMethod, 0, "Methods");
    Add(qsk::kCatReport, 0, "Reports");
    Add(qsk::kCatGraph, 0, "Graphs");
    Add(qsk::kCatUltimate, 0, "Ultimates");
    Add(qsk::kNodeSelectedUlt, qsk::kCatUltimate, "Selected Ultimates");
    Add(qsk::kNodeHistoricalUlt, qsk::kCatUltimate, "Historical Ultimates");
    Add(qsk::kNodeInterpolated, qsk::kCatUltimate, "Interpolated Development Factors");
    Add(qsk::kNodePayment, qsk::kCatUltimate, "Payment Pattern");
}

QSID ProjectNavigatorTree::Root(QSID node) const {
    // A stored tree may be damaged into a cycle: a walk never takes more
    // steps than there are nodes.
    for (std::size_t steps = 0; steps <= m_nodes.size(); ++steps) {
        auto it = m_nodes.find(node);
        if (it == m_nodes.end() || !it->second.parent) return node;
        node = it->second.parent;
    }
    return node;
}

QSSTATUS ProjectNavigatorTree::Children(QSID node, QSStringArray& names, QSIDArray& ids) const {
    if (!Has(node)) return qsk::kUnknownId;
    names.clear();
    ids.clear();
    for (const auto& [id, n] : m_nodes)
        if (n.parent == node) {
            names.push_back(n.name);
            ids.push_back(id);
        }
    return qsk::kOk;
}

void ProjectNavigatorTree::SetShowItems(const QSIDArray& ids) {
    QSIDArray clean;
    for (QSID id : ids)
        if (std::find(clean.begin(), clean.end(), id) == clean.end()) clean.push_back(id);
    m_showItems = clean;
}

void ProjectNavigatorTree::AddShowItem(QSID id) {
    if (std::find(m_showItems.begin(), m_showItems.end(), id) == m_showItems.end()) m_showItems.push_back(id);
}

void ProjectNavigatorTree::RemoveShowItem(QSID id) {
    m_showItems.erase(std::remove(m_showItems.begin(), m_showItems.end(), id), m_showItems.end());
}

bool ProjectNavigatorTree::Shows(QSID id) const {
    return m_showItems.empty() || std::find(m_showItems.begin(), m_showItems.end(), id) != m_showItems.end();
}
