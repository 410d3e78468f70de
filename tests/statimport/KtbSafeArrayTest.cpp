// With the session's coded-values flag the library fills automation safe
// arrays instead of flat buffers. The flag is never cleared in a process, so
// these cases live in a test program of their own.
#include <gtest/gtest.h>

#include <cstring>

#include "Ktb.h"
#include "SafeArray.h"
#include "TestEnvironment.h"

namespace {

using namespace winmem;

class KtbSafeArrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        qs::test::SetEnv("QS_STAT_DIR", qs::test::BinDir() + "/statistics");
        char product[11] = "ZID_IVI";
        ASSERT_EQ(KtbInit(product, 1), KTB_SUCCESS);
        ASSERT_EQ(KtbOpenTable("VEZIR", "Main", &m_table), KTB_SUCCESS);
        ASSERT_EQ(KtbAddEntityMain(m_table, "00123"), KTB_SUCCESS);
    }
    void TearDown() override { KtbTerm(); }
    int m_table = 0;
};

TEST_F(KtbSafeArrayTest, NumbersFillAsManyElementsAsTheArrayHas) {
    ASSERT_EQ(KtbAddVar(m_table, "S1"), KTB_SUCCESS);
    SAFEARRAY* all = SafeArrayCreateVector(VT_R8, 0, 10);
    ASSERT_EQ(KtbGetVarData(m_table, 0, &all), KTB_SUCCESS);
    EXPECT_DOUBLE_EQ(all->doubles[0], 100.0);
    EXPECT_DOUBLE_EQ(all->doubles[9], 1000.0);
    SAFEARRAY* few = SafeArrayCreateVector(VT_R8, 0, 3);
    EXPECT_EQ(KtbGetVarData(m_table, 0, &few), KTB_SUCCESS);
    EXPECT_DOUBLE_EQ(few->doubles[2], 300.0);
    // A lower bound other than 0 is filled from its own first element.
    SAFEARRAY* shifted = SafeArrayCreateVector(VT_R8, 5, 2);
    EXPECT_EQ(KtbGetVarData(m_table, 0, &shifted), KTB_SUCCESS);
    EXPECT_DOUBLE_EQ(shifted->doubles[1], 200.0);
    // An array of the wrong element type is refused.
    SAFEARRAY* ints = SafeArrayCreateVector(VT_I4, 0, 10);
    EXPECT_EQ(KtbGetVarData(m_table, 0, &ints), KTB_CANNOT_RETRIEVE);
    for (SAFEARRAY* a : {all, few, shifted, ints}) SafeArrayDestroy(a);
}

TEST_F(KtbSafeArrayTest, TextsGoIntoTheElementsOwnStorage) {
    ASSERT_EQ(KtbAddVar(m_table, "N1"), KTB_SUCCESS);
    SAFEARRAY* texts = SafeArrayCreateVector(VT_BSTR, 0, 3);
    texts->strings[0] = SysAllocStringByteLen(nullptr, 255);
    texts->strings[1] = SysAllocStringByteLen(nullptr, 255);
    texts->strings[2] = SysAllocStringByteLen(nullptr, 4);  // too short: cut, never overrun
    ASSERT_EQ(KtbGetVarData(m_table, 0, &texts), KTB_SUCCESS);
    EXPECT_EQ(std::strlen(texts->strings[0]), 254u);
    EXPECT_STREQ(texts->strings[1], "");
    EXPECT_STREQ(texts->strings[2], "Shor");
    EXPECT_EQ(SysStringByteLen(texts->strings[0]), 255u);  // the recorded length stays
    SafeArrayDestroy(texts);

    // Single values always come flat.
    char one[255];
    ASSERT_EQ(KtbGetSingleValue(m_table, 0, 2, one), KTB_SUCCESS);
    EXPECT_STREQ(one, "Short note");
}

}  // namespace
