// qs-dbadmin run as a user runs it, on both engines.
#include <QProcess>

#include "DatabaseTestFixture.h"
#include "TestEnvironment.h"

using namespace qs::db;
using qs::test::DatabaseTest;

namespace {

class DbAdminToolTest : public DatabaseTest {
protected:
    // Runs the tool on this test's database; its exit code, output in out.
    int Run(const QStringList& args, QString* out = nullptr) {
        QStringList where;
        if (IsServer())
            where << "--host" << m_adminSettings.host << "--port" << QString::number(m_adminSettings.port)
                  << "--database" << m_adminSettings.database << "--user" << m_adminSettings.user;
        else
            where << "--sqlite" << m_adminSettings.file;
        QProcess p;
        p.start(QString::fromStdString(qs::test::BinDir()) + "/qs-dbadmin", where + args);
        if (!p.waitForFinished(60000)) return -1;
        if (out) *out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        return p.exitCode();
    }
};

TEST_P(DbAdminToolTest, SetsUpAnAnalystTheProgramLogsIn) {
    const QString login = Login("ann");
    QString out;
    ASSERT_EQ(Run({"schema", "upgrade"}, &out), 0) << out.toStdString();
    ASSERT_EQ(Run({"user", "add", login, "Ann", "Lee"}, &out), 0) << out.toStdString();
    ASSERT_EQ(Run({"group", "add", "Auto"}, &out), 0) << out.toStdString();
    ASSERT_EQ(Run({"group", "query", "Auto", "/Auto/East;/Auto/West"}, &out), 0) << out.toStdString();
    ASSERT_EQ(Run({"member", "add", login, "Auto"}, &out), 0) << out.toStdString();
    ASSERT_EQ(Run({"active", login, "Auto"}, &out), 0) << out.toStdString();
    ASSERT_EQ(Run({"grant", "Auto", "templates", "read,update"}, &out), 0) << out.toStdString();
    ASSERT_EQ(Run({"access", login, "tables", "0"}, &out), 0) << out.toStdString();
    ASSERT_EQ(Run({"user", "list"}, &out), 0);
    EXPECT_TRUE(out.contains("Ann Lee")) << out.toStdString();
    EXPECT_TRUE(out.contains("active group: Auto")) << out.toStdString();

    auto db = Connect(login);
    ASSERT_TRUE(db);
    EXPECT_EQ(db->Login().groupName, "Auto");
    std::uint16_t word = 0;
    ASSERT_EQ(db->PermissionWord(kKindTemplates, 1, db->Login().userId, word), kOk);
    EXPECT_EQ(word, kPermissionRead | kPermissionUpdate);
    QString query;
    ASSERT_EQ(db->GroupQuery(db->Login().groupId, query), kOk);
    EXPECT_EQ(query, "/Auto/East;/Auto/West");
    EXPECT_EQ(db->Login().accessLevels.at(kKindUserTables), 0);
}

TEST_P(DbAdminToolTest, RefusesWhatItCannotDo) {
    QString out;
    EXPECT_EQ(Run({"member", "add", "nobody", "Nogroup"}, &out), 1);
    EXPECT_TRUE(out.contains("There is no user")) << out.toStdString();
    EXPECT_EQ(Run({"grant", "X", "bogus", "update"}, &out), 1);
    EXPECT_EQ(Run({"frobnicate"}, &out), 2);
    if (IsServer()) {
        EXPECT_EQ(Run({"user", "add", "bad\"; DROP ROLE postgres; --"}, &out), 1);
        EXPECT_TRUE(out.contains("not a plain role name")) << out.toStdString();
    }
}

QS_INSTANTIATE_ENGINES(DbAdminToolTest);

}  // namespace
