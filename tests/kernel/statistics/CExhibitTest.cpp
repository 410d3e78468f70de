#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "CExhibit.h"
#include "FloodFill.h"
#include "KernelStream.h"
#include "ProjectFixture.h"
#include "ReservingMath.h"
#include "TestEnvironment.h"

using namespace qs::calc;

namespace {

// An exhibit read whole from what another wrote; source, when given, is what
// the copy reads.
std::unique_ptr<CExhibit> ReadBack(const KernelWriter& w, CDataObject* source = nullptr) {
    auto back = std::make_unique<CExhibit>();
    KernelReader r(w.Bytes());
    back->Read(r, 1);
    EXPECT_FALSE(r.Failed());
    EXPECT_EQ(r.Left(), 0u);
    if (source != nullptr) back->SetSource(source);
    return back;
}

// RAA as a kernel data object: a 10 x 10 staircase of cumulative amounts.
std::unique_ptr<CDataObject> RaaObject() {
    Triangle t;
    EXPECT_TRUE(ParseLongCsv(qs::test::ReadFile(qs::test::DataDir() + "/triangles/raa.csv"), "values", t));
    auto d = std::make_unique<CDataObject>();
    std::vector<std::uint16_t> lens;
    for (int r = 0; r < t.rows; ++r) lens.push_back(static_cast<std::uint16_t>(t.cols - r));
    d->SetShape(static_cast<std::uint16_t>(t.rows), static_cast<std::uint16_t>(t.cols), CDataObject::VT_TRIANGLE, lens);
    d->SetCumulable(true);
    for (int r = 0; r < t.rows; ++r)
        for (int c = 0; c < t.cols; ++c)
            if (t.Has(r, c)) d->SetAt(r, c, t.At(r, c));
    return d;
}

double Cell(CDataObject& d, int r, int c, bool* has = nullptr) {
    double v = 0;
    std::uint8_t f = 0;
    EXPECT_EQ(d.GetAt(r, c, v, f), 0);
    if (has) *has = (f & CDataObject::CF_VALUE) != 0;
    return v;
}

const std::vector<double> kRaaVolume = {2.999359, 1.623523, 1.270888, 1.171675, 1.113385,
                                        1.041935, 1.033264, 1.016936, 1.009217};

}  // namespace

