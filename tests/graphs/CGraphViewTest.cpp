// The graph view on the sample project: New Graph of two tables, what the
// chart draws (checked on the chart's data grid), keeping the graph, styles
// saved and loaded across graphs, rubber-band zoom and its reset, the data
// bar's clicks reaching the kernel graph, and printing a graph alone.
#include <QCheckBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QTest>

#include <cmath>

#include "CGraphChartWnd.h"
#include "CGraphDataBar.h"
#include "CGraphIterators.h"
#include "CNewGraphDlg.h"
#include "CFileDialog.h"
#include "GraphTestSupport.h"
#include "CPrintInfo.h"
#include "CPrintPageState.h"
#include "ViewPrinting.h"
#include "ViewSettings.h"

#include <QPainter>

using namespace qs::test;
using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;

namespace {

double Paid(CProject* p, int row, int col) {
    double v = 0;
    std::uint8_t flags = 0;
    p->FindDataObject(kPaidLoss, NET)->GetAt(row, col, v, flags);
    return v;
}

// The value the chart holds for series s at the row labelled label (XY: the Y column).
bool ChartValue(const qs::chart::ChartControl& chart, int series, const QString& label, double* value) {
    const auto& grid = chart.Data();
    for (int r = 1; r <= grid.Rows(); ++r) {
        if (grid.RowLabel(r) != label) continue;
        bool null = true;
        grid.GetValue(r, chart.ChartType() == qs::chart::kChartXY ? 2 * series : series, value, &null);
        return !null;
    }
    return false;
}

class GraphViewTest : public SampleGraphTest {};

QString PdfText(const QString& pdf) {
    QProcess text;
    text.start("pdftotext", {pdf, "-"});
    text.waitForFinished(30000);
    return QString::fromUtf8(text.readAllStandardOutput());
}

// One graph item of a print list: begin, pages while the state asks, end;
// the text of the PDF and the pages printed.
QString PrintAsListItem(CGraphView& view, CPrintPageState& state, int* pages) {
    const QString pdf = QString::fromStdString(MakeTempDir("item")) + "/item.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    qs::views::SetPageGeometry(state, printer);
    CPrintInfo info;
    info.m_pPrinter = &printer;
    info.m_lpUserData = &state;
    state.m_nObjectsOnPage = 1;
    QPainter painter(&printer);
    view.BeginPrint(&painter, &info);
    *pages = 0;
    while (state.m_bContinue != 0 && *pages < 20) {
        if (*pages > 0) {
            printer.newPage();
            state.m_pGraphProgress.reset();
        }
        info.m_rectDraw = state.m_rectPage;
        view.PrintPage(&painter, &info);
        ++*pages;
    }
    view.EndPrint(&painter, &info);
    painter.end();
    return PdfText(pdf);
}

TEST_F(GraphViewTest, NewGraphOfTwoTablesDrawsOneSeriesOfEachAndIsKept) {
    CGraphView* view = NewGraphOfTwoTables();
    ASSERT_NE(view, nullptr);
    CGraph* graph = view->GetGraph();
    ASSERT_EQ(graph->GetNumTables(), 2);
    EXPECT_EQ(GetIDLayer(graph->GetTables()[0].GetID()), 0);  // "Current"
    EXPECT_TRUE(graph->IsGraphMultiTables());
    EXPECT_TRUE(view->IsUnsaved());
    // A graph just made is a change the close question asks about.
    EXPECT_TRUE(graph->IsDirty());

    // Composite mode: one series per table, the first row of each triangle.
    const qs::chart::ChartControl& chart = *view->Chart();
    ASSERT_EQ(chart.ChartType(), qs::chart::kChartXY);
    ASSERT_EQ(chart.SeriesCount(), 2);
    EXPECT_TRUE(chart.SeriesName(1).startsWith("Paid Loss")) << chart.SeriesName(1).toStdString();
    double v = 0;
    ASSERT_TRUE(ChartValue(chart, 1, "12", &v));
    EXPECT_DOUBLE_EQ(v, Paid(Project(), 0, 0));
    ASSERT_TRUE(ChartValue(chart, 1, "120", &v));
    EXPECT_DOUBLE_EQ(v, Paid(Project(), 0, 9));
    // The exhibit's first age-to-age factor: paid 24 / paid 12 of 1981.
    ASSERT_TRUE(ChartValue(chart, 2, "12-24", &v));
    EXPECT_NEAR(v, Paid(Project(), 0, 1) / Paid(Project(), 0, 0), 1e-9);
    EXPECT_FALSE(ChartValue(chart, 1, "12-24", &v));  // no such point in the losses
    // Readable: titled axes, a legend, a title naming what is drawn.
    EXPECT_FALSE(chart.AxisTitle(qs::chart::AxisX).isEmpty());
    EXPECT_TRUE(chart.LegendShown());
    EXPECT_TRUE(chart.Title().contains("Paid Loss"));
    EXPECT_TRUE(view->TitleText().contains("Graph of "));

    // Save: a new graph asks for its id and names and is kept in the navigator.
    ModalScript script;
    script.Then<CNewGraphDlg>([](CNewGraphDlg& d) {
        EXPECT_EQ(d.IdEdit()->text(), "501");
        d.NameEdit()->setText("Paid and factors");
        d.AbbreviatedNameEdit()->setText("PF");
        d.OnOK();
    });
    MessageBoxScript boxes{IDOK};
    view->OnSaveGraph();
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(boxes.Texts(), QStringList{"Your data settings have been saved."});
    const QSID kept = MakeID(8, 1, 0, 0, 501);
    EXPECT_EQ(view->ViewObjectId(), kept);
    EXPECT_FALSE(view->IsUnsaved());
    auto* stored = dynamic_cast<CGraph*>(Project()->FindObject(kept));
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->GetIDLongName(), "Paid and factors");
    EXPECT_EQ(stored->GetNumTables(), 2);
    EXPECT_TRUE(view->TitleText().contains("Paid and factors"));

