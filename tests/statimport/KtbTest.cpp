// The statistics access library against the generated sample products
// (statengine/tools/MakeStatDb.cpp says what they hold).
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "GlobalMemory.h"
#include "Ktb.h"
#include "StatEngine.h"
#include "TestEnvironment.h"

namespace {

constexpr std::int32_t kNoInt = static_cast<std::int32_t>(0x80000000u);

class KtbTest : public ::testing::Test {
protected:
    void SetUp() override {
        qs::test::SetEnv("QS_STAT_DIR", qs::test::BinDir() + "/statistics");
        qs::test::UnsetEnv("QS_STAT_CHOICE");
        statengine::ResetCallCounts();
    }
    void TearDown() override { KtbTerm(); }

    void Start(const char* name = "ZID_IVI") {
        std::strcpy(m_product, name);
        ASSERT_EQ(KtbInit(m_product, 0), KTB_SUCCESS);
    }
    int Open(const char* table, const char* db = "VEZIR") {
        int h = 0;
        EXPECT_EQ(KtbOpenTable(db, table, &h), KTB_SUCCESS) << table;
        return h;
    }
    // A Main table on one entity with the given variables.
    int Main(const char* entity, std::initializer_list<const char*> vars) {
        const int h = Open("Main");
        EXPECT_EQ(KtbAddEntityMain(h, entity), KTB_SUCCESS);
        for (const char* v : vars) EXPECT_EQ(KtbAddVar(h, v), KTB_SUCCESS) << v;
        return h;
    }
    int Info(int h, int column, int kind) {
        int v = -7;
        EXPECT_EQ(KtbGetInfo(h, column, kind, &v), KTB_SUCCESS) << "kind " << kind;
        return v;
    }
    std::string InfoText(int h, int column, int kind) {
        char t[46] = {};
        EXPECT_EQ(KtbGetInfo(h, column, kind, t), KTB_SUCCESS) << "kind " << kind;
        return t;
    }
    char m_product[11] = {};
};

TEST_F(KtbTest, ExportsItsThirtyThreeFunctionsAndNothingOfItsInside) {
    void* lib = ::dlopen((qs::test::BinDir() + "/libKTB.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(lib, nullptr);
    const char* const names[] = {
        "KtbGetVersion", "KtbInit", "KtbTerm", "KtbChangeProduct", "KtbGetErrText", "KtbOpenTable",
        "KtbCloseTable", "KtbQueryMain", "KtbAddEntityMain", "KtbDelEntityMain", "KtbAllEntityMain",
        "KtbClearEntityMain", "KtbTransferEntityList", "KtbMoveTableCursor", "KtbMoveTableCursorRel",
        "KtbFindStrInTable", "KtbFindKeyInTable", "KtbAddVar", "KtbClearVarList", "KtbSetAbsRange",
        "KtbSetRelRange", "KtbClearAbsRange", "KtbClearRelRange", "KtbAddVarFml", "KtbGetSingleValue",
        "KtbGetDateFreq", "KtbGetInfo", "KtbGetVarData", "KtbSetCodedTextMode", "KtbIsNA",
        "KtbGetCodedTextMode", "KtbGetAbsEndRange", "KtbGetFrequency"};
    EXPECT_EQ(std::size(names), 33u);
    for (const char* n : names) EXPECT_NE(::dlsym(lib, n), nullptr) << n;
    EXPECT_EQ(::dlsym(lib, "_ZN3ktb1SEv"), nullptr);  // ktb::S(), the session
    ::dlclose(lib);
}

TEST_F(KtbTest, VersionAndStatusTexts) {
    char v[15];
    std::memset(v, 'x', sizeof v);
    EXPECT_EQ(KtbGetVersion(v), KTB_SUCCESS);
    EXPECT_STREQ(v, "Version 1.21");
    EXPECT_EQ(v[14], 0);
    EXPECT_EQ(KtbGetVersion(nullptr), KTB_BAD_ARGUMENTS);

    struct Case {
        int code;
        const char* text;
    };
    for (const Case& c : {Case{100000, "Success"}, Case{100001, "Mapping in progress... Try later "},
                          Case{100017, "Cannot release object "}, Case{100018, "Variable already exists in list "},
                          Case{100027, "Unknown failure"}}) {
        char buf[50];
        std::memset(buf, 'x', sizeof buf);
        EXPECT_EQ(KtbGetErrText(c.code, buf), KTB_SUCCESS) << c.code;
        EXPECT_STREQ(buf, c.text);
        EXPECT_EQ(buf[49], 0);
    }
    for (int code : {100019, 100023, 99999, 100028}) {
        char buf[50];
        std::memset(buf, 'x', sizeof buf);
        EXPECT_EQ(KtbGetErrText(code, buf), KTB_BAD_ARGUMENTS) << code;
        EXPECT_EQ(std::string(buf, 50), std::string(50, '\0')) << code;
    }
}

TEST_F(KtbTest, WithoutASessionEveryCallSaysSo) {
    int h = 0, n = 0;
    char buf[300] = {};
    EXPECT_EQ(KtbOpenTable("VEZIR", "Main", &h), KTB_NO_SESSION);
    EXPECT_EQ(KtbGetInfo(1, 0, 1, &n), KTB_NO_SESSION);
    EXPECT_EQ(KtbGetVarData(1, 0, buf), KTB_NO_SESSION);
    EXPECT_EQ(KtbMoveTableCursor(1, 1), KTB_NO_SESSION);
    EXPECT_EQ(KtbChangeProduct(m_product), KTB_NO_SESSION);
    EXPECT_EQ(KtbCloseTable(1), KTB_TABLE_NOT_OPEN);
    EXPECT_EQ(KtbAddVar(1, "D1"), KTB_TABLE_NOT_OPEN);
    // Termination without a session reports it and still ends the mapper's registration.
    EXPECT_EQ(KtbTerm(), KTB_PRODUCT_IN_USE);
    EXPECT_EQ(statengine::CallCount("Finish_Prod_Use"), 1);
    EXPECT_EQ(statengine::CallCount("Mapper_Term"), 1);
}

TEST_F(KtbTest, SessionStartsOnceAndMapsTheRequestedProduct) {
    std::strcpy(m_product, "  ZID_OLD ");
    ASSERT_EQ(KtbInit(m_product, 0), KTB_SUCCESS);
    EXPECT_STREQ(m_product, "ZID_OLD");  // trimmed, then the product actually mapped
    char again[11] = "ZID_IVI";
    EXPECT_EQ(KtbInit(again, 0), KTB_ALREADY_INITIALIZED);
    const int h = Main("PCOMP", {"P3D11"});
    EXPECT_EQ(InfoText(h, 0, 4), "1998 Annual Statement");

    // Changing to another product closes every table.
    char other[11] = "ZID_IVI";
    EXPECT_EQ(KtbChangeProduct(other), KTB_SUCCESS);
    EXPECT_STREQ(other, "ZID_IVI");
    int rows = 0;
    EXPECT_EQ(KtbGetInfo(h, 0, 1, &rows), KTB_TABLE_NOT_OPEN);
    EXPECT_EQ(InfoText(Main("PCOMP", {"P3D11"}), 0, 4), "2003 Annual Statement");
    EXPECT_EQ(KtbTerm(), KTB_SUCCESS);
}

TEST_F(KtbTest, ProductSelectionRules) {
    // The product already current is not mapped a second time.
    Start("ZID_IVI");
    EXPECT_EQ(statengine::CallCount("Init_Map_ProdEx"), 1);
    EXPECT_EQ(statengine::CallCount("Change_Product"), 0);
    KtbTerm();

    // '*' maps in mode 0 without comparing with the current product.
    statengine::ResetCallCounts();
    std::strcpy(m_product, "*ZID_OLD");
    EXPECT_EQ(KtbInit(m_product, 0), KTB_SUCCESS);
    EXPECT_STREQ(m_product, "ZID_OLD");
    EXPECT_EQ(statengine::CallCount("Init_Map_ProdEx"), 1);
    EXPECT_EQ(statengine::CallCount("Change_Product"), 1);
    KtbTerm();

    // An unknown product still opens the session with the current one.
    std::strcpy(m_product, "NOSUCH");
    EXPECT_EQ(KtbInit(m_product, 0), KTB_INVALID_PRODUCT);
    EXPECT_STREQ(m_product, "ZID_OLD");
    int h = 0;
    EXPECT_EQ(KtbOpenTable("VEZIR", "Main", &h), KTB_SUCCESS);
    KtbTerm();

    // An empty name asks the user; the stand-in's user keeps the current product.
    m_product[0] = 0;
    EXPECT_EQ(KtbInit(m_product, 0), KTB_SUCCESS);
    EXPECT_STREQ(m_product, "ZID_OLD");
    KtbTerm();
    qs::test::SetEnv("QS_STAT_CHOICE", "ZID_IVI");
    m_product[0] = 0;
    EXPECT_EQ(KtbInit(m_product, 0), KTB_SUCCESS);
    EXPECT_STREQ(m_product, "ZID_IVI");
}

TEST_F(KtbTest, AMissingProductFolderEndsTheRegistration) {
    qs::test::SetEnv("QS_STAT_DIR", qs::test::MakeTempDir("noproducts"));
    std::strcpy(m_product, "ZID_IVI");
    EXPECT_EQ(KtbInit(m_product, 0), KTB_UNEXPECTED);
    EXPECT_STREQ(m_product, "");
    EXPECT_EQ(statengine::CallCount("Mapper_Term"), 1);
    EXPECT_EQ(KtbTerm(), KTB_PRODUCT_IN_USE);
}

TEST_F(KtbTest, TenSlotsAndHandlesAreNeverReused) {
    Start();
    std::vector<int> handles;
    for (int i = 0; i < 10; ++i) handles.push_back(Open("Main"));
    EXPECT_EQ(handles.front(), 1);
    EXPECT_EQ(handles.back(), 10);
    int h = -1;
    EXPECT_EQ(KtbOpenTable("VEZIR", "Main", &h), KTB_NO_FREE_TABLE);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(KtbCloseTable(handles[3]), KTB_SUCCESS);
    EXPECT_EQ(KtbCloseTable(handles[3]), KTB_TABLE_NOT_OPEN);
    EXPECT_EQ(KtbCloseTable(0), KTB_TABLE_NOT_OPEN);
    EXPECT_EQ(Open("Main"), 11);
}

TEST_F(KtbTest, OpeningRefusesBadNames) {
    Start();
    int h = 0;
    EXPECT_EQ(KtbOpenTable("VEZIR", "NoSuchTable", &h), KTB_BAD_TABLE);
    EXPECT_EQ(KtbOpenTable("NOPE", "Main", &h), KTB_CANNOT_RETRIEVE);
    EXPECT_EQ(KtbOpenTable("", "Main", &h), KTB_BAD_ARGUMENTS);
    EXPECT_EQ(KtbOpenTable("VEZIR", "", &h), KTB_BAD_ARGUMENTS);
    EXPECT_EQ(KtbOpenTable("VEZIR", "Main", nullptr), KTB_BAD_ARGUMENTS);
    EXPECT_EQ(KtbOpenTable("", "Databases", &h), KTB_SUCCESS);
}

TEST_F(KtbTest, CatalogAttributeLists) {
    Start();
    const int v = Open("Variables");
    EXPECT_EQ(KtbAddVar(v, "name"), KTB_SUCCESS);
    EXPECT_EQ(KtbAddVar(v, "Name"), KTB_VAR_EXISTS);
    EXPECT_EQ(KtbAddVar(v, "Currency"), KTB_CANNOT_ADD);
    EXPECT_EQ(KtbAddVar(v, "Colour"), KTB_CANNOT_ADD);
    EXPECT_EQ(Info(v, 0, 6), 1);
    EXPECT_EQ(InfoText(v, 0, 4), "Name");
    int x = 0;
    EXPECT_EQ(KtbGetInfo(v, 1, 4, &x), KTB_CANNOT_RETRIEVE);
    EXPECT_EQ(KtbGetInfo(v, 0, 11, &x), KTB_BAD_ARGUMENTS);
}

TEST_F(KtbTest, RangesAndTheirChecks) {
    Start();
    const int h = Open("Main");
    EXPECT_EQ(KtbSetRelRange(h, 3, 5), KTB_BAD_ARGUMENTS);
    EXPECT_EQ(KtbSetRelRange(h, 5, 3), KTB_SUCCESS);
    EXPECT_EQ(KtbSetAbsRange(h, "12/31/2001", "12/31/1999"), KTB_BAD_REQUEST);
    EXPECT_EQ(KtbSetAbsRange(h, "not a date", "12/31/1999"), KTB_BAD_ARGUMENTS);
    EXPECT_EQ(KtbAddEntityMain(h, "00123"), KTB_SUCCESS);
    // S1: ten annual items ending 12/31/2003; 5 back to 3 back is three items.
    EXPECT_EQ(KtbAddVar(h, "S1"), KTB_SUCCESS);
    EXPECT_EQ(Info(h, 0, 5), 3);
    // The absolute range wins for a dated variable when both ends are set.
    EXPECT_EQ(KtbSetAbsRange(h, "01/01/1990", "12/31/1996"), KTB_SUCCESS);
    EXPECT_EQ(KtbAddVar(h, "S1"), KTB_SUCCESS);
    EXPECT_EQ(Info(h, 1, 5), 3);  // 1994, 1995, 1996
    double items[3];
    ASSERT_EQ(KtbGetVarData(h, 1, items), KTB_SUCCESS);
    EXPECT_DOUBLE_EQ(items[0], 100.0);
    EXPECT_DOUBLE_EQ(items[2], 300.0);
    // An undated variable takes the relative range: 5 back to 3 back of P3A1's ten items.
    EXPECT_EQ(KtbAddVar(h, "P3A1"), KTB_SUCCESS);
    EXPECT_EQ(Info(h, 2, 5), 3);
    EXPECT_EQ(KtbAddVar(h, "NOSUCHVAR"), KTB_CANNOT_ADD);

    char end[15];
    EXPECT_EQ(KtbGetAbsEndRange(h, "12/31/1994", "S1", 3, end), KTB_SUCCESS);
    EXPECT_STREQ(end, "12/31/1996");
    int freq = -1;
    EXPECT_EQ(KtbGetFrequency(h, "S1", &freq), KTB_SUCCESS);
    EXPECT_EQ(freq, 1);
    EXPECT_EQ(KtbGetFrequency(h, "NOSUCHVAR", &freq), KTB_CANNOT_FIND);
}

TEST_F(KtbTest, IsNAByKind) {
    const std::int32_t missingInt = kNoInt, someInt = 7;
    const char empty[1] = {0}, text[3] = "ab";
    double na = statengine::kNotAvailable, number = 1.5;
    struct Case {
        int kind;
        const void* value;
        int expected;
    };
    for (const Case& c : {Case{5, &missingInt, 1}, Case{5, &someInt, 0}, Case{2, empty, 1}, Case{2, text, 0},
                          Case{4, empty, 1}, Case{6, empty, 1}, Case{1, &na, 1}, Case{1, &number, 0},
                          Case{3, empty, 0}, Case{1, nullptr, 0}})
        EXPECT_EQ(KtbIsNA(c.kind, c.value), c.expected) << "kind " << c.kind;
}

TEST_F(KtbTest, MainTableOfOneEntityAndItsNumbers) {
    Start();
    const int h = Main("00123", {"P3A3", "P3A10"});
    EXPECT_EQ(Info(h, 0, 1), 1);
    EXPECT_EQ(Info(h, 0, 6), 2);
    EXPECT_EQ(InfoText(h, 0, 2), "00123");
    EXPECT_EQ(InfoText(h, 0, 10), "00123");
    EXPECT_EQ(Info(h, 0, 8), 1);
    EXPECT_EQ(Info(h, 0, 5), 8);  // accident year 3 has eight ages
    EXPECT_EQ(Info(h, 1, 5), 1);
    EXPECT_EQ(Info(h, 0, 7), 8);
    double items[8];
    ASSERT_EQ(KtbGetVarData(h, 0, items), KTB_SUCCESS);
    // Item 0 is the latest age (7), the last item age 0: base*(k+2) + 10*j, k = 2.
    EXPECT_DOUBLE_EQ(items[0], 4070.0);
    EXPECT_DOUBLE_EQ(items[7], 4000.0);
    double one = 0;
    EXPECT_EQ(KtbGetSingleValue(h, 0, 7, &one), KTB_SUCCESS);
    EXPECT_DOUBLE_EQ(one, 4000.0);
    EXPECT_EQ(KtbGetSingleValue(h, 0, 8, &one), KTB_OUT_OF_BOUNDS);
    EXPECT_EQ(KtbGetVarData(h, 2, items), KTB_BAD_ARGUMENTS);
    EXPECT_EQ(KtbGetDateFreq(h, 0, items), KTB_BAD_REQUEST);
}

TEST_F(KtbTest, MissingNumbersReachTheCallerAsTheEngineHoldsThem) {
    Start();
    // 00042 has no WC accident-year-3 item at age 1 (item 6 of 8).
    const int h = Main("00042", {"P3WC3"});
    double items[8];
    ASSERT_EQ(KtbGetVarData(h, 0, items), KTB_SUCCESS);
    EXPECT_EQ(KtbIsNA(1, &items[6]), 1);
    EXPECT_EQ(KtbIsNA(1, &items[7]), 0);
}

TEST_F(KtbTest, TextsInTheirFields) {
    Start();
    const int h = Main("00123", {"N1", "N2"});
    unsigned char texts[3 * 255];
    std::memset(texts, 'x', sizeof texts);
    ASSERT_EQ(KtbGetVarData(h, 0, texts), KTB_SUCCESS);
    const std::string first(reinterpret_cast<char*>(texts));
    EXPECT_EQ(first.size(), 254u);
    EXPECT_EQ(first.substr(0, 6), "Note x");
    EXPECT_EQ(texts[254], 0);
    EXPECT_EQ(KtbIsNA(2, texts + 255), 1);  // the empty text
    EXPECT_EQ(std::string(reinterpret_cast<char*>(texts + 510)), "Short note");
    EXPECT_EQ(texts[510 + 254], 0);

    // A long text of 70000 bytes arrives whole in one block, read in three
    // pieces; the missing second item takes one more.
    statengine::ResetCallCounts();
    winmem::HGLOBAL blocks[2] = {};
    ASSERT_EQ(KtbGetVarData(h, 1, blocks), KTB_SUCCESS);
    EXPECT_EQ(statengine::CallCount("ItemTextPiece"), 4);
    ASSERT_NE(blocks[0], 0u);
    EXPECT_EQ(blocks[1], 0u);  // not available
    EXPECT_EQ(winmem::GlobalSize(blocks[0]), 70001u);
    const auto* opinion = static_cast<const char*>(winmem::GlobalLock(blocks[0]));
    EXPECT_EQ(opinion[0], 'B');
    EXPECT_EQ(opinion[69999], 'E');
    EXPECT_EQ(opinion[70000], 0);
    winmem::GlobalUnlock(blocks[0]);
    EXPECT_EQ(winmem::GlobalFree(blocks[0]), 0u);
}

TEST_F(KtbTest, CodedValuesAsTextsOrCodes) {
    Start();
    const int h = Main("00123", {"K1"});
    EXPECT_EQ(KtbGetCodedTextMode(h), 1);
    unsigned char texts[4 * 255];
    ASSERT_EQ(KtbGetVarData(h, 0, texts), KTB_SUCCESS);
    EXPECT_STREQ(reinterpret_cast<char*>(texts), "Mutual");
    EXPECT_STREQ(reinterpret_cast<char*>(texts + 255), "Stock");
    EXPECT_STREQ(reinterpret_cast<char*>(texts + 510), "42");  // text refused: the number's digits
    EXPECT_STREQ(reinterpret_cast<char*>(texts + 765), "");    // ... and 0 gives the empty text

    ASSERT_EQ(KtbSetCodedTextMode(h, 0), KTB_SUCCESS);
    EXPECT_EQ(KtbGetCodedTextMode(h), 0);
    std::int32_t codes[4];
    ASSERT_EQ(KtbGetVarData(h, 0, codes), KTB_SUCCESS);
    EXPECT_EQ(codes[0], 3);
    EXPECT_EQ(codes[1], -3);
    EXPECT_EQ(codes[2], 42);
}

TEST_F(KtbTest, DatesAndTheirFrequencies) {
    Start();
    const int h = Main("00123", {"DT1", "I1"});
    char dates[3 * 15];
    std::memset(dates, 'x', sizeof dates);
    ASSERT_EQ(KtbGetVarData(h, 0, dates), KTB_SUCCESS);
    EXPECT_STREQ(dates, "03/01/2003");
    EXPECT_EQ(std::string(dates + 15, 15), std::string(15, '\0'));  // not available
    EXPECT_STREQ(dates + 30, "09/15/2003");
    std::int32_t freq[3];
    ASSERT_EQ(KtbGetDateFreq(h, 0, freq), KTB_SUCCESS);
    EXPECT_EQ(freq[0], 1);
    EXPECT_EQ(freq[2], 3);
    // A Main series of integers cannot be read.
    std::int32_t ints[1];
    EXPECT_EQ(KtbGetVarData(h, 1, ints), KTB_CANNOT_RETRIEVE);
}

TEST_F(KtbTest, CursorsOverAllEntities) {
    Start();
    const int h = Open("Main");
    EXPECT_EQ(KtbMoveTableCursor(h, 2), KTB_NO_VALUE);  // no lists yet
    EXPECT_EQ(KtbAllEntityMain(h), KTB_SUCCESS);
    EXPECT_EQ(KtbAddVar(h, "D2"), KTB_SUCCESS);
    EXPECT_EQ(Info(h, 0, 1), 4);
    EXPECT_EQ(KtbMoveTableCursor(h, 3), KTB_OUT_OF_BOUNDS);
    EXPECT_EQ(KtbMoveTableCursor(h, 4), KTB_SUCCESS);
    EXPECT_EQ(Info(h, 0, 3), 3);
    EXPECT_EQ(KtbMoveTableCursor(h, 2), KTB_OUT_OF_BOUNDS);
    EXPECT_EQ(Info(h, 0, 3), 3);
    EXPECT_EQ(KtbMoveTableCursor(h, 5), KTB_BAD_ARGUMENTS);
    EXPECT_EQ(KtbMoveTableCursorRel(h, 50), KTB_SUCCESS);
    EXPECT_EQ(Info(h, 0, 3), 1);  // 50% of 4 rows: row 2, 0-based 1
    EXPECT_EQ(KtbMoveTableCursorRel(h, 0), KTB_SUCCESS);
    EXPECT_EQ(Info(h, 0, 3), 0);
    EXPECT_EQ(KtbMoveTableCursorRel(h, 250), KTB_SUCCESS);
    EXPECT_EQ(Info(h, 0, 3), 3);
    EXPECT_EQ(KtbFindKeyInTable(h, "00777"), KTB_SUCCESS);
    char name[255];
    ASSERT_EQ(KtbGetVarData(h, 0, name), KTB_SUCCESS);
    EXPECT_STREQ(name, "Cobalt Indemnity Corporation");
    EXPECT_EQ(KtbFindKeyInTable(h, "99999"), KTB_CANNOT_FIND);
    // Changing a list runs the query again from the first row.
    EXPECT_EQ(KtbDelEntityMain(h, "PCOMP"), KTB_SUCCESS);
    EXPECT_EQ(Info(h, 0, 3), 0);
    EXPECT_EQ(InfoText(h, 0, 2), "00123");
    EXPECT_EQ(KtbDelEntityMain(h, "PCOMP"), KTB_CANNOT_REMOVE);
    EXPECT_EQ(KtbAddEntityMain(h, "55555"), KTB_CANNOT_ADD);
}

TEST_F(KtbTest, EntityQueries) {
    Start();
    const int h = Open("Main");
    int err = 0;
    EXPECT_EQ(KtbQueryMain(h, 2, "ALL", &err), KTB_NO_VALUE);  // needs a list
    EXPECT_EQ(KtbQueryMain(h, 1, "NAME LIKE '%Company'", &err), KTB_SUCCESS);
    EXPECT_EQ(err, -1);
    EXPECT_EQ(Info(h, 0, 1), 2);  // Alder Mutual ... Company, Birchwood Casualty Company
    EXPECT_EQ(KtbQueryMain(h, 2, "KEY <> '00123'", &err), KTB_SUCCESS);
    EXPECT_EQ(Info(h, 0, 1), 1);
    EXPECT_EQ(KtbQueryMain(h, 3, "KEY = 'PCOMP'", &err), KTB_SUCCESS);
    EXPECT_EQ(Info(h, 0, 1), 2);
    EXPECT_EQ(KtbQueryMain(h, 1, "NAME ~ 'x'", &err), KTB_EXPRESSION_REFUSED);
    EXPECT_EQ(err, 5);
    EXPECT_EQ(KtbQueryMain(h, 1, "", &err), KTB_NO_VALUE);
    EXPECT_EQ(KtbQueryMain(h, 4, "ALL", &err), KTB_BAD_ARGUMENTS);
    const int cat = Open("Variables");
    EXPECT_EQ(KtbQueryMain(cat, 1, "ALL", &err), KTB_BAD_REQUEST);

    // Entity lists carry over to another database's table as far as it knows them.
    const int q = Open("Main", "VEZIRQ");
    EXPECT_EQ(KtbAllEntityMain(h), KTB_SUCCESS);
    EXPECT_EQ(KtbTransferEntityList(h, q), KTB_SUCCESS);
    EXPECT_EQ(Info(q, 0, 1), 2);
    EXPECT_EQ(KtbClearEntityMain(h), KTB_SUCCESS);
    EXPECT_EQ(KtbTransferEntityList(h, q), KTB_NO_VALUE);
}

TEST_F(KtbTest, FormulaVariables) {
    Start();
    const int h = Main("00123", {"S1"});
    int err = 0;
    EXPECT_EQ(KtbAddVarFml(h, "S1 * 2", &err), KTB_SUCCESS);
    double items[10];
    ASSERT_EQ(KtbGetVarData(h, 1, items), KTB_SUCCESS);
    EXPECT_DOUBLE_EQ(items[0], 200.0);
    EXPECT_EQ(KtbAddVarFml(h, "S1 ** 2", &err), KTB_EXPRESSION_REFUSED);
    EXPECT_EQ(err, 4);
    EXPECT_EQ(KtbAddVarFml(h, "", &err), KTB_NO_VALUE);
}

TEST_F(KtbTest, CatalogTables) {
    Start();
    const int v = Open("Variables");
    for (const char* a : {"Symbol", "Relative minimum", "Absolute minimum", "Screenable", "Type", "Description"})
        ASSERT_EQ(KtbAddVar(v, a), KTB_SUCCESS) << a;
    EXPECT_EQ(Info(v, 0, 8), 2);
    EXPECT_EQ(Info(v, 2, 8), 4);
    EXPECT_EQ(Info(v, 2, 7), 15);
    // The category row "Schedule P" (marker 12) comes after P3D11, D1 and D2.
    ASSERT_EQ(KtbFindKeyInTable(v, "D2"), KTB_SUCCESS);
    ASSERT_EQ(KtbMoveTableCursor(v, 2), KTB_SUCCESS);
    char symbol[255];
    ASSERT_EQ(KtbGetVarData(v, 0, symbol), KTB_SUCCESS);
    EXPECT_STREQ(symbol, "~~12");
    std::int32_t relMin = 0;
    ASSERT_EQ(KtbGetVarData(v, 1, &relMin), KTB_SUCCESS);
    EXPECT_EQ(relMin, kNoInt);

    ASSERT_EQ(KtbFindKeyInTable(v, "P3A1"), KTB_SUCCESS);
    ASSERT_EQ(KtbGetVarData(v, 1, &relMin), KTB_SUCCESS);
    EXPECT_EQ(relMin, kNoInt);  // no relative range
    char absMin[15];
    std::memset(absMin, 'x', sizeof absMin);
    ASSERT_EQ(KtbGetVarData(v, 2, absMin), KTB_SUCCESS);
    EXPECT_EQ(std::string(absMin, 15), std::string(15, '\0'));  // no absolute range

    ASSERT_EQ(KtbFindKeyInTable(v, "S1"), KTB_SUCCESS);
    ASSERT_EQ(KtbGetVarData(v, 1, &relMin), KTB_SUCCESS);
    EXPECT_EQ(relMin, 0);
    ASSERT_EQ(KtbGetVarData(v, 2, absMin), KTB_SUCCESS);
    EXPECT_STREQ(absMin, "12/31/1994");

    ASSERT_EQ(KtbFindKeyInTable(v, "N1"), KTB_SUCCESS);
    std::int32_t screenable = 0, type = 0;
    ASSERT_EQ(KtbGetVarData(v, 3, &screenable), KTB_SUCCESS);
    EXPECT_EQ(screenable, 1);  // engine code 3425
    ASSERT_EQ(KtbGetVarData(v, 4, &type), KTB_SUCCESS);
    EXPECT_EQ(type, 2);
    winmem::HGLOBAL description = 0;
    ASSERT_EQ(KtbGetVarData(v, 5, &description), KTB_SUCCESS);
    EXPECT_EQ(description, 0u);  // N1 has no description

    // A catalog column has one item.
    EXPECT_EQ(KtbGetSingleValue(v, 0, 1, symbol), KTB_OUT_OF_BOUNDS);
    EXPECT_EQ(KtbGetSingleValue(v, 0, 0, symbol), KTB_SUCCESS);
    EXPECT_STREQ(symbol, "N1");
}

TEST_F(KtbTest, DatabasesCurrenciesAndCodeTables) {
    Start();
    const int d = Open("Databases", "");
    for (const char* a : {"Symbol", "Publication Date", "Entity count", "Currency", "Description"})
        ASSERT_EQ(KtbAddVar(d, a), KTB_SUCCESS) << a;
    EXPECT_EQ(Info(d, 0, 1), 2);
    char text[255];
    ASSERT_EQ(KtbGetVarData(d, 0, text), KTB_SUCCESS);
    EXPECT_STREQ(text, "VEZIR");
    char date[15];
    ASSERT_EQ(KtbGetVarData(d, 1, date), KTB_SUCCESS);
    EXPECT_STREQ(date, "03/01/2004");
    std::int32_t n = 0;
    ASSERT_EQ(KtbGetVarData(d, 2, &n), KTB_SUCCESS);
    EXPECT_EQ(n, 4);
    ASSERT_EQ(KtbMoveTableCursor(d, 2), KTB_SUCCESS);
    ASSERT_EQ(KtbGetVarData(d, 3, &n), KTB_SUCCESS);
    EXPECT_EQ(n, 1);  // engine currency 2 is delivered as 1
    winmem::HGLOBAL block = 0;
    ASSERT_EQ(KtbGetVarData(d, 4, &block), KTB_SUCCESS);
    ASSERT_NE(block, 0u);
    EXPECT_STREQ(static_cast<const char*>(winmem::GlobalLock(block)), "Quarterly statements");
    winmem::GlobalUnlock(block);
    winmem::GlobalFree(block);

    const int c = Open("Currencies");
    ASSERT_EQ(KtbAddVar(c, "Name"), KTB_SUCCESS);
    ASSERT_EQ(KtbFindStrInTable(c, "CAD"), KTB_SUCCESS);
    ASSERT_EQ(KtbGetVarData(c, 0, text), KTB_SUCCESS);
    EXPECT_STREQ(text, "Canadian Dollar");

    const int states = Open("States");
    ASSERT_EQ(KtbAddVar(states, "Symbol"), KTB_SUCCESS);
    EXPECT_EQ(KtbFindKeyInTable(states, "3a"), KTB_BAD_ARGUMENTS);
    ASSERT_EQ(KtbFindKeyInTable(states, "36"), KTB_SUCCESS);
    ASSERT_EQ(KtbGetVarData(states, 0, &n), KTB_SUCCESS);
    EXPECT_EQ(n, 36);
    ASSERT_EQ(KtbMoveTableCursor(states, 2), KTB_SUCCESS);
    ASSERT_EQ(KtbGetVarData(states, 0, text), KTB_SUCCESS);
    EXPECT_STREQ(text, "~~7");

    const int regions = Open("-Regions");
    ASSERT_EQ(KtbAddVar(regions, "Name"), KTB_SUCCESS);
    ASSERT_EQ(KtbMoveTableCursor(regions, 4), KTB_SUCCESS);
    ASSERT_EQ(KtbGetVarData(regions, 0, text), KTB_SUCCESS);
    EXPECT_STREQ(text, "South");
}

}  // namespace