TEST(CExhibit, FactorsStatisticsAndSelectionsFollowTheirInputs) {
    auto raa = RaaObject();
    CExhibit ex;
    ex.SetHasStatistics(true);
    ex.SetStatsDefs({{1, 1, 0, 0, 0, 0, 0, 1, 0}}, 1, 0);  // volume-weighted average
    ex.SetSource(raa.get());

    CDataObject* f = nullptr;
    ASSERT_EQ(ex.GetFactorTriangle(f), 0);
    std::uint16_t rows = 0, cols = 0;
    f->GetMaxRowsCols(rows, cols);
    EXPECT_EQ(rows, 10);
    EXPECT_EQ(cols, 10);
    EXPECT_DOUBLE_EQ(Cell(*f, 0, 0), 8269.0 / 5012.0);
    EXPECT_TRUE(f->IsDeveloped());
    EXPECT_FALSE(raa->IsDeveloped());
    bool has = true;
    Cell(*f, 0, 9, &has);  // the tail column holds no factor
    EXPECT_FALSE(has);
    EXPECT_FALSE(f->LocationIsValid(9, 1));

    CStatistics* st = nullptr;
    ASSERT_EQ(ex.GetStatistics(st), 0);
    double v = 0;
    char flag = 0;
    for (unsigned short k = 0; k < 9; ++k) {
        ASSERT_EQ(st->GetAt(0, 0, k, v, flag), 0);
        EXPECT_NEAR(v, kRaaVolume[k], 5e-7) << k;
    }
    // An outlier mark recalculates the statistics at once.
    CDataObject* outliers = nullptr;
    ASSERT_EQ(ex.GetOutliersObject(outliers), 0);
    outliers->SetAt(1, 0, 'o');
    st->GetAt(0, 0, 0, v, flag);
    EXPECT_NEAR(v, (8269.0 + 8992 + 11555 + 9565 + 6445 + 4020 + 6947 + 5395) /  // rows 0, 2 .. 8
                       (5012.0 + 3410 + 5655 + 1092 + 1513 + 557 + 1351 + 3133),
                1e-12);
    // A source change recalculates the factors and, column by column, the
    // statistics: they agree with a fresh exhibit over the edited source.
    raa->SetAt(0, 1, 10024.0);
    raa->SetAt(3, 4, 24000.0);
    EXPECT_DOUBLE_EQ(Cell(*f, 0, 0), 10024.0 / 5012.0);
    CExhibit fresh;
    fresh.SetHasStatistics(true);
    fresh.SetStatsDefs({{1, 1, 0, 0, 0, 0, 0, 1, 0}}, 1, 0);
    fresh.SetSource(raa.get());
    CDataObject* freshOutliers = nullptr;
    fresh.GetOutliersObject(freshOutliers);
    freshOutliers->SetAt(1, 0, 'o');
    CStatistics* freshSt = nullptr;
    fresh.GetStatistics(freshSt);
    for (unsigned short k = 0; k < 10; ++k) {
        double a = -1, b = -2;
        char fa = 0, fb = 1;
        st->GetAt(0, 0, k, a, fa);
        freshSt->GetAt(0, 0, k, b, fb);
        EXPECT_EQ(a, b) << k;
        EXPECT_EQ(fa, fb) << k;
    }

    // Selected factors: the volume factors and a tail of 1.05.
    CDataObject *sdf = nullptr, *cum = nullptr, *ratio = nullptr;
    ASSERT_EQ(ex.GetSDFObject(sdf), 0);
    ASSERT_EQ(ex.GetCumSDFObject(cum), 0);
    ASSERT_EQ(ex.GetRatioSDFObject(ratio), 0);
    for (int k = 0; k < 9; ++k) sdf->SetAt(0, k, kRaaVolume[k]);
    sdf->SetAt(0, 9, 1.05);
    EXPECT_NEAR(Cell(*cum, 0, 0), 8.9202 * 1.05, 5e-4);
    EXPECT_DOUBLE_EQ(Cell(*cum, 0, 9), 1.05);
    EXPECT_NEAR(Cell(*ratio, 0, 0), 1.0 / Cell(*cum, 0, 0), 1e-15);
    // A blank selection leaves it and every earlier age without a value; a
    // blank tail means no tail.
    sdf->SetCellBlank(0, 4);
    Cell(*cum, 0, 4, &has);
    EXPECT_FALSE(has);
    Cell(*cum, 0, 0, &has);
    EXPECT_FALSE(has);
    EXPECT_NEAR(Cell(*cum, 0, 5), 1.1049 * 1.05, 5e-4);
    sdf->SetCellBlank(0, 9);
    EXPECT_NEAR(Cell(*cum, 0, 5), 1.1049, 5e-5);
}

