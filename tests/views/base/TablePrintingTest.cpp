// Printing a table in parts to PDF: the parts come out rows first with their
// marks, titles and footnote; the fit-to-page scale is the largest that
// fits; tables that cannot fit stop with a message and print nothing; the
// screen layout comes back afterwards.
#include <gtest/gtest.h>

#include <QFile>
#include <QPrinter>

#include "CDataObject.h"
#include "CPrintInfo.h"
#include "CPrintPageState.h"
#include "CTriangView.h"
#include "MessageBox.h"
#include "SpreadsheetControl.h"
#include "TestEnvironment.h"
#include "ViewPrinting.h"
#include "ViewSettings.h"
#include "ViewTestSupport.h"

using qs::test::kPaidLoss;
using qs::test::TestProjectDoc;

namespace {

struct TablePrintingTest : qs::test::ViewTest {
    void SetUp() override {
        ViewTest::SetUp();
        OpenTablesAsStored();
        dir = QString::fromStdString(qs::test::MakeTempDir());
    }
    static void PdfPrinter(QPrinter& printer, const QString& path) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::A4));
    }
    static void Fill(CDataObject* data) {
        std::uint16_t rows = 0, cols = 0;
        data->GetMaxRowsCols(rows, cols);
        for (int r = 0; r < rows; ++r) {
            std::uint16_t n = 0;
            data->GetNumColsInRow(std::uint16_t(r), n);
            for (int c = 0; c < n; ++c) data->SetAt(r, c, 1000.0 * (r + 1) + c + 1);
        }
    }
    // The pages of a pdftotext output.
    static QStringList Pages(const QString& text) { return text.split(QLatin1Char('\f'), Qt::SkipEmptyParts); }
    QString dir;
};

TEST_F(TablePrintingTest, ALargeTrianglePrintsInPartsRowsFirst) {
    TestProjectDoc doc(70, 30);  // taller and wider than an A4 page
    CDataObject* paid = doc.GetProject()->FindDataObject(kPaidLoss, NET);
    Fill(paid);
    paid->SetFootnoteString("Values in thousands");
    paid->SetNoteInCell(0, 0, "Reopened claim");
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    QSStringArray rowLabels, colLabels;
    std::string corner;
    paid->GetLabels(rowLabels, colLabels, corner);

    const QString pdf = dir + QStringLiteral("/triangle.pdf");
    QPrinter printer;
    PdfPrinter(printer, pdf);
    CPrintPageState state;
    state.m_TitleStrings = {"Left title", "&[Table]", "Right title"};
    qs::fw::MessageBoxScript boxes;
    const int pages = qs::views::PrintObjectView(*view, printer, state);
    EXPECT_EQ(boxes.Count(), 0u);
    ASSERT_GT(pages, 2);
    EXPECT_EQ(qs::test::PdfPages(pdf), pages);
    EXPECT_EQ(state.m_nLayout, 2);

    const QStringList text = Pages(qs::test::PdfText(pdf));
    ASSERT_EQ(text.size(), pages);
    const QString first = text.front(), second = text.at(1);
    // Part 1: the top-left of the table, with its titles and the first data.
    EXPECT_TRUE(first.contains(QStringLiteral("(Part 1)")));
    EXPECT_TRUE(first.contains(QStringLiteral("Left title")) && first.contains(QStringLiteral("Right title")));
    EXPECT_TRUE(first.contains(QString::fromStdString(paid->GetIDName(-1)) + QStringLiteral(" (Net)")));
    EXPECT_TRUE(first.contains(QString::fromStdString(rowLabels.front())));
    EXPECT_TRUE(first.contains(QString::fromStdString(colLabels.front())));
    EXPECT_TRUE(first.contains(QStringLiteral("1,001")));
    EXPECT_FALSE(first.contains(QString::fromStdString(rowLabels.back())));
    // Part 2 goes down the same columns: the last rows, column titles repeated.
    EXPECT_TRUE(second.contains(QStringLiteral("(Part 2)")));
    EXPECT_TRUE(second.contains(QString::fromStdString(rowLabels.back())));
    EXPECT_TRUE(second.contains(QString::fromStdString(colLabels.front())));
    EXPECT_TRUE(second.contains(QStringLiteral("70,001")));
    EXPECT_FALSE(second.contains(QString::fromStdString(colLabels.back())));
    // The last part holds the last column with the footnote under it.
    const QString last = text.back();
    EXPECT_TRUE(last.contains(QString::fromStdString(colLabels.back())));
    EXPECT_TRUE(last.contains(QStringLiteral("1,030")));
    EXPECT_TRUE(last.contains(QStringLiteral("Values in thousands")));
    // When the strips across hold fewer rows, each still ends with its last
    // cell: the last cells of every column are printed.
    const QString all = qs::test::PdfText(pdf);
    for (int c = 1; c <= 30; ++c) {
        std::uint16_t rows = 0;
        paid->GetNumRowsInCol(std::uint16_t(c - 1), rows);
        EXPECT_TRUE(all.contains(QStringLiteral("%1,%2").arg(rows).arg(c, 3, 10, QLatin1Char('0')))) << c;
    }
    EXPECT_TRUE(state.m_strNotes.contains(QStringLiteral("Reopened claim")));

    // The screen is as it was.
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    EXPECT_EQ(ctrl->MaxRow(), 70);
    EXPECT_EQ(ctrl->MaxCol(), 30);
    EXPECT_EQ(ctrl->FixedRows(), 0);
    EXPECT_EQ(ctrl->RowHeadingText(1), QString::fromStdString(rowLabels.front()));
    double value = 0;
    ctrl->GetNumber(1, 1, value);
    EXPECT_EQ(value, 1001.0);
    EXPECT_TRUE(ctrl->GridSwitch(qs::ss::SSG_ShowColHeadings));
}

