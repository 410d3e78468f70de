#include "CompoundFile.h"

#include <gsf/gsf.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <dirent.h>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const uint8_t kCompoundSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const
    {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            auto lx = (x >= 'A' && x <= 'Z') ? char(x - 'A' + 'a') : x;
            auto ly = (y >= 'A' && y <= 'Z') ? char(y - 'A' + 'a') : y;
            return static_cast<unsigned char>(lx) < static_cast<unsigned char>(ly);
        });
    }
};

// A stream's bytes, never changed in place (a write replaces them): the
// working tree and the committed one share them, so keeping the committed
// state, reverting and committing copy no stream data. A large stream read
// from a file stays where the file's image holds it (owner keeps the image).
struct StreamBytes {
    std::shared_ptr<const void> owner;
    const uint8_t* data = nullptr;
    size_t size = 0;

    static StreamBytes Own(std::vector<uint8_t> bytes)
    {
        auto held = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
        return {held, held->data(), held->size()};
    }
};

// Streams at least this long are kept inside the file's image when they lie
// there in one piece; shorter ones are copied, so that a few small streams
// never hold a large image in memory after its large streams were replaced.
constexpr size_t kSharedStreamMinimum = 64 * 1024;

struct StorageNode {
    std::map<std::string, StreamBytes, NoCaseLess> streams;
    std::map<std::string, StorageNode, NoCaseLess> storages;
};

void EnsureGsf()
{
    static std::once_flag once;
    std::call_once(once, [] {
        gsf_init();
        // A damaged file makes the reader complain through GLib's log before
        // it reports failure; the failure is what we pass on.
        g_log_set_handler("libgsf:msole", GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING),
                          [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    });
}

template <class T>
struct GObjectRef {
    T* p = nullptr;
    explicit GObjectRef(T* obj = nullptr) : p(obj) {}
    ~GObjectRef()
    {
        if (p)
            g_object_unref(p);
    }
    GObjectRef(const GObjectRef&) = delete;
    GObjectRef& operator=(const GObjectRef&) = delete;
};

std::string TakeGError(GError* err, const char* fallback)
{
    std::string text = err && err->message ? err->message : fallback;
    if (err)
        g_error_free(err);
    return text;
}

bool ValidElementName(const std::string& name)
{
    if (name.empty())
        return false;
    size_t chars = 0;
    for (unsigned char c : name) {
        if (c < 0x20 || c == '/' || c == '\\' || c == ':' || c == '!')
            return false;
        if ((c & 0xC0) != 0x80)
            ++chars;
    }
    return chars <= 31;
}

// Splits "a/b/c"; empty result for an invalid path.
std::vector<std::string> SplitPath(const std::string& path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t slash = path.find('/', start);
        std::string part = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (!ValidElementName(part))
            return {};
        parts.push_back(part);
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return parts;
}

CompoundFile::OpenResult ResultFromErrno(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR: return CompoundFile::OpenResult::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: return CompoundFile::OpenResult::AccessDenied;
    case EWOULDBLOCK: return CompoundFile::OpenResult::LockedByOther;
    default: return CompoundFile::OpenResult::IoError;
    }
}

// Reads straight into the buffer, sized from the file and grown only when the
// file grew meanwhile.
bool ReadAllFd(int fd, std::vector<uint8_t>& out)
{
    struct stat st {};
    size_t expected = ::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0;
    out.resize(expected + 1);  // one spare byte tells whether the file ended where it said
    size_t done = 0;
    while (true) {
        if (done == out.size())
            out.resize(out.size() * 2);
        ssize_t r = ::pread(fd, out.data() + done, out.size() - done, static_cast<off_t>(done));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (r == 0) {
            out.resize(done);
            return true;
        }
        done += static_cast<size_t>(r);
    }
}

