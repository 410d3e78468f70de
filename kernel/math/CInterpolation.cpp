#include "CInterpolation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "ReservingMath.h"

namespace {

double InterpLinear(double x0, double y0, double x1, double y1, double x) {
    return x1 == x0 ? y0 : y0 + (y1 - y0) * (x - x0) / (x1 - x0);
}

}  // namespace

bool CInterpolation::SetInputParams(const std::vector<double>& currentAges, const std::vector<double>& input,
                                    const std::vector<unsigned char>& inputFlags,
                                    const std::vector<double>& interpolateAges) {
    m_ready = false;
    m_ages.clear();
    m_values.clear();
    m_wanted = interpolateAges;
    if (currentAges.size() != input.size() || (!inputFlags.empty() && inputFlags.size() != input.size()))
        return false;
    std::vector<size_t> idx;
    for (size_t i = 0; i < input.size(); ++i) {
        const bool has = inputFlags.empty() || (inputFlags[i] & qs::calc::kCellHasValue);
        if (has && std::isfinite(currentAges[i]) && std::isfinite(input[i])) idx.push_back(i);
    }
    std::stable_sort(idx.begin(), idx.end(), [&](size_t a, size_t b) { return currentAges[a] < currentAges[b]; });
    for (size_t i : idx) {
        // Two values at one age: the first one stands.
        if (!m_ages.empty() && m_ages.back() == currentAges[i]) continue;
        m_ages.push_back(currentAges[i]);
        m_values.push_back(input[i]);
    }
    m_ready = m_ages.size() >= 2;
    return m_ready;
}

double CInterpolation::Between(ENUM_CURVE_TYPE curve, double x0, double y0, double x1, double y1, double x) {
    const double lin = InterpLinear(x0, y0, x1, y1, x);
    const bool above = y0 > 1.0 && y1 > 1.0;
    const bool below = y0 < 1.0 && y1 < 1.0;
    // Both points on one side of 1 (one of them may sit on it): so is the result.
    const bool notBelow = y0 >= 1.0 && y1 >= 1.0;
    const bool notAbove = y0 <= 1.0 && y1 <= 1.0;
    auto clampSide = [&](double y) {
        if (!std::isfinite(y)) y = lin;
        if (notBelow) return std::max(y, 1.0);
        if (notAbove) return std::min(y, 1.0);
        return y;
    };
    if (curve == CURVE_LINEAR || !(above || below) || x0 == x1) return clampSide(lin);
    const double d0 = std::fabs(y0 - 1.0), d1 = std::fabs(y1 - 1.0);
    const double sign = above ? 1.0 : -1.0;
    switch (curve) {
        case CURVE_EXPONENTIAL: {
            const double ld = InterpLinear(x0, std::log(d0), x1, std::log(d1), x);
            return clampSide(1.0 + sign * std::exp(ld));
        }
        case CURVE_INVERSE_POWER: {
            if (!(x0 > 0.0 && x1 > 0.0 && x > 0.0)) return clampSide(lin);
            const double ld = InterpLinear(std::log(x0), std::log(d0), std::log(x1), std::log(d1), std::log(x));
            return clampSide(1.0 + sign * std::exp(ld));
        }
        case CURVE_WEIBULL: {
            if (!(x0 > 0.0 && x1 > 0.0 && x > 0.0)) return clampSide(lin);
            const double r0 = above ? 1.0 / y0 : y0, r1 = above ? 1.0 / y1 : y1;
            if (!(r0 > 0.0 && r0 < 1.0 && r1 > 0.0 && r1 < 1.0)) return clampSide(lin);
            const double h = InterpLinear(std::log(x0), std::log(-std::log(1.0 - r0)), std::log(x1),
                                          std::log(-std::log(1.0 - r1)), std::log(x));
            const double r = 1.0 - std::exp(-std::exp(h));
            if (!(r > 0.0)) return clampSide(lin);
            return clampSide(above ? 1.0 / r : r);
        }
        default: return clampSide(lin);
    }
}

double CInterpolation::EarnedFraction(ENUM_PERIOD period, int periodLength, double age) {
    if (!(periodLength > 0) || !std::isfinite(age) || age <= 0.0) return 0.0;
    const double len = periodLength;
    if (period == PERIOD_ACCIDENT) return std::min(age / len, 1.0);
    // Policies written evenly over the period, each earning evenly over its
    // term: the earned share is the mean over the writing dates w of
    // clamp((age - w) / term, 0, 1), i.e. (G(age) - G(age - len)) / len with
    // G the integral of that clamp.
    const double term = kPolicyTermMonths;
    auto g = [term](double u) {
        if (u <= 0.0) return 0.0;
        if (u <= term) return u * u / (2.0 * term);
        return term / 2.0 + (u - term);
    };
    return std::clamp((g(age) - g(age - len)) / len, 0.0, 1.0);
}

