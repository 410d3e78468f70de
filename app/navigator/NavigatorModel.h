#pragma once
// The navigator's rules that need no window: which kind of object an id
// names, the six categories the navigator shows one at a time, the category
// an object is found under, and whether a dragged item may be dropped on
// another.
#include "KernelTypes.h"
#include "WindowsTypes.h"

namespace qs::app::nav {

enum class ObjectKind { Subgroup, Graph, InputArray, Scalar, Exhibit, Method, Report, Other };

// The kind of an id, by the classification rules in their order.
ObjectKind KindOf(QSID id);
bool IsGraphObject(QSID id);
// Both are objects (not subgroups, not unclassified) of the same kind.
bool SameObjectKind(QSID a, QSID b);

inline constexpr int kCategoryCount = 6;

struct Category {
    UINT command;   // the frame command that shows it
    QSID id;        // the kernel's category node
    const char* text;
};
extern const Category kCategories[kCategoryCount];

// 0 for an index out of range.
QSID CategoryIdOfIndex(int index);
// -1 when the command is none of the six.
int CategoryIndexOfCommand(UINT command);
// The category index an object is shown under: its subgroup decides for the
// ultimates, its kind otherwise.
int CategoryIndexOfObject(QSID id, QSID subgroup);

// What a drop does.
enum class DropAction {
    Refused,       // the "no" cursor
    IntoSubgroup,  // the target subgroup receives the object
    AfterObject,   // the target's subgroup receives it, placed after the target
};
// canMoveIntoTarget: the kernel's answer for a subgroup target.
DropAction ClassifyDrop(QSID dragged, QSID target, bool canMoveIntoTarget);

}  // namespace qs::app::nav
