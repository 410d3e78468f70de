// Each formula function on a small worked example (the figures are worked
// by hand in the comments, or by the technique's defining formula).
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "CInterpolation.h"
#include "FormulaLanguage.h"
#include "FormulaTestHelpers.h"

using namespace qsformula;

namespace {

using qs::test::FormulaTokens;

// Markers for expected cells that hold no value.
constexpr double B = -1e300;   // blank
constexpr double NA = -2e300;  // not available

// Three exposure periods, ages 12, 24, 36 months, the usual staircase.
class Project : public IFormulaResolver {
public:
    Project() {
        m_info.ages = {12, 24, 36};
        m_info.rowLen = {3, 2, 1};
        Put(1, Tri({{100, 150, 180}, {110, 160}, {120}}));     // paid, cumulative
        Put(2, Col({1000, 1100, 1200}));                      // premium
        Put(3, RowOf({1.5, 1.2, 1.05}));                      // selected age-to-age factors, tail last
        Put(4, RowOf({1.89, 1.26, 1.05}));                    // their age-to-ultimate form
        Put(5, Tri({{100, 50, 30}, {110, 50}, {120}}));       // paid, incremental
        Put(6, RowOf({0.5, 0.8, 0.95}));                      // cumulative ratio paid by age
        Put(7, Col({-4, 9, 2.25}));
        Put(8, Tri({{200, 220, 200}, {230, 240}, {250}}));    // incurred
        Put(9, Tri({{10, 5, 2}, {12, 4}, {11}}));             // open claims
        Put(10, Col({1, 2, 4}));
        Put(11, Col({1, B, 3}));
        Put(12, RowOf({B, 1.1, B}));
    }

    static Value Tri(const std::vector<std::vector<double>>& rows) {
        Value v = Value::Make(kTriangle, static_cast<int>(rows.size()), 3, 12);
        v.rowLen.resize(rows.size());
        for (int r = 0; r < v.rows; ++r) {
            v.rowLen[r] = static_cast<int>(rows[r].size());
            for (int c = 0; c < v.rowLen[r]; ++c) Fill(v, r, c, rows[r][c]);
        }
        return v;
    }
    static Value RowOf(const std::vector<double>& x) {
        Value v = Value::MakeRow(static_cast<int>(x.size()), 12);
        for (int c = 0; c < v.cols; ++c) Fill(v, 0, c, x[c]);
        return v;
    }
    static Value Col(const std::vector<double>& x) {
        Value v = Value::MakeColumn(static_cast<int>(x.size()));
        for (int r = 0; r < v.rows; ++r) Fill(v, r, 0, x[r]);
        return v;
    }
    static void Fill(Value& v, int r, int c, double x) {
        if (x == B)
            v.SetBlank(r, c);
        else if (x == NA)
            v.SetNotAvail(r, c);
        else
            v.Set(r, c, x);
    }
    void Put(QSID id, Value v) { m_objects[id] = std::move(v); }

    bool Resolve(QSID id, Value& out) const override {
        auto it = m_objects.find(id);
        if (it == m_objects.end()) return false;
        out = it->second;
        return true;
    }
    const ProjectInfo& Info() const override { return m_info; }

    std::map<QSID, Value> m_objects;
    ProjectInfo m_info;
};

struct Case {
    const char* formula;
    int type;
    std::vector<double> cells;  // row by row; B blank, NA not available
};

void Check(const Project& p, const Case& c) {
    Value v;
    std::string err;
    ASSERT_EQ(qsformula::Test(FormulaTokens(c.formula), p, &v, &err), 0) << c.formula << ": " << err;
    EXPECT_EQ(v.type, c.type) << c.formula;
    ASSERT_EQ(v.v.size(), c.cells.size()) << c.formula;
    for (std::size_t i = 0; i < c.cells.size(); ++i) {
        const double e = c.cells[i];
        if (e == B) {
            EXPECT_EQ(v.f[i], kBlank) << c.formula << " cell " << i;
        } else if (e == NA) {
            EXPECT_EQ(v.f[i], kNotAvail) << c.formula << " cell " << i;
            EXPECT_EQ(v.v[i], 0.0) << c.formula << " cell " << i;
        } else {
            EXPECT_EQ(v.f[i], kHasValue) << c.formula << " cell " << i;
            EXPECT_NEAR(v.v[i], e, 1e-9 * std::max(1.0, std::fabs(e))) << c.formula << " cell " << i;
        }
    }
}

}  // namespace

