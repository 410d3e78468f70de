// A print list's graph items print through the graph view's own hooks; the
// progress over a page of several graphs is the graph view's record, kept
// in step with the print job's page here.
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
    g.syncObjectsOnPage = [](CPrintPageState& state, int objectsOnPage) {
        qs::graphs::PrintProgressOf(state).objectsOnPage = objectsOnPage;
    };
    g.newPage = [](CPrintPageState& state) {
        GraphPrintProgress& progress = qs::graphs::PrintProgressOf(state);
        progress.slot = 0;
        progress.savedTop = -1;
        progress.remaining = 0;
    };
    g.forgetProgress = [](CPrintPageState& state) { qs::graphs::ForgetPrintProgress(state); };
    return g;
}

}  // namespace qs::print
