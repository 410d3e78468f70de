#include "files/ProjectStreamFile.h"

#include "CException.h"
#include "CompoundFile.h"

#include <cerrno>

namespace {

constexpr const char* kProjectStreamName = "QS1";

// The one storage the application holds between a create and its release,
// and the stream file writing into it (null once that has closed).
struct HeldProjectStorage {
    std::unique_ptr<CompoundFile> storage;
    CProjectStreamFile* stream = nullptr;
};

HeldProjectStorage& Held() {
    static HeldProjectStorage held;
    return held;
}

}  // namespace

CProjectStreamFile::CProjectStreamFile(std::string storagePath) : m_storagePath(std::move(storagePath)) {}

CProjectStreamFile::~CProjectStreamFile() {
    if (Held().stream == this) Held().stream = nullptr;
}

bool CProjectStreamFile::WriteToStorage(std::string* error) {
    HeldProjectStorage& held = Held();
    if (held.stream != this || !held.storage) {
        *error = "the project storage has been released";
        return false;
    }
    if (!held.storage->WriteStream(kProjectStreamName, Bytes())) {
        *error = "cannot write the stream";
        return false;
    }
    if (!held.storage->Commit()) {
        *error = held.storage->GetLastError();
        return false;
    }
    return true;
}

void CProjectStreamFile::Flush() {
    if (m_closed) return;
    std::string error;
    if (!WriteToStorage(&error))
        throw CFileException(CFileException::genericException, EIO, m_storagePath, "write (" + error + ")");
}

void CProjectStreamFile::Close() {
    if (m_closed) return;
    Flush();
    m_closed = true;
    if (Held().stream == this) Held().stream = nullptr;
}

void CProjectStreamFile::Abort() {
    m_closed = true;
    if (Held().stream == this) Held().stream = nullptr;
}

std::unique_ptr<CProjectStreamFile> CreateProjectStreamFile(const std::string& path) {
    ReleaseStorage();
    auto storage = std::make_unique<CompoundFile>();
    if (storage->Create(path) != CompoundFile::OpenResult::Ok) return nullptr;
    if (!storage->WriteStream(kProjectStreamName, {}) || !storage->Commit()) return nullptr;

    HeldProjectStorage& held = Held();
    held.storage = std::move(storage);
    std::unique_ptr<CProjectStreamFile> file(new CProjectStreamFile(path));
    held.stream = file.get();
    return file;
}

void ReleaseStorage() {
    HeldProjectStorage& held = Held();
    if (held.stream) {
        std::string ignored;
        held.stream->WriteToStorage(&ignored);
        held.stream = nullptr;
    }
    held.storage.reset();
}

bool IsProjectStorageHeld() { return Held().storage != nullptr; }