// Runs the view's job set-up on a page of the given size (device units) and
// reports the print scale chosen and whether the job goes on.
struct ScaleRun {
    int scale = 0;
    bool goesOn = false;
    QStringList messages;
};

ScaleRun RunBegin(CTriangView& view, QPrinter& printer, CPrintPageState& state, QSize page) {
    state.m_rectPage = QRect(QPoint(0, 0), page);
    state.m_nHeaderSpace = state.m_nTitleSpace = 0;
    CPrintInfo info;
    info.m_pPrinter = &printer;
    info.m_lpUserData = &state;
    info.m_rectDraw = state.m_rectPage;
    qs::fw::MessageBoxScript boxes;
    view.BeginPrinting(nullptr, &info);
    ScaleRun run{view.GetCtrl()->PrintScale(), state.m_bContinue != 0 && info.m_bContinuePrinting != 0, boxes.Texts()};
    view.EndPrinting(nullptr, &info);
    view.RestoreScreenAfterPrinting();
    return run;
}

TEST_F(TablePrintingTest, FitToPageChoosesTheLargestScaleThatFits) {
    TestProjectDoc doc;
    Fill(doc.GetProject()->FindDataObject(kPaidLoss, NET));
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    QPrinter printer;
    PdfPrinter(printer, dir + QStringLiteral("/unused.pdf"));
    const QSize big(100000, 100000);

    // Without fit flags, or when the table fits, the requested scale (0 is 100).
    struct Case {
        std::uint16_t requested;
        bool fit;
        int expected;
    } cases[] = {{0, false, 100}, {0, true, 100}, {60, true, 60}, {150, false, 150}};
    for (const Case& c : cases) {
        CPrintPageState state;
        state.m_nScalePercent = c.requested;
        state.m_bFitColumns = state.m_bFitRows = c.fit ? 1 : 0;
        const ScaleRun run = RunBegin(*view, printer, state, big);
        EXPECT_EQ(run.scale, c.expected) << c.requested;
        EXPECT_TRUE(run.goesOn) << c.requested;
    }

    // The table's size once prepared for printing, from a run at 100 %.
    CPrintPageState probe;
    CPrintInfo info;
    info.m_pPrinter = &printer;
    info.m_lpUserData = &probe;
    probe.m_rectPage = info.m_rectDraw = QRect(QPoint(0, 0), big);
    view->BeginPrinting(nullptr, &info);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    const qint64 widthTwips = ctrl->HeadingSize().width() + ctrl->MeasureRange(1, 1, ctrl->MaxRow(), ctrl->MaxCol()).width();
    view->EndPrinting(nullptr, &info);
    view->RestoreScreenAfterPrinting();
    const int dpi = printer.logicalDpiX();
    const int widthAt10 = int((qint64(dpi) * 10 + 50) / 100 * widthTwips / 1440);

    // A page on which the table fits at 10 % exactly prints at 10 %.
    CPrintPageState fits;
    fits.m_bFitColumns = 1;
    ScaleRun run = RunBegin(*view, printer, fits, QSize(widthAt10, 100000));
    EXPECT_EQ(run.scale, 10);
    EXPECT_TRUE(run.goesOn);
    EXPECT_TRUE(run.messages.isEmpty());
    // One device unit narrower: nothing fits, the job stops with the message.
    CPrintPageState tooNarrow;
    tooNarrow.m_bFitColumns = 1;
    run = RunBegin(*view, printer, tooNarrow, QSize(widthAt10 - 1, 100000));
    EXPECT_FALSE(run.goesOn);
    EXPECT_EQ(run.messages, QStringList{QStringLiteral("Cannot fit table to page, table too big.")});
    tooNarrow.m_nTablesPerPage = 2;
    tooNarrow.m_bFitRows = 1;
    run = RunBegin(*view, printer, tooNarrow, QSize(widthAt10 - 1, 100000));
    EXPECT_EQ(run.messages,
              QStringList{QStringLiteral("Cannot fit tables to page.\nPlease select a smaller number of tables per page.")});
}

