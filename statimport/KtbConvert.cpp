// Delivering values: every item is staged in a fixed record, then laid out in
// the caller's flat buffer or safe array.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "GlobalMemory.h"
#include "KtbInternal.h"
#include "SafeArray.h"

namespace ktb {
namespace {

constexpr int kPiece = 32767;

enum StageType { ST_EMPTY = 0, ST_NUMBER = 1, ST_TEXT = 2, ST_DATE = 4, ST_INT = 5, ST_LONGTEXT = 6 };

struct Stage {
    std::int32_t type = ST_EMPTY;
    std::int32_t size = 0;
    unsigned char value[255] = {};
};

struct Staging {
    std::vector<Stage> records;
    // Long-text blocks staged so far: released when the read fails.
    void ReleaseLongTexts() {
        for (Stage& r : records)
            if (r.type == ST_LONGTEXT) {
                winmem::HGLOBAL h = 0;
                std::memcpy(&h, r.value, sizeof h);
                if (h) winmem::GlobalFree(h);
            }
    }
};

void StoreNumber(Stage& r, double v) {
    r = Stage{};
    r.type = ST_NUMBER;
    r.size = 8;
    std::memcpy(r.value, &v, 8);
}

void StoreText(Stage& r, int type, const char* text) {
    r = Stage{};
    r.type = type;
    const std::size_t limit = type == ST_DATE ? 14 : 254;
    const std::size_t n = text ? std::min(std::strlen(text), limit) : 0;
    if (n) std::memcpy(r.value, text, n);
    r.size = static_cast<std::int32_t>(n + 1);
}

void StoreInt(Stage& r, std::int32_t v) {
    r = Stage{};
    r.type = ST_INT;
    r.size = 4;
    std::memcpy(r.value, &v, 4);
}

void StoreHandle(Stage& r, winmem::HGLOBAL h) {
    r = Stage{};
    r.type = ST_LONGTEXT;
    r.size = h ? static_cast<std::int32_t>(winmem::GlobalSize(h)) : 0;
    std::memcpy(r.value, &h, sizeof h);
}

std::int32_t Truncate(double v) {
    if (std::isnan(v) || v >= 2147483648.0 || v <= -2147483649.0) return kNoInt;
    return static_cast<std::int32_t>(v);
}

// A coded item whose text the engine refuses: the digits of its number's
// integral part, rounded to `length` significant digits; empty when the
// integral part is 0 or has more digits than the text can hold.
std::string CodedDigits(double number, int length) {
    if (length < 1 || std::isnan(number) || std::isinf(number)) return {};
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", std::min(length, 17), std::fabs(number));
    const double rounded = std::trunc(std::strtod(buf, nullptr));
    if (rounded < 1.0) return {};
    std::snprintf(buf, sizeof buf, "%.0f", rounded);
    return static_cast<int>(std::strlen(buf)) <= length ? std::string(buf) : std::string();
}

struct Reader {
    Slot& slot;
    int row;
    int series;
};

int NumberReader(Reader& rd, int type, int first, int count, Staging& st) {
    std::int16_t t = 0;
    if (!statengine::SeriesInfo(rd.slot.result, rd.series, 0xe000600, 2, &t)) return KTB_CANNOT_FIND;
    std::int16_t storage = 0;
    if (!statengine::ItemInfo(rd.slot.result, rd.row, rd.series, first, 0xf000003, 2, &storage) || storage != 8)
        return KTB_CANNOT_RETRIEVE;
    for (int i = 0; i < count; ++i) {
        double v = 0;
        if (!statengine::ItemNumber(rd.slot.result, rd.row, rd.series, first + i, &v)) return KTB_CANNOT_RETRIEVE;
        if (type == 3)
            StoreInt(st.records[i], statengine::IsNotAvailable(1, 8, &v) ? kNoInt : Truncate(v));
        else
            StoreNumber(st.records[i], v);
    }
    return KTB_SUCCESS;
}

int TextReader(Reader& rd, int type, int first, int count, Staging& st) {
    for (int i = 0; i < count; ++i) {
        const int item = first + i;
        std::int32_t length = 0;
        if (!statengine::ItemInfo(rd.slot.result, rd.row, rd.series, item, 0xf000004, 4, &length) || length < 0)
            return KTB_CANNOT_RETRIEVE;
        const winmem::HGLOBAL block = winmem::GlobalAlloc(winmem::GMEM_MOVEABLE, static_cast<std::size_t>(length) + 1);
        if (!block) return KTB_UNKNOWN;
        auto* text = static_cast<char*>(winmem::GlobalLock(block));
        bool ok = true;
        for (int offset = 0; offset < length && ok; offset += kPiece) {
            const int piece = std::min(kPiece, length - offset);
            if (statengine::ItemTextPiece(rd.slot.result, rd.row, rd.series, item, offset, piece, text + offset)) continue;
            if (type != 3) {
                ok = false;
                break;
            }
            double number = 0;
            if (!statengine::ItemNumber(rd.slot.result, rd.row, rd.series, item, &number)) {
                ok = false;
                break;
            }
            const std::string digits = CodedDigits(number, length);
            std::memset(text, 0, static_cast<std::size_t>(length) + 1);
            std::memcpy(text, digits.data(), digits.size());
            break;
        }
        if (!ok) {
            winmem::GlobalUnlock(block);
            winmem::GlobalFree(block);
            return KTB_CANNOT_RETRIEVE;
        }
        text[length] = 0;
        const bool missing = text[0] == 0 || (length <= kPiece && statengine::IsNotAvailable(6, length, text));
        if (type == 6 && !missing) {
            winmem::GlobalUnlock(block);
            StoreHandle(st.records[i], block);  // the block passes to the caller
            continue;
        }
        if (type == 6)
            StoreHandle(st.records[i], 0);
        else
            StoreText(st.records[i], ST_TEXT, missing ? "" : text);
        winmem::GlobalUnlock(block);
        winmem::GlobalFree(block);
    }
    return KTB_SUCCESS;
}

int DateReader(Reader& rd, int first, int count, Staging& st) {
    std::int16_t storage = 0;
    if (!statengine::ItemInfo(rd.slot.result, rd.row, rd.series, first, 0xf000003, 2, &storage) || storage != 4)
        return KTB_CANNOT_RETRIEVE;
    for (int i = 0; i < count; ++i) {
        std::int32_t date = 0;
        if (!statengine::ItemDate(rd.slot.result, rd.row, rd.series, first + i, &date)) return KTB_CANNOT_RETRIEVE;
        if (statengine::IsNotAvailable(4, 4, &date)) {
            StoreText(st.records[i], ST_DATE, "");
            continue;
        }
        char text[11] = {};
        if (!statengine::DateToText(date, 9, 11, text)) return KTB_CANNOT_RETRIEVE;
        text[10] = 0;
        StoreText(st.records[i], ST_DATE, text);
    }
    return KTB_SUCCESS;
}

// ---- catalog attributes of the cursor row

int ReadText(Slot& slot, int lengthCode, int textCode, bool lengthFromRow, std::string& out) {
    std::int32_t length = 0;
    if (lengthFromRow) {
        if (!statengine::CatalogRowAttr(slot.result, slot.cursor, lengthCode, 4, &length)) return KTB_CANNOT_RETRIEVE;
        length = std::min(length, kPiece);
    } else {
        std::int16_t l = 0;
        if (!statengine::CatalogInfo(slot.result, lengthCode, 2, &l)) return KTB_CANNOT_RETRIEVE;
        length = l;
    }
    if (length < 1) {
        out.clear();
        return KTB_SUCCESS;
    }
    std::vector<char> block;
    try {
        block.assign(static_cast<std::size_t>(length), 0);
    } catch (const std::bad_alloc&) {
        return KTB_UNKNOWN;
    }
    if (!statengine::CatalogRowAttr(slot.result, slot.cursor, textCode, length, block.data())) return KTB_CANNOT_RETRIEVE;
    block[length - 1] = 0;
    out = block.data();
    if (!out.empty() && statengine::IsNotAvailable(6, length, block.data())) out.clear();
    return KTB_SUCCESS;
}

int DateAttr(int date, Stage& r) {
    if (!date || statengine::IsNotAvailable(4, 4, &date)) {
        StoreText(r, ST_DATE, "");
        return KTB_SUCCESS;
    }
    char text[11] = {};
    if (!statengine::DateToText(date, 9, 11, text)) {
        StoreText(r, ST_DATE, "");
        return KTB_SUCCESS;
    }
    StoreText(r, ST_DATE, statengine::IsNotAvailable(6, static_cast<int>(std::strlen(text)), text) ? "" : text);
    return KTB_SUCCESS;
}

void NotAvailable(int id, Stage& r) {
    if (id == 5 || id == 6 || id == 14)
        StoreText(r, ST_DATE, "");
    else
        StoreInt(r, kNoInt);
}

int VariableAttribute(Slot& slot, int id, const std::string& symbol, Stage& r) {
    int var = 0;
    if (!statengine::FindVariable(slot.engineDb, symbol.c_str(), &var)) return KTB_CANNOT_RETRIEVE;
    auto get4 = [&](int code, std::int32_t& v) { return statengine::VariableAttr(var, code, 4, &v) != 0; };
    auto get2 = [&](int code, std::int16_t& v) { return statengine::VariableAttr(var, code, 2, &v) != 0; };
    std::int32_t flags = 0, v4 = 0;
    std::int16_t v2 = 0;
    switch (id) {
    case 5:
    case 6:
        if (!get4(0xd000008, flags)) return KTB_CANNOT_RETRIEVE;
        if (!(flags & (1 << 24)) || !(flags & (1 << 1))) return DateAttr(0, r);
        if (!get4(id == 5 ? 0xd000009 : 0xd00000a, v4)) return KTB_CANNOT_RETRIEVE;
        return DateAttr(v4, r);
    case 7:
    case 8:
        if (!get4(0xd000008, flags)) return KTB_CANNOT_RETRIEVE;
        if (!(flags & (1 << 24)) || !(flags & (1 << 2))) {
            StoreInt(r, kNoInt);
            return KTB_SUCCESS;
        }
        if (!get4(id == 7 ? 0xd00000b : 0xd00000c, v4)) return KTB_CANNOT_RETRIEVE;
        StoreInt(r, statengine::IsNotAvailable(5, 4, &v4) ? kNoInt : v4);
        return KTB_SUCCESS;
    case 9:
    case 10:
    case 11:
    case 18:
        if (!get2(id == 9 ? 0xd000003 : id == 10 ? 0xd000004 : id == 11 ? 0xd000005 : 0xd000020, v2))
            return KTB_CANNOT_RETRIEVE;
        StoreInt(r, v2);
        return KTB_SUCCESS;
    case 12:
    case 13: {
        std::int16_t type = 0;
        if (!get2(0xd000003, type)) return KTB_CANNOT_RETRIEVE;
        if (id == 13 && type != 3) {
            StoreInt(r, 0);
            return KTB_SUCCESS;
        }
        if (id == 13 || type == 2 || type == 6) {
            if (!get4(0xd000007, v4)) return KTB_CANNOT_RETRIEVE;
            StoreInt(r, v4);
        } else {
            if (!get2(0xd000006, v2)) return KTB_CANNOT_RETRIEVE;
            StoreInt(r, v2);
        }
        return KTB_SUCCESS;
    }
    case 17:
        if (!get2(0xd00001b, v2)) return KTB_CANNOT_RETRIEVE;
        StoreInt(r, static_cast<std::uint16_t>(v2));
        return KTB_SUCCESS;
    default: return KTB_CANNOT_RETRIEVE;
    }
}

int DatabaseAttribute(int id, const std::string& symbol, Stage& r) {
    int info = 0;
    if (!statengine::DatabaseInfo(S().handle, symbol.c_str(), &info)) return KTB_CANNOT_RETRIEVE;
    std::int32_t v4 = 0;
    std::int16_t v2 = 0;
    switch (id) {
    case 14:
        if (!statengine::DatabaseAttr(info, 0xa010002, 4, &v4)) return KTB_CANNOT_RETRIEVE;
        return DateAttr(v4, r);
    case 15:
    case 16:
        if (!statengine::DatabaseAttr(info, id == 15 ? 0xa010003 : 0xa010004, 4, &v4)) return KTB_CANNOT_RETRIEVE;
        StoreInt(r, v4);
        return KTB_SUCCESS;
    case 19:
        if (!statengine::DatabaseAttr(info, 0xa000003, 2, &v2)) return KTB_CANNOT_RETRIEVE;
        StoreInt(r, v2);
        return KTB_SUCCESS;
    default: return KTB_CANNOT_RETRIEVE;
    }
}

int AttributeReader(Slot& slot, int id, Stage& r) {
    std::int16_t marker = 0;
    if (!statengine::CatalogRowAttr(slot.result, slot.cursor, 0x20008, 2, &marker)) return KTB_CANNOT_RETRIEVE;
    const bool category = marker > 0;
    std::string text;
    switch (id) {
    case 1:
        if (category) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "~~%-d", marker);
            StoreText(r, ST_TEXT, buf);
            return KTB_SUCCESS;
        }
        if (slot.kind == KIND_OTHER) {
            std::int16_t length = 0;
            if (!statengine::CatalogInfo(slot.result, 0x10003, 2, &length) || length != 8) return KTB_CANNOT_RETRIEVE;
            double symbol = 0;
            if (!statengine::CatalogRowAttr(slot.result, slot.cursor, 0x20004, 8, &symbol)) return KTB_CANNOT_RETRIEVE;
            StoreInt(r, statengine::IsNotAvailable(1, 8, &symbol) ? kNoInt : Truncate(symbol));
            return KTB_SUCCESS;
        }
        if (const int st = ReadText(slot, 0x10003, 0x20004, false, text); st != KTB_SUCCESS) return st;
        StoreText(r, ST_TEXT, text.c_str());
        return KTB_SUCCESS;
    case 2:
        if (const int st = ReadText(slot, 0x10006, 0x20001, false, text); st != KTB_SUCCESS) return st;
        StoreText(r, ST_TEXT, text.c_str());
        return KTB_SUCCESS;
    case 3: {
        if (const int st = ReadText(slot, 0x20002, 0x20003, true, text); st != KTB_SUCCESS) return st;
        if (text.empty()) {
            StoreHandle(r, 0);
            return KTB_SUCCESS;
        }
        const winmem::HGLOBAL block = winmem::GlobalAlloc(winmem::GMEM_MOVEABLE, text.size() + 1);
        if (!block) return KTB_UNKNOWN;
        std::memcpy(winmem::GlobalLock(block), text.c_str(), text.size() + 1);
        winmem::GlobalUnlock(block);
        StoreHandle(r, block);
        return KTB_SUCCESS;
    }
    case 4: {
        std::int32_t flag = 0;
        if (!statengine::CatalogInfo(slot.result, 0x10008, 4, &flag)) return KTB_CANNOT_RETRIEVE;
        if (flag != 1)
            if (const int st = ReadText(slot, 0x10004, 0x20005, false, text); st != KTB_SUCCESS) return st;
        StoreText(r, ST_TEXT, flag == 1 ? "" : text.c_str());
        return KTB_SUCCESS;
    }
    default: break;
    }
    const bool variableAttr = (id >= 5 && id <= 13) || id == 17 || id == 18;
    const bool databaseAttr = id == 14 || id == 15 || id == 16 || id == 19;
    const bool variables = slot.kind == KIND_VARIABLES || slot.kind == KIND_VARIABLES_SHORT;
    const bool databases = slot.kind == KIND_DATABASES || slot.kind == KIND_DATABASES_FULL;
    if (category || !((variableAttr && variables) || (databaseAttr && databases))) {
        NotAvailable(id, r);
        return KTB_SUCCESS;
    }
    if (const int st = ReadText(slot, 0x10003, 0x20004, false, text); st != KTB_SUCCESS) return st;
    return variableAttr ? VariableAttribute(slot, id, text, r) : DatabaseAttribute(id, text, r);
}

