// Writes the sample statistics products into a folder: ZID_IVI (statements
// of 2003, one item per development age) and ZID_OLD (statements of 1998, the
// older layout where every accident year carries ten items). Both hold the
// database VEZIR: an industry composite, three companies, three lines of
// business with triangle, column and diagonal series (Auto complete with its
// all-prior row; WC without one and with nine years of premium; HO with six
// accident years), missing items, and the
// catalogue entries the access library's tests read. Values follow simple
// formulas (below) so tests can state the cells they expect.
//
// Usage: qs-make-statdb <folder>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

sqlite3* g_db = nullptr;

void Exec(const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(g_db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "qs-make-statdb: %s\n  in: %s\n", err ? err : "?", sql.c_str());
        std::exit(1);
    }
}

std::string Q(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

const char* kSchema = R"(
CREATE TABLE databases(symbol TEXT PRIMARY KEY COLLATE NOCASE, seq INTEGER, name TEXT, description TEXT,
                       pub_date INTEGER, currency INTEGER);
CREATE TABLE entities(db TEXT COLLATE NOCASE, seq INTEGER, marker INTEGER NOT NULL DEFAULT 0, symbol TEXT,
                      name TEXT, description TEXT, category TEXT);
CREATE TABLE variables(db TEXT COLLATE NOCASE, seq INTEGER, marker INTEGER NOT NULL DEFAULT 0, symbol TEXT,
                       name TEXT, description TEXT, category TEXT, label TEXT, type INTEGER, frequency INTEGER,
                       precision INTEGER, size INTEGER, decoded_size INTEGER, screenable INTEGER,
                       currency_method INTEGER, first_date INTEGER, item_count INTEGER, rel_min INTEGER,
                       rel_max INTEGER);
CREATE TABLE items(db TEXT COLLATE NOCASE, variable TEXT COLLATE NOCASE, entity TEXT, idx INTEGER, num REAL,
                   txt TEXT, freq INTEGER, PRIMARY KEY(db, variable, entity, idx));
CREATE TABLE currencies(id INTEGER PRIMARY KEY, symbol TEXT, name TEXT);
CREATE TABLE code_tables(db TEXT COLLATE NOCASE, tname TEXT COLLATE NOCASE, seq INTEGER,
                         marker INTEGER NOT NULL DEFAULT 0, symbol_num REAL, name TEXT, description TEXT);
)";

int g_seq = 0;

struct Var {
    std::string symbol, name, label;
    int type = 1, size = 8, frequency = 0, firstDate = 0, itemCount = 0;
    std::optional<int> relMin, relMax, decoded;
    int screenable = 0, currencyMethod = 0, precision = 0, marker = 0;
    std::string category, description;
};

void AddVar(const std::string& db, const Var& v) {
    auto opt = [](const std::optional<int>& o) { return o ? std::to_string(*o) : std::string("NULL"); };
    Exec("INSERT INTO variables VALUES(" + Q(db) + "," + std::to_string(++g_seq) + "," + std::to_string(v.marker) +
         "," + Q(v.symbol) + "," + Q(v.name) + "," + Q(v.description) + "," + Q(v.category) + "," + Q(v.label) +
         "," + std::to_string(v.type) + "," + std::to_string(v.frequency) + "," + std::to_string(v.precision) + "," +
         std::to_string(v.size) + "," + opt(v.decoded) + "," + std::to_string(v.screenable) + "," +
         std::to_string(v.currencyMethod) + "," + std::to_string(v.firstDate) + "," + std::to_string(v.itemCount) +
         "," + opt(v.relMin) + "," + opt(v.relMax) + ")");
}

sqlite3_stmt* g_item = nullptr;

