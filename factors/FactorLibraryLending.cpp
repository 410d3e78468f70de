#include "FactorLibraryLending.h"

#include "CDFLDoc.h"
#include "CDocTemplate.h"
#include "CFSLib.h"
#include "CFactorSet.h"
#include "CProject.h"
#include "CWinApp.h"
#include "FactorLibraryHost.h"

namespace qs::factors {

std::vector<CDFLDoc*> OpenFactorLibraries() {
    std::vector<CDFLDoc*> libraries;
    CDocTemplate* libraryTemplate = Host().libraryTemplate ? Host().libraryTemplate() : nullptr;
    std::vector<CDocTemplate*> templates;
    if (libraryTemplate != nullptr) templates.push_back(libraryTemplate);
    else if (CWinApp* app = AfxGetApp()) templates = app->DocTemplates();
    for (CDocTemplate* t : templates)
        for (CDocument* d : t->Documents())
            if (auto* library = dynamic_cast<CDFLDoc*>(d)) libraries.push_back(library);
    return libraries;
}

std::vector<LentFactorSet> LendFactorSets(CProject* project, int allowCountChange) {
    std::uint16_t count = 0, first = 0;
    PRDLENGTH length = PRD_YEAR;
    const bool structure = project != nullptr && project->GetInfoDevPrd(count, length, first) == 0;
    std::vector<LentFactorSet> lent;
    for (CDFLDoc* library : OpenFactorLibraries()) {
        QSStringArray names;
        library->GetLibrary()->GetFactorSetNames(names);
        for (const std::string& name : names) {
            CFactorSet* set = nullptr;
            library->GetLibrary()->GetFactorSet(name, set);
            if (set == nullptr) continue;
            LentFactorSet entry;
            entry.library = library;
            entry.libraryName = library->LibraryNameFromTitle();
            entry.libraryDescription = QString::fromStdString(library->GetLibrary()->GetDescription());
            entry.set = set;
            entry.fits = structure && set->CanAdjustSize(count, length, first, 0, 0, allowCountChange);
            lent.push_back(entry);
        }
    }
    return lent;
}

}  // namespace qs::factors