int CodeTableReader(Slot& slot, int id, Stage& r) {
    if (id == 1) {
        std::int32_t symbol = 0;
        if (!statengine::CodeTableRowAttr(slot.result, slot.cursor, 1, 0xd001000, 4, &symbol)) return KTB_CANNOT_RETRIEVE;
        StoreInt(r, symbol);
        return KTB_SUCCESS;
    }
    std::int16_t n = 0;
    if (!statengine::CodeTableTextLength(slot.result, 0xd000c00, 2, &n)) return KTB_CANNOT_RETRIEVE;
    std::vector<char> block(static_cast<std::size_t>(std::max<int>(n, 0)) + 1, 0);
    if (!statengine::CodeTableRowAttr(slot.result, slot.cursor, 1, 0xd000f00, n, block.data())) return KTB_CANNOT_RETRIEVE;
    block[n] = 0;
    StoreText(r, ST_TEXT, statengine::IsNotAvailable(6, n, block.data()) ? "" : block.data());
    return KTB_SUCCESS;
}

int CurrencyReader(Slot& slot, int id, Stage& r) {
    if (id != 1 && id != 2) return KTB_CANNOT_RETRIEVE;
    std::int16_t currency = 0, n = 0;
    if (!statengine::CurrencyOfRow(slot.result, slot.cursor, &currency)) return KTB_CANNOT_RETRIEVE;
    if (!statengine::CurrencyTextLength(id == 1 ? 3 : 2, 2, &n)) return KTB_CANNOT_RETRIEVE;
    std::vector<char> block(static_cast<std::size_t>(std::max<int>(n, 0)) + 1, 0);
    if (!statengine::CurrencyText(id == 1 ? 5 : 4, currency, 1, n, block.data())) return KTB_CANNOT_RETRIEVE;
    block[n] = 0;
    StoreText(r, ST_TEXT, statengine::IsNotAvailable(6, n, block.data()) ? "" : block.data());
    return KTB_SUCCESS;
}