    // Opened again from the navigator, it draws the same.
    CGraphView* again = Open(kept);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Chart()->SeriesCount(), 2);
    EXPECT_FALSE(again->IsUnsaved());
}

TEST_F(GraphViewTest, CancellingTheDataSourceOfANewGraphOpensNothing) {
    ModalScript script;
    script.Then([](QDialog& d) { d.reject(); });
    EXPECT_EQ(Open(Project()->GetNextTempGraphID()), nullptr);
}

TEST_F(GraphViewTest, TableGraphDrawsEveryRowWithStyleTableColours) {
    CGraphView* view = Open(GetGraphIDOf(kPaidLoss));
    ASSERT_NE(view, nullptr);
    const qs::chart::ChartControl& chart = *view->Chart();
    EXPECT_EQ(chart.SeriesCount(), 10);
    EXPECT_EQ(chart.Data().Rows(), 10);
    EXPECT_EQ(chart.SeriesName(1), "1981");
    double v = 0;
    ASSERT_TRUE(ChartValue(chart, 3, "36", &v));
    EXPECT_DOUBLE_EQ(v, Paid(Project(), 2, 2));
    EXPECT_FALSE(ChartValue(chart, 10, "24", &v));  // 1990 has one age only
    // Series k takes style record k of graphs.rgb.
    CGraphStyleTable styles;
    QColor expected;
    ASSERT_TRUE(styles.SeriesColor(3, expected));
    EXPECT_EQ(chart.Series(3)->penColor, expected);
    EXPECT_TRUE(chart.Series(3)->marker.visible);
    // The Y axis spans every value on a nice scale.
    const qs::chart::ValueScale y = chart.AxisScale(qs::chart::AxisY);
    EXPECT_FALSE(y.automatic);
    EXPECT_LE(y.minimum, Paid(Project(), 9, 0));
    EXPECT_GE(y.maximum, Paid(Project(), 0, 9));
}

