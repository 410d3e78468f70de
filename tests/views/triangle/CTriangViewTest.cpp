// The triangle view on a real project: edits reach the kernel and the
// calculated layers, the presentation switches follow the kernel object,
// the calendar layout shifts rows and totals columns, and the keys move over
// the triangle's cells.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "CDataObject.h"
#include "CommandIds.h"
#include "CTriangView.h"
#include "ModalScript.h"
#include "SmallViewDialogs.h"
#include "MessageBox.h"
#include "SpreadsheetControl.h"
#include "ViewSettings.h"
#include "ViewTestSupport.h"

using qs::test::kPaidLoss;
using qs::test::TestProjectDoc;

namespace {

using TriangViewLargeTest = qs::test::ViewTest;

struct TriangViewTest : qs::test::ViewTest {
    void SetUp() override {
        ViewTest::SetUp();
        OpenTablesAsStored();
    }
    CDataObject* Paid(unsigned short layer) { return doc.GetProject()->FindDataObject(kPaidLoss, layer); }
    static double Num(CTriangView& v, int r, int c) {
        double value = 0;
        v.GetCtrl()->GetNumber(r, c, value);
        return value;
    }
    static QString Text(CTriangView& v, int r, int c) {
        QString text;
        v.GetCtrl()->GetText(r, c, text);
        return text.trimmed();
    }
    // Types text into the active cell as a person does.
    static void Type(CTriangView& v, int r, int c, const QString& text) {
        qs::ss::SpreadsheetControl* ctrl = v.GetCtrl();
        ctrl->SetSelection(r, c, r, c);
        ctrl->SetActiveCell(r, c);
        ASSERT_EQ(ctrl->StartEdit(text, true), 0);
        ctrl->EndEdit();
    }
    void SetCumulative(int on) {
        QSSTATUS status = 0;
        for (unsigned short layer : {NET, GROSS, CEDED}) Paid(layer)->ViewCumulative(on, status, 1);
    }
    TestProjectDoc doc;  // 5 x 5 annual triangle
};

TEST_F(TriangViewTest, LaysOutTheTriangleWithLabelsAndBlankedStaircase) {
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    EXPECT_EQ(ctrl->MaxRow(), 5);
    EXPECT_EQ(ctrl->MaxCol(), 5);
    QSStringArray rows, cols;
    std::string corner;
    Paid(NET)->GetLabels(rows, cols, corner);
    EXPECT_EQ(ctrl->RowHeadingText(1), QString::fromStdString(rows[0]));
    EXPECT_EQ(ctrl->ColHeadingText(5), QString::fromStdString(cols[4]));
    EXPECT_EQ(ctrl->CornerText(), QString::fromStdString(corner));
    // Beyond a row's end the cells wear the grid's background and refuse edits.
    ctrl->SetActiveCell(5, 2);
    int pattern = 0;
    QColor fg, bg;
    ctrl->GetPattern(pattern, fg, bg);
    EXPECT_EQ(pattern, 1);
    EXPECT_EQ(fg, ctrl->BackgroundColor());
    EXPECT_NE(ctrl->StartEdit(QStringLiteral("1"), true), 0);
    ctrl->SetActiveCell(5, 1);
    EXPECT_EQ(ctrl->StartEdit(QStringLiteral("1"), true), 0);
    ctrl->CancelEdit();
}

TEST_F(TriangViewTest, CurrencySymbolStandsWhereTheProjectPutsIt) {
    // The first row shows the symbol, before or after the number as the
    // project's display settings say (1 before, 0 after).
    Paid(NET)->SetDisplayType(CFormula::DT_CURRENCY);
    Paid(NET)->SetAt(0, 0, 1234);
    for (int position : {1, 0}) {
        ASSERT_EQ(doc.GetProject()->SetCurrencySymbol("$", position), 0);
        auto view = doc.Open<CTriangView>(kPaidLoss, NET);
        ASSERT_NE(view, nullptr);
        const QString text = Text(*view, 1, 1);
        EXPECT_TRUE(position == 1 ? text.startsWith(u'$') : text.endsWith(u'$')) << position << " " << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("1,234"))) << text.toStdString();
    }
}