TEST_F(TablePrintingTest, ATableThatCannotFitPrintsNothingAndSaysWhy) {
    TestProjectDoc doc;
    Fill(doc.GetProject()->FindDataObject(kPaidLoss, NET));
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    struct Case {
        const char* name;
        bool fit;
    } cases[] = {{"fit", true}, {"tall", false}};
    for (const Case& c : cases) {
        const QString pdf = dir + QStringLiteral("/%1.pdf").arg(QLatin1String(c.name));
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        // A strip of paper: wide, but lower than one row of the table.
        printer.setPageSize(QPageSize(QSizeF(400, 8), QPageSize::Point));
        CPrintPageState state;
        state.m_dTopMargin = state.m_dBottomMargin = state.m_dLeftMargin = state.m_dRightMargin = 0;
        state.m_TitleStrings = {"", "", ""};
        state.m_bFitColumns = state.m_bFitRows = c.fit ? 1 : 0;
        qs::fw::MessageBoxScript boxes;
        EXPECT_EQ(qs::views::PrintObjectView(*view, printer, state), 0) << c.name;
        ASSERT_EQ(boxes.Count(), 1u) << c.name;
        EXPECT_EQ(boxes.Last().icon, MB_ICONSTOP) << c.name;
        EXPECT_FALSE(QFile::exists(pdf)) << c.name;
        EXPECT_EQ(view->GetCtrl()->MaxRow(), 5) << c.name;
    }
}

}  // namespace

namespace {

TEST_F(TablePrintingTest, ZeroTextsPrintAsZeroAndNotAvailableAsTheReplacement) {
    TestProjectDoc doc;
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    qs::ss::SpreadsheetControl* ctrl = view->GetCtrl();
    ctrl->SetText(1, 1, QStringLiteral("-"));
    ctrl->SetText(1, 2, QStringLiteral("(0)"));
    ctrl->SetText(1, 3, QStringLiteral("(5)"));
    ctrl->SetText(2, 1, QStringLiteral("#N/A"));
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    CPrintPageState state;
    state.m_strNAText = QStringLiteral("n/a");
    CPrintInfo info;
    info.m_pPrinter = &printer;
    info.m_lpUserData = &state;
    state.m_rectPage = info.m_rectDraw = QRect(0, 0, 5000, 5000);
    view->PreparePrinting(&info);
    // The headings are now row 1 and column 1 of the sheet.
    EXPECT_EQ(ctrl->FixedRows(), 1);
    EXPECT_EQ(ctrl->FixedCols(), 1);
    EXPECT_EQ(ctrl->Sheet().CellAt(2, 2)->kind, qs::ss::CellKind::Number);
    EXPECT_EQ(ctrl->Sheet().CellAt(2, 3)->kind, qs::ss::CellKind::Number);
    EXPECT_EQ(ctrl->Sheet().CellAt(2, 4)->kind, qs::ss::CellKind::Text);
    QString text;
    ctrl->GetText(3, 2, text);
    EXPECT_EQ(text.trimmed(), QStringLiteral("n/a"));
    QSStringArray rows, cols;
    std::string corner;
    doc.GetProject()->FindDataObject(kPaidLoss, NET)->GetLabels(rows, cols, corner);
    ctrl->GetText(1, 2, text);
    EXPECT_EQ(text.trimmed(), QString::fromStdString(cols[0]));
    ctrl->GetText(2, 1, text);
    EXPECT_EQ(text.trimmed(), QString::fromStdString(rows[0]));
    view->RestoreScreenAfterPrinting();
    EXPECT_EQ(ctrl->FixedRows(), 0);
    EXPECT_EQ(ctrl->ColHeadingText(1), QString::fromStdString(cols[0]));
}

TEST_F(TablePrintingTest, TheJobsCalendarAndIncrementalChoicesHoldForThePrintOnly) {
    TestProjectDoc doc;
    CDataObject* paid = doc.GetProject()->FindDataObject(kPaidLoss, NET);
    Fill(paid);  // cumulative: 1001, 1002, ... along row 1
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(paid->IsViewedCumulative());
    const QString pdf = dir + QStringLiteral("/calendar.pdf");
    QPrinter printer;
    PdfPrinter(printer, pdf);
    CPrintPageState state;
    state.m_nCalendarOption = 1;
    state.m_nCumulativeOption = 2;  // the entry's own choice: incremental
    state.m_nEntryCumulative = 0;
    ASSERT_EQ(qs::views::PrintObjectView(*view, printer, state), 1);
    const QString text = qs::test::PdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Total")));
    EXPECT_FALSE(text.contains(QStringLiteral("1,005")));  // incremental: the later ages show 1
    // The screen keeps the development layout, cumulative.
    EXPECT_EQ(g_bCalendarView, 0);
    EXPECT_EQ(view->IsCalendar(), 0);
    EXPECT_TRUE(paid->IsViewedCumulative());
    EXPECT_EQ(view->GetCtrl()->MaxRow(), 5);
    double value = 0;
    view->GetCtrl()->GetNumber(1, 5, value);
    EXPECT_EQ(value, 1005.0);
}

}  // namespace

