#include "DatabaseManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>
#include <QUuid>

#include <pwd.h>
#include <unistd.h>

#include <set>

#include "CProject.h"
#include "DatabaseVantor.h"
#include "FactorLibraryStore.h"
#include "KernelGlobals.h"

static void InitSchemaResources() { Q_INIT_RESOURCE(dbschema); }

namespace qs::db {

namespace {

struct Migration {
    int version;
    QString text;
};

// The migrations kept with the program, in version order ("NNN_name.sql").
const std::vector<Migration>& Migrations() {
    static const std::vector<Migration> list = [] {
        InitSchemaResources();
        std::vector<Migration> out;
        const QDir dir(":/qs/dbmanager/schema");
        for (const QString& name : dir.entryList({"*.sql"}, QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::ReadOnly)) continue;
            out.push_back({name.section('_', 0, 0).toInt(), QString::fromUtf8(f.readAll())});
        }
        return out;
    }();
    return list;
}

// The statements of a migration: comments dropped, split at a ";" that ends a line.
QStringList Statements(const QString& text) {
    QStringList out;
    QString current;
    for (const QString& raw : text.split('\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith("--")) continue;
        current += raw + '\n';
        if (line.endsWith(';')) {
            current = current.trimmed();
            current.chop(1);
            out << current;
            current.clear();
        }
    }
    return out;
}

// Table -> columns, read from the migrations' CREATE TABLE statements, so
// names a caller hands in can be checked against the schema itself.
const std::map<QString, std::set<QString>>& SchemaNames() {
    static const std::map<QString, std::set<QString>> names = [] {
        std::map<QString, std::set<QString>> out;
        static const QRegularExpression create(R"(^CREATE TABLE (\w+) \()");
        static const QRegularExpression column(R"(^\s+([A-Z_0-9]+) [A-Z])");
        for (const Migration& m : Migrations())
            for (const QString& statement : Statements(m.text)) {
                const auto head = create.match(statement);
                if (!head.hasMatch()) continue;
                auto& columns = out[head.captured(1)];
                for (const QString& line : statement.split('\n')) {
                    const auto c = column.match(line);
                    if (c.hasMatch() && c.captured(1) != "PRIMARY" && c.captured(1) != "UNIQUE")
                        columns.insert(c.captured(1));
                }
            }
        return out;
    }();
    return names;
}

QString OsAccountName() {
    if (const passwd* pw = getpwuid(geteuid()); pw != nullptr && pw->pw_name != nullptr)
        return QString::fromLocal8Bit(pw->pw_name);
    return QString::number(geteuid());
}

}  // namespace

void LoginRecord::ToKernel(QSSecAttribs& a) const {
    a.user = loginName.toStdString();
    a.group = groupName.toStdString();
    a.userId = userId;
    a.groupId = groupId;
    a.activeGroup = activeGroup;
    a.loginValues[0] = loginValues[0];
    a.loginValues[1] = loginValues[1];
    a.accessLevels.assign(64, 1);
    for (const auto& [kind, level] : accessLevels)
        if (kind >= 0 && kind < 64) a.accessLevels[kind] = level;
}

DatabaseManager::DatabaseManager(const ConnectionSettings& settings)
    : m_settings(settings), m_connectionName("qsdb-" + QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

DatabaseManager::~DatabaseManager() {
    m_vantors.clear();
    m_factorLibraries.reset();
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isOpen()) {
            if (m_depth > 0) db.rollback();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase DatabaseManager::Database() const { return QSqlDatabase::database(m_connectionName, false); }

std::shared_ptr<DatabaseManager> DatabaseManager::Open(const ConnectionSettings& settings, bool createSchema,
                                                       QString* error) {
    std::shared_ptr<DatabaseManager> m(new DatabaseManager(settings));
    if (!m->OpenConnection(error)) return nullptr;
    const int version = m->SchemaVersion();
    if (version < 0) {
        if (error) *error = m->m_lastError;
        return nullptr;
    }
    if (version > LatestSchemaVersion()) {
        if (error)
            *error = QString("The database %1 has schema version %2, newer than this program's %3.")
                         .arg(settings.Describe())
                         .arg(version)
                         .arg(LatestSchemaVersion());
        return nullptr;
    }
    if (version < LatestSchemaVersion()) {
        if (!createSchema) {
            if (error)
                *error = version == 0 ? QString("The database %1 holds no Quillstone schema. Create it with "
                                                "\"qs-dbadmin schema create\".")
                                            .arg(settings.Describe())
                                      : QString("The database %1 has schema version %2; this program needs %3. "
                                                "Upgrade it with \"qs-dbadmin schema upgrade\".")
                                            .arg(settings.Describe())
                                            .arg(version)
                                            .arg(LatestSchemaVersion());
            return nullptr;
        }
        if (!m->Migrate()) {
            if (error) *error = m->m_lastError;
            return nullptr;
        }
    }
    return m;
}

std::shared_ptr<DatabaseManager> DatabaseManager::OpenSecond(QString* error) const {
    return Open(m_settings, false, error);
}

bool DatabaseManager::OpenConnection(QString* error) {
    const bool sqlite = m_settings.engine == Engine::SQLite;
    QSqlDatabase db = QSqlDatabase::addDatabase(sqlite ? "QSQLITE" : "QPSQL", m_connectionName);
    if (!db.isValid()) {
        m_lastError = QString("The %1 driver of Qt SQL is not installed.").arg(sqlite ? "SQLite" : "PostgreSQL");
        if (error) *error = m_lastError;
        return false;
    }
    if (sqlite) {
        if (m_settings.file.isEmpty()) {
            m_lastError = "No database file is named.";
            if (error) *error = m_lastError;
            return false;
        }
        QDir().mkpath(QFileInfo(m_settings.file).absolutePath());
        db.setDatabaseName(m_settings.file);
        // Writers on a shared file wait for each other rather than fail at once.
        db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=10000");
    } else {
        db.setHostName(m_settings.host);
        db.setPort(m_settings.port);
        db.setDatabaseName(m_settings.database);
        db.setUserName(m_settings.user.isEmpty() ? OsAccountName() : m_settings.user);
        if (!m_settings.options.isEmpty()) db.setConnectOptions(m_settings.options);
    }
    if (!db.open()) {
        m_lastError = QString("Cannot open the database %1: %2").arg(m_settings.Describe(), db.lastError().text());
        if (error) *error = m_lastError;
        return false;
    }
    QSqlQuery q(db);
    if (sqlite) {
        q.exec("PRAGMA foreign_keys = ON");
    } else {
        // Keep our own names apart from any other schema the role can see.
        q.exec("SET client_min_messages TO WARNING");
    }
    return true;
}

bool DatabaseManager::Fail(const QString& what, const QSqlError& error) {
    m_lastError = error.text().trimmed().isEmpty() ? what : what + ": " + error.text().trimmed();
    if (m_depth > 0) m_rollbackOnly = true;
    return false;
}

bool DatabaseManager::Exec(QSqlQuery& query, const QString& sql, const QVariantList& args) {
    query = QSqlQuery(Database());
    if (!query.prepare(sql)) return Fail("Cannot prepare a statement", query.lastError());
    for (const QVariant& a : args) query.addBindValue(a);
    if (!query.exec()) return Fail("A database statement failed", query.lastError());
    return true;
}

// ---- schema

int DatabaseManager::LatestSchemaVersion() { return Migrations().empty() ? 0 : Migrations().back().version; }

bool DatabaseManager::IsSchemaTable(const QString& table) { return SchemaNames().count(table) != 0; }

bool DatabaseManager::IsSchemaColumn(const QString& table, const QString& column) {
    const auto it = SchemaNames().find(table);
    return it != SchemaNames().end() && it->second.count(column) != 0;
}

int DatabaseManager::SchemaVersion() {
    QSqlDatabase db = Database();
    bool present = false;
    for (const QString& t : db.tables())
        if (t.compare("SYSTEM_INFO_TBL", Qt::CaseInsensitive) == 0) present = true;
    if (!present) return 0;
    QSqlQuery q;
    if (!Exec(q, "SELECT VALUE FROM SYSTEM_INFO_TBL WHERE NAME = ?", {QString("DATABASE VERSION")}))
        return -1;
    return q.next() ? q.value(0).toString().toInt() : 0;
}

bool DatabaseManager::Migrate() {
    const int from = SchemaVersion();
    if (from < 0) return false;
    for (const Migration& m : Migrations()) {
        if (m.version <= from) continue;
        if (BeginTransaction() < 0) return false;
        bool ok = true;
        QSqlQuery q(Database());
        for (const QString& statement : Statements(m.text))
            if (!q.exec(statement)) {
                ok = Fail(QString("Schema version %1 could not be applied").arg(m.version), q.lastError());
                break;
            }
        if (ok) {
            QSqlQuery v;
            ok = Exec(v, "DELETE FROM SYSTEM_INFO_TBL WHERE NAME = ?", {QString("DATABASE VERSION")}) &&
                 Exec(v, "INSERT INTO SYSTEM_INFO_TBL (NAME, VALUE) VALUES (?, ?)",
                      {QString("DATABASE VERSION"), QString::number(m.version)});
        }
        if (!ok) {
            const QString why = m_lastError;
            RollbackTransaction();
            m_lastError = why;
            return false;
        }
        if (CommitTransaction() < 0) return false;
    }
    return true;
}

// ---- transactions

long DatabaseManager::BeginTransaction() {
    if (m_depth++ > 0) return kOk;
    m_rollbackOnly = false;
    QSqlQuery q(Database());
    // SQLite: take the write lock at once, so two writers queue up instead of
    // both reading and then failing to upgrade their locks.
    const bool ok = m_settings.engine == Engine::SQLite ? q.exec("BEGIN IMMEDIATE") : Database().transaction();
    if (!ok) {
        m_depth = 0;
        Fail("Cannot begin a transaction", m_settings.engine == Engine::SQLite ? q.lastError() : Database().lastError());
        return kFail;
    }
    return kOk;
}

long DatabaseManager::CommitTransaction() {
    if (m_depth == 0) return kFail;
    if (--m_depth > 0) return kOk;
    if (m_rollbackOnly) {
        ++m_depth;
        RollbackTransaction();
        return kFail;
    }
    QSqlQuery q(Database());
    const bool ok = m_settings.engine == Engine::SQLite ? q.exec("COMMIT") : Database().commit();
    if (!ok) {
        Fail("Cannot commit a transaction", m_settings.engine == Engine::SQLite ? q.lastError() : Database().lastError());
        QSqlQuery r(Database());
        if (m_settings.engine == Engine::SQLite) r.exec("ROLLBACK");
        else Database().rollback();
        return kFail;
    }
    return kOk;
}

long DatabaseManager::RollbackTransaction() {
    if (m_depth == 0) return kFail;
    if (--m_depth > 0) {
        m_rollbackOnly = true;
        return kOk;
    }
    m_rollbackOnly = false;
    QSqlQuery q(Database());
    const bool ok = m_settings.engine == Engine::SQLite ? q.exec("ROLLBACK") : Database().rollback();
    return ok ? kOk : kFail;
}

bool DatabaseManager::NextId(const QString& table, std::int32_t& id) {
    if (BeginTransaction() < 0) return false;
    QSqlQuery q;
    // The update comes first: it locks the row until the transaction ends.
    bool ok = Exec(q, "UPDATE PRIMARY_KEY_STORAGE_TBL SET NEXT_ID = NEXT_ID + 1 WHERE TABLE_NAME = ?", {table}) &&
              Exec(q, "SELECT NEXT_ID - 1 FROM PRIMARY_KEY_STORAGE_TBL WHERE TABLE_NAME = ?", {table});
    if (ok && !q.next()) ok = Fail("No key storage for " + table, QSqlError());
    if (ok) id = static_cast<std::int32_t>(q.value(0).toLongLong());
    if (!ok) {
        const QString why = m_lastError;
        RollbackTransaction();
        m_lastError = why;
        return false;
    }
    return CommitTransaction() >= 0;
}

// ---- login

QString DatabaseManager::AccountName() {
    if (m_settings.engine == Engine::SQLite) return OsAccountName();
    QSqlQuery q;
    if (!Exec(q, "SELECT session_user") || !q.next()) return {};
    return q.value(0).toString();
}

bool DatabaseManager::Login(QString* error) {
    m_loggedIn = false;
    m_login = LoginRecord{};
    const QString account = AccountName();
    QSqlQuery q;
    if (account.isEmpty() ||
        !Exec(q, "SELECT USER_ID, FULL_NAME, ACTIVE_GROUP_ID, LOGIN_VALUE_1, LOGIN_VALUE_2 FROM USER_TBL "
                 "WHERE LOGIN_NAME = ?",
              {account})) {
        if (error) *error = m_lastError;
        return false;
    }
    if (!q.next()) {
        m_lastError = QString("The account \"%1\" is not a user of the database %2.").arg(account, m_settings.Describe());
        if (error) *error = m_lastError;
        return false;
    }
    LoginRecord r;
    r.loginName = account;
    r.userId = q.value(0).toInt();
    r.fullName = q.value(1).toString();
    const QVariant group = q.value(2);
    r.loginValues = {static_cast<std::uint16_t>(q.value(3).toInt()), static_cast<std::uint16_t>(q.value(4).toInt())};
    if (!group.isNull()) {
        QSqlQuery g;
        // The active group counts only while the user belongs to it.
        if (!Exec(g, "SELECT g.GROUP_ID, g.GROUP_NAME FROM GROUP_TBL g JOIN USER_GROUP_TBL m ON m.GROUP_ID = g.GROUP_ID "
                     "WHERE m.USER_ID = ? AND g.GROUP_ID = ?",
                  {r.userId, group.toInt()})) {
            if (error) *error = m_lastError;
            return false;
        }
        if (g.next()) {
            r.groupId = g.value(0).toInt();
            r.groupName = g.value(1).toString();
            r.activeGroup = 1;
        }
    }
    QSqlQuery a;
    if (!Exec(a, "SELECT COMPONENT_KIND, ACCESS_LEVEL FROM ACCESS_LEVEL_TBL WHERE USER_ID = ?", {r.userId})) {
        if (error) *error = m_lastError;
        return false;
    }
    while (a.next()) r.accessLevels[a.value(0).toInt()] = a.value(1).toInt();
    m_login = r;
    m_loggedIn = true;
    return true;
}

bool DatabaseManager::VerifyLogin(std::int32_t userId, std::int32_t groupId, std::uint16_t activeGroup,
                                  const std::array<std::uint16_t, 2>& loginValues, QString* error) {
    if (!m_loggedIn && !Login(error)) return false;
    const LoginRecord& r = m_login;
    if (r.userId == userId && r.groupId == groupId && r.activeGroup == activeGroup && r.loginValues == loginValues)
        return true;
    m_lastError = QString("The login values do not belong to the account \"%1\".").arg(r.loginName);
    if (error) *error = m_lastError;
    return false;
}

// ---- look-ups

long DatabaseManager::PermissionWord(int kind, long objectId, long userId, std::uint16_t& word) {
    word = 0;
    QSqlQuery q;
    if (!Exec(q,
              "SELECT p.PERMISSION FROM PERMISSION_TBL p "
              "JOIN USER_TBL u ON u.ACTIVE_GROUP_ID = p.GROUP_ID "
              "JOIN USER_GROUP_TBL m ON m.USER_ID = u.USER_ID AND m.GROUP_ID = p.GROUP_ID "
              "WHERE u.USER_ID = ? AND p.COMPONENT_KIND = ? AND (p.OBJECT_ID = ? OR p.OBJECT_ID = 0)",
              {static_cast<int>(userId), kind, static_cast<int>(objectId)}))
        return kFail;
    while (q.next()) word |= static_cast<std::uint16_t>(q.value(0).toInt());
    return kOk;
}

long DatabaseManager::GroupQueryId(long groupId, QString& queryId) {
    queryId.clear();
    QSqlQuery q;
    if (!Exec(q, "SELECT QUERY_ID FROM GROUP_TBL WHERE GROUP_ID = ?", {static_cast<int>(groupId)})) return kFail;
    if (!q.next()) {
        m_lastError = QString("There is no group %1.").arg(groupId);
        return kFail;
    }
    queryId = q.value(0).toString();
    return kOk;
}

long DatabaseManager::GroupQueryText(const QString& queryId, QString& text) {
    text.clear();
    if (queryId.isEmpty()) return kOk;
    QSqlQuery q;
    if (!Exec(q, "SELECT GROUP_QUERY FROM GROUP_TBL WHERE QUERY_ID = ?", {queryId})) return kFail;
    if (q.next()) text = q.value(0).toString();
    return kOk;
}

long DatabaseManager::GroupQuery(long groupId, QString& text) {
    QString id;
    if (const long hr = GroupQueryId(groupId, id); hr < 0) return hr;
    return GroupQueryText(id, text);
}

long DatabaseManager::FindRecord(const QString& table, const QString& keyColumn, long id) {
    if (!IsSchemaColumn(table, keyColumn)) {
        m_lastError = QString("%1.%2 is not a column of the database.").arg(table, keyColumn);
        return kInvalidArg;
    }
    QSqlQuery q;
    // The names were checked against the schema above; the value is bound.
    if (!Exec(q, QString("SELECT 1 FROM %1 WHERE %2 = ?").arg(table, keyColumn), {static_cast<int>(id)})) return kFail;
    return q.next() ? kOk : kNotFound;
}

long DatabaseManager::CurrentUserId(long& id) {
    if (!m_loggedIn && !Login(nullptr)) return kFail;
    id = m_login.userId;
    return kOk;
}

long DatabaseManager::QueryStrings(const QString& sql, const QVariantList& args, std::vector<QString>& rows) {
    rows.clear();
    QSqlQuery q;
    if (!Exec(q, sql, args)) return kFail;
    while (q.next()) rows.push_back(q.value(0).toString());
    return kOk;
}

// ---- binding

CKDVVantor* DatabaseManager::VantorFor(CProject& project) {
    auto& slot = m_vantors[&project];
    if (!slot) slot = std::make_unique<DatabaseVantor>(*this, project);
    return slot.get();
}

void DatabaseManager::ReleaseProject(CProject* project) { m_vantors.erase(project); }

CKDVDevFactLibrary* DatabaseManager::GetDevFactLibrary() {
    if (!m_factorLibraries) m_factorLibraries = std::make_unique<FactorLibraryStore>(*this);
    return m_factorLibraries.get();
}

void InstallProjectBinder() {
    CProject::SetDatabaseBinder([](CProject& project, IKDVDatabaseManager* manager) -> CKDVVantor* {
        auto* m = dynamic_cast<DatabaseManager*>(manager);
        return m ? m->VantorFor(project) : nullptr;
    });
}

}  // namespace qs::db
