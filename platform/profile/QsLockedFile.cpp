#include "QsLockedFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qs::files {

namespace {

std::string LockFileNameFor(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return "." + path + ".lock";
    return path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".lock";
}

bool WriteAllBytes(int fd, const std::string& bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// umask() can only be read by setting it, which races with other threads
// creating files; the kernel reports it in /proc instead.
mode_t CurrentUmask() {
    int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 022;
    char buf[4096];
    ssize_t n = ::read(fd, buf, sizeof buf - 1);
    ::close(fd);
    if (n <= 0) return 022;
    buf[n] = '\0';
    const char* p = std::strstr(buf, "Umask:");
    if (!p) return 022;
    return static_cast<mode_t>(std::strtoul(p + 6, nullptr, 8)) & 0777;
}

}  // namespace

std::string ParentOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

SiblingLock::SiblingLock(const std::string& path) {
    int fd = ::open(LockFileNameFor(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        int saved = errno;
        ::close(fd);
        errno = saved;
        return;
    }
    m_fd = fd;
}

SiblingLock::~SiblingLock() {
    if (m_fd >= 0) ::close(m_fd);  // closing the descriptor drops the lock
}

bool ReadWhole(const std::string& path, std::string& out, bool* exists) {
    out.clear();
    if (exists) *exists = false;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR;
    if (exists) *exists = true;
    char buf[16384];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            int saved = errno;
            ::close(fd);
            errno = saved;
            return false;
        }
        if (n == 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

bool ReplaceAtomically(const std::string& path, const std::string& bytes) {
    std::string tmp = ParentOf(path) + "/.qstmp-XXXXXX";
    int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    // mkstemp makes the file 0600; keep what the replaced file had, or give
    // a new file the usual mode for the umask.
    struct stat st {};
    mode_t mode;
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode = 0666 & ~CurrentUmask();
    }
    bool ok = ::fchmod(fd, mode) == 0 && WriteAllBytes(fd, bytes) && ::fdatasync(fd) == 0;
    int saved = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        ::unlink(tmp.c_str());
        errno = saved;
    }
    return ok;
}

}  // namespace qs::files
