#pragma once
// A graph of project tables: which tables it draws (each with its layer and
// the elements chosen by part code, CGraphData.h), how their cells become
// series (by rows, columns or diagonals of a triangle), which series and
// which points are shown, and its title, footnote and style name.
//
// Kept graphs live in the project: navigator graphs (kind 8, index 501..995,
// with names) are project objects of category 8000; the graph of a table is
// kept under the table's graph id (GetGraphIDOf). Both are stored in the
// "GraphData" stream (docs/kernel/graphs.md). A window never draws a kept
// graph: CProject::GetGraphObject hands it a working copy whose master is the
// kept one; SaveToMaster and CProject::SaveGraphToNavigator write the working
// copy back.
//
// Catalogue: CatalogData reads the tables from the project into elements
// (one per part code: a triangle, a row or column vector, or one value) and
// derives the series:
//  - single-table mode (IsGraphMultiTables() false): every series of every
//    element is a data series; a triangle gives one series per row, column
//    or diagonal (SetSeriesType); a vector gives one. A deselected series is
//    hidden, not removed.
//  - composite mode (several tables, or one forced with SetCompositeMode(1)):
//    every element is one data series; for a triangle it is the row, column
//    or diagonal that GetSeries selects (the same for every element).
// The data points are the labels of the series' points, in order of first
// appearance, less the points deselected in the label list.
//
// A working graph depends on its tables (CFormula's graph): a change of a
// table's cells catalogues it again, tells its windows "XREFRESH" (reload)
// and its receivers OnGraphChanged.
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "CFormula.h"
#include "CGraphAttrEvent.h"
#include "CGraphData.h"

class CGraph;

// Series orientations of a triangle.
enum SeriesTypeEnum : int { SERIES_NONE = 0, SERIES_ROWS = 1, SERIES_COLUMNS = 2, SERIES_DIAGONALS = 3 };

// Collects the table ids of a data source choice; Finalize makes them the
// graph's tables, in the order added (a table already in the graph keeps its
// part codes; a new one gets the default codes for its kind).
class CGraphTableInserter {
public:
    explicit CGraphTableInserter(CGraph* graph) : m_graph(graph) {}
    void Add(long id);
    void Finalize();
    void Cancel() { m_ids.clear(); }
    const std::vector<QSID>& Pending() const { return m_ids; }

private:
    CGraph* m_graph;
    std::vector<QSID> m_ids;
};

class CGraph : public CFormula {
public:
    static constexpr int kStorageTag = 40;

    explicit CGraph(QSID id = 0);
    CGraph(const CGraph& other);  // the definition; no master, receivers, windows or lock
    CGraph& operator=(const CGraph& other);
    ~CGraph() override;
    std::unique_ptr<CFormula> Clone() const override;

    // --- identity
    QSID GetGraphID() const { return GetIDNum(); }
    bool HasName() const { return !GetIDLongName().empty(); }
    // The layer that tables with layer 0 are shown in.
    unsigned short GetViewLayer() const { return m_viewLayer; }
    void SetViewLayer(unsigned short layer);

    // --- tables
    int GetNumTables() const { return static_cast<int>(m_tables.size()); }
    CGraphData* GetTableData(int table);
    const std::vector<CGraphData>& GetTables() const { return m_tables; }
    // Replaces the tables (ids with layers) keeping the codes of those kept.
    void SetTables(const std::vector<QSID>& ids);
    CGraphTableInserter& GetTableInserter() { return m_inserter; }
    // The default part codes of a table of this project.
    std::vector<long> DefaultCodes(QSID tableId) const;
    bool IsGraphMultiTables() const { return m_tables.size() > 1 || m_forceComposite; }
    bool CanForceComposite() const;
    // 1 composite (one series of each element), 2 single-table mode. Fails
    // (false) for 1 when the graph cannot be forced and for other values.
    bool SetCompositeMode(int mode, bool notify);
    // True when a table takes the graph's layer (layer 0).
    bool IsLayerDependent() const;
    CGraphData& GetData() { return m_data; }
    const CGraphData& GetData() const { return m_data; }
    const std::string& GetStyleName() const { return m_styleName; }
    void SetStyleName(const std::string& name);
    // A method's or report's column name for element lists (part 5).
    std::string CreateDisplayName(QSID tableId, int index) const;

    // --- catalogue
    void CatalogData();
    void RecatalogAndRefresh();
    int GetNumDataColumns() const { return static_cast<int>(m_dataSeries.size()); }
    int GetNumDataRows() const;
    void GetRowLabels(QSStringArray& labels) const;
    void GetXAxisLabel(std::string& text, bool xy) const;
    // Composite mode: the label of the selected series; single-table mode:
    // the orientation ("Rows", "Columns", "Diagonals"), empty without a triangle.
    std::string GetSeriesName() const;
    // Widens max and min by data series series' values at rowLabels, in
    // composite mode over every row, column or diagonal it can take. False
    // when it has no value there (max and min unchanged).
    bool GetCompositeMaxMin(int series, const QSStringArray& rowLabels, double& max, double& min) const;
    bool IsDataTriangular() const;

