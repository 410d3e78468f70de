// The exhibit view and crx together, crx started through activation on the
// test's private bus: a row of the RAA exhibit goes to crx as a new analysis,
// a person refits it there (cutoff, an excluded point, Apply) and the exhibit
// shows the refitted tail rows; Cancel leaves the exhibit as it was; closing
// the view lets crx go; the exhibit window stays while its analysis is out.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTest>
#include <gtest/gtest.h>

#include <signal.h>

#include "CDataObject.h"
#include "CExhibit.h"
#include "CExhibitView.h"
#include "CTailFactorAnalysis.h"
#include "AutomationClient.h"
#include "MessageBox.h"
#include "MethodTemplates.h"
#include "ReservingMath.h"
#include "SpreadsheetControl.h"
#include "TailFactorLink.h"
#include "TestEnvironment.h"
#include "ViewSettings.h"
#include "ViewTestSupport.h"

namespace {

using namespace qs::automation;
using Kind = CExhibitView::RowKind;

class ExhibitTailLink : public qs::test::ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        qs::test::SetEnv("QS_CRX_SCRIPTED_USER", "1");
        ASSERT_TRUE(UpdateActivationEnvironment({"QS_CRX_SCRIPTED_USER", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"}));
        qs::calc::Triangle t;
        ASSERT_TRUE(
            qs::calc::ParseLongCsv(qs::test::ReadFile(qs::test::DataDir() + "/triangles/raa.csv"), "values", t));
        CDataObject* paid = doc.GetProject()->FindDataObject(qs::test::kPaidLoss, NET);
        ASSERT_NE(paid, nullptr);
        for (int r = 0; r < t.rows; ++r)
            for (int c = 0; c < t.cols; ++c)
                if (t.Has(r, c)) paid->SetAt(r, c, t.At(r, c));
        doc.GetProject()->SetExhibitShowSDF(1);
        view = doc.Open<CExhibitView>(qsmethods::StandardExhibitID(1), NET);
        ASSERT_NE(view, nullptr);
    }
    void TearDown() override {
        view.reset();
        WaitGone();
        ViewTest::TearDown();
    }
    CExhibit* Exhibit() const { return view->GetExhibit(); }
    static QVariant Act(const QVariantList& args) {
        AutomationClient crx;
        EXPECT_TRUE(crx.AttachRunning(TailFactorLink::kProgId));
        const CallResult r = crx.Call("Act", args);
        EXPECT_TRUE(r.ok) << r.error.toStdString();
        return r.value;
    }
    static bool WaitGone() {
        for (int i = 0; i < 200 && IsServerRunning(TailFactorLink::kProgId); ++i) QTest::qWait(25);
        return !IsServerRunning(TailFactorLink::kProgId);
    }
    // Waits until the view has let the connection go (its answer arrived).
    static bool WaitAnswered() {
        for (int i = 0; i < 400 && TailFactorLink::Shared().IsOpen(); ++i) QTest::qWait(25);
        return !TailFactorLink::Shared().IsOpen();
    }
    // The grid row of the first statistic (an average of the age-to-age
    // factors, its values on its name's row): the row a new analysis starts from.
    int AverageRow() const {
        for (const auto& row : view->Plan())
            if (row.kind == Kind::StatName && !row.label.isEmpty()) return row.row;
        return 0;
    }
    int TailRows() const {
        int n = 0;
        for (const auto& row : view->Plan()) n += row.kind == Kind::Tail && !row.label.isEmpty();
        return n;
    }
    void SelectRow(int row, int c1 = 1, int lastRow = 0) {
        view->GetCtrl()->SetSelection(row, c1, lastRow ? lastRow : row, 4);
        view->GetCtrl()->SetActiveCell(row, c1);
    }

    qs::test::TestProjectDoc doc{10, 10};
    std::unique_ptr<CExhibitView> view;
};

TEST_F(ExhibitTailLink, NewRefitApplyShowsTheTailRowsInTheExhibit) {
    const int row = AverageRow();
    ASSERT_GT(row, 0);
    ASSERT_EQ(view->GetTailAnalysis(), nullptr);
    ASSERT_EQ(TailRows(), 0);
    SelectRow(row);
    qs::fw::MessageBoxScript boxes;
    view->OnTailFactorNew();
    ASSERT_EQ(boxes.Count(), 0u) << boxes.Texts().join('|').toStdString();
    ASSERT_TRUE(TailFactorLink::Shared().IsOpen());
    EXPECT_EQ(view->GetTailAnalysis(), nullptr) << "the exhibit gets an analysis only when crx answers";

    // A second New while it is open only offers the open one.
    boxes.Answer(IDNO);
    view->OnTailFactorNew();
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes.Last().text.contains("already open"));

    // The cutoff dialog asks the view for its decimals while the view waits.
    EXPECT_EQ(Act({"cutoff", 1, "15"}).toString(), "");
    Act({"exclude", 1, 2});
    Act({"apply", 0b111});
    ASSERT_TRUE(WaitAnswered());

    CTailFactorAnalysis* crx = view->GetTailAnalysis();
    ASSERT_NE(crx, nullptr) << boxes.Texts().join('|').toStdString();
    EXPECT_EQ(crx->GetCutoff(1), 15.0);
    EXPECT_TRUE(crx->GetExclude(1, 2));
    EXPECT_FALSE(crx->GetExclude(0, 2));
    EXPECT_EQ(crx->GetNumPoints(), 9) << "one point per development age but the last";
    EXPECT_TRUE(doc.GetProject()->IsModified());
    // The exhibit shows the three curves' rows with the refitted tails, and
    // every row's label stands on its row in the grid.
    EXPECT_EQ(TailRows(), 3);
    const auto plain = [](QString text) { return text.remove('\r').replace('\n', ' ').simplified(); };
    for (const auto& row : view->Plan())
        if (!row.label.isEmpty()) {
            QString shown;
            view->GetCtrl()->GetText(row.row, 1, shown);
            EXPECT_EQ(plain(shown), plain(row.label)) << "grid row " << row.row;
        }
    const QString longName = QString::fromStdString(Exhibit()->GetIDLongName());
    if (!longName.isEmpty()) {
        EXPECT_EQ(QString::fromStdString(crx->GetIDLongName()), "CRX " + longName);
    }
    EXPECT_TRUE(WaitGone()) << "crx ends once the view lets go";
}

TEST_F(ExhibitTailLink, CancelLeavesTheExhibitAndClosingTheViewLetsCrxGo) {
    SelectRow(AverageRow());
    qs::fw::MessageBoxScript boxes;
    view->OnTailFactorNew();
    ASSERT_TRUE(TailFactorLink::Shared().IsOpen()) << boxes.Texts().join('|').toStdString();
    Act({"exclude", 0, 1});
    Act({"cancel"});
    ASSERT_TRUE(WaitAnswered());
    EXPECT_EQ(view->GetTailAnalysis(), nullptr);
    EXPECT_EQ(TailRows(), 0);
    EXPECT_FALSE(view->KeepOnMDIDestroy()) << "crx has answered: the window may close";
    EXPECT_EQ(boxes.Count(), 0u) << boxes.Texts().join('|').toStdString();
    EXPECT_TRUE(WaitGone());

    // Open again, then close the view while crx has it.
    view->OnTailFactorNew();
    ASSERT_TRUE(TailFactorLink::Shared().IsOpen());
    view.reset();
    EXPECT_FALSE(TailFactorLink::Shared().IsOpen());
    EXPECT_TRUE(WaitGone());
}

// While its analysis is out in crx the exhibit's window stays, and the user
// is told why; another exhibit closes freely. When crx goes without answering
// nothing can come back, so the window may close again.
TEST_F(ExhibitTailLink, TheExhibitWindowStaysWhileItsAnalysisIsOutInCrx) {
    qs::fw::MessageBoxScript boxes;
    EXPECT_FALSE(view->KeepOnMDIDestroy());
    SelectRow(AverageRow());
    view->OnTailFactorNew();
    ASSERT_TRUE(TailFactorLink::Shared().IsOpen()) << boxes.Texts().join('|').toStdString();
    ASSERT_EQ(boxes.Count(), 0u);
    EXPECT_TRUE(view->KeepOnMDIDestroy());
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, CExhibitView::kTailOpenOnClose);
    {
        auto other = doc.Open<CExhibitView>(qsmethods::StandardExhibitID(2), NET);
        ASSERT_NE(other, nullptr);
        EXPECT_FALSE(other->KeepOnMDIDestroy());
        EXPECT_EQ(boxes.Count(), 1u);
    }
    EXPECT_TRUE(TailFactorLink::Shared().IsOpen());

    const uint pid = QDBusConnection::sessionBus().interface()->servicePid(ServiceNameOf(TailFactorLink::kProgId)).value();
    ASSERT_GT(pid, 0u);
    ASSERT_EQ(::kill(pid_t(pid), SIGKILL), 0);
    ASSERT_TRUE(WaitGone());
    EXPECT_FALSE(view->KeepOnMDIDestroy());
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_FALSE(TailFactorLink::Shared().IsOpen()) << "the connection ended with crx";
}

TEST_F(ExhibitTailLink, NewWantsOneRowStartingInTheLabelColumn) {
    const int row = AverageRow();
    for (auto [c1, last] : {std::pair{2, row}, std::pair{1, row + 1}}) {
        SelectRow(row, c1, last);
        qs::fw::MessageBoxScript boxes;
        view->OnTailFactorNew();
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().text, "Please select one row of data.");
        EXPECT_FALSE(TailFactorLink::Shared().IsOpen()) << "no connection is tried";
    }
}

}  // namespace
