#include "QsNamedMutex.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

#include "QsIpcNames.h"

namespace qs::ipc {

namespace {

bool FlockRetrying(int fd, int op) {
    int rc;
    do {
        rc = ::flock(fd, op);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

}  // namespace

NamedMutex::~NamedMutex() { Close(); }

bool NamedMutex::Open(const std::string& name) {
    Close();
    std::string dir = RuntimeDirectory();
    if (dir.empty()) return false;
    int fd = ::open((dir + "/mutex." + EncodeName(name)).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    m_fd = fd;
    m_name = name;
    return true;
}

void NamedMutex::Close() {
    if (m_fd < 0) return;
    while (m_depth > 0) Unlock();  // closing while holding it releases it, as for an abandoned mutex
    ::close(m_fd);
    m_fd = -1;
    m_depth = 0;
    m_name.clear();
}

bool NamedMutex::Lock() {
    if (m_fd < 0) return false;
    m_local.lock();
    if (m_depth == 0 && !FlockRetrying(m_fd, LOCK_EX)) {
        m_local.unlock();
        return false;
    }
    ++m_depth;
    return true;
}

bool NamedMutex::TryLock() {
    if (m_fd < 0) return false;
    if (!m_local.try_lock()) return false;
    if (m_depth == 0 && !FlockRetrying(m_fd, LOCK_EX | LOCK_NB)) {
        m_local.unlock();
        return false;
    }
    ++m_depth;
    return true;
}

bool NamedMutex::LockFor(std::chrono::milliseconds timeout) {
    if (m_fd < 0) return false;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    if (!m_local.try_lock_until(deadline)) return false;
    if (m_depth == 0) {
        // flock has no timed wait: poll, briefly at first.
        auto pause = std::chrono::microseconds(200);
        while (!FlockRetrying(m_fd, LOCK_EX | LOCK_NB)) {
            if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
                m_local.unlock();
                return false;
            }
            std::this_thread::sleep_for(pause);
            if (pause < std::chrono::milliseconds(10)) pause *= 2;
        }
    }
    ++m_depth;
    return true;
}

void NamedMutex::Unlock() {
    if (m_fd < 0 || m_depth == 0) return;
    if (--m_depth == 0) FlockRetrying(m_fd, LOCK_UN);
    m_local.unlock();
}

}  // namespace qs::ipc
