#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "CArchive.h"
#include "CDataObject.h"
#include "CTailFactorAnalysis.h"
#include "ReservingMath.h"
#include "TestEnvironment.h"

using namespace qs::calc;

namespace {

// The volume-weighted factors of a reference triangle as tail points at ages 1, 2, ...
CTailFactorAnalysis FromTriangle(const std::string& file, const std::string& column) {
    Triangle t;
    EXPECT_TRUE(ParseLongCsv(qs::test::ReadFile(qs::test::DataDir() + "/triangles/" + file), column, t));
    std::vector<double> ldf(t.cols - 1);
    std::vector<unsigned char> ok(t.cols - 1);
    VolumeWeightedFactors(t.Ref(), ldf.data(), ok.data());
    CTailFactorAnalysis a(1.0, 1.0);
    a.SetNumPoints(static_cast<int>(ldf.size()));
    for (int c = 0; c < CTailFactorAnalysis::kNumCurves; ++c)
        for (int i = 0; i < a.GetNumPoints(); ++i) a.SetValue(c, true, i, ldf[i]);
    return a;
}

}  // namespace

// Published fits: ln(f - 1) on x (exponential) and on ln x (inverse power),
// all nine factors, tail = product of the fitted factors for x = 10 ... 109.
TEST(CTailFactorAnalysis, ReproducesPublishedTailFits) {
    CTailFactorAnalysis raa = FromTriangle("raa.csv", "values");
    EXPECT_TRUE(raa.Calculate());
    EXPECT_DOUBLE_EQ(raa.GetCutoff(1), 109.0);
    EXPECT_NEAR(raa.GetYIntercept(1), 0.898926, 5e-7);
    EXPECT_NEAR(raa.GetSlope(1), -0.632334, 5e-7);
    EXPECT_NEAR(raa.GetTail(1), 1.009436, 5e-7);

    CTailFactorAnalysis gen = FromTriangle("genins.csv", "values");
    gen.Calculate();
    EXPECT_NEAR(gen.GetTail(1), 1.029499, 5e-7);
    EXPECT_NEAR(gen.GetIncFactor(1, 10.0), 1.011946, 5e-7);
    EXPECT_NEAR(gen.GetTail(0), 1.292430, 5e-7);

    CTailFactorAnalysis paid = FromTriangle("tail_sample.csv", "paid");
    paid.Calculate();
    EXPECT_NEAR(paid.GetIncFactor(1, 10.0), 1.012067, 5e-7);
    EXPECT_NEAR(paid.GetCumFactor(1, 11.0), 1.020099, 5e-7);
    EXPECT_NEAR(paid.GetTail(1), 1.032409, 5e-7);
    EXPECT_NEAR(paid.GetIncFactor(0, 10.0), 1.027083, 5e-7);
    EXPECT_NEAR(paid.GetCumFactor(0, 11.0), 1.325559, 5e-7);
    EXPECT_NEAR(paid.GetTail(0), 1.361459, 5e-7);
    // The tail is the cumulative fitted factor after the last data age.
    EXPECT_DOUBLE_EQ(paid.GetTail(0), paid.GetCumFactor(0, 10.0));
}

// One driver over the three curves in both forms: points lying exactly on a
// curve give back its a and b with R squared 1, and the fitted factors.
TEST(CTailFactorAnalysis, RecoversEveryCurveFromExactPoints) {
    struct Case {
        int curve;
        bool negative;
        double a, b, c;
    };
    const Case cases[] = {
        {0, false, -0.5, 1.7, 0.5}, {1, false, 0.3, -0.6, 0.0}, {2, false, 0.2, 0.9, 0.25},
        {0, true, -0.8, 1.2, 0.0},  {1, true, -0.2, -0.4, 0.0}, {2, true, -1.0, 0.8, 1.0},
    };
    for (const Case& k : cases) {
        auto curveAt = [&](double x) {
            const double t = x + k.c;
            switch (k.curve) {
                case 0: return k.negative ? 1 - std::exp(k.a) * std::pow(t, -k.b) : 1 + std::exp(k.a) * std::pow(t, -k.b);
                case 1: return k.negative ? 1 - std::exp(k.a + k.b * x) : 1 + std::exp(k.a + k.b * x);
                default: {
                    const double e = std::exp(-std::exp(k.a) * std::pow(t, k.b));
                    return k.negative ? 1 - e : 1 / (1 - e);
                }
            }
        };
        CTailFactorAnalysis a(1.0, 0.5);
        a.SetFitNegative(k.negative);
        a.SetConstant(k.curve, k.c);
        a.SetNumPoints(8);
        for (int i = 0; i < 8; ++i) a.SetValue(k.curve, true, i, curveAt(a.GetAge(i)));
        ASSERT_TRUE(a.SetCutoff(k.curve, 12.0));
        a.Calculate();
        const std::string name = "curve " + std::to_string(k.curve) + (k.negative ? " < 1" : "");
        ASSERT_TRUE(a.IsCurveFitted(k.curve)) << name;
        EXPECT_NEAR(a.GetYIntercept(k.curve), k.a, 1e-9) << name;
        EXPECT_NEAR(a.GetSlope(k.curve), k.b, 1e-9) << name;
        EXPECT_NEAR(a.GetRSquared(k.curve), 1.0, 1e-12) << name;
        EXPECT_NEAR(a.GetIncFactor(k.curve, 7.3), curveAt(7.3), 1e-9) << name;
        double product = 1.0;
        for (double x = 5.0; x <= 12.0 + 1e-9; x += 0.5) product *= curveAt(x);
        EXPECT_NEAR(a.GetTail(k.curve), product, 1e-9 * product) << name;
    }
}

