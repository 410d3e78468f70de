#include "SystemInfo.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <system_error>

#include "QsEnvironment.h"
#include "QsSharedMemory.h"

namespace qs::sysinfo {

namespace {

namespace fs = std::filesystem;

std::mutex& SinkMutex() {
    static std::mutex m;
    return m;
}

MessageSink& Sink() {
    static MessageSink sink;
    return sink;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

bool EqualsNoCase(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && EqualsNoCase(s.substr(s.size() - tail.size()), tail);
}

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

void Exclaim(const std::string& text, const std::string& caption = std::string()) {
    ShowMessage(text, caption, MessageIcon::Exclamation);
}

// Shared by the two directory lookups: the key names an existing folder.
bool FindProfileDirectory(const std::string& edition, const std::string& directory, const char* key,
                          const char* missingFolderText, const char* missingKeyText, std::string& result) {
    const std::string profileName = ProfileNameForEdition(edition);
    if (profileName.empty()) return false;
    const std::string profile = ResolveNoCase(directory, profileName);
    if (!FileExists(profile, true)) return false;
    std::string value;
    if (!ReadIniString(profile, "Settings", key, value) || value.empty()) {
        Exclaim(missingKeyText, profileName);
        return false;
    }
    if (!DirectoryExists(value)) {
        Exclaim(missingFolderText, profileName);
        return false;
    }
    result = value;
    return true;
}

// Layout of the published values in shared memory. The magic tells a block
// that was written from one that was only created.
struct SharedSystemBlock {
    std::uint32_t magic;
    std::uint32_t terminalServer;
    char windowsDirectory[kMaxPath + 1];
    char profileDirectory[kMaxPath + 1];
};
constexpr std::uint32_t kSharedSystemMagic = 0x51535359;  // "QSSY"

constexpr const char* kSharedSystemName = "QuillstoneSystemInformation";

// The published block stays open for the life of the process, so other
// processes find it while any process of the program runs; it goes away
// with the last of them.
qs::ipc::SharedMemory& PublishedBlock() {
    static qs::ipc::SharedMemory block;
    return block;
}

void CopyField(char (&dst)[kMaxPath + 1], const std::string& src) {
    std::memset(dst, 0, sizeof dst);
    std::memcpy(dst, src.data(), std::min(src.size(), kMaxPath));
}

}  // namespace

void SetMessageSink(MessageSink sink) {
    std::lock_guard lock(SinkMutex());
    Sink() = std::move(sink);
}

void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
    MessageSink sink;
    {
        std::lock_guard lock(SinkMutex());
        sink = Sink();
    }
    if (sink) {
        sink(text, caption, icon);
        return;
    }
    if (caption.empty())
        std::fprintf(stderr, "%s\n", text.c_str());
    else
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

std::string GetMachineWindowsDirectory() {
    std::string dir = qs::env::WindowsDirectory();
    if (dir.size() > kMaxPath) return std::string();
    return dir;
}

bool IsTerminalServer(bool& flag) {
    if (qs::env::IsSet("QS_TERMSERV_QS")) {
        const std::string v = qs::env::Get("QS_TERMSERV_QS");
        if (v == "NO") {
            flag = false;
            return true;
        }
        if (v == "YES") {
            flag = true;
            return true;
        }
    }
    // No multi-user session host on this platform.
    flag = false;
    return true;
}

bool CheckUserWindowsDir(const std::string& variable, std::string& directory) {
    std::string base;
    if (variable == "ROOTDRIVE") {
        if (!qs::env::IsSet("ROOTDRIVE")) return false;
        base = qs::env::Get("ROOTDRIVE");
    } else if (variable == "HOMEDRIVE") {
        if (qs::env::IsSet("HOMEDRIVE") || qs::env::IsSet("HOMEPATH"))
            base = qs::env::Get("HOMEDRIVE") + qs::env::Get("HOMEPATH");
        else
            base = qs::env::HomeDirectory();
    } else {
        return false;
    }
    while (!base.empty() && base.back() == '/') base.pop_back();
    directory = base + "/Windows";
    return DirectoryExists(directory);
}

bool FindUserWindowsDirectory(const std::string& edition, const std::string& userName, std::string& directory) {
    const bool networkRoad = edition == kEditionEnterprise || edition == kEditionNetwork;
    std::string systemDirectory;
    if (!FindSystemDirectory(edition, GetMachineWindowsDirectory(), systemDirectory)) return false;

    const std::string networkIni = ResolveNoCase(systemDirectory, "network.ini");
    std::string candidate;
    bool found = false;
    if (networkRoad) {
        std::string home;
        if (ReadIniString(networkIni, "TERMINAL SERVER", "Designated Home Directory Path", home) && !home.empty()) {
            candidate = JoinPath(home, userName) + "/Windows";
            found = DirectoryExists(candidate);
        }
    }
    if (!found) found = CheckUserWindowsDir("ROOTDRIVE", candidate);
    if (!found) found = CheckUserWindowsDir("HOMEDRIVE", candidate);
    if (!found && networkRoad) {
        std::string alternate;
        if (ReadIniString(networkIni, "TERMINAL SERVER", "Alternate Home Directory Path", alternate) &&
            !alternate.empty()) {
            candidate = JoinPath(alternate, userName) + "/Windows";
            found = DirectoryExists(candidate);
        }
    }
    if (!found) {
        Exclaim(
            "Unable to locate user's Terminal Server virtual Windows directory!.\n"
            "Please make sure that the virtual windows directory exists.\n"
            "Details can be found in installation instructions.");
        return false;
    }
    if (!EndsWithNoCase(candidate, "/Windows")) {
        Exclaim("Invalid user's virtual Windows directory:  \n\n" +
                candidate.substr(candidate.size() >= 8 ? candidate.size() - 8 : 0));
        return false;
    }
    directory = candidate;
    return true;
}

bool GetSystemInformation(const std::string& edition, bool& terminalServer, std::string& windowsDirectory,
                          std::string& userWindowsDirectory) {
    const std::string windows = GetMachineWindowsDirectory();
    if (windows.empty()) {
        Exclaim("Unable to get the Windows System Directory from the operating system!");
        return false;
    }
    if (!DirectoryExists(windows)) {
        Exclaim("Given Windows System directory does not exist!");
        return false;
    }
    bool ts = false;
    if (!IsTerminalServer(ts)) {
        Exclaim("Unable to determine if running on Terminal Server!");
        return false;
    }
    const std::string user = GetUserName();
    if (user.empty()) {
        Exclaim("Unable to obtain user name from operating system!");
        return false;
    }
    std::string userWindows;
    if (ts && !FindUserWindowsDirectory(edition, user, userWindows)) return false;
    terminalServer = ts;
    windowsDirectory = windows;
    userWindowsDirectory = userWindows;
    return true;
}

std::string GetUserName() {
    std::string name = qs::env::UserName();
    if (name.size() > 256) return std::string();
    return name;
}

std::string ProfileNameForEdition(const std::string& edition) {
    if (edition == kEditionEnterprise) return "Qstoneee.ini";
    if (edition == kEditionStandard || edition == kEditionNetwork) return "Qstone5.ini";
    return std::string();
}

bool FindSystemDirectory(const std::string& edition, const std::string& directory, std::string& systemDirectory) {
    return FindProfileDirectory(edition, directory, "SYSTEM DIRECTORY",
                                "QSEE System directory given in ini does not exist!",
                                "QSEE System directory entry not found in ini file!", systemDirectory);
}

bool FindWorkingDirectory(const std::string& edition, const std::string& directory, std::string& workingDirectory) {
    return FindProfileDirectory(edition, directory, "Working Directory",
                                "Working directory given in ini file does not exist!",
                                "Unable to get the Working Directory from the ini file!", workingDirectory);
}

bool FileExists(const std::string& path, bool report) {
    std::error_code ec;
    if (!path.empty() && fs::exists(path, ec)) return true;
    if (report) ShowMessage("Unable to locate [" + path + "] ", "Unable to locate", MessageIcon::Exclamation);
    return false;
}

bool DirectoryExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

std::string ResolveNoCase(const std::string& directory, const std::string& name) {
    const std::string exact = JoinPath(directory, name);
    std::error_code ec;
    if (fs::exists(exact, ec)) return exact;
    const std::string wanted = Lower(name);
    for (fs::directory_iterator it(directory.empty() ? "." : directory, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string leaf = it->path().filename().string();
        if (Lower(leaf) == wanted) return JoinPath(directory, leaf);
    }
    return exact;
}

bool ReadIniString(const std::string& file, const std::string& section, const std::string& key, std::string& value) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    const std::string wantedSection = Lower(Trim(section));
    const std::string wantedKey = Lower(Trim(key));
    bool inSection = false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string t = Trim(line);
        if (t.empty() || t[0] == ';') continue;
        if (t[0] == '[') {
            const auto close = t.find(']');
            inSection = close != std::string::npos && Lower(Trim(t.substr(1, close - 1))) == wantedSection;
            continue;
        }
        if (!inSection) continue;
        const auto eq = t.find('=');
        if (eq == std::string::npos) continue;
        if (Lower(Trim(t.substr(0, eq))) != wantedKey) continue;
        std::string v = Trim(t.substr(eq + 1));
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            v = v.substr(1, v.size() - 2);
        value = v;
        return true;
    }
    return false;
}

void PublishSystemValues(const PublishedSystemValues& values) {
    qs::ipc::SharedMemory& shared = PublishedBlock();
    if (!shared.IsOpen() && !shared.Create(kSharedSystemName, sizeof(SharedSystemBlock))) return;
    std::lock_guard lock(shared);
    auto* block = static_cast<SharedSystemBlock*>(shared.Data());
    CopyField(block->windowsDirectory, values.windowsDirectory);
    CopyField(block->profileDirectory, values.profileDirectory);
    block->terminalServer = values.terminalServer ? 1 : 0;
    block->magic = kSharedSystemMagic;
}

bool ReadPublishedSystemValues(PublishedSystemValues& values) {
    qs::ipc::SharedMemory opened;
    qs::ipc::SharedMemory* shared = &PublishedBlock();
    if (!shared->IsOpen()) {
        if (!opened.Open(kSharedSystemName, sizeof(SharedSystemBlock))) return false;
        shared = &opened;
    }
    std::lock_guard lock(*shared);
    const auto* block = static_cast<const SharedSystemBlock*>(shared->Data());
    if (block->magic != kSharedSystemMagic) return false;
    values.windowsDirectory.assign(block->windowsDirectory, strnlen(block->windowsDirectory, kMaxPath));
    values.profileDirectory.assign(block->profileDirectory, strnlen(block->profileDirectory, kMaxPath));
    values.terminalServer = block->terminalServer != 0;
    return true;
}

}  // namespace qs::sysinfo
