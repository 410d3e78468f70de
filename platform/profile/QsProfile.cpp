#include "QsProfile.h"

#include <ctime>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

#include "ProfileText.h"
#include "QsEnvironment.h"
#include "QsLockedFile.h"

using qs::profile::detail::ProfileText;

namespace {

std::string_view TrimProfileName(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

bool StorableSection(std::string_view s) {
    return !s.empty() && !HasLineBreak(s) && s.find(']') == std::string_view::npos;
}

bool StorableKey(std::string_view k) {
    return !k.empty() && !HasLineBreak(k) && k.find('=') == std::string_view::npos && k.front() != ';' &&
           k.front() != '[';
}

// ---- reading, with a cache of parsed files keyed by their identity ----

struct CachedProfile {
    dev_t dev;
    ino_t ino;
    timespec mtime;
    timespec ctime;
    off_t size;
    std::shared_ptr<const ProfileText> text;
};

std::mutex g_profileCacheMutex;
std::unordered_map<std::string, CachedProfile> g_profileCache;

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

const std::shared_ptr<const ProfileText>& EmptyProfile() {
    static const std::shared_ptr<const ProfileText> empty = std::make_shared<const ProfileText>();
    return empty;
}

// A file changed in the last moments may share its identity with an earlier
// version: file systems reuse inode numbers at once and stamp times at timer
// granularity, so a replacement of the same size can look unchanged. Such a
// file is always read afresh.
bool RecentlyChanged(const struct stat& st) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec - st.st_ctim.tv_sec < 2;
}

// The parsed file; an empty profile when the file is missing. Null when it
// exists but cannot be read (errno set). Files are only replaced by rename,
// so the identity of the open file tells whether the cached parse is current.
// A read-modify-write passes useCache false: it must see the bytes on disk.
std::shared_ptr<const ProfileText> LoadProfile(const std::string& path, bool* exists = nullptr,
                                               bool useCache = true) {
    if (exists) *exists = false;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return EmptyProfile();
        return nullptr;
    }
    if (exists) *exists = true;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        int saved = errno;
        ::close(fd);
        errno = saved;
        return nullptr;
    }
    if (useCache && !RecentlyChanged(st)) {
        std::lock_guard<std::mutex> guard(g_profileCacheMutex);
        auto it = g_profileCache.find(path);
        if (it != g_profileCache.end() && it->second.dev == st.st_dev && it->second.ino == st.st_ino &&
            it->second.size == st.st_size && SameTime(it->second.mtime, st.st_mtim) &&
            SameTime(it->second.ctime, st.st_ctim)) {
            ::close(fd);
            return it->second.text;
        }
    }
    std::string bytes;
    char buf[16384];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            int saved = errno;
            ::close(fd);
            errno = saved;
            return nullptr;
        }
        if (n == 0) break;
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    auto text = std::make_shared<const ProfileText>(bytes);
    std::lock_guard<std::mutex> guard(g_profileCacheMutex);
    if (g_profileCache.size() > 64) g_profileCache.clear();
    g_profileCache[path] = CachedProfile{st.st_dev, st.st_ino, st.st_mtim, st.st_ctim, st.st_size, text};
    return text;
}

std::shared_ptr<const ProfileText> LoadForReading(const char* file) {
    if (!file || !*file) return EmptyProfile();
    auto text = LoadProfile(qs::profile::ResolvePath(file));
    return text ? text : EmptyProfile();
}

// One locked read-modify-write. `edit` returns false to refuse the change.
bool ModifyProfile(const std::string& file, const std::function<bool(ProfileText&)>& edit) {
    if (file.empty()) {
        errno = EINVAL;
        return false;
    }
    std::string path = qs::profile::ResolvePath(file);
    if (file.find('/') == std::string::npos) qs::env::EnsureDirectory(qs::env::WindowsDirectory());
    qs::files::SiblingLock lock(path);
    if (!lock.Locked()) return false;
    bool exists = false;
    auto current = LoadProfile(path, &exists, /*useCache=*/false);
    if (!current) return false;
    ProfileText changed = *current;
    if (!edit(changed)) {
        errno = EINVAL;
        return false;
    }
    std::string bytes = changed.Serialize();
    if (bytes == current->Serialize()) return true;  // nothing to do (e.g. deleting a missing key)
    return qs::files::ReplaceAtomically(path, bytes);
}