TEST_F(GraphViewTest, StyleTableIsReadOnceForAllViews) {
    const int loads = CGraphStyleTable::LoadCount();
    CGraphView* a = Open(GetGraphIDOf(kPaidLoss));
    CGraphView* b = Open(GetGraphIDOf(PaidExhibit()));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(CGraphStyleTable::LoadCount(), loads + 1);
    EXPECT_EQ(CGraphStyleTable::HandleCount(), 2);
}

TEST_F(GraphViewTest, StyleSavedUnderANewNameLoadsOntoAnotherGraph) {
    CGraphView* view = Open(GetGraphIDOf(kPaidLoss));
    ASSERT_NE(view, nullptr);
    qs::chart::TextSizes big = view->Chart()->GetTextSizes();
    big.title = 20;
    view->Chart()->SetTextSizes(big);
    view->Chart()->SetLegendPosition(qs::chart::LegendBottom);
    // The save dialog takes a name no file has yet.
    const QString path = work + "/styles/Big titles.rgs";
    ModalScript script;
    script.Then<CFileDialog>([&](CFileDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Save Graph Style");
        d.selectFile(path);
        static_cast<QDialog&>(d).accept();
    });
    MessageBoxScript boxes{IDOK};
    view->OnSaveStyle();
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_EQ(boxes.Texts(), QStringList{"Graph style saved successfully."});
    EXPECT_EQ(view->GetGraph()->GetStyleName(), "Big titles.rgs");

    CGraphView* other = Open(GetGraphIDOf(PaidExhibit()));
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other->Chart()->GetTextSizes().title, 20);
    EXPECT_TRUE(other->LoadStyleFromFile(path));
    EXPECT_EQ(other->GetGraph()->GetStyleName(), "Big titles.rgs");
    EXPECT_EQ(other->Chart()->GetTextSizes().title, 20);
    EXPECT_EQ(other->Chart()->GetAppearance().legendPosition, qs::chart::LegendBottom);
    // Its own data, not the first graph's.
    EXPECT_EQ(other->Chart()->SeriesCount(), 10);
    EXPECT_EQ(other->Chart()->Data().RowLabel(1), "12-24");
    // A default style cannot be overwritten.
    boxes.Clear();
    EXPECT_FALSE(other->SaveStyleToFile(work + "/styles/def_arr.rgs"));
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes.Last().text.contains("Default Styles cannot be overwritten."));
}

TEST_F(GraphViewTest, RubberBandZoomsAndResetShowsEveryRow) {
    CGraphView* view = Open(GetGraphIDOf(kPaidLoss));
    ASSERT_NE(view, nullptr);
    view->OnEnableZoom(true);
    CGraphChartWnd* chart = view->Chart();
    ASSERT_EQ(chart->ChartType(), qs::chart::kChartXY);
    const QRect plot = chart->PlotRect();
    ASSERT_GT(plot.width(), 100);
    // A band of 10 pixels does not zoom.
    chart->OnLButtonDown(plot.center());
    chart->OnMouseMove(plot.center() + QPoint(10, 40), true);
    chart->OnLButtonUp(plot.center() + QPoint(10, 40));
    EXPECT_EQ(chart->AxisScale(qs::chart::AxisX).maximum, 10.0);
    // The band over the middle of the plot: whole rows, a nice Y scale.
    const QPoint from(plot.left() + plot.width() / 4, plot.top() + plot.height() / 4);
    const QPoint to(plot.left() + plot.width() * 3 / 4, plot.top() + plot.height() * 3 / 4);
    double x0 = 0, x1 = 0;
    chart->AxisRange(qs::chart::AxisX, &x0, &x1);
    chart->OnLButtonDown(from);
    chart->OnMouseMove(to, true);
    chart->OnLButtonUp(to);
    const qs::chart::ValueScale x = chart->AxisScale(qs::chart::AxisX);
    const qs::chart::ValueScale y = chart->AxisScale(qs::chart::AxisY);
    EXPECT_FALSE(x.automatic);
    EXPECT_FALSE(y.automatic);
    EXPECT_GT(x.minimum, x0);
    EXPECT_LT(x.maximum, x1);
    EXPECT_EQ(x.minimum, std::floor(x.minimum));
    EXPECT_EQ(x.majorDivisions, int(x.maximum - x.minimum));
    // Reset: the Y axis follows the data again, the X axis shows every row.
    view->OnResetZoom();
    EXPECT_TRUE(chart->AxisScale(qs::chart::AxisY).automatic);
    EXPECT_EQ(chart->AxisScale(qs::chart::AxisX).minimum, 1.0);
    EXPECT_EQ(chart->AxisScale(qs::chart::AxisX).maximum, 10.0);
    EXPECT_EQ(chart->AxisScale(qs::chart::AxisX).majorDivisions, 9);
}

