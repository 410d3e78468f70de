#pragma once
// The graphs of a project apart from the navigator graphs (those are objects
// of the store, category 8000): the kept graph of each table by the table's
// graph id, the working graphs handed to windows, the ids of graphs not kept
// yet, the six default styles, and the stored records of both graph streams
// ("GraphData": a key for every kept graph, a record the kernel cannot read
// kept as it came; "DefGraphStyles": the style records by key).
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "CGraphDefaultStyles.h"
#include "KernelTypes.h"

class CFormula;
class CGraph;
class IKernelWindow;

class ProjectGraphs {
public:
    ProjectGraphs();
    ~ProjectGraphs();
    ProjectGraphs(const ProjectGraphs&) = delete;
    ProjectGraphs& operator=(const ProjectGraphs&) = delete;

    // The key a table's kept graph goes under: the layer-neutral table's graph id.
    static QSID TableKey(QSID id);

    // ---- kept table graphs
    CGraph* TableGraph(QSID key) const;
    // Keeps graph under key (the stored list then holds the key); returns it.
    CGraph* KeepTableGraph(QSID key, std::unique_ptr<CGraph> graph);
    // The table's kept graph goes (working graphs forget it as their master).
    void DropTableGraph(QSID key);
    // Every kept table graph is replaced by those given.
    void ReplaceTableGraphs(std::map<QSID, std::unique_ptr<CGraph>> graphs);
    const std::map<QSID, std::unique_ptr<CGraph>>& TableGraphs() const { return m_tableGraphs; }

    // ---- working graphs
    CGraph* AddWorking(std::unique_ptr<CGraph> graph);
    // The window lets graph go; the graph goes with its last window. False
    // for a graph that is not a working graph of this project.
    bool ReleaseWorking(CGraph* graph, IKernelWindow* window);
    // A kept graph goes away: working graphs forget it as their master.
    void ForgetMaster(const CFormula* master);
    // Every working graph reads its tables again and tells its windows of kind.
    void Refresh(int kind);
    // The working graph of id (and layer, when given) that has no window
    // left, now shown in window; null when none.
    CGraph* Relink(QSID id, unsigned short layer, IKernelWindow* window);
    std::size_t WorkingCount() const { return m_working.size(); }

    // Ids for new graphs that are not kept yet: kind 8, instance 0, index
    // 1..999 in turn.
    QSID NextTempID();

    // ---- default styles and stored records
    CGraphDefaultStyles& DefaultStyles() { return m_defaultStyles; }
    const CGraphDefaultStyles& DefaultStyles() const { return m_defaultStyles; }
    std::map<QSID, std::vector<std::uint8_t>>& Records() { return m_records; }
    const std::map<QSID, std::vector<std::uint8_t>>& Records() const { return m_records; }
    std::map<int, std::vector<std::uint8_t>>& StyleRecords() { return m_styleRecords; }
    const std::map<int, std::vector<std::uint8_t>>& StyleRecords() const { return m_styleRecords; }

private:
    std::map<QSID, std::vector<std::uint8_t>> m_records;
    std::map<int, std::vector<std::uint8_t>> m_styleRecords;
    CGraphDefaultStyles m_defaultStyles;
    std::map<QSID, std::unique_ptr<CGraph>> m_tableGraphs;
    std::vector<std::unique_ptr<CGraph>> m_working;
    int m_nextTemp = 0;
};
