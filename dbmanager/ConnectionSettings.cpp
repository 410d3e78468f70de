#include "ConnectionSettings.h"

#include "QsEnvironment.h"
#include "QsProfile.h"

namespace qs::db {

namespace {
QString Read(const char* key, const char* fallback, const std::string& profile) {
    char buffer[1024];
    GetPrivateProfileString(kProfileSection, key, fallback, buffer, sizeof buffer, profile.c_str());
    return QString::fromUtf8(buffer);
}
}  // namespace

ConnectionSettings ConnectionSettings::SQLiteFile(const QString& path) {
    ConnectionSettings s;
    s.engine = Engine::SQLite;
    s.file = path;
    return s;
}

ConnectionSettings ConnectionSettings::Server(const QString& host, int port, const QString& database,
                                              const QString& user) {
    ConnectionSettings s;
    s.engine = Engine::PostgreSQL;
    s.host = host;
    s.port = port;
    s.database = database;
    s.user = user;
    return s;
}

QString ConnectionSettings::DefaultFile() {
    return QString::fromStdString(qs::env::UserDataDirectory()) + "/enterprise.qsdb";
}

ConnectionSettings ConnectionSettings::FromProfile(const std::string& profile) {
    ConnectionSettings s;
    const QString engine = Read("Engine", "SQLite", profile);
    if (engine.compare("PostgreSQL", Qt::CaseInsensitive) == 0 || engine.compare("Postgres", Qt::CaseInsensitive) == 0) {
        s.engine = Engine::PostgreSQL;
        s.host = Read("Host", "localhost", profile);
        s.port = static_cast<int>(GetPrivateProfileInt(kProfileSection, "Port", 5432, profile.c_str()));
        s.database = Read("Database", "quillstone", profile);
        s.user = Read("User", "", profile);
        s.options = Read("Options", "", profile);
    } else {
        s.file = Read("File", "", profile);
        if (s.file.isEmpty()) s.file = DefaultFile();
    }
    return s;
}

bool ConnectionSettings::WriteToProfile(const std::string& profile) const {
    const char* p = profile.c_str();
    auto put = [p](const char* key, const QString& value) {
        return WritePrivateProfileString(kProfileSection, key, value.toUtf8().constData(), p) != 0;
    };
    if (engine == Engine::SQLite) return put("Engine", "SQLite") && put("File", file);
    return put("Engine", "PostgreSQL") && put("Host", host) && put("Port", QString::number(port)) &&
           put("Database", database) && put("User", user) && put("Options", options);
}

QString ConnectionSettings::Describe() const {
    if (engine == Engine::SQLite) return file;
    return QString("%1@%2:%3/%4").arg(user.isEmpty() ? QString("(login)") : user, host).arg(port).arg(database);
}

}  // namespace qs::db
