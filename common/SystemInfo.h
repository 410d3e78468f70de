#pragma once
// System information shared by the main program and the message library:
// the Windows-directory stand-in, the Terminal Server test, the user's own
// Windows directory on a Terminal Server, and the lookup of the system and
// working directories in the edition's profile.
//
// Paths use "/" and carry no trailing "/". Every failure is reported through
// the message sink (a message box in the programs, a recorder in tests) at
// the point where it is found; callers only pass the false result up.
#include <functional>
#include <string>

namespace qs::sysinfo {

// Edition texts.
inline constexpr const char* kEditionStandard = "QUILLSTONE";
inline constexpr const char* kEditionEnterprise = "QSEE";
inline constexpr const char* kEditionNetwork = "QUILLSTONE NETWORK";

// Longest path the system information keeps.
inline constexpr std::size_t kMaxPath = 260;

enum class MessageIcon { None, Information, Exclamation, Stop };

// Receives every message of this module. The default writes to stderr, so a
// program that installs nothing still tells the user what went wrong.
using MessageSink = std::function<void(const std::string& text, const std::string& caption, MessageIcon icon)>;
void SetMessageSink(MessageSink sink);   // an empty sink restores the default
void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon);

// The machine's Windows directory (the QS_WINDOWS_DIR stand-in); empty when
// it cannot be given (longer than kMaxPath).
std::string GetMachineWindowsDirectory();

// The environment variable QS_TERMSERV_QS decides: exactly "YES" or "NO".
// Any other value (lower case included) falls through to the platform test,
// and this platform is never a Terminal Server. True when an answer was found.
bool IsTerminalServer(bool& flag);

// "ROOTDRIVE": $ROOTDRIVE/Windows. "HOMEDRIVE": $HOMEDRIVE$HOMEPATH/Windows;
// with neither variable set, the user's home folder stands in for them.
// Any other variable fails. True when the directory exists.
bool CheckUserWindowsDir(const std::string& variable, std::string& directory);

// The user's own Windows directory on a Terminal Server (network.ini road for
// "QSEE" and "QUILLSTONE NETWORK", then ROOTDRIVE, HOMEDRIVE, the alternate
// home path). Shows its message and fails when none exists or the one found
// does not end in "/Windows".
bool FindUserWindowsDirectory(const std::string& edition, const std::string& userName, std::string& directory);

// Windows directory, Terminal Server flag, user name and, on a Terminal
// Server, the user's own Windows directory.
bool GetSystemInformation(const std::string& edition, bool& terminalServer, std::string& windowsDirectory,
                          std::string& userWindowsDirectory);

// The user name standing in for the Windows user name; empty on failure.
std::string GetUserName();

// "Qstoneee.ini" for "QSEE", "Qstone5.ini" for the two standard editions,
// empty for anything else.
std::string ProfileNameForEdition(const std::string& edition);

// "System Directory" / "Working Directory" of section "Settings" in
// <directory>/<profile of the edition>; must name an existing folder.
bool FindSystemDirectory(const std::string& edition, const std::string& directory, std::string& systemDirectory);
bool FindWorkingDirectory(const std::string& edition, const std::string& directory, std::string& workingDirectory);

// True when the path exists; otherwise, with report, shows
// "Unable to locate [<path>] " captioned "Unable to locate".
bool FileExists(const std::string& path, bool report);
bool DirectoryExists(const std::string& path);

// <directory>/<name>, matching an existing entry without regard to case (the
// installed files and profiles were named on a case-blind file system); the
// name as given when nothing matches.
std::string ResolveNoCase(const std::string& directory, const std::string& name);

// Reads one value of an ini file, sections and keys without regard to case.
// False when the file, section or key is missing.
bool ReadIniString(const std::string& file, const std::string& section, const std::string& key, std::string& value);

// The values every process of the program shares once start-up has worked
// them out: the Windows directory, the profile directory, the Terminal
// Server flag.
struct PublishedSystemValues {
    std::string windowsDirectory;
    std::string profileDirectory;
    bool terminalServer = false;
};
void PublishSystemValues(const PublishedSystemValues& values);
// False when nothing was published yet (the values are then left default).
bool ReadPublishedSystemValues(PublishedSystemValues& values);

}  // namespace qs::sysinfo