TEST(CExhibit, TailAnalysisAndStorage) {
    auto raa = RaaObject();
    CExhibit ex;
    ex.SetHasStatistics(true);
    ex.SetStatsDefs({{2, 1, 0, 0, 0, 0, 0, 0, 0}, {1, 2, 0, 0, 0, 0, 0, 0, 0}}, 0, 1);
    ex.SetSource(raa.get());
    CTailFactorAnalysis* crx = nullptr;
    EXPECT_NE(ex.GetCRXObject(crx), 0);
    EXPECT_EQ(ex.DeleteCRXObject(), 0);
    ASSERT_EQ(ex.InitCRXObject(), 0);
    ASSERT_EQ(ex.GetCRXObject(crx), 0);
    crx->SetNumPoints(9);
    for (int i = 0; i < 9; ++i) crx->SetValue(1, true, i, kRaaVolume[i]);
    crx->EnableCurve(1, true);
    crx->Calculate();
    CDataObject* sdf = nullptr;
    ex.GetSDFObject(sdf);
    sdf->SetAt(0, 3, 1.2);
    CDataObject* outliers = nullptr;
    ex.GetOutliersObject(outliers);
    outliers->SetAt(2, 1, 'o');

    KernelWriter w;
    ex.Write(w);
    const auto stored = ReadBack(w, raa.get());
    CExhibit& back = *stored;
    CTailFactorAnalysis* crx2 = nullptr;
    ASSERT_EQ(back.GetCRXObject(crx2), 0);
    EXPECT_NEAR(crx2->GetTail(1), 1.009436, 5e-7);
    EXPECT_TRUE(crx2->IsCurveEnabled(1));
    CDataObject* sdf2 = nullptr;
    back.GetSDFObject(sdf2);
    EXPECT_DOUBLE_EQ(Cell(*sdf2, 0, 3), 1.2);
    CStatistics* st = nullptr;
    back.GetStatistics(st);
    unsigned short n = 0;
    st->GetNumStats(n);
    EXPECT_EQ(n, 2);
    EXPECT_TRUE(st->IsStatLTrend(0));  // order 1 comes first
    EXPECT_EQ(st->GetAbbreviate(), 1);
    CDataObject* out2 = nullptr;
    back.GetOutliersObject(out2);
    EXPECT_TRUE(out2->RawFlags(2, 1) & CDataObject::CF_VALUE);

    // Every truncation of the stream is refused, never a crash.
    for (size_t cut = 0; cut < w.Bytes().size(); cut += 7) {
        CExhibit damaged;
        KernelReader dr(w.Bytes().data(), cut);
        damaged.Read(dr, 1);
        EXPECT_TRUE(dr.Failed()) << cut;
    }
    // The project builds exhibits from their storage tag.
    std::unique_ptr<CFormula> made = CFormula::CreateFromTag(CExhibit::kStorageTag);
    EXPECT_NE(dynamic_cast<CExhibit*>(made.get()), nullptr);

    // A copy is independent and carries the analysis.
    CExhibit copy(ex);
    CTailFactorAnalysis* crx3 = nullptr;
    ASSERT_EQ(copy.GetCRXObject(crx3), 0);
    EXPECT_NE(crx3, crx);
    EXPECT_EQ(copy.GetSource(), nullptr);
}

