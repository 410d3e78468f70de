#pragma once
// The messages the windows of the tail program exchange, the two messages
// it sends its caller, and its command ids.
#include "WindowMessages.h"

enum : UINT {
    MSG_RECALC = WM_USER + 500,         // main frame: recalculate, then refresh grid and graph
    MSG_GET_CURVE = WM_USER + 501,      // result: the curve shown (the grid's tab)
    MSG_REFRESH_GRID = WM_USER + 502,
    MSG_REFRESH_GRAPH = WM_USER + 503,
    MSG_CURVE_CHANGED = WM_USER + 504,  // wParam: the new curve
    MSG_GET_PRECISION = WM_USER + 505,  // result: decimals, asked of the caller
    MSG_APPLY = WM_USER + 506,
    MSG_RESET = WM_USER + 507,
    MSG_CANCEL = WM_USER + 508,
    MSG_IS_CURVE_SHOWN = WM_USER + 509,  // wParam: curve
    MSG_TOGGLE_CURVE = WM_USER + 510,    // wParam: curve
    MSG_RESET_ZOOM = WM_USER + 511,
    MSG_START_WATCH = WM_USER + 512,
};

enum : UINT {
    ID_VIEW_GRAPH = 32771,
    ID_VIEW_GRID = 32772,
    ID_POINT_EXCLUDE = 32773,
    ID_POINT_MODIFY = 32774,
    ID_CRX_APPLY = 32775,
    ID_CRX_CANCEL = 32776,
    ID_CRX_RESET = 32777,
};

// Resource ids.
enum : UINT {
    IDR_MAINFRAME = 128,
    IDR_CRXTYPE = 129,
    IDR_GRAPHFRAME = 133,
    IDR_GRIDFRAME = 134,
};

// "TF_REFRESH" and "TF_GET_PRECISION", registered by name so that the
// caller and this program agree on the numbers.
UINT TfRefreshMessage();
UINT TfGetPrecisionMessage();

// The curves, in the order of the tabs and the graph's check boxes.
inline constexpr int kCurveCount = 3;
