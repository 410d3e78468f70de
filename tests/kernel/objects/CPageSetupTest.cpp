#include <gtest/gtest.h>

#include "CArchive.h"
#include "CPageSetup.h"

namespace {
CPageSetup Edited() {
    CPageSetup p;
    p.m_nKeyValue = 65535;
    p.m_nOrientation = 2;
    p.m_dTopMargin = 1.0;
    p.m_dLeftMargin = 0.5;
    p.m_nScalePercent = 85;
    p.m_nSeriesByDiagonals = -100;
    p.m_HeaderStrings = {"&[Company]", "Loss triangles", "&[Date]"};
    p.m_TitleFont.SetFace("Courier New");
    p.m_TitleFont.m_lfHeight = 140;
    return p;
}

TEST(PageSetup, EqualityAndAssignment) {
    CPageSetup a, b;
    EXPECT_TRUE(a == b);
    b.m_bFitRows = 1;
    EXPECT_TRUE(a != b);
    a = Edited();
    EXPECT_TRUE(a == Edited());
    a.m_FooterStrings[2] = "x";
    EXPECT_FALSE(a == Edited());
    CPageSetup c(Edited());
    EXPECT_TRUE(c == Edited());
}

TEST(PageSetup, SerializeRoundTripsAtEitherVersion) {
    for (int version : {0, 1}) {
        std::vector<std::uint8_t> bytes;
        {
            CArchive ar(bytes, CArchive::store);
            CPageSetup p = Edited();
            p.Serialize(ar);
            ar.Close();
        }
        CPageSetup::SetVersion(version);
        CPageSetup q;
        CArchive in(bytes, CArchive::load);
        q.Serialize(in);
        CPageSetup::SetVersion(0);
        EXPECT_TRUE(q == Edited()) << version;
        EXPECT_EQ(q.m_TitleFont.GetFace(), "Courier New");
    }
}

TEST(PageSetup, DamagedRecordThrowsAndChangesNothing) {
    std::vector<std::uint8_t> bytes;
    {
        CArchive ar(bytes, CArchive::store);
        CPageSetup p = Edited();
        p.Serialize(ar);
        ar.Close();
    }
    std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + bytes.size() / 2);
    CPageSetup q;
    CArchive in(cut, CArchive::load);
    EXPECT_THROW(q.Serialize(in), CArchiveException);
    EXPECT_TRUE(q == CPageSetup());
    bytes[3] ^= 0x7F;  // the layout number inside the record
    CArchive in2(bytes, CArchive::load);
    EXPECT_THROW(q.Serialize(in2), CArchiveException);
    EXPECT_TRUE(q == CPageSetup());
}
}  // namespace
