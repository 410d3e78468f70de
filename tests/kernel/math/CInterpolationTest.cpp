#include <gtest/gtest.h>

#include <cstdint>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "CArchive.h"
#include "CDataObject.h"
#include "CInterpolateSelection.h"
#include "CInterpolation.h"
#include "CInterpolationUtil.h"
#include "ReservingMath.h"
#include "TestEnvironment.h"

TEST(CInterpolationUtil, LabelsCodesAndListPositions) {
    struct Curve {
        ENUM_CURVE_TYPE code;
        const char* full;
        const char* shortLabel;
        int index;
    };
    const Curve curves[] = {{CURVE_LINEAR, "Linear", "Linear", 0},
                            {CURVE_EXPONENTIAL, "Exponential", "Exp", 1},
                            {CURVE_WEIBULL, "Weibull", "Weibull", 2},
                            {CURVE_INVERSE_POWER, "Inverse Power", "Inv Power", 3}};
    for (const Curve& c : curves) {
        EXPECT_EQ(CInterpolationUtil::GetCurveLabel(c.code, 0), c.full);
        EXPECT_EQ(CInterpolationUtil::GetCurveLabel(c.code, 1), c.shortLabel);
        EXPECT_EQ(CInterpolationUtil::GetCurveIndices(c.code), c.index);
        ENUM_CURVE_TYPE back = CURVE_LINEAR;
        EXPECT_TRUE(CInterpolationUtil::GetCurveType(c.full, &back));
        EXPECT_EQ(back, c.code);
        back = CURVE_LINEAR;
        EXPECT_TRUE(CInterpolationUtil::GetCurveType(c.shortLabel, &back));
        EXPECT_EQ(back, c.code);
    }
    EXPECT_EQ(CInterpolationUtil::GetInputLabel(INPUT_CUMULATIVE, 0), "Cumulative");
    EXPECT_EQ(CInterpolationUtil::GetInputLabel(INPUT_RATIO_TO_ULTIMATE, 1), "Ratio to Ult");
    EXPECT_EQ(CInterpolationUtil::GetInputIndices(INPUT_RATIO_TO_ULTIMATE), 1);
    ENUM_INPUT_TYPE in = INPUT_CUMULATIVE;
    EXPECT_TRUE(CInterpolationUtil::GetInputType(" ratio to ultimate ", &in));
    EXPECT_EQ(in, INPUT_RATIO_TO_ULTIMATE);

    // Unknown texts and codes.
    ENUM_CURVE_TYPE untouched = CURVE_WEIBULL;
    EXPECT_FALSE(CInterpolationUtil::GetCurveType("Cubic", &untouched));
    EXPECT_EQ(untouched, CURVE_WEIBULL);
    EXPECT_FALSE(CInterpolationUtil::GetInputType("", &in));
    EXPECT_EQ(CInterpolationUtil::GetCurveIndices(static_cast<ENUM_CURVE_TYPE>(5)), -1);
    EXPECT_EQ(CInterpolationUtil::GetCurveLabel(static_cast<ENUM_CURVE_TYPE>(0), 0), "");

    const CInterpolateSelection sel(3, CURVE_WEIBULL, INPUT_RATIO_TO_ULTIMATE);
    EXPECT_EQ(sel.GetOrder(), 3);
    EXPECT_EQ(sel, CInterpolateSelection(3, CURVE_WEIBULL, INPUT_RATIO_TO_ULTIMATE));
}

TEST(CInterpolation, StoredCodesOutsideTheEnumerationsLoadAsDefaults) {
    struct Case {
        std::int32_t curve, input;
        ENUM_CURVE_TYPE curveAfter;
        ENUM_INPUT_TYPE inputAfter;
    };
    const Case cases[] = {
        {CURVE_WEIBULL, INPUT_RATIO_TO_ULTIMATE, CURVE_WEIBULL, INPUT_RATIO_TO_ULTIMATE},
        {1000, -7, CURVE_EXPONENTIAL, INPUT_CUMULATIVE},
        {0, 3, CURVE_EXPONENTIAL, INPUT_CUMULATIVE},
        {INT32_MIN, INT32_MAX, CURVE_EXPONENTIAL, INPUT_CUMULATIVE},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes;
        {
            CArchive ar(bytes, CArchive::store);
            ar << std::int32_t(2) << c.curve << c.input;
        }
        CArchive ar(bytes, CArchive::load);
        CInterpolateSelection sel;
        sel.Serialize(ar);
        EXPECT_EQ(sel, CInterpolateSelection(2, c.curveAfter, c.inputAfter)) << c.curve << " " << c.input;
    }
}

