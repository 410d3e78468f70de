#include "StatEngine.h"

#include <dlfcn.h>
#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

namespace statengine {

const double kNotAvailable = -DBL_MAX;

namespace {

constexpr const char* kMissingText = "#N/A";
constexpr std::int32_t kNoInt = static_cast<std::int32_t>(0x80000000u);
// Item counts and indexes travel as 16-bit signed values: a series has at
// most this many items, whatever a damaged catalogue claims.
constexpr int kMaxItems = 32767;

std::map<std::string, int>& Counts() {
    static std::map<std::string, int> c;
    return c;
}
void Count(const char* name) { ++Counts()[name]; }

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool SameNoCase(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

// ---- the catalogue of one database, read once when it is opened

struct Variable {
    std::string db, symbol, name, description, category, label;
    int marker = 0, type = 1, frequency = 0, precision = 0, size = 8, decodedSize = kNoInt;
    int screenable = 0, currencyMethod = 0;
    int firstDate = 0;  // 0: undated
    int itemCount = 0;
    std::optional<int> relMin, relMax;
};

struct Entity {
    std::string symbol, name, description, category;
    int marker = 0;
};

struct CodeRow {
    int marker = 0;
    double symbol = 0.0;
    std::string name, description;
};

struct Database {
    std::string symbol, name, description;
    int pubDate = 0, currency = 0;
    std::vector<Entity> entities;                // catalog order, category rows included
    std::vector<std::unique_ptr<Variable>> variables;
    std::map<std::string, std::vector<CodeRow>> codeTables;  // by upper-cased name
};

struct Currency {
    int id = 0;
    std::string symbol, name;
};

struct State {
    bool mapperUp = false;
    int registrations = 0;
    std::string current;   // the current product; empty: none chosen yet
    std::string pending;   // mapped, waiting for Change_Product
    bool engineUp = false;
    int session = 0;
    int nextSession = 1;
    sqlite3* product = nullptr;
    std::vector<Currency> currencies;
    std::map<std::string, std::shared_ptr<Database>> loaded;  // by upper-cased symbol
    std::map<int, std::shared_ptr<Database>> open;             // by db handle
    int nextDb = 1;
    std::vector<Variable*> variables;                          // variable handle - 1
    std::map<int, std::shared_ptr<Database>> infos;            // database information handles
    int nextInfo = 1;
};

State& S() {
    static State s;
    return s;
}

std::string ProductPath(const std::string& product) { return ProductFolder() + "/" + Upper(product) + ".sdb"; }

bool ProductExists(const std::string& product) {
    if (product.empty() || product.size() > 10) return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(ProductPath(product), ec);
}

// The product current at start: "ZID_IVI" when present, else the first by name.
std::string DefaultProduct() {
    if (ProductExists("ZID_IVI")) return "ZID_IVI";
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(ProductFolder(), ec))
        if (e.path().extension() == ".sdb") names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names.empty() ? std::string() : names.front();
}

std::string& Current() {
    State& s = S();
    // A product whose file went away is no longer current.
    if (s.current.empty() || !ProductExists(s.current)) s.current = DefaultProduct();
    return s.current;
}

std::string Col(sqlite3_stmt* st, int i) {
    const unsigned char* t = sqlite3_column_text(st, i);
    return t ? reinterpret_cast<const char*>(t) : std::string();
}

// One statement over the product file. Row() is false at the end of the rows
// and on an error; Failed() tells them apart: a damaged page (SQLITE_CORRUPT),
// a busy or unreadable file is never the end of the data.
struct Stmt {
    sqlite3_stmt* st = nullptr;
    bool failed = false;
    Stmt(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
            sqlite3_finalize(st);
            st = nullptr;
            failed = true;
        }
    }
    ~Stmt() { sqlite3_finalize(st); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    explicit operator bool() const { return st != nullptr; }
    void Bind(int i, const std::string& v) { sqlite3_bind_text(st, i, v.c_str(), -1, SQLITE_TRANSIENT); }
    void Bind(int i, int v) { sqlite3_bind_int(st, i, v); }
    bool Row() {
        if (!st || failed) return false;
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) failed = true;
        return false;
    }
    bool Failed() const { return failed; }
};

// The database's catalogue, read once; null when the product has no such
// database, or (with *unreadable set) when the product file cannot be read.
std::shared_ptr<Database> LoadCatalogue(const std::string& symbol, bool* unreadable);

std::shared_ptr<Database> LoadDatabase(const std::string& symbol, bool* unreadable = nullptr) {
    if (unreadable) *unreadable = false;
    bool failed = false;
    std::shared_ptr<Database> db;
    try {
        db = LoadCatalogue(symbol, &failed);
    } catch (const std::bad_alloc&) {
        db = nullptr;
        failed = true;
    }
    if (unreadable) *unreadable = failed;
    return db;
}

std::shared_ptr<Database> LoadCatalogue(const std::string& symbol, bool* unreadable) {
    State& s = S();
    auto found = s.loaded.find(Upper(symbol));
    if (found != s.loaded.end()) return found->second;
    Stmt q(s.product, "SELECT symbol, name, description, pub_date, currency FROM databases WHERE symbol = ?1 COLLATE NOCASE");
    if (!q) {
        *unreadable = true;
        return nullptr;
    }
    q.Bind(1, symbol);
    if (!q.Row()) {
        *unreadable = q.Failed();
        return nullptr;
    }
    auto db = std::make_shared<Database>();
    db->symbol = Col(q.st, 0);
    db->name = Col(q.st, 1);
    db->description = Col(q.st, 2);
    db->pubDate = sqlite3_column_int(q.st, 3);
    db->currency = sqlite3_column_int(q.st, 4);
    Stmt e(s.product, "SELECT marker, symbol, name, description, category FROM entities WHERE db = ?1 COLLATE NOCASE ORDER BY seq");
    e.Bind(1, db->symbol);
    while (e.Row())
        db->entities.push_back({Col(e.st, 1), Col(e.st, 2), Col(e.st, 3), Col(e.st, 4), sqlite3_column_int(e.st, 0)});
    Stmt v(s.product,
           "SELECT marker, symbol, name, description, category, label, type, frequency, precision, size, "
           "decoded_size, screenable, currency_method, first_date, item_count, rel_min, rel_max "
           "FROM variables WHERE db = ?1 COLLATE NOCASE ORDER BY seq");
    v.Bind(1, db->symbol);
    while (v.Row()) {
        auto var = std::make_unique<Variable>();
        var->db = db->symbol;
        var->marker = sqlite3_column_int(v.st, 0);
        var->symbol = Col(v.st, 1);
        var->name = Col(v.st, 2);
        var->description = Col(v.st, 3);
        var->category = Col(v.st, 4);
        var->label = Col(v.st, 5);
        var->type = sqlite3_column_int(v.st, 6);
        var->frequency = sqlite3_column_int(v.st, 7);
        var->precision = sqlite3_column_int(v.st, 8);
        var->size = sqlite3_column_int(v.st, 9);
        var->decodedSize = sqlite3_column_type(v.st, 10) == SQLITE_NULL ? kNoInt : sqlite3_column_int(v.st, 10);
        var->screenable = sqlite3_column_int(v.st, 11);
        var->currencyMethod = sqlite3_column_int(v.st, 12);
        var->firstDate = sqlite3_column_int(v.st, 13);
        var->itemCount = sqlite3_column_int(v.st, 14);
        if (sqlite3_column_type(v.st, 15) != SQLITE_NULL) var->relMin = sqlite3_column_int(v.st, 15);
        if (sqlite3_column_type(v.st, 16) != SQLITE_NULL) var->relMax = sqlite3_column_int(v.st, 16);
        db->variables.push_back(std::move(var));
    }
    Stmt c(s.product, "SELECT tname, marker, symbol_num, name, description FROM code_tables WHERE db = ?1 COLLATE NOCASE ORDER BY tname, seq");
    c.Bind(1, db->symbol);
    while (c.Row())
        db->codeTables[Upper(Col(c.st, 0))].push_back(
            {sqlite3_column_int(c.st, 1), sqlite3_column_double(c.st, 2), Col(c.st, 3), Col(c.st, 4)});
    // A catalogue read only in part is no catalogue: nothing of it is kept.
    if (!e || !v || !c || e.Failed() || v.Failed() || c.Failed()) {
        *unreadable = true;
        return nullptr;
    }
    s.loaded[Upper(symbol)] = db;
    return db;
}

// ---- dates

bool ValidDate(int d) {
    const int y = d / 10000, m = d / 100 % 100, day = d % 100;
    return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && day >= 1 && day <= 31;
}

int PeriodMonths(int frequency) {
    switch (frequency) {
    case 1: return 12;
    case 2: return 6;
    case 3: return 3;
    case 4: return 1;
    default: return 0;
    }
}

int AddMonths(int date, int months) {
    int y = date / 10000, m = date / 100 % 100;
    const int d = date % 100;
    int total = y * 12 + (m - 1) + months;
    y = total / 12;
    m = total % 12 + 1;
    return y * 10000 + m * 100 + d;
}

int ItemDateOf(const Variable& v, int item) {
    const int months = PeriodMonths(v.frequency);
    return v.firstDate && months ? AddMonths(v.firstDate, months * item) : 0;
}

}  // namespace

