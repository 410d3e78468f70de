// The method view on the RAA project (the sample's data): columns, headings,
// formats and summary rows as the kernel computes them; entered columns
// write back and recalculate; a summary report's selected ultimate takes
// typed values, drops and clears; its weight columns follow the weights.
#include <gtest/gtest.h>

#include <QPrinter>
#include <QTemporaryDir>

#include <cmath>

#include "CMethod.h"
#include "CMethodView.h"
#include "CPrintPageState.h"
#include "CProject.h"
#include "CommandIds.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "MethodTemplates.h"
#include "ModalScript.h"
#include "ReservingMath.h"
#include "SmallViewDialogs.h"
#include "SpreadsheetControl.h"
#include "SummaryReports.h"
#include "TestEnvironment.h"
#include "ViewPrinting.h"
#include "ViewSettings.h"
#include "RaaProjectDoc.h"
#include "ViewTestSupport.h"

using qs::test::TestProjectDoc;

namespace {

using qs::test::RaaDoc;
using qs::test::kLossReport;

QString Text(CObjectView& v, int row, int col) {
    QString text;
    v.GetCtrl()->GetText(row, col, text);
    return text.trimmed();
}

double Number(CObjectView& v, int row, int col) {
    double value = 0;
    v.GetCtrl()->GetNumber(row, col, value);
    return value;
}

double Cell(const CDataObject* d, int row) {
    double v = 0;
    std::uint8_t f = 0;
    d->GetAt(row, 0, v, f);
    return (f & CDataObject::CF_VALUE) ? v : NAN;
}

void Type(CMethodView& v, int row, int col, const QString& text) {
    qs::ss::SpreadsheetControl* ctrl = v.GetCtrl();
    ctrl->SetSelection(row, col, row, col);
    ctrl->SetActiveCell(row, col);
    ASSERT_EQ(ctrl->StartEdit(text, true), 0);
    ctrl->EndEdit();
}

bool Enabled(CMethodView& v, UINT id) {
    CCmdUI ui;
    ui.m_nID = id;
    ui.DoUpdate(&v, TRUE);
    return ui.m_bEnableChanged ? ui.m_enabled != 0 : true;
}

struct MethodViewTest : qs::test::ViewTest {
    RaaDoc doc;
};

TEST_F(MethodViewTest, PaidDevelopmentShowsItsColumnsAndTheKernelsUltimates) {
    const QSID id = qsmethods::StandardMethodID(qsmethods::kPaidDevelopment);
    auto view = doc.Open<CMethodView>(id, NET);
    ASSERT_NE(view, nullptr);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    CMethod* m = doc.Method(id);
    ASSERT_EQ(ctrl->MaxCol(), m->GetNumDataObjects());
    EXPECT_EQ(ctrl->ColHeadingText(1), QStringLiteral("Paid Loss"));
    QSStringArray rows, cols;
    std::string title;
    m->GetLabels(rows, cols, title);
    EXPECT_EQ(ctrl->ColHeadingText(3).toStdString(), cols[2]);
    EXPECT_TRUE(ctrl->CornerText().startsWith(QString::fromStdString(m->GetIDLongName()) + QStringLiteral("\r\n-----")));
    EXPECT_EQ(ctrl->RowHeadingText(1).toStdString(), rows[0]);
    // Every period row carries the kernel's value; the ultimates add up to
    // the published chain-ladder figure.
    double sum = 0;
    for (int r = 1; r <= 10; ++r) {
        EXPECT_NEAR(Number(*view, r, 3), Cell(m->GetDataObject(3), r - 1), 1e-9) << r;
        sum += Number(*view, r, 3);
    }
    EXPECT_NEAR(sum, 213122.228261, 1e-5);
    // Summary rows: exactly the blocks the method keeps.
    const int blocks = (m->HasTotals() ? 2 : 0) + (m->HasAverages() ? 2 : 0) + (m->HasLTrends() ? 5 : 0) +
                       (m->HasExpCurves() ? 5 : 0);
    EXPECT_EQ(ctrl->MaxRow(), 10 + blocks);
    // Calculated columns in a plain method: nothing editable, no drop.
    EXPECT_FALSE(ctrl->GridSwitch(qs::ss::SSG_AllowEditing));
    ctrl->SetSelection(2, 3, 2, 3);
    ctrl->SetActiveCell(2, 3);
    EXPECT_FALSE(view->IsEditable());
    EXPECT_FALSE(Enabled(*view, ID_EDIT_CLEAR_ALL));
    EXPECT_TRUE(view->GetGrid()->IsCellLocked());
    qs::fw::MessageBoxScript boxes;
    view->GetGrid()->OnCellDoubleClick(0, 1);
    view->GetGrid()->OnCellDoubleClick(2, 1);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_NEAR(Number(*view, 2, 3), Cell(m->GetDataObject(3), 1), 1e-9);
}

TEST_F(MethodViewTest, SummaryRowsFollowTheKernelAndOnlyTotalledColumnsShowATotal) {
    const QSID id = qsmethods::StandardMethodID(qsmethods::kPaidDevelopment);
    CMethod* m = doc.Method(id);
    ASSERT_EQ(m->SetObjTotalType(0, CMethod::TT_SUM), 0);
    ASSERT_EQ(m->SetObjTotalType(1, CMethod::TT_NONE), 0);
    ASSERT_EQ(m->SetObjTotalType(2, CMethod::TT_SUM), 0);
    for (int c = 0; c < m->GetNumDataObjects(); ++c) ASSERT_EQ(m->SetObjStats(c, true, true, true), 0);
    m->Recalculate();
    auto view = doc.Open<CMethodView>(id, NET);
    ASSERT_NE(view, nullptr);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    ASSERT_EQ(ctrl->MaxRow(), 10 + 14);
    const QStringList heads = {QString(), QStringLiteral("Total"), QString(), QStringLiteral("Average"), QString(),
                               QStringLiteral("Linear Fit:"), QStringLiteral("Slope"), QStringLiteral("Intercept"),
                               QStringLiteral("R Squared"), QString(), QStringLiteral("Exponential Fit:"),
                               QStringLiteral("Trend (%)"), QStringLiteral("Intercept"), QStringLiteral("R Squared")};
    for (int i = 0; i < heads.size(); ++i) EXPECT_EQ(ctrl->RowHeadingText(11 + i), heads[i]) << i;
    std::vector<const double*> totals, averages, lfits, efits;
    m->GetTotals(totals);
    m->GetAverages(averages);
    m->GetLTrends(lfits);
    m->GetExpCurves(efits);
    EXPECT_NEAR(Number(*view, 12, 3), *totals[2], 1e-6);
    EXPECT_EQ(Text(*view, 12, 2), QString());  // not totalled
    EXPECT_NEAR(Number(*view, 14, 1), *averages[0], 1e-6);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(Number(*view, 17 + k, 1), lfits[0][k], 1e-6) << k;
        EXPECT_NEAR(Number(*view, 22 + k, 1), efits[0][k], 1e-6) << k;
    }
}

