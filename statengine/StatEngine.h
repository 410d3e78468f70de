#pragma once
// The statistics engine and its product mapper, as the statistics access
// library (libKTB) calls them. Each statistics product is one SQLite file,
// "<PRODUCT>.sdb", in the product folder; docs/statimport/statistics-database.md gives
// its layout. The engine reads a product; it never writes one.
//
// Two families of calls, each with the result convention of the component it
// stands in for:
//  - the product mapper: int codes, 0 = success (13 = the user cancelled,
//    1 = no such product, 3 = already current, 5 = no current product,
//    11 = not initialised, 21 = bad argument);
//  - the engine: non-zero = success, 0 = failure. The comment of each call
//    names the engine role (by its ordinal) it plays for the access library.
// Table-layer calls (databases, queries, lists) return the engine's internal
// result codes instead: 0 success, 2 bad arguments, 4 no value, 14 out of
// bounds, 15 bad request, 19 cannot add, 20 cannot find, 22 cannot retrieve,
// 25 expression refused.
//
// Single-threaded, like the library above it; all state is process-wide.
#include <cstdint>
#include <string>
#include <vector>

namespace statengine {

// Where the product files live: $QS_STAT_DIR, else the folder "statistics"
// beside the library that holds the engine.
std::string ProductFolder();

// ---- product mapper
int Mapper_Init();
int Mapper_Term();
int Register_Prod_Use(const char* application);
int Finish_Prod_Use();
// Maps product (mode 1 compares with the current product first: a product
// that is already current gives 3). The mapping takes effect at Change_Product.
int Init_Map_ProdEx(void* owner, const char* application, const char* product, int mode);
// The user's choice of product. This stand-in shows no dialog: the product
// named by $QS_STAT_CHOICE is chosen (0, or 1 when there is no such product);
// without it the user keeps the current product (3), or cancels (13) when
// there is none.
int User_Select_Prod(void* owner, const char* application, char* product, int size);
int Change_Product(void* owner, int flag);
int Cancel_Change();
// Writes the current product's name into name, which holds size bytes with
// the terminator; 5 without a current product, 21 when the name does not fit
// (name is then left as it was).
int Current_Product_Name(int reserved, char* name, int size);

// ---- engine life and session
int StartEngine();     // 127
int RestartEngine();   // 527
int OpenSession(const char* access, const char* application, int, int, int, int, int, int* session);  // 452
int CloseSession(int session);  // 453
int ConfirmClose();    // 526
int StopEngine();      // 128

// ---- values
// The engine's not-available number, and its dates: yyyymmdd, 0 = not available.
extern const double kNotAvailable;
// 159: non-zero when value is not available: type 1 double, 4 date, 5 int32,
// 6 text of size bytes (the text "#N/A" is the engine's missing text).
int IsNotAvailable(int typeCode, int size, const void* value);
// 148: the date as "MM/DD/YYYY" in dest (11 bytes); 0 for a bad date.
int DateToText(int date, int form, int size, char* dest);
// Parses "MM/DD/YYYY" (or "YYYY", taken as 12/31 of that year); 0 when not a date.
int TextToDate(const char* text);

// ---- databases
int OpenDatabase(int session, const char* symbol, int* db);  // internal code
void CloseDatabase(int db);
bool EntityExists(int db, const std::string& key);
std::vector<std::string> AllEntities(int db);
// The entity keys an expression selects: "ALL", or FIELD OP 'text' with FIELD
// KEY, NAME or CATEGORY and OP =, <> or LIKE (% matches any run). Code 25 with
// errorPos at the first character that could not be read.
int SelectEntities(int db, const std::string& expression, std::vector<std::string>& keys, int* errorPos);
// 146 and 147.
int FindVariable(int db, const char* symbol, int* variable);
int VariableAttr(int variable, int code, int size, void* out);
// 160 and 161.
int DatabaseInfo(int session, const char* symbol, int* info);
int DatabaseAttr(int info, int code, int size, void* out);

// ---- query results
struct Result;
// One column of a Main query: a variable with the window of its items, or a
// formula "A op B" (op + - * /, A and B variable symbols or numbers).
struct MainColumn {
    int variable = 0;       // 0 for a formula
    int firstItem = 0;
    int itemCount = -1;     // -1: to the last item
    std::string formula;
};
// Code 25 with errorPos for a formula the engine cannot read.
int CheckFormula(int db, const std::string& formula, int* errorPos);
int QueryMain(int db, const std::vector<std::string>& entities, const std::vector<MainColumn>& columns,
              Result** result);
// Catalog tables by kind (2..11 as the access library numbers them); name is
// the table's name (kinds 10 and 11: a code table of the database).
int QueryCatalog(int session, int db, int kind, const std::string& name, Result** result);
void FreeResult(Result* result);

int ResultRowCount(const Result* result);
// The key of a row: an entity key (Main), or the row's symbol (catalogs).
std::string ResultRowKey(const Result* result, int row);
int ResultFindKey(const Result* result, const std::string& key);   // -1 when none
int ResultFindText(const Result* result, const std::string& text); // symbol or name prefix, any case
std::string MainColumnLabel(const Result* result, int column);
int MainColumnSize(const Result* result, int column);         // engine size of the variable
int MainColumnDecodedSize(const Result* result, int column);  // 0x80000000 when none

// 16, 13, 15, 18, 19, 20, 21: series of Main columns and their items.
int SeriesOfColumn(Result* result, int column, int* series);
int SeriesInfo(Result* result, int series, int code, int size, void* out);
int ItemInfo(Result* result, int row, int series, int item, int code, int size, void* out);
int ItemNumber(Result* result, int row, int series, int item, double* out);
int ItemTextPiece(Result* result, int row, int series, int item, int offset, int length, char* dest);
int ItemDate(Result* result, int row, int series, int item, std::int32_t* out);
int ItemDateFreq(Result* result, int row, int series, int item, std::int16_t* out);
// 134, 135: catalog tables.
int CatalogInfo(Result* result, int code, int size, void* out);
int CatalogRowAttr(Result* result, int row, int code, int size, void* out);
// 461, 462: code tables whose name begins with '-'.
int CodeTableTextLength(Result* result, int code, int size, void* out);
int CodeTableRowAttr(Result* result, int row, int one, int code, int size, void* out);
// 624, 621, 622: currencies.
int CurrencyOfRow(Result* result, int row, std::int16_t* out);
int CurrencyTextLength(int which, int size, std::int16_t* out);
int CurrencyText(int which, int currency, int one, int length, char* dest);

// ---- for tests: how often each call above ran, by its name.
int CallCount(const char* name);
void ResetCallCounts();

}  // namespace statengine
