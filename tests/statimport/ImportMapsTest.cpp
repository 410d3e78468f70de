// The three map readers on small files written by each case.
#include <gtest/gtest.h>

#include <string>

#include "ImportMaps.h"
#include "TestEnvironment.h"

namespace {

std::string WriteMap(const std::string& text) {
    static int n = 0;
    const std::string path = qs::test::MakeTempDir("maps") + "/m" + std::to_string(++n) + ".map";
    qs::test::WriteFile(path, text);
    return path;
}

TEST(SplitFieldsTest, KeepsBlanksAndDropsTheLineEnd) {
    using lexgrv::SplitFields;
    EXPECT_EQ(SplitFields("a, b,,c\r\n"), (std::vector<std::string>{"a", " b", "", "c"}));
    EXPECT_EQ(SplitFields(""), (std::vector<std::string>{""}));
    EXPECT_EQ(SplitFields("x\nrest,of"), (std::vector<std::string>{"x"}));
    EXPECT_EQ(lexgrv::FieldNumber("  12abc"), 12);
    EXPECT_EQ(lexgrv::FieldNumber("T"), 0);
    EXPECT_EQ(lexgrv::FieldNumber(""), 0);
}

TEST(LOBMapTest, ReadsRowsAfterCommentsAndTheVersionLine) {
    CLOBMap map;
    ASSERT_EQ(map.Load(WriteMap("; lines of business\r\nVersion, 1\r\nA,Auto Liability,AL\r\n;x\r\nWC,WC,Comp\r\n")), 0);
    int count = 0;
    map.GetCount(&count);
    ASSERT_EQ(count, 2);
    const char *code, *two, *three;
    map.GetColumn1(0, &code);
    map.GetColumn2(0, &two);
    map.GetColumn3(0, &three);
    EXPECT_STREQ(code, "A");
    EXPECT_STREQ(two, "Auto Liability");
    EXPECT_STREQ(three, "AL");  // no carriage return left behind
    EXPECT_EQ(map.GetColumn1(2, &code), -1);
}

TEST(LOBMapTest, RefusesBadFilesKeepingRowsReadBefore) {
    struct Case {
        const char* name;
        std::string text;
        int rows;
    };
    std::string fiftyOne = "Version,1\n";
    for (int i = 0; i < 51; ++i) fiftyOne += "L" + std::to_string(i) + ",x,y\n";
    for (const Case& c : {Case{"version 2", "Version,2\nA,b,c\n", 0}, Case{"lower case", "version,1\nA,b,c\n", 0},
                          Case{"third field", "Version,1,x\nA,b,c\n", 0},
                          Case{"four fields", "Version,1\nA,b,c\nB,c,d,e\nC,d,e\n", 1},
                          Case{"past capacity", fiftyOne, 50}}) {
        CLOBMap map;
        EXPECT_EQ(map.Load(WriteMap(c.text)), -1) << c.name;
        int count = -1;
        map.GetCount(&count);
        EXPECT_EQ(count, c.rows) << c.name;
    }
    CLOBMap missing;
    EXPECT_EQ(missing.Load("/nonexistent/lob.map"), -1);
}

TEST(VarMapTest, RowsWithAndWithoutASecondSet) {
    CVarMap map;
    ASSERT_EQ(map.Load(WriteMap("Version,1\n12,2,3,0,5,T\n12,2,3,0,5,C,-,4,0,5\n1,2\n1,2,3,0,5,D,+,4,0\n")), 0);
    const auto& rows = map.Rows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].idIndex, 12);
    EXPECT_EQ(rows[0].layer, 2);
    EXPECT_EQ(rows[0].arrayNo, 3);
    EXPECT_EQ(rows[0].firstIndex, 5);
    EXPECT_EQ(rows[0].kind, 'T');
    EXPECT_EQ(rows[0].sign2, 0);
    EXPECT_EQ(rows[1].kind, 'C');
    EXPECT_EQ(rows[1].sign2, '-');
    EXPECT_EQ(rows[1].arrayNo2, 4);
    EXPECT_EQ(rows[1].firstIndex2, 5);
    EXPECT_EQ(rows[2].idIndex, 0);  // short line: all zero
    EXPECT_EQ(rows[2].kind, 0);
    EXPECT_EQ(rows[3].sign2, 0);  // nine fields: no second set
}

TEST(VarMapTest, AWrongVersionGivesAnEmptyMapWithoutFailing) {
    for (const char* text : {"Version,2\n1,2,3,0,5,T\n", "version,1\n1,2,3,0,5,T\n", "Version,1,1\n1,2,3,0,5,T\n"}) {
        CVarMap vars;
        EXPECT_EQ(vars.Load(WriteMap(text)), 0) << text;
        EXPECT_TRUE(vars.Rows().empty()) << text;
        CUtilityMap util;
        EXPECT_EQ(util.Load(WriteMap(text)), 0) << text;
        EXPECT_EQ(util.Size(), 0u) << text;
    }
    CVarMap missing;
    EXPECT_EQ(missing.Load("/nonexistent/var2.map"), -1);
}

TEST(UtilityMapTest, ExpandRewritesByWildcardRows) {
    CUtilityMap map;
    ASSERT_EQ(map.Load(WriteMap("Version,1\nP12AB*,P13CD*\nP5X*,P5Y\nA,B,C\nP5Y*,Q*tail\n")), 0);
    EXPECT_EQ(map.Size(), 3u);  // the three-field line is ignored
    struct Case {
        const char* in;
        const char* out;
    };
    for (const Case& c : {Case{"P12AB110", "P13CD110"}, Case{"P5X3", "P5Y"}, Case{"P7Z1", "P7Z1"},
                          Case{"P12AB", "P12AB"}}) {
        std::string name = c.in;
        map.Expand(name);
        EXPECT_EQ(name, c.out) << c.in;
    }
}

}  // namespace
