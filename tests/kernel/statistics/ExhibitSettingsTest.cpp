#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

#include "CExhibit.h"
#include "CFactorSet.h"
#include "CMethod.h"
#include "CProject.h"
#include "FormulaBinding.h"
#include "KernelIds.h"
#include "MethodTemplates.h"
#include "ProjectFixture.h"

namespace {

CExhibit* PaidExhibit(CProject& p, unsigned short layer = NET) {
    return dynamic_cast<CExhibit*>(p.FindObject(qsmethods::StandardExhibitID(1), layer));
}

void FillPaid(CProject& p) {
    CDataObject* paid = p.FindDataObject(kPaidLoss, NET);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5 - r; ++c) paid->SetAt(r, c, 100.0 * (r + 1) * (c + 2));
}

}  // namespace

// A new project carries the standard exhibits and methods, every exhibit
// with the project's statistics.
TEST(ExhibitSettings, NewProjectsCarryTheStandardExhibitsAndMethods) {
    auto p = MakeTestProject();
    ASSERT_TRUE(p);
    for (int a : {1, 2, 10, 11, 16, 19})
        for (unsigned short l = 1; l <= 5; ++l) {
            auto* ex = dynamic_cast<CExhibit*>(p->FindObject(qsmethods::StandardExhibitID(a), l));
            ASSERT_TRUE(ex) << a << "/" << l;
            EXPECT_TRUE(ex->HasStatistics());
        }
    for (int m : {1, 2, 3, 4, 5, 6, 7, 45, 50})
        EXPECT_TRUE(dynamic_cast<CMethod*>(p->FindObject(qsmethods::StandardMethodID(m), NET))) << m;
    unsigned short n = 0;
    p->GetStatsCount(n);
    EXPECT_EQ(n, 3);
    QSIDArray with, offered;
    p->GetExhibitStatsLists(with, offered);
    EXPECT_EQ(with.size(), offered.size());
    EXPECT_GE(offered.size(), 6u);
}

// The project's statistics definitions are every exhibit's; the statistics
// lists switch exhibits' statistics on and off; bad lists change nothing.
TEST(ExhibitSettings, StatisticsDefinitionsAndListsReachTheExhibits) {
    auto p = MakeTestProject();
    FillPaid(*p);
    // One 2-year volume-weighted average and a linear trend.
    const std::vector<CStatistics::Record> defs{{1, 1, 0, 0, 0, 0, 2, 1, 0}, {2, 2, 0, 0, 0, 0, 0, 0, 1}};
    ASSERT_EQ(p->SetStatsDefs(defs, 0, 1), 0);
    for (unsigned short l : {NET, GROSS}) {
        CStatistics* st = nullptr;
        ASSERT_EQ(PaidExhibit(*p, l)->GetStatistics(st), 0);
        unsigned short count = 0;
        st->GetNumStats(count);
        EXPECT_EQ(count, 2);
        EXPECT_TRUE(st->IsStatLTrend(1));
        EXPECT_EQ(st->GetAbbreviate(), 1);
    }
    // Column 0 of the newest two rows: (300 / 200 × 200 + 400 / 300 × 300...) volume weighted.
    CStatistics* st = nullptr;
    PaidExhibit(*p)->GetStatistics(st);
    double v = 0;
    char flag = 0;
    ASSERT_EQ(st->GetAt(0, 0, 0, v, flag), 0);
    EXPECT_NEAR(v, (300.0 * 4 + 300.0 * 5) / (200.0 * 4 + 200.0 * 5), 1e-12);

    const QSID paidEx = qsmethods::StandardExhibitID(1);
    ASSERT_EQ(p->SetExhibitStatsLists({}, {paidEx}), 0);
    EXPECT_FALSE(PaidExhibit(*p, ASSUMED)->HasStatistics());
    QSIDArray with, offered;
    p->GetExhibitStatsLists(with, offered);
    EXPECT_EQ(std::count(with.begin(), with.end(), paidEx), 0);
    EXPECT_EQ(std::count(offered.begin(), offered.end(), paidEx), 1);
    ASSERT_EQ(p->SetExhibitStatsLists({paidEx}, {}), 0);
    ASSERT_EQ(PaidExhibit(*p)->GetStatistics(st), 0);
    unsigned short count = 0;
    st->GetNumStats(count);
    EXPECT_EQ(count, 2);  // back with the project's definitions
    EXPECT_EQ(p->SetExhibitStatsLists({}, {paidEx, kPaidLoss}), qsk::kUnknownId);
    EXPECT_TRUE(PaidExhibit(*p)->HasStatistics());

    // A new exhibit with statistics but no definitions of its own takes the project's.
    CExhibit proto;
    proto.SetIDLongName("Salvage Development");
    proto.SetHasStatistics(true);
    proto.SetSourceID(101000004);
    QSID id = 0;
    ASSERT_EQ(p->AddNewFormulaObject(proto, 4, 1, 5060, true, id), 0);
    ASSERT_EQ(dynamic_cast<CExhibit*>(p->FindObject(id, NET))->GetStatistics(st), 0);
    st->GetNumStats(count);
    EXPECT_EQ(count, 2);
}

