#include <gtest/gtest.h>

#include <vector>

#include "CDataObject.h"
#include "CStatistics.h"
#include "ReservingMath.h"
#include "TestEnvironment.h"

using namespace qs::calc;

namespace {

Triangle Raa() {
    Triangle t;
    EXPECT_TRUE(ParseLongCsv(qs::test::ReadFile(qs::test::DataDir() + "/triangles/raa.csv"), "values", t));
    return t;
}

double At(const CStatistics& s, unsigned short stat, unsigned short row, unsigned short col, char* flagOut = nullptr) {
    double v = -1;
    char flag = -1;
    EXPECT_EQ(s.GetAt(stat, row, col, v, flag), 0);
    if (flagOut) *flagOut = flag;
    return v;
}

}  // namespace

TEST(CStatistics, DefinitionBytesRoundTrip) {
    const unsigned char bytes[9] = {3, 2, 1, 0, 2, 1, 5, 2, 1};
    CStatistics::Definition d;
    ASSERT_TRUE(CStatistics::Definition::Decode(bytes, 9, d));
    EXPECT_EQ(d.order, 3);
    EXPECT_EQ(d.type, 2);
    EXPECT_TRUE(d.includeZeros);
    EXPECT_FALSE(d.excludeHighLow);
    EXPECT_EQ(d.excludeFirst, 2);
    EXPECT_EQ(d.excludeLast, 1);
    EXPECT_EQ(d.useLast, 5);
    EXPECT_EQ(d.weights, 2);
    EXPECT_TRUE(d.includeInGraph);
    const CStatistics::Record back = d.Encode();
    EXPECT_TRUE(std::equal(back.begin(), back.end(), bytes));

    // The 8-byte statistic of a fill request; other lengths are refused.
    ASSERT_TRUE(CStatistics::Definition::Decode(bytes, 8, d));
    EXPECT_FALSE(d.includeInGraph);
    EXPECT_FALSE(CStatistics::Definition::Decode(bytes, 7, d));
    // Unknown type and weight codes read as a plain average.
    const unsigned char odd[9] = {1, 3, 0, 0, 0, 0, 0, 9, 0};
    ASSERT_TRUE(CStatistics::Definition::Decode(odd, 9, d));
    EXPECT_EQ(d.type, 1);
    EXPECT_EQ(d.weights, 0);
}

TEST(CStatistics, NamesFollowOptionsAndPeriodLength) {
    struct Case {
        CStatistics::Record rec;
        int months;
        bool abbreviate;
        const char* name;
    };
    const Case cases[] = {
        {{1, 1, 0, 0, 0, 0, 0, 0, 0}, 12, false, "Average"},
        {{1, 1, 0, 0, 0, 0, 0, 1, 0}, 12, true, "Vol Wtd Avg"},
        {{1, 1, 0, 1, 0, 0, 5, 1, 0}, 12, false, "5 Year Volume Weighted Average Excluding High/Low"},
        {{1, 2, 0, 0, 0, 0, 0, 0, 0}, 12, false, "Linear Trend:"},
        {{1, 4, 0, 0, 0, 0, 0, 0, 0}, 12, false, "Exponential Curve:"},
        {{1, 1, 1, 0, 2, 1, 0, 2, 0}, 3, true, "Time Wtd Avg Inc Zeros Exc First 2 Qrtrs Exc Last 1 Qrtrs"},
        {{1, 1, 0, 0, 0, 0, 4, 3, 0}, 1, false, "4 Mo User Weighted Average"},
    };
    for (const Case& c : cases) {
        CStatistics::Definition d;
        ASSERT_TRUE(CStatistics::Definition::Decode(c.rec.data(), 9, d));
        EXPECT_EQ(d.Name(c.months, c.abbreviate), c.name);
    }
}

