#pragma once
// Interpolation of selected factors at ages other than the exhibit's own:
// given the factors at the current ages (cumulative age-to-ultimate factors,
// or ratios to ultimate), the value at each wanted age is read from the curve
// through the two known points around it (or the two nearest, outside their
// range). With d = |y - 1| the distance still to develop:
//   Linear         y linear in age
//   Exponential    ln d linear in age            (d = e^(a + b x))
//   Inverse Power  ln d linear in ln age         (d = e^a x^-b)
//   Weibull        ln(-ln(1 - r)) linear in ln age, r = the ratio to ultimate
//                  (y itself below 1, 1/y above 1)
// A segment where a curve is undefined (a point at exactly 1, points on both
// sides of 1, an age <= 0 under a logarithm) is interpolated linearly, and
// results never cross 1: development cannot reverse past ultimate.
//
// Outside the known ages the nearest segment's curve is extended, within
// bounds: past the last age toward 1 and never across it; before the first
// age a ratio to ultimate follows the curve of its age-to-ultimate factors
// (1 / r), so it stays between 0 and the first ratio instead of falling
// below 0 as the curves of 1 - r would. Results are always above 0.
// AgesOutsideRange names the wanted ages extrapolated so, and the data-object
// form notes each such cell.
#include <cstddef>
#include <string>
#include <vector>

#include "CInterpolationUtil.h"

class CDataObject;

class CInterpolation {
public:
    // currentAges[i] is the age (months) of input[i]; a cell whose flag lacks
    // the value bit (1) is ignored. interpolateAges are the wanted ages.
    // False when the shapes differ or fewer than two usable points remain.
    bool SetInputParams(const std::vector<double>& currentAges, const std::vector<double>& input,
                        const std::vector<unsigned char>& inputFlags, const std::vector<double>& interpolateAges);

    // The form of the input factors. Until set, the least developed known
    // factor tells: at least 1 reads as cumulative, below 1 as ratios.
    void SetInputType(ENUM_INPUT_TYPE input) { m_inputType = input; }

    // Fills one value per wanted age (flag 1) or a blank (flag 4) for an age
    // that is not finite. Ages are months from the start of the exposure
    // period, for the known and the wanted factors alike.
    //
    // adjustment 0 (full period ultimate): the factors develop to the
    // ultimate of the whole exposure period, as the known factors do.
    // adjustment 1 (partial period ultimate): they develop to the ultimate of
    // the exposure earned by the wanted age, as at an interim evaluation part
    // way through a period: the curve's age-to-ultimate factor is multiplied
    // by the share earned, EarnedFraction(period, periodLength, age), and a
    // ratio to ultimate divided by it, never across 1 (a factor below 1
    // becomes 1, a ratio above 1 becomes 1); an age with nothing earned is
    // blank.
    // Fails for another adjustment, an unknown curve, a period length that is
    // not positive (partial only), or without input.
    bool Interpolate(ENUM_CURVE_TYPE curve, ENUM_PERIOD period, int periodLength, std::vector<double>& result,
                     std::vector<unsigned char>& resultFlags, int adjustment) const;

    // The same over data objects: every cell of currentPeriods (a row or a
    // column of ages in months) pairs with the cell of input at the same
    // position in row-major order; interpolatePeriods lists the wanted ages
    // likewise. False for a missing object or shapes that do not pair.
    bool SetInputParams(const CDataObject* currentPeriods, const CDataObject* input,
                        const CDataObject* interpolatePeriods);
    // result receives a new one-row object (the caller owns it) with one cell
    // per wanted age; on failure it is left null.
    bool Interpolate(ENUM_CURVE_TYPE curve, ENUM_PERIOD period, int periodLength, CDataObject*& result,
                     int adjustment) const;

    // The share of an exposure period's exposure earned by age months:
    // accident periods earn evenly over their length, min(age / length, 1);
    // policy periods are written evenly over their length and each policy
    // earns evenly over a 12-month term, so a 12-month policy period is half
    // earned at 12 months and fully at 24. 0 for an age <= 0 or a length
    // that is not positive.
    static constexpr double kPolicyTermMonths = 12.0;
    static double EarnedFraction(ENUM_PERIOD period, int periodLength, double age);

    // One value on the curve through (x0, y0) and (x1, y1), at x.
    static double Between(ENUM_CURVE_TYPE curve, double x0, double y0, double x1, double y1, double x);

    // The ages the known factors span (false without input), the indexes of
    // the wanted ages outside them (extrapolated), and the note that says
    // so for wanted age j ("Extrapolated: 6 months lies outside the selected
    // factors' ages (12 to 120 months).").
    bool GetKnownRange(double& first, double& last) const;
    std::vector<std::size_t> AgesOutsideRange() const;
    std::string OutsideRangeNote(std::size_t j) const;

private:
    bool IsRatioInput() const;

    std::vector<double> m_ages;    // usable points, ascending age
    std::vector<double> m_values;
    std::vector<double> m_wanted;
    bool m_ready = false;
    int m_inputType = 0;  // 0: read from the factors
};