// Display switches, history count, interpolation set-up and factor sets are
// kept with the project; an older stream takes its statistics from its
// exhibits.
TEST(ExhibitSettings, StoredWithTheProject) {
    auto p = MakeTestProject();
    FillPaid(*p);
    p->SetExhibitShowSDF(0);
    p->SetExhibitShowBlankSDF(1);
    p->SetExhibitShowSelHist(1);
    EXPECT_EQ(p->SetExhibitViewSelHistCount(13), qsk::kFail);
    ASSERT_EQ(p->SetExhibitViewSelHistCount(4), 0);
    ASSERT_EQ(p->SetInterpolationSelections({{2, CURVE_WEIBULL, INPUT_RATIO_TO_ULTIMATE}, {1, CURVE_LINEAR, INPUT_CUMULATIVE}},
                                            PERIOD_POLICY, 1, 1, 0, ADJ_PARTIAL_PERIOD_ULTIMATE),
              0);
    CFactorSet set("Industry", "Industry factors", 5, PRD_YEAR, 12);
    CDataObject row;
    row.SetShape(1, 5, CDataObject::VT_ROW);
    for (int k = 0; k < 5; ++k) row.SetAt(0, k, 2.0 - 0.2 * k);
    QSID key = qsmethods::StandardExhibitID(1);
    SetIDLayer(key, NET);
    ASSERT_EQ(set.SetDF(key, "Paid Loss Development", row), 0);
    ASSERT_EQ(p->SetFSList({set}, {"lib.dfl"}, {"Library"}), 0);
    EXPECT_EQ(p->SetFSList({set}, {}, {}), qsk::kFail);
    p->SetStatsDefs({{1, 1, 0, 0, 0, 0, 0, 0, 0}}, 1, 0);

    const std::vector<std::uint8_t> bytes = p->SaveProject();
    CProject q;
    ASSERT_EQ(q.LoadProject(bytes.data(), bytes.size()), 0);
    int on = -1;
    q.GetExhibitShowSDF(on);
    EXPECT_EQ(on, 0);
    q.GetExhibitShowBlankSDF(on);
    EXPECT_EQ(on, 1);
    unsigned short count = 0;
    q.GetExhibitViewSelHistCount(count);
    EXPECT_EQ(count, 4);
    std::vector<CInterpolateSelection> sel;
    ENUM_PERIOD period = PERIOD_ACCIDENT;
    ENUM_ADJ_UNEARNED_EXPOSURE adj = ADJ_FULL_PERIOD_ULTIMATE;
    int display = 0, abbrev = 0, use = 1;
    ASSERT_NE(q.GetInterpolationSelections(sel, &period, &display, &abbrev, &use, &adj), 0);
    ASSERT_EQ(sel.size(), 2u);
    EXPECT_EQ(sel[0].GetCurveType(), CURVE_LINEAR);  // kept in order
    EXPECT_EQ(period, PERIOD_POLICY);
    EXPECT_EQ(adj, ADJ_PARTIAL_PERIOD_ULTIMATE);
    EXPECT_EQ(display + abbrev + use, 2);
    EXPECT_EQ(q.GetInterpolateFlag(), 1);

    // The factor set's row is the paid exhibit's in Net only.
    CExhibit* ex = PaidExhibit(q);
    ASSERT_TRUE(ex->HasDFs());
    EXPECT_FALSE(PaidExhibit(q, GROSS)->HasDFs());
    std::vector<CDataObject*> dfs;
    ASSERT_EQ(ex->GetDFs(dfs), 0);
    ASSERT_EQ(dfs.size(), 1u);
    EXPECT_EQ(dfs[0]->GetIDLongName(), "Industry");
    double v = 0;
    std::uint8_t f = 0;
    dfs[0]->GetAt(0, 4, v, f);
    EXPECT_DOUBLE_EQ(v, 1.2);

    // Damage in the settings record is a damaged project.
    std::vector<std::uint8_t> bad = p->SaveProject(3);
    CProject older;
    EXPECT_EQ(older.LoadProject(bad.data(), bad.size()), CProject::LS_OLDER);
    std::vector<CStatistics::Record> defs;
    int excl = 0, abbr = 1;
    older.GetStatsDefs(defs, excl, abbr);
    ASSERT_EQ(defs.size(), 1u);  // taken from the exhibits
    EXPECT_EQ(excl, 1);
    EXPECT_EQ(abbr, 0);
}

