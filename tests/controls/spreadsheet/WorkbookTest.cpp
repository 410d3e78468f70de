#include "TestEnvironment.h"
#include "Workbook.h"
#include "ZipMember.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace qs::ss;

namespace {

TEST(Workbook, WritesSheetsCellsFormatsWidthsAndNames) {
    Workbook book;
    ASSERT_EQ(book.InsertSheets(2, 1), SS_OK);
    ASSERT_EQ(book.SetSheetName(1, "Exp2_Claims_1"), SS_OK);
    ASSERT_EQ(book.SetSheetName(2, "Second"), SS_OK);
    ASSERT_EQ(book.SetCurrentSheet(1), SS_OK);
    book.SetText(1, 1, "Paid Losses & Expenses");
    book.SetNumber(2, 1, 1234.5);
    book.SetNumber(2, 2, -0.25);
    book.SetSelection(2, 1, 2, 2);
    ASSERT_EQ(book.SetNumberFormat("#,##0.00_);(#,##0.00)"), SS_OK);
    book.SetSelection(1, 1, 1, 1);
    ASSERT_EQ(book.SetFont("DejaVu Sans", 14, true, false, false, false, Qt::red), SS_OK);
    ASSERT_EQ(book.SetColWidth(1, 1, 30), SS_OK);
    book.SetSelection(1, 1, 2, 2);
    EXPECT_EQ(book.SelectionReference(), "$A$1:$B$2");
    ASSERT_EQ(book.DefineName("Paid_ARR", "Exp2_Claims_1!" + book.SelectionReference()), SS_OK);
    ASSERT_EQ(book.SetPrintHeader("&L&B&10&\"DejaVu Sans\"Left&CPage &P"), SS_OK);
    QString shown;
    book.GetText(2, 2, shown);
    EXPECT_EQ(shown, "(0.25)");
    book.SetCurrentSheet(2);
    book.SetNumber(3, 3, 7);

    const std::string dir = qs::test::MakeTempDir("xlsx");
    const QString path = QString::fromStdString(dir) + "/book.xlsx";
    QString error;
    ASSERT_TRUE(book.Write(path, Workbook::kFileTypeExcel, &error)) << error.toStdString();

    bool ok = false;
    const std::string sheet1 = qs::test::ReadZipMember(path.toStdString(), "xl/worksheets/sheet1.xml", &ok);
    ASSERT_TRUE(ok);
    EXPECT_NE(sheet1.find("<v>1234.5</v>"), std::string::npos);
    EXPECT_NE(sheet1.find("<v>-0.25</v>"), std::string::npos);
    EXPECT_NE(sheet1.find("width=\"30"), std::string::npos);
    EXPECT_NE(sheet1.find("<oddHeader>&amp;L&amp;B&amp;10"), std::string::npos);
    const std::string sheet2 = qs::test::ReadZipMember(path.toStdString(), "xl/worksheets/sheet2.xml", &ok);
    EXPECT_NE(sheet2.find("<c r=\"C3\""), std::string::npos);
    const std::string strings = qs::test::ReadZipMember(path.toStdString(), "xl/sharedStrings.xml");
    EXPECT_NE(strings.find("Paid Losses &amp; Expenses"), std::string::npos);
    const std::string styles = qs::test::ReadZipMember(path.toStdString(), "xl/styles.xml");
    EXPECT_NE(styles.find("formatCode=\"#,##0.00_);(#,##0.00)\""), std::string::npos);
    EXPECT_NE(styles.find("<b/>"), std::string::npos);
    const std::string workbook = qs::test::ReadZipMember(path.toStdString(), "xl/workbook.xml");
    EXPECT_NE(workbook.find("name=\"Exp2_Claims_1\""), std::string::npos);
    EXPECT_NE(workbook.find("<definedName name=\"Paid_ARR\">Exp2_Claims_1!$A$1:$B$2</definedName>"),
              std::string::npos)
        << workbook;
}

TEST(Workbook, RefusesBadInputAndNeverLeavesAHalfWrittenFile) {
    Workbook book;
    EXPECT_EQ(book.SetSheetName(1, "bad/name"), SS_BadArgument);
    EXPECT_EQ(book.SetSheetName(1, QString(32, u'x')), SS_BadArgument);
    EXPECT_EQ(book.SetSheetName(2, "x"), SS_BadIndex);
    EXPECT_EQ(book.DeleteSheets(1, 1), SS_BadIndex);  // the last sheet stays
    EXPECT_EQ(book.DefineName("1st", "Sheet1!$A$1"), SS_BadArgument);
    EXPECT_EQ(book.SetPrintHeader(QString(300, u'x')), SS_BadArgument);
    EXPECT_EQ(book.SetNumberFormat("0.0\""), SS_BadFormat);
    EXPECT_EQ(book.SetText(1, 1, QString(256, u'x')), SS_BadArgument);  // a footnote line too long
    EXPECT_EQ(book.SetText(1, 1, QString(255, u'x')), SS_OK);
    EXPECT_EQ(book.SetSelectionText(QString(256, u'x')), SS_BadArgument);

    const QString dir = QString::fromStdString(qs::test::MakeTempDir("xlsxfail"));
    const QString path = dir + "/kept.xlsx";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("previous");
    }
    QString error;
    EXPECT_FALSE(book.Write(path, 5, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(book.Write(dir + "/missing/book.xlsx", Workbook::kFileTypeExcel, &error));

    // A target that cannot be replaced fails the write and leaves no temporary.
    book.SetNumber(1, 1, 1);
    ASSERT_TRUE(QDir(dir).mkdir("taken.xlsx"));
    EXPECT_FALSE(book.Write(dir + "/taken.xlsx", Workbook::kFileTypeExcel, &error));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "previous");
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary left behind";
    EXPECT_TRUE(book.Write(path, Workbook::kFileTypeExcel, &error)) << error.toStdString();
    EXPECT_TRUE(qs::test::ReadZipMember(path.toStdString(), "xl/workbook.xml").size() > 0);
}

}  // namespace
