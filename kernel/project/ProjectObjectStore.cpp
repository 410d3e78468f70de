#include "ProjectObjectStore.h"

#include "CDataObject.h"
#include "KernelIds.h"
#include "ProjectPeriods.h"

CFormula* ProjectObjectEntry::First() const {
    for (const auto& i : inst)
        if (i) return i.get();
    return nullptr;
}

ProjectObjectStore::~ProjectObjectStore() { Clear(); }

QSID ProjectObjectStore::BaseOf(QSID id) {
    if (id >= kGraphFlag) {
        QSID g = id;
        SetIDLayer(g, 0);
        return g;
    }
    return GetLayerNeutralID(id);
}

ProjectObjectEntry* ProjectObjectStore::Find(QSID id) {
    auto it = m_entries.find(BaseOf(id));
    return it == m_entries.end() ? nullptr : &it->second;
}

const ProjectObjectEntry* ProjectObjectStore::Find(QSID id) const {
    auto it = m_entries.find(BaseOf(id));
    return it == m_entries.end() ? nullptr : &it->second;
}

CFormula* ProjectObjectStore::FindObject(QSID id, unsigned short layer) const {
    const ProjectObjectEntry* e = Find(id);
    if (!e) return nullptr;
    if (!e->layered) return e->inst[0].get();
    if (layer == 0) layer = GetIDLayer(id);
    if (layer < 1 || layer > kLayerCount) return nullptr;
    return e->inst[layer].get();
}

void ProjectObjectStore::Install(ProjectObjectEntry&& entry, CProject* owner) {
    const QSID base = entry.baseId;
    for (unsigned short l = 0; l <= kLayerCount; ++l) {
        CFormula* f = entry.inst[l].get();
        if (!f) continue;
        QSID id = base;
        SetIDLayer(id, entry.layered ? l : 0);
        f->SetIDNum(id);
        f->SetProject(owner);
    }
    m_entries[base] = std::move(entry);
}

void ProjectObjectStore::DropLayerLinks(ProjectObjectEntry& entry) {
    for (auto& inst : entry.inst)
        if (auto* d = dynamic_cast<CDataObject*>(inst.get())) d->ClearLayerRelation();
}

void ProjectObjectStore::Erase(QSID base) {
    auto it = m_entries.find(base);
    if (it != m_entries.end()) Erase(it);
}

ProjectObjectStore::Entries::iterator ProjectObjectStore::Erase(Entries::iterator it) {
    DropLayerLinks(it->second);
    return m_entries.erase(it);
}

void ProjectObjectStore::Clear() {
    for (auto& [id, e] : m_entries) DropLayerLinks(e);
    m_entries.clear();
}

ProjectObjectStore::Entries ProjectObjectStore::TakeIf(const std::function<bool(const ProjectObjectEntry&)>& match) {
    Entries out;
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (match(it->second)) {
            out.emplace(it->first, std::move(it->second));
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
    return out;
}

void ProjectObjectStore::ApplyShapes(const QSStructure& s, const std::vector<std::uint16_t>& staircase) {
    for (auto& [id, e] : m_entries)
        for (auto& inst : e.inst) {
            auto* d = dynamic_cast<CDataObject*>(inst.get());
            if (!d) continue;
            std::uint16_t rows = 0, cols = 0;
            d->GetMaxRowsCols(rows, cols);
            switch (d->GetVectorType()) {
            case CDataObject::VT_TRIANGLE:
                if (rows != s.numExp || cols != s.numDev || d->GetRowLengths() != staircase)
                    d->SetShape(s.numExp, s.numDev, CDataObject::VT_TRIANGLE, staircase);
                break;
            case CDataObject::VT_COLUMN:
                if (rows != s.numExp || cols != 1) d->SetShape(s.numExp, 1, CDataObject::VT_COLUMN);
                break;
            case CDataObject::VT_ROW:
                if (rows != 1 || cols != s.numDev) d->SetShape(1, s.numDev, CDataObject::VT_ROW);
                break;
            }
            d->SetInterval(s.devLength);
        }
}

void ProjectObjectStore::RelateLayers(LAYERNAMES calc1, LAYERNAMES calc2, QSID only) {
    for (auto& [id, entry] : m_entries) {
        if (!entry.layered || (only && id != only)) continue;
        // Clang 14 cannot capture a structured binding in a lambda: a plain reference it can.
        ProjectObjectEntry& e = entry;
        auto inst = [&e](unsigned short l) { return dynamic_cast<CDataObject*>(e.inst[l].get()); };
        // Only a data object present in all five layers takes part; one
        // being assembled layer by layer (AddObjectToMap) joins once complete.
        bool complete = true;
        for (unsigned short l = 1; l <= kLayerCount; ++l) complete = complete && inst(l);
        if (!complete) continue;
        for (unsigned short l = 1; l <= kLayerCount; ++l) inst(l)->ClearLayerRelation();
        switch (calc1) {
        case GROSS: inst(GROSS)->SetLayerRelation(inst(NET), inst(CEDED), +1); break;
        case NET: inst(NET)->SetLayerRelation(inst(GROSS), inst(CEDED), -1); break;
        case CEDED: inst(CEDED)->SetLayerRelation(inst(GROSS), inst(NET), -1); break;
        default: break;
        }
        switch (calc2) {
        case GROSS: inst(GROSS)->SetLayerRelation(inst(DIRECT), inst(ASSUMED), +1); break;
        case DIRECT: inst(DIRECT)->SetLayerRelation(inst(GROSS), inst(ASSUMED), -1); break;
        case ASSUMED: inst(ASSUMED)->SetLayerRelation(inst(GROSS), inst(DIRECT), -1); break;
        default: break;
        }
    }
}

std::vector<CFormula*> ProjectObjectStore::EnteredInstances(LAYERNAMES calc1, LAYERNAMES calc2, QSID only) const {
    std::vector<CFormula*> entered;
    for (const auto& [id, e] : m_entries) {
        if (!e.layered || (only && id != only)) continue;
        for (unsigned short l = 1; l <= kLayerCount; ++l)
            if (e.inst[l] && l != calc1 && l != calc2) entered.push_back(e.inst[l].get());
    }
    return entered;
}

void ProjectObjectStore::ForEachInstance(const std::function<void(QSID, unsigned short, CFormula*)>& fn) const {
    for (const auto& [id, e] : m_entries)
        for (unsigned short l = 0; l <= kLayerCount; ++l)
            if (e.inst[l]) fn(id, l, e.inst[l].get());
}
