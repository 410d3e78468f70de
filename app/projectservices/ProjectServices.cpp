#include "projectservices/ProjectServices.h"

#include <QCoreApplication>

#include "CCmdUI.h"
#include "CDisplaySelectionDlg.h"
#include "CDocTemplate.h"
#include "CProject.h"
#include "KernelGlobals.h"
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
#include "CView.h"
#include "startup/WorkstationSettings.h"

namespace qs::app {

namespace {

// Flags of the project-file chooser: explorer, file must exist, several
// files, no read-only box.
constexpr DWORD kChooseExistingFiles = 0x81204;

// Replicate is offered from the navigator only: its category filter shows
// tables (not the ultimates), an object of a category is selected, and in a
// database project the user works in a group. Asked on every idle pass, so
// the document's current object stays as it was.
bool CanReplicate(CProjectDoc& doc) {
    using App = CQuillstoneApp;
    App* a = App::Current();
    CMainFrame* main = a ? a->MainFrame() : nullptr;
    CTreeFrame* navigator = a ? a->NavigatorFrame() : nullptr;
    CView* view = main ? main->GetActiveView() : nullptr;
    if (navigator == nullptr || (dynamic_cast<CPrjListView*>(view) == nullptr && dynamic_cast<CPrjTreeView*>(view) == nullptr))
        return false;
    const QSID category = navigator->GetCategoryId();
    if (category == 0 || category == CProjectDoc::kCategoryUltimates) return false;
    const QSID id = doc.m_nCurrentObjectId;
    const std::uint16_t layer = doc.m_nCurrentLayer;
    const bool offered = doc.GetActiveObject() != CProjectDoc::kCategoryNone && doc.m_nCurrentObjectId != 0;
    doc.m_nCurrentObjectId = id;
    doc.m_nCurrentLayer = layer;
    if (!offered) return false;
    CProject* project = doc.GetProject();
    return project == nullptr || project->Mode() != RM_DATABASE || gSecAttribs.activeGroup != 0;
}

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
    // The object the user means: the navigator's selection, or the object
    // the active window shows.
    host.activeObject = [](CProjectDoc& doc) { return doc.GetActiveObject(); };
    host.hasOpenWindows = [] { return App::Current() && App::Current()->HasOpenDataWindows(); };
    host.closeAllWindows = [] {
        App* a = App::Current();
        if (a == nullptr) return;
        a->OnCmdMsg(kCmdCloseAllChildWindows, CN_COMMAND, nullptr, nullptr);
        // The windows are asked by posted messages; the caller goes on only
        // once they have answered.
        QCoreApplication::sendPostedEvents();
    };
    BindFactorChoosers(host);
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
    doc.MapUpdateCommand(32933, [d](CCmdUI* ui) { ui->Enable(CanReplicate(*d)); });

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
    doc.MapCommand(32941, [d] { OnCopySelectedsToFactorSet(*d); });
    doc.MapCommand(32939, [d] { OnCopyStatisticsToSelecteds(*d); });
    doc.MapCommand(32940, [d] { OnCopyFactorSetToSelecteds(*d); });
    for (UINT id : {32939u, 32940u, 32941u}) doc.MapUpdateCommand(id, [](CCmdUI* ui) { ui->Enable(TRUE); });
}

std::unique_ptr<CProjectDoc> OpenProjectWithoutWindow(const QString& path) {
    auto doc = std::make_unique<CProjectDoc>();
    if (!doc->OnOpenDocument(path)) return nullptr;
    doc->SetPathName(path, FALSE);
    return doc;
}

}  // namespace qs::app
