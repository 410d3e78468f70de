// Flood-fill rules and the fill of one exhibit's selected factors.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "CArchive.h"
#include "CExhibit.h"
#include "CFactorSet.h"
#include "CTailFactorAnalysis.h"
#include "FloodFill.h"
#include "FloodFillOptions.h"
#include "KernelGlobals.h"
#include "MethodTemplates.h"
#include "ObjectMaps.h"
#include "ProjectFixture.h"

namespace {

constexpr QSID kExhibitId = 301010001;  // any exhibit id with layer 1

// 5 x 5 staircase: row r develops by 2, 1.5, 1.2, 1.1 from 100 (r + 1), so
// every factor statistic of column k is that factor exactly.
std::unique_ptr<CDataObject> Source() {
    auto d = std::make_unique<CDataObject>();
    d->SetShape(5, 5, CDataObject::VT_TRIANGLE, {5, 4, 3, 2, 1});
    d->SetCumulable(true);
    const double dev[] = {1, 2, 3, 3.6, 3.96};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5 - r; ++c) d->SetAt(r, c, 100.0 * (r + 1) * dev[c]);
    return d;
}

struct Fixture {
    std::unique_ptr<CDataObject> source = Source();
    CExhibit ex;
    Fixture() {
        ex.SetHasStatistics(true);
        ex.SetSource(source.get());
    }
    CDataObject& Sdf() {
        CDataObject* s = nullptr;
        ex.GetSDFObject(s);
        return *s;
    }
    // NaN for a blank cell.
    std::vector<double> Row() {
        std::vector<double> out;
        for (int k = 0; k < 5; ++k) {
            double v = 0;
            std::uint8_t f = 0;
            Sdf().GetAt(0, k, v, f);
            out.push_back((f & CDataObject::CF_VALUE) ? v : NAN);
        }
        return out;
    }
};

void ExpectRow(const std::vector<double>& got, const std::vector<double>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t k = 0; k < got.size(); ++k) {
        if (std::isnan(want[k]))
            EXPECT_TRUE(std::isnan(got[k])) << k << ": " << got[k];
        else
            EXPECT_NEAR(got[k], want[k], 1e-12) << k;
    }
}

CKDVSDFFloodFillOption StatRule(int weighting, int tailType) {
    CKDVSDFFloodFillOption rule(CKDVSDFFloodFillOption::STATISTICS);
    rule.GetStatData().m_weighting = weighting;
    rule.GetStatData().GetTailFactor().m_type = tailType;
    return rule;
}

}  // namespace

TEST(FloodFillOptions, RulesRoundTripThroughAnArchiveMap) {
    CMapLongToOb map;
    auto* stat = new CKDVSDFFloodFillOption(StatRule(1, CFFTailOption::WEIBULL));
    stat->GetStatData().m_setMin = true;
    stat->GetStatData().m_minValue = 1.001;
    stat->GetStatData().GetTailFactor().GetTailSettings().m_cutoffIsVariable = false;
    stat->GetStatData().GetTailFactor().GetTailSettings().m_cutoff = 40;
    stat->GetStatData().GetTailFactor().GetTailSettings().m_c = -0.5;
    auto* lib = new CKDVSDFFloodFillOption(CKDVSDFFloodFillOption::FACTOR_SET);
    lib->GetDFLData() = CFFDFL("/libs/auto.dfl", "Auto", "Industry");
    auto* interp = new CInterpolateSDFFloodFillOption;
    interp->GetDefault1() = CInterpolateSDFFloodFillSelection(CURVE_WEIBULL, INPUT_RATIO_TO_ULTIMATE);
    map.SetAt(kExhibitId, stat);
    map.SetAt(kExhibitId + 1, lib);
    map.SetAt(kExhibitId + 2, interp);
    map.SetAt(kExhibitId + 3, new CKDVUltFloodFillData(301003003, 4, 1, "Paid Development"));

    std::vector<std::uint8_t> bytes;
    {
        CArchive ar(bytes, CArchive::store);
        map.Serialize(ar);
        ar.Close();
    }
    CMapLongToOb back;
    {
        CArchive ar(bytes, CArchive::load);
        back.Serialize(ar);
    }
    CObject* o = nullptr;
    ASSERT_TRUE(back.Lookup(kExhibitId, o));
    EXPECT_TRUE(*dynamic_cast<CKDVSDFFloodFillOption*>(o) == *stat);
    ASSERT_TRUE(back.Lookup(kExhibitId + 1, o));
    EXPECT_EQ(dynamic_cast<CKDVSDFFloodFillOption*>(o)->GetDFLData().GetFactorSetName(), "Industry");
    ASSERT_TRUE(back.Lookup(kExhibitId + 2, o));
    EXPECT_TRUE(*dynamic_cast<CInterpolateSDFFloodFillOption*>(o) == *interp);
    ASSERT_TRUE(back.Lookup(kExhibitId + 3, o));
    EXPECT_EQ(dynamic_cast<CKDVUltFloodFillData*>(o)->GetName(), "Paid Development");
    for (auto& [k, v] : back) delete v;
    for (auto& [k, v] : map) delete v;

    // A stored value no dialog could make is refused, not carried along.
    CKDVSDFFloodFillOption bad;
    bad.m_type = 7;
    std::vector<std::uint8_t> badBytes;
    {
        CArchive ar(badBytes, CArchive::store);
        bad.Serialize(ar);
        ar.Close();
    }
    CKDVSDFFloodFillOption target;
    CArchive ar(badBytes, CArchive::load);
    EXPECT_THROW(target.Serialize(ar), CArchiveException);
    EXPECT_EQ(target.GetType(), CKDVSDFFloodFillOption::NONE);
}

