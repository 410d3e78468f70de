#pragma once
// Free numeric functions of the reserving calculations: age-to-age factors,
// column statistics (averages and fitted trends), age-to-ultimate products,
// chain-ladder and Bornhuetter-Ferguson estimates.
//
// Everything works on contiguous row-major arrays: a value array and a flag
// byte array of the same shape, flag kCellHasValue (1) marking a cell that
// holds a value and kCellBlank (4) one that is blank. A cell without the value
// flag never takes part in a calculation, whatever its value array holds.
// No function here returns NaN or infinity as a number: a result that cannot
// be formed is reported by a false `ok`/`valid` or by a blank flag.
#include <cstdint>
#include <string>
#include <vector>

namespace qs::calc {

inline constexpr unsigned char kCellHasValue = 1;
inline constexpr unsigned char kCellBlank = 4;

// A read-only view of a triangle (or of one block of a stacked array).
struct TriangleRef {
    const double* values = nullptr;
    const unsigned char* flags = nullptr;
    int rows = 0;
    int cols = 0;
    int stride = 0;  // elements from one row to the next (>= cols)

    bool Has(int r, int c) const { return (flags[r * stride + c] & kCellHasValue) != 0; }
    double At(int r, int c) const { return values[r * stride + c]; }
};

// An owned triangle of cumulative amounts (or of factors).
struct Triangle {
    int rows = 0;
    int cols = 0;
    std::vector<double> values;
    std::vector<unsigned char> flags;
    // Where the data came from, for labels: first origin period and the
    // development step in months (12 for annual development).
    int firstOrigin = 0;
    int devStepMonths = 12;

