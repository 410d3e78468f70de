#include "frames/GraphBinding.h"

#include "CGraphDataBar.h"
#include "CGraphView.h"
#include "CNewGraphDlg.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CQuillstoneApp.h"
#include "GraphHost.h"
#include "PrintHost.h"
#include "ProjectHost.h"
#include "frames/CGraphFrame.h"
#include "startup/WorkstationSettings.h"

namespace qs::app {

void BindGraphs(CQuillstoneApp&) {
    CGraphFrame::SetDataBarFactory([](const QString& title, CGraphFrame* frame, UINT) {
        return qs::graphs::CreateGraphDataBarDock(title, frame);
    });
    qs::graphs::Host().navigatorDisplay = [](int& dataOnly, int& entered, int& calculated, int& selected) {
        dataOnly = Settings().viewDataOnly;
        entered = Settings().viewEntered;
        calculated = Settings().viewCalculated;
        selected = Settings().viewSelectedTables;
    };
    qs::project::Host().renameGraph = [](CProjectDoc& doc, QSID id) {
        CNewGraphDlg dialog(doc.GetProject(), id);
        return dialog.DoModal() == IDOK;
    };
    qs::print::GraphItemPrinting& graphs = qs::print::Host().graphs;
    graphs.isGraphView = [](CView* view) { return dynamic_cast<CGraphView*>(view) != nullptr; };
    graphs.beginPrint = [](CView* view, QPainter* dc, CPrintInfo* info) {
        if (auto* graph = dynamic_cast<CGraphView*>(view)) graph->BeginPrint(dc, info);
    };
    graphs.printPage = [](CView* view, QPainter* dc, CPrintInfo* info) {
        if (auto* graph = dynamic_cast<CGraphView*>(view)) graph->PrintPage(dc, info);
    };
    graphs.endPrint = [](CView* view, QPainter* dc, CPrintInfo* info) {
        if (auto* graph = dynamic_cast<CGraphView*>(view)) graph->EndPrint(dc, info);
    };
}

}  // namespace qs::app
