// The project's graphs: working graphs for windows, kept navigator and table
// graphs (docs/kernel/graphs.md).
#include <algorithm>

#include "CGraph.h"
#include "CProject.h"

namespace {
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
    return m_graphs.TableGraph(ProjectGraphs::TableKey(id));
}

CGraph* CProject::KeepTableGraph(QSID graphId, std::unique_ptr<CGraph> graph) {
    return m_graphs.KeepTableGraph(graphId, std::move(graph));
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
        auto it = m_store.find(base);
        master = it == m_store.end() ? nullptr : dynamic_cast<CGraph*>(it->second.inst[0].get());
        if (!master) return nullptr;
        g = std::make_unique<CGraph>(*master);
    } else {
        if (!FindEntry(raw)) return nullptr;
        master = GetTableGraph(raw);
        if (master) {
            g = std::make_unique<CGraph>(*master);
        } else {
            g = std::make_unique<CGraph>(ProjectGraphs::TableKey(raw));
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
    return m_graphs.AddWorking(std::move(g));
}

QSSTATUS CProject::ReleaseGraphObject(CGraph* graph, IKernelWindow* window) {
    return m_graphs.ReleaseWorking(graph, window) ? qsk::kOk : qsk::kUnknownId;
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
    m_graphs.Records()[id];  // the list now holds a graph

    graph->m_master = master;
    graph->SetIDNum(id);
    graph->SetIDLongName(longName);
    graph->SetIDShortName(abbrev);
    graph->m_saveAsNew = false;
    graph->m_dirty = false;
    m_modified = true;
    return qsk::kOk;
}

QSID CProject::GetNextTempGraphID() { return m_graphs.NextTempID(); }

QSSTATUS CProject::CleanUpUdoGraphs() {
    for (auto it = m_store.begin(); it != m_store.end();) {
        const auto* g = dynamic_cast<const CGraph*>(it->second.inst[0].get());
        if (g && GetIDIndex(it->first) > 500) {
            m_graphs.ForgetMaster(g);
            m_graphs.Records().erase(it->first);
            m_tree.RemoveShowItem(it->first);
            it = m_store.Erase(it);
        } else {
            ++it;
        }
    }
    return qsk::kOk;
}

std::map<QSID, CProject::ObjectEntry> CProject::TakeGraphEntries() {
    return m_store.TakeIf([](const ObjectEntry& e) { return dynamic_cast<const CGraph*>(e.inst[0].get()) != nullptr; });
}

void CProject::DropGraphsOf(QSID base, const CFormula* object) {
    if (dynamic_cast<const CGraph*>(object)) {
        m_graphs.ForgetMaster(object);
        m_graphs.Records().erase(base);
        return;
    }
    if (GetIDDOType(base) == 8) return;
    m_graphs.DropTableGraph(ProjectGraphs::TableKey(base));
}
