#include "navigator/NavigatorModel.h"

#include "KernelIds.h"

namespace qs::app::nav {

const Category kCategories[kCategoryCount] = {
    {32926, qsk::kCatInput, "Input Data"}, {32927, qsk::kCatExhibit, "Exhibits"},
    {32928, qsk::kCatMethod, "Methods"},   {32929, qsk::kCatReport, "Reports"},
    {32930, qsk::kCatUltimate, "Ultimates"}, {33103, qsk::kCatGraph, "Graphs"},
};

ObjectKind KindOf(QSID id) {
    const int kind = GetIDDOType(id);
    const int type = GetIDDataType(id);
    if (kind == 0) return ObjectKind::Subgroup;
    if (id >= kGraphFlag || kind == 8) return ObjectKind::Graph;
    if ((kind == 1 || kind == 2) && (type == 0 || type == 8)) return ObjectKind::InputArray;
    if (kind == 5 || kind == 6) return ObjectKind::Scalar;
    if (kind == 3 || kind == 4) {
        if (type == 1) return ObjectKind::Exhibit;
        if (type == 2) return ObjectKind::Method;
        if (type == 3) return ObjectKind::Report;
    }
    return ObjectKind::Other;
}

bool IsGraphObject(QSID id) { return id >= kGraphFlag || GetIDDOType(id) == 8; }

bool SameObjectKind(QSID a, QSID b) {
    const ObjectKind ka = KindOf(a);
    if (ka == ObjectKind::Subgroup || ka == ObjectKind::Other) return false;
    return ka == KindOf(b);
}

QSID CategoryIdOfIndex(int index) {
    if (index < 0 || index >= kCategoryCount) return 0;
    return kCategories[index].id;
}

int CategoryIndexOfCommand(UINT command) {
    for (int i = 0; i < kCategoryCount; ++i)
        if (kCategories[i].command == command) return i;
    return -1;
}

int CategoryIndexOfObject(QSID id, QSID subgroup) {
    // The ultimates live in subgroups below the ultimates category, not in
    // the category node itself: any of them counts.
    if (subgroup == qsk::kCatUltimate || (IsNodeID(subgroup) && subgroup / 1000 == qsk::kCatUltimate / 1000))
        return 4;
    switch (KindOf(id)) {
    case ObjectKind::InputArray:
    case ObjectKind::Scalar: return 0;
    case ObjectKind::Exhibit: return 1;
    case ObjectKind::Method: return 2;
    case ObjectKind::Report: return 3;
    case ObjectKind::Graph: return 5;
    default: return 0;
    }
}

DropAction ClassifyDrop(QSID dragged, QSID target, bool canMoveIntoTarget) {
    if (dragged == target || KindOf(dragged) == ObjectKind::Subgroup) return DropAction::Refused;
    if (KindOf(target) == ObjectKind::Subgroup)
        return canMoveIntoTarget ? DropAction::IntoSubgroup : DropAction::Refused;
    return SameObjectKind(dragged, target) ? DropAction::AfterObject : DropAction::Refused;
}

}  // namespace qs::app::nav
