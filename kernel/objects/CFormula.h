#pragma once
// Base of every project object (data objects, scalars, exhibits, methods,
// graphs, and the project itself for its display settings).
//
// Identity: the packed id (with its layer) and the names, which all layer
// instances of one object share.
// Display: display type, decimals, footnote, read-only/fixed/currency/percent.
// Windows: views that opened the object; they hear of changes through
//   IKernelWindow::XRefresh (see KernelTypes.h).
// Recalculation graph: an object lists its sources (AddSource); the sources
//   know their dependents. After an object's values change it calls
//   Changed(); the kernel then calls Recalculate() once on every object that
//   depends on it, directly or not, sources before dependents. Between
//   SetRecalcOn(0) and SetRecalcOn(1) changes are collected and recalculated
//   together at SetRecalcOn(1). Derived objects (exhibits, methods) override
//   Recalculate() and register their sources; nothing else is needed to take
//   part in the graph.
// Incremental recalculation: an object that knows which of its cells
// changed says so (Changed(cells)); during the walk each object can ask
// SourceChange() what changed in each of its sources and recalculate only
// what those cells reach (RecalculateChanges). An object that does not
// override it is recalculated whole and counts as changed everywhere; an
// object none of whose sources changed anything is not recalculated.
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "CObject.h"
#include "KernelTypes.h"

class CArchive;

class CProject;
class IObjectOwner;
class CStringStack;
class KernelWriter;
class KernelReader;

// Names shared by the layer instances of one object.
struct QSObjectNames {
    std::string longName;
    std::string shortName;
};

class CFormula : public CObject {
    DECLARE_DYNAMIC(CFormula)

public:
    explicit CFormula(QSID id = 0);
    CFormula(const CFormula& other);             // copies definition, not windows or graph links
    CFormula& operator=(const CFormula& other);  // same
    virtual ~CFormula();

    // Copy of the object's definition and values (no windows, no graph links).
    virtual std::unique_ptr<CFormula> Clone() const;

    // --- identity
    QSID GetIDNum() const { return m_id; }
    void SetIDNum(QSID id) { m_id = id; }
    unsigned short GetLayer() const;
    // Display name: "%3d - long name" for form -1, the long name for 0, the short name for 1.
    // (The project reports its file's name for form 0.)
    virtual std::string GetIDName(int form = -1) const;
    std::string GetIDLongName() const { return m_names->longName; }
    std::string GetIDShortName() const { return m_names->shortName; }
    std::string GetIDIndexLabel() const;  // the index as text
    // Sets the index from text (0..999, blanks around allowed); fails and
    // changes nothing for anything else.
    QSSTATUS SetIDIndexLabel(const std::string& text);
    QSSTATUS SetIDLongName(const std::string& name);
    QSSTATUS SetIDShortName(const std::string& name);
    // Layer instances of one object share one name record.
    void ShareNamesWith(const CFormula& other) { m_names = other.m_names; }

    // --- display
    enum DisplayType { DT_NUMBER = 0, DT_CURRENCY = 1, DT_PERCENT = 2 };
    int GetDisplayType() const { return m_displayType; }
    void SetDisplayType(int t) { m_displayType = t; }
    QSSTATUS GetDecimals(short& decimals) const { decimals = m_decimals; return qsk::kOk; }
    QSSTATUS SetDecimals(short decimals);
    QSSTATUS GetFootnoteString(std::string& text) const { text = m_footnote; return qsk::kOk; }
    // The footnote of a data-adjustment table holds the adjustment's
    // parameters: changing it recalculates what reads the table.
    QSSTATUS SetFootnoteString(const std::string& text);
    bool IsInitialized() const { return m_initialized; }
    void SetInitialized(bool on) { m_initialized = on; }
    virtual bool IsReadOnly() const { return m_readOnly || IsCalculated(); }
    void SetReadOnly(bool on) { m_readOnly = on; }
    virtual bool HasValidFormula() const { return true; }
    bool IsFixed() const { return m_fixed; }
    void SetFixed(bool on) { m_fixed = on; }
    bool IsCurrency() const { return m_displayType == DT_CURRENCY; }
    bool IsPercent() const { return m_displayType == DT_PERCENT; }
    // Messages kept with the object for whoever shows it (the formula
    // checker's notes; a method's note of the rows its totals leave out).
    // Not stored: an object's calculation gives them again.
    void AddMessage(const std::string& text) { m_messages.push_back(text); }
    void ClearMessages() { m_messages.clear(); }
    const std::vector<std::string>& GetMessages() const { return m_messages; }

    // --- windows
    void AddWindow(IKernelWindow* window);
    void RemoveWindow(IKernelWindow* window);
    void RemoveAllWindows() { m_windows.clear(); }
    int GetViewedCount() const { return static_cast<int>(m_windows.size()); }
    // Tells every window; kind and code as "XREFRESH".
    void NotifyAll(int kind, long code = 0);