TEST(CTailFactorAnalysis, ExclusionsModifiedValuesAndValidity) {
    CTailFactorAnalysis a(1.0, 1.0);
    a.SetNumPoints(4);
    const double on[] = {1.5, 1.25, 1.125, 1.0625};  // y - 1 halves each step
    for (int i = 0; i < 4; ++i) a.SetValue(1, true, i, on[i]);
    a.SetValue(1, true, 2, 3.0);  // an outlier ...
    a.SetExclude(1, 2, true);     // ... excluded
    a.Calculate();
    EXPECT_NEAR(a.GetSlope(1), std::log(0.5), 1e-12);

    // A modified value replaces the actual one in the fit; 0 clears it.
    a.SetExclude(1, 2, false);
    a.SetValue(1, false, 2, 1.125);
    EXPECT_DOUBLE_EQ(a.GetEffectiveValue(1, 2), 1.125);
    a.Calculate();
    EXPECT_NEAR(a.GetRSquared(1), 1.0, 1e-12);
    a.SetValue(1, false, 2, 0.0);
    EXPECT_DOUBLE_EQ(a.GetEffectiveValue(1, 2), 3.0);

    // Validity follows "Fit values less than 1".
    EXPECT_TRUE(a.IsValueValid(1.01));
    EXPECT_FALSE(a.IsValueValid(1.0));
    EXPECT_FALSE(a.IsValueValid(0.5));
    EXPECT_FALSE(a.IsValueValid(NAN));
    a.SetFitNegative(true);
    EXPECT_TRUE(a.IsValueValid(0.5));
    EXPECT_FALSE(a.IsValueValid(1.01));
    EXPECT_FALSE(a.IsValueValid(0.0));

    // Out-of-range curve or point: reads 0, writes nothing.
    EXPECT_FALSE(a.SetValue(3, true, 0, 2.0));
    EXPECT_FALSE(a.SetValue(0, true, 4, 2.0));
    EXPECT_DOUBLE_EQ(a.GetValue(-1, true, 0), 0.0);
    EXPECT_FALSE(a.GetExclude(0, 9));
}

TEST(CTailFactorAnalysis, CutoffsAndFittedFactorsAtAnyAge) {
    CTailFactorAnalysis a = FromTriangle("raa.csv", "values");
    // Refused: below the last data age (9); accepted: exactly at it, tail 1.
    EXPECT_FALSE(a.SetCutoff(1, 8.5));
    EXPECT_FALSE(a.SetCutoff(1, INFINITY));
    EXPECT_DOUBLE_EQ(a.GetCutoff(1), 109.0);
    EXPECT_TRUE(a.SetCutoff(1, 9.0));
    a.Calculate();
    EXPECT_DOUBLE_EQ(a.GetTail(1), 1.0);
    // A cutoff a hair below 10 still reaches the age 10.
    EXPECT_TRUE(a.SetCutoff(1, 9.9999995));
    a.Calculate();
    EXPECT_DOUBLE_EQ(a.GetTail(1), a.GetIncFactor(1, 10.0));
    // Cumulative = incremental x cumulative of the next age; 1 past the cutoff.
    EXPECT_TRUE(a.SetCutoff(1, 30.0));
    a.Calculate();
    EXPECT_NEAR(a.GetCumFactor(1, 12.0), a.GetIncFactor(1, 12.0) * a.GetCumFactor(1, 13.0), 1e-14);
    EXPECT_DOUBLE_EQ(a.GetCumFactor(1, 31.0), 1.0);

    // The exhibit row: fitted factors at the data ages, then the tail.
    const std::vector<double> row = a.GetCurveRow(1);
    ASSERT_EQ(row.size(), 10u);
    EXPECT_DOUBLE_EQ(row[0], a.GetIncFactor(1, 1.0));
    EXPECT_DOUBLE_EQ(row[9], a.GetTail(1));
}