TEST(FloodFillOptions, StatisticBytesMatchTheFillDialogs) {
    CFFStat s;
    s.m_avgType = 2;
    s.m_weighting = 2;
    s.m_excludeFirst = 1;
    s.m_useLast = 3;
    unsigned char b[8];
    s.ToRecord(b);
    EXPECT_EQ(std::vector<unsigned char>(b, b + 8), (std::vector<unsigned char>{1, 2, 0, 0, 1, 0, 3, 2}));
    EXPECT_TRUE(CFFStat::FromRecord(b, 8) == s);
}

TEST(FloodFillSDF, FromAStatisticWithMinimumAndTail) {
    Fixture f;
    CKDVSDFFloodFillOption rule = StatRule(1, CFFTailOption::SPECIFIED);
    rule.GetStatData().GetTailFactor().m_specified = 1.05;
    ASSERT_EQ(qsff::FillExhibitSDF(f.ex, rule, nullptr, kExhibitId, {}), 0);
    ExpectRow(f.Row(), {2, 1.5, 1.2, 1.1, 1.05});

    rule.GetStatData().m_setMin = true;
    rule.GetStatData().m_minValue = 1.3;
    ASSERT_EQ(qsff::FillExhibitSDF(f.ex, rule, nullptr, kExhibitId, {}), 0);
    ExpectRow(f.Row(), {2, 1.5, 1.3, 1.3, 1.05});
    EXPECT_FALSE(f.Sdf().GetFFMinInCell(0, 1));
    EXPECT_TRUE(f.Sdf().GetFFMinInCell(0, 2));
    EXPECT_FALSE(f.Sdf().GetFFMinInCell(0, 4));  // the tail is not a minimum

    // No tail: the last cell is left blank. The cumulative row follows.
    rule.GetStatData().m_setMin = false;
    rule.GetStatData().GetTailFactor().m_type = CFFTailOption::NONE;
    ASSERT_EQ(qsff::FillExhibitSDF(f.ex, rule, nullptr, kExhibitId, {}), 0);
    ExpectRow(f.Row(), {2, 1.5, 1.2, 1.1, NAN});
}

