#pragma once
// Where the program keeps what lives outside a project. Every location can be
// redirected by an environment variable, so tests run side by side in
// temporary folders and never touch a user's own files.
//
//   QS_WINDOWS_DIR    the Windows-directory stand-in (ini profiles, system.ini)
//                     default $XDG_CONFIG_HOME/quillstone
//   QS_MACHINE_DIR    machine-wide configuration (HKLM and HKCR registry files)
//                     default $XDG_CONFIG_HOME/quillstone/machine
//   QS_USER_DIR       per-user configuration (HKCU registry file)
//                     default $XDG_CONFIG_HOME/quillstone/user
//   QS_DATA_DIR       per-user data (documents, samples, styles for network users)
//                     default $XDG_DATA_HOME/quillstone
//   QS_IPC_NAMESPACE  prefix of shared-memory, semaphore and lock names
//                     default "qs-<uid>"
//   QS_INSTALL_DIR    the installation folder (system directory, help, defaults)
//                     default: the folder holding the running executable
//
// Folders are returned without a trailing "/".
#include <string>

namespace qs::env {

std::string Get(const char* name);   // empty when unset
bool IsSet(const char* name);

std::string HomeDirectory();
std::string XdgConfigHome();
std::string XdgDataHome();

std::string WindowsDirectory();
std::string MachineConfigDirectory();
std::string UserConfigDirectory();
std::string UserDataDirectory();
std::string IpcNamespace();
std::string InstallDirectory();
std::string ExecutableDirectory();

// The login name that stands in for the Windows user name.
std::string UserName();

// Creates the folder and its parents; true when it exists afterwards.
bool EnsureDirectory(const std::string& path);

}  // namespace qs::env