// ---- results

struct Item {
    bool present = false;
    double number = 0.0;
    std::optional<std::string> text;  // null: the engine refuses the text
    int freq = 0;
};

struct Result {
    int kind = 1;
    std::shared_ptr<Database> db;
    // Main
    std::vector<std::string> entities;
    std::vector<MainColumn> columns;
    std::map<std::pair<int, int>, std::vector<Item>> cells;  // (row, column)
    // catalogs: one entry per row
    std::vector<const Entity*> entityRows;
    std::vector<const Variable*> variableRows;
    std::vector<std::shared_ptr<Database>> databaseRows;
    std::vector<const Currency*> currencyRows;
    const std::vector<CodeRow>* codeRows = nullptr;
};

namespace {

Variable* VariableOf(int handle) {
    State& s = S();
    return handle >= 1 && handle <= static_cast<int>(s.variables.size()) ? s.variables[handle - 1] : nullptr;
}

// A catalogue that claims more items than a series can hold is damaged: such
// a series cannot be read (its items would be placed by a count that is not
// theirs).
bool ReadableItemCount(const Variable& v) { return v.itemCount >= 0 && v.itemCount <= kMaxItems; }

bool LoadItems(const Result& r, const std::string& entity, const MainColumn& c, std::vector<Item>& items);

// -1 when the column cannot be read.
int ColumnItemCount(const Result& r, const MainColumn& c) {
    if (c.variable) {
        const Variable* v = VariableOf(c.variable);
        if (!v) return 0;
        if (!ReadableItemCount(*v)) return -1;
        const int left = std::max(0, v->itemCount - c.firstItem);
        return c.itemCount < 0 ? left : std::min(left, c.itemCount);
    }
    // A formula has as many items as its result for the first row; every
    // row shares the operands' item axis.
    if (r.entities.empty()) return 0;
    std::vector<Item> items;
    if (!LoadItems(r, r.entities.front(), c, items)) return -1;
    return static_cast<int>(items.size());
}

const Variable* FindVar(const Database& db, const std::string& symbol) {
    for (const auto& v : db.variables)
        if (v->marker == 0 && SameNoCase(v->symbol, symbol)) return v.get();
    return nullptr;
}

// The number of an item as stored: NULL is the engine's "not available"; a
// text, a blob or a number out of range is no number at all, and the item
// cannot be read (SQLite would give a text's numeric prefix, 'abc' as 0).
bool StoredNumber(sqlite3_stmt* st, int column, double& out) {
    switch (sqlite3_column_type(st, column)) {
    case SQLITE_NULL: out = kNotAvailable; return true;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: out = sqlite3_column_double(st, column); return std::isfinite(out);
    default: return false;
    }
}

// The items first .. first + count - 1 of a variable for an entity; false
// when the product file cannot give them (a damaged page, an item that is
// not a number in a series of numbers).
bool LoadVariableItems(const Variable& v, const std::string& entity, int first, int count, std::vector<Item>& items) {
    if (count < 0 || count > kMaxItems) return false;
    items.assign(static_cast<std::size_t>(count), Item{});
    Stmt q(S().product,
           "SELECT idx, num, txt, freq FROM items WHERE db = ?1 COLLATE NOCASE AND variable = ?2 COLLATE NOCASE "
           "AND entity = ?3 AND idx >= ?4 AND idx < ?5");
    if (!q) return false;
    q.Bind(1, v.db);
    q.Bind(2, v.symbol);
    q.Bind(3, entity);
    q.Bind(4, first);
    q.Bind(5, first + count);
    // Texts and long texts keep their number column unused.
    const bool numbers = v.type != 2 && v.type != 6;
    while (q.Row()) {
        const int index = sqlite3_column_int(q.st, 0) - first;
        if (index < 0 || index >= count) return false;
        Item& it = items[static_cast<std::size_t>(index)];
        it.present = true;
        if (!StoredNumber(q.st, 1, it.number)) {
            if (numbers) return false;
            it.number = kNotAvailable;
        }
        if (sqlite3_column_type(q.st, 2) != SQLITE_NULL) it.text = Col(q.st, 2);
        it.freq = sqlite3_column_int(q.st, 3);
    }
    return !q.Failed();
}

// Splits "A op B" into its parts; false with errorPos when it cannot.
struct Formula {
    std::string left, right;
    char op = 0;
};

bool ParseFormula(const std::string& text, Formula& f, int* errorPos) {
    std::size_t i = 0;
    auto skip = [&] { while (i < text.size() && text[i] == ' ') ++i; };
    auto operand = [&](std::string& out) {
        skip();
        const std::size_t start = i;
        while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '.' || text[i] == '_')) ++i;
        out = text.substr(start, i - start);
        return !out.empty();
    };
    auto fail = [&] { if (errorPos) *errorPos = static_cast<int>(i); return false; };
    if (!operand(f.left)) return fail();
    skip();
    if (i == text.size()) return true;
    if (std::strchr("+-*/", text[i]) == nullptr) return fail();
    f.op = text[i++];
    if (!operand(f.right)) return fail();
    skip();
    if (i != text.size()) return fail();
    return true;
}