TEST_F(GraphViewTest, ResetZoomWithoutRowsKeepsADrawableAxis) {
    CGraphView* view = Open(GetGraphIDOf(kPaidLoss));
    ASSERT_NE(view, nullptr);
    CLabelIterator labels(view->GetGraph());
    for (CLabelAdapter* a = nullptr; labels.GetNext(a);) a->Select(false);
    ASSERT_EQ(view->GetGraph()->GetNumDataRows(), 0);
    view->OnEnableZoom(true);
    view->OnResetZoom();
    const qs::chart::ValueScale x = view->Chart()->AxisScale(qs::chart::AxisX);
    EXPECT_GT(x.maximum, x.minimum);
    EXPECT_GE(x.majorDivisions, 1);
}

TEST_F(GraphViewTest, DataBarClicksReachTheKernelGraph) {
    CGraphView* view = Open(GetGraphIDOf(kPaidLoss));
    ASSERT_NE(view, nullptr);
    CGraphDataBar bar;
    bar.SetGraph(view->GetGraph());
    ASSERT_EQ(bar.Entries(2).size(), 10u);  // one check box per row
    QAbstractButton* first = bar.Entries(2)[0];
    EXPECT_NE(qobject_cast<QCheckBox*>(first), nullptr);
    EXPECT_TRUE(first->isChecked());
    // Unchecking hides the series in the kernel graph, and the chart follows.
    first->click();
    CSeriesIteratorImpl series(view->GetGraph());
    CSeriesAdapter* a = nullptr;
    ASSERT_TRUE(series.GetNext(a));
    EXPECT_FALSE(a->IsSelected());
    EXPECT_TRUE(view->Chart()->Series(1)->hidden);
    // " Series As ": Columns makes the series the triangle's columns.
    std::vector<QAbstractButton*> types = bar.Entries(1);
    ASSERT_EQ(types.size(), 3u);
    EXPECT_EQ(types[1]->text(), "Columns");
    types[1]->click();
    EXPECT_EQ(view->GetGraph()->GetSeriesType(), SERIES_COLUMNS);
    EXPECT_EQ(view->Chart()->SeriesName(1), "12");
    EXPECT_TRUE(view->GetGraph()->IsDirty());
    // The panes follow once the event loop has run.
    QTest::qWait(0);
    QCoreApplication::processEvents();
    ASSERT_EQ(bar.Entries(1).size(), 3u);
    EXPECT_TRUE(bar.Entries(1)[1]->isChecked());
    EXPECT_FALSE(bar.Entries(1)[0]->isChecked());
    // " Data Points ": unchecking a point drops its row from the chart.
    const int rows = view->Chart()->Data().Rows();
    bar.Entries(3)[0]->click();
    EXPECT_EQ(view->Chart()->Data().Rows(), rows - 1);
}

