#pragma once
// The user's exhibit defaults, four small files in the working directory
// that new projects and templates start from: "stats.def" (statistics
// rows), "selectns.def" (selection rows), "interpolationstats.def"
// (interpolation set-up) and "exstats.def" (exhibits with statistics).
// Layouts (little-endian, framework archive encoding, nothing else):
//   stats.def               count, then per row a CByteArray object (class
//                           tag, count 9, the 9 bytes of the definition)
//   selectns.def            six int32: selected, ratio-to-ultimate,
//                           age-to-ultimate, blank line, historical, count
//   interpolationstats.def  count, CInterpolateSelection objects, then
//                           int32 display, use in methods, abbreviate,
//                           accident (1 for ENUM_PERIOD 0), full period
//                           (1 for ENUM_ADJ_UNEARNED_EXPOSURE 0)
//   exstats.def             count, then the ids as int32
//
// Each file is written whole or not at all: a write error leaves the old
// file as it was. Failures are reported in a message box; the writers
// return false then.
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "CInterpolateSelection.h"
#include "CStatistics.h"
#include "KernelTypes.h"

namespace qs::views::defaults {

inline constexpr const char* kStatsFile = "/stats.def";
inline constexpr const char* kSelectionsFile = "/selectns.def";
inline constexpr const char* kInterpolationFile = "/interpolationstats.def";
inline constexpr const char* kExhibitStatsFile = "/exstats.def";

struct InterpolationDefaults {
    std::vector<CInterpolateSelection> selections;
    int display = 0;
    int useInMethods = 0;
    int abbreviate = 0;
    ENUM_PERIOD period = PERIOD_ACCIDENT;
    ENUM_ADJ_UNEARNED_EXPOSURE adjustment = ADJ_FULL_PERIOD_ULTIMATE;
};

// The file's path: the working directory followed by the name.
QString PathOf(const QString& workingDirectory, const char* name);

// The file contents (what the writers put into the files).
std::vector<std::uint8_t> StatsBytes(const std::vector<CStatistics::Record>& rows);
std::vector<std::uint8_t> SelectionsBytes(const std::array<int, 6>& values);
std::vector<std::uint8_t> InterpolationBytes(const InterpolationDefaults& d);
std::vector<std::uint8_t> ExhibitStatsBytes(const QSIDArray& ids);

bool WriteStats(const QString& workingDirectory, const std::vector<CStatistics::Record>& rows);
bool WriteSelections(const QString& workingDirectory, const std::array<int, 6>& values);
bool WriteInterpolation(const QString& workingDirectory, const InterpolationDefaults& d);
bool WriteExhibitStats(const QString& workingDirectory, const QSIDArray& ids);

// Readers for the components that start new projects from the files; false
// when the file is missing, not a regular file, or damaged (the outputs are
// then untouched).
bool ReadStats(const QString& workingDirectory, std::vector<CStatistics::Record>& rows);
bool ReadSelections(const QString& workingDirectory, std::array<int, 6>& values);
bool ReadInterpolation(const QString& workingDirectory, InterpolationDefaults& d);
bool ReadExhibitStats(const QString& workingDirectory, QSIDArray& ids);

// The same readers over a file's content; false when it is damaged.
bool ParseStats(const std::vector<std::uint8_t>& bytes, std::vector<CStatistics::Record>& rows);
bool ParseSelections(const std::vector<std::uint8_t>& bytes, std::array<int, 6>& values);
bool ParseInterpolation(const std::vector<std::uint8_t>& bytes, InterpolationDefaults& d);
bool ParseExhibitStats(const std::vector<std::uint8_t>& bytes, QSIDArray& ids);

// Tests: called after the content is written and before the file replaces
// the old one; throwing a CFileException there plays a failed write.
std::function<void()>& BeforeCommitHook();

}  // namespace qs::views::defaults
