#pragma once
// The registry as the Win32 functions present it, kept in one text file per
// root: HKEY_LOCAL_MACHINE in <machine config>/hklm.reg, HKEY_CLASSES_ROOT
// in <machine config>/hkcr.reg (qs::env::MachineConfigDirectory()), and
// HKEY_CURRENT_USER in <user config>/hkcu.reg (qs::env::UserConfigDirectory()).
//
// Semantics kept from Windows:
// - Key paths use "\" and, like value names, compare without regard to
//   ASCII case; keys keep the spelling they were created with.
// - A missing key or value is ERROR_FILE_NOT_FOUND; a buffer too small is
//   ERROR_MORE_DATA with the size needed; past the last item of an
//   enumeration, ERROR_NO_MORE_ITEMS. A null or empty value name is the
//   key's default value.
// - A handle opened without KEY_QUERY_VALUE / KEY_SET_VALUE /
//   KEY_ENUMERATE_SUB_KEYS is refused those operations (ERROR_ACCESS_DENIED);
//   RegDeleteKey refuses a key that still has subkeys (ERROR_ACCESS_DENIED).
// - Handles name a key by path: a key deleted through another handle reads
//   as missing, and writing to it gives ERROR_KEY_DELETED.
// Differences, deliberate:
// - REG_SZ and REG_EXPAND_SZ data is stored with a terminating NUL even
//   when the caller's count left it out, so every read gets a terminated
//   string.
// - Each write replaces the file atomically (temp file + rename) under an
//   advisory lock, so writers in other threads and processes never lose
//   each other's changes. Reads take no lock.
//
// Strings are bytes (UTF-8). The Windows type names are aliases of the same
// types the framework uses, so both headers can be included together.
#include <cstdint>
#include <string>
#include <vector>

using BYTE = unsigned char;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using LSTATUS = LONG;
using REGSAM = DWORD;

struct QsRegistryKeyHandle;
using HKEY = QsRegistryKeyHandle*;

#ifndef HKEY_CLASSES_ROOT
#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u)))
#endif

#ifndef ERROR_SUCCESS
#define ERROR_SUCCESS 0L
#endif
#ifndef ERROR_FILE_NOT_FOUND
#define ERROR_FILE_NOT_FOUND 2L
#endif
#ifndef ERROR_ACCESS_DENIED
#define ERROR_ACCESS_DENIED 5L
#endif
#ifndef ERROR_INVALID_HANDLE
#define ERROR_INVALID_HANDLE 6L
#endif
#ifndef ERROR_INVALID_PARAMETER
#define ERROR_INVALID_PARAMETER 87L
#endif
#ifndef ERROR_BAD_PATHNAME
#define ERROR_BAD_PATHNAME 161L
#endif
#ifndef ERROR_MORE_DATA
#define ERROR_MORE_DATA 234L
#endif
#ifndef ERROR_NO_MORE_ITEMS
#define ERROR_NO_MORE_ITEMS 259L
#endif
#ifndef ERROR_KEY_DELETED
#define ERROR_KEY_DELETED 1018L
#endif
#ifndef ERROR_REGISTRY_IO_FAILED
#define ERROR_REGISTRY_IO_FAILED 1016L
#endif

#ifndef REG_NONE
#define REG_NONE 0u
#define REG_SZ 1u
#define REG_EXPAND_SZ 2u
#define REG_BINARY 3u
#define REG_DWORD 4u
#define REG_MULTI_SZ 7u
#endif

#ifndef KEY_QUERY_VALUE
#define KEY_QUERY_VALUE 0x0001u
#define KEY_SET_VALUE 0x0002u
#define KEY_CREATE_SUB_KEY 0x0004u
#define KEY_ENUMERATE_SUB_KEYS 0x0008u
#define KEY_NOTIFY 0x0010u
#define KEY_READ 0x20019u
#define KEY_WRITE 0x20006u
#define KEY_ALL_ACCESS 0xF003Fu
#endif

#ifndef REG_OPTION_NON_VOLATILE
#define REG_OPTION_NON_VOLATILE 0u
#define REG_CREATED_NEW_KEY 1u
#define REG_OPENED_EXISTING_KEY 2u
#endif

// Opens an existing key below `key` (null or "" opens `key` itself again).
LONG RegOpenKeyEx(HKEY key, const char* subKey, DWORD options, REGSAM access, HKEY* result);
// Opens the key, creating it and any missing parents. `disposition` (may be
// null) tells REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY. The class,
// options and security arguments are accepted and ignored.
LONG RegCreateKeyEx(HKEY key, const char* subKey, DWORD reserved, char* keyClass, DWORD options, REGSAM access,
                    const void* security, HKEY* result, DWORD* disposition);
LONG RegCloseKey(HKEY key);

// `type`, `data` and `dataSize` may each be null; with `data` null the size
// needed is reported. `*dataSize` is in bytes, strings counting their NUL.
LONG RegQueryValueEx(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize);
LONG RegSetValueEx(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);
LONG RegDeleteValue(HKEY key, const char* name);
// Deletes a key that has no subkeys.
LONG RegDeleteKey(HKEY key, const char* subKey);

// Subkeys in order of their names (ignoring case). `*nameSize` in chars:
// the buffer's size on entry, the name's length without NUL on return.
LONG RegEnumKeyEx(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, char* keyClass,
                  DWORD* classSize, void* lastWriteTime);
// Values in the order they were first set.
LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, DWORD* type, BYTE* data,
                  DWORD* dataSize);

namespace qs::registry {

// `root` is a predefined root or an open key; `path` is below it ("" = itself).
// Reads are false when the key or value is missing or of another type.
bool ReadString(HKEY root, const std::string& path, const std::string& name, std::string* out);  // REG_SZ, REG_EXPAND_SZ
bool ReadDword(HKEY root, const std::string& path, const std::string& name, DWORD* out);
// Writes create the key as needed.
bool WriteString(HKEY root, const std::string& path, const std::string& name, const std::string& value);
bool WriteDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
bool DeleteValue(HKEY root, const std::string& path, const std::string& name);
// Deletes the key with all its subkeys; true also when it did not exist.
bool DeleteTree(HKEY root, const std::string& path);
bool KeyExists(HKEY root, const std::string& path);
std::vector<std::string> SubKeys(HKEY root, const std::string& path);
std::vector<std::string> ValueNames(HKEY root, const std::string& path);

// The file that holds a predefined root (empty for other handles).
std::string HiveFile(HKEY root);

}  // namespace qs::registry
