#pragma once
// The menu of the factor-library window (resource 130, and 327 for the
// enterprise resources): File, Edit and View commands of the library.
namespace qs::factors {

inline constexpr unsigned kLibraryMenuId = 130;
inline constexpr unsigned kLibraryMenuIdEnterprise = 327;

void RegisterFactorLibraryResources();

}  // namespace qs::factors
