#include "QsInstanceCounter.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "QsIpcNames.h"

namespace qs::ipc {

namespace {

bool FlockSlotFile(int fd, int op) {
    int rc;
    do {
        rc = ::flock(fd, op);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

int OpenSlotFile(const std::string& dir, int number) {
    return ::open((dir + "/slot." + std::to_string(number)).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

// Increment, Decrement and Count of one counter run one at a time, so two
// instances starting together cannot both see themselves as the only one.
class CounterGuard {
public:
    explicit CounterGuard(const std::string& dir) {
        if (dir.empty()) return;
        m_fd = ::open((dir + "/guard").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd >= 0 && !FlockSlotFile(m_fd, LOCK_EX)) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~CounterGuard() {
        if (m_fd >= 0) ::close(m_fd);
    }
    CounterGuard(const CounterGuard&) = delete;
    CounterGuard& operator=(const CounterGuard&) = delete;
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

}  // namespace

InstanceCounter::InstanceCounter(const std::string& name) {
    std::string runtime = RuntimeDirectory();
    if (runtime.empty()) return;
    std::string dir = runtime + "/counter." + EncodeName(name);
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return;
    m_dir = dir;
}

InstanceCounter::~InstanceCounter() {
    for (const auto& s : m_slots) ::close(s.fd);
}

int InstanceCounter::Increment() {
    CounterGuard guard(m_dir);
    if (!guard.Held()) return -1;
    for (int number = 0;; ++number) {
        int fd = OpenSlotFile(m_dir, number);
        if (fd < 0) return -1;
        if (FlockSlotFile(fd, LOCK_EX | LOCK_NB)) {
            m_slots.push_back({number, fd});
            return CountLocked();
        }
        int err = errno;
        ::close(fd);
        if (err != EWOULDBLOCK) {
            errno = err;
            return -1;
        }
    }
}

int InstanceCounter::Decrement() {
    if (m_slots.empty()) {
        errno = ENOENT;
        return -1;
    }
    CounterGuard guard(m_dir);
    if (!guard.Held()) return -1;
    ::close(m_slots.back().fd);  // drops the slot's lock
    m_slots.pop_back();
    return CountLocked();
}

int InstanceCounter::Count() const {
    CounterGuard guard(m_dir);
    if (!guard.Held()) return -1;
    return CountLocked();
}

int InstanceCounter::CountLocked() const {
    DIR* d = ::opendir(m_dir.c_str());
    if (!d) return -1;
    int count = 0;
    while (const dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name.rfind("slot.", 0) != 0) continue;
        // A slot we can lock is free (our own slots refuse: another descriptor).
        int fd = ::open((m_dir + "/" + name).c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) continue;
        if (!FlockSlotFile(fd, LOCK_EX | LOCK_NB) && errno == EWOULDBLOCK) ++count;
        ::close(fd);
    }
    ::closedir(d);
    return count;
}

}  // namespace qs::ipc
