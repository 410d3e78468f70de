// The library's texts and the drivers-line edit, checked without a window,
// a server or a second process.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "MessageFormat.h"

namespace {

using namespace faultbox;

constexpr const char* kDate = "Jan  1 2026";
constexpr const char* kTime = "12:00:00";

TEST(MessageFormat, BoxTextsAndLinesKeepTheirExactLayout) {
    EXPECT_EQ(ErrorBoxText("disk full", "save.cpp", 17, kDate, kTime),
              "ERRORMSG: Debug Mode Message\n\ndisk full\n\nFILE: save.cpp\nLINE: 17\nLAST COMPILED: Jan  1 2026 "
              "12:00:00\n");
    EXPECT_EQ(ErrorLine("disk full", "save.cpp", 17, kDate, kTime),
              "*****ERRORMSG: disk full FILE: save.cpp LINE: 17 LAST COMPILED: Jan  1 2026 12:00:00\n");
    EXPECT_EQ(TraceLine("loop", "calc.cpp", 3, kDate, kTime),
              "TRACE_MSG: loop  FILE: calc.cpp  LINE: 3  LAST COMPILED: Jan  1 2026 12:00:00\n");
    // Null texts are empty, never a crash.
    EXPECT_EQ(TraceLine(nullptr, nullptr, -1, nullptr, nullptr), "TRACE_MSG:   FILE:   LINE: -1  LAST COMPILED:  \n");
}

struct AlertCase {
    char priority;
    const char* boxWord;
    const char* lineWord;
    friend std::ostream& operator<<(std::ostream& os, const AlertCase& c) { return os << "priority " << +c.priority; }
};

class AlertTexts : public ::testing::TestWithParam<AlertCase> {};

TEST_P(AlertTexts, CarryThePriorityWord) {
    const AlertCase& c = GetParam();
    EXPECT_EQ(AlertBoxText(c.priority, "low cash", "a.cpp", 9, kDate, kTime),
              std::string("ALERT: ") + c.boxWord +
                  "Debug Mode Message\n\nlow cash\n\nFILE: a.cpp\nLINE: 9\nLAST COMPILED: Jan  1 2026 12:00:00\n");
    EXPECT_EQ(AlertLine(c.priority, "low cash", "a.cpp", 9, kDate, kTime),
              std::string("**ALERT:") + c.lineWord + "low cash FILE: a.cpp LINE: 9 LAST COMPILED: Jan  1 2026 12:00:00\n");
}

INSTANTIATE_TEST_SUITE_P(Priorities, AlertTexts,
                         ::testing::Values(AlertCase{'1', "CRITICAL ", "CRITICAL - "},
                                           AlertCase{'2', "WARNING ", "WARNING - "},
                                           AlertCase{'3', "INFORMATIONAL ", "INFORMATIONAL - "},
                                           AlertCase{'0', "", ""}, AlertCase{'9', "", ""}));

TEST(MessageFormat, AlertPriorityFilter) {
    struct Row {
        char shown;
        char priority;
        bool passes;
    } rows[] = {
        {'0', '1', false}, {'0', '3', false}, {'1', '1', true},  {'1', '2', false}, {'2', '1', true},
        {'2', '2', true},  {'2', '3', false}, {'3', '1', true},  {'3', '3', true},  {'3', '9', false},
        {'3', '0', true},  // no priority word, but it passes
        {'3', '\xE9', true},  // signed comparison: a high byte is negative and passes
    };
    for (const Row& r : rows)
        EXPECT_EQ(AlertPriorityShown(r.priority, r.shown), r.passes) << "shown " << r.shown << " priority " << +r.priority;
}

TEST(MessageFormat, LongLinesKeepTheirEnd) {
    const std::string line = ErrorLine(std::string(300, 'm').c_str(), "end.cpp", 99, kDate, kTime);
    const std::string cut = RightMost(line);
    ASSERT_EQ(cut.size(), 250u);
    EXPECT_EQ(cut, line.substr(line.size() - 250));
    EXPECT_TRUE(cut.ends_with("mmm FILE: end.cpp LINE: 99 LAST COMPILED: Jan  1 2026 12:00:00\n"));
    EXPECT_EQ(RightMost(std::string(250, 'x')), std::string(250, 'x'));
    // A two-byte character cut in half at the front is dropped whole.
    std::string utf8 = "\xC3\xA9" + std::string(249, 'y');
    EXPECT_EQ(RightMost(utf8), std::string(249, 'y'));
}

TEST(MessageFormat, DriverMessageLine) {
    EXPECT_EQ(DriverMessageLine("Inside ShowErrors\t", 0, 0),
              "PCrftFaultbox: Inside ShowErrors\t\tlParam1 = 00000000, lParam2 = 00000000\n\r");
    EXPECT_EQ(DriverMessageLine("x", 0x1f, 255), "PCrftFaultbox: x\tlParam1 = 0000001f, lParam2 = 000000ff\n\r");
    // A long message is shortened to fit 199 characters; the values stay.
    const std::string line = DriverMessageLine(std::string(400, 'a').c_str(), 1, 2);
    EXPECT_EQ(line.size(), 199u);
    EXPECT_TRUE(line.ends_with("aaa\tlParam1 = 00000001, lParam2 = 00000002\n\r")) << line;
}

struct DriversCase {
    const char* name;
    std::string before;
    bool add;
    std::string after;
    bool changed;
    friend std::ostream& operator<<(std::ostream& os, const DriversCase& c) { return os << c.name; }
};

class DriversLine : public ::testing::TestWithParam<DriversCase> {};

TEST_P(DriversLine, EditsOnlyTheWholeEntry) {
    const DriversCase& c = GetParam();
    std::string line = c.before;
    EXPECT_EQ(EditDriversLine(line, "faultbox.dll", c.add), c.changed);
    EXPECT_EQ(line, c.after);
}

const std::string kLongLine = std::string(150, 'a') + ".drv " + std::string(120, 'b') + ".drv";

INSTANTIATE_TEST_SUITE_P(
    Cases, DriversLine,
    ::testing::Values(
        DriversCase{"AddToEmpty", "", true, " faultbox.dll", true},
        DriversCase{"AddAppends", "mmsystem.dll", true, "mmsystem.dll faultbox.dll", true},
        DriversCase{"AddPresentIsNoChange", "a.drv faultbox.dll b.drv", true, "a.drv faultbox.dll b.drv", false},
        DriversCase{"AddBesideLookAlike", "xfaultbox.dll", true, "xfaultbox.dll faultbox.dll", true},
        DriversCase{"AddToLongLineKeepsAll", kLongLine, true, kLongLine + " faultbox.dll", true},
        DriversCase{"RemoveLast", "mmsystem.dll faultbox.dll", false, "mmsystem.dll", true},
        DriversCase{"RemoveMiddle", "a.drv faultbox.dll b.drv", false, "a.drv b.drv", true},
        DriversCase{"RemoveFirst", "faultbox.dll b.drv", false, "b.drv", true},
        DriversCase{"RemoveOnly", "faultbox.dll", false, "", true},
        DriversCase{"RemoveSkipsLookAlikes", "xfaultbox.dll faultbox.dllx faultbox.dll", false,
                    "xfaultbox.dll faultbox.dllx", true},
        DriversCase{"RemoveAbsentIsNoChange", "xfaultbox.dll", false, "xfaultbox.dll", false},
        DriversCase{"RemoveFromLongLine", kLongLine + " faultbox.dll", false, kLongLine, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
