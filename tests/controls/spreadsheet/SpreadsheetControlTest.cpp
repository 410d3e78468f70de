#include "SpreadsheetControl.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

using namespace qs::ss;

namespace {

// Records every notification the control sends.
struct Recorder {
    struct Entry {
        int code, row, col;
        QString text;
    };
    std::vector<Entry> seen;
    explicit Recorder(SpreadsheetControl& c) {
        QObject::connect(&c, &SpreadsheetControl::Notified, [this](int code, int row, int col, Notification* n) {
            seen.push_back({code, row, col, n->text});
        });
    }
    int Count(int code) const {
        int n = 0;
        for (const auto& e : seen) n += e.code == code;
        return n;
    }
};

TEST(SpreadsheetControl, CellsShowTheirNumberFormat) {
    SpreadsheetControl grid;
    ASSERT_EQ(grid.SetNumber(2, 3, -1234.5), SS_OK);
    ASSERT_EQ(grid.SetSelection(2, 3, 2, 3), SS_OK);
    ASSERT_EQ(grid.SetNumberFormat("#,##0.00_);(#,##0.00)"), SS_OK);
    QString text;
    grid.GetText(2, 3, text);
    EXPECT_EQ(text, "(1,234.50)");
    grid.GetEntry(2, 3, text);
    EXPECT_EQ(text, "-1234.5");
    double v = 0;
    grid.GetNumber(2, 3, v);
    EXPECT_EQ(v, -1234.5);
    EXPECT_EQ(grid.SetNumberFormat("0.00\""), SS_BadFormat);
    EXPECT_EQ(grid.SetNumber(16385, 1, 1), SS_BadRow);
    EXPECT_EQ(grid.SetText(1, kMaxCols + 1, "x"), SS_BadColumn);
}

}  // namespace

