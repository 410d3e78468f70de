#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "ChartControl.h"
#include "ChartEditDialog.h"
#include "MessageBox.h"
#include "ModalScript.h"

namespace {

using namespace qs::chart;

// A shown chart of two XY series over three rows:
//   series 1: (1, 10) (2, 20) (3, 30)     series 2: (1, 5) (2, null) (3, 15)
class Chart : public ::testing::Test {
protected:
    void SetUp() override {
        chart.resize(600, 400);
        chart.SetChartType(kChartXY);
        chart.SetDataSize(1, 3, 4);
        for (int r = 1; r <= 3; ++r) {
            chart.SetData(r, 1, r);
            chart.SetData(r, 2, 10.0 * r);
            chart.SetData(r, 3, r);
            chart.SetData(r, 4, 5.0 + 5.0 * (r - 1));
        }
        chart.SetDataNull(2, 4);
        chart.show();
        QApplication::processEvents();
    }
    ChartControl chart;
};

TEST(ChartDataGrid, SizeValuesNullsAndLabels) {
    DataGrid g;
    g.Clear();
    g.SetSize(2, 2, 3);
    double v = -1;
    bool null = false;
    ASSERT_TRUE(g.GetValue(2, 3, &v, &null));
    EXPECT_TRUE(null) << "new cells are null";
    EXPECT_TRUE(g.SetValue(2, 3, 4.5));
    EXPECT_TRUE(g.SetRowLabel(1, 2, "AY 2001"));
    EXPECT_TRUE(g.SetColumnLabel(3, 1, "Paid"));
    // Refused outside the grid, nothing changed.
    EXPECT_FALSE(g.SetValue(0, 1, 1.0));
    EXPECT_FALSE(g.SetValue(3, 1, 1.0));
    EXPECT_FALSE(g.SetValue(1, 4, 1.0));
    EXPECT_FALSE(g.SetRowLabel(1, 3, "x"));
    EXPECT_FALSE(g.GetValue(3, 3, &v, &null));

    // Growing keeps what fits; shrinking drops the rest.
    g.SetSize(2, 4, 4);
    ASSERT_TRUE(g.GetValue(2, 3, &v, &null));
    EXPECT_EQ(v, 4.5);
    EXPECT_FALSE(null);
    EXPECT_EQ(g.RowLabel(1, 2), "AY 2001");
    EXPECT_EQ(g.ColumnLabel(3), "Paid");
    g.SetSize(1, 1, 1);
    EXPECT_EQ(g.Rows(), 1);
    EXPECT_EQ(g.ColumnLabel(3), "");
    EXPECT_TRUE(g.SetNull(1, 1, false));
    ASSERT_TRUE(g.GetValue(1, 1, &v, &null));
    EXPECT_FALSE(null);
}

TEST_F(Chart, XYSeriesTakeTwoColumnsOtherTypesOne) {
    EXPECT_EQ(chart.SeriesCount(), 2);
    EXPECT_EQ(chart.Series(3), nullptr);
    EXPECT_EQ(chart.Series(0), nullptr);
    chart.SetChartType(kChartLine);
    EXPECT_EQ(chart.SeriesCount(), 4);
    EXPECT_NE(chart.Series(4), nullptr);
    // A non-finite value is stored as a null cell.
    chart.SetData(1, 1, std::numeric_limits<double>::quiet_NaN());
    bool null = false;
    chart.GetData(1, 1, nullptr, &null);
    EXPECT_TRUE(null);
}

TEST_F(Chart, SeriesStylesAndPointMarkers) {
    Marker cross{true, MarkerX, 8.0, Qt::red, Qt::red};
    ASSERT_TRUE(chart.SetSeriesPen(1, QColor(0, 255, 0), 2.5));
    ASSERT_TRUE(chart.SetSeriesSecondaryAxis(2, true));
    ASSERT_TRUE(chart.SetSeriesMarker(1, cross));
    Marker square{true, MarkerFilledSquare, 5.0, Qt::black, Qt::yellow};
    ASSERT_TRUE(chart.SetPointMarker(1, 2, square));
    ASSERT_TRUE(chart.SetPointBrush(1, 3, QColor(1, 2, 3)));
    const SeriesStyle* s = chart.Series(1);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->penColor, QColor(0, 255, 0));
    EXPECT_EQ(s->penWidth, 2.5);
    EXPECT_EQ(s->MarkerOf(1), cross);
    EXPECT_EQ(s->MarkerOf(2), square);
    EXPECT_EQ(s->MarkerOf(3).fill, QColor(1, 2, 3)) << "a point's brush fills its marker";
    EXPECT_EQ(s->MarkerOf(3).style, MarkerX);
    EXPECT_TRUE(chart.Series(2)->secondaryAxis);

