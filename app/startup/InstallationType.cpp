#include "startup/InstallationType.h"

#include <filesystem>
#include <strings.h>

#include "startup/CNetworkEnvironment.h"
#include "MessageBox.h"
#include "QsEnvironment.h"
#include "SystemInfo.h"

namespace si = qs::sysinfo;

namespace qs::app {

namespace {

bool Installed(const std::string& dir, const char* name) { return si::FileExists(si::ResolveNoCase(dir, name), false); }

}  // namespace

bool IsStandardFamily(int t) { return t == 1 || t == 3 || t == 5 || t == 6; }
bool IsEnterpriseFamily(int t) { return t == 2 || t == 4; }

std::string ProfileFileForEdition(const std::string& edition) {
    return edition == si::kEditionEnterprise ? "qstoneee.ini" : "qstone5.ini";
}

bool DetectInstallationType(bool /*embedding*/, bool /*automation*/, std::string& edition, int& type) {
    const std::string dir = qs::env::InstallDirectory();
    if (dir.size() >= si::kMaxPath) return false;
    const bool network = Installed(dir, kNetworkMarkerFile);
    if (!Installed(dir, kSystemDefinitionFile)) {
        if (Installed(dir, kEnterpriseSnapinFile)) {
            edition = si::kEditionEnterprise;
            type = 4;
        } else if (network) {
            edition = si::kEditionNetwork;
            type = 6;
        } else {
            edition = si::kEditionStandard;
            type = 3;
        }
        return true;
    }
    // A full enterprise installation keeps its snap-in beside the program
    // folder: <root>/QS2000/bin next to <root>/Presentation/VantorSnapin.
    static const std::string tail = "QS2000/bin";
    if (dir.size() > tail.size()) {
        const std::string end = dir.substr(dir.size() - tail.size());
        if (strcasecmp(end.c_str(), tail.c_str()) == 0) {
            const std::string snapin = dir.substr(0, dir.size() - tail.size()) + "Presentation/VantorSnapin";
            if (si::DirectoryExists(snapin)) {
                edition = si::kEditionEnterprise;
                type = 2;
                return true;
            }
        }
    }
    edition = network ? si::kEditionNetwork : si::kEditionStandard;
    type = network ? 5 : 1;
    return true;
}

bool InitSystemEnvironment(const std::string& edition, std::string& profileDirectory) {
    bool terminalServer = false;
    std::string windows, userWindows;
    if (!si::GetSystemInformation(edition, terminalServer, windows, userWindows)) return false;
    profileDirectory = terminalServer ? userWindows : windows;
    si::PublishSystemValues({windows, profileDirectory, terminalServer});

    if (edition == si::kEditionEnterprise) return true;
    const std::string user = si::GetUserName();
    if (user.empty()) {
        si::ShowMessage("Unable to obtain user name from operating system!", "", si::MessageIcon::Exclamation);
        return false;
    }
    CNetworkEnvironment env;
    if (!env.Setup(terminalServer, edition, user, windows, userWindows)) return false;
    return edition == si::kEditionNetwork ? env.InitNetworkUser() : env.InitStandardUser();
}

bool ConfigureInstallationType(bool embedding, bool automation, InstallationConfig& config) {
    std::string edition;
    int type = 0;
    if (!DetectInstallationType(embedding, automation, edition, type)) {
        AfxMessageBox(QStringLiteral("Could not determine the installation type for the Quillstone application!"),
                      MB_ICONINFORMATION);
        return false;
    }
    const std::string profileName = ProfileFileForEdition(edition);
    config.standardResources = IsStandardFamily(type);
    if (IsEnterpriseFamily(type)) config.applicationMode = 16;
    std::string profileDirectory;
    if (!InitSystemEnvironment(edition, profileDirectory)) {
        AfxMessageBox(QStringLiteral("Unable to perform system intialization."), MB_ICONSTOP);
        return false;
    }
    config.edition = edition;
    config.type = type;
    config.profilePath = si::ResolveNoCase(profileDirectory, profileName);
    return true;
}

}  // namespace qs::app