bool IsNumber(const std::string& s, double& v) {
    char* end = nullptr;
    v = std::strtod(s.c_str(), &end);
    return !s.empty() && end && *end == 0;
}

// ok becomes false for an operand that names no variable; false when the
// operand's items cannot be read.
bool OperandItems(const Result& r, const std::string& entity, const std::string& operand, bool& ok,
                  std::vector<Item>& items) {
    double v = 0;
    items.clear();
    if (IsNumber(operand, v)) {
        Item it;
        it.present = true;
        it.number = v;
        items.push_back(it);
        return true;
    }
    const Variable* var = FindVar(*r.db, operand);
    if (!var) {
        ok = false;
        return true;
    }
    return LoadVariableItems(*var, entity, 0, var->itemCount, items);
}

// The items of one cell of a Main query; false when they cannot be read.
bool LoadItems(const Result& r, const std::string& entity, const MainColumn& c, std::vector<Item>& items) {
    items.clear();
    if (c.variable) {
        const Variable* v = VariableOf(c.variable);
        if (!v) return true;
        const int count = ColumnItemCount(r, c);
        return count >= 0 && LoadVariableItems(*v, entity, c.firstItem, count, items);
    }
    Formula f;
    if (!ParseFormula(c.formula, f, nullptr)) return true;
    bool ok = true;
    std::vector<Item> a, b;
    if (!OperandItems(r, entity, f.left, ok, a)) return false;
    if (!f.op) {
        items = std::move(a);
        return true;
    }
    if (!OperandItems(r, entity, f.right, ok, b)) return false;
    if (!ok) return true;
    const bool scalarA = a.size() == 1, scalarB = b.size() == 1;
    std::size_t n = scalarA ? b.size() : scalarB ? a.size() : std::min(a.size(), b.size());
    std::vector<Item> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Item& x = a[scalarA ? 0 : i];
        const Item& y = b[scalarB ? 0 : i];
        Item& o = out[i];
        o.present = true;
        if (!x.present || !y.present || x.number == kNotAvailable || y.number == kNotAvailable ||
            (f.op == '/' && y.number == 0.0)) {
            o.number = kNotAvailable;
            continue;
        }
        o.number = f.op == '+' ? x.number + y.number : f.op == '-' ? x.number - y.number
                 : f.op == '*' ? x.number * y.number : x.number / y.number;
        if (!std::isfinite(o.number)) o.number = kNotAvailable;
    }
    items = std::move(out);
    return true;
}

