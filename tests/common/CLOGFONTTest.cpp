#include <gtest/gtest.h>

#include "CArchive.h"
#include "CLOGFONT.h"

namespace {
CLOGFONT SampleFont() {
    CLOGFONT f;
    f.m_lfHeight = -120;
    f.m_lfWidth = 7;
    f.m_lfEscapement = 900;
    f.m_lfOrientation = -900;
    f.m_lfWeight = 700;
    f.m_lfItalic = 1;
    f.m_lfUnderline = 2;
    f.m_lfStrikeOut = 3;
    f.m_lfCharSet = 4;
    f.m_lfOutPrecision = 5;
    f.m_lfClipPrecision = 6;
    f.m_lfQuality = 7;
    f.m_lfPitchAndFamily = 8;
    for (int i = 0; i < 32; ++i) f.m_lfFaceName[i] = static_cast<char>('A' + i % 26);
    f.m_lfFaceName[5] = '\0';  // bytes after the terminator travel too
    return f;
}

TEST(LogFont, StreamIsTheFieldsInOrderAndRoundTrips) {
    const CLOGFONT f = SampleFont();
    std::vector<std::uint8_t> bytes;
    f.Store(bytes);
    ASSERT_EQ(bytes.size(), 60u);  // 5 x 4 + 8 + 32
    EXPECT_EQ(bytes[20], 1);     // italic right after the five longs
    EXPECT_EQ(bytes[28], 'A');   // face name after the eight bytes
    EXPECT_EQ(bytes[0], 0x88);  // -120 little-endian
    EXPECT_EQ(bytes[3], 0xFF);
    CLOGFONT g{};
    ASSERT_TRUE(g.Load(bytes.data(), bytes.size()));
    EXPECT_EQ(std::memcmp(g.m_lfFaceName, f.m_lfFaceName, 32), 0);
    EXPECT_TRUE(g == f);
}

TEST(LogFont, FullFaceNameIsCopiedWhole) {
    CLOGFONT f = SampleFont();
    for (int i = 0; i < 31; ++i) f.m_lfFaceName[i] = 'x';
    f.m_lfFaceName[31] = '\0';
    QsLogFont lf{};
    EXPECT_EQ(f.GetLogFont(&lf), 0);
    EXPECT_EQ(std::string(lf.lfFaceName), std::string(31, 'x'));
    EXPECT_EQ(lf.lfWeight, 700);
}

TEST(LogFont, ArchiveFormIsTheStreamForm) {
    CLOGFONT f = SampleFont();
    std::vector<std::uint8_t> viaArchive;
    {
        CArchive ar(viaArchive, CArchive::store);
        f.Serialize(ar);
        ar.Close();
    }
    std::vector<std::uint8_t> direct;
    f.Store(direct);
    EXPECT_EQ(viaArchive, direct);
    CLOGFONT g{};
    CArchive in(viaArchive, CArchive::load);
    g.Serialize(in);
    EXPECT_TRUE(g == f);
}

TEST(LogFont, TruncatedArchiveReportsOnceAndReturns) {
    int reports = 0;
    CLOGFONT::SetErrorReporter([&](const std::string&) { ++reports; });
    std::vector<std::uint8_t> bytes;
    SampleFont().Store(bytes);
    bytes.resize(22);  // the five longs and two of the bytes
    CLOGFONT g{};
    g.m_lfCharSet = 77;
    CArchive in(bytes, CArchive::load);
    g.Serialize(in);  // does not throw
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(g.m_lfWeight, 700);
    EXPECT_EQ(g.m_lfCharSet, 77);
    CLOGFONT::SetErrorReporter(nullptr);
}

TEST(LogFont, TruncatedStreamReportsOnceAndKeepsTheRest) {
    int reports = 0;
    std::string text;
    CLOGFONT::SetErrorReporter([&](const std::string& t) { ++reports; text = t; });
    std::vector<std::uint8_t> bytes;
    SampleFont().Store(bytes);
    CLOGFONT g{};
    g.m_lfWeight = 1234;
    g.m_lfItalic = 99;
    EXPECT_FALSE(g.Load(bytes.data(), 10));
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(text, "void CLOGFONT::Serialize( CArchive& ar):CArchive Exception Error!");
    EXPECT_EQ(g.m_lfHeight, -120);  // read before the end
    EXPECT_EQ(g.m_lfWeight, 1234);  // left as it was
    EXPECT_EQ(g.m_lfItalic, 99);
    CLOGFONT::SetErrorReporter(nullptr);
}
}  // namespace
