#include "ExhibitDialogWidgets.h"

#include <QColor>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

#include "CDialog.h"
#include "CInterpolationUtil.h"

using namespace qs::ss;

namespace qs::views {

QComboBox* CurveCombo(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    for (ENUM_CURVE_TYPE c : {CURVE_LINEAR, CURVE_EXPONENTIAL, CURVE_WEIBULL, CURVE_INVERSE_POWER})
        combo->addItem(QString::fromStdString(CInterpolationUtil::GetCurveLabel(c, 0)));
    combo->setCurrentIndex(-1);
    return combo;
}

QComboBox* InputCombo(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    for (ENUM_INPUT_TYPE i : {INPUT_CUMULATIVE, INPUT_RATIO_TO_ULTIMATE})
        combo->addItem(QString::fromStdString(CInterpolationUtil::GetInputLabel(i, 0)));
    combo->setCurrentIndex(-1);
    return combo;
}

QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QHBoxLayout* OkCancelRow(CDialog* dialog) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(dialog->AddButton(IDOK, QStringLiteral("OK")));
    row->addWidget(dialog->AddButton(IDCANCEL, QStringLiteral("Cancel")));
    return row;
}

QTreeWidget* SortedReportList(QWidget* parent, const QStringList& headings) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setColumnCount(int(headings.size()));
    list->setHeaderLabels(headings);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSortingEnabled(true);
    list->sortByColumn(0, Qt::AscendingOrder);
    list->header()->setSectionsClickable(false);
    return list;
}

int MoveSelectedRows(QTreeWidget* from, QTreeWidget* to) {
    to->clearSelection();
    const QList<QTreeWidgetItem*> selected = from->selectedItems();
    QTreeWidgetItem* last = nullptr;
    for (QTreeWidgetItem* item : selected) {
        from->takeTopLevelItem(from->indexOfTopLevelItem(item));
        item->setText(0, item->text(0).left(255));
        to->addTopLevelItem(item);
        item->setSelected(true);
        last = item;
    }
    if (last != nullptr) {
        to->scrollToItem(last);
        to->setFocus();
    }
    return int(selected.size());
}

std::vector<long> RowIds(const QTreeWidget* list) {
    std::vector<long> ids;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        ids.push_back(list->topLevelItem(i)->data(0, Qt::UserRole).toLongLong());
    return ids;
}

void OptionsGrid::OnEndEdit(const QString& text, bool& cancel) {
    if (!checkTyped || checkTyped(text)) return;
    // Refused: the edit ends with the cell's old value once the grid is
    // back from this notification.
    cancel = true;
    if (SpreadsheetControl* ctrl = Ctrl())
        QMetaObject::invokeMethod(ctrl, [ctrl] { ctrl->CancelEdit(); }, Qt::QueuedConnection);
}

void OptionsGrid::SetUpColumns(const QStringList& titles, const std::vector<double>& widths) {
    SpreadsheetControl* ctrl = Ctrl();
    ctrl->SetGridSwitch(SSG_ShowRowHeadings, false);
    ctrl->SetGridSwitch(SSG_ShowColHeadings, false);
    ctrl->SetEnterMovesDown(false);
    ctrl->SetDefaultFont(QStringLiteral("Arial"), 8);
    ctrl->SetMaxCol(int(titles.size()));
    ctrl->SetMaxRow(1);
    for (int c = 0; c < titles.size(); ++c) {
        ctrl->SetText(1, c + 1, titles[c]);
        ctrl->SetColWidthChars(c + 1, c + 1, widths[std::size_t(c)]);
    }
    ctrl->SetRowHeight(1, 1, 512);
    ctrl->SetSelection(1, 1, 1, int(titles.size()));
    ctrl->SetAlignment(SSH_Center, true, SSV_Bottom, 0);
    ctrl->SetFont(QStringLiteral("Arial"), 8, true, false, false, false, QColor(Qt::black));
    ctrl->SetSelection(1, 1, 1, 1);
}

int OptionsGrid::DataRows() const { return std::max(0, Ctrl()->MaxRow() - 1); }

void OptionsGrid::SetDataRows(int count) {
    SpreadsheetControl* ctrl = Ctrl();
    const int cols = ctrl->MaxCol();
    if (count < DataRows()) {
        ctrl->ClearRange(count + 2, 1, DataRows() + 1, cols, SSC_Values);
    }
    ctrl->SetMaxRow(count + 1);
}

QString OptionsGrid::Text(int row, int col) const {
    QString text;
    Ctrl()->GetText(row, col, text);
    return text;
}

void OptionsGrid::SetCellText(int row, int col, const QString& text) {
    if (text.isEmpty()) Ctrl()->ClearRange(row, col, row, col, SSC_Values);
    else Ctrl()->SetText(row, col, text);
}

void OptionsGrid::SortByOrder() {
    SpreadsheetControl* ctrl = Ctrl();
    const int rows = DataRows(), cols = ctrl->MaxCol();
    // Each cell keeps its kind: numbers stay numbers, texts stay texts.
    struct Cell {
        bool number = false;
        double value = 0;
        QString text;
    };
    std::vector<std::pair<double, std::vector<Cell>>> data;
    for (int r = 2; r < rows + 2; ++r) {
        std::vector<Cell> cells;
        for (int c = 1; c <= cols; ++c) {
            Cell cell;
            cell.text = Text(r, c);
            bool ok = false;
            cell.text.trimmed().toDouble(&ok);
            cell.number = ok;
            ctrl->GetNumber(r, c, cell.value);
            cells.push_back(cell);
        }
        const double order = cells.empty() ? 0 : cells[0].value;
        data.emplace_back(order, std::move(cells));
    }
    std::stable_sort(data.begin(), data.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (int i = 0; i < rows; ++i)
        for (int c = 1; c <= cols; ++c) {
            const Cell& cell = data[std::size_t(i)].second[std::size_t(c - 1)];
            if (cell.number) ctrl->SetNumber(i + 2, c, cell.value);
            else SetCellText(i + 2, c, cell.text);
        }
}

int OptionsGrid::ActiveRow() const {
    int row = 0, col = 0;
    Ctrl()->GetActiveCell(row, col);
    return row;
}

void OptionsGrid::SelectRow(int row) {
    SpreadsheetControl* ctrl = Ctrl();
    int r = 0, c = 0;
    ctrl->GetActiveCell(r, c);
    ctrl->SetActiveCell(row, c < 1 ? 1 : c);
    ctrl->SetSelection(row, 1, row, ctrl->MaxCol());
}

}  // namespace qs::views