const std::vector<Item>* Cell(Result* r, int row, int column) {
    if (!r || r->kind != 1 || row < 0 || row >= static_cast<int>(r->entities.size()) || column < 0 ||
        column >= static_cast<int>(r->columns.size()))
        return nullptr;
    auto key = std::make_pair(row, column);
    auto it = r->cells.find(key);
    if (it == r->cells.end()) {
        // A cell that cannot be read is asked for again next time, never
        // kept as if it had no items.
        std::vector<Item> items;
        try {
            if (!LoadItems(*r, r->entities[row], r->columns[column], items)) return nullptr;
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        it = r->cells.emplace(key, std::move(items)).first;
    }
    return &it->second;
}

int ColumnType(const Result& r, int column) {
    const MainColumn& c = r.columns[column];
    if (!c.variable) return 1;
    const Variable* v = VariableOf(c.variable);
    return v ? v->type : 0;
}

template <typename T>
int Put(void* out, int size, T value) {
    if (!out || size != static_cast<int>(sizeof(T))) return 0;
    std::memcpy(out, &value, sizeof(T));
    return 1;
}

int PutText(void* out, int size, const std::string& text) {
    if (!out || size < 1) return 0;
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(out, text.data(), n);
    static_cast<char*>(out)[n] = 0;
    return 1;
}

bool Like(const std::string& text, const std::string& pattern) {
    // % matches any run of characters; comparison ignores case.
    const std::string t = Upper(text), p = Upper(pattern);
    std::size_t ti = 0, pi = 0, star = std::string::npos, mark = 0;
    while (ti < t.size()) {
        if (pi < p.size() && p[pi] == '%') {
            star = pi++;
            mark = ti;
        } else if (pi < p.size() && p[pi] == t[ti]) {
            ++pi;
            ++ti;
        } else if (star != std::string::npos) {
            pi = star + 1;
            ti = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '%') ++pi;
    return pi == p.size();
}

}  // namespace

// ---- folder

std::string ProductFolder() {
    if (const char* d = std::getenv("QS_STAT_DIR"); d && *d) return d;
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&ProductFolder), &info) && info.dli_fname)
        return std::filesystem::path(info.dli_fname).parent_path().string() + "/statistics";
    return "statistics";
}

// ---- mapper

int Mapper_Init() {
    Count("Mapper_Init");
    S().mapperUp = true;
    return 0;
}

int Mapper_Term() {
    Count("Mapper_Term");
    State& s = S();
    s.mapperUp = false;
    s.pending.clear();
    return 0;
}

int Register_Prod_Use(const char* application) {
    Count("Register_Prod_Use");
    if (!S().mapperUp) return 11;
    if (!application || !*application) return 21;
    ++S().registrations;
    return 0;
}

int Finish_Prod_Use() {
    Count("Finish_Prod_Use");
    State& s = S();
    if (s.registrations > 0) --s.registrations;
    return 0;
}

int Init_Map_ProdEx(void*, const char* application, const char* product, int mode) {
    Count("Init_Map_ProdEx");
    State& s = S();
    if (!s.mapperUp) return 11;
    if (!application || !product) return 21;
    if (!ProductExists(product)) return 1;
    if (mode == 1 && SameNoCase(product, Current())) return 3;
    s.pending = Upper(product);
    return 0;
}

int User_Select_Prod(void*, const char* application, char* product, int size) {
    Count("User_Select_Prod");
    State& s = S();
    if (!s.mapperUp) return 11;
    if (!application || !product || size < 1) return 21;
    if (const char* choice = std::getenv("QS_STAT_CHOICE"); choice && *choice) {
        if (!ProductExists(choice)) return 1;
        s.pending = Upper(choice);
        PutText(product, size, s.pending);
        return 0;
    }
    return Current().empty() ? 13 : 3;
}

int Change_Product(void*, int) {
    Count("Change_Product");
    State& s = S();
    if (!s.mapperUp) return 11;
    if (!s.pending.empty()) s.current = s.pending;
    s.pending.clear();
    return 0;
}

int Cancel_Change() {
    Count("Cancel_Change");
    S().pending.clear();
    return 0;
}

int Current_Product_Name(int, char* name, int size) {
    Count("Current_Product_Name");
    if (!name || size < 1) return 21;
    const std::string& c = Current();
    if (c.empty()) return 5;
    if (static_cast<int>(c.size()) >= size) return 21;
    PutText(name, size, c);
    return 0;
}

// ---- engine and session

int StartEngine() {
    Count("StartEngine");
    S().engineUp = true;
    return 1;
}

int RestartEngine() {
    Count("RestartEngine");
    S().engineUp = true;
    return 1;
}

namespace {
void DropProduct() {
    State& s = S();
    s.open.clear();
    s.loaded.clear();
    s.infos.clear();
    s.currencies.clear();
    s.variables.clear();
    if (s.product) sqlite3_close(s.product);
    s.product = nullptr;
}
}  // namespace

int OpenSession(const char* access, const char* application, int, int, int, int, int, int* session) {
    Count("OpenSession");
    State& s = S();
    if (!s.engineUp || !session || !access || std::strcmp(access, "MOTB") != 0 || !application) return 0;
    DropProduct();
    const std::string product = Current();
    if (product.empty() || !ProductExists(product)) return 0;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(ProductPath(product).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return 0;
    }
    s.product = db;
    Stmt c(db, "SELECT id, symbol, name FROM currencies ORDER BY id");
    if (!c) {  // not a product file
        DropProduct();
        return 0;
    }
    while (c.Row()) s.currencies.push_back({sqlite3_column_int(c.st, 0), Col(c.st, 1), Col(c.st, 2)});
    if (c.Failed()) {  // a product file that cannot be read opens no session
        DropProduct();
        return 0;
    }
    s.session = s.nextSession++;
    *session = s.session;
    return 1;
}

int CloseSession(int session) {
    Count("CloseSession");
    State& s = S();
    if (session == 0 || session != s.session) return 0;
    s.session = 0;
    DropProduct();
    return 1;
}

int ConfirmClose() {
    Count("ConfirmClose");
    return 1;
}

int StopEngine() {
    Count("StopEngine");
    State& s = S();
    s.engineUp = false;
    s.session = 0;
    DropProduct();
    return 1;
}

// ---- values

