#pragma once
// What a graph draws of one table, and the graph's own texts.
//
// A graph holds one CGraphData per table (the table's id with its layer,
// layer 0 meaning the layer the graph is shown in, and the part codes of the
// table's elements it draws) and one for itself (its title and footnote, the
// status word of the view's edits and the id of the database style record it
// last used).
//
// Part codes: MakeCode(part, index, mark) = mark * 1000000 + part * 1000 +
// index, index 0..999. Parts: 9 triangle data, 0 row data (and the selected
// factors of an SDF table), 1 column data, 10 the exhibit's factors,
// 3 statistic <index>, 7 tail curve <index>, 6 selected development factors,
// 4 development factor set <index>, 8 historical selection <index>,
// 5 named row <index> (a method's or report's column), 11 a scalar's value.
#include <cstdint>
#include <string>
#include <vector>

#include "KernelTypes.h"

class IGraphOwner;
class KernelWriter;
class KernelReader;

enum PartCode : int {
    PART_ROW = 0,
    PART_COLUMN = 1,
    PART_STATISTIC = 3,
    PART_DFSET = 4,
    PART_NAMEDROW = 5,
    PART_SDF = 6,
    PART_CURVE = 7,
    PART_SELHIST = 8,
    PART_TRIANGLE = 9,
    PART_EXHIBIT = 10,
    PART_SCALAR = 11,
};

class CGraphData {
public:
    CGraphData() = default;
    explicit CGraphData(QSID id) : m_id(id) {}

    static long MakeCode(PartCode part, int index = 0, bool mark = false);
    static int GetPartOfCode(long code) { return static_cast<int>(code % 1000000 / 1000); }
    static int GetIndexOfCode(long code) { return static_cast<int>(code % 1000); }

    QSID GetID() const { return m_id; }
    void SetID(QSID id) { m_id = id; }
    // The part codes, in the order they were added; a code is held once.
    const std::vector<long>& GetCodes() const { return m_codes; }
    void Clear() { m_codes.clear(); }
    void AddCode(long code);
    // Position of code among the codes, -1 when absent.
    int GetIndexForCode(long code) const;

    // Title and footnote (graph level).
    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& s) { m_name = s; }
    const std::string& GetFootnote() const { return m_footnote; }
    void SetFootnote(const std::string& s) { m_footnote = s; }
    long GetStatus() const { return m_status; }
    void SetStatus(long status) { m_status = status; }
    long GetStyleRecordID() const { return m_styleRecord; }
    void SetStyleRecordID(long id) { m_styleRecord = id; }

    // The project's default style for the kind of table this data names
    // (CGraphDefaultStyles); the input arrays' style for a project-less call.
    std::string GetStyleName(const IGraphOwner* project) const;

    bool operator==(const CGraphData& o) const;
    bool operator!=(const CGraphData& o) const { return !(*this == o); }

    void Write(KernelWriter& w) const;
    bool Read(KernelReader& r);

private:
    QSID m_id = 0;
    std::vector<long> m_codes;
    std::string m_name;
    std::string m_footnote;
    long m_status = 0;
    long m_styleRecord = -1;
};
