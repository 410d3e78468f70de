// Table slots, entity and variable lists, ranges, cursors and information.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <strings.h>

#include "KtbInternal.h"

namespace ktb {
namespace {

const char* const kAttributeNames[] = {nullptr, "Symbol", "Name", "Description", "Category", "Absolute minimum",
                                       "Absolute maximum", "Relative minimum", "Relative maximum", "Type",
                                       "Frequency", "Precision", "Size", "Decoded size", "Publication Date",
                                       "Entity count", "Variable count", "Screenable", "Currency Method",
                                       "Currency"};
constexpr int kAttributeCount = 19;

bool Allowed(int kind, int id) {
    switch (kind) {
    case KIND_DATABASES:
    case KIND_DATABASES_FULL: return (id >= 1 && id <= 3) || (id >= 14 && id <= 16) || id == 19;
    case KIND_VARIABLES:
    case KIND_VARIABLES_SHORT: return (id >= 1 && id <= 13) || id == 17 || id == 18;
    case KIND_CURRENCIES:
    case KIND_DASH: return id == 1 || id == 2;
    case KIND_ENTITIES:
    case KIND_ENTITIES_ID1:
    case KIND_ENTITIES_ID2:
    case KIND_OTHER: return id >= 1 && id <= 3;
    default: return false;
    }
}

int KindOf(const char* table) {
    static const char* const names[] = {"Main", "Databases", "DatabasesFull", "Entities", "EntitiesID1",
                                        "EntitiesID2", "Variables", "VariablesShort", "Currencies"};
    for (int i = 0; i < 9; ++i)
        if (::strcasecmp(table, names[i]) == 0) return i + 1;
    return table[0] == '-' ? KIND_DASH : KIND_OTHER;
}

int Check(int handle, Slot*& slot) {
    if (!S().handle) return KTB_NO_SESSION;
    slot = Find(handle);
    return slot ? KTB_SUCCESS : KTB_TABLE_NOT_OPEN;
}

int CheckMain(int handle, Slot*& slot) {
    const int st = Check(handle, slot);
    if (st != KTB_SUCCESS) return st;
    return IsMain(*slot) ? KTB_SUCCESS : KTB_BAD_REQUEST;
}

void ListsChanged(Slot& slot) { slot.changed = true; }

// The item window of a variable for the slot's ranges; false when empty.
bool Window(const Slot& slot, int variable, statengine::MainColumn& column) {
    std::int32_t flags = 0, count = 0;
    if (!statengine::VariableAttr(variable, 0xd000008, 4, &flags) ||
        !statengine::VariableAttr(variable, 0xd000100, 4, &count))
        return false;
    column.variable = variable;
    const bool dated = (flags & (1 << 24)) && (flags & (1 << 1));
    if (dated && slot.absStart != kUnset && slot.absEnd != kUnset) {
        std::int32_t first = 0, last = 0;
        statengine::VariableAttr(variable, 0xd000009, 4, &first);
        statengine::VariableAttr(variable, 0xd00000a, 4, &last);
        const int from = std::max<int>(slot.absStart, first), to = std::min<int>(slot.absEnd, last);
        // Items are one period apart from the first date: count those in [from, to].
        int firstItem = -1, lastItem = -1;
        std::int16_t freq = 0;
        statengine::VariableAttr(variable, 0xd000004, 2, &freq);
        const int months = freq == 1 ? 12 : freq == 2 ? 6 : freq == 3 ? 3 : freq == 4 ? 1 : 0;
        for (int i = 0; i < count && months; ++i) {
            int y = first / 10000, m = first / 100 % 100 - 1 + months * i;
            const int date = (y + m / 12) * 10000 + (m % 12 + 1) * 100 + first % 100;
            if (date >= from && date <= to) {
                if (firstItem < 0) firstItem = i;
                lastItem = i;
            }
        }
        if (firstItem < 0) return false;
        column.firstItem = firstItem;
        column.itemCount = lastItem - firstItem + 1;
        return true;
    }
    // Relative periods count back from the newest item (0).
    std::int32_t relMin = kNoInt, relMax = kNoInt;
    if (flags & (1 << 2)) {
        statengine::VariableAttr(variable, 0xd00000b, 4, &relMin);
        statengine::VariableAttr(variable, 0xd00000c, 4, &relMax);
    }
    const int ownOld = relMax != kNoInt ? relMax : count - 1;
    const int ownNew = relMin != kNoInt ? relMin : 0;
    const int older = slot.relFirst != kUnset ? slot.relFirst : ownOld;
    const int newer = slot.relLast != kUnset ? slot.relLast : ownNew;
    const int firstItem = std::max(0, count - 1 - older);
    const int lastItem = std::min<int>(count - 1, count - 1 - newer);
    if (lastItem < firstItem) return false;
    column.firstItem = firstItem;
    column.itemCount = lastItem - firstItem + 1;
    return true;
}

}  // namespace

Slot* Find(int handle) {
    if (handle == 0) return nullptr;
    for (Slot& s : S().slots)
        if (s.handle == handle) return &s;
    return nullptr;
}

void FreeSlot(Slot& slot) {
    if (slot.result) statengine::FreeResult(slot.result);
    if (slot.engineDb) statengine::CloseDatabase(slot.engineDb);
    slot = Slot{};
}

void CloseAllTables() {
    for (Slot& s : S().slots)
        if (s.handle) FreeSlot(s);
}

bool IsMain(const Slot& slot) { return slot.kind == KIND_MAIN; }

int MapInternal(int code) {
    if (code == 0) return KTB_SUCCESS;
    if (code == 2) return KTB_BAD_ARGUMENTS;
    if ((code >= 4 && code <= 12) || code == 16) return KTB_NO_VALUE;
    if (code == 14) return KTB_OUT_OF_BOUNDS;
    if (code == 15 || (code >= 26 && code <= 29) || code == 31 || code == 32) return KTB_BAD_REQUEST;
    if (code == 17) return KTB_CANNOT_CREATE;
    if (code == 18) return KTB_CANNOT_DESTROY;
    if (code == 19) return KTB_CANNOT_ADD;
    if (code == 20) return KTB_CANNOT_FIND;
    if (code == 21) return KTB_CANNOT_REMOVE;
    if ((code >= 22 && code <= 24) || code == 30) return KTB_CANNOT_RETRIEVE;
    if (code == 25) return KTB_EXPRESSION_REFUSED;
    if (code == 33) return KTB_OUT_OF_MEMORY;
    return KTB_UNKNOWN;
}

int EnsureResult(Slot& slot) {
    if (slot.result && !slot.changed) return KTB_SUCCESS;
    if (slot.result) statengine::FreeResult(slot.result);
    slot.result = nullptr;
    slot.rows = 0;
    slot.cursor = 0;
    int code = 0;
    if (IsMain(slot)) {
        if (!slot.hasEntities || !slot.hasVars) return KTB_NO_VALUE;
        code = statengine::QueryMain(slot.engineDb, slot.entities, slot.vars, &slot.result);
    } else {
        code = statengine::QueryCatalog(S().handle, slot.engineDb, slot.kind, slot.table, &slot.result);
    }
    if (code != 0) {
        slot.result = nullptr;
        return MapInternal(code);
    }
    slot.rows = statengine::ResultRowCount(slot.result);
    slot.changed = false;
    return KTB_SUCCESS;
}

const char* AttributeName(int id) { return id >= 1 && id <= kAttributeCount ? kAttributeNames[id] : ""; }

int AttributeType(int kind, int id) {
    switch (id) {
    case 1: return kind == KIND_OTHER || kind == KIND_DASH ? 5 : 2;
    case 2:
    case 4: return 2;
    case 3: return 6;
    case 5:
    case 6:
    case 14: return 4;
    default: return 5;
    }
}

int DeliveredWidth(int type) {
    switch (type) {
    case 1: return 8;
    case 2:
    case 3: return 255;
    case 4: return 15;
    default: return 4;
    }
}

int ColumnAttribute(const Slot& slot, int column) {
    return column >= 0 && column < static_cast<int>(slot.attributes.size()) ? slot.attributes[column] : 0;
}

int ColumnCount(const Slot& slot) {
    return static_cast<int>(IsMain(slot) ? slot.vars.size() : slot.attributes.size());
}

int ItemCount(Slot& slot, int column, int& count) {
    if (!IsMain(slot)) {
        if (!ColumnAttribute(slot, column)) return KTB_CANNOT_RETRIEVE;
        count = 1;
        return KTB_SUCCESS;
    }
    int series = 0;
    if (!statengine::SeriesOfColumn(slot.result, column, &series)) return KTB_CANNOT_FIND;
    std::int16_t n = 0;
    if (!statengine::SeriesInfo(slot.result, series, 0xe000900, 2, &n)) return KTB_CANNOT_RETRIEVE;
    count = n;
    return KTB_SUCCESS;
}

void CopyText(char* out, std::size_t size, const std::string& text) {
    std::memset(out, 0, size);
    std::memcpy(out, text.data(), std::min(text.size(), size - 1));
}

}  // namespace ktb

