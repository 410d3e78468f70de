#include "NumberFormat.h"
#include "SheetData.h"

#include <gtest/gtest.h>

using qs::ss::NumberFormat;

namespace {

struct FormatCase {
    double value;
    const char* format;
    const char* expected;
};

// Expected texts are what a spreadsheet user sees for these formats; pads
// ("_x") appear as one blank each.
const FormatCase kFormatCases[] = {
    {1234.567, "", "1234.567"},
    {1234.567, "General", "1234.567"},
    {-0.5, "General", "-0.5"},
    {1.0 / 3.0, "", "0.333333333"},
    {123456789012.0, "", "1.23457E+11"},
    {1234.567, "0", "1235"},
    {1234.567, "0.00", "1234.57"},
    {2.675, "0.00", "2.68"},      // decimal rounding, not the binary neighbour 2.67499..
    {-2.5, "0", "-3"},            // half away from zero
    {0.125, "0.00", "0.13"},
    {1234567.891, "#,##0", "1,234,568"},
    {1234567.891, "#,##0.000", "1,234,567.891"},
    {999.9996, "#,##0.000", "1,000.000"},  // rounding carries into a new group
    {0.4, "#,##0", "0"},
    {0.4, "#", ""},
    {0.25, "0%", "25%"},
    {0.12345, "0.00%", "12.35%"},
    {-1234.5, "#,##0.00", "-1,234.50"},
    {-1234.5, "#,##0.00_);(#,##0.00)", "(1,234.50)"},
    {1234.5, "#,##0.00_);(#,##0.00)", "1,234.50 "},
    {0.0, "#,##0;(#,##0);\"-\"", "-"},
    {-7.0, "#,##0;(#,##0);\"-\"", "(7)"},
    {5.0, "0;-0;;@", "5"},
    {0.0, "0;-0;;@", ""},
    {12.0, "\"$\"#,##0.00", "$12.00"},
    {-12.0, "\"$\"#,##0.00", "-$12.00"},
    {12.0, "0.0#", "12.0"},
    {12.345, "0.0#", "12.35"},
    {5.0, "00000", "00005"},
    {5.0, "0.??", "5.  "},
    {1234.0, "#,##0,", "1"},          // trailing comma scales by 1000
    {1500000.0, "0.0,,\"M\"", "1.5M"},
    {12345.0, "0.00E+00", "1.23E+04"},
    {0.00012, "0.0E+00", "1.2E-04"},
    {-3.0, "[Red]0;[Blue](0)", "(3)"},
    {3.0, "\\$0", "$3"},
    {0.0, "_(* #,##0_);_(* (#,##0);_(* \"-\"??_);_(@_)", " -   "},
    {1234.0, "_(* #,##0_);_(* (#,##0);_(* \"-\"??_);_(@_)", " 1,234 "},
    {-1234.0, "_(* #,##0_);_(* (#,##0);_(* \"-\"??_);_(@_)", " (1,234)"},
    // Later rows of a currency block: the symbol replaced by a pad of its width.
    {5.0, "_(\"$\"* #,##0.00_)", " $5.00 "},
    {5.0, "_(\"\"_$\"\"* #,##0.00_)", "  5.00 "},
    {0.05, "0.00_%", "0.05 "},
};

class NumberFormatCases : public ::testing::TestWithParam<FormatCase> {};

TEST_P(NumberFormatCases, FormatsValue) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(NumberFormat::Apply(QString::fromUtf8(c.format), c.value).toStdString(), c.expected)
        << "value " << c.value << " format " << c.format;
}

INSTANTIATE_TEST_SUITE_P(Table, NumberFormatCases, ::testing::ValuesIn(kFormatCases),
                         [](const ::testing::TestParamInfo<FormatCase>& info) {
                             return "Row" + std::to_string(info.index);
                         });

TEST(NumberFormat, TextSectionAndAtSign) {
    EXPECT_EQ(NumberFormat::ApplyText("_(@_);_(@_);_(@_);_(@_)", "Total"), " Total ");
    EXPECT_EQ(NumberFormat::ApplyText("@\" units\"", "7"), "7 units");
    EXPECT_EQ(NumberFormat::ApplyText("#,##0.00", "abc"), "abc");  // no text section: shown as is
    EXPECT_EQ(NumberFormat::Apply("@", 5.5), "5.5");                // text-only format on a number
}

TEST(NumberFormat, ColourTagsAndPadWidths) {
    const NumberFormat f("[Red]0.0;[Blue]-0.0_)");
    EXPECT_EQ(f.Format(1).color, QColor(Qt::red));
    const auto negative = f.Format(-1);
    EXPECT_EQ(negative.color, QColor(Qt::blue));
    ASSERT_EQ(negative.pads.size(), 1);
    EXPECT_EQ(negative.pads[0].pos, 4);
    EXPECT_EQ(negative.pads[0].width, QChar(u')'));
}

TEST(NumberFormat, MalformedFormatsAreInvalid) {
    for (const char* bad : {"0.00\"", "[Red", "0_", "0;0;0;@;0"}) EXPECT_FALSE(NumberFormat(bad).IsValid()) << bad;
    for (const char* good : {"", "0", "#,##0.00_);(#,##0.00)", "[Red]0"}) EXPECT_TRUE(NumberFormat(good).IsValid()) << good;
}

TEST(NumberFormat, EntryParsing) {
    struct {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"12", true, 12},        {" 1,234.5 ", true, 1234.5}, {"(7)", true, -7},   {"-3.5", true, -3.5},
        {"12%", true, 0.12},     {"1e3", true, 1000},         {"12a", false, 0},   {"1,23", false, 0},
        {"", false, 0},          {"abc", false, 0},           {"=1+2", false, 0},  {"-", false, 0},
    };
    for (const auto& c : cases) {
        double v = 0;
        EXPECT_EQ(qs::ss::SheetData::ParseEntry(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        }
    }
}

}  // namespace
