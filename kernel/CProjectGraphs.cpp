// The project's graphs: working graphs for windows, kept navigator and table
// graphs (docs/kernel/graphs.md).
#include <algorithm>

#include "CGraph.h"
#include "CProject.h"

namespace {
QSID ProjectTableGraphKey(QSID id) { return GetGraphIDOf(GetLayerNeutralID(DelGraphIDOf(id))); }

std::string ProjectGraphTrim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}
}  // namespace

CGraph* CProject::GetTableGraph(QSID id) const {
    const QSID raw = DelGraphIDOf(id);
    if (id <= 0 || GetIDDOType(raw) == 8) return nullptr;
    auto it = m_tableGraphs.find(ProjectTableGraphKey(id));
    return it == m_tableGraphs.end() ? nullptr : it->second.get();
}

CGraph* CProject::GetGraphObject(QSID id, IKernelWindow* window, unsigned short layer) {
    if (id <= 0 || layer > kLayerCount) return nullptr;
    const QSID raw = DelGraphIDOf(id);
    std::unique_ptr<CGraph> g;
    CGraph* master = nullptr;
    if (GetIDDOType(raw) == 8 && GetIDInstance(raw) == 0) {
        g = std::make_unique<CGraph>(raw);  // a new graph, not kept yet
    } else if (GetIDDOType(raw) == 8) {
        QSID base = raw;
        SetIDLayer(base, 0);
        auto it = m_objects.find(base);
        master = it == m_objects.end() ? nullptr : dynamic_cast<CGraph*>(it->second.inst[0].get());
        if (!master) return nullptr;
        g = std::make_unique<CGraph>(*master);
    } else {
        if (!FindEntry(raw)) return nullptr;
        master = GetTableGraph(raw);
        if (master) {
            g = std::make_unique<CGraph>(*master);
        } else {
            g = std::make_unique<CGraph>(ProjectTableGraphKey(raw));
            g->SetProject(this);
            g->m_tables.emplace_back(GetLayerNeutralID(raw));
            for (long c : g->DefaultCodes(GetLayerNeutralID(raw))) g->m_tables.back().AddCode(c);
        }
    }
    g->SetProject(this);
    g->m_live = true;
    g->m_master = master;
    g->SetViewLayer(layer ? layer : static_cast<unsigned short>(NET));
    g->Catalogue(true);
    g->m_dirty = false;
    if (window) g->AddWindow(window);
    m_workGraphs.push_back(std::move(g));
    return m_workGraphs.back().get();
}

QSSTATUS CProject::ReleaseGraphObject(CGraph* graph, IKernelWindow* window) {
    auto it = std::find_if(m_workGraphs.begin(), m_workGraphs.end(),
                           [&](const std::unique_ptr<CGraph>& g) { return g.get() == graph; });
    if (!graph || it == m_workGraphs.end()) return qsk::kUnknownId;
    graph->RemoveWindow(window);
    if (graph->GetViewedCount() == 0) m_workGraphs.erase(it);
    return qsk::kOk;
}

QSSTATUS CProject::SaveGraphToNavigator(CGraph* graph, int index, const std::string& name,
                                        const std::string& shortName, QSID node) {
    if (!graph) return qsk::kFail;
    if (node != -1 && node != 0 && node != qsk::kCatGraph) return qsk::kFail;
    if (index < qsk::kFirstUserIndex || index > qsk::kLastUserIndex) return qsk::kFail;
    const std::string longName = ProjectGraphTrim(name), abbrev = ProjectGraphTrim(shortName);
    if (longName.empty()) return qsk::kFail;
    if (!IsIndexAvail(qsk::kCatGraph, std::to_string(index))) return qsk::kNameTaken;
    if (!IsNameUnique(longName, qsk::kCatGraph, 0)) return qsk::kNameTaken;
    if (!abbrev.empty() && (!IsNameUnique(abbrev, qsk::kCatGraph, 0) || abbrev == longName)) return qsk::kNameTaken;

    const QSID id = MakeID(8, 1, 0, 0, index);
    auto kept = std::make_unique<CGraph>(*graph);
    kept->SetIDNum(id);
    kept->SetIDLongName(longName);
    kept->SetIDShortName(abbrev);
    kept->m_live = false;
    kept->m_master = nullptr;
    CGraph* master = kept.get();
    ObjectEntry e;
    e.baseId = id;
    e.subgroup = qsk::kCatGraph;
    e.layered = false;
    e.inst[0] = std::move(kept);
    InstallEntry(std::move(e));
    master->Catalogue(false);
    m_graphs[id];  // the list now holds a graph

    graph->m_master = master;
    graph->SetIDNum(id);
    graph->SetIDLongName(longName);
    graph->SetIDShortName(abbrev);
    graph->m_saveAsNew = false;
    graph->m_dirty = false;
    m_modified = true;
    return qsk::kOk;
}

QSID CProject::GetNextTempGraphID() {
    m_nextTempGraph = m_nextTempGraph % 999 + 1;
    return MakeID(8, 0, 0, 0, m_nextTempGraph);
}

QSSTATUS CProject::CleanUpUdoGraphs() {
    for (auto it = m_objects.begin(); it != m_objects.end();) {
        const auto* g = dynamic_cast<const CGraph*>(it->second.inst[0].get());
        if (g && GetIDIndex(it->first) > 500) {
            ForgetGraphMaster(g);
            m_graphs.erase(it->first);
            m_showItems.erase(std::remove(m_showItems.begin(), m_showItems.end(), it->first), m_showItems.end());
            it = m_objects.erase(it);
        } else {
            ++it;
        }
    }
    return qsk::kOk;
}

void CProject::ForgetGraphMaster(const CFormula* master) {
    if (!master) return;
    for (auto& g : m_workGraphs)
        if (static_cast<const CFormula*>(g->m_master) == master) g->m_master = nullptr;
}

std::map<QSID, CProject::ObjectEntry> CProject::TakeGraphEntries() {
    std::map<QSID, ObjectEntry> out;
    for (auto it = m_objects.begin(); it != m_objects.end();) {
        if (dynamic_cast<const CGraph*>(it->second.inst[0].get())) {
            out.emplace(it->first, std::move(it->second));
            it = m_objects.erase(it);
        } else {
            ++it;
        }
    }
    return out;
}

void CProject::DropGraphsOf(QSID base, const CFormula* object) {
    if (dynamic_cast<const CGraph*>(object)) {
        ForgetGraphMaster(object);
        m_graphs.erase(base);
        return;
    }
    if (GetIDDOType(base) == 8) return;
    auto it = m_tableGraphs.find(ProjectTableGraphKey(base));
    if (it == m_tableGraphs.end()) return;
    ForgetGraphMaster(it->second.get());
    m_graphs.erase(it->first);
    m_tableGraphs.erase(it);
}

void CProject::RefreshWorkGraphs(int kind) {
    for (auto& g : m_workGraphs) {
        g->Catalogue(true);
        if (g->GetViewedCount()) g->NotifyAll(kind, 0);
        g->Fire(4);
        g->Fire(3);
    }
}

CGraph* CProject::RelinkWorkGraph(QSID id, unsigned short layer, IKernelWindow* window) {
    const QSID want = GetLayerNeutralID(id);
    for (auto& g : m_workGraphs) {
        if (g->GetViewedCount() != 0 || GetLayerNeutralID(g->GetGraphID()) != want) continue;
        if (layer && g->GetViewLayer() != layer) continue;
        g->Catalogue(true);
        if (window) g->AddWindow(window);
        return g.get();
    }
    return nullptr;
}
