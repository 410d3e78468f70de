#pragma once
// The small icons of the table views' frames, drawn here so the program
// needs no image files. Each icon id names one picture: a sheet in the
// colour of the kind of object (tables, exhibits, methods and reports,
// scalars), with a corner mark on the ids of user-defined objects.
#include <QIcon>

namespace qs::views {

// Frame icon ids: built-in objects, and the user-defined ones.
enum : int {
    kIconTable = 237,
    kIconUserTable = 171,
    kIconExhibit = 132,
    kIconUserExhibit = 172,
    kIconMethod = 134,
    kIconUserMethod = 174,
    kIconScalar = 139,
    kIconUserScalar = 173,
};

// The icon of an id; a null icon for an id that names none.
QIcon FrameIcon(int iconId);

// True for the object kinds the kernel gives user-defined objects.
inline bool IsUserObjectKind(int kind) { return kind == 2 || kind == 4 || kind == 6; }

}  // namespace qs::views