// budget: the bytes the streams may still claim. Streams own distinct
// sectors of the file, so together they cannot be larger than it; a damaged
// directory claiming more is refused before anything is allocated.
bool ReadGsfStorage(GsfInfile* infile, StorageNode& node, uint64_t& budget,
                    const std::shared_ptr<const std::vector<uint8_t>>& image, std::string& error)
{
    int n = gsf_infile_num_children(infile);
    for (int i = 0; i < n; ++i) {
        const char* cname = gsf_infile_name_by_index(infile, i);
        GObjectRef<GsfInput> child(gsf_infile_child_by_index(infile, i));
        if (!cname || !child.p) {
            error = "unreadable directory entry";
            return false;
        }
        std::string name = cname;
        if (GSF_IS_INFILE(child.p) && gsf_infile_num_children(GSF_INFILE(child.p)) >= 0) {
            if (!ReadGsfStorage(GSF_INFILE(child.p), node.storages[name], budget, image, error))
                return false;
            continue;
        }
        gsf_off_t size = gsf_input_size(child.p);
        if (size < 0 || static_cast<uint64_t>(size) > budget) {
            error = "stream \"" + name + "\" claims more bytes than the file holds";
            return false;
        }
        budget -= static_cast<uint64_t>(size);
        if (size >= static_cast<gsf_off_t>(kSharedStreamMinimum)) {
            // Read without a buffer, the reader hands out a pointer into the
            // image when the stream's sectors follow one another there.
            const guint8* at = gsf_input_read(child.p, static_cast<size_t>(size), nullptr);
            if (!at) {
                error = "stream \"" + name + "\" is cut short";
                return false;
            }
            const auto first = reinterpret_cast<uintptr_t>(image->data());
            const auto here = reinterpret_cast<uintptr_t>(at);
            if (here >= first && here - first <= image->size() - static_cast<size_t>(size))
                node.streams[name] = {image, at, static_cast<size_t>(size)};
            else
                node.streams[name] = StreamBytes::Own(std::vector<uint8_t>(at, at + size));
            continue;
        }
        std::vector<uint8_t> bytes(static_cast<size_t>(size));
        size_t done = 0;
        while (done < bytes.size()) {
            size_t step = std::min<size_t>(bytes.size() - done, 1 << 20);
            if (!gsf_input_read(child.p, step, bytes.data() + done)) {
                error = "stream \"" + name + "\" is cut short";
                return false;
            }
            done += step;
        }
        node.streams[name] = StreamBytes::Own(std::move(bytes));
    }
    return true;
}

bool WriteGsfStorage(GsfOutfile* outfile, const StorageNode& node, std::string& error)
{
    for (const auto& [name, bytes] : node.streams) {
        GObjectRef<GsfOutput> child(gsf_outfile_new_child(outfile, name.c_str(), FALSE));
        if (!child.p) {
            error = "cannot create stream \"" + name + "\"";
            return false;
        }
        bool ok = bytes.size == 0 || gsf_output_write(child.p, bytes.size, bytes.data);
        ok = gsf_output_close(child.p) && ok;
        if (!ok) {
            error = "cannot write stream \"" + name + "\"";
            return false;
        }
    }
    for (const auto& [name, sub] : node.storages) {
        GObjectRef<GsfOutput> child(gsf_outfile_new_child(outfile, name.c_str(), TRUE));
        if (!child.p) {
            error = "cannot create storage \"" + name + "\"";
            return false;
        }
        bool ok = WriteGsfStorage(GSF_OUTFILE(child.p), sub, error);
        ok = gsf_output_close(child.p) && ok;
        if (!ok) {
            if (error.empty())
                error = "cannot write storage \"" + name + "\"";
            return false;
        }
    }
    return true;
}

