// The ultimates flood fill options and the ultimate weights dialogs on the
// RAA project: what they store is what the kernel then computes with.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>

#include <cmath>

#include "CUltFloodFillOptionDlg.h"
#include "CUltWeightsDlg.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "RaaProjectDoc.h"
#include "SpreadsheetControl.h"
#include "SummaryReports.h"

using qs::test::kLossReport;
using qs::test::RaaDoc;

namespace {

constexpr int kLossKind = CUltFloodFillOptionDlg::kLoss;

double Cell(const CDataObject* d, int row) {
    double v = 0;
    std::uint8_t f = 0;
    d->GetAt(row, 0, v, f);
    return (f & CDataObject::CF_VALUE) ? v : NAN;
}

struct UltimateDialogsTest : qs::test::ViewTest {
    UltimateDialogsTest() { doc.SetUpLossReport(2, {1, 0}, {1, 4}); }
    // The loss kind's stored estimate on a layer.
    CKDVUltFloodFillData Stored(unsigned short layer, int* check = nullptr) {
        std::vector<CKDVUltFloodFillData*> candidates;
        CKDVUltFloodFillData chosen;
        QSID minimum = 0;
        int c = 0;
        doc.GetProject()->GetUltFloodFillOption(kLossReport, layer, candidates, chosen, minimum, c);
        for (auto* item : candidates) delete item;
        if (check != nullptr) *check = c;
        return chosen;
    }
    static int IndexOfLayer(QComboBox* combo, int layer) {
        for (int i = 0; i < combo->count(); ++i)
            if (combo->itemData(i).toInt() == layer) return i;
        return -1;
    }
    RaaDoc doc;
};

TEST_F(UltimateDialogsTest, FloodFillOptionsKeepEachLayersChoicesAndTheFillUsesThem) {
    // The Ceded report gathers the same tables.
    ASSERT_EQ(doc.GetProject()->SetSummaryRptOptions(kLossReport, CEDED, {doc.Ult(1), doc.Ult(2)}, 1, 1, 1, 0,
                                                     CKDVUltWeightDataInfo()),
              0);
    qs::fw::ModalScript script;
    script.Then<CUltFloodFillOptionDlg>([](CUltFloodFillOptionDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Ultimate Flood Fill Option"));
        EXPECT_EQ(d.CurrentLayer(), NET);
        QComboBox* loss = d.Combo(kLossKind);
        // "(None)", the two gathered tables and the two averages.
        ASSERT_EQ(loss->count(), 5);
        EXPECT_FALSE(d.Check(kLossKind)->isEnabled());
        loss->setCurrentIndex(1);
        EXPECT_TRUE(d.Check(kLossKind)->isEnabled());
        d.Check(kLossKind)->setChecked(true);
        d.OnCheckClicked(kLossKind);
        // Ceded: another choice, then back to Net, whose choice is kept.
        d.LayerCombo()->setCurrentIndex(IndexOfLayer(d.LayerCombo(), CEDED));
        EXPECT_EQ(d.CurrentLayer(), CEDED);
        EXPECT_EQ(d.Combo(kLossKind)->currentIndex(), 0);
        ASSERT_EQ(d.Combo(kLossKind)->count(), 5);
        d.Combo(kLossKind)->setCurrentIndex(2);
        d.LayerCombo()->setCurrentIndex(IndexOfLayer(d.LayerCombo(), NET));
        EXPECT_EQ(d.Combo(kLossKind)->currentIndex(), 1);
        EXPECT_TRUE(d.Check(kLossKind)->isChecked());
        d.OnOK();
    });
    CUltFloodFillOptionDlg dialog(doc.GetProject());
    dialog.m_nOpenLayer = NET;
    ASSERT_EQ(dialog.DoModal(), IDOK);
    ASSERT_TRUE(script.AllHandled());

    int check = 0;
    const CKDVUltFloodFillData net = Stored(NET, &check);
    EXPECT_EQ(net.m_id, doc.Ult(1));
    EXPECT_EQ(check, 1);
    EXPECT_EQ(Stored(CEDED).m_id, doc.Ult(2));
    QSID id = kLossReport;
    SetIDLayer(id, NET);
    EXPECT_TRUE(doc.GetProject()->IsUltimateSetWithFloodFill(id));

    // The fill: the paid development ultimate, never below the latest incurred.
    doc.GetProject()->FloodFillUltimate(nullptr);
    CMethod* report = doc.Method(kLossReport);
    const CDataObject* selected = report->GetDataObject(report->GetNumDataObjects());
    const CDataObject* incurred = doc.GetProject()->FindDataObject(101000011, NET);
    for (int r = 0; r < 10; ++r) {
        double latest = 0;
        std::uint8_t f = 0;
        incurred->GetAt(r, 9 - r, latest, f);
        EXPECT_NEAR(Cell(selected, r), std::max(Cell(report->GetDataObject(1), r), latest), 1e-6) << r;
    }
}

TEST_F(UltimateDialogsTest, AMinimumNeedsAnEstimateAndCancelWritesNothing) {
    qs::fw::MessageBoxScript boxes;
    qs::fw::ModalScript script;
    script.Then<CUltFloodFillOptionDlg>([&](CUltFloodFillOptionDlg& d) {
        const int premium = CUltFloodFillOptionDlg::kPremium;
        d.Combo(premium)->setCurrentIndex(0);
        d.Check(premium)->setChecked(true);
        d.OnCheckClicked(premium);
        EXPECT_FALSE(d.Check(premium)->isChecked());
        d.Combo(kLossKind)->setCurrentIndex(2);
        d.reject();
    });
    CUltFloodFillOptionDlg dialog(doc.GetProject());
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, QStringLiteral("Please first choose a valid Premium estimate!"));
    EXPECT_EQ(boxes.Last().icon, UINT(MB_ICONEXCLAMATION));
    EXPECT_TRUE(Stored(NET).IsEmpty());
}

