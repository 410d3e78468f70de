#pragma once
// State shared by the parts of libKTB: the session, the table slots and the
// mapping of engine codes to statuses.
#include <array>
#include <climits>
#include <string>
#include <vector>

#include "Ktb.h"
#include "StatEngine.h"

namespace ktb {

constexpr int kSlots = 10;
constexpr int kUnset = 0x7fffffff;
constexpr std::int32_t kNoInt = static_cast<std::int32_t>(0x80000000u);
constexpr int kMaxInfoText = 45;

enum TableKind {
    KIND_MAIN = 1, KIND_DATABASES, KIND_DATABASES_FULL, KIND_ENTITIES, KIND_ENTITIES_ID1, KIND_ENTITIES_ID2,
    KIND_VARIABLES, KIND_VARIABLES_SHORT, KIND_CURRENCIES, KIND_OTHER, KIND_DASH
};

struct Slot {
    int handle = 0;
    std::string database, table;
    int kind = 0;
    int engineDb = 0;
    bool hasEntities = false;
    std::vector<std::string> entities;
    bool hasVars = false;
    std::vector<statengine::MainColumn> vars;
    std::vector<int> attributes;  // catalog: chosen attribute ids in order
    statengine::Result* result = nullptr;
    int cursor = 0;
    int rows = 0;
    bool changed = true;
    int relFirst = kUnset, relLast = kUnset, absStart = kUnset, absEnd = kUnset;
    int codedMode = 1;
};

struct Session {
    int handle = 0;       // engine session, 0 = none
    bool codedValues = false;
    int nextTable = 1;
    std::array<Slot, kSlots> slots;
};

Session& S();
Slot* Find(int handle);
void CloseAllTables();
void FreeSlot(Slot& slot);
// Runs the slot's query again when its lists changed; a status.
int EnsureResult(Slot& slot);
int MapInternal(int code);
bool IsMain(const Slot& slot);
// Catalog attributes: names, delivered data type and width.
const char* AttributeName(int id);
int AttributeType(int kind, int id);
int DeliveredWidth(int type);
// The attribute id of a catalog column, 0 when the column has none.
int ColumnAttribute(const Slot& slot, int column);
int ColumnCount(const Slot& slot);
// Item count of a column at the cursor (KtbGetInfo kind 5).
int ItemCount(Slot& slot, int column, int& count);
void CopyText(char* out, std::size_t size, const std::string& text);

}  // namespace ktb