    // Bad series, points, styles and widths are refused.
    EXPECT_FALSE(chart.SetSeriesPen(3, Qt::red, 1));
    EXPECT_FALSE(chart.SetSeriesPen(1, Qt::red, -1));
    EXPECT_FALSE(chart.SetPointMarker(1, 4, square));
    EXPECT_FALSE(chart.SetSeriesMarker(1, Marker{true, 16, 5, Qt::black, Qt::black}));
    EXPECT_FALSE(chart.SetPointBrush(1, 0, Qt::red));
}

TEST_F(Chart, AutomaticScaleCoversTheDataFixedScaleIsKept) {
    double lo = 0, hi = 0;
    ASSERT_TRUE(chart.AxisRange(AxisX, &lo, &hi));
    EXPECT_LE(lo, 1.0);
    EXPECT_GE(hi, 3.0);
    ASSERT_TRUE(chart.AxisRange(AxisY, &lo, &hi));
    EXPECT_LE(lo, 5.0);
    EXPECT_GE(hi, 30.0);

    // Series 2 moves to the second axis: Y then covers series 1 only.
    chart.SetSeriesSecondaryAxis(2, true);
    ASSERT_TRUE(chart.AxisRange(AxisY2, &lo, &hi));
    EXPECT_LE(lo, 5.0);
    EXPECT_GE(hi, 15.0);
    EXPECT_LT(hi, 30.0);

    ASSERT_TRUE(chart.SetAxisScale(AxisY, ValueScale{false, 1.0, 1.3, 3, 1}));
    ASSERT_TRUE(chart.AxisRange(AxisY, &lo, &hi));
    EXPECT_EQ(lo, 1.0);
    EXPECT_EQ(hi, 1.3);
    EXPECT_EQ(chart.AxisScale(AxisY).majorDivisions, 3);
    EXPECT_FALSE(chart.SetAxisScale(3, ValueScale{}));
    EXPECT_FALSE(chart.AxisRange(-1, &lo, &hi));
    EXPECT_FALSE(chart.SetAxisScale(AxisX, ValueScale{false, 0, std::numeric_limits<double>::infinity(), 1, 0}));
}

TEST_F(Chart, ValuePositionsFollowThePlotRectangle) {
    chart.SetAxisScale(AxisX, ValueScale{false, 0.0, 4.0, 4, 0});
    chart.SetAxisScale(AxisY, ValueScale{false, 0.0, 40.0, 4, 0});
    const QRect plot = chart.PlotRect();
    ASSERT_GT(plot.width(), 100);
    ASSERT_GT(plot.height(), 100);
    EXPECT_TRUE(chart.rect().contains(plot));

    QPointF p;
    ASSERT_TRUE(chart.ValueToPosition(0.0, 40.0, &p));
    EXPECT_NEAR(p.x(), plot.left(), 0.5);
    EXPECT_NEAR(p.y(), plot.top(), 0.5);
    ASSERT_TRUE(chart.ValueToPosition(4.0, 0.0, &p));
    EXPECT_NEAR(p.x(), plot.left() + plot.width(), 0.5);
    EXPECT_NEAR(p.y(), plot.bottom() + 1, 0.5);

    // Data point (2, 20) of series 1 sits in the middle; the null point of
    // series 2 and any point of a hidden series have no position.
    ASSERT_TRUE(chart.PointPosition(1, 2, &p));
    EXPECT_NEAR(p.x(), plot.left() + plot.width() / 2.0, 0.5);
    EXPECT_NEAR(p.y(), plot.bottom() + 1 - plot.height() / 2.0, 0.5);
    EXPECT_FALSE(chart.PointPosition(2, 2, &p));
    chart.SetSeriesHidden(1, true);
    EXPECT_FALSE(chart.PointPosition(1, 2, &p));

    double x = 0, y = 0;
    ASSERT_TRUE(chart.PositionToValue(QPointF(plot.left() + plot.width() / 4.0, plot.bottom() + 1), &x, &y));
    EXPECT_NEAR(x, 1.0, 1e-9);
    EXPECT_NEAR(y, 0.0, 1e-9);
}