TEST(FormulaFunctions, ElementwiseTotalsAndExtremes) {
    Project p;
    const Case cases[] = {
        {"Abs ( DO7 )", kColumn, {4, 9, 2.25}},
        {"Sqrt ( DO7 )", kColumn, {NA, 3, 1.5}},
        {"Invert ( DO3 )", kRow, {1 / 1.5, 1 / 1.2, 1 / 1.05}},
        {"Invert ( 0 )", kScalar, {NA}},
        {"Round ( 2.5 )", kScalar, {3}},
        {"Round ( 1234.5678 , 2 )", kScalar, {1234.57}},
        {"Round ( 1234.5678 , - 2 )", kScalar, {1200}},
        {"MatrixTotal ( DO1 )", kScalar, {820}},
        {"Sum ( DO1 )", kColumn, {430, 270, 120}},                  // total of each exposure period
        {"Sum ( DO2 )", kScalar, {3300}},
        {"Sum ( DO11 , DO10 )", kColumn, {2, 2, 7}},                 // a blank counts as 0 beside a value
        {"Sum ( DO11 , DO11 )", kColumn, {2, B, 6}},
        {"Max ( DO2 )", kScalar, {1200}},
        {"Max ( DO2 , 1100 )", kColumn, {1100, 1100, 1200}},
        {"Min ( DO1 )", kScalar, {100}},
        {"Min ( DO3 , 1.2 , 1.25 )", kRow, {1.2, 1.2, 1.05}},
        {"IfInterpolate ( DO3 , DO12 )", kRow, {1.5, 1.1, 1.05}},   // interpolated where there is one
    };
    for (const auto& c : cases) Check(p, c);
    // ZeroOutBlanks fills blanks inside the staircase only.
    p.Put(20, Project::Tri({{100, B, 180}, {B, 160}, {120}}));
    Check(p, {"ZeroOutBlanks ( DO20 )", kTriangle, {100, 0, 180, 0, 160, B, 120, B, B}});
}

TEST(FormulaFunctions, CumulatingAndDevelopment) {
    Project p;
    const double cdf0 = 1.5 * 1.2 * 1.05, cdf1 = 1.2 * 1.05;
    const Case cases[] = {
        {"Cumulate ( DO5 )", kTriangle, {100, 150, 180, 110, 160, B, 120, B, B}},
        {"Decumulate ( DO1 )", kTriangle, {100, 50, 30, 110, 50, B, 120, B, B}},
        {"Cumulate ( DO10 )", kColumn, {1, 3, 7}},
        {"CumulateSDF ( DO3 )", kRow, {cdf0, cdf1, 1.05}},
        {"DecumulateCDF ( CumulateSDF ( DO3 ) )", kRow, {1.5, 1.2, 1.05}},
        // Each period reads the factor at its latest age: 36, 24, 12 months.
        {"ConvertRowToCol ( DO4 )", kColumn, {1.05, 1.26, 1.89}},
        {"ConvertSDFToCol ( DO3 )", kColumn, {1.05, cdf1, cdf0}},
        // Chain ladder: latest diagonal times age-to-ultimate at its age.
        {"Develop ( Diagonal ( DO1 ) , CumulateSDF ( DO3 ) )", kColumn, {180 * 1.05, 160 * cdf1, 120 * cdf0}},
        {"Develop ( DO1 , DO4 )", kTriangle, {189, 189, 189, 207.9, 201.6, B, 226.8, B, B}},
        // Expected emerged of an a-priori ultimate (Bornhuetter-Ferguson).
        {"Undevelop ( DO2 , DO4 )", kColumn, {1000 / 1.05, 1100 / 1.26, 1200 / 1.89}},
        {"Diagonal ( DO1 )", kColumn, {180, 160, 120}},
        {"Diagonal2 ( DO1 )", kColumn, {150, 110, B}},
        {"DiagonalAsRow ( DO1 )", kRow, {120, 160, 180}},
        {"DiagonalAsRow2 ( DO1 )", kRow, {110, 150, B}},
        {"Shift ( DO2 , 1 )", kColumn, {B, 1000, 1100}},
        {"Shift ( DO1 , 1 )", kTriangle, {B, 100, 150, B, 110, B, B, B, B}},
        // Age-to-age factors written with Shift.
        {"Shift ( DO1 , - 1 ) / DO1", kTriangle, {1.5, 1.2, B, 160.0 / 110, B, B, B, B, B}},
        {"GetSystemDevelopmentAges ( )", kRow, {12, 24, 36}},
        // The tail spread over the last two ages keeps the age-to-ultimate product.
        {"SpreadTail ( DO3 , 2 )", kRow, {1.5 * std::sqrt(1.05), 1.2 * std::sqrt(1.05), 1}},
        {"CumulateSDF ( SpreadTail ( DO3 , 1 ) )", kRow, {cdf0, cdf1, 1}},
    };
    for (const auto& c : cases) Check(p, c);
    // A missing selection leaves the ages before it without a product.
    p.Put(21, Project::RowOf({1.5, B, 1.05}));
    Check(p, {"CumulateSDF ( DO21 )", kRow, {B, B, 1.05}});
    // A blank tail (a new project's) or a tail of 0 counts as 1, as in the
    // exhibits' cumulative rows, so a method develops every period.
    p.Put(21, Project::RowOf({1.5, 1.2, B}));
    Check(p, {"CumulateSDF ( DO21 )", kRow, {1.8, 1.2, 1}});
    p.Put(21, Project::RowOf({1.5, 1.2, 0}));
    Check(p, {"CumulateSDF ( DO21 )", kRow, {1.8, 1.2, 1}});
    EXPECT_EQ(qsformula::Test(FormulaTokens("SpreadTail ( DO3 , 3 )"), p), kBadArguments);
    EXPECT_EQ(qsformula::Test(FormulaTokens("ConvertRowToCol ( DO2 )"), p), kBadArguments);
}