namespace {

TEST(SpreadsheetControl, WholeRowsAndColumnsAreGivenByMinusOne) {
    SpreadsheetControl grid;
    int r1, c1, r2, c2;
    ASSERT_EQ(grid.SetSelection(-1, 2, -1, 3), SS_OK);
    grid.GetSelection(0, r1, c1, r2, c2);
    EXPECT_EQ(std::vector<int>({r1, c1, r2, c2}), std::vector<int>({1, 2, kMaxRows, 3}));
    ASSERT_EQ(grid.SetSelection(4, -1, 5, -1), SS_OK);
    grid.GetSelection(0, r1, c1, r2, c2);
    EXPECT_EQ(std::vector<int>({r1, c1, r2, c2}), std::vector<int>({4, 1, 5, kMaxCols}));
    ASSERT_EQ(grid.SetSelection(-1, -1, -1, -1), SS_OK);
    grid.GetSelection(0, r1, c1, r2, c2);
    EXPECT_EQ(std::vector<int>({r1, c1, r2, c2}), std::vector<int>({1, 1, kMaxRows, kMaxCols}));
    int row, col;
    grid.GetActiveCell(row, col);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(col, 1);
    EXPECT_EQ(grid.GetSelection(1, r1, c1, r2, c2), SS_BadIndex);
    EXPECT_EQ(grid.SetSelection(0, 1, 1, 1), SS_BadArgument);
}

TEST(SpreadsheetControl, FormatsOnWholeColumnsAndSheetReachCellsWrittenLater) {
    SpreadsheetControl grid;
    grid.SetNumber(1, 2, 1.5);
    grid.SetSelection(-1, 2, -1, 2);
    grid.SetNumberFormat("0.00");
    grid.SetNumber(9000, 2, 2);  // written after the column was formatted
    grid.SetNumber(9000, 3, 2);  // another column keeps General
    QString t;
    grid.GetText(1, 2, t);
    EXPECT_EQ(t, "1.50");
    grid.GetText(9000, 2, t);
    EXPECT_EQ(t, "2.00");
    grid.GetText(9000, 3, t);
    EXPECT_EQ(t, "2");

    // A row style over a styled column: the row's change keeps the column's format.
    grid.SetSelection(9000, -1, 9000, -1);
    grid.SetFont("DejaVu Sans", 12, true, false, false, false, Qt::red);
    grid.GetText(9000, 2, t);
    EXPECT_EQ(t, "2.00");
    grid.SetActiveCell(9000, 2);
    EXPECT_TRUE(grid.GetFont().bold);

    // Clearing formats of the whole sheet returns everything to General.
    grid.SetSelection(-1, -1, -1, -1);
    ASSERT_EQ(grid.Clear(SSC_Formats), SS_OK);
    grid.GetText(9000, 2, t);
    EXPECT_EQ(t, "2");
    grid.SetActiveCell(9000, 2);
    EXPECT_FALSE(grid.GetFont().bold);
}

TEST(SpreadsheetControl, BordersPatternsAndClearKinds) {
    SpreadsheetControl grid;
    grid.SetNumber(2, 2, 5);
    grid.SetSelection(2, 2, 3, 3);
    // Outline only: inner sides stay untouched, -1 leaves the four sides.
    ASSERT_EQ(grid.SetBorder(SSB_Medium, -1, -1, -1, -1, 0, Qt::blue, {}, {}, {}, {}), SS_OK);
    const SheetData& s = grid.Sheet();
    EXPECT_EQ(s.StyleAt(2, 2).border[SideLeft].style, SSB_Medium);
    EXPECT_EQ(s.StyleAt(2, 2).border[SideTop].style, SSB_Medium);
    EXPECT_EQ(s.StyleAt(2, 2).border[SideRight].style, SSB_None);
    EXPECT_EQ(s.StyleAt(3, 3).border[SideRight].style, SSB_Medium);
    EXPECT_EQ(s.StyleAt(3, 3).border[SideBottom].color, QColor(Qt::blue));
    ASSERT_EQ(grid.SetPattern(4, ColorFromRef(0xFFFFFF), ColorFromRef(0xFFFF00)), SS_OK);
    int pattern;
    QColor fg, bg;
    grid.SetActiveCell(3, 3);
    grid.GetPattern(pattern, fg, bg);
    EXPECT_EQ(pattern, 4);
    EXPECT_EQ(bg, QColor(Qt::cyan));  // 0x00BBGGRR 0xFFFF00 is cyan
    EXPECT_EQ(grid.SetPattern(kPatternCount, fg, bg), SS_BadArgument);

    grid.SetSelection(2, 2, 2, 2);
    grid.Clear(SSC_Values);
    QString t;
    grid.GetText(2, 2, t);
    EXPECT_TRUE(t.isEmpty());
    EXPECT_EQ(s.StyleAt(2, 2).border[SideLeft].style, SSB_Medium);  // values only
    grid.Clear(SSC_Formats);
    EXPECT_EQ(s.StyleAt(2, 2).border[SideLeft].style, SSB_None);
    EXPECT_EQ(s.StyleAt(3, 3).border[SideRight].style, SSB_Medium);  // outside the selection
}

TEST(SpreadsheetControl, NotificationsCanBeEnabledDisabledAndQueried) {
    SpreadsheetControl grid;
    Recorder rec(grid);
    EXPECT_FALSE(grid.IsSetUp());
    bool on = true;
    ASSERT_EQ(grid.QueryNotify(SSN_SelChange, on), SS_OK);
    EXPECT_FALSE(on);
    grid.SetSelection(2, 2, 2, 2);
    EXPECT_EQ(rec.Count(SSN_SelChange), 0);

    ASSERT_EQ(grid.EnableNotify(SSN_SelChange, true), SS_OK);
    EXPECT_TRUE(grid.IsSetUp());
    grid.QueryNotify(SSN_SelChange, on);
    EXPECT_TRUE(on);
    grid.SetSelection(3, 4, 5, 6);
    ASSERT_EQ(rec.Count(SSN_SelChange), 1);
    EXPECT_EQ(rec.seen.back().row, 3);
    EXPECT_EQ(rec.seen.back().col, 4);

    // The host's guard: remember, disable, write, restore.
    grid.QueryNotify(SSN_SelChange, on);
    grid.EnableNotify(SSN_SelChange, false);
    grid.SetSelection(1, 1, 1, 1);
    grid.SetActiveCell(7, 7);
    grid.EnableNotify(SSN_SelChange, on);
    EXPECT_EQ(rec.Count(SSN_SelChange), 1);

    EXPECT_EQ(grid.EnableNotify(1024, true), SS_BadArgument);
    EXPECT_EQ(grid.EnableNotify(1049, true), SS_BadArgument);
    EXPECT_EQ(grid.QueryNotify(2000, on), SS_BadArgument);
}

// A sheet as wide as a monthly triangle of forty years and more: cells,
// formats of whole columns and rows far to the right, and the clipboard.
TEST(SpreadsheetControl, WideSheetsKeepCellsFormatsAndClipboardBeyondColumn256) {
    SpreadsheetControl grid;
    ASSERT_EQ(kMaxCols, 16384);
    ASSERT_EQ(grid.SetMaxCol(480), SS_OK);
    EXPECT_EQ(grid.MaxCol(), 480);
    ASSERT_EQ(grid.SetMaxCol(kMaxCols), SS_OK);
    for (int col : {257, 480, kMaxCols}) {
        SCOPED_TRACE(col);
        ASSERT_EQ(grid.SetNumber(3, col, col + 0.5), SS_OK);
        double v = 0;
        ASSERT_EQ(grid.GetNumber(3, col, v), SS_OK);
        EXPECT_EQ(v, col + 0.5);
        EXPECT_EQ(grid.SetColHeadingText(col, QString::number(col)), SS_OK);
    }
    EXPECT_EQ(grid.ColHeadingText(kMaxCols - 1), "XFC");

    // A whole column far right (-1 rows): cells above and below, written
    // before and after, take its format; the neighbours keep General.
    ASSERT_EQ(grid.SetSelection(-1, 480, -1, 480), SS_OK);
    int r1, c1, r2, c2;
    grid.GetSelection(0, r1, c1, r2, c2);
    EXPECT_EQ(std::vector<int>({r1, c1, r2, c2}), std::vector<int>({1, 480, kMaxRows, 480}));
    ASSERT_EQ(grid.SetNumberFormat("0.000"), SS_OK);
    grid.SetNumber(kMaxRows, 480, 2);
    grid.SetNumber(kMaxRows, 481, 2);
    QString t;
    grid.GetText(3, 480, t);
    EXPECT_EQ(t, "480.500");
    grid.GetText(kMaxRows, 480, t);
    EXPECT_EQ(t, "2.000");
    grid.GetText(kMaxRows, 481, t);
    EXPECT_EQ(t, "2");
    // Whole rows (-1 columns) over that column keep its format where they cross.
    ASSERT_EQ(grid.SetSelection(kMaxRows - 1, -1, kMaxRows, -1), SS_OK);
    ASSERT_EQ(grid.SetPattern(1, Qt::yellow, Qt::white), SS_OK);
    grid.GetText(kMaxRows, 480, t);
    EXPECT_EQ(t, "2.000");
    grid.SetActiveCell(kMaxRows, kMaxCols);
    int pattern = 0;
    QColor fg, bg;
    grid.GetPattern(pattern, fg, bg);
    EXPECT_EQ(pattern, 1);
    grid.SetActiveCell(1, kMaxCols);
    grid.GetPattern(pattern, fg, bg);
    EXPECT_EQ(pattern, 0);
    // Clearing the formats of whole columns reaches the crossing cells too.
    ASSERT_EQ(grid.ClearRange(-1, 300, -1, kMaxCols, SSC_Formats), SS_OK);
    grid.GetText(kMaxRows, 480, t);
    EXPECT_EQ(t, "2");

    // Copying a wide range: the used area's columns, tab separated.
    ASSERT_EQ(grid.ClearRange(-1, -1, -1, -1, SSC_All), SS_OK);
    grid.SetNumber(1, 300, 1);
    grid.SetText(1, 700, "far");
    grid.SetNumber(2, 699, 2);
    ASSERT_EQ(grid.SetSelection(1, -1, 2, -1), SS_OK);
    ASSERT_EQ(grid.EditCopy(), SS_OK);
    const QStringList lines = QApplication::clipboard()->text().split(u'\n');
    ASSERT_EQ(lines.size(), 2);
    const QStringList first = lines[0].split(u'\t'), second = lines[1].split(u'\t');
    ASSERT_EQ(first.size(), 401);
    ASSERT_EQ(second.size(), 401);
    EXPECT_EQ(first.front(), "1");
    EXPECT_EQ(first.back(), "far");
    EXPECT_EQ(second[399], "2");
    // ... and pasted back further right, up to the sheet's last column.
    ASSERT_EQ(grid.SetSelection(10, kMaxCols - 400, 10, kMaxCols - 400), SS_OK);
    ASSERT_EQ(grid.EditPaste(), SS_OK);
    grid.GetText(10, kMaxCols, t);
    EXPECT_EQ(t, "far");
    double v = 0;
    grid.GetNumber(11, kMaxCols - 1, v);
    EXPECT_EQ(v, 2);

    // Inserting and deleting columns moves near and far cells alike.
    ASSERT_EQ(grid.ClearRange(-1, -1, -1, -1, SSC_All), SS_OK);
    grid.SetNumber(5, 4, 4);
    grid.SetNumber(5, 10000, 10000);
    grid.SetNumber(5, kMaxCols, 1);
    ASSERT_EQ(grid.InsertCols(2, 3), SS_OK);  // two columns
    grid.GetNumber(5, 6, v);
    EXPECT_EQ(v, 4);
    grid.GetNumber(5, 10002, v);
    EXPECT_EQ(v, 10000);
    EXPECT_EQ(grid.LastCol(), 10002);  // the last column's cell was pushed off the sheet
    ASSERT_EQ(grid.DeleteCols(7, 9001), SS_OK);
    grid.GetNumber(5, 6, v);
    EXPECT_EQ(v, 4);
    grid.GetNumber(5, 1007, v);
    EXPECT_EQ(v, 10000);
    int b1, bc1, b2, bc2;
    grid.GetSheetBounds(b1, bc1, b2, bc2);
    EXPECT_EQ(std::vector<int>({b1, bc1, b2, bc2}), std::vector<int>({5, 6, 5, 1007}));
}

TEST(SpreadsheetControl, CopyAndPasteRoundTrip) {
    SpreadsheetControl grid;
    grid.SetNumber(2, 2, 1234.5);
    grid.SetText(2, 3, "label");
    grid.SetNumber(3, 2, -7);
    grid.SetNumber(3, 3, 0.25);
    grid.SetSelection(2, 2, 3, 2);
    grid.SetNumberFormat("#,##0.00_);(#,##0.00)");
    grid.SetSelection(3, 3, 3, 3);
    grid.SetNumberFormat("0%");

    // A selection larger than the used area is clipped to it.
    grid.SetSelection(1, 1, 10, 10);
    ASSERT_EQ(grid.EditCopy(), SS_OK);
    const QString copied = QApplication::clipboard()->text();
    EXPECT_EQ(copied, "1,234.50 \tlabel\n(7.00)\t25%");  // no trailing line feed

    grid.SetSelection(20, 5, 20, 5);
    ASSERT_TRUE(grid.CanEditPaste());
    ASSERT_EQ(grid.EditPaste(), SS_OK);
    double v = 0;
    grid.GetNumber(20, 5, v);
    EXPECT_EQ(v, 1234.5);
    grid.GetNumber(21, 5, v);
    EXPECT_EQ(v, -7);
    grid.GetNumber(21, 6, v);
    EXPECT_DOUBLE_EQ(v, 0.25);
    QString t;
    grid.GetEntry(20, 6, t);
    EXPECT_EQ(t, "label");

    // Windows line ends and a final line end paste the same block.
    grid.SetSelection(30, 1, 30, 1);
    grid.PasteText("1\t2\r\n3\t4\r\n");
    grid.SetSelection(30, 1, 31, 2);
    EXPECT_EQ(grid.SelectionText(), "1\t2\n3\t4");

    // Cut copies, then empties the selection.
    grid.SetSelection(30, 1, 30, 2);
    ASSERT_EQ(grid.EditCut(), SS_OK);
    EXPECT_EQ(QApplication::clipboard()->text(), "1\t2");
    grid.GetText(30, 1, t);
    EXPECT_TRUE(t.isEmpty());

    // A read-only grid copies but neither cuts nor pastes.
    grid.SetGridSwitch(SSG_AllowEditing, false);
    EXPECT_FALSE(grid.CanEditPaste());
    EXPECT_NE(grid.EditPaste(), SS_OK);
}

class EditingTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid.resize(500, 300);
        grid.show();
        grid.activateWindow();
        grid.setFocus();
        for (int code : {SSN_StartEdit, SSN_EndEdit, SSN_EntryStored, SSN_CancelEdit, SSN_Modified})
            grid.EnableNotify(code, true);
        grid.SetActiveCell(2, 2);
    }
    void Type(const QString& text, Qt::Key end) {
        QTest::keyClick(&grid, text[0].toLatin1());  // the first key opens the editor
        ASSERT_TRUE(grid.IsEditing());
        QTest::keyClicks(grid.Editor(), text.mid(1));
        QTest::keyClick(grid.Editor(), end);
        QCoreApplication::processEvents();
    }
    SpreadsheetControl grid;
};

