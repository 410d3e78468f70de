#pragma once
// Where the enterprise database is: an SQLite file (the embedded default,
// for a workstation or a small team on a share) or a PostgreSQL server (a
// department). Kept in the edition profile, section "Enterprise Database":
//
//   Engine=SQLite            File=/path/to/enterprise.qsdb
//   Engine=PostgreSQL        Host=db.example  Port=5432  Database=quillstone
//                            User=<role; empty: the login name>  Options=<libpq options>
//
// No password is ever kept here: PostgreSQL authenticates the role by its own
// means (peer, certificates, Kerberos, or a password libpq reads from
// PGPASSWORD or ~/.pgpass).
#include <QString>

namespace qs::db {

enum class Engine { SQLite, PostgreSQL };

struct ConnectionSettings {
    Engine engine = Engine::SQLite;
    QString file;       // SQLite
    QString host;       // PostgreSQL: a host name, an address or a socket folder
    int port = 5432;
    QString database;
    QString user;
    QString options;    // libpq connection options, e.g. "sslmode=require"

    static ConnectionSettings SQLiteFile(const QString& path);
    static ConnectionSettings Server(const QString& host, int port, const QString& database, const QString& user);

    // From the profile file (an ini path or a plain name in the Windows
    // folder); a missing section gives the SQLite default file.
    static ConnectionSettings FromProfile(const std::string& profile);
    bool WriteToProfile(const std::string& profile) const;
    // The default database of a new installation: "enterprise.qsdb" in the
    // user's data folder.
    static QString DefaultFile();
    // For messages: the file, or user@host:port/database.
    QString Describe() const;
};

inline constexpr const char* kProfileSection = "Enterprise Database";

}  // namespace qs::db
