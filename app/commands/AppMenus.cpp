#include "commands/AppMenus.h"

#include "commands/AppCommandTable.h"
#include "CommandIds.h"
#include "Resources.h"

namespace qs::app {

namespace {

using qs::fw::MenuItem;
using Items = std::vector<MenuItem>;
using namespace qs::cmd;

// A command's entry as the registry names it.
MenuItem Item(UINT id) {
    const CommandText* command = FindCommand(id);
    Q_ASSERT_X(command != nullptr && command->menuText != nullptr, "Item", "a menu command without a registry entry");
    return MenuItem(QString::fromUtf8(command ? command->menuText : ""), id);
}
// An entry that this menu names otherwise than the registry.
MenuItem Item(UINT id, const char* text) { return MenuItem(QString::fromUtf8(text), id); }
MenuItem Popup(const char* text, Items items) { return MenuItem(QString::fromUtf8(text), std::move(items)); }
MenuItem Sep() { return MenuItem::Separator(); }

enum class Edition { Standard, Enterprise };

Items RecentFiles() {
    Items items;
    for (UINT id = ID_FILE_MRU_FILE1; id < ID_FILE_MRU_FILE1 + 4; ++id) items.push_back(Item(id, "Recent File"));
    return items;
}

MenuItem ImportPopup() {
    return Popup("&Import", {Item(kImportLotus), Item(kImportEnhancedAscii), Item(kImportAscii),
                             Item(kImportStatisticsDatabase), Item(kConvertPC5Files)});
}

MenuItem ExportPopup() {
    return Popup("&Export", {Item(kExportLotus), Item(kExportEnhancedAscii), Item(kExportAscii), Item(kExportExcel)});
}

MenuItem WindowPopup() {
    return Popup("Wi&ndow", {Item(kWindowCascade), Item(kWindowTile), Item(kWindowArrange), Sep(), Item(kNextWindow),
                             Item(kPrevWindow), Item(kCloseWindow), Item(kCloseAllChildWindows)});
}

MenuItem HelpPopup() {
    return Popup("&Help", {Item(kHelpContents), Item(kTipOfTheDay), Item(kTechnicalSupport), Sep(), Item(kAbout)});
}

// The steps a script hands to the user end here (enterprise only).
MenuItem BatchPopup() { return Popup("&Batch", {Item(kBatchContinue), Item(kBatchCancel), Item(kBatchExit)}); }

Items MainMenu() {
    Items file{Item(kFileNew), Item(kFileOpen), Sep(), ImportPopup(), Sep(), Item(kMainPrintSetup), Sep()};
    for (MenuItem& recent : RecentFiles()) file.push_back(recent);
    file.push_back(Sep());
    file.push_back(Item(kAppExit));
    return {Popup("&File", file),
            Popup("Vie&w", {Item(kViewToolbar), Item(kViewStatusBar), Sep(), Item(kShowNavigator), Sep(), Item(kZoom),
                            Item(kTable100), Sep(), Item(kWorkstationSetup)}),
            WindowPopup(), HelpPopup()};
}

MenuItem FilePopup(Edition edition) {
    const bool enterprise = edition == Edition::Enterprise;
    Items file{Item(kFileNew), Item(kFileOpen), Item(kFileClose), Item(kCloseAll), Sep()};
    if (enterprise) {
        file.push_back(Item(kSaveData));
        file.push_back(Item(kSaveDataAs));
        file.push_back(Item(kFileSaveAs));
        file.push_back(Popup("Te&mplate", {Item(kSaveTemplate), Item(kSaveTemplateAs)}));
    } else {
        file.push_back(Item(kFileSave));
        file.push_back(Item(kFileSaveAs));
    }
    for (MenuItem item : {Sep(), Item(kFileProperties), Sep(), ImportPopup(), ExportPopup(), Sep(), Item(kPageSetup)})
        file.push_back(std::move(item));
    file.push_back(enterprise ? Item(kPrintDatabase) : Item(kPrint));
    for (MenuItem item : {Item(kPrintActiveTable), Item(kBatchPrint), Item(kPrintSetup), Sep()})
        file.push_back(std::move(item));
    for (MenuItem& recent : RecentFiles()) file.push_back(recent);
    file.push_back(Sep());
    file.push_back(Item(kAppExit));
    return Popup("&File", file);
}

MenuItem GraphPopup(Edition edition) {
    Items graph{Item(kGraphTable), Item(kDefaultStyles)};
    if (edition == Edition::Enterprise) {
        graph.push_back(Sep());
        graph.push_back(Item(kLockGraphCreation));
        graph.push_back(Item(kRefreshUserGraphs));
    }
    return Popup("&Graph", graph);
}

MenuItem ToolsPopup(Edition edition) {
    Items tools{Item(kTableMath),
                Popup("User &Defined", {Item(kNewTable), Item(kEditTable), Item(kDeleteTable), Item(kReplicateTable)}),
                Sep(),
                Item(kFileSummary),
                Item(kFileCompare),
                Popup("File &Math", {Item(kFileAdd), Item(kFileSubtract)}),
                Item(kFileUpdate),
                Item(kMoveLayer),
                Sep(),
                Item(kFileLabels),
                Item(kExhibitOptions),
                Popup("&Formulas", {Item(kFormulasExhibits), Item(kFormulasMethods), Item(kFormulasReports)}),
                Popup("Co&py Factors", {Item(kCopyStatisticsToSelecteds), Item(kCopyFactorSetToSelecteds),
                                        Item(kCopySelectedsToFactorSet)}),
                Sep()};
    if (edition == Edition::Enterprise) {
        tools.push_back(Popup("Set Flood F&ill", {Item(kSetSDFFloodFill), Item(kSetInterpolatedFloodFill),
                                                  Item(kSetUltimatesFloodFill, "Selected Ultimates...")}));
        tools.push_back(Popup("Execute Fl&ood Fill",
                              {Item(kRunSDFFloodFill), Item(kRunUltimatesFloodFill), Item(kRunInterpolatedFloodFill)}));
        tools.push_back(Sep());
        tools.push_back(Item(kManageSummaryExport));
    } else {
        tools.push_back(Item(kSetUltimatesFloodFill));
        tools.push_back(Item(kExecuteUltimatesFloodFill));
    }
    return Popup("&Tools", tools);
}

Items ProjectMenu(Edition edition) {
    Items menu{FilePopup(edition),
               Popup("&Edit", {Item(kEditCut), Item(kEditCopy), Item(kEditPaste), Item(kEditDelete), Sep(),
                               Item(kEditClear), Item(kEditClearAll), Sep(), Item(kEditCellNote), Item(kFootnote)}),
               Popup("Vie&w", {Item(kViewToolbar), Item(kViewStatusBar), Sep(), Item(kShowNavigator), Sep(),
                               Item(kCumulativeIncremental), Item(kCalendarPeriods), Sep(), Item(kZoomIn),
                               Item(kZoomOut), Item(kZoom), Item(kTable100), Sep(), Item(kViewSourceData),
                               Item(kViewFormula), Sep(), Item(kWorkstationSetup)}),
               Popup("File &Structure",
                     {Item(kAppendNewEvaluation), Item(kRemoveLastEvaluation), Sep(), Item(kAppendOldestExposurePeriod),
                      Item(kRemoveOldestExposurePeriod), Sep(), Item(kAppendPriorExposurePeriod),
                      Item(kRemovePriorExposurePeriod), Sep(), Item(kCompressColumns), Item(kCompressRows)}),
               GraphPopup(edition),
               ToolsPopup(edition),
               WindowPopup()};
    if (edition == Edition::Enterprise) menu.push_back(BatchPopup());
    menu.push_back(HelpPopup());
    return menu;
}

}  // namespace

void RegisterAppMenus() {
    const auto registerOnce = [](UINT id, const Items& items) {
        if (qs::fw::FindMenu(id) == nullptr) qs::fw::RegisterMenu(id, items);
    };
    const Items main = MainMenu(), project = ProjectMenu(Edition::Standard),
                enterprise = ProjectMenu(Edition::Enterprise);
    registerOnce(kMainMenu, main);
    for (UINT id : {kNavigatorMenu, kTableMenu, kUpdateMenu}) registerOnce(id, project);
    // The enterprise main frame and its navigator share one menu.
    for (UINT id : {kEnterpriseMainMenu, kEnterpriseTableMenu}) registerOnce(id, enterprise);
    // The status-bar prompts ("prompt\ntool tip") of the commands that carry one.
    for (const CommandText& c : AllCommands())
        if (c.prompt != nullptr && !qs::fw::HasResourceString(c.id)) qs::fw::RegisterString(c.id, QString::fromUtf8(c.prompt));
}

void AddApplicationEntries(UINT menuId) {
    const std::vector<MenuItem>* found = qs::fw::FindMenu(menuId);
    if (found == nullptr || found->empty()) return;
    Items menu = *found;
    for (const MenuItem& popup : menu)
        if (popup.text == QLatin1String("&Help")) return;  // already given
    MenuItem& file = menu.front();
    Items items{Item(kFileNew), Item(kFileOpen), Sep()};
    items.insert(items.end(), file.items.begin(), file.items.end());
    items.push_back(Sep());
    items.push_back(Item(kAppExit));
    file.items = std::move(items);
    menu.push_back(WindowPopup());
    menu.push_back(HelpPopup());
    qs::fw::RegisterMenu(menuId, std::move(menu));
}

}  // namespace qs::app
