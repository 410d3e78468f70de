#include "projectservices/ProjectServices.h"

#include "CDisplaySelectionDlg.h"
#include "CDocTemplate.h"
#include "CProjectDoc.h"
#include "CQuillstoneApp.h"
#include "KernelIds.h"
#include "KernelTypes.h"
#include "ProjectHost.h"
#include "SmallViewDialogs.h"
#include "commands/AppMenus.h"
#include "frames/CMainFrame.h"
#include "navigator/CPrjListView.h"
#include "navigator/CPrjTreeView.h"
#include "navigator/CTreeFrame.h"
#include "ObjectViewLink.h"
#include "CView.h"
#include "startup/WorkstationSettings.h"

namespace qs::app {

namespace {

// Flags of the project-file chooser: explorer, file must exist, several
// files, no read-only box.
constexpr DWORD kChooseExistingFiles = 0x81204;

bool IsGraphObjectId(QSID id) { return id >= kGraphFlag || GetIDDOType(id) == 8; }

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
        // The object of the active window: the navigator's selected object,
        // or the object an object window shows.
        doc.m_nCurrentObjectId = 0;
        doc.m_nCurrentLayer = 0;
        App* a = App::Current();
        CMainFrame* main = a ? a->MainFrame() : nullptr;
        CView* view = main ? main->GetActiveView() : nullptr;
        CTreeFrame* navigator = a ? a->NavigatorFrame() : nullptr;
        if (navigator != nullptr && (dynamic_cast<CPrjListView*>(view) || dynamic_cast<CPrjTreeView*>(view))) {
            CPrjListView* list = navigator->ListView();
            if (list == nullptr || list->GetCurrentProject() != &doc) return 0;
            const QSID id = list->GetSelectedObject();
            if (id <= 0) return 0;
            doc.m_nCurrentObjectId = DelGraphIDOf(id);
            doc.m_nCurrentLayer = static_cast<unsigned short>(navigator->GetSelectedLayer());
        } else if (auto* link = dynamic_cast<qs::project::ObjectViewLink*>(view);
                   link != nullptr && view->GetDocument() == &doc && link->ViewObjectId() > 0) {
            doc.m_nCurrentObjectId = DelGraphIDOf(link->ViewObjectId());
            doc.m_nCurrentLayer = link->ViewLayer();
        }
        if (doc.m_nCurrentObjectId <= 0) return 0;
        return IsGraphObjectId(doc.m_nCurrentObjectId) ? 8000 : int(GetCategoryOfID(doc.m_nCurrentObjectId));
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
    qs::project::Host().setNavigatorCaption = [](const QString& caption) {
        if (App* a = App::Current(); a != nullptr && a->NavigatorFrame() != nullptr)
            a->NavigatorFrame()->SetWindowText(caption);
    };
    // The display options' read-only pattern is a workstation setting.
    qs::project::Host().setReadOnlyPattern = [](int pattern, std::uint32_t foreground, std::uint32_t background) {
        Settings().pattern = pattern;
        Settings().patternROFG = foreground;
        Settings().patternROBG = background;
    };
    CViewSelectionDlg::DisplaySelectionRunner() = [](CWnd* parent) {
        App* a = App::Current();
        qs::project::RunDisplaySelection(a ? a->GetActiveProject() : nullptr, parent);
    };
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
    doc.MapUpdateCommand(32933, [d](CCmdUI* ui) {
        // Asked on every idle pass: the document's current object stays as it was.
        const QSID id = d->m_nCurrentObjectId;
        const unsigned short layer = d->m_nCurrentLayer;
        const int category = ServicesHost().activeObject ? ServicesHost().activeObject(*d) : 0;
        ui->Enable(category != 0 && category != 9000 && d->m_nCurrentObjectId != 0);
        d->m_nCurrentObjectId = id;
        d->m_nCurrentLayer = layer;
    });

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