TEST_F(Chart, AppearanceRoundTripsThroughFileAndMemory) {
    chart.SetTitle("Paid losses");
    chart.SetFootnote("Source: sample");
    chart.SetLegendShown(false);
    chart.SetAxisTitle(AxisX, "Age");
    chart.SetAxisScale(AxisY, ValueScale{false, 1.0, 2.0, 10, 2});
    chart.SetSeriesMarker(2, Marker{true, MarkerFilledDiamond, 7.0, Qt::blue, Qt::green});
    chart.SetPointBrush(1, 2, Qt::cyan);
    const Appearance saved = chart.GetAppearance();

    QTemporaryDir dir;
    const QString path = dir.filePath("style.rgs");
    QString error;
    ASSERT_TRUE(chart.SaveToFile(path, &error)) << error.toStdString();
    QByteArray memory;
    ASSERT_TRUE(chart.SaveToMemory(&memory));

    ChartControl other;
    ASSERT_TRUE(other.LoadFromFile(path, &error)) << error.toStdString();
    EXPECT_EQ(other.GetAppearance(), saved);
    ChartControl third;
    ASSERT_TRUE(third.RestoreFromMemory(memory));
    EXPECT_EQ(third.GetAppearance(), saved);

    // Every truncation and a flipped byte are refused, the chart unchanged.
    const QByteArray bytes = saved.ToBytes();
    for (int n = 0; n < bytes.size(); n += 7) EXPECT_FALSE(third.RestoreFromMemory(bytes.left(n))) << n;
    for (int i = 0; i < bytes.size(); i += 5) {
        QByteArray bad = bytes;
        bad[i] = char(bad[i] ^ 0x20);
        EXPECT_FALSE(third.RestoreFromMemory(bad)) << i;
    }
    EXPECT_EQ(third.GetAppearance(), saved);
    QFile foreign(dir.filePath("foreign.rgs"));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("not a chart");
    foreign.close();
    EXPECT_FALSE(third.LoadFromFile(foreign.fileName(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(third.LoadFromFile(dir.filePath("missing.rgs")));
    EXPECT_EQ(third.GetAppearance(), saved);
    EXPECT_FALSE(chart.SaveToFile(dir.filePath("no/such/folder/x.rgs")));
}

TEST_F(Chart, MemoryBlockHasALimit) {
    chart.SetDataSize(1, 2000, 2);
    for (int p = 1; p <= 2000; ++p) chart.SetPointMarker(1, p, Marker{true, p % 15, 5.0, Qt::red, Qt::blue});
    QByteArray memory("kept");
    EXPECT_FALSE(chart.SaveToMemory(&memory));
    EXPECT_EQ(memory, "kept");
    EXPECT_TRUE(chart.SaveToMemory(&memory, 1 << 20));
    EXPECT_GT(memory.size(), ChartControl::kMemoryLimit);
    EXPECT_FALSE(chart.RestoreFromMemory(memory)) << "more than a memory block holds";
}

TEST_F(Chart, DrawsIntoAPainter) {
    chart.SetSeriesPen(1, QColor(255, 0, 0), 3);
    chart.SetSeriesMarker(2, Marker{true, MarkerFilledSquare, 10, QColor(0, 0, 255), QColor(0, 0, 255)});
    QImage image(800, 500, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        chart.Render(&painter, QRectF(0, 0, 800, 500));
    }
    int red = 0, blue = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            red += qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
            blue += qBlue(c) > 200 && qRed(c) < 60 && qGreen(c) < 60;
        }
    EXPECT_GT(red, 50) << "the red line is drawn";
    EXPECT_GT(blue, 50) << "the blue markers are drawn";
    // The widget keeps its own layout after printing.
    EXPECT_LT(chart.PlotRect().width(), 600);
}

TEST(ChartMarkers, EveryStyleButNullDrawsSomething) {
    for (int style = 0; style < kMarkerStyleCount; ++style) {
        const QImage image = MarkerImage(Marker{true, style, 12.0, Qt::black, Qt::black});
        bool ink = false;
        for (int y = 0; y < image.height() && !ink; ++y)
            for (int x = 0; x < image.width() && !ink; ++x) ink = qAlpha(image.pixel(x, y)) > 0;
        EXPECT_EQ(ink, style != MarkerNull) << style;
    }
}

TEST_F(Chart, EditorAppliesChangesAndSaysSo) {
    QSignalSpy changed(&chart, &ChartControl::AppearanceChanged);
    {
        qs::fw::ModalScript script;
        script.Then<ChartEditDialog>([](ChartEditDialog& d) {
            d.TitleEdit()->setText("Edited");
            d.HiddenCheck()->setChecked(true);
            d.accept();
        });
        EXPECT_EQ(chart.ShowEditor(), IDOK);
    }
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(chart.Title(), "Edited");
    EXPECT_TRUE(chart.Series(1)->hidden);

    // A fixed axis whose maximum is not above its minimum is refused in the
    // dialog; cancelling changes nothing.
    {
        qs::fw::MessageBoxScript boxes;
        qs::fw::ModalScript script;
        script.Then<ChartEditDialog>([](ChartEditDialog& d) {
            d.TitleEdit()->setText("Not kept");
            d.AutomaticCheck(AxisY)->setChecked(false);
            d.Minimum(AxisY)->setValue(5);
            d.Maximum(AxisY)->setValue(5);
            d.accept();
            EXPECT_TRUE(d.isVisible());
            d.reject();
        });
        EXPECT_EQ(chart.ShowEditor(), IDCANCEL);
        EXPECT_EQ(boxes.Count(), 1u);
    }
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(chart.Title(), "Edited");
}

}  // namespace
