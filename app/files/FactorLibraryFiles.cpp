#include "files/FactorLibraryFiles.h"

#include "CDocTemplate.h"
#include "CQuillstoneApp.h"
#include "FactorLibraryHost.h"
#include "FactorLibraryResources.h"
#include "ViewSettings.h"
#include "commands/AppMenus.h"
#include "startup/WorkstationSettings.h"

namespace qs::app {

void BindFactorLibraries(CQuillstoneApp&) {
    using App = CQuillstoneApp;
    qs::factors::FactorLibraryHost& host = qs::factors::Host();
    host.fileMode = [] { return qs::views::Settings().fileMode; };
    host.setFileMode = [](int mode) { qs::views::Settings().fileMode = mode; };
    host.applicationMode = [] { return App::Current() ? App::Current()->m_nApplicationMode : 0; };
    host.showTableId = [] { return Settings().showTableId; };
    host.enterMoves = [] { return Settings().enterMoves; };
    host.profilePath = [] { return App::Current() ? App::Current()->ProfilePath() : std::string(); };
    host.logFilePath = [] { return App::Current() ? App::Current()->m_strLogFilePath : std::string(); };
    host.libraryTemplate = []() -> CDocTemplate* { return App::Current() ? App::Current()->m_pDFLTemplate : nullptr; };
    host.projectTemplate = []() -> CDocTemplate* {
        return App::Current() ? App::Current()->m_pProjectTemplate : nullptr;
    };
    qs::factors::RegisterFactorLibraryResources();
    for (UINT id : {qs::factors::kLibraryMenuId, qs::factors::kLibraryMenuIdEnterprise}) AddApplicationEntries(id);
}

}  // namespace qs::app
