#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "CArchive.h"
#include "CException.h"
#include "CExhibit.h"
#include "CKDVUltWeightData.h"
#include "CMethod.h"
#include "CProject.h"
#include "FloodFill.h"
#include "MethodTemplates.h"
#include "ObjectMaps.h"
#include "ProjectFixture.h"
#include "ProjectSummaryReports.h"
#include "ReservingMath.h"
#include "SummaryReports.h"
#include "TestEnvironment.h"

namespace {

constexpr QSID kLossReport = 301003003;
constexpr std::uint8_t kNA = CDataObject::CF_BLANK | CDataObject::CF_NOTAVAIL;

// Value of a column cell, NaN when it holds none (so a blank never passes as 0).
double At(const CDataObject& d, int r) {
    double v = 0;
    std::uint8_t f = 0;
    d.GetAt(r, 0, v, f);
    return (f & CDataObject::CF_VALUE) ? v : NAN;
}
std::uint8_t FlagsAt(const CDataObject& d, int r) {
    double v = 0;
    std::uint8_t f = 0;
    d.GetAt(r, 0, v, f);
    return f;
}

// RAA (tests/data/triangles/raa.csv) as Net paid and incurred loss, 40,000 of
// premium a year, the standard exhibits and methods with volume-weighted
// selections and no tail, expected loss ratio 70 %, and the estimate-kind
// summary reports.
struct RaaSummary {
    std::unique_ptr<CProject> p = MakeTestProject(10, 10);
    qs::calc::Triangle raa;
    RaaSummary() {
        std::string err;
        EXPECT_TRUE(qs::calc::ParseLongCsv(qs::test::ReadFile(qs::test::DataDir() + "/triangles/raa.csv"), "values",
                                           raa, &err))
            << err;
        for (QSID id : {QSID(101000001), QSID(101000011)}) {
            CDataObject* d = p->FindDataObject(id, NET);
            for (int r = 0; r < 10; ++r)
                for (int c = 0; c < 10 - r; ++c) d->SetAt(r, c, raa.At(r, c));
        }
        for (int r = 0; r < 10; ++r) p->FindDataObject(101000041, NET)->SetAt(r, 0, 40000);
        EXPECT_EQ(qsmethods::AddStandardExhibitsAndMethods(*p), 0);
        std::vector<double> ldf(9);
        std::vector<unsigned char> ok(9);
        qs::calc::VolumeWeightedFactors(raa.Ref(), ldf.data(), ok.data());
        for (int a : {1, 11}) {
            auto* ex = dynamic_cast<CExhibit*>(p->FindObject(qsmethods::StandardExhibitID(a), NET));
            CDataObject* sdf = nullptr;
            EXPECT_EQ(ex->GetSDFObject(sdf), 0);
            for (int k = 0; k < 9; ++k) sdf->SetAt(0, k, ldf[static_cast<std::size_t>(k)]);
            sdf->SetAt(0, 9, 1.0);
        }
        SetElr(0.7);
        EXPECT_EQ(qssummary::AddStandardSummaryReports(*p), 0);
    }
    CMethod* Method(int index) const {
        return dynamic_cast<CMethod*>(p->FindObject(qsmethods::StandardMethodID(index), NET));
    }
    QSID Ult(int index) const { return GetLayerNeutralID(Method(index)->GetUltID()); }
    void SetElr(double elr) {
        for (int r = 0; r < 10; ++r) Method(qsmethods::kExpectedLossRatio)->GetDataObject(2)->SetAt(r, 0, elr);
    }
    CSummaryReport* Report(unsigned short layer = NET) const {
        return dynamic_cast<CSummaryReport*>(p->FindObject(kLossReport, layer));
    }
    CDataObject* Column(int role) const {
        CDataObject* d = nullptr;
        QSID id = kLossReport;
        SetIDLayer(id, NET);
        return p->UltimateMapLookup(id, role, d) == 0 ? d : nullptr;
    }
    // Paid development and expected loss ratio, weighted 3:1 before the
    // latest two years, 1:1 in 1989 and 0:4 in 1990.
    CKDVUltWeightDataInfo Weights() const {
        CKDVUltWeightDataInfo w(2);
        EXPECT_TRUE(w.SetColData(CKDVUltWeightData(Ult(qsmethods::kPaidDevelopment), 3, {1, 0})));
        EXPECT_TRUE(w.SetColData(CKDVUltWeightData(Ult(qsmethods::kExpectedLossRatio), 1, {1, 4})));
        return w;
    }
    QSSTATUS SetOptions(int weighted = 1) const {
        return p->SetSummaryRptOptions(kLossReport, NET,
                                       {Ult(qsmethods::kPaidDevelopment), Ult(qsmethods::kExpectedLossRatio)}, 1, 1,
                                       weighted, 1, Weights());
    }
};

struct Progress : IFloodFillProgress {
    std::vector<std::string> steps;
    int cancelAfter = -1;
    void OnFloodFillStep(int, int, const std::string& target) override { steps.push_back(target); }
    bool IsFloodFillCancelled() override { return cancelAfter >= 0 && static_cast<int>(steps.size()) >= cancelAfter; }
};

}  // namespace