void AddItem(const std::string& db, const std::string& var, const std::string& entity, int idx,
             std::optional<double> num, const char* text = nullptr, int freq = 0) {
    sqlite3_reset(g_item);
    sqlite3_bind_text(g_item, 1, db.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(g_item, 2, var.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(g_item, 3, entity.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(g_item, 4, idx);
    if (num) sqlite3_bind_double(g_item, 5, *num);
    else sqlite3_bind_null(g_item, 5);
    if (text) sqlite3_bind_text(g_item, 6, text, -1, SQLITE_TRANSIENT);
    else sqlite3_bind_null(g_item, 6);
    sqlite3_bind_int(g_item, 7, freq);
    if (sqlite3_step(g_item) != SQLITE_DONE) {
        std::fprintf(stderr, "qs-make-statdb: item %s/%s/%d: %s\n", var.c_str(), entity.c_str(), idx,
                     sqlite3_errmsg(g_db));
        std::exit(1);
    }
}

struct Company {
    const char* key;
    const char* name;
    double scale;  // the company's share of the business
};
// The composite is the sum of the three companies (scales 1 + 2 + 3).
const Company kCompanies[] = {
    {"PCOMP", "Industry Composite", 6.0},
    {"00123", "Alder Mutual Insurance Company", 1.0},
    {"00042", "Birchwood Casualty Company", 2.0},
    {"00777", "Cobalt Indemnity Corporation", 3.0},
};

struct Lob {
    const char* code;  // as in the variable names
    double base;
};
const Lob kLobs[] = {{"A", 1000.0}, {"WC", 500.0}, {"HO", 200.0}};

// Cumulative paid loss of accident year k (0 oldest of the ten, -1 all prior)
// at development age j (0 = 12 months): base*scale*(k+2) + 10*scale*j.
double Paid(const Company& c, const Lob& l, int k, int j) { return l.base * c.scale * (k + 2) + 10.0 * c.scale * j; }
double Ceded(const Company& c, const Lob& l, int k, int j) { return 0.1 * Paid(c, l, k, j); }
double Incurred(const Company& c, const Lob& l, int k, int j) { return 1.5 * Paid(c, l, k, j); }
// Earned premium of calendar year y (0 newest): 4*base*scale*(12 - y).
double Premium(const Company& c, const Lob& l, int y) { return 4.0 * l.base * c.scale * (12 - y); }
// Closed claims at the latest diagonal of accident year k: 5*scale*(k+1).
double Closed(const Company& c, int k) { return 5.0 * c.scale * (k + 1); }

// The variable name for array a, line of business code, index.
std::string Name(int array, const std::string& code, int index) { return "P" + std::to_string(array) + code + std::to_string(index); }

// One triangle variable per accident year: index 0 is the all-prior row,
// 1..10 the accident years oldest first. Newer layout: accident year k has
// 10-k items (the prior row 10), item 0 the latest age. Older layout: ten
// items each, those past the latest age missing.
void AddTriangle(const std::string& db, int array, const Lob& l, bool oldLayout,
                 double (*value)(const Company&, const Lob&, int, int), const char* what) {
    for (int index = 0; index <= 10; ++index) {
        // WC has no all-prior row; HO is a young line with only the six
        // newest accident years.
        if ((std::string(l.code) == "WC" && index == 0) || (std::string(l.code) == "HO" && index <= 4)) continue;
        const int k = index - 1;                 // accident year, -1 all prior
        const int ages = index == 0 ? 10 : 10 - k;
        const int count = oldLayout ? 10 : ages;
        const std::string sym = Name(array, l.code, index);
        Var v;
        v.symbol = sym;
        v.name = std::string(what) + " " + l.code + " accident year " + std::to_string(index);
        v.label = v.name;
        v.itemCount = count;
        v.precision = 0;
        AddVar(db, v);
        for (const Company& c : kCompanies) {
            // 00042 misses one item of WC.
            for (int i = 0; i < count; ++i) {
                const int n = ages - 1;          // the item of age 0
                const int j = n - i;
                if (j < 0) {
                    AddItem(db, sym, c.key, i, std::nullopt);  // old layout: no value yet
                    continue;
                }
                if (std::string(c.key) == "00042" && std::string(l.code) == "WC" && index == 3 && j == 1) continue;
                AddItem(db, sym, c.key, i, value(c, l, k, j));
            }
        }
    }
}

void WriteProduct(const std::string& folder, const char* product, int year, bool oldLayout) {
    const std::string path = folder + "/" + product + ".sdb";
    const std::string tmp = path + ".tmp";
    std::filesystem::remove(tmp);
    if (sqlite3_open(tmp.c_str(), &g_db) != SQLITE_OK) {
        std::fprintf(stderr, "qs-make-statdb: cannot create %s\n", tmp.c_str());
        std::exit(1);
    }
    Exec("PRAGMA journal_mode=OFF; BEGIN");
    Exec(kSchema);
    sqlite3_prepare_v2(g_db, "INSERT INTO items VALUES(?1,?2,?3,?4,?5,?6,?7)", -1, &g_item, nullptr);
    const std::string db = "VEZIR";
    const std::string ys = std::to_string(year);
    Exec("INSERT INTO databases VALUES('VEZIR',1,'Statutory Annual Statements','Property and casualty annual "
         "statements of " + ys + "'," + std::to_string((year + 1) * 10000 + 301) + ",1)");
    Exec("INSERT INTO databases VALUES('VEZIRQ',2,'Statutory Quarterly Statements','Quarterly statements'," +
         std::to_string((year + 1) * 10000 + 515) + ",2)");
    Exec("INSERT INTO currencies VALUES(1,'USD','US Dollar'),(2,'CAD','Canadian Dollar')");
    g_seq = 0;
    for (const Company& c : kCompanies)
        Exec("INSERT INTO entities VALUES('VEZIR'," + std::to_string(++g_seq) + ",0," + Q(c.key) + "," + Q(c.name) +
             ",'Annual statement filer','" + (std::string(c.key) == "PCOMP" ? "Composite" : "Company") + "')");
    Exec("INSERT INTO entities VALUES('VEZIR',99,3,'','Regional carriers','','')");
    Exec("INSERT INTO entities VALUES('VEZIRQ',1,0,'00123','Alder Mutual Insurance Company','',''),"
         "('VEZIRQ',2,0,'00777','Cobalt Indemnity Corporation','','')");

    // The statement year: its label begins with the year.
    g_seq = 0;
    Var stmt;
    stmt.symbol = "P3D11";
    stmt.name = "Statement year";
    stmt.label = ys + " Annual Statement";
    stmt.itemCount = 1;
    AddVar(db, stmt);
    Var d1;
    d1.symbol = "D1";
    d1.name = "Company code";
    d1.label = "Company code";
    d1.type = 2;
    d1.size = 255;
    d1.itemCount = 1;
    AddVar(db, d1);
    Var d2 = d1;
    d2.symbol = "D2";
    d2.name = "Company name";
    d2.label = "Company name";
    AddVar(db, d2);
    for (const Company& c : kCompanies) {
        AddItem(db, "P3D11", c.key, 0, year);
        const std::string code = std::string(c.key) == "PCOMP" ? "00000" : c.key;
        AddItem(db, "D1", c.key, 0, std::nullopt, code.c_str());
        AddItem(db, "D2", c.key, 0, std::nullopt, c.name);
    }

    Var category;
    category.marker = 12;
    category.name = "Schedule P";
    category.category = "Schedule P";
    AddVar(db, category);
    for (const Lob& l : kLobs) {
        AddTriangle(db, 3, l, oldLayout, Paid, "Paid loss");
        AddTriangle(db, 4, l, oldLayout, Ceded, "Ceded paid loss");
        AddTriangle(db, 5, l, oldLayout, Incurred, "Incurred loss");
        // Earned premium, twelve calendar years newest first (item 0).
        Var ep;
        ep.symbol = Name(7, l.code, 1);
        ep.name = std::string("Earned premium ") + l.code;
        ep.label = ep.name;
        // WC premium goes back nine years only.
        const int years = std::string(l.code) == "WC" ? 9 : 12;
        ep.itemCount = years;
        AddVar(db, ep);
        // Closed claims on the latest diagonal, newest accident year first. HO
        // lives under array 10 (the utility map sends P9HO* there).
        Var cc;
        cc.symbol = Name(std::string(l.code) == "HO" ? 10 : 9, l.code, 1);
        cc.name = std::string("Closed claims ") + l.code;
        cc.label = cc.name;
        cc.itemCount = 10;
        AddVar(db, cc);
        for (const Company& c : kCompanies) {
            for (int y = 0; y < years; ++y) AddItem(db, ep.symbol, c.key, y, Premium(c, l, y));
            for (int i = 0; i < 10; ++i) AddItem(db, cc.symbol, c.key, i, Closed(c, 9 - i));
        }
    }

    // Series of every data type, for the access library's tests (entity 00123).
    Var note;
    note.symbol = "N1";
    note.name = "Statement note";
    note.label = "Statement note";
    note.type = 2;
    note.size = 255;
    note.itemCount = 3;
    note.screenable = 3425;
    AddVar(db, note);
    const std::string longNote(300, 'x');
    AddItem(db, "N1", "00123", 0, std::nullopt, ("Note " + longNote).c_str());
    AddItem(db, "N1", "00123", 1, std::nullopt, "");
    AddItem(db, "N1", "00123", 2, std::nullopt, "Short note");
    Var memo;
    memo.symbol = "N2";
    memo.name = "Actuarial opinion";
    memo.label = "Actuarial opinion";
    memo.type = 6;
    memo.size = 70000;
    memo.itemCount = 2;
    memo.currencyMethod = 2;
    AddVar(db, memo);
    std::string opinion(70000, 'o');
    opinion[0] = 'B';
    opinion[69999] = 'E';
    AddItem(db, "N2", "00123", 0, std::nullopt, opinion.c_str());
    Var coded;
    coded.symbol = "K1";
    coded.name = "Organisation type";
    coded.label = "Organisation type";
    coded.type = 3;
    coded.size = 8;
    coded.decoded = 10;
    coded.itemCount = 4;
    AddVar(db, coded);
    AddItem(db, "K1", "00123", 0, 3.9, "Mutual");
    AddItem(db, "K1", "00123", 1, -3.9, "Stock");
    AddItem(db, "K1", "00123", 2, 42.0, nullptr);   // the engine refuses its text
    AddItem(db, "K1", "00123", 3, 0.0, nullptr);
    Var dates;
    dates.symbol = "DT1";
    dates.name = "Filing dates";
    dates.label = "Filing dates";
    dates.type = 4;
    dates.size = 4;
    dates.itemCount = 3;
    AddVar(db, dates);
    AddItem(db, "DT1", "00123", 0, year * 10000 + 301, nullptr, 1);
    AddItem(db, "DT1", "00123", 2, year * 10000 + 915, nullptr, 3);
    Var ints;
    ints.symbol = "I1";
    ints.name = "Employees";
    ints.label = "Employees";
    ints.type = 5;
    ints.size = 4;
    ints.itemCount = 1;
    AddVar(db, ints);
    AddItem(db, "I1", "00123", 0, 250);
    // A dated annual series of ten years ending with the statement year, with
    // relative bounds 0 (newest) to 9.
    Var surplus;
    surplus.symbol = "S1";
    surplus.name = "Policyholder surplus";
    surplus.label = "Policyholder surplus";
    surplus.frequency = 1;
    surplus.firstDate = (year - 9) * 10000 + 1231;
    surplus.itemCount = 10;
    surplus.relMin = 0;
    surplus.relMax = 9;
    surplus.precision = 2;
    AddVar(db, surplus);
    for (const Company& c : kCompanies)
        for (int i = 0; i < 10; ++i) AddItem(db, "S1", c.key, i, 100.0 * c.scale * (i + 1));

    // Code tables: by number, and by '-' name.
    Exec("INSERT INTO code_tables VALUES('VEZIR','States',1,0,6,'California','West'),"
         "('VEZIR','States',2,0,36,'New York','East'),('VEZIR','States',3,7,0,'Territories','')");
    Exec("INSERT INTO code_tables VALUES('VEZIR','Regions',1,0,1,'North',''),('VEZIR','Regions',2,0,2,'South','')");

    sqlite3_finalize(g_item);
    Exec("COMMIT");
    sqlite3_close(g_db);
    std::filesystem::rename(tmp, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qs-make-statdb <folder>\n");
        return 2;
    }
    std::filesystem::create_directories(argv[1]);
    WriteProduct(argv[1], "ZID_IVI", 2003, false);
    WriteProduct(argv[1], "ZID_OLD", 1998, true);
    return 0;
}
