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
        a->OnCmdMsg(cmd::kCloseAllChildWindows, CN_COMMAND, nullptr, nullptr);
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
    qs::project::Host().mapDocumentCommands = [](CProjectDoc& doc) {
        qs::cmd::MapCommandTable<CProjectDoc>(doc, doc, ProjectServiceCommands());
    };
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

namespace {

using Doc = CProjectDoc;
using qs::cmd::Always;

const qs::cmd::CommandEntry<Doc> kServiceCommands[] = {
    // The default print list of the navigator's project, and the active
    // object's list in the Print List dialog.
    {.id = cmd::kPrintDatabase, .menuText = "&Print...\tCtrl+P", .enabled = Always<Doc>,
     .handler = [](Doc&) {
         if (CQuillstoneApp* a = CQuillstoneApp::Current()) a->OnFilePrint();
     }},
    {.id = cmd::kManagePrinting, .prompt = "Manage direct and batch printing\nPrint", .enabled = Always<Doc>,
     .handler = [](Doc& d) {
         if (CQuillstoneApp* a = CQuillstoneApp::Current()) a->OnManagePrinting(a->NavigatorProject() ? nullptr : &d);
     }},
    {.id = cmd::kFileProperties, .menuText = "P&roperties...", .prompt = "File properties", .enabled = Always<Doc>,
     .handler = OnFileProperties},
    {.id = cmd::kFileSummary, .menuText = "File Summ&ary", .enabled = Always<Doc>,
     .handler = [](Doc& d) { RunProjectReport(d, INFO_SUMMARY); }},
    {.id = cmd::kFormulasExhibits, .menuText = "&Exhibits", .enabled = Always<Doc>,
     .handler = [](Doc& d) { RunProjectReport(d, INFO_EXHIBITS); }},
    {.id = cmd::kFormulasMethods, .menuText = "&Methods", .enabled = Always<Doc>,
     .handler = [](Doc& d) { RunProjectReport(d, INFO_METHODS); }},
    {.id = cmd::kFormulasReports, .menuText = "&Reports", .enabled = Always<Doc>,
     .handler = [](Doc& d) { RunProjectReport(d, INFO_REPORTS); }},
    {.id = cmd::kFileCompare, .menuText = "File &Compare...", .enabled = Always<Doc>, .handler = OnCompareProjects},
    {.id = cmd::kFileAdd, .menuText = "&Add...", .prompt = "Add file(s) to the current file", .enabled = Always<Doc>,
     .handler = [](Doc& d) { ApplyFileArithmetic(d, OP_ADD); }},
    {.id = cmd::kFileSubtract, .menuText = "&Subtract...", .prompt = "Subtract file(s) from the current file",
     .enabled = Always<Doc>, .handler = [](Doc& d) { ApplyFileArithmetic(d, OP_SUBTRACT); }},
    {.id = cmd::kReplicateTable, .menuText = "&Replicate", .enabled = CanReplicate, .handler = OnReplicateTable},
    {.id = cmd::kScalingFactor, .prompt = "Scaling Factor", .enabled = Always<Doc>, .handler = OnScalingFactor},
    {.id = cmd::kFileUpdate, .menuText = "File &Update...", .prompt = "Add new evaluation to the current file",
     .enabled = Always<Doc>, .handler = OnAddNewEvaluation},
    {.id = cmd::kAsOfDate, .prompt = "As Of Date", .enabled = Always<Doc>, .handler = OnAsOfDate},
    {.id = cmd::kMoveLayer, .menuText = "Mo&ve Layer...", .prompt = "Move all data in one layer to another",
     .enabled = Always<Doc>, .handler = OnMoveLayer},
    {.id = cmd::kCopyStatisticsToSelecteds, .menuText = "From &Statistics to Selected Factors",
     .prompt = "Copy Factors from Statistics to Selected Factors", .enabled = Always<Doc>,
     .handler = OnCopyStatisticsToSelecteds},
    {.id = cmd::kCopyFactorSetToSelecteds, .menuText = "From &Factor Set to Selected Factors",
     .prompt = "Copy Factors from Factor Set to Selected Factors", .enabled = Always<Doc>,
     .handler = OnCopyFactorSetToSelecteds},
    {.id = cmd::kCopySelectedsToFactorSet, .menuText = "From Se&lected Factors to Factor Set",
     .prompt = "Copy Factors From Selected Factors to Factor Set.", .enabled = Always<Doc>,
     .handler = OnCopySelectedsToFactorSet},
};

}  // namespace

qs::cmd::CommandTable<CProjectDoc> ProjectServiceCommands() { return kServiceCommands; }

std::unique_ptr<CProjectDoc> OpenProjectWithoutWindow(const QString& path) {
    auto doc = std::make_unique<CProjectDoc>();
    if (!doc->OnOpenDocument(path)) return nullptr;
    doc->SetPathName(path, FALSE);
    return doc;
}

}  // namespace qs::app
