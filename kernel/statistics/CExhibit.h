#pragma once
// A development exhibit: the age-to-age factor triangle of one input array,
// its statistics rows, the selected development factors (SDF, the one row the
// user edits; its last cell is the tail), their cumulative (age-to-ultimate)
// and ratio-to-ultimate forms, the outlier marks and an optional tail-factor
// analysis.
//
// Shapes follow the source triangle: the factor triangle and the outliers
// object have the source's rows, columns and row lengths; factor (i, k) =
// C(i, k+1) / C(i, k) for k below the row's last cell, so the last column
// (the tail column) and each row's last cell hold no factor. The SDF, the
// cumulative and the ratio rows have one row of the source's column count.
//
// The exhibit depends on its source, its SDF and its outliers object: a
// change to any of them recalculates the factors, the statistics and the
// derived rows (CFormula's dependency walk).
#include <memory>
#include <vector>

#include "CDataObject.h"
#include "CFormula.h"
#include "CStatistics.h"
#include "CTailFactorAnalysis.h"

class CExhibit : public CFormula {
public:
    // Storage tag of exhibits in the project stream (tags below 16 are the
    // kernel core's).
    static constexpr int kStorageTag = 16;

    explicit CExhibit(QSID id = 0);
    CExhibit(const CExhibit& other);  // definition and values; no source link
    CExhibit& operator=(const CExhibit& other);
    ~CExhibit() override;
    std::unique_ptr<CFormula> Clone() const override;

    // The input array the factors come from (its id, layer included). Binds to
    // the project's object when the exhibit belongs to a project.
    QSSTATUS SetSourceID(QSID id);
    QSID GetSourceID() const { return m_sourceId; }
    // Binds directly to a data object (kernel code and tests); null unbinds.
    void SetSource(CDataObject* source);
    CDataObject* GetSource() const { return m_source; }

    bool HasStatistics() const { return m_hasStatistics; }
    void SetHasStatistics(bool on);
    // The statistics definitions (9-byte records, see CStatistics.h).
    void SetStatsDefs(const std::vector<CStatistics::Record>& records, int excludePrior, int abbreviate);
    // The definitions and options the statistics are computed with.
    const CStatistics& GetStatisticsDefinitions() const { return m_stats; }
    bool HasSDF() const { return m_hasSDF; }
    void SetHasSDF(bool on);

    QSSTATUS GetFactorTriangle(CDataObject*& factors);
    QSSTATUS GetStatistics(CStatistics*& statistics);  // fails without statistics
    QSSTATUS GetOutliersObject(CDataObject*& outliers);  // fails without statistics
    // The user's weights of the factors, read by the statistics whose weights
    // are USER: a triangle of the factor triangle's shape. A cell without a
    // value weighs 1 (so an empty object gives the simple average); a
    // weight of 0 or below leaves the factor out of those statistics.
    // Present with the statistics, like the outliers object; stored with the
    // exhibit once a weight is held.
    QSSTATUS GetUserWeightsObject(CDataObject*& weights);  // fails without statistics
    QSSTATUS GetSDFObject(CDataObject*& sdf);             // fails without an SDF
    QSSTATUS GetCumSDFObject(CDataObject*& cumulative);   // age-to-ultimate
    QSSTATUS GetRatioSDFObject(CDataObject*& ratio);      // ratio to ultimate

    // Historical selections, newest first (at most 12): each a copy of an
    // earlier SDF. RollSelectionsToHistory makes the current SDF history 1
    // (the oldest beyond 12 is dropped) and, with clearSelected, blanks it.
    static constexpr int kMaxHistory = 12;
    bool HasSelHist() const { return !m_selHist.empty(); }
    QSSTATUS GetSelHist(std::vector<CDataObject*>& history);
    QSSTATUS RollSelectionsToHistory(bool clearSelected);

    // Factor-set rows: for each factor set attached to the project (in the
    // project's order) that holds a row for this exhibit on its layer, a copy
    // of the row fitted to the exhibit's ages (tail last) and named after the
    // set. The pointers stay valid until the next GetDFs.
    bool HasDFs() const;
    QSSTATUS GetDFs(std::vector<CDataObject*>& rows);

    // The interpolated selections: a row of factors between consecutive
    // interpolated ages (the last cell a tail), with the same cumulative and
    // ratio rows as the SDF. SetInterpolateSDF(0) removes them; another count
    // shapes the row (cells kept where they still fit).
    bool HasInterpolateSDF() const { return m_hasInterpSDF; }
    QSSTATUS SetInterpolateSDF(std::uint16_t cols);
    QSSTATUS GetInterpolateSDFObject(CDataObject*& sdf);
    QSSTATUS GetInterpolateCumSDFObject(CDataObject*& cumulative);
    QSSTATUS GetInterpolateRatioSDFObject(CDataObject*& ratio);

    // The tail-factor analysis: null until InitCRXObject; DeleteCRXObject
    // returns non-zero when there was one to delete.
    QSSTATUS GetCRXObject(CTailFactorAnalysis*& analysis);
    QSSTATUS InitCRXObject();
    int DeleteCRXObject();

    bool IsCalculated() const override { return true; }
    bool Recalculate() override;
    // After cells of the source or of the outlier marks changed: the factors
    // next to them and the statistics columns they reach; the selections'
    // rows are derived again. Anything else recalculates the whole exhibit.
    Change RecalculateChanges() override;
    int GetStorageTag() const override { return kStorageTag; }
    void Write(KernelWriter& w) const override;
    void Read(KernelReader& r, int version) override;
    void AfterLoad() override;

private:
    void LinkInternals();
    void ShapeFromSource();
    void RecalcFactors();
    // True when the factor, outlier and selection objects have the shapes
    // ShapeFromSource would give them.
    bool ShapeFitsSource() const;
    // Recomputes the factors next to a changed source cell; marks the
    // statistics columns the cell reaches.
    void UpdateFactorsAround(int row, int col, std::vector<unsigned char>& columns,
                             std::vector<std::uint32_t>& changed);
    // columns: only the statistics columns marked (all when null).
    void RecalcStatistics(const std::vector<unsigned char>* columns = nullptr);
    void RecalcSelections();
    static void DeriveRows(const CDataObject& sdf, CDataObject& cumulative, CDataObject& ratio);

    QSID m_sourceId = 0;
    CDataObject* m_source = nullptr;
    bool m_hasStatistics = false;
    bool m_hasSDF = true;
    CDataObject m_factors;
    CDataObject m_outliers;
    CDataObject m_userWeights;
    CStatistics m_stats;
    CDataObject m_sdf;
    CDataObject m_cumSdf;
    CDataObject m_ratioSdf;
    std::unique_ptr<CTailFactorAnalysis> m_crx;
    std::vector<std::unique_ptr<CDataObject>> m_selHist;
    std::vector<std::unique_ptr<CDataObject>> m_dfRows;
    bool m_hasInterpSDF = false;
    CDataObject m_interpSdf;
    CDataObject m_interpCumSdf;
    CDataObject m_interpRatioSdf;
    // What the statistics were last computed with beyond the cells (a
    // change of either recomputes every column).
    bool m_statsPrior = false;
    int m_statsInterval = -1;
};
