#pragma once
// A file written as a whole or not at all: Open creates a hidden temporary
// beside the target, Commit() flushes it to the disk and renames it over the
// target. Until then the target keeps its old content; Abort(), Close() or the
// destructor without a commit remove the temporary. For the small settings and
// list files written through an archive:
//
//   CAtomicFile f;
//   if (!f.Open(path)) ...;            // errno-style error in *osError
//   { CArchive ar(&f, CArchive::store); ...; ar.Close(); }
//   f.Commit();                        // throws CFileException on failure
#include "CFile.h"

class CAtomicFile : public CFile {
public:
    CAtomicFile() = default;
    ~CAtomicFile() override;

    // Opens a temporary for writing (the flags are ignored: always a new,
    // empty, write-only file). False when the folder cannot take it, or with
    // EWOULDBLOCK when another opener holds the target deny-write.
    bool Open(const std::string& path, unsigned flags = modeCreate | modeWrite, int* osError = nullptr) override;
    // Replaces the target with what was written; throws CFileException.
    void Commit();
    // Drops the temporary; the target is untouched.
    void Close() override;
    void Abort() override;

    const std::string& GetTempPath() const { return m_tempPath; }

private:
    std::string m_tempPath;
};
