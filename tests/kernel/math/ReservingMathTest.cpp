#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ReservingMath.h"
#include "TestEnvironment.h"

using namespace qs::calc;

namespace {

Triangle LoadLong(const std::string& file, const std::string& column) {
    Triangle t;
    std::string err;
    const std::string text = qs::test::ReadFile(qs::test::DataDir() + "/triangles/" + file);
    EXPECT_TRUE(ParseLongCsv(text, column, t, &err)) << file << ": " << err;
    return t;
}

std::vector<double> Volume(const Triangle& t) {
    std::vector<double> ldf(t.cols - 1);
    std::vector<unsigned char> ok(t.cols - 1);
    VolumeWeightedFactors(t.Ref(), ldf.data(), ok.data());
    return ldf;
}

// Compares to the printed decimals: |actual - expected| <= half a unit of the last printed digit.
void ExpectPrinted(const std::vector<double>& actual, const std::vector<double>& expected, double halfUnit,
                   const char* what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], halfUnit) << what << " [" << i << "]";
}

}  // namespace

TEST(ReservingMath, ParsesLongAndGridFormats) {
    const Triangle raa = LoadLong("raa.csv", "values");
    EXPECT_EQ(raa.rows, 10);
    EXPECT_EQ(raa.cols, 10);
    EXPECT_EQ(raa.firstOrigin, 1981);
    EXPECT_DOUBLE_EQ(raa.At(0, 0), 5012.0);
    EXPECT_DOUBLE_EQ(raa.At(0, 9), 18834.0);
    EXPECT_FALSE(raa.Has(9, 1));

    // Quarterly valuation dates give quarterly development columns.
    const Triangle q = LoadLong("quarterly.csv", "paid");
    EXPECT_EQ(q.devStepMonths, 3);
    EXPECT_EQ(q.rows, 12);

    Triangle g;
    ASSERT_TRUE(ParseGridCsv("1,2,3\n4,5,NA\n6,NA,NA\n", g));
    EXPECT_EQ(g.rows, 3);
    EXPECT_TRUE(g.Has(1, 1));
    EXPECT_FALSE(g.Has(1, 2));

    std::string err;
    EXPECT_FALSE(ParseGridCsv("1,2\n3\n", g, &err));
    EXPECT_FALSE(ParseGridCsv("1,x\n", g, &err));
    EXPECT_FALSE(ParseLongCsv("a,b\n1,2\n", "values", g, &err));
    EXPECT_FALSE(err.empty());
}

TEST(ReservingMath, RaaChainLadderMatchesPublishedFigures) {
    const Triangle raa = LoadLong("raa.csv", "values");
    const std::vector<double> ldf = Volume(raa);
    ExpectPrinted(ldf, {2.999359, 1.623523, 1.270888, 1.171675, 1.113385, 1.041935, 1.033264, 1.016936, 1.009217},
                  5e-7, "RAA volume-weighted factors");

    std::vector<double> atu(raa.cols);
    AgeToUltimate(ldf.data(), raa.cols - 1, 1.0, atu.data());
    ExpectPrinted({atu.begin(), atu.end() - 1},
                  {8.9202, 2.9740, 1.8318, 1.4414, 1.2302, 1.1049, 1.0604, 1.0263, 1.0092}, 5e-5,
                  "RAA age-to-ultimate");
    std::vector<double> ratio(raa.cols);
    RatioToUltimate(atu.data(), raa.cols - 1, ratio.data());
    EXPECT_NEAR(ratio[0], 1.0 / 8.9202, 1e-5);
    EXPECT_DOUBLE_EQ(ratio[9], 1.0);

    const UltimateResult cl = ChainLadder(raa.Ref(), ldf.data(), 1.0);
    ExpectPrinted(cl.ultimate,
                  {18834, 16857.953917, 24083.370924, 28703.142163, 28926.736343, 19501.103184, 17749.302590,
                   24019.192510, 16044.984101, 18402.442529},
                  5e-7, "RAA ultimates");
    EXPECT_NEAR(cl.latestTotal, 160987.0, 1e-9);
    EXPECT_NEAR(cl.ultimateTotal, 213122.228261, 5e-7);
    EXPECT_NEAR(cl.ibnrTotal, 52135.228261, 5e-7);

    // A tail of 1.05 on every ultimate.
    EXPECT_NEAR(ChainLadder(raa.Ref(), ldf.data(), 1.05).ibnrTotal, 62791.34, 5e-3);
    // The exponential-curve tail (fitted in the tail analysis tests).
    EXPECT_NEAR(ChainLadder(raa.Ref(), ldf.data(), 1.009436).ibnrTotal, 54146, 1.0);
}

