#pragma once
// A binary file under a POSIX descriptor, with the framework's open flags, and
// the base of the in-memory file (CMemFile). An archive reads and writes
// through this interface.
//
// Sharing is enforced between openers (in any process) with advisory locks
// (flock) held while the file is open:
//   shareDenyWrite, shareExclusive, shareDenyRead  exclusive lock
//   write access with shareDenyNone/shareCompat    shared lock
//   read access with shareDenyNone/shareCompat     no lock
// so a file held deny-write refuses every other opener that wants to write
// or to deny writing (cause sharingViolation), while plain readers still get
// in. A refused modeCreate open never truncates the file. (Unlike the
// original platform, two read-only deny-write openers also refuse each other.)
#include <cstddef>
#include <cstdint>
#include <string>

class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile() = default;
    // Opens or throws CFileException.
    CFile(const std::string& path, unsigned flags);
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // False on failure; *osError receives errno when given.
    virtual bool Open(const std::string& path, unsigned flags, int* osError = nullptr);

    // Reads up to n bytes; returns how many were read (0 at the end).
    virtual size_t Read(void* buffer, size_t n);
    // Writes all n bytes or throws CFileException.
    virtual void Write(const void* buffer, size_t n);
    virtual uint64_t Seek(int64_t offset, SeekPosition from);
    virtual uint64_t GetPosition() const;
    virtual uint64_t GetLength() const;
    virtual void SetLength(uint64_t length);
    virtual void Flush();
    // Closes; throws when the close reports an error.
    virtual void Close();
    // Closes and ignores every error.
    virtual void Abort();
    virtual bool IsOpen() const { return m_fd >= 0; }

    void SeekToBegin() { Seek(0, begin); }
    uint64_t SeekToEnd() { return Seek(0, end); }
    const std::string& GetFilePath() const { return m_path; }

protected:
    [[noreturn]] void ThrowOsError(int err, const char* action) const;

    int m_fd = -1;
    std::string m_path;
};
