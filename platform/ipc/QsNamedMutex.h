#pragma once
// A mutex shared by name between processes, standing in for a Windows named
// mutex: create-or-open by name, recursive for the thread that holds it, and
// released by the system when the holding process dies (an advisory lock
// on a file in qs::ipc::RuntimeDirectory()), so a crash never leaves it stuck.
//
// Each object has its own lock: two objects of the same name exclude each
// other even in one thread, so keep one object per name in a process (as a
// Windows program keeps one handle). Do not carry an object across fork();
// open a new one in the child.
#include <chrono>
#include <mutex>
#include <string>

namespace qs::ipc {

class NamedMutex {
public:
    NamedMutex() = default;
    explicit NamedMutex(const std::string& name) { Open(name); }
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Creates or opens the mutex; not owned afterwards. False on failure (errno set).
    bool Open(const std::string& name);
    void Close();   // releases it first if this object holds it
    bool IsOpen() const { return m_fd >= 0; }
    const std::string& Name() const { return m_name; }

    // Blocks until held. False only when the mutex is not open.
    bool Lock();
    bool TryLock();
    // Waits at most `timeout` (WaitForSingleObject with a time-out).
    bool LockFor(std::chrono::milliseconds timeout);
    void Unlock();

    // BasicLockable, for std::lock_guard / std::unique_lock.
    void lock() { Lock(); }
    bool try_lock() { return TryLock(); }
    void unlock() { Unlock(); }

private:
    std::recursive_timed_mutex m_local;   // orders the threads of this process
    int m_depth = 0;                      // recursion depth of the holding thread
    int m_fd = -1;
    std::string m_name;
};

}  // namespace qs::ipc
