#pragma once
// A factor set: a named collection of selected development factor rows, one
// row per development exhibit and layer, all of one development structure
// (number of development periods, their length in months and the first age).
// Each row is a one-row CDataObject of the set's period count whose last cell
// is the tail factor. Rows are keyed by the exhibit's packed id with its layer
// set; the exhibit's name travels with the row so a library can be shown
// without the project that filled it.
#include <map>
#include <string>

#include "CDataObject.h"
#include "KernelTypes.h"

class KernelWriter;
class KernelReader;

class CFactorSet {
public:
    // The largest number of development periods a set may have.
    static constexpr std::uint16_t kMaxDevPrds = 999;

    CFactorSet() = default;
    CFactorSet(const std::string& name, const std::string& description, std::uint16_t numDevPrds,
               PRDLENGTH devPrdLength, std::uint16_t firstDevPrd);
    CFactorSet(const CFactorSet& other);
    CFactorSet& operator=(const CFactorSet& other);

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    const std::string& GetDescription() const { return m_description; }
    void SetDescription(const std::string& text) { m_description = text; }
    std::uint16_t GetNumDevPrds() const { return m_numDevPrds; }
    PRDLENGTH GetDevPrdLength() const { return m_devPrdLength; }
    std::uint16_t GetFirstDevPrdLength() const { return m_firstDevPrd; }
    // Column headings: the development age in months of each column; the
    // last column is headed "Tail".
    QSSTATUS GetDevPrdLabels(QSStringArray& labels) const;

    // The row of an exhibit on a layer (id with the layer set). GetDF leaves
    // row null and fails when the set has none; the pointer stays valid until
    // the row is replaced or removed. SetDF stores a copy reshaped to one row
    // of the set's period count (cells beyond the given row stay blank). The
    // name argument of GetDF and RemoveDF is not used for the look-up.
    QSSTATUS GetDF(const QSID& id, const std::string& name, CDataObject*& row);
    // The same look-up without changing the set; null when there is no row.
    const CDataObject* FindDF(const QSID& id) const;
    QSSTATUS SetDF(const QSID& id, const std::string& name, const CDataObject& row);
    QSSTATUS RemoveDF(const QSID& id, const std::string& name);
    // The exhibits with a row on a layer, in id order.
    QSSTATUS GetDFList(const std::uint16_t& layer, QSIDArray& ids, QSStringArray& names) const;
    std::size_t GetDFCount() const { return m_rows.size(); }

    // Every row keeps its exhibit but loses its values.
    void ClearFactorSet();
    // Reshapes the set. With clear, every row is blanked; otherwise a value
    // moves to the column of the same development age and each row's tail
    // stays in the last column. Fails (and changes nothing) on a bad shape.
    QSSTATUS Redim(bool clear, const std::uint16_t& count, const PRDLENGTH& length, const std::uint16_t& first);
    // Adds one development period before the tail (the new column is blank).
    QSSTATUS AddNewEval();
    // Whether the set can serve a project of this development structure: the
    // period length and the first age must agree; the period count must
    // agree too unless allowCountChange (rows are then cut or padded with
    // blanks at the project's count, tail kept last). reserved1/2 are kept
    // for callers that pass further project values; they do not change the
    // answer.
    bool CanAdjustSize(std::uint16_t numDevPrds, PRDLENGTH length, std::uint16_t first, std::uint16_t reserved1,
                       int reserved2, int allowCountChange) const;
    // A copy of one row fitted to count columns, tail kept in the last cell.
    static CDataObject FitRow(const CDataObject& row, std::uint16_t count);
    // True when both sets hold the same rows with the same values and flags.
    bool CompareDFList(const CFactorSet& other) const;

    // The set's part of a ".dfl" file (CFSLib.h describes the layout). Read
    // validates everything and returns false on damage, leaving *this as is.
    void Write(KernelWriter& w) const;
    bool Read(KernelReader& r);

    static bool IsValidLength(int months) { return months == 1 || months == 3 || months == 6 || months == 12; }

private:
    struct Row {
        std::string name;
        CDataObject values;
    };
    static void ShapeRow(CDataObject& row, std::uint16_t count);

    std::string m_name;
    std::string m_description;
    std::uint16_t m_numDevPrds = 1;
    PRDLENGTH m_devPrdLength = PRD_YEAR;
    std::uint16_t m_firstDevPrd = 12;
    std::map<QSID, Row> m_rows;
};
