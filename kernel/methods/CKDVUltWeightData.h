#pragma once
// The weights of a summary report's weighted average ultimate.
//
// CKDVUltWeightData holds the weights of one ultimate (one table of the
// report): one weight for every exposure period before the latest N, and one
// weight for each of the latest N periods, oldest first (GetLatestData(0) is
// the oldest of the latest periods). CKDVUltWeightDataInfo holds the entries
// of all weighted tables of one report and N, the number of latest exposure
// periods. Weights are relative: 5/3/2 and .5/.3/.2 weight alike.
//
// The weight of table t at exposure row r of a report with R rows
// (WeightAt): r < R - N takes the all-other weight; a later row takes latest
// weight r - (R - N), or the all-other weight when the entry holds fewer
// latest weights; a table without an entry has weight 0.
#include <vector>

#include "CObject.h"
#include "KernelTypes.h"

class CArchive;

class CKDVUltWeightData : public CObject {
    DECLARE_SERIAL(CKDVUltWeightData)
public:
    CKDVUltWeightData() = default;
    CKDVUltWeightData(QSID id, double allOther, std::vector<double> latest = {})
        : m_id(id), m_allOther(allOther), m_latest(std::move(latest)) {}
    CKDVUltWeightData(const CKDVUltWeightData&) = default;
    CKDVUltWeightData& operator=(const CKDVUltWeightData&) = default;
    bool operator==(const CKDVUltWeightData& o) const {
        return m_id == o.m_id && m_allOther == o.m_allOther && m_latest == o.m_latest;
    }
    void Serialize(CArchive& ar) override;

    // The table the weights belong to (stored without its layer).
    QSID GetID() const { return m_id; }
    void SetID(QSID id) { m_id = id; }
    double GetAllOtherData() const { return m_allOther; }
    void SetAllOtherData(double w) { m_allOther = w; }
    int GetLatestCount() const { return static_cast<int>(m_latest.size()); }
    // Weight k of the latest periods (0 the oldest of them); 0 outside.
    double GetLatestData(int k) const;
    // Sets weight k, growing the list with all-other weights when needed; k
    // must be 0..249.
    bool SetLatestData(int k, double w);
    void AddLatestData(double w) { m_latest.push_back(w); }
    const std::vector<double>& GetLatest() const { return m_latest; }
    // True when every weight is finite and not negative.
    bool IsValid() const;

private:
    QSID m_id = 0;
    double m_allOther = 0.0;
    std::vector<double> m_latest;
};

class CKDVUltWeightDataInfo : public CObject {
    DECLARE_SERIAL(CKDVUltWeightDataInfo)
public:
    static constexpr int kMaxLatest = 250;
    CKDVUltWeightDataInfo() = default;
    explicit CKDVUltWeightDataInfo(int numLatest) : m_numLatest(numLatest) {}
    CKDVUltWeightDataInfo(const CKDVUltWeightDataInfo&) = default;
    CKDVUltWeightDataInfo& operator=(const CKDVUltWeightDataInfo&) = default;
    bool operator==(const CKDVUltWeightDataInfo& o) const {
        return m_numLatest == o.m_numLatest && m_layer == o.m_layer && m_cols == o.m_cols;
    }
    void Serialize(CArchive& ar) override;

    // N, the number of latest exposure periods with their own weights (0..250).
    int GetNumLatest() const { return m_numLatest; }
    void SetNumLatest(int n) { m_numLatest = n < 0 ? 0 : (n > kMaxLatest ? kMaxLatest : n); }
    // The layer the weights were entered for (informative; 0 when unknown).
    int GetLayer() const { return m_layer; }
    void SetLayer(int layer) { m_layer = layer; }

    // One table's weights, found by its id (the layer is ignored); false and
    // data untouched when the table has none.
    bool GetColData(QSID id, CKDVUltWeightData& data) const;
    // Stores one table's weights, replacing its earlier entry; false (nothing
    // stored) for id 0 or a weight that is negative or not finite.
    bool SetColData(const CKDVUltWeightData& data);
    bool RemoveColData(QSID id);
    int GetCount() const { return static_cast<int>(m_cols.size()); }
    const CKDVUltWeightData& GetAt(int i) const { return m_cols.at(static_cast<std::size_t>(i)); }
    void Clear() { m_numLatest = 0; m_layer = 0; m_cols.clear(); }

    // The weight of table id at row (0-based) of a report with rows rows.
    double WeightAt(QSID id, int row, int rows) const;

private:
    int m_numLatest = 0;
    int m_layer = 0;
    std::vector<CKDVUltWeightData> m_cols;
};