// The series read of items first .. first+count-1 of a column at the cursor.
int SeriesRead(Slot& slot, int column, int first, int count, Staging& st) {
    if (!slot.result) return KTB_NO_VALUE;
    if (count < 1 || st.records.empty()) return KTB_BAD_ARGUMENTS;
    if (slot.rows == 0) return KTB_NO_VALUE;
    if (!IsMain(slot)) {
        if (first != 0) return KTB_OUT_OF_BOUNDS;
        const int id = ColumnAttribute(slot, column);
        if (slot.kind == KIND_DASH) return CodeTableReader(slot, id, st.records[0]);
        if (slot.kind == KIND_CURRENCIES) return CurrencyReader(slot, id, st.records[0]);
        return AttributeReader(slot, id, st.records[0]);
    }
    int series = 0;
    if (!statengine::SeriesOfColumn(slot.result, column, &series)) return KTB_CANNOT_FIND;
    std::int16_t m = 0, type = 0;
    if (!statengine::SeriesInfo(slot.result, series, 0xe000900, 2, &m)) return KTB_CANNOT_RETRIEVE;
    if (first >= m) return KTB_OUT_OF_BOUNDS;
    count = std::min(count, m - first);
    if (!statengine::SeriesInfo(slot.result, series, 0xe000600, 2, &type)) return KTB_CANNOT_RETRIEVE;
    Reader rd{slot, slot.cursor, series};
    switch (type) {
    case 1: return NumberReader(rd, 1, first, count, st);
    case 2:
    case 6: return TextReader(rd, type, first, count, st);
    case 3: return slot.codedMode == 1 ? TextReader(rd, 3, first, count, st) : NumberReader(rd, 3, first, count, st);
    case 4: return DateReader(rd, first, count, st);
    default: return KTB_CANNOT_RETRIEVE;
    }
}