TEST(FormulaFunctions, TrendAndAverages) {
    Project p;
    // Each period brought to the level of the latest one at 5% a year.
    Check(p, {"Trend ( DO2 , 0.05 )", kColumn, {1000 * 1.05 * 1.05, 1100 * 1.05, 1200}});
    Check(p, {"Trend ( 100 , 0.1 , 2 )", kScalar, {121}});
    p.Put(22, Project::Col({1, 1, 2}));
    Check(p, {"WeightedAvg ( DO10 , DO22 )", kScalar, {(1 + 2 + 8) / 4.0}});
    Check(p, {"WeightedAvg ( DO10 )", kScalar, {7 / 3.0}});
    // Volume-weighted age-to-age factors: weights are the amounts at the earlier age.
    Check(p, {"WeightedAvg ( Shift ( DO1 , - 1 ) / DO1 , DO1 )", kRow, {310.0 / 210, 1.2, B}});
    // Newest weight 1, then 0.5, then 0.25.
    Check(p, {"WeightedAvgWithDecay ( DO10 , 0.5 )", kScalar, {(4 + 1 + 0.25) / 1.75}});
    Check(p, {"WeightedAvgWithDecay ( DO10 , 0.5 , DO22 )", kScalar, {(8 + 1 + 0.25) / 2.75}});
    // Blanks are skipped and do not use up a decay step.
    Check(p, {"WeightedAvgWithDecay ( DO11 , 0.5 )", kScalar, {(3 + 0.5) / 1.5}});
    EXPECT_EQ(qsformula::Test(FormulaTokens("WeightedAvgWithDecay ( DO10 , 0 )"), p), kBadArguments);
    EXPECT_EQ(qsformula::Test(FormulaTokens("Trend ( DO3 , 0.05 )"), p), kBadArguments);
}

TEST(FormulaFunctions, FittedCurvesReproduceTheirOwnFamily) {
    Project p;
    // Linear through 1, 2, 4 at x = 1, 2, 3: slope 1.5, intercept -2/3.
    Check(p, {"FitLinear ( DO10 )", kColumn, {1.5 - 2 / 3.0, 3 - 2 / 3.0, 4.5 - 2 / 3.0}});
    Check(p, {"FitExponential ( DO10 )", kColumn, {1, 2, 4}});
    Check(p, {"FitLinear ( DO11 )", kColumn, {1, 2, 3}});  // fitted also where the data is blank
    // Development factors on the ages 12, 24, 36.
    auto ip = [](double x) { return 1 + std::exp(0.7) * std::pow(x, -1.3); };
    p.Put(23, Project::RowOf({ip(12), ip(24), ip(36)}));
    Check(p, {"FitInversePower ( DO23 )", kRow, {ip(12), ip(24), ip(36)}});
    auto wb = [](double x) { return 1 / (1 - std::exp(-std::exp(-3.0) * std::pow(x, 1.1))); };
    p.Put(24, Project::RowOf({wb(12), wb(24), wb(36)}));
    Check(p, {"FitWeibull ( DO24 )", kRow, {wb(12), wb(24), wb(36)}});
    // One usable point cannot be fitted.
    p.Put(25, Project::Col({B, 5, B}));
    Check(p, {"FitLinear ( DO25 )", kColumn, {NA, NA, NA}});
}

