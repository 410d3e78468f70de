#pragma once
// The formula language on the project model:
//   ProjectFormulaResolver  reads project objects as formula values;
//   FormulaDefinition       the two token stacks of one formula, compiled,
//                           with the objects it reads (any object that owns
//                           formulas, such as a method column, can hold one);
//   CUserTable              a user-defined data object whose cells its
//                           formula calculates (storage tag 24);
//   CUserExhibit            a user-defined exhibit whose factors come from
//                           the triangle its formula calculates (tag 25);
//   CFormulaProbe           the temporary formula the formula page tests a
//                           text with, in the context of the object defined.
//
// Recalculation: a formula's object registers every object the formula reads
// as a source (CFormula::AddSource), so a change of any of them recalculates
// the formula's object and, after it, whatever reads that object in turn;
// nothing else is recalculated.
#include <map>
#include <memory>
#include <vector>

#include "CDataObject.h"
#include "CExhibit.h"
#include "CFormula.h"
#include "CStringStack.h"
#include "FormulaLanguage.h"

class IObjectOwner;

namespace qsformula {
inline constexpr QSSTATUS kCircular = 27;  // the formula would read its own object, directly or not
inline constexpr QSSTATUS kNoContext = 28; // no project to resolve the formula's objects in
}  // namespace qsformula

class ProjectFormulaResolver : public qsformula::IFormulaResolver {
public:
    // layer: the layer of references written without one (0 in the id).
    ProjectFormulaResolver(const IObjectOwner& project, unsigned short layer);

    // Objects outside the project's map the formula may name (the earlier
    // columns of a method).
    void AddLocal(QSID id, const CFormula* object) { m_local[id] = object; }
    // The object an id names, or null.
    const CFormula* Find(QSID id) const;

    bool Resolve(QSID id, qsformula::Value& out) const override;
    const qsformula::ProjectInfo& Info() const override { return m_info; }
    // Data objects and scalars (not methods, their columns or exhibits).
    bool ResolveShape(QSID id, qsformula::Shape& shape) const override;
    bool ResolveCells(QSID id, const std::vector<std::pair<int, int>>& cells, qsformula::Value& out) const override;
    bool ResolveColumns(QSID id, const std::vector<int>& cols, qsformula::Value& out) const override;

    // Data objects read as triangle, row or column (stored values, the
    // staircase kept); scalars as scalars; an exhibit as its selected factors
    // (or its factor triangle when it has none). False for anything else.
    static bool Read(const CFormula& object, qsformula::Value& out);
    static qsformula::ProjectInfo InfoOf(const IObjectOwner& project);

private:
    const IObjectOwner& m_project;
    unsigned short m_layer;
    qsformula::ProjectInfo m_info;
    std::map<QSID, const CFormula*> m_local;
};

// Writes a formula result into a data object of its own shape: equal shapes
// copy cell by cell, a scalar fills every cell, a column or row spreads
// across a triangle; anything else leaves every cell not available. Marks
// (2, 8, 16) stay. Returns the cells that changed (CellKey::Packed).
std::vector<std::uint32_t> StoreFormulaValue(const qsformula::Value& value, CDataObject& target);

class FormulaDefinition {
public:
    // Stores and compiles a formula. Refused (nothing changes) when the
    // resolved stack does not compile; an empty raw stack clears it.
    QSSTATUS Set(const CStringStack& raw, const CStringStack& resolved);
    void Clear();
    // Status 0 with both stacks (empty stacks when there is no formula).
    QSSTATUS Get(CStringStack& raw, CStringStack& resolved) const;
    bool IsEmpty() const { return m_raw.IsEmpty(); }
    const qsformula::Formula& Compiled() const { return m_formula; }
    const std::vector<QSID>& Dependencies() const { return m_formula.Dependencies(); }

    void Write(KernelWriter& w) const;
    void Read(KernelReader& r);

private:
    CStringStack m_raw;
    CStringStack m_resolved;
    qsformula::Formula m_formula;
};

class CUserTable : public CDataObject {
public:
    static constexpr int kStorageTag = 24;