    // --- recalculation graph
    void AddSource(CFormula* source);
    void RemoveSource(CFormula* source);
    void ClearSources();
    const std::vector<CFormula*>& GetSources() const { return m_sources; }
    const std::vector<CFormula*>& GetDependentObjects() const { return m_dependents; }
    // The object's formula as its two token stacks (docs/kernel/formulas.md;
    // defined with the formula language in FormulaBinding.cpp). An object
    // without formulas gives two empty stacks, refuses SetFormula (kFail) and
    // clears nothing.
    virtual QSSTATUS GetFormula(CStringStack& raw, CStringStack& resolved) const;
    virtual QSSTATUS SetFormula(const CStringStack& raw, const CStringStack& resolved);
    virtual QSSTATUS ClearFormula();
    // Shape of what the object's formula yields (-1 / 0 when it yields no table).
    virtual int GetResultVectorType() const { return -1; }
    virtual int GetResultInterval() const { return 0; }
    // True when the object's values come from its sources.
    virtual bool IsCalculated() const { return false; }
    // Recomputes the object from its sources and tells its windows of what
    // changed. Returns true when any value changed.
    virtual bool Recalculate() { return false; }
    // 0 holds recalculation, 1 resumes it (running what was held).
    QSSTATUS SetRecalcOn(int on);
    bool IsRecalcOn() const { return m_recalcOn; }
    // Called by an object whose values changed: recalculates its dependents.
    void Changed();
    // The same when only these cells (CellKey::Packed) changed.
    void Changed(std::vector<std::uint32_t> cells);

    // What changed in one object during a running recalculation: everything
    // (all), or the listed cells (CellKey::Packed; none listed and not
    // all: nothing changed).
    struct Change {
        bool all = true;
        std::vector<std::uint32_t> cells;
        // False when what formulas read of the object did not change (an
        // exhibit whose factors changed but not its selections).
        bool valueChanged = true;
        bool Any() const { return all || !cells.empty(); }
        static Change None() { return Change{false, {}, false}; }
        static Change Cells(std::vector<std::uint32_t> c) {
            const bool any = !c.empty();
            return Change{false, std::move(c), any};
        }
    };
    // During RecalculateChanges: what changed in source in this walk; null
    // when it was not reached (it did not change).
    static const Change* SourceChange(const CFormula* source);
    // Runs Recalculate once on every object depending on any of changed,
    // sources before dependents.
    static void PropagateChanges(const std::vector<CFormula*>& changed);
    // The same with what changed in each start (parallel to changed).
    static void PropagateChanges(const std::vector<CFormula*>& changed, std::vector<Change> what);
    // After the project's shape changed (periods added or removed) every
    // object depending on changed is recalculated whole, even where its
    // values came out the same: its shape must follow.
    static void PropagateLayoutChange(const std::vector<CFormula*>& changed);
    // Recalculates after its sources changed as SourceChange() tells and
    // says what changed in it. The default recalculates the whole object.
    virtual Change RecalculateChanges() {
        Recalculate();
        return Change{};
    }

    // The project or other owner the object belongs to (ObjectOwner.h);
    // null for an object on its own. Objects of the kernel ask their owner
    // through this interface only.
    IObjectOwner* GetOwner() const { return m_pOwner; }
    void SetOwner(IObjectOwner* owner) { m_pOwner = owner; }
    // The owner as a whole project, for code above the kernel's object rooms
    // (null when the owner is not a project); defined with CProject.
    CProject* GetProject() const;
    void SetProject(CProject* project);

    // --- storage of the definition (names are stored by the project)
    // Each class has a storage tag; the project writes the tag before the
    // object and builds the object from its tag when it loads. Classes
    // outside this file register a factory for their tag (tags below 16 are
    // the kernel core's: 0 CFormula, 1 CDataObject, 2 CScalar).
    virtual int GetStorageTag() const { return 0; }
    virtual void Write(KernelWriter& w) const;
    virtual void Read(KernelReader& r, int version);
    // The definition and values through the framework archive: a count and
    // the bytes of Write. A damaged record throws CArchiveException.
    void Serialize(CArchive& ar) override;
    // Called once every object of a loaded project exists (to find sources again).
    virtual void AfterLoad() {}
    using Factory = std::unique_ptr<CFormula> (*)();
    static void RegisterFactory(int tag, Factory factory);
    static std::unique_ptr<CFormula> CreateFromTag(int tag);

protected:
    QSID m_id = 0;
    std::shared_ptr<QSObjectNames> m_names;
    int m_displayType = DT_NUMBER;
    short m_decimals = 0;
    std::string m_footnote;
    bool m_initialized = true;
    bool m_readOnly = false;
    bool m_fixed = false;
    std::vector<std::string> m_messages;
    IObjectOwner* m_pOwner = nullptr;

private:
    static void PropagateChanges(const std::vector<CFormula*>& changed, std::vector<Change> what, bool whole);
    void DetachGraph();

    std::vector<IKernelWindow*> m_windows;
    std::vector<CFormula*> m_sources;
    std::vector<CFormula*> m_dependents;
    bool m_recalcOn = true;
    bool m_heldChange = false;
};