TEST(FloodFillSDF, FittedTails) {
    Fixture f;
    // Exponential decay of the development: every curve fits, the best by R2
    // is one of them, and the tail is a finite factor above 1.
    double tails[3];
    for (int curve = 0; curve < 3; ++curve) {
        ASSERT_EQ(qsff::FillExhibitSDF(f.ex, StatRule(0, curve), nullptr, kExhibitId, {}), 0) << curve;
        tails[curve] = f.Row()[4];
        EXPECT_TRUE(std::isfinite(tails[curve]) && tails[curve] > 1.0) << curve;
    }
    ASSERT_EQ(qsff::FillExhibitSDF(f.ex, StatRule(0, CFFTailOption::BEST_R2), nullptr, kExhibitId, {}), 0);
    const double best = f.Row()[4];
    EXPECT_TRUE(best == tails[0] || best == tails[1] || best == tails[2]);

    // The exponential curve through y - 1 = 1, .5, .2, .1 has the tail the
    // analysis gives for those points.
    CTailFactorAnalysis ta(1.0, 1.0);
    ta.SetNumPoints(4);
    const double pts[] = {2, 1.5, 1.2, 1.1};
    for (int i = 0; i < 4; ++i) ta.SetValue(1, true, i, pts[i]);
    ta.SetCutoff(1, 4.0 + 10.0);  // default variable cutoff: 10 periods beyond the last factor age
    ta.Calculate();
    EXPECT_NEAR(tails[1], ta.GetTail(1), 1e-12);

    // Factors that no curve can take (all at or below 1) leave the tail blank
    // and say so, while the factors are still filled.
    std::unique_ptr<CDataObject> flat = std::make_unique<CDataObject>();
    flat->SetShape(5, 5, CDataObject::VT_TRIANGLE, {5, 4, 3, 2, 1});
    flat->SetCumulable(true);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5 - r; ++c) flat->SetAt(r, c, 100.0);
    Fixture g;
    g.ex.SetSource(flat.get());
    EXPECT_EQ(qsff::FillExhibitSDF(g.ex, StatRule(0, CFFTailOption::BEST_R2), nullptr, kExhibitId, {}),
              qsff::kTailNotFitted);
    ExpectRow(g.Row(), {1, 1, 1, 1, NAN});
}

// A curve that cannot be fitted keeps the tail the user typed, fills the
// factors and says the fit failed; through the exhibit's own fill the
// project counts the change.
TEST(FloodFillSDF, FailedTailFitKeepsTheTypedTail) {
    struct Case {
        const char* name;
        int size;                   // rows = columns of the staircase
        std::vector<double> dev;    // cumulative development by column
        int negativeCol = -1;       // the oldest period's cell that is negative
    };
    const Case cases[] = {
        {"factors of exactly 1", 5, {1, 1, 1, 1, 1}},
        {"two by two", 2, {1, 2}},
        {"a negative cell", 3, {1, 2, 3}, 1},  // factors 0.667 and -1.5: none above 1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = MakeTestProject(static_cast<std::uint16_t>(c.size), static_cast<std::uint16_t>(c.size));
        ASSERT_TRUE(p);
        ASSERT_EQ(qsmethods::AddStandardExhibitsAndMethods(*p), 0);
        CDataObject* paid = p->FindDataObject(kPaidLoss, NET);
        for (int r = 0; r < c.size; ++r)
            for (int k = 0; k < c.size - r; ++k)
                paid->SetAt(r, k, (r == 0 && k == c.negativeCol ? -1.0 : 1.0) * 100.0 * (r + 1) * c.dev[k]);
        QSID id = qsmethods::StandardExhibitID(1);
        SetIDLayer(id, NET);
        auto* ex = dynamic_cast<CExhibit*>(p->FindObject(id, NET));
        ASSERT_TRUE(ex);
        CDataObject* sdf = nullptr;
        ASSERT_EQ(ex->GetSDFObject(sdf), 0);
        ASSERT_EQ(sdf->SetAt(0, c.size - 1, 1.05), 0);  // the user's tail

        for (int tail : {static_cast<int>(CFFTailOption::EXPONENTIAL), static_cast<int>(CFFTailOption::BEST_R2)}) {
            CMapLongToOb rules;
            auto* rule = new CKDVSDFFloodFillOption(StatRule(1, tail));
            rules.SetAt(id, rule);
            p->SetRegularSDFFloodFillOption(rules);
            delete rule;
            p->SetModifiedFlag(false);
            EXPECT_EQ(p->FloodFillSDF(nullptr, id, SDF_SELECTED), qsff::kTailNotFitted) << tail;
            EXPECT_TRUE(p->IsModified());
            double v = 0;
            std::uint8_t f = 0;
            sdf->GetAt(0, c.size - 1, v, f);
            EXPECT_TRUE(f & CDataObject::CF_VALUE) << tail;
            EXPECT_DOUBLE_EQ(v, 1.05) << tail;
            sdf->GetAt(0, 0, v, f);
            EXPECT_TRUE(f & CDataObject::CF_VALUE) << tail;  // the factors are filled
        }
    }
}