TEST_F(TriangViewTest, TypedEntriesReachTheKernelAndTheCalculatedLayer) {
    SetCumulative(1);
    auto net = doc.Open<CTriangView>(kPaidLoss, NET);
    auto gross = doc.Open<CTriangView>(kPaidLoss, GROSS);
    ASSERT_NE(net, nullptr);
    ASSERT_NE(gross, nullptr);
    Type(*net, 2, 3, QStringLiteral("1,500"));
    double v = 0;
    std::uint8_t flags = 0;
    ASSERT_EQ(Paid(NET)->GetAt(1, 2, v, flags), 0);
    EXPECT_EQ(v, 1500.0);
    // Gross = Net + Ceded, and the Gross view heard of it.
    ASSERT_EQ(Paid(GROSS)->GetAt(1, 2, v, flags), 0);
    EXPECT_EQ(v, 1500.0);
    EXPECT_EQ(Num(*gross, 2, 3), 1500.0);
    // Words are refused with the message and nothing is stored.
    qs::fw::MessageBoxScript boxes;
    qs::ss::SpreadsheetControl* ctrl = net->GetCtrl();
    ctrl->SetActiveCell(1, 1);
    ASSERT_EQ(ctrl->StartEdit(QStringLiteral("abc"), true), 0);
    ctrl->EndEdit();
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, QStringLiteral("Only numeric characters are allowed."));
    ctrl->CancelEdit();
    ASSERT_EQ(Paid(NET)->GetAt(0, 0, v, flags), 0);
    EXPECT_FALSE(flags & CDataObject::CF_VALUE);
    // A calculated layer is read-only: its commands are off.
    CCmdUI clear;
    clear.m_nID = ID_EDIT_CLEAR;
    clear.DoUpdate(gross.get(), FALSE);
    EXPECT_FALSE(clear.m_enabled);
    clear.DoUpdate(net.get(), FALSE);
    EXPECT_TRUE(clear.m_enabled);
}

TEST_F(TriangViewTest, CumulativeAndIncrementalFollowTheKernelObject) {
    SetCumulative(1);
    for (int c = 0; c < 3; ++c) Paid(NET)->SetAt(0, c, 100.0 * (c + 1));  // 100, 200, 300 cumulative
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Num(*view, 1, 3), 300.0);
    EXPECT_TRUE(view->GetCaption().endsWith(QStringLiteral(" - Cumulative")));
    view->RouteCommand(ID_VIEW_CUMULATIVE);
    EXPECT_FALSE(Paid(NET)->IsViewedCumulative());
    EXPECT_EQ(Num(*view, 1, 2), 100.0);
    EXPECT_EQ(Num(*view, 1, 3), 100.0);
    EXPECT_TRUE(view->GetCaption().endsWith(QStringLiteral(" - Incremental")));
    // An incremental entry moves the later cumulative values.
    Type(*view, 1, 2, QStringLiteral("150"));
    double v = 0;
    std::uint8_t flags = 0;
    Paid(NET)->GetAt(0, 2, v, flags);
    EXPECT_EQ(v, 100.0);
    view->RouteCommand(ID_VIEW_CUMULATIVE);
    EXPECT_EQ(Num(*view, 1, 3), 350.0);
}

