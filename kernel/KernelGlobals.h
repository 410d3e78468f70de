#pragma once
// Process-wide values the kernel exports.
#include <string>
#include <vector>

// Set whenever a failure is written to a log file while no user drives the program.
extern bool gbLogFileContainsError;
// Column sums of the views use full precision rather than the shown decimals.
extern bool bGlobalVarColumnSumFullPrecision;
// The kernel's debug output handle (null: none).
extern void* hdbg;

// The enterprise login record: user, group, active group (0 none) and the
// access level per component kind.
struct QSSecAttribs {
    std::string user;
    std::string group;
    long activeGroup = 0;
    std::vector<int> accessLevels;
};
extern QSSecAttribs gSecAttribs;

// Called once at start-up by every program that links the kernel.
void InitNumbrixExtensionDLL();
bool IsNumbrixExtensionInitialized();
