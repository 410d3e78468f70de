#pragma once
// The project-wide exhibit settings: the statistics every exhibit with
// statistics computes, the rows the exhibit views show, the interpolation
// set-up and the factor sets attached to the project (each a copy of a set of
// a development factor library, with the library's name and description).
//
// Stored form (one blob in the project stream, docs/kernel/storage.md):
//   layout u16 (1); statistics: count u32, 9 bytes each, exclude prior i32,
//   abbreviate i32; switches: show SDF, cumulative, ratio, blank line,
//   selection history (i32 each), history count u16; interpolation:
//   count u32, per selection order i32, curve i32, input i32; period i32,
//   display i32, abbreviate i32, use in methods i32, adjustment i32; factor
//   sets: count u32, per set library str, description str and the set as
//   in a ".dfl" file.
#include <cstdint>
#include <string>
#include <vector>

#include "CFactorSet.h"
#include "CInterpolateSelection.h"
#include "CInterpolationUtil.h"
#include "CStatistics.h"

struct QSFactorSetRef {
    std::string library;      // the library's (".dfl") name
    std::string description;  // the library's description
    CFactorSet set;
};

struct QSExhibitSettings {
    // Statistics: all-year volume-weighted, simple and 3-year volume-weighted
    // averages until the user chooses others.
    std::vector<CStatistics::Record> statsDefs{{1, 1, 0, 0, 0, 0, 0, 1, 0},
                                               {2, 1, 0, 0, 0, 0, 0, 0, 0},
                                               {3, 1, 0, 0, 0, 0, 3, 1, 0}};
    int excludePrior = 1;
    int abbreviate = 0;

    int showSDF = 1;
    int showCumSDF = 1;
    int showRatioSDF = 1;
    int showBlankSDF = 0;
    int showSelHist = 0;
    std::uint16_t selHistCount = 0;  // 0 .. 12

    std::vector<CInterpolateSelection> interpolation;
    ENUM_PERIOD period = PERIOD_ACCIDENT;
    int interpDisplay = 0;
    int interpAbbreviate = 0;
    int interpUseInMethods = 0;
    ENUM_ADJ_UNEARNED_EXPOSURE adjustment = ADJ_FULL_PERIOD_ULTIMATE;

    std::vector<QSFactorSetRef> factorSets;

    std::vector<std::uint8_t> Save() const;
    // Replaces *this only when the whole record reads and every value is
    // within its range; false on damage.
    bool Load(const std::vector<std::uint8_t>& bytes);
};