// Degenerate analyses give a defined result, never NaN and never a hang.
TEST(CTailFactorAnalysis, DegenerateAnalyses) {
    auto expectNeutral = [](const CTailFactorAnalysis& a, int c, const char* what) {
        EXPECT_FALSE(a.IsCurveFitted(c)) << what;
        EXPECT_DOUBLE_EQ(a.GetTail(c), 1.0) << what;
        EXPECT_DOUBLE_EQ(a.GetIncFactor(c, 5.0), 1.0) << what;
        EXPECT_DOUBLE_EQ(a.GetRSquared(c), 0.0) << what;
    };
    CTailFactorAnalysis empty;
    EXPECT_FALSE(empty.Calculate());
    expectNeutral(empty, 0, "no points");

    CTailFactorAnalysis one(1.0, 1.0);
    one.SetNumPoints(1);
    one.SetValue(2, true, 0, 1.4);
    one.Calculate();
    expectNeutral(one, 2, "one point");

    CTailFactorAnalysis excluded = FromTriangle("raa.csv", "values");
    for (int i = 0; i < excluded.GetNumPoints(); ++i) excluded.SetExclude(0, i, true);
    excluded.Calculate();
    expectNeutral(excluded, 0, "all points excluded");
    EXPECT_TRUE(excluded.IsCurveFitted(1));

    CTailFactorAnalysis invalid = FromTriangle("raa.csv", "values");
    invalid.SetFitNegative(true);  // every factor is above 1
    invalid.Calculate();
    expectNeutral(invalid, 1, "no valid value");

    // An age increment of 0 (and a tiny one) cannot reach the cutoff.
    CTailFactorAnalysis flat = FromTriangle("raa.csv", "values");
    ASSERT_TRUE(flat.SetCutoff(1, 50.0));
    flat.SetAgeIncrement(0.0);
    EXPECT_FALSE(flat.Calculate());
    EXPECT_DOUBLE_EQ(flat.GetTail(1), 1.0);
    EXPECT_DOUBLE_EQ(flat.GetCumFactor(1, 2.0), 1.0);
    flat.SetAgeIncrement(1e-12);
    EXPECT_FALSE(flat.Calculate());

    // A constant that puts x + c below 0 drops those points and reads 1 there.
    CTailFactorAnalysis shifted = FromTriangle("raa.csv", "values");
    shifted.SetConstant(0, -3.5);
    shifted.Calculate();
    EXPECT_TRUE(shifted.IsCurveFitted(0));
    EXPECT_DOUBLE_EQ(shifted.GetIncFactor(0, 2.0), 1.0);
    EXPECT_TRUE(std::isfinite(shifted.GetTail(0)));
}

TEST(CTailFactorAnalysis, CopyNamesEnabledCurvesAndDirtyFlag) {
    CTailFactorAnalysis a = FromTriangle("raa.csv", "values");
    a.SetDataDirty(0);
    a.Calculate();
    EXPECT_EQ(a.IsDataDirty(), 0);  // refitting is not an edit
    a.SetExclude(0, 0, false);      // no change
    EXPECT_EQ(a.IsDataDirty(), 0);
    a.SetExclude(0, 0, true);
    EXPECT_EQ(a.IsDataDirty(), 1);

    a.EnableCurve(2, true);
    a.SetIDLongName("CRX Paid");
    CTailFactorAnalysis b;
    b = a;
    EXPECT_TRUE(b.IsCurveEnabled(2));
    EXPECT_FALSE(b.IsCurveEnabled(0));
    EXPECT_EQ(b.GetIDLongName(), "CRX Paid");
    EXPECT_DOUBLE_EQ(b.GetTail(1), a.GetTail(1));
    b.SetValue(1, true, 0, 5.0);  // the copy is independent
    EXPECT_NE(a.GetValue(1, true, 0), 5.0);

    EXPECT_EQ(a.GetCurveName(0, 0), "Inverse Power Curve");
    EXPECT_EQ(a.GetCurveName(1, 1), "Exp Curve");
    EXPECT_EQ(a.GetCurveName(2, 0), "Weibull Curve");
    EXPECT_EQ(a.GetCurveName(3, 0), "");
}

