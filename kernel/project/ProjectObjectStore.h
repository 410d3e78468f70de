#pragma once
// The objects of a project by layer-neutral id. A layered object has one
// instance per layer 1..5; an unlayered one (scalars, graphs, objects added
// without a layer) has instance 0 alone, found under any layer. The store
// gives every instance its id and owner, shapes data objects to the period
// structure, and relates the layers of each complete layered data object by
// the project's two relations:
//   first relation   Net + Ceded = Gross      (calculated: Net, Ceded or Gross)
//   second relation  Direct + Assumed = Gross (calculated: Direct, Assumed or Gross)
// Calculated instances point at their sources: the store drops those links
// before it lets any instance go, whatever the order of its entries.
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "CFormula.h"
#include "KernelTypes.h"

class CDataObject;
class CProject;
struct QSStructure;

struct ProjectObjectEntry {
    QSID baseId = 0;
    QSID subgroup = 0;     // the navigator node the object sits under
    bool layered = true;
    bool editing = false;  // a copy is out for editing (BeginEditObject)
    std::array<std::unique_ptr<CFormula>, 6> inst;

    // The first instance present, null for an empty entry.
    CFormula* First() const;
};

class ProjectObjectStore {
public:
    using Entries = std::map<QSID, ProjectObjectEntry>;

    ProjectObjectStore() = default;
    ~ProjectObjectStore();
    ProjectObjectStore(const ProjectObjectStore&) = delete;
    ProjectObjectStore& operator=(const ProjectObjectStore&) = delete;

    // The key an id is kept under: layer 0, graph flag kept for graph ids.
    static QSID BaseOf(QSID id);

    ProjectObjectEntry* Find(QSID id);
    const ProjectObjectEntry* Find(QSID id) const;
    // The instance of id in layer (0: the id's own layer); null for an
    // unknown id or a layer outside 1..5 of a layered object.
    CFormula* FindObject(QSID id, unsigned short layer = 0) const;
    bool Contains(QSID id) const { return Find(id) != nullptr; }

    // Takes entry under its base id (replacing one held there): each
    // instance gets its id (with its layer when layered) and owner.
    void Install(ProjectObjectEntry&& entry, CProject* owner);
    // Keeps entry as it is, ids and owner untouched (graphs moved aside and back).
    void Restore(QSID base, ProjectObjectEntry&& entry) { m_entries.emplace(base, std::move(entry)); }
    // Removes one entry; its calculated links go first.
    void Erase(QSID base);
    Entries::iterator Erase(Entries::iterator it);
    // Removes every entry, calculated links first.
    void Clear();
    // Moves the entries that match out of the store.
    Entries TakeIf(const std::function<bool(const ProjectObjectEntry&)>& match);

    // Gives every data object the shape the structure asks for (triangles
    // follow the staircase, columns one per row, rows one per column) and
    // the development interval.
    void ApplyShapes(const QSStructure& s, const std::vector<std::uint16_t>& staircase);
    // Relates the layers of every complete layered data object (or of the
    // one object only) to the two calculated layers.
    void RelateLayers(LAYERNAMES calc1, LAYERNAMES calc2, QSID only = 0);
    // The entered instances (not of the calculated layers) of layered
    // objects, or of the one object only: what a recalculation starts from.
    std::vector<CFormula*> EnteredInstances(LAYERNAMES calc1, LAYERNAMES calc2, QSID only = 0) const;
    // Every instance present, in id then layer order.
    void ForEachInstance(const std::function<void(QSID base, unsigned short layer, CFormula*)>& fn) const;

    Entries::iterator begin() { return m_entries.begin(); }
    Entries::iterator end() { return m_entries.end(); }
    Entries::const_iterator begin() const { return m_entries.begin(); }
    Entries::const_iterator end() const { return m_entries.end(); }
    Entries::iterator find(QSID base) { return m_entries.find(base); }
    Entries::const_iterator find(QSID base) const { return m_entries.find(base); }
    Entries::const_iterator upper_bound(QSID base) const { return m_entries.upper_bound(base); }
    std::size_t count(QSID base) const { return m_entries.count(base); }
    std::size_t size() const { return m_entries.size(); }

private:
    static void DropLayerLinks(ProjectObjectEntry& entry);
    Entries m_entries;
};