TEST(ReservingMath, RaaBornhuetterFerguson) {
    const Triangle raa = LoadLong("raa.csv", "values");
    const std::vector<double> ldf = Volume(raa);
    const std::vector<double> apriori(raa.rows, 0.7 * 40000.0);
    const UltimateResult bf = BornhuetterFerguson(raa.Ref(), ldf.data(), 1.0, apriori.data());
    EXPECT_NEAR(bf.ibnrTotal, 75203.2355, 5e-5);
    EXPECT_DOUBLE_EQ(bf.ibnr[0], 0.0);  // fully developed: no reserve
    EXPECT_NEAR(bf.ultimate[9], bf.latest[9] + bf.ibnr[9], 1e-9);
}

TEST(ReservingMath, GenInsAndPaidSampleFactors) {
    const Triangle gen = LoadLong("genins.csv", "values");
    const std::vector<double> ldf = Volume(gen);
    ExpectPrinted(ldf, {3.490607, 1.747333, 1.457413, 1.173852, 1.103824, 1.086269, 1.053874, 1.076555, 1.017725},
                  5e-7, "GenIns volume-weighted factors");
    EXPECT_NEAR(ChainLadder(gen.Ref(), ldf.data(), 1.0).ibnrTotal, 18680855.61, 5e-3);

    const Triangle paid = LoadLong("tail_sample.csv", "paid");
    ExpectPrinted(Volume(paid),
                  {2.026309, 1.559087, 1.320123, 1.184491, 1.107264, 1.074001, 1.046207, 1.032158, 1.023925}, 5e-7,
                  "paid sample volume-weighted factors");
}

TEST(ReservingMath, XyzSimpleAverageThroughColumnStatistic) {
    const Triangle xyz = LoadLong("xyz.csv", "Incurred");
    ASSERT_EQ(xyz.rows, 11);
    const Triangle f = AgeToAgeFactors(xyz);
    const std::vector<double> expected = {1.659537, 1.35064, 1.22277,  1.119155, 1.079301,
                                          1.039863, 1.031011, 0.997274, 0.990571, 0.999179};
    std::vector<double> direct(f.cols);
    std::vector<unsigned char> ok(f.cols);
    SimpleAverageFactors(xyz.Ref(), direct.data(), ok.data());
    for (int k = 0; k < static_cast<int>(expected.size()); ++k) {
        std::vector<double> col(f.rows), vol(f.rows);
        std::vector<unsigned char> usable(f.rows);
        for (int r = 0; r < f.rows; ++r) {
            col[r] = f.At(r, k);
            usable[r] = f.Has(r, k);
            vol[r] = xyz.At(r, k);
        }
        const ColumnStat st = ComputeColumnStat({}, f.rows, col.data(), usable.data(), vol.data(), nullptr, 0);
        ASSERT_TRUE(st.valid) << k;
        // Printed to six decimals, or five where the trailing zero was dropped.
        const double half = (k == 1 || k == 2) ? 5e-6 : 5e-7;
        EXPECT_NEAR(st.value, expected[k], half) << "column " << k;
        EXPECT_NEAR(direct[k], st.value, 1e-12) << k;
    }
}

// One small column shows each selection rule; the comments give the arithmetic.
TEST(ReservingMath, ColumnStatisticOptions) {
    //                     row: 0    1    2    3    4    5
    const double factor[] = {1.5, 1.2, 0.0, 1.4, 1.1, 1.3};
    const double volume[] = {100, 200, 300, 400, 500, 600};
    const unsigned char usable[] = {1, 1, 1, 1, 1, 1};
    const double user[] = {1, 1, 1, 1, 1, 3};
    struct Case {
        const char* name;
        StatOptions opt;
        double expected;
        int used;
    };
    auto avg = [](StatWeights w) {
        StatOptions o;
        o.weights = w;
        return o;
    };
    StatOptions zeros;
    zeros.includeZeros = true;
    StatOptions hilo;
    hilo.excludeHighLow = true;
    StatOptions first2;
    first2.excludeFirst = 2;
    StatOptions last1use2;
    last1use2.excludeLast = 1;
    last1use2.useLast = 2;
    const Case cases[] = {
        {"simple, zero dropped", {}, (1.5 + 1.2 + 1.4 + 1.1 + 1.3) / 5, 5},
        {"zeros included", zeros, (1.5 + 1.2 + 0.0 + 1.4 + 1.1 + 1.3) / 6, 6},
        {"volume", avg(StatWeights::Volume), (150 + 240 + 560 + 550 + 780) / 1800.0, 5},
        {"time", avg(StatWeights::Time), (1.5 * 1 + 1.2 * 2 + 1.4 * 3 + 1.1 * 4 + 1.3 * 5) / 15, 5},
        {"user", avg(StatWeights::User), (1.5 + 1.2 + 1.4 + 1.1 + 1.3 * 3) / 7, 5},
        {"excl high/low", hilo, (1.2 + 1.4 + 1.3) / 3, 3},
        {"excl first 2", first2, (1.4 + 1.1 + 1.3) / 3, 3},
        {"excl last 1, use last 2", last1use2, (1.4 + 1.1) / 2, 2},
    };
    for (const Case& c : cases) {
        const ColumnStat st = ComputeColumnStat(c.opt, 6, factor, usable, volume, user, 6);
        EXPECT_TRUE(st.valid) << c.name;
        EXPECT_NEAR(st.value, c.expected, 1e-12) << c.name;
        EXPECT_EQ(st.used, c.used) << c.name;
    }
}

