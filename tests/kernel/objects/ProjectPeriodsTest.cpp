// The period structure on its own: which shapes are valid, the staircase of
// cells, the dates and ages it lays out and the orders it keeps.
#include <gtest/gtest.h>

#include "CHDate.h"
#include "ProjectPeriods.h"

namespace {
QSStructure Annual(std::uint16_t rows, std::uint16_t cols) {
    QSStructure s;
    s.numExp = rows;
    s.numDev = cols;
    s.firstYear = 2001;
    return s;
}

TEST(ProjectPeriods, ValidateRefusesShapesNoProjectCanTake) {
    struct Case {
        const char* name;
        void (*change)(QSStructure&);
        QSSTATUS expected;
    };
    const Case cases[] = {
        {"annual 5 x 5", [](QSStructure&) {}, qsk::kOk},
        {"no rows", [](QSStructure& s) { s.numExp = 0; }, qsk::kFail},
        {"1000 columns", [](QSStructure& s) { s.numDev = 1000; }, qsk::kFail},
        {"two-month periods", [](QSStructure& s) { s.expLength = static_cast<PRDLENGTH>(2); }, qsk::kFail},
        {"fifth quarter", [](QSStructure& s) { s.expLength = PRD_QUARTER; s.firstInterval = 5; }, qsk::kFail},
        {"fourth quarter", [](QSStructure& s) { s.expLength = PRD_QUARTER; s.firstInterval = 4; }, qsk::kOk},
        {"age 0", [](QSStructure& s) { s.firstDevAge = 0; }, qsk::kFail},
        {"gross by both relations", [](QSStructure& s) { s.calc1 = GROSS; s.calc2 = GROSS; }, qsk::kBadLayer},
        {"direct in the first relation", [](QSStructure& s) { s.calc1 = DIRECT; }, qsk::kBadLayer},
        {"net and direct", [](QSStructure& s) { s.calc1 = NET; s.calc2 = DIRECT; }, qsk::kOk},
        {"prior row alone", [](QSStructure& s) { s.numExp = 1; s.prior = true; }, qsk::kFail},
    };
    for (const Case& c : cases) {
        QSStructure s = Annual(5, 5);
        c.change(s);
        EXPECT_EQ(ProjectPeriods::Validate(s), c.expected) << c.name;
    }
}

TEST(ProjectPeriods, StaircaseFollowsTheEvaluation) {
    ProjectPeriods p;
    p.Reset(Annual(4, 4));
    EXPECT_EQ(p.Staircase(), (std::vector<std::uint16_t>{4, 3, 2, 1}));

    // An evaluation appended without a new row opens one more diagonal.
    QSStructure later = Annual(4, 4);
    later.evalExtra = 12;
    p.Reset(later);
    EXPECT_EQ(p.Staircase(), (std::vector<std::uint16_t>{4, 4, 3, 2}));

    // The all-prior row sees every age.
    QSStructure prior = Annual(4, 4);
    prior.prior = true;
    p.Reset(prior);
    EXPECT_EQ(p.Staircase(), (std::vector<std::uint16_t>{4, 3, 2, 1}));
    prior.numDev = 6;
    p.Reset(prior);
    EXPECT_EQ(p.Staircase(), (std::vector<std::uint16_t>{6, 3, 2, 1}));

    // Quarterly ages under annual rows: the newest year has seen 12 months.
    QSStructure quarterly = Annual(2, 8);
    quarterly.devLength = PRD_QUARTER;
    quarterly.firstDevAge = 3;
    p.Reset(quarterly);
    EXPECT_EQ(p.Staircase(), (std::vector<std::uint16_t>{8, 4}));
}

TEST(ProjectPeriods, ResetLaysOutDatesAndAgesFromTheShape) {
    QSStructure s = Annual(3, 3);
    s.expLength = PRD_QUARTER;
    s.firstInterval = 4;
    s.firstDevAge = 6;
    s.devLength = PRD_HALFYEAR;
    ProjectPeriods p;
    p.Reset(s);
    ASSERT_EQ(p.Dates().size(), 3u);
    const CHDate first(p.Dates()[0]), third(p.Dates()[2]);
    EXPECT_EQ(first.Year(), 2001);
    EXPECT_EQ(first.Month(), 10);
    EXPECT_EQ(third.Year(), 2002);
    EXPECT_EQ(third.Month(), 4);
    EXPECT_EQ(p.Ages(), (std::vector<int>{6, 12, 18}));
    EXPECT_EQ(p.StairAges(), p.Ages());
    EXPECT_EQ(p.DefaultDatesFormat(), "yyyy'-'q");
}

TEST(ProjectPeriods, ShiftFirstPeriodCrossesYearsAndStopsAtYearZero) {
    QSStructure s = Annual(3, 3);
    s.expLength = PRD_QUARTER;
    s.firstInterval = 1;
    ProjectPeriods::ShiftFirstPeriod(s, -3);
    EXPECT_EQ(s.firstYear, 2000);
    EXPECT_EQ(s.firstInterval, 4);
    ProjectPeriods::ShiftFirstPeriod(s, 9);
    EXPECT_EQ(s.firstYear, 2001);
    EXPECT_EQ(s.firstInterval, 3);
    ProjectPeriods::ShiftFirstPeriod(s, -100000);
    EXPECT_EQ(s.firstYear, 0);
    EXPECT_EQ(s.firstInterval, 1);
}

TEST(ProjectPeriods, DatesAndAgesStayInOrder) {
    ProjectPeriods p;
    p.Reset(Annual(3, 3));
    const std::vector<double> dates = p.Dates();
    EXPECT_EQ(p.SetDate(1, dates[0]), qsk::kFail);  // not after the row before
    EXPECT_EQ(p.SetDate(1, dates[2]), qsk::kFail);  // not before the row after
    EXPECT_EQ(p.SetDate(3, dates[2] + 1), qsk::kOutOfRange);
    EXPECT_EQ(p.Dates(), dates);
    EXPECT_EQ(p.SetDate(1, dates[1] + 31), qsk::kOk);
    EXPECT_EQ(p.Dates()[1], dates[1] + 31);

    EXPECT_EQ(p.SetAge(0, 0), qsk::kOutOfRange);
    EXPECT_EQ(p.SetAge(1, 36), qsk::kFail);
    EXPECT_EQ(p.SetAge(1, 12), qsk::kFail);
    EXPECT_EQ(p.Ages(), (std::vector<int>{12, 24, 36}));
    EXPECT_EQ(p.SetAge(1, 18), qsk::kOk);
    EXPECT_EQ(p.Ages(), (std::vector<int>{12, 18, 36}));
    // The labels moved, the cells' ages did not.
    EXPECT_EQ(p.StairAges(), (std::vector<int>{12, 24, 36}));
}

TEST(ProjectPeriods, ReshapeKeepsLabelsWhenTheDevelopmentPeriodsStay) {
    ProjectPeriods p;
    p.Reset(Annual(3, 3));
    ASSERT_EQ(p.SetAge(2, 40), qsk::kOk);
    const QSStructure wider = Annual(3, 5);
    const std::vector<int> cellAges = ProjectPeriods::ExtendAges(p.StairAges(), 5, 12);
    EXPECT_EQ(cellAges, (std::vector<int>{12, 24, 36, 48, 60}));
    p.Reshape(wider, nullptr, &cellAges);
    EXPECT_EQ(p.StairAges(), cellAges);
    EXPECT_EQ(p.Ages(), (std::vector<int>{12, 24, 40, 52, 64}));

    // Without ages (a new development structure) everything starts afresh.
    p.Reshape(Annual(3, 2), nullptr, nullptr);
    EXPECT_EQ(p.Ages(), (std::vector<int>{12, 24}));
    // Dates given for every row are taken; a list of the wrong length is not.
    const std::vector<double> short1{1.0};
    p.Reshape(Annual(3, 2), &short1, nullptr);
    EXPECT_EQ(p.Dates().size(), 3u);
    EXPECT_NE(p.Dates()[0], 1.0);
}
}  // namespace