TEST(FormulaFunctions, InterpolationBetweenTheDevelopmentAges) {
    Project p;
    Check(p, {"InterpolateLinear ( DO4 , 18 )", kScalar, {(1.89 + 1.26) / 2}});
    const struct {
        const char* name;
        ENUM_CURVE_TYPE curve;
    } curves[] = {{"InterpolateExponential", CURVE_EXPONENTIAL},
                  {"InterpolateWeibull", CURVE_WEIBULL},
                  {"InterpolateInversePower", CURVE_INVERSE_POWER}};
    p.Put(26, Project::Col({18, 30, B}));
    for (const auto& c : curves) {
        const std::string f = std::string(c.name) + " ( DO4 , DO26 )";
        Check(p, {f.c_str(), kColumn,
                  {CInterpolation::Between(c.curve, 12, 1.89, 24, 1.26, 18),
                   CInterpolation::Between(c.curve, 24, 1.26, 36, 1.05, 30), B}});
    }
    EXPECT_EQ(qsformula::Test(FormulaTokens("InterpolateLinear ( DO3 , DO1 )"), p), kBadArguments);
}

TEST(FormulaFunctions, PayoutAndPresentValues) {
    Project p;
    p.Put(27, Project::Col({100, 200, 300}));
    // Row 0 is at 36 months (95% paid): the rest falls in the next period.
    // Row 1 at 24 months (80%): 15/20 then 5/20. Row 2 at 12 months (50%): 30/50, 15/50, 5/50.
    Check(p, {"Payout ( DO27 , DO6 )", kTriangle, {100, 0, 0, 150, 50, 0, 180, 90, 30}});
    const double v = 1 / 1.1;
    Check(p, {"PVFactors ( DO6 , 0.1 )", kColumn,
              {std::pow(v, 0.5), 0.75 * std::pow(v, 0.5) + 0.25 * std::pow(v, 1.5),
               0.6 * std::pow(v, 0.5) + 0.3 * std::pow(v, 1.5) + 0.1 * std::pow(v, 2.5)}});
    // Present value of the reserves: the payments discounted period by period.
    Check(p, {"Sum ( Payout ( DO27 , DO6 ) * 1.1 ^ ( 0.5 - GetSystemDevelopmentAges ( ) / 12 ) ) / DO27 - PVFactors ( DO6 , 0.1 )",
              kColumn, {0, 0, 0}});
    p.Put(28, Project::RowOf({0.5, B, 0.95}));
    Check(p, {"Payout ( DO27 , DO28 )", kTriangle, {100, 0, 0, NA, NA, NA, NA, NA, NA}});
}

TEST(FormulaFunctions, AverageCaseReserveAdjustment) {
    Project p;
    // Averages of the latest evaluation per age: 130/11 at 12 months, 80/4 at 24.
    const double a12 = 130.0 / 11, a24 = 20;
    const double r00 = 100 + a12 / (1.1 * 1.1) * 10, r10 = 110 + a12 / 1.1 * 12, r01 = 150 + a24 / 1.1 * 5;
    Check(p, {"AdjAvgCaseLoss ( DO1 , DO8 , DO9 , 0.1 )", kTriangle, {r00, r01, 200, r10, 240, B, 250, B, B}});
    Check(p, {"AdjAvgCaseALAE ( DO1 , DO8 , DO9 , 0.1 )", kTriangle, {r00, r01, 200, r10, 240, B, 250, B, B}});
    Check(p, {"AdjAvgCaseLossFactors ( DO1 , DO8 , DO9 , 0.1 )", kTriangle,
              {r01 / r00, 200 / r01, B, 240 / r10, B, B, B, B, B}});
    Check(p, {"AdjAvgCaseALAEFactors ( DO1 , DO8 , DO9 , 0 )", kTriangle,
              {(150 + 20 * 5) / (100 + a12 * 10), 200 / 250.0, B, 240 / (110 + a12 * 12), B, B, B, B, B}});
    // No open claims at the latest evaluation of an age: that age is left as reported.
    p.Put(29, Project::Tri({{10, 5, 2}, {12, 0}, {0}}));
    Check(p, {"AdjAvgCaseLoss ( DO1 , DO8 , DO29 , 0.1 )", kTriangle, {200, 220, 200, 230, 240, B, 250, B, B}});
    EXPECT_EQ(qsformula::Test(FormulaTokens("AdjAvgCaseLoss ( DO1 , DO8 , DO2 , 0.1 )"), p), kBadArguments);
}