// The rules a statistic's name does not show: "last N" counts the newest
// usable factors, not calendar periods; equal highs or lows drop the oldest;
// "excluding high/low" needs three factors for every type of statistic.
TEST(ReservingMath, ColumnStatisticRulesBeyondTheName) {
    //                        row: 0    1    2    3    4    5
    const double factor[] = {1.9, 1.5, 1.2, 1.5, 1.2, 1.3};
    const unsigned char usable[] = {1, 1, 1, 0, 1, 1};  // row 3 is an outlier
    StatOptions last3;
    last3.useLast = 3;
    // The newest three usable factors are rows 5, 4 and 2 (row 3 is skipped).
    ColumnStat st = ComputeColumnStat(last3, 6, factor, usable, nullptr, nullptr, 6);
    EXPECT_NEAR(st.value, (1.3 + 1.2 + 1.2) / 3, 1e-12);
    EXPECT_EQ(st.used, 3);

    // Equal lows at rows 2 and 4, equal highs at rows 1 and 3 (both usable
    // here): the oldest of each goes, so TIME weights show which stayed.
    const unsigned char all[] = {0, 1, 1, 1, 1, 0};
    StatOptions hilo;
    hilo.excludeHighLow = true;
    hilo.weights = StatWeights::Time;
    st = ComputeColumnStat(hilo, 6, factor, all, nullptr, nullptr, 6);
    EXPECT_NEAR(st.value, (1.5 * 1 + 1.2 * 2) / 3, 1e-12);  // rows 3 and 4 remain, in that order
    EXPECT_EQ(st.used, 2);

    // Excluding high/low: an average and both curves have no value with two
    // factors (none is quietly computed without the exclusion), an average
    // has one with three; a curve needs four (two points left to fit).
    for (StatType type : {StatType::Average, StatType::LinearTrend, StatType::ExponentialCurve}) {
        StatOptions o;
        o.type = type;
        o.excludeHighLow = true;
        for (int n = 2; n <= 4; ++n) {
            const unsigned char first[] = {1, 1, 1, 1, 0, 0};
            std::vector<unsigned char> use(first, first + 6);
            for (int i = n; i < 6; ++i) use[static_cast<std::size_t>(i)] = 0;
            const bool want = n >= 3 && (type == StatType::Average || n >= 4);
            EXPECT_EQ(ComputeColumnStat(o, 6, factor, use.data(), nullptr, nullptr, 6).valid, want)
                << static_cast<int>(type) << " with " << n;
        }
    }
}