TEST_F(GraphViewTest, SeriesOverSeveralTablesAreRadioButtons) {
    CGraphView* view = NewGraphOfTwoTables();
    ASSERT_NE(view, nullptr);
    CGraphDataBar bar;
    bar.SetGraph(view->GetGraph());
    std::vector<QAbstractButton*> series = bar.Entries(2);
    ASSERT_GE(series.size(), 2u);
    EXPECT_NE(qobject_cast<QRadioButton*>(series[0]), nullptr);
    series[1]->click();
    EXPECT_EQ(view->GetGraph()->GetSeries(), 1);
    double v = 0;
    ASSERT_TRUE(ChartValue(*view->Chart(), 1, "12", &v));
    EXPECT_DOUBLE_EQ(v, Paid(Project(), 1, 0));  // 1982's row now
}

TEST_F(GraphViewTest, AdjustYAxisFollowsTheDataDrawnOnBothAxes) {
    CGraphView* view = Open(GetGraphIDOf(kPaidLoss));
    ASSERT_NE(view, nullptr);
    CGraph* graph = view->GetGraph();
    graph->SetAdjustYAxis(1);
    qs::chart::ChartControl chart;
    chart.SetDataSize(1, 10, 10);
    chart.SetChartType(qs::chart::kChartXY);
    chart.SetDataSize(1, 10, 20);
    ASSERT_TRUE(chart.SetSeriesSecondaryAxis(10, true));
    qs::graphs::GraphDrawState state;
    CGraphStyleTable styles;
    qs::graphs::FillChart(chart, *graph, state, styles);
    EXPECT_DOUBLE_EQ(state.secondaryMax, Paid(Project(), 9, 0));
    EXPECT_GE(state.primaryMax, Paid(Project(), 0, 9));
    EXPECT_FALSE(chart.AxisScale(qs::chart::AxisY2).automatic);
    // With 1990 hidden the second axis has nothing left: its extremes go
    // back to none, however wide they were before.
    graph->SelectSeries("1990", false);
    qs::graphs::FillChart(chart, *graph, state, styles);
    EXPECT_TRUE(std::isnan(state.secondaryMax));
    EXPECT_TRUE(chart.AxisScale(qs::chart::AxisY2).automatic);
}

TEST_F(GraphViewTest, SavingIntoAVanishedMasterSaysSoInsteadOfSaved) {
    CGraphView* view = NewGraphOfTwoTables();
    ASSERT_NE(view, nullptr);
    {
        ModalScript script;
        script.Then<CNewGraphDlg>([](CNewGraphDlg& d) {
            d.NameEdit()->setText("Gone soon");
            d.OnOK();
        });
        MessageBoxScript boxes{IDOK};
        view->OnSaveGraph();
    }
    ASSERT_EQ(Project()->DeleteObject(MakeID(8, 1, 0, 0, 501)), 0);
    view->GetGraph()->SetAdjustYAxis(1);  // a change to save
    MessageBoxScript boxes{IDOK};
    view->OnSaveGraph();
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, "Error: SaveToMaster");
}

TEST_F(GraphViewTest, PrintsAloneToPdf) {
    CGraphView* view = Open(GetGraphIDOf(kPaidLoss));
    ASSERT_NE(view, nullptr);
    const QString pdf = QString::fromStdString(MakeTempDir("pdf")) + "/graph.pdf";
    qs::views::Settings().preparePrinter = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    };
    view->GetGraph()->SetDirty(false);
    view->OnPrintGraph();
    qs::views::Settings().preparePrinter = nullptr;
    ASSERT_TRUE(QFile::exists(pdf));
    const QString printed = PdfText(pdf);
    EXPECT_TRUE(printed.contains("Paid Loss")) << printed.toStdString();
    EXPECT_TRUE(printed.contains("1981"));
    EXPECT_EQ(printed.count(QChar('\f')), 1);  // one page
    // Printing leaves the graph as it was.
    EXPECT_FALSE(view->GetGraph()->IsDirty());
    EXPECT_EQ(view->Chart()->SeriesCount(), 10);
}

