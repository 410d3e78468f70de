// Graph windows inside the running program: New Graph from the navigator
// opens a graph frame with its data bar and style list, the graph is kept
// in the navigator, renamed with the project's Rename command, and a graph
// opened twice needs two closings.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPrinter>
#include <QProcess>
#include <QCoreApplication>
#include <QDockWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "CGraph.h"
#include "CPrintList.h"
#include "PrintHost.h"
#include "CGraphChartWnd.h"
#include "CGraphDataBar.h"
#include "CGraphView.h"
#include "CNewGraphDlg.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CSelectDataSourceDlg.h"
#include "InstalledWorkstation.h"
#include "KernelIds.h"
#include "MessageBox.h"
#include "MethodTemplates.h"
#include "ModalScript.h"
#include "QsCommandIds.h"
#include "frames/CGraphFrame.h"
#include "frames/CMainFrame.h"
#include "navigator/CPrjListView.h"
#include "navigator/CTreeFrame.h"

using qs::fw::MessageBoxScript;
using qs::fw::ModalScript;

namespace {

constexpr QSID kPaidLoss = 101000001;

bool Choose(CSelectDataSourceDlg& d, QSID id) {
    for (QTreeWidgetItemIterator it(d.Tree()); *it; ++it) {
        d.Tree()->setCurrentItem(*it);
        for (int i = 0; i < d.ObjectList()->count(); ++i)
            if (GetLayerNeutralID(d.ObjectList()->item(i)->data(Qt::UserRole).value<QSID>()) == GetLayerNeutralID(id)) {
                d.ObjectList()->item(i)->setSelected(true);
                return true;
            }
    }
    return false;
}

class GraphFramesTest : public qs::test::StartedAppTest {
protected:
    void SetUp() override {
        Start("graphs");
        doc = static_cast<CProjectDoc*>(
            app->OpenDocumentFile(QString::fromStdString(layout.workingDirectory + "/data/sample.qs5")));
        QCoreApplication::processEvents();
        ASSERT_NE(doc, nullptr);
    }
    CGraphFrame* ActiveGraphFrame() const {
        CMDIChildWnd* child = app->MainFrame()->MDIGetActive();
        return dynamic_cast<CGraphFrame*>(child);
    }
    CGraphView* ActiveGraphView() const {
        CGraphFrame* frame = ActiveGraphFrame();
        return frame ? dynamic_cast<CGraphView*>(frame->GetActiveView()) : nullptr;
    }
    CProjectDoc* doc = nullptr;
};

TEST_F(GraphFramesTest, NewGraphFromTheNavigatorIsKeptAndRenamed) {
    app->NavigatorFrame()->GoToObject(kPaidLoss, NET, doc);
    ModalScript script;
    script.Then<CSelectDataSourceDlg>([](CSelectDataSourceDlg& d) {
        d.ShowTab(0);
        if (!Choose(d, kPaidLoss)) return;
        d.OnSelect();
        d.ShowTab(1);
        if (!Choose(d, qsmethods::StandardExhibitID(1))) return;
        d.OnSelect();
        d.OnOK();
    });
    app->OnCmdMsg(qs::cmd::kGraphTable, CN_COMMAND, nullptr, nullptr);
    ASSERT_TRUE(script.AllHandled());
    CGraphFrame* frame = ActiveGraphFrame();
    ASSERT_NE(frame, nullptr);
    CGraphView* view = ActiveGraphView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetGraph()->GetNumTables(), 2);
    EXPECT_EQ(view->Chart()->SeriesCount(), 2);
    EXPECT_TRUE(frame->GetWindowText().contains("Graph of "));
    // The frame's bars: the data bar lists the two tables and "Add Table(s)";
    // the style list offers the installed styles with the graph's own chosen.
    CGraphDataBar* bar = qs::graphs::DataBarOf(frame->DataBar());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->Entries(0).size(), 3u);
    QComboBox* styles = frame->StyleList();
    EXPECT_EQ(styles->currentText(), "<Default Style>");
    EXPECT_GE(styles->findText("DEF_EXH.RGS"), 0);

    // Save: the New Graph dialog keeps it in the navigator.
    ModalScript save;
    save.Then<CNewGraphDlg>([](CNewGraphDlg& d) {
        d.NameEdit()->setText("Paid development");
        d.OnOK();
    });
    MessageBoxScript boxes{IDOK};
    frame->SendMessage(WM_COMMAND, qs::cmd::kGraphSave, 0);
    ASSERT_TRUE(save.AllHandled());
    const QSID kept = MakeID(8, 1, 0, 0, 501);
    ASSERT_NE(doc->GetProject()->FindObject(kept), nullptr);
    EXPECT_TRUE(frame->GetWindowText().contains("Paid development"));

    // Rename from the navigator: the dialog shows the names, the ID is fixed.
    app->NavigatorFrame()->GoToObject(kept, NET, doc);
    app->MainFrame()->MDIActivate(app->NavigatorFrame());
    app->NavigatorFrame()->SetActiveView(app->NavigatorFrame()->ListView());
    ModalScript rename;
    rename.Then<CNewGraphDlg>([](CNewGraphDlg& d) {
        EXPECT_TRUE(d.IdEdit()->isReadOnly());
        EXPECT_EQ(d.NameEdit()->text(), "Paid development");
        d.NameEdit()->setText("Paid development and factors");
        d.OnOK();
    });
    doc->OnCmdMsg(qs::cmd::kEditTable, CN_COMMAND, nullptr, nullptr);
    ASSERT_TRUE(rename.AllHandled());
    EXPECT_EQ(doc->GetProject()->FindObject(kept)->GetIDLongName(), "Paid development and factors");
    EXPECT_TRUE(frame->GetWindowText().contains("Paid development and factors"));
}

