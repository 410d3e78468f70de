#pragma once
// The program's menu bars: the main menu shown while no project window is
// active, and the project menu of the navigator and the table windows (the
// enterprise edition's adds its database, flood-fill and batch entries, and
// its main frame shows it too). The texts after a tab are the accelerators.
// Every command of the application's and the project's command tables that
// has a menu text has its entry; entries whose command nobody handles show
// greyed out (the command route disables them). Mnemonics are unique within
// each menu. The View menu's mnemonic is W: Alt+V is the navigator's
// accelerator, and a shortcut that two things claim runs neither; the Window
// menu's is therefore N.
#include "WindowsTypes.h"

namespace qs::app {

// Menu resource ids: the main frame's (standard and enterprise) and the
// project windows' (navigator, tables, update view; both editions).
inline constexpr UINT kMainMenu = 128;
inline constexpr UINT kEnterpriseMainMenu = 326;
inline constexpr UINT kNavigatorMenu = 224;
inline constexpr UINT kTableMenu = 129;
inline constexpr UINT kUpdateMenu = 251;
inline constexpr UINT kEnterpriseTableMenu = 328;

// Registers the menus once (a program that registered its own keeps them).
void RegisterAppMenus();

// Gives a document's own menu bar (the factor library's) the application's
// entries a user needs from any window: New and Open before its File items,
// Exit after them, and the Window and Help menus at the end. Once only.
void AddApplicationEntries(UINT menuId);

}  // namespace qs::app