int IsNotAvailable(int typeCode, int size, const void* value) {
    Count("IsNotAvailable");
    if (!value) return 0;
    switch (typeCode) {
    case 1: {
        double d;
        std::memcpy(&d, value, sizeof d);
        return d == kNotAvailable;
    }
    case 4:
    case 5: {
        std::int32_t i;
        std::memcpy(&i, value, sizeof i);
        return typeCode == 4 ? i == 0 : i == kNoInt;
    }
    case 6: {
        const auto* t = static_cast<const char*>(value);
        return size >= 4 && std::strncmp(t, kMissingText, 4) == 0 && (size == 4 || t[4] == 0);
    }
    default: return 0;
    }
}

int DateToText(int date, int, int size, char* dest) {
    Count("DateToText");
    if (!dest || size < 11 || !ValidDate(date)) return 0;
    std::snprintf(dest, 11, "%02d/%02d/%04d", date / 100 % 100, date % 100, date / 10000);
    return 1;
}

int TextToDate(const char* text) {
    if (!text) return 0;
    int m = 0, d = 0, y = 0;
    char tail = 0;
    if (std::sscanf(text, "%2d/%2d/%4d%c", &m, &d, &y, &tail) == 3) {
        const int date = y * 10000 + m * 100 + d;
        return ValidDate(date) ? date : 0;
    }
    if (std::strlen(text) == 4 && std::sscanf(text, "%4d%c", &y, &tail) == 1) return ValidDate(y * 10000 + 1231) ? y * 10000 + 1231 : 0;
    return 0;
}

// ---- databases

int OpenDatabase(int session, const char* symbol, int* db) {
    Count("OpenDatabase");
    State& s = S();
    if (!db || !symbol) return 2;
    if (session == 0 || session != s.session) return 22;
    bool unreadable = false;
    auto d = LoadDatabase(symbol, &unreadable);
    if (!d) return unreadable ? 22 : 20;
    *db = s.nextDb++;
    s.open[*db] = d;
    return 0;
}

void CloseDatabase(int db) { S().open.erase(db); }

namespace {
std::shared_ptr<Database> Db(int handle) {
    auto it = S().open.find(handle);
    return it == S().open.end() ? nullptr : it->second;
}
}  // namespace

bool EntityExists(int db, const std::string& key) {
    auto d = Db(db);
    if (!d) return false;
    return std::any_of(d->entities.begin(), d->entities.end(),
                       [&](const Entity& e) { return e.marker == 0 && SameNoCase(e.symbol, key); });
}

std::vector<std::string> AllEntities(int db) {
    std::vector<std::string> keys;
    if (auto d = Db(db))
        for (const Entity& e : d->entities)
            if (e.marker == 0) keys.push_back(e.symbol);
    return keys;
}

int SelectEntities(int db, const std::string& expression, std::vector<std::string>& keys, int* errorPos) {
    Count("SelectEntities");
    auto d = Db(db);
    if (!d) return 22;
    keys.clear();
    std::size_t i = 0;
    auto skip = [&] { while (i < expression.size() && expression[i] == ' ') ++i; };
    auto fail = [&] { if (errorPos) *errorPos = static_cast<int>(i); return 25; };
    skip();
    auto word = [&] {
        const std::size_t start = i;
        while (i < expression.size() && std::isalpha(static_cast<unsigned char>(expression[i]))) ++i;
        return Upper(expression.substr(start, i - start));
    };
    const std::string field = word();
    if (field == "ALL") {
        skip();
        if (i != expression.size()) return fail();
        keys = AllEntities(db);
        return 0;
    }
    if (field != "KEY" && field != "NAME" && field != "CATEGORY") {
        i -= field.size();
        return fail();
    }
    skip();
    std::string op;
    if (expression.compare(i, 2, "<>") == 0) {
        op = "<>";
        i += 2;
    } else if (i < expression.size() && expression[i] == '=') {
        op = "=";
        ++i;
    } else if (Upper(expression.substr(i, 4)) == "LIKE") {
        op = "LIKE";
        i += 4;
    } else {
        return fail();
    }
    skip();
    if (i >= expression.size() || expression[i] != '\'') return fail();
    const std::size_t close = expression.find('\'', i + 1);
    if (close == std::string::npos) return fail();
    const std::string value = expression.substr(i + 1, close - i - 1);
    i = close + 1;
    skip();
    if (i != expression.size()) return fail();
    for (const Entity& e : d->entities) {
        if (e.marker != 0) continue;
        const std::string& t = field == "KEY" ? e.symbol : field == "NAME" ? e.name : e.category;
        const bool hit = op == "LIKE" ? Like(t, value) : (SameNoCase(t, value) == (op == "="));
        if (hit) keys.push_back(e.symbol);
    }
    return 0;
}

int FindVariable(int db, const char* symbol, int* variable) {
    Count("FindVariable");
    auto d = Db(db);
    if (!d || !symbol || !variable) return 0;
    const Variable* v = FindVar(*d, symbol);
    if (!v) return 0;
    State& s = S();
    auto it = std::find(s.variables.begin(), s.variables.end(), v);
    if (it == s.variables.end()) {
        s.variables.push_back(const_cast<Variable*>(v));
        *variable = static_cast<int>(s.variables.size());
    } else {
        *variable = static_cast<int>(it - s.variables.begin()) + 1;
    }
    return 1;
}

