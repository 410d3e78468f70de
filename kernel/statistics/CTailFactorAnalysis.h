#pragma once
// Tail-factor analysis: three curves fitted to the development factors of one
// exhibit row and extrapolated to a cutoff age.
//
//   curve 0 Inverse Power  y = 1 + e^a (x + c)^-b
//   curve 1 Exponential    y = 1 + e^(a + b x)
//   curve 2 Weibull        y = 1 / (1 - e^(-e^a (x + c)^b))
// and, with "Fit values less than 1", the forms 1 - e^a (x + c)^-b,
// 1 - e^(a + b x) and 1 - e^(-e^a (x + c)^b).
//
// Each curve is fitted by least squares on its linear form over the points
// that are neither excluded nor invalid: ln|y - 1| on ln(x + c), ln|y - 1| on x,
// and ln(-ln(1 - 1/y)) (or ln(-ln(1 - y))) on ln(x + c). R squared is that of
// the linear fit. The tail of a curve is the product of its fitted
// incremental factors at the ages after the last data age, stepping by the age
// increment, up to the cutoff age.
//
// Every point carries, per curve, an actual value, a modified value (0 = not
// modified) and an exclusion; the effective value is the modified value when
// it is not 0, else the actual value.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "CObject.h"

class CDataObject;

class CTailFactorAnalysis : public CObject {
    DECLARE_SERIAL(CTailFactorAnalysis)

public:
    static constexpr int kNumCurves = 3;
    enum Curve { InversePower = 0, Exponential = 1, Weibull = 2 };

    CTailFactorAnalysis();
    CTailFactorAnalysis(double initialAge, double ageIncrement);
    CTailFactorAnalysis(const CTailFactorAnalysis&) = default;
    CTailFactorAnalysis& operator=(const CTailFactorAnalysis&) = default;
    ~CTailFactorAnalysis() override = default;

    // The whole analysis, both directions; this is the hand-over stream to the
    // tail program. Loading replaces the analysis only when the bytes are
    // whole (a damaged stream throws CArchiveException and changes nothing)
    // and leaves it clean (not dirty).
    void Serialize(CArchive& ar) override;

    // Points and ages.
    int GetNumPoints() const { return static_cast<int>(m_points.size()); }
    void SetNumPoints(int n);  // keeps the first points, new ones are 0
    double GetInitialAge() const { return m_initialAge; }
    void SetInitialAge(double age);
    double GetAgeIncrement() const { return m_ageIncrement; }
    void SetAgeIncrement(double step);
    double GetAge(int i) const { return i * m_ageIncrement + m_initialAge; }

    // kind true = actual value, false = modified value. Out-of-range curves or
    // points read 0 and are not written (SetValue returns false).
    double GetValue(int curve, bool actual, int i) const;
    bool SetValue(int curve, bool actual, int i, double value);
    double GetEffectiveValue(int curve, int i) const;
    bool GetExclude(int curve, int i) const;
    void SetExclude(int curve, int i, bool exclude);

    // Whether a value can take part in a fit: finite and above 1, or, with
    // "Fit values less than 1", strictly between 0 and 1.
    bool IsValueValid(double value) const;
    bool GetFitNegative() const { return m_fitNegative; }
    void SetFitNegative(bool fitNegative);

    // The constant c of curves 0 and 2 (the exponential curve has none).
    double GetConstant(int curve) const;
    void SetConstant(int curve, double value);
    // The cutoff age; until one is set it is the last data age plus 100 age
    // increments. False (nothing changed) when the value is not finite or lies
    // below the last data age: the cutoff is too small.
    double GetCutoff(int curve) const;
    bool SetCutoff(int curve, double value);

    // Refits all curves. False when some curve could not be fitted (fewer than
    // two usable points) or its tail could not be formed (age increment not
    // positive, or more than a million steps to the cutoff); such a curve reads
    // a = b = R squared = 0, fitted factors 1 and tail 1.
    bool Calculate();
    // Refits one curve only (what Calculate does for each).
    bool CalculateCurve(int curve);
    bool IsCurveFitted(int curve) const;
    double GetYIntercept(int curve) const;  // a
    double GetSlope(int curve) const;       // b
    double GetRSquared(int curve) const;
    double GetTail(int curve) const;

    // Fitted factors at any age: the incremental factor of the curve, and the
    // cumulative factor = product of the incremental factors at age, age +
    // increment, ... up to the cutoff. Where the curve is undefined (no fit,
    // x + c <= 0, an overflow) the incremental factor is 1.
    double GetIncFactor(int curve, double age) const;
    double GetCumFactor(int curve, double age) const;

    // The curves an exhibit shows.
    void EnableCurve(int curve, bool enable);
    bool IsCurveEnabled(int curve) const;
    // "Inverse Power Curve", "Exponential Curve", "Weibull Curve"; with
    // abbreviate non-zero "Inv Power Curve", "Exp Curve", "Weibull Curve".
    std::string GetCurveName(int curve, int abbreviate) const;
    // One exhibit row per curve: the fitted incremental factors at the data
    // ages, then the tail (GetNumPoints() + 1 values).
    std::vector<double> GetCurveRow(int curve) const;
    // The same rows as a data object for the exhibit (row c = curve c, a
    // curve that is not fitted is blank), named after the analysis. The
    // caller owns it.
    std::unique_ptr<CDataObject> GetCRXDO() const;

    const std::string& GetIDLongName() const { return m_longName; }
    const std::string& GetIDShortName() const { return m_shortName; }
    void SetIDLongName(const std::string& name) { m_longName = name; }
    void SetIDShortName(const std::string& name) { m_shortName = name; }

    // Set by every edit that changes the analysis; not stored by Serialize
    // (a loaded analysis is clean).
    int IsDataDirty() const { return m_dirty; }
    void SetDataDirty(int dirty) { m_dirty = dirty; }

private:
    struct Point {
        std::array<double, kNumCurves> actual{};
        std::array<double, kNumCurves> modified{};
        std::array<bool, kNumCurves> exclude{};
    };
    struct Fit {
        bool fitted = false;
        double a = 0.0;
        double b = 0.0;
        double rSquared = 0.0;
        double tail = 1.0;
    };
    static bool ValidCurve(int curve) { return curve >= 0 && curve < kNumCurves; }
    bool ValidPoint(int i) const { return i >= 0 && i < GetNumPoints(); }
    double LastAge() const;
    double DefaultCutoff() const;
    double CumFromFit(int curve, const Fit& fit, double age, bool* ok) const;
    double IncFromFit(int curve, const Fit& fit, double age) const;

    double m_initialAge = 1.0;
    double m_ageIncrement = 1.0;
    std::vector<Point> m_points;
    bool m_fitNegative = false;
    std::array<double, kNumCurves> m_constant{};
    std::array<double, kNumCurves> m_cutoff{};  // 0 = not set
    std::array<bool, kNumCurves> m_enabled{};
    std::array<Fit, kNumCurves> m_fit{};
    std::string m_longName;
    std::string m_shortName;
    int m_dirty = 0;
};