// ---- copying into caller buffers, with the Windows truncation rules ----

std::uint32_t CopyValueOut(std::string_view value, char* buffer, std::uint32_t size) {
    if (!buffer || size == 0) return 0;
    size_t n = std::min<size_t>(value.size(), size - 1);
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return static_cast<std::uint32_t>(n);
}

std::uint32_t CopyListOut(const std::vector<std::string>& items, char* buffer, std::uint32_t size) {
    if (!buffer || size == 0) return 0;
    if (size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    std::string all;
    for (const auto& s : items) {
        all += s;
        all += '\0';
    }
    if (all.size() + 1 <= size) {
        std::memcpy(buffer, all.data(), all.size());
        buffer[all.size()] = '\0';
        if (all.empty()) buffer[1] = '\0';
        return static_cast<std::uint32_t>(all.size());
    }
    std::memcpy(buffer, all.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

std::string_view StripQuotes(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v.remove_prefix(1);
        v.remove_suffix(1);
    }
    return v;
}

std::string_view DefaultOf(const char* def) {
    std::string_view d = def ? def : "";
    while (!d.empty() && (d.back() == ' ' || d.back() == '\t')) d.remove_suffix(1);
    return d;
}

std::vector<std::string> SectionNamesOf(const ProfileText& text) {
    std::vector<std::string> names;
    for (const auto& s : text.Sections())
        if (!s.name.empty()) names.push_back(s.name);
    return names;
}

std::vector<std::string> KeyNamesOf(const ProfileText& text, std::string_view section) {
    std::vector<std::string> names;
    if (const auto* s = text.FindSection(TrimProfileName(section)))
        for (const auto& e : s->entries)
            if (!e.key.empty()) names.push_back(e.key);
    return names;
}

// The value as the reading functions see it: quotes stripped; none when the
// key is missing or has no "=".
std::optional<std::string_view> LookUp(const ProfileText& text, std::string_view section, std::string_view key) {
    const auto* e = text.FindEntry(TrimProfileName(section), TrimProfileName(key));
    if (!e || !e->value) return std::nullopt;
    return StripQuotes(*e->value);
}

// Sign, then decimal digits or "0x" and hex digits, up to the first other
// char; 32-bit wrap-around as the Windows parser does.
unsigned int ParseProfileInt(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    unsigned int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    unsigned int result = 0;
    for (char c : s) {
        unsigned int digit;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned int>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f') digit = static_cast<unsigned int>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F') digit = static_cast<unsigned int>(c - 'A' + 10);
        else break;
        result = result * base + digit;
    }
    return negative ? 0u - result : result;
}

}  // namespace

std::uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                      char* buffer, std::uint32_t size, const char* file) {
    if (!buffer || size == 0) return 0;
    auto text = LoadForReading(file);
    if (!section) return CopyListOut(SectionNamesOf(*text), buffer, size);
    if (!key) {
        auto keys = KeyNamesOf(*text, section);
        if (keys.empty()) return CopyValueOut(DefaultOf(defaultValue), buffer, size);
        return CopyListOut(keys, buffer, size);
    }
    auto value = LookUp(*text, section, key);
    return CopyValueOut(value ? *value : DefaultOf(defaultValue), buffer, size);
}

unsigned int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* file) {
    if (!section || !key) return static_cast<unsigned int>(defaultValue);
    auto text = LoadForReading(file);
    auto value = LookUp(*text, section, key);
    if (!value || value->empty()) return static_cast<unsigned int>(defaultValue);
    return ParseProfileInt(*value);
}

int WritePrivateProfileString(const char* section, const char* key, const char* value, const char* file) {
    if (!section) {
        // All null asks Windows to flush its cache; we write through.
        if (!key && !value) return 1;
        errno = EINVAL;
        return 0;
    }
    if (!file) {
        errno = EINVAL;
        return 0;
    }
    std::string sec(TrimProfileName(section));
    std::string k = key ? std::string(TrimProfileName(key)) : std::string();
    std::string v = value ? std::string(value) : std::string();
    bool ok = ModifyProfile(file, [&](ProfileText& text) {
        if (!key) {
            text.DeleteSection(sec);
            return true;
        }
        if (!value) {
            text.DeleteKey(sec, k);
            return true;
        }
        if (!StorableSection(sec) || !StorableKey(k) || HasLineBreak(v)) return false;
        text.Set(sec, k, v);
        return true;
    });
    return ok ? 1 : 0;
}