int VariableAttr(int variable, int code, int size, void* out) {
    Count("VariableAttr");
    const Variable* v = VariableOf(variable);
    if (!v) return 0;
    const bool dated = v->firstDate != 0 && PeriodMonths(v->frequency) != 0;
    const int lastDate = dated && v->itemCount > 0 && ReadableItemCount(*v) ? ItemDateOf(*v, v->itemCount - 1) : 0;
    switch (code) {
    case 0xd000008: {  // range flags: bit 24 ranges known, bit 1 absolute, bit 2 relative
        std::int32_t f = 0;
        if (dated) f |= (1 << 24) | (1 << 1);
        if (v->relMin && v->relMax) f |= (1 << 24) | (1 << 2);
        return Put<std::int32_t>(out, size, f);
    }
    case 0xd000009: return Put<std::int32_t>(out, size, dated ? v->firstDate : 0);
    case 0xd00000a: return Put<std::int32_t>(out, size, lastDate);
    case 0xd00000b: return Put<std::int32_t>(out, size, v->relMin.value_or(kNoInt));
    case 0xd00000c: return Put<std::int32_t>(out, size, v->relMax.value_or(kNoInt));
    case 0xd000003: return Put<std::int16_t>(out, size, static_cast<std::int16_t>(v->type));
    case 0xd000004: return Put<std::int16_t>(out, size, static_cast<std::int16_t>(v->frequency));
    case 0xd000005: return Put<std::int16_t>(out, size, static_cast<std::int16_t>(v->precision));
    case 0xd000006: return Put<std::int16_t>(out, size, static_cast<std::int16_t>(v->size));
    case 0xd000007:
        return Put<std::int32_t>(out, size, v->type == 3 ? v->decodedSize : v->size);
    case 0xd00001b: return Put<std::int16_t>(out, size, static_cast<std::int16_t>(v->screenable));
    case 0xd000020: return Put<std::int16_t>(out, size, static_cast<std::int16_t>(v->currencyMethod));
    case 0xd000100:  // the variable's item count
        return ReadableItemCount(*v) ? Put<std::int32_t>(out, size, v->itemCount) : 0;
    default: return 0;
    }
}

int DatabaseInfo(int session, const char* symbol, int* info) {
    Count("DatabaseInfo");
    State& s = S();
    if (session == 0 || session != s.session || !symbol || !info) return 0;
    auto d = LoadDatabase(symbol);
    if (!d) return 0;
    *info = s.nextInfo++;
    s.infos[*info] = d;
    return 1;
}

int DatabaseAttr(int info, int code, int size, void* out) {
    Count("DatabaseAttr");
    auto it = S().infos.find(info);
    if (it == S().infos.end()) return 0;
    const Database& d = *it->second;
    switch (code) {
    case 0xa010002: return Put<std::int32_t>(out, size, d.pubDate);
    case 0xa010003: {
        std::int32_t n = 0;
        for (const Entity& e : d.entities) n += e.marker == 0;
        return Put<std::int32_t>(out, size, n);
    }
    case 0xa010004: {
        std::int32_t n = 0;
        for (const auto& v : d.variables) n += v->marker == 0;
        return Put<std::int32_t>(out, size, n);
    }
    case 0xa000003: return Put<std::int16_t>(out, size, static_cast<std::int16_t>(d.currency));
    default: return 0;
    }
}

// ---- queries

int CheckFormula(int db, const std::string& formula, int* errorPos) {
    auto d = Db(db);
    if (!d) return 22;
    Formula f;
    if (!ParseFormula(formula, f, errorPos)) return 25;
    double v;
    if (!IsNumber(f.left, v) && !FindVar(*d, f.left)) {
        if (errorPos) *errorPos = static_cast<int>(formula.find(f.left));
        return 25;
    }
    if (f.op && !IsNumber(f.right, v) && !FindVar(*d, f.right)) {
        if (errorPos) *errorPos = static_cast<int>(formula.rfind(f.right));
        return 25;
    }
    return 0;
}

int QueryMain(int db, const std::vector<std::string>& entities, const std::vector<MainColumn>& columns,
              Result** result) {
    Count("QueryMain");
    auto d = Db(db);
    if (!result) return 2;
    if (!d) return 22;
    if (entities.empty() || columns.empty()) return 4;
    auto r = std::make_unique<Result>();
    r->kind = 1;
    r->db = d;
    r->entities = entities;
    r->columns = columns;
    *result = r.release();
    return 0;
}

int QueryCatalog(int session, int db, int kind, const std::string& name, Result** result) {
    Count("QueryCatalog");
    State& s = S();
    if (!result) return 2;
    if (session == 0 || session != s.session) return 22;
    auto r = std::make_unique<Result>();
    r->kind = kind;
    if (kind == 2 || kind == 3) {
        Stmt q(s.product, "SELECT symbol FROM databases ORDER BY seq, symbol");
        bool unreadable = !q;
        while (!unreadable && q.Row()) {
            if (auto d = LoadDatabase(Col(q.st, 0), &unreadable)) r->databaseRows.push_back(d);
        }
        if (unreadable || q.Failed()) return 22;
        *result = r.release();
        return 0;
    }
    if (kind == 9) {
        for (const Currency& c : s.currencies) r->currencyRows.push_back(&c);
        *result = r.release();
        return 0;
    }
    r->db = Db(db);
    if (!r->db) return 22;
    switch (kind) {
    case 4:
    case 5:
    case 6:
        for (const Entity& e : r->db->entities) r->entityRows.push_back(&e);
        break;
    case 7:
    case 8:
        for (const auto& v : r->db->variables)
            if (kind == 7 || v->marker == 0) r->variableRows.push_back(v.get());
        break;
    case 10:
    case 11: {
        const std::string key = Upper(kind == 11 ? name.substr(1) : name);
        auto it = r->db->codeTables.find(key);
        if (it == r->db->codeTables.end()) return 20;
        r->codeRows = &it->second;
        break;
    }
    default: return 15;
    }
    *result = r.release();
    return 0;
}

void FreeResult(Result* result) { delete result; }

int ResultRowCount(const Result* r) {
    if (!r) return 0;
    switch (r->kind) {
    case 1: return static_cast<int>(r->entities.size());
    case 2:
    case 3: return static_cast<int>(r->databaseRows.size());
    case 4:
    case 5:
    case 6: return static_cast<int>(r->entityRows.size());
    case 7:
    case 8: return static_cast<int>(r->variableRows.size());
    case 9: return static_cast<int>(r->currencyRows.size());
    default: return r->codeRows ? static_cast<int>(r->codeRows->size()) : 0;
    }
}

