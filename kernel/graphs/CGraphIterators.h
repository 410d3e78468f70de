#pragma once
// Walks over what a graph is made of, for the lists of the graph's data bar,
// its dialogs and the chart fill. Each iterator is built over a graph (as it
// is catalogued at that moment) and hands out adapters with GetNext until it
// returns false; the adapters live as long as their iterator.
//
//   CTableIterator      CTableAdapter        the graph's tables
//   CSeriesTypeIterator CSeriesTypeAdapter   the orientations (triangles only), one selected
//   CSeriesIteratorImpl CSeriesAdapter       single-table mode: every series, selected = shown;
//                                            composite mode: the choices, one selected
//   CLabelIterator      CLabelAdapter        every data point, selected = shown
//   CDataSeriesIter     CDataSeriesAdapter   the series the chart draws
//
// Select tells the graph (which then tells its receivers); an adapter whose
// table is not in the project any more is not available.
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "CGraph.h"

class CGraphAdapter {
public:
    virtual ~CGraphAdapter() = default;
    virtual std::string GetName() const = 0;
    virtual bool Select(bool on) = 0;
    virtual bool IsSelected() const = 0;
    virtual CGraph* GetGraph() const { return m_graph; }
    virtual long GetID() const { return 0; }
    virtual bool IsAvailable() const { return true; }

protected:
    explicit CGraphAdapter(CGraph* graph) : m_graph(graph) {}
    CGraph* m_graph;
};

class CTableAdapter : public CGraphAdapter {
public:
    CTableAdapter(CGraph* graph, int table) : CGraphAdapter(graph), m_table(table) {}
    std::string GetName() const override;
    bool Select(bool) override { return true; }  // tables are always drawn
    bool IsSelected() const override { return true; }
    long GetID() const override;
    bool IsAvailable() const override { return m_graph->TableAvailable(m_table); }
    int GetTableIndex() const { return m_table; }
    // The table's part codes (the element chooser writes them).
    CGraphData* GetGraphData() const { return m_graph->GetTableData(m_table); }
    // The layer name the table is shown with ("Current" for layer 0).
    std::string GetLayerName() const;

private:
    int m_table;
};

class CSeriesTypeAdapter : public CGraphAdapter {
public:
    CSeriesTypeAdapter(CGraph* graph, SeriesTypeEnum type) : CGraphAdapter(graph), m_type(type) {}
    std::string GetName() const override;
    bool Select(bool on) override;  // selecting makes it the orientation
    bool IsSelected() const override { return m_graph->GetSeriesType() == m_type; }
    long GetID() const override { return m_type; }
    SeriesTypeEnum GetType() const { return m_type; }

private:
    SeriesTypeEnum m_type;
};

class CSeriesAdapter : public CGraphAdapter {
public:
    // choice >= 0: a composite choice; otherwise the series named name.
    CSeriesAdapter(CGraph* graph, std::string name, int choice)
        : CGraphAdapter(graph), m_name(std::move(name)), m_choice(choice) {}
    std::string GetName() const override { return m_name; }
    bool Select(bool on) override;
    bool IsSelected() const override;
    long GetID() const override { return m_choice; }

private:
    std::string m_name;
    int m_choice;
};

class CLabelAdapter : public CGraphAdapter {
public:
    CLabelAdapter(CGraph* graph, std::string label) : CGraphAdapter(graph), m_label(std::move(label)) {}
    std::string GetName() const override { return m_label; }
    bool Select(bool on) override;
    bool IsSelected() const override { return m_graph->IsLabelShown(m_label); }

private:
    std::string m_label;
};

class CDataSeriesAdapter {
public:
    CDataSeriesAdapter(CGraph* graph, const CGraph::Series& series);
    virtual ~CDataSeriesAdapter() = default;
    virtual std::string GetName() const { return m_name; }
    // True when the series has no value at rowLabel (value is then 0).
    virtual bool GetNextPoint(double& value, const std::string& rowLabel);
    virtual bool IsHidden() const { return m_hidden; }
    virtual CGraph* GetGraph() const { return m_graph; }

private:
    CGraph* m_graph;
    std::string m_name;
    bool m_hidden;
    std::unordered_map<std::string, double> m_points;
};

// One iterator template for the five walks.
template <class Adapter>
class CGraphIterator {
public:
    bool GetNext(Adapter*& adapter) {
        if (m_next >= m_items.size()) {
            adapter = nullptr;
            return false;
        }
        adapter = m_items[m_next++].get();
        return true;
    }
    void Reset() { m_next = 0; }
    std::size_t GetCount() const { return m_items.size(); }

protected:
    std::vector<std::unique_ptr<Adapter>> m_items;
    std::size_t m_next = 0;
};

class CTableIterator : public CGraphIterator<CTableAdapter> {
public:
    explicit CTableIterator(CGraph* graph);
};
class CSeriesTypeIterator : public CGraphIterator<CSeriesTypeAdapter> {
public:
    explicit CSeriesTypeIterator(CGraph* graph);
};
class CSeriesIteratorImpl : public CGraphIterator<CSeriesAdapter> {
public:
    explicit CSeriesIteratorImpl(CGraph* graph);
};
class CLabelIterator : public CGraphIterator<CLabelAdapter> {
public:
    explicit CLabelIterator(CGraph* graph);
};
class CDataSeriesIter : public CGraphIterator<CDataSeriesAdapter> {
public:
    explicit CDataSeriesIter(CGraph* graph);
};
