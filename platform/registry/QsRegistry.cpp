#include "QsRegistry.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

#include "QsEnvironment.h"
#include "QsLockedFile.h"
#include "RegistryHive.h"

using qs::registry::detail::HiveKey;
using qs::registry::detail::HiveValue;
using qs::registry::detail::RegistryHive;

struct QsRegistryKeyHandle {
    int root;
    std::string path;
    REGSAM access;
};

namespace {

constexpr std::uintptr_t kFirstPredefinedKey = 0x80000000u;
constexpr int kRootCount = 3;   // classes root, current user, local machine

// A key as the functions see it: which root file, which path, what access.
struct KeyRef {
    int root = -1;
    std::string path;
    REGSAM access = 0;
    bool predefined = false;
};

bool ResolveHandle(HKEY key, KeyRef& ref) {
    auto raw = reinterpret_cast<std::uintptr_t>(key);
    if (raw >= kFirstPredefinedKey && raw < kFirstPredefinedKey + kRootCount) {
        ref.root = static_cast<int>(raw - kFirstPredefinedKey);
        ref.path.clear();
        ref.access = KEY_ALL_ACCESS;
        ref.predefined = true;
        return true;
    }
    if (!key) return false;
    ref.root = key->root;
    ref.path = key->path;
    ref.access = key->access;
    ref.predefined = false;
    return true;
}

// Appends a "\"-separated subkey path; no leading "\" and no empty parts,
// a trailing "\" is ignored.
bool JoinKeyPath(const std::string& base, const char* sub, std::string& out) {
    out = base;
    if (!sub || !*sub) return true;
    std::string s = sub;
    if (s.front() == '\\') return false;
    while (!s.empty() && s.back() == '\\') s.pop_back();
    if (s.find("\\\\") != std::string::npos) return false;
    out = base.empty() ? s : base + "\\" + s;
    return true;
}

std::string RootFile(int root) {
    switch (root) {
    case 0: return qs::env::MachineConfigDirectory() + "/hkcr.reg";
    case 1: return qs::env::UserConfigDirectory() + "/hkcu.reg";
    case 2: return qs::env::MachineConfigDirectory() + "/hklm.reg";
    default: return std::string();
    }
}

// ---- the hives, read through a cache keyed by the file's identity ----

struct CachedHive {
    dev_t dev;
    ino_t ino;
    off_t size;
    timespec mtime;
    timespec ctime;
    std::shared_ptr<const RegistryHive> hive;
};

std::mutex g_hiveCacheMutex;
std::unordered_map<std::string, CachedHive> g_hiveCache;

bool SameStamp(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

// Null when the file exists but cannot be read.
std::shared_ptr<const RegistryHive> LoadHive(int root) {
    std::string file = RootFile(root);
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::make_shared<const RegistryHive>();
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> guard(g_hiveCacheMutex);
        auto it = g_hiveCache.find(file);
        // The file is only ever replaced by rename, so a stamp taken before
        // reading is never newer than the text read after it.
        if (it != g_hiveCache.end() && it->second.dev == st.st_dev && it->second.ino == st.st_ino &&
            it->second.size == st.st_size && SameStamp(it->second.mtime, st.st_mtim) &&
            SameStamp(it->second.ctime, st.st_ctim))
            return it->second.hive;
    }
    std::string text;
    bool exists = false;
    if (!qs::files::ReadWhole(file, text, &exists)) return nullptr;
    auto hive = std::make_shared<const RegistryHive>(text);
    std::lock_guard<std::mutex> guard(g_hiveCacheMutex);
    g_hiveCache[file] = CachedHive{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim, hive};
    return hive;
}

// One locked read-modify-write of a root file; `edit` returns the result.
LONG ModifyHive(int root, const std::function<LONG(RegistryHive&)>& edit) {
    std::string file = RootFile(root);
    if (file.empty()) return ERROR_INVALID_HANDLE;
    if (!qs::env::EnsureDirectory(qs::files::ParentOf(file))) return ERROR_REGISTRY_IO_FAILED;
    qs::files::SiblingLock lock(file);
    if (!lock.Locked()) return ERROR_REGISTRY_IO_FAILED;
    auto current = LoadHive(root);
    if (!current) return ERROR_REGISTRY_IO_FAILED;
    RegistryHive changed = *current;
    LONG rc = edit(changed);
    if (rc != ERROR_SUCCESS) return rc;
    std::string text = changed.Serialize();
    if (text == current->Serialize()) return ERROR_SUCCESS;
    return qs::files::ReplaceAtomically(file, text) ? ERROR_SUCCESS : ERROR_REGISTRY_IO_FAILED;
}

// What a read finds when the key is gone: a root always exists, a key
// opened earlier was deleted.
LONG MissingKey(const KeyRef& ref) { return ref.predefined ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED; }

std::string StoredBytes(DWORD type, const BYTE* data, DWORD size) {
    std::string bytes = data ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
    if ((type == REG_SZ || type == REG_EXPAND_SZ) && (bytes.empty() || bytes.back() != '\0')) bytes += '\0';
    return bytes;
}

void SetHiveValue(HiveKey& key, const std::string& name, DWORD type, const std::string& bytes) {
    for (auto& v : key.values) {
        if (RegistryHive::Fold(v.name) == RegistryHive::Fold(name)) {
            v.type = type;
            v.bytes = bytes;
            return;
        }
    }
    key.values.push_back(HiveValue{name, type, bytes});
}

LONG CopyData(const HiveValue& v, DWORD* type, BYTE* data, DWORD* dataSize) {
    if (type) *type = v.type;
    if (data && !dataSize) return ERROR_INVALID_PARAMETER;
    if (!dataSize) return ERROR_SUCCESS;
    DWORD needed = static_cast<DWORD>(v.bytes.size());
    if (data && *dataSize < needed) {
        *dataSize = needed;
        return ERROR_MORE_DATA;
    }
    if (data) std::memcpy(data, v.bytes.data(), needed);
    *dataSize = needed;
    return ERROR_SUCCESS;
}

LONG CopyName(const std::string& name, char* buffer, DWORD* size) {
    if (!buffer || !size) return ERROR_INVALID_PARAMETER;
    if (*size < name.size() + 1) return ERROR_MORE_DATA;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *size = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// The value a convenience read looks at, or null.
const HiveValue* FindForRead(HKEY root, const std::string& path, const std::string& name,
                             std::shared_ptr<const RegistryHive>& hive) {
    KeyRef ref;
    std::string full;
    if (!ResolveHandle(root, ref) || !JoinKeyPath(ref.path, path.c_str(), full)) return nullptr;
    hive = LoadHive(ref.root);
    if (!hive) return nullptr;
    const HiveKey* key = hive->Find(full);
    return key ? RegistryHive::FindValue(*key, name) : nullptr;
}

LONG WriteValueAt(HKEY root, const std::string& path, const std::string& name, DWORD type, const std::string& bytes) {
    KeyRef ref;
    std::string full;
    if (!ResolveHandle(root, ref)) return ERROR_INVALID_HANDLE;
    if (!JoinKeyPath(ref.path, path.c_str(), full)) return ERROR_BAD_PATHNAME;
    return ModifyHive(ref.root, [&](RegistryHive& hive) -> LONG {
        if (!ref.predefined && !hive.Find(ref.path)) return ERROR_KEY_DELETED;
        hive.Create(full);
        SetHiveValue(*hive.Find(full), name, type, bytes);
        return ERROR_SUCCESS;
    });
}

}  // namespace

LONG RegOpenKeyEx(HKEY key, const char* subKey, DWORD /*options*/, REGSAM access, HKEY* result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    KeyRef ref;
    if (!ResolveHandle(key, ref)) return ERROR_INVALID_HANDLE;
    std::string full;
    if (!JoinKeyPath(ref.path, subKey, full)) return ERROR_BAD_PATHNAME;
    auto hive = LoadHive(ref.root);
    if (!hive) return ERROR_REGISTRY_IO_FAILED;
    const HiveKey* found = hive->Find(full);
    if (!found) return ERROR_FILE_NOT_FOUND;
    *result = new QsRegistryKeyHandle{ref.root, found->path, access};
    return ERROR_SUCCESS;
}

LONG RegCreateKeyEx(HKEY key, const char* subKey, DWORD /*reserved*/, char* /*keyClass*/, DWORD /*options*/,
                    REGSAM access, const void* /*security*/, HKEY* result, DWORD* disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    KeyRef ref;
    if (!ResolveHandle(key, ref)) return ERROR_INVALID_HANDLE;
    std::string full;
    if (!JoinKeyPath(ref.path, subKey, full)) return ERROR_BAD_PATHNAME;
    bool created = false;
    std::string spelled = full;
    LONG rc = ModifyHive(ref.root, [&](RegistryHive& hive) -> LONG {
        if (!ref.predefined && !hive.Find(ref.path)) return ERROR_KEY_DELETED;
        created = hive.Create(full);
        spelled = hive.Find(full)->path;
        return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) return rc;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = new QsRegistryKeyHandle{ref.root, spelled, access};
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    KeyRef ref;
    if (!ResolveHandle(key, ref)) return ERROR_INVALID_HANDLE;
    if (!ref.predefined) delete key;
    return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY key, const char* name, DWORD* /*reserved*/, DWORD* type, BYTE* data, DWORD* dataSize) {
    KeyRef ref;
    if (!ResolveHandle(key, ref)) return ERROR_INVALID_HANDLE;
    if (!(ref.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    auto hive = LoadHive(ref.root);
    if (!hive) return ERROR_REGISTRY_IO_FAILED;
    const HiveKey* k = hive->Find(ref.path);
    if (!k) return MissingKey(ref);
    const HiveValue* v = RegistryHive::FindValue(*k, name ? name : "");
    if (!v) return ERROR_FILE_NOT_FOUND;
    return CopyData(*v, type, data, dataSize);
}

LONG RegSetValueEx(HKEY key, const char* name, DWORD /*reserved*/, DWORD type, const BYTE* data, DWORD dataSize) {
    KeyRef ref;
    if (!ResolveHandle(key, ref)) return ERROR_INVALID_HANDLE;
    if (!(ref.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (!data && dataSize > 0) return ERROR_INVALID_PARAMETER;
    std::string bytes = StoredBytes(type, data, dataSize);
    std::string valueName = name ? name : "";
    return ModifyHive(ref.root, [&](RegistryHive& hive) -> LONG {
        HiveKey* k = hive.Find(ref.path);
        if (!k) return MissingKey(ref);
        SetHiveValue(*k, valueName, type, bytes);
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValue(HKEY key, const char* name) {
    KeyRef ref;
    if (!ResolveHandle(key, ref)) return ERROR_INVALID_HANDLE;
    if (!(ref.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    std::string folded = RegistryHive::Fold(name ? name : "");
    return ModifyHive(ref.root, [&](RegistryHive& hive) -> LONG {
        HiveKey* k = hive.Find(ref.path);
        if (!k) return MissingKey(ref);
        auto it = std::find_if(k->values.begin(), k->values.end(),
                               [&](const HiveValue& v) { return RegistryHive::Fold(v.name) == folded; });
        if (it == k->values.end()) return ERROR_FILE_NOT_FOUND;
        k->values.erase(it);
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteKey(HKEY key, const char* subKey) {
    if (!subKey) return ERROR_INVALID_PARAMETER;
    KeyRef ref;
    if (!ResolveHandle(key, ref)) return ERROR_INVALID_HANDLE;
    std::string full;
    if (!JoinKeyPath(ref.path, subKey, full)) return ERROR_BAD_PATHNAME;
    if (full.empty()) return ERROR_ACCESS_DENIED;   // a root cannot go
    return ModifyHive(ref.root, [&](RegistryHive& hive) -> LONG {
        if (!hive.Find(full)) return ERROR_FILE_NOT_FOUND;
        if (!hive.SubKeys(full).empty()) return ERROR_ACCESS_DENIED;
        hive.Remove(full);
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKeyEx(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* /*reserved*/, char* keyClass,
                  DWORD* classSize, void* /*lastWriteTime*/) {
    KeyRef ref;
    if (!ResolveHandle(key, ref)) return ERROR_INVALID_HANDLE;
    if (!(ref.access & KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
    auto hive = LoadHive(ref.root);
    if (!hive) return ERROR_REGISTRY_IO_FAILED;
    if (!hive->Find(ref.path)) return MissingKey(ref);
    auto names = hive->SubKeys(ref.path);
    if (index >= names.size()) return ERROR_NO_MORE_ITEMS;
    LONG rc = CopyName(names[index], name, nameSize);
    if (rc == ERROR_SUCCESS && classSize) {
        if (keyClass && *classSize > 0) keyClass[0] = '\0';
        *classSize = 0;
    }
    return rc;
}

LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* /*reserved*/, DWORD* type, BYTE* data,
                  DWORD* dataSize) {
    KeyRef ref;
    if (!ResolveHandle(key, ref)) return ERROR_INVALID_HANDLE;
    if (!(ref.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    auto hive = LoadHive(ref.root);
    if (!hive) return ERROR_REGISTRY_IO_FAILED;
    const HiveKey* k = hive->Find(ref.path);
    if (!k) return MissingKey(ref);
    if (index >= k->values.size()) return ERROR_NO_MORE_ITEMS;
    const HiveValue& v = k->values[index];
    LONG rc = CopyName(v.name, name, nameSize);
    LONG dataRc = CopyData(v, type, data, dataSize);
    return rc != ERROR_SUCCESS ? rc : dataRc;
}

namespace qs::registry {

bool ReadString(HKEY root, const std::string& path, const std::string& name, std::string* out) {
    std::shared_ptr<const RegistryHive> hive;
    const HiveValue* v = FindForRead(root, path, name, hive);
    if (!v || (v->type != REG_SZ && v->type != REG_EXPAND_SZ)) return false;
    if (out) *out = v->bytes.substr(0, v->bytes.find('\0'));
    return true;
}

bool ReadDword(HKEY root, const std::string& path, const std::string& name, DWORD* out) {
    std::shared_ptr<const RegistryHive> hive;
    const HiveValue* v = FindForRead(root, path, name, hive);
    if (!v || v->type != REG_DWORD || v->bytes.size() != 4) return false;
    DWORD d = 0;
    for (int k = 3; k >= 0; --k) d = d * 256 + static_cast<unsigned char>(v->bytes[k]);
    if (out) *out = d;
    return true;
}

bool WriteString(HKEY root, const std::string& path, const std::string& name, const std::string& value) {
    return WriteValueAt(root, path, name, REG_SZ, value + '\0') == ERROR_SUCCESS;
}

bool WriteDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
    std::string bytes(4, '\0');
    for (int k = 0; k < 4; ++k) bytes[k] = static_cast<char>((value >> (8 * k)) & 0xff);
    return WriteValueAt(root, path, name, REG_DWORD, bytes) == ERROR_SUCCESS;
}

bool DeleteValue(HKEY root, const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(root, path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
    LONG rc = RegDeleteValue(key, name.c_str());
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool DeleteTree(HKEY root, const std::string& path) {
    KeyRef ref;
    std::string full;
    if (!ResolveHandle(root, ref) || !JoinKeyPath(ref.path, path.c_str(), full) || full.empty()) return false;
    return ModifyHive(ref.root, [&](RegistryHive& hive) -> LONG {
        hive.RemoveTree(full);
        return ERROR_SUCCESS;
    }) == ERROR_SUCCESS;
}

bool KeyExists(HKEY root, const std::string& path) {
    KeyRef ref;
    std::string full;
    if (!ResolveHandle(root, ref) || !JoinKeyPath(ref.path, path.c_str(), full)) return false;
    auto hive = LoadHive(ref.root);
    return hive && hive->Find(full);
}

std::vector<std::string> SubKeys(HKEY root, const std::string& path) {
    KeyRef ref;
    std::string full;
    if (!ResolveHandle(root, ref) || !JoinKeyPath(ref.path, path.c_str(), full)) return {};
    auto hive = LoadHive(ref.root);
    if (!hive || !hive->Find(full)) return {};
    return hive->SubKeys(full);
}

std::vector<std::string> ValueNames(HKEY root, const std::string& path) {
    KeyRef ref;
    std::string full;
    if (!ResolveHandle(root, ref) || !JoinKeyPath(ref.path, path.c_str(), full)) return {};
    auto hive = LoadHive(ref.root);
    const HiveKey* k = hive ? hive->Find(full) : nullptr;
    std::vector<std::string> names;
    if (k)
        for (const auto& v : k->values) names.push_back(v.name);
    return names;
}

std::string HiveFile(HKEY root) {
    KeyRef ref;
    if (!ResolveHandle(root, ref) || !ref.predefined) return std::string();
    return RootFile(ref.root);
}

}  // namespace qs::registry
