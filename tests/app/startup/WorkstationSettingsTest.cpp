#include <gtest/gtest.h>

#include <string>

#include "QsProfile.h"
#include "TestEnvironment.h"
#include "startup/WorkstationSettings.h"

namespace {

using namespace qs::app;

TEST(WorkstationSettings, LayerColourText) {
    struct Case {
        const char* text;
        COLORREF color;
    } cases[] = {
        {"0,0,0,", 0},          {"255,0,0,", 255},        {"0,255,0,", 255u << 8},  {"1,2,3,", 1 + 2 * 256 + 3 * 65536},
        {"300,0,0,", 44},       {"255,0,0", 0},           {"", 0},                  {"12", 0},
        {"0,0,0,", 0},          {" 7, 8, 9,", 7 + 8 * 256 + 9 * 65536},              {"-1,0,0,", 255},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseLayerColor(c.text), c.color) << c.text;
    EXPECT_EQ(FormatLayerColor(0), "0,0,0,");
    EXPECT_EQ(FormatLayerColor(1 + 2 * 256 + 3 * 65536), "1,2,3,");
    EXPECT_EQ(ParseLayerColor(FormatLayerColor(0x00A0B0C0)), 0x00A0B0C0u);
}

TEST(WorkstationSettings, YesNoAndTrailingSeparators) {
    for (const char* on : {"Yes", "yes", "Y", "yup"}) EXPECT_TRUE(ParseYesNo(on)) << on;
    for (const char* off : {"No", "1", "", " Yes", "true"}) EXPECT_FALSE(ParseYesNo(off)) << off;
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {{"/a/b", "/a/b"}, {"/a/b/", "/a/b"}, {"/a/b//", "/a/b"}, {"C:\\data\\\\", "C:\\data"},
                 {"/", "/"},       {"", ""}};
    for (const auto& c : cases) EXPECT_EQ(StripTrailingSeparators(c.in), c.out) << c.in;
    EXPECT_EQ(HelpFileName(2), "QstoneEE.chm");
    EXPECT_EQ(HelpFileName(4), "QstoneEE.chm");
    EXPECT_EQ(HelpFileName(5), "Qstone.chm");
}

TEST(WorkstationSettings, IntegerSettingsFromTheProfile) {
    const std::string profile = qs::test::MakeTempDir("ws") + "/qstone5.ini";
    struct Case {
        const char* stored;  // nullptr: key missing
        int layer;
        bool fullPrecision;
    } cases[] = {{nullptr, 1, false}, {"1", 1, true}, {"5", 5, false}, {"7", 1, false},
                 {"0", 1, false},     {"2", 2, false}, {"-3", 1, false}};
    for (const auto& c : cases) {
        if (c.stored) {
            qs::profile::WriteString(profile, "Settings", "DefaultLayer", c.stored);
            qs::profile::WriteString(profile, "Settings", "ColumnSumFullPrecision", c.stored);
        } else {
            qs::profile::DeleteSection(profile, "Settings");
        }
        const int read = LoadDefaultLayer(profile);
        EXPECT_EQ(Settings().defaultLayer, c.layer) << (c.stored ? c.stored : "missing");
        EXPECT_EQ(Settings().workingDefaultLayer, c.layer);
        if (c.stored) {
            EXPECT_EQ(read, std::stoi(c.stored));
        }
        EXPECT_EQ(LoadColumnSumFullPrecision(profile), c.fullPrecision) << (c.stored ? c.stored : "missing");
        EXPECT_EQ(bGlobalVarColumnSumFullPrecision, c.fullPrecision);
    }
}

TEST(WorkstationSettings, LayerColoursRoundTripAndWorkingSetFollows) {
    const std::string profile = qs::test::MakeTempDir("ws") + "/qstone5.ini";
    qs::profile::WriteString(profile, "LayerColors", "Ceded", "10,20,30,");
    LoadLayerColors(profile);
    EXPECT_EQ(Settings().layerColors[2], 10u + 20u * 256 + 30u * 65536);
    EXPECT_EQ(Settings().workingLayerColors[2], Settings().layerColors[2]);
    EXPECT_EQ(Settings().layerColors[0], 0u);
    Settings().layerColors[4] = 255;
    Settings().workingLayerColors[4] = 0x123456;  // the working set is never written
    SaveLayerColors(profile);
    EXPECT_EQ(qs::profile::ReadString(profile, "LayerColors", "Assumed"), "255,0,0,");
    EXPECT_EQ(qs::profile::ReadString(profile, "LayerColors", "Net"), "0,0,0,");
}

}  // namespace
