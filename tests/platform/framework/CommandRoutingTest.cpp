#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

#include <QPointer>

#include "CStatusBar.h"
#include "CToolBar.h"
#include "FrameworkFixture.h"

namespace {

using namespace fwtest;

enum : UINT { ID_PROBE = 32800, ID_TOGGLE = 32801, ID_NOBODY = 32802, ID_PANE = 33120 };

// Each level handles ID_PROBE until a test takes its handler away; the log
// tells which level ran.
struct RoutedProgram : TestProgram {
    CDocument* doc;
    TestView* view;
    CMDIChildWnd* child;

    RoutedProgram() {
        doc = tpl->OpenDocumentFile(nullptr);
        view = FirstView(doc);
        child = dynamic_cast<CMDIChildWnd*>(view->GetParentFrame());
        auto handle = [](CCmdTarget* target, const char* name) {
            target->MapCommand(ID_PROBE, [name] { Log().push_back(name); });
        };
        handle(view, "view");
        handle(doc, "doc");
        handle(child, "child");
        handle(main, "main");
        handle(&app, "app");
        Log().clear();
    }
};

TEST(CommandRouting, ViewThenDocumentThenFramesThenApplication) {
    RoutedProgram p;
    const std::vector<std::pair<CCmdTarget*, std::string>> levels = {
        {p.view, "view"}, {p.doc, "doc"}, {p.child, "child"}, {p.main, "main"}, {&p.app, "app"}};
    for (const auto& [target, name] : levels) {
        Log().clear();
        EXPECT_TRUE(p.main->RouteCommand(ID_PROBE));
        EXPECT_EQ(Log(), std::vector<std::string>{name});
        target->MapCommand(ID_PROBE, nullptr);  // this level lets it pass from now on
    }
    EXPECT_FALSE(p.main->RouteCommand(ID_PROBE));
    // WM_COMMAND to the main frame takes the same route.
    p.app.MapCommand(ID_PROBE, [] { Log().push_back("app again"); });
    p.main->SendMessage(WM_COMMAND, ID_PROBE, 0);
    EXPECT_EQ(Log().back(), "app again");
}

TEST(CommandRouting, AMessageCommandPassesTheEnabledTestOfItsRoute) {
    RoutedProgram p;
    p.doc->MapCommand(ID_PROBE, nullptr);
    bool enabled = false;
    // The update handler sits on the view, the handler on the application:
    // the whole route decides, as it does for a menu.
    p.view->MapUpdateCommand(ID_PROBE, [&](CCmdUI* ui) { ui->Enable(enabled); });
    p.view->MapCommand(ID_PROBE, nullptr);
    p.child->MapCommand(ID_PROBE, nullptr);
    p.main->MapCommand(ID_PROBE, nullptr);
    p.main->SendMessage(WM_COMMAND, ID_PROBE, 0);
    EXPECT_TRUE(Log().empty());
    enabled = true;
    p.main->SendMessage(WM_COMMAND, ID_PROBE, 0);
    EXPECT_EQ(Log(), std::vector<std::string>{"app"});
    // An update handler that only checks or retitles does not stop it, and
    // neither does having no update handler at all.
    p.view->MapUpdateCommand(ID_PROBE, [](CCmdUI* ui) { ui->SetCheck(1); });
    p.main->SendMessage(WM_COMMAND, ID_PROBE, 0);
    p.view->MapUpdateCommand(ID_PROBE, nullptr);
    p.main->SendMessage(WM_COMMAND, ID_PROBE, 0);
    EXPECT_EQ(Log().size(), 3u);
    // A disabled tool button's command sent by hand is refused the same way.
    p.app.MapUpdateCommand(ID_PROBE, [](CCmdUI* ui) { ui->Enable(FALSE); });
    p.main->PostMessage(WM_COMMAND, ID_PROBE, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(Log().size(), 3u);
}

TEST(CommandRouting, InactiveChildIsNotOnTheRoute) {
    RoutedProgram p;
    CDocument* other = p.tpl->OpenDocumentFile(nullptr);  // becomes the active child
    ASSERT_NE(p.main->MDIGetActive(), p.child);
    Log().clear();
    p.main->RouteCommand(ID_PROBE);
    EXPECT_EQ(Log(), std::vector<std::string>{"main"});
    p.main->MDIActivate(p.child);
    p.main->RouteCommand(ID_PROBE);
    EXPECT_EQ(Log().back(), "view");
    EXPECT_EQ(p.main->GetActiveDocument(), p.doc);
    (void)other;
}

TEST(CommandRouting, UpdateHandlersDriveToolbarStatusPanesAndMenus) {
    RoutedProgram p;
    qs::fw::RegisterString(ID_PANE, " ");
    qs::fw::RegisterString(ID_PROBE, "Runs the probe\nProbe");
    qs::fw::RegisterMenu(128, {{"&Tools", {{"&Probe", ID_PROBE}, {"&Toggle", ID_TOGGLE}, qs::fw::MenuItem::Separator(), {"&Nobody", ID_NOBODY}}}});
    p.main->LoadMenu(128);

    auto* bar = new CToolBar();
    ASSERT_TRUE(bar->CreateEx(p.main));
    const UINT buttons[] = {ID_PROBE, ID_SEPARATOR, ID_TOGGLE, ID_NOBODY};
    bar->SetButtons(buttons, 4);
    auto* status = new CStatusBar();
    ASSERT_TRUE(status->Create(p.main));
    const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_PANE};
    status->SetIndicators(indicators, 3);
    EXPECT_EQ(status->CommandToIndex(ID_PANE), 2);
    EXPECT_EQ(status->CommandToIndex(112), -1);

    bool toggled = true;
    p.doc->MapCommand(ID_TOGGLE, [&] { toggled = !toggled; });
    p.doc->MapUpdateCommand(ID_TOGGLE, [&](CCmdUI* ui) { ui->SetCheck(toggled); });
    p.view->MapUpdateCommand(ID_PROBE, [](CCmdUI* ui) { ui->Enable(FALSE); });
    p.view->MapUpdateCommand(ID_PANE, [](CCmdUI* ui) {
        ui->Enable(TRUE);
        ui->SetText("42.5");
    });

    p.app.RunIdle();
    EXPECT_FALSE(bar->ButtonAction(ID_PROBE)->isEnabled());
    EXPECT_TRUE(bar->ButtonAction(ID_TOGGLE)->isChecked());
    EXPECT_FALSE(bar->ButtonAction(ID_NOBODY)->isEnabled());  // no handler anywhere
    EXPECT_EQ(status->GetPaneText(2), "42.5");
    EXPECT_EQ(status->PaneLabel(2)->text(), "42.5");

    // A click routes the command; the next idle pass shows the new state.
    bar->ButtonAction(ID_TOGGLE)->trigger();
    EXPECT_FALSE(toggled);
    p.app.RunIdle();
    EXPECT_FALSE(bar->ButtonAction(ID_TOGGLE)->isChecked());

    // Opening a menu runs the same handlers for its items.
    QMenu* tools = p.main->menuBar()->actions().front()->menu();
    ASSERT_NE(tools, nullptr);
    p.main->UpdateMenuItems(tools);
    EXPECT_FALSE(p.main->FindMenuAction(ID_PROBE)->isEnabled());
    EXPECT_TRUE(p.main->FindMenuAction(ID_TOGGLE)->isEnabled());
    EXPECT_FALSE(p.main->FindMenuAction(ID_TOGGLE)->isChecked());
    EXPECT_FALSE(p.main->FindMenuAction(ID_NOBODY)->isEnabled());
    // Handlers change: the state follows at the next update.
    p.view->MapUpdateCommand(ID_PROBE, [](CCmdUI* ui) { ui->SetText("Probe &again"); });
    p.main->UpdateMenuItems(tools);
    EXPECT_TRUE(p.main->FindMenuAction(ID_PROBE)->isEnabled());
    EXPECT_EQ(p.main->FindMenuAction(ID_PROBE)->text(), "Probe &again");

    // Pane 0 shows a command's prompt.
    p.main->SetMessageText(ID_PROBE);
    EXPECT_EQ(status->GetPaneText(0), "Runs the probe");
}

// A command chosen in a menu may load another menu while it runs (a busy
// window pumping messages, a window coming forward): the popup whose action
// is still on the stack must outlive the command.
TEST(CommandRouting, MenuLoadedDuringItsOwnCommandKeepsThePopupAlive) {
    RoutedProgram p;
    constexpr UINT kReload = 40100;
    qs::fw::RegisterMenu(128, {{"&Tools", {{"&Probe", kReload}}}});
    qs::fw::RegisterMenu(129, {{"&Other", {{"&Toggle", ID_TOGGLE}}}});
    p.main->LoadMenu(128);
    QPointer<QMenu> tools = p.main->menuBar()->actions().front()->menu();
    ASSERT_FALSE(tools.isNull());
    bool popupAliveAfterReload = false;
    p.main->MapCommand(kReload, [&] {
        p.main->LoadMenu(129);
        popupAliveAfterReload = !tools.isNull() && !tools->actions().isEmpty();
    });
    p.main->UpdateMenuItems(tools);
    ASSERT_TRUE(p.main->FindMenuAction(kReload)->isEnabled());
    p.main->FindMenuAction(kReload)->trigger();
    EXPECT_TRUE(popupAliveAfterReload);
    EXPECT_EQ(p.main->menuBar()->actions().front()->text(), "&Other");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(tools.isNull()) << "the old popup goes once the command is over";
}

TEST(CommandRouting, RangesAndProbes) {
    RoutedProgram p;
    std::vector<UINT> seen;
    p.doc->MapCommandRange(40000, 40009, [&](UINT id) { seen.push_back(id); });
    EXPECT_TRUE(p.main->RouteCommand(40003));
    EXPECT_TRUE(p.main->RouteCommand(40009));
    EXPECT_FALSE(p.main->RouteCommand(40010));
    EXPECT_EQ(seen, (std::vector<UINT>{40003, 40009}));

    AFX_CMDHANDLERINFO info;
    EXPECT_TRUE(p.main->OnCmdMsg(40005, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(info.pTarget, p.doc);
    EXPECT_EQ(seen.size(), 2u);  // probing runs nothing
}

}  // namespace
