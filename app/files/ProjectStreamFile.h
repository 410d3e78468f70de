#pragma once
// The compound project file written by a save: a new compound file holding
// one stream "QS1" that an archive in store mode fills.
//
// CreateProjectStreamFile creates the file on disk at once (with an empty
// "QS1"), so a path that cannot be written fails here and not after the
// archive has run. The application keeps the storage held (and the file
// locked against other writers) until ReleaseStorage or the next
// CreateProjectStreamFile. The stream's bytes reach the disk when the stream
// file is flushed or closed, and in any case when the storage is released:
// each of these writes the stream and commits the file atomically.
#include "CMemFile.h"

#include <memory>
#include <string>

class CompoundFile;

class CProjectStreamFile : public CMemFile {
public:
    ~CProjectStreamFile() override;

    // Writes the stream into the held storage and commits it; throws
    // CFileException when the storage is gone or the commit fails.
    void Flush() override;
    void Close() override;
    void Abort() override;

    const std::string& GetFilePath() const { return m_storagePath; }

private:
    friend std::unique_ptr<CProjectStreamFile> CreateProjectStreamFile(const std::string& path);
    friend void ReleaseStorage();
    explicit CProjectStreamFile(std::string storagePath);
    bool WriteToStorage(std::string* error);

    std::string m_storagePath;
    bool m_closed = false;
};

// Null when the compound file cannot be created or the stream cannot be made
// (the storage is then released).
std::unique_ptr<CProjectStreamFile> CreateProjectStreamFile(const std::string& path);

// Writes what an unclosed stream file holds, then releases the held storage
// and forgets it. Nothing happens when none is held.
void ReleaseStorage();

// True while a storage is held (for tests and diagnostics).
bool IsProjectStorageHeld();
