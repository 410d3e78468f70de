#pragma once
// Summary reports: a report that gathers the ultimates of several tables of
// the project (method ultimates, column arrays) side by side, one row per
// exposure period, with optional derived columns (docs/kernel/summary-reports.md):
//   Straight Average   the mean of the estimates a row holds
//   Weighted Average   sum w x / sum w over the estimates a row holds, with
//                      the weights of the report's CKDVUltWeightDataInfo
//   Selected Ultimate  entered by the user or by the ultimates flood fill;
//                      in an estimate-kind report it is kept equal to the
//                      kind's selected ultimate array (an edit of either
//                      side reaches the other)
// The table and average columns are read-only and follow their tables; the
// selected ultimate is the report's one editable column.
#include <string>
#include <vector>

#include "CMethod.h"
#include "SummaryReportOptions.h"

class IObjectOwner;

class CSummaryReport : public CMethod {
public:
    static constexpr int kStorageTag = 33;
    enum ColumnRole { CR_TABLE = 0, CR_STRAIGHT = 1, CR_WEIGHTED = 2, CR_SELECTED = 3 };

    explicit CSummaryReport(QSID id = 0);
    CSummaryReport(const CSummaryReport& other);
    CSummaryReport& operator=(const CSummaryReport& other);
    ~CSummaryReport() override;
    std::unique_ptr<CFormula> Clone() const override { return std::make_unique<CSummaryReport>(*this); }

    // Lays the columns out for the options: one per table, then the
    // averages and the selected ultimate as asked. The selected ultimates
    // (values, marks and notes) survive; a new selected column starts from
    // the kind's selected ultimate array when the report is an estimate kind.
    QSSTATUS Rebuild(const QSSummaryRptOptions& options);
    int GetColRole(int pos) const;
    QSID GetColSource(int pos) const;  // the table of a CR_TABLE column
    int FindRole(int role) const;      // the first column of the role, -1 for none
    int FindTable(QSID tableId) const;

    bool Recalculate() override;
    // Always the whole report (its columns gather other tables).
    Change RecalculateChanges() override { return CFormula::RecalculateChanges(); }
    int GetStorageTag() const override { return kStorageTag; }
    void Write(KernelWriter& w) const override;
    void Read(KernelReader& r, int version) override;
    void AfterLoad() override;

private:
    void BindTables();
    void UnbindTables();
    void FillColumns();
    // Keeps the selected ultimate column and the kind's selected ultimate
    // array equal: the side that changed since the last sync wins.
    void SyncSelected();

    std::vector<int> m_roles;
    std::vector<QSID> m_colSources;
    std::vector<CFormula*> m_tableSources;
    std::vector<double> m_syncValues;
    std::vector<std::uint8_t> m_syncFlags;
    bool m_syncing = false;
};

namespace qssummary {
// The estimate kinds of the ultimates flood fill: the kind's summary report,
// its selected ultimate array and its default minimum array.
struct UltKind {
    QSID reportId;
    int selectedArray;
    int minimumArray;
    const char* name;
    const char* shortName;
    const char* word;  // as the option dialog names the kind
};
const std::vector<UltKind>& UltKinds();
const UltKind* FindUltKind(QSID id);  // by the report id, any layer

// A table a summary report may gather, as a column of rows cells (values and
// flags); false when the project has no such table on the layer.
bool ReadTable(const IObjectOwner& project, QSID id, unsigned short layer, int rows, std::vector<double>& values,
               std::vector<std::uint8_t>& flags);
// The derived columns, cell by cell over the tables' columns (table j at
// row r: values[j][r], flags[j][r]); weights[j][r] for the weighted one.
// A row with a not-available estimate (of positive weight) is not
// available; a row without estimates (or with a total weight of 0) blank.
void StraightAverage(const std::vector<std::vector<double>>& values,
                     const std::vector<std::vector<std::uint8_t>>& flags, std::vector<double>& out,
                     std::vector<std::uint8_t>& outFlags);
void WeightedAverage(const std::vector<std::vector<double>>& values,
                     const std::vector<std::vector<std::uint8_t>>& flags,
                     const std::vector<std::vector<double>>& weights, std::vector<double>& out,
                     std::vector<std::uint8_t>& outFlags);

// The project's summary-report state in its stream (generation 4): an
// archive of the report options and the ultimates flood fill options.
std::vector<std::uint8_t> SaveState(const std::map<QSID, QSSummaryRptOptions>& reports,
                                    const std::map<QSID, QSUltFloodFillSetting>& ultFills);
bool LoadState(const std::vector<std::uint8_t>& bytes, std::map<QSID, QSSummaryRptOptions>& reports,
               std::map<QSID, QSUltFloodFillSetting>& ultFills);
}  // namespace qssummary
