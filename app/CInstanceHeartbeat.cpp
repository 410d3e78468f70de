#include "CInstanceHeartbeat.h"

#include <chrono>
#include <condition_variable>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <semaphore.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "QsEnvironment.h"

namespace {

// Named objects live in the program's IPC namespace, so tests and users
// never see each other's records.
std::string PosixName(const std::string& name) { return "/" + qs::env::IpcNamespace() + "." + name; }

void WriteLe32(void* at, std::uint32_t v) {
    unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    std::uint32_t word;
    std::memcpy(&word, b, 4);
    __atomic_store_n(static_cast<std::uint32_t*>(at), word, __ATOMIC_RELAXED);
}

std::uint32_t ReadLe32(const void* at) {
    std::uint32_t word = __atomic_load_n(static_cast<const std::uint32_t*>(at), __ATOMIC_RELAXED);
    unsigned char b[4];
    std::memcpy(b, &word, 4);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

}  // namespace

CInstanceHeartbeat::CInstanceHeartbeat() = default;

CInstanceHeartbeat::~CInstanceHeartbeat() { Stop(); }

std::string CInstanceHeartbeat::BlockName(int slot, const std::string& userName) {
    return "QSEE_" + std::to_string(slot) + "_" + (userName.empty() ? std::string("???") : userName);
}

std::uint32_t CInstanceHeartbeat::TickCount() {
    timespec ts{};
    ::clock_gettime(CLOCK_BOOTTIME, &ts);
    return static_cast<std::uint32_t>(static_cast<unsigned long long>(ts.tv_sec) * 1000ull + ts.tv_nsec / 1000000);
}

bool CInstanceHeartbeat::ExistedBefore(int slot) const {
    return slot >= 0 && slot < kSlotCount && m_slots[slot].existedBefore;
}

void CInstanceHeartbeat::Start(QWidget* /*window*/, int slot) {
    if (slot < 0 || slot >= kSlotCount) return;
    m_currentSlot = slot;
    SlotEntry& e = m_slots[slot];
    const std::string user = qs::env::UserName();
    e.blockName = BlockName(slot, user);
    e.mutexName = MutexName(slot, user);
    e.existedBefore = false;

    if (!e.mapped) {
        if (e.mutex) {
            ::sem_close(static_cast<sem_t*>(e.mutex));
            e.mutex = nullptr;
        }
        sem_t* sem = ::sem_open(PosixName(e.mutexName).c_str(), O_CREAT, 0600, 1);
        e.mutex = sem == SEM_FAILED ? nullptr : sem;

        const std::string name = PosixName(e.blockName);
        int fd = ::shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
        if (fd < 0 && errno == EEXIST) {
            fd = ::shm_open(name.c_str(), O_RDWR, 0600);
            if (fd >= 0) e.existedBefore = true;
        }
        if (fd >= 0) {
            struct stat st {};
            bool sized = ::fstat(fd, &st) == 0 &&
                         (st.st_size >= static_cast<off_t>(kRecordSize) || ::ftruncate(fd, kRecordSize) == 0);
            void* p = sized ? ::mmap(nullptr, kRecordSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0) : MAP_FAILED;
            ::close(fd);
            if (p != MAP_FAILED) {
                e.view = p;
                e.mapped = true;
            }
        }
    }
    std::uint32_t* view = e.mapped ? static_cast<std::uint32_t*>(e.view) : nullptr;
    m_view = view;
    m_ownerProcessId = static_cast<std::uint32_t>(::getpid());
    const std::uint32_t tick = TickCount();
    if (view) {
        WriteLe32(view + 1, tick);
        WriteLe32(view, m_ownerProcessId);
    }
    m_startTime = static_cast<long long>(std::time(nullptr));
    m_startTick = tick;
    if (m_running.exchange(true)) return;  // the thread already runs
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (...) {
        m_running = false;
    }
}

namespace {
std::mutex g_heartbeatWakeLock;
std::condition_variable g_heartbeatWake;
}  // namespace

void CInstanceHeartbeat::Run() {
    while (m_running.load()) {
        std::uint32_t* view = m_view.load();
        if (m_currentSlot != kNoSlot && view) WriteLe32(view, m_ownerProcessId);
        std::unique_lock lock(g_heartbeatWakeLock);
        g_heartbeatWake.wait_for(lock, std::chrono::milliseconds(1000), [this] { return !m_running.load(); });
    }
}

void CInstanceHeartbeat::Stop() {
    {
        std::lock_guard lock(g_heartbeatWakeLock);
        m_running = false;
    }
    g_heartbeatWake.notify_all();
    if (m_thread.joinable()) m_thread.join();
    m_view = nullptr;
    for (SlotEntry& e : m_slots) {
        if (e.mapped) {
            ::munmap(e.view, e.size);
            e.view = nullptr;
            e.mapped = false;
        }
        if (e.mutex) {
            ::sem_close(static_cast<sem_t*>(e.mutex));
            e.mutex = nullptr;
        }
    }
}

bool CInstanceHeartbeat::ReadRecord(const std::string& blockName, std::uint32_t& processId, std::uint32_t& startTick) {
    int fd = ::shm_open(PosixName(blockName).c_str(), O_RDONLY, 0);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_size < static_cast<off_t>(kRecordSize)) {
        ::close(fd);
        return false;
    }
    void* p = ::mmap(nullptr, kRecordSize, PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);
    if (p == MAP_FAILED) return false;
    processId = ReadLe32(p);
    startTick = ReadLe32(static_cast<const std::uint32_t*>(p) + 1);
    ::munmap(p, kRecordSize);
    return true;
}
