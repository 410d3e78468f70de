#include "CTailFactorAnalysis.h"

#include <cmath>

#include "CArchive.h"
#include "CDataObject.h"
#include "ReservingMath.h"

IMPLEMENT_SERIAL(CTailFactorAnalysis, CObject, 1)

namespace {

// Ages within this distance of the cutoff still count as reaching it, so a
// cutoff typed as 9.9999995 keeps the age 10.
constexpr double kTfaAgeTolerance = 0.000001;
// Guards the walk from an age to the cutoff against a tiny increment.
constexpr double kTfaMaxSteps = 1.0e6;
constexpr int kTfaDefaultCutoffSteps = 100;
// Layout version written first, so later layouts can still read this one.
constexpr uint16_t kTfaLayoutVersion = 1;
// Bytes per point in the layout: three curves of two doubles and a byte.
constexpr size_t kTfaPointBytes = 3 * (8 + 8 + 1);

double TfaFinite(double v, double fallback) { return std::isfinite(v) ? v : fallback; }

}  // namespace

CTailFactorAnalysis::CTailFactorAnalysis() = default;

CTailFactorAnalysis::CTailFactorAnalysis(double initialAge, double ageIncrement)
    : m_initialAge(initialAge), m_ageIncrement(ageIncrement) {}

void CTailFactorAnalysis::SetNumPoints(int n) {
    if (n < 0) n = 0;
    if (n == GetNumPoints()) return;
    m_points.resize(static_cast<size_t>(n));
    m_dirty = 1;
}

void CTailFactorAnalysis::SetInitialAge(double age) {
    if (age == m_initialAge) return;
    m_initialAge = age;
    m_dirty = 1;
}

void CTailFactorAnalysis::SetAgeIncrement(double step) {
    if (step == m_ageIncrement) return;
    m_ageIncrement = step;
    m_dirty = 1;
}

double CTailFactorAnalysis::GetValue(int curve, bool actual, int i) const {
    if (!ValidCurve(curve) || !ValidPoint(i)) return 0.0;
    const Point& p = m_points[i];
    return actual ? p.actual[curve] : p.modified[curve];
}

bool CTailFactorAnalysis::SetValue(int curve, bool actual, int i, double value) {
    if (!ValidCurve(curve) || !ValidPoint(i) || !std::isfinite(value)) return false;
    double& slot = actual ? m_points[i].actual[curve] : m_points[i].modified[curve];
    if (slot != value) {
        slot = value;
        m_dirty = 1;
    }
    return true;
}

double CTailFactorAnalysis::GetEffectiveValue(int curve, int i) const {
    const double m = GetValue(curve, false, i);
    return m != 0.0 ? m : GetValue(curve, true, i);
}

bool CTailFactorAnalysis::GetExclude(int curve, int i) const {
    return ValidCurve(curve) && ValidPoint(i) && m_points[i].exclude[curve];
}

void CTailFactorAnalysis::SetExclude(int curve, int i, bool exclude) {
    if (!ValidCurve(curve) || !ValidPoint(i) || m_points[i].exclude[curve] == exclude) return;
    m_points[i].exclude[curve] = exclude;
    m_dirty = 1;
}

bool CTailFactorAnalysis::IsValueValid(double value) const {
    if (!std::isfinite(value)) return false;
    return m_fitNegative ? (value > 0.0 && value < 1.0) : value > 1.0;
}

void CTailFactorAnalysis::SetFitNegative(bool fitNegative) {
    if (fitNegative == m_fitNegative) return;
    m_fitNegative = fitNegative;
    m_dirty = 1;
}

double CTailFactorAnalysis::GetConstant(int curve) const { return ValidCurve(curve) ? m_constant[curve] : 0.0; }

void CTailFactorAnalysis::SetConstant(int curve, double value) {
    if (!ValidCurve(curve) || !std::isfinite(value) || m_constant[curve] == value) return;
    m_constant[curve] = value;
    m_dirty = 1;
}

double CTailFactorAnalysis::LastAge() const {
    return GetNumPoints() > 0 ? GetAge(GetNumPoints() - 1) : m_initialAge;
}

