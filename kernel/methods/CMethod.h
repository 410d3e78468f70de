#pragma once
// A method or report: a list of columns over the exposure periods, each a
// column vector (one cell per period) calculated by a formula in the formula
// language (docs/kernel/formulas.md) or, without a formula, entered by the
// user (the selected-ultimate column of a summary report). A column formula
// reads project objects and the method's earlier columns by their column ids.
//
// Under the columns the method keeps, per column and only where asked, a
// total (the column's sum, or its formula applied to the totals of what it
// reads), an average, a linear fit and an exponential fit down the column.
// One column may be the ultimate (GetUltPos); GetUltID names it as a
// calculated-ultimate id, which FindUltimateColumn turns back into the
// column.
//
// Positions of columns count from 0, except GetDataObject, which takes the
// 1-based column number the views use.
#include <memory>
#include <string>
#include <vector>

#include "CDataObject.h"
#include "CFormula.h"
#include "CStringStack.h"
#include "FormulaBinding.h"

class CMethod : public CFormula {
public:
    static constexpr int kStorageTag = 32;
    static constexpr int kMaxColumns = 99;

    // Method types (the wizard's combo, 0-6).
    enum MethodType { MT_DEVELOPMENT = 0, MT_EXPECTED_LOSS_RATIO = 1, MT_BORNHUETTER_FERGUSON = 2, MT_CAPE_COD = 3,
                      MT_FREQUENCY_SEVERITY = 4, MT_CASE_ADJUSTMENT = 5, MT_OTHER = 6 };
    // Column statistics bits (GetObjStats / SetObjStats).
    enum StatBits { ST_AVERAGE = 1, ST_LTREND = 2, ST_EXPCURVE = 4 };
    // Total types: none, sum of the column, the formula over the totals.
    enum TotalType { TT_NONE = 0, TT_SUM = 1, TT_FORMULA = 2 };

    explicit CMethod(QSID id = 0);
    explicit CMethod(IObjectOwner* owner) : CMethod(QSID(0)) { SetOwner(owner); }
    CMethod(const CMethod& other);  // definition and values; no graph links
    CMethod& operator=(const CMethod& other);
    ~CMethod() override;
    std::unique_ptr<CFormula> Clone() const override { return std::make_unique<CMethod>(*this); }

    // ---- definition
    int GetMethodType() const { return m_methodType; }
    QSSTATUS SetMethodType(int type);
    // Row data: 0 exposure periods, 1 development ages (reports).
    int GetBasis() const { return m_basis; }
    QSSTATUS SetBasis(int basis);
    // The ultimate column's position, -1 for none. A change recalculates
    // what reads the method's ultimate.
    int GetUltPos() const { return m_ultPos; }
    QSSTATUS SetUltPos(int pos);
    // Attached reports (ids of category 7000 objects).
    QSSTATUS GetLinks(QSIDArray& ids) const { ids = m_links; return qsk::kOk; }
    QSSTATUS SetLinks(const QSIDArray& ids) { m_links = ids; return qsk::kOk; }

    // A report (category 7000) rather than a method; a summary report is a
    // report whose selected-ultimate column the user enters.
    bool IsReport() const { return m_report; }
    void SetReport(bool on) { m_report = on; }
    bool IsSummaryReport() const { return m_report && m_summary; }
    void SetSummaryReport(bool on) { m_summary = on; if (on) m_report = true; }

    // ---- columns
    int GetNumDataObjects() const { return static_cast<int>(m_cols.size()); }
    // 1-based column number; null outside.
    CDataObject* GetDataObject(int number);
    const CDataObject* GetDataObject(int number) const;
    // Inserts a column at pos (0..count) with a name and its formula (empty
    // stacks: an entered column). Refused: pos outside (1), too many columns
    // (7), a formula that does not compile (its status), names a later or
    // unknown column or an unknown project object (25). Nothing changes then.
    QSSTATUS AddNewCol(int pos, const std::string& name, const CStringStack& raw, const CStringStack& resolved);
    // Replaces a column's formula; the same refusals.
    QSSTATUS SetColFormula(int pos, const CStringStack& raw, const CStringStack& resolved);
    QSSTATUS GetColFormula(int pos, CStringStack& raw, CStringStack& resolved) const;
    // Removes a column. Non-zero (and nothing removed) when another column's
    // formula reads it (this method's, or any formula naming it by its
    // reference id) or pos is outside. The ultimate position follows.
    int RemoveColDef(int pos);
    std::string GetColName(int pos) const;
    QSSTATUS SetColName(int pos, const std::string& name);
    std::string GetColHeader(int pos) const;
    QSSTATUS SetColHeader(int pos, const std::string& header);
    // The id a formula names the column by (DO<id>): stable while the column lives.
    QSID GetObjID(int pos) const;
    int GetObjDisplayType(int pos) const;
    QSSTATUS SetObjDisplayType(int pos, int type);
    short GetObjDecimal(int pos) const;
    QSSTATUS SetObjDecimal(int pos, short decimals);
    // Hidden columns are left out of print.
    bool IsObjHidden(int pos) const;
    QSSTATUS SetObjHidden(int pos, bool hidden);
    int GetObjStats(int pos) const;  // StatBits
    QSSTATUS SetObjStats(int pos, int bits);
    QSSTATUS SetObjStats(int pos, bool average, bool ltrend, bool expcurve);
    int GetObjTotalType(int pos) const;
    QSSTATUS SetObjTotalType(int pos, int type);
    bool IsObjTotaled(int pos) const { return GetObjTotalType(pos) != TT_NONE; }