// The kernel's note of the periods a total leaves out reaches the status
// line with the view.
TEST_F(MethodViewTest, StatusLineNamesThePeriodsATotalLeavesOut) {
    QString status;
    qs::views::Settings().statusMessage = [&](const QString& text) { status = text; };
    const QSID id = qsmethods::StandardMethodID(qsmethods::kExpectedLossRatio);
    CMethod* m = doc.Method(id);
    for (int r = 0; r < 10; ++r) ASSERT_EQ(m->GetDataObject(2)->SetAt(r, 0, 0.7), 0);
    ASSERT_EQ(doc.GetProject()->FindDataObject(qs::test::kPremium, NET)->SetCellBlank(0, 0), 0);
    auto view = doc.Open<CMethodView>(id, NET);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(status.contains(QStringLiteral("The total of Ultimate Loss leaves out "))) << status.toStdString();
    ASSERT_EQ(doc.GetProject()->FindDataObject(qs::test::kPremium, NET)->SetAt(0, 0, 40000), 0);
    view->OnUpdateData(FALSE);
    EXPECT_FALSE(status.contains(QStringLiteral("leaves out"))) << status.toStdString();
}

TEST_F(MethodViewTest, TypingIntoAnEnteredColumnRecalculatesTheUltimate) {
    const QSID id = qsmethods::StandardMethodID(qsmethods::kExpectedLossRatio);
    CMethod* m = doc.Method(id);
    auto view = doc.Open<CMethodView>(id, NET);
    ASSERT_NE(view, nullptr);
    // Column 2 is the entered loss ratio; the ultimate (3) is premium x ratio.
    ASSERT_FALSE(m->GetDataObject(2)->IsReadOnly());
    EXPECT_TRUE(view->GetGrid()->IsCellLocked());  // still at (1, 1), a calculated column
    Type(*view, 4, 2, QStringLiteral("0.65"));
    EXPECT_NEAR(Cell(m->GetDataObject(2), 3), 0.65, 1e-12);
    EXPECT_NEAR(Cell(m->GetDataObject(3), 3), 26000.0, 1e-6);
    EXPECT_NEAR(Number(*view, 4, 3), 26000.0, 1e-6);
    // Saving the whole grid leaves the held recalculation switched on.
    EXPECT_TRUE(view->OnUpdateData(TRUE));
    EXPECT_TRUE(m->IsRecalcOn());
    EXPECT_TRUE(m->GetDataObject(2)->IsRecalcOn());
}

