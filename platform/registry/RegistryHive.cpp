#include "RegistryHive.h"

#include <algorithm>
#include <cstdio>

namespace qs::registry::detail {

namespace {

constexpr std::uint32_t kHiveRegSz = 1;
constexpr std::uint32_t kHiveRegDword = 4;

const char kHiveHex[] = "0123456789abcdef";

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string QuoteText(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7f) {
                out += "\\x";
                out += kHiveHex[c >> 4];
                out += kHiveHex[c & 15];
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

// Parses a quoted text at s[pos] (which must be '"'); pos ends past the
// closing quote. False when the text is malformed.
bool UnquoteText(const std::string& s, size_t& pos, std::string& out) {
    out.clear();
    if (pos >= s.size() || s[pos] != '"') return false;
    for (++pos; pos < s.size(); ++pos) {
        char c = s[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++pos >= s.size()) return false;
        switch (s[pos]) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x': {
            if (pos + 2 >= s.size()) return false;
            int hi = HexDigitValue(s[pos + 1]), lo = HexDigitValue(s[pos + 2]);
            if (hi < 0 || lo < 0) return false;
            out += static_cast<char>(hi * 16 + lo);
            pos += 2;
            break;
        }
        default: return false;
        }
    }
    return false;
}

std::string EscapePath(const std::string& path) {
    std::string out;
    for (unsigned char c : path) {
        if (c < 0x20 || c == 0x7f || c == '%') {
            out += '%';
            out += kHiveHex[c >> 4];
            out += kHiveHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string UnescapePath(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
            HexDigitValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string ParentPath(const std::string& path) {
    auto slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Parses the data part of a value line (after "="); false when malformed.
bool ParseValueData(const std::string& line, size_t pos, HiveValue& v) {
    if (pos < line.size() && line[pos] == '"') {
        if (!UnquoteText(line, pos, v.bytes)) return false;
        v.bytes += '\0';
        v.type = kHiveRegSz;
        return true;
    }
    if (line.compare(pos, 6, "dword:") == 0) {
        std::uint32_t d = 0;
        size_t i = pos + 6;
        if (line.size() - i < 8) return false;
        for (size_t k = 0; k < 8; ++k) {
            int h = HexDigitValue(line[i + k]);
            if (h < 0) return false;
            d = d * 16 + static_cast<std::uint32_t>(h);
        }
        v.bytes.assign(4, '\0');
        for (int k = 0; k < 4; ++k) v.bytes[k] = static_cast<char>((d >> (8 * k)) & 0xff);
        v.type = kHiveRegDword;
        return true;
    }
    if (line.compare(pos, 4, "hex(") == 0) {
        size_t close = line.find("):", pos);
        if (close == std::string::npos) return false;
        try {
            v.type = static_cast<std::uint32_t>(std::stoul(line.substr(pos + 4, close - pos - 4), nullptr, 16));
        } catch (...) {
            return false;
        }
        v.bytes.clear();
        for (size_t i = close + 2; i < line.size();) {
            if (line[i] == ',') {
                ++i;
                continue;
            }
            if (i + 1 >= line.size()) return false;
            int hi = HexDigitValue(line[i]), lo = HexDigitValue(line[i + 1]);
            if (hi < 0 || lo < 0) return false;
            v.bytes += static_cast<char>(hi * 16 + lo);
            i += 2;
        }
        return true;
    }
    return false;
}

std::string FormatValueData(const HiveValue& v) {
    if (v.type == kHiveRegSz && !v.bytes.empty() && v.bytes.back() == '\0')
        return QuoteText(v.bytes.substr(0, v.bytes.size() - 1));
    if (v.type == kHiveRegDword && v.bytes.size() == 4) {
        std::uint32_t d = 0;
        for (int k = 3; k >= 0; --k) d = d * 256 + static_cast<unsigned char>(v.bytes[k]);
        char buf[16];
        std::snprintf(buf, sizeof buf, "dword:%08x", d);
        return buf;
    }
    char head[24];
    std::snprintf(head, sizeof head, "hex(%x):", v.type);
    std::string out = head;
    for (size_t i = 0; i < v.bytes.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(v.bytes[i]);
        if (i) out += ',';
        out += kHiveHex[c >> 4];
        out += kHiveHex[c & 15];
    }
    return out;
}

}  // namespace

std::string RegistryHive::Fold(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

const HiveValue* RegistryHive::FindValue(const HiveKey& key, const std::string& name) {
    std::string folded = Fold(name);
    for (const auto& v : key.values)
        if (Fold(v.name) == folded) return &v;
    return nullptr;
}

RegistryHive::RegistryHive() { m_keys.emplace("", HiveKey{}); }

RegistryHive::RegistryHive(const std::string& text) : RegistryHive() {
    HiveKey* current = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == ';') continue;
        line.erase(0, first);
        if (line[0] == '[') {
            size_t close = line.rfind(']');
            if (close == std::string::npos || close == 0) {
                current = nullptr;  // malformed header: its values have no home
                continue;
            }
            std::string path = UnescapePath(line.substr(1, close - 1));
            Create(path);
            current = Find(path);
            continue;
        }
        if (!current) continue;
        HiveValue v;
        size_t pos = 0;
        if (line[0] == '@') {
            pos = 1;
        } else if (!UnquoteText(line, pos, v.name)) {
            continue;
        }
        if (pos >= line.size() || line[pos] != '=') continue;
        if (!ParseValueData(line, pos + 1, v)) continue;
        bool replaced = false;
        for (auto& existing : current->values) {
            if (Fold(existing.name) == Fold(v.name)) {
                existing = v;
                replaced = true;
                break;
            }
        }
        if (!replaced) current->values.push_back(std::move(v));
    }
}

std::string RegistryHive::Serialize() const {
    std::string out;
    for (const auto& [folded, key] : m_keys) {
        if (folded.empty() && key.values.empty()) continue;
        if (!out.empty()) out += '\n';
        out += "[" + EscapePath(key.path) + "]\n";
        for (const auto& v : key.values) {
            out += v.name.empty() ? std::string("@") : QuoteText(v.name);
            out += '=';
            out += FormatValueData(v);
            out += '\n';
        }
    }
    return out;
}

const HiveKey* RegistryHive::Find(const std::string& path) const {
    auto it = m_keys.find(Fold(path));
    return it == m_keys.end() ? nullptr : &it->second;
}

HiveKey* RegistryHive::Find(const std::string& path) {
    auto it = m_keys.find(Fold(path));
    return it == m_keys.end() ? nullptr : &it->second;
}

bool RegistryHive::Create(const std::string& path) {
    if (Find(path)) return false;
    if (!path.empty()) Create(ParentPath(path));
    m_keys.emplace(Fold(path), HiveKey{path, {}});
    return true;
}

void RegistryHive::Remove(const std::string& path) {
    if (!path.empty()) m_keys.erase(Fold(path));
}

void RegistryHive::RemoveTree(const std::string& path) {
    std::string folded = Fold(path);
    if (folded.empty()) {
        m_keys.clear();
        m_keys.emplace("", HiveKey{});
        return;
    }
    std::string prefix = folded + "\\";
    for (auto it = m_keys.begin(); it != m_keys.end();) {
        if (it->first == folded || it->first.compare(0, prefix.size(), prefix) == 0) it = m_keys.erase(it);
        else ++it;
    }
}

std::vector<std::string> RegistryHive::SubKeys(const std::string& path) const {
    std::string folded = Fold(path);
    std::string prefix = folded.empty() ? std::string() : folded + "\\";
    std::vector<std::string> names;
    for (auto it = m_keys.lower_bound(prefix); it != m_keys.end(); ++it) {
        if (it->first.compare(0, prefix.size(), prefix) != 0) break;
        if (it->first.size() == prefix.size()) continue;  // the root itself
        if (it->first.find('\\', prefix.size()) != std::string::npos) continue;
        names.push_back(it->second.path.substr(it->second.path.rfind('\\') == std::string::npos
                                                   ? 0
                                                   : it->second.path.rfind('\\') + 1));
    }
    return names;
}

}  // namespace qs::registry::detail
