#include "startup/CNetworkEnvironment.h"

#include <cstdio>
#include <filesystem>
#include <strings.h>
#include <system_error>

#include "QsProfile.h"
#include "SystemInfo.h"
#include "startup/WorkstationSettings.h"

namespace si = qs::sysinfo;

namespace {

void ExclaimNet(const std::string& text, const std::string& caption = std::string()) {
    si::ShowMessage(text, caption, si::MessageIcon::Exclamation);
}

std::string Join(const std::string& dir, const std::string& name) { return dir + "/" + name; }

}  // namespace

const char* const CNetworkEnvironment::kDefaultFiles[7] = {"stats.def",  "interpolationstats.def", "fonts.def",
                                                           "layout.def", "titles.def",             "pagesetup.def",
                                                           "graphs.rgb"};
const char* const CNetworkEnvironment::kStyleFiles[17] = {
    "DEF_ARR.RGS", "DEF_ARR2.RGS", "DEF_COL.RGS",  "DEF_EXH.RGS",  "DEF_EXH2.RGS", "DEF_EXH3.rgs",
    "DEF_EXH4.RGS", "DEF_MET.RGS", "DEF_MET2.rgs", "DEF_MET3.RGS", "DEF_REP.RGS",  "DEF_REP2.rgs",
    "DEF_REP3.rgs", "DEF_REP4.rgs", "DEF_SDF.RGS", "zoom.rgs",     "DEF_RESPLOT.rgs"};
const char* const CNetworkEnvironment::kSampleFiles[2] = {"sample.qs5", "sampleinterim.qs5"};

std::string CNetworkEnvironment::MachineProfile() const { return si::ResolveNoCase(m_windowsDirectory, m_profileName); }

std::string CNetworkEnvironment::UserProfile() const {
    // The user's copy keeps the machine file's own spelling, so the
    // application finds it under the same name.
    const std::string machine = MachineProfile();
    return Join(m_userWindowsDirectory, std::filesystem::path(machine).filename().string());
}

bool CNetworkEnvironment::Setup(bool terminalServer, const std::string& edition, const std::string& userName,
                                const std::string& windowsDirectory, const std::string& userWindowsDirectory) {
    m_profileName = si::ProfileNameForEdition(edition);
    if (m_profileName.empty()) return m_ready = false;
    m_terminalServer = terminalServer;
    m_edition = edition;
    m_userName = userName;
    m_windowsDirectory = windowsDirectory;
    m_userWindowsDirectory = userWindowsDirectory;
    m_ready = LocateDirectories();
    return m_ready;
}

bool CNetworkEnvironment::CreateDirectory(const std::string& path) {
    if (si::DirectoryExists(path)) return true;
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (si::DirectoryExists(path)) return true;
    ExclaimNet("Unable to create directory :\n" + path);
    return false;
}

bool CNetworkEnvironment::LocateDirectories() {
    if (!si::FileExists(MachineProfile(), true)) return false;
    if (!si::FindSystemDirectory(m_edition, m_windowsDirectory, m_systemDirectory)) return false;
    if (!si::FindWorkingDirectory(m_edition, m_windowsDirectory, m_workingDirectory)) return false;
    if (!m_terminalServer) return true;

    // <home>/Windows -> <home>/QUILLSTONE
    const std::string& uw = m_userWindowsDirectory;
    if (uw.size() < 8) {
        ExclaimNet("Unable to locate the User working directory!");
        return false;
    }
    m_userWorkingDirectory = uw.substr(0, uw.size() - 8) + "/" + m_edition;
    if (!CreateDirectory(m_userWorkingDirectory)) {
        ExclaimNet("Unable to locate the User working directory!");
        return false;
    }

    const std::string userProfile = UserProfile();
    auto clean = [](std::string p) {
        if (!p.empty() && (p.back() == '\\' || p.back() == '/')) p.pop_back();
        return p;
    };
    std::string userFiles, machineFiles;
    const bool haveUser = si::FileExists(userProfile, false) && qs::profile::HasValue(userProfile, "Settings", "Files Path");
    const bool haveMachine = qs::profile::HasValue(MachineProfile(), "Settings", "Files Path");
    if (haveUser) userFiles = clean(qs::profile::ReadString(userProfile, "Settings", "Files Path"));
    if (haveMachine) machineFiles = clean(qs::profile::ReadString(MachineProfile(), "Settings", "Files Path"));
    if (haveUser && haveMachine && strcasecmp(userFiles.c_str(), machineFiles.c_str()) != 0 &&
        si::DirectoryExists(userFiles)) {
        m_userDataDirectory = userFiles;
    } else {
        m_userDataDirectory = m_userWorkingDirectory + "/Data";
        if (!CreateDirectory(m_userDataDirectory)) {
            ExclaimNet("Unable to locate the User data directory!");
            return false;
        }
    }
    return true;
}

bool CNetworkEnvironment::InitStandardUser() { return m_terminalServer ? InitUserFiles() : true; }

bool CNetworkEnvironment::InitNetworkUser() { return m_terminalServer ? InitUserFiles() : true; }