// One driver over the curves: input lying exactly on a curve of the family is
// reproduced at ages between and beyond the known ones, for factors above 1
// (cumulative) and below 1 (ratio to ultimate). The distance to 1 of a family
// member scaled by a constant stays in the family; Weibull is the curve of
// the ratio itself, so its ratio input is 1 / cumulative.
TEST(CInterpolation, EachCurveReproducesItsOwnFamily) {
    struct Case {
        ENUM_CURVE_TYPE curve;
        const char* name;
        std::function<double(double)> cumulative;  // > 1, falling to 1
        std::function<double(double)> ratio;       // < 1, rising to 1
    };
    auto dLin = [](double x) { return 2.0 - x / 60.0; };
    auto dExp = [](double x) { return std::exp(1.5 - 0.04 * x); };
    auto dInv = [](double x) { return std::exp(4.0) * std::pow(x, -1.6); };
    auto rWei = [](double x) { return 1.0 - std::exp(-std::exp(-4.0) * std::pow(x, 1.3)); };
    const Case cases[] = {
        {CURVE_LINEAR, "linear", [&](double x) { return 1 + dLin(x); }, [&](double x) { return 1 - dLin(x) / 4; }},
        {CURVE_EXPONENTIAL, "exponential", [&](double x) { return 1 + dExp(x); },
         [&](double x) { return 1 - dExp(x) / 4; }},
        {CURVE_INVERSE_POWER, "inverse power", [&](double x) { return 1 + dInv(x); },
         [&](double x) { return 1 - dInv(x) / 8; }},
        {CURVE_WEIBULL, "weibull", [&](double x) { return 1 / rWei(x); }, rWei},
    };
    const std::vector<double> ages = {12, 24, 36, 48, 60, 72};
    const std::vector<double> wanted = {18, 30, 54, 66, 72, 84};
    for (const Case& c : cases) {
        for (bool ratio : {false, true}) {
            const auto& f = ratio ? c.ratio : c.cumulative;
            std::vector<double> in;
            for (double a : ages) in.push_back(f(a));
            CInterpolation interp;
            ASSERT_TRUE(interp.SetInputParams(ages, in, {}, wanted)) << c.name;
            std::vector<double> out;
            std::vector<unsigned char> flags;
            ASSERT_TRUE(interp.Interpolate(c.curve, PERIOD_ACCIDENT, 12, out, flags, 0)) << c.name;
            for (size_t j = 0; j < wanted.size(); ++j) {
                EXPECT_EQ(flags[j], 1);
                EXPECT_NEAR(out[j], f(wanted[j]), 1e-9)
                    << c.name << (ratio ? " ratio" : " cumulative") << " at " << wanted[j];
            }
        }
    }
}

TEST(CInterpolation, FallsBackAndRefusesWhereCurvesAreUndefined) {
    CInterpolation interp;
    std::vector<double> out;
    std::vector<unsigned char> flags;
    // Fewer than two usable points (a blank cell does not count).
    EXPECT_FALSE(interp.SetInputParams({12, 24}, {2.0, 1.5}, {1, 4}, {18}));
    EXPECT_FALSE(interp.Interpolate(CURVE_LINEAR, PERIOD_ACCIDENT, 12, out, flags, 0));
    ASSERT_EQ(flags.size(), 1u);
    EXPECT_EQ(flags[0], 4);
    EXPECT_FALSE(interp.SetInputParams({12, 24}, {2.0}, {}, {18}));

    // A tail of exactly 1: the curves cannot reach it, the segment is linear;
    // past the last age nothing falls below 1.
    ASSERT_TRUE(interp.SetInputParams({12, 24, 36}, {1.5, 1.1, 1.0}, {}, {30, 60, 6}));
    for (ENUM_CURVE_TYPE c : {CURVE_LINEAR, CURVE_EXPONENTIAL, CURVE_WEIBULL, CURVE_INVERSE_POWER}) {
        ASSERT_TRUE(interp.Interpolate(c, PERIOD_POLICY, 12, out, flags, 0));
        EXPECT_NEAR(out[0], 1.05, 1e-12) << c;
        EXPECT_DOUBLE_EQ(out[1], 1.0) << c;
        EXPECT_GT(out[2], 1.5) << c;
        EXPECT_TRUE(std::isfinite(out[2])) << c;
    }
    // An age of 0 under a logarithm, points on both sides of 1.
    EXPECT_NEAR(CInterpolation::Between(CURVE_INVERSE_POWER, 0, 3.0, 12, 2.0, 6), 2.5, 1e-12);
    EXPECT_NEAR(CInterpolation::Between(CURVE_EXPONENTIAL, 12, 1.2, 24, 0.8, 18), 1.0, 1e-12);

    // Unknown curve code and adjustment are refused.
    EXPECT_FALSE(interp.Interpolate(static_cast<ENUM_CURVE_TYPE>(7), PERIOD_ACCIDENT, 12, out, flags, 0));
    EXPECT_FALSE(interp.Interpolate(CURVE_LINEAR, PERIOD_ACCIDENT, 12, out, flags, 2));
}