    explicit CUserTable(QSID id = 0) : CDataObject(id) {}
    CUserTable(const CUserTable& other);  // definition and values; no graph links
    CUserTable& operator=(const CUserTable& other);
    ~CUserTable() override;
    std::unique_ptr<CFormula> Clone() const override { return std::make_unique<CUserTable>(*this); }

    // SetFormula refuses a formula that does not compile, and, once the table
    // is in a project, one that names an unknown object or reads the table
    // itself; the previous formula then stays. In a project the table is
    // recalculated at once and its dependents follow.
    QSSTATUS GetFormula(CStringStack& raw, CStringStack& resolved) const override;
    QSSTATUS SetFormula(const CStringStack& raw, const CStringStack& resolved) override;
    QSSTATUS ClearFormula() override;
    bool HasValidFormula() const override { return !m_def.IsEmpty(); }
    bool IsCalculated() const override { return !m_def.IsEmpty() || CDataObject::IsCalculated(); }
    bool Recalculate() override;
    // Only the cells a cell-by-cell formula reaches from what changed, else the whole table.
    Change RecalculateChanges() override;
    // The status of the last evaluation (0 when it ran).
    QSSTATUS GetLastStatus() const { return m_lastStatus; }

    int GetStorageTag() const override { return kStorageTag; }
    void Write(KernelWriter& w) const override;
    void Read(KernelReader& r, int version) override;
    // Finds the formula's sources in the project and recalculates.
    void AfterLoad() override;

private:
    friend class CUserExhibit;  // keeps its table's stored definition as read
    QSSTATUS Bind();
    void Unbind();
    std::vector<std::uint32_t> RecalculateWhole();  // the cells that changed
    void NotifyChanged(const std::vector<std::uint32_t>& changed);

    FormulaDefinition m_def;
    std::vector<CFormula*> m_formulaSources;
    QSSTATUS m_lastStatus = 0;
};

class CUserExhibit : public CExhibit {
public:
    static constexpr int kStorageTag = 25;

    explicit CUserExhibit(QSID id = 0) : CExhibit(id) {}
    CUserExhibit(const CUserExhibit& other);  // definition and values; no graph links
    ~CUserExhibit() override;
    CUserExhibit& operator=(const CUserExhibit&) = delete;
    std::unique_ptr<CFormula> Clone() const override { return std::make_unique<CUserExhibit>(*this); }

    // The formula yields the triangle the exhibit's factors are taken from
    // (a column or row is spread across it). Statuses as CUserTable's.
    QSSTATUS GetFormula(CStringStack& raw, CStringStack& resolved) const override;
    QSSTATUS SetFormula(const CStringStack& raw, const CStringStack& resolved) override;
    QSSTATUS ClearFormula() override;
    bool HasValidFormula() const override { return m_table.HasValidFormula(); }
    // The calculated source triangle.
    const CUserTable& GetFormulaTable() const { return m_table; }

    int GetStorageTag() const override { return kStorageTag; }
    void Write(KernelWriter& w) const override;
    void Read(KernelReader& r, int version) override;
    void AfterLoad() override;

private:
    void PrepareTable();

    CUserTable m_table;
};

class CFormulaProbe : public CFormula {
public:
    // context: the object whose formula is being written (its layer names
    // the layer of references without one); project: where names resolve
    // (the context's project when null).
    explicit CFormulaProbe(const CFormula* context, const IObjectOwner* project = nullptr);

    // 0 when the formula compiles and runs on the project's objects; the
    // result's shape is then kept for GetResultVectorType/GetResultInterval.
    QSSTATUS Test(const CStringStack& raw, const CStringStack& resolved, void* reserved = nullptr);
    int GetResultVectorType() const override { return m_vectorType; }
    int GetResultInterval() const override { return m_interval; }
    const std::string& GetLastError() const { return m_error; }

private:
    const CFormula* m_context;
    const IObjectOwner* m_projectCtx;
    int m_vectorType = -1;
    int m_interval = 0;
    std::string m_error;
};