TEST(UltWeights, WeightPerExposureRow) {
    CKDVUltWeightDataInfo info(2);
    ASSERT_TRUE(info.SetColData(CKDVUltWeightData(201012501, 1.0, {2.0, 3.0})));
    ASSERT_TRUE(info.SetColData(CKDVUltWeightData(101002001, 5.0, {6.0})));  // one latest weight short
    struct Case { QSID id; int row, rows; double want; };
    const Case cases[] = {
        {201002501, 0, 5, 1.0}, {201002501, 2, 5, 1.0}, {201032501, 3, 5, 2.0}, {201002501, 4, 5, 3.0},
        {101002001, 3, 5, 6.0}, {101002001, 4, 5, 5.0},   // missing latest weight: the all-other weight
        {201002501, 0, 1, 3.0},                           // fewer rows than latest periods: the newest weight
        {101002002, 0, 5, 0.0},                           // no entry
        {201002501, 5, 5, 0.0}, {201002501, -1, 5, 0.0},  // outside the report
    };
    for (const Case& c : cases) EXPECT_EQ(info.WeightAt(c.id, c.row, c.rows), c.want) << c.id << " " << c.row;

    CKDVUltWeightData d;
    EXPECT_TRUE(info.GetColData(201052501, d));  // any layer
    EXPECT_EQ(d.GetLatestData(1), 3.0);
    EXPECT_EQ(d.GetLatestData(2), 0.0);
    EXPECT_FALSE(info.GetColData(7, d));
    EXPECT_FALSE(info.SetColData(CKDVUltWeightData(5, -1.0)));
    EXPECT_FALSE(info.SetColData(CKDVUltWeightData(5, 1.0, {NAN})));
    EXPECT_FALSE(info.SetColData(CKDVUltWeightData(0, 1.0)));
    EXPECT_EQ(info.GetCount(), 2);

    // Round trip through an archive; a negative weight in the bytes is refused.
    std::vector<std::uint8_t> bytes;
    {
        CArchive ar(bytes, CArchive::store);
        info.Serialize(ar);
        ar.Close();
    }
    CKDVUltWeightDataInfo back;
    {
        std::vector<std::uint8_t> copy = bytes;
        CArchive ar(copy, CArchive::load);
        back.Serialize(ar);
    }
    EXPECT_EQ(back, info);
    const double bad = -2.0;
    std::memcpy(bytes.data() + 12 + 4, &bad, 8);  // the first entry's all-other weight
    CArchive ar(bytes, CArchive::load);
    EXPECT_THROW(back.Serialize(ar), CArchiveException);
}

