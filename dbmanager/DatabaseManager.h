#pragma once
// The enterprise database manager: one connection to an SQLite file or a
// PostgreSQL server, the schema's versioned migrations, the login of the
// connecting account, transactions, record ids, and the look-ups the
// project document asks of it (permissions, group queries, records).
//
// Contract:
// - Every statement binds its values; texts from users or files never become
//   SQL. Table and column names that a caller passes are checked against the
//   schema's own names first.
// - Transactions nest: only the outermost Begin/Commit/Rollback reach the
//   engine; a Rollback anywhere inside makes the outermost Commit roll back.
// - New record ids come from PRIMARY_KEY_STORAGE_TBL inside the caller's
//   transaction, so two connections never draw the same id.
// - The login is the engine's: PostgreSQL's authenticated role
//   (session_user), or on SQLite the operating-system account; USER_TBL maps
//   it to a user id. Nothing here stores or compares a password.
// - Results of the look-ups are HRESULT-like: 0 success, 1 "not found" where
//   said, negative a failure (LastError tells why).
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "CKDVVantor.h"
#include "ConnectionSettings.h"

class CProject;
struct QSSecAttribs;

namespace qs::db {

class DatabaseVantor;
class FactorLibraryStore;

// What the database says about the connecting account.
struct LoginRecord {
    QString loginName;
    QString fullName;
    std::int32_t userId = 0;
    std::int32_t groupId = 0;      // the active group; 0 none
    QString groupName;
    std::uint16_t activeGroup = 0;  // 1 when logged in to a group, 0 not
    std::array<std::uint16_t, 2> loginValues{0, 0};
    std::map<int, int> accessLevels;  // kind -> level; kinds not listed have level 1
    // Fills the kernel's login record (levels for kinds 0..63).
    void ToKernel(QSSecAttribs& attribs) const;
};

// Component kinds and permission bits of the rights tables.
inline constexpr int kKindTemplates = 24;
inline constexpr int kKindUserTables = 25;
inline constexpr int kKindProfileData = 26;
inline constexpr std::uint16_t kPermissionRead = 1;
inline constexpr std::uint16_t kPermissionUpdate = 2;
inline constexpr std::uint16_t kPermissionDelete = 4;

inline constexpr long kOk = 0;
inline constexpr long kNotFound = 1;
inline constexpr long kFail = -2147467259L;        // E_FAIL
inline constexpr long kInvalidArg = -2147024809L;  // E_INVALIDARG
inline constexpr long kConflict = -2147217887L;    // the record changed since it was read

class DatabaseManager : public IKDVDatabaseManager, public std::enable_shared_from_this<DatabaseManager> {
public:
    // Opens a connection. createSchema: bring the schema up to date (an
    // SQLite file is created with its schema on first use). Without it a
    // database whose schema is missing or older than this program's is
    // refused with the reason in error. Null on failure.
    static std::shared_ptr<DatabaseManager> Open(const ConnectionSettings& settings, bool createSchema,
                                                 QString* error);
    // A second connection to the same database (Save Data As copies through one).
    std::shared_ptr<DatabaseManager> OpenSecond(QString* error) const;
    ~DatabaseManager() override;
    DatabaseManager(const DatabaseManager&) = delete;
    DatabaseManager& operator=(const DatabaseManager&) = delete;

    const ConnectionSettings& Settings() const { return m_settings; }
    Engine GetEngine() const { return m_settings.engine; }
    QSqlDatabase Database() const;
    QString LastError() const { return m_lastError; }

    // ---- schema
    static int LatestSchemaVersion();
    // 0 when the database holds no schema; negative when it cannot be read.
    int SchemaVersion();
    // Applies the migrations above the current version, each in its own
    // transaction; true when the schema is current afterwards.
    bool Migrate();

    // ---- transactions (IKDVDatabaseManager)
    long BeginTransaction() override;
    long CommitTransaction() override;
    long RollbackTransaction() override;
    bool InTransaction() const { return m_depth > 0; }

    // ---- statements
    // Prepares sql, binds args in order and runs it; false (LastError set) on failure.
    bool Exec(QSqlQuery& query, const QString& sql, const QVariantList& args = {});
    // The next id of a table (inside the caller's transaction, or in one of its own).
    bool NextId(const QString& table, std::int32_t& id);
    // Whether name is one of the schema's tables, and column one of its columns.
    static bool IsSchemaTable(const QString& table);
    static bool IsSchemaColumn(const QString& table, const QString& column);

    // ---- login
    // The account the engine authenticated (PostgreSQL) or the OS account (SQLite).
    QString AccountName();
    // Reads the login record of the account; false when the account has no
    // user in the database (error says so).
    bool Login(QString* error);
    const LoginRecord& Login() const { return m_login; }
    bool IsLoggedIn() const { return m_loggedIn; }
    // Values handed in from outside (a script, a second connection) are
    // accepted only when they are the authenticated account's own.
    bool VerifyLogin(std::int32_t userId, std::int32_t groupId, std::uint16_t activeGroup,
                     const std::array<std::uint16_t, 2>& loginValues, QString* error);

    // ---- look-ups of the project document
    // The permission word of the user's active group for an object (or, for
    // objectId 0, for the whole kind): rows of the object and of object 0 combined.
    long PermissionWord(int kind, long objectId, long userId, std::uint16_t& word);
    long GroupQueryId(long groupId, QString& queryId);
    long GroupQueryText(const QString& queryId, QString& text);
    // The group query of a group in one step (empty text: none).
    long GroupQuery(long groupId, QString& text);
    // 0 found, 1 not found, negative on failure or for a name outside the schema.
    long FindRecord(const QString& table, const QString& keyColumn, long id);
    long CurrentUserId(long& id);
    // One string per row of a query; args bound in order.
    long QueryStrings(const QString& sql, const QVariantList& args, std::vector<QString>& rows);

    // ---- the project binding
    // The facade of a project bound to this manager, made on first use and
    // kept until ReleaseProject (or the manager goes).
    CKDVVantor* VantorFor(CProject& project);
    void ReleaseProject(CProject* project);
    CKDVDevFactLibrary* GetDevFactLibrary() override;

private:
    explicit DatabaseManager(const ConnectionSettings& settings);
    bool OpenConnection(QString* error);
    bool Fail(const QString& what, const QSqlError& error);

    ConnectionSettings m_settings;
    QString m_connectionName;
    QString m_lastError;
    int m_depth = 0;
    bool m_rollbackOnly = false;
    LoginRecord m_login;
    bool m_loggedIn = false;
    std::map<CProject*, std::unique_ptr<DatabaseVantor>> m_vantors;
    std::unique_ptr<FactorLibraryStore> m_factorLibraries;
};

// Makes CProject::InitProjectWithDBManager bind projects to a DatabaseManager.
void InstallProjectBinder();

}  // namespace qs::db
