#pragma once
// One registry root held in memory: keys by path (compared without regard
// to ASCII case, spelled as created), each with its values in the order
// they were first set. Text form, one file per root:
//
//   [SOFTWARE\Corvinet\Quillstone]
//   "Print Job Number"=dword:0000002a
//   @="default value"
//   "Data"=hex(3):01,ff
//
// Names and strings are quoted with C-style escapes (\\ \" \n \r \t \xHH);
// "%" and control bytes in key paths are written as %XX. Internal to qsregistry.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace qs::registry::detail {

struct HiveValue {
    std::string name;     // "" is the key's default value
    std::uint32_t type;
    std::string bytes;    // raw data; strings include their terminating NUL
};

struct HiveKey {
    std::string path;     // "" for the root; "A\B\C" otherwise
    std::vector<HiveValue> values;
};

class RegistryHive {
public:
    RegistryHive();
    explicit RegistryHive(const std::string& text);
    std::string Serialize() const;

    const HiveKey* Find(const std::string& path) const;
    HiveKey* Find(const std::string& path);
    // Creates the key and any missing parents; true when it was new.
    bool Create(const std::string& path);
    // Removes the key alone; the caller checks it has no subkeys.
    void Remove(const std::string& path);
    // Removes the key and everything under it.
    void RemoveTree(const std::string& path);
    // Names of the direct subkeys, ordered without regard to case.
    std::vector<std::string> SubKeys(const std::string& path) const;

    static std::string Fold(const std::string& s);
    static const HiveValue* FindValue(const HiveKey& key, const std::string& name);

private:
    std::map<std::string, HiveKey> m_keys;   // by folded path
};

}  // namespace qs::registry::detail
