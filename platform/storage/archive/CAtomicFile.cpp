#include "CAtomicFile.h"

#include "CException.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::atomic<unsigned> gAtomicFileCounter{0};

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}
}  // namespace

CAtomicFile::~CAtomicFile()
{
    Abort();
}

bool CAtomicFile::Open(const std::string& path, unsigned, int* osError)
{
    Abort();
    // A target held deny-write by another opener may not be replaced.
    int held = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (held >= 0) {
        bool shared = ::flock(held, LOCK_SH | LOCK_NB) == 0;
        int err = errno;
        ::close(held);
        if (!shared) {
            if (osError)
                *osError = err;
            return false;
        }
    }
    size_t slash = path.rfind('/');
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string folder = FolderOf(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = folder + "/." + base + ".tmp-" + std::to_string(::getpid()) + "-" +
                           std::to_string(gAtomicFileCounter++);
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            struct stat st {};
            if (::stat(path.c_str(), &st) == 0)
                ::fchmod(fd, st.st_mode & 07777);  // keep the target's permissions
            m_fd = fd;
            m_path = path;
            m_tempPath = temp;
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    if (osError)
        *osError = errno;
    return false;
}

void CAtomicFile::Commit()
{
    if (m_fd < 0)
        throw CFileException(CFileException::genericException, EBADF, m_path, "nothing to commit for");
    if (::fsync(m_fd) != 0) {
        int err = errno;
        Abort();
        throw CFileException(CFileException::CauseFromErrno(err), err, m_path, "cannot flush");
    }
    int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 || ::rename(m_tempPath.c_str(), m_path.c_str()) != 0) {
        int err = errno;
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
        throw CFileException(CFileException::CauseFromErrno(err), err, m_path, "cannot replace");
    }
    m_tempPath.clear();
    int dirFd = ::open(FolderOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

void CAtomicFile::Close()
{
    Abort();
}

void CAtomicFile::Abort()
{
    CFile::Abort();
    if (!m_tempPath.empty())
        ::unlink(m_tempPath.c_str());
    m_tempPath.clear();
}