int DateFreqRead(Slot& slot, int column, int count, Staging& st) {
    if (!slot.result) return KTB_NO_VALUE;
    if (count < 1 || st.records.empty()) return KTB_BAD_ARGUMENTS;
    if (slot.rows == 0) return KTB_NO_VALUE;
    int series = 0;
    if (!statengine::SeriesOfColumn(slot.result, column, &series)) return KTB_CANNOT_FIND;
    std::int16_t type = 0, m = 0;
    if (!statengine::SeriesInfo(slot.result, series, 0xe000600, 2, &type)) return KTB_CANNOT_RETRIEVE;
    if (type != 4) return KTB_BAD_REQUEST;
    if (!statengine::SeriesInfo(slot.result, series, 0xe000900, 2, &m)) return KTB_CANNOT_RETRIEVE;
    count = std::min<int>(count, m);
    for (int i = 0; i < count; ++i) {
        std::int16_t code = 0;
        if (!statengine::ItemDateFreq(slot.result, slot.cursor, series, i, &code)) return KTB_CANNOT_RETRIEVE;
        StoreInt(st.records[i], code);
    }
    return KTB_SUCCESS;
}

// Catalog values the engine codes differently from what callers expect.
void Recode(int id, Stage& r) {
    if (r.type != ST_INT) return;
    std::int32_t v;
    std::memcpy(&v, r.value, 4);
    if (id == 9 && !(v >= 1 && v <= 6)) v = kNoInt;
    if (id == 17 && v >= 3424 && v <= 3428) v -= 3424;
    if ((id == 18 || id == 19) && (v == 2 || v == 3)) v -= 1;
    std::memcpy(r.value, &v, 4);
}

