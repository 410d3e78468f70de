#pragma once
// Per-user set-up of a standard or network installation. On a Terminal
// Server every user gets, at every start, an own profile in the user's
// Windows directory, a working folder with the default and style files and
// a data folder with the samples; a user's own copies are never
// overwritten. Elsewhere it only checks that the machine-wide profile names
// an existing system and working directory.
#include <string>

class CNetworkEnvironment {
public:
    CNetworkEnvironment() = default;
    virtual ~CNetworkEnvironment() = default;

    bool Setup(bool terminalServer, const std::string& edition, const std::string& userName,
               const std::string& windowsDirectory, const std::string& userWindowsDirectory);
    bool InitStandardUser();
    bool InitNetworkUser();

    static bool CopyFileToUser(const std::string& name, const std::string& destinationFolder,
                               const std::string& sourceFolder, bool report);
    static bool CopyFileRaw(const std::string& source, const std::string& destination);

    // The default files and style files copied into a user's working folder.
    static const char* const kDefaultFiles[7];
    static const char* const kStyleFiles[17];
    static const char* const kSampleFiles[2];

    bool IsReady() const { return m_ready; }
    const std::string& UserWorkingDirectory() const { return m_userWorkingDirectory; }
    const std::string& UserDataDirectory() const { return m_userDataDirectory; }
    const std::string& SystemDirectory() const { return m_systemDirectory; }
    const std::string& WorkingDirectory() const { return m_workingDirectory; }
    std::string MachineProfile() const;
    std::string UserProfile() const;

private:
    bool LocateDirectories();
    bool InitUserFiles();
    bool CreateDirectory(const std::string& path);

    bool m_ready = false;
    bool m_terminalServer = false;
    std::string m_windowsDirectory;
    std::string m_userWindowsDirectory;
    std::string m_userName;
    std::string m_userWorkingDirectory;
    std::string m_userDataDirectory;
    std::string m_systemDirectory;
    std::string m_workingDirectory;
    std::string m_profileName;
    std::string m_edition;
};