bool CInterpolation::Interpolate(ENUM_CURVE_TYPE curve, ENUM_PERIOD period, int periodLength,
                                 std::vector<double>& result, std::vector<unsigned char>& resultFlags,
                                 int adjustment) const {
    result.assign(m_wanted.size(), 0.0);
    resultFlags.assign(m_wanted.size(), qs::calc::kCellBlank);
    if (!m_ready) return false;
    if (CInterpolationUtil::GetCurveIndices(curve) < 0) return false;
    const bool partial = adjustment == ADJ_PARTIAL_PERIOD_ULTIMATE;
    if (!partial && adjustment != ADJ_FULL_PERIOD_ULTIMATE) return false;
    if (partial && (!(periodLength > 0) || (period != PERIOD_ACCIDENT && period != PERIOD_POLICY))) return false;
    // The form of the factors: as set, or read from the least developed one
    // (an age-to-ultimate factor there is at least 1, a ratio at most 1).
    const bool ratio = IsRatioInput();
    const size_t n = m_ages.size();
    for (size_t j = 0; j < m_wanted.size(); ++j) {
        const double x = m_wanted[j];
        if (!std::isfinite(x)) continue;
        // The segment around x, or the nearest one outside the known ages.
        size_t hi = static_cast<size_t>(std::lower_bound(m_ages.begin(), m_ages.end(), x) - m_ages.begin());
        double v = 0.0;
        if (hi < n && m_ages[hi] == x) {
            v = m_values[hi];
        } else {
            hi = std::clamp<size_t>(hi, 1, n - 1);
            const double x0 = m_ages[hi - 1], x1 = m_ages[hi], y0 = m_values[hi - 1], y1 = m_values[hi];
            if (ratio && x < x0 && y0 > 0.0 && y1 > 0.0) {
                // Before the first age a ratio's distance to 1 cannot grow
                // past 1 (the curves of 1 - r would reach 0 and below): the
                // curve is followed in age-to-ultimate factors instead, whose
                // inverse stays between 0 and the first ratio.
                v = 1.0 / Between(curve, x0, 1.0 / y0, x1, 1.0 / y1, x);
            } else {
                v = Between(curve, x0, y0, x1, y1, x);
            }
        }
        if (partial) {
            // Developed to the ultimate of the exposure earned by age x: the
            // age-to-ultimate factor shrinks, the ratio grows, by the share
            // earned. Nothing is earned at age 0 or before: no factor. The
            // share never carries a value across 1: a factor to ultimate
            // stays at least 1, a ratio at most 1.
            const double e = EarnedFraction(period, periodLength, x);
            if (!(e > 0.0)) continue;
            const double adjusted = ratio ? v / e : v * e;
            v = v >= 1.0 ? std::max(adjusted, 1.0) : std::min(adjusted, 1.0);
        }
        if (!std::isfinite(v) || !(v > 0.0)) continue;
        result[j] = v;
        resultFlags[j] = qs::calc::kCellHasValue;
    }
    return true;
}

bool CInterpolation::IsRatioInput() const {
    if (m_inputType) return m_inputType == INPUT_RATIO_TO_ULTIMATE;
    return !m_values.empty() && m_values.front() < 1.0;
}

bool CInterpolation::GetKnownRange(double& first, double& last) const {
    if (!m_ready) return false;
    first = m_ages.front();
    last = m_ages.back();
    return true;
}

std::vector<std::size_t> CInterpolation::AgesOutsideRange() const {
    std::vector<std::size_t> out;
    if (!m_ready) return out;
    for (std::size_t j = 0; j < m_wanted.size(); ++j)
        if (std::isfinite(m_wanted[j]) && (m_wanted[j] < m_ages.front() || m_wanted[j] > m_ages.back()))
            out.push_back(j);
    return out;
}

std::string CInterpolation::OutsideRangeNote(std::size_t j) const {
    if (!m_ready || j >= m_wanted.size()) return {};
    auto months = [](double a) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%g", a);
        return std::string(buf);
    };
    return "Extrapolated: " + months(m_wanted[j]) + " months lies outside the selected factors' ages (" +
           months(m_ages.front()) + " to " + months(m_ages.back()) + " months).";
}