TEST_F(EditingTest, TypedEntryIsStoredWithTheEditNotifications) {
    Recorder rec(grid);
    Type("1,250.5", Qt::Key_Return);
    EXPECT_FALSE(grid.IsEditing());
    double v = 0;
    grid.GetNumber(2, 2, v);
    EXPECT_EQ(v, 1250.5);
    ASSERT_EQ(rec.seen.size(), 4u);
    EXPECT_EQ(rec.seen[0].code, SSN_StartEdit);
    EXPECT_EQ(rec.seen[1].code, SSN_EndEdit);
    EXPECT_EQ(rec.seen[1].text, "1,250.5");
    EXPECT_EQ(rec.seen[2].code, SSN_Modified);
    EXPECT_EQ(rec.seen[3].code, SSN_EntryStored);
    EXPECT_EQ(rec.seen[3].row, 2);
    EXPECT_EQ(rec.seen[3].col, 2);
    int row, col;
    grid.GetActiveCell(row, col);
    EXPECT_EQ(row, 3);  // Enter moves down
    EXPECT_EQ(col, 2);

    grid.SetEnterMovesDown(false);
    Type("x", Qt::Key_Enter);
    grid.GetActiveCell(row, col);
    EXPECT_EQ(row, 3);
    QString t;
    grid.GetText(3, 2, t);
    EXPECT_EQ(t, "x");
}