TEST_F(GraphFramesTest, AGraphOpenedTwiceNeedsTwoClosings) {
    CFrameWnd* frame = doc->OpenObjectView(GetGraphIDOf(kPaidLoss), NET);
    ASSERT_NE(dynamic_cast<CGraphFrame*>(frame), nullptr);
    // Opened again without activating: one more request on the same window.
    EXPECT_EQ(doc->OpenObjectView(GetGraphIDOf(kPaidLoss), NET, FALSE), frame);
    auto* child = dynamic_cast<CMDIChildWnd*>(frame);
    QPointer<QWidget> alive(frame);
    app->MainFrame()->OnMDIDestroy(child);
    QCoreApplication::processEvents();
    ASSERT_FALSE(alive.isNull());
    EXPECT_NE(frame->GetSafeHwnd(), nullptr);
    app->MainFrame()->OnMDIDestroy(child);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_TRUE(alive.isNull() || frame->GetSafeHwnd() == nullptr);
}

QString PdfText(const QString& pdf) {
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    text.waitForFinished(30000);
    return QString::fromUtf8(text.readAllStandardOutput());
}

TEST_F(GraphFramesTest, GraphsPrintInsideAPrintListTwoToAPage) {
    const QString pdf = QString::fromStdString(qs::test::MakeTempDir("pdf")) + "/list.pdf";
    qs::print::Host().preparePrinter = [&](QPrinter& printer, CProjectDoc*, const QString&) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    // Two graphs share a page in rows of fixed height.
    CPageSetup& setup = doc->GetProject()->GetPageSetup();
    setup.m_nTablesPerPage = 2;
    setup.m_bFitColumns = setup.m_bFitRows = 1;
    CFilePrintList list(doc);
    QSID paid = kPaidLoss, exhibit = qsmethods::StandardExhibitID(1);
    SetIDLayer(paid, NET);
    SetIDLayer(exhibit, NET);
    list.addEntry(GetGraphIDOf(paid), "Paid Loss");
    list.addEntry(GetGraphIDOf(exhibit), "Paid Loss Development");
    EXPECT_TRUE(list.print());
    qs::print::Host().preparePrinter = nullptr;
    const QString printed = PdfText(pdf);
    EXPECT_EQ(printed.count(QChar('\f')), 1) << printed.toStdString();
    EXPECT_TRUE(printed.contains("12-24")) << printed.toStdString();  // the exhibit graph
    EXPECT_TRUE(printed.contains("1990"));   // the losses' legend
}

TEST_F(GraphFramesTest, CancelClosesWithoutQuestionsAndCloseAsksAboutChanges) {
    auto* frame = dynamic_cast<CGraphFrame*>(doc->OpenObjectView(GetGraphIDOf(kPaidLoss), NET));
    ASSERT_NE(frame, nullptr);
    auto* view = dynamic_cast<CGraphView*>(frame->GetActiveView());
    ASSERT_NE(view, nullptr);
    view->GetGraph()->SetAdjustYAxis(1);  // an unsaved change
    // Closing asks; Cancel keeps the window.
    {
        MessageBoxScript boxes{IDCANCEL};
        frame->SendMessage(WM_CLOSE);
        QCoreApplication::processEvents();
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().text, "Would you like to save changes to this graph?");
        EXPECT_NE(frame->GetSafeHwnd(), nullptr);
    }
    // The bar's Cancel closes at once, changes or not.
    QPointer<QWidget> alive(frame);
    MessageBoxScript boxes;
    frame->SendMessage(WM_COMMAND, qs::cmd::kGraphCancel, 0);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_TRUE(alive.isNull() || frame->GetSafeHwnd() == nullptr);
}

TEST_F(GraphFramesTest, TheInstalledStyleTableAndStylesHaveContent) {
    const QString work = QString::fromStdString(layout.workingDirectory);
    EXPECT_GT(QFileInfo(work + "/graphs.rgb").size(), 0);
    EXPECT_GT(QFileInfo(work + "/styles/DEF_ARR.RGS").size(), 0);
}

}  // namespace
