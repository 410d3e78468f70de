// The labels sheet: the row pattern, period word and developed format reach
// the project at once; the Dates page checks a typed exposure date or
// development period before storing it; the historical labels are written
// when their page is left; the File Labels command puts everything back
// after a Cancel.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "CLabelsPropertySheet.h"
#include "CProject.h"
#include "CProjectDoc.h"
#include "MessageBox.h"
#include "ModalScript.h"
#include "ProjectHost.h"
#include "SpreadsheetControl.h"
#include "TestEnvironment.h"

namespace {

using qs::fw::ModalScript;

std::vector<std::string> Twelve(const char* prefix) {
    std::vector<std::string> labels;
    for (int i = 1; i <= 12; ++i) labels.push_back(prefix + std::to_string(i));
    return labels;
}

class LabelsSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::uint16_t gen = 5, numExp = 5, firstYear = 2001, interval = 1, numDev = 5, firstAge = 12;
        PRDLENGTH len = PRD_YEAR, devLen = PRD_YEAR;
        LAYERNAMES c1 = GROSS, c2 = ASSUMED;
        ASSERT_EQ(Project().Create(gen, numExp, len, firstYear, interval, numDev, devLen, firstAge, c1, c2), 0);
    }
    CProject& Project() { return *m_doc.GetProject(); }
    // Runs the sheet on the project with the handler playing the user, who ends it with OK.
    void Play(const std::function<void(CLabelsPropertySheet&)>& user, bool ok = true) {
        CLabelsPropertySheet sheet(&Project());
        sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
        ModalScript script;
        script.Then<CLabelsPropertySheet>([&](CLabelsPropertySheet& s) {
            user(s);
            s.PressButton(ok ? PSBTN_OK : PSBTN_CANCEL);
            if (s.isVisible()) s.EndDialog(IDCANCEL);
        });
        sheet.DoModal();
        m_changed = sheet.m_bLabelsChanged;
    }
    // On the Dates page: picks the grid's heading and applies text.
    static void Apply(CLabelsPropertySheet& s, int row, int col, const QString& text) {
        s.SetActivePage(&s.m_page2);
        s.OnGridClick(row, col);
        QTest::keyClick(s.m_page2.DateField(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(s.m_page2.DateField(), Qt::Key_Backspace);
        QTest::keyClicks(s.m_page2.DateField(), text);
        s.m_page2.OnApplyDate();
    }
    CProjectDoc m_doc;
    int m_changed = 0;
};

TEST_F(LabelsSheetTest, FormatsReachTheProjectAndThePreview) {
    Play([](CLabelsPropertySheet& s) {
        QListWidget* patterns = s.m_page1.Patterns();
        ASSERT_EQ(patterns->count(), 32);
        EXPECT_EQ(patterns->item(8)->text(), QStringLiteral("mm'-'dd'-'yyyy'-'f"));
        EXPECT_EQ(patterns->item(31)->text(), QStringLiteral("yy'-'m"));
        // The project's pattern is the one chosen; opening marks nothing.
        EXPECT_EQ(s.m_bLabelsChanged, 0);

        ASSERT_NE(patterns->currentItem(), nullptr);
        EXPECT_EQ(patterns->currentItem()->text(), QStringLiteral("yyyy"));
        patterns->setCurrentRow(4);
        EXPECT_EQ(s.Project()->GetDatesFormat(), "mm'-'yyyy");
        EXPECT_EQ(s.Grid()->RowHeadingText(1), QStringLiteral("01-2001"));
        QTest::keyClick(s.m_page1.PeriodType(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(s.m_page1.PeriodType(), "Accident Year");
        EXPECT_EQ(s.Project()->GetPeriodLabel(), "Accident Year");
        EXPECT_EQ(s.Grid()->CornerText(), QStringLiteral("Accident Year"));
        s.m_page1.FormatButton(1)->click();
        EXPECT_EQ(s.Project()->GetExhibitLabelFormat(), 1);
        // Enter in a field never closes the sheet.
        QTest::keyClick(s.m_page1.PeriodType(), Qt::Key_Return);
        EXPECT_TRUE(s.isVisible());
    });
    EXPECT_EQ(m_changed, 1);
}

TEST_F(LabelsSheetTest, DatesPageChecksWhatItStores) {
    const struct {
        int row, col;
        const char* text;
        const char* message;  // empty: stored
    } cases[] = {
        {1, 0, "", "Error - No input."},
        {0, 0, "3/1/2001", "Error - No valid selection in Table."},
        {1, 0, "2/30/01", "Please enter four digit year format."},
        {1, 0, "2/30/2001", "NEW DATE NOT SET -- input error(s) follow...\r\nDay out of range.\r\n"},
        {1, 0, "13/1/2001", "NEW DATE NOT SET -- input error(s) follow...\r\nMonth out of range.\r\n"},
        {1, 0, "xx/yy/2001", "Invalid date specified."},
        {2, 0, "6/1/2004", "The date must come after the exposure period before it and before the one after it."},
        {0, 2, "twelve", "Please enter the development period as a whole number of months."},
        {0, 2, "0", "Please enter the development period as a whole number of months."},
        {0, 2, "48", "The development period must be more months than the one before it and fewer than the one after it."},
        {1, 0, "3/1/2001", ""},
        {0, 2, " 18 ", ""},
    };
    for (const auto& c : cases) {
        const qs::project::LabelSettings before = qs::project::TakeLabelSettings(Project());
        qs::fw::MessageBoxScript boxes{IDYES};
        Play([&](CLabelsPropertySheet& s) { Apply(s, c.row, c.col, QString::fromLatin1(c.text)); });
        const qs::project::LabelSettings after = qs::project::TakeLabelSettings(Project());
        if (*c.message) {
            ASSERT_GE(boxes.Count(), 1u) << c.text;
            EXPECT_EQ(boxes.Boxes().front().text, QString::fromLatin1(c.message)) << c.text;
            EXPECT_EQ(boxes.Boxes().front().icon, 0u) << c.text;
            EXPECT_TRUE(after == before) << c.text;
        } else {
            EXPECT_EQ(boxes.Count(), 0u) << c.text;
            EXPECT_FALSE(after == before) << c.text;
        }
    }
    int month = 0, day = 0, year = 0, months = 0;
    ASSERT_EQ(Project().GetExpDate(month, day, year, 0), 0);
    EXPECT_EQ(std::tie(month, day, year), std::make_tuple(3, 1, 2001));
    ASSERT_EQ(Project().GetDevPeriod(months, 1), 0);
    EXPECT_EQ(months, 18);
}

TEST_F(LabelsSheetTest, HistoricalLabels) {
    EXPECT_EQ(qs::project::HistoryLine(8, "Ninth"), QStringLiteral("  9. Ninth"));
    EXPECT_EQ(qs::project::HistoryLine(10, "Eleventh"), QStringLiteral("11. Eleventh"));
    // Without historical factors: an empty list and nothing to edit.
    Play([](CLabelsPropertySheet& s) {
        s.SetActivePage(&s.m_page3);
        EXPECT_EQ(s.m_page3.List()->count(), 0);
        EXPECT_FALSE(s.m_page3.Edit()->isEnabled());
    });
    ASSERT_EQ(Project().SetSelHistLabels(Twelve("Hist ")), 0);
    Play([](CLabelsPropertySheet& s) {
        s.SetActivePage(&s.m_page3);
        ASSERT_EQ(s.m_page3.List()->count(), 12);
        s.m_page3.List()->setCurrentRow(11);
        QTest::keyClick(s.m_page3.Edit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(s.m_page3.Edit(), "Prior");
        EXPECT_EQ(s.m_page3.List()->item(11)->text(), QStringLiteral("12. Prior"));
        EXPECT_EQ(s.Project()->GetSelHistLabel(11), "Hist 12");  // written when the page is left
    });
    EXPECT_EQ(Project().GetSelHistLabel(11), "Prior");
    EXPECT_EQ(m_changed, 1);
}

TEST_F(LabelsSheetTest, CancelledFileLabelsPutsEverythingBack) {
    ASSERT_EQ(Project().SetSelHistLabels(Twelve("Hist ")), 0);
    Project().SetModifiedFlag(false);
    const qs::project::LabelSettings before = qs::project::TakeLabelSettings(Project());
    ModalScript script;
    script.Then<CLabelsPropertySheet>([](CLabelsPropertySheet& s) {
        s.m_page1.Patterns()->setCurrentRow(4);
        // The first two periods move down, the second below the first's old date.
        Apply(s, 1, 0, "1/1/1999");
        Apply(s, 2, 0, "6/1/1999");
        Apply(s, 0, 1, "6");
        s.SetActivePage(&s.m_page3);
        for (int i = 0; i < 12; ++i) {
            s.m_page3.List()->setCurrentRow(i);
            QTest::keyClicks(s.m_page3.Edit(), "x");
        }
        s.SetActivePage(&s.m_page1);  // the labels are written
        EXPECT_EQ(s.Project()->GetSelHistLabel(11), "Hist 12x");
        s.PressButton(PSBTN_CANCEL);
    });
    m_doc.OnCmdMsg(32833, CN_COMMAND, nullptr, nullptr);
    ASSERT_TRUE(script.AllHandled());
    const qs::project::LabelSettings after = qs::project::TakeLabelSettings(Project());
    EXPECT_EQ(after.datesFormat, before.datesFormat);
    EXPECT_EQ(after.exposureDates, before.exposureDates);
    EXPECT_EQ(after.developmentPeriods, before.developmentPeriods);
    EXPECT_EQ(after.historyLabels, before.historyLabels);
    EXPECT_FALSE(Project().IsModified());

    // Cancelled without a change: nothing is written.
    Project().SetModifiedFlag(false);
    ModalScript quiet;
    quiet.Then<CLabelsPropertySheet>([](CLabelsPropertySheet& s) { s.PressButton(PSBTN_CANCEL); });
    m_doc.OnCmdMsg(32833, CN_COMMAND, nullptr, nullptr);
    EXPECT_FALSE(Project().IsModified());
}

TEST_F(LabelsSheetTest, LeavingTheDatesPageWithAnUnappliedDateAsks) {
    qs::fw::MessageBoxScript boxes{IDNO, IDYES};
    Play([](CLabelsPropertySheet& s) {
        s.SetActivePage(&s.m_page2);
        s.OnGridClick(1, 0);
        EXPECT_EQ(s.m_page2.DateField()->text(), QStringLiteral("1/1/2001"));
        QTest::keyClicks(s.m_page2.DateField(), "9");
        EXPECT_TRUE(s.m_page2.ApplyButton()->isEnabled());
        EXPECT_FALSE(s.SetActivePage(&s.m_page1));  // No: the page stays
        EXPECT_EQ(s.GetActivePage(), &s.m_page2);
        EXPECT_TRUE(s.SetActivePage(&s.m_page1));   // Yes: the change is dropped
    });
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Last().text, QStringLiteral("Do you want to ignore changes to the Exposure Date?"));
}

}  // namespace