// "User Weighted Average" weights each factor by the user's weight (1 where
// none is given, 0 leaving it out), is stored with the exhibit and is what a
// fill from that statistic selects.
TEST(CExhibit, UserWeightsReachTheStatistics) {
    auto raa = RaaObject();
    CExhibit ex;
    ex.SetHasStatistics(true);
    ex.SetStatsDefs({{1, 1, 0, 0, 0, 0, 0, 3, 0}, {2, 1, 0, 0, 0, 0, 0, 0, 0}}, 1, 0);  // USER, none
    ex.SetSource(raa.get());
    CStatistics* st = nullptr;
    ASSERT_EQ(ex.GetStatistics(st), 0);
    auto stat = [&](CStatistics& s, int which, int col) {
        double v = 0;
        char flag = 0;
        EXPECT_EQ(s.GetAt(static_cast<unsigned short>(which), 0, static_cast<unsigned short>(col), v, flag), 0);
        return flag == 0 ? v : NAN;
    };
    CDataObject* f = nullptr;
    ex.GetFactorTriangle(f);
    // No weights yet: the simple average.
    EXPECT_DOUBLE_EQ(stat(*st, 0, 6), stat(*st, 1, 6));

    CDataObject* weights = nullptr;
    ASSERT_EQ(ex.GetUserWeightsObject(weights), 0);
    ASSERT_EQ(weights->SetAt(0, 6, 3.0), 0);
    ASSERT_EQ(weights->SetAt(1, 6, 0.0), 0);  // left out
    // Column 6 holds the factors of rows 0, 1 and 2: weights 3, 0 and 1.
    const double want = (3 * Cell(*f, 0, 6) + 0 * Cell(*f, 1, 6) + 1 * Cell(*f, 2, 6)) / 4.0;
    EXPECT_NEAR(stat(*st, 0, 6), want, 1e-12);
    EXPECT_NEAR(stat(*st, 1, 6), (Cell(*f, 0, 6) + Cell(*f, 1, 6) + Cell(*f, 2, 6)) / 3.0, 1e-12);
    CFFStat fill;
    fill.m_weighting = 3;
    std::vector<double> values;
    std::vector<bool> has;
    ASSERT_EQ(qsff::StatisticRow(ex, fill, false, values, has), 0);
    ASSERT_TRUE(has[6]);
    EXPECT_NEAR(values[6], want, 1e-12);
    std::string name;
    st->GetStatName(0, name, 0);
    EXPECT_EQ(name, "User Weighted Average");

    // Stored with the exhibit; an exhibit without weights does not carry them.
    KernelWriter w;
    ex.Write(w);
    const auto stored = ReadBack(w, raa.get());
    CExhibit& back = *stored;
    CStatistics* st2 = nullptr;
    ASSERT_EQ(back.GetStatistics(st2), 0);
    EXPECT_NEAR(stat(*st2, 0, 6), want, 1e-12);
    weights->RemoveAll();
    KernelWriter plain;
    ex.Write(plain);
    EXPECT_LT(plain.Bytes().size(), w.Bytes().size());
    EXPECT_DOUBLE_EQ(stat(*st, 0, 6), stat(*st, 1, 6));
}

// An exhibit kept by a project: one instance per layer, each bound to the
// same input array in its own layer, stored and loaded with the project.
TEST(CExhibit, LivesInAProject) {
    auto p = MakeTestProject();
    ASSERT_TRUE(p);
    CDataObject* paid = p->FindDataObject(kPaidLoss, NET);
    ASSERT_TRUE(paid);
    // 5 x 5: row r develops by 2, 1.5, 1.2, 1.1 from 100 (r + 1).
    const double dev[] = {1, 2, 3, 3.6, 3.96};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5 - r; ++c) ASSERT_EQ(paid->SetAt(r, c, 100.0 * (r + 1) * dev[c]), 0);

    CExhibit proto;
    proto.SetIDLongName("Paid Loss Development");
    proto.SetIDShortName("Paid Dev");
    proto.SetHasStatistics(true);
    proto.SetStatsDefs({{1, 1, 0, 0, 0, 0, 0, 1, 0}}, 1, 0);
    proto.SetSourceID(kPaidLoss);
    QSID id = 0;
    ASSERT_EQ(p->AddNewFormulaObject(proto, 3, 1, 5001, true, id), 0);

    auto* ex = dynamic_cast<CExhibit*>(p->FindObject(id, NET));
    ASSERT_TRUE(ex);
    CDataObject* f = nullptr;
    ASSERT_EQ(ex->GetFactorTriangle(f), 0);
    EXPECT_DOUBLE_EQ(Cell(*f, 1, 1), 1.5);
    // Factors are labelled by the project's periods, columns between two
    // ages, and read as factors.
    QSStringArray rowLabels, colLabels, paidRows, paidCols;
    std::string corner;
    ASSERT_EQ(f->GetLabels(rowLabels, colLabels, corner), 0);
    ASSERT_EQ(paid->GetLabels(paidRows, paidCols, corner), 0);
    EXPECT_EQ(rowLabels[0], paidRows[0]);
    ASSERT_GE(colLabels.size(), 2u);
    EXPECT_EQ(colLabels[0], paidCols[0] + "-" + paidCols[1]);
    short decimals = 0;
    f->GetDecimals(decimals);
    EXPECT_TRUE(f->IsFixed());
    EXPECT_EQ(decimals, 3);
    CStatistics* st = nullptr;
    ASSERT_EQ(ex->GetStatistics(st), 0);
    double v = 0;
    char flag = 0;
    st->GetAt(0, 0, 3, v, flag);
    EXPECT_NEAR(v, 1.1, 1e-12);
    // The gross instance reads the gross array (calculated: net + ceded).
    auto* gross = dynamic_cast<CExhibit*>(p->FindObject(id, GROSS));
    ASSERT_TRUE(gross);
    ASSERT_EQ(gross->GetFactorTriangle(f), 0);
    EXPECT_DOUBLE_EQ(Cell(*f, 0, 0), 2.0);

    CDataObject* sdf = nullptr;
    ex->GetSDFObject(sdf);
    sdf->SetAt(0, 2, 1.2);
    const std::vector<std::uint8_t> bytes = p->SaveProject();
    CProject loaded;
    ASSERT_EQ(loaded.LoadProject(bytes.data(), bytes.size()), 0);
    auto* ex2 = dynamic_cast<CExhibit*>(loaded.FindObject(id, NET));
    ASSERT_TRUE(ex2);
    ASSERT_EQ(ex2->GetFactorTriangle(f), 0);
    EXPECT_DOUBLE_EQ(Cell(*f, 1, 1), 1.5);
    ex2->GetSDFObject(sdf);
    EXPECT_DOUBLE_EQ(Cell(*sdf, 0, 2), 1.2);
}

