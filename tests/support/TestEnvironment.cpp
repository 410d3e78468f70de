#include "TestEnvironment.h"

#include <atomic>
#include <cstdio>
#include <random>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

#include "QsEnvironment.h"

namespace fs = std::filesystem;

namespace qs::test {

namespace {

std::string g_root;

struct RootRemover {
    ~RootRemover() {
        // Keep the folder when asked to, for looking at what a failing test left.
        if (!g_root.empty() && std::getenv("QS_KEEP_TEST_DIRS") == nullptr) {
            std::error_code ec;
            fs::remove_all(g_root, ec);
        }
    }
} g_remover;

}  // namespace

void SetEnv(const std::string& name, const std::string& value) { ::setenv(name.c_str(), value.c_str(), 1); }
void UnsetEnv(const std::string& name) { ::unsetenv(name.c_str()); }

void IsolateProcess() {
    if (!g_root.empty()) return;
    std::string base = fs::temp_directory_path().string() + "/qstest-XXXXXX";
    if (::mkdtemp(base.data()) == nullptr) throw std::runtime_error("cannot create test folder");
    g_root = base;
    auto sub = [](const char* name) {
        std::string p = g_root + "/" + name;
        fs::create_directories(p);
        return p;
    };
    SetEnv("HOME", sub("home"));
    SetEnv("XDG_CONFIG_HOME", sub("home/.config"));
    SetEnv("XDG_DATA_HOME", sub("home/.local/share"));
    std::string runtime = sub("runtime");
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
    SetEnv("XDG_RUNTIME_DIR", runtime);
    SetEnv("QS_WINDOWS_DIR", sub("windows"));
    SetEnv("QS_MACHINE_DIR", sub("machine"));
    SetEnv("QS_USER_DIR", sub("user"));
    SetEnv("QS_DATA_DIR", sub("data"));
    SetEnv("TMPDIR", sub("tmp"));
    // Process ids are reused, and a killed program can leave shared memory
    // behind under its namespace: a random part keeps every run apart.
    std::random_device entropy;
    char tag[17];
    std::snprintf(tag, sizeof tag, "%08x%08x", entropy(), entropy());
    SetEnv("QS_IPC_NAMESPACE", "qst" + std::to_string(::getpid()) + "x" + tag);
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) SetEnv("QT_QPA_PLATFORM", "offscreen");
    fs::current_path(sub("work"));
}

const std::string& ProcessRoot() { return g_root; }

std::string MakeTempDir(const std::string& hint) {
    static std::atomic<int> counter{0};
    std::string p = g_root + "/" + hint + "-" + std::to_string(++counter);
    fs::create_directories(p);
    return p;
}

std::string DataDir() {
    std::string v = qs::env::Get("QS_TEST_DATA_DIR");
    return v.empty() ? std::string(QS_TEST_DATA_DIR_DEFAULT) : v;
}

std::string BinDir() {
    std::string v = qs::env::Get("QS_BUILD_BIN_DIR");
    return v.empty() ? qs::env::ExecutableDirectory() : v;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace qs::test
