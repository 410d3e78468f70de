#pragma once
// Printing graphs. A print list prints a graph item through the graph
// view's three hooks (BeginPrint, PrintPage while the page state asks for
// more, EndPrint); the page settings decide how many graphs share a page,
// in how many columns, and whether the graph prints once as shown or once
// per chosen row, column or diagonal series. The progress over a page of
// several graphs outlives one item, so the next item continues on the page.
#include "KernelTypes.h"

class CGraphView;
class CPrintPageState;
class QPrinter;

// What a page of graphs carries from one graph item to the next: the page
// state keeps it (the print list drops it on a new page and before a table).
struct GraphPrintProgress {
    int slot = 0;       // column of the next graph in the current row
    int savedTop = -1;  // page top the next item starts from (-1: none)
    int remaining = 0;  // graphs still allowed on this page
};

// One graph item's way through its series: restarts with every BeginPrint.
struct GraphSeriesProgress {
    int counters[3] = {0, 0, 0};  // graphs printed by rows, columns, diagonals
    int phase = 0;                // 0 rows, 1 columns, 2 diagonals, 3 done
    bool perSeries = false;       // one graph per composite series choice
    long savedSeries = 0;
    int savedType = 1;            // the orientation the graph showed
    int drawn = 0;                // graphs drawn on the item's last page
};

namespace qs::graphs {

// The progress record of the page state (made on first use).
GraphPrintProgress& PrintProgressOf(CPrintPageState& state);

}  // namespace qs::graphs

// Prints the view's graph alone as shown (the direct print of one graph):
// the page settings of state lay the page out. Returns the pages printed,
// 0 when nothing was, -1 when the printer could not be started.
int PrintGraphAlone(CGraphView& view, QPrinter& printer, CPrintPageState& state);
