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

// Long computations call KernelPulse() between their units of work (one
// exhibit of a flood fill, for example). A program whose interface thread
// waits in such a call sets a pulse that keeps its busy indication moving.
// The pulse runs on whatever thread runs the computation, must be cheap and
// must not call into the kernel. None is set by default.
using KernelPulseFn = void (*)();
void SetKernelPulse(KernelPulseFn pulse);
void KernelPulse();

// Called once at start-up by every program that links the kernel.
void InitNumbrixExtensionDLL();
bool IsNumbrixExtensionInitialized();
