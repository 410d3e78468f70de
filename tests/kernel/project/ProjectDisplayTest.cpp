// Labels and display settings on their own, over a period structure.
#include <gtest/gtest.h>

#include "ProjectDisplay.h"
#include "ProjectPeriods.h"

namespace {
struct ProjectDisplayTest : ::testing::Test {
    void SetUp() override {
        QSStructure s;
        s.numExp = 3;
        s.numDev = 3;
        s.firstYear = 2001;
        s.prior = true;
        periods.Reset(s);
        display.SetDatesFormat(periods.DefaultDatesFormat());
        display.SetPeriodLabel(ProjectDisplay::PeriodWord(s.expLength));
    }
    QSStringArray Labels(LABELTYPES kind) {
        QSStringArray labels;
        caption.clear();
        EXPECT_EQ(display.Labels(periods, kind, labels, caption), qsk::kOk);
        return labels;
    }
    ProjectPeriods periods;
    ProjectDisplay display;
    std::string caption;
};

TEST_F(ProjectDisplayTest, LabelsOfEveryKind) {
    EXPECT_EQ(Labels(LBL_EXPOSURE), (QSStringArray{"Prior", "2002", "2003"}));
    EXPECT_EQ(caption, "Year");
    EXPECT_EQ(Labels(LBL_DEVELOPMENT), (QSStringArray{"12", "24", "36"}));
    EXPECT_EQ(Labels(LBL_EXHIBIT), (QSStringArray{"12-24", "24-36", "36-Ult"}));
    ASSERT_EQ(display.SetExhibitLabelFormat(1), qsk::kOk);
    EXPECT_EQ(Labels(LBL_EXHIBIT), (QSStringArray{"24/12", "36/24", "36-Ult"}));
    EXPECT_EQ(Labels(LBL_CALENDAR), (QSStringArray{"2001", "2002", "2003"}));
    EXPECT_EQ(caption, "Calendar Year");
    ASSERT_EQ(display.SetHistLabel(1, "Last year"), qsk::kOk);
    EXPECT_EQ(Labels(LBL_HISTORICAL), (QSStringArray{"", "Last year"}));
    QSStringArray none;
    EXPECT_EQ(display.Labels(periods, static_cast<LABELTYPES>(9), none, caption), qsk::kFail);
    EXPECT_EQ(display.ExposureLabel(periods, 3), "");
}

TEST_F(ProjectDisplayTest, CalendarLabelsReachAnAppendedEvaluation) {
    QSStructure s = periods.Structure();
    s.evalExtra = 24;
    periods.SetStructure(s);
    EXPECT_EQ(Labels(LBL_CALENDAR), (QSStringArray{"2001", "2002", "2003", "2004", "2005"}));
}

TEST_F(ProjectDisplayTest, RefusedSettingsLeaveEverythingAsItWas) {
    const QSDisplayDefaults before = display.Numbers();
    EXPECT_EQ(display.SetCurrencySymbol("EURO$", 1), qsk::kFail);
    EXPECT_EQ(display.SetCurrencySymbol("$", 2), qsk::kFail);
    EXPECT_EQ(display.SetNegSymbol("--", 1, 0), qsk::kFail);
    EXPECT_EQ(display.SetThousDecSymbol('.', '.', 1), qsk::kFail);
    EXPECT_EQ(display.SetThousDecSymbol(',', 0, 1), qsk::kFail);
    EXPECT_EQ(display.Numbers().currency, before.currency);
    EXPECT_EQ(display.Numbers().currencyPosition, before.currencyPosition);
    EXPECT_EQ(display.Numbers().negSymbol, before.negSymbol);
    EXPECT_EQ(display.Numbers().thousands, before.thousands);
    EXPECT_EQ(display.Numbers().decimal, before.decimal);

    EXPECT_EQ(display.SetDatesFormat(""), qsk::kFail);
    EXPECT_EQ(display.DatesFormat(), "yyyy");
    EXPECT_EQ(display.SetExhibitLabelFormat(2), qsk::kFail);
    EXPECT_EQ(display.ExhibitLabelFormat(), 0);
    EXPECT_EQ(display.SetHistLabel(ProjectDisplay::kMaxHistoricals, "x"), qsk::kOutOfRange);
    EXPECT_EQ(display.SetHistLabel(-1, "x"), qsk::kOutOfRange);
    EXPECT_TRUE(display.HistLabels().empty());

    // Accepted values are normalised: flags to 0/1.
    EXPECT_EQ(display.SetNegSymbol("-", 7, 9), qsk::kOk);
    EXPECT_EQ(display.Numbers().negLeading, 1);
    EXPECT_EQ(display.Numbers().negRed, 1);
}

TEST(ProjectDisplay, NewDisplaysTakeTheProcessDefaults) {
    const QSDisplayDefaults saved = ProjectDisplay::GetDefaults();
    QSDisplayDefaults d;
    d.currency = "EUR";
    d.decimal = ',';
    d.thousands = '.';
    ProjectDisplay::SetDefaults(d);
    const ProjectDisplay display;
    ProjectDisplay::SetDefaults(saved);
    EXPECT_EQ(display.Numbers().currency, "EUR");
    EXPECT_EQ(display.Numbers().decimal, ',');
    EXPECT_EQ(display.ShowTableId(), 1);
}
}  // namespace
