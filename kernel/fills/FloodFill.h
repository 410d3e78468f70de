#pragma once
// Flood fills of one exhibit's selected development factors (SDF) by a rule,
// and the project-wide fills built on them (CProject::FloodFillSDF,
// FillProjFromStat, FillProjFromFS, FillFSFromProj).
//
// A fill writes the SDF row of the exhibit instance (one layer) it is given:
//  - Statistics: cell k (k below the tail) is the statistic's value at
//    column k over the exhibit's factor triangle and outlier marks (Average,
//    VOLUME, TIME and USER weights as CStatistics computes them; the
//    "Projected" row of a Linear Trend or Exponential Curve). A column where
//    the statistic has no value is left blank. With the minimum set, a value
//    below the minimum becomes the minimum and the cell is marked (FF min).
//    The tail (last cell) follows the tail option: none leaves it blank, a
//    specified value is written as it is, a curve is fitted through the
//    filled factors (CTailFactorAnalysis; ages in years from the first
//    development age; the variable cutoff counts periods beyond the last
//    factor's age, the fixed one is an age in years; first/last points
//    excluded and c as set) and its tail is written; "best R2" takes the
//    fitted curve of the highest R squared. With "fill missing", blank body
//    cells take the chosen curve's fitted factor at their age.
//  - Historical Selection n (1 the latest): the SDF becomes a copy of that
//    selection. With "fill last cells", when the selection ends in blank
//    cells (the exhibit grew since), its last value T is taken as the tail
//    and spread over that cell and the blank ones after it: each gets
//    T^(1/m) so their product stays T.
//  - Factor Library Set: the SDF becomes the set's row for this exhibit and
//    layer, fitted to the exhibit's columns (tail kept last).
//  - None: nothing is written.
// A fill that cannot be done changes nothing and returns a failing status;
// no cell ever receives a value that is not finite.
#include <functional>
#include <map>
#include <vector>
#include <string>

#include "FloodFillOptions.h"
#include "KernelTypes.h"

class CExhibit;
class CFactorSet;
class CDataObject;
class CProject;

// The caller's progress interface: told before each target is filled, and
// asked whether to stop (the targets filled so far stay filled).
class IFloodFillProgress {
public:
    virtual ~IFloodFillProgress() = default;
    virtual void OnFloodFillStep(int done, int total, const std::string& target) = 0;
    virtual bool IsFloodFillCancelled() { return false; }
    // A target the fill could not fill: its name (empty when its object is
    // gone) and the status of the failure. The fill goes on with the others.
    virtual void OnFloodFillFailed(const std::string& target, QSSTATUS status) {
        (void)target;
        (void)status;
    }
};

namespace qsff {
constexpr QSSTATUS kNoSource = 9;       // the rule's source is missing (no such history, set or row)
constexpr QSSTATUS kNoStatistic = 10;   // the statistic gives no value at all
constexpr QSSTATUS kTailNotFitted = 11; // factors filled, but no curve could be fitted for the tail
constexpr QSSTATUS kNotSupported = 12;  // a fill this build does not offer
constexpr QSSTATUS kNoCurve = 13;       // neither curve of an interpolated rule could be fitted
constexpr QSSTATUS kNoTarget = 15;      // the target has no place for the values (a report without selected ultimates)
constexpr QSSTATUS kCancelled = 14;     // the progress asked to stop; the targets filled so far stay filled

// The outcome of a project-wide fill: the first failure's status, each
// failure also told to the progress.
class FillOutcome {
public:
    explicit FillOutcome(IFloodFillProgress* progress) : m_progress(progress) {}
    void Fail(const std::string& target, QSSTATUS status) {
        if (status == 0) return;
        if (m_status == 0) m_status = status;
        if (m_progress) m_progress->OnFloodFillFailed(target, status);
    }
    void Cancel() {
        if (m_status == 0) m_status = kCancelled;
    }
    QSSTATUS Status() const { return m_status; }

private:
    IFloodFillProgress* m_progress;
    QSSTATUS m_status = 0;
};

struct ExhibitContext {
    int devPeriodMonths = 12;  // length of a development period
    int firstDevAgeMonths = 12;
    bool hasPriorRow = false;
};

// Fills ex's SDF by rule; set is the resolved factor set of a Factor Library
// Set rule (null when it could not be found) and idWithLayer the exhibit's
// id with its layer (the set's row key).
QSSTATUS FillExhibitSDF(CExhibit& ex, const CKDVSDFFloodFillOption& rule, const CFactorSet* set, QSID idWithLayer,
                        const ExhibitContext& ctx);

// Fills ex's interpolated SDF by rule (FloodFillInterpolated.cpp): the
// exhibit's age-to-ultimate factors (or ratios to ultimate) at currentAges
// (months, one per development column) are interpolated at wantedAges by the
// rule's first curve (the second where the first cannot be fitted); with C_j
// the age-to-ultimate factor at wanted age j, cell j < m - 1 gets
// C_j / C_(j+1) and the last cell C_(m-1), the tail. The row is reshaped to
// the wanted ages. Nothing is written on a failure: kNoSource without
// interpolated selections or wanted ages, kNoCurve when neither curve fits.
// The exposure periods the interpolation works on (CInterpolation::Interpolate).
struct InterpolationContext {
    ENUM_PERIOD period = PERIOD_ACCIDENT;
    int periodLength = 12;  // months of an exposure period
    int adjustment = ADJ_FULL_PERIOD_ULTIMATE;
};
QSSTATUS FillExhibitInterpolatedSDF(CExhibit& ex, const CInterpolateSDFFloodFillOption& rule,
                                    const std::vector<double>& currentAges, const std::vector<double>& wantedAges,
                                    const InterpolationContext& ctx = {});
// The ages (months) interpolated factors are wanted at on a layer: the
// values of method variable 804 (interpolated ages) in row-major order;
// empty when the project does not hold it.
std::vector<double> InterpolatedAges(const CProject& project, unsigned short layer);

// The statistic's value per factor column (size = exhibit columns - 1);
// has[k] false where it has none.
QSSTATUS StatisticRow(CExhibit& ex, const CFFStat& stat, bool hasPriorRow, std::vector<double>& values,
                      std::vector<bool>& has);
// The project's rules as stored in its stream (generation 3): an archive of
// U32 count, then per rule I32 id and the rule's Serialize output, for the
// selected-factor rules and then the interpolated ones. LoadRules is false
// for damaged bytes.
std::vector<std::uint8_t> SaveRules(const std::map<QSID, CKDVSDFFloodFillOption>& sdf,
                                    const std::map<QSID, CInterpolateSDFFloodFillOption>& interp);
bool LoadRules(const std::vector<std::uint8_t>& bytes, std::map<QSID, CKDVSDFFloodFillOption>& sdf,
               std::map<QSID, CInterpolateSDFFloodFillOption>& interp);
}  // namespace qsff
