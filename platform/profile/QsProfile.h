#pragma once
// Ini profiles with the semantics of the Windows profile functions, so code
// written against them reads and behaves the same here.
//
// File format and rules:
// - "[Section]" lines open sections; "key=value" lines belong to the last
//   section opened. Lines before the first section, blank lines and lines
//   starting with ";" are ignored (and kept on disk as they are).
// - Section and key names compare without regard to ASCII case; the file
//   keeps the spelling it was written with. Blanks around names are ignored.
// - A value is the raw text after the first "=", blanks around it trimmed.
//   Nothing is escaped: keys may hold blanks and "#", values anything but a
//   line break. A value enclosed in a matching pair of double or single
//   quotes is read without them.
// - A line with no "=" is a key without a value: listed among the keys,
//   read as the default.
// - The first section of a name and the first key of a name in it win.
// - A file name without "/" lives in the Windows directory
//   (qs::env::WindowsDirectory()), as relative profile names do on Windows.
//   The file name part ignores case as on Windows: when no file has the
//   exact name, an existing one that differs only in case is used.
// - Writes create the file (and the Windows directory for such plain names)
//   on first use, replace the file atomically (temp file + rename), and hold
//   an advisory lock around read-modify-write, so writers in other threads
//   and processes never lose each other's keys. Readers take no lock.
// - Names and values that cannot be stored without changing the file's
//   structure (line breaks anywhere, "=" in a key, "]" in a section name,
//   a key starting with ";" or "[") are refused: the write returns 0.
//
// Strings are bytes (UTF-8); sizes and counts are in chars.
#include <cstdint>
#include <string>
#include <vector>

// Copies the value of `key` in `section`, or `defaultValue` (trailing blanks
// removed; null means "") when there is none, into `buffer` of `size` chars.
// Returns the number of chars copied, not counting the terminating NUL; a
// value that does not fit is cut to size-1 chars (and size-1 is returned).
// With a null `section`: the list of section names; with a null `key`: the
// list of key names in `section` (its default when the section has none).
// A list holds each name NUL-terminated plus one more NUL at the end; the
// count returned leaves out that last NUL. When a list does not fit, it is
// cut after size-2 chars and ends with two NULs, and size-2 is returned.
std::uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                      char* buffer, std::uint32_t size, const char* file);

// The value as an integer, parsed as Windows does: an optional sign, then
// decimal digits (or hex after "0x"), up to the first other char; a value
// with no digits gives 0; a missing key or empty value gives `defaultValue`.
unsigned int GetPrivateProfileInt(const char* section, const char* key, int defaultValue, const char* file);

// Sets `key` in `section` to `value`, creating section and file as needed.
// A null `value` deletes the key; a null `key` deletes the whole section.
// Returns nonzero on success, 0 on failure (errno set).
int WritePrivateProfileString(const char* section, const char* key, const char* value, const char* file);

// All "key=value" lines of the section as a list (each NUL-terminated, one
// more NUL at the end), values as stored (quotes kept). Truncation as for
// the lists of GetPrivateProfileString.
std::uint32_t GetPrivateProfileSection(const char* section, char* buffer, std::uint32_t size, const char* file);

// Replaces everything in `section` with the lines of `data`, a list of
// NUL-terminated "key=value" strings ending with an empty one. Creates the
// section when missing. Returns nonzero on success.
int WritePrivateProfileSection(const char* section, const char* data, const char* file);

// The section names as a list; same as GetPrivateProfileString with a null section.
std::uint32_t GetPrivateProfileSectionNames(char* buffer, std::uint32_t size, const char* file);

namespace qs::profile {

// The path a profile name stands for (plain names go to the Windows
// directory; an existing file whose name differs only in case is matched).
std::string ResolvePath(const std::string& file);

// Whole values, no buffer limit; otherwise the same rules as above.
std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& defaultValue = std::string());
int ReadInt(const std::string& file, const std::string& section, const std::string& key, int defaultValue);
// True when the key is present with a value ("key=" counts, a bare "key" does not).
bool HasValue(const std::string& file, const std::string& section, const std::string& key);

bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value);
bool WriteInt(const std::string& file, const std::string& section, const std::string& key, int value);
bool DeleteKey(const std::string& file, const std::string& section, const std::string& key);
bool DeleteSection(const std::string& file, const std::string& section);

// Names in file order, as spelled in the file.
std::vector<std::string> Sections(const std::string& file);
std::vector<std::string> Keys(const std::string& file, const std::string& section);

}  // namespace qs::profile
