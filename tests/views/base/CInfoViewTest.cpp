// The information view: a read-only, unwrapped, fixed-pitch text that a
// report file replaces whole, printed wrapped to the page, twenty pages at most.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTest>

#include "CCmdUI.h"
#include "CInfoView.h"
#include "CommandIds.h"
#include "MessageBox.h"
#include "TestEnvironment.h"
#include "ViewSettings.h"
#include "ViewTestSupport.h"

namespace {

struct InfoViewTest : qs::test::ViewTest {
    void SetUp() override {
        ViewTest::SetUp();
        dir = QString::fromStdString(qs::test::MakeTempDir());
        view.resize(600, 400);
        view.show();
    }
    bool Enabled(UINT id) {
        CCmdUI ui;
        ui.m_nID = id;
        ui.DoUpdate(&view, FALSE);
        return ui.m_enabled;
    }
    QString dir;
    CInfoView view;
};

TEST_F(InfoViewTest, LoadsAReportWholeAndKeepsItReadOnly) {
    const QString path = dir + QStringLiteral("/report.txt");
    qs::test::WriteFile(path.toStdString(), "Project: Sample\r\nLayers:\t5\r\n");
    view.SetText(QStringLiteral("old text"));
    ASSERT_TRUE(view.LoadTextFile(path));
    EXPECT_EQ(view.GetText(), QStringLiteral("Project: Sample\r\nLayers:\t5\r\n"));
    // A file that cannot be read leaves the text alone.
    EXPECT_FALSE(view.LoadTextFile(dir + QStringLiteral("/missing.txt")));
    EXPECT_TRUE(view.GetText().startsWith(QStringLiteral("Project: Sample")));

    QPlainTextEdit* edit = view.Editor();
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_EQ(edit->lineWrapMode(), QPlainTextEdit::NoWrap);
    // Columns of a report line up: every character advances alike, whichever
    // fixed-width family the machine resolves.
    const QFontMetrics metrics(edit->font());
    EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')), metrics.horizontalAdvance(QLatin1Char('W')));
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("typed"));
    EXPECT_FALSE(view.GetText().contains(QStringLiteral("typed")));
    EXPECT_FALSE(Enabled(ID_EDIT_PASTE));
    EXPECT_FALSE(Enabled(CInfoView::ID_RESIZE_WINDOW));
}

TEST_F(InfoViewTest, PrintsTheFirstTwentyPagesWrappedAndStaysUnwrapped) {
    QString text;
    for (int i = 1; i <= 2000; ++i) text += QStringLiteral("Line %1 of the report\r\n").arg(i, 4, 10, QLatin1Char('0'));
    text += QStringLiteral("A last line far too long for one printed line: ") + QString(300, QLatin1Char('x')) +
            QStringLiteral(" END\r\n");
    view.SetText(text);
    const QString pdf = dir + QStringLiteral("/info.pdf");
    qs::views::Settings().preparePrinter = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    };
    ASSERT_TRUE(view.RouteCommand(ID_FILE_PRINT));
    EXPECT_EQ(qs::test::PdfPages(pdf), 20);
    const QString printed = qs::test::PdfText(pdf);
    EXPECT_TRUE(printed.contains(QStringLiteral("Line 0001 of the report")));
    EXPECT_FALSE(printed.contains(QStringLiteral("Line 2000 of the report")));
    EXPECT_EQ(view.GetWordWrap(), CInfoView::WrapNone);
    EXPECT_EQ(view.Editor()->lineWrapMode(), QPlainTextEdit::NoWrap);
}

TEST_F(InfoViewTest, LongLinesWrapOnThePage) {
    view.SetText(QStringLiteral("START ") + (QString(40, QLatin1Char('y')) + QLatin1Char(' ')).repeated(6) +
                 QStringLiteral("FINISH\r\n"));
    const QString pdf = dir + QStringLiteral("/wrap.pdf");
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    EXPECT_EQ(view.PrintTo(printer), 1);
    const QStringList lines = qs::test::PdfText(pdf).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // The words are all there, over more than one printed line.
    const QString printed = lines.join(QLatin1Char(' '));
    EXPECT_TRUE(printed.contains(QStringLiteral("START")) && printed.contains(QStringLiteral("FINISH")));
    const auto startLine = std::find_if(lines.begin(), lines.end(), [](const QString& l) { return l.contains("START"); });
    ASSERT_NE(startLine, lines.end());
    EXPECT_FALSE(startLine->contains(QStringLiteral("FINISH")));
}

TEST_F(InfoViewTest, NoUsablePrinterIsReported) {
    qs::fw::MessageBoxScript boxes;
    qs::views::Settings().preparePrinter = [](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QStringLiteral("/nonexistent-dir/x/out.pdf"));
    };
    view.SetText(QStringLiteral("text"));
    view.OnFilePrint();
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes.Last().text.contains(QStringLiteral("could not be printed")));
}

}  // namespace