// The development ages, and the ages to interpolate at from array 804.
TEST(ExhibitSettings, CurrentAndInterpolatePeriods) {
    auto p = MakeTestProject();
    CDataObject* cur = nullptr;
    ASSERT_EQ(p->GetCurrentPeriods(cur, NET), 0);
    std::unique_ptr<CDataObject> own(cur);
    double v = 0;
    std::uint8_t f = 0;
    cur->GetAt(0, 4, v, f);
    EXPECT_DOUBLE_EQ(v, 60);
    CDataObject* want = nullptr;
    EXPECT_NE(p->GetInterpolatePeriods(want, NET), 0);  // none entered
    EXPECT_EQ(want, nullptr);
    CDataObject* ages = p->FindDataObject(101000804, NET);
    ASSERT_TRUE(ages);
    ages->SetAt(0, 0, 18);
    ages->SetAt(0, 2, 30);
    ASSERT_EQ(p->GetInterpolatePeriods(want, NET), 0);
    std::unique_ptr<CDataObject> own2(want);
    std::uint16_t rows = 0, cols = 0;
    want->GetMaxRowsCols(rows, cols);
    EXPECT_EQ(cols, 2);
    want->GetAt(0, 1, v, f);
    EXPECT_DOUBLE_EQ(v, 30);
}