// A key the editor does not take (Shift alone, before a capital or "(")
// comes back to the grid as its parent; the grid must not hand it to the
// editor again, or the two pass it back and forth until the stack runs out.
TEST_F(EditingTest, AKeyTheEditorLeavesDoesNotBounceBackToIt) {
    QTest::keyClick(&grid, '1');
    ASSERT_TRUE(grid.IsEditing());
    QTest::keyPress(&grid, Qt::Key_Shift);
    QTest::keyRelease(&grid, Qt::Key_Shift);
    QTest::keyClick(&grid, Qt::Key_ParenLeft, Qt::ShiftModifier);
    EXPECT_TRUE(grid.IsEditing());
    EXPECT_EQ(grid.Editor()->text(), "1(");
}

TEST_F(EditingTest, HostCanRefuseAnEntryOrTheStartOfAnEdit) {
    // The host refuses entries with letters and keeps the editor open.
    QObject::connect(&grid, &SpreadsheetControl::Notified, [](int code, int, int, Notification* n) {
        if (code == SSN_EndEdit && n->text.contains(u'a')) n->cancel = true;
        if (code == SSN_StartEdit && n->row == 5) n->cancel = true;
    });
    Type("12a", Qt::Key_Return);
    EXPECT_TRUE(grid.IsEditing());
    QString t;
    grid.GetText(2, 2, t);
    EXPECT_TRUE(t.isEmpty());
    grid.Editor()->setText("12");
    QTest::keyClick(grid.Editor(), Qt::Key_Return);
    EXPECT_FALSE(grid.IsEditing());
    grid.GetText(2, 2, t);
    EXPECT_EQ(t, "12");

    grid.SetActiveCell(5, 2);
    QTest::keyClick(&grid, '7');
    EXPECT_FALSE(grid.IsEditing());

    // Escape abandons an edit and leaves the cell as it was.
    Recorder rec(grid);
    grid.SetActiveCell(2, 2);
    QTest::keyClick(&grid, '9');
    QTest::keyClick(grid.Editor(), Qt::Key_Escape);
    EXPECT_FALSE(grid.IsEditing());
    EXPECT_EQ(rec.Count(SSN_CancelEdit), 1);
    grid.GetText(2, 2, t);
    EXPECT_EQ(t, "12");
}