TEST_F(MethodViewTest, SummaryReportLaysWeightColumnsBesideItsWeightedUltimates) {
    doc.SetUpLossReport(2, {1, 0}, {1, 4});
    auto view = doc.Open<CMethodView>(kLossReport, NET);
    ASSERT_NE(view, nullptr);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    // Two tables, two averages, the selected ultimate, two weight columns.
    ASSERT_EQ(ctrl->MaxCol(), 7);
    const QString paid = ctrl->ColHeadingText(1);
    EXPECT_EQ(ctrl->ColHeadingText(2), QStringLiteral("Weights-\n") + paid);
    EXPECT_TRUE(ctrl->ColHeadingText(4).startsWith(QStringLiteral("Weights-\n")));
    EXPECT_EQ(ctrl->ColHeadingText(7), QStringLiteral("Selected Ultimate"));
    // Weights: 3 for the older years, then 1 and 0; the incurred 1, 1, 4.
    for (int r = 1; r <= 8; ++r) EXPECT_DOUBLE_EQ(Number(*view, r, 2), 3.0) << r;
    EXPECT_DOUBLE_EQ(Number(*view, 9, 2), 1.0);
    EXPECT_EQ(Text(*view, 10, 2), QStringLiteral("0"));
    EXPECT_DOUBLE_EQ(Number(*view, 10, 4), 4.0);
    // The weighted average is the kernel's: the latest year is the incurred alone.
    CMethod* report = doc.Method(kLossReport);
    EXPECT_NEAR(Number(*view, 10, 6), Cell(report->GetDataObject(4), 9), 1e-9);
    EXPECT_NEAR(Number(*view, 10, 6), Number(*view, 10, 3), 1e-9);
    // Weight columns are locked, never dropped or note-edited.
    qs::fw::MessageBoxScript boxes;
    qs::fw::ModalScript dialogs;
    for (int d : {2, 4}) {
        ctrl->SetSelection(3, d, 3, d);
        ctrl->SetActiveCell(3, d);
        EXPECT_TRUE(view->GetGrid()->IsCellLocked()) << d;
        EXPECT_FALSE(view->IsEditable()) << d;
        view->GetGrid()->OnCellDoubleClick(0, d);
        view->GetGrid()->OnCellDoubleClick(3, d);
        EXPECT_FALSE(Enabled(*view, ID_EDIT_CELLNOTE)) << d;
    }
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_TRUE(dialogs.Dialogs().empty());
}

