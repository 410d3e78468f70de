#include "startup/Installation.h"

#include "GraphDefaults.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "AppRegistry.h"
#include "startup/CNetworkEnvironment.h"
#include "startup/InstallationType.h"
#include "startup/LexigroveLoader.h"
#include "QsEnvironment.h"
#include "QsProfile.h"
#include "ConnectionSettings.h"
#include "DatabaseAdmin.h"
#include "DatabaseManager.h"
#include "SystemInfo.h"

namespace fs = std::filesystem;

namespace qs::install {

namespace {

bool IsDir(const std::string& p) {
    std::error_code ec;
    return !p.empty() && fs::is_directory(p, ec);
}

// Creates an empty file when none exists. The owners of these formats write
// real content through their Save as Default commands; an empty file reads
// as "no defaults saved yet".
bool Touch(const std::string& path) {
    std::error_code ec;
    if (fs::exists(path, ec)) return true;
    std::ofstream out(path, std::ios::binary);
    return out.good();
}

// Keeps a folder setting the user already points at an existing folder;
// otherwise writes the default and creates it.
bool EnsureFolderSetting(const std::string& profile, const char* key, const std::string& fallback,
                         std::string& result) {
    std::string current = qs::profile::ReadString(profile, "Settings", key);
    while (current.size() > 1 && (current.back() == '/' || current.back() == '\\')) current.pop_back();
    if (IsDir(current)) {
        result = current;
        return true;
    }
    if (!qs::env::EnsureDirectory(fallback)) return false;
    result = fallback;
    return qs::profile::WriteString(profile, "Settings", key, fallback);
}

}  // namespace

// The enterprise database: the profile's "Enterprise Database" section is
// kept when present; otherwise it names an SQLite file in the data folder.
// An SQLite database is created with its schema (and its first user) here;
// a server's schema is its administrator's (qs-dbadmin).
bool InstallEnterpriseDatabase(const std::string& profile, const std::string& dataRoot, Layout& layout,
                               std::vector<std::string>& warnings) {
    char engine[64] = {};
    GetPrivateProfileString(qs::db::kProfileSection, "Engine", "", engine, sizeof engine, profile.c_str());
    if (engine[0] == '\0' &&
        !qs::db::ConnectionSettings::SQLiteFile(QString::fromStdString(dataRoot + "/enterprise.qsdb")).WriteToProfile(profile)) {
        warnings.push_back("cannot write the enterprise database settings");
        return false;
    }
    const qs::db::ConnectionSettings settings = qs::db::ConnectionSettings::FromProfile(profile);
    layout.database = settings.Describe().toStdString();
    if (settings.engine != qs::db::Engine::SQLite) return true;
    QString error;
    auto db = qs::db::DatabaseManager::Open(settings, true, &error);
    if (!db) {
        warnings.push_back("the enterprise database could not be made: " + error.toStdString());
        return false;
    }
    qs::db::DatabaseAdmin admin(*db);
    if (!admin.EnsureFirstUser()) {
        warnings.push_back("the enterprise database has no user: " + admin.LastError().toStdString());
        return false;
    }
    return true;
}

bool Install(const Options& options, Layout& layout, std::vector<std::string>& warnings) {
    const std::string windows = qs::env::WindowsDirectory();
    if (!qs::env::EnsureDirectory(windows)) {
        warnings.push_back("cannot create the Windows directory " + windows);
        return false;
    }
    if (!qs::app::WriteInstallationMode(options.mode)) {
        warnings.push_back("cannot write the registry mode");
        return false;
    }

    const std::string edition = options.mode == 2 ? qs::sysinfo::kEditionEnterprise : qs::sysinfo::kEditionStandard;
    layout.profile = windows + "/" + qs::app::ProfileFileForEdition(edition);
    const std::string dataRoot = options.dataRoot.empty() ? qs::env::UserDataDirectory() : options.dataRoot;

    // The system folder is the program's own: the statistics-import library
    // and the tips ship there.
    const std::string system = options.systemDirectory.empty() ? qs::env::InstallDirectory() : options.systemDirectory;
    layout.systemDirectory = system;
    bool ok = qs::profile::WriteString(layout.profile, "Settings", "System Directory", system);
    if (!IsDir(system)) warnings.push_back("the system directory does not exist: " + system);
    std::error_code ec;
    if (!fs::exists(system + "/" + qs::app::LexigroveLoader::kLibraryName, ec))
        warnings.push_back(std::string("the statistics-import library is missing in ") + system);
    if (!fs::exists(system + "/tips.txt", ec)) warnings.push_back("tips.txt is missing in " + system);

    ok = EnsureFolderSetting(layout.profile, "Working Directory", dataRoot + "/Working", layout.workingDirectory) && ok;
    ok = EnsureFolderSetting(layout.profile, "Files Path", dataRoot + "/Projects", layout.filesPath) && ok;
    ok = EnsureFolderSetting(layout.profile, "Helpfiles Directory", dataRoot + "/Help", layout.helpfilesDirectory) &&
         ok;

    if (options.mode == 2) ok = InstallEnterpriseDatabase(layout.profile, dataRoot, layout, warnings) && ok;

    const std::string& work = layout.workingDirectory;
    for (const char* f : CNetworkEnvironment::kDefaultFiles) ok = Touch(work + "/" + f) && ok;
    ok = Touch(work + "/display.def") && ok;
    const std::string styles = qs::sysinfo::ResolveNoCase(work, "styles");
    ok = qs::env::EnsureDirectory(styles) && ok;
    // The series style table and the default chart styles with their content
    // (a file the user changed stays as it is).
    ok = qs::graphs::InstallDefaultGraphFiles(QString::fromStdString(work)) && ok;
    for (const char* f : CNetworkEnvironment::kStyleFiles) ok = Touch(styles + "/" + f) && ok;
    const std::string data = qs::sysinfo::ResolveNoCase(work, "data");
    ok = qs::env::EnsureDirectory(data) && ok;
    // The sample projects are built next to the program; the machine's data
    // folder gets copies (users' folders are filled from there).
    // The user's project folder, where Open starts, gets them too, so a new
    // user finds them at once.
    for (const char* f : CNetworkEnvironment::kSampleFiles) {
        const std::string from = system + "/" + f;
        for (const std::string& folder : {data, layout.filesPath}) {
            const std::string to = folder + "/" + f;
            if (fs::exists(from, ec) && !fs::exists(to, ec)) fs::copy_file(from, to, ec);
        }
    }
    return ok;
}

}  // namespace qs::install