std::string ResultRowKey(const Result* r, int row) {
    if (!r || row < 0 || row >= ResultRowCount(r)) return {};
    switch (r->kind) {
    case 1: return r->entities[row];
    case 2:
    case 3: return r->databaseRows[row]->symbol;
    case 4:
    case 5:
    case 6: return r->entityRows[row]->symbol;
    case 7:
    case 8: return r->variableRows[row]->symbol;
    case 9: return r->currencyRows[row]->symbol;
    default: {
        const CodeRow& c = (*r->codeRows)[row];
        return c.marker > 0 ? "~~" + std::to_string(c.marker) : std::to_string(static_cast<long long>(c.symbol));
    }
    }
}

int ResultFindKey(const Result* r, const std::string& key) {
    const int n = ResultRowCount(r);
    for (int i = 0; i < n; ++i)
        if (SameNoCase(ResultRowKey(r, i), key)) return i;
    return -1;
}

int ResultFindText(const Result* r, const std::string& text) {
    const int n = ResultRowCount(r);
    const std::string t = Upper(text);
    for (int i = 0; i < n; ++i) {
        std::string name;
        if (r->kind == 2 || r->kind == 3) name = r->databaseRows[i]->name;
        else if (r->kind >= 4 && r->kind <= 6) name = r->entityRows[i]->name;
        else if (r->kind == 7 || r->kind == 8) name = r->variableRows[i]->name;
        else if (r->kind == 9) name = r->currencyRows[i]->name;
        else if (r->codeRows) name = (*r->codeRows)[i].name;
        if (Upper(ResultRowKey(r, i)).rfind(t, 0) == 0 || Upper(name).rfind(t, 0) == 0) return i;
    }
    return -1;
}

std::string MainColumnLabel(const Result* r, int column) {
    if (!r || r->kind != 1 || column < 0 || column >= static_cast<int>(r->columns.size())) return {};
    const MainColumn& c = r->columns[column];
    if (!c.variable) return c.formula;
    const Variable* v = VariableOf(c.variable);
    return v ? v->label : std::string();
}

int MainColumnSize(const Result* r, int column) {
    if (!r || r->kind != 1 || column < 0 || column >= static_cast<int>(r->columns.size())) return 0;
    const MainColumn& c = r->columns[column];
    const Variable* v = c.variable ? VariableOf(c.variable) : nullptr;
    return v ? v->size : 8;
}

int MainColumnDecodedSize(const Result* r, int column) {
    if (!r || r->kind != 1 || column < 0 || column >= static_cast<int>(r->columns.size())) return kNoInt;
    const Variable* v = r->columns[column].variable ? VariableOf(r->columns[column].variable) : nullptr;
    return v ? v->decodedSize : kNoInt;
}

// ---- series and items

int SeriesOfColumn(Result* r, int column, int* series) {
    Count("SeriesOfColumn");
    if (!r || r->kind != 1 || !series || column < 0 || column >= static_cast<int>(r->columns.size())) return 0;
    *series = column;
    return 1;
}

int SeriesInfo(Result* r, int series, int code, int size, void* out) {
    Count("SeriesInfo");
    if (!r || r->kind != 1 || series < 0 || series >= static_cast<int>(r->columns.size())) return 0;
    if (code == 0xe000600) return Put<std::int16_t>(out, size, static_cast<std::int16_t>(ColumnType(*r, series)));
    if (code == 0xe000900) {
        const int n = ColumnItemCount(*r, r->columns[series]);
        if (n < 0) return 0;
        return Put<std::int16_t>(out, size, static_cast<std::int16_t>(std::min(n, kMaxItems)));
    }
    return 0;
}

namespace {
const Item* ItemAt(Result* r, int row, int series, int item) {
    const std::vector<Item>* cell = Cell(r, row, series);
    if (!cell || item < 0 || item >= static_cast<int>(cell->size())) return nullptr;
    return &(*cell)[item];
}
std::string ItemText(const Result& r, int series, const Item& it) {
    if (!it.present) return kMissingText;
    if (it.text) return *it.text;
    (void)r;
    (void)series;
    return {};
}
}  // namespace

int ItemInfo(Result* r, int row, int series, int item, int code, int size, void* out) {
    Count("ItemInfo");
    const Item* it = ItemAt(r, row, series, item);
    if (!it) return 0;
    const int type = ColumnType(*r, series);
    if (code == 0xf000003) {
        const int storage = type == 1 || type == 3 ? 8 : type == 4 ? 4 : type == 5 ? 4 : 0;
        return Put<std::int16_t>(out, size, static_cast<std::int16_t>(storage));
    }
    if (code == 0xf000004) {
        if (type == 3 && it->present && !it->text)  // a coded value without text: room for its digits
            return Put<std::int32_t>(out, size, 10);
        return Put<std::int32_t>(out, size, static_cast<std::int32_t>(ItemText(*r, series, *it).size()));
    }
    return 0;
}

int ItemNumber(Result* r, int row, int series, int item, double* out) {
    Count("ItemNumber");
    const Item* it = ItemAt(r, row, series, item);
    if (!it || !out) return 0;
    *out = it->present ? it->number : kNotAvailable;
    return 1;
}

int ItemTextPiece(Result* r, int row, int series, int item, int offset, int length, char* dest) {
    Count("ItemTextPiece");
    const Item* it = ItemAt(r, row, series, item);
    if (!it || !dest || offset < 0 || length < 0) return 0;
    if (it->present && !it->text) return 0;  // the engine refuses the text of this item
    const std::string t = ItemText(*r, series, *it);
    if (static_cast<std::size_t>(offset) + length > t.size()) return 0;
    std::memcpy(dest, t.data() + offset, length);
    return 1;
}