TEST(ReservingMath, TrendFitsDownAColumn) {
    // Factors on an exact line y = 1.1 + 0.05 x (x = row + 1) and an exact curve y = 2 * 0.9^x.
    double lin[5], expo[5];
    const unsigned char usable[] = {1, 1, 1, 1, 1};
    for (int i = 0; i < 5; ++i) {
        lin[i] = 1.1 + 0.05 * (i + 1);
        expo[i] = 2.0 * std::pow(0.9, i + 1);
    }
    StatOptions o;
    o.type = StatType::LinearTrend;
    ColumnStat st = ComputeColumnStat(o, 5, lin, usable, nullptr, nullptr, 5);
    ASSERT_TRUE(st.valid);
    EXPECT_NEAR(st.slope, 0.05, 1e-12);
    EXPECT_NEAR(st.intercept, 1.1, 1e-12);
    EXPECT_NEAR(st.rSquared, 1.0, 1e-12);
    EXPECT_NEAR(st.projected, 1.1 + 0.05 * 6, 1e-12);

    o.type = StatType::ExponentialCurve;
    st = ComputeColumnStat(o, 5, expo, usable, nullptr, nullptr, 5);
    ASSERT_TRUE(st.valid);
    EXPECT_NEAR(st.intercept, 2.0, 1e-12);
    EXPECT_NEAR(st.slopePercent, -10.0, 1e-10);
    EXPECT_NEAR(st.projected, 2.0 * std::pow(0.9, 6), 1e-12);

    // R squared of a noisy line lies strictly between 0 and 1.
    const double x[] = {1, 2, 3, 4}, y[] = {1, 3, 2, 4};
    const LineFit fit = FitLine(x, y, nullptr, 4);
    ASSERT_TRUE(fit.ok);
    EXPECT_NEAR(fit.slope, 0.8, 1e-12);
    EXPECT_NEAR(fit.rSquared, 0.64, 1e-12);
}

// Degenerate inputs give a defined result or an invalid flag, never NaN.
TEST(ReservingMath, GuardsDegenerateInput) {
    // A column with no usable factor, all points excluded, a single point for a fit.
    const double f[] = {1.2, 1.3};
    const unsigned char none[] = {0, 0}, one[] = {1, 0};
    StatOptions trend;
    trend.type = StatType::LinearTrend;
    EXPECT_FALSE(ComputeColumnStat({}, 2, f, none, nullptr, nullptr, 2).valid);
    EXPECT_FALSE(ComputeColumnStat(trend, 2, f, one, nullptr, nullptr, 2).valid);
    StatOptions tooMany;
    tooMany.excludeFirst = 1;
    tooMany.excludeLast = 1;
    EXPECT_FALSE(ComputeColumnStat(tooMany, 2, f, one, nullptr, nullptr, 2).valid);
    // Exponential curve over non-positive factors only.
    const double neg[] = {-1.0, 0.0, -2.0};
    const unsigned char all3[] = {1, 1, 1};
    StatOptions expz;
    expz.type = StatType::ExponentialCurve;
    expz.includeZeros = true;
    EXPECT_FALSE(ComputeColumnStat(expz, 3, neg, all3, nullptr, nullptr, 3).valid);

    // Zeros and negatives in the amounts: no factor from a zero, a factor from a negative.
    Triangle t;
    ASSERT_TRUE(ParseGridCsv("0,5,6\n-2,4,NA\n3,NA,NA\n", t));
    const Triangle fac = AgeToAgeFactors(t);
    EXPECT_FALSE(fac.Has(0, 0));
    EXPECT_TRUE(fac.Has(0, 1));
    EXPECT_DOUBLE_EQ(fac.At(1, 0), -2.0);
    std::vector<double> ldf(2);
    std::vector<unsigned char> ok(2);
    VolumeWeightedFactors(t.Ref(), ldf.data(), ok.data());
    EXPECT_EQ(ok[0], 1);
    EXPECT_DOUBLE_EQ(ldf[0], -2.0);
    // Excluding the only usable cell leaves the column without a factor: 1, not OK.
    const unsigned char exclude[] = {0, 1, 0, 0, 0, 0};
    VolumeWeightedFactors(t.Ref(), ldf.data(), ok.data(), exclude);
    EXPECT_EQ(ok[1], 0);
    EXPECT_DOUBLE_EQ(ldf[1], 1.0);

    // A triangle of one row and one of one column.
    Triangle row1;
    ASSERT_TRUE(ParseGridCsv("10,20,30\n", row1));
    const std::vector<double> l1 = Volume(row1);
    EXPECT_DOUBLE_EQ(l1[0], 2.0);
    EXPECT_DOUBLE_EQ(ChainLadder(row1.Ref(), l1.data(), 1.0).ultimateTotal, 30.0);
    Triangle col1;
    ASSERT_TRUE(ParseGridCsv("10\n20\n", col1));
    const UltimateResult r = ChainLadder(col1.Ref(), nullptr, 1.1);
    EXPECT_NEAR(r.ultimateTotal, 33.0, 1e-12);
    EXPECT_TRUE(std::isfinite(r.ibnrTotal));

    // A zero age-to-ultimate gives no ratio and no BF reserve.
    const double zeroAtu[] = {0.0, 1.0};
    double ratio[2];
    RatioToUltimate(zeroAtu, 1, ratio);
    EXPECT_DOUBLE_EQ(ratio[0], 0.0);
}
