#include "QsEnvironment.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace qs::env {

namespace {

std::string StripTrailingSlash(std::string s) {
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

std::string OrDefault(const char* name, const std::string& fallback) {
    std::string v = Get(name);
    return StripTrailingSlash(v.empty() ? fallback : v);
}

}  // namespace

std::string Get(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

bool IsSet(const char* name) { return std::getenv(name) != nullptr; }

std::string HomeDirectory() {
    std::string h = Get("HOME");
    if (!h.empty()) return StripTrailingSlash(h);
    if (const passwd* pw = getpwuid(getuid())) return pw->pw_dir;
    return "/tmp";
}

std::string XdgConfigHome() { return OrDefault("XDG_CONFIG_HOME", HomeDirectory() + "/.config"); }
std::string XdgDataHome() { return OrDefault("XDG_DATA_HOME", HomeDirectory() + "/.local/share"); }

std::string WindowsDirectory() { return OrDefault("QS_WINDOWS_DIR", XdgConfigHome() + "/quillstone"); }
std::string MachineConfigDirectory() { return OrDefault("QS_MACHINE_DIR", XdgConfigHome() + "/quillstone/machine"); }
std::string UserConfigDirectory() { return OrDefault("QS_USER_DIR", XdgConfigHome() + "/quillstone/user"); }
std::string UserDataDirectory() { return OrDefault("QS_DATA_DIR", XdgDataHome() + "/quillstone"); }

std::string IpcNamespace() {
    std::string v = Get("QS_IPC_NAMESPACE");
    if (!v.empty()) return v;
    return "qs-" + std::to_string(getuid());
}

std::string ExecutableDirectory() {
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return ".";
    return p.parent_path().string();
}

std::string InstallDirectory() { return OrDefault("QS_INSTALL_DIR", ExecutableDirectory()); }

std::string UserName() {
    if (const passwd* pw = getpwuid(getuid())) return pw->pw_name;
    std::string u = Get("USER");
    return u.empty() ? std::string("user") : u;
}

bool EnsureDirectory(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return std::filesystem::is_directory(path, ec);
}

}  // namespace qs::env
