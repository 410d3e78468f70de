// qs-dbadmin: administration of the enterprise database.
//
//   qs-dbadmin [where] command ...
// where (default: the enterprise profile's "Enterprise Database" section):
//   --profile FILE                 another profile file
//   --sqlite FILE                  an SQLite database file
//   --host H [--port P] --database D [--user ROLE]    a PostgreSQL server
// commands:
//   schema create | schema upgrade | schema version
//   user add LOGIN [FULL NAME] | user remove LOGIN | user list
//   group add NAME | group remove NAME | group list | group query NAME TEXT
//   member add LOGIN GROUP | member remove LOGIN GROUP
//   active LOGIN GROUP|-        the group LOGIN logs in to
//   login-values LOGIN V1 V2
//   grant GROUP KIND PERMISSIONS [OBJECT] | revoke GROUP KIND [OBJECT]
//       KIND: templates, tables, profiles or a number; PERMISSIONS: read,update,delete or a number
//   access LOGIN KIND LEVEL     above 0 ask the rights, 0 unrestricted, below 0 refused
//   category add NAME
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

#include "ConnectionSettings.h"
#include "DatabaseAdmin.h"
#include "DatabaseManager.h"

using namespace qs::db;

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: qs-dbadmin [--profile FILE | --sqlite FILE | --host H [--port P] --database D [--user ROLE]]\n"
                 "                  schema create|upgrade|version\n"
                 "                  user add LOGIN [FULL NAME] | user remove LOGIN | user list\n"
                 "                  group add|remove NAME | group list | group query NAME TEXT\n"
                 "                  member add|remove LOGIN GROUP | active LOGIN GROUP|-\n"
                 "                  login-values LOGIN V1 V2\n"
                 "                  grant GROUP KIND PERMISSIONS [OBJECT] | revoke GROUP KIND [OBJECT]\n"
                 "                  access LOGIN KIND LEVEL | category add NAME\n");
    return 2;
}

int Done(bool ok, const QString& error) {
    if (ok) return 0;
    std::fprintf(stderr, "qs-dbadmin: %s\n", qPrintable(error));
    return 1;
}

// The admin's reason is read after the command ran (argument order is unspecified).
int Done(bool ok, const DatabaseAdmin& admin) { return Done(ok, admin.LastError()); }

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    ConnectionSettings settings = ConnectionSettings::FromProfile("qstoneee.ini");
    bool server = false;
    while (!args.isEmpty() && args.first().startsWith("--")) {
        const QString option = args.takeFirst();
        if (args.isEmpty()) return Usage();
        const QString value = args.takeFirst();
        if (option == "--profile") settings = ConnectionSettings::FromProfile(value.toStdString());
        else if (option == "--sqlite") settings = ConnectionSettings::SQLiteFile(value);
        else if (option == "--host") { settings.engine = Engine::PostgreSQL; settings.host = value; server = true; }
        else if (option == "--port") settings.port = value.toInt();
        else if (option == "--database") settings.database = value;
        else if (option == "--user") settings.user = value;
        else return Usage();
    }
    if (server && settings.database.isEmpty()) return Usage();
    if (args.isEmpty()) return Usage();
    const QString command = args.takeFirst();
    const QString sub = args.isEmpty() ? QString() : args.first();

    QString error;
    const bool schemaCommand = command == "schema" && (sub == "create" || sub == "upgrade");
    auto manager = DatabaseManager::Open(settings, schemaCommand, &error);
    if (!manager) return Done(false, error);
    DatabaseAdmin admin(*manager);

    if (command == "schema") {
        if (sub == "version") {
            std::printf("%d\n", manager->SchemaVersion());
            return 0;
        }
        if (!schemaCommand) return Usage();
        // Roles made before an upgrade get the tables it added.
        if (!admin.GrantTablesToAll()) return Done(false, admin);
        std::printf("schema version %d at %s\n", manager->SchemaVersion(), qPrintable(settings.Describe()));
        return 0;
    }
    auto need = [&](int n) { return args.size() >= n; };
    if (command == "user" && sub == "add" && need(2))
        return Done(admin.AddUser(args[1], args.mid(2).join(' ')), admin);
    if (command == "user" && sub == "remove" && need(2)) return Done(admin.RemoveUser(args[1]), admin);
    if (command == "user" && sub == "list") {
        for (const QString& line : admin.ListUsers()) std::printf("%s\n", qPrintable(line));
        return 0;
    }
    if (command == "group" && sub == "add" && need(2)) return Done(admin.AddGroup(args[1]), admin);
    if (command == "group" && sub == "remove" && need(2)) return Done(admin.RemoveGroup(args[1]), admin);
    if (command == "group" && sub == "query" && need(2))
        return Done(admin.SetGroupQuery(args[1], args.mid(2).join(' ')), admin);
    if (command == "group" && sub == "list") {
        for (const QString& line : admin.ListGroups()) std::printf("%s\n", qPrintable(line));
        return 0;
    }
    if (command == "member" && sub == "add" && need(3)) return Done(admin.AddMember(args[1], args[2]), admin);
    if (command == "member" && sub == "remove" && need(3))
        return Done(admin.RemoveMember(args[1], args[2]), admin);
    if (command == "active" && need(2)) return Done(admin.SetActiveGroup(args[0], args[1]), admin);
    if (command == "login-values" && need(3))
        return Done(admin.SetLoginValues(args[0], std::uint16_t(args[1].toUInt()), std::uint16_t(args[2].toUInt())),
                    admin);
    if ((command == "grant" && need(3)) || (command == "revoke" && need(2))) {
        const int kind = DatabaseAdmin::KindFromText(args[1]);
        if (kind < 0) return Done(false, QString("unknown component kind \"%1\"").arg(args[1]));
        if (command == "revoke") return Done(admin.Revoke(args[0], kind, args.value(2, "0").toInt()), admin);
        const int permission = DatabaseAdmin::PermissionFromText(args[2]);
        if (permission < 0) return Done(false, QString("unknown permissions \"%1\"").arg(args[2]));
        return Done(admin.Grant(args[0], kind, permission, args.value(3, "0").toInt()), admin);
    }
    if (command == "access" && need(3)) {
        const int kind = DatabaseAdmin::KindFromText(args[1]);
        if (kind < 0) return Done(false, QString("unknown component kind \"%1\"").arg(args[1]));
        return Done(admin.SetAccessLevel(args[0], kind, args[2].toInt()), admin);
    }
    if (command == "category" && sub == "add" && need(2)) return Done(admin.AddCategory(args[1]), admin);
    return Usage();
}