TEST_F(TriangViewTest, CalendarLayoutShiftsRowsAndTotalsColumns) {
    SetCumulative(1);
    Paid(NET)->SetAt(0, 4, 10.0);  // row 1, last age
    Paid(NET)->SetAt(1, 3, 20.0);  // row 2, last age
    Paid(NET)->SetAt(4, 0, 5.0);   // row 5, its only cell
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    g_bCalendarView = 1;
    view->OnUpdate(nullptr, HINT_CALENDAR, nullptr);
    ASSERT_TRUE(view->IsCalendar());
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    EXPECT_EQ(ctrl->MaxRow(), 6);
    EXPECT_EQ(ctrl->RowHeadingText(6), QStringLiteral("Total"));
    // Every row ends in the last column.
    EXPECT_EQ(Num(*view, 1, 5), 10.0);
    EXPECT_EQ(Num(*view, 2, 5), 20.0);
    EXPECT_EQ(Num(*view, 5, 5), 5.0);
    EXPECT_EQ(Num(*view, 6, 5), 35.0);
    EXPECT_TRUE(view->IsValidLocation(1, 1));   // row 2 starts in column 2
    EXPECT_FALSE(view->IsValidLocation(1, 0));
    EXPECT_FALSE(view->IsValidLocation(4, 3));
    // An entry in the shifted row lands in the right kernel cell and the total follows.
    Type(*view, 2, 4, QStringLiteral("7"));
    double v = 0;
    std::uint8_t flags = 0;
    Paid(NET)->GetAt(1, 2, v, flags);
    EXPECT_EQ(v, 7.0);
    EXPECT_EQ(Num(*view, 6, 4), 7.0);
    // Back to development ages.
    g_bCalendarView = 0;
    view->OnUpdate(nullptr, HINT_CALENDAR, nullptr);
    EXPECT_EQ(ctrl->MaxRow(), 5);
    EXPECT_EQ(Num(*view, 2, 3), 7.0);
    EXPECT_EQ(Num(*view, 5, 1), 5.0);
}

// Keys as a person types them, each sent to the widget that has the focus:
// what is typed after a move is stored in the cell the cursor moved to.
TEST_F(TriangViewTest, KeySequencesStoreWhatIsTypedWhereTheCursorIs) {
    struct Step {
        enum Kind { Click, Key, Text } kind;
        int a = 0, b = 0;  // click: row, col; key: Qt key, modifiers
        const char* text = "";
    };
    using S = Step;
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int row, col;     // kernel cell that holds the value (-1: none)
        double value;
        int endRow, endCol;  // grid cell the cursor ends on
    };
    const Case cases[] = {
        {"click, type", {S{S::Click, 2, 2}, S{S::Text, 0, 0, "7"}, S{S::Key, Qt::Key_Return}}, 1, 1, 7, 3, 2},
        {"Tab, type", {S{S::Key, Qt::Key_Tab}, S{S::Text, 0, 0, "5"}, S{S::Key, Qt::Key_Return}}, 0, 1, 5, 2, 2},
        {"Down, type", {S{S::Key, Qt::Key_Down}, S{S::Text, 0, 0, "3"}, S{S::Key, Qt::Key_Tab}}, 1, 0, 3, 2, 2},
        {"Enter, Up, type",
         {S{S::Key, Qt::Key_Return}, S{S::Key, Qt::Key_Up}, S{S::Text, 0, 0, "4"}, S{S::Key, Qt::Key_Return}}, 0, 0, 4, 2, 1},
        {"type, Enter, type",
         {S{S::Text, 0, 0, "12"}, S{S::Key, Qt::Key_Return}, S{S::Text, 0, 0, "13"}, S{S::Key, Qt::Key_Return}}, 1, 0, 13, 3, 1},
        {"type, Right", {S{S::Text, 0, 0, "9"}, S{S::Key, Qt::Key_Right}}, 0, 0, 9, 1, 2},
        {"Right", {S{S::Key, Qt::Key_Right}}, -1, 0, 0, 1, 2},
        {"Right, Left", {S{S::Key, Qt::Key_Right}, S{S::Key, Qt::Key_Left}}, -1, 0, 0, 1, 1},
        {"F2 replaces", {S{S::Text, 0, 0, "8"}, S{S::Key, Qt::Key_Up}, S{S::Key, Qt::Key_F2}, S{S::Text, 0, 0, "6"},
                         S{S::Key, Qt::Key_Return}}, 0, 0, 6, 2, 1},
        {"End", {S{S::Key, Qt::Key_End}}, -1, 0, 0, 1, 5},
        {"Ctrl+Home, Ctrl+End",
         {S{S::Click, 3, 2}, S{S::Text, 0, 0, "1"}, S{S::Key, Qt::Key_Return}, S{S::Key, Qt::Key_Home, Qt::ControlModifier},
          S{S::Key, Qt::Key_End, Qt::ControlModifier}}, 2, 1, 1, 3, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestProjectDoc fresh;
        auto view = fresh.Open<CTriangView>(kPaidLoss, NET);
        ASSERT_NE(view, nullptr);
        view->activateWindow();
        QApplication::setActiveWindow(view.get());
        qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
        ctrl->setFocus();
        QApplication::processEvents();
        const auto focused = [&]() -> QWidget* {
            QWidget* w = QApplication::focusWidget();
            return w != nullptr ? w : ctrl;
        };
        for (const Step& step : c.steps) {
            switch (step.kind) {
            case Step::Click:
                QTest::mouseClick(ctrl->viewport(), Qt::LeftButton, {}, ctrl->CellRect(step.a, step.b).center());
                break;
            case Step::Key: QTest::keyClick(focused(), Qt::Key(step.a), Qt::KeyboardModifiers(step.b)); break;
            case Step::Text:
                for (const QChar ch : QString::fromLatin1(step.text)) QTest::keyClicks(focused(), QString(ch));
                break;
            }
        }
        if (c.row >= 0) {
            double v = 0;
            std::uint8_t flags = 0;
            fresh.GetProject()->FindDataObject(kPaidLoss, NET)->GetAt(c.row, c.col, v, flags);
            EXPECT_EQ(v, c.value);
        }
        int row = 0, col = 0;
        ctrl->GetActiveCell(row, col);
        EXPECT_EQ(row, c.endRow);
        EXPECT_EQ(col, c.endCol);
        EXPECT_FALSE(ctrl->IsEditing());
    }
}