// Writes the compound file straight into fd (a new, empty file): no image of
// the whole file is built in memory first. The descriptor stays open; the
// caller flushes it to the disk.
bool EncodeCompound(const StorageNode& root, int fd, const std::string& name, std::string& error)
{
    EnsureGsf();
    int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    FILE* stream = own >= 0 ? ::fdopen(own, "wb") : nullptr;
    if (!stream) {
        error = std::string("cannot write ") + name + ": " + std::strerror(errno);
        if (own >= 0)
            ::close(own);
        return false;
    }
    // The sink owns the stream and closes it (the duplicate only) when it is closed.
    GObjectRef<GsfOutput> sink(gsf_output_stdio_new_FILE(name.c_str(), stream, FALSE));
    if (!sink.p) {
        std::fclose(stream);
        error = "cannot start a compound file";
        return false;
    }
    GObjectRef<GsfOutfile> outfile(gsf_outfile_msole_new(sink.p));
    if (!outfile.p) {
        error = "cannot start a compound file";
        return false;
    }
    bool ok = WriteGsfStorage(outfile.p, root, error);
    ok = gsf_output_close(GSF_OUTPUT(outfile.p)) && ok;
    if (!gsf_output_is_closed(sink.p))
        ok = gsf_output_close(sink.p) && ok;
    if (!ok) {
        if (error.empty()) {
            const GError* err = gsf_output_error(sink.p);
            error = "cannot write " + name + (err && err->message ? std::string(": ") + err->message : std::string());
        }
        return false;
    }
    if (gsf_output_size(sink.p) <= 0) {
        error = "empty compound file";
        return false;
    }
    return true;
}

std::atomic<unsigned> gCompoundTempCounter{0};

// Seconds a temporary of a vanished process must have lain unchanged before
// it counts as left over.
constexpr time_t kStaleTemporaryAge = 60;

// Files are opened without blocking so that a pipe or a device given as a
// project never holds the program; only a regular file is read, and its
// descriptor blocks again for the reading.
bool MakeRegularAndBlocking(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return false;
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    return ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0;
}

// A save that was killed between writing its temporary and renaming it left
// ".<name>.tmp-<pid>-<n>" beside the file. Those of processes that are gone
// are removed; a young one is left alone, as it may belong to a save running
// on another machine that shares the folder.
void RemoveStaleTemporaries(const std::string& path)
{
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::string prefix = "." + (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp-";
    DIR* folder = ::opendir(dir.c_str());
    if (!folder)
        return;
    const time_t now = ::time(nullptr);
    while (dirent* entry = ::readdir(folder)) {
        std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::string rest = name.substr(prefix.size());
        size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string::npos ||
            rest.find_first_not_of("0123456789") != dash || dash + 1 >= rest.size() ||
            rest.find_first_not_of("0123456789", dash + 1) != std::string::npos)
            continue;
        const long pid = std::strtol(rest.substr(0, dash).c_str(), nullptr, 10);
        if (pid <= 0 || (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH))
            continue;
        std::string full = dir + "/" + name;
        struct stat st {};
        if (::lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || now - st.st_mtime < kStaleTemporaryAge)
            continue;
        ::unlink(full.c_str());
    }
    ::closedir(folder);
}

}  // namespace

struct CompoundFile::Impl {
    std::string path;
    bool open = false;
    bool readOnly = true;
    bool dirty = false;
    int lockFd = -1;  // the file we hold locked, or -1
    StorageNode committed;
    StorageNode tree;
    std::string lastError;

    void ReleaseLock()
    {
        if (lockFd >= 0)
            ::close(lockFd);  // closing the descriptor drops the flock
        lockFd = -1;
    }

    // Opens path and takes the exclusive lock, making sure the locked file is
    // still the one at path (a commit elsewhere may have replaced it).
    OpenResult LockExisting(const std::string& p, int& fdOut)
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            int fd = ::open(p.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
            if (fd < 0)
                return ResultFromErrno(errno);
            if (!MakeRegularAndBlocking(fd)) {
                int err = errno;
                ::close(fd);
                return ResultFromErrno(err);
            }
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
                int err = errno;
                ::close(fd);
                lastError = "the file is open read-write elsewhere";
                return err == EWOULDBLOCK ? OpenResult::LockedByOther : ResultFromErrno(err);
            }
            struct stat held {}, now {};
            if (::fstat(fd, &held) == 0 && ::stat(p.c_str(), &now) == 0 && held.st_dev == now.st_dev &&
                held.st_ino == now.st_ino) {
                fdOut = fd;
                return OpenResult::Ok;
            }
            ::close(fd);
        }
        lastError = "the file keeps being replaced";
        return OpenResult::IoError;
    }

    StorageNode* FindStorage(const std::vector<std::string>& parts, size_t count, bool create)
    {
        StorageNode* node = &tree;
        for (size_t i = 0; i < count; ++i) {
            if (node->streams.count(parts[i]))
                return nullptr;
            auto it = node->storages.find(parts[i]);
            if (it == node->storages.end()) {
                if (!create)
                    return nullptr;
                it = node->storages.emplace(parts[i], StorageNode{}).first;
            }
            node = &it->second;
        }
        return node;
    }

    const StorageNode* FindStorage(const std::string& p) const
    {
        if (p.empty())
            return &tree;
        auto parts = SplitPath(p);
        if (parts.empty())
            return nullptr;
        return const_cast<Impl*>(this)->FindStorage(parts, parts.size(), false);
    }

    bool CanModify()
    {
        if (!open) {
            lastError = "no file is open";
            return false;
        }
        if (readOnly) {
            lastError = "the file is open read-only";
            return false;
        }
        return true;
    }
};

