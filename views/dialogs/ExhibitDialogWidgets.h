#pragma once
// Small pieces the exhibit option dialogs share: the curve and input
// combos (items in the kernel's list order), labelled buddies, the OK /
// Cancel row, two lists that hand rows to each other, and the grid window
// of the statistics and interpolation pages.
#include <QString>

#include <functional>

#include "CSpreadsheetWnd.h"

class CDialog;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace qs::views {

// "Linear", "Exponential", "Weibull", "Inverse Power" (no item chosen).
QComboBox* CurveCombo(QWidget* parent);
// "Cumulative", "Ratio to Ultimate" (no item chosen).
QComboBox* InputCombo(QWidget* parent);
QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent);
// OK (the default) and Cancel, right-aligned.
QHBoxLayout* OkCancelRow(CDialog* dialog);

// A report list sorted ascending by its first column, several rows
// selectable. Item data (Qt::UserRole of column 0) carries an id.
QTreeWidget* SortedReportList(QWidget* parent, const QStringList& headings);
// Moves the selected rows of from into to (to's selection cleared first,
// moved rows selected); the last moved row is scrolled into view and to
// gets the focus. Returns the number moved.
int MoveSelectedRows(QTreeWidget* from, QTreeWidget* to);
// The ids of a list's rows, top to bottom.
std::vector<long> RowIds(const QTreeWidget* list);

// The grid of the statistics and interpolation pages: row 1 holds the
// column titles, the data rows follow. Typed cells are checked by
// checkTyped (false refuses the entry and keeps the old value).
class OptionsGrid : public CSpreadsheetWnd {
public:
    explicit OptionsGrid(QWidget* parent = nullptr) : CSpreadsheetWnd(parent) {}

    std::function<void()> activeCellMoved;
    std::function<void(int row, int col)> doubleClicked;
    std::function<bool(const QString& text)> checkTyped;

    void OnSelChange() override {
        if (activeCellMoved) activeCellMoved();
    }
    void OnDblClick(int row, int col) override {
        if (doubleClicked) doubleClicked(row, col);
    }
    void OnEndEdit(const QString& text, bool& cancel) override;

    // Sets up the columns: titles in row 1, widths in characters.
    void SetUpColumns(const QStringList& titles, const std::vector<double>& widths);
    // Number of data rows (rows 2 .. last).
    int DataRows() const;
    void SetDataRows(int count);
    QString Text(int row, int col) const;
    void SetCellText(int row, int col, const QString& text);
    // Sorts the data rows ascending by the number in column 1 (stable).
    void SortByOrder();
    int ActiveRow() const;
    void SelectRow(int row);
};

}  // namespace qs::views