TEST_F(TriangViewTest, KeysMoveOverTheTriangle) {
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    constexpr int Enter = CTriangView::VK_RETURN, Tab = CTriangView::VK_TAB;
    struct Case {
        const char* what;
        int calendar, key;
        bool shift;
        int mode, row, col;    // from
        int result, toRow, toCol;
        bool beeps;
    };
    // The 5 x 5 triangle: row r holds 6 - r cells (interval 1).
    const Case cases[] = {
        {"mode 0 Enter at a column's end goes to the next column's top", 0, Enter, false, 0, 5, 1, 1, 1, 2, false},
        {"mode 0 Enter inside a column is the grid's", 0, Enter, false, 0, 2, 1, 0, 2, 1, false},
        {"mode 0 Enter at the last column's end beeps", 0, Enter, false, 0, 1, 5, 1, 1, 5, true},
        {"mode 0 Shift+Enter at the top goes to the previous column's end", 0, Enter, true, 0, 1, 2, 1, 5, 1, false},
        {"mode 0 Shift+Enter at the first column's top beeps", 0, Enter, true, 0, 1, 1, 1, 1, 1, true},
        {"Tab moves right", 0, Tab, false, 0, 2, 1, 1, 2, 2, false},
        {"Tab at a row's end wraps to the next row", 0, Tab, false, 0, 2, 4, 1, 3, 1, false},
        {"Tab at the last row's end beeps", 0, Tab, false, 0, 5, 1, 1, 5, 1, true},
        {"Shift+Tab at column 1 wraps to the previous row's end", 0, Tab, true, 0, 3, 1, 1, 2, 4, false},
        {"mode 1 Enter moves right", 0, Enter, false, 1, 1, 1, 1, 1, 2, false},
        {"mode 2 Enter moves down-left", 0, Enter, false, 2, 1, 3, 1, 2, 2, false},
        {"mode 3 Enter moves up-right", 0, Enter, false, 3, 3, 1, 1, 2, 2, false},
        {"mode 3 Enter at the top restarts below", 0, Enter, false, 3, 1, 3, 1, 4, 1, false},
        {"other keys are the grid's", 0, 0x41, false, 0, 1, 1, 0, 1, 1, false},
        {"calendar Tab at the last column wraps to the next row's first cell", 1, Tab, false, 0, 1, 5, 1, 2, 2, false},
        {"calendar Shift+Tab at a row's first cell goes to the row above", 1, Tab, true, 0, 2, 2, 1, 1, 5, false},
        {"calendar mode 0 Enter at a column's end goes to the next column", 1, Enter, false, 0, 1, 1, 1, 1, 2, false},
        {"calendar mode 3 Enter moves up-left", 1, Enter, false, 3, 2, 3, 1, 1, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (view->IsCalendar() != c.calendar) {
            g_bCalendarView = c.calendar;
            view->OnUpdate(nullptr, HINT_CALENDAR, nullptr);
        }
        const int beeps = view->BeepCount();
        int row = c.row, col = c.col;
        EXPECT_EQ(view->MoveActiveCell(c.key, c.shift, row, col, c.mode), c.result);
        EXPECT_EQ(row, c.toRow);
        EXPECT_EQ(col, c.toCol);
        EXPECT_EQ(view->BeepCount() > beeps, c.beeps);
    }
}

TEST_F(TriangViewTest, TypingClearsTheActiveCellsFloodFillMarkOnly) {
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    CDataObject* paid = Paid(NET);
    paid->SetCellHasFFMin(1, 0);
    paid->SetCellHasFFMin(2, 2);
    view->GetCtrl()->SetSelection(3, 3, 3, 3);
    view->GetCtrl()->SetActiveCell(3, 3);
    view->GetGrid()->HandleKey(0x35, false);  // the digit 5
    EXPECT_FALSE(paid->GetFFMinInCell(2, 2));
    EXPECT_TRUE(paid->GetFFMinInCell(1, 0));  // another row's first cell keeps its mark
}

TEST_F(TriangViewTest, ClearBlanksTheSelectionOrEverything) {
    SetCumulative(1);
    for (int r = 0; r < 5; ++r) Paid(NET)->SetAt(r, 0, 1.0 + r);
    Paid(NET)->SetNoteInCell(1, 0, "checked");
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    {
        qs::fw::ModalScript clear;
        clear.Then<CClearDlg>([](CClearDlg& d) {
            d.m_nChoice = CClearDlg::kDataAndNotes;
            d.UpdateData(FALSE);
            d.OnOK();
        });
        ctrl->SetSelection(1, 1, 2, 5);  // reaches beyond row 2's end
        view->RouteCommand(ID_EDIT_CLEAR);
    }
    EXPECT_FALSE(Paid(NET)->IsCellAvail(0, 0) && (Paid(NET)->RawFlags(0, 0) & CDataObject::CF_VALUE));
    EXPECT_FALSE(Paid(NET)->DoesCellHaveNote(1, 0));
    EXPECT_TRUE(Text(*view, 1, 1).isEmpty());
    EXPECT_EQ(Num(*view, 3, 1), 3.0);
    {
        qs::fw::MessageBoxScript boxes{IDOK};
        view->RouteCommand(ID_EDIT_CLEAR_ALL);
        EXPECT_EQ(boxes.Last().text, QStringLiteral("Remove all data and cell notes from array?"));
    }
    EXPECT_FALSE(Paid(NET)->HasAnyValue());
    EXPECT_TRUE(Text(*view, 3, 1).isEmpty());
}

// A monthly triangle of forty years is 480 x 480: it opens (the grid once
// stopped at 256 columns), takes edits in its far corners, scrolls there and
// switches layouts.
TEST_F(TriangViewLargeTest, A480By480TriangleOpensScrollsAndStoresFarCornerEdits) {
    OpenTablesAsStored();
    TestProjectDoc doc(480, 480);
    CDataObject* paid = doc.GetProject()->FindDataObject(kPaidLoss, NET);
    ASSERT_NE(paid, nullptr);
    QSSTATUS status = 0;
    paid->ViewCumulative(1, status, 1);
    paid->SetAt(0, 478, 10.0);
    paid->SetAt(0, 479, 12.5);  // first row, last age
    paid->SetAt(479, 0, 3.0);   // last row, its only cell
    qs::fw::MessageBoxScript boxes;
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(boxes.Count(), 0u) << boxes.Last().text.toStdString();
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    EXPECT_EQ(ctrl->MaxRow(), 480);
    EXPECT_EQ(ctrl->MaxCol(), 480);
    double v = 0;
    ctrl->GetNumber(1, 480, v);
    EXPECT_EQ(v, 12.5);
    ctrl->GetNumber(480, 1, v);
    EXPECT_EQ(v, 3.0);

    // Scrolled to the far right, the last column is on screen.
    ASSERT_EQ(ctrl->ShowCell(1, 480), 0);
    EXPECT_GT(ctrl->LeftCol(), 256);
    EXPECT_FALSE(ctrl->CellRect(1, 480).isEmpty());

    const auto type = [&](int r, int c, const QString& text) {
        ctrl->SetSelection(r, c, r, c);
        ctrl->SetActiveCell(r, c);
        ASSERT_EQ(ctrl->StartEdit(text, true), 0);
        ctrl->EndEdit();
    };
    type(1, 480, QStringLiteral("20"));
    type(480, 1, QStringLiteral("7"));
    std::uint8_t flags = 0;
    ASSERT_EQ(paid->GetAt(0, 479, v, flags), 0);
    EXPECT_EQ(v, 20.0);
    ASSERT_EQ(paid->GetAt(479, 0, v, flags), 0);
    EXPECT_EQ(v, 7.0);
    // Outside the triangle the far corner refuses an edit.
    ctrl->SetActiveCell(480, 480);
    EXPECT_NE(ctrl->StartEdit(QStringLiteral("1"), true), 0);

    // Incremental: the last age shows its step from the age before.
    view->RouteCommand(ID_VIEW_CUMULATIVE);
    ASSERT_FALSE(paid->IsViewedCumulative());
    ctrl->GetNumber(1, 480, v);
    EXPECT_EQ(v, 10.0);
    view->RouteCommand(ID_VIEW_CUMULATIVE);

    // Calendar layout: every row ends in the last column, with a total row.
    g_bCalendarView = 1;
    view->OnUpdate(nullptr, HINT_CALENDAR, nullptr);
    ASSERT_TRUE(view->IsCalendar());
    EXPECT_EQ(ctrl->MaxRow(), 481);
    EXPECT_EQ(ctrl->MaxCol(), 480);
    ctrl->GetNumber(480, 480, v);
    EXPECT_EQ(v, 7.0);
    ctrl->GetNumber(481, 480, v);
    EXPECT_EQ(v, 27.0);
    EXPECT_EQ(ctrl->RowHeadingText(481), QStringLiteral("Total"));
    type(480, 480, QStringLiteral("8"));
    ASSERT_EQ(paid->GetAt(479, 0, v, flags), 0);
    EXPECT_EQ(v, 8.0);
    g_bCalendarView = 0;
    view->OnUpdate(nullptr, HINT_CALENDAR, nullptr);
    EXPECT_EQ(ctrl->MaxRow(), 480);
    EXPECT_EQ(boxes.Count(), 0u);
}

}  // namespace