double CTailFactorAnalysis::DefaultCutoff() const {
    return LastAge() + kTfaDefaultCutoffSteps * m_ageIncrement;
}

double CTailFactorAnalysis::GetCutoff(int curve) const {
    if (!ValidCurve(curve)) return 0.0;
    return m_cutoff[curve] != 0.0 ? m_cutoff[curve] : DefaultCutoff();
}

bool CTailFactorAnalysis::SetCutoff(int curve, double value) {
    if (!ValidCurve(curve) || !std::isfinite(value)) return false;
    if (value < LastAge() - kTfaAgeTolerance) return false;
    if (m_cutoff[curve] != value) {
        m_cutoff[curve] = value;
        m_dirty = 1;
    }
    return true;
}

double CTailFactorAnalysis::IncFromFit(int curve, const Fit& fit, double age) const {
    if (!fit.fitted || !std::isfinite(age)) return 1.0;
    double d = 0.0;  // the curve's distance from 1
    if (curve == Exponential) {
        d = std::exp(fit.a + fit.b * age);
    } else {
        const double t = age + m_constant[curve];
        if (!(t > 0.0)) return 1.0;
        if (curve == InversePower) {
            d = std::exp(fit.a - fit.b * std::log(t));
        } else {
            // Weibull: e^(-e^a t^b) is the part that decays.
            const double s = std::exp(fit.a + fit.b * std::log(t));
            const double e = std::exp(-s);
            if (m_fitNegative) {
                const double y = 1.0 - e;
                return std::isfinite(y) ? y : 1.0;
            }
            if (!(1.0 - e > 0.0)) return 1.0;
            const double y = 1.0 / (1.0 - e);
            return std::isfinite(y) ? y : 1.0;
        }
    }
    const double y = m_fitNegative ? 1.0 - d : 1.0 + d;
    return std::isfinite(y) ? y : 1.0;
}

double CTailFactorAnalysis::CumFromFit(int curve, const Fit& fit, double age, bool* ok) const {
    if (ok) *ok = true;
    const double cutoff = GetCutoff(curve);
    const double step = m_ageIncrement;
    if (!std::isfinite(age) || age > cutoff + kTfaAgeTolerance) return 1.0;
    if (!(step > 0.0) || !std::isfinite(step) || (cutoff - age) / step > kTfaMaxSteps) {
        if (ok) *ok = false;
        return 1.0;
    }
    double product = 1.0;
    // Once a factor is exactly 1 on a curve whose distance from 1 only
    // shrinks with age, every later factor is 1 too: the walk can stop there
    // without changing the product.
    const bool decays = curve == Exponential ? fit.b <= 0.0 : fit.b >= 0.0;
    if (curve == Exponential && fit.fitted) {
        // e^(a + b x) along x = age + k step is geometric: one multiplication a step.
        double d = std::exp(fit.a + fit.b * age);
        const double q = std::exp(fit.b * step);
        for (long k = 0; age + k * step <= cutoff + kTfaAgeTolerance; ++k) {
            double y = m_fitNegative ? 1.0 - d : 1.0 + d;
            if (!std::isfinite(y)) y = 1.0;
            product *= y;
            if (y == 1.0 && decays) break;
            d *= q;
        }
    } else {
        // Ages are formed from the start age and a count, so rounding does
        // not accumulate over a long walk.
        for (long k = 0;; ++k) {
            const double x = age + k * step;
            if (x > cutoff + kTfaAgeTolerance) break;
            const double y = IncFromFit(curve, fit, x);
            product *= y;
            if (y == 1.0 && decays && fit.fitted && x + m_constant[curve] > 0.0) break;
        }
    }
    if (!std::isfinite(product)) {
        if (ok) *ok = false;
        return 1.0;
    }
    return product;
}

bool CTailFactorAnalysis::Calculate() {
    bool allOk = true;
    for (int c = 0; c < kNumCurves; ++c) allOk = CalculateCurve(c) && allOk;
    return allOk;
}

