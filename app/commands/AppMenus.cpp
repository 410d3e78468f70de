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

Items RecentFiles() {
    Items items;
    for (UINT id = ID_FILE_MRU_FILE1; id < ID_FILE_MRU_FILE1 + 4; ++id) items.push_back(Item("Recent File", id));
    return items;
}

MenuItem ImportPopup() {
    return Popup("&Import", {Item("&Lotus (*.wk1)...", 32894), Item("&Enhanced ASCII (*.dat)...", 32895),
                             Item("&ASCII (*.asc)...", 32902), Item("&Statistics Database...", 32981),
                             Item("Convert &PC5 Files...", 33035)});
}

MenuItem ExportPopup() {
    return Popup("E&xport", {Item("&Lotus (*.wk1)...", 32896), Item("&Enhanced ASCII (*.dat)...", 32897),
                             Item("&ASCII (*.asc)...", 32903), Item("E&xcel (*.xls)...", 33034)});
}

MenuItem WindowPopup() {
    return Popup("&Window", {Item("&Cascade", ID_WINDOW_CASCADE), Item("&Tile", ID_WINDOW_TILE_HORZ),
                             Item("&Arrange Icons", ID_WINDOW_ARRANGE), Sep(),
                             Item("&Next Window\tCtrl+F6", kCmdNextWindow),
                             Item("&Previous Window\tCtrl+Shift+F6", kCmdPrevWindow),
                             Item("C&lose Window\tCtrl+F4", kCmdCloseWindow),
                             Item("Close &All Windows", kCmdCloseAllChildWindows)});
}

MenuItem HelpPopup() {
    return Popup("&Help", {Item("&Help Topics\tF1", 57667), Item("Tip of the &Day...", kCmdTipOfTheDay),
                           Item("&Technical Support", 32829), Sep(), Item("&About Quillstone...", kCmdAbout)});
}

Items MainMenu() {
    Items file{Item("&New...\tCtrl+N", ID_FILE_NEW), Item("&Open...\tCtrl+O", ID_FILE_OPEN), Sep(), ImportPopup(),
               Sep(), Item("Print Set&up...", 1192), Sep()};
    for (MenuItem& recent : RecentFiles()) file.push_back(recent);
    file.push_back(Sep());
    file.push_back(Item("E&xit", 57665));
    return {Popup("&File", file),
            Popup("Vie&w", {Item("&Toolbar", ID_VIEW_TOOLBAR), Item("&Status Bar", ID_VIEW_STATUS_BAR), Sep(),
                            Item("View &Navigator\tAlt+V", 32931), Sep(), Item("&Zoom...", 32827),
                            Item("Table &100%", kCmdTable100), Sep(), Item("Workstation &Setup...", 32832)}),
            WindowPopup(), HelpPopup()};
}

Items ProjectMenu() {
    Items file{Item("&New...\tCtrl+N", ID_FILE_NEW),
               Item("&Open...\tCtrl+O", ID_FILE_OPEN),
               Item("&Close", ID_FILE_CLOSE),
               Item("C&lose All", 32925),
               Sep(),
               Item("&Save\tCtrl+S", ID_FILE_SAVE),
               Item("Save &As...", ID_FILE_SAVE_AS),
               Sep(),
               Item("P&roperties...", 32870),
               Item("File &Labels...", 32833),
               Item("File Summ&ary", 32869),
               Sep(),
               ImportPopup(),
               ExportPopup(),
               Sep(),
               Item("Pa&ge Setup...", 32771),
               Item("&Print...\tCtrl+P", ID_FILE_PRINT),
               Item("Print &Table", 57608),
               Item("&Batch Print...\tCtrl+B", 33100),
               Item("Print Set&up...", 1192),
               Sep()};
    for (MenuItem& recent : RecentFiles()) file.push_back(recent);
    file.push_back(Sep());
    file.push_back(Item("E&xit", 57665));
    return {Popup("&File", file),
            Popup("&Edit", {Item("Cu&t\tCtrl+X", ID_EDIT_CUT), Item("&Copy\tCtrl+C", ID_EDIT_COPY),
                            Item("&Paste\tCtrl+V", ID_EDIT_PASTE), Item("&Delete", 32837), Sep(),
                            Item("C&lear...", ID_EDIT_CLEAR), Item("Clear A&ll...", ID_EDIT_CLEAR_ALL), Sep(),
                            Item("Edit Cell &Note...", 32823), Item("&Footnote...", 32824)}),
            Popup("Vie&w", {Item("&Toolbar", ID_VIEW_TOOLBAR), Item("&Status Bar", ID_VIEW_STATUS_BAR), Sep(),
                            Item("View &Navigator\tAlt+V", 32931), Sep(), Item("C&umulative/Incremental", 32797),
                            Item("C&alendar Periods", 32877), Sep(), Item("Zoom &In", 32838),
                            Item("Zoom &Out", 32839), Item("&Zoom...", 32827), Item("Table &100%", kCmdTable100),
                            Sep(), Item("View &Source Data", 32844), Item("View &Formula", 32943),
                            Item("&Graph", 32983), Sep(), Item("Workstation &Setup...", 32832)}),
            Popup("File &Structure",
                  {Item("Append New E&valuation...", 32803), Item("&Remove Last Evaluation Period(s)...", 32796),
                   Sep(), Item("Append Oldest E&xposure Period", 32804),
                   Item("Remove &Oldest Exposure Period(s)...", 32805), Sep(),
                   Item("Append  &Prior Exposure Period", 33054), Item("Remove Prior &Exposure Period", 33053),
                   Sep(), Item("Compress &Columns...", 32807), Item("Compress Ro&ws...", 32809)}),
            Popup("&Tools",
                  {Item("&Table Math...", 32867),
                   Popup("&User Defined", {Item("&New...", 32814), Item("&Edit...", 32815), Item("&Delete", 32816),
                                           Item("&Replicate...", 32933)}),
                   Sep(), Item("File &Compare...", 32874),
                   Popup("File &Math", {Item("&Add...", 32875), Item("&Subtract...", 32876)}),
                   Item("File &Update...", 32898), Item("Mo&ve Layer...", 32964), Sep(),
                   Item("E&xhibit Options...", 32883),
                   Popup("&Formulas", {Item("&Exhibits", 32905), Item("&Methods", 32907), Item("&Reports", 32909)}),
                   Popup("Co&py Factors", {Item("From &Statistics to Selected Factors", 32939),
                                           Item("From &Factor Set to Selected Factors", 32940),
                                           Item("From Se&lected Factors to Factor Set", 32941)})}),
            WindowPopup(), HelpPopup()};
}

}  // namespace

void RegisterAppMenus() {
    const auto registerOnce = [](UINT id, const Items& items) {
        if (qs::fw::FindMenu(id) == nullptr) qs::fw::RegisterMenu(id, items);
    };
    const Items main = MainMenu(), project = ProjectMenu();
    registerOnce(kMainMenu, main);
    registerOnce(kEnterpriseMainMenu, main);
    for (UINT id : {kNavigatorMenu, kTableMenu, kUpdateMenu, kEnterpriseTableMenu}) registerOnce(id, project);
}

}  // namespace qs::app
