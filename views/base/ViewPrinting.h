#pragma once
// Printing a table view: the print cycle that drives a view's printing
// operations (begin, then per page prepare and print while the page state
// says to go on, then end), the page geometry of a page state for a
// printer, and the font of a font record on a printer.
#include <QFont>

class CLOGFONT;
class CObjectView;
class CPrintPageState;
class QPrinter;

namespace qs::views {

// The font a font record describes (point size = the record's height in
// tenths of a point).
QFont FontFromRecord(const CLOGFONT& record);

// Applies the page setup's margins and orientation to the printer and fills
// the state's page rectangle, header space (one line of the title font)
// and title space (the tallest of the three title lines).
void SetPageGeometry(CPrintPageState& state, QPrinter& printer);

// Prints the view's table with the state as the job's page state. Returns
// the number of pages printed: 0 when the view stopped the job before
// anything was printed (it has told the user why; no file is written), -1
// when the printer cannot be opened. The view's screen layout is put back
// afterwards. The collected cell notes are left in the state's notes text.
int PrintObjectView(CObjectView& view, QPrinter& printer, CPrintPageState& state);

// Pages a job may print at most, so that a view that never ends its job
// cannot print forever.
inline constexpr int kMaxPrintedPages = 10000;

}  // namespace qs::views
