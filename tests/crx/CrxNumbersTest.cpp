#include <gtest/gtest.h>

#include <cmath>

#include "CCrxApp.h"
#include "CrxNumbers.h"

namespace {

using namespace crx;

NumberLocale English() { return NumberLocale{}; }
NumberLocale German() {
    NumberLocale l;
    l.decimal = ",";
    l.thousands = ".";
    l.negativeOrder = 1;
    return l;
}

TEST(CrxNumbers, FormatFollowsTheLocale) {
    struct Case {
        const char* name;
        double v;
        int p;
        NumberLocale locale;
        const char* text;
    };
    NumberLocale bare = English();
    bare.leadingZero = false;
    bare.negativeOrder = 0;
    bare.grouping = 0;
    const Case cases[] = {
        {"plain", 1.23456, 4, English(), "1.2346"},
        {"grouped", 1234567.5, 1, English(), "1,234,567.5"},
        {"no decimals", 100.0, 0, English(), "100"},
        {"negative", -12.5, 2, English(), "-12.50"},
        {"rounds to zero without sign", -0.0001, 2, English(), "0.00"},
        {"other separators", 1234.5, 2, German(), "1.234,50"},
        {"no leading zero, parentheses, no grouping", -0.25, 2, bare, "(.25)"},
        {"no grouping", 1234.0, 0, bare, "1234"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatNumber(c.v, c.p, c.locale), QString(c.text)) << c.name;
    EXPECT_EQ(FormatNumber(std::nan(""), 2, English()), "");
    EXPECT_EQ(FormatNumber(HUGE_VAL, 2, English()), "");
}

TEST(CrxNumbers, TrimOnlyWithADecimalSeparator) {
    EXPECT_EQ(TrimNumber("12.500", English()), "12.5");
    EXPECT_EQ(TrimNumber("3.000", English()), "3");
    EXPECT_EQ(TrimNumber("100", English()), "100") << "no separator: kept";
    EXPECT_EQ(TrimNumber("1,50", German()), "1,5");
    EXPECT_EQ(TrimNumber(FormatNumber(100.0, 0, English()), English()), "100");
}

TEST(CrxNumbers, ParseAsTheGridReadsIt) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"", 0.0},          {"1.5", 1.5},     {"1,234.5", 1234.5}, {" 2 000.25", 2000.25}, {"(5)", -5.0},
        {"-3", -3.0},       {"abc", 0.0},     {"x7.5", 7.5},       {".5", 0.5},           {"1.2.3", 1.2},
        {"5-", -5.0},       {"--1", 0.0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(ParseNumber(c.text, English()), c.value) << c.text;
    EXPECT_DOUBLE_EQ(ParseNumber("1.234,5", German()), 1234.5);
}

TEST(CrxNumbers, ValueDialogCheck) {
    QString cleaned;
    EXPECT_EQ(CheckValueText("", &cleaned, English()), ValueText::Empty);
    EXPECT_EQ(CheckValueText("1,234.5", &cleaned, English()), ValueText::Ok);
    EXPECT_EQ(cleaned, "1234.5");
    EXPECT_DOUBLE_EQ(ParseNumber(cleaned, English()), 1234.5);
    for (const char* bad : {"1.2.3", "--1", "(5)", "1e5", "12a"})
        EXPECT_EQ(CheckValueText(bad, &cleaned, English()), ValueText::NotNumeric) << bad;
    EXPECT_EQ(CheckValueText("-0.5", &cleaned, English()), ValueText::Ok);
}

TEST(CrxCommandLine, RegistrationTokens) {
    using SC = CCrxApp::ServerCommand;
    struct Case {
        const char* line;
        SC command;
    };
    const Case cases[] = {
        {"/RegServer", SC::Register},       {"-regserver", SC::Register},     {"--RegServer", SC::Register},
        {"-Embedding /UnregServer", SC::Unregister}, {"/RegServer /x", SC::None}, {"RegServer", SC::None},
        {"", SC::None},                     {"/Automation", SC::None},
    };
    for (const Case& c : cases) EXPECT_EQ(CCrxApp::FindServerCommand(c.line), c.command) << c.line;
}

}  // namespace
