#pragma once
// Object identifiers. Every id is packed and unpacked only by these functions;
// callers never do arithmetic on ids themselves.
//
// An id is a decimal packing of five fields (docs/kernel/ids.md):
//
//     id = kind * 10^8 + instance * 10^6 + layer * 10^4 + dataType * 10^3 + index
//
//   kind      1 digit   1 system array, 2 user array, 3 system exhibit/method/report,
//                       4 user exhibit/method/report, 5 system scalar, 6 user scalar,
//                       8 navigator graph, 0 navigator nodes and markers
//   instance  2 digits  1 for project objects; 96, 98, 99 print-list markers
//   layer     2 digits  0 none, 1 Net .. 5 Assumed
//   dataType  1 digit   arrays: 0 data; exhibits/methods/reports: 1 exhibit,
//                       2 method, 3 report; nodes: the category digit
//   index     3 digits  0..999 (user objects 501..995)
//
// The graph of an object is id + 10^9 (GetGraphIDOf); any id of 10^9 or more
// is a graph id. Ids that are negative as signed 32-bit values are the wide ids
// of older projects: their unsigned value carries the kind at 10^9, instance at
// 10^7 and a three-digit layer at 10^4, so 0xB36900CE (3010003150) decodes as
// kind 3, data type 3, index 150.
#include "KernelTypes.h"

constexpr QSID kGraphFlag = 1000000000;

int GetIDDOType(QSID id);
int GetIDInstance(QSID id);
unsigned short GetIDLayer(QSID id);
int GetIDDataType(QSID id);
int GetIDIndex(QSID id);

// Replace one field, keeping the others (and the graph flag).
void SetIDLayer(QSID& id, unsigned short layer);
void SetIDDOType(QSID& id, int kind);
void SetIDDataType(QSID& id, int dataType);
void SetIDIndex(QSID& id, int index);
void SetIDInstance(QSID& id, int instance);

// Builds an id from its fields; fields out of range are clamped to their width.
QSID MakeID(int kind, int instance, int layer, int dataType, int index);

bool IsGraphID(QSID id);      // id >= 10^9 or kind 8
QSID GetGraphIDOf(QSID id);   // the graph id of an object (id itself when already a graph id)
QSID DelGraphIDOf(QSID id);   // the object id of a graph id (id itself otherwise)
QSID GetLayerNeutralID(QSID id);  // the id with layer 0 and no graph flag

// True when a and b have the same kind, data type and index.
bool SameIDType(QSID a, QSID b);

// Kernel categories (navigator roots) and the category of an id.
namespace qsk {
constexpr QSID kCatInput = 1000;
constexpr QSID kCatSDF = 2000;
constexpr QSID kCatCalcUlt = 3000;
constexpr QSID kCatScalar = 4000;
constexpr QSID kCatExhibit = 5000;
constexpr QSID kCatMethod = 6000;
constexpr QSID kCatReport = 7000;
constexpr QSID kCatGraph = 8000;
constexpr QSID kCatUltimate = 9000;
// Fixed nodes below the categories.
constexpr QSID kNodeUserInput = 1001;
constexpr QSID kNodeAdjustments = 1005;
constexpr QSID kNodeMethodInput = 1010;
constexpr QSID kNodeSelectedUlt = 9010;
constexpr QSID kNodeHistoricalUlt = 9050;
constexpr QSID kNodeInterpolated = 9060;
constexpr QSID kNodePayment = 9070;
// Print-list pseudo ids.
constexpr QSID kAllArrays = 99000001;
constexpr QSID kAllExhibits = 99000002;
constexpr int kFirstUserIndex = 501;
constexpr int kLastUserIndex = 995;
// Indexes of the column arrays that hold ultimates (kind 1, data type 0):
// the selected ultimates of the seven estimate kinds, and the historical
// ultimates copied from them.
constexpr int kFirstSelectedUltimate = 23;
constexpr int kFirstHistoricalUltimate = 33;
constexpr int kUltimateCount = 7;
}  // namespace qsk
QSID GetCategoryOfID(QSID id);   // 1000, 4000, 5000, 6000, 7000, 8000 or 0
bool IsNodeID(QSID id);          // a category or node id (kind 0, instance 0)
