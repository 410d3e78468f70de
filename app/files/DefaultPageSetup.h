#pragma once
// The page settings a new project starts with: the kernel's defaults,
// replaced by the user's stored defaults ("PageSetup.def" in the working
// directory) when that file holds a readable page setup.
#include <string>

#include "CPageSetup.h"

namespace qs::app {

inline constexpr const char* kPageSetupDefaultsFile = "PageSetup.def";

// A missing, empty or damaged defaults file leaves the kernel's defaults:
// a new project must not fail over a defaults file.
CPageSetup LoadDefaultPageSetup(const std::string& workingDirectory);

}  // namespace qs::app