int FlatCopy(const Staging& st, int count, unsigned char* out, int& copied) {
    copied = 0;
    const int n = std::min<int>(count, static_cast<int>(st.records.size()));
    for (int i = 0; i < n; ++i) {
        const Stage& r = st.records[i];
        switch (r.type) {
        case ST_NUMBER: std::memcpy(out + 8 * i, r.value, 8); break;
        case ST_TEXT:
            std::memset(out + 255 * i, 0, 255);
            std::memcpy(out + 255 * i, r.value, std::strlen(reinterpret_cast<const char*>(r.value)) + 1);
            break;
        case ST_DATE:
            std::memset(out + 15 * i, 0, 15);
            std::memcpy(out + 15 * i, r.value, std::strlen(reinterpret_cast<const char*>(r.value)) + 1);
            break;
        case ST_INT:
        case ST_LONGTEXT: std::memcpy(out + 4 * i, r.value, 4); break;
        default: return KTB_CANNOT_RETRIEVE;
        }
        ++copied;
    }
    return KTB_SUCCESS;
}

int SafeArrayCopy(const Staging& st, int count, winmem::SAFEARRAY* array, int& copied) {
    using namespace winmem;
    copied = 0;
    std::int32_t lb = 0, ub = 0;
    VARTYPE vt = 0;
    if (!array || SafeArrayGetDim(array) != 1 || SafeArrayGetLBound(array, 1, &lb) != S_OK ||
        SafeArrayGetUBound(array, 1, &ub) != S_OK || SafeArrayGetVartype(array, &vt) != S_OK)
        return KTB_CANNOT_RETRIEVE;
    const int k = ub - lb + 1;
    const int n = std::min<int>({k, count, static_cast<int>(st.records.size())});
    for (std::int32_t i = 0; i < n; ++i) {
        const Stage& r = st.records[i];
        const std::int32_t index = lb + i;  // never outside the array, whatever its lower bound
        const VARTYPE want = r.type == ST_NUMBER ? VT_R8 : (r.type == ST_TEXT || r.type == ST_DATE) ? VT_BSTR : VT_I4;
        if (r.type == ST_EMPTY || vt != want) return KTB_CANNOT_RETRIEVE;
        if (vt == VT_BSTR) {
            BSTR element = nullptr;
            if (SafeArrayGetElement(array, &index, &element) != S_OK) return KTB_CANNOT_RETRIEVE;
            if (element) {
                // Written into the element's own storage, never beyond it.
                const std::uint32_t room = SysStringByteLen(element);
                const std::size_t len = std::min<std::size_t>(std::strlen(reinterpret_cast<const char*>(r.value)), room);
                std::memcpy(element, r.value, len);
                element[len] = 0;
            }
            const HRESULT put = SafeArrayPutElement(array, &index, &element);
            SysFreeString(element);
            if (put != S_OK) return KTB_CANNOT_RETRIEVE;
        } else {
            unsigned char scratch[8];
            if (SafeArrayGetElement(array, &index, scratch) != S_OK) return KTB_CANNOT_RETRIEVE;
            if (SafeArrayPutElement(array, &index, r.value) != S_OK) return KTB_CANNOT_RETRIEVE;
        }
        ++copied;
    }
    copied = count;  // as the platform reports: the count asked for
    return KTB_SUCCESS;
}