TEST(CInterpolation, EarnedShareOfAPeriod) {
    struct Case {
        ENUM_PERIOD period;
        int length;
        double age, share;
    };
    const Case cases[] = {
        {PERIOD_ACCIDENT, 12, 6, 0.5},   {PERIOD_ACCIDENT, 12, 12, 1.0},  {PERIOD_ACCIDENT, 12, 30, 1.0},
        {PERIOD_ACCIDENT, 3, 1.5, 0.5},  {PERIOD_ACCIDENT, 12, 0, 0.0},   {PERIOD_ACCIDENT, 12, -3, 0.0},
        {PERIOD_ACCIDENT, 0, 6, 0.0},
        // Annual policies written evenly over a policy year: x^2 / 288 up to
        // 12 months, 1 - (24 - x)^2 / 288 up to 24.
        {PERIOD_POLICY, 12, 6, 36.0 / 288}, {PERIOD_POLICY, 12, 12, 0.5},    {PERIOD_POLICY, 12, 18, 1 - 36.0 / 288},
        {PERIOD_POLICY, 12, 24, 1.0},       {PERIOD_POLICY, 12, 40, 1.0},
        // A quarter's annual policies: fully earned 15 months in.
        {PERIOD_POLICY, 3, 3, 1.5 / 12},    {PERIOD_POLICY, 3, 15, 1.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(CInterpolation::EarnedFraction(c.period, c.length, c.age), c.share, 1e-12)
            << c.period << " " << c.length << " " << c.age;
}

// An interim evaluation 6 and 18 months into accident years: the factor to
// the full year's ultimate comes from the curve, the factor to the ultimate of
// the exposure earned so far is that times the share earned (a ratio is
// divided by it).
TEST(CInterpolation, PartialPeriodUltimate) {
    CInterpolation interp;
    std::vector<double> full, part;
    std::vector<unsigned char> ff, pf;
    ASSERT_TRUE(interp.SetInputParams({12, 24, 36}, {4.0, 1.6, 1.2}, {}, {6, 18, 36, 0}));
    ASSERT_TRUE(interp.Interpolate(CURVE_EXPONENTIAL, PERIOD_ACCIDENT, 12, full, ff, ADJ_FULL_PERIOD_ULTIMATE));
    ASSERT_TRUE(interp.Interpolate(CURVE_EXPONENTIAL, PERIOD_ACCIDENT, 12, part, pf, ADJ_PARTIAL_PERIOD_ULTIMATE));
    // ln(y - 1) linear in age through (12, ln 3) and (24, ln 0.6).
    const double at6 = 1 + std::exp(std::log(3.0) - 0.5 * (std::log(0.6) - std::log(3.0)));
    EXPECT_NEAR(full[0], at6, 1e-12);
    EXPECT_NEAR(part[0], at6 * 0.5, 1e-12);
    EXPECT_NEAR(part[1], full[1], 1e-12);  // a year and a half in: the year is earned
    EXPECT_DOUBLE_EQ(part[2], 1.2);
    EXPECT_EQ(pf[3], 4);  // age 0: nothing earned, no factor
    EXPECT_EQ(ff[3] & 1, 1);

    // The same as ratios to ultimate, found as such from the factors.
    ASSERT_TRUE(interp.SetInputParams({12, 24, 36}, {0.25, 0.625, 1 / 1.2}, {}, {6}));
    ASSERT_TRUE(interp.Interpolate(CURVE_LINEAR, PERIOD_ACCIDENT, 12, part, pf, ADJ_PARTIAL_PERIOD_ULTIMATE));
    // Before the first age a ratio follows its factors (4 and 1.6): 5.2 at 6 months.
    EXPECT_NEAR(part[0], (1 / 5.2) / 0.5, 1e-12);
    // Said explicitly, the form wins over the guess.
    interp.SetInputType(INPUT_CUMULATIVE);
    ASSERT_TRUE(interp.Interpolate(CURVE_LINEAR, PERIOD_ACCIDENT, 12, part, pf, ADJ_PARTIAL_PERIOD_ULTIMATE));
    EXPECT_NEAR(part[0], (0.25 - 0.5 * 0.375) * 0.5, 1e-12);

    // Policy years, and a period length that cannot earn anything.
    interp.SetInputType(INPUT_CUMULATIVE);
    ASSERT_TRUE(interp.SetInputParams({12, 24, 36}, {4.0, 1.6, 1.2}, {}, {12}));
    ASSERT_TRUE(interp.Interpolate(CURVE_LINEAR, PERIOD_POLICY, 12, part, pf, ADJ_PARTIAL_PERIOD_ULTIMATE));
    EXPECT_NEAR(part[0], 2.0, 1e-12);
    EXPECT_FALSE(interp.Interpolate(CURVE_LINEAR, PERIOD_ACCIDENT, 0, part, pf, ADJ_PARTIAL_PERIOD_ULTIMATE));
}

// Selections are stored as framed objects: the class tag with its name and
// schema before the first one, then the three codes.
TEST(CInterpolateSelection, StoresAsFramedObject) {
    const CInterpolateSelection first(1, CURVE_WEIBULL, INPUT_RATIO_TO_ULTIMATE);
    const CInterpolateSelection second(2, CURVE_LINEAR, INPUT_CUMULATIVE);
    std::vector<uint8_t> bytes;
    {
        CArchive out(bytes, CArchive::store);
        out << &first << &second;
        out.Close();
    }
    const std::string name = "CInterpolateSelection";
    ASSERT_EQ(bytes.size(), 2u + 2 + 2 + name.size() + 12 + 2 + 12);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFF);
    EXPECT_EQ(bytes[2], CInterpolateSelection::kSchema);
    EXPECT_EQ(bytes[4], name.size());
    EXPECT_EQ(std::string(bytes.begin() + 6, bytes.begin() + 6 + name.size()), name);

    CArchive in(bytes, CArchive::load);
    CInterpolateSelection* a = nullptr;
    CInterpolateSelection* b = nullptr;
    in >> a >> b;
    ASSERT_TRUE(a && b);
    EXPECT_EQ(*a, first);
    EXPECT_EQ(*b, second);
    delete a;
    delete b;

    // Unknown codes load as the defaults.
    std::vector<uint8_t> raw = {5, 0, 0, 0, 42, 0, 0, 0, 7, 0, 0, 0};
    CArchive rin(raw, CArchive::load);
    CInterpolateSelection s;
    s.Serialize(rin);
    EXPECT_EQ(s.GetOrder(), 5);
    EXPECT_EQ(s.GetCurveType(), CURVE_EXPONENTIAL);
    EXPECT_EQ(s.GetInputType(), INPUT_CUMULATIVE);
}

TEST(CInterpolation, OverDataObjects) {
    auto row = [](const std::vector<double>& v, int blankAt = -1) {
        auto d = std::make_unique<CDataObject>();
        d->SetShape(1, static_cast<std::uint16_t>(v.size()), CDataObject::VT_ROW);
        for (int i = 0; i < static_cast<int>(v.size()); ++i) {
            if (i == blankAt) d->SetCellBlank(0, i);
            else d->SetAt(0, i, v[i]);
        }
        return d;
    };
    const auto ages = row({12, 24, 36, 48});
    const auto cum = row({3.0, 2.0, 9.9, 1.25}, 2);  // a blank input cell is skipped
    const auto wanted = row({18, 30});
    CInterpolation interp;
    ASSERT_TRUE(interp.SetInputParams(ages.get(), cum.get(), wanted.get()));
    CDataObject* result = nullptr;
    ASSERT_TRUE(interp.Interpolate(CURVE_LINEAR, PERIOD_ACCIDENT, 12, result, 0));
    std::unique_ptr<CDataObject> owned(result);
    double v = 0;
    std::uint8_t f = 0;
    ASSERT_EQ(result->GetAt(0, 0, v, f), 0);
    EXPECT_DOUBLE_EQ(v, 2.5);
    ASSERT_EQ(result->GetAt(0, 1, v, f), 0);
    EXPECT_DOUBLE_EQ(v, 2.0 - 0.75 * 0.25);  // between 24 and 48

    EXPECT_FALSE(interp.SetInputParams(nullptr, cum.get(), wanted.get()));
    EXPECT_FALSE(interp.SetInputParams(wanted.get(), cum.get(), ages.get()));  // 2 ages for 4 values
    result = reinterpret_cast<CDataObject*>(1);
    EXPECT_FALSE(interp.Interpolate(CURVE_LINEAR, PERIOD_ACCIDENT, 12, result, 0));
    EXPECT_EQ(result, nullptr);
}

// RAA's volume-weighted selections (no tail) at 12 ... 120 months, asked at
// ages before the first and past the last: every curve, both forms and both
// adjustments keep ratios within 0 and 1 and factors at or above 1, a ratio
// before the first age is the inverse of the factor the cumulative form
// gives, and the extrapolated ages are named and noted.
TEST(CInterpolation, ExtrapolationStaysWithinBoundsAndIsNamed) {
    qs::calc::Triangle raa;
    ASSERT_TRUE(qs::calc::ParseLongCsv(qs::test::ReadFile(qs::test::DataDir() + "/triangles/raa.csv"), "values", raa));
    std::vector<double> ldf(9), atu(10), ratio(10), ages;
    std::vector<unsigned char> ok(9);
    qs::calc::VolumeWeightedFactors(raa.Ref(), ldf.data(), ok.data());
    qs::calc::AgeToUltimate(ldf.data(), 9, 1.0, atu.data());
    for (int k = 0; k < 10; ++k) {
        ratio[static_cast<std::size_t>(k)] = 1 / atu[static_cast<std::size_t>(k)];
        ages.push_back(12.0 * (k + 1));
    }
    const std::vector<double> wanted = {3, 6, 60, 130, 240};
    for (ENUM_CURVE_TYPE curve : {CURVE_LINEAR, CURVE_EXPONENTIAL, CURVE_WEIBULL, CURVE_INVERSE_POWER}) {
        for (ENUM_PERIOD period : {PERIOD_ACCIDENT, PERIOD_POLICY}) {
            for (int adjustment : {0, 1}) {
                SCOPED_TRACE(testing::Message() << "curve " << curve << " period " << period << " adj " << adjustment);
                CInterpolation c, r;
                ASSERT_TRUE(c.SetInputParams(ages, atu, {}, wanted));
                ASSERT_TRUE(r.SetInputParams(ages, ratio, {}, wanted));
                std::vector<double> cf, rf;
                std::vector<unsigned char> cflags, rflags;
                ASSERT_TRUE(c.Interpolate(curve, period, 12, cf, cflags, adjustment));
                ASSERT_TRUE(r.Interpolate(curve, period, 12, rf, rflags, adjustment));
                for (std::size_t j = 0; j < wanted.size(); ++j) {
                    ASSERT_EQ(cflags[j], 1) << wanted[j];
                    ASSERT_EQ(rflags[j], 1) << wanted[j];
                    EXPECT_GE(cf[j], 1.0) << wanted[j];
                    EXPECT_GT(rf[j], 0.0) << wanted[j];
                    EXPECT_LE(rf[j], 1.0) << wanted[j];
                    if (adjustment == 0 && wanted[j] < 12) {
                        EXPECT_GE(cf[j], atu[0]) << wanted[j];
                        EXPECT_NEAR(rf[j], 1 / cf[j], 1e-12) << wanted[j];
                    }
                }
            }
        }
    }
    CInterpolation interp;
    ASSERT_TRUE(interp.SetInputParams(ages, ratio, {}, wanted));
    EXPECT_EQ(interp.AgesOutsideRange(), (std::vector<std::size_t>{0, 1, 3, 4}));
    double first = 0, last = 0;
    ASSERT_TRUE(interp.GetKnownRange(first, last));
    EXPECT_EQ(first, 12);
    EXPECT_EQ(last, 120);

    auto row = [](const std::vector<double>& v) {
        auto d = std::make_unique<CDataObject>();
        d->SetShape(1, static_cast<std::uint16_t>(v.size()), CDataObject::VT_ROW);
        for (int i = 0; i < static_cast<int>(v.size()); ++i) d->SetAt(0, i, v[static_cast<std::size_t>(i)]);
        return d;
    };
    const auto ageRow = row(ages), ratioRow = row(ratio), wantedRow = row(wanted);
    ASSERT_TRUE(interp.SetInputParams(ageRow.get(), ratioRow.get(), wantedRow.get()));
    CDataObject* result = nullptr;
    ASSERT_TRUE(interp.Interpolate(CURVE_EXPONENTIAL, PERIOD_ACCIDENT, 12, result, 0));
    std::unique_ptr<CDataObject> owned(result);
    std::string note;
    ASSERT_EQ(result->GetNoteInCell(0, 1, note), 0);
    EXPECT_EQ(note, "Extrapolated: 6 months lies outside the selected factors' ages (12 to 120 months).");
    EXPECT_FALSE(result->DoesCellHaveNote(0, 2));
    EXPECT_TRUE(result->DoesCellHaveNote(0, 4));
}