    // --- selections
    SeriesTypeEnum GetSeriesType() const { return m_seriesType; }
    bool SetSeriesType(SeriesTypeEnum type, bool notify);
    long GetSeries() const { return m_series; }
    bool SetSeries(long series);
    // The row, column or diagonal labels composite mode chooses from.
    const QSStringArray& GetSeriesChoices() const { return m_choices; }
    void SaveSelections();
    void RestoreSelections();
    // Composite mode: selects choice index (counted from the end when last);
    // seriesCount gets the number of choices. False past the end.
    bool SetSeriesForPrinting(int index, bool last, int& seriesCount);
    // Single-table mode: shows type with the first (or last) count series of
    // each triangle; count < 0: only when type is the shown orientation, with
    // -count series; 0: false.
    bool SetSeriesForPrinting(SeriesTypeEnum type, int count, bool last);
    int GetAdjustYAxis() const { return m_adjustY ? 1 : 0; }
    void SetAdjustYAxis(int on);

    // --- state
    bool IsDirty() const { return m_dirty; }
    void SetDirty(bool dirty) { m_dirty = dirty; }
    void SetSaveAsNewGraph(bool on = true) { m_saveAsNew = on; }
    bool ShouldSaveAsNewGraph() const { return m_saveAsNew; }
    CGraph* GetMaster() const { return m_master; }
    // Writes the definition into its kept graph: -1 the master (false
    // without one); a table's id: the table's kept graph, made when missing
    // (false for an id that names no table of the project).
    bool SaveToMaster(QSID id);
    // Lock while reading the lists; fails while the graph catalogues itself.
    bool Lock();
    void Unlock();
    bool IsLocked() const { return m_locks > 0; }
    void SetEventReceiver(CGraphAttrEvent* receiver);
    void RemoveEventReceiver(CGraphAttrEvent* receiver);

    // --- CFormula
    bool Recalculate() override;
    int GetStorageTag() const override { return kStorageTag; }
    void Write(KernelWriter& w) const override;
    void Read(KernelReader& r, int version) override;
    // The graph's record in the "GraphData" list (names included).
    std::vector<std::uint8_t> ToRecord() const;
    // 1 read; 0 not a graph record; -1 a damaged graph record. Nothing
    // changes unless 1.
    int FromRecord(const std::vector<std::uint8_t>& bytes);

    // ---- catalogue types (also for the iterators)
    struct Element {
        int table = 0;
        long code = 0;
        std::string name;
        bool triangle = false;
        int rows = 0, cols = 0;  // a vector has one row; its points are the columns
        QSStringArray rowLabels, colLabels;
        std::string rowCaption, colCaption;
        std::vector<double> values;
        std::vector<std::uint8_t> has;
        std::vector<int> rowLen;
    };
    struct Series {
        std::string name;
        int element = 0;
        int kind = 0;  // 0 whole vector, 1 row, 2 column, 3 diagonal
        int index = 0;
    };
    using Point = std::pair<std::string, const double*>;
    const std::vector<Element>& GetElements() const { return m_elements; }
    const std::vector<Series>& GetCataloguedSeries() const { return m_allSeries; }
    const std::vector<Series>& GetDataSeries() const { return m_dataSeries; }
    const QSStringArray& GetAllLabels() const { return m_labels; }
    std::vector<Point> SeriesPoints(const Series& s) const;
    bool IsSeriesHidden(const Series& s) const;
    bool IsLabelShown(const std::string& label) const { return !m_hiddenLabels.count(label); }
    // The selection operations of the adapters.
    void SelectSeries(const std::string& name, bool on);
    void SelectLabel(const std::string& label, bool on);
    bool TableAvailable(int table) const;
    std::string TableName(int table) const;

private:
    friend class CGraphTableInserter;
    friend class CProject;
    friend class ProjectGraphs;
    void CopyDefinition(const CGraph& o);
    void Catalogue(bool rewire);
    void ResolveTable(int table, std::vector<Element>& out) const;
    void Touch(bool catalogued);  // a definition change: dirty, events
    void Fire(int event);
    bool IsLive() const { return m_live; }

    std::vector<CGraphData> m_tables;
    CGraphData m_data;
    std::string m_styleName;
    unsigned short m_viewLayer = 1;
    SeriesTypeEnum m_seriesType = SERIES_ROWS;
    long m_series = 0;
    bool m_forceComposite = false;
    bool m_adjustY = false;
    std::set<std::string> m_hiddenSeries;
    std::set<std::string> m_hiddenLabels;

    struct Selections {
        SeriesTypeEnum type = SERIES_ROWS;
        long series = 0;
        std::set<std::string> hiddenSeries, hiddenLabels;
        bool saved = false;
    } m_saved;

    bool m_dirty = false;
    bool m_saveAsNew = false;
    bool m_live = false;  // a working graph: follows its tables
    CGraph* m_master = nullptr;
    std::vector<CGraphAttrEvent*> m_receivers;
    int m_locks = 0;
    bool m_cataloguing = false;
    CGraphTableInserter m_inserter{this};

    std::vector<Element> m_elements;
    std::vector<Series> m_allSeries;   // single-table mode: all series
    std::vector<Series> m_dataSeries;  // what the chart draws
    QSStringArray m_choices;           // composite mode: the series to choose from
    QSStringArray m_labels;            // every point label
};
