// The application's menu commands that have no room of their own: About,
// Tip of the Day, Close All Windows, Table 100% and the calendar switch.
#include "CQuillstoneApp.h"

#include <QMdiSubWindow>
#include <QPointer>

#include "CCmdUI.h"
#include "CMDIChildWnd.h"
#include "CObjectView.h"
#include "ViewServices.h"
#include "ViewSettings.h"
#include "commands/AppMenus.h"
#include "frames/CMainFrame.h"
#include "navigator/CTreeFrame.h"
#include "startup/CAboutDlg.h"
#include "startup/CTipDlg.h"
#include "startup/WorkstationSettings.h"

void CQuillstoneApp::MapMenuCommands() {
    using namespace qs::app;
    MapCommand(kCmdAbout, [] { OnAppAbout(); });
    MapCommand(kCmdTipOfTheDay, [] { OnTipOfTheDay(); });
    MapCommand(kCmdCloseAllChildWindows, [this] { OnCloseAllChildWindows(); });
    MapCommand(kCmdTable100, [this] {
        Settings().scale = 100;
        qs::views::Settings().scale = 100;
        UpdateAllProjectViews(nullptr, HINT_SCALE, nullptr);
    });
    MapUpdateCommand(kCmdTable100, [](CCmdUI* ui) { ui->Enable(Settings().scale != 100); });
    MapCommand(ID_VIEW_CALENDAR, [this] {
        g_bCalendarView = g_bCalendarView ? 0 : 1;
        UpdateAllProjectViews(nullptr, HINT_CALENDAR, nullptr);
    });
    // Views that can show calendar periods enable the command themselves.
    MapUpdateCommand(ID_VIEW_CALENDAR, [](CCmdUI* ui) {
        ui->SetCheck(g_bCalendarView);
        ui->Enable(FALSE);
    });
}

void CQuillstoneApp::OnCloseAllChildWindows() {
    CMainFrame* main = MainFrame();
    if (main == nullptr) return;
    // Each window but the navigator is asked once; one that refuses (its
    // project asks to save and the user cancels) stays.
    std::vector<QPointer<CMDIChildWnd>> children;
    for (CMDIChildWnd* child : main->GetChildFrames())
        if (dynamic_cast<CTreeFrame*>(child) == nullptr && child->GetSubWindow() && child->GetSubWindow()->isVisible())
            children.emplace_back(child);
    for (const QPointer<CMDIChildWnd>& child : children)
        if (child) child->SendMessage(WM_CLOSE);
}
