#pragma once
// The statistics rows of a development exhibit, computed column by column
// from its age-to-age factor triangle.
//
// Each statistic comes from one 9-byte definition record:
//   0 order (0 = inactive)   1 type (1 Average, 2 Linear Trend, 4 Exponential Curve)
//   2 include zeros          3 exclude high and low
//   4 exclude first (count)  5 exclude last (count)   6 use last (count)
//   7 weights (0 none, 1 VOLUME, 2 TIME, 3 USER)     8 include in graph
// The active records (order > 0) become statistics in ascending order.
//
// Statistic, row and column numbers count from 0, like every kernel index.
// An Average has one untitled row (its values stand on the name row). A
// Linear Trend has the rows "Slope", "Y Intercept", "R squared", "Projected";
// an Exponential Curve "Slope %", "Y Intercept", "R squared", "Projected".
// Statuses: 0 = success, 1 = a statistic, row or column out of range.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ReservingMath.h"

class CDataObject;

class CStatistics {
public:
    using Record = std::array<unsigned char, 9>;

    struct Definition {
        unsigned char order = 0;
        unsigned char type = 1;
        bool includeZeros = false;
        bool excludeHighLow = false;
        unsigned char excludeFirst = 0;
        unsigned char excludeLast = 0;
        unsigned char useLast = 0;
        unsigned char weights = 0;
        bool includeInGraph = false;

        // Takes 9 bytes, or the 8 leading bytes of a fill-from-statistic
        // request (include in graph off). False for any other length. A type
        // outside 1, 2, 4 reads as Average, weights above 3 as none.
        static bool Decode(const unsigned char* bytes, size_t count, Definition& out);
        Record Encode() const;
        qs::calc::StatOptions ToOptions() const;
        // The statistic's name, e.g. "5 Year Volume Weighted Average
        // Excluding High/Low"; period length in months picks the unit word.
        std::string Name(int periodMonths, bool abbreviate) const;
    };

    CStatistics() = default;

    // Replaces the definitions (records of any order; inactive ones are kept
    // out). excludePrior drops row 0 of the factor triangle from every
    // statistic when the project has a prior row (see Compute).
    void SetDefinitions(const std::vector<Record>& records, int excludePrior, int abbreviate);
    const std::vector<Definition>& GetDefinitions() const { return m_defs; }
    int GetExcludePrior() const { return m_excludePrior; }
    int GetAbbreviate() const { return m_abbreviate; }
    // Months per development period (1, 3, 6, 12) for the names; 12 at first.
    void SetPeriodLength(int months) { m_periodMonths = months; }

    // Computes every statistic over the factor triangle. cumulative, when
    // given, is the triangle the factors came from (its column k is the
    // VOLUME weight of factor column k); outliers and userWeights, when given,
    // have the factor triangle's shape (stride = factors.cols): an outlier
    // byte with the value bit (1) excludes the factor (so an outliers
    // object's flag bytes can be passed as they are), a user weight weights
    // it. hasPriorRow says that row 0 is the prior exposure row.
    // columns, when given, limits the work to the columns whose entry is
    // non-zero (the others keep their results); it needs the column count of
    // the last full computation.
    void Compute(const qs::calc::TriangleRef& factors, const qs::calc::TriangleRef* cumulative,
                 const unsigned char* outliers, const double* userWeights, bool hasPriorRow,
                 const std::vector<unsigned char>* columns = nullptr);

    // The same over the exhibit's data objects: the factor triangle, the
    // cumulative triangle it came from (may be null), the outliers object
    // (may be null; a cell holding a value marks the factor as excluded) and
    // the user's weights (may be null; a cell holding a value is the weight
    // of the factor at its place, any other factor weighs 1).
    void Compute(const CDataObject& factors, const CDataObject* cumulative, const CDataObject* outliers,
                 bool hasPriorRow, const std::vector<unsigned char>* columns = nullptr,
                 const CDataObject* userWeights = nullptr);

    unsigned short GetNumStats(unsigned short& count) const;
    unsigned short GetMaxCols(unsigned short& cols) const;
    unsigned short GetStatName(const unsigned short& stat, std::string& name, int abbreviate) const;
    unsigned short GetNumRows(const unsigned short& stat, unsigned short& rows) const;
    unsigned short GetRowTitle(const unsigned short& stat, const unsigned short& row, std::string& title) const;
    bool IsStatLTrend(const unsigned short& stat) const;
    bool IsStatExpCurve(const unsigned short& stat) const;
    bool IsStatInGraph(const unsigned short& stat) const;
    // flag 0 = a value, 4 = blank (the statistic has no value there).
    unsigned short GetAt(const unsigned short& stat, const unsigned short& row, const unsigned short& col,
                         double& value, char& flag) const;

private:
    struct Cell {
        bool valid = false;
        double row[4] = {0, 0, 0, 0};
    };
    std::vector<Definition> m_defs;
    std::vector<std::vector<Cell>> m_cells;  // [stat][column]
    int m_cols = 0;
    int m_excludePrior = 1;
    int m_abbreviate = 0;
    int m_periodMonths = 12;
};