// The data-adjustment tables drive the adjusted exhibits of new projects:
// the paid table multiplies paid losses cell by cell, the incurred table's
// annual rates restate case reserves at the base evaluation's average case
// reserve; each table's footnote sets the base diagonal and the cut-off.
TEST(ExhibitSettings, DataAdjustmentTablesDriveTheAdjustedExhibits) {
    auto p = MakeTestProject(3, 3);
    auto set = [&](int index, std::initializer_list<std::initializer_list<double>> rows) {
        CDataObject* d = p->FindDataObject(101000000 + index, NET);
        int r = 0;
        for (const auto& row : rows) {
            int c = 0;
            for (double v : row) d->SetAt(r, c++, v);
            ++r;
        }
    };
    set(1, {{10, 20, 30}, {12, 24}, {15}});    // paid
    set(11, {{50, 45, 40}, {60, 55}, {70}});   // incurred
    set(19, {{10, 10, 10}, {10, 10}, {10}});   // reported claims
    set(3, {{2, 6, 9}, {3, 7}, {4}});          // closed claims: open 8 4 1 / 7 3 / 6
    set(497, {{0.1, 0.1, 0.1}, {0.1, 0.1}, {0.1}});
    set(494, {{1.1}});
    auto table = [&](int index) -> const CUserTable& {
        auto* ex = dynamic_cast<CUserExhibit*>(p->FindObject(qsmethods::StandardExhibitID(index), NET));
        EXPECT_TRUE(ex);
        return ex->GetFormulaTable();
    };
    auto at = [](const CDataObject& d, int r, int c) {
        double v = 0;
        std::uint8_t f = 0;
        d.GetAt(r, c, v, f);
        return (f & CDataObject::CF_VALUE) ? v : -1.0;
    };
    EXPECT_DOUBLE_EQ(at(table(494), 0, 0), 11);
    EXPECT_DOUBLE_EQ(at(table(494), 1, 0), 12);  // no factor: as reported

    // Base: the latest diagonal.
    const double avg0 = (70.0 - 15) / 6, avg1 = (55.0 - 24) / 3;
    EXPECT_NEAR(at(table(497), 0, 0), 10 + 8 * avg0 / 1.21, 1e-9);
    EXPECT_NEAR(at(table(497), 1, 0), 12 + 7 * avg0 / 1.1, 1e-9);
    EXPECT_NEAR(at(table(497), 0, 1), 20 + 4 * avg1 / 1.1, 1e-9);
    EXPECT_DOUBLE_EQ(at(table(497), 2, 0), 70);
    EXPECT_DOUBLE_EQ(at(table(497), 0, 2), 40);

    // Base 2002, the diagonal before the latest: the latest is as reported
    // and column 0 restates at row 1's average.
    CDataObject* ida = p->FindDataObject(101010497, NET);
    ida->SetFootnoteString("Data Adjustment using Diagonal=[2002] and cut off after [36] months");
    const double avg0b = (60.0 - 12) / 7;
    EXPECT_NEAR(at(table(497), 0, 0), 10 + 8 * avg0b / 1.1, 1e-9);
    EXPECT_DOUBLE_EQ(at(table(497), 1, 0), 60);
    EXPECT_DOUBLE_EQ(at(table(497), 2, 0), 70);
    EXPECT_DOUBLE_EQ(at(table(497), 0, 1), 45);  // its own base: unchanged
    // A cut-off after 12 months leaves the later ages as reported.
    ida->SetFootnoteString("Data Adjustment using Diagonal=[2003] and cut off after [12] months");
    EXPECT_NEAR(at(table(497), 0, 0), 10 + 8 * avg0 / 1.21, 1e-9);
    EXPECT_DOUBLE_EQ(at(table(497), 0, 1), 45);

    // The methods on them and their attached reports calculate.
    for (int m : {45, 50}) {
        auto* method = dynamic_cast<CMethod*>(p->FindObject(qsmethods::StandardMethodID(m), NET));
        ASSERT_TRUE(method);
        for (int k = 0; k < method->GetNumDataObjects(); ++k) EXPECT_EQ(method->GetColStatus(k), 0) << m << "/" << k;
        QSIDArray links;
        method->GetLinks(links);
        ASSERT_EQ(links, (QSIDArray{MakeID(3, 1, 0, 3, 100 + m), MakeID(3, 1, 0, 3, 200 + m)}));
        for (QSID id : links) {
            auto* report = dynamic_cast<CMethod*>(p->FindObject(id, NET));
            ASSERT_TRUE(report && report->IsReport()) << id;
            for (int k = 0; k < report->GetNumDataObjects(); ++k) EXPECT_EQ(report->GetColStatus(k), 0) << id << "/" << k;
        }
    }
    // The comparison follows an adjustment of the newest year's latest paid loss.
    p->FindDataObject(101010494, NET)->SetAt(2, 0, 1.2);
    auto* paidReport = dynamic_cast<CMethod*>(p->FindObject(MakeID(3, 1, 0, 3, 145), NET));
    EXPECT_DOUBLE_EQ(at(*paidReport->GetDataObject(1), 2, 0), 15);
    EXPECT_DOUBLE_EQ(at(*paidReport->GetDataObject(2), 2, 0), 18);
    EXPECT_DOUBLE_EQ(at(*paidReport->GetDataObject(3), 2, 0), 3);
}

TEST(ExhibitSettings, CodesOutsideTheEnumerationsRefuseTheRecord) {
    QSExhibitSettings s;
    s.interpolation.emplace_back(0x5A5A5A5A, CURVE_WEIBULL, INPUT_CUMULATIVE);
    const std::vector<std::uint8_t> good = s.Save();
    const std::uint8_t marker[] = {0x5A, 0x5A, 0x5A, 0x5A};
    const auto at = std::search(good.begin(), good.end(), std::begin(marker), std::end(marker));
    ASSERT_NE(at, good.end());
    const std::size_t curveAt = std::size_t(at - good.begin()) + 4, inputAt = curveAt + 4;
    const auto with = [&](std::size_t pos, std::int32_t value) {
        std::vector<std::uint8_t> bytes = good;
        for (int i = 0; i < 4; ++i) bytes[pos + std::size_t(i)] = std::uint8_t(std::uint32_t(value) >> (8 * i));
        return bytes;
    };
    struct Case {
        std::size_t pos;
        std::int32_t value;
        bool loads;
    };
    const Case cases[] = {{curveAt, CURVE_LINEAR, true}, {curveAt, 1000, false}, {curveAt, 0, false},
                          {curveAt, -1, false},          {inputAt, INPUT_RATIO_TO_ULTIMATE, true},
                          {inputAt, 3, false},           {inputAt, INT32_MIN, false}};
    for (const Case& c : cases) {
        QSExhibitSettings back = s;
        back.interpolation.clear();
        EXPECT_EQ(back.Load(with(c.pos, c.value)), c.loads) << c.pos << " " << c.value;
        EXPECT_EQ(back.interpolation.size(), c.loads ? 1u : 0u);  // a refused record changes nothing
    }
}
