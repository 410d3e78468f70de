#include "DatabaseTestFixture.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <pwd.h>
#include <unistd.h>

#include <atomic>

#include "PgTestCluster.h"
#include "TestEnvironment.h"

namespace qs::test {

using qs::db::ConnectionSettings;
using qs::db::DatabaseManager;
using qs::db::Engine;

std::string EngineName(const ::testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::SQLite ? "sqlite" : "postgres";
}

namespace {

// Qt SQL loads its drivers as plugins, which needs an application object.
void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "dbtest";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

// Runs one statement as the cluster's superuser on its maintenance database.
bool ServerStatement(const PgServer& server, const QString& sql, QString& error) {
    const QString name = "qs-test-maintenance";
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", name);
        db.setHostName(QString::fromStdString(server.host));
        db.setPort(server.port);
        db.setDatabaseName("postgres");
        db.setUserName(QString::fromStdString(server.superuser));
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            ok = q.exec(sql);
            if (!ok) error = q.lastError().text();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

QString OsAccount() {
    const passwd* pw = getpwuid(geteuid());
    return pw ? QString::fromLocal8Bit(pw->pw_name) : QString::number(geteuid());
}

}  // namespace

void DatabaseTest::SetUp() {
    EnsureApplication();
    static std::atomic<int> counter{0};
    if (IsServer()) {
        std::string why;
        const PgServer* server = TestPgServer(why);
        ASSERT_NE(server, nullptr) << why;
        m_databaseName = QString("qs%1_%2").arg(getpid()).arg(++counter);
        QString error;
        ASSERT_TRUE(ServerStatement(*server, "CREATE DATABASE " + m_databaseName + " TEMPLATE template0", error)) << error.toStdString();
        m_adminSettings = ConnectionSettings::Server(QString::fromStdString(server->host), server->port, m_databaseName,
                                                     QString::fromStdString(server->superuser));
    } else {
        m_adminSettings = ConnectionSettings::SQLiteFile(QString::fromStdString(MakeTempDir("db")) + "/enterprise.qsdb");
    }
    QString error;
    m_adminDb = DatabaseManager::Open(m_adminSettings, true, &error);
    ASSERT_TRUE(m_adminDb) << error.toStdString();
    m_admin = std::make_unique<qs::db::DatabaseAdmin>(*m_adminDb);
}

void DatabaseTest::TearDown() {
    m_admin.reset();
    m_adminDb.reset();
    if (IsServer() && !m_databaseName.isEmpty()) {
        std::string why;
        if (const PgServer* server = TestPgServer(why)) {
            QString error;
            ServerStatement(*server, "DROP DATABASE IF EXISTS " + m_databaseName + " WITH (FORCE)", error);
        }
    }
}

QString DatabaseTest::Login(const QString& name) const {
    return IsServer() ? m_databaseName + "_" + name : OsAccount();
}

ConnectionSettings DatabaseTest::SettingsOf(const QString& login) const {
    ConnectionSettings s = m_adminSettings;
    if (IsServer()) s.user = login;
    return s;
}

std::shared_ptr<DatabaseManager> DatabaseTest::Connect(const QString& login) {
    QString error;
    auto m = DatabaseManager::Open(SettingsOf(login), false, &error);
    EXPECT_TRUE(m) << error.toStdString();
    if (m && !m->Login(&error)) {
        ADD_FAILURE() << error.toStdString();
        return nullptr;
    }
    return m;
}

QString DatabaseTest::AddAnalyst(const QString& name, const QString& group, const QString& groupQuery) {
    const QString login = Login(name);
    EXPECT_TRUE(Admin().AddUser(login, name)) << Admin().LastError().toStdString();
    EXPECT_TRUE(Admin().AddGroup(group)) << Admin().LastError().toStdString();
    if (!groupQuery.isEmpty()) EXPECT_TRUE(Admin().SetGroupQuery(group, groupQuery));
    EXPECT_TRUE(Admin().AddMember(login, group)) << Admin().LastError().toStdString();
    EXPECT_TRUE(Admin().SetActiveGroup(login, group)) << Admin().LastError().toStdString();
    for (const int kind : {qs::db::kKindTemplates, qs::db::kKindUserTables, qs::db::kKindProfileData})
        EXPECT_TRUE(Admin().Grant(group, kind, 7));
    return login;
}

}  // namespace qs::test