TEST_F(EditingTest, MovingTheSelectionStoresAPendingEditInItsOwnCell) {
    QTest::keyClick(&grid, '4');
    ASSERT_TRUE(grid.IsEditing());
    grid.SetSelection(6, 6, 7, 7);
    EXPECT_FALSE(grid.IsEditing());
    double v = 0;
    grid.GetNumber(2, 2, v);
    EXPECT_EQ(v, 4);
    grid.GetNumber(6, 6, v);
    EXPECT_EQ(v, 0);
}

TEST_F(EditingTest, ReadOnlyGridDoesNotEdit) {
    grid.SetGridSwitch(SSG_AllowEditing, false);
    QTest::keyClick(&grid, '5');
    EXPECT_FALSE(grid.IsEditing());
}

TEST(SpreadsheetControl, InsertAndDeleteRowsMoveCellsAndHeadings) {
    SpreadsheetControl grid;
    grid.SetNumber(2, 1, 2);
    grid.SetNumber(3, 1, 3);
    grid.SetRowHeadingText(3, "third");
    grid.SetRowHeight(3, 3, 600);
    ASSERT_EQ(grid.InsertRows(1, 1), SS_OK);
    double v;
    grid.GetNumber(3, 1, v);
    EXPECT_EQ(v, 2);
    EXPECT_EQ(grid.RowHeadingText(4), "third");
    EXPECT_EQ(grid.GetRowHeight(4), 600);
    ASSERT_EQ(grid.DeleteRows(2, 3), SS_OK);
    grid.GetNumber(2, 1, v);
    EXPECT_EQ(v, 3);
    EXPECT_EQ(grid.RowHeadingText(2), "third");

    grid.SetText(1, 3, "c");
    ASSERT_EQ(grid.InsertCols(1, 2), SS_OK);
    QString t;
    grid.GetText(1, 5, t);
    EXPECT_EQ(t, "c");
    int r1, c1, r2, c2;
    grid.GetSheetBounds(r1, c1, r2, c2);
    EXPECT_EQ(std::vector<int>({r1, c1, r2, c2}), std::vector<int>({1, 3, 2, 5}));
}