TEST(SummaryReport, AveragesGuardBlanksNotAvailableAndZeroWeights) {
    const std::uint8_t V = CDataObject::CF_VALUE, B = CDataObject::CF_BLANK;
    // rows: both values / one blank / both blank / one not available / zero weights
    const std::vector<std::vector<double>> x = {{10, 10, 0, 10, 10}, {20, 0, 0, 20, 20}};
    const std::vector<std::vector<std::uint8_t>> f = {{V, V, B, V, V}, {V, B, B, kNA, V}};
    const std::vector<std::vector<double>> w = {{1, 1, 1, 0, 0}, {3, 3, 3, 2, 0}};
    std::vector<double> out;
    std::vector<std::uint8_t> of;
    qssummary::StraightAverage(x, f, out, of);
    EXPECT_EQ(out[0], 15.0);
    EXPECT_EQ(out[1], 10.0);
    EXPECT_EQ(of[2], B);
    EXPECT_EQ(of[3], kNA);
    qssummary::WeightedAverage(x, f, w, out, of);
    EXPECT_EQ(out[0], 17.5);
    EXPECT_EQ(out[1], 10.0);  // the blank estimate leaves the weights
    EXPECT_EQ(of[2], B);
    EXPECT_EQ(of[3], kNA);  // a weighted estimate that is not available
    EXPECT_EQ(of[4], B);    // total weight 0: no value, never NaN
    qssummary::StraightAverage({}, {}, out, of);
    EXPECT_TRUE(out.empty());
}

TEST(SummaryReport, RaaEstimatesAveragesAndWeights) {
    RaaSummary s;
    ASSERT_TRUE(s.Report());
    EXPECT_TRUE(s.p->IsIDSummaryReport(kLossReport));
    EXPECT_FALSE(s.p->IsIDSummaryReport(qsmethods::StandardMethodID(1)));

    QSIDArray selected, available;
    int straight = 0, sel = 0, weighted = 0, display = 0;
    CKDVUltWeightDataInfo w;
    std::vector<bool> flags;
    ASSERT_EQ(s.p->GetSummaryRptOptions(kLossReport, NET, selected, available, straight, sel, weighted, w, display,
                                        &flags), 0);
    EXPECT_TRUE(selected.empty());
    EXPECT_EQ((std::vector<int>{straight, sel, weighted, display}), (std::vector<int>{1, 1, 0, 0}));
    ASSERT_GE(available.size(), 8u);
    EXPECT_EQ(available[0], s.Ult(qsmethods::kPaidDevelopment));
    EXPECT_EQ(flags.size(), available.size());
    EXPECT_TRUE(flags[0]);
    for (QSID id : available) EXPECT_FALSE(id == 101000023) << "a selected ultimate is no estimate";

    ASSERT_EQ(s.SetOptions(), 0);
    CSummaryReport* r = s.Report();
    ASSERT_EQ(r->GetNumDataObjects(), 5);  // two estimates, straight, weighted, selected
    EXPECT_EQ(r->GetColName(0), "Paid Loss Development Method");
    CDataObject* pd = r->GetDataObject(1);
    CDataObject* straightCol = s.Column(CSummaryReport::CR_STRAIGHT);
    CDataObject* weightedCol = s.Column(CSummaryReport::CR_WEIGHTED);
    CDataObject* selectedCol = s.Column(CSummaryReport::CR_SELECTED);
    ASSERT_TRUE(straightCol && weightedCol && selectedCol);
    EXPECT_TRUE(pd->IsReadOnly());
    EXPECT_TRUE(straightCol->IsReadOnly());
    EXPECT_FALSE(selectedCol->IsReadOnly());

    // 1981 is fully developed: 18,834; the expected loss ratio gives 28,000.
    EXPECT_NEAR(At(*pd, 0), 18834.0, 1e-9);
    EXPECT_NEAR(At(*straightCol, 0), (18834.0 + 28000.0) / 2, 1e-9);
    EXPECT_NEAR(At(*weightedCol, 0), (3 * 18834.0 + 28000.0) / 4, 1e-9);  // 21,125.5
    EXPECT_NEAR(At(*weightedCol, 8), (At(*pd, 8) + 28000.0) / 2, 1e-9);
    EXPECT_NEAR(At(*weightedCol, 9), 28000.0, 1e-9);  // 0:4
    std::vector<const double*> totals;
    r->GetTotals(totals);
    ASSERT_TRUE(totals[0] && totals[2]);
    EXPECT_NEAR(*totals[0], 213122.228261, 5e-7);  // the published chain-ladder total
    EXPECT_NEAR(*totals[2], (213122.228261 + 280000.0) / 2, 5e-7);

    // A change of a source flows into the report.
    s.SetElr(0.5);
    EXPECT_NEAR(At(*straightCol, 0), (18834.0 + 20000.0) / 2, 1e-9);

    // The weighted forms of the look-up.
    CDataObject* t = nullptr;
    CKDVUltWeightData wd;
    ASSERT_EQ(s.p->UltimateMapLookup(kLossReport, s.Ult(qsmethods::kExpectedLossRatio), t, wd), 0);
    EXPECT_EQ(t, r->GetDataObject(2));
    EXPECT_EQ(wd.GetLatestData(1), 4.0);
    EXPECT_NE(s.p->UltimateMapLookup(kLossReport, s.Ult(qsmethods::kCapeCod), t, wd), 0);
    EXPECT_NE(s.p->UltimateMapLookup(qsmethods::StandardMethodID(1), CSummaryReport::CR_STRAIGHT, t), 0);

    // Without the weighted column the look-up fails; the entered selections survive a new layout.
    ASSERT_EQ(selectedCol->SetAt(3, 0, 12345.0), 0);
    ASSERT_EQ(selectedCol->SetNoteInCell(3, 0, "judgement"), 0);
    ASSERT_EQ(s.SetOptions(0), 0);
    EXPECT_NE(s.p->UltimateMapLookup(kLossReport, CSummaryReport::CR_WEIGHTED, t), 0);
    selectedCol = s.Column(CSummaryReport::CR_SELECTED);
    EXPECT_EQ(At(*selectedCol, 3), 12345.0);
    EXPECT_TRUE(selectedCol->DoesCellHaveNote(3, 0));

    // The selected ultimates and the project's Selected Ultimate Loss are one set of figures.
    CDataObject* array = s.p->FindDataObject(101000023, NET);
    EXPECT_EQ(At(*array, 3), 12345.0);
    ASSERT_EQ(array->SetAt(4, 0, 777.0), 0);
    EXPECT_EQ(At(*selectedCol, 4), 777.0);
    ASSERT_EQ(selectedCol->SetCellBlank(3, 0), 0);
    EXPECT_TRUE(std::isnan(At(*array, 3)));
    EXPECT_EQ(At(*array, 4), 777.0);
}