CompoundFile::CompoundFile() : m_impl(std::make_unique<Impl>()) {}

CompoundFile::~CompoundFile()
{
    Close();
}

const char* CompoundFile::ResultText(OpenResult result)
{
    switch (result) {
    case OpenResult::Ok: return "opened";
    case OpenResult::NotFound: return "the file does not exist";
    case OpenResult::NotCompound: return "the file is not a compound file";
    case OpenResult::Damaged: return "the compound file is damaged";
    case OpenResult::LockedByOther: return "the file is in use by another user or program";
    case OpenResult::AccessDenied: return "access denied";
    case OpenResult::IoError: return "the file cannot be read";
    }
    return "";
}

bool CompoundFile::HasCompoundSignature(const void* data, size_t size)
{
    return size >= sizeof kCompoundSignature && std::memcmp(data, kCompoundSignature, sizeof kCompoundSignature) == 0;
}

bool CompoundFile::IsCompoundFile(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    uint8_t head[8];
    ssize_t r = ::pread(fd, head, sizeof head, 0);
    ::close(fd);
    return r == static_cast<ssize_t>(sizeof head) && HasCompoundSignature(head, sizeof head);
}

CompoundFile::OpenResult CompoundFile::Open(const std::string& path, Mode mode)
{
    Close();
    Impl& d = *m_impl;
    d.lastError.clear();
    int fd = -1;
    if (mode == Mode::ReadWrite) {
        OpenResult r = d.LockExisting(path, fd);
        if (r != OpenResult::Ok) {
            if (d.lastError.empty())
                d.lastError = ResultText(r);
            return r;
        }
    } else {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd >= 0 && !MakeRegularAndBlocking(fd)) {
            int err = errno;
            ::close(fd);
            fd = -1;
            errno = err;
        }
        if (fd < 0) {
            OpenResult r = ResultFromErrno(errno);
            d.lastError = std::string(ResultText(r)) + ": " + std::strerror(errno);
            return r;
        }
    }
    RemoveStaleTemporaries(path);

    auto image = std::make_shared<std::vector<uint8_t>>();
    const std::vector<uint8_t>& bytes = *image;
    OpenResult result = OpenResult::Ok;
    StorageNode root;
    if (!ReadAllFd(fd, *image)) {
        d.lastError = std::string("cannot read: ") + std::strerror(errno);
        result = OpenResult::IoError;
    } else if (!HasCompoundSignature(bytes.data(), bytes.size())) {
        d.lastError = ResultText(OpenResult::NotCompound);
        result = OpenResult::NotCompound;
    } else {
        EnsureGsf();
        GObjectRef<GsfInput> input(gsf_input_memory_new(bytes.data(), static_cast<gsf_off_t>(bytes.size()), FALSE));
        GError* err = nullptr;
        GObjectRef<GsfInfile> infile(input.p ? gsf_infile_msole_new(input.p, &err) : nullptr);
        if (!infile.p) {
            d.lastError = TakeGError(err, "unreadable compound file");
            result = OpenResult::Damaged;
        } else {
            if (err)
                g_error_free(err);
            std::string why;
            uint64_t budget = bytes.size();
            if (!ReadGsfStorage(infile.p, root, budget, image, why)) {
                d.lastError = why;
                result = OpenResult::Damaged;
            }
        }
    }
    if (result != OpenResult::Ok) {
        ::close(fd);
        return result;
    }
    if (mode == Mode::ReadWrite) {
        d.lockFd = fd;
    } else {
        ::close(fd);
    }
    d.path = path;
    d.open = true;
    d.readOnly = mode == Mode::ReadOnly;
    d.dirty = false;
    d.committed = root;
    d.tree = std::move(root);
    return OpenResult::Ok;
}