TEST(SpreadsheetControl, SizesMeasureAndAutofit) {
    SpreadsheetControl grid;
    grid.SetColWidth(1, 3, 1000);
    grid.SetRowHeight(1, 2, 300);
    EXPECT_EQ(grid.MeasureRange(1, 1, 2, 3), QSize(3000, 600));
    grid.SetColHidden(2, 2, true);
    grid.SetRowHidden(2, 2, true);
    EXPECT_EQ(grid.MeasureRange(1, 1, 2, 3), QSize(2000, 300));
    EXPECT_EQ(grid.GetColWidth(2), 1000);  // hiding keeps the width for showing again

    grid.SetColWidthChars(4, 4, 10);
    EXPECT_NEAR(grid.GetColWidthChars(4), 10.0, 0.05);

    grid.SetText(1, 5, "a rather long text for one column");
    grid.SetText(2, 5, "short");
    grid.FitColWidths(5, 5);
    const int fitted = grid.GetColWidth(5);
    grid.SetText(1, 5, "short");
    grid.FitColWidths(5, 5);
    EXPECT_LT(grid.GetColWidth(5), fitted);

    grid.SetSelection(6, 1, 6, 1);
    grid.SetText(6, 1, "x");
    grid.SetFont("DejaVu Sans", 30, false, false, false, false, Qt::black);
    grid.FitRowHeights(6, 7);
    EXPECT_GT(grid.GetRowHeight(6), 2 * grid.GetRowHeight(7));

    grid.SetHeadingRowHeight(500);
    grid.SetHeadingColWidth(900);
    EXPECT_EQ(grid.HeadingSize(), QSize(900, 500));
    grid.SetGridSwitch(SSG_ShowRowHeadings, false);
    EXPECT_EQ(grid.HeadingSize(), QSize(0, 500));
}

