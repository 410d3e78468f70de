#pragma once
// Which edition and installation type this is, worked out from the files
// installed beside the program, and the set-up of the profile directory.
//
//  type  edition               profile         family
//  1     QUILLSTONE            qstone5.ini     standard  (full: SYSDEFS.PC beside the program)
//  2     QSEE                  qstoneee.ini    enterprise (full, with the snap-in folder)
//  3     QUILLSTONE            qstone5.ini     standard  (client)
//  4     QSEE                  qstoneee.ini    enterprise (client: automation server only)
//  5     QUILLSTONE NETWORK    qstone5.ini     standard  (full, NETWORK.PC beside the program)
//  6     QUILLSTONE NETWORK    qstone5.ini     standard  (client, NETWORK.PC beside the program)
#include <string>

namespace qs::app {

// Files that mark an installation in the program directory.
inline constexpr const char* kSystemDefinitionFile = "SYSDEFS.PC";
inline constexpr const char* kEnterpriseSnapinFile = "QuillstoneEnterpriseSnapin.dll";
inline constexpr const char* kNetworkMarkerFile = "NETWORK.PC";

bool IsStandardFamily(int installationType);   // 1, 3, 5, 6
bool IsEnterpriseFamily(int installationType); // 2, 4

// The profile file name start-up uses for an edition.
std::string ProfileFileForEdition(const std::string& edition);

struct InstallationConfig {
    bool standardResources = true;
    std::string edition;
    int type = 0;
    std::string profilePath;
    int applicationMode = 0;  // 16 for a detected enterprise installation
};

// The program directory is qs::env::InstallDirectory().
bool DetectInstallationType(bool embedding, bool automation, std::string& edition, int& type);
bool InitSystemEnvironment(const std::string& edition, std::string& profileDirectory);
bool ConfigureInstallationType(bool embedding, bool automation, InstallationConfig& config);

}  // namespace qs::app
