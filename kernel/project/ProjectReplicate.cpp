#include "ProjectReplicate.h"

#include <memory>
#include <set>

#include "CGraph.h"
#include "CMethod.h"
#include "CStringStack.h"
#include "FormulaLanguage.h"

namespace {

// The object a formula's reference stands for: a method column stands for
// its method.
QSID ReferencedObject(QSID id) {
    if (GetIDDOType(id) == 9) {
        int serial = 0;
        if (const QSID method = CMethod::MethodIDFromColRef(id, serial)) return method;
    }
    QSID base = id;
    SetIDLayer(base, 0);
    return base;
}

const CFormula* AnyInstance(const CProject& p, QSID id) {
    for (unsigned short l = 0; l <= kLayerCount; ++l)
        if (const CFormula* f = p.FindObject(id, l)) return f;
    return nullptr;
}

}  // namespace

QSIDArray GetObjectsReadBy(const CProject& project, QSID id) {
    const CFormula* object = AnyInstance(project, id);
    if (object == nullptr) return {};
    std::set<QSID> reads;
    QSIDArray links;
    project.GetIDLinks(id, links);
    for (QSID link : links) reads.insert(ReferencedObject(link));
    const auto addFormula = [&](const CStringStack& resolved) {
        for (QSID read : qsformula::Dependencies(resolved)) reads.insert(ReferencedObject(read));
    };
    CStringStack raw, resolved;
    if (const auto* method = dynamic_cast<const CMethod*>(object)) {
        for (int c = 0; c < method->GetNumDataObjects(); ++c)
            if (method->GetColFormula(c, raw, resolved) == qsk::kOk) addFormula(resolved);
    } else if (object->GetFormula(raw, resolved) == qsk::kOk) {
        addFormula(resolved);
    }
    if (const auto* graph = dynamic_cast<const CGraph*>(object))
        for (const CGraphData& table : graph->GetTables()) reads.insert(ReferencedObject(table.GetID()));
    reads.erase(ReferencedObject(id));
    QSIDArray out;
    for (QSID read : reads)
        if (AnyInstance(project, read) != nullptr) out.push_back(read);  // no node, no column of its own
    return out;
}

QSSTATUS GetReplicateMissingSources(const CProject& source, QSID id, const CProject& target, QSStringArray& names) {
    names.clear();
    if (AnyInstance(source, id) == nullptr) return qsk::kUnknownId;
    const QSIDArray reads = GetObjectsReadBy(source, id);
    for (QSID read : reads) {
        const CFormula* mine = AnyInstance(source, read);
        const CFormula* theirs = AnyInstance(target, read);
        if (theirs == nullptr || theirs->GetIDLongName() != mine->GetIDLongName()) names.push_back(mine->GetIDLongName());
    }
    return qsk::kOk;
}

QSSTATUS AddReplicatedObject(CProject& target, const CProject& source, QSID sourceId, CFormula*& copy, QSID& newId) {
    std::unique_ptr<CFormula> owned(copy);
    copy = nullptr;
    newId = 0;
    if (!owned || AnyInstance(source, sourceId) == nullptr) return qsk::kFail;

    if (auto* graph = dynamic_cast<CGraph*>(owned.get())) {
        for (int index = qsk::kFirstUserIndex; index <= qsk::kLastUserIndex; ++index) {
            if (!target.IsIndexAvail(qsk::kCatGraph, std::to_string(index))) continue;
            graph->SetProject(&target);
            const QSSTATUS st = target.SaveGraphToNavigator(graph, index, graph->GetIDLongName(),
                                                            graph->GetIDShortName(), qsk::kCatGraph);
            if (st == qsk::kOk) newId = MakeID(8, 1, 0, 0, index);
            return st;
        }
        return qsk::kNameTaken;
    }

    // The copy becomes a user-defined object of the source's kind.
    QSID base = sourceId;
    SetIDLayer(base, 0);
    int kind = GetIDDOType(base);
    if (kind == 1 || kind == 3 || kind == 5) ++kind;
    if (kind != 2 && kind != 4 && kind != 6) return qsk::kFail;
    const int dataType = GetIDDataType(base);
    const QSID category = GetCategoryOfID(base);
    if (!target.IsNameUnique(owned->GetIDLongName(), int(category), 0)) return qsk::kNameTaken;
    if (!owned->GetIDShortName().empty() && !target.IsNameUnique(owned->GetIDShortName(), int(category), 0))
        return qsk::kNameTaken;
    if (auto* method = dynamic_cast<CMethod*>(owned.get())) {
        method->SetProject(nullptr);
        method->SetReport(dataType == 3);
    }
    const bool layered = source.FindObject(base, 0) == nullptr;
    QSID id = 0;
    // The source's subgroup when the target has it, else the kind's own place.
    QSSTATUS st = target.AddNewFormulaObject(*owned, kind, dataType, source.GetSubgroupFromID(base), layered, id);
    if (st == qsk::kFail) {
        id = 0;
        st = target.AddNewFormulaObject(*owned, kind, dataType, kind == 2 ? qsk::kNodeUserInput : category, layered, id);
    }
    if (st != qsk::kOk) return st;
    // Bound to the target's objects at once, as a loaded object would be.
    std::set<CFormula*> bound;
    for (unsigned short l = 0; l <= kLayerCount; ++l)
        if (CFormula* f = target.FindObject(id, l); f && bound.insert(f).second) f->AfterLoad();
    newId = id;
    return qsk::kOk;
}