    // ---- summaries (recalculated with the columns)
    bool HasTotals() const;
    bool HasAverages() const;
    bool HasLTrends() const;
    bool HasExpCurves() const;
    // One entry per column, null where the column has none. Totals and
    // averages point at one double; fits at three: slope, intercept, R
    // squared (linear) and trend %, intercept, R squared (exponential).
    QSSTATUS GetTotals(std::vector<const double*>& out) const;
    QSSTATUS GetAverages(std::vector<const double*>& out) const;
    QSSTATUS GetLTrends(std::vector<const double*>& out) const;
    QSSTATUS GetExpCurves(std::vector<const double*>& out) const;

    // The ultimate column as a calculated-ultimate id (kind 1 for a system
    // method, 2 for a user one; data type 2; the method's index; the method's
    // layer); 0 without an ultimate column.
    QSID GetUltID() const;
    static QSID MethodIDFromUltID(QSID ultId);
    // The column a method's ultimate id names among owner's objects; null and
    // kUnknownId when there is no such method or it has no ultimate column.
    static QSSTATUS FindUltimateColumn(const IObjectOwner& owner, QSID ultId, CDataObject*& table);

    // ---- the method in other objects' formulas
    // A formula outside the method reads its ultimate column by the method's
    // id or its GetUltID, and any column by the column's reference id: kind
    // 9 like the method's own column ids, the column's serial in the
    // instance field, the layer (0: the reading formula's), the method's data
    // type (2 method, 3 report; plus 4 for a user method or report) and the
    // method's index. GetColRefID gives it without a layer; 0 outside.
    QSID GetColRefID(int pos) const;
    // The method id (layer kept) a column reference names and the column's
    // serial; 0 when ref is no column reference.
    static QSID MethodIDFromColRef(QSID ref, int& serial);
    // The column with that serial, or the ultimate column; null when absent.
    const CDataObject* FindColumnBySerial(int serial) const;
    const CDataObject* GetUltimateColumn() const;
    // Row and column labels: exposure labels, the column headers (names when
    // a header is empty), and the method's long name as the title.
    QSSTATUS GetLabels(QSStringArray& rows, QSStringArray& cols, std::string& title) const;
    // The status of the last evaluation of each column (0 when it ran).
    QSSTATUS GetColStatus(int pos) const;
    // The rows a summed column's total leaves out: rows where the column has
    // no value while another totalled column of the method has one (a blank
    // premium, a missing factor), so its total does not cover the same
    // periods as the others. Empty when every total covers the same rows.
    // Each recalculation also puts one message per such column into
    // GetMessages(): "The total of <column> leaves out <row labels>.", for
    // the method's view to show.
    std::vector<int> GetRowsLeftOutOfTotal(int pos) const;

    bool IsCalculated() const override { return true; }
    bool Recalculate() override;
    // After cells of triangles it reads changed: a column that is the
    // diagonal of a column-by-column table is evaluated in the rows those
    // cells reach; anything else recalculates the whole method.
    Change RecalculateChanges() override;
    int GetStorageTag() const override { return kStorageTag; }
    void Write(KernelWriter& w) const override;
    void Read(KernelReader& r, int version) override;
    void AfterLoad() override;

private:
    struct Column {
        int serial = 0;  // gives the column id
        std::string name;
        std::string header;
        FormulaDefinition def;
        int stats = 0;
        int totalType = TT_NONE;
        bool hidden = false;
        std::unique_ptr<CDataObject> data;
        QSSTATUS status = 0;
        double total = 0, average = 0;
        double lfit[3] = {0, 0, 0};
        double efit[3] = {0, 0, 0};
        bool hasTotal = false, hasAverage = false, hasLFit = false, hasEFit = false;
        std::vector<int> leftOut;  // rows the total leaves out (NoteRowsLeftOutOfTotals)
    };
    Column* Col(int pos);
    const Column* Col(int pos) const;
    QSID ColumnID(int serial) const;
    int NextSerial() const;
    // Checks a formula for the column at pos: its column references must be
    // earlier columns; with a project, every other object must exist.
    QSSTATUS CheckFormula(const FormulaDefinition& def, int pos) const;
    // True when a formula outside the method names the column at pos.
    bool IsColumnReadElsewhere(int pos) const;
    // True when object is calculated from this method, directly or not.
    bool DependsOnThis(const CFormula& object) const;
    void ShapeColumn(CDataObject& data) const;
    void ShapeColumn(CDataObject& data, const qsformula::ProjectInfo& info) const;
    void Bind();
    void Unbind();
    void ComputeSummaries(Column& c, const ProjectFormulaResolver& resolver, int pos);
    // After the columns: the rows each total leaves out and their messages.
    void NoteRowsLeftOutOfTotals();

    int m_methodType = MT_DEVELOPMENT;
    int m_basis = 0;
    int m_ultPos = -1;
    QSIDArray m_links;
    bool m_report = false;
    bool m_summary = false;
    std::vector<Column> m_cols;
    std::vector<CFormula*> m_bound;
};