int ItemDate(Result* r, int row, int series, int item, std::int32_t* out) {
    Count("ItemDate");
    const Item* it = ItemAt(r, row, series, item);
    if (!it || !out) return 0;
    *out = it->present && it->number != kNotAvailable ? static_cast<std::int32_t>(it->number) : 0;
    return 1;
}

int ItemDateFreq(Result* r, int row, int series, int item, std::int16_t* out) {
    Count("ItemDateFreq");
    const Item* it = ItemAt(r, row, series, item);
    if (!it || !out) return 0;
    *out = static_cast<std::int16_t>(it->freq);
    return 1;
}

// ---- catalogs

namespace {
struct RowTexts {
    int marker = 0;
    std::string symbol, name, description, category;
};
bool RowOf(const Result* r, int row, RowTexts& t) {
    if (!r || row < 0 || row >= ResultRowCount(r)) return false;
    switch (r->kind) {
    case 2:
    case 3: {
        const Database& d = *r->databaseRows[row];
        t = {0, d.symbol, d.name, d.description, ""};
        return true;
    }
    case 4:
    case 5:
    case 6: {
        const Entity& e = *r->entityRows[row];
        t = {e.marker, e.symbol, e.name, e.description, e.category};
        return true;
    }
    case 7:
    case 8: {
        const Variable& v = *r->variableRows[row];
        t = {v.marker, v.symbol, v.name, v.description, v.category};
        return true;
    }
    case 10:
    case 11: {
        const CodeRow& c = (*r->codeRows)[row];
        t = {c.marker, "", c.name, c.description, ""};
        return true;
    }
    default: return false;
    }
}
}  // namespace

int CatalogInfo(Result* r, int code, int size, void* out) {
    Count("CatalogInfo");
    if (!r || r->kind == 1) return 0;
    std::size_t symbol = 1, name = 1, category = 1;
    bool anyCategory = false;
    RowTexts t;
    for (int i = 0; RowOf(r, i, t); ++i) {
        symbol = std::max(symbol, t.symbol.size() + 1);
        name = std::max(name, t.name.size() + 1);
        category = std::max(category, t.category.size() + 1);
        anyCategory = anyCategory || !t.category.empty();
    }
    switch (code) {
    case 0x10003: return Put<std::int16_t>(out, size, static_cast<std::int16_t>(r->kind == 10 ? 8 : symbol));
    case 0x10006: return Put<std::int16_t>(out, size, static_cast<std::int16_t>(name));
    case 0x10004: return Put<std::int16_t>(out, size, static_cast<std::int16_t>(category));
    case 0x10008: return Put<std::int32_t>(out, size, anyCategory ? 0 : 1);
    default: return 0;
    }
}

int CatalogRowAttr(Result* r, int row, int code, int size, void* out) {
    Count("CatalogRowAttr");
    RowTexts t;
    if (!RowOf(r, row, t)) return 0;
    switch (code) {
    case 0x20008: return Put<std::int16_t>(out, size, static_cast<std::int16_t>(t.marker));
    case 0x20002: return Put<std::int32_t>(out, size, static_cast<std::int32_t>(t.description.size() + 1));
    case 0x20004:
        if (r->kind == 10) {
            const CodeRow& c = (*r->codeRows)[row];
            return Put<double>(out, size, c.symbol);
        }
        return PutText(out, size, t.symbol);
    case 0x20001: return PutText(out, size, t.name);
    case 0x20003: return PutText(out, size, t.description);
    case 0x20005: return PutText(out, size, t.category);
    default: return 0;
    }
}

int CodeTableTextLength(Result* r, int code, int size, void* out) {
    Count("CodeTableTextLength");
    if (!r || r->kind != 11 || code != 0xd000c00 || !r->codeRows) return 0;
    std::size_t n = 0;
    for (const CodeRow& c : *r->codeRows) n = std::max(n, c.name.size());
    return Put<std::int16_t>(out, size, static_cast<std::int16_t>(n));
}

int CodeTableRowAttr(Result* r, int row, int, int code, int size, void* out) {
    Count("CodeTableRowAttr");
    if (!r || r->kind != 11 || !r->codeRows || row < 0 || row >= static_cast<int>(r->codeRows->size())) return 0;
    const CodeRow& c = (*r->codeRows)[row];
    if (code == 0xd001000) return Put<std::int32_t>(out, size, static_cast<std::int32_t>(c.symbol));
    if (code == 0xd000f00) return PutText(out, size + 1, c.name) ? 1 : 0;
    return 0;
}

int CurrencyOfRow(Result* r, int row, std::int16_t* out) {
    Count("CurrencyOfRow");
    if (!r || r->kind != 9 || !out || row < 0 || row >= static_cast<int>(r->currencyRows.size())) return 0;
    *out = static_cast<std::int16_t>(r->currencyRows[row]->id);
    return 1;
}

int CurrencyTextLength(int which, int size, std::int16_t* out) {
    Count("CurrencyTextLength");
    if (!out || size != 2 || (which != 2 && which != 3)) return 0;
    std::size_t n = 0;
    for (const Currency& c : S().currencies) n = std::max(n, which == 3 ? c.symbol.size() : c.name.size());
    *out = static_cast<std::int16_t>(n);
    return 1;
}

int CurrencyText(int which, int currency, int, int length, char* dest) {
    Count("CurrencyText");
    if (!dest || length < 0 || (which != 4 && which != 5)) return 0;
    for (const Currency& c : S().currencies) {
        if (c.id != currency) continue;
        const std::string& t = which == 5 ? c.symbol : c.name;
        std::memset(dest, 0, length);
        std::memcpy(dest, t.data(), std::min<std::size_t>(t.size(), length));
        return 1;
    }
    return 0;
}

int CallCount(const char* name) {
    auto it = Counts().find(name ? name : "");
    return it == Counts().end() ? 0 : it->second;
}

void ResetCallCounts() { Counts().clear(); }

}  // namespace statengine