    void Resize(int r, int c);
    bool Has(int r, int c) const { return (flags[r * cols + c] & kCellHasValue) != 0; }
    double At(int r, int c) const { return values[r * cols + c]; }
    void Set(int r, int c, double v) {
        values[r * cols + c] = v;
        flags[r * cols + c] = kCellHasValue;
    }
    void SetBlank(int r, int c) {
        values[r * cols + c] = 0.0;
        flags[r * cols + c] = kCellBlank;
    }
    TriangleRef Ref() const { return {values.data(), flags.data(), rows, cols, cols}; }
};

// ---- Reading triangles -------------------------------------------------------

// Long format: a header line, then one line per cell with an origin column, a
// development column (a valuation year "YYYY" or a date "YYYY-MM") and value
// columns. The origin column is "origin" or "AccidentYear", the development
// column "development" or "DevelopmentYear" (compared ignoring case). Ages are
// the distinct valuation lags in steps of their greatest common divisor.
// Returns false with a message for a missing column or a malformed line.
bool ParseLongCsv(const std::string& text, const std::string& valueColumn, Triangle& out,
                  std::string* error = nullptr);

// Grid format without header: one line per origin, comma separated, "NA" or an
// empty field for a missing cell. Every line must have the same field count.
bool ParseGridCsv(const std::string& text, Triangle& out, std::string* error = nullptr);

// ---- Age-to-age factors ------------------------------------------------------

// factors is rows x (cols - 1): factor(i,k) = C(i,k+1) / C(i,k) when both cells
// hold values and C(i,k) is not 0; otherwise the factor cell is blank. Zero and
// negative amounts give their (zero or negative) factors.
void AgeToAgeFactors(const TriangleRef& cum, double* factors, unsigned char* factorFlags);
Triangle AgeToAgeFactors(const Triangle& cum);

// Volume-weighted factors, one per development column k = 0 .. cols-2:
// sum C(i,k+1) / sum C(i,k) over the rows where both cells hold values and
// C(i,k) is not 0. `exclude`, when given, has the factor triangle's shape
// (rows x (cols-1), stride cols-1) and excludes a row from column k when its
// byte is non-zero. ok[k] is 0 when no row is usable or the sum of C(i,k) is 0;
// its factor is then 1 (no development), so products stay defined.
void VolumeWeightedFactors(const TriangleRef& cum, double* ldf, unsigned char* ok,
                           const unsigned char* exclude = nullptr);
// Simple average of the available factors of each column; same conventions.
void SimpleAverageFactors(const TriangleRef& cum, double* ldf, unsigned char* ok,
                          const unsigned char* exclude = nullptr);

// ---- Least squares -------------------------------------------------------------

struct LineFit {
    bool ok = false;  // false with fewer than two points or no spread in x
    int n = 0;
    double slope = 0.0;
    double intercept = 0.0;
    double rSquared = 0.0;
};
// Fits y = intercept + slope * x by (weighted) least squares; w may be null.
// Points with a non-finite x or y or a weight <= 0 are skipped. R squared is
// 1 - SSres/SStot; when all y are equal the fit is exact and R squared is 1.
LineFit FitLine(const double* x, const double* y, const double* w, int n);

// ---- Column statistics --------------------------------------------------------

enum class StatType : unsigned char { Average = 1, LinearTrend = 2, ExponentialCurve = 4 };
enum class StatWeights : unsigned char { None = 0, Volume = 1, Time = 2, User = 3 };

struct StatOptions {
    StatType type = StatType::Average;
    bool includeZeros = false;
    bool excludeHighLow = false;
    int excludeFirst = 0;  // oldest usable factors dropped
    int excludeLast = 0;   // newest usable factors dropped
    int useLast = 0;       // 0 = all; else only the newest N left after the above
    StatWeights weights = StatWeights::None;
};

struct ColumnStat {
    bool valid = false;  // false: the cell shows nothing
    int used = 0;        // points that entered the calculation
    double value = 0.0;  // the average, or the projected value of a fit
    // Fits only (x = 1-based row number, y = factor; the exponential curve
    // fits ln y = a + b x, so its intercept is e^a and its slope % is
    // (e^b - 1) x 100, the change per period; a linear trend has no slope %).
    double slope = 0.0;
    double intercept = 0.0;
    double rSquared = 0.0;
    double projected = 0.0;
    double slopePercent = 0.0;
};

// One development column of a factor triangle, oldest row first.
// factor[i] is used when usable[i] is non-zero (the caller folds in blank
// cells, outlier marks and an excluded prior row). volume[i] is the
// denominator C(i,k) (needed for VOLUME weights), userWeight[i] the user's
// weight (USER; missing weights count as 1, one below 0 as 0). projectRow is the 0-based row at
// which a fitted trend is projected (normally the first row past the column).
//
// Selection order: usable factors (zeros only when includeZeros), then drop
// excludeFirst oldest and excludeLast newest, then keep the newest useLast
// (counted in usable factors, not in calendar periods), then drop one
// highest and one lowest (the oldest of equal ones); with excludeHighLow and
// fewer than three factors left the statistic has no value.
ColumnStat ComputeColumnStat(const StatOptions& opt, int n, const double* factor,
                             const unsigned char* usable, const double* volume,
                             const double* userWeight, int projectRow);

// ---- Ultimates ------------------------------------------------------------------

// atu has n + 1 entries: atu[k] = ldf[k] x ... x ldf[n-1] x tail, atu[n] = tail.
void AgeToUltimate(const double* ldf, int n, double tail, double* atu);
// Ratio to ultimate: 1 / atu, or 0 where atu is 0 (no defined ratio).
void RatioToUltimate(const double* atu, int n, double* ratio);

// The one rule by which a row of selected factors (its last cell the tail)
// becomes age-to-ultimate factors, wherever the kernel cumulates selections:
// the exhibits' cumulative and ratio rows, CDataObject::CumulateSDF and the
// formula functions CumulateSDF and ConvertSDFToCol (the methods).
// A tail that is blank, or 0 (what an emptied last cell stores), means no
// development after the last age and counts as 1: a new project's selections
// have no tail yet, and its methods must still develop every period.
inline double SelectedTailFactor(bool hasValue, double tail) { return hasValue && tail != 0.0 ? tail : 1.0; }
// cum[k] = sdf[k] x ... x sdf[n-2] x SelectedTailFactor(tail); has[k] is 0
// for an age at or before a blank factor (no product passes through it) and
// where the product is not finite. sdfHas[k] non-zero: cell k holds a value.
void CumulateSelectedFactors(const double* sdf, const unsigned char* sdfHas, int n, double* cum,
                             unsigned char* has);

struct UltimateResult {
    std::vector<int> latestCol;   // -1 for a row without any value
    std::vector<double> latest;   // latest diagonal amount
    std::vector<double> ultimate;
    std::vector<double> ibnr;
    double latestTotal = 0.0;
    double ultimateTotal = 0.0;
    double ibnrTotal = 0.0;
};

// Chain ladder: ultimate(i) = latest(i) x atu[latestCol(i)], with atu from
// ldf (cols - 1 factors) and the tail. A row without values has ultimate 0.
UltimateResult ChainLadder(const TriangleRef& cum, const double* ldf, double tail);

// Bornhuetter-Ferguson: ibnr(i) = apriori(i) x (1 - 1 / atu[latestCol(i)]),
// ultimate = latest + ibnr. An atu of 0 gives no reserve for that row.
UltimateResult BornhuetterFerguson(const TriangleRef& cum, const double* ldf, double tail,
                                   const double* apriori);

}  // namespace qs::calc
