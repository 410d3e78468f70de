#pragma once
// A compound (structured storage) file: a root storage holding named streams
// and nested storages, as documents keep them ("QS1", "GraphData",
// "DefGraphStyles" in the root).
//
// Transactions. The whole file is read when it is opened; every change is
// made in memory and reaches the disk only through Commit(), which writes a
// complete new file beside the target, flushes it to the disk and renames it
// over the target. The original therefore stays byte-identical until the
// rename, whatever happens before it (an error, a crash, a kill). Revert(),
// Close() and the destructor drop uncommitted changes.
//
// Sharing. A file opened read-write (or created over an existing file) is
// held with an exclusive advisory lock (flock) on the file for as long as it
// stays open, and the lock moves to the new file on each commit. Another
// opener, in this or another process, then gets OpenResult::LockedByOther
// from a read-write open and can fall back to a read-only open, which takes
// no lock and is never refused for sharing. Locks vanish with the process, so
// a crash never leaves a file stuck.
//
// Paths name elements of nested storages with "/" (e.g. "Sub/Stream"); a name
// is 1 to 31 characters without "/", "\", ":", "!" or control characters.
// Names compare without regard to ASCII case, as the format does.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CompoundFile {
public:
    enum class Mode { ReadOnly, ReadWrite };
    enum class OpenResult {
        Ok,
        NotFound,       // no such file
        NotCompound,    // the file lacks the compound-file signature
        Damaged,        // the signature is there but the structure cannot be read
        LockedByOther,  // another opener holds the file read-write
        AccessDenied,   // permissions (a read-write open of a read-only file)
        IoError,        // any other system error
    };
    static const char* ResultText(OpenResult result);

    // True when the file starts with the compound-file signature.
    static bool IsCompoundFile(const std::string& path);
    static bool HasCompoundSignature(const void* data, size_t size);

    CompoundFile();
    ~CompoundFile();
    CompoundFile(const CompoundFile&) = delete;
    CompoundFile& operator=(const CompoundFile&) = delete;

    OpenResult Open(const std::string& path, Mode mode);
    // Starts a new, empty compound file for path, opened read-write. Nothing is
    // written (an existing file stays as it is) until Commit(). An existing
    // file held by another opener gives LockedByOther.
    OpenResult Create(const std::string& path);
    // Drops uncommitted changes and releases the lock.
    void Close();

    bool IsOpen() const;
    bool IsReadOnly() const;
    // True when there are changes that Commit() would write.
    bool IsModified() const;
    const std::string& GetPath() const;

    std::vector<std::string> ListStreams(const std::string& storage = {}) const;
    std::vector<std::string> ListStorages(const std::string& storage = {}) const;
    bool HasStream(const std::string& path) const;
    bool HasStorage(const std::string& path) const;

    // False when the stream does not exist (or nothing is open).
    bool ReadStream(const std::string& path, std::vector<uint8_t>& bytes) const;
    // Creates or replaces the stream, creating storages along the path. False
    // when read-only, when the name is invalid, or when a storage has that name.
    bool WriteStream(const std::string& path, std::vector<uint8_t> bytes);
    bool RemoveStream(const std::string& path);
    bool CreateStorage(const std::string& path);
    // Removes a storage with everything in it.
    bool RemoveStorage(const std::string& path);

    // Writes the content to the file (see the top of this header). False, with
    // GetLastError() telling why, when read-only or when writing failed; the
    // file on disk is then unchanged and the changes stay pending.
    bool Commit();
    // Returns to the content of the last commit (or of the open).
    void Revert();

    const std::string& GetLastError() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