TEST(FloodFillSDF, FromAHistoricalSelection) {
    Fixture f;
    f.Sdf().SetAt(0, 0, 1.9);
    f.Sdf().SetAt(0, 1, 1.4);
    f.Sdf().SetAt(0, 2, 1.331);  // a tail placed early: the last two cells are blank
    ASSERT_EQ(f.ex.RollSelectionsToHistory(true), 0);
    ExpectRow(f.Row(), {NAN, NAN, NAN, NAN, NAN});

    CKDVSDFFloodFillOption rule(CKDVSDFFloodFillOption::HISTORICAL);
    rule.GetHistData() = CFFHistorical(1, 0);
    ASSERT_EQ(qsff::FillExhibitSDF(f.ex, rule, nullptr, kExhibitId, {}), 0);
    ExpectRow(f.Row(), {1.9, 1.4, 1.331, NAN, NAN});

    // Spreading: 1.331 over three cells is 1.1 each, their product the tail.
    rule.GetHistData() = CFFHistorical(1, 1);
    ASSERT_EQ(qsff::FillExhibitSDF(f.ex, rule, nullptr, kExhibitId, {}), 0);
    ExpectRow(f.Row(), {1.9, 1.4, 1.1, 1.1, 1.1});

    // A selection that does not exist changes nothing.
    rule.GetHistData() = CFFHistorical(2, 1);
    EXPECT_EQ(qsff::FillExhibitSDF(f.ex, rule, nullptr, kExhibitId, {}), qsff::kNoSource);
    ExpectRow(f.Row(), {1.9, 1.4, 1.1, 1.1, 1.1});
}

TEST(FloodFillSDF, FromAFactorSet) {
    Fixture f;
    CFactorSet set("Industry", "", 3, PRD_YEAR, 12);
    CDataObject row;
    row.SetShape(1, 3, CDataObject::VT_ROW);
    row.SetAt(0, 0, 1.7);
    row.SetAt(0, 2, 1.02);
    set.SetDF(kExhibitId, "Paid", row);

    CKDVSDFFloodFillOption rule(CKDVSDFFloodFillOption::FACTOR_SET);
    ASSERT_EQ(qsff::FillExhibitSDF(f.ex, rule, &set, kExhibitId, {}), 0);
    ExpectRow(f.Row(), {1.7, NAN, NAN, NAN, 1.02});  // fitted to the exhibit, tail last

    QSID other = kExhibitId;
    other += 10000;  // layer 2: no row there
    EXPECT_EQ(qsff::FillExhibitSDF(f.ex, rule, &set, other, {}), qsff::kNoSource);
    EXPECT_EQ(qsff::FillExhibitSDF(f.ex, rule, nullptr, kExhibitId, {}), qsff::kNoSource);
    ExpectRow(f.Row(), {1.7, NAN, NAN, NAN, 1.02});

    // None writes nothing.
    EXPECT_EQ(qsff::FillExhibitSDF(f.ex, CKDVSDFFloodFillOption(), nullptr, kExhibitId, {}), 0);
    ExpectRow(f.Row(), {1.7, NAN, NAN, NAN, 1.02});
}

// ---- the project's rules and fills

namespace {

struct Progress : IFloodFillProgress {
    std::vector<int> steps;
    void OnFloodFillStep(int done, int, const std::string&) override { steps.push_back(done); }
};

struct ProjectFixture5 {
    std::unique_ptr<CProject> p = MakeTestProject();
    QSID id = 0;  // the exhibit, layer-neutral
    ProjectFixture5() {
        CDataObject* paid = p->FindDataObject(kPaidLoss, NET);
        const double dev[] = {1, 2, 3, 3.6, 3.96};
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 5 - r; ++c) paid->SetAt(r, c, 100.0 * (r + 1) * dev[c]);
        // New projects carry the paid loss development exhibit.
        id = qsmethods::StandardExhibitID(1);
        EXPECT_EQ(p->SetStatsDefs({{1, 1, 0, 0, 0, 0, 0, 1, 0}}, 1, 0), 0);
    }
    QSID Net() const {
        QSID n = id;
        SetIDLayer(n, NET);
        return n;
    }
    std::vector<double> Row(CProject& proj) {
        auto* ex = dynamic_cast<CExhibit*>(proj.FindObject(id, NET));
        CDataObject* sdf = nullptr;
        ex->GetSDFObject(sdf);
        std::vector<double> out;
        for (int k = 0; k < 5; ++k) {
            double v = 0;
            std::uint8_t f = 0;
            sdf->GetAt(0, k, v, f);
            out.push_back((f & CDataObject::CF_VALUE) ? v : NAN);
        }
        return out;
    }
};

}  // namespace

