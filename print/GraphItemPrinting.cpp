// A print list's graph items print through the graph view's own hooks; the
// progress over a page of several graphs is the graph view's record in the
// page state, started afresh on each page and dropped before a table.
#include "CGraphView.h"
#include "CPrintPageState.h"
#include "GraphPrinting.h"
#include "PrintHost.h"

namespace qs::print {

GraphItemPrinting GraphViewPrinting() {
    GraphItemPrinting g;
    g.isGraphView = [](CView* view) { return dynamic_cast<CGraphView*>(view) != nullptr; };
    g.beginPrint = [](CView* view, QPainter* dc, CPrintInfo* info) {
        static_cast<CGraphView*>(view)->BeginPrint(dc, info);
    };
    g.printPage = [](CView* view, QPainter* dc, CPrintInfo* info) {
        static_cast<CGraphView*>(view)->PrintPage(dc, info);
    };
    g.endPrint = [](CView* view, QPainter* dc, CPrintInfo* info) { static_cast<CGraphView*>(view)->EndPrint(dc, info); };
    // The graph view reads the page state's objects-on-page count itself.
    g.newPage = [](CPrintPageState& state) {
        if (!state.m_pGraphProgress) return;
        GraphPrintProgress& progress = qs::graphs::PrintProgressOf(state);
        progress.slot = 0;
        progress.savedTop = -1;
        progress.remaining = 0;
    };
    g.forgetProgress = [](CPrintPageState& state) { state.m_pGraphProgress.reset(); };
    return g;
}

}  // namespace qs::print
