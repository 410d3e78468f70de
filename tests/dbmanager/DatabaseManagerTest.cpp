// The database manager on both engines: schema, login, rights, look-ups,
// transactions and ids.
#include <QSqlQuery>

#include <set>

#include "DatabaseTestFixture.h"
#include "KernelGlobals.h"

using namespace qs::db;
using qs::test::DatabaseTest;

namespace {

class DatabaseManagerTest : public DatabaseTest {};

TEST_P(DatabaseManagerTest, SchemaIsCreatedOnceAndCarriesItsVersion) {
    EXPECT_EQ(AdminDb().SchemaVersion(), DatabaseManager::LatestSchemaVersion());
    QSqlQuery q;
    ASSERT_TRUE(AdminDb().Exec(q, "select VALUE from SYSTEM_INFO_TBL where upper(NAME) = 'DATABASE VERSION'"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QString::number(DatabaseManager::LatestSchemaVersion()));
    // Every table the schema names exists on this engine.
    for (const char* t : {"TEMPLATE_TBL", "PROFILE_DATA_TBL", "UDO_TBL", "GRAPH_TBL", "GRAPH_STYLE_TBL", "PRINT_LIST_TBL",
                          "SUMMARY_EXPORT_LIST_TBL", "EXPORT_DATA_TBL", "DFL_TBL", "FACTOR_SET_TBL", "SCRIPT_TBL",
                          "USER_TBL", "GROUP_TBL", "CATEGORIES_TBL", "SYSTEM_INFO_TBL", "PRIMARY_KEY_STORAGE_TBL"}) {
        EXPECT_TRUE(DatabaseManager::IsSchemaTable(t)) << t;
        EXPECT_TRUE(AdminDb().Exec(q, QString("SELECT COUNT(*) FROM %1").arg(t))) << t;
    }
    EXPECT_TRUE(DatabaseManager::IsSchemaColumn("SCRIPT_TBL", "SCRIPT_NAME"));
    EXPECT_TRUE(DatabaseManager::IsSchemaColumn("SCRIPT_TBL", "SCRIPT"));
    // Opening again applies nothing twice.
    QString error;
    auto again = DatabaseManager::Open(m_adminSettings, true, &error);
    ASSERT_TRUE(again) << error.toStdString();
    EXPECT_EQ(again->SchemaVersion(), DatabaseManager::LatestSchemaVersion());
}

TEST_P(DatabaseManagerTest, ProgramRefusesADatabaseWithoutSchema) {
    ConnectionSettings empty = m_adminSettings;
    if (IsServer()) {
        QSqlQuery q(AdminDb().Database());
        ASSERT_TRUE(q.exec("DROP TABLE SYSTEM_INFO_TBL"));
    } else {
        empty.file += ".empty";
    }
    QString error;
    EXPECT_FALSE(DatabaseManager::Open(empty, false, &error));
    EXPECT_TRUE(error.contains("qs-dbadmin schema create")) << error.toStdString();
}

TEST_P(DatabaseManagerTest, LoginComesFromTheDatabase) {
    const QString login = AddAnalyst("ann", "Auto", "/Auto/East;/Auto/West");
    ASSERT_TRUE(Admin().SetLoginValues(login, 7, 9));
    ASSERT_TRUE(Admin().SetAccessLevel(login, kKindTemplates, 0));
    ASSERT_TRUE(Admin().SetAccessLevel(login, kKindUserTables, -1));
    auto db = Connect(login);
    ASSERT_TRUE(db);
    const LoginRecord& r = db->Login();
    EXPECT_EQ(r.loginName, login);
    EXPECT_GT(r.userId, 0);
    EXPECT_GT(r.groupId, 0);
    EXPECT_EQ(r.groupName, "Auto");
    EXPECT_EQ(r.activeGroup, 1);
    EXPECT_EQ(r.loginValues[0], 7);
    EXPECT_EQ(r.loginValues[1], 9);
    QSSecAttribs attribs;
    r.ToKernel(attribs);
    EXPECT_EQ(attribs.userId, r.userId);
    EXPECT_EQ(attribs.AccessLevel(kKindTemplates), 0);
    EXPECT_EQ(attribs.AccessLevel(kKindUserTables), -1);
    EXPECT_EQ(attribs.AccessLevel(kKindProfileData), 1);  // no row: ask the rights
}

TEST_P(DatabaseManagerTest, AnAccountWithoutUserIsRefused) {
    const QString login = Login("stranger");
    if (IsServer()) {
        // The role exists on the server, but the database does not know it.
        ASSERT_TRUE(Admin().AddUser(login, "x"));
        ASSERT_TRUE(Admin().RemoveUser(login));
    }
    QString error;
    auto db = DatabaseManager::Open(SettingsOf(login), false, &error);
    ASSERT_TRUE(db) << error.toStdString();
    EXPECT_FALSE(db->Login(&error));
    EXPECT_TRUE(error.contains("is not a user")) << error.toStdString();
}

TEST_P(DatabaseManagerTest, ActiveGroupCountsOnlyForMembers) {
    const QString login = AddAnalyst("bob", "Auto", "");
    ASSERT_TRUE(Admin().RemoveMember(login, "Auto"));
    auto db = Connect(login);
    ASSERT_TRUE(db);
    EXPECT_EQ(db->Login().activeGroup, 0);
    EXPECT_EQ(db->Login().groupId, 0);
}

TEST_P(DatabaseManagerTest, LoginValuesFromOutsideMustBeTheAccountsOwn) {
    const QString login = AddAnalyst("cy", "Auto", "");
    ASSERT_TRUE(Admin().SetLoginValues(login, 3, 4));
    auto db = Connect(login);
    ASSERT_TRUE(db);
    const LoginRecord r = db->Login();
    QString error;
    EXPECT_TRUE(db->VerifyLogin(r.userId, r.groupId, 1, {3, 4}, &error)) << error.toStdString();
    EXPECT_FALSE(db->VerifyLogin(r.userId + 1, r.groupId, 1, {3, 4}, &error));
    EXPECT_FALSE(db->VerifyLogin(r.userId, r.groupId + 1, 1, {3, 4}, &error));
    EXPECT_FALSE(db->VerifyLogin(r.userId, r.groupId, 1, {3, 5}, &error));
}

TEST_P(DatabaseManagerTest, PermissionWordCombinesKindAndObjectRows) {
    const QString login = Login("dee");
    ASSERT_TRUE(Admin().AddUser(login, "Dee"));
    ASSERT_TRUE(Admin().AddGroup("Property"));
    ASSERT_TRUE(Admin().AddMember(login, "Property"));
    ASSERT_TRUE(Admin().SetActiveGroup(login, "Property"));
    ASSERT_TRUE(Admin().Grant("Property", kKindTemplates, kPermissionRead));
    ASSERT_TRUE(Admin().Grant("Property", kKindTemplates, kPermissionUpdate, 12));
    auto db = Connect(login);
    ASSERT_TRUE(db);
    const long user = db->Login().userId;
    std::uint16_t word = 0;
    ASSERT_EQ(db->PermissionWord(kKindTemplates, 12, user, word), kOk);
    EXPECT_EQ(word, kPermissionRead | kPermissionUpdate);
    ASSERT_EQ(db->PermissionWord(kKindTemplates, 13, user, word), kOk);
    EXPECT_EQ(word, kPermissionRead);
    ASSERT_EQ(db->PermissionWord(kKindUserTables, 12, user, word), kOk);
    EXPECT_EQ(word, 0);
    // Rights belong to the active group: none without one.
    ASSERT_TRUE(Admin().SetActiveGroup(login, ""));
    ASSERT_EQ(db->PermissionWord(kKindTemplates, 12, user, word), kOk);
    EXPECT_EQ(word, 0);
}

TEST_P(DatabaseManagerTest, GroupQueryLookUps) {
    ASSERT_TRUE(Admin().AddGroup("With"));
    ASSERT_TRUE(Admin().AddGroup("Without"));
    // Texts travel as bound values, quotes and all.
    const QString text = "/O'Brien \"Re\"/East;--;DROP TABLE USER_TBL";
    ASSERT_TRUE(Admin().SetGroupQuery("With", text));
    QSqlQuery q;
    ASSERT_TRUE(AdminDb().Exec(q, "SELECT GROUP_ID FROM GROUP_TBL ORDER BY GROUP_ID"));
    ASSERT_TRUE(q.next());
    const long with = q.value(0).toInt();
    ASSERT_TRUE(q.next());
    const long without = q.value(0).toInt();
    QString id, got;
    ASSERT_EQ(AdminDb().GroupQueryId(with, id), kOk);
    EXPECT_FALSE(id.isEmpty());
    ASSERT_EQ(AdminDb().GroupQueryText(id, got), kOk);
    EXPECT_EQ(got, text);
    ASSERT_EQ(AdminDb().GroupQuery(without, got), kOk);
    EXPECT_TRUE(got.isEmpty());
    EXPECT_LT(AdminDb().GroupQueryId(9999, id), 0);
    EXPECT_TRUE(DatabaseManager::IsSchemaTable("USER_TBL"));
}

TEST_P(DatabaseManagerTest, RecordLookUpChecksNamesAgainstTheSchema) {
    QSqlQuery q;
    ASSERT_TRUE(AdminDb().Exec(q, "INSERT INTO SCRIPT_TBL (SCRIPT_ID, SCRIPT_NAME, SCRIPT) VALUES (?, ?, ?)",
                               {5, QString("load"), QString("x")}));
    EXPECT_EQ(AdminDb().FindRecord("SCRIPT_TBL", "SCRIPT_ID", 5), kOk);
    EXPECT_EQ(AdminDb().FindRecord("SCRIPT_TBL", "SCRIPT_ID", 6), kNotFound);
    EXPECT_EQ(AdminDb().FindRecord("SCRIPT_TBL; DROP TABLE USER_TBL", "SCRIPT_ID", 5), kInvalidArg);
    EXPECT_EQ(AdminDb().FindRecord("SCRIPT_TBL", "SCRIPT_ID = 5 OR 1", 5), kInvalidArg);
    EXPECT_EQ(AdminDb().FindRecord("pg_roles", "oid", 5), kInvalidArg);
    EXPECT_TRUE(AdminDb().Exec(q, "SELECT COUNT(*) FROM USER_TBL"));
}

TEST_P(DatabaseManagerTest, AFailedStepLeavesTheDatabaseAsItWas) {
    ASSERT_EQ(AdminDb().BeginTransaction(), kOk);
    std::int32_t id = 0;
    ASSERT_TRUE(AdminDb().NextId("SCRIPT_TBL", id));
    QSqlQuery q;
    ASSERT_TRUE(AdminDb().Exec(q, "INSERT INTO SCRIPT_TBL (SCRIPT_ID, SCRIPT_NAME, SCRIPT) VALUES (?, ?, ?)",
                               {id, QString("first"), QString("a")}));
    // The same name again breaks the unique name: the whole change goes.
    EXPECT_FALSE(AdminDb().Exec(q, "INSERT INTO SCRIPT_TBL (SCRIPT_ID, SCRIPT_NAME, SCRIPT) VALUES (?, ?, ?)",
                                {id + 100, QString("first"), QString("b")}));
    EXPECT_LT(AdminDb().CommitTransaction(), 0);  // a failed step makes the commit roll back
    ASSERT_TRUE(AdminDb().Exec(q, "SELECT COUNT(*) FROM SCRIPT_TBL"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 0);
    ASSERT_TRUE(AdminDb().Exec(q, "SELECT NEXT_ID FROM PRIMARY_KEY_STORAGE_TBL WHERE TABLE_NAME = ?", {QString("SCRIPT_TBL")}));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 1);
}

TEST_P(DatabaseManagerTest, TwoConnectionsNeverDrawTheSameId) {
    QString error;
    auto other = DatabaseManager::Open(m_adminSettings, false, &error);
    ASSERT_TRUE(other) << error.toStdString();
    std::set<std::int32_t> ids;
    for (int i = 0; i < 20; ++i) {
        std::int32_t a = 0, b = 0;
        ASSERT_TRUE(AdminDb().NextId("TEMPLATE_TBL", a));
        ASSERT_TRUE(other->NextId("TEMPLATE_TBL", b));
        ids.insert(a);
        ids.insert(b);
    }
    EXPECT_EQ(ids.size(), 40u);
}

TEST_P(DatabaseManagerTest, UsersOnlyReadTheAdministrationTables) {
    if (!IsServer()) GTEST_SKIP() << "an SQLite file is guarded by file permissions alone";
    const QString login = AddAnalyst("eve", "Auto", "/A/");
    auto db = Connect(login);
    ASSERT_TRUE(db);
    QSqlQuery q;
    EXPECT_TRUE(db->Exec(q, "SELECT COUNT(*) FROM PERMISSION_TBL"));
    EXPECT_FALSE(db->Exec(q, "UPDATE PERMISSION_TBL SET PERMISSION = 7"));
    EXPECT_FALSE(db->Exec(q, "UPDATE USER_TBL SET ACTIVE_GROUP_ID = NULL"));
    EXPECT_TRUE(db->Exec(q, "INSERT INTO SCRIPT_TBL (SCRIPT_ID, SCRIPT_NAME, SCRIPT) VALUES (?, ?, ?)",
                         {1, QString("s"), QString("t")}));
}

QS_INSTANTIATE_ENGINES(DatabaseManagerTest);

}  // namespace