namespace {

TEST_F(TablePrintingTest, ColumnsBeyondTheLastRowsReachEndTheJob) {
    TestProjectDoc doc(5, 40);  // ages 6 to 40 hold no cells
    Fill(doc.GetProject()->FindDataObject(kPaidLoss, NET));
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    const QString pdf = dir + QStringLiteral("/short.pdf");
    QPrinter printer;
    PdfPrinter(printer, pdf);
    CPrintPageState state;
    qs::fw::MessageBoxScript boxes;
    EXPECT_EQ(qs::views::PrintObjectView(*view, printer, state), 1);
    EXPECT_EQ(boxes.Count(), 0u);
    const QString text = qs::test::PdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("5,001")));
    EXPECT_TRUE(text.contains(QStringLiteral("1,005")));
    EXPECT_EQ(view->GetCtrl()->MaxCol(), 40);
}

}  // namespace

namespace {

TEST_F(TablePrintingTest, PartsShareAPageUnlessEachPartWantsItsOwn) {
    TestProjectDoc doc(12, 12);
    Fill(doc.GetProject()->FindDataObject(kPaidLoss, NET));
    auto view = doc.Open<CTriangView>(kPaidLoss, NET);
    ASSERT_NE(view, nullptr);
    int partsOnOwnPages = 0;
    for (int newPage : {1, 0}) {
        const QString pdf = dir + QStringLiteral("/narrow%1.pdf").arg(newPage);
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QSizeF(260, 842), QPageSize::Point));  // a few columns across
        CPrintPageState state;
        state.m_dLeftMargin = state.m_dRightMargin = 0.25;
        state.m_TitleStrings = {"", "Title line", ""};
        state.m_bNewPageEachPart = newPage;
        const int pages = qs::views::PrintObjectView(*view, printer, state);
        const QStringList text = Pages(qs::test::PdfText(pdf));
        ASSERT_EQ(text.size(), pages);
        int parts = 0;
        for (const QString& page : text) {
            const int onPage = int(page.count(QStringLiteral("(Part ")));
            parts += onPage;
            // The title block heads each page once, whatever the parts on it.
            EXPECT_EQ(page.count(QStringLiteral("Title line")), 1) << newPage;
            if (newPage) {
                EXPECT_EQ(onPage, 1);
            }
        }
        if (newPage) {
            partsOnOwnPages = parts;
            EXPECT_GT(parts, 2);
        } else {
            EXPECT_EQ(parts, partsOnOwnPages);
            EXPECT_LT(pages, parts);
        }
    }
}

}  // namespace