enum class Form { Flat, Array };

int Deliver(Slot& slot, int column, Staging& st, int count, void* buffer, Form form) {
    if (!IsMain(slot)) Recode(ColumnAttribute(slot, column), st.records[0]);
    int copied = 0;
    const int status = form == Form::Array
                           ? SafeArrayCopy(st, count, *static_cast<winmem::SAFEARRAY**>(buffer), copied)
                           : FlatCopy(st, count, static_cast<unsigned char*>(buffer), copied);
    if (status != KTB_SUCCESS || copied != count) {
        st.ReleaseLongTexts();
        return KTB_CANNOT_RETRIEVE;
    }
    return KTB_SUCCESS;
}

int CommonChecks(int handle, void* buffer, Slot*& slot) {
    if (!S().handle) return KTB_NO_SESSION;
    slot = Find(handle);
    if (!slot) return KTB_TABLE_NOT_OPEN;
    if (!buffer) return KTB_BAD_ARGUMENTS;
    return KTB_SUCCESS;
}

}  // namespace
}  // namespace ktb

using namespace ktb;

static int KtbGetVarDataUnguarded(int handle, int column, void* buffer) {
    Slot* slot = nullptr;
    if (const int st = CommonChecks(handle, buffer, slot); st != KTB_SUCCESS) return st;
    if (const int st = EnsureResult(*slot); st != KTB_SUCCESS) return st;
    if (column < 0 || column >= ColumnCount(*slot)) return KTB_BAD_ARGUMENTS;
    if (!IsMain(*slot) && !ColumnAttribute(*slot, column)) return KTB_BAD_REQUEST;
    int n = 0;
    if (const int st = ItemCount(*slot, column, n); st != KTB_SUCCESS) return st;
    if (n < 1) return KTB_BAD_ARGUMENTS;
    Staging staging;
    try {
        staging.records.resize(static_cast<std::size_t>(n));
    } catch (const std::bad_alloc&) {
        return KTB_OUT_OF_MEMORY;
    }
    if (const int st = SeriesRead(*slot, column, 0, n, staging); st != KTB_SUCCESS) {
        staging.ReleaseLongTexts();
        return st;
    }
    return Deliver(*slot, column, staging, n, buffer, S().codedValues ? Form::Array : Form::Flat);
}

