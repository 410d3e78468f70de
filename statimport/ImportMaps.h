#pragma once
// The three map files of the statistics import: "lob.map" (lines of
// business), "var1.map"/"var2.map" (which variables fill which array) and
// "utility.map" (variable-name rewrites). Comment lines begin with ';'; the
// first other line must be "Version,1". docs/statimport/ktb-and-maps.md shows them.
#include <string>
#include <vector>

#include "LexigroveInterface.h"

namespace lexgrv {

// Splits at every ',' (no trimming or quoting); the line ends at its first
// newline, and a carriage return before it is dropped.
std::vector<std::string> SplitFields(const std::string& line);
// Decimal value up to the first non-digit; leading blanks and a sign allowed.
int FieldNumber(const std::string& field);

}  // namespace lexgrv

class CLOBMap final : public ILOBMap {
public:
    static constexpr int kCapacity = 50;
    // 0 when the whole file was read; -1 when it cannot be opened, its version
    // line is wrong, a row has other than three fields, or it holds more than
    // kCapacity rows (the rows read before stay).
    int Load(const std::string& path);

    int GetCount(int* count) override;
    int GetColumn3(int row, const char** text) override;
    int GetColumn1(int row, const char** code) override;
    int GetColumn2(int row, const char** text) override;

private:
    struct Row {
        std::string code, text2, text3;
    };
    std::vector<Row> m_rows;
};

struct CVarMapRow {
    int idIndex = 0;
    int layer = 0;
    int arrayNo = 0;
    int subNo = 0;
    int firstIndex = 0;
    char kind = 0;
    char sign2 = 0;
    int arrayNo2 = 0;
    int subNo2 = 0;
    int firstIndex2 = 0;
};

class CVarMap {
public:
    // -1 only when the file cannot be opened; a wrong version line leaves the
    // map empty with 0.
    int Load(const std::string& path);
    const std::vector<CVarMapRow>& Rows() const { return m_rows; }

private:
    std::vector<CVarMapRow> m_rows;
};

class CUtilityMap {
public:
    int Load(const std::string& path);
    // Rewrites name by the first node whose pattern (the text before its '*')
    // begins name; see the map's documentation.
    void Expand(std::string& name) const;
    std::size_t Size() const { return m_nodes.size(); }

private:
    struct Node {
        std::string pattern, replacement;
    };
    std::vector<Node> m_nodes;
};