TEST(SummaryReport, RefusalsAndMissingEstimates) {
    RaaSummary s;
    const QSID pd = s.Ult(qsmethods::kPaidDevelopment), elr = s.Ult(qsmethods::kExpectedLossRatio);
    const CKDVUltWeightDataInfo none;
    struct Case { QSID report; unsigned short layer; QSIDArray sel; QSSTATUS want; };
    const Case cases[] = {
        {qsmethods::StandardMethodID(1), NET, {pd}, qsk::kUnknownId},  // a method, not a summary report
        {kLossReport, 9, {pd}, qsk::kBadLayer},
        {kLossReport, NET, {}, qsk::kFail},
        {kLossReport, NET, {pd, pd}, qsk::kFail},
        {kLossReport, NET, {pd, 101000023}, qsk::kUnknownId},  // not available
    };
    for (const Case& c : cases)
        EXPECT_EQ(s.p->SetSummaryRptOptions(c.report, c.layer, c.sel, 1, 1, 0, 0, none), c.want) << c.sel.size();
    // Weights of a table the report does not gather are dropped.
    CKDVUltWeightDataInfo extra(1);
    extra.SetColData(CKDVUltWeightData(s.Ult(qsmethods::kCapeCod), 1.0));
    EXPECT_EQ(s.p->SetSummaryRptOptions(kLossReport, NET, {pd, elr}, 1, 1, 1, 0, extra), 0);
    EXPECT_EQ(s.Report()->GetNumDataObjects(), 5);
    EXPECT_EQ(s.p->FindSummaryRptOptions(301013003)->weights.GetCount(), 0);

    // No weight at all: the weighted average has no value, not a NaN or 0.
    ASSERT_EQ(s.p->SetSummaryRptOptions(kLossReport, NET, {pd, elr}, 1, 1, 1, 0, none), 0);
    EXPECT_EQ(FlagsAt(*s.Column(CSummaryReport::CR_WEIGHTED), 0), CDataObject::CF_BLANK);

    // An estimate column with no values (written premiums left empty) leaves the straight average alone.
    ASSERT_EQ(s.p->SetSummaryRptOptions(kLossReport, NET, {pd, 101000040}, 1, 1, 0, 0, none), 0);
    EXPECT_NEAR(At(*s.Column(CSummaryReport::CR_STRAIGHT), 0), 18834.0, 1e-9);

    // A method that lost its ultimate: its column is not available and leaves the averages.
    ASSERT_EQ(s.p->SetSummaryRptOptions(kLossReport, NET, {pd, elr}, 1, 1, 0, 0, none), 0);
    ASSERT_EQ(s.Method(qsmethods::kExpectedLossRatio)->SetUltPos(-1), 0);
    s.Report()->Recalculate();
    EXPECT_EQ(FlagsAt(*s.Report()->GetDataObject(2), 0), kNA);
    EXPECT_NEAR(At(*s.Column(CSummaryReport::CR_STRAIGHT), 0), 18834.0, 1e-9);
}

