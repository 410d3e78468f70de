#pragma once
// The navigator's pictures, drawn here so the program needs no image files:
// the tree's project, category and subgroup items, one list icon for each
// status code the kernel gives an object, and the frame's toolbar buttons.
#include <QIcon>

#include "WindowsTypes.h"

namespace qs::app::nav {

enum class TreeIcon { Project, Category, Subgroup };
QIcon TreeItemIcon(TreeIcon kind);

// The kernel's status codes: 0 no data, 1 entered with data, 2 calculated
// with data, 3 not in this project. Any other code gets the last icon.
inline constexpr int kStatusIconCount = 4;
QIcon StatusIcon(int status);

// The toolbar button of a navigator command (categories and view filters).
QIcon CommandIcon(UINT command);

}  // namespace qs::app::nav
