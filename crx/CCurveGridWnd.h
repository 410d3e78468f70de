#pragma once
// The grid window: the points of the curve shown (age, actual, modified,
// excluded) and the fitted incremental and cumulative factors up to the
// cutoff. A click in "Exclude" toggles a point, a typed "Modified" value
// replaces its value, Delete clears either; every change goes to the working
// analysis and asks for a recalculation.
#include <QWidget>

#include "CTailFactorAnalysis.h"
#include "CWnd.h"

namespace qs::ss {
class SpreadsheetControl;
struct Notification;
}

class CCurveGridWnd : public QWidget, public CWnd {
public:
    // A grid never grows past this many rows, whatever the cutoff and step.
    static constexpr int kMaxRows = 16384;  // the spreadsheet's last row

    explicit CCurveGridWnd(QWidget* parent = nullptr);
    ~CCurveGridWnd() override;

    qs::ss::SpreadsheetControl* Control() const { return m_grid; }

    // The rows laid out for curve c: every age initial + k * step up to the
    // cutoff (with a millionth of tolerance), at least the points.
    static int RowCount(const CTailFactorAnalysis& analysis, int curve);

    void Refresh();
    // What a paste left in the Modified and Exclude columns, read into w for curve c.
    CTailFactorAnalysis ReadPasted(CTailFactorAnalysis w, int curve) const;

    // The grid's events (public so tests can play them).
    void OnClick(int row, int col);
    bool OnStartEdit(int row, int col);  // false: the edit is refused
    void OnEndEdit(int row, int col, const QString& text);
    bool OnKeyDown(int row, int col, int key);  // true: handled here

private:
    void OnNotified(int code, int row, int col, qs::ss::Notification* n);
    int Curve() const;
    void Store(const CTailFactorAnalysis& w);

    qs::ss::SpreadsheetControl* m_grid = nullptr;
};
