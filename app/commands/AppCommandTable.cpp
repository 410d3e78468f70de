// The application's command table: the commands no active view, document or
// frame handles, each with its enabling rule; and the menu texts of the
// commands a view or frame answers. Commands whose work this version does
// not do yet (import and export batches, scripted batch steps) are enabled
// by their rule and say so when run.
#include "commands/AppCommandTable.h"

#include "CCmdUI.h"
#include "CQuillstoneApp.h"
#include "ProjectCommandTable.h"
#include "ViewSettings.h"
#include "startup/WorkstationSettings.h"
#include "projectservices/ProjectServices.h"
#include "startup/CAboutDlg.h"
#include "startup/CTipDlg.h"

using namespace qs::cmd;

namespace qs::app {

namespace {

using App = CQuillstoneApp;
using Routed = CCmdTarget;

bool Interactive(App& a) { return a.m_bInteractive == 1; }
bool Navigator(App& a) { return a.NavigatorExists(); }
bool NavigatorAndInteractive(App& a) { return a.NavigatorExists() && a.m_bInteractive == 1; }
bool BatchWaiting(App& a) { return a.m_hBatchControlWnd != nullptr; }

const CommandEntry<App> kApplicationCommands[] = {
    // File
    {.id = kFileNew, .menuText = "&New...\tCtrl+N", .enabled = Interactive, .handler = [](App& a) { a.OnFileNewChoice(); }},
    {.id = kFileNewProject, .handler = [](App& a) { a.OnFileNewProject(); }},
    {.id = kFileOpen, .menuText = "&Open...\tCtrl+O", .enabled = Interactive,
     .handler = [](App& a) { a.OnFileOpenProjects(); }},
    {.id = kCloseAll, .menuText = "C&lose All", .enabled = Interactive, .handler = [](App& a) { a.OnCloseAll(); }},
    // Save is the project document's; the application only decides when it is offered.
    {.id = kFileSave, .menuText = "&Save\tCtrl+S", .enabled = NavigatorAndInteractive},
    {.id = kStart, .handler = [](App& a) { a.OnStart(); }},
    {.id = kNewFactorLibrary, .prompt = "Create a new Development Factor Library",
     .handler = [](App& a) { a.OnFileNewFactorLibrary(); }},
    // Print lists and batch printing; a table or graph window prints itself.
    {.id = kPrint, .menuText = "&Print...\tCtrl+P", .enabled = NavigatorAndInteractive,
     .handler = [](App& a) { a.OnFilePrint(); }},
    {.id = kPrintActiveTable, .menuText = "Print Acti&ve Table", .prompt = "Print the active table or graph",
     .enabled = NavigatorAndInteractive, .handler = [](App& a) { a.OnFilePrintDirect(); }},
    {.id = kBatchPrint, .menuText = "&Batch print...\tCtrl+B", .enabled = Navigator,
     .handler = [](App& a) { a.OnBatchPrint(); }},
    {.id = kPrintSetup, .menuText = "Prin&t Setup...", .handler = [](App& a) { a.OnFilePrintSetup(); }},
    {.id = kMainPrintSetup, .menuText = "Prin&t Setup", .handler = [](App& a) { a.OnFilePrintSetup(); }},
    {.id = kRunPdf, .handler = [](App& a) { a.OnRunPdf(); }},
    {.id = kAppExit, .menuText = "E&xit", .handler = [](App& a) { a.OnAppExitChecked(); }},

    // File > Import and Export: the batches; the imports are enabled explicitly.
    {.id = kImportLotus, .menuText = "&Lotus (*.wk1)", .prompt = "Import from Lotus (*.wk1) file format",
     .enabled = Always<App>, .handler = [](App& a) { a.OnImportLotus(); }},
    {.id = kImportEnhancedAscii, .menuText = "&Enhanced ASCII (*.dat)",
     .prompt = "Import from Enhanced ASCII (*.dat) file format", .enabled = Always<App>,
     .handler = [](App& a) { a.OnImportEnhancedAscii(); }},
    {.id = kImportAscii, .menuText = "&ASCII (*.asc)", .prompt = "Import from ASCII (*.asc) file format",
     .enabled = Always<App>, .handler = [](App& a) { a.OnImportAscii(); }},
    {.id = kImportStatisticsDatabase, .menuText = "&Statistics Database...",
     .enabled = [](App& a) { return a.Lexigrove().IsLoaded(); }, .handler = [](App& a) { a.OnStatisticsDbImport(); }},
    {.id = kConvertPC5Files, .menuText = "Convert &PC5 Files...", .prompt = "Converts PC5 files to qs3 files",
     .enabled = Interactive, .handler = [](App& a) { a.OnConvertPC5Files(); }},
    {.id = kExportLotus, .menuText = "&Lotus (*.wk1)", .prompt = "Export to Lotus (*.wk1) file format",
     .handler = [](App& a) { a.OnExportLotus(); }},
    {.id = kExportEnhancedAscii, .menuText = "&Enhanced ASCII (*.dat)",
     .prompt = "Export to Enhanced ASCII (*.dat) file format",
     .handler = [](App& a) { a.OnExportEnhancedAscii(); }},
    {.id = kExportAscii, .menuText = "&ASCII (*.asc)", .prompt = "Export to ASCII (*.asc) file format",
     .handler = [](App& a) { a.OnExportAscii(); }},
    {.id = kExportExcel, .menuText = "E&xcel (*.xls)", .enabled = Navigator, .handler = NotAvailable<App>("Export to Excel")},

    // View
    {.id = kShowNavigator, .menuText = "View &Navigator\tAlt+V", .enabled = Navigator,
     .handler = [](App& a) { a.ShowNavigator(); }},
    {.id = kZoom, .menuText = "&Zoom...", .prompt = "View zoom\nZoom", .handler = [](App& a) { a.OnViewZoom(); }},
    {.id = kTable100, .menuText = "Table &100%", .prompt = "Set the size of the table to 100%",
     .enabled = [](App&) { return Settings().scale != 100; }, .handler = [](App& a) { a.OnTable100(); }},
    // Views that can show calendar periods enable the command themselves.
    {.id = kCalendarPeriods, .menuText = "C&alendar Periods",
     .prompt = "View arrays in calendar or development period format\nCalendar",
     .update =
         [](App&, CCmdUI* ui) {
             ui->SetCheck(g_bCalendarView);
             ui->Enable(FALSE);
         },
     .handler = [](App& a) { a.OnViewCalendar(); }},
    {.id = kWorkstationSetup, .menuText = "&Workstation Setup...", .prompt = "Setup parameters for this workstation",
     .handler = [](App& a) { a.OnWorkstationSetup(); }},

    // Graph
    {.id = kGraphTable, .menuText = "&Graph Table", .prompt = "Show graph for table\nGraph", .enabled = Navigator,
     .handler = [](App& a) { a.OnGraph(); }},

    // Window
    {.id = kCloseAllChildWindows, .menuText = "Close All &Windows", .prompt = "Close all child windows",
     .handler = [](App& a) { a.OnCloseAllChildWindows(); }},

    // Batch: the steps a script hands to the user end here.
    {.id = kBatchContinue, .menuText = "C&ontinue", .prompt = "Continue batch run\nContinue",
     .enabled = [](App& a) { return a.m_hBatchControlWnd != nullptr && a.m_nApplicationMode == 1; },
     .handler = NotAvailable<App>("Continue batch run")},
    {.id = kBatchCancel, .menuText = "&Cancel", .prompt = "Cancel batch run\nCancel", .enabled = BatchWaiting,
     .handler = NotAvailable<App>("Cancel batch run")},
    {.id = kBatchExit, .menuText = "&Exit", .prompt = "Exit Quillstone\nExit",
     .enabled = [](App& a) { return a.m_hBatchControlWnd != nullptr && a.m_nApplicationMode != 1; },
     .handler = NotAvailable<App>("Exit batch run")},

    // Help
    {.id = kHelpContents, .menuText = "&Help Topics\tF1", .prompt = "View Help contents\nHelp contents",
     .handler = [](App& a) { a.OnHelpContents(); }},
    {.id = kTipOfTheDay, .menuText = "Tip of the &Day...", .prompt = "Displays a Tip of the Day.",
     .handler = [](App&) { OnTipOfTheDay(); }},
    {.id = kTechnicalSupport, .menuText = "&Technical Support", .prompt = "Technical support",
     .handler = [](App& a) { a.OnTechnicalSupport(); }},
    {.id = kAbout, .menuText = "&About Quillstone...", .handler = [](App&) { OnAppAbout(); }},
};

const CommandEntry<Routed> kRoutedCommands[] = {
    // The project document (the framework's own command)
    {.id = kFileSaveAs, .menuText = "Save &As..."},
    // Edit: the table windows
    {.id = kEditCut, .menuText = "Cu&t\tCtrl+X"},
    {.id = kEditCopy, .menuText = "&Copy\tCtrl+C"},
    {.id = kEditPaste, .menuText = "&Paste\tCtrl+V"},
    {.id = kEditDelete, .menuText = "&Delete"},
    {.id = kEditClear, .menuText = "C&lear..."},
    {.id = kEditClearAll, .menuText = "Clear &All..."},
    {.id = kEditCellNote, .menuText = "Edit Cell &Note..."},
    {.id = kFootnote, .menuText = "&Footnote..."},
    // View: the main frame's bars and the table windows
    {.id = kViewToolbar, .menuText = "&Toolbar"},
    {.id = kViewStatusBar, .menuText = "&Status Bar"},
    {.id = kCumulativeIncremental, .menuText = "C&umulative/Incremental"},
    {.id = kZoomIn, .menuText = "Zoom &In"},
    {.id = kZoomOut, .menuText = "Zoom &Out"},
    {.id = kViewSourceData, .menuText = "View Sou&rce Data"},
    {.id = kViewFormula, .menuText = "View &Formula"},
    // Window: the main frame
    {.id = kWindowCascade, .menuText = "&Cascade"},
    {.id = kWindowTile, .menuText = "&Tile"},
    {.id = kWindowArrange, .menuText = "&Arrange Icons"},
    {.id = kNextWindow, .menuText = "&Next Window\tCtrl+F6"},
    {.id = kPrevWindow, .menuText = "&Previous Window\tCtrl+Shift+F6"},
    {.id = kCloseWindow, .menuText = "C&lose Window\tCtrl+F4"},
};

template <class Target>
void AddTexts(std::vector<CommandText>& all, CommandTable<Target> table) {
    for (const CommandEntry<Target>& e : table) all.push_back({e.id, e.menuText, e.prompt});
}

}  // namespace

CommandTable<CQuillstoneApp> ApplicationCommands() { return kApplicationCommands; }

CommandTable<CCmdTarget> RoutedCommands() { return kRoutedCommands; }

const std::vector<CommandText>& AllCommands() {
    static const std::vector<CommandText> all = [] {
        std::vector<CommandText> texts;
        AddTexts(texts, ApplicationCommands());
        AddTexts(texts, RoutedCommands());
        AddTexts(texts, qs::project::ProjectCommands());
        AddTexts(texts, ProjectServiceCommands());
        return texts;
    }();
    return all;
}

const CommandText* FindCommand(UINT id) {
    for (const CommandText& c : AllCommands())
        if (c.id == id) return &c;
    return nullptr;
}

}  // namespace qs::app