// Degenerate sources give empty or blank rows, never a crash or NaN.
TEST(CExhibit, DegenerateSources) {
    struct Case {
        const char* name;
        std::uint16_t rows, cols;
        std::vector<double> cells;  // row-major; NAN = blank
    };
    const Case cases[] = {
        {"no source cells", 0, 0, {}},
        {"one cell", 1, 1, {100}},
        {"one row", 1, 3, {100, 150, 180}},
        {"zeros and negatives", 2, 3, {0, 50, 60, -20, 10, NAN}},
    };
    for (const Case& c : cases) {
        CDataObject src;
        src.SetShape(c.rows, c.cols, CDataObject::VT_TRIANGLE);
        for (size_t i = 0; i < c.cells.size(); ++i)
            if (!std::isnan(c.cells[i])) src.SetAt(static_cast<int>(i / c.cols), static_cast<int>(i % c.cols), c.cells[i]);
        CExhibit ex;
        ex.SetHasStatistics(true);
        ex.SetStatsDefs({{1, 1, 0, 0, 0, 0, 0, 1, 0}, {2, 4, 1, 1, 1, 1, 3, 2, 0}}, 0, 0);
        ex.SetSource(&src);
        CStatistics* st = nullptr;
        ASSERT_EQ(ex.GetStatistics(st), 0) << c.name;
        unsigned short cols = 0;
        st->GetMaxCols(cols);
        EXPECT_EQ(cols, c.cols) << c.name;
        for (unsigned short s = 0; s < 2; ++s)
            for (unsigned short k = 0; k < cols; ++k) {
                double v = 0;
                char flag = 0;
                ASSERT_EQ(st->GetAt(s, 0, k, v, flag), 0);
                EXPECT_TRUE(std::isfinite(v)) << c.name;
            }
        CDataObject* cum = nullptr;
        ASSERT_EQ(ex.GetCumSDFObject(cum), 0);
        std::uint16_t r = 0, k = 0;
        cum->GetMaxRowsCols(r, k);
        EXPECT_EQ(k, c.cols) << c.name;
    }
    // The one-row case: its factors stand as the volume average.
    CDataObject src;
    src.SetShape(1, 3, CDataObject::VT_TRIANGLE);
    src.SetAt(0, 0, 100);
    src.SetAt(0, 1, 150);
    src.SetAt(0, 2, 180);
    CExhibit ex;
    ex.SetHasStatistics(true);
    ex.SetStatsDefs({{1, 1, 0, 0, 0, 0, 0, 1, 0}}, 0, 0);
    ex.SetSource(&src);
    CStatistics* st = nullptr;
    ex.GetStatistics(st);
    double v = 0;
    char flag = 1;
    st->GetAt(0, 0, 1, v, flag);
    EXPECT_EQ(flag, 0);
    EXPECT_DOUBLE_EQ(v, 1.2);
    // Without a source the exhibit has nothing to show but still answers.
    CExhibit empty;
    CDataObject* f = nullptr;
    EXPECT_EQ(empty.GetFactorTriangle(f), 0);
    std::uint16_t rr = 9, cc = 9;
    f->GetMaxRowsCols(rr, cc);
    EXPECT_EQ(rr, 0);
}