static int KtbGetSingleValueUnguarded(int handle, int column, int item, void* value) {
    Slot* slot = nullptr;
    if (const int st = CommonChecks(handle, value, slot); st != KTB_SUCCESS) return st;
    if (const int st = EnsureResult(*slot); st != KTB_SUCCESS) return st;
    if (column < 0 || column >= ColumnCount(*slot)) return KTB_BAD_ARGUMENTS;
    if (!IsMain(*slot) && !ColumnAttribute(*slot, column)) return KTB_BAD_REQUEST;
    int n = 0;
    if (const int st = ItemCount(*slot, column, n); st != KTB_SUCCESS) return st;
    if (n < 1) return KTB_CANNOT_RETRIEVE;
    const int index = static_cast<std::int16_t>(item);
    if (index < 0) return KTB_OUT_OF_BOUNDS;  // a negative item names nothing
    Staging staging;
    staging.records.resize(1);
    if (const int st = SeriesRead(*slot, column, index, 1, staging); st != KTB_SUCCESS) {
        staging.ReleaseLongTexts();
        return st;
    }
    return Deliver(*slot, column, staging, 1, value, Form::Flat);
}

static int KtbGetDateFreqUnguarded(int handle, int column, void* buffer) {
    Slot* slot = nullptr;
    if (const int st = CommonChecks(handle, buffer, slot); st != KTB_SUCCESS) return st;
    if (!IsMain(*slot)) return KTB_BAD_REQUEST;
    if (const int st = EnsureResult(*slot); st != KTB_SUCCESS) return st;
    int n = 0;
    if (const int st = ItemCount(*slot, column, n); st != KTB_SUCCESS) return st;
    if (n < 1) return KTB_BAD_ARGUMENTS;
    Staging staging;
    staging.records.resize(static_cast<std::size_t>(n));
    if (const int st = DateFreqRead(*slot, column, n, staging); st != KTB_SUCCESS) return st;
    return Deliver(*slot, column, staging, n, buffer, S().codedValues ? Form::Array : Form::Flat);
}

// Nothing the engine or an allocation throws crosses the library's boundary:
// a read that cannot be completed is a status like any other.
namespace {
template <typename Fn>
int Guarded(Fn read) {
    try {
        return read();
    } catch (const std::bad_alloc&) {
        return KTB_OUT_OF_MEMORY;
    } catch (...) {
        return KTB_UNEXPECTED;
    }
}
}  // namespace

KTB_EXPORT int KtbGetVarData(int handle, int column, void* buffer) {
    return Guarded([&] { return KtbGetVarDataUnguarded(handle, column, buffer); });
}

KTB_EXPORT int KtbGetSingleValue(int handle, int column, int item, void* value) {
    return Guarded([&] { return KtbGetSingleValueUnguarded(handle, column, item, value); });
}

KTB_EXPORT int KtbGetDateFreq(int handle, int column, void* buffer) {
    return Guarded([&] { return KtbGetDateFreqUnguarded(handle, column, buffer); });
}
