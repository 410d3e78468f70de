// The series style table ("graphs.rgb"), the nice scale and the print font
// scaling: the pure rules under the graph view.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <cmath>

#include "CGraphStyleTable.h"
#include "ChartControl.h"
#include "GraphDefaults.h"
#include "GraphFill.h"
#include "GraphHost.h"
#include "GraphScale.h"
#include "MessageBox.h"
#include "TestEnvironment.h"

namespace {

void WriteTable(const QString& dir, const QByteArray& text) {
    QFile f(dir + "/graphs.rgb");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

class StyleTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = QString::fromStdString(qs::test::MakeTempDir("rgb"));
        qs::graphs::Host().workingDirectory = dir;
    }
    void TearDown() override { qs::graphs::Host().workingDirectory.clear(); }
    QString dir;
};

TEST(StyleTableParse, TokensRowsAndMarkers) {
    // Rows may share or span lines; empty tokens vanish; a later row of a
    // number replaces the earlier; a cut-off row is ignored.
    const auto records = CGraphStyleTable::Parse(
        "1,255,0,0,6.5,VtMarkerStyleX\r\n2,0,\n\n300,0,4,VtMarkerStyle3dBall,3,1,2,3,4, VtMarkerStyleDash\n"
        "1,9,9,9,2,VtMarkerStyleStar\n7,1,2");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records.at(1).red, 9);
    EXPECT_EQ(records.at(1).marker, 3);
    // 300 is truncated to 8 bits.
    EXPECT_EQ(records.at(2).green, 300 % 256);
    EXPECT_EQ(records.at(2).marker, 14);
    EXPECT_DOUBLE_EQ(records.at(2).width, 4.0);
    // A leading blank makes the marker name unknown: no marker.
    EXPECT_EQ(records.at(3).marker, 15);
    EXPECT_EQ(records.count(7), 0u);
}

TEST(StyleTableParse, StyleNumbersCycleThroughFortyNineRecords) {
    const struct {
        int style, record;
    } cases[] = {{1, 1}, {49, 49}, {50, 1}, {98, 49}, {99, 1}, {0, 0}, {-1, -1}};
    for (const auto& c : cases) EXPECT_EQ(CGraphStyleTable::RecordNumber(c.style), c.record) << c.style;
}

TEST_F(StyleTableTest, ReadOnceAndSharedByEveryHandle) {
    WriteTable(dir, "1,10,20,30,5,VtMarkerStyleSquare\n");
    const int loads = CGraphStyleTable::LoadCount();
    {
        CGraphStyleTable a;
        CGraphStyleTable b;
        EXPECT_EQ(CGraphStyleTable::LoadCount(), loads + 1);
        QColor c;
        ASSERT_TRUE(b.SeriesColor(50, c));
        EXPECT_EQ(c, QColor(10, 20, 30));
        EXPECT_FALSE(a.SeriesColor(2, c));
    }
    EXPECT_EQ(CGraphStyleTable::HandleCount(), 0);
    // A new first handle reads the file again (the user may have changed it).
    WriteTable(dir, "2,1,1,1,5,VtMarkerStyleSquare\n");
    CGraphStyleTable again;
    EXPECT_EQ(CGraphStyleTable::LoadCount(), loads + 2);
    EXPECT_EQ(again.Find(1), nullptr);
    EXPECT_NE(again.Find(2), nullptr);
}

TEST_F(StyleTableTest, AMissingFileSaysSoAndChangesNoColour) {
    qs::fw::MessageBoxScript boxes{IDOK};
    CGraphStyleTable table;
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes.Last().text.startsWith("File " + dir + "/graphs.rgb could not be opened."));
    QColor c(Qt::magenta);
    EXPECT_FALSE(table.SeriesColor(1, c));
    EXPECT_EQ(c, QColor(Qt::magenta));
}

