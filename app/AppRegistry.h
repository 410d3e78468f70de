#pragma once
// The registry values the application reads and writes, in one place, so the
// keys are spelled once.
#include <string>

namespace qs::app {

// HKLM key of the product's settings and of the console trace.
inline constexpr const char* kSettingsKey = "SOFTWARE\\Corvinet\\Quillstone Workstation\\5.0\\Settings";
inline constexpr const char* kConsoleKey = "SOFTWARE\\Corvinet\\Quillstone Workstation\\5.0\\Console";

// DWORD "Mode" of the settings key; 0 when the key or the value is missing.
unsigned long ReadInstallationMode();
bool WriteInstallationMode(unsigned long mode);

// "IsEnable" (0 when missing or unreadable) and "Directory" of the console key.
void ReadConsoleTraceSettings(unsigned long& enable, std::string& directory, bool& hasDirectory);

// Default value of HKEY_CLASSES_ROOT\<subkey>.
bool WriteClassesRootDefault(const std::string& subkey, const std::string& value);
std::string ReadClassesRootDefault(const std::string& subkey);

}  // namespace qs::app
