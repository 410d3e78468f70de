#pragma once
// A receiver of a graph's events (the graph view and its data bar). A graph
// tells every receiver, in the order they registered, through these five
// operations:
//   1 OnGraphLocked       the graph was locked (Lock succeeded)
//   2 OnGraphUnlocked     the last lock was released
//   3 OnGraphChanged      what the graph draws changed: redraw
//   4 OnGraphCatalogued   its tables, series or points changed: rebuild lists
//   5 OnGraphModified     its definition changed (the project has unsaved changes)
// Calls arrive on the thread that changed the graph.
class CGraph;

class CGraphAttrEvent {
public:
    virtual ~CGraphAttrEvent() = default;
    virtual void OnGraphLocked(CGraph* /*graph*/) {}
    virtual void OnGraphUnlocked(CGraph* /*graph*/) {}
    virtual void OnGraphChanged(CGraph* /*graph*/) {}
    virtual void OnGraphCatalogued(CGraph* /*graph*/) {}
    virtual void OnGraphModified(CGraph* /*graph*/) {}
};