TEST(SummaryReport, OptionsAndUltimateFillStoredWithTheProject) {
    RaaSummary s;
    ASSERT_EQ(s.SetOptions(), 0);
    ASSERT_EQ(s.Column(CSummaryReport::CR_SELECTED)->SetAt(2, 0, 31000.0), 0);
    ASSERT_EQ(s.Column(CSummaryReport::CR_SELECTED)->SetCellHasFFMin(2, 0), 0);
    unsigned short layer = NET;
    ASSERT_EQ(s.p->SetUltFloodFillOption(kLossReport, layer,
                                         CKDVUltFloodFillData(kLossReport, CSummaryReport::CR_WEIGHTED, NET, "Weighted Average"),
                                         101000011, 1),
              1);
    const std::vector<std::uint8_t> bytes = s.p->SaveProject();
    CProject q;
    ASSERT_EQ(q.LoadProject(bytes.data(), bytes.size()), CProject::LS_OK);
    QSIDArray selected, available;
    int straight = 0, sel = 0, weighted = 0, display = 0;
    CKDVUltWeightDataInfo w;
    ASSERT_EQ(q.GetSummaryRptOptions(kLossReport, NET, selected, available, straight, sel, weighted, w, display), 0);
    EXPECT_EQ(selected, (QSIDArray{s.Ult(qsmethods::kPaidDevelopment), s.Ult(qsmethods::kExpectedLossRatio)}));
    EXPECT_EQ((std::vector<int>{straight, sel, weighted, display}), (std::vector<int>{1, 1, 1, 1}));
    CKDVUltWeightDataInfo want = s.Weights();
    want.SetLayer(NET);
    EXPECT_EQ(w, want);
    auto* r = dynamic_cast<CSummaryReport*>(q.FindObject(kLossReport, NET));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->GetColRole(3), CSummaryReport::CR_WEIGHTED);
    EXPECT_NEAR(At(*r->GetDataObject(4), 0), (3 * 18834.0 + 28000.0) / 4, 1e-9);
    EXPECT_EQ(At(*r->GetDataObject(5), 2), 31000.0);  // the entered selection and its mark
    EXPECT_TRUE(r->GetDataObject(5)->GetFFMinInCell(2, 0));
    EXPECT_FALSE(r->GetDataObject(5)->IsReadOnly());
    EXPECT_TRUE(r->GetDataObject(4)->IsReadOnly());
    EXPECT_TRUE(q.IsUltimateSetWithFloodFill(301013003));

    // Generation 4 has neither: the report loads without options.
    const std::vector<std::uint8_t> old = s.p->SaveProject(4);
    CProject o;
    ASSERT_EQ(o.LoadProject(old.data(), old.size()), CProject::LS_OLDER);
    ASSERT_EQ(o.GetSummaryRptOptions(kLossReport, NET, selected, available, straight, sel, weighted, w, display), 0);
    EXPECT_TRUE(selected.empty());
    EXPECT_FALSE(o.IsUltimateSetWithFloodFill(301013003));

    // Damaged state bytes are refused, not half taken.
    std::map<QSID, QSSummaryRptOptions> reports;
    std::map<QSID, QSUltFloodFillSetting> fills;
    std::vector<std::uint8_t> state = qssummary::SaveState({{301013003, QSSummaryRptOptions{}}}, {});
    EXPECT_TRUE(qssummary::LoadState(state, reports, fills));
    state.pop_back();
    EXPECT_FALSE(qssummary::LoadState(state, reports, fills));
    EXPECT_TRUE(reports.empty());
}

