// The command registry as the menus read it: every entry of every menu bar
// has a registry entry whose text it shows, no command is listed twice, and
// the status-bar prompts come from the entries. A registry entry whose
// command nobody answers would show a dead menu item, so every entry with
// a menu text is answered by its table or by the route it names.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "CommandIds.h"
#include "ProjectCommandTable.h"
#include "QsCommandIds.h"
#include "Resources.h"
#include "commands/AppCommandTable.h"
#include "commands/AppMenus.h"
#include "projectservices/ProjectServices.h"

namespace {

using qs::fw::MenuItem;

void CollectItems(const std::vector<MenuItem>& items, std::vector<const MenuItem*>& out) {
    for (const MenuItem& item : items) {
        if (!item.items.empty())
            CollectItems(item.items, out);
        else if (item.id != 0)
            out.push_back(&item);
    }
}

bool IsRecentFile(UINT id) { return id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_FILE16; }

TEST(CommandRegistryTest, NoCommandIsListedTwice) {
    std::map<UINT, int> seen;
    for (const qs::app::CommandText& c : qs::app::AllCommands()) ++seen[c.id];
    for (const auto& [id, count] : seen) EXPECT_EQ(count, 1) << id;
}

TEST(CommandRegistryTest, EveryMenuItemShowsItsRegistryEntry) {
    qs::app::RegisterAppMenus();
    // The enterprise edition names the ultimates' flood-fill options after
    // the popup they sit in.
    const std::set<UINT> renamed{qs::cmd::kSetUltimatesFloodFill};
    for (UINT menu : {qs::app::kMainMenu, qs::app::kNavigatorMenu, qs::app::kTableMenu, qs::app::kUpdateMenu,
                      qs::app::kEnterpriseMainMenu, qs::app::kEnterpriseTableMenu}) {
        const std::vector<MenuItem>* bar = qs::fw::FindMenu(menu);
        ASSERT_NE(bar, nullptr) << menu;
        std::vector<const MenuItem*> items;
        CollectItems(*bar, items);
        for (const MenuItem* item : items) {
            if (IsRecentFile(item->id)) continue;
            const qs::app::CommandText* entry = qs::app::FindCommand(item->id);
            ASSERT_NE(entry, nullptr) << item->id << " " << item->text.toStdString();
            ASSERT_NE(entry->menuText, nullptr) << item->id;
            if (renamed.count(item->id)) continue;
            EXPECT_EQ(item->text, QString::fromUtf8(entry->menuText)) << item->id;
        }
    }
}

TEST(CommandRegistryTest, PromptsComeFromTheEntries) {
    qs::app::RegisterAppMenus();
    int prompts = 0;
    for (const qs::app::CommandText& c : qs::app::AllCommands()) {
        if (c.prompt == nullptr) continue;
        ++prompts;
        EXPECT_EQ(qs::fw::LoadResourceString(c.id), QString::fromUtf8(c.prompt)) << c.id;
    }
    EXPECT_EQ(prompts, 34);
}

// An entry with a handler or a rule in the application's and the project's
// tables: the tables must not hold entries that do nothing at all unless
// they only name a menu text another target answers.
template <class Target>
void ExpectEveryEntryDoesSomething(qs::cmd::CommandTable<Target> table) {
    for (const qs::cmd::CommandEntry<Target>& e : table)
        EXPECT_TRUE(e.handler || e.enabled || e.update) << e.id << " has neither a handler nor a rule";
}

TEST(CommandRegistryTest, EveryTableEntryAnswersOrRules) {
    ExpectEveryEntryDoesSomething(qs::app::ApplicationCommands());
    ExpectEveryEntryDoesSomething(qs::project::ProjectCommands());
    ExpectEveryEntryDoesSomething(qs::app::ProjectServiceCommands());
    for (const qs::cmd::CommandEntry<CCmdTarget>& e : qs::app::RoutedCommands()) {
        EXPECT_FALSE(e.handler || e.enabled || e.update) << e.id << ": a routed entry only names its text";
        EXPECT_NE(e.menuText, nullptr) << e.id;
    }
}

}  // namespace