bool CTailFactorAnalysis::CalculateCurve(int c) {
    if (!ValidCurve(c)) return false;
    const int n = GetNumPoints();
    // A fit rarely has more than a few dozen points: keep them on the stack.
    constexpr int kStackPoints = 64;
    double xStack[kStackPoints], yStack[kStackPoints];
    std::vector<double> xHeap, yHeap;
    if (n > kStackPoints) {
        xHeap.resize(n);
        yHeap.resize(n);
    }
    double* xs = n > kStackPoints ? xHeap.data() : xStack;
    double* ys = n > kStackPoints ? yHeap.data() : yStack;
    int used = 0;
    for (int i = 0; i < n; ++i) {
        if (m_points[i].exclude[c]) continue;
        const double v = GetEffectiveValue(c, i);
        if (!IsValueValid(v)) continue;
        const double age = GetAge(i);
        double x = age;
        if (c != Exponential) {
            const double t = age + m_constant[c];
            if (!(t > 0.0)) continue;
            x = std::log(t);
        }
        double y = 0.0;
        if (c == Weibull)
            y = std::log(-std::log(m_fitNegative ? 1.0 - v : 1.0 - 1.0 / v));
        else
            y = std::log(m_fitNegative ? 1.0 - v : v - 1.0);
        if (!std::isfinite(x) || !std::isfinite(y)) continue;
        xs[used] = x;
        ys[used] = y;
        ++used;
    }
    const qs::calc::LineFit line = qs::calc::FitLine(xs, ys, nullptr, used);
    Fit fit;
    bool ok = line.ok;
    if (line.ok) {
        fit.fitted = true;
        fit.a = line.intercept;
        // The inverse power curve carries the exponent as -b.
        fit.b = c == InversePower ? -line.slope : line.slope;
        fit.rSquared = line.rSquared;
        fit.tail = CumFromFit(c, fit, LastAge() + m_ageIncrement, &ok);
    }
    m_fit[c] = fit;
    return ok;
}

bool CTailFactorAnalysis::IsCurveFitted(int curve) const { return ValidCurve(curve) && m_fit[curve].fitted; }
double CTailFactorAnalysis::GetYIntercept(int curve) const { return ValidCurve(curve) ? m_fit[curve].a : 0.0; }
double CTailFactorAnalysis::GetSlope(int curve) const { return ValidCurve(curve) ? m_fit[curve].b : 0.0; }
double CTailFactorAnalysis::GetRSquared(int curve) const { return ValidCurve(curve) ? m_fit[curve].rSquared : 0.0; }
double CTailFactorAnalysis::GetTail(int curve) const { return ValidCurve(curve) ? m_fit[curve].tail : 1.0; }

double CTailFactorAnalysis::GetIncFactor(int curve, double age) const {
    return ValidCurve(curve) ? IncFromFit(curve, m_fit[curve], age) : 1.0;
}

double CTailFactorAnalysis::GetCumFactor(int curve, double age) const {
    return ValidCurve(curve) ? CumFromFit(curve, m_fit[curve], age, nullptr) : 1.0;
}

void CTailFactorAnalysis::EnableCurve(int curve, bool enable) {
    if (!ValidCurve(curve) || m_enabled[curve] == enable) return;
    m_enabled[curve] = enable;
    m_dirty = 1;
}

bool CTailFactorAnalysis::IsCurveEnabled(int curve) const { return ValidCurve(curve) && m_enabled[curve]; }

std::string CTailFactorAnalysis::GetCurveName(int curve, int abbreviate) const {
    static const char* const kLong[kNumCurves] = {"Inverse Power Curve", "Exponential Curve", "Weibull Curve"};
    static const char* const kShort[kNumCurves] = {"Inv Power Curve", "Exp Curve", "Weibull Curve"};
    if (!ValidCurve(curve)) return {};
    return abbreviate ? kShort[curve] : kLong[curve];
}

std::vector<double> CTailFactorAnalysis::GetCurveRow(int curve) const {
    std::vector<double> row;
    if (!ValidCurve(curve)) return row;
    row.reserve(GetNumPoints() + 1);
    for (int i = 0; i < GetNumPoints(); ++i) row.push_back(GetIncFactor(curve, GetAge(i)));
    row.push_back(GetTail(curve));
    return row;
}