struct UltimateWeights : qs::test::ViewTest {};

TEST_F(UltimateWeights, OnlyPlainDecimalNumbersAreWeights) {
    for (const char* ok : {".5", "50", "0.25", "", "3."}) EXPECT_TRUE(CUltWeightsDlg::IsAcceptableWeight(ok)) << ok;
    for (const char* bad : {"1.2.3", "5a", "-1", "1e3", "5 "})
        EXPECT_FALSE(CUltWeightsDlg::IsAcceptableWeight(bad)) << bad;
}

TEST_F(UltimateDialogsTest, WeightsDialogShowsEditsAndReturnsTheWeightsTheKernelUses) {
    const QSIDArray ids = {doc.Ult(1), doc.Ult(2)};
    CKDVUltWeightDataInfo info = doc.GetProject()->FindSummaryRptOptions([] {
        QSID id = kLossReport;
        SetIDLayer(id, NET);
        return id;
    }())->weights;
    qs::fw::ModalScript script;
    script.Then<CWeightSettingsDlg>([](CWeightSettingsDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Weight Settings"));
        CUltWeightsDlg* w = d.Weights();
        qs::ss::SpreadsheetControl* grid = w->Grid();
        ASSERT_EQ(grid->MaxRow(), 3);
        ASSERT_EQ(grid->MaxCol(), 2);
        EXPECT_EQ(grid->RowHeadingText(1), QStringLiteral("All Other"));
        EXPECT_EQ(grid->RowHeadingText(3), QStringLiteral("2010"));
        EXPECT_TRUE(grid->ColHeadingText(2).endsWith(QStringLiteral("\n===\n 2")));
        double v = 0;
        grid->GetNumber(3, 2, v);
        EXPECT_DOUBLE_EQ(v, 4.0);
        // Four latest periods, weights for the two oldest of them, then back
        // to two: those rows go, the two newest keep theirs.
        w->LatestEdit()->setValue(4);
        ASSERT_EQ(grid->MaxRow(), 5);
        EXPECT_EQ(grid->RowHeadingText(2), QStringLiteral("2007"));
        grid->SetNumber(2, 1, 9);
        grid->SetNumber(3, 1, 9);
        grid->GetNumber(5, 2, v);
        EXPECT_DOUBLE_EQ(v, 4.0);
        w->LatestEdit()->setValue(2);
        ASSERT_EQ(grid->MaxRow(), 3);
        grid->GetNumber(2, 1, v);
        EXPECT_DOUBLE_EQ(v, 1.0);
        // The latest year: paid alone now.
        grid->SetNumber(3, 1, 1);
        grid->SetNumber(3, 2, 0);
        d.OnOK();
    });
    CWeightSettingsDlg dialog(doc.GetProject());
    dialog.SetWeightData(ids, info, NET);
    ASSERT_EQ(dialog.DoModal(), IDOK);
    const CKDVUltWeightDataInfo edited = dialog.Weights()->GetWeightInfo();
    EXPECT_EQ(edited.GetNumLatest(), 2);
    ASSERT_EQ(doc.GetProject()->SetSummaryRptOptions(kLossReport, NET, ids, 1, 1, 1, 1, edited), 0);
    CMethod* report = doc.Method(kLossReport);
    // Weighted average (column 4): the latest year is the paid ultimate.
    EXPECT_NEAR(Cell(report->GetDataObject(4), 9), Cell(report->GetDataObject(1), 9), 1e-9);
    const double p = Cell(report->GetDataObject(1), 0), i = Cell(report->GetDataObject(2), 0);
    EXPECT_NEAR(Cell(report->GetDataObject(4), 0), (3 * p + i) / 4, 1e-9);
}

TEST_F(UltimateDialogsTest, AFailedLookupKeepsTheWeightsItCouldNotShow) {
    const QSID missing = MakeID(4, 1, 0, 2, 990);  // no such method
    const QSIDArray ids = {doc.Ult(1), missing, doc.Ult(2)};
    CKDVUltWeightDataInfo info(2);
    info.SetColData(CKDVUltWeightData(doc.Ult(1), 3.0, {1, 0}));
    info.SetColData(CKDVUltWeightData(doc.Ult(2), 1.0, {1, 4}));
    qs::fw::MessageBoxScript boxes;
    qs::fw::ModalScript script;
    script.Then<CWeightSettingsDlg>([](CWeightSettingsDlg& d) { d.OnOK(); });
    CWeightSettingsDlg dialog(doc.GetProject());
    dialog.SetWeightData(ids, info, NET);
    ASSERT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Last().text, QStringLiteral("Lookup failed for ultimate id"));
    CKDVUltWeightData kept;
    ASSERT_TRUE(dialog.Weights()->GetWeightInfo().GetColData(doc.Ult(2), kept));
    EXPECT_DOUBLE_EQ(kept.GetAllOtherData(), 1.0);
    EXPECT_DOUBLE_EQ(kept.GetLatestData(1), 4.0);
}

}  // namespace
