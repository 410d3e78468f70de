#include "ImportMaps.h"

#include <cstdlib>
#include <fstream>

namespace lexgrv {

std::vector<std::string> SplitFields(const std::string& line) {
    std::string text = line.substr(0, line.find('\n'));
    // Files written on Windows keep "\r" before the newline; it is no part of the last field.
    if (!text.empty() && text.back() == '\r') text.pop_back();
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        fields.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return fields;
}

int FieldNumber(const std::string& field) { return std::atoi(field.c_str()); }

namespace {

// Reads the file's lines after the version line; false when the version line
// is wrong or missing. maxLength: longer lines come as an empty optional.
class MapReader {
public:
    MapReader(const std::string& path, std::size_t maxLength) : m_in(path, std::ios::binary), m_max(maxLength) {}
    bool IsOpen() const { return m_in.is_open(); }
    // Next non-comment line; false at the end. tooLong is set for a line past the limit.
    bool Next(std::string& line, bool& tooLong) {
        while (std::getline(m_in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty() && line[0] == ';') continue;
            tooLong = line.size() > m_max;
            return true;
        }
        return false;
    }
    bool ReadVersion() {
        std::string line;
        bool tooLong = false;
        if (!Next(line, tooLong) || tooLong) return false;
        const auto f = SplitFields(line);
        return f.size() == 2 && f[0] == "Version" && FieldNumber(f[1]) == 1;
    }

private:
    std::ifstream m_in;
    std::size_t m_max;
};

}  // namespace
}  // namespace lexgrv

using lexgrv::FieldNumber;
using lexgrv::MapReader;
using lexgrv::SplitFields;

int CLOBMap::Load(const std::string& path) {
    MapReader in(path, 255);
    if (!in.IsOpen() || !in.ReadVersion()) return -1;
    std::string line;
    bool tooLong = false;
    while (in.Next(line, tooLong)) {
        const auto f = SplitFields(line);
        if (tooLong || f.size() != 3) return -1;
        // The map holds kCapacity rows; a longer file is refused rather than overrun.
        if (static_cast<int>(m_rows.size()) >= kCapacity) return -1;
        m_rows.push_back({f[0], f[1], f[2]});
    }
    return 0;
}

int CLOBMap::GetCount(int* count) {
    if (count) *count = static_cast<int>(m_rows.size());
    return 0;
}

namespace {
template <typename Rows, typename Field>
int Column(const Rows& rows, int row, const char** out, Field field) {
    // The index is the caller's to keep in range; an index outside gives -1
    // rather than reading past the rows.
    if (!out || row < 0 || row >= static_cast<int>(rows.size())) return -1;
    *out = (rows[row].*field).c_str();
    return 0;
}
}  // namespace

int CLOBMap::GetColumn3(int row, const char** text) { return Column(m_rows, row, text, &Row::text3); }
int CLOBMap::GetColumn1(int row, const char** code) { return Column(m_rows, row, code, &Row::code); }
int CLOBMap::GetColumn2(int row, const char** text) { return Column(m_rows, row, text, &Row::text2); }

int CVarMap::Load(const std::string& path) {
    MapReader in(path, 511);
    if (!in.IsOpen()) return -1;
    if (!in.ReadVersion()) return 0;
    std::string line;
    bool tooLong = false;
    while (in.Next(line, tooLong)) {
        if (tooLong) continue;
        const auto f = SplitFields(line);
        CVarMapRow r;
        if (f.size() >= 6) {
            r.idIndex = FieldNumber(f[0]);
            r.layer = FieldNumber(f[1]);
            r.arrayNo = FieldNumber(f[2]);
            r.subNo = FieldNumber(f[3]);
            r.firstIndex = FieldNumber(f[4]);
            r.kind = f[5].empty() ? 0 : f[5][0];
        }
        if (f.size() == 10) {
            r.sign2 = f[6].empty() ? 0 : f[6][0];
            r.arrayNo2 = FieldNumber(f[7]);
            r.subNo2 = FieldNumber(f[8]);
            r.firstIndex2 = FieldNumber(f[9]);
        }
        m_rows.push_back(r);
    }
    return 0;
}

int CUtilityMap::Load(const std::string& path) {
    MapReader in(path, 511);
    if (!in.IsOpen()) return -1;
    if (!in.ReadVersion()) return 0;
    std::string line;
    bool tooLong = false;
    while (in.Next(line, tooLong)) {
        const auto f = SplitFields(line);
        if (!tooLong && f.size() == 2) m_nodes.push_back({f[0], f[1]});
    }
    return 0;
}

void CUtilityMap::Expand(std::string& name) const {
    for (const Node& node : m_nodes) {
        const std::size_t n = node.pattern.find('*');
        if (n == std::string::npos) continue;
        if (!(n < name.size()) || name.compare(0, n, node.pattern, 0, n) != 0) continue;
        const std::string tail = name.substr(n, 255);
        name = node.replacement;
        const std::size_t star = name.find('*');
        if (star != std::string::npos) {
            name = name.substr(0, star) + tail;
            return;
        }
    }
}
