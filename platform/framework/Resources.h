#pragma once
// The resource table: strings, menus and toolbars by id. The application
// registers its resources at start-up (the way a resource script would be
// compiled in); frames load menus and toolbars from here by id.
#include <QString>

#include <vector>

#include "WindowsTypes.h"

namespace qs::fw {

struct MenuItem {
    QString text;                  // "&File"; "&Open...\tCtrl+O" (after the tab: a shortcut)
    UINT id = 0;                   // 0 for a popup or a separator
    std::vector<MenuItem> items;   // a popup's items
    bool separator = false;

    MenuItem() = default;
    MenuItem(QString itemText, UINT itemId) : text(std::move(itemText)), id(itemId) {}
    MenuItem(QString popupText, std::vector<MenuItem> popupItems)
        : text(std::move(popupText)), items(std::move(popupItems)) {}
    static MenuItem Separator() {
        MenuItem item;
        item.separator = true;
        return item;
    }
};

struct ToolButton {
    UINT id = 0;       // ID_SEPARATOR for a gap
    QString text;
    QString iconPath;  // optional
};

void RegisterString(UINT id, const QString& text);
void RegisterMenu(UINT id, std::vector<MenuItem> popups);
void RegisterToolBar(UINT id, std::vector<ToolButton> buttons);

// Empty / null when the id is not registered.
QString LoadResourceString(UINT id);
bool HasResourceString(UINT id);
const std::vector<MenuItem>* FindMenu(UINT id);
const std::vector<ToolButton>* FindToolBar(UINT id);

// Drops everything registered (tests).
void ClearResources();

}  // namespace qs::fw

// AfxMessageBox with a string resource as the prompt.
int AfxMessageBox(UINT nIDPrompt, UINT nType = 0, UINT nIDHelp = UINT(-1));
