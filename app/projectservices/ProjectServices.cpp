#include "projectservices/ProjectServices.h"

#include "CDocTemplate.h"
#include "CProjectDoc.h"
#include "CQuillstoneApp.h"
#include "KernelIds.h"
#include "KernelTypes.h"
#include "ProjectHost.h"
#include "commands/AppMenus.h"
#include "startup/WorkstationSettings.h"

namespace qs::app {

namespace {

// Flags of the project-file chooser: explorer, file must exist, several
// files, no read-only box.
constexpr DWORD kChooseExistingFiles = 0x81204;

}  // namespace

ProjectServicesHost& ServicesHost() {
    static ProjectServicesHost host;
    return host;
}

void BindProjectServices(CQuillstoneApp& app) {
    (void)app;
    using App = CQuillstoneApp;
    ProjectServicesHost& host = ServicesHost();
    host.chooseProjectFiles = [](const QString& title, const QString& okCaption, QStringList& paths) {
        App* a = App::Current();
        if (a == nullptr) return false;
        QString name = title;  // title id 0: the chooser takes its title from the name
        return a->ChooseProjectFiles(name, 0, kChooseExistingFiles, true, a->m_pProjectTemplate, &paths, okCaption) &&
               !paths.isEmpty();
    };
    host.findOpenProject = [](const QString& path) -> CProjectDoc* {
        App* a = App::Current();
        return a ? dynamic_cast<CProjectDoc*>(a->FindOpenDocument(path, a->m_pProjectTemplate)) : nullptr;
    };
    host.openProjects = [] {
        std::vector<CProjectDoc*> docs;
        if (App* a = App::Current()) a->GetProjectDocuments(docs);
        return docs;
    };
    host.refreshNavigator = [] {
        if (App* a = App::Current()) a->RefreshNavigator();
    };
    host.selectInNavigator = [](CProjectDoc* doc) {
        if (qs::project::Host().selectInNavigator == nullptr || doc == nullptr) return false;
        qs::project::Host().selectInNavigator(doc);
        return true;
    };
    host.activeObject = [](CProjectDoc& doc) {
        App* a = App::Current();
        CProjectDoc* selected = nullptr;
        unsigned short layer = 0;
        QSID id = 0;
        if (a) a->GetNavigatorSelection(selected, layer, id);
        if (selected == &doc && id != 0) {
            doc.m_nCurrentObjectId = DelGraphIDOf(id);
            doc.m_nCurrentLayer = layer;
        }
        return doc.m_nCurrentObjectId > 0 ? int(GetCategoryOfID(doc.m_nCurrentObjectId)) : 0;
    };
    host.hasOpenWindows = [] { return App::Current() && App::Current()->HasOpenDataWindows(); };
    host.closeAllWindows = [] {
        if (App* a = App::Current()) a->OnCmdMsg(kCmdCloseAllChildWindows, CN_COMMAND, nullptr, nullptr);
    };
    host.findOpenLibrary = [](const QString& path) -> CDocument* {
        App* a = App::Current();
        return a ? a->FindOpenDocument(path, a->m_pDFLTemplate) : nullptr;
    };
    qs::project::Host().showExtension = [] {
        return App::Current() ? int(App::Current()->GetProfileInt("Settings", "Show Extension", 1)) : 1;
    };
    qs::project::Host().displayGraphLockItem = [] { return Settings().displayGraphLockItem; };
    qs::project::Host().mapDocumentCommands = [](CProjectDoc& doc) { MapProjectServiceCommands(doc); };
}

void MapProjectServiceCommands(CProjectDoc& doc) {
    CProjectDoc* d = &doc;
    const struct {
        UINT id;
        int kind;
    } reports[] = {{32869, INFO_SUMMARY}, {32905, INFO_EXHIBITS}, {32907, INFO_METHODS}, {32909, INFO_REPORTS}};
    for (const auto& r : reports) {
        const int kind = r.kind;
        doc.MapCommand(r.id, [d, kind] { RunProjectReport(*d, kind); });
        doc.MapUpdateCommand(r.id, [](CCmdUI* ui) { ui->Enable(TRUE); });
    }
    doc.MapCommand(32874, [d] { OnCompareProjects(*d); });
    doc.MapCommand(32875, [d] { ApplyFileArithmetic(*d, OP_ADD); });
    doc.MapCommand(32876, [d] { ApplyFileArithmetic(*d, OP_SUBTRACT); });
    for (UINT id : {32874u, 32875u, 32876u}) doc.MapUpdateCommand(id, [](CCmdUI* ui) { ui->Enable(TRUE); });
    doc.MapCommand(32933, [d] { OnReplicateTable(*d); });

    const struct {
        UINT id;
        void (*handler)(CProjectDoc&);
    } commands[] = {
        {32870, OnFileProperties}, {32891, OnScalingFactor}, {32898, OnAddNewEvaluation}, {32951, OnAsOfDate},
        {32964, OnMoveLayer},
    };
    for (const auto& c : commands) {
        const auto handler = c.handler;
        doc.MapCommand(c.id, [d, handler] { handler(*d); });
        doc.MapUpdateCommand(c.id, [](CCmdUI* ui) { ui->Enable(TRUE); });
    }
    // The factor copies need the factor dialogs of the exhibit options.
    doc.MapCommand(32941, [d] { OnCopySelectedsToFactorSet(*d); });
    doc.MapCommand(32939, [d] { OnCopyStatisticsToSelecteds(*d); });
    doc.MapCommand(32940, [d] { OnCopyFactorSetToSelecteds(*d); });
    doc.MapUpdateCommand(32939, [](CCmdUI* ui) { ui->Enable(ServicesHost().chooseStatistics != nullptr); });
    for (UINT id : {32940u, 32941u})
        doc.MapUpdateCommand(id, [](CCmdUI* ui) {
            ui->Enable(ServicesHost().chooseSelectedColumns != nullptr && ServicesHost().chooseFactorSet != nullptr);
        });
}

std::unique_ptr<CProjectDoc> OpenProjectWithoutWindow(const QString& path) {
    auto doc = std::make_unique<CProjectDoc>();
    if (!doc->OnOpenDocument(path)) return nullptr;
    doc->SetPathName(path, FALSE);
    return doc;
}

}  // namespace qs::app