CompoundFile::OpenResult CompoundFile::Create(const std::string& path)
{
    Close();
    Impl& d = *m_impl;
    d.lastError.clear();
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            d.lastError = "a folder has that name";
            return OpenResult::AccessDenied;
        }
        int fd = -1;
        OpenResult r = d.LockExisting(path, fd);
        if (r != OpenResult::Ok) {
            if (d.lastError.empty())
                d.lastError = ResultText(r);
            return r;
        }
        d.lockFd = fd;
    }
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    if (::access(dir.c_str(), W_OK) != 0) {
        OpenResult r = ResultFromErrno(errno);
        d.lastError = "cannot write in " + dir + ": " + std::strerror(errno);
        d.ReleaseLock();
        return r;
    }
    d.path = path;
    d.open = true;
    d.readOnly = false;
    d.dirty = true;  // even an empty new file is written on commit
    d.committed = StorageNode{};
    d.tree = StorageNode{};
    return OpenResult::Ok;
}

void CompoundFile::Close()
{
    Impl& d = *m_impl;
    d.ReleaseLock();
    d.open = false;
    d.readOnly = true;
    d.dirty = false;
    d.tree = StorageNode{};
    d.committed = StorageNode{};
    d.path.clear();
}

bool CompoundFile::IsOpen() const { return m_impl->open; }
bool CompoundFile::IsReadOnly() const { return m_impl->readOnly; }
bool CompoundFile::IsModified() const { return m_impl->open && m_impl->dirty; }
const std::string& CompoundFile::GetPath() const { return m_impl->path; }
const std::string& CompoundFile::GetLastError() const { return m_impl->lastError; }

std::vector<std::string> CompoundFile::ListStreams(const std::string& storage) const
{
    std::vector<std::string> names;
    if (const StorageNode* node = m_impl->open ? m_impl->FindStorage(storage) : nullptr)
        for (const auto& entry : node->streams)
            names.push_back(entry.first);
    return names;
}

std::vector<std::string> CompoundFile::ListStorages(const std::string& storage) const
{
    std::vector<std::string> names;
    if (const StorageNode* node = m_impl->open ? m_impl->FindStorage(storage) : nullptr)
        for (const auto& entry : node->storages)
            names.push_back(entry.first);
    return names;
}

bool CompoundFile::HasStream(const std::string& path) const
{
    std::vector<uint8_t> ignored;
    auto parts = SplitPath(path);
    if (!m_impl->open || parts.empty())
        return false;
    const StorageNode* node = const_cast<Impl&>(*m_impl).FindStorage(parts, parts.size() - 1, false);
    return node && node->streams.count(parts.back());
}

bool CompoundFile::HasStorage(const std::string& path) const
{
    return m_impl->open && !path.empty() && m_impl->FindStorage(path) != nullptr;
}

bool CompoundFile::ReadStream(const std::string& path, std::vector<uint8_t>& bytes) const
{
    auto parts = SplitPath(path);
    if (!m_impl->open || parts.empty())
        return false;
    const StorageNode* node = const_cast<Impl&>(*m_impl).FindStorage(parts, parts.size() - 1, false);
    if (!node)
        return false;
    auto it = node->streams.find(parts.back());
    if (it == node->streams.end())
        return false;
    bytes.assign(it->second.data, it->second.data + it->second.size);
    return true;
}

