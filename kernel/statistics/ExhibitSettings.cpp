#include "ExhibitSettings.h"

#include "KernelStream.h"

namespace {
constexpr std::uint16_t kExhibitSettingsLayout = 1;
}  // namespace

std::vector<std::uint8_t> QSExhibitSettings::Save() const {
    KernelWriter w;
    w.U16(kExhibitSettingsLayout);
    w.U32(static_cast<std::uint32_t>(statsDefs.size()));
    for (const CStatistics::Record& rec : statsDefs) w.Raw(rec.data(), rec.size());
    w.I32(excludePrior);
    w.I32(abbreviate);
    for (int v : {showSDF, showCumSDF, showRatioSDF, showBlankSDF, showSelHist}) w.I32(v);
    w.U16(selHistCount);
    w.U32(static_cast<std::uint32_t>(interpolation.size()));
    for (const CInterpolateSelection& s : interpolation) {
        w.I32(s.GetOrder());
        w.I32(s.GetCurveType());
        w.I32(s.GetInputType());
    }
    for (int v : {static_cast<int>(period), interpDisplay, interpAbbreviate, interpUseInMethods,
                  static_cast<int>(adjustment)})
        w.I32(v);
    w.U32(static_cast<std::uint32_t>(factorSets.size()));
    for (const QSFactorSetRef& f : factorSets) {
        w.Str(f.library);
        w.Str(f.description);
        f.set.Write(w);
    }
    return std::move(w.Bytes());
}

bool QSExhibitSettings::Load(const std::vector<std::uint8_t>& bytes) {
    KernelReader r(bytes);
    if (r.U16() != kExhibitSettingsLayout) return false;
    QSExhibitSettings s;
    s.statsDefs.resize(r.Count(9));
    for (CStatistics::Record& rec : s.statsDefs) r.Raw(rec.data(), rec.size());
    s.excludePrior = r.I32() ? 1 : 0;
    s.abbreviate = r.I32() ? 1 : 0;
    for (int* v : {&s.showSDF, &s.showCumSDF, &s.showRatioSDF, &s.showBlankSDF, &s.showSelHist}) *v = r.I32() ? 1 : 0;
    s.selHistCount = r.U16();
    if (s.selHistCount > 12) return false;
    const std::uint32_t n = r.Count(12);
    for (std::uint32_t i = 0; i < n && !r.Failed(); ++i) {
        const int order = r.I32();
        // The codes are checked as integers: a value outside an enumeration
        // must never be made one.
        const int curve = r.I32();
        const int input = r.I32();
        if (curve < CURVE_LINEAR || curve > CURVE_INVERSE_POWER || input < INPUT_CUMULATIVE ||
            input > INPUT_RATIO_TO_ULTIMATE)
            return false;
        s.interpolation.emplace_back(order, static_cast<ENUM_CURVE_TYPE>(curve), static_cast<ENUM_INPUT_TYPE>(input));
    }
    const int period = r.I32();
    s.interpDisplay = r.I32() ? 1 : 0;
    s.interpAbbreviate = r.I32() ? 1 : 0;
    s.interpUseInMethods = r.I32() ? 1 : 0;
    const int adjustment = r.I32();
    if (period < 0 || period > 1 || adjustment < 0 || adjustment > 1) return false;
    s.period = static_cast<ENUM_PERIOD>(period);
    s.adjustment = static_cast<ENUM_ADJ_UNEARNED_EXPOSURE>(adjustment);
    const std::uint32_t sets = r.Count(12);
    for (std::uint32_t i = 0; i < sets && !r.Failed(); ++i) {
        QSFactorSetRef f;
        f.library = r.Str();
        f.description = r.Str();
        if (r.Failed() || !f.set.Read(r)) return false;
        s.factorSets.push_back(std::move(f));
    }
    if (r.Failed() || r.Left() != 0) return false;
    *this = std::move(s);
    return true;
}
