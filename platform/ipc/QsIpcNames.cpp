#include "QsIpcNames.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "QsEnvironment.h"

namespace qs::ipc {

std::string RuntimeDirectory() {
    std::string base = qs::env::Get("XDG_RUNTIME_DIR");
    if (base.empty()) base = "/tmp";
    std::string dir = base + "/" + EncodeName(qs::env::IpcNamespace());
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return std::string();
    // Under a shared /tmp another user could have made the folder first;
    // only one of our own that nobody else can write to is trusted.
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() ||
        (st.st_mode & 0022) != 0)
        return std::string();
    return dir;
}

std::string EncodeName(const std::string& name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : name) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                     c == '_' || c == '.';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string SharedMemoryObjectName(const std::string& name) {
    return "/" + EncodeName(qs::env::IpcNamespace()) + "." + EncodeName(name);
}

}  // namespace qs::ipc