TEST(SpreadsheetControl, JoinedControlsShareTheSheet) {
    SpreadsheetControl a, b;
    a.EnableNotify(SSN_SelChange, true);
    ASSERT_EQ(b.Join(&a), SS_OK);
    EXPECT_TRUE(b.IsSetUp());
    b.SetNumber(1, 1, 42);
    double v = 0;
    a.GetNumber(1, 1, v);
    EXPECT_EQ(v, 42);
}

}  // namespace

namespace {

class MouseAndKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid.resize(600, 400);
        grid.SetColWidth(1, kMaxCols, 1500);  // 100 px at 96 dpi and 100%
        grid.SetRowHeight(1, kMaxRows, 300);  // 20 px
        grid.SetHeadingColWidth(750);         // 50 px
        grid.SetHeadingRowHeight(300);        // 20 px
        grid.show();
        grid.activateWindow();
        grid.setFocus();
    }
    // Centre of a cell in viewport pixels (row 0 / col 0: the headings).
    static QPoint At(int row, int col) { return QPoint(col == 0 ? 25 : 50 + (col - 1) * 100 + 50, row == 0 ? 10 : 20 + (row - 1) * 20 + 10); }
    Range Sel() const { return grid.Selection().first(); }
    SpreadsheetControl grid;
};

TEST_F(MouseAndKeysTest, ClicksSelectCellsRangesAndWholeColumns) {
    grid.EnableNotify(SSN_Click, true);
    grid.EnableNotify(SSN_SelChange, true);
    Recorder rec(grid);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, At(3, 2));
    int row, col;
    grid.GetActiveCell(row, col);
    EXPECT_EQ(row, 3);
    EXPECT_EQ(col, 2);
    EXPECT_EQ(rec.Count(SSN_Click), 1);
    EXPECT_GE(rec.Count(SSN_SelChange), 1);

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, At(5, 4));
    EXPECT_EQ(Sel(), (Range{3, 2, 5, 4}));

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, At(0, 3));
    EXPECT_EQ(Sel(), (Range{1, 3, kMaxRows, 3}));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, At(4, 0));
    EXPECT_EQ(Sel(), (Range{4, 1, 4, kMaxCols}));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, At(0, 0));
    EXPECT_EQ(Sel(), (Range{1, 1, kMaxRows, kMaxCols}));
}

TEST_F(MouseAndKeysTest, KeysMoveAndExtendAndZoomScalesCells) {
    grid.SetActiveCell(2, 2);
    QTest::keyClick(&grid, Qt::Key_Right);
    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(Sel(), (Range{3, 3, 4, 4}));
    QTest::keyClick(&grid, Qt::Key_Tab);
    int row, col;
    grid.GetActiveCell(row, col);
    EXPECT_EQ(row, 4);
    EXPECT_EQ(col, 5);
    grid.SetColHidden(6, 6, true);  // hidden columns are stepped over
    QTest::keyClick(&grid, Qt::Key_Right);
    grid.GetActiveCell(row, col);
    EXPECT_EQ(col, 7);
    // The host can take a key for itself.
    grid.EnableNotify(SSN_KeyDown, true);
    QObject::connect(&grid, &SpreadsheetControl::Notified, [](int code, int, int, Notification* n) {
        if (code == SSN_KeyDown && n->key == Qt::Key_Down) n->cancel = true;
    });
    QTest::keyClick(&grid, Qt::Key_Down);
    grid.GetActiveCell(row, col);
    EXPECT_EQ(row, 4);

    const QRect normal = grid.CellRect(1, 1);
    ASSERT_EQ(grid.SetViewScale(200), SS_OK);
    const QRect zoomed = grid.CellRect(1, 1);
    EXPECT_EQ(zoomed.width(), 2 * normal.width());
    EXPECT_EQ(zoomed.height(), 2 * normal.height());
    EXPECT_EQ(grid.SetViewScale(5), SS_BadArgument);
    EXPECT_EQ(grid.SetViewScale(401), SS_BadArgument);
}

