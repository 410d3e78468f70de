#include "Resources.h"

#include <map>

#include "MessageBox.h"

namespace {

struct ResourceTable {
    std::map<UINT, QString> strings;
    std::map<UINT, std::vector<qs::fw::MenuItem>> menus;
    std::map<UINT, std::vector<qs::fw::ToolButton>> toolBars;
};

ResourceTable& Table() {
    static ResourceTable table;
    return table;
}

}  // namespace

namespace qs::fw {

void RegisterString(UINT id, const QString& text) { Table().strings[id] = text; }
void RegisterMenu(UINT id, std::vector<MenuItem> popups) { Table().menus[id] = std::move(popups); }
void RegisterToolBar(UINT id, std::vector<ToolButton> buttons) { Table().toolBars[id] = std::move(buttons); }

QString LoadResourceString(UINT id) {
    auto found = Table().strings.find(id);
    return found == Table().strings.end() ? QString() : found->second;
}

bool HasResourceString(UINT id) { return Table().strings.count(id) != 0; }

const std::vector<MenuItem>* FindMenu(UINT id) {
    auto found = Table().menus.find(id);
    return found == Table().menus.end() ? nullptr : &found->second;
}

const std::vector<ToolButton>* FindToolBar(UINT id) {
    auto found = Table().toolBars.find(id);
    return found == Table().toolBars.end() ? nullptr : &found->second;
}

void ClearResources() { Table() = ResourceTable(); }

}  // namespace qs::fw

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    return AfxMessageBox(qs::fw::LoadResourceString(nIDPrompt), nType, nIDHelp == UINT(-1) ? nIDPrompt : nIDHelp);
}