TEST(UltimateFloodFill, CandidatesMinimumAndMarks) {
    RaaSummary s;
    ASSERT_EQ(s.SetOptions(), 0);
    s.SetElr(0.4);  // 16,000 a year: below the reported losses of the older years

    unsigned short layer = 0;
    std::vector<CKDVUltFloodFillData*> cands;
    CKDVUltFloodFillData chosen;
    QSID minimum = 0;
    int check = 5;
    ASSERT_EQ(s.p->GetUltFloodFillOption(kLossReport, layer, cands, chosen, minimum, check), 1);
    EXPECT_EQ(layer, NET);
    EXPECT_EQ(minimum, 101000011);  // incurred loss
    EXPECT_EQ(check, 0);
    std::vector<std::string> names;
    for (CKDVUltFloodFillData* c : cands) names.push_back(c->GetName());
    EXPECT_EQ(names, (std::vector<std::string>{"(None)", "Paid Loss Development Method", "Expected Loss Ratio Method",
                                               "Straight Average", "Weighted Average"}));
    EXPECT_TRUE(cands[0]->IsEmpty());
    EXPECT_TRUE(chosen == *cands[0]);
    const CKDVUltFloodFillData elrChoice = *cands[2];
    for (CKDVUltFloodFillData* c : cands) delete c;
    cands.clear();
    EXPECT_EQ(s.p->GetUltFloodFillOption(101000001, layer, cands, chosen, minimum, check), 0);  // no kind
    EXPECT_FALSE(s.p->IsUltimateSetWithFloodFill(301013003));

    ASSERT_EQ(s.p->SetUltFloodFillOption(kLossReport, layer, elrChoice, 101000011, 1), 1);
    EXPECT_TRUE(s.p->IsUltimateSetWithFloodFill(301013003));
    EXPECT_FALSE(s.p->IsUltimateSetWithFloodFill(301023003));  // another layer
    Progress progress;
    s.p->FloodFillUltimate(&progress);
    s.p->FloodFillUltimate(&progress);  // the command runs two passes; the second changes nothing
    ASSERT_EQ(progress.steps.size(), 4u);
    EXPECT_EQ(progress.steps[0], "Ultimate Loss Estimates");

    const CDataObject* selected = s.Column(CSummaryReport::CR_SELECTED);
    const CDataObject* array = s.p->FindDataObject(101000023, NET);
    for (int r = 0; r < 10; ++r) {
        const double latest = s.raa.At(r, 9 - r);
        EXPECT_EQ(At(*selected, r), std::max(16000.0, latest)) << r;
        EXPECT_EQ(selected->GetFFMinInCell(r, 0), latest > 16000.0) << r;
        EXPECT_EQ(At(*array, r), At(*selected, r)) << r;
    }
    EXPECT_EQ(At(*selected, 0), 18834.0);
    EXPECT_EQ(At(*selected, 9), 16000.0);
    // The calculated Gross layer follows its sources and takes no fill.
    EXPECT_FALSE(s.p->FindDataObject(101000023, GROSS)->GetFFMinInCell(0, 0));

    // Without the minimum the estimate goes in as it is; a cancelled fill writes nothing.
    ASSERT_EQ(s.p->SetUltFloodFillOption(kLossReport, layer, elrChoice, 101000011, 0), 1);
    Progress cancel;
    cancel.cancelAfter = 0;
    s.p->FloodFillUltimate(&cancel);
    EXPECT_EQ(At(*selected, 0), 18834.0);
    s.p->FloodFillUltimate(nullptr);
    EXPECT_EQ(At(*selected, 0), 16000.0);
    EXPECT_FALSE(selected->GetFFMinInCell(0, 0));
}

