#pragma once
// The command registry: every command of the program's menus, one entry each,
// with its menu text, status-bar prompt, enabling rule and handler. The
// entries sit in the table of the object that answers the command:
//   qs::project::ProjectCommands()    the project document (ProjectCommandTable.cpp)
//   qs::app::ProjectServiceCommands() the project document's whole-project
//                                     services, whose work needs the running
//                                     program (app/projectservices/)
//   qs::app::ApplicationCommands()    the application (app/commands/AppCommandTable.cpp)
//   qs::app::RoutedCommands()         menu entries the active view or a frame
//                                     answers (app/commands/AppCommandTable.cpp)
// Each target maps its own table (MapCommandTable); the menus, their
// prompts and the tests look commands up over all four through
// qs::app::FindCommand (app/commands/CommandRegistry.h).
//
// Adding a command:
//  1. name its id in QsCommandIds.h (a number no other command uses: menus,
//     toolbars, accelerators and stored settings carry these numbers);
//  2. add one entry to the table of the object that answers it, e.g.
//       {.id = kTableMath, .menuText = "&Table Math...",
//        .handler = [](CProjectDoc& d) { d.OnTableMath(); }},
//     with .enabled (or .update for a check mark) when it is not always on
//     and NotAvailable("name") as the handler while its work is not done;
//  3. if the menus show it, place Item(kTableMath) where it goes in
//     app/commands/AppMenus.cpp: the text and the prompt come from the entry.
// CommandRegistryTest checks that every menu item has an entry and that no
// id appears twice.
#include <QString>

#include <functional>
#include <span>

#include "CCmdTarget.h"
#include "CCmdUI.h"
#include "CommandNotAvailable.h"
#include "QsCommandIds.h"
#include "WindowsTypes.h"

namespace qs::cmd {

template <class Target>
struct CommandEntry {
    UINT id = 0;
    // The menus' text ("\t" before the accelerator); null: on no menu.
    const char* menuText = nullptr;
    // The status-bar prompt ("\n" before the tool tip); null: none.
    const char* prompt = nullptr;
    // The enabling rule. With neither rule, the command is enabled while a
    // target on the route has its handler.
    std::function<bool(Target&)> enabled = {};
    // A rule that sets more than the enabled state (a check mark, a text);
    // it takes the place of enabled.
    std::function<void(Target&, CCmdUI*)> update = {};
    // Empty: another target answers the command; the entry gives its rule,
    // its text or both.
    std::function<void(Target&)> handler = {};
};

template <class Target>
using CommandTable = std::span<const CommandEntry<Target>>;

// The handler of a command whose work this version does not do yet: it
// says so, naming the command.
template <class Target>
std::function<void(Target&)> NotAvailable(const char* name) {
    return [name](Target&) { qs::project::ShowCommandNotAvailable(QString::fromUtf8(name)); };
}

template <class Target>
bool Always(Target&) {
    return true;
}

// Puts a table into route's command map, bound to target (route is the
// target itself, except for the tables whose handlers live above the
// target's folder). A later table's entry replaces an earlier one's.
template <class Target>
void MapCommandTable(CCmdTarget& route, Target& target, CommandTable<Target> table) {
    Target* t = &target;
    for (const CommandEntry<Target>& e : table) {
        if (e.handler) route.MapCommand(e.id, [t, h = e.handler] { h(*t); });
        if (e.update)
            route.MapUpdateCommand(e.id, [t, u = e.update](CCmdUI* ui) { u(*t, ui); });
        else if (e.enabled)
            route.MapUpdateCommand(e.id, [t, r = e.enabled](CCmdUI* ui) { ui->Enable(r(*t)); });
    }
}

template <class Target>
const CommandEntry<Target>* FindIn(CommandTable<Target> table, UINT id) {
    for (const CommandEntry<Target>& e : table)
        if (e.id == id) return &e;
    return nullptr;
}

}  // namespace qs::cmd