TEST_F(GraphViewTest, ATriangleGraphPrintsOncePerOrientationAsked) {
    CGraphView* view = Open(GetGraphIDOf(kPaidLoss));
    ASSERT_NE(view, nullptr);
    view->GetGraph()->SetSeriesType(SERIES_DIAGONALS, true);
    view->GetGraph()->SetDirty(false);
    // Rows: the first three; columns: none; diagonals: two, as this graph
    // shows diagonals. Two graphs share the page.
    CPrintPageState state(Project()->GetPageSetup());
    state.m_nSeriesByRows = 3;
    state.m_nSeriesByColumns = 0;
    state.m_nSeriesByDiagonals = -2;
    state.m_nSeriesChoice = 0;
    state.m_nTablesPerPage = 2;
    state.m_bFitColumns = state.m_bFitRows = 1;
    int pages = 0;
    const QString printed = PrintAsListItem(*view, state, &pages);
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(printed.count("Paid Loss (Net)"), 2) << printed.toStdString();
    EXPECT_TRUE(printed.contains("Diagonal 2"));
    EXPECT_FALSE(printed.contains("Diagonal 3"));
    // The graph is as it was: diagonals, every one shown, not dirty.
    EXPECT_EQ(view->GetGraph()->GetSeriesType(), SERIES_DIAGONALS);
    EXPECT_FALSE(view->GetGraph()->IsDirty());
    EXPECT_EQ(view->Chart()->SeriesCount(), 10);
}

TEST_F(GraphViewTest, AGraphOfSeveralTablesPrintsOncePerSeriesTitledWithIt) {
    CGraphView* view = NewGraphOfTwoTables();
    ASSERT_NE(view, nullptr);
    CPrintPageState state(Project()->GetPageSetup());
    state.m_nSeriesByRows = 2;
    state.m_nSeriesByColumns = state.m_nSeriesByDiagonals = 0;
    state.m_nSeriesChoice = 0;
    int pages = 0;
    const QString printed = PrintAsListItem(*view, state, &pages);
    EXPECT_TRUE(printed.contains("for 1981")) << printed.toStdString();
    EXPECT_TRUE(printed.contains("for 1982"));
    EXPECT_FALSE(printed.contains("for 1983"));
    EXPECT_EQ(view->GetGraph()->GetSeries(), 0);
}

TEST_F(GraphViewTest, DataBarScrollsRatherThanSqueezingItsEntries) {
    CGraphView* view = Open(GetGraphIDOf(kPaidLoss));
    ASSERT_NE(view, nullptr);
    std::unique_ptr<QDockWidget> dock(qs::graphs::CreateGraphDataBarDock("Sidebar", nullptr));
    dock->resize(240, 300);
    CGraphDataBar* bar = qs::graphs::DataBarOf(dock.get());
    bar->SetGraph(view->GetGraph());
    dock->show();
    QTest::qWait(20);
    const std::vector<QAbstractButton*> series = bar->Entries(2);
    ASSERT_EQ(series.size(), 10u);
    for (std::size_t i = 1; i < series.size(); ++i)
        EXPECT_GE(series[i]->y(), series[i - 1]->y() + series[i - 1]->height()) << i;
    EXPECT_GT(bar->height(), 300);  // taller than the dock: it scrolls
    bar->SetGraph(nullptr);
}

TEST_F(GraphViewTest, OpeningAShownGraphTwiceNeedsTwoClosings) {
    CGraphView* view = Open(GetGraphIDOf(kPaidLoss));
    ASSERT_NE(view, nullptr);
    view->AddOpenRef();
    EXPECT_TRUE(view->KeepOnMDIDestroy());
    EXPECT_FALSE(view->KeepOnMDIDestroy());
}

}  // namespace