TEST(CExhibit, InterpolatedSelections) {
    CExhibit ex;
    CDataObject* sdf = nullptr;
    EXPECT_FALSE(ex.HasInterpolateSDF());
    EXPECT_NE(ex.GetInterpolateSDFObject(sdf), 0);
    ASSERT_EQ(ex.SetInterpolateSDF(4), 0);
    ASSERT_EQ(ex.GetInterpolateSDFObject(sdf), 0);
    CDataObject *cum = nullptr, *ratio = nullptr;
    ASSERT_EQ(ex.GetInterpolateCumSDFObject(cum), 0);
    ASSERT_EQ(ex.GetInterpolateRatioSDFObject(ratio), 0);
    const double sel[] = {2.0, 1.5, 1.2, 1.1};
    for (int k = 0; k < 4; ++k) sdf->SetAt(0, k, sel[k]);
    EXPECT_NEAR(Cell(*cum, 0, 0), 3.96, 1e-12);  // edits recalculate the derived rows
    EXPECT_NEAR(Cell(*ratio, 0, 2), 1 / 1.32, 1e-12);

    KernelWriter w;
    ex.Write(w);
    const auto stored = ReadBack(w);
    CExhibit& back = *stored;
    ASSERT_TRUE(back.HasInterpolateSDF());
    back.GetInterpolateCumSDFObject(cum);
    EXPECT_NEAR(Cell(*cum, 0, 1), 1.98, 1e-12);

    ASSERT_EQ(ex.SetInterpolateSDF(0), 0);
    EXPECT_FALSE(ex.HasInterpolateSDF());
    EXPECT_NE(ex.GetInterpolateCumSDFObject(cum), 0);
}

TEST(CExhibit, HistoricalSelectionsKeepTheTwelveNewest) {
    auto raa = RaaObject();
    CExhibit ex;
    ex.SetSource(raa.get());
    CDataObject* sdf = nullptr;
    ex.GetSDFObject(sdf);
    EXPECT_FALSE(ex.HasSelHist());
    for (int i = 1; i <= 14; ++i) {
        sdf->SetAt(0, 0, i);
        ASSERT_EQ(ex.RollSelectionsToHistory(i == 14), 0);
    }
    std::vector<CDataObject*> hist;
    ex.GetSelHist(hist);
    ASSERT_EQ(hist.size(), 12u);
    EXPECT_DOUBLE_EQ(Cell(*hist[0], 0, 0), 14.0);  // newest first
    EXPECT_DOUBLE_EQ(Cell(*hist[11], 0, 0), 3.0);
    bool has = true;
    Cell(*sdf, 0, 0, &has);  // cleared by the last roll
    EXPECT_FALSE(has);

    KernelWriter w;
    ex.Write(w);
    const auto stored = ReadBack(w);
    CExhibit& back = *stored;
    back.GetSelHist(hist);
    ASSERT_EQ(hist.size(), 12u);
    EXPECT_DOUBLE_EQ(Cell(*hist[1], 0, 0), 13.0);
    CExhibit copy(back);
    std::vector<CDataObject*> copied;
    copy.GetSelHist(copied);
    ASSERT_EQ(copied.size(), 12u);
    EXPECT_NE(copied[0], hist[0]);
}