bool CompoundFile::WriteStream(const std::string& path, std::vector<uint8_t> bytes)
{
    Impl& d = *m_impl;
    if (!d.CanModify())
        return false;
    auto parts = SplitPath(path);
    if (parts.empty()) {
        d.lastError = "invalid stream name \"" + path + "\"";
        return false;
    }
    StorageNode* node = d.FindStorage(parts, parts.size() - 1, true);
    if (!node || node->storages.count(parts.back())) {
        d.lastError = "a storage is in the way of \"" + path + "\"";
        return false;
    }
    // Replace under the new spelling when only the case differs.
    node->streams.erase(parts.back());
    node->streams.emplace(parts.back(), StreamBytes::Own(std::move(bytes)));
    d.dirty = true;
    return true;
}

bool CompoundFile::RemoveStream(const std::string& path)
{
    Impl& d = *m_impl;
    if (!d.CanModify())
        return false;
    auto parts = SplitPath(path);
    StorageNode* node = parts.empty() ? nullptr : d.FindStorage(parts, parts.size() - 1, false);
    if (!node || node->streams.erase(parts.back()) == 0) {
        d.lastError = "no stream \"" + path + "\"";
        return false;
    }
    d.dirty = true;
    return true;
}

bool CompoundFile::CreateStorage(const std::string& path)
{
    Impl& d = *m_impl;
    if (!d.CanModify())
        return false;
    auto parts = SplitPath(path);
    if (parts.empty() || !d.FindStorage(parts, parts.size(), true)) {
        d.lastError = "cannot create storage \"" + path + "\"";
        return false;
    }
    d.dirty = true;
    return true;
}

bool CompoundFile::RemoveStorage(const std::string& path)
{
    Impl& d = *m_impl;
    if (!d.CanModify())
        return false;
    auto parts = SplitPath(path);
    StorageNode* node = parts.empty() ? nullptr : d.FindStorage(parts, parts.size() - 1, false);
    if (!node || node->storages.erase(parts.back()) == 0) {
        d.lastError = "no storage \"" + path + "\"";
        return false;
    }
    d.dirty = true;
    return true;
}

void CompoundFile::Revert()
{
    Impl& d = *m_impl;
    if (!d.open)
        return;
    d.tree = d.committed;
    // A created file that was never committed still has to be written.
    struct stat st {};
    d.dirty = !d.readOnly && ::stat(d.path.c_str(), &st) != 0;
}

bool CompoundFile::Commit()
{
    Impl& d = *m_impl;
    if (!d.CanModify())
        return false;
    if (!d.dirty)
        return true;

    // Through a symbolic link the file it points at is replaced, not the link.
    std::string target = d.path;
    if (char* real = ::realpath(d.path.c_str(), nullptr)) {
        target = real;
        ::free(real);
    }
    size_t slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    RemoveStaleTemporaries(target);

    // A hidden sibling, so the rename stays within one file system.
    std::string tempPath;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tempPath = dir + "/." + base + ".tmp-" + std::to_string(::getpid()) + "-" +
                   std::to_string(gCompoundTempCounter++);
        fd = ::open(tempPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        d.lastError = "cannot create a temporary file in " + dir + ": " + std::strerror(errno);
        return false;
    }
    auto fail = [&](const std::string& what) {
        d.lastError = what + ": " + std::strerror(errno);
        ::unlink(tempPath.c_str());
        ::close(fd);
        return false;
    };
    // Lock the new file before it takes the target's name, so no other opener
    // can slip in between the rename and our lock.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return fail("cannot lock the temporary file");
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    std::string why;
    if (!EncodeCompound(d.tree, fd, tempPath, why)) {
        d.lastError = why;
        ::unlink(tempPath.c_str());
        ::close(fd);
        return false;
    }
    if (::fsync(fd) != 0)
        return fail("cannot flush " + tempPath);
    if (::rename(tempPath.c_str(), target.c_str()) != 0)
        return fail("cannot replace " + target);
    int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    d.ReleaseLock();
    d.lockFd = fd;
    d.committed = d.tree;
    d.dirty = false;
    d.lastError.clear();
    return true;
}
