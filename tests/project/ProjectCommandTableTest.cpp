// The project document's own command table: each entry reaches the document,
// and its enabled state follows the entry's rule in a file project, a
// read-only one and a database project, across the application modes and
// the template-write and group-query flags. Commands whose work needs what
// this program does not have yet say so when run.
#include <gtest/gtest.h>

#include "CCmdUI.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "CommandIds.h"
#include "CommandNotAvailable.h"
#include "MessageBox.h"
#include "ProjectHost.h"

namespace {

using qs::fw::MessageBoxScript;
using qs::project::Host;

// The flags the database mode sets, reachable by the test.
class TestDoc : public CProjectDoc {
public:
    using CProjectDoc::m_bGroupQuery;
    using CProjectDoc::m_bTemplateWrite;
};

struct State {
    const char* name;
    RUNNING_MODE running;
    BOOL readOnly;
    int applicationMode;
    std::uint8_t templateWrite;
    std::uint8_t groupQuery;
};

enum class Rule { Always, DatabaseOnly, SaveTemplate, SaveTemplateAs, SaveData, SaveDataAs, Never };

bool Expected(Rule rule, const State& s) {
    switch (rule) {
    case Rule::Always: return true;
    case Rule::DatabaseOnly: return s.running == RM_DATABASE;
    case Rule::SaveTemplate: return s.applicationMode <= 3 && s.templateWrite != 0;
    case Rule::SaveTemplateAs: return s.applicationMode <= 3;
    case Rule::SaveData: return s.applicationMode <= 1 && s.groupQuery != 0;
    case Rule::SaveDataAs: return s.applicationMode <= 1;
    case Rule::Never: return false;
    }
    return false;
}

struct Entry {
    UINT id;
    Rule rule;
    const char* notYet;  // the name the not-available message gives, or null
};

// The entries the document maps itself whose rule does not read the
// project's structure or the active window (those and the whole-project
// service entries, which need the running program, are walked by the
// application's table test).
const Entry kEntries[] = {
    {370, Rule::DatabaseOnly, "Manage Summary Export"},
    {32796, Rule::Always, nullptr},
    {32803, Rule::Always, nullptr},
    {32804, Rule::Always, nullptr},
    {32805, Rule::Always, nullptr},
    {32806, Rule::Always, nullptr},
    {32833, Rule::Always, nullptr},
    {32835, Rule::Always, nullptr},
    {32867, Rule::Always, nullptr},
    {32883, Rule::Always, nullptr},
    {33044, Rule::Always, nullptr},
    {33055, Rule::Always, nullptr},
    {33057, Rule::DatabaseOnly, nullptr},
    {33060, Rule::DatabaseOnly, nullptr},
    {33061, Rule::DatabaseOnly, nullptr},
    {33096, Rule::Always, nullptr},
    {33097, Rule::DatabaseOnly, nullptr},
    {33051, Rule::Always, nullptr},
    {33052, Rule::Always, nullptr},
    {33056, Rule::Always, nullptr},
    {33058, Rule::SaveTemplate, nullptr},
    {33059, Rule::SaveTemplateAs, nullptr},
    {33086, Rule::Always, nullptr},
    {33089, Rule::SaveData, nullptr},
    {33090, Rule::SaveDataAs, nullptr},
    {33095, Rule::Always, nullptr},
    {ID_FILE_CLOSE, Rule::Always, nullptr},
    {ID_FILE_SEND_MAIL, Rule::Never, nullptr},
};

// The enabled state as a menu would show it: an update handler decides;
// without one, a command with a handler is enabled.
bool Enabled(CCmdTarget& target, UINT id) {
    CCmdUI ui;
    ui.m_nID = id;
    ui.DoUpdate(&target, TRUE);
    return !ui.m_bEnableChanged || ui.m_enabled;
}

class ProjectCommandTableTest : public ::testing::Test {
protected:
    void SetUp() override { m_saved = Host(); }
    void TearDown() override { Host() = m_saved; }
    qs::project::ProjectHost m_saved;
};

TEST_F(ProjectCommandTableTest, EveryEntryReachesTheDocumentAndFollowsItsRule) {
    const State states[] = {
        {"file project", RM_FILE, FALSE, 0, 1, 0},
        {"read-only file project", RM_FILE, TRUE, 0, 1, 0},
        {"database project, query loaded", RM_DATABASE, FALSE, 1, 1, 1},
        {"database project, no group query", RM_DATABASE, FALSE, 1, 1, 0},
        {"database project, stored template without write right", RM_DATABASE, FALSE, 3, 0, 1},
        {"database project, scripted task 4", RM_DATABASE, FALSE, 4, 1, 1},
    };
    for (const State& s : states) {
        TestDoc doc;
        doc.GetProject()->SetMode(s.running);
        doc.m_bReadOnly = s.readOnly;
        doc.m_bTemplateWrite = s.templateWrite;
        doc.m_bGroupQuery = s.groupQuery;
        const int mode = s.applicationMode;
        Host().applicationMode = [mode] { return mode; };
        for (const Entry& e : kEntries) {
            AFX_CMDHANDLERINFO info;
            EXPECT_TRUE(doc.OnCmdMsg(e.id, CN_COMMAND, nullptr, &info)) << e.id;
            EXPECT_EQ(info.pTarget, &doc) << e.id;
            EXPECT_EQ(Enabled(doc, e.id), Expected(e.rule, s)) << e.id << " in a " << s.name;
        }
    }
}

TEST_F(ProjectCommandTableTest, CommandsWithoutTheirServicesSaySoPlainly) {
    TestDoc doc;
    doc.GetProject()->SetMode(RM_DATABASE);
    for (const Entry& e : kEntries) {
        if (e.notYet == nullptr) continue;
        MessageBoxScript boxes;
        doc.RouteCommand(e.id);
        ASSERT_EQ(boxes.Count(), 1u) << e.id;
        EXPECT_EQ(boxes.Last().text, qs::project::CommandNotAvailableText(QString::fromLatin1(e.notYet)));
        EXPECT_EQ(boxes.Last().icon, UINT(MB_ICONINFORMATION));
    }
    EXPECT_EQ(qs::project::CommandNotAvailableText("Print"),
              "\"Print\" is not available in this version of Quillstone yet.");
}

}  // namespace
