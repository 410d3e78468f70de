// The print commands of the running program over the installed sample
// project: Print Active Table prints the window in front through a print
// list, File > Print opens the default list's dialog, the project's Page
// Setup runs the page setup dialog, and a named list prints only when it
// exists.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>

#include "CMDIChildWnd.h"
#include "CPageSetupDlg.h"
#include "CPrintList.h"
#include "CPrintListDlg.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "InstalledWorkstation.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "PrintHost.h"
#include "QsCommandIds.h"
#include "frames/CMainFrame.h"

namespace {

constexpr QSID kPaidLoss = 101000001;

QString PdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

class AppPrintingTest : public qs::test::StartedAppTest {
protected:
    void SetUp() override {
        Start("print");
        // Every job goes to a PDF file of the test.
        qs::print::Host().preparePrinter = [this](QPrinter& printer, CProjectDoc*, const QString&) {
            pdfs.push_back(QString::fromStdString(root) + QStringLiteral("/job%1.pdf").arg(pdfs.size() + 1));
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdfs.back());
            return true;
        };
        doc = static_cast<CProjectDoc*>(
            app->OpenDocumentFile(QString::fromStdString(layout.workingDirectory + "/data/sample.qs5")));
        QApplication::processEvents();
        ASSERT_NE(doc, nullptr);
    }
    CProjectDoc* doc = nullptr;
    std::vector<QString> pdfs;
    qs::fw::MessageBoxScript boxes;
};

TEST_F(AppPrintingTest, PrintActiveTablePrintsTheWindowInFront) {
    ASSERT_NE(doc->OpenObjectView(kPaidLoss, 1), nullptr);
    QApplication::processEvents();
    app->RouteCommand(qs::cmd::kPrintActiveTable);
    ASSERT_EQ(pdfs.size(), 1u);
    const QString text = PdfText(pdfs.front());
    EXPECT_TRUE(text.contains(QStringLiteral("Paid Loss"))) << qPrintable(text);
    EXPECT_FALSE(text.contains(QStringLiteral("&[")));  // every field expanded
    EXPECT_EQ(text.count(QLatin1Char('\f')), 1);        // that table alone, on one page
    EXPECT_EQ(boxes.Count(), 0u);
    // The window stays open after printing.
    EXPECT_NE(app->MainFrame()->MDIGetActive(), nullptr);
}

TEST_F(AppPrintingTest, FilePrintOpensTheDefaultListInThePrintListDialog) {
    QString title;
    qs::fw::ModalScript script;
    script.Then<CPrintListDlg>([&](CPrintListDlg& dialog) {
        title = dialog.windowTitle();
        dialog.OnCancel();
    });
    app->RouteCommand(qs::cmd::kPrint);
    EXPECT_EQ(title, QStringLiteral("Print"));
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(AppPrintingTest, ThePageSetupCommandEditsTheProjectsDefaultPageSetup) {
    qs::fw::ModalScript script;
    script.Then<CPageSetupDlg>([](CPageSetupDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Default Page Setup"));
        dialog.Tabs()->m_pLayout->m_pMargins[0]->setText(QStringLiteral("1.75"));
        dialog.m_pSave->click();
    });
    doc->RouteCommand(qs::cmd::kPageSetup);
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(doc->GetProject()->GetPageSetup().m_dTopMargin, 1.75);
}

TEST_F(AppPrintingTest, ANamedListPrintsOnlyWhenItExists) {
    EXPECT_EQ(app->PrintNamedList(QString::fromStdString(root + "/missing.lst"), doc), 0);
    EXPECT_TRUE(pdfs.empty());
    CFilePrintList list(nullptr);
    QSID paid = kPaidLoss;
    SetIDLayer(paid, 1);
    list.addEntry(paid, "  1 - Paid Loss");
    const QString path = QString::fromStdString(root + "/paid.lst");
    ASSERT_TRUE(list.writeFile(path));
    EXPECT_EQ(app->PrintNamedList(path, doc), 1);
    EXPECT_EQ(pdfs.size(), 1u);
}

}  // namespace
