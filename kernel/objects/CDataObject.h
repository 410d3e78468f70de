#pragma once
// A table of cells: a triangle (rows = exposure periods, columns =
// development ages), a row vector or a column vector.
//
// Cells are stored contiguously (one double and one flag byte per cell, row
// by row). The flag byte: 1 the cell holds a value; 4 blank (not shown);
// 2, 8, 16 the marks the views draw (2 flood-fill minimum, 8 adjustment
// cut-off, 16 user mark); 32 not available (shown blank). A triangle's rows
// have their own lengths (the staircase up to the evaluation diagonal): a
// location beyond a row's length is not valid.
//
// Values are stored as entered: cumulative for triangles that are cumulable.
// The incremental view (ViewCumulative(0)) shows and takes differences of
// consecutive columns without changing what is stored.
//
// A calculated-layer instance (SetLayerRelation) is read-only and derives
// each cell from the same cell of two other layers: a + b or a - b; the cell
// holds a value when either source cell does, a blank source counting as 0.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "CFormula.h"
#include "CellKey.h"

class CDataObject : public CFormula {
    DECLARE_DYNAMIC(CDataObject)

public:
    enum VectorType { VT_TRIANGLE = 0, VT_ROW = 1, VT_COLUMN = 2 };
    enum CellFlag : std::uint8_t {
        CF_VALUE = 1,
        CF_FFMIN = 2,
        CF_BLANK = 4,
        CF_ADJCUTOFF = 8,
        CF_MARK = 16,
        CF_NOTAVAIL = 32,
    };

    explicit CDataObject(QSID id = 0);
    CDataObject(const CDataObject& other);
    CDataObject& operator=(const CDataObject& other);
    std::unique_ptr<CFormula> Clone() const override;

    // --- shape
    // rowLengths: cells used in each row (a triangle's staircase); empty means
    // every row is full. Existing cells inside the new shape are kept.
    QSSTATUS SetShape(std::uint16_t rows, std::uint16_t cols, int vectorType,
                      const std::vector<std::uint16_t>& rowLengths = {});
    QSSTATUS Resize(std::uint16_t rows, std::uint16_t cols);
    QSSTATUS GetMaxRowsCols(std::uint16_t& rows, std::uint16_t& cols) const;
    QSSTATUS GetNumColsInRow(std::uint16_t row, std::uint16_t& cols) const;
    QSSTATUS GetNumRowsInCol(std::uint16_t col, std::uint16_t& rows) const;
    bool LocationIsValid(int row, int col) const;
    int GetVectorType() const { return m_vectorType; }
    QSSTATUS SetVectorType(int vectorType);
    // Period length in months of the object's columns (development length).
    int GetInterval() const { return m_interval; }
    void SetInterval(int months) { m_interval = months; }
    const std::vector<std::uint16_t>& GetRowLengths() const { return m_rowLen; }
    int GetResultVectorType() const override { return m_vectorType; }
    int GetResultInterval() const override { return m_interval; }

    // --- cells (rows and columns from 0)
    QSSTATUS GetAt(int row, int col, double& value, std::uint8_t& flags) const;
    QSSTATUS GetAt(int row, int col, double& value, char& flags) const;
    // flag: 1 stores the value; 0 stores it without telling windows or dependents.
    // A value that is NaN or infinite (or, in the incremental view, one that
    // would make a stored cumulative value so) is refused with
    // qsk::kNotFinite and nothing changes.
    QSSTATUS SetAt(int row, int col, double value, int flag = 1);
    QSSTATUS SetCellBlank(int row, int col, int flag = 1);
    QSSTATUS SetCellNotAvail(int row, int col);
    bool IsCellAvail(int row, int col) const;
    // Stored values without the view transform (row-major, rows * cols).
    double RawValue(int row, int col) const { return m_values[Index(row, col)]; }
    std::uint8_t RawFlags(int row, int col) const { return m_flags[Index(row, col)]; }
    bool HasAnyValue() const;

    // Marks (flood-fill minimum, adjustment cut-off, user mark).
    bool GetFFMinInCell(int row, int col) const { return Mark(row, col, CF_FFMIN); }
    QSSTATUS SetCellHasFFMin(int row, int col) { return SetMark(row, col, CF_FFMIN, true); }
    QSSTATUS SetCellHasNoFFMin(int row, int col) { return SetMark(row, col, CF_FFMIN, false); }
    bool GetAdjCutoffInCell(int row, int col) const { return Mark(row, col, CF_ADJCUTOFF); }
    QSSTATUS SetCellHasAdjCutoff(int row, int col) { return SetMark(row, col, CF_ADJCUTOFF, true); }
    QSSTATUS SetCellHasNoAdjCutoff(int row, int col) { return SetMark(row, col, CF_ADJCUTOFF, false); }
    QSSTATUS SetMark(int row, int col, std::uint8_t mark, bool on);