TEST_F(MethodViewTest, LatestPeriodsWithoutAWeightOfTheirOwnShowBlank) {
    // Three latest periods, but the paid entry holds one latest weight.
    doc.SetUpLossReport(3, {2}, {1, 1, 1});
    auto view = doc.Open<CMethodView>(kLossReport, NET);
    ASSERT_NE(view, nullptr);
    EXPECT_DOUBLE_EQ(Number(*view, 7, 2), 3.0);
    EXPECT_DOUBLE_EQ(Number(*view, 8, 2), 2.0);
    EXPECT_EQ(Text(*view, 9, 2), QString());
    EXPECT_EQ(Text(*view, 10, 2), QString());
}

TEST_F(MethodViewTest, SelectedUltimateTakesTypedValuesDropsAndClears) {
    doc.SetUpLossReport(2, {1, 0}, {1, 4});
    auto view = doc.Open<CMethodView>(kLossReport, NET);
    ASSERT_NE(view, nullptr);
    CMethod* report = doc.Method(kLossReport);
    CDataObject* selected = report->GetDataObject(5);
    ASSERT_EQ(view->GetUltimateObject(), selected);
    ASSERT_EQ(view->GetUltimateColumn(), 7);
    Type(*view, 2, 7, QStringLiteral("12345"));
    EXPECT_DOUBLE_EQ(Cell(selected, 1), 12345.0);

    // A source cell: a double-click copies it.
    view->GetGrid()->OnCellDoubleClick(3, 1);
    EXPECT_NEAR(Cell(selected, 2), Cell(report->GetDataObject(1), 2), 1e-9);

    // The whole column, after a Yes; blanks go over as blanks and "#N/A"
    // in any case as not available.
    view->GetCtrl()->SetText(5, 1, QStringLiteral("#n/a"));
    view->GetCtrl()->SetText(6, 1, QString());
    {
        qs::fw::MessageBoxScript boxes{IDYES};
        view->GetGrid()->OnCellDoubleClick(0, 1);
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().text, QStringLiteral("Drop this whole column into Ultimate?"));
        EXPECT_EQ(boxes.Last().icon, UINT(MB_ICONQUESTION));
    }
    EXPECT_TRUE(selected->IsRecalcOn());
    EXPECT_NEAR(Cell(selected, 0), Cell(report->GetDataObject(1), 0), 1e-9);
    EXPECT_FALSE(selected->IsCellAvail(4, 0));
    EXPECT_TRUE(std::isnan(Cell(selected, 5)));
    EXPECT_TRUE(selected->IsCellAvail(5, 0));

    // Clear All empties it after OK.
    ASSERT_TRUE(Enabled(*view, ID_EDIT_CLEAR_ALL));
    {
        qs::fw::MessageBoxScript boxes{IDOK};
        view->OnEditClearAll();
        EXPECT_EQ(boxes.Last().text, QStringLiteral("Remove all data and cell notes from selected ultimate?"));
    }
    for (int r = 0; r < 10; ++r) EXPECT_TRUE(std::isnan(Cell(selected, r))) << r;
    EXPECT_EQ(Text(*view, 1, 7), QString());
}

