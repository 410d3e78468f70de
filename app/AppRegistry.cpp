#include "AppRegistry.h"

#include "QsRegistry.h"

namespace qs::app {

unsigned long ReadInstallationMode() {
    // The key is opened for reading once and closed on every path.
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD mode = 0, type = 0, size = sizeof mode;
    const LONG rc = RegQueryValueEx(key, "Mode", nullptr, &type, reinterpret_cast<BYTE*>(&mode), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_DWORD ? mode : 0;
}

bool WriteInstallationMode(unsigned long mode) {
    return qs::registry::WriteDword(HKEY_LOCAL_MACHINE, kSettingsKey, "Mode", static_cast<DWORD>(mode));
}

void ReadConsoleTraceSettings(unsigned long& enable, std::string& directory, bool& hasDirectory) {
    enable = 0;
    hasDirectory = false;
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kConsoleKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    DWORD value = 0, type = 0, size = sizeof value;
    if (RegQueryValueEx(key, "IsEnable", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
        size == 4)
        enable = value;
    if (enable != 0) {
        char buffer[257] = {};
        DWORD bytes = 256;
        if (RegQueryValueEx(key, "Directory", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) ==
                ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ)) {
            directory.assign(buffer);
            hasDirectory = true;
        }
    }
    RegCloseKey(key);
}

bool WriteClassesRootDefault(const std::string& subkey, const std::string& value) {
    return qs::registry::WriteString(HKEY_CLASSES_ROOT, subkey, "", value);
}

std::string ReadClassesRootDefault(const std::string& subkey) {
    std::string v;
    qs::registry::ReadString(HKEY_CLASSES_ROOT, subkey, "", &v);
    return v;
}

}  // namespace qs::app