    // --- notes
    bool DoesCellHaveNote(int row, int col) const;
    QSSTATUS GetNoteInCell(int row, int col, std::string& note) const;
    QSSTATUS SetNoteInCell(int row, int col, const std::string& note);
    QSSTATUS RemoveNoteInCell(int row, int col);
    // The notes by cell (CellKey::Packed).
    const std::map<std::uint32_t, std::string>& GetNotes() const { return m_notes; }

    // --- labels: the object's own when set, else the project's structure labels
    QSSTATUS GetLabels(QSStringArray& rowLabels, QSStringArray& colLabels, std::string& corner) const;
    void SetCustomLabels(const QSStringArray& rows, const QSStringArray& cols, const std::string& corner);
    void ClearCustomLabels();
    bool HasCustomLabels() const { return m_customLabels; }

    // --- views and whole-object operations
    bool IsCumulable() const { return m_cumulable; }
    void SetCumulable(bool on) { m_cumulable = on; }
    bool IsViewedCumulative() const { return m_viewCumulative; }
    QSSTATUS ViewCumulative(int cumulative, QSSTATUS& status, int notify = 1);
    QSSTATUS RemoveAll();       // every cell blank, notes kept
    QSSTATUS Cumulate();        // stored values become running sums along each row
    QSSTATUS Decumulate();      // the inverse
    QSSTATUS ZeroOutBlanks();   // blank valid cells become 0
    // A row of selected development factors (its last cell the tail) made in
    // place into its age-to-ultimate factors (CumulateSDF: the product from
    // each age through the tail; a blank or zero tail counts as 1, a blank
    // factor leaves it and every earlier age blank) or their inverses
    // (RatioSDF). Fails, changing nothing, unless the object is one row.
    QSSTATUS CumulateSDF();
    QSSTATUS RatioSDF();
    // Back to not initialised: every cell blank (cell notes stay). The
    // shape stays, so the object can be entered again; the next change of a
    // cell initialises it.
    void Deinitialize();

    // --- calculated layers
    void SetLayerRelation(CDataObject* a, CDataObject* b, int sign);
    void ClearLayerRelation();
    bool IsCalculated() const override { return m_relA != nullptr; }
    // A triangle of development factors: its last row, the newest period,
    // has no later age to develop to, so viewers and exports leave it out
    // when it holds a single column.
    bool IsDeveloped() const { return m_developed; }
    void SetDeveloped(bool developed) { m_developed = developed; }
    bool Recalculate() override;
    // A calculated layer recomputes only the cells that changed in its two
    // sources; other data objects calculate nothing.
    Change RecalculateChanges() override;
    // Stores one cell as given, without checks or notices (kernel objects
    // that keep derived tables up to date cell by cell). True when it changed.
    bool PutCell(int row, int col, double value, std::uint8_t flags);

    // Replace all values at once (bulk fill): copies rows*cols values and
    // flags. qsk::kNotFinite, changing nothing, when a cell flagged as
    // holding a value is NaN or infinite.
    QSSTATUS SetAllCells(const std::vector<double>& values, const std::vector<std::uint8_t>& flags, int notify = 1);
    const std::vector<double>& Values() const { return m_values; }
    const std::vector<std::uint8_t>& Flags() const { return m_flags; }

    // Replaces cells and notes without checks or notices (structure
    // operations, which tell the windows themselves). Sizes must match the shape.
    void ReplaceCells(std::vector<double> values, std::vector<std::uint8_t> flags,
                      std::map<std::uint32_t, std::string> notes);

    int GetStorageTag() const override { return 1; }
    void Write(KernelWriter& w) const override;
    void Read(KernelReader& r, int version) override;

    // After an edit of cells, without SetAt's own notice (bulk operations).
    void CellsChanged(const std::vector<std::uint32_t>& cells);

private:
    std::size_t Index(int row, int col) const { return static_cast<std::size_t>(row) * m_cols + col; }
    bool Mark(int row, int col, std::uint8_t mark) const;
    std::uint16_t RowLength(int row) const;
    void NotifyCells(const std::vector<std::uint32_t>& cells);
    bool RelationFits() const;
    bool RelationCell(std::size_t i);  // recomputes a calculated-layer cell; true when it changed

    std::uint16_t m_rows = 0;
    std::uint16_t m_cols = 0;
    int m_vectorType = VT_TRIANGLE;
    int m_interval = 12;
    std::vector<std::uint16_t> m_rowLen;  // empty: every row full
    std::vector<double> m_values;
    std::vector<std::uint8_t> m_flags;
    std::map<std::uint32_t, std::string> m_notes;  // key CellKey::Packed
    bool m_customLabels = false;
    QSStringArray m_rowLabels, m_colLabels;
    std::string m_corner;
    bool m_cumulable = false;
    bool m_viewCumulative = true;
    bool m_developed = false;
    CDataObject* m_relA = nullptr;
    CDataObject* m_relB = nullptr;
    int m_relSign = 1;
};