TEST_F(MouseAndKeysTest, DraggingAHeadingEdgeResizesAndNotifies) {
    grid.EnableNotify(SSN_ColWidthChanged, true);
    Recorder rec(grid);
    const QPoint edge(150, 10);  // right edge of column 1's heading
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, edge);
    QMouseEvent move(QEvent::MouseMove, QPointF(180, 10), grid.viewport()->mapToGlobal(QPointF(180, 10)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &move);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, QPoint(180, 10));
    EXPECT_EQ(grid.GetColWidth(1), 1500 + 30 * 15);
    ASSERT_EQ(rec.Count(SSN_ColWidthChanged), 1);
    EXPECT_EQ(rec.seen.back().col, 1);

    grid.SetGridSwitch(SSG_AllowResize, false);
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, QPoint(180, 10));
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, QPoint(220, 10));
    EXPECT_EQ(grid.GetColWidth(1), 1500 + 30 * 15);
}

TEST(SpreadsheetControl, FontCallsGoToTheHeadingsWhileTheyAreSelected) {
    SpreadsheetControl grid;
    grid.SetActiveCell(1, 1);
    ASSERT_EQ(grid.SelectHeadings(true, true, true), SS_OK);
    grid.SetFont("DejaVu Serif", 14, true, false, false, false, Qt::black);
    EXPECT_EQ(grid.Sheet().HeadingFont().face, "DejaVu Serif");
    grid.SelectHeadings(false, false, false);
    EXPECT_FALSE(grid.GetFont().bold);  // the cells kept their font
    ASSERT_EQ(grid.SetDefaultFont("DejaVu Sans Mono", 11), SS_OK);
    EXPECT_EQ(grid.GetFont().face, "DejaVu Sans Mono");
}

}  // namespace

namespace {

TEST(SpreadsheetControl, FixedRowsAndColumnsStayOnScreenWhileScrolling) {
    SpreadsheetControl grid;
    grid.resize(400, 300);
    grid.SetFixedRows(1);
    grid.SetFixedCols(1);
    grid.ShowCell(500, 100);
    EXPECT_GT(grid.TopRow(), 400);
    EXPECT_GT(grid.LeftCol(), 90);
    EXPECT_FALSE(grid.CellRect(1, 1).isEmpty());
    EXPECT_FALSE(grid.CellRect(1, 100).isEmpty());
    EXPECT_FALSE(grid.CellRect(500, 1).isEmpty());
    EXPECT_FALSE(grid.CellRect(500, 100).isEmpty());
    EXPECT_TRUE(grid.CellRect(2, 2).isEmpty());
    // The title row sits right under the headings, the scrolled rows below it.
    EXPECT_LT(grid.CellRect(1, 100).top(), grid.CellRect(grid.TopRow(), 100).top());
}

}  // namespace

namespace {

TEST(SpreadsheetControl, ACellMadeCurrentBeforeTheGridHadItsSizeScrollsOnlyAsFarAsNeeded) {
    SpreadsheetControl grid;
    grid.SetMaxRow(20);
    grid.SetMaxCol(10);
    grid.resize(60, 40);  // not on screen yet: nothing fits
    ASSERT_EQ(grid.SetActiveCell(15, 2), SS_OK);
    grid.ShowActiveCell();
    grid.show();  // still too small to show a cell
    QCoreApplication::processEvents();
    // On screen at a size that holds the whole table: back to the top, the
    // current cell still current.
    grid.resize(900, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.TopRow(), 1);
    EXPECT_EQ(grid.LeftCol(), 1);
    int row = 0, col = 0;
    grid.GetActiveCell(row, col);
    EXPECT_EQ(row, 15);
    // Later scrolling is the user's: another resize keeps it.
    grid.ShowCell(20, 2);
    const int top = grid.TopRow();
    grid.resize(880, 700);
    EXPECT_EQ(grid.TopRow(), top);
}

}  // namespace