void CTailFactorAnalysis::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << kTfaLayoutVersion << m_initialAge << m_ageIncrement << static_cast<int32_t>(m_points.size());
        for (const Point& p : m_points)
            for (int c = 0; c < kNumCurves; ++c)
                ar << p.actual[c] << p.modified[c] << static_cast<uint8_t>(p.exclude[c] ? 1 : 0);
        ar << m_fitNegative;
        for (int c = 0; c < kNumCurves; ++c) {
            const Fit& f = m_fit[c];
            ar << m_constant[c] << m_cutoff[c] << m_enabled[c] << f.fitted << f.a << f.b << f.rSquared << f.tail;
        }
        ar << m_longName << m_shortName;
        return;
    }
    uint16_t version = 0;
    ar >> version;
    if (version != kTfaLayoutVersion)
        throw CArchiveException(CArchiveException::badSchema,
                                "tail-factor analysis layout " + std::to_string(version), ar.GetFileName());
    CTailFactorAnalysis in;
    int32_t n = 0;
    ar >> in.m_initialAge >> in.m_ageIncrement >> n;
    if (n < 0 || static_cast<uint64_t>(n) * kTfaPointBytes > ar.GetBytesRemaining())
        throw CArchiveException(CArchiveException::endOfFile, "tail-factor analysis point count", ar.GetFileName());
    in.m_initialAge = TfaFinite(in.m_initialAge, 1.0);
    in.m_ageIncrement = TfaFinite(in.m_ageIncrement, 1.0);
    in.m_points.resize(static_cast<size_t>(n));
    for (Point& p : in.m_points) {
        for (int c = 0; c < kNumCurves; ++c) {
            uint8_t ex = 0;
            ar >> p.actual[c] >> p.modified[c] >> ex;
            p.actual[c] = TfaFinite(p.actual[c], 0.0);
            p.modified[c] = TfaFinite(p.modified[c], 0.0);
            p.exclude[c] = ex != 0;
        }
    }
    ar >> in.m_fitNegative;
    for (int c = 0; c < kNumCurves; ++c) {
        Fit& f = in.m_fit[c];
        bool enabled = false;
        ar >> in.m_constant[c] >> in.m_cutoff[c] >> enabled >> f.fitted >> f.a >> f.b >> f.rSquared >> f.tail;
        in.m_enabled[c] = enabled;
        in.m_constant[c] = TfaFinite(in.m_constant[c], 0.0);
        in.m_cutoff[c] = TfaFinite(in.m_cutoff[c], 0.0);
        if (!std::isfinite(f.a) || !std::isfinite(f.b) || !std::isfinite(f.rSquared) || !std::isfinite(f.tail))
            f = Fit{};
    }
    ar >> in.m_longName >> in.m_shortName;
    in.m_dirty = 0;
    *this = in;
}

std::unique_ptr<CDataObject> CTailFactorAnalysis::GetCRXDO() const {
    auto d = std::make_unique<CDataObject>();
    const int cols = GetNumPoints() + 1;
    d->SetShape(kNumCurves, static_cast<std::uint16_t>(cols), CDataObject::VT_TRIANGLE);
    std::vector<double> values(static_cast<size_t>(kNumCurves) * cols, 0.0);
    std::vector<std::uint8_t> flags(values.size(), CDataObject::CF_BLANK);
    for (int c = 0; c < kNumCurves; ++c) {
        if (!IsCurveFitted(c)) continue;
        const std::vector<double> row = GetCurveRow(c);
        for (int k = 0; k < cols; ++k) {
            values[static_cast<size_t>(c) * cols + k] = row[k];
            flags[static_cast<size_t>(c) * cols + k] = CDataObject::CF_VALUE;
        }
    }
    d->SetAllCells(values, flags, 0);
    d->SetIDLongName(m_longName);
    d->SetIDShortName(m_shortName);
    d->SetInitialized(true);
    return d;
}
