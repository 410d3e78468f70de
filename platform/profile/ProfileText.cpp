#include "ProfileText.h"

namespace qs::profile::detail {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

ProfileText::ProfileText(const std::string& bytes) {
    std::string_view rest = bytes;
    if (rest.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        // Dropped while parsing; a file that had it gets it back on save.
        m_bom = true;
        rest.remove_prefix(kUtf8Bom.size());
    }
    auto firstBreak = rest.find('\n');
    if (firstBreak != std::string_view::npos && firstBreak > 0 && rest[firstBreak - 1] == '\r') m_eol = "\r\n";
    while (!rest.empty()) {
        auto nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        std::string_view end;
        if (nl != std::string_view::npos) {
            // One CR before the LF belongs to the line end; any further CR
            // is the line's own and stays with it.
            const bool crlf = !line.empty() && line.back() == '\r';
            if (crlf) line.remove_suffix(1);
            end = crlf ? "\r\n" : "\n";
        }
        m_lines.emplace_back(line);
        m_ends.emplace_back(end);
        if (nl == std::string_view::npos) break;
        rest.remove_prefix(nl + 1);
    }
    Reparse();
}

void ProfileText::Reparse() {
    m_sections.clear();
    for (size_t i = 0; i < m_lines.size(); ++i) {
        std::string_view line = TrimBlanks(m_lines[i]);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            if (!m_sections.empty()) m_sections.back().end = i;
            line.remove_prefix(1);
            auto close = line.rfind(']');
            if (close != std::string_view::npos) line = line.substr(0, close);
            m_sections.push_back(Section{std::string(TrimBlanks(line)), i, m_lines.size(), {}});
            continue;
        }
        if (m_sections.empty()) continue;  // lines before the first section belong to none
        Entry e{i, {}, std::nullopt};
        auto eq = line.find('=');
        if (eq == std::string_view::npos) {
            e.key = std::string(line);
        } else {
            e.key = std::string(TrimBlanks(line.substr(0, eq)));
            e.value = std::string(TrimBlanks(line.substr(eq + 1)));
        }
        m_sections.back().entries.push_back(std::move(e));
    }
}

const ProfileText::Section* ProfileText::FindSection(std::string_view name) const {
    for (const auto& s : m_sections)
        if (EqualNoCase(s.name, name)) return &s;
    return nullptr;
}

const ProfileText::Entry* ProfileText::FindEntry(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    for (const auto& e : s->entries)
        if (EqualNoCase(e.key, key)) return &e;
    return nullptr;
}

void ProfileText::InsertLines(size_t at, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    // A last line without an end gets one before anything follows it.
    if (at == m_lines.size() && at > 0 && m_ends.back().empty()) m_ends.back() = m_eol;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), lines.begin(), lines.end());
    m_ends.insert(m_ends.begin() + static_cast<std::ptrdiff_t>(at), lines.size(), m_eol);
}

void ProfileText::EraseLines(size_t from, size_t to) {
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(from), m_lines.begin() + static_cast<std::ptrdiff_t>(to));
    m_ends.erase(m_ends.begin() + static_cast<std::ptrdiff_t>(from), m_ends.begin() + static_cast<std::ptrdiff_t>(to));
}

size_t ProfileText::AppendSection(std::string_view section) {
    InsertLines(m_lines.size(), {"[" + std::string(section) + "]"});
    return m_lines.size();
}

void ProfileText::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = std::string(key) + "=" + std::string(value);
    if (const Entry* e = FindEntry(section, key)) {
        // Keep the key as the file spells it.
        m_lines[e->line] = e->key + "=" + std::string(value);
    } else if (const Section* s = FindSection(section)) {
        // After the section's last non-blank line, so a blank line that
        // separates it from the next section stays where it is.
        size_t at = s->header + 1;
        for (size_t i = s->end; i > s->header + 1; --i) {
            if (!TrimBlanks(m_lines[i - 1]).empty()) {
                at = i;
                break;
            }
        }
        InsertLines(at, {line});
    } else {
        AppendSection(section);
        InsertLines(m_lines.size(), {line});
    }
    Reparse();
}

void ProfileText::DeleteKey(std::string_view section, std::string_view key) {
    const Section* s = FindSection(section);
    if (!s) return;
    // Every spelling of the key in that section goes, so a duplicate
    // further down does not resurface as the value.
    for (auto it = s->entries.rbegin(); it != s->entries.rend(); ++it)
        if (EqualNoCase(it->key, key)) EraseLines(it->line, it->line + 1);
    Reparse();
}

void ProfileText::DeleteSection(std::string_view section) {
    // All sections of that name, each with everything up to the next header.
    for (auto it = m_sections.rbegin(); it != m_sections.rend(); ++it) {
        if (!EqualNoCase(it->name, section)) continue;
        EraseLines(it->header, it->end);
    }
    Reparse();
}

void ProfileText::ReplaceSection(std::string_view section, const std::vector<std::string>& lines) {
    if (const Section* s = FindSection(section)) {
        EraseLines(s->header + 1, s->end);
        InsertLines(s->header + 1, lines);
    } else {
        size_t at = AppendSection(section);
        InsertLines(at, lines);
    }
    Reparse();
}

std::string ProfileText::Serialize() const {
    std::string out;
    if (m_bom) out += kUtf8Bom;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        out += m_lines[i];
        out += m_ends[i];
    }
    return out;
}

}  // namespace qs::profile::detail