TEST(CStatistics, ComputesRowsOverRaaFactors) {
    const Triangle raa = Raa();
    const Triangle f = AgeToAgeFactors(raa);
    CStatistics s;
    // Given out of order, with an inactive record.
    s.SetDefinitions({{3, 2, 0, 0, 0, 0, 0, 0, 0},
                      {1, 1, 0, 0, 0, 0, 0, 0, 1},
                      {0, 1, 0, 0, 0, 0, 0, 1, 0},
                      {2, 1, 0, 0, 0, 0, 0, 1, 0},
                      {4, 4, 0, 0, 0, 0, 5, 0, 0}},
                     0, 0);
    const TriangleRef cum = raa.Ref();
    s.Compute(f.Ref(), &cum, nullptr, nullptr, false);

    unsigned short n = 0, cols = 0, rows = 0;
    s.GetNumStats(n);
    s.GetMaxCols(cols);
    ASSERT_EQ(n, 4);
    EXPECT_EQ(cols, 9);
    std::string name;
    s.GetStatName(1, name, 0);
    EXPECT_EQ(name, "Volume Weighted Average");
    EXPECT_TRUE(s.IsStatInGraph(0));
    EXPECT_TRUE(s.IsStatLTrend(2));
    EXPECT_TRUE(s.IsStatExpCurve(3));

    std::vector<double> vol(9), simple(9);
    std::vector<unsigned char> ok(9);
    VolumeWeightedFactors(cum, vol.data(), ok.data());
    SimpleAverageFactors(cum, simple.data(), ok.data());
    for (unsigned short k = 0; k < 9; ++k) {
        EXPECT_NEAR(At(s, 0, 0, k), simple[k], 1e-12) << k;
        EXPECT_NEAR(At(s, 1, 0, k), vol[k], 1e-12) << k;
    }
    EXPECT_NEAR(At(s, 1, 0, 0), 2.999359, 5e-7);

    // Trend rows and titles; the last column has one factor, too few for a fit.
    s.GetNumRows(2, rows);
    ASSERT_EQ(rows, 4);
    std::string title;
    s.GetRowTitle(2, 3, title);
    EXPECT_EQ(title, "Projected");
    s.GetRowTitle(3, 0, title);
    EXPECT_EQ(title, "Slope %");
    s.GetRowTitle(0, 0, title);
    EXPECT_EQ(title, "");
    char flag = -1;
    At(s, 2, 0, 8, &flag);
    EXPECT_EQ(flag, 4);
    At(s, 2, 3, 0, &flag);
    EXPECT_EQ(flag, 0);
    // The projection of the linear trend at the first row past column 0 (row 10).
    const double slope = At(s, 2, 0, 0), icpt = At(s, 2, 1, 0);
    EXPECT_NEAR(At(s, 2, 3, 0), icpt + slope * 10, 1e-12);

    double v;
    EXPECT_EQ(s.GetAt(4, 0, 0, v, flag), 1);
    EXPECT_EQ(s.GetAt(0, 1, 0, v, flag), 1);
    EXPECT_EQ(s.GetAt(0, 0, 9, v, flag), 1);
    EXPECT_EQ(s.GetStatName(9, name, 0), 1);
}

TEST(CStatistics, OutliersAndPriorRowLeaveTheAverage) {
    Triangle cum;
    ASSERT_TRUE(ParseGridCsv("100,300\n100,200\n100,150\n", cum));
    const Triangle f = AgeToAgeFactors(cum);  // 3, 2, 1.5
    CStatistics s;
    s.SetDefinitions({{1, 1, 0, 0, 0, 0, 0, 0, 0}}, 1, 0);
    s.Compute(f.Ref(), nullptr, nullptr, nullptr, false);
    EXPECT_NEAR(At(s, 0, 0, 0), 6.5 / 3, 1e-12);
    s.Compute(f.Ref(), nullptr, nullptr, nullptr, true);  // row 0 is the prior row
    EXPECT_NEAR(At(s, 0, 0, 0), 1.75, 1e-12);
    const unsigned char outliers[] = {0, 1, 0};
    s.Compute(f.Ref(), nullptr, outliers, nullptr, false);
    EXPECT_NEAR(At(s, 0, 0, 0), 2.25, 1e-12);
    // VOLUME weights without the cumulative triangle cannot be formed.
    s.SetDefinitions({{1, 1, 0, 0, 0, 0, 0, 1, 0}}, 0, 0);
    s.Compute(f.Ref(), nullptr, nullptr, nullptr, false);
    char flag = 0;
    At(s, 0, 0, 0, &flag);
    EXPECT_EQ(flag, 4);
}

TEST(CStatistics, ComputesOverExhibitDataObjects) {
    // Factors 3, 2, 1.5 down one column; the outliers object marks row 1.
    CDataObject factors, outliers;
    factors.SetShape(3, 1, CDataObject::VT_TRIANGLE);
    outliers.SetShape(3, 1, CDataObject::VT_TRIANGLE);
    factors.SetAt(0, 0, 3.0);
    factors.SetAt(1, 0, 2.0);
    factors.SetAt(2, 0, 1.5);
    outliers.SetAt(1, 0, 'o');
    CStatistics s;
    s.SetDefinitions({{1, 1, 0, 0, 0, 0, 0, 0, 0}}, 0, 0);
    s.Compute(factors, nullptr, &outliers, false);
    EXPECT_NEAR(At(s, 0, 0, 0), 2.25, 1e-12);
    s.Compute(factors, nullptr, nullptr, false);
    EXPECT_NEAR(At(s, 0, 0, 0), 6.5 / 3, 1e-12);
}
