#include <gtest/gtest.h>

#include "formats/AppSeparators.h"
#include "formats/CNumberFormat.h"
#include "formats/NumberFormatBuilders.h"

namespace {

struct GroupCase {
    const char* decimal;
    const char* thousands;
    const char* in;
    const char* out;
};

TEST(NumberFormat, InsertsThousandsSeparatorsOnlyIntoTheIntegerPart) {
    const GroupCase cases[] = {
        {".", ",", "123", "123"},
        {".", ",", "1234", "1,234"},
        {".", ",", "1234567.125", "1,234,567.125"},
        {".", ",", "0.12345", "0.12345"},
        {".", ",", "-1234", "-1,234"},
        {".", ",", " 123456 ", " 123,456 "},
        {".", ",", "(1234.5)", "(1,234.5)"},
        {",", ".", "1234567,125", "1.234.567,125"},
        {",", ".", "0,12345", "0,12345"},
        {",", "", "1234567", "1234567"},  // no separator known: unchanged
        {"", ",", "1234567", "1,234,567"},
    };
    for (const GroupCase& c : cases) {
        const CNumberFormat format(QString::fromUtf8(c.decimal), QString::fromUtf8(c.thousands));
        EXPECT_EQ(format.InsertThousandsSeparators(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
    }
}

TEST(NumberFormat, GroupingUsesAtMost255Characters) {
    const CNumberFormat format(".", ",");
    EXPECT_EQ(format.InsertThousandsSeparators(QString(300, u'x')).size(), 255);
}

struct ParseCase {
    const char* decimal;
    const char* thousands;
    const char* text;
    double value;
};

TEST(NumberFormat, ParsesDisplayedNumbers) {
    const ParseCase cases[] = {
        {".", ",", "", 0.0},
        {".", ",", "abc", 0.0},
        {".", ",", "(1,234.50)", -1234.5},
        {".", ",", "-1,234.50", -1234.5},  // not negated twice
        {".", ",", "1234-", -1234.0},      // trailing-minus style
        {".", ",", " 1 234 ", 1234.0},
        {".", ",", "$1,000.25", 1000.25},
        {".", ",", "12.5%", 12.5},
        {".", ",", ".5", 0.5},
        {".", ",", "1.5E-3", 0.0015},       // the exponent's minus is not the number's
        {".", ",", "1.5e-3", 0.0015},
        {".", ",", "-1.5E-3", -0.0015},
        {".", ",", "(1.5E-3)", -0.0015},
        {".", ",", "2E+3", 2000.0},
        {".", ",", "1.2.3", 1.2},           // reading stops at the second point
        {",", ".", "1.234,50", 1234.5},
        {",", ".", "(1.234,50)", -1234.5},
        {",", ".", "0,001", 0.001},
        {",", ".", "1,5E-3", 0.0015},
        {",", "\u00a0", "1\u00a0234,5", 1234.5},
    };
    for (const ParseCase& c : cases) {
        const CNumberFormat format(QString::fromUtf8(c.decimal), QString::fromUtf8(c.thousands));
        QString text = QString::fromUtf8(c.text);
        EXPECT_DOUBLE_EQ(format.ParseNumber(text), c.value) << c.text;
    }
}

TEST(NumberFormat, ParseLeavesTheCleanedTextBehind) {
    const CNumberFormat format(",", ".");
    QString text = "1.234,5 ";
    format.ParseNumber(text);
    EXPECT_EQ(text, "1234.5");
}

TEST(NumberFormat, ParseFormattedNumberUsesTheApplicationSeparators) {
    qs::app::SetApplicationSeparators(u',', u'.');
    QString text = "-12.345,75";
    EXPECT_DOUBLE_EQ(ParseFormattedNumber(text), -12345.75);
    qs::app::SetApplicationSeparators(u'.', u',');
    text = "-12,345.75";
    EXPECT_DOUBLE_EQ(ParseFormattedNumber(text), -12345.75);
}

TEST(NumberFormat, CombinePathJoinsWithAtMostOneSlash) {
    const struct {
        const char* left;
        const char* right;
        const char* joined;
    } cases[] = {
        {"/opt/qs/ ", " /tips.txt", "/opt/qs/tips.txt"},
        {"/opt/qs", "/tips.txt", "/opt/qs/tips.txt"},
        {"/opt/qs/", "tips.txt", "/opt/qs/tips.txt"},
        {"/opt/qs", "tips.txt", "/opt/qstips.txt"},  // nothing is added
        {"", "/tips.txt", "/tips.txt"},
        {"/opt/qs/\t", "\t//tips.txt", "/opt/qs//tips.txt"},  // only one slash is dropped
    };
    for (const auto& c : cases)
        EXPECT_EQ(CombinePath(c.left, c.right), QString::fromUtf8(c.joined)) << c.left << "|" << c.right;
}

struct BuildCase {
    int style;
    bool thousands;
    int decimals;
    char16_t decimal;
    char16_t group;
    const char* number;
    const char* percent;
};

TEST(NumberFormatBuilders, NumberAndPercentPatterns) {
    const BuildCase cases[] = {
        {0, true, 2, u'.', u',', "_(#,##0.00_);(#,##0.00)", "_(#,##0.00_)\"%\";(#,##0.00)\"%\""},
        {0, false, 0, u'.', u',', "_(0_);(0)", "_(0_)\"%\";(0)\"%\""},
        {1, true, 2, u'.', u',', "#,##0.00;-#,##0.00", "#,##0.00\"%\";-#,##0.00\"%\""},
        {1, false, 3, u',', u'.', "0,000;-0,000", "0,000\"%\";-0,000\"%\""},
        {1, true, 1, u',', u'.', "#.##0,0;-#.##0,0", "#.##0,0\"%\";-#.##0,0\"%\""},
        {2, true, 0, u'.', u',', "#,##0_-;#,##0-", "#,##0_-\"%\";#,##0-\"%\""},
        {2, false, 1, u',', u' ', "0,0_-;0,0-", "0,0_-\"%\";0,0-\"%\""},
        {2, true, 1, u',', u' ', "# ##0,0_-;# ##0,0-", "# ##0,0_-\"%\";# ##0,0-\"%\""},
        {3, true, 2, u'.', u',', "", ""},
        {-1, true, 2, u'.', u',', "", ""},
    };
    for (const BuildCase& c : cases) {
        EXPECT_EQ(qs::app::BuildNumberFormat(c.style, c.thousands, c.decimals, c.decimal, c.group),
                  QString::fromUtf8(c.number))
            << c.style << c.thousands << c.decimals;
        EXPECT_EQ(qs::app::BuildPercentFormat(c.style, c.thousands, c.decimals, c.decimal, c.group),
                  QString::fromUtf8(c.percent))
            << c.style << c.thousands << c.decimals;
    }
}

TEST(NumberFormatBuilders, AccountingPatternsPlaceSymbolSeparatorAndDecimals) {
    const struct {
        int style;
        bool before;
        bool thousands;
        int decimals;
        const char* symbol;
        char16_t decimal;
        char16_t group;
        const char* code;
    } cases[] = {
        {0, true, true, 2, "$", u'.', u',', R"f(_("$"* #,##0.00_);_("$"* (#,##0.00);_("$"* "-"??_);_(@_))f"},
        {0, true, false, 0, "$", u'.', u',', R"f(_("$"* 0_);_("$"* (0);_("$"* "-"??_);_(@_))f"},
        {0, false, true, 2, "€", u',', u'.', R"f(_(* #.##0,00_)"€";_(* (#.##0,00)"€";_(* "-"??_)"€";_(@_))f"},
        {0, false, false, 1, "€", u',', u'.', R"f(_(* 0,0_)"€";_(* (0,0)"€";_(* "-"??_)"€";_(@_))f"},
        {1, true, true, 2, "$", u'.', u',', R"f(_("$"* #,##0.00_);_("$"* -#,##0.00_);_("$"* "-"??_);_(@_))f"},
        {1, true, false, 2, "$", u'.', u',', R"f(_("$"* 0.00_);_("$"* -0.00_);_("$"* "-"??_);_(@_))f"},
        {1, false, true, 2, "kr", u',', u' ', R"f(_(# ##0,00"kr"_);_(-# ##0,00"kr"_);_("-"??"kr"_);_(@_))f"},
        {1, false, false, 0, "kr", u',', u' ', R"f(_(0"kr"_);_(-0"kr"_);_("-"??"kr"_);_(@_))f"},
        {2, true, true, 2, "$", u'.', u',', R"f(_("$"* #,##0.00_-_);_("$"* #,##0.00-_);_("$"* ??"-"_);_(@_))f"},
        {2, true, false, 2, "$", u'.', u',', R"f(_("$"* 0.00_-_);_("$"* 0.00-_);_("$"* ??"-"_);_(@_))f"},
        {2, false, true, 2, "€", u',', u'.', R"f(_(#.##0,00_-"€"_);_(#.##0,00-"€"_);_(??"-""€"_);_(@_))f"},
        {2, false, false, 2, "€", u',', u'.', R"f(_(0,00_-"€"_);_(0,00-"€"_);_(??"-""€"_);_(@_))f"},
        {5, true, true, 2, "$", u'.', u',', ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qs::app::BuildAccountingFormat(c.style, c.before, c.thousands, c.decimals,
                                                 QString::fromUtf8(c.symbol), c.decimal, c.group),
                  QString::fromUtf8(c.code))
            << c.style << c.before << c.thousands;
}

TEST(NumberFormatBuilders, DefaultsUseTheApplicationSeparators) {
    qs::app::SetApplicationSeparators(u',', u'.');
    EXPECT_EQ(BuildNumberFormat(1, true, 2), "#.##0,00;-#.##0,00");
    EXPECT_EQ(BuildPercentFormat(1, false, 1), "0,0\"%\";-0,0\"%\"");
    EXPECT_EQ(BuildAccountingFormat(1, true, false, 0, "$"), R"f(_("$"* 0_);_("$"* -0_);_("$"* "-"??_);_(@_))f");
    qs::app::SetApplicationSeparators(u'.', u',');
}

}  // namespace
