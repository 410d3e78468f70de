#pragma once
// The graph data bar: the side bar of a graph frame listing what the kernel
// graph is made of in four panes: " Table(s) " (a button per table that
// opens its element chooser, and "Add Table(s)"), " Series As " (the
// orientations of a triangle, one chosen), " Series to Display " (radio
// buttons over several tables, check boxes over one) and " Data Points "
// (check boxes). Clicking an entry tells the kernel graph, which redraws the
// graph and, when its lists changed, has the bar rebuild its panes.
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

#include "CGraphAttrEvent.h"

class CGraph;
class CGraphAdapter;
class CTableIterator;
class CSeriesTypeIterator;
class CSeriesIteratorImpl;
class CLabelIterator;
class QAbstractButton;
class QDockWidget;
class QGroupBox;
class QVBoxLayout;

class CGraphDataBar : public QWidget, public CGraphAttrEvent {
    Q_OBJECT
public:
    static constexpr int kPaneWidth = 200;
    static constexpr int kPaneMinHeight = 100;

    explicit CGraphDataBar(QWidget* parent = nullptr);
    ~CGraphDataBar() override;

    // Remembers the graph and registers as its event receiver (null: none).
    void SetGraph(CGraph* graph);
    CGraph* GetGraph() const { return m_pGraph; }

    // Builds the four panes from the graph's lists (with the graph locked).
    void RebuildPanes();
    // The element chooser changed the graph's codes: catalogue, redraw, rebuild.
    void OnCatalogRequest();

    // "Add Table(s)": the view's data source command.
    std::function<void()> onAddTables;

    // The panes and their entries, for people and for tests.
    QGroupBox* Pane(int index) const { return m_panes[index]; }
    std::vector<QAbstractButton*> Entries(int pane) const;
    bool IsInitialised() const { return m_bInitialised; }

    // CGraphAttrEvent
    void OnGraphLocked(CGraph*) override { m_bRebuildPending = false; }
    void OnGraphUnlocked(CGraph*) override { m_bRebuildPending = false; }
    void OnGraphCatalogued(CGraph*) override;

private:
    void Clear();
    void AddEntry(int pane, CGraphAdapter* adapter, QAbstractButton* button, bool exclusive);
    void OnEntryClicked(CGraphAdapter* adapter, QAbstractButton* button, bool exclusive);
    void OpenElementChooser(int table);
    void ScheduleRebuild();

    CGraph* m_pGraph = nullptr;
    bool m_bInitialised = false;
    bool m_bRebuildPending = false;
    bool m_bRebuildQueued = false;
    QGroupBox* m_panes[4] = {};
    QVBoxLayout* m_paneLayouts[4] = {};
    std::unique_ptr<CTableIterator> m_tables;
    std::unique_ptr<CSeriesTypeIterator> m_types;
    std::unique_ptr<CSeriesIteratorImpl> m_series;
    std::unique_ptr<CLabelIterator> m_labels;
};

namespace qs::graphs {
// The graph frame's side bar: a dock widget (title, parent frame) holding a
// data bar in a scroll area.
QDockWidget* CreateGraphDataBarDock(const QString& title, QWidget* frame);
// The data bar inside such a dock; null for any other widget.
CGraphDataBar* DataBarOf(QWidget* dock);
}  // namespace qs::graphs
