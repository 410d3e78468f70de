#pragma once
// The text of one ini profile, parsed the way the Windows profile functions
// read it, and edited line by line so that everything the program does not
// touch (comments, blank lines, spacing, key spelling) stays as it was.
// Internal to qsprofile.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qs::profile::detail {

// ASCII case-insensitive equality, as section and key names compare.
bool EqualNoCase(std::string_view a, std::string_view b);

class ProfileText {
public:
    struct Entry {
        size_t line;                        // index into m_lines
        std::string key;                    // trimmed, original case
        std::optional<std::string> value;   // trimmed raw text after the first "="; none without "="
    };
    struct Section {
        std::string name;                   // trimmed, original case
        size_t header;                      // line of "[name]"
        size_t end;                         // one past its last line
        std::vector<Entry> entries;
    };

    ProfileText() = default;
    explicit ProfileText(const std::string& bytes);

    const std::vector<Section>& Sections() const { return m_sections; }
    // First section with this name, or null.
    const Section* FindSection(std::string_view name) const;
    // First entry with this key in the first section of this name, or null.
    const Entry* FindEntry(std::string_view section, std::string_view key) const;

    void Set(std::string_view section, std::string_view key, std::string_view value);
    void DeleteKey(std::string_view section, std::string_view key);
    void DeleteSection(std::string_view section);
    // Replaces every line inside the section (keys, comments, blanks) by `lines`;
    // creates the section when missing.
    void ReplaceSection(std::string_view section, const std::vector<std::string>& lines);

    std::string Serialize() const;

private:
    void Reparse();
    void InsertLines(size_t at, const std::vector<std::string>& lines);
    void EraseLines(size_t from, size_t to);
    size_t AppendSection(std::string_view section);

    std::vector<std::string> m_lines;   // without line ends
    // Each line's own end as the file had it ("\n", "\r\n", or "" for a last
    // line without one), so lines the program does not touch are written
    // back byte for byte; new lines take m_eol.
    std::vector<std::string> m_ends;
    std::string m_eol = "\n";           // "\r\n" for files that came from Windows
    bool m_bom = false;                 // the file started with a UTF-8 byte order mark
    std::vector<Section> m_sections;
};

}  // namespace qs::profile::detail
