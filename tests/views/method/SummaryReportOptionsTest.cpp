// The summary report options on the RAA project's loss report: the stored
// selection opens in report order, tables move between the lists, and OK
// stores what the kernel then lays out, asking for weights when a weighted
// selection changed.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTreeWidget>

#include "CSummaryReportOptionsDlg.h"
#include "CUltWeightsDlg.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "RaaProjectDoc.h"

using qs::test::kLossReport;
using qs::test::RaaDoc;

namespace {

QSIDArray Ids(const QTreeWidget* list) {
    QSIDArray ids;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        ids.push_back(QSID(list->topLevelItem(i)->data(0, Qt::UserRole).toLongLong()));
    return ids;
}

// Chooses the entries of a list that hold these ids (nothing else).
void Choose(QTreeWidget* list, const QSIDArray& ids) {
    list->clearSelection();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        item->setSelected(std::find(ids.begin(), ids.end(), QSID(item->data(0, Qt::UserRole).toLongLong())) !=
                          ids.end());
    }
}

struct SummaryReportOptionsTest : qs::test::ViewTest {
    SummaryReportOptionsTest() { doc.SetUpLossReport(2, {1, 0}, {1, 4}); }
    QSIDArray Stored() {
        QSIDArray selected, available;
        int s = 0, u = 0, w = 0, d = 0;
        CKDVUltWeightDataInfo weights;
        doc.GetProject()->GetSummaryRptOptions(kLossReport, NET, selected, available, s, u, w, weights, d);
        return selected;
    }
    // Runs the dialog on the loss report with handler playing the user.
    int Run(std::function<void(CSummaryReportOptionsDlg&)> handler) {
        script.Then<CSummaryReportOptionsDlg>(std::move(handler));
        CSummaryReportOptionsDlg dialog;
        dialog.m_pProject = doc.GetProject();
        dialog.m_lReportId = kLossReport;
        dialog.m_nLayer = NET;
        return int(dialog.DoModal());
    }
    RaaDoc doc;
    qs::fw::ModalScript script;
};

TEST_F(SummaryReportOptionsTest, OpensTheStoredSelectionAndMovesTablesToTheEnds) {
    const QSIDArray stored = {doc.Ult(1), doc.Ult(2)};
    qs::fw::MessageBoxScript boxes;
    const int result = Run([&](CSummaryReportOptionsDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Summary Report options"));
        EXPECT_EQ(Ids(d.SelectedList()), stored);
        QSIDArray available = Ids(d.AvailableList());
        ASSERT_GE(available.size(), 2u);
        for (QSID id : stored) EXPECT_EQ(std::count(available.begin(), available.end(), id), 0);
        // The flags stored: all four boxes on; weights usable with the weighted average only.
        EXPECT_TRUE(d.SelectedUltimateBox()->isChecked());
        EXPECT_TRUE(d.SelectWeightsButton()->isEnabled());
        d.WeightedAverageBox()->setChecked(false);
        EXPECT_FALSE(d.SelectWeightsButton()->isEnabled());
        EXPECT_FALSE(d.DisplayWeightsBox()->isEnabled());

        // Del puts the paid ultimate at the end of the available list, Add
        // puts the first available table at the end of the selection.
        Choose(d.SelectedList(), {doc.Ult(1)});
        d.OnDel();
        EXPECT_EQ(Ids(d.AvailableList()).back(), doc.Ult(1));
        EXPECT_EQ(d.SelectedIds(), QSIDArray{doc.Ult(2)});
        const QSID first = available.front();
        Choose(d.AvailableList(), {first});
        d.OnAdd();
        EXPECT_EQ(Ids(d.SelectedList()), (QSIDArray{doc.Ult(2), first}));
        EXPECT_EQ(d.SelectedIds(), (QSIDArray{doc.Ult(2), first}));
        d.reject();
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(Stored(), stored) << "Cancel stores nothing";
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(SummaryReportOptionsTest, OkRefusesAnEmptySelectionAndStoresTheRest) {
    qs::fw::MessageBoxScript boxes;
    const int result = Run([&](CSummaryReportOptionsDlg& d) {
        Choose(d.SelectedList(), {doc.Ult(1), doc.Ult(2)});
        d.OnDel();
        d.OnOK();
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().text, QStringLiteral("At least one Table must be selected from list!"));
        EXPECT_TRUE(d.isVisible()) << "the dialog stays";
        // One table: a changed selection asks for no weights.
        Choose(d.AvailableList(), {doc.Ult(2)});
        d.OnAdd();
        d.StraightAverageBox()->setChecked(false);
        d.OnSelectWeights();
        ASSERT_EQ(boxes.Count(), 2u);
        EXPECT_EQ(boxes.Last().text, QStringLiteral("At least two tables must be selected from list!"));
        d.OnOK();
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(boxes.Count(), 2u);
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(Stored(), QSIDArray{doc.Ult(2)});
    QSIDArray selected, available;
    int straight = 1, u = 0, w = 0, d = 0;
    CKDVUltWeightDataInfo weights;
    doc.GetProject()->GetSummaryRptOptions(kLossReport, NET, selected, available, straight, u, w, weights, d);
    EXPECT_EQ(straight, 0);
}

TEST_F(SummaryReportOptionsTest, AChangedSelectionOfTwoTablesAsksForTheWeightsFirst) {
    qs::fw::MessageBoxScript boxes;
    QSID third = 0;
    bool weightsShown = false;
    const int result = Run([&](CSummaryReportOptionsDlg& d) {
        const QSIDArray available = Ids(d.AvailableList());
        third = available.front();
        Choose(d.AvailableList(), {third});
        d.OnAdd();
        // The weights dialog gets the new selection in list order.
        script.Then<CWeightSettingsDlg>([&](CWeightSettingsDlg& w) {
            weightsShown = true;
            w.reject();
        });
        d.OnOK();
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Last().text, QStringLiteral("The table selections have changed. Now you will be asked to "
                                                    "update\nthe corresponding weights"));
        EXPECT_TRUE(weightsShown);
        EXPECT_TRUE(d.isVisible()) << "weights cancelled: the dialog stays";
        script.Then<CWeightSettingsDlg>([](CWeightSettingsDlg& w) { w.OnOK(); });
        d.OnOK();
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(boxes.Count(), 2u);
    EXPECT_TRUE(script.AllHandled());
    EXPECT_EQ(Stored(), (QSIDArray{doc.Ult(1), doc.Ult(2), third}));
}

}  // namespace