TEST(CTailFactorAnalysis, SerializeRoundTripAndDamagedStreams) {
    CTailFactorAnalysis a = FromTriangle("tail_sample.csv", "paid");
    a.SetValue(2, false, 3, 1.2);
    a.SetExclude(0, 1, true);
    a.SetConstant(2, 0.5);
    ASSERT_TRUE(a.SetCutoff(0, 40.0));
    a.EnableCurve(1, true);
    a.SetIDLongName("CRX Paid Losses");
    a.SetIDShortName("CRX Paid");
    a.Calculate();

    std::vector<uint8_t> bytes;
    {
        CArchive out(bytes, CArchive::store);
        a.Serialize(out);
        out.Close();
    }
    CTailFactorAnalysis b;
    {
        CArchive in(bytes, CArchive::load);
        b.Serialize(in);
    }
    EXPECT_EQ(b.IsDataDirty(), 0);
    EXPECT_EQ(b.GetNumPoints(), a.GetNumPoints());
    EXPECT_DOUBLE_EQ(b.GetValue(2, false, 3), 1.2);
    EXPECT_TRUE(b.GetExclude(0, 1));
    EXPECT_DOUBLE_EQ(b.GetConstant(2), 0.5);
    EXPECT_DOUBLE_EQ(b.GetCutoff(0), 40.0);
    EXPECT_TRUE(b.IsCurveEnabled(1));
    EXPECT_EQ(b.GetIDShortName(), "CRX Paid");
    for (int c = 0; c < 3; ++c) {
        EXPECT_DOUBLE_EQ(b.GetTail(c), a.GetTail(c)) << c;
        EXPECT_DOUBLE_EQ(b.GetRSquared(c), a.GetRSquared(c)) << c;
    }
    // Storing the loaded copy gives the same bytes.
    std::vector<uint8_t> again;
    {
        CArchive out(again, CArchive::store);
        b.Serialize(out);
        out.Close();
    }
    EXPECT_EQ(again, bytes);

    // Damaged streams throw and leave the target as it was.
    auto expectRefused = [&](std::vector<uint8_t> damaged, const char* what) {
        CTailFactorAnalysis target = a;
        CArchive in(damaged, CArchive::load);
        EXPECT_THROW(target.Serialize(in), CArchiveException) << what;
        EXPECT_EQ(target.GetNumPoints(), a.GetNumPoints()) << what;
        EXPECT_DOUBLE_EQ(target.GetTail(1), a.GetTail(1)) << what;
    };
    expectRefused({bytes.begin(), bytes.begin() + bytes.size() / 2}, "truncated");
    expectRefused({}, "empty");
    std::vector<uint8_t> version = bytes;
    version[0] = 9;
    expectRefused(version, "unknown layout");
    std::vector<uint8_t> count = bytes;
    count[2 + 16 + 3] = 0x7F;  // point count after the version and the two ages
    expectRefused(count, "huge point count");
}

TEST(CTailFactorAnalysis, CurveRowsAsDataObject) {
    CTailFactorAnalysis a = FromTriangle("raa.csv", "values");
    for (int i = 0; i < a.GetNumPoints(); ++i) a.SetExclude(2, i, true);  // Weibull unfitted
    a.SetIDLongName("CRX Paid");
    a.Calculate();
    const std::unique_ptr<CDataObject> d = a.GetCRXDO();
    std::uint16_t rows = 0, cols = 0;
    d->GetMaxRowsCols(rows, cols);
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(cols, 10);
    EXPECT_EQ(d->GetIDLongName(), "CRX Paid");
    double v = 0;
    std::uint8_t f = 0;
    ASSERT_EQ(d->GetAt(1, 9, v, f), 0);
    EXPECT_TRUE(f & CDataObject::CF_VALUE);
    EXPECT_NEAR(v, 1.009436, 5e-7);
    ASSERT_EQ(d->GetAt(0, 0, v, f), 0);
    EXPECT_DOUBLE_EQ(v, a.GetIncFactor(0, 1.0));
    ASSERT_EQ(d->GetAt(2, 3, v, f), 0);
    EXPECT_FALSE(f & CDataObject::CF_VALUE);
}
