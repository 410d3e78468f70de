#pragma once
// Types shared by every kernel class: statuses, the structure enumerations and
// the string and list types the kernel's calls exchange.
//
// Every operation that can fail returns a QSSTATUS: 0 is success, anything else
// a failure; the operation then has changed nothing.
#include <cstdint>
#include <string>
#include <vector>

using QSSTATUS = std::uint16_t;
using QSID = std::int32_t;  // packed object identifier (see KernelIds.h)

using QSStringArray = std::vector<std::string>;
using QSIDArray = std::vector<QSID>;

namespace qsk {
// Statuses shared by the kernel's calls. Operations with statuses of their
// own (compress rows, table math, load) document them where they are declared.
constexpr QSSTATUS kOk = 0;
constexpr QSSTATUS kFail = 1;           // generic failure: bad argument or state
constexpr QSSTATUS kUnknownId = 2;      // no object with that id
constexpr QSSTATUS kBadLayer = 3;       // layer outside 1..layer count, or calculated where entered is needed
constexpr QSSTATUS kOutOfRange = 5;     // row or column outside the object
constexpr QSSTATUS kReadOnly = 6;       // object or cell cannot take input
constexpr QSSTATUS kNameTaken = 7;      // name or index already used
constexpr QSSTATUS kInUse = 8;          // object viewed or edited, or has dependents
constexpr QSSTATUS kNotFinite = 19;     // a value that is NaN or infinite (a cell stores finite numbers only)
}  // namespace qsk

// Period lengths in months.
enum PRDLENGTH : std::uint16_t { PRD_MONTH = 1, PRD_QUARTER = 3, PRD_HALFYEAR = 6, PRD_YEAR = 12 };

// Layers. At most three are entered; the project's two relations calculate the
// others cell by cell (see CProject.h).
enum LAYERNAMES : std::uint16_t { NOLAYER = 0, NET = 1, GROSS = 2, CEDED = 3, DIRECT = 4, ASSUMED = 5 };
constexpr std::uint16_t kLayerCount = 5;

// 0 a project bound to the enterprise database, any other value a project file.
enum RUNNING_MODE : int { RM_DATABASE = 0, RM_FILE = 1 };

// Operations of project and table arithmetic.
enum OPTYPES : int { OP_ADD = 0, OP_SUBTRACT = 1, OP_MULTIPLY = 2, OP_DIVIDE = 3 };

// Kinds of label lists (CProject::GetLabels).
enum LABELTYPES : int {
    LBL_EXPOSURE = 0,     // one label per exposure period (row)
    LBL_DEVELOPMENT = 1,  // one label per development age (column)
    LBL_EXHIBIT = 2,      // age-to-age labels "12-24" or "24/12" per the exhibit label format
    LBL_HISTORICAL = 3,   // the labels of the historical selections
    LBL_CALENDAR = 4,     // one label per calendar period (evaluation diagonal)
};

// Reports written by CProject::DumpStruct.
enum INFOTYPE : int { INFO_SUMMARY = 1, INFO_EXHIBITS = 2, INFO_METHODS = 3, INFO_REPORTS = 4 };

// Bits of CProject::MatchProject. Errors first, then warnings.
enum MATCH_PROJECT : std::uint32_t {
    MP_OK = 0,
    MP_LAYERS = 0x0001,
    MP_NUM_EXP_WARN = 0x0002,
    MP_EXP_LENGTH = 0x0004,
    MP_FIRST_EXP = 0x0008,
    MP_INTERVAL = 0x0010,
    MP_DEV_PERIODS_WARN = 0x0020,
    MP_DEV_LENGTH = 0x0040,
    MP_FIRST_DEV = 0x0080,
    MP_EXP_DATES = 0x0100,
    MP_DEV_DATES = 0x0200,
    MP_STRUCTURE = 0x0400,
    MP_UNKNOWN = 0x0800,
    MP_OFFSET_WARN = 0x1000,
};

// The window a view hands to OpenObject. The kernel tells it of every change
// of the object with "XREFRESH": kind 0 re-layout, 1 reload all, 2 row,
// 3 column, 4 cell; code = row * 10000 + column (from 0; CellKey::Notice).
// Calls arrive on the thread that changed the object.
class CFormula;
class IKernelWindow {
public:
    virtual ~IKernelWindow() = default;
    virtual void XRefresh(CFormula* object, int kind, long code) = 0;
};
constexpr const char* kXRefreshMessage = "XREFRESH";
enum XREFRESH_KIND : int { XR_LAYOUT = 0, XR_RELOAD = 1, XR_ROW = 2, XR_COLUMN = 3, XR_CELL = 4 };
