#include "CFile.h"

#include "CException.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

CFile::CFile(const std::string& path, unsigned flags)
{
    int err = 0;
    if (!Open(path, flags, &err))
        throw CFileException(CFileException::CauseFromErrno(err), err, path, "cannot open");
}

CFile::~CFile()
{
    Abort();
}

bool CFile::Open(const std::string& path, unsigned flags, int* osError)
{
    Abort();
    int oflags = O_CLOEXEC;
    switch (flags & 0x3) {
    case modeWrite: oflags |= O_WRONLY; break;
    case modeReadWrite: oflags |= O_RDWR; break;
    default: oflags |= O_RDONLY; break;
    }
    // Truncation waits until the sharing check has passed.
    const bool truncate = (flags & modeCreate) && !(flags & modeNoTruncate);
    if (flags & modeCreate)
        oflags |= O_CREAT;
    // Opened without blocking: a pipe or a device named where a file belongs
    // would otherwise hold the program until something writes to it. Only
    // regular files are documents, lists or libraries.
    int fd;
    do {
        fd = ::open(path.c_str(), oflags | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (osError)
            *osError = errno;
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        if (osError)
            *osError = err;
        errno = err;
        return false;
    }
    const unsigned share = flags & 0x70;
    const bool wantsWrite = (flags & 0x3) != modeRead;
    int lockOp = 0;
    if (share == shareDenyWrite || share == shareExclusive || share == shareDenyRead)
        lockOp = LOCK_EX;
    else if (wantsWrite)
        lockOp = LOCK_SH;
    if ((lockOp && ::flock(fd, lockOp | LOCK_NB) != 0) || (truncate && ::ftruncate(fd, 0) != 0)) {
        int err = errno;
        ::close(fd);
        if (osError)
            *osError = err;
        errno = err;
        return false;
    }
    m_fd = fd;
    m_path = path;
    return true;
}

void CFile::ThrowOsError(int err, const char* action) const
{
    throw CFileException(CFileException::CauseFromErrno(err), err, m_path, action);
}

size_t CFile::Read(void* buffer, size_t n)
{
    if (m_fd < 0)
        ThrowOsError(EBADF, "cannot read");
    auto* p = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < n) {
        ssize_t r = ::read(m_fd, p + done, n - done);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            ThrowOsError(errno, "cannot read");
        }
        if (r == 0)
            break;
        done += static_cast<size_t>(r);
    }
    return done;
}

void CFile::Write(const void* buffer, size_t n)
{
    if (m_fd < 0)
        ThrowOsError(EBADF, "cannot write");
    auto* p = static_cast<const char*>(buffer);
    size_t done = 0;
    while (done < n) {
        ssize_t w = ::write(m_fd, p + done, n - done);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            ThrowOsError(errno, "cannot write");
        }
        done += static_cast<size_t>(w);
    }
}

uint64_t CFile::Seek(int64_t offset, SeekPosition from)
{
    int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(m_fd, static_cast<off_t>(offset), whence);
    if (r < 0)
        ThrowOsError(errno, "cannot seek in");
    return static_cast<uint64_t>(r);
}

uint64_t CFile::GetPosition() const
{
    off_t r = ::lseek(m_fd, 0, SEEK_CUR);
    if (r < 0)
        ThrowOsError(errno, "cannot seek in");
    return static_cast<uint64_t>(r);
}

uint64_t CFile::GetLength() const
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        ThrowOsError(errno, "cannot query");
    return static_cast<uint64_t>(st.st_size);
}

void CFile::SetLength(uint64_t length)
{
    if (::ftruncate(m_fd, static_cast<off_t>(length)) != 0)
        ThrowOsError(errno, "cannot resize");
}

void CFile::Flush()
{
    if (m_fd >= 0 && ::fsync(m_fd) != 0 && errno != EINVAL)
        ThrowOsError(errno, "cannot flush");
}

void CFile::Close()
{
    if (m_fd < 0)
        return;
    int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        ThrowOsError(errno, "cannot close");
}

void CFile::Abort()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
