#include "SpreadsheetControl.h"
#include "SpreadsheetPrinter.h"
#include "TestEnvironment.h"

#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace qs::ss;

namespace {

// A 96 dpi device: one pixel is 15 twips at 100%.
QImage Device96() {
    QImage image(10, 10, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    return image;
}

TEST(SpreadsheetPrinter, MeasurePartCountsWhatFitsWithTitlesAtTheScale) {
    SpreadsheetControl grid;
    grid.SetPrintSwitch(SSP_RowHeadings, false);
    grid.SetPrintSwitch(SSP_ColHeadings, false);
    grid.SetColWidth(1, 20, 1500);  // 100 px at 96 dpi
    grid.SetRowHeight(1, 40, 300);  // 20 px
    grid.SetFixedCols(1);
    grid.SetFixedRows(2);
    const QImage device = Device96();
    SpreadsheetPrinter printer(grid);

    auto part = printer.MeasurePart(device, QSizeF(350, 200), 3, 2, 40, 20);
    EXPECT_EQ(part.cols, 2);  // title 100 + 2 x 100
    EXPECT_EQ(part.rows, 8);  // titles 40 + 8 x 20
    EXPECT_DOUBLE_EQ(part.size.width(), 300);
    EXPECT_DOUBLE_EQ(part.size.height(), 200);

    grid.SetPrintScale(50);
    part = printer.MeasurePart(device, QSizeF(350, 200), 3, 2, 40, 20);
    EXPECT_EQ(part.cols, 6);   // everything halves: 50 + 6 x 50 = 350
    EXPECT_EQ(part.rows, 18);

    grid.SetPrintScale(0);  // 0 means 100
    EXPECT_EQ(printer.Scale(), 100);
    part = printer.MeasurePart(device, QSizeF(350, 200), 3, 19, 40, 20);
    EXPECT_EQ(part.cols, 2);  // stops at the last column asked for

    grid.SetPrintSwitch(SSP_ColHeadings, true);
    grid.SetHeadingRowHeight(600);  // 40 px more on top
    part = printer.MeasurePart(device, QSizeF(350, 200), 3, 2, 40, 20);
    EXPECT_EQ(part.rows, 6);

    grid.SetColHidden(3, 3, true);  // hidden columns take no room
    part = printer.MeasurePart(device, QSizeF(350, 200), 3, 2, 40, 20);
    EXPECT_EQ(part.cols, 3);
}

QString RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(SpreadsheetPrinter, PrintsARangeInPartsWithRepeatedTitlesToPdf) {
    SpreadsheetControl grid;
    grid.SetText(1, 1, "Year");
    for (int c = 2; c <= 13; ++c) grid.SetText(1, c, QStringLiteral("Age%1").arg(c - 1));
    for (int r = 2; r <= 90; ++r) {
        grid.SetText(r, 1, QStringLiteral("AY%1").arg(1900 + r));
        for (int c = 2; c <= 13; ++c) grid.SetNumber(r, c, r * 1000 + c + 0.5);
    }
    grid.SetSelection(2, 2, 90, 13);
    grid.SetNumberFormat("#,##0.00");
    grid.SetColWidth(1, 13, 1800);
    grid.SetFixedRows(1);
    grid.SetFixedCols(1);
    for (int s : {SSP_RowHeadings, SSP_ColHeadings, SSP_GridLines}) grid.SetPrintSwitch(s, false);

    const QString pdf = QString::fromStdString(qs::test::MakeTempDir("print")) + "/grid.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    const int pages = SpreadsheetPrinter(grid).PrintRange(printer, 1, 1, 90, 13);
    ASSERT_GE(pages, 4);  // 12 wide columns and 89 rows do not fit one A4 page either way

    const QString info = RunTool("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\b").arg(pages)))) << info.toStdString();

    const QStringList pageTexts = RunTool("pdftotext", {"-layout", pdf, "-"}).split(u'\f', Qt::SkipEmptyParts);
    ASSERT_EQ(pageTexts.size(), pages);
    for (const QString& text : pageTexts) {
        EXPECT_TRUE(text.contains("Year")) << "title row and column on every page";
        EXPECT_TRUE(text.contains("AY19")) << text.toStdString();
    }
    // Order 0 goes down first: page 1 has the first columns and first rows,
    // page 2 the same columns and later rows.
    EXPECT_TRUE(pageTexts[0].contains("2,002.50"));
    EXPECT_TRUE(pageTexts[0].contains("Age1"));
    EXPECT_FALSE(pageTexts[0].contains("AY1990"));
    EXPECT_TRUE(pageTexts[1].contains("AY1990"));
    EXPECT_TRUE(pageTexts[1].contains("Age1"));
    EXPECT_TRUE(pageTexts.last().contains("90,013.50"));
    EXPECT_TRUE(pageTexts.last().contains("Age12"));
}

}  // namespace
