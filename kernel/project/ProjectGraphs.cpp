#include "ProjectGraphs.h"

#include <algorithm>

#include "CGraph.h"
#include "KernelIds.h"

ProjectGraphs::ProjectGraphs() = default;
ProjectGraphs::~ProjectGraphs() = default;

QSID ProjectGraphs::TableKey(QSID id) { return GetGraphIDOf(GetLayerNeutralID(DelGraphIDOf(id))); }

CGraph* ProjectGraphs::TableGraph(QSID key) const {
    auto it = m_tableGraphs.find(key);
    return it == m_tableGraphs.end() ? nullptr : it->second.get();
}

CGraph* ProjectGraphs::KeepTableGraph(QSID key, std::unique_ptr<CGraph> graph) {
    CGraph* kept = graph.get();
    m_tableGraphs[key] = std::move(graph);
    m_records[key];  // the list now holds a graph
    return kept;
}

void ProjectGraphs::DropTableGraph(QSID key) {
    auto it = m_tableGraphs.find(key);
    if (it == m_tableGraphs.end()) return;
    ForgetMaster(it->second.get());
    m_records.erase(it->first);
    m_tableGraphs.erase(it);
}

void ProjectGraphs::ReplaceTableGraphs(std::map<QSID, std::unique_ptr<CGraph>> graphs) {
    for (auto& [id, g] : m_tableGraphs) ForgetMaster(g.get());
    m_tableGraphs = std::move(graphs);
}

CGraph* ProjectGraphs::AddWorking(std::unique_ptr<CGraph> graph) {
    m_working.push_back(std::move(graph));
    return m_working.back().get();
}

bool ProjectGraphs::ReleaseWorking(CGraph* graph, IKernelWindow* window) {
    auto it = std::find_if(m_working.begin(), m_working.end(),
                           [&](const std::unique_ptr<CGraph>& g) { return g.get() == graph; });
    if (!graph || it == m_working.end()) return false;
    graph->RemoveWindow(window);
    if (graph->GetViewedCount() == 0) m_working.erase(it);
    return true;
}

void ProjectGraphs::ForgetMaster(const CFormula* master) {
    if (!master) return;
    for (auto& g : m_working)
        if (static_cast<const CFormula*>(g->m_master) == master) g->m_master = nullptr;
}

void ProjectGraphs::Refresh(int kind) {
    for (auto& g : m_working) {
        g->Catalogue(true);
        if (g->GetViewedCount()) g->NotifyAll(kind, 0);
        g->Fire(4);
        g->Fire(3);
    }
}

CGraph* ProjectGraphs::Relink(QSID id, unsigned short layer, IKernelWindow* window) {
    const QSID want = GetLayerNeutralID(id);
    for (auto& g : m_working) {
        if (g->GetViewedCount() != 0 || GetLayerNeutralID(g->GetGraphID()) != want) continue;
        if (layer && g->GetViewLayer() != layer) continue;
        g->Catalogue(true);
        if (window) g->AddWindow(window);
        return g.get();
    }
    return nullptr;
}

QSID ProjectGraphs::NextTempID() {
    m_nextTemp = m_nextTemp % 999 + 1;
    return MakeID(8, 0, 0, 0, m_nextTemp);
}
