#pragma once
// The standard exhibits and methods of a new project's template, written in
// the formula language so a user can read, copy and change them:
//   exhibits   development of paid loss, paid ALAE, incurred loss, incurred
//              ALAE, incurred loss and ALAE, reported claims;
//   methods    paid and incurred development, expected loss ratio,
//              Bornhuetter-Ferguson (paid and incurred), Cape Cod,
//              frequency-severity, and development of paid losses and of
//              case reserves adjusted by the project's data-adjustment tables
//              (docs/kernel/methods.md lists the columns of each).
#include "CProject.h"

namespace qsmethods {

// Exhibit ids (system exhibits, data type 1) by the index of their input array.
QSID StandardExhibitID(int arrayIndex);

// Method indexes of the standard methods (system methods, data type 2).
enum StandardMethod : int {
    kPaidDevelopment = 1,
    kIncurredDevelopment = 2,
    kExpectedLossRatio = 3,
    kPaidBF = 4,
    kIncurredBF = 5,
    kCapeCod = 6,
    kFrequencySeverity = 7,
    // The data-adjustment methods: paid development on paid losses adjusted
    // by the paid data adjustments (101010494), incurred development on case
    // reserves adjusted by the incurred data adjustments (101010497).
    kAdjustedPaid = 45,
    kAdjustedIncurred = 50,
};
QSID StandardMethodID(int index);

// Adds what the project does not hold yet; 0 when everything is there.
QSSTATUS AddStandardExhibitsAndMethods(CProject& project);

}  // namespace qsmethods