std::uint32_t GetPrivateProfileSection(const char* section, char* buffer, std::uint32_t size, const char* file) {
    if (!buffer || size == 0) return 0;
    std::vector<std::string> lines;
    if (section) {
        auto text = LoadForReading(file);
        if (const auto* s = text->FindSection(TrimProfileName(section))) {
            for (const auto& e : s->entries) {
                if (e.key.empty() && !e.value) continue;
                lines.push_back(e.value ? e.key + "=" + *e.value : e.key);
            }
        }
    }
    return CopyListOut(lines, buffer, size);
}

int WritePrivateProfileSection(const char* section, const char* data, const char* file) {
    if (!section || !file) {
        errno = EINVAL;
        return 0;
    }
    std::string sec(TrimProfileName(section));
    std::vector<std::string> lines;
    if (data) {
        for (const char* p = data; *p; p += std::strlen(p) + 1) lines.emplace_back(p);
    }
    bool ok = ModifyProfile(file, [&](ProfileText& text) {
        if (!StorableSection(sec)) return false;
        for (const auto& l : lines) {
            std::string_view line = TrimProfileName(l);
            if (HasLineBreak(line) || (!line.empty() && line.front() == '[')) return false;
        }
        if (!data) {
            text.DeleteSection(sec);
            return true;
        }
        text.ReplaceSection(sec, lines);
        return true;
    });
    return ok ? 1 : 0;
}

std::uint32_t GetPrivateProfileSectionNames(char* buffer, std::uint32_t size, const char* file) {
    return GetPrivateProfileString(nullptr, nullptr, nullptr, buffer, size, file);
}

namespace qs::profile {

std::string ResolvePath(const std::string& file) {
    if (file.empty()) return file;
    std::string path = file.find('/') == std::string::npos ? qs::env::WindowsDirectory() + "/" + file : file;
    // Windows file names ignore case, and the program spells the same
    // profile both ways; an existing file of another case is the one meant.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 || errno != ENOENT) return path;
    std::string dir = qs::files::ParentOf(path);
    std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    DIR* d = ::opendir(dir.c_str());
    if (!d) return path;
    std::string match;
    while (const dirent* e = ::readdir(d)) {
        if (qs::profile::detail::EqualNoCase(e->d_name, name)) {
            match = e->d_name;
            break;
        }
    }
    ::closedir(d);
    return match.empty() ? path : (dir == "/" ? "/" : dir + "/") + match;
}

std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& defaultValue) {
    auto text = LoadForReading(file.c_str());
    auto value = LookUp(*text, section, key);
    return value ? std::string(*value) : std::string(DefaultOf(defaultValue.c_str()));
}

int ReadInt(const std::string& file, const std::string& section, const std::string& key, int defaultValue) {
    return static_cast<int>(GetPrivateProfileInt(section.c_str(), key.c_str(), defaultValue, file.c_str()));
}

bool HasValue(const std::string& file, const std::string& section, const std::string& key) {
    auto text = LoadForReading(file.c_str());
    return LookUp(*text, section, key).has_value();
}

bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value) {
    return WritePrivateProfileString(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != 0;
}

bool WriteInt(const std::string& file, const std::string& section, const std::string& key, int value) {
    return WriteString(file, section, key, std::to_string(value));
}

bool DeleteKey(const std::string& file, const std::string& section, const std::string& key) {
    return WritePrivateProfileString(section.c_str(), key.c_str(), nullptr, file.c_str()) != 0;
}

bool DeleteSection(const std::string& file, const std::string& section) {
    return WritePrivateProfileString(section.c_str(), nullptr, nullptr, file.c_str()) != 0;
}

std::vector<std::string> Sections(const std::string& file) { return SectionNamesOf(*LoadForReading(file.c_str())); }

std::vector<std::string> Keys(const std::string& file, const std::string& section) {
    return KeyNamesOf(*LoadForReading(file.c_str()), section);
}

}  // namespace qs::profile
