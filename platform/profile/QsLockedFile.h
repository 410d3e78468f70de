#pragma once
// Small file helpers shared by the profile and registry stores: whole-file
// reads, atomic replacement and an advisory lock that serialises
// read-modify-write cycles across threads and processes.
//
// Readers never need the lock: a file is only ever replaced by rename, so a
// reader sees either the old or the new contents, never a half-written file.
#include <string>

namespace qs::files {

// Exclusive flock on a hidden sibling "<dir>/.<name>.lock" of `path`, held
// for the lifetime of the object. The lock file is created on demand and
// never removed (removing it would let two writers lock different inodes).
// Each object opens its own descriptor, so two threads of one process
// exclude each other too. A process that dies drops its lock with it.
class SiblingLock {
public:
    explicit SiblingLock(const std::string& path);
    ~SiblingLock();
    SiblingLock(const SiblingLock&) = delete;
    SiblingLock& operator=(const SiblingLock&) = delete;

    // False when the lock file could not be opened or locked (errno set).
    bool Locked() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// Reads the whole file into `out`. A missing file is not an error: it
// returns true with `out` empty and `*exists` false.
bool ReadWhole(const std::string& path, std::string& out, bool* exists = nullptr);

// Writes `bytes` to a temporary file in the same folder, flushes it to disk
// and renames it over `path`. An existing file keeps its permission bits.
// The folder must exist. False on failure (errno set); `path` is then
// untouched.
bool ReplaceAtomically(const std::string& path, const std::string& bytes);

// The folder part of a path ("." when it has none).
std::string ParentOf(const std::string& path);

}  // namespace qs::files
