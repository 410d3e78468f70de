#include "AppRegistry.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "QsEnvironment.h"
#include "SystemInfo.h"

// Interim store until the platform registry is available: one ini file per
// root, the key path as section.
namespace qs::app {

namespace {

std::string RootFile(const char* root) {
    const std::string dir = std::string(root) == "HKCU" ? qs::env::UserConfigDirectory() : qs::env::MachineConfigDirectory();
    return dir + "/" + root + ".interim.ini";
}

bool ReadValue(const char* root, const std::string& key, const std::string& name, std::string& value) {
    return qs::sysinfo::ReadIniString(RootFile(root), key, name, value);
}

bool WriteValue(const char* root, const std::string& key, const std::string& name, const std::string& value) {
    const std::string file = RootFile(root);
    std::map<std::string, std::map<std::string, std::string>> all;
    std::ifstream in(file);
    std::string line, section;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        auto eq = line.find('=');
        if (eq != std::string::npos) all[section][line.substr(0, eq)] = line.substr(eq + 1);
    }
    all[key][name] = value;
    qs::env::EnsureDirectory(qs::env::MachineConfigDirectory());
    qs::env::EnsureDirectory(qs::env::UserConfigDirectory());
    std::ofstream out(file + ".tmp", std::ios::trunc);
    for (auto& [s, kv] : all) {
        out << '[' << s << "]\n";
        for (auto& [k, v] : kv) out << k << '=' << v << '\n';
    }
    out.close();
    return out && std::rename((file + ".tmp").c_str(), file.c_str()) == 0;
}

}  // namespace

unsigned long ReadInstallationMode() {
    std::string v;
    if (!ReadValue("HKLM", kSettingsKey, "Mode", v)) return 0;
    return std::strtoul(v.c_str(), nullptr, 10);
}

bool WriteInstallationMode(unsigned long mode) { return WriteValue("HKLM", kSettingsKey, "Mode", std::to_string(mode)); }

void ReadConsoleTraceSettings(unsigned long& enable, std::string& directory, bool& hasDirectory) {
    std::string v;
    enable = ReadValue("HKLM", kConsoleKey, "IsEnable", v) ? std::strtoul(v.c_str(), nullptr, 10) : 0;
    hasDirectory = ReadValue("HKLM", kConsoleKey, "Directory", directory);
}

bool WriteClassesRootDefault(const std::string& subkey, const std::string& value) {
    return WriteValue("HKCR", subkey, "@", value);
}

std::string ReadClassesRootDefault(const std::string& subkey) {
    std::string v;
    ReadValue("HKCR", subkey, "@", v);
    return v;
}

}  // namespace qs::app
