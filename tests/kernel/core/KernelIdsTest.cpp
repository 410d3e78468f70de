#include <gtest/gtest.h>

#include "CFormula.h"
#include "KernelIds.h"

namespace {
struct IdCase {
    QSID id;
    int kind, instance, layer, dataType, index;
    bool graph;
    QSID category;
};

// The fixed ids other parts of the program rely on, and what they must mean.
TEST(KernelIds, FixedIdsDecode) {
    const IdCase cases[] = {
        {1000, 0, 0, 0, 1, 0, false, 0},          // category input data
        {5022, 0, 0, 0, 5, 22, false, 0},         // an exhibit node
        {9070, 0, 0, 0, 9, 70, false, 0},
        {96000000 + 17, 0, 96, 0, 0, 17, false, 0},  // print-list key marker
        {98000000 + 3, 0, 98, 0, 0, 3, false, 0},
        {99000001, 0, 99, 0, 0, 1, false, 0},    // all arrays
        {99000002, 0, 99, 0, 0, 2, false, 0},    // all exhibits
        {101000000 + 7, 1, 1, 0, 0, 7, false, 1000},
        {101010001, 1, 1, 1, 0, 1, false, 1000},
        {101010016, 1, 1, 1, 0, 16, false, 1000},
        {101010494, 1, 1, 1, 0, 494, false, 1000},
        {101010497, 1, 1, 1, 0, 497, false, 1000},
        {101000804, 1, 1, 0, 0, 804, false, 1000},
        {101000040, 1, 1, 0, 0, 40, false, 1000},
        {301003003, 3, 1, 0, 3, 3, false, 7000},
        {301003056, 3, 1, 0, 3, 56, false, 7000},
        {301003145, 3, 1, 0, 3, 145, false, 7000},
        {301002045, 3, 1, 0, 2, 45, false, 6000},
        {301002050, 3, 1, 0, 2, 50, false, 6000},
        {static_cast<QSID>(0xB36900CEu), 3, 1, 0, 3, 150, false, 7000},  // wide ids of older projects
        {static_cast<QSID>(0xB3690132u), 3, 1, 0, 3, 250, false, 7000},
        {1101010016, 1, 1, 1, 0, 16, true, 8000},  // graph of an array
        {801000501, 8, 1, 0, 0, 501, true, 8000},  // navigator graph
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(GetIDDOType(c.id), c.kind);
        EXPECT_EQ(GetIDInstance(c.id), c.instance);
        EXPECT_EQ(GetIDLayer(c.id), c.layer);
        EXPECT_EQ(GetIDDataType(c.id), c.dataType);
        EXPECT_EQ(GetIDIndex(c.id), c.index);
        EXPECT_EQ(IsGraphID(c.id), c.graph);
        EXPECT_EQ(GetCategoryOfID(c.id), c.category);
    }
}

TEST(KernelIds, SubstitutionRuleMatchesByKindTypeAndIndex) {
    // Reports 145/245 and the wide 150/250 are stood in for by methods 45 and 50.
    EXPECT_TRUE(SameIDType(301013145, 301003145));  // layer does not matter
    EXPECT_FALSE(SameIDType(301003145, 301003245));
    EXPECT_TRUE(SameIDType(static_cast<QSID>(0xB36900CEu), MakeID(3, 1, 0, 3, 150)));
}

TEST(KernelIds, LayerAndGraphFlagRoundTrip) {
    QSID id = 101000000 + 11;
    SetIDLayer(id, 3);
    EXPECT_EQ(id, 101030011);
    SetIDLayer(id, 0);
    EXPECT_EQ(id, 101000011);
    QSID g = GetGraphIDOf(101020016);
    EXPECT_EQ(g, 1101020016);
    EXPECT_EQ(GetIDLayer(g), 2);
    SetIDLayer(g, 5);
    EXPECT_EQ(g, 1101050016);  // the graph flag stays
    EXPECT_EQ(DelGraphIDOf(g), 101050016);
    EXPECT_EQ(DelGraphIDOf(101050016), 101050016);
    EXPECT_EQ(GetLayerNeutralID(1101050016), 101000016);
    EXPECT_EQ(MakeID(4, 1, 0, 1, 501), 401001501);
    QSID u = MakeID(1, 1, 0, 0, 5);
    SetIDDOType(u, 2);
    SetIDIndex(u, 777);
    EXPECT_EQ(u, 201000777);
}
}  // namespace

TEST(KernelIdsFields, InstanceAndIndexFromText) {
    QSID id = MakeID(8, 0, 0, 0, 7);  // a temporary graph id
    SetIDInstance(id, 1);
    EXPECT_EQ(id, MakeID(8, 1, 0, 0, 7));
    QSID g = GetGraphIDOf(101010001);
    SetIDInstance(g, 2);
    EXPECT_TRUE(IsGraphID(g));
    EXPECT_EQ(DelGraphIDOf(g), 102010001);

    CFormula f(MakeID(2, 1, 0, 0, 501));
    struct Case { const char* text; bool ok; int index; };
    const Case cases[] = {{"612", true, 612}, {" 7 ", true, 7}, {"", false, 7}, {"12a", false, 7},
                          {"1000", false, 7}, {"-5", false, 7}};
    for (const auto& c : cases) {
        EXPECT_EQ(f.SetIDIndexLabel(c.text) == 0, c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(GetIDIndex(f.GetIDNum()), c.index);
        }
    }
    EXPECT_EQ(GetIDIndex(f.GetIDNum()), 7);
    EXPECT_EQ(GetIDDOType(f.GetIDNum()), 2);
}