TEST(ProjectFloodFill, RulesAreKeptStoredAndRun) {
    ProjectFixture5 f;
    CMapLongToOb in;
    auto* rule = new CKDVSDFFloodFillOption(StatRule(1, CFFTailOption::SPECIFIED));
    rule->GetStatData().GetTailFactor().m_specified = 1.04;
    in.SetAt(f.Net(), rule);
    f.p->SetModifiedFlag(false);
    ASSERT_EQ(f.p->SetRegularSDFFloodFillOption(in), 0);
    EXPECT_TRUE(f.p->IsModified());
    EXPECT_TRUE(f.p->IsSDFSetWithFloodFill(f.Net()));
    f.p->SetModifiedFlag(false);
    f.p->SetRegularSDFFloodFillOption(in);  // the same rules again: no change
    EXPECT_FALSE(f.p->IsModified());
    delete rule;

    // Kept with the project.
    const auto bytes = f.p->SaveProject();
    CProject loaded;
    ASSERT_EQ(loaded.LoadProject(bytes.data(), bytes.size()), 0);
    CMapLongToOb out;
    loaded.GetRegularSDFFloodFillOption(out);
    ASSERT_EQ(out.GetCount(), 1);
    CObject* o = nullptr;
    ASSERT_TRUE(out.Lookup(f.Net(), o));
    EXPECT_DOUBLE_EQ(dynamic_cast<CKDVSDFFloodFillOption*>(o)->GetStatData().GetTailFactor().m_specified, 1.04);
    for (auto& [k, v] : out) delete v;

    // Each exhibit filled gives a waiting interface a pulse.
    static int pulses;
    pulses = 0;
    SetKernelPulse([] { ++pulses; });
    Progress progress;
    loaded.FloodFillSDF(&progress, SDF_SELECTED);
    SetKernelPulse(nullptr);
    ExpectRow(f.Row(loaded), {2, 1.5, 1.2, 1.1, 1.04});
    EXPECT_EQ(progress.steps, (std::vector<int>{0, 1}));
    EXPECT_EQ(pulses, 1);
    loaded.FloodFillSDF(&progress, SDF_SELECTED);
    EXPECT_EQ(pulses, 1) << "no pulse once it is taken away";
}

TEST(ProjectFloodFill, FillSelectedsFromStatisticsAndFactorSets) {
    ProjectFixture5 f;
    auto* ex = dynamic_cast<CExhibit*>(f.p->FindObject(f.id, NET));
    CDataObject* sdf = nullptr;
    ex->GetSDFObject(sdf);
    sdf->SetAt(0, 4, 1.07);  // the user's tail

    // Targets name exhibits, or the table an exhibit is made from. The tail stays.
    QSID table = kPaidLoss;
    SetIDLayer(table, NET);
    const QSIDArray byTable{table};
    ASSERT_EQ(f.p->FillProjFromStat({1, 1, 0, 0, 0, 0, 0, 0}, &byTable), 0);
    ExpectRow(f.Row(*f.p), {2, 1.5, 1.2, 1.1, 1.07});
    const QSIDArray targets{f.Net()};
    ASSERT_EQ(f.p->FillProjFromStat({1, 1, 0, 0, 0, 0, 0, 0}, &targets), 0);
    ExpectRow(f.Row(*f.p), {2, 1.5, 1.2, 1.1, 1.07});
    EXPECT_NE(f.p->FillProjFromStat({1, 1, 0}, &targets), 0);

    // Selecteds into a set and back.
    CFactorSet set("Mine", "", 5, PRD_YEAR, 12);
    ASSERT_EQ(f.p->FillFSFromProj(set, &targets), 0);
    QSIDArray ids;
    QSStringArray names;
    set.GetDFList(NET, ids, names);
    ASSERT_EQ(ids.size(), 1u);
    EXPECT_EQ(names[0], "Paid Loss Development");
    sdf->RemoveAll();
    ASSERT_EQ(f.p->FillProjFromFS(set, &targets), 0);
    ExpectRow(f.Row(*f.p), {2, 1.5, 1.2, 1.1, 1.07});

    // A set of another structure is refused and changes nothing.
    CFactorSet quarterly("Q", "", 5, PRD_QUARTER, 3);
    EXPECT_NE(f.p->FillFSFromProj(quarterly, &targets), 0);
    EXPECT_EQ(quarterly.GetDFCount(), 0u);
    EXPECT_NE(f.p->FillProjFromFS(quarterly, &targets), 0);
}