bool CNetworkEnvironment::InitUserFiles() {
    const std::string machineProfile = MachineProfile();
    const std::string profileLeaf = std::filesystem::path(machineProfile).filename().string();
    const std::string userProfile = UserProfile();

    // The user's own profile (an existing one is kept).
    if (!CopyFileToUser(profileLeaf, m_userWindowsDirectory, m_windowsDirectory, true)) return false;

    // Help files.
    qs::profile::WriteString(userProfile, "Settings", "Helpfiles Directory",
                             qs::profile::ReadString(machineProfile, "Settings", "Helpfiles Directory"));

    // Default files.
    for (const char* f : kDefaultFiles) CopyFileToUser(f, m_userWorkingDirectory, m_workingDirectory, false);

    // Style files.
    const std::string userStyles = m_userWorkingDirectory + "/styles";
    if (CreateDirectory(userStyles)) {
        const std::string machineStyles = si::ResolveNoCase(m_workingDirectory, "styles");
        for (const char* f : kStyleFiles) CopyFileToUser(f, userStyles, machineStyles, false);
    }

    // Samples.
    if (CreateDirectory(m_userDataDirectory)) {
        const std::string samples = si::ResolveNoCase(m_workingDirectory, "data");
        if (CreateDirectory(samples))
            for (const char* f : kSampleFiles) CopyFileToUser(f, m_userDataDirectory, samples, false);
    }

    // Dictionary path.
    const std::string key = m_edition == si::kEditionNetwork ? "Network Dictionary Path" : "Dictionary Path";
    if (!qs::profile::HasValue(machineProfile, "Settings", key)) {
        ExclaimNet(" Unable to update user's virtual .ini file with the " + key + " directory entry not found in\n" +
                   machineProfile);
    } else {
        std::string dict = qs::profile::ReadString(machineProfile, "Settings", key);
        if (!dict.empty() && (dict.back() == '\\' || dict.back() == '/')) dict.pop_back();
        if (!si::DirectoryExists(dict))
            ExclaimNet(" Unable to update user's virtual .ini file with the " + key +
                       " directory does not exist:  \n\n" + dict);
        else
            qs::profile::WriteString(userProfile, "Settings", key, dict);
    }

    // The user's own folders.
    if (!qs::profile::WriteString(userProfile, "Settings", "System Directory", m_systemDirectory)) {
        ExclaimNet("Unable to update user's virtual ini file with the System Directory!");
        return false;
    }
    if (!qs::profile::WriteString(userProfile, "Settings", "Working Directory", m_userWorkingDirectory)) {
        ExclaimNet("Unable to update user's virtual ini file with the Working Directory!");
        return false;
    }
    if (!qs::profile::WriteString(userProfile, "Settings", "Files Path", m_userDataDirectory)) {
        ExclaimNet("Unable to update user's virtual ini file with the Files Path!");
        return false;
    }

    // Done: later starts of this user skip the set-up.
    if (!qs::profile::WriteString(userProfile, "TERMINAL SERVER", "Initialization Done", "YES"))
        ExclaimNet("Unable to update user's virtual .ini file with terminal server init done!");
    return true;
}

bool CNetworkEnvironment::CopyFileToUser(const std::string& name, const std::string& destinationFolder,
                                         const std::string& sourceFolder, bool report) {
    const std::string destination = Join(destinationFolder, name);
    if (si::FileExists(destination, false)) return true;  // never overwrite a user's own copy
    const std::string source = si::ResolveNoCase(sourceFolder, name);
    const std::string text = "Unable to copy file " + name + " from " + sourceFolder + " to " + destinationFolder;
    if (!si::FileExists(source, false)) {
        if (report) ExclaimNet(text + ".\nSource file does not exist", "Copying File Error");
        return false;
    }
    if (!CopyFileRaw(source, destination)) {
        if (report)
            ExclaimNet(text + ".\nCheck [Prevent File Copy] key value in section [TERMINAL SERVER] of network.ini file",
                       "Copying File Error");
        return false;
    }
    return true;
}

bool CNetworkEnvironment::CopyFileRaw(const std::string& source, const std::string& destination) {
    FILE* in = std::fopen(source.c_str(), "rb");
    if (!in) {
        ExclaimNet("Open of input file \n[" + source + "] \nfailed!");
        return false;
    }
    // Written beside the target and renamed, so a failed copy never leaves a
    // half file that a later start would take for the user's own copy.
    const std::string temp = destination + ".part";
    FILE* out = std::fopen(temp.c_str(), "wb");
    if (!out) {
        std::fclose(in);
        ExclaimNet("Open of output file \n[" + destination + "] \nfailed!");
        return false;
    }
    char buffer[8192];
    bool ok = true;
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) {
        if (std::fwrite(buffer, 1, n, out) != n) {
            ok = false;
            break;
        }
    }
    if (std::ferror(in)) ok = false;
    std::fclose(in);
    if (std::fclose(out) != 0) ok = false;
    if (ok && std::rename(temp.c_str(), destination.c_str()) != 0) ok = false;
    if (!ok) {
        std::remove(temp.c_str());
        ExclaimNet("Error writing output file: \n[" + destination + "] ");
    }
    return ok;
}
