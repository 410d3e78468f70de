#include "commands/AppMenus.h"

#include "CommandIds.h"
#include "Resources.h"

namespace qs::app {

namespace {

using qs::fw::MenuItem;
using Items = std::vector<MenuItem>;

MenuItem Item(const char* text, UINT id) { return MenuItem(QString::fromUtf8(text), id); }
MenuItem Popup(const char* text, Items items) { return MenuItem(QString::fromUtf8(text), std::move(items)); }
MenuItem Sep() { return MenuItem::Separator(); }

enum class Edition { Standard, Enterprise };

Items RecentFiles() {
    Items items;
    for (UINT id = ID_FILE_MRU_FILE1; id < ID_FILE_MRU_FILE1 + 4; ++id) items.push_back(Item("Recent File", id));
    return items;
}

MenuItem ImportPopup() {
    return Popup("&Import", {Item("&Lotus (*.wk1)", 32894), Item("&Enhanced ASCII (*.dat)", 32895),
                             Item("&ASCII (*.asc)", 32902), Item("&Statistics Database...", 32981),
                             Item("Convert &PC5 Files...", 33035)});
}

MenuItem ExportPopup() {
    return Popup("&Export", {Item("&Lotus (*.wk1)", 32896), Item("&Enhanced ASCII (*.dat)", 32897),
                             Item("&ASCII (*.asc)", 32903), Item("E&xcel (*.xls)", 33034)});
}

MenuItem WindowPopup() {
    return Popup("Wi&ndow", {Item("&Cascade", ID_WINDOW_CASCADE), Item("&Tile", ID_WINDOW_TILE_HORZ),
                             Item("&Arrange Icons", ID_WINDOW_ARRANGE), Sep(),
                             Item("&Next Window\tCtrl+F6", kCmdNextWindow),
                             Item("&Previous Window\tCtrl+Shift+F6", kCmdPrevWindow),
                             Item("C&lose Window\tCtrl+F4", kCmdCloseWindow),
                             Item("Close All &Windows", kCmdCloseAllChildWindows)});
}

MenuItem HelpPopup() {
    return Popup("&Help", {Item("&Help Topics\tF1", 57667), Item("Tip of the &Day...", kCmdTipOfTheDay),
                           Item("&Technical Support", 32829), Sep(), Item("&About Quillstone...", kCmdAbout)});
}

// The steps a script hands to the user end here (enterprise only).
MenuItem BatchPopup() {
    return Popup("&Batch", {Item("C&ontinue", 33067), Item("&Cancel", 33092), Item("&Exit", 33093)});
}

Items MainMenu() {
    Items file{Item("&New...\tCtrl+N", ID_FILE_NEW), Item("&Open...\tCtrl+O", ID_FILE_OPEN), Sep(), ImportPopup(),
               Sep(), Item("Prin&t Setup", 1192), Sep()};
    for (MenuItem& recent : RecentFiles()) file.push_back(recent);
    file.push_back(Sep());
    file.push_back(Item("E&xit", 57665));
    return {Popup("&File", file),
            Popup("Vie&w", {Item("&Toolbar", ID_VIEW_TOOLBAR), Item("&Status Bar", ID_VIEW_STATUS_BAR), Sep(),
                            Item("View &Navigator\tAlt+V", 32931), Sep(), Item("&Zoom...", 32827),
                            Item("Table &100%", kCmdTable100), Sep(), Item("&Workstation Setup...", 32832)}),
            WindowPopup(), HelpPopup()};
}

MenuItem FilePopup(Edition edition) {
    const bool enterprise = edition == Edition::Enterprise;
    Items file{Item("&New...\tCtrl+N", ID_FILE_NEW), Item("&Open...\tCtrl+O", ID_FILE_OPEN), Item("&Close", ID_FILE_CLOSE),
               Item("C&lose All", 32925), Sep()};
    if (enterprise) {
        file.push_back(Item("&Save Data...\tCtrl+S", 33089));
        file.push_back(Item("Save &Data As...", 33090));
        file.push_back(Item("Save &As...", ID_FILE_SAVE_AS));
        file.push_back(Popup("Te&mplate", {Item("Save &Template...\tCtrl+T", 33058), Item("S&ave Template As...", 33059)}));
    } else {
        file.push_back(Item("&Save\tCtrl+S", ID_FILE_SAVE));
        file.push_back(Item("Save &As...", ID_FILE_SAVE_AS));
    }
    for (MenuItem item : {Sep(), Item("P&roperties...", 32870), Sep(), ImportPopup(), ExportPopup(), Sep(),
                          Item("Pa&ge Setup...", 32771)})
        file.push_back(std::move(item));
    file.push_back(enterprise ? Item("&Print...\tCtrl+P", 33094) : Item("&Print...\tCtrl+P", ID_FILE_PRINT));
    for (MenuItem item : {Item("Print Acti&ve Table", ID_FILE_PRINT_DIRECT), Item("&Batch print...\tCtrl+B", 33100),
                          Item("Prin&t Setup...", ID_FILE_PRINT_SETUP), Sep()})
        file.push_back(std::move(item));
    for (MenuItem& recent : RecentFiles()) file.push_back(recent);
    file.push_back(Sep());
    file.push_back(Item("E&xit", 57665));
    return Popup("&File", file);
}

MenuItem GraphPopup(Edition edition) {
    Items graph{Item("&Graph Table", 32983), Item("De&fault Styles", 33044)};
    if (edition == Edition::Enterprise) {
        graph.push_back(Sep());
        graph.push_back(Item("Lock/Unlock graphs for creation", 33118));
        graph.push_back(Item("Refresh User Defined Graphs", 33119));
    }
    return Popup("&Graph", graph);
}

MenuItem ToolsPopup(Edition edition) {
    Items tools{Item("&Table Math...", 32867),
                Popup("User &Defined",
                      {Item("&New", 32814), Item("&Edit", 32815), Item("&Delete", 32816), Item("&Replicate", 32933)}),
                Sep(),
                Item("File Summ&ary", 32869),
                Item("File &Compare...", 32874),
                Popup("File &Math", {Item("&Add...", 32875), Item("&Subtract...", 32876)}),
                Item("File &Update...", 32898),
                Item("Mo&ve Layer...", 32964),
                Sep(),
                Item("File &Labels...", 32833),
                Item("E&xhibit Options...", 32883),
                Popup("&Formulas", {Item("&Exhibits", 32905), Item("&Methods", 32907), Item("&Reports", 32909)}),
                Popup("Co&py Factors", {Item("From &Statistics to Selected Factors", 32939),
                                        Item("From &Factor Set to Selected Factors", 32940),
                                        Item("From Se&lected Factors to Factor Set", 32941)}),
                Sep()};
    if (edition == Edition::Enterprise) {
        tools.push_back(Popup("Set Flood F&ill", {Item("&Selected Development Factors...", 33056),
                                                  Item("&Interpolated Development Factors...", 33095),
                                                  Item("Selected Ultimates...", 33051)}));
        tools.push_back(Popup("Execute Fl&ood Fill", {Item("&Selected Development Factors", 33060),
                                                      Item("S&elected Ultimates", 33061),
                                                      Item("&Interpolated Development Factors", 33097)}));
        tools.push_back(Sep());
        tools.push_back(Item("Manage Summary &Export", 370));
    } else {
        tools.push_back(Item("Ultimate Fl&ood Fill Option...", 33051));
        tools.push_back(Item("&Execute Ultimates Flood Fill Options", 33052));
    }
    return Popup("&Tools", tools);
}

Items ProjectMenu(Edition edition) {
    Items menu{FilePopup(edition),
               Popup("&Edit", {Item("Cu&t\tCtrl+X", ID_EDIT_CUT), Item("&Copy\tCtrl+C", ID_EDIT_COPY),
                               Item("&Paste\tCtrl+V", ID_EDIT_PASTE), Item("&Delete", 32837), Sep(),
                               Item("C&lear...", ID_EDIT_CLEAR), Item("Clear &All...", ID_EDIT_CLEAR_ALL), Sep(),
                               Item("Edit Cell &Note...", 32823), Item("&Footnote...", 32824)}),
               Popup("Vie&w", {Item("&Toolbar", ID_VIEW_TOOLBAR), Item("&Status Bar", ID_VIEW_STATUS_BAR), Sep(),
                               Item("View &Navigator\tAlt+V", 32931), Sep(), Item("C&umulative/Incremental", 32797),
                               Item("C&alendar Periods", 32877), Sep(), Item("Zoom &In", 32838),
                               Item("Zoom &Out", 32839), Item("&Zoom...", 32827), Item("Table &100%", kCmdTable100),
                               Sep(), Item("View Sou&rce Data", 32844), Item("View &Formula", 32943), Sep(),
                               Item("&Workstation Setup...", 32832)}),
               Popup("File &Structure",
                     {Item("Append New E&valuation...", 32803), Item("&Remove Last Evaluation Period(s)...", 32796),
                      Sep(), Item("Append Oldest E&xposure Period", 32804),
                      Item("Remove &Oldest Exposure Period(s)...", 32805), Sep(),
                      Item("Append  &Prior Exposure Period", 33054), Item("Remove Prior &Exposure Period", 33053),
                      Sep(), Item("Compress &Columns...", 32807), Item("Compress Ro&ws...", 32809)}),
               GraphPopup(edition),
               ToolsPopup(edition),
               WindowPopup()};
    if (edition == Edition::Enterprise) menu.push_back(BatchPopup());
    menu.push_back(HelpPopup());
    return menu;
}

// Status-bar prompts of the commands that carry one ("prompt\ntool tip").
struct Prompt {
    UINT id;
    const char* text;
};
constexpr Prompt kPrompts[] = {
    {240, "Displays a Tip of the Day."},
    {32840, "Set the size of the table to 100%"},
    {32828, "Close all child windows"},
    {32832, "Setup parameters for this workstation"},
    {32892, "Create a new Development Factor Library"},
    {32894, "Import from Lotus (*.wk1) file format"},
    {32896, "Export to Lotus (*.wk1) file format"},
    {32895, "Import from Enhanced ASCII (*.dat) file format"},
    {32897, "Export to Enhanced ASCII (*.dat) file format"},
    {32902, "Import from ASCII (*.asc) file format"},
    {32903, "Export to ASCII (*.asc) file format"},
    {32827, "View zoom\nZoom"},
    {57608, "Print the active table or graph"},
    {32829, "Technical support"},
    {32877, "View arrays in calendar or development period format\nCalendar"},
    {33035, "Converts PC5 files to qs3 files"},
    {33092, "Cancel batch run\nCancel"},
    {33067, "Continue batch run\nContinue"},
    {33093, "Exit Quillstone\nExit"},
    {57667, "View Help contents\nHelp contents"},
    {32983, "Show graph for table\nGraph"},
    {32806, "Append prior development"},
    {32835, "File display options"},
    {32891, "Scaling Factor"},
    {32951, "As Of Date"},
    {33087, "Manage direct and batch printing\nPrint"},
    {32875, "Add file(s) to the current file"},
    {32876, "Subtract file(s) from the current file"},
    {32870, "File properties"},
    {32898, "Add new evaluation to the current file"},
    {32964, "Move all data in one layer to another"},
    {32941, "Copy Factors From Selected Factors to Factor Set."},
    {32939, "Copy Factors from Statistics to Selected Factors"},
    {32940, "Copy Factors from Factor Set to Selected Factors"},
};

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
    for (const Prompt& p : kPrompts)
        if (!qs::fw::HasResourceString(p.id)) qs::fw::RegisterString(p.id, QString::fromUtf8(p.text));
}

void AddApplicationEntries(UINT menuId) {
    const std::vector<MenuItem>* found = qs::fw::FindMenu(menuId);
    if (found == nullptr || found->empty()) return;
    Items menu = *found;
    for (const MenuItem& popup : menu)
        if (popup.text == QLatin1String("&Help")) return;  // already given
    MenuItem& file = menu.front();
    Items items{Item("&New...\tCtrl+N", ID_FILE_NEW), Item("&Open...\tCtrl+O", ID_FILE_OPEN), Sep()};
    items.insert(items.end(), file.items.begin(), file.items.end());
    items.push_back(Sep());
    items.push_back(Item("E&xit", 57665));
    file.items = std::move(items);
    menu.push_back(WindowPopup());
    menu.push_back(HelpPopup());
    qs::fw::RegisterMenu(menuId, std::move(menu));
}

}  // namespace qs::app
