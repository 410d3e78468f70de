#include "QsSharedMemory.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "QsIpcNames.h"

namespace qs::ipc {

namespace {

constexpr std::uint32_t kSharedBlockMagic = 0x314D5351;  // "QSM1"

// Lives at the start of every block; the caller's data follows at kHeaderSize.
struct SharedBlockHeader {
    std::uint32_t magic;
    std::uint32_t reserved;
    std::uint64_t size;
    pthread_mutex_t mutex;
};
constexpr std::size_t kHeaderSize = 128;
static_assert(sizeof(SharedBlockHeader) <= kHeaderSize);

bool FlockBlockFile(int fd, int op) {
    int rc;
    do {
        rc = ::flock(fd, op);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

// Creation, opening and the last close of one name run one at a time across
// processes, so "nobody holds the users lock" reliably means "unused".
class BlockGuard {
public:
    explicit BlockGuard(const std::string& path) {
        m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd >= 0 && !FlockBlockFile(m_fd, LOCK_EX)) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~BlockGuard() {
        if (m_fd >= 0) ::close(m_fd);
    }
    BlockGuard(const BlockGuard&) = delete;
    BlockGuard& operator=(const BlockGuard&) = delete;
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// True when no process holds a shared lock on the users file.
bool NoLiveUsers(const std::string& usersPath) {
    int probe = ::open(usersPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (probe < 0) return false;
    bool unused = FlockBlockFile(probe, LOCK_EX | LOCK_NB);
    ::close(probe);
    return unused;
}

std::string BlockFileBase(const std::string& name) {
    std::string dir = RuntimeDirectory();
    return dir.empty() ? std::string() : dir + "/shm." + EncodeName(name);
}

SharedBlockHeader* HeaderOf(void* base) { return static_cast<SharedBlockHeader*>(base); }

}  // namespace

SharedMemory::~SharedMemory() { Close(); }

bool SharedMemory::Create(const std::string& name, std::size_t size,
                          const std::function<void(void*, std::size_t)>& initialise) {
    if (size == 0) {
        errno = EINVAL;
        return false;
    }
    return Attach(name, size, true, initialise);
}

bool SharedMemory::Open(const std::string& name, std::size_t size) { return Attach(name, size, false, {}); }

bool SharedMemory::Attach(const std::string& name, std::size_t size, bool create,
                          const std::function<void(void*, std::size_t)>& initialise) {
    Close();
    std::string base = BlockFileBase(name);
    if (base.empty()) return false;
    BlockGuard guard(base + ".guard");
    if (!guard.Held()) return false;
    std::string object = SharedMemoryObjectName(name);
    std::string usersPath = base + ".users";
    // Whatever is left of a block whose users all died is not reused.
    if (NoLiveUsers(usersPath)) ::shm_unlink(object.c_str());

    int usersFd = ::open(usersPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (usersFd < 0) return false;
    auto fail = [&](int err, int shmFd, void* mapped, std::size_t length, bool unlink) {
        if (mapped) ::munmap(mapped, length);
        if (shmFd >= 0) ::close(shmFd);
        if (unlink) ::shm_unlink(object.c_str());
        ::close(usersFd);
        errno = err;
        return false;
    };

    bool existed = true;
    int fd = -1;
    if (create) {
        fd = ::shm_open(object.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) existed = false;
        else if (errno != EEXIST) return fail(errno, -1, nullptr, 0, false);
    }
    void* mapped = nullptr;
    std::size_t length = 0;
    if (!existed) {
        length = kHeaderSize + size;
        if (::ftruncate(fd, static_cast<off_t>(length)) != 0) return fail(errno, fd, nullptr, 0, true);
        mapped = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (mapped == MAP_FAILED) return fail(errno, fd, nullptr, 0, true);
        SharedBlockHeader* h = HeaderOf(mapped);
        h->magic = kSharedBlockMagic;
        h->size = size;
        pthread_mutexattr_t attr;
        pthread_mutexattr_init(&attr);
        pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
        pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
        pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
        int rc = pthread_mutex_init(&h->mutex, &attr);
        pthread_mutexattr_destroy(&attr);
        if (rc != 0) return fail(rc, fd, mapped, length, true);
        if (initialise) initialise(static_cast<char*>(mapped) + kHeaderSize, size);
    } else {
        fd = ::shm_open(object.c_str(), O_RDWR | O_CLOEXEC, 0600);
        if (fd < 0) return fail(errno, -1, nullptr, 0, false);
        struct stat st {};
        if (::fstat(fd, &st) != 0) return fail(errno, fd, nullptr, 0, false);
        length = static_cast<std::size_t>(st.st_size);
        if (length < kHeaderSize) return fail(EINVAL, fd, nullptr, 0, false);
        mapped = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (mapped == MAP_FAILED) return fail(errno, fd, nullptr, 0, false);
        const SharedBlockHeader* h = HeaderOf(mapped);
        if (h->magic != kSharedBlockMagic || h->size > length - kHeaderSize || size > h->size)
            return fail(EINVAL, fd, mapped, length, false);
        size = static_cast<std::size_t>(h->size);
    }
    ::close(fd);  // the mapping stays
    if (!FlockBlockFile(usersFd, LOCK_SH)) return fail(errno, -1, mapped, length, !existed);

    m_base = mapped;
    m_mapped = length;
    m_data = static_cast<char*>(mapped) + kHeaderSize;
    m_size = size;
    m_existed = existed;
    m_usersFd = usersFd;
    m_name = name;
    return true;
}

void SharedMemory::Close() {
    if (!m_base) return;
    ::munmap(m_base, m_mapped);
    m_base = m_data = nullptr;
    m_mapped = m_size = 0;
    std::string base = BlockFileBase(m_name);
    {
        BlockGuard guard(base + ".guard");
        // Our shared lock turns exclusive only when no other process uses the block.
        if (guard.Held() && FlockBlockFile(m_usersFd, LOCK_EX | LOCK_NB)) ::shm_unlink(SharedMemoryObjectName(m_name).c_str());
        ::close(m_usersFd);
    }
    m_usersFd = -1;
    m_existed = false;
    m_name.clear();
}

bool SharedMemory::Lock() {
    if (!m_base) return false;
    int rc = pthread_mutex_lock(&HeaderOf(m_base)->mutex);
    if (rc == EOWNERDEAD) {
        // The holder died; the data is as it left it, which is all a Windows
        // program gets from an abandoned mutex too.
        pthread_mutex_consistent(&HeaderOf(m_base)->mutex);
        rc = 0;
    }
    return rc == 0;
}

bool SharedMemory::TryLock() {
    if (!m_base) return false;
    int rc = pthread_mutex_trylock(&HeaderOf(m_base)->mutex);
    if (rc == EOWNERDEAD) {
        pthread_mutex_consistent(&HeaderOf(m_base)->mutex);
        rc = 0;
    }
    return rc == 0;
}

void SharedMemory::Unlock() {
    if (m_base) pthread_mutex_unlock(&HeaderOf(m_base)->mutex);
}

}  // namespace qs::ipc
