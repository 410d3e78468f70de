#pragma once
// The three forms in which a row of development factors (its last cell the
// tail) is shown and edited: 0 age to age (as stored), 1 age to ultimate
// (the product from an age through the tail) and 2 ratio to ultimate (the
// inverse of age to ultimate). The stored row always holds age-to-age
// factors; these calls translate for display and for input, by the rule of
// CDataObject::CumulateSDF (a blank or zero tail counts as 1; a blank factor
// leaves its own and every earlier age blank in forms 1 and 2).
#include <cstdint>

#include "CDataObject.h"
#include "KernelTypes.h"

namespace qsk {

enum FactorForm : int { kAgeToAge = 0, kAgeToUltimate = 1, kRatioToUltimate = 2 };

// Cell (0, col) of the row in the form: value and flag byte as GetAt gives
// them (CF_VALUE set when the form has a value there).
QSSTATUS GetFactorInForm(const CDataObject& row, int form, int col, double& value, std::uint8_t& flags);

// Stores a value typed in the form into cell (0, col). In forms 1 and 2 the
// age-to-age factor of that column is set so that the column shows the value
// and every later column keeps its own; it fails (changing nothing) when a
// later column has no value (the age to ultimate of the next age is unknown)
// or when the value cannot be an age-to-ultimate factor (0, or not finite).
QSSTATUS SetFactorInForm(CDataObject& row, int form, int col, double value);

}  // namespace qsk
