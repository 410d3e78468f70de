#pragma once
// Process-wide values the kernel exports.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Set whenever a failure is written to a log file while no user drives the program.
extern bool gbLogFileContainsError;
// Column sums of the views use full precision rather than the shown decimals.
extern bool bGlobalVarColumnSumFullPrecision;
// The kernel's debug output handle (null: none).
extern void* hdbg;

// The enterprise login record: user and group ids, the active group (0: not
// logged in to a group), the two further login values a second connection
// of the same login presents, and the access level per component kind
// (index = kind; above 0 the database manager is asked, 0 unrestricted,
// below 0 refused; a kind beyond the vector has level 0). The database
// fills it when a program logs in; the program only reads it.
struct QSSecAttribs {
    std::string user;   // the login name the database knows the account by
    std::string group;  // the active group's name
    std::int32_t userId = 0;
    std::int32_t groupId = 0;
    long activeGroup = 0;
    std::uint16_t loginValues[2] = {0, 0};
    std::vector<int> accessLevels;
    int AccessLevel(int kind) const {
        return kind >= 0 && static_cast<std::size_t>(kind) < accessLevels.size() ? accessLevels[kind] : 0;
    }
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