using namespace ktb;

KTB_EXPORT int KtbOpenTable(const char* database, const char* table, int* handle) {
    Session& s = S();
    if (!s.handle) return KTB_NO_SESSION;
    if (!handle) return KTB_BAD_ARGUMENTS;
    *handle = 0;
    if (!database || !table || !*table) return KTB_BAD_ARGUMENTS;
    const int kind = KindOf(table);
    if (!*database && kind != KIND_DATABASES && kind != KIND_DATABASES_FULL) return KTB_BAD_ARGUMENTS;
    Slot* slot = nullptr;
    for (Slot& candidate : s.slots)
        if (!candidate.handle) {
            slot = &candidate;
            break;
        }
    if (!slot) return KTB_NO_FREE_TABLE;
    slot->handle = s.nextTable++;
    slot->database = std::string(database).substr(0, 9);
    slot->table = std::string(table).substr(0, 29);
    slot->kind = kind;
    if (kind != KIND_DATABASES && kind != KIND_DATABASES_FULL &&
        statengine::OpenDatabase(s.handle, slot->database.c_str(), &slot->engineDb) != 0) {
        FreeSlot(*slot);
        return KTB_CANNOT_RETRIEVE;
    }
    if (kind != KIND_MAIN && EnsureResult(*slot) != KTB_SUCCESS) {
        FreeSlot(*slot);
        return KTB_BAD_TABLE;
    }
    *handle = slot->handle;
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbCloseTable(int handle) {
    Slot* slot = Find(handle);
    if (!S().handle || !slot) return KTB_TABLE_NOT_OPEN;
    FreeSlot(*slot);
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbQueryMain(int handle, int mode, const char* expression, int* errorValue) {
    Slot* slot = nullptr;
    if (const int st = CheckMain(handle, slot); st != KTB_SUCCESS) return st;
    if (errorValue) *errorValue = -1;
    if (mode < 1 || mode > 3) return KTB_BAD_ARGUMENTS;
    if (!expression || !*expression) return KTB_NO_VALUE;
    if (mode != 1 && !slot->hasEntities) return KTB_NO_VALUE;
    std::vector<std::string> keys;
    int pos = -1;
    const int code = statengine::SelectEntities(slot->engineDb, expression, keys, &pos);
    if (code != 0) {
        if (code == 25 && errorValue) *errorValue = pos;
        return MapInternal(code);
    }
    auto has = [](const std::vector<std::string>& list, const std::string& k) {
        return std::any_of(list.begin(), list.end(), [&](const std::string& e) { return ::strcasecmp(e.c_str(), k.c_str()) == 0; });
    };
    if (mode == 1) {
        slot->entities = keys;
    } else if (mode == 2) {
        std::vector<std::string> kept;
        for (const std::string& e : slot->entities)
            if (has(keys, e)) kept.push_back(e);
        slot->entities = kept;
    } else {
        for (const std::string& k : keys)
            if (!has(slot->entities, k)) slot->entities.push_back(k);
    }
    slot->hasEntities = true;
    ListsChanged(*slot);
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbAddEntityMain(int handle, const char* key) {
    Slot* slot = nullptr;
    if (!S().handle) return KTB_NO_SESSION;
    if (!(slot = Find(handle))) return KTB_TABLE_NOT_OPEN;
    if (!key || !*key) return KTB_BAD_ARGUMENTS;
    if (!IsMain(*slot)) return KTB_BAD_REQUEST;
    if (!statengine::EntityExists(slot->engineDb, key)) return KTB_CANNOT_ADD;
    slot->hasEntities = true;
    slot->entities.emplace_back(key);
    ListsChanged(*slot);
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbDelEntityMain(int handle, const char* key) {
    Slot* slot = nullptr;
    if (!S().handle) return KTB_NO_SESSION;
    if (!(slot = Find(handle))) return KTB_TABLE_NOT_OPEN;
    if (!key || !*key) return KTB_BAD_ARGUMENTS;
    if (!IsMain(*slot)) return KTB_BAD_REQUEST;
    if (!slot->hasEntities) return KTB_CANNOT_REMOVE;
    auto it = std::find_if(slot->entities.begin(), slot->entities.end(),
                           [&](const std::string& e) { return ::strcasecmp(e.c_str(), key) == 0; });
    if (it == slot->entities.end()) return KTB_CANNOT_REMOVE;
    slot->entities.erase(it);
    ListsChanged(*slot);
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbAllEntityMain(int handle) {
    Slot* slot = nullptr;
    if (const int st = CheckMain(handle, slot); st != KTB_SUCCESS) return st;
    slot->entities = statengine::AllEntities(slot->engineDb);
    slot->hasEntities = true;
    ListsChanged(*slot);
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbClearEntityMain(int handle) {
    Slot* slot = nullptr;
    if (const int st = CheckMain(handle, slot); st != KTB_SUCCESS) return st;
    slot->entities.clear();
    slot->hasEntities = false;
    ListsChanged(*slot);
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbTransferEntityList(int source, int target) {
    Slot* from = nullptr;
    Slot* to = nullptr;
    if (const int st = CheckMain(source, from); st != KTB_SUCCESS) return st;
    if (const int st = CheckMain(target, to); st != KTB_SUCCESS) return st;
    if (!from->hasEntities) return KTB_NO_VALUE;
    std::vector<std::string> keys;
    for (const std::string& e : from->entities)
        if (statengine::EntityExists(to->engineDb, e)) keys.push_back(e);
    to->entities = keys;
    to->hasEntities = true;
    ListsChanged(*to);
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbMoveTableCursor(int handle, int move) {
    Slot* slot = nullptr;
    if (const int st = Check(handle, slot); st != KTB_SUCCESS) return st;
    if (move < 1 || move > 4) return KTB_BAD_ARGUMENTS;
    if (const int st = EnsureResult(*slot); st != KTB_SUCCESS) return st;
    switch (move) {
    case 1: slot->cursor = 0; return KTB_SUCCESS;
    case 4: slot->cursor = std::max(0, slot->rows - 1); return KTB_SUCCESS;
    case 2:
        if (slot->rows == 0) return KTB_NO_VALUE;
        if (slot->cursor >= slot->rows - 1) return KTB_OUT_OF_BOUNDS;
        ++slot->cursor;
        return KTB_SUCCESS;
    default:
        if (slot->rows == 0) return KTB_NO_VALUE;
        if (slot->cursor == 0) return KTB_OUT_OF_BOUNDS;
        --slot->cursor;
        return KTB_SUCCESS;
    }
}

KTB_EXPORT int KtbMoveTableCursorRel(int handle, int percent) {
    Slot* slot = nullptr;
    if (const int st = Check(handle, slot); st != KTB_SUCCESS) return st;
    if (const int st = EnsureResult(*slot); st != KTB_SUCCESS) return st;
    const int p = std::min<int>(static_cast<std::uint16_t>(percent), 100);
    const int row = static_cast<int>(std::floor(p * slot->rows * 0.01 + 0.5)) - 1;
    slot->cursor = std::max(row, 0);
    return KTB_SUCCESS;
}

namespace {
int FindRow(Slot& slot, const char* text, bool byKey) {
    if (const int st = EnsureResult(slot); st != KTB_SUCCESS) return st;
    if (!slot.result || slot.rows == 0) return KTB_NO_VALUE;
    const int row = byKey ? statengine::ResultFindKey(slot.result, text) : statengine::ResultFindText(slot.result, text);
    if (row < 0) return KTB_CANNOT_FIND;
    slot.cursor = row;
    return KTB_SUCCESS;
}
}  // namespace

KTB_EXPORT int KtbFindStrInTable(int handle, const char* text) {
    Slot* slot = nullptr;
    if (const int st = Check(handle, slot); st != KTB_SUCCESS) return st;
    if (!text || !*text) return KTB_BAD_ARGUMENTS;
    return FindRow(*slot, text, IsMain(*slot) || slot->kind == KIND_CURRENCIES);
}

KTB_EXPORT int KtbFindKeyInTable(int handle, const char* key) {
    Slot* slot = nullptr;
    if (const int st = Check(handle, slot); st != KTB_SUCCESS) return st;
    if (!key || !*key || std::strlen(key) > 29) return KTB_BAD_ARGUMENTS;
    if (slot->kind == KIND_OTHER || slot->kind == KIND_DASH)
        for (const char* c = key; *c; ++c)
            if (!(*c == ' ' || (*c >= '0' && *c <= '9'))) return KTB_BAD_ARGUMENTS;
    return FindRow(*slot, key, true);
}

KTB_EXPORT int KtbAddVar(int handle, const char* name) {
    Slot* slot = Find(handle);
    if (!S().handle || !slot) return KTB_TABLE_NOT_OPEN;
    if (!name || !*name) return KTB_BAD_ARGUMENTS;
    if (IsMain(*slot)) {
        int variable = 0;
        statengine::MainColumn column;
        if (!statengine::FindVariable(slot->engineDb, name, &variable) || !Window(*slot, variable, column))
            return KTB_CANNOT_ADD;
        slot->vars.push_back(column);
        slot->hasVars = true;
        ListsChanged(*slot);
        return KTB_SUCCESS;
    }
    int id = 0;
    for (int i = 1; i <= 19; ++i)
        if (::strcasecmp(name, AttributeName(i)) == 0) id = i;
    if (!id || !Allowed(slot->kind, id)) return KTB_CANNOT_ADD;
    if (std::find(slot->attributes.begin(), slot->attributes.end(), id) != slot->attributes.end())
        return KTB_VAR_EXISTS;
    slot->attributes.push_back(id);
    ListsChanged(*slot);
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbClearVarList(int handle) {
    Slot* slot = nullptr;
    if (const int st = Check(handle, slot); st != KTB_SUCCESS) return st;
    if (IsMain(*slot)) {
        if (!slot->hasVars) return KTB_CANNOT_REMOVE;
        slot->vars.clear();
    } else {
        slot->attributes.clear();
    }
    ListsChanged(*slot);
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbSetAbsRange(int handle, const char* start, const char* end) {
    Slot* slot = nullptr;
    if (const int st = Check(handle, slot); st != KTB_SUCCESS) return st;
    const int from = start ? statengine::TextToDate(start) : 0;
    const int to = end ? statengine::TextToDate(end) : 0;
    if (!from || !to) return KTB_BAD_ARGUMENTS;
    if (from > to) return KTB_BAD_REQUEST;
    slot->absStart = from;
    slot->absEnd = to;
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbSetRelRange(int handle, int first, int last) {
    Slot* slot = nullptr;
    if (const int st = Check(handle, slot); st != KTB_SUCCESS) return st;
    if (first < last) return KTB_BAD_ARGUMENTS;
    slot->relFirst = first;
    slot->relLast = last;
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbClearAbsRange(int handle) {
    Slot* slot = nullptr;
    if (const int st = Check(handle, slot); st != KTB_SUCCESS) return st;
    slot->absStart = slot->absEnd = kUnset;
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbClearRelRange(int handle) {
    Slot* slot = nullptr;
    if (const int st = Check(handle, slot); st != KTB_SUCCESS) return st;
    slot->relFirst = slot->relLast = kUnset;
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbAddVarFml(int handle, const char* formula, int* errorValue) {
    Slot* slot = nullptr;
    if (const int st = CheckMain(handle, slot); st != KTB_SUCCESS) return st;
    if (errorValue) *errorValue = -1;
    if (!formula || !*formula) return KTB_NO_VALUE;
    int pos = -1;
    if (const int code = statengine::CheckFormula(slot->engineDb, formula, &pos); code != 0) {
        if (code == 25 && errorValue) *errorValue = pos;
        return MapInternal(code);
    }
    statengine::MainColumn column;
    column.formula = formula;
    slot->vars.push_back(column);
    slot->hasVars = true;
    ListsChanged(*slot);
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbGetInfo(int handle, int column, int kind, void* out) {
    Slot* slot = nullptr;
    if (const int st = Check(handle, slot); st != KTB_SUCCESS) return st;
    if (!out || kind < 1 || kind > 10) return KTB_BAD_ARGUMENTS;
    auto putInt = [&](std::int32_t v) {
        std::memcpy(out, &v, sizeof v);
        return KTB_SUCCESS;
    };
    auto putText = [&](const std::string& t) {
        CopyText(static_cast<char*>(out), kMaxInfoText + 1, t);
        return KTB_SUCCESS;
    };
    if (kind == 1) {
        if (IsMain(*slot)) return putInt(static_cast<std::int32_t>(slot->entities.size()));
        if (const int st = EnsureResult(*slot); st != KTB_SUCCESS) return st;
        return putInt(slot->rows);
    }
    if (kind == 10) {
        if (!IsMain(*slot)) return KTB_BAD_REQUEST;
        if (column < 0 || column >= static_cast<int>(slot->entities.size())) return KTB_OUT_OF_BOUNDS;
        return putText(slot->entities[column]);
    }
    if (const int st = EnsureResult(*slot); st != KTB_SUCCESS) return st;
    switch (kind) {
    case 2:
        if (slot->rows == 0) return KTB_NO_VALUE;
        return putText(statengine::ResultRowKey(slot->result, slot->cursor));
    case 3: return putInt(slot->cursor);
    case 6: return putInt(ColumnCount(*slot));
    default: break;
    }
    if (column < 0 || column >= ColumnCount(*slot)) return KTB_CANNOT_RETRIEVE;
    if (!IsMain(*slot)) {
        const int id = ColumnAttribute(*slot, column);
        const int type = AttributeType(slot->kind, id);
        switch (kind) {
        case 4: return putText(AttributeName(id));
        case 5: return putInt(1);
        case 7: return putInt(DeliveredWidth(type));
        case 8: return putInt(type);
        default: return putInt(kNoInt);
        }
    }
    switch (kind) {
    case 4: return putText(statengine::MainColumnLabel(slot->result, column));
    case 5: {
        int count = 0;
        if (const int st = ItemCount(*slot, column, count); st != KTB_SUCCESS) return st;
        return putInt(count);
    }
    case 7: return putInt(statengine::MainColumnSize(slot->result, column));
    case 8: {
        int series = 0;
        std::int16_t type = 0;
        if (!statengine::SeriesOfColumn(slot->result, column, &series)) return KTB_CANNOT_FIND;
        if (!statengine::SeriesInfo(slot->result, series, 0xe000600, 2, &type)) return KTB_CANNOT_RETRIEVE;
        return putInt(type >= 1 && type <= 6 ? type : kNoInt);
    }
    default: return putInt(statengine::MainColumnDecodedSize(slot->result, column));
    }
}

KTB_EXPORT int KtbSetCodedTextMode(int handle, int mode) {
    Slot* slot = nullptr;
    if (const int st = Check(handle, slot); st != KTB_SUCCESS) return st;
    slot->codedMode = mode;
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbGetCodedTextMode(int handle) {
    const Slot* slot = S().handle ? Find(handle) : nullptr;
    return slot && slot->codedMode == 1 ? 1 : 0;
}

KTB_EXPORT int KtbIsNA(int kind, const void* value) {
    if (!value) return 0;
    switch (kind) {
    case 1: return statengine::IsNotAvailable(1, 8, value) ? 1 : 0;
    case 2:
    case 4:
    case 6: return *static_cast<const char*>(value) == 0 ? 1 : 0;
    case 5: {
        std::int32_t v;
        std::memcpy(&v, value, sizeof v);
        return v == kNoInt ? 1 : 0;
    }
    default: return 0;
    }
}

KTB_EXPORT int KtbGetAbsEndRange(int handle, const char* period, const char* variable, int count, char* date) {
    Slot* slot = nullptr;
    if (const int st = Check(handle, slot); st != KTB_SUCCESS) return st;
    if (!period || !variable || !*variable || !date || count < 1) return KTB_BAD_ARGUMENTS;
    if (!slot->engineDb) return KTB_BAD_REQUEST;
    const int start = statengine::TextToDate(period);
    if (!start) return KTB_BAD_ARGUMENTS;
    int var = 0;
    if (!statengine::FindVariable(slot->engineDb, variable, &var)) return KTB_CANNOT_FIND;
    std::int16_t freq = 0;
    if (!statengine::VariableAttr(var, 0xd000004, 2, &freq)) return KTB_CANNOT_RETRIEVE;
    const int months = freq == 1 ? 12 : freq == 2 ? 6 : freq == 3 ? 3 : freq == 4 ? 1 : 0;
    if (!months) return KTB_BAD_REQUEST;
    const int m = start / 100 % 100 - 1 + months * (count - 1);
    const int end = (start / 10000 + m / 12) * 10000 + (m % 12 + 1) * 100 + start % 100;
    char text[11] = {};
    if (!statengine::DateToText(end, 9, 11, text)) return KTB_BAD_REQUEST;
    CopyText(date, 15, text);
    return KTB_SUCCESS;
}

KTB_EXPORT int KtbGetFrequency(int handle, const char* variable, int* frequency) {
    Slot* slot = nullptr;
    if (const int st = Check(handle, slot); st != KTB_SUCCESS) return st;
    if (!variable || !*variable || !frequency) return KTB_BAD_ARGUMENTS;
    if (!slot->engineDb) return KTB_BAD_REQUEST;
    int var = 0;
    if (!statengine::FindVariable(slot->engineDb, variable, &var)) return KTB_CANNOT_FIND;
    std::int16_t freq = 0;
    if (!statengine::VariableAttr(var, 0xd000004, 2, &freq)) return KTB_CANNOT_RETRIEVE;
    *frequency = freq;
    return KTB_SUCCESS;
}
