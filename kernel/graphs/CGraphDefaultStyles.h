#pragma once
// The chart style a new graph takes, per kind of table: six style file names
// in this order: input arrays, exhibits, methods, reports, ultimates (columns),
// SDFs. Part of the project, stored in the "DefGraphStyles" stream
// (docs/kernel/storage.md).
#include <array>
#include <string>

class CGraphDefaultStyles {
public:
    enum Kind : int { ARRAYS = 0, EXHIBITS = 1, METHODS = 2, REPORTS = 3, ULTIMATES = 4, SDFS = 5 };
    static constexpr int kCount = 6;
    // The installed default of each position ("DEF_ARR.RGS" ... "DEF_SDF.RGS").
    static const char* DefaultName(int kind);

    CGraphDefaultStyles();
    // Empty for a position outside 0..5.
    std::string GetStyle(int kind) const;
    // False (nothing changes) for a position outside 0..5.
    bool SetStyle(int kind, const std::string& name);
    void Reset();  // every position back to its default
    bool operator==(const CGraphDefaultStyles& o) const { return m_names == o.m_names; }
    bool operator!=(const CGraphDefaultStyles& o) const { return !(*this == o); }

private:
    std::array<std::string, kCount> m_names;
};