TEST_F(StyleTableTest, MarkersGoToTheSeriesPointsOnly) {
    WriteTable(dir, "1,0,0,255,9,VtMarkerStyleDiamond\n");
    CGraphStyleTable table;
    qs::chart::ChartControl chart;
    chart.SetChartType(qs::chart::kChartXY);
    chart.SetDataSize(1, 3, 2);
    table.SeriesMarkers(chart, 1, 1);
    const qs::chart::SeriesStyle* s = chart.Series(1);
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->marker.visible);
    EXPECT_EQ(s->marker.style, qs::chart::MarkerDiamond);
    EXPECT_DOUBLE_EQ(s->marker.size, 9.0);
    EXPECT_EQ(s->marker.fill, QColor(0, 0, 255));
    // No point past the last row is given a marker.
    EXPECT_TRUE(s->pointMarkers.empty());
}

TEST(StyleTableDefaults, InstalledTableHasFortyNineRowsAndStylesLoad) {
    const QString dir = QString::fromStdString(qs::test::MakeTempDir("defaults"));
    ASSERT_TRUE(qs::graphs::InstallDefaultGraphFiles(dir));
    QFile f(dir + "/graphs.rgb");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const auto records = CGraphStyleTable::Parse(f.readAll());
    EXPECT_EQ(records.size(), 49u);
    qs::chart::ChartControl chart;
    for (const QString& name : qs::graphs::DefaultStyleFileNames())
        EXPECT_TRUE(chart.LoadFromFile(dir + "/styles/" + name)) << name.toStdString();
    EXPECT_TRUE(chart.GetAppearance().xRowLabels);
    // A file the user changed is kept.
    QFile mine(dir + "/styles/DEF_ARR.RGS");
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.write("mine");
    mine.close();
    ASSERT_TRUE(qs::graphs::InstallDefaultGraphFiles(dir));
    QFile again(dir + "/styles/DEF_ARR.RGS");
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), "mine");
}

TEST(NiceScale, PublishedCases) {
    const struct {
        double min, max, outMin, outMax;
        short divisions;
    } cases[] = {
        {0, 87, 0, 90, 9},      // step 10, nine steps
        {12, 18, 12, 18, 6},    // step 1, six steps
        {0, 3, 0, 3, 6},        // three steps: halved
        {4.2, 4.2, 4, 5, 1},    // no range: the unit interval
        {5, 1, 5, 1, 1},        // a negative range keeps the limits
        {0.1, 0.95, 0.1, 1.0, 9},
        {1000, 98765, 0, 100000, 10},
    };
    for (const auto& c : cases) {
        double lo = c.min, hi = c.max;
        short d = 0;
        qs::graphs::NiceScale(lo, hi, d);
        EXPECT_NEAR(lo, c.outMin, 1e-9) << c.min << ".." << c.max;
        EXPECT_NEAR(hi, c.outMax, 1e-9) << c.min << ".." << c.max;
        EXPECT_EQ(d, c.divisions) << c.min << ".." << c.max;
    }
}

TEST(PrintFonts, ShrinkWithGraphsOnThePageAndNeverGrow) {
    qs::chart::ChartControl chart;
    qs::chart::TextSizes t;
    t.title = 12;
    t.axisLabels = 9;
    const struct {
        int perPage, rows;
        double title, labels;
    } cases[] = {{1, 1, 12, 9}, {3, 3, 9, 6}, {8, 4, 4, 4}, {6, 6, 8, 6}, {10, 5, 8, 6}};
    for (const auto& c : cases) {
        chart.SetTextSizes(t);
        qs::graphs::GraphDrawState state;
        state.graphsPerPage = c.perPage;
        state.graphRowsPerPage = c.rows;
        qs::graphs::ScaleFontsForPrint(chart, state);
        EXPECT_DOUBLE_EQ(chart.GetTextSizes().title, c.title) << c.perPage << "/" << c.rows;
        EXPECT_DOUBLE_EQ(chart.GetTextSizes().axisLabels, c.labels) << c.perPage << "/" << c.rows;
    }
}

}  // namespace