TEST_F(MethodViewTest, DroppingAnEmptyColumnAsksNothing) {
    doc.SetUpLossReport(2, {1, 0}, {1, 4});
    auto view = doc.Open<CMethodView>(kLossReport, NET);
    ASSERT_NE(view, nullptr);
    for (int r = 1; r <= 10; ++r) view->GetCtrl()->SetText(r, 3, QString());
    qs::fw::MessageBoxScript boxes;
    EXPECT_FALSE(view->DropColumn(3));
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(MethodViewTest, TypingIntoAFloodFilledCellDropsItsMarks) {
    doc.SetUpLossReport(2, {1, 0}, {1, 4});
    auto view = doc.Open<CMethodView>(kLossReport, NET);
    ASSERT_NE(view, nullptr);
    CDataObject* selected = doc.Method(kLossReport)->GetDataObject(5);
    selected->SetCellHasFFMin(3, 0);
    selected->SetCellHasAdjCutoff(3, 0);
    view->GetCtrl()->SetSelection(4, 7, 4, 7);
    view->GetCtrl()->SetActiveCell(4, 7);
    view->GetGrid()->HandleKey(0x35);  // '5'
    EXPECT_FALSE(selected->GetFFMinInCell(3, 0));
    EXPECT_FALSE(selected->GetAdjCutoffInCell(3, 0));
}

TEST_F(MethodViewTest, UltimatesFloodFillCommandsServeTheDatabaseEditionOnly) {
    doc.SetUpLossReport(2, {1, 0}, {1, 4});
    unsigned short layer = NET;
    ASSERT_NE(doc.GetProject()->SetUltFloodFillOption(kLossReport, layer, CKDVUltFloodFillData(doc.Ult(1), 0, NET, "Paid"),
                                                      101000011, 0),
              0);
    auto view = doc.Open<CMethodView>(kLossReport, NET);
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(Enabled(*view, ID_SET_ULT_FLOODFILL));
    EXPECT_FALSE(Enabled(*view, ID_RUN_ULT_FLOODFILL));
    qs::views::Settings().fileMode = 0;
    EXPECT_TRUE(Enabled(*view, ID_SET_ULT_FLOODFILL));
    EXPECT_TRUE(Enabled(*view, ID_RUN_ULT_FLOODFILL));
    CDataObject* selected = doc.Method(kLossReport)->GetDataObject(5);
    selected->SetCellHasFFMin(0, 0);
    view->OnExecuteUltimatesFloodFill();
    EXPECT_EQ(doc.floodFills, 1);
    EXPECT_FALSE(selected->GetFFMinInCell(0, 0));
}

TEST_F(MethodViewTest, AttachedReportsOpenWithTheMethod) {
    const QSID id = qsmethods::StandardMethodID(45);
    QSIDArray links;
    doc.Method(id)->GetLinks(links);
    ASSERT_FALSE(links.empty());
    auto view = doc.Open<CMethodView>(id, NET);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(doc.opened.size(), links.size());
    for (std::size_t i = 0; i < links.size(); ++i) {
        EXPECT_EQ(doc.opened[i].first, links[i]);
        EXPECT_EQ(doc.opened[i].second, NET);
    }
}

TEST_F(MethodViewTest, PrintsToPdfWithItsHeadingsAndHiddenColumnsLeftOut) {
    const QSID id = qsmethods::StandardMethodID(qsmethods::kPaidDevelopment);
    ASSERT_EQ(doc.Method(id)->SetObjHidden(1, true), 0);
    auto view = doc.Open<CMethodView>(id, NET);
    ASSERT_NE(view, nullptr);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("method.pdf"));
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    CPrintPageState state;
    qs::fw::MessageBoxScript boxes;
    ASSERT_GT(qs::views::PrintObjectView(*view, printer, state), 0);
    const QString text = qs::test::PdfText(path);
    EXPECT_TRUE(text.contains(QStringLiteral("Paid Loss"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Ultimate"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Age to Ultimate"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("2001")));
    EXPECT_FALSE(text.contains(QStringLiteral("-----")));
    // The screen keeps every column.
    EXPECT_EQ(view->GetCtrl()->MaxCol(), doc.Method(id)->GetNumDataObjects());
}

struct MethodViewRule : qs::test::ViewTest {};

TEST_F(MethodViewRule, HeadingRuleIsThreeShortOfTheWidthAndNeverNegative) {
    EXPECT_EQ(CMethodView::HeadingRule(10), QString(7, QLatin1Char('_')));
    EXPECT_EQ(CMethodView::HeadingRule(3), QString());
    EXPECT_EQ(CMethodView::HeadingRule(1), QString());
}

}  // namespace