TEST(InterpolatedFloodFill, CurvesThroughTheAgeToUltimateFactors) {
    RaaSummary s;
    const QSID exId = qsmethods::StandardExhibitID(1);
    auto* ex = dynamic_cast<CExhibit*>(s.p->FindObject(exId, NET));
    CDataObject* cum = nullptr;
    ASSERT_EQ(ex->GetCumSDFObject(cum), 0);
    QSID exKey = exId;
    SetIDLayer(exKey, NET);
    CInterpolateSDFFloodFillOption rule;
    rule.GetDefault1() = CInterpolateSDFFloodFillSelection(CURVE_LINEAR, INPUT_CUMULATIVE);
    CMapLongToOb map;
    map.SetAt(exKey, new CInterpolateSDFFloodFillOption(rule));
    ASSERT_EQ(s.p->SetInterpolateSDFFloodFillOption(map), 0);
    for (auto& [k, o] : map) delete o;

    // No interpolated selections yet, then no wanted ages: nothing is written.
    EXPECT_EQ(s.p->FloodFillSDF(nullptr, exKey, SDF_INTERPOLATED), qsff::kNoSource);
    ASSERT_EQ(ex->SetInterpolateSDF(2), 0);
    EXPECT_EQ(s.p->FloodFillSDF(nullptr, exKey, SDF_INTERPOLATED), qsff::kNoSource);

    // The interpolated ages: method variable 804, here 18 and 30 months.
    const QSID agesId = 101000804;
    CDataObject* ages = s.p->FindDataObject(agesId, NET);
    ASSERT_TRUE(ages);
    ages->SetAt(0, 0, 18.0);
    ages->SetAt(0, 1, 30.0);
    ASSERT_EQ(s.p->FloodFillSDF(nullptr, exKey, SDF_INTERPOLATED), 0);
    CDataObject* isdf = nullptr;
    ASSERT_EQ(ex->GetInterpolateSDFObject(isdf), 0);
    // Linear in the age-to-ultimate factors: C(18) = (C(12) + C(24)) / 2, C(30) = (C(24) + C(36)) / 2.
    double c12 = 0, c24 = 0, c36 = 0;
    std::uint8_t f = 0;
    cum->GetAt(0, 0, c12, f);
    cum->GetAt(0, 1, c24, f);
    cum->GetAt(0, 2, c36, f);
    const double c18 = (c12 + c24) / 2, c30 = (c24 + c36) / 2;
    double v = 0;
    isdf->GetAt(0, 0, v, f);
    EXPECT_NEAR(v, c18 / c30, 1e-12);
    isdf->GetAt(0, 1, v, f);
    EXPECT_NEAR(v, c30, 1e-12);  // the last cell: the tail from 30 months

    // At the exhibit's own ages every curve gives the selections back (the row is reshaped to 10 ages).
    for (int k = 0; k < 10; ++k) ages->SetAt(0, k, 12.0 * (k + 1));
    CDataObject* sdf = nullptr;
    ex->GetSDFObject(sdf);
    for (ENUM_CURVE_TYPE curve : {CURVE_LINEAR, CURVE_EXPONENTIAL, CURVE_WEIBULL, CURVE_INVERSE_POWER}) {
        rule.GetDefault1() = CInterpolateSDFFloodFillSelection(curve, INPUT_RATIO_TO_ULTIMATE);
        ASSERT_EQ(qsff::FillExhibitInterpolatedSDF(*ex, rule, {12, 24, 36, 48, 60, 72, 84, 96, 108, 120},
                                                   qsff::InterpolatedAges(*s.p, NET)),
                  0);
        ASSERT_EQ(ex->GetInterpolateSDFObject(isdf), 0);
        for (int k = 0; k < 10; ++k) {
            double a = 0, b = 0;
            sdf->GetAt(0, k, a, f);
            isdf->GetAt(0, k, b, f);
            EXPECT_NEAR(b, a, 1e-9) << curve << " " << k;
        }
    }
    // Ages that do not rise are refused.
    EXPECT_EQ(qsff::FillExhibitInterpolatedSDF(*ex, rule, {12, 24}, {24, 12}), qsff::kNoSource);
    // A rule of None writes nothing.
    rule.SetType(CInterpolateSDFFloodFillOption::NONE);
    EXPECT_EQ(qsff::FillExhibitInterpolatedSDF(*ex, rule, {}, {}), 0);
}

