#pragma once
// The factor sets of the open factor libraries, offered to a project (the
// exhibit options' factor-set page borrows them from here). Each set is
// marked with whether its development structure fits the project; the sets
// stay the library's, valid until that library changes or closes.
#include <QString>

#include <vector>

class CFactorSet;
class CProject;
class CDFLDoc;

namespace qs::factors {

struct LentFactorSet {
    CDFLDoc* library = nullptr;  // the open library document holding the set
    QString libraryName;         // its name (the title without ".dfl")
    QString libraryDescription;
    CFactorSet* set = nullptr;
    // The set's period length and first age are the project's, and its
    // period count too unless the count may change (rows are then cut or
    // padded to the project's count).
    bool fits = false;
};

// The open library documents, in the order they were opened.
std::vector<CDFLDoc*> OpenFactorLibraries();

// Every set of every open library, libraries in the order they were opened
// and sets in each library's order. With a project the fit is checked
// against its development structure (allowCountChange as the kernel's
// CFactorSet::CanAdjustSize takes it); without one nothing fits.
std::vector<LentFactorSet> LendFactorSets(CProject* project, int allowCountChange = 1);

}  // namespace qs::factors