TEST(MethodVariableFloodFill, BlanksTakeTheValueBeforeThem) {
    RaaSummary s;
    CMethod* elr = s.Method(qsmethods::kExpectedLossRatio);
    CDataObject* ratio = elr->GetDataObject(2);
    for (int r = 0; r < 10; ++r) ratio->SetCellBlank(r, 0);
    ratio->SetAt(2, 0, 0.65);
    ratio->SetAt(6, 0, 0.7);
    CDataObject proto;
    proto.SetIDLongName("Trend Rate");
    proto.SetShape(10, 1, CDataObject::VT_COLUMN);
    QSID trend = 104;
    ASSERT_EQ(s.p->AddNewObject(proto, trend, 0), 0);
    s.p->FindDataObject(trend, NET)->SetAt(9, 0, 0.03);
    Progress progress;
    s.p->FloodFillMethodVariable(&progress);
    const double want[] = {0.65, 0.65, 0.65, 0.65, 0.65, 0.65, 0.7, 0.7, 0.7, 0.7};
    for (int r = 0; r < 10; ++r) {
        EXPECT_EQ(At(*ratio, r), want[r]) << r;
        EXPECT_EQ(At(*s.p->FindDataObject(trend, NET), r), 0.03) << r;
    }
    // The method follows: 40,000 x 65 % in 1982.
    EXPECT_NEAR(At(*elr->GetDataObject(elr->GetUltPos() + 1), 1), 26000.0, 1e-9);
    EXPECT_FALSE(progress.steps.empty());
}

TEST(SelectedFloodFill, OneExhibitByItsRule) {
    RaaSummary s;
    QSID exKey = qsmethods::StandardExhibitID(1);
    SetIDLayer(exKey, NET);
    EXPECT_EQ(s.p->FloodFillSDF(nullptr, exKey, SDF_SELECTED), qsk::kUnknownId);  // no rule
    auto* ex = dynamic_cast<CExhibit*>(s.p->FindObject(exKey, NET));
    CDataObject* sdf = nullptr;
    ASSERT_EQ(ex->GetSDFObject(sdf), 0);
    std::vector<double> ldf(9);
    std::vector<unsigned char> ok(9);
    qs::calc::VolumeWeightedFactors(s.raa.Ref(), ldf.data(), ok.data());
    for (int k = 0; k < 10; ++k) sdf->SetCellBlank(0, k);
    CKDVSDFFloodFillOption rule(CKDVSDFFloodFillOption::STATISTICS);  // volume-weighted average, no tail
    rule.GetStatData().m_weighting = 1;
    CMapLongToOb map;
    map.SetAt(exKey, new CKDVSDFFloodFillOption(rule));
    ASSERT_EQ(s.p->SetRegularSDFFloodFillOption(map), 0);
    for (auto& [k, o] : map) delete o;
    Progress progress;
    ASSERT_EQ(s.p->FloodFillSDF(&progress, exKey, SDF_SELECTED), 0);
    for (int k = 0; k < 9; ++k) {
        double v = 0;
        std::uint8_t f = 0;
        sdf->GetAt(0, k, v, f);
        EXPECT_NEAR(v, ldf[static_cast<std::size_t>(k)], 1e-12) << k;
    }
    EXPECT_EQ(progress.steps.front(), ex->GetIDLongName());
}
